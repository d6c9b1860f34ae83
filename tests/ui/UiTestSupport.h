#pragma once
// Shared pieces of the window tests: a workbench with its window, and an answerer that handles the
// modal dialogs a command opens (message boxes, file dialogs) as a user would.

#include "ui/MainWindow.h"
#include "ui/QtUserPort.h"
#include "workbench/Workbench.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>

namespace tessaly::test {

// Polls for a modal dialog; records and closes message boxes, and hands file dialogs to `onFile`.
// Chooses a file in an open file dialog and accepts it. The file name field is given up first: a dialog
// that has made its name field the focus ignores selectFile's name (it keeps what the user is typing), and
// its accept would then find no file and leave the dialog open, so a test waiting on it would never end.
inline void chooseFile(QFileDialog& dialog, const QString& path) {
    if (QWidget* focus = dialog.focusWidget())
        focus->clearFocus();
    dialog.selectFile(path);
    static_cast<QDialog&>(dialog).accept();
}

class ModalAnswerer : public QObject {
public:
    ModalAnswerer() {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start();
    }
    QStringList messages;                     // "TITLE: TEXT" of each message box
    std::function<void(QFileDialog&)> onFile; // default: cancel
    std::function<void(QInputDialog&)> onInput; // default: cancel

private:
    // Every visible box or file dialog is answered, not only the active modal widget: on a loaded
    // machine a dialog can be shown before the window system makes it active, or behind a form that is
    // still the active modal one, and a test waiting on it would never end.
    void answer() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            if (auto* box = qobject_cast<QMessageBox*>(window)) {
                messages << box->windowTitle() + QStringLiteral(": ") + box->text();
                box->accept();
                return;
            }
            if (auto* file = qobject_cast<QFileDialog*>(window)) {
                if (onFile)
                    onFile(*file);
                else
                    file->reject();
                return;
            }
            if (auto* input = qobject_cast<QInputDialog*>(window)) {
                if (onInput)
                    onInput(*input);
                else
                    input->reject();
                return;
            }
        }
    }
    QTimer m_timer;
};

// Simulate as choosing it does, and the wait for the run on its worker thread to end (a minute at most).
inline bool waitForSimulation(MainWindow& window) {
    return QTest::qWaitFor([&window] { return !window.simulationRunning(); }, 60000);
}
inline bool simulateAndWait(MainWindow& window) {
    window.runMenuCommand(QStringLiteral("mnuSimulate"));
    return waitForSimulation(window);
}

// A workbench with its main window, as the program starts.
struct Desktop {
    QtUserPort port;
    Workbench wb{port};
    MainWindow window{wb, port};
    Desktop() {
        port.setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
        window.show();
        // Drawn before a test clicks on it: a window that is not yet exposed paints nothing.
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("The main window was not exposed");
        window.arrangeChildren();
    }
    QList<QUrl> opened;
};

} // namespace tessaly::test
