#include "digital/DigitalSimulation.h"

namespace tessaly {

// The finite-difference model is added here; until then the digital path adds no faradaic current.
DigitalOutcome DigitalSimulate(const ExperimentParams&, CurveStore&) { return {}; }

} // namespace tessaly
