#pragma once
// Numbers as texts: the leading-number rule every numeric field and file item is read with, and the
// forms in which the program writes numbers into fields, files and report lines.

#include <string>
#include <string_view>

namespace tessaly {

// The leading-number rule: leading blanks are skipped; the longest leading part that reads as a
// decimal number with optional sign, decimal point and exponent is the value ("1e-3x" -> 0.001,
// "-.5" -> -0.5, "+2" -> 2); a text that does not begin with a number gives 0 ("", "abc", ".").
// An "e" without exponent digits is not part of the number ("1e" -> 1). "inf" and "nan" are not
// decimal numbers and give 0. A number beyond the range of a double gives +/-DBL_MAX (never an
// infinity, which would poison later arithmetic), one below it gives 0; the result is never -0.
// Independent of the C locale.
double leadingNumber(std::string_view text);

// Whether a text stands for a finite number: false when its leading number lies beyond the range of
// a double ("1e400", which leadingNumber reads as DBL_MAX) or when it names an infinity or a NaN
// ("INF", "-inf", "NaN", as a failed computation would print them). Any other text, a number or not,
// is finite.
bool leadingNumberIsFinite(std::string_view text);

// Report masks. In a mask "0" is a digit always shown, "#" a digit shown only when significant, "."
// the decimal point, and "E-"/"e-" an exponent whose sign is shown only when negative; "E+"/"e+"
// always shows the sign. Used masks: "0", "0.000", "0.####", "#.###", "0.####E-0", "0.###e-#",
// "0.####e-#", "#.###e-#", "0.##e-0", "0E-0". A mask whose decimals are all "#" leaves no bare
// decimal point when no decimal is significant ("1" with "0.####", not "1."). With a "#" integer
// part a value below 1 has no leading zero (".5" with "#.###"), but 0 is "0". A zero exponent is
// written "0" ("5e0" with "#.###e-#"). Rounding is half away from zero on the 15 significant digits
// the general form shows (1.005 -> "1.01" with "0.00"), and a value that rounds to zero has no
// sign. An infinity or NaN is written "INF", "-INF", "NAN"; a mask outside this syntax raises
// "Invalid procedure call or argument".
std::string formatMask(double value, std::string_view mask);

// General form: the shortest decimal text with up to 15 significant digits that the leading-number
// rule reads back; exponent form below 1e-4 and from 1e15 in magnitude ("1E-06", "1.5E+15").
// A value with more than 15 significant digits (1/3) reads back within half a unit of the 15th
// digit. Never "-0".
std::string generalForm(double value);

// Print form used in data files: a leading blank for a non-negative value (the minus sign
// otherwise), the general-form digits without the zero before the decimal point, and a trailing
// blank: " .5 ", "-.4 ", " 100 ".
std::string printForm(double value);

// An integer as it is written in parameter files: a leading blank for a non-negative value (the
// minus sign otherwise) and a trailing blank: " 1 ", "-2 ".
std::string printForm(long long value);

} // namespace tessaly
