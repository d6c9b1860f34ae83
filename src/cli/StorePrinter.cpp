#include "cli/StorePrinter.h"

#include "model/FieldTable.h"
#include "workbench/Workbench.h"

#include <charconv>
#include <cstdio>
#include <fstream>

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

bool inPoints(int i) {
    return i >= 0 && i <= kMaxPoint;
}
bool inColumns(int c) {
    return c >= 0 && c <= kMaxColumn;
}

} // namespace

std::string fullPrecision(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::optional<std::string> printValue(Workbench& wb, std::string_view name) {
    if (const auto field = findField(wb.params, name)) {
        return std::visit(
            [](auto* v) -> std::string {
                using T = std::remove_pointer_t<decltype(v)>;
                if constexpr (std::is_same_v<T, std::string>)
                    return *v;
                else if constexpr (std::is_same_v<T, bool>)
                    return *v ? "1" : "0";
                else if constexpr (std::is_same_v<T, int>)
                    return std::to_string(*v);
                else
                    return fullPrecision(*v);
            },
            *field);
    }
    if (const auto value = findCommittedValue(wb.params, name))
        return fullPrecision(**value);

    const CurveStore& s = wb.store;
    const Indexed ix = parseIndices(name);
    if (!ix.ok)
        return std::nullopt;
    if (ix.first < 0) {
        const std::string& n = ix.base;
        if (n == "NPoints")
            return std::to_string(s.NPoints);
        if (n == "LastIndex")
            return std::to_string(s.LastIndex);
        if (n == "FirstPoint")
            return std::to_string(s.FirstPoint);
        if (n == "LastPoint")
            return std::to_string(s.LastPoint);
        if (n == "NForward")
            return std::to_string(s.NForward);
        if (n == "NCurves")
            return std::to_string(s.NCurves);
        if (n == "CurveNo")
            return std::to_string(s.CurveNo);
        if (n == "CurvesPerRun")
            return std::to_string(s.CurvesPerRun);
        if (n == "XTitle")
            return s.XTitle;
        if (n == "YTitle")
            return s.YTitle;
        if (n == "Xmin")
            return fullPrecision(wb.plotState.Xmin);
        if (n == "Xmax")
            return fullPrecision(wb.plotState.Xmax);
        if (n == "Ymin")
            return fullPrecision(wb.plotState.Ymin);
        if (n == "Ymax")
            return fullPrecision(wb.plotState.Ymax);
        if (n == "ElapsedTime")
            return fullPrecision(wb.ElapsedTime);
        if (n == "XminText")
            return wb.plotOptions.XminText;
        if (n == "XmaxText")
            return wb.plotOptions.XmaxText;
        if (n == "YminText")
            return wb.plotOptions.YminText;
        if (n == "YmaxText")
            return wb.plotOptions.YmaxText;
        if (n == "Xauto")
            return wb.plotOptions.Xauto ? "1" : "0";
        if (n == "Yauto")
            return wb.plotOptions.Yauto ? "1" : "0";
        if (n == "CheckGrid")
            return wb.plotOptions.CheckGrid ? "1" : "0";
        if (n == "overlap")
            return wb.plotOptions.overlap ? "1" : "0";
        if (n == "CheckXdir")
            return wb.plotOptions.CheckXdir ? "1" : "0";
        if (n == "ResultLog")
            return wb.log.text();
        return std::nullopt;
    }
    if (ix.second < 0) {
        if (!inPoints(ix.first))
            return std::nullopt;
        if (ix.base == "E")
            return fullPrecision(s.E[ix.first]);
        if (ix.base == "EApplied")
            return fullPrecision(s.EApplied[ix.first]);
        if (ix.base == "WaveT")
            return fullPrecision(s.WaveT[ix.first]);
        if (ix.base == "XAxis")
            return fullPrecision(s.XAxis[ix.first]);
        return std::nullopt;
    }
    if (!inPoints(ix.first) || !inColumns(ix.second))
        return std::nullopt;
    if (ix.base == "Curve")
        return fullPrecision(s.Curve(ix.first, ix.second));
    if (ix.base == "ComponentCurrent")
        return fullPrecision(s.ComponentCurrent(ix.first, ix.second));
    if (ix.base == "SurfaceConc")
        return fullPrecision(s.SurfaceConc(ix.first, ix.second));
    return std::nullopt;
}

std::vector<std::string> printableStoreNames() {
    return {"NPoints",
            "LastIndex",
            "FirstPoint",
            "LastPoint",
            "NForward",
            "NCurves",
            "CurveNo",
            "CurvesPerRun",
            "XTitle",
            "YTitle",
            "Xmin",
            "Xmax",
            "Ymin",
            "Ymax",
            "ElapsedTime",
            "XminText",
            "XmaxText",
            "YminText",
            "YmaxText",
            "Xauto",
            "Yauto",
            "CheckGrid",
            "overlap",
            "CheckXdir",
            "ResultLog",
            "E(i)",
            "EApplied(i)",
            "WaveT(i)",
            "XAxis(i)",
            "Curve(i,c)",
            "ComponentCurrent(i,c)",
            "SurfaceConc(i,c)"};
}

bool dumpStore(const Workbench& wb, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    const CurveStore& s = wb.store;
    out << "index,E,XAxis";
    for (int c = 1; c <= s.NCurves && c <= kMaxColumn; ++c)
        out << ',' << c;
    out << '\n';
    for (int i = std::max(0, s.FirstPoint); i <= s.LastPoint && i <= kMaxPoint; ++i) {
        out << i << ',' << fullPrecision(s.E[i]) << ',' << fullPrecision(s.XAxis[i]);
        for (int c = 1; c <= s.NCurves && c <= kMaxColumn; ++c)
            out << ',' << fullPrecision(s.Curve(i, c));
        out << '\n';
    }
    return static_cast<bool>(out.flush());
}

} // namespace tessaly
