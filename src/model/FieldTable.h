#pragma once
// Fields of ExperimentParams addressed by their dialog names, with array indices in parentheses:
// "Estart", "ks(1)", "charge(12)", "C(2)", "CheckFitted(31)". One table serves the command-line
// runner, the tests and the parameter file.

#include "model/ExperimentParams.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tessaly {

// A reference to one field: a text, a check box or option state, an integer selection, or a number.
using FieldRef = std::variant<std::string*, bool*, int*, double*>;

// The field named `name`, or nothing when there is no such field or the index is outside its rows.
std::optional<FieldRef> findField(ExperimentParams& p, std::string_view name);

// The committed value named as the snapshot names it ("StartPotential", "RateKs(1)", ...).
std::optional<double*> findCommittedValue(ExperimentParams& p, std::string_view name);

// Every field name with its index range, for help texts ("ks(1..5)").
std::vector<std::string> fieldNameList();
std::vector<std::string> committedNameList();

// Splits "ks(12)" into ("ks", 12); a name without parentheses gives index -1.
std::pair<std::string, int> splitIndexedName(std::string_view name);

} // namespace tessaly
