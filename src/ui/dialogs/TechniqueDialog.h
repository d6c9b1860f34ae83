#pragma once
// The technique dialog `FormTech` ("Techniques"): the ten potential programmes.

#include "ui/dialogs/ExperimentDialog.h"

namespace tessaly {

class TechniqueDialog : public ExperimentDialog {
    Q_OBJECT
public:
    TechniqueDialog(Workbench& wb, QWidget* parent);
};

} // namespace tessaly
