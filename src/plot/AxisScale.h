#pragma once
// Axis arithmetic of the plot, free of drawing: the decade that labels an axis, the rounding of
// automatic limits out to whole decade units, and the spacing and number of tick marks.

namespace tessaly {

// 10^k for k = -15..9, as the correctly rounded decimal constant.
double powerOfTen(int k);

// The decade of an axis: the tick labels are integers in units of 10^exponent.
struct Decade {
    double unit = 1.0; // 10^exponent, in the axis' units
    int exponent = 0;
    bool found = false; // false: no k of the search range matched and the unit is 10^kHigh
};

// The first k of kLow, kLow + 1, ..., kHigh with 10^k <= magnitude < 10^(k+1). When none matches
// (a magnitude below 10^kLow, at or above 10^(kHigh+1), or not a number) the decade is 10^kHigh and
// `found` is false. Requires -15 <= kLow <= kHigh <= 8.
Decade findDecade(double magnitude, int kLow, int kHigh);

// An automatic upper limit: one whole unit beyond the unit below the value, (floor(v/u) + 1)·u, so a
// value that already is a multiple of the unit still gets one unit of room.
double roundUpLimit(double value, double unit);

// An automatic lower limit: (trunc(v/u) - 1)·u with trunc rounding toward zero.
double roundDownLimit(double value, double unit);

// The spacing of the tick marks over `span` with about one mark per decade unit: n = span/unit
// rounded to the nearest integer (halves to even), step = span/n. A count of 0 (a span of less than
// half a unit) or a count that is not finite gives no marks.
struct TickStep {
    double step = 0.0; // distance between marks, axis units; positive when valid
    bool valid = false;
};
TickStep tickStep(double span, double unit);

// Most marks an axis gets; a larger count (an axis far outside the decade search) draws none.
inline constexpr int kMaxMarks = 1000;

// Number of marks start, start + step, start + 2·step, ... that do not pass `end` (end included):
// the marks of a loop "while x <= end". The comparison allows a relative rounding error of 1e-9 of
// a step so the last mark of an exact division is not lost to rounding. 0 when the step is not
// valid, when start lies beyond end, or when more than kMaxMarks would be needed.
int marksThrough(double start, double end, double step);

// Marks on whole multiples of a round step (1, 2 or 5 times a power of ten) over [low, high], for a
// frame the user zoomed or panned to, whose edges are not whole decade units: the round step nearest
// to (high - low)/target, so about `target` marks,
// labelled as integers in units of `unit` (the step is 1, 2 or 5 units, or one unit of ten times
// the power). No marks when the range is empty or not finite.
struct AlignedMarks {
    double unit = 1.0;  // unit of the labels, a power of ten, axis units
    double step = 0.0;  // distance between marks, axis units
    double first = 0.0; // the lowest mark, a multiple of step at or above low
    int count = 0;      // marks first, first + step, ... up to high
};
AlignedMarks alignedMarks(double low, double high, int target);

// Number of marks start, start + step, ... that stay strictly before `end` (a loop "while x < end"),
// with the same rounding allowance and limits.
int marksBefore(double start, double end, double step);

} // namespace tessaly
