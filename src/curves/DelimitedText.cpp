#include "curves/DelimitedText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace tessaly {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The micro sign in its UTF-8 forms (micro sign, Greek mu) and its single-byte form becomes 'u'.
std::string normaliseMicro(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xB5) ||
            (c == 0xCE && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xBC)) {
            out += 'u';
            ++i;
        } else if (c == 0xB5) {
            out += 'u';
        } else {
            out += s[i];
        }
    }
    return out;
}

struct UnitFactor {
    const char* unit;
    Quantity quantity;
    double factor;
};
constexpr std::array<UnitFactor, 11> kUnits{{
    {"v", Quantity::Potential, 1.0},
    {"mv", Quantity::Potential, 1e-3},
    {"a", Quantity::Current, 1.0},
    {"ma", Quantity::Current, 1e-3},
    {"ua", Quantity::Current, 1e-6},
    {"na", Quantity::Current, 1e-9},
    {"pa", Quantity::Current, 1e-12},
    {"s", Quantity::Time, 1.0},
    {"ms", Quantity::Time, 1e-3},
    {"min", Quantity::Time, 60.0},
    {"h", Quantity::Time, 3600.0},
}};

const UnitFactor* findUnit(std::string_view unit) {
    // "V vs. Ref." and similar: the unit is the first word.
    const std::size_t blank = unit.find(' ');
    if (blank != std::string_view::npos)
        unit = unit.substr(0, blank);
    for (const UnitFactor& u : kUnits)
        if (unit == u.unit)
            return &u;
    return nullptr;
}

bool contains(std::string_view s, std::string_view part) {
    return s.find(part) != std::string_view::npos;
}

} // namespace

std::string lowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string utf8FromMarkedUtf16(std::string_view bytes) {
    const bool little = bytes.starts_with("\xFF\xFE");
    const bool big = bytes.starts_with("\xFE\xFF");
    if (!little && !big)
        return std::string(bytes);
    const auto unitAt = [&](std::size_t i) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(little ? b0 | (b1 << 8) : (b0 << 8) | b1);
    };
    constexpr char32_t kReplacement = 0xFFFD;
    std::string out;
    out.reserve(bytes.size() / 2);
    std::size_t i = 2;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? kReplacement : unit);
    }
    if (i < bytes.size())
        appendUtf8(out, kReplacement);
    return out;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::string_view trimField(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') {
        s = s.substr(1, s.size() - 2);
        return trimField(s);
    }
    return s;
}

std::vector<std::string_view> splitFields(std::string_view line, char delimiter) {
    std::vector<std::string_view> fields;
    if (delimiter == ' ') {
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && isBlank(line[i]))
                ++i;
            if (i >= line.size())
                break;
            const std::size_t start = i;
            while (i < line.size() && !isBlank(line[i]))
                ++i;
            fields.push_back(trimField(line.substr(start, i - start)));
        }
        return fields;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == delimiter) {
            fields.push_back(trimField(line.substr(start, i - start)));
            start = i + 1;
        }
    }
    return fields;
}

std::optional<double> parseDecimal(std::string_view field, bool decimalComma) {
    field = trimField(field);
    if (field.empty() || field.size() > 64)
        return std::nullopt;
    std::array<char, 65> buffer{};
    std::size_t n = 0;
    for (char c : field) {
        if (c == ',' && decimalComma)
            c = '.';
        const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
        if (!allowed)
            return std::nullopt;
        buffer[n++] = c;
    }
    const char* begin = buffer.data();
    const char* end = buffer.data() + n;
    if (*begin == '+')
        ++begin;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ptr != end)
        return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // Below the range of a double reads as 0; above it is no number we can use.
        return std::nullopt;
    }
    if (ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isNumericLine(std::string_view line, char delimiter, bool decimalComma) {
    const std::vector<std::string_view> fields = splitFields(line, delimiter);
    if (fields.empty())
        return false;
    return std::all_of(fields.begin(), fields.end(),
                       [&](std::string_view f) { return parseDecimal(f, decimalComma).has_value(); });
}

char detectDelimiter(const std::vector<std::string_view>& sampleLines) {
    int tabs = 0;
    int semicolons = 0;
    int commas = 0;
    int commaAsDecimal = 0;
    for (std::string_view line : sampleLines) {
        if (line.find('\t') != std::string_view::npos)
            ++tabs;
        if (line.find(';') != std::string_view::npos)
            ++semicolons;
        if (line.find(',') != std::string_view::npos) {
            ++commas;
            // "0,5  1,2e-6": blanks separate numbers that carry decimal commas.
            const std::vector<std::string_view> blankFields = splitFields(line, ' ');
            if (blankFields.size() >= 2 && isNumericLine(line, ' ', true))
                ++commaAsDecimal;
        }
    }
    if (tabs > 0)
        return '\t';
    if (semicolons > 0)
        return ';';
    if (commas > 0 && commaAsDecimal < commas)
        return ',';
    return ' ';
}

ColumnMeaning columnMeaning(std::string_view rawName) {
    const std::string name = normaliseMicro(lowerCase(trimField(rawName)));
    std::string_view base = name;
    std::string_view unit;
    if (const std::size_t open = name.rfind('('); open != std::string::npos && name.back() == ')') {
        unit = std::string_view(name).substr(open + 1, name.size() - open - 2);
        base = std::string_view(name).substr(0, open);
    } else if (const std::size_t bracket = name.rfind('['); bracket != std::string::npos && name.back() == ']') {
        unit = std::string_view(name).substr(bracket + 1, name.size() - bracket - 2);
        base = std::string_view(name).substr(0, bracket);
    } else if (const std::size_t slash = name.rfind('/'); slash != std::string::npos) {
        unit = std::string_view(name).substr(slash + 1);
        base = std::string_view(name).substr(0, slash);
    }
    base = trimField(base);
    unit = trimField(unit);
    const UnitFactor* u = findUnit(unit);

    ColumnMeaning m;
    if (base.empty() || unit.empty()) { // a bare unit names the column: "V", "uA", "s"
        if (const UnitFactor* bare = findUnit(name); bare && name.find(' ') == std::string::npos) {
            m.quantity = bare->quantity;
            m.factor = bare->factor;
            return m;
        }
        if (base.empty())
            return m;
    }
    if (contains(base, "range") || contains(base, "density"))
        return m;
    if (contains(base, "cycle") || base.starts_with("scan")) {
        m.quantity = Quantity::Cycle;
        return m;
    }
    if (contains(base, "time") || base == "t") {
        m.quantity = Quantity::Time;
    } else if (contains(base, "current") || base == "i" || base == "<i>" || base == "im" || base.starts_with("i ")) {
        m.quantity = Quantity::Current;
        m.preference = base == "<i>" ? 2 : 1;
    } else if (contains(base, "applied")) {
        m.quantity = Quantity::Potential;
        m.preference = 3; // the programmed staircase, as a simulation has it
    } else if (contains(base, "ewe")) {
        m.quantity = Quantity::Potential;
        m.preference = 2;
    } else if (contains(base, "potential") || contains(base, "voltage") || base == "e" || base == "vf" ||
               base == "u" || base.starts_with("e ")) {
        m.quantity = Quantity::Potential;
        m.preference = 1;
    }
    if (m.quantity != Quantity::Unknown && u && u->quantity == m.quantity)
        m.factor = u->factor;
    else if (m.quantity == Quantity::Unknown && u && !unit.empty() && base.size() <= 2)
        m.quantity = u->quantity, m.factor = u->factor; // "E/mV"-like short names
    return m;
}

} // namespace tessaly
