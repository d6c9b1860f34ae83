#pragma once
// Sampling of the designed waveform (technique 9): the polyline through the vertices (t1(k), E1(k)),
// k = 0..11, is sampled every dt into the potential programme of the curve store.

#include "curves/CurveStore.h"

#include <span>
#include <string>

namespace tessaly {

// Number of samples of the polyline with vertex times `t1` (s) and potentials `E1` (V) at the step
// dt (s). Segment k (row k to row k+1, k = 0..10) is sampled at t1(k), t1(k) + dt, ... up to and
// including t1(k+1): a vertex shared by two segments is sampled twice, and a vertical step (equal
// times) adds one sample at the potential before the step. A row whose time is smaller than the one
// before it (a time of 0 after a later row) ends the polyline; rows after it are ignored.
// "Invalid procedure call or argument" unless dt > 0; "Subscript out of range" beyond 5001 samples.
int designSampleCount(std::span<const std::string> t1, std::span<const std::string> E1, double dt);

// Writes the samples into E and EApplied (V) with WaveT(i) = i dt (s), and sets NPoints, LastIndex =
// NPoints - 1 and LastPoint = LastIndex. Fails as designSampleCount does, before writing anything.
void sampleDesignWaveform(std::span<const std::string> t1, std::span<const std::string> E1, double dt,
                          CurveStore& store);

} // namespace tessaly
