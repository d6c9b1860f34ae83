#include "simulation/FilmPreconcentration.h"

#include "base/NumberText.h"
#include "model/ExperimentParams.h"
#include "simulation/AnalyticalKernels.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tessaly {

namespace {

// A film deposited at the thin-film electrode, stripped by a sweep, for a deposition time above zero.
std::optional<PreconcentrationStep> applicable(const PreconcentrationStep& step, bool ticked,
                                               kind::Electrode electrode, kind::Technique technique) {
    if (!ticked || electrode != kind::Electrode::ThinFilm || !traits(technique).sweep)
        return std::nullopt;
    if (!(step.time > 0) || !(step.thickness > 0))
        return std::nullopt; // nothing deposits: the film keeps the solution's composition
    return step;
}

} // namespace

std::optional<PreconcentrationStep> preconcentrationStep(const ExperimentParams& p) {
    PreconcentrationStep step;
    step.potential = leadingNumber(p.txtEPre);
    step.time = leadingNumber(p.txtTPre);
    step.stirRate = leadingNumber(p.txtRStir) * std::numbers::pi / 30.0; // rpm -> rad/s
    step.exhaustionRate = std::max(0.0, leadingNumber(p.txtTpreconst));
    step.thickness = leadingNumber(p.thickness);
    step.viscosity = p.committed.Viscosity;
    return applicable(step, p.CheckPreCon, p.electrode(), p.technique());
}

std::optional<PreconcentrationStep> preconcentrationStep(const CommittedValues& c, bool ticked,
                                                         kind::Electrode electrode,
                                                         kind::Technique technique) {
    PreconcentrationStep step;
    step.potential = c.PreconPotential;
    step.time = c.PreconTime;
    step.stirRate = c.StirRate;
    step.exhaustionRate = std::max(0.0, c.ExhaustionRate);
    step.thickness = c.FilmThickness;
    step.viscosity = c.Viscosity;
    return applicable(step, ticked, electrode, technique);
}

FilmTransfer filmTransfer(const FilmKinetics& kinetics, double nf, double E, double E0, double massTransfer) {
    const double xi = nf * (E - E0);
    if (kinetics.nernstian)
        return {massTransfer, massTransfer * std::exp(xi)};
    // The surface concentration of the oxidised form settles between the solution's supply m·(C − C_s)
    // and its reduction: only the fraction m/(m + kf) of the kinetic flux gets through.
    const double kf = kinetics.ks * std::exp(-kinetics.alpha * xi / kinetics.nuOx);
    const double kb = kinetics.ks * std::exp((1.0 - kinetics.alpha) * xi / kinetics.nuRed);
    const double passed = massTransfer / (massTransfer + kf);
    return {kf * passed, kb * passed};
}

double filmMassTransfer(const PreconcentrationStep& step, double D) {
    // Without stirring the deposit grows by Cottrell diffusion, 2C·√(D·t/π) per area, which a layer of
    // mean thickness √(π·D·t)/2 carries; stirring can only thin the layer.
    const double still = 2.0 * std::sqrt(D / (std::numbers::pi * step.time));
    if (!(step.stirRate > 0))
        return still;
    return std::max(levichTransfer(D, step.stirRate, step.viscosity), still);
}

double relaxedFraction(double x) {
    return std::fabs(x) < 1e-12 ? 1.0 : -std::expm1(-x) / x;
}

FilmLoad depositFilm(const PreconcentrationStep& step, const FilmKinetics& kinetics, double nf, double E0,
                     double C0, double D) {
    FilmLoad load;
    load.massTransfer = filmMassTransfer(step, D);
    const double m = load.massTransfer;
    const double l = step.thickness;
    const FilmTransfer t = filmTransfer(kinetics, nf, step.potential, E0, m);
    const double loss = t.forward * step.exhaustionRate / m + t.backward / l; // B, 1/s
    load.filmConc = (t.forward * C0 / l) * step.time * relaxedFraction(loss * step.time);
    load.bulkConc = std::max(0.0, C0 - step.exhaustionRate * l / m * load.filmConc);
    return load;
}

double strippingPeakPotential(double E0, double nf, double scanRate, double thickness, double massTransfer) {
    const double x = nf * scanRate * thickness / massTransfer;
    return x > 0 && std::isfinite(x) ? E0 + std::log(x) / nf : std::numeric_limits<double>::quiet_NaN();
}

} // namespace tessaly
