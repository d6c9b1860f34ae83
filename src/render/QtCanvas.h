#pragma once
// The plot's canvas over a QPainter: user coordinates are mapped linearly onto a pixel rectangle
// (the window, an image or a printed page), so the plot algorithm draws the same on each of them.

#include "plot/Canvas.h"

#include <QColor>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace tessaly {

// A 0x00BBGGRR colour as Qt's colour.
QColor qtColour(Colour colour);

class QtCanvas : public Canvas {
public:
    // Draws with `painter` into `target` (device pixels); `pixelSize` is the side of a single pixel
    // and of the pen's width, in device pixels (1 on screen, larger on a printer).
    QtCanvas(QPainter& painter, const QRectF& target, double pixelSize = 1.0);

    void clear() override;
    void setScale(const UserScale& scale) override;
    void setPen(PenStyle pen) override;
    void line(double x1, double y1, double x2, double y2, Colour colour) override;
    void rectangle(double x1, double y1, double x2, double y2, Colour colour) override;
    void filledRectangle(double x1, double y1, double x2, double y2, Colour colour) override;
    void pixel(double x, double y, Colour colour) override;
    void text(double x, double y, std::string_view text, TextAnchor anchor) override;
    // A square whatever the proportions of the target: the smaller of the two half sides, in pixels
    // between a floor and a ceiling that keep it visible and light.
    void marker(double x, double y, double halfWidth, double halfHeight, Colour colour) override;
    void beginCurves(double x1, double y1, double x2, double y2) override;
    void endCurves() override;
    void legend(double x1, double y1, double x2, double y2, LegendCorner corner,
                std::span<const LegendEntry> entries) override;

    // User coordinates to device pixels and back, under the scale in force.
    QPointF toDevice(double x, double y) const;
    QPointF toUser(const QPointF& device) const;

private:
    void usePen(Colour colour);

    QPainter& m_painter;
    QRectF m_target;
    double m_pixelSize;
    UserScale m_scale;
    PenStyle m_pen = PenStyle::Solid;
    bool m_curves = false; // between beginCurves and endCurves
};

// The device-to-user mapping of a scale over a target rectangle, for the mouse handlers.
QPointF userPoint(const UserScale& scale, const QRectF& target, const QPointF& device);

} // namespace tessaly
