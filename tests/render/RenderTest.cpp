// The plot renderer without a window: the canvas' mapping of user coordinates onto pixels, the plot
// image of a workbench, image files by name, the offscreen Save Graph of the command-line runner, and
// Save Graph as a save: atomic, reported when it fails, never leaving a broken or stray file.

#include "base/AtomicFile.h"
#include "base/Failure.h"
#include "render/OffscreenPlot.h"
#include "render/PlotImage.h"
#include "render/QtCanvas.h"
#include "support/RecordingUserPort.h"
#include "workbench/CommandTable.h"
#include "workbench/WindowCommands.h"
#include "workbench/Workbench.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/wait.h>
#include <unistd.h>

namespace tessaly::test {

namespace {

// A workbench with the default experiment simulated and drawn, as a new session does it.
struct SimulatedBench {
    RecordingUserPort port;
    Workbench wb{port};
    SimulatedBench() { runCommand(wb, "mnuSimulate"); }
};

// The bounding box of the pixels of one colour.
QRect boxOf(const QImage& image, const QColor& colour) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

// Pixels that are neither white nor one of the given colours: the blends of smoothed edges.
int blendedPixels(const QImage& image, std::initializer_list<QColor> pure) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            bool plain = c == QColor(Qt::white);
            for (const QColor& p : pure)
                plain = plain || c == p;
            count += plain ? 0 : 1;
        }
    return count;
}

int pixelsOf(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

// A port whose Save Graph draws the workbench's plot and writes it, as the window's and the runner's
// ports do.
class ImagePort : public RecordingUserPort {
public:
    Workbench* wb = nullptr;
    bool savePlotImage(const std::string& path) override {
        RecordingUserPort::savePlotImage(path);
        writePlotFile(*wb, QSize(200, 150), path);
        return true;
    }
};

struct GraphBench {
    ImagePort port;
    Workbench wb{port};
    QTemporaryDir dir;
    GraphBench() {
        port.wb = &wb;
        wb.plotOptions.Xauto = wb.plotOptions.Yauto = true;
        runCommand(wb, "mnuSimulate");
        port.messages.clear();
    }
    std::string file(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    void saveGraph(const std::string& path) {
        port.fileAnswers.push_back(path);
        saveGraphCommand(wb);
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString()))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
    void markersStaySquareWhateverTheProportions();
    void curvesAreSmoothedAndClippedToTheFrame();
    void legendNamesTheCurvesInACornerTheyLeaveFree();
    void firstSimulationOfASessionFillsThePlotAndItsPeaksAreFound();
    void saveGraphFailuresAreReportedAndKeepTheOldImage();
    void saveGraphKilledBeforeTheRenameKeepsTheOldImage();
    void saveGraphKeepsPermissionsAndFollowsLinks();
    void saveGraphOfEveryFormatKeepsTheOldFileOnAFullDevice();
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
        writePlotImage(image, path.toStdString());
        QCOMPARE(head(path, c.magic.size()), c.magic);
    }
    const std::string missing = dir.filePath(QStringLiteral("missing/folder/f.bmp")).toStdString();
    try {
        writePlotImage(image, missing);
        QFAIL("an image was written into a missing folder");
    } catch (const Failure& f) {
        QCOMPARE(QString::fromStdString(f.description()),
                 QStringLiteral("Path/File access error: the folder ") + dir.filePath(QStringLiteral("missing/folder")) +
                     QStringLiteral(" does not exist"));
    }
}

void RenderTest::offscreenSaveGraphWritesTheRunnersBitmap() {
    SimulatedBench b;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("graph.bmp"));
    writeOffscreenPlot(b.wb, path.toStdString());
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read();
    QCOMPARE(image.size(), QSize(kOffscreenPlotWidth, kOffscreenPlotHeight));
    // The same picture the window's renderer gives at that size.
    QCOMPARE(image.convertToFormat(QImage::Format_RGB32),
             renderPlotImage(b.wb, QSize(kOffscreenPlotWidth, kOffscreenPlotHeight)));
}

