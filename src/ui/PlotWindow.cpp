#include "ui/PlotWindow.h"

#include "render/PlotImage.h"
#include "render/QtCanvas.h"
#include "workbench/Workbench.h"

#include <QMouseEvent>
#include <QPainter>

namespace tessaly {

PlotWindow::PlotWindow(Workbench& wb, QWidget* parent) : QWidget(parent), m_wb(wb) {
    setObjectName(QStringLiteral("FormPlot"));
    setWindowTitle(QStringLiteral("Plot"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

QSize PlotWindow::sizeHint() const {
    return {640, 480};
}

void PlotWindow::plotChanged() {
    m_label.reset();
    update();
}

QString PlotWindow::clickText() const {
    return m_label ? QString::fromStdString(m_label->text) : QString();
}

void PlotWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF area(rect());
    const PlotOutcome outcome = paintWorkbenchPlot(m_wb, painter, area);
    m_drawn = outcome.result == PlotResult::Drawn;
    m_scale = outcome.scale;
    if (m_drawn && m_label) {
        QtCanvas canvas(painter, area);
        canvas.setScale(m_scale);
        printClickLabel(*m_label, canvas);
    }
}

void PlotWindow::resizeEvent(QResizeEvent* event) {
    // A resize redraws the plot afresh, which also removes a click label.
    m_label.reset();
    QWidget::resizeEvent(event);
}

std::optional<QPointF> PlotWindow::plotPoint(const QPointF& windowPoint) const {
    if (!m_drawn)
        return std::nullopt;
    return userPoint(m_scale, QRectF(rect()), windowPoint);
}

void PlotWindow::mouseMoveEvent(QMouseEvent* event) {
    const auto p = plotPoint(event->position());
    if (p && insideFrame(m_wb.plotState, p->x(), p->y()))
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
}

void PlotWindow::mousePressEvent(QMouseEvent* event) {
    const auto p = plotPoint(event->position());
    if (!p || !insideFrame(m_wb.plotState, p->x(), p->y()))
        return;
    m_label = clickLabel(m_wb.plotState, p->x(), p->y());
    update();
}

} // namespace tessaly
