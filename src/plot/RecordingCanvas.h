#pragma once
// A canvas that keeps every drawing call as a value, in order: the plot's tests read it, and a
// headless front-end can replay or dump it.

#include "plot/Canvas.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tessaly {

enum class CanvasOp {
    Clear,
    SetScale,
    SetPen,
    Line,
    Rectangle,
    FilledRectangle,
    Pixel,
    Text,
    BeginCurves, // x1..y2: the clipping frame
    EndCurves,
    Legend, // one call per entry: the frame in x1..y2, its name in `text`, colour and style
};

// One call. Coordinates are in user units: x1, y1 (and x2, y2) as passed; for SetScale they hold
// left, top, right, bottom. `pen` is the pen set by SetPen, or the pen in force for a drawing call.
struct CanvasCall {
    CanvasOp op = CanvasOp::Clear;
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    Colour colour = kBlack;
    PenStyle pen = PenStyle::Solid;
    TextAnchor anchor = TextAnchor::TopLeft;
    std::string text;
    int style = 0;                                  // for Legend: the entry's drawing style
    LegendCorner corner = LegendCorner::UpperRight; // for Legend
};

class RecordingCanvas : public Canvas {
public:
    void clear() override;
    void setScale(const UserScale& scale) override;
    void setPen(PenStyle pen) override;
    void line(double x1, double y1, double x2, double y2, Colour colour) override;
    void rectangle(double x1, double y1, double x2, double y2, Colour colour) override;
    void filledRectangle(double x1, double y1, double x2, double y2, Colour colour) override;
    void pixel(double x, double y, Colour colour) override;
    void text(double x, double y, std::string_view text, TextAnchor anchor) override;
    void beginCurves(double x1, double y1, double x2, double y2) override;
    void endCurves() override;
    void legend(double x1, double y1, double x2, double y2, LegendCorner corner,
                std::span<const LegendEntry> entries) override;

    const std::vector<CanvasCall>& calls() const { return m_calls; }
    // The calls of one kind, in order.
    std::vector<CanvasCall> callsOf(CanvasOp op) const;
    std::size_t count(CanvasOp op) const;
    // Forgets the record (not a drawing call: the record of a clear() is kept by clear()).
    void forget() { m_calls.clear(); }

    const UserScale& scale() const { return m_scale; }
    PenStyle pen() const { return m_pen; }

private:
    void record(CanvasOp op, double x1, double y1, double x2, double y2, Colour colour);

    std::vector<CanvasCall> m_calls;
    UserScale m_scale;
    PenStyle m_pen = PenStyle::Solid;
};

} // namespace tessaly
