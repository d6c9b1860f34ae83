#include "fitting/ParallelProbes.h"

#include <exception>
#include <thread>

namespace tessaly {

struct ParallelProbes::Worker {
    FitObjective objective;
    std::exception_ptr error;

    explicit Worker(const FitObjective& serial)
        : objective(serial.trial(), serial.codes(), serial.points(), serial.column(), serial.ties()) {
        objective.setHistoryOffset(serial.historyOffset());
    }
};

ParallelProbes::ParallelProbes(const FitObjective& serial, int workers) {
    for (int w = 0; w < workers; ++w)
        m_workers.push_back(std::make_unique<Worker>(serial));
}

ParallelProbes::~ParallelProbes() = default;

void ParallelProbes::operator()(std::span<const std::span<const double>> params,
                                std::span<const std::span<double>> models) {
    const std::size_t count = m_workers.size();
    auto work = [&](std::size_t w) {
        Worker& worker = *m_workers[w];
        worker.error = nullptr;
        try {
            for (std::size_t j = w; j < params.size(); j += count)
                worker.objective(params[j], models[j]);
        } catch (...) {
            worker.error = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> threads;
        for (std::size_t w = 1; w < count; ++w)
            threads.emplace_back(work, w);
        work(0); // the calling thread is worker 0
    }
    for (const auto& worker : m_workers)
        if (worker->error)
            std::rethrow_exception(worker->error);
}

std::optional<std::string> ParallelProbes::firstFailure() const {
    for (const auto& worker : m_workers)
        if (worker->objective.firstFailure())
            return worker->objective.firstFailure();
    return std::nullopt;
}

int probeWorkersFor(double secondsPerRun) {
    const unsigned cores = std::thread::hardware_concurrency();
    // A worker sizes its own result buffers once per fit; a thread costs tens of microseconds per
    // Jacobian. Below a millisecond per simulation the serial probes are as fast.
    if (cores < 2 || secondsPerRun < 1e-3)
        return 0;
    return static_cast<int>(std::min(cores, 8u));
}

} // namespace tessaly
