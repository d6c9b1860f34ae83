#include "base/NumberText.h"

#include "base/Failure.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

// Every conversion here goes through std::to_chars / std::from_chars, which ignore the C locale: a
// desktop toolkit may switch LC_NUMERIC to a locale with a decimal comma, and the files and report
// lines must not change with it.

namespace tessaly {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A finite double as its first 15 significant decimal digits, correctly rounded from the binary value:
// |value| = d[0].d[1]d[2]...d[14] x 10^exponent. All reports start from these digits, so a masked number
// rounds the digits the general form shows (1.005 -> "1.01" with "0.00"), not the binary expansion.
struct DecimalDigits {
    static constexpr int kCount = 15;
    std::array<int, kCount> d{};
    int exponent = 0;
    bool negative = false;
    bool zero = true;

    int digit(int i) const { return i >= 0 && i < kCount ? d[static_cast<std::size_t>(i)] : 0; }
};

DecimalDigits decimalDigits(double value) {
    DecimalDigits x;
    x.negative = std::signbit(value);
    std::array<char, 40> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                      std::chars_format::scientific, DecimalDigits::kCount - 1);
    // "d.dddddddddddddde+XX"
    const char* p = buffer.data();
    std::size_t k = 0;
    for (; p != result.ptr && *p != 'e'; ++p) {
        if (isDigit(*p) && k < x.d.size())
            x.d[k++] = *p - '0';
    }
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), result.ptr, exponent);
    x.exponent = exponent;
    x.zero = (value == 0.0);
    if (x.zero)
        x.exponent = 0;
    return x;
}

// Keeps the first `keep` significant digits, rounding half away from zero on the decimal digits;
// a carry out of the first digit raises the exponent. keep <= 0 may round the value to zero.
void roundToDigits(DecimalDigits& x, int keep) {
    if (x.zero || keep >= DecimalDigits::kCount)
        return;
    if (keep < 0) {
        x = DecimalDigits{};
        return;
    }
    const bool up = x.digit(keep) >= 5;
    for (int i = keep; i < DecimalDigits::kCount; ++i)
        x.d[static_cast<std::size_t>(i)] = 0;
    if (!up) {
        if (keep == 0)
            x = DecimalDigits{};
        return;
    }
    int i = keep - 1;
    while (i >= 0 && x.d[static_cast<std::size_t>(i)] == 9) {
        x.d[static_cast<std::size_t>(i)] = 0;
        --i;
    }
    if (i >= 0) {
        ++x.d[static_cast<std::size_t>(i)];
    } else {
        x.d.fill(0);
        x.d[0] = 1;
        ++x.exponent;
    }
}

// A report mask split into its parts: integer placeholders, decimal placeholders and exponent.
struct Mask {
    int integerZeros = 0;      // "0" placeholders before the decimal point
    int integerPlaces = 0;     // all placeholders before the decimal point
    int decimalsShown = 0;     // decimals always shown (up to the last "0" after the point)
    int decimals = 0;          // all placeholders after the point
    char exponentLetter = 0;   // 'E' or 'e'; 0 for a mask without exponent
    bool exponentPlus = false; // "E+": the sign is shown for positive exponents too
    int exponentZeros = 0;     // "0" placeholders of the exponent: its minimum number of digits
};

Mask parseMask(std::string_view text) {
    Mask mask;
    std::size_t i = 0;
    const auto placeholder = [&](char c) { return c == '0' || c == '#'; };
    for (; i < text.size() && placeholder(text[i]); ++i) {
        ++mask.integerPlaces;
        mask.integerZeros += text[i] == '0' ? 1 : 0;
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && placeholder(text[i]); ++i) {
            ++mask.decimals;
            if (text[i] == '0')
                mask.decimalsShown = mask.decimals;
        }
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        mask.exponentLetter = text[i];
        ++i;
        if (i >= text.size() || (text[i] != '-' && text[i] != '+'))
            raise(failure_text::invalidCall);
        mask.exponentPlus = text[i] == '+';
        for (++i; i < text.size() && placeholder(text[i]); ++i)
            mask.exponentZeros += text[i] == '0' ? 1 : 0;
    }
    if (i != text.size() || mask.integerPlaces + mask.decimals == 0)
        raise(failure_text::invalidCall);
    return mask;
}

// Decimal digits d[first..first+count-1] as text, with digits beyond those held as "0".
std::string digitText(const DecimalDigits& x, int first, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += static_cast<char>('0' + x.digit(first + i));
    return text;
}

// Drops trailing zeros of the decimals down to the number the mask always shows.
void trimDecimals(std::string& decimals, int shown) {
    while (static_cast<int>(decimals.size()) > shown && decimals.back() == '0')
        decimals.pop_back();
}

std::string joinNumber(bool negative, std::string integer, const std::string& decimals) {
    std::string text = negative ? "-" : "";
    text += integer;
    if (!decimals.empty())
        text += "." + decimals;
    if (integer.empty() && decimals.empty())
        text = "0";
    return text;
}

std::string formatFixed(DecimalDigits x, const Mask& mask) {
    roundToDigits(x, x.exponent + mask.decimals + 1);
    std::string integer;
    if (!x.zero && x.exponent >= 0)
        integer = digitText(x, 0, x.exponent + 1);
    if (static_cast<int>(integer.size()) < mask.integerZeros)
        integer.insert(0, static_cast<std::size_t>(mask.integerZeros) - integer.size(), '0');
    std::string decimals = x.zero ? std::string() : digitText(x, x.exponent + 1, mask.decimals);
    if (x.zero)
        decimals.assign(static_cast<std::size_t>(mask.decimalsShown), '0');
    trimDecimals(decimals, mask.decimalsShown);
    return joinNumber(x.negative && !x.zero, integer, decimals);
}

