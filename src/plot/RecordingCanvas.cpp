#include "plot/RecordingCanvas.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace tessaly {

void RecordingCanvas::record(CanvasOp op, double x1, double y1, double x2, double y2, Colour colour) {
    CanvasCall call;
    call.op = op;
    call.x1 = x1;
    call.y1 = y1;
    call.x2 = x2;
    call.y2 = y2;
    call.colour = colour;
    call.pen = m_pen;
    m_calls.push_back(std::move(call));
}

void RecordingCanvas::clear() {
    record(CanvasOp::Clear, 0.0, 0.0, 0.0, 0.0, kBlack);
}

void RecordingCanvas::setScale(const UserScale& scale) {
    m_scale = scale;
    record(CanvasOp::SetScale, scale.left, scale.top, scale.right, scale.bottom, kBlack);
}

void RecordingCanvas::setPen(PenStyle pen) {
    m_pen = pen;
    record(CanvasOp::SetPen, 0.0, 0.0, 0.0, 0.0, kBlack);
}

void RecordingCanvas::line(double x1, double y1, double x2, double y2, Colour colour) {
    record(CanvasOp::Line, x1, y1, x2, y2, colour);
}

void RecordingCanvas::rectangle(double x1, double y1, double x2, double y2, Colour colour) {
    record(CanvasOp::Rectangle, x1, y1, x2, y2, colour);
}

void RecordingCanvas::filledRectangle(double x1, double y1, double x2, double y2, Colour colour) {
    record(CanvasOp::FilledRectangle, x1, y1, x2, y2, colour);
}

void RecordingCanvas::pixel(double x, double y, Colour colour) {
    record(CanvasOp::Pixel, x, y, x, y, colour);
}

void RecordingCanvas::text(double x, double y, std::string_view text, TextAnchor anchor) {
    record(CanvasOp::Text, x, y, x, y, kBlack);
    m_calls.back().text = std::string(text);
    m_calls.back().anchor = anchor;
}

void RecordingCanvas::beginCurves(double x1, double y1, double x2, double y2) {
    record(CanvasOp::BeginCurves, x1, y1, x2, y2, kBlack);
}

void RecordingCanvas::endCurves() {
    record(CanvasOp::EndCurves, 0.0, 0.0, 0.0, 0.0, kBlack);
}

void RecordingCanvas::legend(double x1, double y1, double x2, double y2, LegendCorner corner,
                             std::span<const LegendEntry> entries) {
    for (const LegendEntry& entry : entries) {
        record(CanvasOp::Legend, x1, y1, x2, y2, entry.colour);
        m_calls.back().text = entry.name;
        m_calls.back().style = entry.style;
        m_calls.back().corner = corner;
    }
}

std::vector<CanvasCall> RecordingCanvas::callsOf(CanvasOp op) const {
    std::vector<CanvasCall> selected;
    std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(selected),
                 [op](const CanvasCall& call) { return call.op == op; });
    return selected;
}

std::size_t RecordingCanvas::count(CanvasOp op) const {
    return static_cast<std::size_t>(std::count_if(m_calls.begin(), m_calls.end(),
                                                  [op](const CanvasCall& call) { return call.op == op; }));
}

} // namespace tessaly
