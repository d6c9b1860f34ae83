#include "curves/MeasuredImport.h"

#include "base/Failure.h"
#include "curves/CurrentFile.h"
#include "curves/DelimitedText.h"
#include "curves/HeadedTable.h"
#include "curves/MeasuredReaders.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tessaly {
namespace {

// Fraction of the potential extent below which a reversal is noise.
constexpr double kTurnHysteresis = 0.01;

} // namespace

std::vector<int> potentialTurns(const std::vector<double>& E) {
    std::vector<int> turns;
    if (E.size() < 3)
        return turns;
    const auto [low, high] = std::minmax_element(E.begin(), E.end());
    const double tolerance = kTurnHysteresis * (*high - *low); // V
    if (tolerance <= 0)
        return turns;
    int direction = 0;
    int extreme = 0;
    for (int i = 1; i < static_cast<int>(E.size()); ++i) {
        const double e = E[static_cast<std::size_t>(i)];
        if (direction == 0) {
            if (std::fabs(e - E[0]) > tolerance) {
                direction = e > E[0] ? 1 : -1;
                extreme = i;
            }
            continue;
        }
        const double ext = E[static_cast<std::size_t>(extreme)];
        if (direction * (e - ext) >= 0) {
            extreme = i;
        } else if (direction * (ext - e) > tolerance) {
            turns.push_back(extreme);
            direction = -direction;
            extreme = i;
        }
    }
    return turns;
}

namespace {

// Consecutive rows of equal cycle number form one cycle: [begin, end) of each.
std::vector<std::pair<int, int>> cycleBlocks(const std::vector<int>& cycle) {
    std::vector<std::pair<int, int>> blocks;
    const int n = static_cast<int>(cycle.size());
    int begin = 0;
    for (int i = 1; i <= n; ++i) {
        if (i == n || cycle[static_cast<std::size_t>(i)] != cycle[static_cast<std::size_t>(begin)]) {
            blocks.emplace_back(begin, i);
            begin = i;
        }
    }
    return blocks;
}

template <typename T> std::vector<T> slice(const std::vector<T>& v, int begin, int end) {
    if (v.empty())
        return {};
    return std::vector<T>(v.begin() + begin, v.begin() + end);
}

MeasuredData readAnyStructure(const TextLines& lines) {
    if (auto d = readTaggedCurveTables(lines))
        return std::move(*d);
    if (auto d = readCountedHeaderTable(lines))
        return std::move(*d);
    if (auto d = readChannelColumnTable(lines))
        return std::move(*d);
    if (auto d = readDatedParameterTable(lines))
        return std::move(*d);
    if (auto d = readTwoLineHeaderCsv(lines))
        return std::move(*d);
    return readDelimitedTable(lines);
}

// The program's own current file, or nothing when the text is not one.
std::optional<MeasuredData> readOwnFormat(std::string_view text) {
    const auto lineEnds = std::count(text.begin(), text.end(), '\n') + std::count(text.begin(), text.end(), '\r');
    try {
        const CurrentFileData own = readCurrentFile(text, static_cast<int>(std::min<long long>(
                                                              lineEnds + 2, kMaxImportPoints + 1LL)));
        if (own.count > kMaxImportPoints)
            raise(importLimitText());
        MeasuredData data;
        data.E.assign(own.E.begin(), own.E.begin() + own.count);
        data.current.assign(own.current.begin(), own.current.begin() + own.count);
        return data;
    } catch (const Failure& f) {
        if (f.description() == importLimitText() ||
            (f.description().starts_with(failure_text::subscriptOutOfRange) && lineEnds >= kMaxImportPoints))
            raise(importLimitText());
        return std::nullopt;
    }
}

} // namespace

std::optional<CycleChoice> parseCycleChoice(std::string_view word) {
    const std::string w = lowerCase(trimField(word));
    std::string_view value = w;
    if (value.starts_with("cycle="))
        value.remove_prefix(6);
    CycleChoice c;
    c.given = true;
    if (value == "all") {
        c.kind = CycleChoice::Kind::All;
        return c;
    }
    if (value == "last")
        return c;
    int n = 0;
    const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || ptr != value.data() + value.size() || n < 1)
        return std::nullopt;
    c.kind = CycleChoice::Kind::Number;
    c.number = n;
    return c;
}

std::vector<std::pair<int, int>> sweepRanges(std::span<const double> E, int from, int to) {
    std::vector<std::pair<int, int>> sweeps;
    if (from > to)
        return sweeps;
    const std::vector<double> part(E.begin() + from, E.begin() + to + 1);
    int start = from;
    for (int turn : potentialTurns(part)) {
        sweeps.emplace_back(start, from + turn - 1);
        start = from + turn;
    }
    sweeps.emplace_back(start, to);
    return sweeps;
}

int firstSwitchingPoint(const std::vector<double>& E) {
    const std::vector<int> turns = potentialTurns(E);
    return turns.empty() ? static_cast<int>(E.size()) : turns.front();
}

