// The desktop conventions of the main window: Save dialogs that add the extension, recent files, the
// question on Exit, and where the manual is found.

#include "UiTestSupport.h"
#include "UiTests.h"
#include "ui/FormDialog.h"
#include "ui/OptionsDialog.h"
#include "ui/MenuBinding.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <tuple>

namespace tessaly::test {

namespace {

// Clicks one standard button of the next question box, and records its text.
class QuestionAnswerer : public QObject {
public:
    explicit QuestionAnswerer(QMessageBox::StandardButton button) : m_button(button) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(window);
                if (box && box->isVisible()) {
                    questions << box->text();
                    box->button(m_button)->click();
                    return;
                }
            }
        });
        m_timer.start();
    }
    QStringList questions;

private:
    QMessageBox::StandardButton m_button;
    QTimer m_timer;
};

QLineEdit* field(FormDialog* dialog, const char* name) {
    return dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
}

void typeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

} // namespace

void ConventionsTest::escapeDiscardsWhatTheDialogChanged() {
    Desktop d;
    d.window.runMenuCommand(QStringLiteral("mnuInstrument"));
    FormDialog* ins = d.window.dialog(QStringLiteral("FormIns"));
    QVERIFY(ins->isVisible());
    typeInto(field(ins, "V"), QStringLiteral("0.2"));
    QCOMPARE(d.wb.params.V, std::string("0.2"));
    QTest::keyClick(ins, Qt::Key_Escape);
    QVERIFY(!ins->isVisible());
    QCOMPARE(QString::fromStdString(d.wb.params.V), QStringLiteral("0.01")); // as when the dialog opened
    QCOMPARE(field(ins, "V")->text(), QStringLiteral("0.01"));
    simulateAndWait(d.window);
    QCOMPARE(d.wb.params.committed.ScanRate, 0.01);

    // An option chosen and discarded: the mechanism and what follows from it return.
    d.window.runMenuCommand(QStringLiteral("mnuMechamism"));
    FormDialog* mech = d.window.dialog(QStringLiteral("FormMech"));
    mech->findChild<QRadioButton*>(QStringLiteral("mech(5)"))->click();
    mech->reject();
    QCOMPARE(d.wb.params.Mechanism, 1);
    QVERIFY(d.window.menus().action("mnuRun")->isEnabled());

    // OK keeps what was typed.
    d.window.runMenuCommand(QStringLiteral("mnuInstrument"));
    typeInto(field(ins, "V"), QStringLiteral("0.2"));
    QTest::mouseClick(ins->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QVERIFY(!ins->isVisible());
    QCOMPARE(d.wb.params.V, std::string("0.2"));
    QCOMPARE(d.wb.params.committed.ScanRate, 0.2);
}

void ConventionsTest::escapeDiscardsThePlotOptions() {
    Desktop d;
    simulateAndWait(d.window);
    d.window.runMenuCommand(QStringLiteral("mnuOption"));
    FormDialog* options = d.window.dialog(QStringLiteral("formOption"));
    QVERIFY(options->isVisible());
    const PlotOptions before = d.wb.plotOptions;
    const auto colours = d.wb.store.CurveColor;
    auto* xauto = options->findChild<QCheckBox*>(QStringLiteral("Xauto"));
    QVERIFY(xauto && xauto->isChecked());
    xauto->click();
    QVERIFY(!d.wb.plotOptions.Xauto);
    static_cast<OptionsDialog*>(options)->colourChosen(2, QColor(10, 20, 30));
    QVERIFY(d.wb.store.CurveColor != colours);
    QTest::keyClick(options, Qt::Key_Escape);
    QVERIFY(!options->isVisible());
    QCOMPARE(d.wb.plotOptions.Xauto, before.Xauto);
    QVERIFY(d.wb.store.CurveColor == colours);
    QVERIFY(xauto->isChecked());
}

void ConventionsTest::enterDoesNotCommitARefusedValue() {
    Desktop d;
    ModalAnswerer answerer;
    d.window.runMenuCommand(QStringLiteral("mnuInstrument"));
    FormDialog* ins = d.window.dialog(QStringLiteral("FormIns"));
    QApplication::setActiveWindow(ins);
    QVERIFY(QTest::qWaitForWindowActive(ins));
    QLineEdit* eend = field(ins, "Eend");
    typeInto(eend, QStringLiteral("0.3")); // the same as E start: refused on leaving
    QTest::keyClick(eend, Qt::Key_Return); // OK by its key, without leaving the field
    QTRY_COMPARE(answerer.messages.size(), 1);
    QCOMPARE(answerer.messages[0], QStringLiteral("Error: You cannot change E end to the same as E start."));
    QVERIFY(ins->isVisible());
    QCOMPARE(ins->focusWidget(), eend);
    QVERIFY(d.wb.params.committed.EndPotential != 0.3);
}

void ConventionsTest::saveDialogsAddTheFiltersExtension() {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"run1", "parameter (*.par)", "run1.par"},
        {"/tmp/a/run1", "csv (*.csv *.txt)", "/tmp/a/run1.csv"},
        {"run1.txt", "parameter (*.par)", "run1.txt"}, // an extension typed is kept
        {"run1", "all (*)", "run1"},                   // a filter for every file adds nothing
        {"", "parameter (*.par)", ""},                 // cancelled
    };
    for (const auto& [name, filter, expected] : cases)
        QCOMPARE(withFilterExtension(QString::fromLatin1(name), QString::fromLatin1(filter)),
                 QString::fromLatin1(expected));

    // Through the dialog: a name typed bare is written with ".par", so Open's filter shows it.
    Desktop d;
    QTemporaryDir dir;
    ModalAnswerer answerer;
    answerer.onFile = [&](QFileDialog& dialog) {
        chooseFile(dialog, dir.filePath(QStringLiteral("run1")));
    };
    d.window.runMenuCommand(QStringLiteral("mnuSaveParameter"));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("run1.par"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("run1"))));
}

