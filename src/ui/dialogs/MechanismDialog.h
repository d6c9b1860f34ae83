#pragma once
// The mechanism dialog `FormMech`: eighteen analytical mechanisms, or up to five charge-transfer and
// nine chemical reactions for the digital simulation, with the pH effect.

#include "ui/dialogs/ExperimentDialog.h"

class QHBoxLayout;

namespace tessaly {

class MechanismDialog : public ExperimentDialog {
    Q_OBJECT
public:
    MechanismDialog(Workbench& wb, QWidget* parent);

private:
    // The frames top to bottom: the analytical options, the charge rows, the chemical rows, and the row
    // of digital-simulation and pH settings with the OK button.
    QGroupBox* analyticalFrame();
    QGroupBox* chargeFrame();
    QGroupBox* chemicalFrame();
    QHBoxLayout* settingsRow();
};

} // namespace tessaly
