#pragma once
// The result window `FormResult` (caption "Result"): one text box `Text1` that shows the whole result
// log and grows with the window, and the menu `menuClear` ("Clear") that empties it.

#include <QWidget>

class QPlainTextEdit;

namespace tessaly {

class Workbench;

class ResultWindow : public QWidget {
    Q_OBJECT
public:
    explicit ResultWindow(Workbench& wb, QWidget* parent = nullptr);

    // Shows the whole result log, scrolled to its end.
    void showLog();

    QPlainTextEdit* textBox() const { return m_text; }
    QSize sizeHint() const override;

private:
    Workbench& m_wb;
    QPlainTextEdit* m_text;
};

} // namespace tessaly
