#pragma once
// The commands that only rearrange the curve store for display: which abscissa, which ordinates.
// Each returns the abscissa the redraw uses. None of them changes CurvesPerRun, the count of curves of
// the last producing command, by which the next run allocates its column.

#include "curves/CurveStore.h"

namespace tessaly {

enum class Abscissa { Potential, XAxis };

// i vs E: the current curves against potential.
Abscissa showCurrentVsPotential(CurveStore& store);

// i s vs E: the two sampled currents of a pulse technique, summed over the charge reactions.
Abscissa showSampledCurrents(CurveStore& store, bool overlap, int numCharge);

// C0 vs E: the surface concentration of every species.
Abscissa showSurfaceConcentrations(CurveStore& store, bool overlap, int numSpecies);

// Waveform: the potential programme against time: E of each point, at the point's time (the
// waveform's own times for techniques 9 and 10, i·dropTime otherwise). dropTime is the time per
// point, s. The caller clears the plot's X-direction option.
Abscissa showWaveform(CurveStore& store, int technique, double dropTime);

// t as X-axis: time abscissa, ordinates unchanged. The caller clears the X-direction option.
Abscissa useTimeAxis(CurveStore& store, int technique, double dropTime);

// E as X-axis: potential abscissa again.
Abscissa usePotentialAxis(CurveStore& store);

// The time of point i of the potential programme, s: a designed or imported waveform, and measured
// data, carry their own (WaveT); the programmes the run builds advance by one drop time per point.
double programmeTime(const CurveStore& store, int technique, double dropTime, int i);

// Next Curve Number: the next column, wrapping to 1.
void selectNextCurve(CurveStore& store);

} // namespace tessaly
