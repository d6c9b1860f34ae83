#include "render/PlotImage.h"

#include "base/AtomicFile.h"
#include "base/Failure.h"
#include "render/QtCanvas.h"
#include "workbench/Workbench.h"

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>
#include <cmath>

namespace tessaly {

PlotOutcome paintWorkbenchPlot(Workbench& wb, QPainter& painter, const QRectF& target, double pixelSize) {
    QtCanvas canvas(painter, target, pixelSize);
    canvas.clear();
    try {
        return wb.paintPlot(canvas);
    } catch (const Failure&) {
        // The command that asked for the drawing has reported the failure; the repaint stays blank.
        canvas.clear();
        return {};
    }
}

QImage renderPlotImage(Workbench& wb, QSize size) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintWorkbenchPlot(wb, painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    painter.end();
    return image;
}

std::string encodePlotImage(const QImage& image, const std::string& path) {
    const QString name = QString::fromStdString(path);
    const char* format = name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? "PNG" : "BMP";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        raise(std::string("Path/File access error: cannot encode the image of ") + path);
    return bytes.toStdString();
}

void writePlotImage(const QImage& image, const std::string& path) {
    writeFileAtomically(path, encodePlotImage(image, path));
}

GraphFormat graphFormatOf(const std::string& path) {
    const QString name = QString::fromStdString(path);
    if (name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        return GraphFormat::Png;
    if (name.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
        return GraphFormat::Svg;
    if (name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return GraphFormat::Pdf;
    return GraphFormat::Bitmap;
}

namespace {

constexpr double kScreenDpi = 96;

// Each drawing is made in memory and written as the other saves are, through a temporary file and a
// rename (writePlotFile): a failed save keeps the file it was to replace.
bool drawSvg(Workbench& wb, QSize size, QBuffer& out) {
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(static_cast<int>(kScreenDpi));
    svg.setTitle(QStringLiteral("Tessaly plot"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    paintWorkbenchPlot(wb, painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return painter.end();
}

// One page the size of the plot (at 96 per inch), no margins; drawn in the writer's finer units.
bool drawPdf(Workbench& wb, QSize size, QBuffer& out) {
    QPdfWriter pdf(&out);
    pdf.setResolution(1200);
    pdf.setTitle(QStringLiteral("Tessaly plot"));
    pdf.setCreator(QStringLiteral("Tessaly"));
    const QSizeF points(size.width() * 72.0 / kScreenDpi, size.height() * 72.0 / kScreenDpi);
    pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    const double scale = pdf.resolution() / kScreenDpi;
    paintWorkbenchPlot(wb, painter, QRectF(0, 0, size.width() * scale, size.height() * scale), scale);
    return painter.end();
}

bool drawPng(Workbench& wb, QSize size, QBuffer& out, double dotsPerInch) {
    const double scale = dotsPerInch / kScreenDpi;
    const QSize pixels(std::max(1, static_cast<int>(std::lround(size.width() * scale))),
                       std::max(1, static_cast<int>(std::lround(size.height() * scale))));
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    paintWorkbenchPlot(wb, painter, QRectF(QPointF(0, 0), QSizeF(pixels)), scale);
    painter.end();
    return image.save(&out, "PNG");
}

} // namespace

void writePlotFile(Workbench& wb, QSize size, const std::string& path, double dotsPerInch) {
    size = size.expandedTo(QSize(1, 1));
    const GraphFormat format = graphFormatOf(path);
    if (format == GraphFormat::Bitmap) {
        writePlotImage(renderPlotImage(wb, size), path);
        return;
    }
    QByteArray bytes;
    bool drawn = false;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (format == GraphFormat::Svg)
            drawn = drawSvg(wb, size, buffer);
        else if (format == GraphFormat::Pdf)
            drawn = drawPdf(wb, size, buffer);
        else
            drawn = drawPng(wb, size, buffer, dotsPerInch);
    } // the PDF writer finishes its file when it is destroyed, inside the drawing
    if (!drawn || bytes.isEmpty())
        raise(std::string("Path/File access error: cannot draw the plot for ") + path);
    writeFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace tessaly
