#pragma once
// Shared set-up of the plot tests: a curve store with straight-line curves, the options with both
// axes automatic, and readers of the recorded drawing.

#include "curves/CurveStore.h"
#include "plot/PlotDrawing.h"
#include "plot/PlotOptions.h"
#include "plot/PlotState.h"
#include "plot/RecordingCanvas.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tessaly::test {

class PlotFixture : public ::testing::Test {
protected:
    void SetUp() override {
        options.Xauto = true;
        options.Yauto = true;
        PlotOptionsForm(options).load(store.CurveColor);
        store.XTitle = "E /V";
        store.YTitle = "i /A";
    }

    // n points with the abscissa E going linearly from `from` to `to`.
    void setAbscissa(int n, double from, double to) {
        store.FirstPoint = 0;
        store.LastPoint = n - 1;
        for (int i = 0; i < n; ++i)
            store.E[i] = from + (to - from) * i / (n - 1);
    }

    // Curve c going linearly from `from` to `to` over the active range; NCurves covers it.
    void setCurve(int c, double from, double to) {
        const int n = store.LastPoint - store.FirstPoint + 1;
        for (int i = 0; i < n; ++i)
            store.Curve(i, c) = from + (to - from) * i / (n - 1);
        store.NCurves = std::max(store.NCurves, c);
    }

    PlotOutcome draw() { return drawPlot(plotInputOf(store, store.E), options, state, canvas); }

    // The texts whose anchor has abscissa x (to a millionth of the frame width).
    std::vector<std::string> textsAtX(double x) const {
        std::vector<std::string> texts;
        for (const CanvasCall& call : canvas.callsOf(CanvasOp::Text)) {
            if (std::fabs(call.x1 - x) <= 1e-6 * std::fabs(state.Xmax - state.Xmin))
                texts.push_back(call.text);
        }
        return texts;
    }

    // The texts whose anchor has ordinate y (to a millionth of the frame height).
    std::vector<std::string> textsAtY(double y) const {
        std::vector<std::string> texts;
        for (const CanvasCall& call : canvas.callsOf(CanvasOp::Text)) {
            if (std::fabs(call.y1 - y) <= 1e-6 * std::fabs(state.Ymax - state.Ymin))
                texts.push_back(call.text);
        }
        return texts;
    }

    // The X tick labels: texts along the bottom edge of the frame (the lowest Y label stands at the
    // same height, outside the frame).
    std::vector<std::string> xTickLabels() const {
        std::vector<std::string> texts;
        const double left = std::min(state.Xmin, state.Xmax);
        const double right = std::max(state.Xmin, state.Xmax);
        for (const CanvasCall& call : canvas.callsOf(CanvasOp::Text)) {
            if (call.y1 == state.Ymin && left <= call.x1 && call.x1 <= right)
                texts.push_back(call.text);
        }
        return texts;
    }

    // Lines drawn with the given pen.
    std::vector<CanvasCall> linesWith(PenStyle pen) const {
        std::vector<CanvasCall> lines;
        for (const CanvasCall& call : canvas.callsOf(CanvasOp::Line)) {
            if (call.pen == pen)
                lines.push_back(call);
        }
        return lines;
    }

    CurveStore store;
    PlotOptions options;
    PlotState state;
    RecordingCanvas canvas;
};

} // namespace tessaly::test
