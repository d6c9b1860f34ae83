#pragma once
// The plot options dialog `formOption` (caption "Option") over the plot options form: six curve slots
// with a colour button and three line-style options each, the grid and overlap switches, and the
// axis frame with the X direction, the auto boxes and the manual limits.

#include "curves/CurveStore.h"
#include "plot/PlotOptions.h"
#include "ui/FormDialog.h"

#include <QString>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tessaly {

class Workbench;

class OptionsDialog : public FormDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(Workbench& wb, QWidget* parent);

    void refresh() override;

    // The colour dialog's answer for slot `index` (0..5), as the Color button applies it.
    void colourChosen(int index, const QColor& colour);

public slots:
    // Closing without OK puts back the options and curve colours the dialog opened with.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QCheckBox* addCheck(const char* name, const char* caption, const char* tip);
    QLineEdit* addLimit(const char* name);
    QLabel* addLabel(const char* name, const char* caption, const char* tip);
    void chooseColour(int index);
    void ok();

    Workbench& m_wb;
    // The options and the curve colours as the dialog opened (a colour applies to the curves at once).
    PlotOptions m_openedWith;
    decltype(CurveStore::CurveColor) m_coloursOpenedWith{};
    std::array<QCheckBox*, 5> m_checks{};
    std::array<QLineEdit*, 4> m_limits{};
    std::array<QLabel*, 4> m_labels{};
    std::array<std::array<QRadioButton*, 3>, 6> m_styles{};
};

} // namespace tessaly
