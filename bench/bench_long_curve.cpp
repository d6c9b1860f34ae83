// Every curve command on an imported measurement of 1,000,000 points, as the user meets it: the menu
// command through the command table (its error boundary included, which keeps a copy of the store to
// undo a non-finite result), on a slow cyclic scan imported from a tab export with a header. Each
// command starts from the freshly imported store. A command that shows a message fails its benchmark.
//
// Measured (g++ 12, RelWithDebInfo, shared 2-core machine, load 5; one run each; CPU time, wall in
// brackets). Every command through the table costs about 0.44 s CPU at 1,000,000 points before it
// computes anything: the error boundary's copy of the store (the curve table is 136 MB), the legend's
// copy of the curve table, the finiteness check and the plot limits. The displays show that floor:
//   Import (38 MB tab file)             0.68 s (1.1 s)
//   i vs E, Waveform, t/E as X-axis     0.44 s (0.65 s)
//   -Y, Scale Y, Move Y, 0.001X, Reverse, Y1+Y2, Y2-Y1, Baseline    0.43-0.44 s (0.63-0.72 s)
//   dy/dt, Integrate, Smooth, Log wave  0.44-0.46 s (0.66-0.72 s)
//   Semi dy/dt, Semi-integrate          1.03 s (1.53 s)   the transform convolution: 0.6 s
//   Log((I lim - I)/i)                  1.07 s (1.62 s)
//   i to C0, Co0 and Cr0 to i           0.45-0.46 s (0.63-0.71 s)
//   Co0 to i1 (semi-derivative)         1.02 s (1.56 s);  Cr0 to i1, Co0 to i8  0.43-0.48 s
//   i1 to C0 (inverse semi-derivative)  2.25 s (3.45 s)   reciprocal series and one convolution
//   Subtract Blank (imports the blank)  0.80 s (1.19 s)
//   Find Peak, Find Halfwave E          0.48-0.50 s (0.74-0.79 s)
//   Export, Export Curves               0.65-0.67 s (1.0-1.05 s)
//   painting the plot on a canvas that counts what is drawn: 47 ms CPU, 1,000,000 primitives
// Before this change the semi-derivative's direct sum alone took 0.5 10^12 multiply-adds (minutes)
// and the conversions stopped at point 5000.

#include "plot/Canvas.h"
#include "support/RecordingUserPort.h"
#include "workbench/CommandTable.h"
#include "workbench/Workbench.h"

#include "MeasuredCycleText.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tessaly;

constexpr int kPoints = 1000000;

// The cycle in 2 uV steps at 1 mV/s with a small sloping background, written once per run.
const std::string& millionPointFile() {
    static const std::string path = [] {
        const std::string name =
            (std::filesystem::temp_directory_path() / "tessaly-bench-long-curve.txt").string();
        std::ofstream(name, std::ios::binary) << bench::measuredCycleText(kPoints, 0.002, 1e-8);
        return name;
    }();
    return path;
}

// A workbench that holds the imported curve, and the store as the import left it.
struct Imported {
    RecordingUserPort port;
    Workbench wb{port};
    CurveStore fresh;
    ExperimentParams params;

    Imported() {
        port.fileAnswers.push_back(millionPointFile());
        runCommand(wb, "Import");
        wb.params.td = "0.002"; // s per point: 2 uV at 1 mV/s
        wb.params.V = "0.001";  // V/s
        wb.params.committed.DropTime = 0.002;
        wb.params.committed.ScanRate = 0.001;
        fresh = wb.store;
        params = wb.params;
    }
};

Imported& imported() {
    static Imported instance;
    return instance;
}

struct CommandCase {
    const char* name;
    std::vector<std::optional<std::string>> files;
    std::vector<std::optional<std::string>> inputs;
};

