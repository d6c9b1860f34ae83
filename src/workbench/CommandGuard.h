#pragma once
// The error boundary of a command that computes in the store: a failure stops it and is shown as a
// run-time error; what the command wrote before the failure stays.

#include "base/Failure.h"
#include "workbench/Workbench.h"

namespace tessaly {

template <typename Action> void runGuarded(Workbench& wb, Action action) {
    try {
        action();
    } catch (const Failure& failure) {
        wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
    }
}

} // namespace tessaly
