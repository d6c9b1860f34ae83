#include "render/PlotImage.h"

#include "base/Failure.h"
#include "render/QtCanvas.h"
#include "workbench/Workbench.h"

#include <QPainter>
#include <QString>

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

} // namespace tessaly
