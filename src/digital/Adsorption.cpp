#include "digital/Adsorption.h"

#include <cmath>

namespace tessaly {

namespace {

// Equilibrium share of the oxidised form, kb/(kf + kb), written to stay finite for extreme rates.
double oxidisedShare(RatePair rates) {
    if (rates.kb == 0)
        return 0;
    return 1 / (1 + rates.kf / rates.kb);
}

} // namespace

AdsorbedStore initialAdsorbedStore(const ChargeCouple& couple, RatePair startRates,
                                   std::span<const double> conc, std::span<const double> adsorbCoef,
                                   std::span<const double> maxAdsorb, int species) {
    double denominator = 1;
    for (int s = 1; s <= species; ++s)
        denominator += adsorbCoef[s] * conc[s];
    const double cOx = couple.ox ? conc[couple.ox] : 0.0;
    const double cRed = couple.red ? conc[couple.red] : 0.0;
    const int isotherm = couple.ox ? couple.ox : couple.red;
    AdsorbedStore store;
    if (isotherm)
        store.total = maxAdsorb[isotherm] * adsorbCoef[isotherm] * (cOx + cRed) / denominator;
    store.oxidised = store.total * oxidisedShare(startRates);
    return store;
}

double stepAdsorbedStore(AdsorbedStore& store, RatePair rates, double tau, double alpha, double beta,
                         double before) {
    const double now = store.oxidised;
    const double history = alpha * now - (beta != 0 ? beta * before : 0.0);
    store.oxidised = (history + tau * rates.kb * store.total) / (1 + tau * (rates.kf + rates.kb));
    return (history - store.oxidised) / tau;
}

} // namespace tessaly
