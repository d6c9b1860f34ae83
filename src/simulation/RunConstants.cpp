#include "simulation/RunConstants.h"

namespace tessaly {

RunConstants computeRunConstants(const ExperimentParams& p) {
    const CommittedValues& c = p.committed;
    RunConstants rc;
    rc.FaradayArea = c.ElectrodeArea * kFaraday * 0.001;
    rc.fRT = p.fRT;
    rc.RTF = 1.0 / p.fRT;
    rc.ScanSign = c.EndPotential > c.StartPotential ? 1.0 : -1.0;
    const bool pulsed = traits(p.technique()).pulsed;
    rc.TimeGrid = pulsed ? c.PulseTime : c.DropTime;
    rc.PulseHeight = pulsed ? c.PulsePotential : 0.0;
    rc.HalfPulse = c.PulsePotential / 2;
    rc.TotalCurrentColumn = p.NumCharge + 1;
    rc.SecondSampleBase = 2 * p.NumCharge + 1;
    return rc;
}

} // namespace tessaly
