#include "ui/PlotWindow.h"

#include "UiTestSupport.h"
#include "UiTests.h"
#include "ui/ResultWindow.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

namespace tessaly::test {

namespace {

// A simulated voltammogram of the default experiment, as a new session draws it.
void simulate(Desktop& d) {
    simulateAndWait(d.window);
    d.window.plotWindow()->repaint();
}

// The window point of a plot point under the last drawing.
QPoint windowPoint(PlotWindow* plot, double x, double y) {
    const ViewRange v = plot->currentView();
    // The frame spans the middle of the window: 0.08 of dX each side, 0.15 dY above, 0.2 dY below.
    const double dX = v.Xmax - v.Xmin;
    const double dY = v.Ymax - v.Ymin;
    const double fx = (x - (v.Xmin - 0.08 * dX)) / (1.16 * dX);
    const double fy = ((v.Ymax + 0.15 * dY) - y) / (1.35 * dY);
    return QPoint(static_cast<int>(std::lround(fx * plot->width())),
                  static_cast<int>(std::lround(fy * plot->height())));
}

// The pointer moved over a widget with no button held.
void hover(QWidget* widget, QPoint at) {
    QMouseEvent event(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void wheel(QWidget* widget, QPoint at, int notches, Qt::KeyboardModifiers modifiers = {}) {
    QWheelEvent event(QPointF(at), QPointF(widget->mapToGlobal(at)), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

QByteArray head(const QString& path, int n) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(n);
}

} // namespace

void PlotWindowTest::saveGraphWritesABitmapOfThePlotSize() {
    Desktop d;
    simulate(d);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("graph.bmp"));
    ModalAnswerer answerer;
    answerer.onFile = [&](QFileDialog& dialog) {
        chooseFile(dialog, path);
    };
    const std::string before = d.wb.log.text();
    d.window.runMenuCommand(QStringLiteral("mnuSaveGraph"));
    QCOMPARE(answerer.messages, QStringList());
    QVERIFY(QFile::exists(path));
    QCOMPARE(head(path, 2), QByteArray("BM"));
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read();
    QCOMPARE(image.size(), d.window.plotWindow()->size());
    // The plot, not a blank page: the frame is black, the background white.
    int black = 0;
    for (int x = 0; x < image.width(); ++x)
        black += image.pixelColor(x, image.height() / 2) == QColor(Qt::black) ? 1 : 0;
    QVERIFY(black >= 2);
    QCOMPARE(d.wb.log.text(), before + "Save graph to file " + path.toStdString() + " :\r\n");
}

void PlotWindowTest::saveGraphWritesPngWhenTheNameSaysSo() {
    Desktop d;
    simulate(d);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("graph.PNG"));
    d.port.setFileAnswerer([&]() -> std::optional<std::string> { return path.toStdString(); });
    // The resolution asked for: 192 per inch doubles the window's pixels.
    ModalAnswerer resolution;
    resolution.onInput = [](QInputDialog& input) {
        input.setIntValue(192);
        input.accept();
    };
    d.window.runMenuCommand(QStringLiteral("mnuSaveGraph"));
    QCOMPARE(head(path, 4), QByteArray("\x89PNG"));
    const QImage image(path);
    QCOMPARE(image.size(), d.window.plotWindow()->size() * 2);
    QVERIFY(std::abs(image.dotsPerMeterX() - 7559) <= 1); // 192 per inch
}

void PlotWindowTest::saveGraphWritesSvgAndPdfDrawings() {
    Desktop d;
    simulate(d);
    QTemporaryDir dir;
    QString path;
    d.port.setFileAnswerer([&]() -> std::optional<std::string> { return path.toStdString(); });
    path = dir.filePath(QStringLiteral("graph.svg"));
    d.window.runMenuCommand(QStringLiteral("mnuSaveGraph"));
    QFile svg(path);
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray drawing = svg.readAll();
    QVERIFY(drawing.contains("<svg"));
    QVERIFY(drawing.contains("<path") || drawing.contains("<polyline")); // the curve as lines, not pixels
    QVERIFY(!drawing.contains("<image"));

    path = dir.filePath(QStringLiteral("graph.pdf"));
    d.window.runMenuCommand(QStringLiteral("mnuSaveGraph"));
    QCOMPARE(head(path, 5), QByteArray("%PDF-"));
    QVERIFY(QString::fromStdString(d.wb.log.text()).endsWith(QStringLiteral("Save graph to file ") + path +
                                                             QStringLiteral(" :\r\n")));
}

void PlotWindowTest::exportCurvesWritesEveryCurveWithAHeader() {
    Desktop d;
    simulate(d);
    simulateAndWait(d.window); // a second curve
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("curves.csv"));
    d.port.setFileAnswerer([&]() -> std::optional<std::string> { return path.toStdString(); });
    QVERIFY(d.wb.unsavedCurves);
    d.window.runMenuCommand(QStringLiteral("mnuExportCurves"));
    QVERIFY(!d.wb.unsavedCurves);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const PlotInput input = d.wb.plotInput();
    QCOMPARE(lines.size(), input.last - input.first + 2);
    QVERIFY(lines[0].startsWith(QStringLiteral("E /V,\"Simulated")));
    QCOMPARE(lines[0].count(QStringLiteral(",\"")), input.NCurves);
    QCOMPARE(lines[1].split(QLatin1Char(',')).size(), input.NCurves + 1);
    QCOMPARE(lines[1].split(QLatin1Char(',')).first().toDouble(), input.abscissa[static_cast<std::size_t>(input.first)]);
}

void PlotWindowTest::cancelledSaveGraphWritesNothing() {
    Desktop d;
    simulate(d);
    QTemporaryDir dir;
    ModalAnswerer answerer; // cancels the file dialog
    const std::string before = d.wb.log.text();
    d.window.runMenuCommand(QStringLiteral("mnuSaveGraph"));
    QCOMPARE(answerer.messages, QStringList());
    QCOMPARE(d.wb.log.text(), before);
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

void PlotWindowTest::clickInsideTheFramePrintsItsCoordinates() {
    Desktop d;
    simulate(d);
    PlotWindow* plot = d.window.plotWindow();
    QVERIFY(plot->isVisible());
    plot->repaint();
    // Outside the frame: the top-left corner lies in the margin.
    QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(plot->clickText(), QString());
    QTest::mouseMove(plot, QPoint(2, 2));
    QCOMPARE(plot->cursor().shape(), Qt::ArrowCursor);
    // The centre of the window is inside the frame.
    const QPoint centre = plot->rect().center();
    QTest::mouseMove(plot, centre);
    QCOMPARE(plot->cursor().shape(), Qt::CrossCursor);
    QTest::mouseClick(plot, Qt::LeftButton, {}, centre);
    QVERIFY(plot->clickText().startsWith(QStringLiteral("x=")));
    QVERIFY(plot->clickText().contains(QStringLiteral(", y=")));
    // A new drawing removes it.
    d.window.runMenuCommand(QStringLiteral("mnuiE"));
    QCOMPARE(plot->clickText(), QString());
}

void PlotWindowTest::clearThenTimeShowsOnlyTheTimingLines() {
    Desktop d;
    simulate(d);
    ResultWindow* result = d.window.resultWindow();
    QAction* clear = result->findChild<QAction*>(QStringLiteral("menuClear"));
    QVERIFY(clear);
    QCOMPARE(clear->text(), QStringLiteral("Clear"));
    clear->trigger();
    QCOMPARE(result->textBox()->toPlainText(), QString());
    QVERIFY(d.wb.log.text().empty());
    d.window.runMenuCommand(QStringLiteral("mnuTime"));
    const QStringList lines = result->textBox()->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].startsWith(QStringLiteral("time = ")));
    QVERIFY(lines[1].startsWith(QStringLiteral("max iteration in simulation = ")));
    QVERIFY(lines[2].startsWith(QStringLiteral("Number of - concentration = ")));
    // The text box grows with the window.
    const QSize before = result->textBox()->size();
    QWidget* frame = result->parentWidget(); // the child window of the main window's area
    frame->resize(frame->size() + QSize(80, 60));
    QApplication::processEvents();
    QCOMPARE(result->textBox()->size(), before + QSize(80, 60));
}

