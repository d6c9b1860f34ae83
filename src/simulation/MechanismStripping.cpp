// Thin film (electrode 9) after a preconcentration step, sweep and staircase: the deposition at E pre
// loads the film with the reduced form (FilmPreconcentration.h), and every point then moves the film's
// content by the first-order exchange with the stirred solution,
//
//     dC_film/dt = (forward·C_solution − backward·C_film)/l,
//
// Nernstian for the reversible couples (mechanisms 11, 12), Butler–Volmer for mechanisms 1, 4 and 5. The
// point's current is the flux across the film surface at the instant the point is sampled,
// n·F·A·(forward·C_solution − backward·C_film), a reduction positive, so the stripping peak of an anodic
// scan is negative.
//
// Over a point of a sweep the potential ramps from E[k−1] to E[k]; the Nernstian rate grows as
// exp(nf·E), and its exact time integral over the ramp is the logarithmic mean of the end rates times
// TimeGrid (exact too for a rate set by one Butler–Volmer exponential, close to it in between). A
// staircase holds E[k] through the point.

#include "simulation/FilmPreconcentration.h"
#include "simulation/MechanismRun.h"

#include <cmath>

namespace tessaly {
namespace {

// (b − a)/ln(b/a): the mean of a quantity that varies exponentially between a and b.
double logarithmicMean(double a, double b) {
    if (!(a > 0) || !(b > 0))
        return 0.5 * (a + b);
    const double ratio = std::log(b / a);
    return std::fabs(ratio) < 1e-9 ? 0.5 * (a + b) : (b - a) / ratio;
}

FilmKinetics kineticsOf(const MechanismRun& run, const ReactionConstants& r) {
    FilmKinetics k;
    k.nernstian = traits(run.mechanism).nernstian;
    k.ks = r.step.ks;
    k.alpha = r.step.alpha;
    k.nuOx = r.step.nuOx;
    k.nuRed = r.step.nuRed;
    return k;
}

} // namespace

bool filmStrips(kind::Mechanism mechanism, kind::Technique technique) {
    if (traits(mechanism).family == kind::MechanismFamily::Reversible)
        return true;
    return kind::kineticKernel(technique, kind::Electrode::ThinFilm, mechanism) ==
           kind::KineticKernel::ThinLayer;
}

void prepareStripping(MechanismRun& run) {
    for (int j = 1; j <= run.numCharge; ++j) {
        ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
        FilmLoad& load = run.filmLoad[static_cast<std::size_t>(j)];
        load = depositFilm(*run.preconcentration, kineticsOf(run, r), r.nf, r.step.E0, r.step.Cox, r.Dox);
        r.surfaceState = load.filmConc;
    }
}

void strippingCurrents(MechanismRun& run, int k, int j) {
    ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
    const FilmLoad& load = run.filmLoad[static_cast<std::size_t>(j)];
    const FilmKinetics kinetics = kineticsOf(run, r);
    const double l = run.preconcentration->thickness;
    const double dt = run.timeGrid;
    const double E = run.potential(k);
    const bool sweep = run.technique == kind::Technique::LinearSweep;
    const FilmTransfer start =
        filmTransfer(kinetics, r.nf, sweep ? run.potential(k - 1) : E, r.step.E0, load.massTransfer);
    const FilmTransfer end = filmTransfer(kinetics, r.nf, E, r.step.E0, load.massTransfer);

    // Film content after time t of the point: relaxation of what it held towards the supply.
    const double lossRate = logarithmicMean(start.backward, end.backward) / l;                 // 1/s
    const double supplyRate = logarithmicMean(start.forward, end.forward) * load.bulkConc / l; // mol/L/s
    const double before = r.surfaceState;
    const auto after = [&](double t) {
        return before * std::exp(-lossRate * t) + supplyRate * t * relaxedFraction(lossRate * t);
    };
    r.surfaceState = after(dt);

    // A sweep is sampled at E[k], the end of its ramp; a staircase at SampleFrac1 of its step. The film
    // holds the reduced form; the oxidised form at the film surface is what the solution supplies, C_b,
    // less what the exchange takes: m·(C_b − C_s) = forward·C_b − backward·C_film.
    const double sampled = sweep ? r.surfaceState : after(run.c.SampleFrac1 * dt);
    const double gain = end.forward * load.bulkConc - end.backward * sampled; // mol/L·cm/s
    run.setSurface(k, r.red, sampled);
    run.setSurface(k, r.ox, load.bulkConc - gain / load.massTransfer);
    run.setCurrent(k, j, run.constants.FaradayArea * r.n * gain);
}

} // namespace tessaly
