#include "curves/WaveformDesign.h"

#include "base/Failure.h"
#include "base/NumberText.h"

#include <algorithm>
#include <cmath>

namespace tessaly {
namespace {

// Samples of one segment, or -1 when the segment runs backwards in time and so ends the polyline.
// The count is taken from the quotient rather than by accumulating t += dt, so that a step such as
// 0.1 s, which binary arithmetic cannot hold exactly, still reaches the vertex at the segment's end.
long long segmentSamples(double tStart, double tEnd, double dt) {
    const double span = tEnd - tStart; // s
    if (span < 0)
        return -1;
    const double steps = span / dt;
    if (!(steps <= kPointCapacity))
        raise(failure_text::subscriptOutOfRange);
    return static_cast<long long>(std::floor(steps + 1e-9)) + 1;
}

template <typename Sink>
int walkDesign(std::span<const std::string> t1, std::span<const std::string> E1, double dt, Sink&& sink) {
    if (!(dt > 0) || !std::isfinite(dt))
        raise(failure_text::invalidCall);
    const std::size_t rows = std::min(t1.size(), E1.size());
    long long n = 0;
    for (std::size_t k = 0; k + 1 < rows; ++k) {
        const double tk = leadingNumber(t1[k]), tNext = leadingNumber(t1[k + 1]); // s
        const double ek = leadingNumber(E1[k]), eNext = leadingNumber(E1[k + 1]); // V
        const long long samples = segmentSamples(tk, tNext, dt);
        if (samples < 0)
            break;
        if (n + samples > kPointCapacity)
            raise(failure_text::subscriptOutOfRange);
        for (long long j = 0; j < samples; ++j, ++n) {
            // A vertical step holds the potential before the step.
            const double e =
                tNext == tk ? ek : ek + (eNext - ek) * (static_cast<double>(j) * dt) / (tNext - tk);
            sink(static_cast<int>(n), e);
        }
    }
    return static_cast<int>(n);
}

} // namespace

int designSampleCount(std::span<const std::string> t1, std::span<const std::string> E1, double dt) {
    return walkDesign(t1, E1, dt, [](int, double) {});
}

void sampleDesignWaveform(std::span<const std::string> t1, std::span<const std::string> E1, double dt,
                          CurveStore& store) {
    designSampleCount(t1, E1, dt); // fails before anything is written
    const int n = walkDesign(t1, E1, dt, [&store](int i, double e) { store.E[i] = e; });
    for (int i = 0; i < n; ++i) {
        store.WaveT[i] = i * dt;
        store.EApplied[i] = store.E[i];
    }
    store.Cycle.clear();
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.LastPoint = store.LastIndex;
}

} // namespace tessaly