void RenderTest::markersStaySquareWhateverTheProportions() {
    // A wide target: a hundredth of the width is four times a hundredth of the height.
    for (const QSize size : {QSize(800, 200), QSize(200, 800), QSize(400, 400)}) {
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        QtCanvas canvas(painter, QRectF(QPointF(0, 0), QSizeF(size)));
        canvas.clear();
        canvas.setScale(UserScale{0, 1, 1, 0});
        canvas.marker(0.5, 0.5, 0.005, 0.005, 0x0000FF);
        painter.end();
        const QRect box = boxOf(image, QColor(255, 0, 0));
        QVERIFY2(!box.isEmpty(), qPrintable(QString::number(size.width())));
        QCOMPARE(box.width(), box.height());
        QVERIFY(box.width() >= 4 && box.width() <= 10);
    }
}

void RenderTest::curvesAreSmoothedAndClippedToTheFrame() {
    QImage image(200, 200, QImage::Format_RGB32);
    QPainter painter(&image);
    QtCanvas canvas(painter, QRectF(0, 0, 200, 200));
    canvas.clear();
    canvas.setScale(UserScale{0, 10, 10, 0});
    const QColor blue(0x00, 0x72, 0xB2);
    canvas.line(0, 0, 10, 3, kBlack); // a mark: crisp
    const QImage marksOnly = image.copy();
    canvas.beginCurves(2, 2, 8, 8);
    canvas.line(0, 1, 10, 9, 0xB27200); // a curve running out of the frame on both sides
    canvas.endCurves();
    canvas.line(0, 10, 10, 7, kBlack); // crisp again after the curves
    painter.end();
    QCOMPARE(blendedPixels(marksOnly, {QColor(Qt::black)}), 0);
    // Frame x 2..8, y 2..8 user units: pixels 40..160 across, 40..160 down.
    int tintedPixels = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const QColor c = image.pixelColor(x, y);
            const bool tinted = c.blue() > c.red() + 20; // blue, or a blend of it with white
            tintedPixels += tinted ? 1 : 0;
            if (tinted)
                QVERIFY2(x >= 39 && x <= 161 && y >= 39 && y <= 161,
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    QVERIFY(tintedPixels > 120); // the curve is there, over the frame's width
    // The curve's edges are blended; the black lines drawn outside the curves are not.
    QVERIFY(blendedPixels(image, {QColor(Qt::black), blue}) > 50);
    int greys = 0;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 200; ++y) {
            const QColor c = image.pixelColor(x, y);
            greys += c.red() == c.green() && c.green() == c.blue() && c != QColor(Qt::white) &&
                             c != QColor(Qt::black)
                         ? 1
                         : 0;
        }
    QCOMPARE(greys, 0);
}

void RenderTest::legendNamesTheCurvesInACornerTheyLeaveFree() {
    SimulatedBench b;
    b.wb.curveNames = {};
    const QImage plain = renderPlotImage(b.wb, QSize(600, 400));
    b.wb.curveNames[1] = "Simulated, CV, mechanism 1, v = 0.01 V/s";
    const QImage named = renderPlotImage(b.wb, QSize(600, 400));
    // Only a corner of the frame changes, where the curve does not run, and there the legend's line
    // sample shows the curve's colour.
    QRect changed;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x)
            if (plain.pixelColor(x, y) != named.pixelColor(x, y))
                changed = changed.united(QRect(x, y, 1, 1));
    QVERIFY(!changed.isEmpty());
    // The frame inside its margins: 0.08 of its width each side, 0.15 of its height above, 0.2 below.
    const QRect frame(static_cast<int>(600 * 0.08 / 1.16), static_cast<int>(400 * 0.15 / 1.35),
                      static_cast<int>(600 / 1.16), static_cast<int>(400 / 1.35));
    const int near = 12; // pixels from the frame's edges
    const bool left = std::abs(changed.left() - frame.left()) < near;
    const bool right = std::abs(changed.right() - frame.right()) < near;
    const bool top = std::abs(changed.top() - frame.top()) < near;
    const bool bottom = std::abs(changed.bottom() - frame.bottom()) < near;
    QVERIFY2((left || right) && (top || bottom) && changed.width() < frame.width() * 3 / 4,
             qPrintable(QStringLiteral("%1 %2 %3 %4")
                            .arg(changed.left())
                            .arg(changed.top())
                            .arg(changed.right())
                            .arg(changed.bottom())));
    const QColor colour = qtColour(b.wb.store.CurveColor[1]);
    QVERIFY(pixelsOf(plain.copy(changed), colour) < 5);
    QVERIFY(pixelsOf(named.copy(changed), colour) > 10);
}

