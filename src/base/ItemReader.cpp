#include "base/ItemReader.h"

#include "base/Checked.h"
#include "base/Failure.h"
#include "base/NumberText.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <system_error>

namespace tessaly {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kInvalidPropertyValue = "Invalid property value";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The whole text is one decimal number: [sign] (digits [. [digits]] | . digits) [e|E [sign] digits].
bool isDecimalNumber(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    return i == s.size();
}

} // namespace

ItemReader::ItemReader(std::string_view text) : m_text(text) {
    if (m_text.starts_with(kByteOrderMark))
        m_pos = kByteOrderMark.size();
}

Item ItemReader::next() {
    if (atEnd())
        raise(failure_text::inputPastEnd);
    while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
        ++m_pos;
    Item item;
    item.line = m_line;
    if (m_pos < m_text.size() && m_text[m_pos] == '"') {
        const std::size_t start = ++m_pos;
        std::size_t end = m_text.find('"', start);
        if (end == std::string_view::npos)
            end = m_text.size();
        for (std::size_t i = start; i < end; ++i) // a quoted item may span lines
            if (m_text[i] == '\n' || (m_text[i] == '\r' && (i + 1 >= end || m_text[i + 1] != '\n')))
                ++m_line;
        item.text = m_text.substr(start, end - start);
        m_pos = end < m_text.size() ? end + 1 : end;
        while (m_pos < m_text.size() && m_text[m_pos] != ',' && !isLineEnd(m_text[m_pos]))
            ++m_pos; // text after the closing quote is not part of the item
    } else {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != ',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        item.text = trimmed(m_text.substr(start, m_pos - start));
    }
    if (m_pos >= m_text.size()) {
        item.endsLine = true;
    } else if (m_text[m_pos] == ',') {
        ++m_pos;
    } else {
        item.endsLine = true;
        if (m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n')
            ++m_pos;
        ++m_pos;
        ++m_line;
    }
    return item;
}

double ItemReader::nextNumber() {
    return parseNumberItem(next().text);
}

int ItemReader::nextInteger() {
    return toInt16(nextNumber());
}

bool ItemReader::nextCheckState() {
    const int state = nextInteger();
    if (state != 0 && state != 1)
        raise(kInvalidPropertyValue);
    return state == 1;
}

bool ItemReader::nextBoolean() {
    const std::string_view text = next().text;
    auto equalsIgnoringCase = [text](std::string_view word) {
        if (text.size() != word.size())
            return false;
        for (std::size_t i = 0; i < text.size(); ++i)
            if ((text[i] | 0x20) != word[i])
                return false;
        return true;
    };
    if (equalsIgnoringCase("true"))
        return true;
    if (equalsIgnoringCase("false"))
        return false;
    return parseNumberItem(text) != 0;
}

double parseNumberItem(std::string_view item) {
    const std::string_view s = trimmed(item);
    if (s.empty())
        return 0;
    if (!isDecimalNumber(s))
        raise(failure_text::typeMismatch);
    const std::string_view digits = s.front() == '+' ? s.substr(1) : s; // from_chars takes no '+'
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc::result_out_of_range) {
        // The leading-number rule saturates an overflow at DBL_MAX and flushes an underflow to 0.
        if (leadingNumber(s) != 0)
            raise(failure_text::overflow);
        return 0;
    }
    if (error != std::errc() || end != digits.data() + digits.size())
        raise(failure_text::typeMismatch);
    return value == 0 ? 0.0 : value; // never -0
}

int readNumberPairs(std::string_view text, std::span<double> first, std::span<double> second) {
    ItemReader reader(text);
    const std::size_t capacity = std::min(first.size(), second.size());
    std::size_t count = 0;
    while (!reader.atEnd()) {
        const Item a = reader.next();
        if (a.text.empty() && a.endsLine)
            continue; // a blank line holds no record
        try {
            const double x = parseNumberItem(a.text);
            double y = 0;
            if (!a.endsLine && !reader.atEnd()) {
                Item b = reader.next();
                y = parseNumberItem(b.text);
                while (!b.endsLine && !reader.atEnd()) { // trailing empty fields are tolerated
                    b = reader.next();
                    if (!b.text.empty())
                        raise(failure_text::typeMismatch);
                }
            }
            if (count >= capacity)
                raise(failure_text::subscriptOutOfRange);
            first[count] = x;
            second[count] = y;
        } catch (const Failure& f) {
            raise(f.description() + " in line " + std::to_string(a.line));
        }
        ++count;
    }
    return checkedInt16(static_cast<long long>(count));
}

} // namespace tessaly
