#include "digital/AccuracyControl.h"

#include "base/Failure.h"
#include "digital/SubStepProgramme.h"
#include "model/ExperimentKinds.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessaly {

namespace {

// Steps per time elapsed since a potential jump.
constexpr double kStepsPerElapsed = 20;
// Steps in the time RT/(nFv) of a sweep.
constexpr double kStepsPerSweepTime = 16;
// First cell over the diffusion length sqrt(D t) at the earliest sample after a jump, and over
// sqrt(D RT/(nFv)) in a sweep.
constexpr double kCellPerJumpLength = 0.07;
constexpr double kCellPerSweepLength = 0.04;
// First cell over the reaction layer sqrt(D/k), the Levich layer, a radius and a film thickness.
constexpr double kCellPerReactionLayer = 0.05;
constexpr double kCellPerLevichLayer = 0.1;
constexpr double kCellPerRadius = 0.1;
constexpr double kCellPerFilm = 0.05;
// Diffusion lengths of the whole run the grid reaches (planar and spherical; cylindrical).
constexpr double kReachLengths = 6;
constexpr double kCylinderReachLengths = 10;
// Expansion factor of the grid, raised only when the cells would not fit. A curved electrode's
// transient profile, which also varies on the scale of the radius, needs the gentler growth.
constexpr double kExpansion = 0.25;
constexpr double kCurvedExpansion = 0.1;
constexpr double kLargestExpansion = 1.0;

struct SpeciesScales {
    double minDiffusion = std::numeric_limits<double>::infinity(); // cm2/s, of the mobile species
    double maxDiffusion = 0;                                       // cm2/s
    double maxBulk = 0;                                            // mol/L
};

SpeciesScales speciesScales(const DigitalModel& m) {
    SpeciesScales s;
    for (int k = 1; k <= m.species; ++k) {
        if (m.diffusion[k] > 0)
            s.minDiffusion = std::min(s.minDiffusion, m.diffusion[k]);
        s.maxDiffusion = std::max(s.maxDiffusion, m.diffusion[k]);
        s.maxBulk = std::max(s.maxBulk, m.bulk[k]);
    }
    if (!(s.maxDiffusion > 0))
        raise(failure_text::divisionByZero);
    return s;
}

// The time in which a sweep moves the potential by RT/F divided by the largest n/nu of the couples, s.
double sweepTime(const DigitalModel& m) {
    double sharpest = 1;
    for (int k = 0; k < m.couples; ++k) {
        const ChargeCouple& c = m.couple[k];
        sharpest = std::max(sharpest, c.electrons / std::min(c.nuOx, c.nuRed));
    }
    double rate = m.scanRate;
    if (!(rate > 0) && m.dropTime > 0)
        rate = std::fabs(m.stepPotential) / m.dropTime;
    if (!(rate > 0))
        return m.dropTime;
    return 1 / (sharpest * m.fRT * rate);
}

} // namespace

double targetStep(const StepRule& rule, double elapsed) {
    double step = elapsed / rule.perElapsed;
    if (rule.longest > 0)
        step = std::min(step, rule.longest);
    return step;
}

AutomaticModel chooseAutomaticModel(const DigitalModel& m) {
    const SpeciesScales scales = speciesScales(m);
    const double dMin = scales.minDiffusion;
    AutomaticModel a;

    // Time.
    a.steps.perElapsed = kStepsPerElapsed;
    const bool sweep = kind::asTechnique(m.technique) == kind::Technique::LinearSweep;
    const double sweepScale = sweepTime(m);
    if (sweep)
        a.steps.longest = sweepScale / kStepsPerSweepTime;
    const double chargingTime = m.resistance * m.capacitance; // s
    if (chargingTime > 0)
        a.steps.longest = a.steps.longest > 0 ? std::min(a.steps.longest, chargingTime) : chargingTime;

    // Space: the finest of the lengths the run must resolve.
    ScheduleTiming timing{m.technique, m.electrode, m.dropTime, m.pulseTime, m.sample1, m.sample2};
    double h = sweep ? kCellPerSweepLength * std::sqrt(dMin * sweepScale)
                     : kCellPerJumpLength * std::sqrt(dMin * earliestSampleAfterJump(timing));
    const double chemistry = fastestChemicalRate(
        std::span<const ChemicalStep>(m.step.data(), static_cast<std::size_t>(m.steps)), scales.maxBulk);
    if (chemistry > 0)
        h = std::min(h, kCellPerReactionLayer * std::sqrt(dMin / chemistry));
    if (m.rotation > 0) {
        const double levich = 1.61 * std::cbrt(dMin) * std::pow(m.viscosity, 1.0 / 6) / std::sqrt(m.rotation);
        h = std::min(h, kCellPerLevichLayer * levich);
    }
    const GridGeometry geometry = geometryOfElectrode(m.electrode);
    if (m.electrode == kThinFilmElectrode)
        h = std::min(h, kCellPerFilm * m.thickness);
    else if (geometry != GridGeometry::planar)
        h = std::min(h, kCellPerRadius * m.radius);

    a.grid.electrode = m.electrode;
    a.grid.radius = m.radius;
    a.grid.firstCell = h;
    const double runTime = freshStartOf(m.technique, m.electrode) ? m.dropTime : m.dropTime * m.points; // s
    if (m.electrode == kThinFilmElectrode) {
        a.grid.reach = m.thickness;
    } else {
        const double lengths = geometry == GridGeometry::cylindrical ? kCylinderReachLengths : kReachLengths;
        a.grid.reach = lengths * std::sqrt(scales.maxDiffusion * runTime);
    }
    a.grid.expansion = geometry == GridGeometry::planar ? kExpansion : kCurvedExpansion;
    while (!(cellsNeeded(a.grid) <= kMaxCells) && a.grid.expansion < kLargestExpansion)
        a.grid.expansion = std::min(kLargestExpansion, a.grid.expansion * 1.25);
    return a;
}

} // namespace tessaly
