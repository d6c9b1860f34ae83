#pragma once
// The instrument dialog `FormIns` ("Instrument"): the potential programme, the electrode and its
// geometry, the baseline, preconcentration, the digital model and the designed waveform.

#include "ui/dialogs/ExperimentDialog.h"

class QVBoxLayout;

namespace tessaly {

class InstrumentDialog : public ExperimentDialog {
    Q_OBJECT
public:
    InstrumentDialog(Workbench& wb, QWidget* parent);

private:
    // The frames, left to right: the potential programme, the electrode options and geometry, the
    // column of baseline, preconcentration and digital model, and the designed waveform.
    QGroupBox* programmeFrame();
    QGroupBox* electrodeFrame();
    QVBoxLayout* settingsColumn();
    QGroupBox* designFrame();
};

} // namespace tessaly
