#pragma once
// The species dialog `FormSpecies`: concentrations, diffusion and adsorption coefficients of the
// species in use, their fit selections and limits, and the initial concentrations at equilibrium.

#include "ui/dialogs/ExperimentDialog.h"

namespace tessaly {

class SpeciesDialog : public ExperimentDialog {
    Q_OBJECT
public:
    SpeciesDialog(Workbench& wb, QWidget* parent);

private:
    // The scrolled grid of the sixteen species rows.
    QGroupBox* speciesFrame();
};

} // namespace tessaly
