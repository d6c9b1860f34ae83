#pragma once
// The plot window `FormPlot` (caption "Plot"): repaints the workbench's last plot whenever it is
// exposed or resized, shows a cross pointer over the frame, and prints the clicked point's
// coordinates above the graph.

#include "plot/Canvas.h"
#include "plot/PlotClick.h"

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

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The plot coordinates of a window point under the last drawing's scale; nothing when the last
    // paint drew no frame.
    std::optional<QPointF> plotPoint(const QPointF& windowPoint) const;

    Workbench& m_wb;
    UserScale m_scale;    // coordinate system of the last paint
    bool m_drawn = false; // the last paint drew a frame
    std::optional<ClickLabel> m_label;
};

} // namespace tessaly