void runOnImported(benchmark::State& state, const CommandCase& c) {
    Imported& im = imported();
    if (im.fresh.NPoints != kPoints) {
        state.SkipWithError("the import did not give 1,000,000 points");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        im.wb.store = im.fresh;
        im.wb.params = im.params;
        im.port.messages.clear();
        im.port.fileAnswers.assign(c.files.begin(), c.files.end());
        im.port.inputAnswers.assign(c.inputs.begin(), c.inputs.end());
        state.ResumeTiming();
        const CommandStatus status = runCommand(im.wb, c.name);
        benchmark::DoNotOptimize(im.wb.store.Curve.data().data());
        state.PauseTiming();
        if (status != CommandStatus::Ran || !im.port.messages.empty()) {
            const std::string why = status != CommandStatus::Ran
                                        ? std::string("the command did not run")
                                        : "message: " + im.port.messages.front().text;
            state.SkipWithError(why.c_str());
            break;
        }
        state.ResumeTiming();
    }
    state.counters["points"] = im.wb.store.NPoints;
}

void importMillionPoints(benchmark::State& state) {
    for (auto _ : state) {
        RecordingUserPort port;
        Workbench wb(port);
        port.fileAnswers.push_back(millionPointFile());
        runCommand(wb, "Import");
        state.counters["points"] = wb.store.NPoints;
        if (wb.store.NPoints != kPoints)
            state.SkipWithError("the import did not give 1,000,000 points");
    }
}
BENCHMARK(importMillionPoints)->Unit(benchmark::kMillisecond)->Iterations(1);

// A canvas that only counts what the plot draws, so that the painting of the curve is timed without
// a window.
class CountingCanvas : public Canvas {
public:
    long long primitives = 0;
    void clear() override {}
    void setScale(const UserScale&) override {}
    void setPen(PenStyle) override {}
    void line(double, double, double, double, Colour) override { ++primitives; }
    void rectangle(double, double, double, double, Colour) override { ++primitives; }
    void filledRectangle(double, double, double, double, Colour) override { ++primitives; }
    void pixel(double, double, Colour) override { ++primitives; }
    void text(double, double, std::string_view, TextAnchor) override { ++primitives; }
    void beginCurves(double, double, double, double) override {}
    void endCurves() override {}
    void legend(double, double, double, double, LegendCorner, std::span<const LegendEntry>) override {}
};

// Painting the imported curve as the plot window does after the import.
void paintMillionPoints(benchmark::State& state) {
    Imported& im = imported();
    im.wb.store = im.fresh;
    im.wb.redraw(Abscissa::Potential);
    CountingCanvas canvas;
    for (auto _ : state) {
        canvas.primitives = 0;
        im.wb.paintPlot(canvas);
    }
    state.counters["primitives"] = static_cast<double>(canvas.primitives);
}
BENCHMARK(paintMillionPoints)->Unit(benchmark::kMillisecond)->Iterations(3);

const bool registered = [] {
    const std::string exported =
        (std::filesystem::temp_directory_path() / "tessaly-bench-long-export.txt").string();
    const std::vector<CommandCase> cases = {
        {"Semi", {}, {}},
        {"SemiInte", {}, {}},
        {"Diff", {}, {}},
        {"Integrate", {}, {}},
        {"Smooth", {}, {}},
        {"Log", {}, {}},
        {"LogIrr", {}, {}},
        {"ItoC0", {}, {}},
        {"C0toI", {}, {}},
        {"i1toC0", {}, {}},
        {"Co0toI1", {}, {}},
        {"Cr0toI1", {}, {}},
        {"Co0toi8", {}, {}},
        {"iE", {}, {}},
        {"Et", {}, {}},
        {"it", {}, {}},
        {"EAxis", {}, {}},
        {"0001X", {}, {}},
        {"MinusX", {}, {}},
        {"MinusY", {}, {}},
        {"ScaleY", {}, {"2"}},
        {"MoveY", {}, {"1e-7"}},
        {"Y1Y2", {}, {}},
        {"Y2Y1", {}, {}},
        {"Baseline", {}, {"0.45 0.3 -0.3 -0.45"}},
        {"SubtractBlank", {millionPointFile()}, {}},
        {"FindPeak", {}, {}},
        {"FindHalfwaveE", {}, {}},
        {"Export", {exported}, {}},
        {"ExportCurves", {exported}, {}},
    };
    for (const CommandCase& c : cases) {
        benchmark::RegisterBenchmark(("command/" + std::string(c.name)).c_str(),
                                     [c](benchmark::State& state) { runOnImported(state, c); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    return true;
}();

} // namespace