std::vector<int> cyclesFromPotential(const std::vector<double>& E) {
    std::vector<int> cycle(E.size(), 1);
    const std::vector<int> turns = potentialTurns(E);
    if (turns.size() < 2)
        return cycle;
    const auto [low, high] = std::minmax_element(E.begin(), E.end());
    const double tolerance = kTurnHysteresis * (*high - *low); // V
    const double start = E[0];
    const double d0 = E[static_cast<std::size_t>(turns[0])] > start ? 1.0 : -1.0; // first direction
    int number = 1;
    // Every second turn heads back in the starting direction; the next cycle begins where the
    // potential is back at the start potential (or at the turn itself when it starts at a vertex).
    for (std::size_t k = 1; k < turns.size(); k += 2) {
        auto i = static_cast<std::size_t>(turns[k]);
        while (i < E.size() && d0 * (E[i] - start) < -tolerance)
            ++i;
        if (i >= E.size())
            break;
        if (k + 1 < turns.size() && i > static_cast<std::size_t>(turns[k + 1]))
            break; // turned again before reaching the start potential: not a repeated cycle
        ++number;
        std::fill(cycle.begin() + static_cast<long>(i), cycle.end(), number);
    }
    return cycle;
}

ImportedCurve importMeasuredFile(std::string_view fileBytes, const CycleChoice& choice) {
    // Only a UTF-16 export is copied (transcoded); any other file is read in place.
    const bool utf16 = fileBytes.starts_with("\xFF\xFE") || fileBytes.starts_with("\xFE\xFF");
    const std::string transcoded = utf16 ? utf8FromMarkedUtf16(fileBytes) : std::string();
    const std::string_view text = utf16 ? std::string_view(transcoded) : fileBytes;
    ImportedCurve out;
    MeasuredData data;
    if (auto own = readOwnFormat(text)) {
        data = std::move(*own);
        out.ownFormat = true;
    } else {
        data = readAnyStructure(splitLines(text));
        if (data.rows() == 0)
            raise(std::string(failure_text::typeMismatch) + " in line 1");
    }
    if (!out.ownFormat) {
        out.notes.push_back("File structure: " + data.layout);
        if (data.sign == CurrentSign::AnodicPositive) {
            for (double& i : data.current)
                i = -i;
            out.notes.push_back("anodic-positive export: currents negated");
        } else {
            out.notes.push_back("currents taken as written (reduction positive)");
        }
    }
    out.cycleColumn = !data.cycle.empty();
    if (data.cycle.empty())
        data.cycle = cyclesFromPotential(data.E);

    const std::vector<std::pair<int, int>> blocks = cycleBlocks(data.cycle);
    const int cycles = static_cast<int>(blocks.size());
    int begin = 0;
    int end = data.rows();
    const bool selectAll = choice.kind == CycleChoice::Kind::All || (out.ownFormat && !choice.given);
    if (!selectAll && cycles > 1) {
        int pick = cycles; // 1-based
        if (choice.kind == CycleChoice::Kind::Number) {
            if (choice.number > cycles)
                raise("Cycle " + std::to_string(choice.number) + " not in file (" + std::to_string(cycles) +
                      " cycles)");
            pick = choice.number;
        } else {
            // The last cycle is complete when it is about as long as the one before it.
            const auto length = [&](int k) { return blocks[static_cast<std::size_t>(k - 1)].second -
                                                    blocks[static_cast<std::size_t>(k - 1)].first; };
            if (length(cycles) < 0.9 * length(cycles - 1))
                pick = cycles - 1;
        }
        begin = blocks[static_cast<std::size_t>(pick - 1)].first;
        end = blocks[static_cast<std::size_t>(pick - 1)].second;
        out.notes.push_back("Cycle " + std::to_string(pick) + " of " + std::to_string(cycles) + " imported" +
                            (choice.kind == CycleChoice::Kind::LastComplete ? " (last complete cycle)" : ""));
    } else if (cycles > 1 && (!out.ownFormat || choice.given)) {
        out.notes.push_back("All " + std::to_string(cycles) + " cycles imported");
    }
    out.E = slice(data.E, begin, end);
    out.current = slice(data.current, begin, end);
    out.time = slice(data.time, begin, end);
    out.cycle = slice(data.cycle, begin, end);
    out.NForward = firstSwitchingPoint(out.E);
    return out;
}

void storeMeasuredCurve(CurveStore& store, const ImportedCurve& curve) {
    const int column = checkedIndex(store.CurveNo, 0, kMaxColumn);
    const int n = checkedIndex(curve.count(), 0, kMaxImportPoints);
    store.reservePoints(n);
    const bool timed = static_cast<int>(curve.time.size()) == n;
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        store.E[i] = curve.E[k];
        store.XAxis[i] = curve.E[k]; // the display abscissa is the potential, as the import draws it
        store.Curve(i, column) = curve.current[k];
        if (timed)
            store.WaveT[i] = curve.time[k];
    }
    store.MeasuredTime = timed && n > 0;
    if (curve.cycleColumn && static_cast<int>(curve.cycle.size()) == n)
        store.Cycle = curve.cycle;
    else
        store.Cycle.clear();
    store.NForward = curve.NForward;
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.LastPoint = n - 2;
}

} // namespace tessaly
