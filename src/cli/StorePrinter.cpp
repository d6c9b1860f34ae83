#include "cli/StorePrinter.h"

#include "base/AtomicFile.h"
#include "model/FieldTable.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>
#include <type_traits>
#include <variant>

namespace tessaly {
namespace {

// "Curve(5,1)" -> ("Curve", 5, 1); "E(3)" -> ("E", 3, -1).
struct Indexed {
    std::string base;
    int first = -1;
    int second = -1;
    bool ok = true;
};

Indexed parseIndices(std::string_view name) {
    Indexed r;
    const auto open = name.find('(');
    if (open == std::string_view::npos || name.back() != ')') {
        r.base = std::string(name);
        return r;
    }
    r.base = std::string(name.substr(0, open));
    std::string_view inside = name.substr(open + 1, name.size() - open - 2);
    const auto comma = inside.find(',');
    auto number = [&](std::string_view s, int& out) {
        const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
        if (ec != std::errc() || p != s.data() + s.size() || s.empty())
            r.ok = false;
    };
    number(comma == std::string_view::npos ? inside : inside.substr(0, comma), r.first);
    if (comma != std::string_view::npos)
        number(inside.substr(comma + 1), r.second);
    return r;
}

// Point arrays grow with the data; the simulations' tables keep their own size.
bool inPoints(int i, int points) {
    return i >= 0 && i < points;
}
bool inColumns(int c) {
    return c >= 0 && c <= kMaxColumn;
}

std::string flag(bool value) {
    return value ? "1" : "0";
}

// The store scalars, plot limits, plot options and the result log, by name.
struct ScalarName {
    std::string_view name;
    std::string (*value)(const Workbench& wb);
};

// Point arrays, printed as NAME(i).
struct PointArrayName {
    std::string_view name;
    double (*value)(const CurveStore& s, int i);
};

// Point-by-column tables, printed as NAME(i,c).
struct PointTableName {
    std::string_view name;
    double (*value)(const CurveStore& s, int i, int c);
};

// The order of these tables is the order of --help.
const ScalarName kScalars[] = {
    {"NPoints", [](const Workbench& wb) { return std::to_string(wb.store.NPoints); }},
    {"LastIndex", [](const Workbench& wb) { return std::to_string(wb.store.LastIndex); }},
    {"FirstPoint", [](const Workbench& wb) { return std::to_string(wb.store.FirstPoint); }},
    {"LastPoint", [](const Workbench& wb) { return std::to_string(wb.store.LastPoint); }},
    {"NForward", [](const Workbench& wb) { return std::to_string(wb.store.NForward); }},
    {"NCurves", [](const Workbench& wb) { return std::to_string(wb.store.NCurves); }},
    {"CurveNo", [](const Workbench& wb) { return std::to_string(wb.store.CurveNo); }},
    {"CurvesPerRun", [](const Workbench& wb) { return std::to_string(wb.store.CurvesPerRun); }},
    {"XTitle", [](const Workbench& wb) { return wb.store.XTitle; }},
    {"YTitle", [](const Workbench& wb) { return wb.store.YTitle; }},
    {"Xmin", [](const Workbench& wb) { return fullPrecision(wb.plotState.Xmin); }},
    {"Xmax", [](const Workbench& wb) { return fullPrecision(wb.plotState.Xmax); }},
    {"Ymin", [](const Workbench& wb) { return fullPrecision(wb.plotState.Ymin); }},
    {"Ymax", [](const Workbench& wb) { return fullPrecision(wb.plotState.Ymax); }},
    {"ElapsedTime", [](const Workbench& wb) { return fullPrecision(wb.ElapsedTime); }},
    {"XminText", [](const Workbench& wb) { return wb.plotOptions.XminText; }},
    {"XmaxText", [](const Workbench& wb) { return wb.plotOptions.XmaxText; }},
    {"YminText", [](const Workbench& wb) { return wb.plotOptions.YminText; }},
    {"YmaxText", [](const Workbench& wb) { return wb.plotOptions.YmaxText; }},
    {"Xauto", [](const Workbench& wb) { return flag(wb.plotOptions.Xauto); }},
    {"Yauto", [](const Workbench& wb) { return flag(wb.plotOptions.Yauto); }},
    {"CheckGrid", [](const Workbench& wb) { return flag(wb.plotOptions.CheckGrid); }},
    {"overlap", [](const Workbench& wb) { return flag(wb.plotOptions.overlap); }},
    {"CheckXdir", [](const Workbench& wb) { return flag(wb.plotOptions.CheckXdir); }},
    {"ResultLog", [](const Workbench& wb) { return wb.log.text(); }},
};

const PointArrayName kPointArrays[] = {
    {"E", [](const CurveStore& s, int i) { return s.E[i]; }},
    {"EApplied", [](const CurveStore& s, int i) { return s.EApplied[i]; }},
    {"WaveT", [](const CurveStore& s, int i) { return s.WaveT[i]; }},
    {"XAxis", [](const CurveStore& s, int i) { return s.XAxis[i]; }},
};

const PointTableName kPointTables[] = {
    {"Curve", [](const CurveStore& s, int i, int c) { return s.Curve(i, c); }},
    {"ComponentCurrent", [](const CurveStore& s, int i, int c) { return s.ComponentCurrent(i, c); }},
    {"SurfaceConc", [](const CurveStore& s, int i, int c) { return s.SurfaceConc(i, c); }},
};

template <typename Entry, std::size_t N> const Entry* named(const Entry (&table)[N], std::string_view name) {
    for (const Entry& entry : table)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

// A dialog field's text, selection, check or count, exactly as held.
std::string fieldText(const FieldRef& field) {
    return std::visit(
        [](auto* v) -> std::string {
            using T = std::remove_pointer_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>)
                return *v;
            else if constexpr (std::is_same_v<T, bool>)
                return flag(*v);
            else if constexpr (std::is_same_v<T, int>)
                return std::to_string(*v);
            else
                return fullPrecision(*v);
        },
        field);
}

} // namespace

std::string fullPrecision(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::optional<std::string> printValue(Workbench& wb, std::string_view name) {
    if (const auto field = findField(wb.params, name))
        return fieldText(*field);
    if (const auto value = findCommittedValue(wb.params, name))
        return fullPrecision(**value);

    const CurveStore& s = wb.store;
    const Indexed ix = parseIndices(name);
    if (!ix.ok)
        return std::nullopt;
    if (ix.first < 0) {
        const ScalarName* scalar = named(kScalars, ix.base);
        return scalar ? std::optional(scalar->value(wb)) : std::nullopt;
    }
    if (ix.second < 0) {
        const PointArrayName* array = named(kPointArrays, ix.base);
        if (!array || !inPoints(ix.first, s.E.points()))
            return std::nullopt;
        return fullPrecision(array->value(s, ix.first));
    }
    const PointTableName* table = named(kPointTables, ix.base);
    const int points = ix.base == "Curve" ? s.Curve.points() : s.ComponentCurrent.points();
    if (!table || !inPoints(ix.first, points) || !inColumns(ix.second))
        return std::nullopt;
    return fullPrecision(table->value(s, ix.first, ix.second));
}

std::vector<std::string> printableStoreNames() {
    std::vector<std::string> names;
    for (const ScalarName& scalar : kScalars)
        names.emplace_back(scalar.name);
    for (const PointArrayName& array : kPointArrays)
        names.push_back(std::string(array.name) + "(i)");
    for (const PointTableName& table : kPointTables)
        names.push_back(std::string(table.name) + "(i,c)");
    return names;
}

std::string storeDumpText(const Workbench& wb) {
    std::ostringstream out;
    const CurveStore& s = wb.store;
    out << "index,E,XAxis";
    for (int c = 1; c <= s.NCurves && c <= kMaxColumn; ++c)
        out << ',' << c;
    out << '\n';
    for (int i = std::max(0, s.FirstPoint); i <= s.LastPoint && i <= s.maxPoint(); ++i) {
        out << i << ',' << fullPrecision(s.E[i]) << ',' << fullPrecision(s.XAxis[i]);
        for (int c = 1; c <= s.NCurves && c <= kMaxColumn; ++c)
            out << ',' << fullPrecision(s.Curve(i, c));
        out << '\n';
    }
    return out.str();
}

void dumpStore(const Workbench& wb, const std::string& path) {
    writeFileAtomically(path, storeDumpText(wb));
}

} // namespace tessaly
