#include "digital/SurfaceBlock.h"

#include <algorithm>
#include <cmath>

namespace tessaly {

RatePair butlerVolmer(const ChargeCouple& couple, double potential, double fRT) {
    const double x = couple.electrons * fRT * (potential - couple.formal) + couple.protonTerm;
    return {couple.ks * std::exp(-couple.alpha * x / couple.nuOx),
            couple.ks * std::exp((1 - couple.alpha) * x / couple.nuRed)};
}

RateLaw rateLawOf(const ChargeCouple& couple, double fRT) {
    RateLaw law;
    law.ks = couple.ks;
    law.formal = couple.formal;
    const double nf = couple.electrons * fRT;
    law.forward = -couple.alpha * nf / couple.nuOx;
    law.backward = (1 - couple.alpha) * nf / couple.nuRed;
    law.forwardShift = -couple.alpha * couple.protonTerm / couple.nuOx;
    law.backwardShift = (1 - couple.alpha) * couple.protonTerm / couple.nuRed;
    return law;
}

RatePair RateTracker::at(double potential) {
    constexpr int kCarriedSteps = 16;
    const double step = potential - m_last;
    // (No comparison involves a potential not yet seen: the arithmetic flags stay clear.)
    const bool repeated = m_calls == 2 && std::fabs(step - m_step) <= 1e-9 * std::fabs(m_step);
    m_calls = std::min(m_calls + 1, 2);
    if (repeated && m_carried > 0 && m_carried < kCarriedSteps) {
        m_rates.kf *= m_factors.kf;
        m_rates.kb *= m_factors.kb;
        ++m_carried;
    } else {
        m_rates = ratesAt(m_law, potential);
        if (repeated) {
            if (m_carried == 0)
                m_factors = {std::exp(m_law.forward * m_step), std::exp(m_law.backward * m_step)};
            m_carried = 1;
        } else {
            m_step = step;
            m_carried = 0;
        }
    }
    m_last = potential;
    return m_rates;
}

double couplingRate(const ChargeCouple& couple, RatePair rates, std::span<const double> surface) {
    double rate = 0;
    if (couple.ox)
        rate += rates.kf * surface[static_cast<std::size_t>(couple.ox)] / couple.nuOx;
    if (couple.red)
        rate -= rates.kb * surface[static_cast<std::size_t>(couple.red)] / couple.nuRed;
    return rate;
}

namespace {

void addCouples(std::span<const ChargeCouple> couples, std::span<const RatePair> rates, DenseMatrix& m) {
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
}

// A row with no supply and no reaction (an immobile species outside every couple, or one whose rate
// constants vanish) becomes C(0) = C(1).
void closeEmptyRows(std::span<const double> supply, int species, SurfaceRows& rows) {
    DenseMatrix& m = rows.matrix;
    for (int s = 1; s <= species; ++s) {
        if (supply[s] != 0)
            continue;
        bool empty = true;
        for (int t = 1; t <= species && empty; ++t)
            empty = m(s, t) == 0;
        if (empty) {
            m(s, s) = 1;
            rows.supply[s] = 1;
        }
    }
}

} // namespace

void prepareSurfaceRows(std::span<const double> supply, int species, SurfaceRows& base) {
    base.matrix.clear(species);
    for (int s = 1; s <= species; ++s) {
        base.matrix(s, s) = supply[s];
        base.supply[s] = supply[s];
        base.rhs[s] = 0;
    }
}

void updateSurfaceRows(std::span<const ChargeCouple> couples, std::span<const RatePair> rates,
                       const SurfaceRows& base, int species, SurfaceRows& rows) {
    bool immobile = false;
    for (int s = 1; s <= species; ++s) {
        for (int t = 1; t <= species; ++t)
            rows.matrix(s, t) = base.matrix(s, t);
        rows.supply[s] = base.supply[s];
        rows.rhs[s] = 0;
        immobile = immobile || base.supply[s] == 0;
    }
    addCouples(couples, rates, rows.matrix);
    if (immobile)
        closeEmptyRows(std::span<const double>(base.supply.data(), base.supply.size()), species, rows);
}

} // namespace tessaly
