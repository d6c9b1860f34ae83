#pragma once
// The kinetics dialog `FormExpr`: rate constants, transfer coefficients and formal potentials of the
// reactions in use with their fit selections and limits, and the solution.

#include "ui/dialogs/ExperimentDialog.h"

class QListWidget;

namespace tessaly {

class FitSetupPanel;

class KineticsDialog : public ExperimentDialog {
    Q_OBJECT
public:
    KineticsDialog(Workbench& wb, QWidget* parent);

private:
    // The grids of the charge-transfer and the homogeneous reactions, and the solution fields.
    QGroupBox* chargeFrame();
    QGroupBox* chemicalFrame();
    QGroupBox* solutionFrame();
    // The instrument's fittable quantities: Ru, Cdl and the electrode area (the scale of every current),
    // each with its value, fit box and limits, and the rule by which typed values widen the limits.
    QGroupBox* instrumentFitFrame();
    // The data sets of a fit over several measured curves: a list, Add..., Remove and Clear.
    QGroupBox* dataSetFrame();
    void addDataSet();
    void showDataSets();

    QListWidget* m_dataSets = nullptr;
    FitSetupPanel* m_fitSetup = nullptr;
};

} // namespace tessaly
