// Whole digital simulations, and the standard reversible cycle against a minimal hand-written implicit
// solver of the same size.
//
// The standard cycle: A + e = B (E0 = 0, ks = 1e4 cm/s, 1 mM, D = 1e-5 cm2/s, 1 cm2, 25 C) swept from
// 0.3 V to -0.3 V and back in 1 mV steps at 0.1 V/s, 1200 points on the automatic grid. The minimal
// solver integrates the same two species on the same number of cells for the same number of steps:
// a tridiagonal matrix factorised once, then per step one forward and one back substitution per
// species with the Nernst ratio as the surface value (one exponential) and backward Euler; it has no
// chemistry, kinetics, samples or second order. BM_StandardCycleOverMinimal times the two alternately
// (thread CPU time) and reports `ratio`, the model's time over the minimal solver's.
//
// Figures (g++ -O2 RelWithDebInfo, AMD EPYC 2.6 GHz, one core of a shared 2-core machine, CPU time, one
// run of ./build.sh bench):
//   BM_StandardReversibleCycle      0.23 ms  24 cells, 1339 steps, Randles-Sevcik (0.44629) +0.0065 %
//   BM_QuasiReversibleCycle         0.25 ms  24 cells, 1339 steps, 0.0050 % of the largest current from
//                                            a converged run (ks 0.01 cm/s, psi 0.9)
//   BM_MinimalImplicitSolver        0.19 ms  24 cells, 1339 steps
//   BM_StandardCycleOverMinimal     ratio 1.14 (model 0.218 ms, minimal 0.190 ms); up to 1.4 in runs on
//                                   the machine under the load of other builds
//   BM_EceSecondOrder               6.9 ms   23 cells, 659 steps, full 5 x 5 blocks, 2 Newton iterations
//   BM_FiveCouplesTenSpecies        1.1 ms   23 cells, 839 steps, ten species
// (1339 steps: one per point, twenty graded after the start and after each turn of the cycle.)
// Before the second-order automatic model the standard cycle took 0.44 ms on a first-order grid of 9
// cells, 2.4 times the minimal solver of that size, and the quasi-reversible cycle needed 2.9 ms for
// 0.01 %.

#include "digital/DigitalGrid.h"
#include "digital/DigitalSimulation.h"
#include "model/Commits.h"
#include "model/ExperimentParams.h"
#include "model/SimulationInput.h"
#include "simulation/PotentialProgramme.h"
#include "simulation/SimulationResult.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <ctime>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace tessaly;

constexpr double kF = 96484.6;                   // C/mol
constexpr double kFRT = kF / (8.31441 * 298.14); // 1/V

ExperimentParams baseExperiment() {
    ExperimentParams p;
    p.CheckDigital = true;
    p.optTech = 1;
    p.Electrode = 1;
    p.ARE = "1";
    p.Estart = "0.3";
    p.Eend = "-0.3";
    p.Estep = "0.001";
    p.V = "0.1";
    p.td = "0.01";
    p.ComboScan = 1;
    for (int s = 1; s <= kMaxSpecies; ++s) {
        p.D[s] = "1e-5";
        p.C[s] = "0";
        p.TextB[s] = "0";
    }
    p.C[1] = "1e-3";
    for (int i = 1; i <= kMaxCharge; ++i) {
        p.charge[10 * i + 2] = "";
        p.charge[10 * i + 6] = "";
    }
    p.charge[12] = "A";
    p.charge[16] = "B";
    p.Eze[1] = "0";
    return p;
}

// A + e = B, B + Z = C (second order, Z in excess), C + e = D.
ExperimentParams eceExperiment() {
    ExperimentParams p = baseExperiment();
    p.charge[22] = "C";
    p.charge[26] = "D";
    p.Eze[2] = "0.1";
    p.chem2[1] = "B";
    p.chem2[2] = "Z";
    p.chem2[3] = "C";
    p.kf[1] = "1000";
    p.kb[1] = "0";
    p.C[4] = "0.01"; // species order: A, B, C, D, Z
    p.ComboScan = 0;
    return p;
}

// A1 + e = B1 ... A5 + e = B5 at formal potentials 0.2, 0.1, 0, -0.1, -0.2 V.
ExperimentParams fiveCoupleExperiment() {
    ExperimentParams p = baseExperiment();
    const char* potentials[] = {"0.2", "0.1", "0", "-0.1", "-0.2"};
    for (int i = 1; i <= kMaxCharge; ++i) {
        p.charge[10 * i + 2] = "A" + std::to_string(i);
        p.charge[10 * i + 6] = "B" + std::to_string(i);
        p.Eze[i] = potentials[i - 1];
        p.ks[i] = "1e4";
        p.C[2 * i - 1] = "1e-3";
    }
    p.Estart = "0.5";
    p.Eend = "-0.499";
    p.Estep = "0.0025";
    p.V = "0.25";
    p.ComboScan = 0;
    return p;
}

