#pragma once
// Items of the plain-text parameter, current and waveform files. An item is what lies between
// delimiters: leading blanks (spaces and tabs) are skipped, a comma or a line end (CR LF, LF or a
// lone CR) ends the item, an item that starts with a double quote ends at the next double quote
// (anything after the closing quote up to the delimiter is dropped), and blanks around an item are
// not part of it. An empty line is one empty item. A UTF-8 byte-order mark at the start of the text
// is skipped. The reader never allocates: items are views into the text it was given.

#include <span>
#include <string_view>

namespace tessaly {

struct Item {
    std::string_view text; // without surrounding blanks and quotes
    bool endsLine = false; // ended by a line end or the end of the text, not by a comma
    int line = 1;          // line (from 1) on which the item starts
};

class ItemReader {
public:
    explicit ItemReader(std::string_view text);

    // True when no item is left: the whole text has been read.
    bool atEnd() const { return m_pos >= m_text.size(); }

    // The line (from 1) on which the next item starts; after the last line end, the line after it.
    int line() const { return m_line; }

    // The next item; "Input past end of file" when none is left.
    Item next();

    // The next item as a number (see parseNumberItem).
    double nextNumber();

    // The next item as a 16-bit integer: a number rounded to the nearest integer, "Overflow" beyond
    // the 16-bit range.
    int nextInteger();

    // The next item as a check-box state: 0 or 1; "Invalid property value" for any other number.
    bool nextCheckState();

    // The next item as a boolean: "True"/"False" in any letter case, or a number (non-zero is true).
    bool nextBoolean();

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
};

// An item read as a number. The whole item must be one decimal number with optional sign, decimal
// point and exponent ("1e-3", " .5", "-7.85E-3"); an empty item is 0. Anything else ("abc", "1.5V",
// "NaN", "Inf") is a "Type mismatch"; a magnitude beyond the range of a double is an "Overflow" and
// one below it reads as 0. Independent of the C locale.
double parseNumberItem(std::string_view item);

// Reads the number pairs of a data file, one pair per line: the first number up to a comma, the
// second up to the line end. A line that holds nothing (or only blanks) is skipped; a line with a
// single number has 0 as its second (an empty field reads as 0); a third field on a line is a "Type
// mismatch". Pairs are stored from index 0 of `first` and `second`; one pair more than they hold is a
// "Subscript out of range". Failures name the line: "Type mismatch in line 3". Returns the number of
// pairs read. Nothing beyond the pairs read is written.
int readNumberPairs(std::string_view text, std::span<double> first, std::span<double> second);

} // namespace tessaly
