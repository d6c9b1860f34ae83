#pragma once
// What a fit covers besides the ticked quantities, as the Kinetics dialog edits it: ties between
// quantities (tie, untie), the windows of fitted points by potential or time, the cycle to fit, and the
// cycles simulated before the measured one. The panel edits the workbench's fit setup at once, as the
// runner's `tie`, `untie`, `fitwindow` and `fithistory` lines do.

#include <QGroupBox>

class QComboBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace tessaly {

class Workbench;

class FitSetupPanel : public QGroupBox {
    Q_OBJECT
public:
    FitSetupPanel(Workbench& wb, QWidget* parent);

    // Re-reads the fit setup into the lists and boxes.
    void refresh();

private:
    QLayout* tieRow();
    QLayout* windowRow();
    QLayout* cycleRow();
    void tie();
    void untie();
    void addWindow();

    Workbench& m_wb;
    QLineEdit* m_tieName = nullptr;
    QLineEdit* m_tieMaster = nullptr;
    QListWidget* m_ties = nullptr;
    QComboBox* m_windowAxis = nullptr;
    QLineEdit* m_windowFrom = nullptr;
    QLineEdit* m_windowTo = nullptr;
    QListWidget* m_windows = nullptr;
    QSpinBox* m_cycle = nullptr;
    QSpinBox* m_history = nullptr;
};

} // namespace tessaly
