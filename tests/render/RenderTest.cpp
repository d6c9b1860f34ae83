// The plot renderer without a window: the canvas' mapping of user coordinates onto pixels, the plot
// image of a workbench, image files by name, and the offscreen Save Graph of the command-line runner.

#include "render/OffscreenPlot.h"
#include "render/PlotImage.h"
#include "render/QtCanvas.h"
#include "support/RecordingUserPort.h"
#include "workbench/CommandTable.h"
#include "workbench/Workbench.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace tessaly::test {

namespace {

// A workbench with the default experiment simulated and drawn, both axes automatic.
struct SimulatedBench {
    RecordingUserPort port;
    Workbench wb{port};
    SimulatedBench() {
        wb.plotOptions.Xauto = true;
        wb.plotOptions.Yauto = true;
        runCommand(wb, "mnuSimulate");
    }
};

int pixelsOf(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

QByteArray head(const QString& path, int n) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(n);
}

} // namespace

class RenderTest : public QObject {
    Q_OBJECT
private slots:
    void canvasMapsUserCoordinatesOntoPixels();
    void plotImageDrawsTheFrameOnWhite();
    void nothingDrawnOrAFailedDrawingLeavesTheImageWhite();
    void imageFormatFollowsTheName();
    void offscreenSaveGraphWritesTheRunnersBitmap();
};

void RenderTest::canvasMapsUserCoordinatesOntoPixels() {
    // A 100 x 100 pixel target over x 0..10 and y 0..10; then the same with x running right to left.
    for (const bool reversed : {false, true}) {
        QImage image(100, 100, QImage::Format_RGB32);
        QPainter painter(&image);
        QtCanvas canvas(painter, QRectF(0, 0, 100, 100));
        canvas.clear();
        canvas.setScale(reversed ? UserScale{10, 10, 0, 0} : UserScale{0, 10, 10, 0});
        canvas.pixel(2.5, 7.5, 0x0000FF); // red
        canvas.line(5, 0, 5, 10, kBlack);
        painter.end();
        const int x = reversed ? 75 : 25;
        QCOMPARE(image.pixelColor(x, 25), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(50, 60), QColor(0, 0, 0));
        QCOMPARE(image.pixelColor(10, 90), QColor(255, 255, 255));
        const QPointF back = canvas.toUser(QPointF(x, 25));
        QCOMPARE(back, QPointF(2.5, 7.5));
    }
}

void RenderTest::plotImageDrawsTheFrameOnWhite() {
    SimulatedBench b;
    const QImage image = renderPlotImage(b.wb, QSize(400, 300));
    QCOMPARE(image.size(), QSize(400, 300));
    // The margins are white; the frame crosses the middle row twice in black.
    QCOMPARE(image.pixelColor(1, 1), QColor(Qt::white));
    QCOMPARE(image.pixelColor(398, 298), QColor(Qt::white));
    int black = 0;
    for (int x = 0; x < image.width(); ++x)
        black += image.pixelColor(x, image.height() / 2) == QColor(Qt::black) ? 1 : 0;
    QVERIFY(black >= 2);
    // The voltammogram in the colour of its option slot, not only the frame.
    QVERIFY(pixelsOf(image, qtColour(b.wb.store.CurveColor[1])) > 100);
}

void RenderTest::nothingDrawnOrAFailedDrawingLeavesTheImageWhite() {
    RecordingUserPort port;
    Workbench wb(port);
    QImage image = renderPlotImage(wb, QSize(120, 90));
    QCOMPARE(pixelsOf(image, QColor(Qt::white)), 120 * 90);

    // A request beyond the store's points: the drawing fails before it starts, and reports no data.
    SimulatedBench b;
    b.wb.plotRequest.last = kPointCapacity + 10;
    image = QImage(120, 90, QImage::Format_RGB32);
    QPainter painter(&image);
    const PlotOutcome outcome = paintWorkbenchPlot(b.wb, painter, QRectF(0, 0, 120, 90));
    painter.end();
    QCOMPARE(outcome.result, PlotResult::NoData);
    QCOMPARE(pixelsOf(image, QColor(Qt::white)), 120 * 90);
}

void RenderTest::imageFormatFollowsTheName() {
    QTemporaryDir dir;
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    const struct {
        const char* name;
        QByteArray magic;
    } cases[] = {
        {"a.png", "\x89PNG"}, {"b.PNG", "\x89PNG"}, {"c.bmp", "BM"}, {"d", "BM"}, {"e.png.bmp", "BM"}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        QVERIFY(writePlotImage(image, path.toStdString()));
        QCOMPARE(head(path, c.magic.size()), c.magic);
    }
    QVERIFY(!writePlotImage(image, dir.filePath(QStringLiteral("missing/folder/f.bmp")).toStdString()));
}

void RenderTest::offscreenSaveGraphWritesTheRunnersBitmap() {
    SimulatedBench b;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("graph.bmp"));
    QVERIFY(writeOffscreenPlot(b.wb, path.toStdString()));
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read();
    QCOMPARE(image.size(), QSize(kOffscreenPlotWidth, kOffscreenPlotHeight));
    // The same picture the window's renderer gives at that size.
    QCOMPARE(image.convertToFormat(QImage::Format_RGB32),
             renderPlotImage(b.wb, QSize(kOffscreenPlotWidth, kOffscreenPlotHeight)));
}

} // namespace tessaly::test

QTEST_MAIN(tessaly::test::RenderTest)
#include "RenderTest.moc"
