#include "render/QtCanvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>

namespace tessaly {

QColor qtColour(Colour colour) {
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

QtCanvas::QtCanvas(QPainter& painter, const QRectF& target, double pixelSize)
    : m_painter(painter), m_target(target), m_pixelSize(pixelSize) {}

void QtCanvas::clear() {
    m_painter.fillRect(m_target, Qt::white);
}

void QtCanvas::setScale(const UserScale& scale) {
    m_scale = scale;
}

void QtCanvas::setPen(PenStyle pen) {
    m_pen = pen;
}

QPointF QtCanvas::toDevice(double x, double y) const {
    const double width = m_scale.right - m_scale.left;
    const double height = m_scale.top - m_scale.bottom;
    const double px = width != 0.0 ? (x - m_scale.left) / width : 0.0;
    const double py = height != 0.0 ? (m_scale.top - y) / height : 0.0;
    return {m_target.left() + px * m_target.width(), m_target.top() + py * m_target.height()};
}

QPointF userPoint(const UserScale& scale, const QRectF& target, const QPointF& device) {
    const double fx = target.width() > 0.0 ? (device.x() - target.left()) / target.width() : 0.0;
    const double fy = target.height() > 0.0 ? (device.y() - target.top()) / target.height() : 0.0;
    return {scale.left + fx * (scale.right - scale.left), scale.top - fy * (scale.top - scale.bottom)};
}

QPointF QtCanvas::toUser(const QPointF& device) const {
    return userPoint(m_scale, m_target, device);
}

void QtCanvas::usePen(Colour colour) {
    QPen pen(qtColour(colour));
    // Curves a little heavier than the frame, so they read at a glance and print well.
    pen.setWidthF(m_curves ? 1.5 * m_pixelSize : m_pixelSize);
    pen.setStyle(m_pen == PenStyle::Dashed ? Qt::DashLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
}

void QtCanvas::line(double x1, double y1, double x2, double y2, Colour colour) {
    usePen(colour);
    m_painter.drawLine(toDevice(x1, y1), toDevice(x2, y2));
}

void QtCanvas::rectangle(double x1, double y1, double x2, double y2, Colour colour) {
    usePen(colour);
    m_painter.drawRect(QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized());
}

void QtCanvas::marker(double x, double y, double halfWidth, double halfHeight, Colour colour) {
    constexpr double kSmallest = 2.0; // half side, pixels
    constexpr double kLargest = 4.0;
    const QPointF centre = toDevice(x, y);
    const QPointF corner = toDevice(x + halfWidth, y + halfHeight);
    const double half =
        std::clamp(std::min(std::fabs(corner.x() - centre.x()), std::fabs(corner.y() - centre.y())),
                   kSmallest * m_pixelSize, kLargest * m_pixelSize);
    usePen(colour);
    m_painter.drawRect(QRectF(centre.x() - half, centre.y() - half, 2.0 * half, 2.0 * half));
}

void QtCanvas::beginCurves(double x1, double y1, double x2, double y2) {
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setClipRect(QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized(), Qt::IntersectClip);
    m_curves = true;
}

void QtCanvas::endCurves() {
    if (!m_curves)
        return;
    m_curves = false;
    m_painter.restore();
}

void QtCanvas::legend(double x1, double y1, double x2, double y2, LegendCorner corner,
                      std::span<const LegendEntry> entries) {
    const QRectF frame = QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized();
    const QFontMetricsF metrics(m_painter.font(), m_painter.device());
    const double pad = 4.0 * m_pixelSize;
    const double sample = 24.0 * m_pixelSize; // length of the line sample
    const double rowHeight = metrics.height();
    double textWidth = 0.0;
    for (const LegendEntry& entry : entries)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(QString::fromStdString(entry.name)));
    // As wide as the longest name, but never beyond two thirds of the frame: longer names are elided.
    const double widest = std::max(0.0, 2.0 * frame.width() / 3.0 - sample - 3.0 * pad);
    textWidth = std::min(textWidth, widest);
    const QSizeF size(textWidth + sample + 3.0 * pad,
                      rowHeight * static_cast<double>(entries.size()) + 2.0 * pad);
    const bool right = corner == LegendCorner::UpperRight || corner == LegendCorner::LowerRight;
    const bool upper = corner == LegendCorner::UpperRight || corner == LegendCorner::UpperLeft;
    const QPointF topLeft(right ? frame.right() - size.width() - pad : frame.left() + pad,
                          upper ? frame.top() + pad : frame.bottom() - size.height() - pad);
    const QRectF box(topLeft, size);

    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setClipRect(frame);
    m_painter.setPen(QPen(QColor(0x80, 0x80, 0x80), m_pixelSize));
    m_painter.setBrush(QColor(255, 255, 255, 225));
    m_painter.drawRect(box);
    double top = box.top() + pad;
    for (const LegendEntry& entry : entries) {
        const double middle = top + rowHeight / 2.0;
        const QColor colour = qtColour(entry.colour);
        const double left = box.left() + pad;
        if (entry.style == 3) { // a line
            m_painter.setPen(QPen(colour, 1.5 * m_pixelSize));
            m_painter.drawLine(QPointF(left, middle), QPointF(left + sample, middle));
        } else if (entry.style == 2) { // markers
            m_painter.setPen(QPen(colour, m_pixelSize));
            m_painter.setBrush(Qt::NoBrush);
            const double half = 3.0 * m_pixelSize;
            for (double x : {left + half, left + sample / 2.0, left + sample - half})
                m_painter.drawRect(QRectF(x - half, middle - half, 2.0 * half, 2.0 * half));
        } else { // dots
            for (double x = left; x <= left + sample; x += 4.0 * m_pixelSize)
                m_painter.fillRect(
                    QRectF(x, middle - m_pixelSize / 2.0, 1.5 * m_pixelSize, 1.5 * m_pixelSize), colour);
        }
        m_painter.setPen(Qt::black);
        const QString name =
            metrics.elidedText(QString::fromStdString(entry.name), Qt::ElideRight, textWidth + m_pixelSize);
        m_painter.drawText(QPointF(left + sample + pad, top + metrics.ascent()), name);
        top += rowHeight;
    }
    m_painter.restore();
}

void QtCanvas::filledRectangle(double x1, double y1, double x2, double y2, Colour colour) {
    m_painter.fillRect(QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized(), qtColour(colour));
}

void QtCanvas::pixel(double x, double y, Colour colour) {
    // On whole pixels, so a dot stays sharp when the curves are smoothed.
    const QPointF p = toDevice(x, y);
    const double px = std::floor(p.x() / m_pixelSize) * m_pixelSize;
    const double py = std::floor(p.y() / m_pixelSize) * m_pixelSize;
    m_painter.fillRect(QRectF(px, py, m_pixelSize, m_pixelSize), qtColour(colour));
}

void QtCanvas::text(double x, double y, std::string_view text, TextAnchor anchor) {
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetricsF metrics(m_painter.font(), m_painter.device());
    QPointF topLeft = toDevice(x, y);
    if (anchor == TextAnchor::TopCentre)
        topLeft.rx() -= metrics.horizontalAdvance(s) / 2.0;
    m_painter.setPen(Qt::black);
    m_painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), s);
}

} // namespace tessaly
