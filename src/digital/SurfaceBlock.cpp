#include "digital/SurfaceBlock.h"

#include <cmath>

namespace tessaly {

RatePair butlerVolmer(const ChargeCouple& couple, double potential, double fRT) {
    const double x = couple.electrons * fRT * (potential - couple.formal) + couple.protonTerm;
    return {couple.ks * std::exp(-couple.alpha * x / couple.nuOx),
            couple.ks * std::exp((1 - couple.alpha) * x / couple.nuRed)};
}

double couplingRate(const ChargeCouple& couple, RatePair rates, const SpeciesProfile& conc) {
    double rate = 0;
    if (couple.ox)
        rate += rates.kf * conc[couple.ox][0] / couple.nuOx;
    if (couple.red)
        rate -= rates.kb * conc[couple.red][0] / couple.nuRed;
    return rate;
}

void fillSurfaceBlock(std::span<const ChargeCouple> couples, std::span<const RatePair> rates,
                      std::span<const double> supply, int species, BlockSystem& system) {
    DenseMatrix& m = system.surface;
    m.clear(species);
    for (int s = 1; s <= species; ++s) {
        m(s, s) = supply[s];
        system.surfaceSupply[s] = supply[s];
        system.surfaceRhs[s] = 0;
    }
    for (std::size_t k = 0; k < couples.size(); ++k) {
        const ChargeCouple& couple = couples[k];
        if (couple.adsorbed)
            continue;
        const int o = couple.ox;
        const int r = couple.red;
        // d(rate)/dC_O and d(rate)/dC_R.
        const double byOx = rates[k].kf / couple.nuOx;
        const double byRed = -rates[k].kb / couple.nuRed;
        if (o) {
            m(o, o) += couple.nuOx * byOx;
            if (r)
                m(o, r) += couple.nuOx * byRed;
        }
        if (r) {
            m(r, r) -= couple.nuRed * byRed;
            if (o)
                m(r, o) -= couple.nuRed * byOx;
        }
    }
    for (int s = 1; s <= species; ++s) {
        bool empty = true;
        for (int t = 1; t <= species && empty; ++t)
            empty = m(s, t) == 0;
        if (empty && supply[s] == 0) {
            m(s, s) = 1;
            system.surfaceSupply[s] = 1;
        }
    }
}

} // namespace tessaly