std::string formatScientific(DecimalDigits x, const Mask& mask) {
    const int integerDigits = std::max(1, mask.integerPlaces);
    roundToDigits(x, integerDigits + mask.decimals);
    const int exponent = x.zero ? 0 : x.exponent - (integerDigits - 1);
    std::string integer = x.zero ? std::string(static_cast<std::size_t>(std::max(1, mask.integerZeros)), '0')
                                 : digitText(x, 0, integerDigits);
    std::string decimals = x.zero ? std::string(static_cast<std::size_t>(mask.decimalsShown), '0')
                                  : digitText(x, integerDigits, mask.decimals);
    trimDecimals(decimals, mask.decimalsShown);
    std::string text = joinNumber(x.negative && !x.zero, integer, decimals);
    text += mask.exponentLetter;
    if (exponent < 0)
        text += '-';
    else if (mask.exponentPlus)
        text += '+';
    std::string digits = std::to_string(std::abs(exponent));
    const std::size_t minimum = static_cast<std::size_t>(std::max(1, mask.exponentZeros));
    if (digits.size() < minimum)
        digits.insert(0, minimum - digits.size(), '0');
    return text + digits;
}

std::string nonFiniteText(double value) {
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// Decimal order of magnitude of a scanned number "digits[.digits]" with decimal exponent `exponent`,
// used only to tell an overflowing text from an underflowing one.
long long orderOfMagnitude(std::string_view mantissa, long long exponent) {
    long long position = 0; // place value of the current digit, relative to the units digit
    const std::size_t point = mantissa.find('.');
    const std::size_t integerDigits = point == std::string_view::npos ? mantissa.size() : point;
    position = static_cast<long long>(integerDigits) - 1;
    for (char c : mantissa) {
        if (c == '.')
            continue;
        if (c != '0')
            return position + exponent;
        --position;
    }
    return 0;
}

} // namespace

namespace {

// The leading number of a text and whether it lay beyond the range of a double (then the value is
// +/-DBL_MAX).
struct LeadingNumber {
    double value = 0;
    bool overflow = false;
};

LeadingNumber readLeadingNumber(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t digits = 0;
    for (; i < n && isDigit(text[i]); ++i)
        ++digits;
    if (i < n && text[i] == '.') {
        for (++i; i < n && isDigit(text[i]); ++i)
            ++digits;
    }
    if (digits == 0)
        return {};
    const std::size_t mantissaEnd = i;
    std::size_t end = i;
    long long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool exponentNegative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            exponentNegative = text[j] == '-';
            ++j;
        }
        if (j < n && isDigit(text[j])) {
            for (; j < n && isDigit(text[j]); ++j)
                exponent = std::min(exponent * 10 + (text[j] - '0'), 1'000'000'000LL);
            end = j;
            if (exponentNegative)
                exponent = -exponent;
        }
    }
    double value = 0.0;
    const auto result =
        std::from_chars(text.data() + start, text.data() + end, value, std::chars_format::general);
    bool overflow = false;
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond the range of a double: the largest finite magnitude, or zero for an underflow.
        const std::string_view mantissa = text.substr(start, mantissaEnd - start);
        overflow = orderOfMagnitude(mantissa, exponent) > 0;
        value = overflow ? DBL_MAX : 0.0;
    }
    if (value == 0.0)
        return {}; // no "-0"
    return {negative ? -value : value, overflow};
}

} // namespace

double leadingNumber(std::string_view text) {
    return readLeadingNumber(text).value;
}

bool leadingNumberIsFinite(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string_view::npos)
        return true;
    if (text[i] == '+' || text[i] == '-')
        ++i;
    std::string word; // the letters after the sign, in lower case
    for (; i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])); ++i)
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    if (word == "inf" || word == "infinity" || word == "nan")
        return false;
    return !readLeadingNumber(text).overflow;
}

std::string formatMask(double value, std::string_view mask) {
    const Mask parsed = parseMask(mask);
    if (!std::isfinite(value))
        return nonFiniteText(value);
    const DecimalDigits x = decimalDigits(value);
    return parsed.exponentLetter != 0 ? formatScientific(x, parsed) : formatFixed(x, parsed);
}

std::string generalForm(double value) {
    if (!std::isfinite(value))
        return nonFiniteText(value);
    const DecimalDigits x = decimalDigits(value);
    if (x.zero)
        return "0";
    int significant = DecimalDigits::kCount;
    while (significant > 1 && x.digit(significant - 1) == 0)
        --significant;
    std::string text = x.negative ? "-" : "";
    const int e = x.exponent;
    if (e < -4 || e >= DecimalDigits::kCount) {
        text += digitText(x, 0, 1);
        if (significant > 1)
            text += "." + digitText(x, 1, significant - 1);
        std::string digits = std::to_string(std::abs(e));
        if (digits.size() < 2)
            digits.insert(0, 1, '0');
        text += std::string(e < 0 ? "E-" : "E+") + digits;
    } else if (e >= 0) {
        text += digitText(x, 0, e + 1);
        if (significant > e + 1)
            text += "." + digitText(x, e + 1, significant - e - 1);
    } else {
        text += "0." + std::string(static_cast<std::size_t>(-e - 1), '0') + digitText(x, 0, significant);
    }
    return text;
}

std::string printForm(double value) {
    std::string text = generalForm(value);
    if (text.starts_with("0."))
        text.erase(0, 1);
    else if (text.starts_with("-0."))
        text.erase(1, 1);
    if (!text.starts_with('-'))
        text.insert(0, 1, ' ');
    return text + ' ';
}

std::string printForm(long long value) {
    std::string text = std::to_string(value);
    if (value >= 0)
        text.insert(0, 1, ' ');
    return text + ' ';
}

} // namespace tessaly
