#include "render/QtCanvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QString>

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
    pen.setWidthF(m_pixelSize);
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

void QtCanvas::filledRectangle(double x1, double y1, double x2, double y2, Colour colour) {
    m_painter.fillRect(QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized(), qtColour(colour));
}

void QtCanvas::pixel(double x, double y, Colour colour) {
    const QPointF p = toDevice(x, y);
    m_painter.fillRect(QRectF(p.x(), p.y(), m_pixelSize, m_pixelSize), qtColour(colour));
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
