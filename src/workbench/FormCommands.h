#pragma once
// What the command-line runner (and tests) do to the dialogs: type into a field, tick a box, choose
// an option, show a dialog, press its OK. Each goes through the dialog's logic, so every reaction and
// validation a user would trigger runs; refusals are shown through the user port.

#include <string_view>

namespace tessaly {

class Workbench;

// Refused: a dialog's OK found a refused value; the dialog stays open and nothing was committed.
enum class FormStatus { Done, UnknownName, BadValue, Refused };

// Types text into a field: its change reaction, then its validation on leaving.
FormStatus setField(Workbench& wb, std::string_view name, std::string_view text);

// Sets a check box and runs its click reaction.
FormStatus setCheck(Workbench& wb, std::string_view name, bool checked);

// Chooses option n of a group: optTech, optElectrode, mech, ComboScan, OptionH/OptionOH,
// linestyle(k) (k = 1..6, n = 1..3).
FormStatus selectOption(Workbench& wb, std::string_view group, int n);

// A dialog's activation and showing, or its OK button: FormTech, FormIns, FormMech, FormExpr,
// FormSpecies, formOption.
FormStatus showForm(Workbench& wb, std::string_view form);
FormStatus okForm(Workbench& wb, std::string_view form);

} // namespace tessaly