void ConventionsTest::recentFilesKeepTheLastEightAndReopen() {
    Desktop d;
    QSettings().remove(QStringLiteral("recentFiles"));
    QTemporaryDir dir;
    QString path;
    d.port.setFileAnswerer([&]() -> std::optional<std::string> { return path.toStdString(); });
    for (int k = 1; k <= 10; ++k) {
        path = dir.filePath(QStringLiteral("run%1.par").arg(k));
        d.window.runMenuCommand(QStringLiteral("mnuSaveParameter"));
    }
    const QStringList recent = d.window.recentFiles();
    QCOMPARE(recent.size(), 8);
    QCOMPARE(recent.first(), QStringLiteral("mnuOpenParameter|") + dir.filePath(QStringLiteral("run10.par")));
    QCOMPARE(recent.last(), QStringLiteral("mnuOpenParameter|") + dir.filePath(QStringLiteral("run3.par")));
    // Saving again moves a file to the top without repeating it.
    path = dir.filePath(QStringLiteral("run5.par"));
    d.window.runMenuCommand(QStringLiteral("mnuSaveParameter"));
    QCOMPARE(d.window.recentFiles().first(), QStringLiteral("mnuOpenParameter|") + path);
    QCOMPARE(d.window.recentFiles().count(QStringLiteral("mnuOpenParameter|") + path), 1);

    // Choosing an entry opens the file without asking.
    QMenu* menu = d.window.recentMenu();
    QVERIFY(menu && menu->isEnabled());
    QCOMPARE(menu->actions().size(), 8);
    QVERIFY(menu->actions().first()->text().contains(QStringLiteral("run5.par (Parameter)")));
    QVERIFY(d.window.menus().action("mnuFile")->menu()->actions().contains(menu->menuAction()));
    menu->actions().first()->trigger();
    QVERIFY(QString::fromStdString(d.wb.log.text()).endsWith(QStringLiteral("Open parameter from file ") + path +
                                                             QStringLiteral(" :\r\n")));

    // A file that has gone is dropped with a word, not opened.
    QFile::remove(dir.filePath(QStringLiteral("run10.par")));
    ModalAnswerer answerer;
    menu->actions()[1]->trigger();
    QCOMPARE(answerer.messages.size(), 1);
    QVERIFY(answerer.messages[0].contains(QStringLiteral("no longer exists")));
    QCOMPARE(d.window.recentFiles().size(), 7);
    QSettings().remove(QStringLiteral("recentFiles"));
}

void ConventionsTest::exitAsksAboutUnsavedCurves() {
    {
        Desktop d; // nothing made: Exit asks nothing
        QuestionAnswerer answerer(QMessageBox::Cancel);
        QVERIFY(d.window.close());
        QCOMPARE(answerer.questions.size(), 0);
    }
    Desktop d;
    simulateAndWait(d.window);
    QVERIFY(d.wb.unsavedCurves);
    {
        QuestionAnswerer answerer(QMessageBox::Cancel);
        QVERIFY(!d.window.close());
        QCOMPARE(answerer.questions.size(), 1);
        QVERIFY(d.window.isVisible());
    }
    {
        // Save, then cancelling the file dialog, stays too.
        QuestionAnswerer answerer(QMessageBox::Save);
        d.port.setFileAnswerer([]() -> std::optional<std::string> { return std::nullopt; });
        QVERIFY(!d.window.close());
        QVERIFY(d.window.isVisible());
    }
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("curves.txt"));
        d.port.setFileAnswerer([&]() -> std::optional<std::string> { return path.toStdString(); });
        QuestionAnswerer answerer(QMessageBox::Save);
        QVERIFY(d.window.close());
        QVERIFY(QFile::exists(path));
        QVERIFY(!d.wb.unsavedCurves);
    }
    d.window.show();
    simulateAndWait(d.window);
    QuestionAnswerer answerer(QMessageBox::Discard);
    QVERIFY(d.window.close());
}

