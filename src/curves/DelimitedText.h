#pragma once
// The pieces every text export is made of: lines, fields split at a delimiter, numbers written with
// a decimal point or a decimal comma, and column names that carry their unit ("Ewe/V", "<I>/mA",
// "Potential applied (V)", "Current [uA]", or a bare unit as in a header "V,uA").

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The text as UTF-8: a text that opens with a UTF-16 byte-order mark (little- or big-endian, as some
// instrument software writes its exports) is transcoded, with its mark dropped; any other text is
// returned as it is. An odd trailing byte and unpaired surrogates become U+FFFD.
std::string utf8FromMarkedUtf16(std::string_view bytes);

// The lines of a text (CR LF, LF or lone CR), without their ends; a UTF-8 byte-order mark is dropped.
std::vector<std::string_view> splitLines(std::string_view text);

// Blanks (spaces, tabs) trimmed from both ends, and one pair of enclosing double quotes removed.
std::string_view trimField(std::string_view s);

// Fields of a line. A blank delimiter (' ') splits at runs of spaces and tabs and ignores leading and
// trailing ones; any other delimiter splits at each occurrence. Fields are trimmed.
std::vector<std::string_view> splitFields(std::string_view line, char delimiter);

// A number field: optional sign, digits with a decimal point (or a decimal comma when decimalComma),
// optional exponent. Blanks around it are allowed; anything else (text, NaN, Inf, an empty field)
// gives no value.
std::optional<double> parseDecimal(std::string_view field, bool decimalComma);

// The delimiter of a table's data lines: tab, semicolon, comma or blank (' '). A comma counts as
// the delimiter only where splitting at blanks does not already give the numbers (decimal commas).
char detectDelimiter(const std::vector<std::string_view>& sampleLines);

// True when every field of the line (at least one) reads as a number.
bool isNumericLine(std::string_view line, char delimiter, bool decimalComma);

// What a column name says: its quantity and the factor that turns its unit into V, A or s.
enum class Quantity { Unknown, Potential, Current, Time, Cycle };
struct ColumnMeaning {
    Quantity quantity = Quantity::Unknown;
    double factor = 1; // to V, A or s
    int preference = 0; // among columns of the same quantity the higher is taken
};
ColumnMeaning columnMeaning(std::string_view name);

// Lower-case ASCII copy.
std::string lowerCase(std::string_view s);

} // namespace tessaly
