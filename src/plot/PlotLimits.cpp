#include "plot/PlotLimits.h"

#include "base/Failure.h"
#include "base/NumberText.h"
#include "plot/AxisScale.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tessaly {

namespace {

// Decade searches: ordinates from 1e-15 (femtoamperes) up, abscissae from 1e-5 up.
constexpr int kYDecadeLow = -15;
constexpr int kYDecadeHigh = 8;
constexpr int kXDecadeLow = -5;
constexpr int kXDecadeHigh = 5;

// Raises "Subscript out of range" unless 0 <= index < size.
void checkIndexBelow(long long index, std::size_t size) {
    if (index < 0 || static_cast<unsigned long long>(index) >= size)
        raise(failure_text::subscriptOutOfRange);
}

// Everything a drawing will index, checked before anything is computed or drawn.
void checkInput(const PlotInput& input, bool xAuto) {
    if (input.columns < 1)
        raise(failure_text::subscriptOutOfRange);
    checkIndexBelow(input.NCurves, static_cast<std::size_t>(input.columns));
    checkIndexBelow(input.NCurves, input.CurveColor.size());
    if (input.NCurves > kOptionSlots)
        checkIndexBelow(input.NCurves, input.CurveStyle.size());
    if (xAuto || input.first <= input.last)
        checkIndexBelow(input.first, input.abscissa.size());
    if (input.first <= input.last) {
        checkIndexBelow(input.last, input.abscissa.size());
        checkIndexBelow((static_cast<long long>(input.last) + 1) * input.columns - 1, input.curves.size());
    }
}

} // namespace

PlotInput plotInputOf(const CurveStore& store, const PointArray& abscissa) {
    PlotInput input;
    input.first = store.FirstPoint;
    input.last = store.LastPoint;
    input.abscissa = abscissa.span();
    input.curves = store.Curve.data();
    input.columns = PointTable::stride();
    input.NCurves = store.NCurves;
    input.CurveStyle = store.CurveStyle;
    input.CurveColor = store.CurveColor;
    input.XTitle = store.XTitle;
    input.YTitle = store.YTitle;
    return input;
}

PlotLimits plotLimits(const PlotInput& input, const PlotOptions& options) {
    checkInput(input, options.Xauto);
    PlotLimits limits;
    if (options.Xauto) {
        limits.Xmin = limits.Xmax = input.abscissa[static_cast<std::size_t>(input.first)];
        for (int i = input.first; i <= input.last; ++i) {
            const double x = input.abscissa[static_cast<std::size_t>(i)];
            limits.Xmin = std::min(limits.Xmin, x);
            limits.Xmax = std::max(limits.Xmax, x);
        }
    } else {
        limits.Xmin = leadingNumber(options.XminText);
        limits.Xmax = leadingNumber(options.XmaxText);
    }
    if (options.Yauto) {
        // The range always reaches 0 from above and starts at most at 10 from below.
        limits.Ymax = 0.0;
        limits.Ymin = 10.0;
        for (int c = 1; c <= input.NCurves; ++c) {
            for (int i = input.first; i <= input.last; ++i) {
                const double y = input.curve(i, c);
                limits.Ymin = std::min(limits.Ymin, y);
                limits.Ymax = std::max(limits.Ymax, y);
            }
        }
    } else {
        limits.Ymin = leadingNumber(options.YminText);
        limits.Ymax = leadingNumber(options.YmaxText);
    }

    const Decade yDecade =
        findDecade(std::max(limits.Ymax, std::fabs(limits.Ymin)), kYDecadeLow, kYDecadeHigh);
    if (yDecade.found && options.Yauto) {
        limits.Ymax = roundUpLimit(limits.Ymax, yDecade.unit);
        limits.Ymin = roundDownLimit(limits.Ymin, yDecade.unit);
    }
    const Decade xDecade =
        findDecade(std::max(limits.Xmax, std::fabs(limits.Xmin)), kXDecadeLow, kXDecadeHigh);
    if (xDecade.found && options.Xauto) {
        limits.Xmax = roundUpLimit(limits.Xmax, xDecade.unit);
        if (limits.Xmin != 0.0) // a range starting at exactly 0 (time) keeps 0
            limits.Xmin = roundDownLimit(limits.Xmin, xDecade.unit);
    }
    limits.XDecade = xDecade.unit;
    limits.YDecade = yDecade.unit;
    return limits;
}

void keepFrame(const PlotLimits& limits, PlotState& state) {
    state.Xmin = limits.Xmin;
    state.Xmax = limits.Xmax;
    state.Ymin = limits.Ymin;
    state.Ymax = limits.Ymax;
}

} // namespace tessaly
