#include "ui/PlotWindow.h"

#include "UiTestSupport.h"
#include "UiTests.h"
#include "ui/ResultWindow.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

namespace tessaly::test {

namespace {

// A simulated voltammogram of the default experiment, drawn with both axes automatic.
void simulate(Desktop& d) {
    d.wb.plotOptions.Xauto = true;
    d.wb.plotOptions.Yauto = true;
    d.window.runMenuCommand(QStringLiteral("mnuSimulate"));
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
        dialog.selectFile(path);
        static_cast<QDialog&>(dialog).accept();
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
    d.window.runMenuCommand(QStringLiteral("mnuSaveGraph"));
    QCOMPARE(head(path, 4), QByteArray("\x89PNG"));
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

} // namespace tessaly::test