void PlotWindowTest::fileFiltersBecomeQtFilters() {
    const std::pair<const char*, const char*> cases[] = {
        {"graph (*.bmp)|*.bmp|all|*.*", "graph (*.bmp);;all (*)"},
        {"csv|*.csv|all|*.*", "csv (*.csv);;all (*)"},
        {"parameter|*.par", "parameter (*.par)"},
    };
    for (const auto& [filter, expected] : cases)
        QCOMPARE(qtFileFilter(filter), QString::fromLatin1(expected));
}

void PlotWindowTest::wheelZoomsAboutThePointerAndHomeReturns() {
    Desktop d;
    simulate(d);
    PlotWindow* plot = d.window.plotWindow();
    const ViewRange full = plot->currentView();
    const double x = full.Xmin + 0.25 * (full.Xmax - full.Xmin);
    const double y = full.Ymin + 0.75 * (full.Ymax - full.Ymin);
    const QPoint at = windowPoint(plot, x, y);
    wheel(plot, at, 1); // one notch forward zooms in by 0.8 about the pointer
    QVERIFY(d.wb.plotView);
    ViewRange v = *d.wb.plotView;
    QVERIFY(std::fabs((v.Xmax - v.Xmin) / (full.Xmax - full.Xmin) - 0.8) < 1e-9);
    QVERIFY(std::fabs((v.Ymax - v.Ymin) / (full.Ymax - full.Ymin) - 0.8) < 1e-9);
    // The point under the pointer stays under it (to a pixel).
    plot->repaint();
    QVERIFY((windowPoint(plot, x, y) - at).manhattanLength() <= 2);
    // Shift zooms E only; Ctrl i only.
    wheel(plot, at, 2, Qt::ShiftModifier);
    const ViewRange shifted = *d.wb.plotView;
    QVERIFY(shifted.Xmax - shifted.Xmin < 0.7 * (v.Xmax - v.Xmin));
    QCOMPARE(shifted.Ymax - shifted.Ymin, v.Ymax - v.Ymin);
    wheel(plot, at, -2, Qt::ControlModifier);
    QCOMPARE(d.wb.plotView->Xmax - d.wb.plotView->Xmin, shifted.Xmax - shifted.Xmin);
    QVERIFY(d.wb.plotView->Ymax - d.wb.plotView->Ymin > 1.5 * (v.Ymax - v.Ymin));
    // The frame the mouse reads is the view.
    plot->repaint();
    QCOMPARE(d.wb.plotState.Xmin, d.wb.plotView->Xmin);
    // Home returns to the automatic range; so does a double click.
    plot->setFocus();
    QTest::keyClick(plot, Qt::Key_Home);
    QVERIFY(!d.wb.plotView);
    plot->repaint();
    QCOMPARE(plot->currentView().Xmin, full.Xmin);
    QTest::keyClick(plot, Qt::Key_Plus);
    QVERIFY(d.wb.plotView);
    QTest::mouseDClick(plot, Qt::LeftButton, {}, plot->rect().center());
    QVERIFY(!d.wb.plotView);
    // A new drawing by a command also returns to it.
    QTest::keyClick(plot, Qt::Key_Minus);
    QVERIFY(d.wb.plotView);
    d.window.runMenuCommand(QStringLiteral("mnuiE"));
    QVERIFY(!d.wb.plotView);
}