// The committed experiment and its programme, as the simulation leaves them for the model, with the
// tables the model writes.
struct Programme {
    SimulationInput input;
    SimulationResult run;

    double current(int k, int column) const { return run.currents(k, column); }
};

std::unique_ptr<Programme> programmeOf(ExperimentParams& p) {
    Notices notices;
    commitSpecies(p, notices);
    auto programme = std::make_unique<Programme>();
    programme->input = simulationInputOf(p);
    SimulationResult& r = programme->run;
    buildPotentialProgramme(programme->input, r);
    r.LastIndex = r.NPoints - 1;
    r.FirstPoint = 1;
    r.LastPoint = r.NPoints - 2;
    r.currents.reset(r.NPoints + 1);
    r.surface.reset(r.NPoints + 1);
    return programme;
}

DigitalOutcome simulate(Programme& programme) {
    SimulationResult& r = programme.run;
    return DigitalSimulate(programme.input, DigitalProgramme{r.E, r.FirstPoint, r.LastPoint, r.NPoints},
                           DigitalOutput{&r.currents, &r.surface, &r.EApplied});
}

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The cathodic peak of the total current (column 2) by the parabola through the largest point.
double cathodicPeak(const Programme& store) {
    int best = 2;
    for (int k = 2; k < store.run.NPoints / 2 - 1; ++k)
        if (store.current(k, 2) > store.current(best, 2))
            best = k;
    const double y0 = store.current(best - 1, 2);
    const double y1 = store.current(best, 2);
    const double y2 = store.current(best + 1, 2);
    const double curvature = y0 - 2 * y1 + y2;
    const double shift = curvature == 0 ? 0.0 : 0.5 * (y0 - y2) / curvature;
    return y1 - 0.25 * (y0 - y2) * shift;
}

// --- the minimal solver -----------------------------------------------------------------------------

struct MinimalSolver {
    int cells = 0;
    std::vector<double> p, w, u; // factors of the tridiagonal matrix
    std::vector<double> a, b;    // profiles of A and B
    double flux = 0;             // D/h * conductance of the surface half cell, cm/s

    MinimalSolver(const DigitalGrid& grid, double dt) : cells(grid.cells) {
        const int n = cells;
        p.assign(n + 2, 0.0);
        w.assign(n + 2, 0.0);
        u.assign(n + 2, 0.0);
        const double lambda = 1e-5 * dt / (grid.firstCell * grid.firstCell);
        double upper = 0;
        for (int j = n; j >= 1; --j) {
            const double lower = lambda * grid.lower[j];
            const double c = lambda * grid.upper[j];
            w[j] = 1 / (1 + lower + c - c * upper);
            p[j] = lower * w[j];
            u[j] = c * w[j];
            upper = p[j];
        }
        flux = 1e-5 * grid.surfaceConductance / grid.firstCell;
    }

    // Runs `steps` equal steps over the programme (the potential of each step on the ramp between the
    // points); returns the last current, A/cm2.
    double run(const std::vector<double>& potentials, long long steps) {
        const int n = cells;
        a.assign(n + 2, 1e-6);
        b.assign(n + 2, 0.0);
        double current = 0;
        const double pointsPerStep = static_cast<double>(potentials.size() - 1) / static_cast<double>(steps);
        for (long long k = 1; k <= steps; ++k) {
            const double at = pointsPerStep * static_cast<double>(k);
            const std::size_t point = std::min(potentials.size() - 1, static_cast<std::size_t>(at) + 1);
            const double e = potentials[point - 1] +
                             (potentials[point] - potentials[point - 1]) * (at - static_cast<double>(point - 1));
            const double oxidised = 1 / (1 + std::exp(-kFRT * e));
            double q = a[n + 1];
            for (int j = n; j >= 1; --j) {
                q = a[j] * w[j] + u[j] * q;
                a[j] = q;
            }
            a[0] = 1e-6 * oxidised;
            for (int j = 1; j <= n; ++j)
                a[j] = p[j] * a[j - 1] + a[j];
            q = b[n + 1];
            for (int j = n; j >= 1; --j) {
                q = b[j] * w[j] + u[j] * q;
                b[j] = q;
            }
            b[0] = 1e-6 * (1 - oxidised);
            for (int j = 1; j <= n; ++j)
                b[j] = p[j] * b[j - 1] + b[j];
            current = kF * flux * (a[1] - a[0]);
        }
        return current;
    }
};

// The minimal solver sized like the model's automatic run of the standard cycle: the same cells and
// expansion, and the same number of steps spread evenly over the programme.
struct MinimalOfTheStandardCycle {
    std::unique_ptr<MinimalSolver> solver;
    std::vector<double> potentials;
    int cells = 0;
    long long steps = 0;