// A new session, untouched options: the default experiment's sub-microampere voltammogram, saved as
// an image, spans most of the frame both ways, and Find Peak reports its peak.
void RenderTest::firstSimulationOfASessionFillsThePlotAndItsPeaksAreFound() {
    SimulatedBench b;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("first.png"));
    writeOffscreenPlot(b.wb, path.toStdString());
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
    const QRect frame = boxOf(image, QColor(Qt::black));
    const QRect curve = boxOf(image, qtColour(b.wb.store.CurveColor[1]));
    QVERIFY(!curve.isEmpty());
    QVERIFY(frame.contains(curve));
    QVERIFY2(curve.width() > 0.75 * frame.width() && curve.height() > 0.5 * frame.height(),
             qPrintable(QStringLiteral("curve %1 x %2 in a frame of %3 x %4")
                            .arg(curve.width())
                            .arg(curve.height())
                            .arg(frame.width())
                            .arg(frame.height())));
    QCOMPARE(runCommand(b.wb, "mnuFindPeak"), CommandStatus::Ran);
    const QString report = QString::fromStdString(b.wb.log.text());
    QVERIFY2(report.contains(QStringLiteral("Curve 1:\r\nPeak 1: Ep= ")), qPrintable(report));
}

// A full device, a missing folder, /dev/full and a failing rename: each is reported as "Save graph
// Error: " with the reason, nothing is logged, the previous image is intact and no temporary file is
// left beside it.
void RenderTest::saveGraphFailuresAreReportedAndKeepTheOldImage() {
    GraphBench b;
    const std::string old = "an older image";
    const std::string path = b.file("plot.bmp");
    std::ofstream(path, std::ios::binary) << old;
    struct Case {
        std::string path;
        SaveFaults faults;
        std::string description;
    };
    const Case cases[] = {
        {path, {.spaceLeft = 0}, "Path/File access error: cannot write " + path + " (No space left on device)"},
        {path, {.spaceLeft = 1000}, "Path/File access error: cannot write " + path + " (No space left on device)"},
        {b.file("missing/plot.bmp"), {}, "Path/File access error: the folder " + b.file("missing") + " does not exist"},
        {"/dev/full", {}, "Path/File access error: cannot write /dev/full (No space left on device)"},
        {path, {.beforeRename = [](const std::string&) { raise("rename interrupted"); }}, "rename interrupted"},
    };
    for (const Case& c : cases) {
        b.port.messages.clear();
        {
            ScopedSaveFaults faults(c.faults);
            b.saveGraph(c.path);
        }
        QCOMPARE(int(b.port.messages.size()), 1);
        QCOMPARE(QString::fromStdString(b.port.messages.back().text),
                 QString::fromStdString("Save graph Error: " + c.description));
        QCOMPARE(QString::fromStdString(b.port.messages.back().title), QStringLiteral("Error"));
        QCOMPARE(QString::fromStdString(b.wb.log.text()), QString());
        QCOMPARE(QString::fromStdString(bytesOf(path)), QString::fromStdString(old));
        QCOMPARE(b.names(), std::vector<std::string>{"plot.bmp"});
    }
    b.saveGraph(path); // and then a save that works
    QCOMPARE(head(QString::fromStdString(path), 2), QByteArray("BM"));
    QCOMPARE(QString::fromStdString(b.wb.log.text()), QString::fromStdString("Save graph to file " + path + " :\r\n"));
}

