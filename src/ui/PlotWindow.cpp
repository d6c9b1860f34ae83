#include "ui/PlotWindow.h"

#include "render/PlotImage.h"
#include "render/QtCanvas.h"
#include "workbench/Workbench.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace tessaly {

namespace {

constexpr double kWheelZoom = 0.8; // view scale per wheel notch forward (zooms in)
constexpr double kKeyZoom = 0.8;   // per + key
constexpr double kKeyPan = 0.1;    // of the view per arrow key
constexpr int kSmallestBox = 4;    // pixels: a smaller box is a click, not a zoom

} // namespace

PlotWindow::PlotWindow(Workbench& wb, QWidget* parent) : QWidget(parent), m_wb(wb) {
    setObjectName(QStringLiteral("FormPlot"));
    setWindowTitle(QStringLiteral("Plot"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
    setStatusTip(
        QStringLiteral("Wheel: zoom (Shift: E only, Ctrl: i only) \u00b7 drag: pan \u00b7 right-drag: "
                       "zoom box \u00b7 double-click or Home: whole curve"));
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

ViewRange PlotWindow::currentView() const {
    return m_wb.plotView ? *m_wb.plotView : frameView(m_wb.plotState);
}

void PlotWindow::setView(const ViewRange& view) {
    if (!m_wb.plotRequest.valid || !usableView(view))
        return;
    m_wb.plotView = view;
    m_label.reset();
    update();
}

void PlotWindow::resetView() {
    m_wb.plotView.reset();
    m_label.reset();
    update();
}

void PlotWindow::zoomAbout(double x, double y, double factorX, double factorY) {
    setView(zoomedAbout(currentView(), x, y, factorX, factorY));
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
    if (m_drag == Drag::Box && !m_band.isNull()) {
        painter.setPen(QPen(QColor(0x00, 0x72, 0xB2), 1.0, Qt::DashLine));
        painter.setBrush(QColor(0x00, 0x72, 0xB2, 40));
        painter.drawRect(m_band.normalized());
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

bool PlotWindow::overFrame(const QPointF& windowPoint) const {
    const auto p = plotPoint(windowPoint);
    return p && insideFrame(m_wb.plotState, p->x(), p->y());
}

void PlotWindow::showReadout(const QPointF& windowPoint) {
    const auto p = plotPoint(windowPoint);
    if (!p || !insideFrame(m_wb.plotState, p->x(), p->y())) {
        emit pointerReadout(QString());
        return;
    }
    emit pointerReadout(QString::fromStdString(
        tessaly::pointerReadout(m_wb.store.XTitle, m_wb.store.YTitle, m_wb.plotState, p->x(), p->y())));
}

void PlotWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_drag == Drag::Pending && (at - m_pressAt).manhattanLength() >= QApplication::startDragDistance()) {
        m_drag = m_boxDrag ? Drag::Box : Drag::Pan;
        m_label.reset(); // a drag is not a click
    }
    if (m_drag == Drag::Pan) {
        const QPointF from = userPoint(m_pressScale, QRectF(rect()), m_pressAt);
        const QPointF to = userPoint(m_pressScale, QRectF(rect()), at);
        setView(panned(m_pressView, from.x() - to.x(), from.y() - to.y()));
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (m_drag == Drag::Box) {
        m_band = QRect(m_pressAt, at);
        update();
        return;
    }
    if (overFrame(event->position()))
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
    showReadout(event->position());
    // Over the current axis (left of the frame, within its height) the tooltip states the sign.
    const auto p = plotPoint(event->position());
    const PlotState& st = m_wb.plotState;
    const bool besideFrame = p && !insideFrame(st, p->x(), p->y()) && p->y() >= std::min(st.Ymin, st.Ymax) &&
                             p->y() <= std::max(st.Ymin, st.Ymax) && event->position().x() < width() / 2.0;
    const bool currentAxis = besideFrame && m_wb.store.YTitle.starts_with("i ");
    setToolTip(currentAxis ? QStringLiteral("Current, A: reduction (cathodic) current positive, oxidation "
                                            "negative. Imported files that write anodic current positive "
                                            "are negated on import.")
                           : QString());
}

void PlotWindow::mousePressEvent(QMouseEvent* event) {
    if (!overFrame(event->position()))
        return;
    const bool box = event->button() == Qt::RightButton ||
                     (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    if (event->button() == Qt::LeftButton && !box) {
        const auto p = plotPoint(event->position());
        m_label = clickLabel(m_wb.plotState, p->x(), p->y());
        update();
    }
    if (event->button() == Qt::LeftButton || box) {
        m_drag = Drag::Pending;
        m_boxDrag = box;
        m_pressAt = event->position().toPoint();
        m_pressView = currentView();
        m_pressScale = m_scale;
        m_band = QRect();
    }
}

void PlotWindow::mouseReleaseEvent(QMouseEvent* event) {
    const Drag drag = m_drag;
    m_drag = Drag::None;
    unsetCursor();
    if (drag != Drag::Box)
        return;
    const QRect band = m_band.normalized();
    m_band = QRect();
    if (band.width() < kSmallestBox || band.height() < kSmallestBox) {
        update();
        return;
    }
    const QPointF a = userPoint(m_pressScale, QRectF(rect()), band.topLeft());
    const QPointF b = userPoint(m_pressScale, QRectF(rect()), band.bottomRight());
    setView(boxView(a.x(), a.y(), b.x(), b.y()));
    update();
    showReadout(event->position());
}

void PlotWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        resetView();
}

void PlotWindow::wheelEvent(QWheelEvent* event) {
    const auto p = plotPoint(event->position());
    const double notches = event->angleDelta().y() / 120.0;
    if (!p || notches == 0.0) {
        event->ignore();
        return;
    }
    const double factor = std::pow(kWheelZoom, notches);
    const bool xOnly = event->modifiers() & Qt::ShiftModifier;
    const bool yOnly = event->modifiers() & Qt::ControlModifier;
    zoomAbout(p->x(), p->y(), yOnly ? 1.0 : factor, xOnly ? 1.0 : factor);
    showReadout(event->position());
    event->accept();
}

void PlotWindow::keyPressEvent(QKeyEvent* event) {
    const ViewRange v = currentView();
    const double cx = (v.Xmin + v.Xmax) / 2.0;
    const double cy = (v.Ymin + v.Ymax) / 2.0;
    const double dx = kKeyPan * (v.Xmax - v.Xmin);
    const double dy = kKeyPan * (v.Ymax - v.Ymin);
    // With the X direction reversed, the left arrow still moves the view towards the left of the screen.
    const double right = m_wb.plotOptions.CheckXdir ? -dx : dx;
    switch (event->key()) {
    case Qt::Key_Home:
        resetView();
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomAbout(cx, cy, kKeyZoom, kKeyZoom);
        break;
    case Qt::Key_Minus:
        zoomAbout(cx, cy, 1.0 / kKeyZoom, 1.0 / kKeyZoom);
        break;
    case Qt::Key_Left:
        setView(panned(v, -right, 0.0));
        break;
    case Qt::Key_Right:
        setView(panned(v, right, 0.0));
        break;
    case Qt::Key_Up:
        setView(panned(v, 0.0, dy));
        break;
    case Qt::Key_Down:
        setView(panned(v, 0.0, -dy));
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PlotWindow::leaveEvent(QEvent* event) {
    emit pointerReadout(QString());
    QWidget::leaveEvent(event);
}

} // namespace tessaly
