#pragma once
// A long run's link to whoever waits for it on another thread: a count of the work done (points of the
// potential programme, over every pass the run makes) that only the run writes, and a request to stop
// that only the waiter sets. Both are single atomics, so the run's loops read and write them without
// locks or allocation; the run stops at the next point after the request by throwing RunCancelled,
// which no failure handler of the algorithms catches.

#include <atomic>

namespace tessaly {

// Thrown by a run whose control asked it to stop; not a Failure, so it passes through the handlers
// that turn a failure into a partial result.
struct RunCancelled {};

class RunControl {
public:
    // The waiter's side.
    void requestCancel() { m_cancel.store(true, std::memory_order_relaxed); }
    bool cancelRequested() const { return m_cancel.load(std::memory_order_relaxed); }
    int done() const { return m_done.load(std::memory_order_relaxed); }
    int total() const { return m_total.load(std::memory_order_relaxed); }

    // The run's side: the work of the whole run, set once it is known (a later pass adds to it).
    void setTotal(int total) { m_total.store(total, std::memory_order_relaxed); }
    // `done` units of work are complete. The count never goes back, so a second pass reports past the
    // first one's count.
    void reach(int done) {
        if (done > m_done.load(std::memory_order_relaxed))
            m_done.store(done, std::memory_order_relaxed);
    }
    // Stops the run here when a stop was requested.
    void checkpoint() const {
        if (cancelRequested())
            throw RunCancelled{};
    }

private:
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_done{0};
    std::atomic<int> m_total{0};
};

// The checkpoint of a run that may have no control (the command-line runner, a fit's runs).
inline void reachPoint(RunControl* control, int done) {
    if (control) {
        control->reach(done);
        control->checkpoint();
    }
}

} // namespace tessaly
