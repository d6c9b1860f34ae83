#include "analysis/SquareWaveTheory.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace tessaly {
namespace {

// The Nernstian converted fraction of the oxidised form at potential e.
double converted(double e, double nf, double halfWave) {
    return 1.0 / (1.0 + std::exp(nf * (e - halfWave)));
}

} // namespace

SquareWavePeak reversibleSquareWavePeak(const SquareWaveProgramme& w, double nf, double halfWave) {
    SquareWavePeak best;
    if (w.treads <= 0 || !(w.halfPeriod > 0))
        return best;
    // Jumps of the converted fraction at the start of every half-period (level h starts at h tp).
    const int levels = 2 * w.treads;
    std::vector<double> jump(static_cast<std::size_t>(levels));
    double previous = 0.0; // the solution starts at its bulk composition
    const double forward = (w.step < 0 ? -1.0 : 1.0) * std::fabs(w.amplitude); // V
    for (int h = 0; h < levels; ++h) {
        const double tread = w.start + (h / 2) * w.step;
        const double g = converted(h % 2 == 0 ? tread + forward : tread - forward, nf, halfWave);
        jump[static_cast<std::size_t>(h)] = g - previous;
        previous = g;
    }
    // psi at time t (in half-periods) from the levels that began before it.
    const auto psi = [&](double t) {
        double sum = 0.0;
        for (int h = 0; h < levels && h < t; ++h)
            sum += jump[static_cast<std::size_t>(h)] / std::sqrt(t - h);
        return sum / std::sqrt(std::numbers::pi * w.halfPeriod);
    };
    // The peak lies where the treads cross E1/2: examine the treads within 0.3 V of it.
    for (int k = 0; k < w.treads; ++k) {
        const double tread = w.start + k * w.step;
        if (std::fabs(tread - halfWave) > 0.3)
            continue;
        const double net = psi(2 * k + w.fraction1) - psi(2 * k + 1 + w.fraction2);
        if (std::fabs(net) > std::fabs(best.psi)) {
            best.psi = net;
            best.potential = tread;
        }
    }
    return best;
}

} // namespace tessaly