// The program killed while it saves: after the new image is complete, before the rename. The previous
// image is intact.
void RenderTest::saveGraphKilledBeforeTheRenameKeepsTheOldImage() {
    GraphBench b;
    const std::string path = b.file("plot.bmp");
    std::ofstream(path, std::ios::binary) << "an older image";
    b.port.fileAnswers.push_back(path);
    const pid_t child = ::fork();
    if (child == 0) {
        ScopedSaveFaults kill({.beforeRename = [](const std::string&) { ::kill(::getpid(), SIGKILL); }});
        saveGraphCommand(b.wb);
        ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    QCOMPARE(QString::fromStdString(bytesOf(path)), QStringLiteral("an older image"));
    const std::vector<std::string> names = b.names();
    QCOMPARE(int(names.size()), 2); // the dead save's temporary file, hidden beside the image
    QVERIFY(names[0].rfind(".plot.bmp.", 0) == 0);
    QCOMPARE(QByteArray::fromStdString(bytesOf(b.file(names[0].c_str())).substr(0, 2)), QByteArray("BM"));
}

void RenderTest::saveGraphKeepsPermissionsAndFollowsLinks() {
    namespace fs = std::filesystem;
    GraphBench b;
    const std::string path = b.file("plot.bmp");
    std::ofstream(path, std::ios::binary) << "an older image";
    fs::permissions(path, fs::perms(0640), fs::perm_options::replace);
    fs::create_symlink(path, b.file("link.bmp"));
    b.saveGraph(b.file("link.bmp"));
    QVERIFY(b.port.messages.empty());
    QVERIFY(fs::is_symlink(b.file("link.bmp")));
    QCOMPARE(head(QString::fromStdString(path), 2), QByteArray("BM"));
    QVERIFY(fs::status(path).permissions() == fs::perms(0640));
    QCOMPARE(b.names(), (std::vector<std::string>{"link.bmp", "plot.bmp"}));
}

// SVG, PDF and PNG drawings are made in memory and written like the bitmap: a device that fills up
// keeps the previous file whole and leaves nothing beside it; with room the drawing is written.
void RenderTest::saveGraphOfEveryFormatKeepsTheOldFileOnAFullDevice() {
    const struct {
        const char* name;
        QByteArray magic;
    } formats[] = {{"plot.svg", "<?xml"}, {"plot.pdf", "%PDF"}, {"plot.png", "\x89PNG"}, {"plot.bmp", "BM"}};
    for (const auto& f : formats) {
        GraphBench b;
        const std::string path = b.file(f.name);
        std::ofstream(path, std::ios::binary) << "an older drawing";
        {
            ScopedSaveFaults full({.spaceLeft = 100});
            b.saveGraph(path);
        }
        QCOMPARE(QString::fromStdString(b.port.messages.back().text),
                 QString::fromStdString("Save graph Error: Path/File access error: cannot write " + path +
                                        " (No space left on device)"));
        QCOMPARE(QString::fromStdString(bytesOf(path)), QStringLiteral("an older drawing"));
        QCOMPARE(b.names(), std::vector<std::string>{f.name});
        b.saveGraph(path);
        QCOMPARE(head(QString::fromStdString(path), f.magic.size()), f.magic);
        QCOMPARE(b.names(), std::vector<std::string>{f.name});
    }
}

} // namespace tessaly::test

QTEST_MAIN(tessaly::test::RenderTest)
#include "RenderTest.moc"
