#pragma once
// The mechanism dialog `FormMech`: eighteen analytical mechanisms, or up to five charge-transfer and
// nine chemical reactions for the digital simulation, with the pH effect.

#include "ui/dialogs/ExperimentDialog.h"

namespace tessaly {

class MechanismDialog : public ExperimentDialog {
    Q_OBJECT
public:
    MechanismDialog(Workbench& wb, QWidget* parent);
};

} // namespace tessaly
