#pragma once
// The plot window `FormPlot` (caption "Plot"): repaints the workbench's last plot whenever it is
// exposed or resized, shows a cross pointer over the frame, and prints the clicked point's
// coordinates above the graph. The plot can be explored: the wheel zooms about the pointer (Shift:
// E only, Ctrl: i only), dragging with the left button pans, dragging with the right button (or
// Shift and the left) draws a box to zoom into, + and - zoom, the arrow keys pan, and a double click
// or Home returns to the automatic range. The pointer's E and i are read out as it moves.

#include "plot/Canvas.h"
#include "plot/PlotClick.h"
#include "plot/PlotView.h"

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <optional>

namespace tessaly {

class Workbench;

class PlotWindow : public QWidget {
    Q_OBJECT
public:
    explicit PlotWindow(Workbench& wb, QWidget* parent = nullptr);

    // A command redrew the plot: any click label goes and the window repaints.
    void plotChanged();

    // The click text now shown above the graph ("" when none).
    QString clickText() const;

    // The frame now shown: the user's view, or the frame of the last drawing.
    ViewRange currentView() const;
    // Shows a view (ignored when it cannot be drawn); returns to the automatic range.
    void setView(const ViewRange& view);
    void resetView();
    // Zooms by `factor` per axis about a point of the plot (plot units).
    void zoomAbout(double x, double y, double factorX, double factorY);

    QSize sizeHint() const override;

signals:
    // The pointer's place in plot units as the status bar shows it, or "" when it left the frame.
    void pointerReadout(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The plot coordinates of a window point under the last drawing's scale; nothing when the last
    // paint drew no frame.
    std::optional<QPointF> plotPoint(const QPointF& windowPoint) const;
    bool overFrame(const QPointF& windowPoint) const;
    void showReadout(const QPointF& windowPoint);

    enum class Drag { None, Pending, Pan, Box };

    Workbench& m_wb;
    UserScale m_scale;    // coordinate system of the last paint
    bool m_drawn = false; // the last paint drew a frame
    std::optional<ClickLabel> m_label;
    Drag m_drag = Drag::None;
    bool m_boxDrag = false; // the pending drag draws a zoom box rather than panning
    QPoint m_pressAt;       // window point where the drag started
    ViewRange m_pressView;  // the view when the drag started
    UserScale m_pressScale; // the scale when the drag started
    QRect m_band;           // the zoom box being drawn, window pixels
};

} // namespace tessaly