    MinimalOfTheStandardCycle() {
        ExperimentParams p = baseExperiment();
        auto store = programmeOf(p);
        const DigitalOutcome outcome = simulate(*store);
        const int points = store->run.LastPoint - store->run.FirstPoint + 1;
        steps = outcome.timeSteps;
        GridSpec shape;
        shape.electrode = 1;
        shape.firstCell = 1e-4;
        shape.expansion = 0.25;
        shape.reach = shape.firstCell * std::expm1(shape.expansion * (outcome.cells - 1)) / std::expm1(shape.expansion);
        const DigitalGrid grid = buildDigitalGrid(shape);
        solver = std::make_unique<MinimalSolver>(grid, 0.01 * points / static_cast<double>(steps));
        for (int k = store->run.FirstPoint - 1; k <= store->run.LastPoint; ++k)
            potentials.push_back(store->run.E[static_cast<std::size_t>(k)]);
        cells = grid.cells;
    }
};

// --- benchmarks -------------------------------------------------------------------------------------

void runSimulation(benchmark::State& state, ExperimentParams p) {
    auto store = programmeOf(p);
    DigitalOutcome outcome;
    for (auto _ : state) {
        outcome = simulate(*store);
        benchmark::DoNotOptimize(store->current(2, 1));
    }
    if (outcome.failure) {
        state.SkipWithError(outcome.failure->c_str());
        return;
    }
    state.counters["cells"] = outcome.cells;
    state.counters["steps"] = static_cast<double>(outcome.timeSteps);
    state.counters["species"] = p.NumSpecies;
    state.counters["maxIterations"] = outcome.maxIterations;
}

void BM_StandardReversibleCycle(benchmark::State& state) {
    ExperimentParams p = baseExperiment();
    runSimulation(state, p);
    auto store = programmeOf(p);
    simulate(*store);
    const double randlesSevcik = 0.44629 * kF * p.committed.ElectrodeArea * 1e-6 * std::sqrt(kFRT * 0.1 * 1e-5);
    state.counters["randlesSevcikPercent"] = 100 * (cathodicPeak(*store) / randlesSevcik - 1);
}

// The same cycle with ks = 0.01 cm/s, against a typed grid of 500 steps per point whose first cell is a
// sixth of the automatic one and whose cells grow by 5 % (converged to about 1e-6).
void BM_QuasiReversibleCycle(benchmark::State& state) {
    ExperimentParams p = baseExperiment();
    p.ks[1] = "0.01";
    runSimulation(state, p);
    auto store = programmeOf(p);
    simulate(*store);
    ExperimentParams fine = p;
    fine.CheckAuto = false;
    fine.TextTimeGrid = "2e-5";
    fine.TextExpanding = "0.05";
    auto reference = programmeOf(fine);
    simulate(*reference);
    double scale = 0;
    double difference = 0;
    for (int k = reference->run.FirstPoint; k <= reference->run.LastPoint; ++k) {
        scale = std::max(scale, std::fabs(reference->current(k, 2)));
        difference =
            std::max(difference, std::fabs(store->current(k, 2) - reference->current(k, 2)));
    }
    state.counters["offConvergedPercent"] = 100 * difference / scale;
}

void BM_MinimalImplicitSolver(benchmark::State& state) {
    MinimalOfTheStandardCycle minimal;
    for (auto _ : state)
        benchmark::DoNotOptimize(minimal.solver->run(minimal.potentials, minimal.steps));
    state.counters["cells"] = minimal.cells;
    state.counters["steps"] = static_cast<double>(minimal.steps);
}

void BM_StandardCycleOverMinimal(benchmark::State& state) {
    ExperimentParams p = baseExperiment();
    auto store = programmeOf(p);
    MinimalOfTheStandardCycle minimal;
    double model = 0;
    double hand = 0;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        simulate(*store);
        const double t1 = threadSeconds();
        benchmark::DoNotOptimize(minimal.solver->run(minimal.potentials, minimal.steps));
        const double t2 = threadSeconds();
        model += t1 - t0;
        hand += t2 - t1;
    }
    state.counters["modelMs"] = 1e3 * model / static_cast<double>(state.iterations());
    state.counters["minimalMs"] = 1e3 * hand / static_cast<double>(state.iterations());
    state.counters["ratio"] = model / hand;
}

void BM_EceSecondOrder(benchmark::State& state) {
    runSimulation(state, eceExperiment());
}
void BM_FiveCouplesTenSpecies(benchmark::State& state) {
    runSimulation(state, fiveCoupleExperiment());
}

BENCHMARK(BM_StandardReversibleCycle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuasiReversibleCycle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinimalImplicitSolver)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StandardCycleOverMinimal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EceSecondOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveCouplesTenSpecies)->Unit(benchmark::kMillisecond);

} // namespace