void PlotWindowTest::dragPansAndRightDragZoomsIntoTheBox() {
    Desktop d;
    simulate(d);
    PlotWindow* plot = d.window.plotWindow();
    const ViewRange full = plot->currentView();
    const double dX = full.Xmax - full.Xmin;
    const double dY = full.Ymax - full.Ymin;
    // Drag the point at a quarter of the frame to its middle: the view moves by a quarter each way.
    const QPoint from = windowPoint(plot, full.Xmin + 0.25 * dX, full.Ymin + 0.25 * dY);
    const QPoint to = windowPoint(plot, full.Xmin + 0.5 * dX, full.Ymin + 0.5 * dY);
    QTest::mousePress(plot, Qt::LeftButton, {}, from);
    QTest::mouseMove(plot, from + QPoint(10, 0));
    QTest::mouseMove(plot, to);
    QTest::mouseRelease(plot, Qt::LeftButton, {}, to);
    QVERIFY(d.wb.plotView);
    const double pixelX = 1.16 * dX / plot->width();
    const double pixelY = 1.35 * dY / plot->height();
    QVERIFY(std::fabs(d.wb.plotView->Xmin - (full.Xmin - 0.25 * dX)) <= pixelX);
    QVERIFY(std::fabs(d.wb.plotView->Ymin - (full.Ymin - 0.25 * dY)) <= pixelY);
    QCOMPARE(plot->clickText(), QString()); // a drag is not a click
    plot->resetView();
    plot->repaint();

    // A right-button box from (0.1, 0.6) to (0.4, 0.9) of the frame becomes the view.
    const QPoint a = windowPoint(plot, full.Xmin + 0.1 * dX, full.Ymin + 0.9 * dY);
    const QPoint b = windowPoint(plot, full.Xmin + 0.4 * dX, full.Ymin + 0.6 * dY);
    QTest::mousePress(plot, Qt::RightButton, {}, a);
    QTest::mouseMove(plot, a + QPoint(10, 10));
    QTest::mouseMove(plot, b);
    QTest::mouseRelease(plot, Qt::RightButton, {}, b);
    QVERIFY(d.wb.plotView);
    QVERIFY(std::fabs(d.wb.plotView->Xmin - (full.Xmin + 0.1 * dX)) <= pixelX);
    QVERIFY(std::fabs(d.wb.plotView->Xmax - (full.Xmin + 0.4 * dX)) <= pixelX);
    QVERIFY(std::fabs(d.wb.plotView->Ymin - (full.Ymin + 0.6 * dY)) <= pixelY);
    QVERIFY(std::fabs(d.wb.plotView->Ymax - (full.Ymin + 0.9 * dY)) <= pixelY);
    // A box of a pixel or two is a slip, not a zoom.
    const ViewRange before = *d.wb.plotView;
    plot->repaint();
    const QPoint c = plot->rect().center();
    QTest::mousePress(plot, Qt::RightButton, {}, c);
    QTest::mouseMove(plot, c + QPoint(20, 1));
    QTest::mouseRelease(plot, Qt::RightButton, {}, c + QPoint(20, 1));
    QCOMPARE(d.wb.plotView->Xmin, before.Xmin);
}

