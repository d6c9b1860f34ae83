// Sampling of the designed waveform: counts and potentials of the polyline, vertical steps, the end
// of the polyline, and the limits of the point arrays.

#include "curves/WaveformDesign.h"

#include "base/Failure.h"

#include <array>
#include <gtest/gtest.h>

namespace tessaly {
namespace {

using Rows = std::array<std::string, 12>;

// The default grid: 0.4 V for 100 s, -0.4 V for 100 s, 0.4 V for 100 s.
const Rows kDefaultTimes = {"0", "100", "100", "200", "200", "300", "0", "0", "0", "0", "0", "0"};
const Rows kDefaultPotentials = {"0.4", "0.4", "-0.4", "-0.4", "0.4", "0.4", "0", "0", "0", "0", "0", "0"};

TEST(WaveformDesign, DefaultGridAtHalfASecond) {
    CurveStore store;
    sampleDesignWaveform(kDefaultTimes, kDefaultPotentials, 0.5, store);
    // 201 samples per 100 s plateau, one per vertical step: 201 + 1 + 201 + 1 + 201.
    EXPECT_EQ(store.NPoints, 605);
    EXPECT_EQ(store.LastIndex, 604);
    EXPECT_EQ(store.LastPoint, 604);
    EXPECT_DOUBLE_EQ(store.WaveT[604], 302);
    for (int i = 0; i <= 604; ++i) {
        // The step sample holds the potential before the step.
        const double expected = i <= 201 ? 0.4 : i <= 403 ? -0.4 : 0.4;
        ASSERT_DOUBLE_EQ(store.E[i], expected) << i;
        ASSERT_EQ(store.EApplied[i], store.E[i]) << i;
        ASSERT_DOUBLE_EQ(store.WaveT[i], 0.5 * i) << i;
    }
}

TEST(WaveformDesign, EqualTimesDoNotEndTheDesign) {
    const Rows times = {"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"};
    const Rows potentials = {"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1", "1.1"};
    CurveStore store;
    sampleDesignWaveform(times, potentials, 0.5, store);
    EXPECT_EQ(store.NPoints, 11); // one sample for each of rows 0..10, at that row's potential
    for (int k = 0; k <= 10; ++k)
        EXPECT_DOUBLE_EQ(store.E[k], 0.1 * k);
}

TEST(WaveformDesign, RampsAreLinearBetweenVertices) {
    // A triangle 0 -> 1 V in 10 s and back in 5 s, sampled every 0.1 s (not exact in binary): the
    // samples lie on the lines through the vertices, and each segment reaches its end vertex.
    const Rows times = {"0", "10", "15", "0", "0", "0", "0", "0", "0", "0", "0", "0"};
    const Rows potentials = {"0", "1", "0", "5", "5", "5", "5", "5", "5", "5", "5", "5"};
    CurveStore store;
    sampleDesignWaveform(times, potentials, 0.1, store);
    ASSERT_EQ(store.NPoints, 101 + 51);
    for (int j = 0; j <= 100; ++j)
        EXPECT_NEAR(store.E[j], 0.1 * j * 0.1, 1e-12) << j;
    for (int j = 0; j <= 50; ++j)
        EXPECT_NEAR(store.E[101 + j], 1 - 0.1 * j / 5, 1e-12) << j;
    EXPECT_EQ(designSampleCount(times, potentials, 0.1), 152);
}

TEST(WaveformDesign, NumericallyEqualTimesAreAStep) {
    const Rows times = {"0", "1", "1.0", "2", "0", "0", "0", "0", "0", "0", "0", "0"};
    const Rows potentials = {"0", "0", "1", "1", "0", "0", "0", "0", "0", "0", "0", "0"};
    CurveStore store;
    sampleDesignWaveform(times, potentials, 1, store);
    ASSERT_EQ(store.NPoints, 2 + 1 + 2);
    EXPECT_EQ(store.E[2], 0); // the step sample, before the step
    EXPECT_EQ(store.E[3], 1);
}

TEST(WaveformDesign, RefusedDesignsLeaveTheStoreAlone) {
    CurveStore store;
    store.NPoints = 7;
    store.E[0] = 0.123;
    const Rows longRamp = {"0", "2501", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"};
    const Rows flat = {"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"};
    EXPECT_EQ(designSampleCount(longRamp, flat, 1), 2502);
    try {
        sampleDesignWaveform(longRamp, flat, 0.5, store); // 5003 samples
        ADD_FAILURE() << "sampled";
    } catch (const Failure& f) {
        EXPECT_EQ(f.description(), "Subscript out of range");
    }
    try {
        sampleDesignWaveform(kDefaultTimes, kDefaultPotentials, 0, store);
        ADD_FAILURE() << "sampled with dt = 0";
    } catch (const Failure& f) {
        EXPECT_EQ(f.description(), "Invalid procedure call or argument");
    }
    EXPECT_THROW(sampleDesignWaveform(kDefaultTimes, kDefaultPotentials, -0.5, store), Failure);
    EXPECT_EQ(store.NPoints, 7);
    EXPECT_EQ(store.E[0], 0.123);
    // 2500 s at 0.5 s is 5001 samples: the arrays' whole capacity.
    const Rows fullRamp = {"0", "2500", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"};
    EXPECT_EQ(designSampleCount(fullRamp, flat, 0.5), 5001);
}

TEST(WaveformDesign, ABackwardRowEndsThePolyline) {
    const Rows times = {"0", "2", "1", "5", "6", "0", "0", "0", "0", "0", "0", "0"};
    const Rows potentials = {"0", "1", "1", "1", "1", "0", "0", "0", "0", "0", "0", "0"};
    CurveStore store;
    sampleDesignWaveform(times, potentials, 1, store);
    EXPECT_EQ(store.NPoints, 3); // rows after the backward one are ignored
}

} // namespace
} // namespace tessaly
