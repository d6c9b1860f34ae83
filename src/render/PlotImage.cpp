#include "render/PlotImage.h"

#include "base/Failure.h"
#include "render/QtCanvas.h"
#include "workbench/Workbench.h"

#include <QFile>
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

bool writePlotImage(const QImage& image, const std::string& path) {
    const QString name = QString::fromStdString(path);
    const char* format = name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? "PNG" : "BMP";
    return image.save(name, format);
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

bool writeSvg(Workbench& wb, QSize size, const QString& name) {
    QSvgGenerator svg;
    svg.setFileName(name);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(static_cast<int>(kScreenDpi));
    svg.setTitle(QStringLiteral("Tessaly plot"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    paintWorkbenchPlot(wb, painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return painter.end() && QFile::exists(name);
}

// One page the size of the plot (at 96 per inch), no margins; drawn in the writer's finer units.
bool writePdf(Workbench& wb, QSize size, const QString& name) {
    QPdfWriter pdf(name);
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

bool writePng(Workbench& wb, QSize size, const QString& name, double dotsPerInch) {
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
    return image.save(name, "PNG");
}

} // namespace

bool writePlotFile(Workbench& wb, QSize size, const std::string& path, double dotsPerInch) {
    size = size.expandedTo(QSize(1, 1));
    const QString name = QString::fromStdString(path);
    switch (graphFormatOf(path)) {
    case GraphFormat::Svg:
        return writeSvg(wb, size, name);
    case GraphFormat::Pdf:
        return writePdf(wb, size, name);
    case GraphFormat::Png:
        return writePng(wb, size, name, dotsPerInch);
    case GraphFormat::Bitmap:
        break;
    }
    return writePlotImage(renderPlotImage(wb, size), path);
}

} // namespace tessaly
