#pragma once
// The instrument dialog `FormIns` ("Instrument"): the potential programme, the electrode and its
// geometry, the baseline, preconcentration, the digital model and the designed waveform.

#include "ui/dialogs/ExperimentDialog.h"

namespace tessaly {

class InstrumentDialog : public ExperimentDialog {
    Q_OBJECT
public:
    InstrumentDialog(Workbench& wb, QWidget* parent);
};

} // namespace tessaly
