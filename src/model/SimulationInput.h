#pragma once
// The committed experiment as one simulation reads it: the selections, the counts and reaction tables of
// the mechanism build, F/RT, the committed values, and the potentials of a programme that is given rather
// than built. simulationInputOf reads it from ExperimentParams, and makeSimulationInput
// (simulation/SimulationAdapter.h) adds the store's potentials of a given programme, once per command; a
// run reads nothing else (no dialog text), and a fit varies the committed values of its own copy.

#include "model/ExperimentParams.h"
#include "model/RunControl.h"

#include <memory>
#include <vector>

namespace tessaly {

// Where the potentials of a run come from.
enum class ProgrammeSource {
    Built,    // techniques 1 to 8: the staircase or the steps of the committed values
    Waveform, // techniques 9 and 10: the designed or imported waveform, with its times
    Measured, // a fit: the potentials of the measured curve, without noise
};

// The potentials a waveform or a measured curve gives, one per point 0..NPoints-1.
struct GivenProgramme {
    std::vector<double> potentials; // V
    std::vector<double> times;      // s: a waveform's time of each point; empty for a measured curve
};

struct SimulationInput {
    kind::Technique technique = kind::Technique::LinearSweep;
    kind::Electrode electrode = kind::Electrode::PlanarDisk;
    kind::Mechanism mechanism = kind::Mechanism::SimpleCharge;
    bool digital = false;          // the finite-difference model computes the currents
    bool preconcentration = false; // a deposition step precedes a sweep at the thin film
    bool automaticGrid = false;    // the digital model chooses its own time steps and space grid
    int numSpecies = 0;
    int numCharge = 0;
    int numChem = 0;
    double fRT = kFRT25;    // F/RT, 1/V
    MechanismTables tables; // species and reaction tables of the mechanism build
    CommittedValues committed;
    ProgrammeSource source = ProgrammeSource::Built;
    // The given potentials of a Waveform or Measured programme; shared by the copies a fit makes.
    std::shared_ptr<const GivenProgramme> given;
    // Progress and stop request of a run watched from another thread; none for the runner and the fits.
    // Not owned: it outlives the run.
    RunControl* control = nullptr;

    // Points of a given programme (0 for a built one).
    int givenPoints() const { return given ? static_cast<int>(given->potentials.size()) : 0; }
};

// The committed experiment p (the commits must be current), with a built programme: the selections,
// counts, tables, F/RT and committed values. No dialog text is read.
SimulationInput simulationInputOf(const ExperimentParams& p);

} // namespace tessaly
