// Simulations of 20,000 points against the same experiments at 5,000 points: a single sweep from
// +0.3 V to -0.3 V at 0.1 V/s whose potential step shrinks with the point count (120 uV and 30 uV),
// run as the simulation function into a reused result. The kinds of run:
//   kinetic      mechanism 1 (ks = 0.01 cm/s) at the planar disk: the kinetic solver
//   afterPass    mechanism 11 (Nernstian) at the planar disk: closed form per point, then the
//                semi-derivative of the whole curve (a transform beyond 5001 points)
//   history      mechanism 11 at the ring (electrode 8): the sweep superposition sums the whole
//                history at every point, O(N^2)
//   squareWave   mechanism 11, square wave: the level superposition, O(N^2)
//   digital      the finite-difference model, reversible couple, one time step per point
//
// Measured (g++ 12, RelWithDebInfo, shared 2-core machine at a load of 4; CPU time; the ratio
// 20,001 / 5,001 points is 4 for a linear cost and 16 for a quadratic one):
//                 5,001 points   20,001 points   ratio
//   kinetic          0.64 ms         2.54 ms      4.0
//   afterPass        4.1 ms         18.9 ms       4.6   (direct sum at 5,001, transform beyond)
//   history          2.1 ms         10.2 ms       5.0   (point-by-point sums before: 104 ms, ratio 15)
//   squareWave       7.9 ms         38.0 ms       4.8   (point-by-point sums before: 412 ms, ratio 16)
//   digital          0.46 ms         1.79 ms      3.9
// Figures taken in one session on a machine shared with other builds vary by up to 2x between runs;
// the ratios are steadier. The history sums of runs longer than 5,001 points are one convolution per
// reaction (and level); shorter runs keep the point-by-point sums.

#include "model/Commits.h"
#include "model/SimulationInput.h"
#include "simulation/SimulationDriver.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace tessaly;

enum class Kind { Kinetic, AfterPass, History, SquareWave, Digital };

ExperimentParams experiment(Kind kind, int points) {
    ExperimentParams p;
    p.Estart = "0.3";
    p.Eend = "-0.3";
    const double step = 0.6 / (points - 1); // V
    p.Estep = std::to_string(step);
    p.V = "0.1";
    p.td = std::to_string(step / 0.1);
    p.TextTimeGrid = p.td;
    p.mech = kind == Kind::Kinetic || kind == Kind::Digital ? 1 : 11;
    p.ks[1] = kind == Kind::Digital ? "1e4" : "0.01";
    p.Eze[1] = "0";
    p.Electrode = kind == Kind::History ? 8 : 1;
    if (kind == Kind::SquareWave) {
        p.optTech = 5;
        p.Epulse = "0.025";
    }
    p.CheckDigital = kind == Kind::Digital;
    p.DigitalFlag = p.CheckDigital;
    Notices notices;
    commitSpecies(p, notices);
    return p;
}

void simulateSweep(benchmark::State& state, Kind kind) {
    const int points = static_cast<int>(state.range(0));
    const ExperimentParams p = experiment(kind, points);
    const SimulationInput input = simulationInputOf(p);
    SimulationResult result;
    for (auto _ : state) {
        Simulate(input, result);
        if (!result.finished()) {
            state.SkipWithError(result.failure ? result.failure->c_str() : "the run did not finish");
            break;
        }
        benchmark::DoNotOptimize(result.total(result.LastPoint));
    }
    state.counters["points"] = result.NPoints;
}

BENCHMARK_CAPTURE(simulateSweep, kinetic, Kind::Kinetic)
    ->Arg(5001)
    ->Arg(20001)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(simulateSweep, afterPass, Kind::AfterPass)
    ->Arg(5001)
    ->Arg(20001)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(simulateSweep, history, Kind::History)
    ->Arg(5001)
    ->Arg(20001)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(simulateSweep, squareWave, Kind::SquareWave)
    ->Arg(5001)
    ->Arg(20001)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(simulateSweep, digital, Kind::Digital)
    ->Arg(5001)
    ->Arg(20001)
    ->Unit(benchmark::kMillisecond);

} // namespace
