#pragma once
// The parameter file (".par"): a complete experiment as plain text, one item per line, CR LF line
// ends. The format is positional: a label line precedes most values, but the reader only counts
// items, so the order and number of items below is the format.
//
// Reading is all-or-nothing: parseParameterFile reads the whole file into ParameterFileContents
// (failing on a count or state that is not a number, an option outside its group, a count beyond
// the rows, or an early end) without touching the experiment; applyParameterFile then replays the
// values in file order through the dialogs' own setters, so every change reaction runs as if the
// user had typed the file in.

#include "model/ExperimentParams.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// One value of the file as the dialogs receive it.
struct ParameterAction {
    enum class Kind {
        Select, // choose option `value` of group `name` (optTech, optElectrode, mech, ComboScan,
                // OptionH, OptionOH; for the last two 1 sets the option, 0 clears it)
        Text,   // type `text` into field `name` ("Estart", "charge(12)", "C(2)", ...)
        Check,  // set check box `name` to `value` (0 or 1)
        Count,  // set the count `name` (NumCharge, NumChem, NumSpecies) to `value`
    };
    Kind kind = Kind::Text;
    std::string name;
    std::string text;
    int value = 0;
    int line = 0; // where the value stands in the file, from 1
};

struct ParameterFileContents {
    std::vector<ParameterAction> actions; // in file order
    int technique = 1;                    // option numbers read
    int electrode = 1;
    int mechanism = 1;
    int scan = 0;         // ComboScan list index
    bool digital = false; // CheckDigital state read
    int numCharge = 0;    // the second NumCharge of the file (the one the reader keeps)
    int numChem = 0;
    int numSpecies = 0;
};

// The file's bytes for the experiment as it stands: the current texts, states and counts.
// "Subscript out of range" when a count exceeds its rows (more than 16 species); the refusal of
// parameterTextRefusal when a text could not be read back as it is.
std::string parameterFileText(const ExperimentParams& p);

// Reads the items of a parameter file. Throws a Failure, and returns nothing, on a count, state or
// option that is not a number ("Type mismatch"), a number beyond 16 bits ("Overflow"), a scan index
// outside 0-3, a check state other than 0 or 1, or an electrode that only the digital simulation
// offers while the file's digital state is off ("Invalid property value"), an option or count beyond
// its rows ("Subscript out of range"), or an early end ("Input past end of file"). The description
// goes on with the line and the item: "Type mismatch in line 98 (Number of species)".
ParameterFileContents parseParameterFile(std::string_view text);

// The caption of a field or item of the file in messages: "E start (V)", "ks of charge reaction 2",
// "Charge reaction 1, oxidised species", "Number of species".
std::string parameterFieldCaption(std::string_view field);

// True when the text field is written to the parameter file and read back from it.
bool storedInParameterFile(std::string_view field);

// Why a text could not be stored in a parameter file and read back as it is, naming the field: a
// comma (the file separates its items with commas; "0,3" would come back as "0" and shift every
// later item), a line break, or a leading double quote (read as a quoted item). Nothing when it can.
std::optional<std::string> parameterTextRefusal(std::string_view field, std::string_view text);

// Where applyParameterFile sends the values: the dialogs. Each call returns false when the dialog
// refuses the value (an option it does not offer, a name it does not hold).
class ParameterTarget {
public:
    virtual ~ParameterTarget() = default;
    virtual bool select(std::string_view group, int n) = 0;
    virtual bool setText(std::string_view name, std::string_view text) = 0;
    virtual bool setCheck(std::string_view name, bool checked) = 0;
    virtual bool setCount(std::string_view name, int count) = 0;
    // Sets a text without its change reaction: the file's value, as stored.
    virtual bool restoreText(std::string_view name, std::string_view text) = 0;
};

// Replays the contents in file order. When the file selects the digital simulation, its check box
// is set before the electrode is chosen as well (so that the cylinder, hemicylinder and band, which
// only the digital simulation offers, can be chosen), and again in its own turn. Then every text is
// restored as stored. A refusal throws "Invalid property value in line N (item)"; the caller
// restores what it had before.
void applyParameterFile(const ParameterFileContents& contents, ParameterTarget& target);

} // namespace tessaly
