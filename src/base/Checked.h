#pragma once
// Checked conversions and indices. Counts and point indices are 16-bit in the stored formats and
// reports; we keep them in int but every conversion goes through here, so a count beyond 32767 or an
// index beyond a fixed capacity is a reported failure rather than silent wrap-around.

#include "base/Failure.h"

#include <cfenv>
#include <cmath>
#include <cstdint>

namespace tessaly {

inline constexpr int kInt16Max = 32767;
inline constexpr int kInt16Min = -32768;

// Rounds to the nearest integer (halves to even, as a 16-bit conversion of a double does) and
// raises "Overflow" outside the 16-bit range or for a NaN.
inline int toInt16(double value) {
    if (!(value >= kInt16Min - 0.5 && value < kInt16Max + 0.5))
        raise(failure_text::overflow);
    const double r = std::nearbyint(value); // default rounding mode: to nearest, ties to even
    if (r < kInt16Min || r > kInt16Max)
        raise(failure_text::overflow);
    return static_cast<int>(r);
}

// An int result that must still fit a 16-bit count (for example NPoints + 1).
inline int checkedInt16(long long value) {
    if (value < kInt16Min || value > kInt16Max)
        raise(failure_text::overflow);
    return static_cast<int>(value);
}

// Index into an array of fixed capacity [low, high]; raises "Subscript out of range" otherwise.
inline int checkedIndex(long long index, int low, int high) {
    if (index < low || index > high)
        raise(failure_text::subscriptOutOfRange);
    return static_cast<int>(index);
}

// Floating-point failures are detected, not ignored: clear the exception flags when a computation
// starts and test them where the computation may stop. Underflow and inexact results are normal.
class FloatingPointGuard {
public:
    FloatingPointGuard() { clear(); }
    static void clear() { std::feclearexcept(FE_ALL_EXCEPT); }
    // Raises the failure that a flagged exception stands for, then clears the flags.
    static void check() {
        const int flags = std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID);
        if (flags == 0)
            return;
        clear();
        if (flags & FE_DIVBYZERO)
            raise(failure_text::divisionByZero);
        if (flags & FE_OVERFLOW)
            raise(failure_text::overflow);
        raise(failure_text::invalidCall);
    }
};

} // namespace tessaly
