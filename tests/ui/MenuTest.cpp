#include "UiTestSupport.h"
#include "UiTests.h"
#include "ui/AboutDialog.h"
#include "ui/FormDialog.h"
#include "ui/MenuBinding.h"
#include "workbench/CommandTable.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

namespace tessaly::test {

namespace {

// Compares the actions of a menu (or the bar) with the table's items, recursively.
void compareMenu(QList<QAction*> actions, const std::vector<MenuItem>& items, const QString& where) {
    // The window's own list of recent files is no command of the table.
    actions.removeIf([](QAction* a) { return a->menu() && a->menu()->objectName() == QStringLiteral("mnuRecent"); });
    QCOMPARE(actions.size(), static_cast<qsizetype>(items.size()));
    for (std::size_t k = 0; k < items.size(); ++k) {
        const MenuItem& item = items[k];
        QAction* action = actions[static_cast<qsizetype>(k)];
        const QString at = where + QStringLiteral("/") + QString::fromStdString(item.name);
        QVERIFY2(action->objectName() == QString::fromStdString(item.name), qPrintable(at));
        if (item.isSeparator()) {
            QVERIFY2(action->isSeparator(), qPrintable(at));
            continue;
        }
        QVERIFY2(action->text() == QString::fromStdString(item.caption), qPrintable(at));
        QCOMPARE(action->menu() != nullptr, item.isSubmenu());
        if (item.isSubmenu())
            compareMenu(action->menu()->actions(), item.children, at);
    }
}

bool enabled(Desktop& d, const char* name) {
    QAction* action = d.window.menus().action(name);
    return action && action->isEnabled();
}

void chooseOption(FormDialog* dialog, const QString& name) {
    auto* button = dialog->findChild<QRadioButton*>(name);
    QVERIFY2(button, qPrintable(name));
    button->click();
}

} // namespace

void MenuTest::menuTreeMatchesCommandTable() {
    Desktop d;
    compareMenu(d.window.menuBar()->actions(), mainMenu(), QString());
}

void MenuTest::analyticalChemicalMechanismHidesRunUntilDigital() {
    Desktop d;
    QVERIFY(enabled(d, "mnuRun"));
    d.window.runMenuCommand(QStringLiteral("mnuMechamism"));
    FormDialog* mech = d.window.dialog(QStringLiteral("FormMech"));
    QVERIFY(mech->isVisible());
    QPushButton* ok = mech->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    for (int m : {5, 6, 7, 9, 10}) {
        chooseOption(mech, QStringLiteral("mech(%1)").arg(m));
        ok->click(); // OK commits and re-activates the main window
        QVERIFY2(!enabled(d, "mnuRun"), qPrintable(QString::number(m)));
        d.window.runMenuCommand(QStringLiteral("mnuMechamism"));
    }
    mech->findChild<QCheckBox*>(QStringLiteral("CheckDigital"))->click();
    ok->click();
    QVERIFY(enabled(d, "mnuRun"));
}

void MenuTest::digitalSimulationSwitchesTheoreticalPeakAndSurfaceConcentrations() {
    Desktop d;
    // Analytical, planar disk, linear sweep: theoretical peak yes, C0 vs E only for techniques 2 and 3.
    QVERIFY(enabled(d, "mnuTheoPeak"));
    QVERIFY(!enabled(d, "mnuC0E"));
    d.window.runMenuCommand(QStringLiteral("mnuMechamism"));
    FormDialog* mech = d.window.dialog(QStringLiteral("FormMech"));
    mech->findChild<QCheckBox*>(QStringLiteral("CheckDigital"))->click();
    QTest::mouseClick(mech->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QVERIFY(!mech->isVisible());
    QVERIFY(!enabled(d, "mnuTheoPeak"));
    QVERIFY(enabled(d, "mnuC0E"));
}

void MenuTest::commandsWithoutHandlerAreShownUnavailable() {
    Desktop d;
    std::vector<const MenuItem*> pending;
    std::function<void(const std::vector<MenuItem>&)> walk = [&](const std::vector<MenuItem>& items) {
        for (const MenuItem& item : items) {
            if (item.isSubmenu())
                walk(item.children);
            else if (!item.isSeparator() && !item.handler && item.name != "mnuExit")
                pending.push_back(&item);
        }
    };
    walk(mainMenu());
    for (const MenuItem* item : pending) {
        QAction* action = d.window.menus().action(item->name);
        QVERIFY(!action->isEnabled());
        QCOMPARE(action->toolTip(), MenuBinding::notBuiltTip());
    }
    QVERIFY(enabled(d, "mnuExit"));
    QVERIFY(enabled(d, "mnuSimulate"));
    // The Plot and Analyze menus wait for a curve, and say so.
    QVERIFY(!enabled(d, "mnuPlot"));
    QVERIFY(!enabled(d, "mnuAnalyze"));
    QVERIFY(d.window.menus().action("mnuPlot")->statusTip().contains(QStringLiteral("Run > Simulate")));
    QVERIFY(d.window.menus().action("mnuIPulse")->statusTip().contains(QStringLiteral("pulse")));
}

void MenuTest::shortcutsRunCommandsAndGreyedOnesSayWhy() {
    Desktop d;
    QCOMPARE(d.window.menus().action("mnuSimulate")->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(d.window.menus().action("mnuOpenParameter")->shortcut(), QKeySequence(QKeySequence::Open));
    // A command reached through its key while its menu is greyed only explains itself.
    d.window.runMenuCommand(QStringLiteral("mnuFindPeak"));
    QVERIFY(d.window.statusBar()->currentMessage().contains(QStringLiteral("once there is a curve")));
    QVERIFY(d.wb.log.text().empty());
    simulateAndWait(d.window);
    QVERIFY(enabled(d, "mnuPlot"));
    QVERIFY(d.window.menus().action("mnuPlot")->statusTip().isEmpty());
}

void MenuTest::helpCommandsOpenTheManualAndTheAboutBox() {
    Desktop d;
    d.window.runMenuCommand(QStringLiteral("mnuManual"));
    QCOMPARE(d.opened.size(), 1);
    QVERIFY(d.opened[0].isLocalFile());
    QVERIFY(d.opened[0].toLocalFile().endsWith(QStringLiteral("/korvel.html")));
    d.window.runMenuCommand(QStringLiteral("mnuHomepage"));
    QCOMPARE(d.opened.size(), 2);
    QCOMPARE(d.opened[1].scheme(), QStringLiteral("https"));

    d.window.runMenuCommand(QStringLiteral("mnuAbout"));
    FormDialog* about = d.window.dialog(QStringLiteral("frmAbout"));
    QVERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("About"));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Tessaly"));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
             QStringLiteral("Version " TESSALY_VERSION));
    QVERIFY(about->findChild<QLabel*>(QStringLiteral("lblDescription"))
                ->text()
                .endsWith(QStringLiteral("\nPlease read its help document. ")));
}

} // namespace tessaly::test