void PlotWindowTest::pointerReadoutShowsUnitsInTheStatusBar() {
    Desktop d;
    simulate(d);
    PlotWindow* plot = d.window.plotWindow();
    QVERIFY(d.window.statusBar()->isVisible());
    hover(plot, plot->rect().center());
    const QString text = d.window.readout()->text();
    QVERIFY2(text.startsWith(QStringLiteral("E = ")) && text.contains(QStringLiteral(" V   i = ")) &&
                 text.endsWith(QStringLiteral("A")),
             qPrintable(text));
    // The default voltammogram is a fraction of a microampere: read in nanoamperes.
    QVERIFY2(text.endsWith(QStringLiteral(" nA")), qPrintable(text));
    hover(plot, QPoint(2, 2)); // the margin
    QCOMPARE(d.window.readout()->text(), QString());
}

void PlotWindowTest::legendAndTitleFollowTheCommands() {
    Desktop d;
    QMdiSubWindow* frame = qobject_cast<QMdiSubWindow*>(d.window.plotWindow()->parentWidget());
    QVERIFY(frame);
    d.wb.setPlotTitle("/data/old-run.par");
    QCOMPARE(frame->windowTitle(), QStringLiteral("/data/old-run.par"));
    simulate(d);
    QCOMPARE(frame->windowTitle(), QStringLiteral("Plot"));
    QCOMPARE(QString::fromStdString(d.wb.curveNames[1]),
             QStringLiteral("Simulated, CV, mechanism 1, v = 0.01 V/s"));
}

} // namespace tessaly::test
