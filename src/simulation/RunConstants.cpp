#include "simulation/RunConstants.h"

namespace tessaly {

RunConstants computeRunConstants(const SimulationInput& in) {
    const CommittedValues& c = in.committed;
    RunConstants rc;
    rc.FaradayArea = c.ElectrodeArea * kFaraday * 0.001;
    rc.fRT = in.fRT;
    rc.RTF = 1.0 / in.fRT;
    rc.ScanSign = c.EndPotential > c.StartPotential ? 1.0 : -1.0;
    const bool pulsed = traits(in.technique).pulsed;
    rc.TimeGrid = pulsed ? c.PulseTime : c.DropTime;
    rc.PulseHeight = pulsed ? c.PulsePotential : 0.0;
    rc.HalfPulse = c.PulsePotential / 2;
    rc.TotalCurrentColumn = in.numCharge + 1;
    rc.SecondSampleBase = 2 * in.numCharge + 1;
    return rc;
}

} // namespace tessaly