void ConventionsTest::manualIsFoundBesideTheProgramThenInTheSourceDocs() {
    QTemporaryDir beside;
    QTemporaryDir docs;
    QFile(docs.filePath(QStringLiteral("korvel.html"))).open(QIODevice::WriteOnly);
    const QStringList folders = {beside.path(), docs.path(), QStringLiteral("/nonexistent")};
    QCOMPARE(findHelpFile(QStringLiteral("korvel.html"), folders),
             QFileInfo(docs.filePath(QStringLiteral("korvel.html"))).absoluteFilePath());
    QFile(beside.filePath(QStringLiteral("korvel.html"))).open(QIODevice::WriteOnly);
    QCOMPARE(findHelpFile(QStringLiteral("korvel.html"), folders),
             QFileInfo(beside.filePath(QStringLiteral("korvel.html"))).absoluteFilePath());
    QCOMPARE(findHelpFile(QStringLiteral("other.html"), folders), QString());
    QCOMPARE(helpFileFolders(QStringLiteral("/opt/x")).first(), QStringLiteral("/opt/x"));

    // From the build tree the manual comes from the source's docs; a missing file is reported.
    Desktop d;
    d.window.runMenuCommand(QStringLiteral("mnuManual"));
    QCOMPARE(d.opened.size(), 1);
    QVERIFY(QFileInfo::exists(d.opened[0].toLocalFile()));
    QVERIFY(d.opened[0].toLocalFile().endsWith(QStringLiteral("/korvel.html")));
    ModalAnswerer answerer;
    d.port.openInBrowser("no-such-manual.html");
    QCOMPARE(d.opened.size(), 1);
    QCOMPARE(answerer.messages.size(), 1);
    QVERIFY(answerer.messages[0].contains(QStringLiteral("no-such-manual.html was not found")));
}

void ConventionsTest::captionsCarryTheRightUnits() {
    Desktop d;
    d.window.runMenuCommand(QStringLiteral("mnuInstrument"));
    auto* temperature = d.window.dialog(QStringLiteral("FormIns"))->findChild<QLabel*>(QStringLiteral("Label_txttemp"));
    QVERIFY(temperature);
    QCOMPARE(temperature->text(), QStringLiteral("T (\u00B0C)"));
    d.window.runMenuCommand(QStringLiteral("mnuKinetics"));
    QStringList captions;
    for (const QLabel* label : d.window.dialog(QStringLiteral("FormExpr"))->findChildren<QLabel*>())
        captions << label->text();
    QVERIFY(captions.contains(QStringLiteral("Vis (cm2/s)"))); // kinematic viscosity
    QVERIFY(!captions.contains(QStringLiteral("Vis (cm/s)")));
}

void ConventionsTest::windowFitsTheScreenAndReTilesOnResize() {
    Desktop d;
    const QRect room = d.window.screen()->availableGeometry();
    QVERIFY(d.window.width() <= room.width() && d.window.height() <= room.height());
    QVERIFY(room.contains(d.window.geometry().topLeft()));

    // A window asked for more than the screen holds is given the screen, inside it.
    QWidget big;
    fitToScreen(big, room.size() * 3);
    QVERIFY(big.width() <= room.width() && big.height() <= room.height());
    QWidget small;
    fitToScreen(small, QSize(300, 200));
    QCOMPARE(small.size(), QSize(300, 200).boundedTo(room.size()));

    // Resizing the main window lays the plot and the results out anew in the new area.
    auto* plotFrame = d.window.findChild<QMdiSubWindow*>(QStringLiteral("FormPlotFrame"));
    auto* resultFrame = d.window.findChild<QMdiSubWindow*>(QStringLiteral("FormResultFrame"));
    QVERIFY(plotFrame && resultFrame);
    for (const QSize size : {QSize(600, 420), QSize(760, 540)}) {
        d.window.resize(size.boundedTo(room.size()));
        QTest::qWait(20);
        const QRect area = plotFrame->mdiArea()->viewport()->rect();
        QCOMPARE(plotFrame->geometry().height(), area.height());
        QCOMPARE(plotFrame->geometry().width() + resultFrame->geometry().width(), area.width());
        QCOMPARE(resultFrame->geometry().right(), area.right());
    }
}

} // namespace tessaly::test
