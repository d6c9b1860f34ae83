#pragma once
// The about box `frmAbout` (caption "About"): the product name, "Version " with the build's version
// and a description of the program.

#include "ui/FormDialog.h"

class QLabel;

namespace tessaly {

// "Version MAJOR.MINOR.PATCH" of this build.
QString versionText();
// The description paragraph followed by the line "Please read its help document. ".
QString aboutDescription();

class AboutDialog : public FormDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);
};

} // namespace tessaly
