#include "fitting/FitSetup.h"

#include "base/Checked.h"
#include "model/ExperimentParams.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace tessaly {
namespace {

struct NamedGroup {
    const char* name;
    int base;
    int rows;
};

constexpr NamedGroup kGroups[] = {
    {"ks", 10, kMaxCharge},  {"alph", 20, kMaxCharge}, {"Eze", 30, kMaxCharge}, {"kf", 40, kMaxChem},
    {"kb", 60, kMaxChem},    {"C", 100, kMaxSpecies},  {"D", 120, kMaxSpecies},
};

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool tiedAlready(const FitSetup& setup, int code) {
    return std::any_of(setup.ties.begin(), setup.ties.end(), [code](const FitTie& t) { return t.code == code; });
}

// The sweep number (0, 1, ...) of each point: a new sweep begins after the point where the direction of
// the potential changes.
std::vector<int> sweepOfPoints(std::span<const double> E) {
    std::vector<int> sweep(E.size(), 0);
    int current = 0;
    int direction = 0;
    for (std::size_t i = 1; i < E.size(); ++i) {
        const double step = E[i] - E[i - 1];
        const int d = step > 0 ? 1 : (step < 0 ? -1 : 0);
        if (d != 0 && direction != 0 && d != direction)
            ++current;
        if (d != 0)
            direction = d;
        sweep[i] = current;
    }
    return sweep;
}

} // namespace

std::optional<std::vector<std::pair<std::string, std::string>>> parseDataSetFields(std::string_view text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
        const std::size_t start = at;
        while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
        if (at > start)
            words.emplace_back(text.substr(start, at - start));
    }
    if (words.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::pair<std::string, std::string>> fields;
    for (std::size_t k = 0; k < words.size(); k += 2)
        fields.emplace_back(words[k], words[k + 1]);
    return fields;
}

bool isDataSetCycleWord(std::string_view name) {
    return sameWord(name, "cycle");
}

std::string describeDataSet(const FitDataSetSpec& shape) {
    std::string line = shape.file;
    for (const auto& [name, text] : shape.fields)
        line += "  " + name + "=" + text;
    return line;
}

std::optional<int> fitCodeOfName(std::string_view name) {
    const std::pair<const char*, int> instrument[] = {{"Ru", 1}, {"Cdl", 2}, {"area", 3}};
    for (const auto& [word, code] : instrument)
        if (sameWord(name, word))
            return code;
    const auto open = name.find('(');
    if (open == std::string_view::npos || name.back() != ')')
        return std::nullopt;
    const std::string_view base = name.substr(0, open);
    const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
    int row = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), row);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    for (const NamedGroup& g : kGroups)
        if (sameWord(base, g.name) && row >= 1 && row <= g.rows)
            return g.base + row;
    return std::nullopt;
}

std::string fitNameOfCode(int code) {
    if (code >= 1 && code <= 3)
        return code == 1 ? "Ru" : (code == 2 ? "Cdl" : "area");
    for (auto it = std::rbegin(kGroups); it != std::rend(kGroups); ++it)
        if (code > it->base && code <= it->base + it->rows)
            return std::string(it->name) + "(" + std::to_string(code - it->base) + ")";
    return std::to_string(code);
}

std::optional<std::string> addTie(FitSetup& setup, FitTie tie) {
    if (tie.code == tie.master)
        return fitNameOfCode(tie.code) + " cannot be tied to itself";
    if (tiedAlready(setup, tie.master))
        return fitNameOfCode(tie.master) + " is itself tied; tie to the quantity it follows";
    if (std::any_of(setup.ties.begin(), setup.ties.end(), [&](const FitTie& t) { return t.master == tie.code; }))
        return fitNameOfCode(tie.code) + " has quantities tied to it";
    removeTie(setup, tie.code);
    setup.ties.push_back(tie);
    return std::nullopt;
}

bool removeTie(FitSetup& setup, int code) {
    const auto before = setup.ties.size();
    std::erase_if(setup.ties, [code](const FitTie& t) { return t.code == code; });
    return setup.ties.size() != before;
}

std::vector<int> windowPoints(std::span<const double> E, std::span<const double> times, double pointTime,
                              int first, int last, const FitSetup& setup) {
    const std::vector<int> sweep = sweepOfPoints(E);
    std::vector<int> points;
    for (int i = std::max(first, 0); i <= last && i < static_cast<int>(E.size()); ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (setup.cycle > 0 && sweep[k] / 2 + 1 != setup.cycle)
            continue;
        bool inside = setup.windows.empty();
        for (const FitWindow& w : setup.windows) {
            const double x = w.axis == FitWindow::Axis::Potential ? E[k]
                             : k < times.size()                   ? times[k]
                                                                  : i * pointTime;
            inside = inside || (x >= std::min(w.from, w.to) && x <= std::max(w.from, w.to));
        }
        if (inside)
            points.push_back(i);
    }
    return points;
}

} // namespace tessaly
