#pragma once
// The plot options dialog `formOption` (caption "Option") over the plot options form: six curve slots
// with a colour button and three line-style options each, the grid and overlap switches, and the
// axis frame with the X direction, the auto boxes and the manual limits.

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

private:
    QCheckBox* addCheck(const char* name, const char* caption, const char* tip);
    QLineEdit* addLimit(const char* name);
    QLabel* addLabel(const char* name, const char* caption, const char* tip);
    void chooseColour(int index);
    void ok();

    Workbench& m_wb;
    std::array<QCheckBox*, 5> m_checks{};
    std::array<QLineEdit*, 4> m_limits{};
    std::array<QLabel*, 4> m_labels{};
    std::array<std::array<QRadioButton*, 3>, 6> m_styles{};
};

} // namespace tessaly
