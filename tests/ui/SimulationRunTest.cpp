// Simulate on its worker thread: the window shows the run's progress and a Cancel, refuses commands
// meanwhile, and keeps the store and the plot exactly as they were when the run is cancelled or fails.

#include "UiTestSupport.h"
#include "UiTests.h"

#include "ui/FormDialog.h"
#include "ui/MenuBinding.h"
#include "workbench/FormCommands.h"

#include <QAction>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <vector>

namespace tessaly::test {
namespace {

// Everything of the store a run may write.
struct StoreSnapshot {
    explicit StoreSnapshot(const CurveStore& s)
        : counts{s.NPoints, s.LastIndex, s.FirstPoint, s.LastPoint, s.NForward, s.NCurves, s.CurveNo,
                 s.CurvesPerRun},
          titles{s.XTitle, s.YTitle} {
        for (auto span : {s.E.span(), s.EApplied.span(), s.WaveT.span(), s.XAxis.span(), s.Curve.data(),
                          s.ComponentCurrent.data(), s.SurfaceConc.data()})
            values.emplace_back(span.begin(), span.end());
    }
    bool operator==(const StoreSnapshot&) const = default;

    std::vector<int> counts;
    std::vector<std::string> titles;
    std::vector<std::vector<double>> values;
};

// The digital model on a typed time grid of 10 us: about a thousand time steps for each of the sweep's
// points, and the automatic model's comparison after them; seconds of work.
void chooseLongDigitalRun(Desktop& d) {
    QVERIFY(setCheck(d.wb, "CheckDigital", true) == FormStatus::Done);
    QVERIFY(okForm(d.wb, "FormMech") == FormStatus::Done);
    QVERIFY(setCheck(d.wb, "CheckAuto", false) == FormStatus::Done);
    QVERIFY(setField(d.wb, "TextTimeGrid", "1e-5") == FormStatus::Done);
    d.window.activate();
}

} // namespace

void SimulationRunTest::cancelledLongRunLeavesTheStoreAndPlot() {
    Desktop d;
    QVERIFY(simulateAndWait(d.window)); // an analytical curve to keep
    QCOMPARE(d.wb.store.NCurves, 1);
    chooseLongDigitalRun(d);
    const StoreSnapshot before(d.wb.store);
    const QImage plotBefore = d.window.plotImage();
    const std::string logBefore = d.wb.log.text();

    d.window.runMenuCommand(QStringLiteral("mnuSimulate"));
    QVERIFY(d.window.simulationRunning());
    QVERIFY(d.window.progressBar()->isVisible());
    QVERIFY(d.window.cancelButton()->isVisible());
    // The window paints while the run goes on, and the bar follows the run's points.
    QTRY_VERIFY_WITH_TIMEOUT(d.window.progressBar()->value() > 0, 30000);
    QVERIFY(d.window.progressBar()->maximum() > d.window.progressBar()->value());
    // Commands wait for nothing: greyed, and refused with a word when reached by key.
    QVERIFY(!d.window.menus().action("mnuSimulate")->isEnabled());
    QVERIFY(!d.window.menus().action("mnuTech")->isEnabled());
    QVERIFY(!d.window.menus().action("mnuTime")->isEnabled());
    QVERIFY(d.window.menus().action("mnuExit")->isEnabled());
    d.window.runMenuCommand(QStringLiteral("mnuTech"));
    QVERIFY(!d.window.dialog(QStringLiteral("FormTech"))->isVisible());
    QVERIFY(d.window.statusBar()->currentMessage().contains(QStringLiteral("simulation is running")));
    d.window.runMenuCommand(QStringLiteral("mnuTime"));
    QVERIFY(d.wb.log.text() == logBefore);

    QTest::mouseClick(d.window.cancelButton(), Qt::LeftButton);
    QVERIFY(waitForSimulation(d.window));
    QVERIFY(!d.window.progressBar()->isVisible());
    QVERIFY(!d.window.cancelButton()->isVisible());
    QVERIFY(d.window.statusBar()->currentMessage().contains(QStringLiteral("cancelled")));
    QVERIFY(StoreSnapshot(d.wb.store) == before);
    QCOMPARE(d.window.plotImage(), plotBefore);
    QVERIFY(d.wb.log.text() == logBefore);
    // The refused commands did not run afterwards, and the menus are back.
    QVERIFY(!d.window.dialog(QStringLiteral("FormTech"))->isVisible());
    QVERIFY(d.window.menus().action("mnuSimulate")->isEnabled());
    QVERIFY(d.window.menus().action("mnuTech")->isEnabled());
}

void SimulationRunTest::escapeCancelsTheRun() {
    Desktop d;
    chooseLongDigitalRun(d);
    const StoreSnapshot before(d.wb.store);
    d.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d.window));
    d.window.runMenuCommand(QStringLiteral("mnuSimulate"));
    QTRY_VERIFY_WITH_TIMEOUT(d.window.progressBar()->value() > 0, 30000);
    QTest::keyClick(&d.window, Qt::Key_Escape);
    QVERIFY(waitForSimulation(d.window));
    QVERIFY(StoreSnapshot(d.wb.store) == before);
    QVERIFY(!d.window.menus().action("mnuPlot")->isEnabled()); // still no curve
}

void SimulationRunTest::failedRunLeavesNoPartialCurve() {
    Desktop d;
    QVERIFY(simulateAndWait(d.window));
    const StoreSnapshot before(d.wb.store);
    const QImage plotBefore = d.window.plotImage();
    // 7,000,001 points: more than the store holds, so the run fails before writing its programme.
    d.wb.params.Estep = "1e-7";
    ModalAnswerer answerer;
    QVERIFY(simulateAndWait(d.window));
    QTRY_COMPARE(answerer.messages.size(), 1);
    QVERIFY(answerer.messages[0].startsWith(QStringLiteral("Simulation Error: ")));
    QVERIFY2(answerer.messages[0].contains(QStringLiteral("at most 1000000 points")), qPrintable(answerer.messages[0]));
    QVERIFY(StoreSnapshot(d.wb.store) == before);
    QCOMPARE(d.window.plotImage(), plotBefore);
    QVERIFY(d.window.statusBar()->currentMessage().contains(QStringLiteral("failed")));

    // The same experiment made good again stores its curve as the second one would.
    d.wb.params.Estep = "0.001";
    QVERIFY(simulateAndWait(d.window));
    QVERIFY(!(StoreSnapshot(d.wb.store) == before));
    QCOMPARE(answerer.messages.size(), 1);
}

} // namespace tessaly::test
