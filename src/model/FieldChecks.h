#pragma once
// The values the experiment refuses: rate constants and pH out of range, a geometry without area,
// equal start and end potentials, a digital time grid outside (0, td], a scan rate that is not positive and a
// temperature at or below absolute zero. A refused text is never committed: the commits keep the
// previous value, a dialog's OK stays open, and Simulate shows the refusal instead of running.

#include "model/FormTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

struct ExperimentParams;

// One refused field: its name, the dialog that holds it, and the message that names the field and
// its allowed range.
struct FieldProblem {
    std::string field;
    std::string form; // "FormIns" or "FormExpr"
    FormMessage message;
};

// The refused fields of the experiment as its texts stand, in dialog order. Rate constants are
// checked over every row when `allRows` (what the commits need), otherwise over the mechanism's
// reactions only (what a run uses).
std::vector<FieldProblem> refusedFields(const ExperimentParams& p, bool allRows = false);

// The first refused field a run would use, if any.
std::optional<FieldProblem> firstRefusedField(const ExperimentParams& p);

// Whether a field (by name, "ks(2)" etc.) is among the refused ones.
bool isRefused(const std::vector<FieldProblem>& problems, std::string_view field);

} // namespace tessaly
