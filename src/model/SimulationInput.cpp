#include "model/SimulationInput.h"

namespace tessaly {

SimulationInput simulationInputOf(const ExperimentParams& p) {
    SimulationInput in;
    in.technique = p.technique();
    in.electrode = p.electrode();
    in.mechanism = p.mechanism();
    in.digital = p.DigitalFlag;
    in.preconcentration = p.CheckPreCon;
    in.automaticGrid = p.CheckAuto;
    in.numSpecies = p.NumSpecies;
    in.numCharge = p.NumCharge;
    in.numChem = p.NumChem;
    in.fRT = p.fRT;
    in.tables = p.tables;
    in.committed = p.committed;
    return in;
}

} // namespace tessaly
