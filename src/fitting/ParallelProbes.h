#pragma once
// The derivative probes of one Jacobian are independent simulations. This evaluator runs them on
// worker threads, each on its own copy of the experiment and the curve store taken when the fit
// starts, so every probe gives exactly the curve the serial objective would (the simulation reads only
// the committed values, the measured potentials and the point range, all copied).

#include "curves/CurveStore.h"
#include "fitting/FitObjective.h"
#include "model/ExperimentParams.h"

#include <memory>
#include <span>
#include <vector>

namespace tessaly {

class ParallelProbes {
public:
    // workers: threads to use (at least 2 to be worth building).
    ParallelProbes(const ExperimentParams& p, const CurveStore& store, bool overlap,
                   const std::vector<int>& codes, int first, int last, int workers);
    ~ParallelProbes();
    ParallelProbes(const ParallelProbes&) = delete;
    ParallelProbes& operator=(const ParallelProbes&) = delete;

    // Probe j of params goes to worker j mod workers; failures inside a worker are raised here.
    void operator()(std::span<const std::span<const double>> params,
                    std::span<const std::span<double>> models);

    // The first simulation failure any worker met.
    std::optional<std::string> firstFailure() const;

private:
    struct Worker;
    std::vector<std::unique_ptr<Worker>> m_workers;
};

// Worker threads worth using for the probes of a fit whose one simulation takes `secondsPerRun`: none
// (0) when the machine has one core or the runs are too short for the copies and threads to pay.
int probeWorkersFor(double secondsPerRun);

} // namespace tessaly
