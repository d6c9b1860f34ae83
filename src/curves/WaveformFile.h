#pragma once
// Waveform files: a potential programme as text, one point per line, time (s) and potential (V)
// separated by a comma, CR LF line ends. A sampled programme is written in the print form of its
// numbers (" 100 , .4 "); a designed one as the texts of its vertex rows ("100,-0.4"). The reader
// accepts both.

#include "curves/CurveStore.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

struct WaveformText {
    std::string text;
    int lines = 0; // points (lines) written
};

// A sampled programme: the time and E(i) of every point i = 0..LastIndex, each number in print form.
// The times are those of the programme of `technique` (programmeTime): a waveform's own, or i drop
// times (dropTime, s) for the programmes the run builds.
WaveformText sampledWaveformText(const CurveStore& store, int technique, double dropTime);

// A designed programme: the texts of row 0 and of every row whose time is not 0, as typed.
WaveformText designWaveformText(std::span<const std::string> t1, std::span<const std::string> E1);

// The points of a waveform file, read completely before anything is stored.
struct WaveformData {
    std::vector<double> t; // times, s
    std::vector<double> E; // potentials, V
    int count = 0;
};

// Reads a waveform file of at most maxPoints points (5001 for a sampled programme, 12 for the
// design grid). Fails on a field that is not a number, more points than maxPoints ("Subscript out of
// range"), or a file with no point ("Input past end of file"); the failure names the line.
WaveformData readWaveformFile(std::string_view text, int maxPoints);

// Stores a read programme: one curve (NCurves = CurvesPerRun = 1), WaveT and E for points
// 0..count-1, NPoints = count, LastIndex = count - 1 and LastPoint = count - 2, as for any file read.
void storeWaveform(CurveStore& store, const WaveformData& data);

} // namespace tessaly
