#pragma once
// The derivative probes of one Jacobian are independent simulations. This evaluator runs them on
// worker threads. The workers share the fit's input (the measured potentials and the committed
// experiment); each has its own objective, that is its own copy of the trial values and its own result
// buffers, so every probe gives exactly the curve the serial objective would.

#include "fitting/FitObjective.h"
#include "model/SimulationInput.h"

#include <memory>
#include <span>
#include <vector>

namespace tessaly {

class ParallelProbes {
public:
    // serial: the fit's objective, whose input, codes, fitted points, ties and fitted column the workers
    // start from; workers: threads to use (at least 2 to be worth building).
    ParallelProbes(const FitObjective& serial, int workers);
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
