#include "fitting/FitParameters.h"

#include "base/Checked.h"
#include "base/NumberText.h"

namespace tessaly {
namespace {

template <std::size_t N> double& row(std::array<double, N>& values, int index) {
    return values[static_cast<std::size_t>(checkedIndex(index, 0, static_cast<int>(N) - 1))];
}

struct Group {
    int base;  // code offset
    int count; // rows offered by the dialogs
    const std::string* minTexts;
    const std::string* maxTexts;
};

} // namespace

double& fitParameter(CommittedValues& c, int code) {
    if (code == kFitResistance)
        return c.Resistance;
    if (code == kFitCapacitance)
        return c.DoubleLayerCap;
    if (code == kFitArea)
        return c.ElectrodeArea;
    if (code >= 11 && code <= 19)
        return row(c.RateKs, code - 10);
    if (code >= 21 && code <= 29)
        return row(c.Alpha, code - 20);
    if (code >= 31 && code <= 39)
        return row(c.FormalPotential, code - 30);
    if (code >= 41 && code <= 59)
        return row(c.RateKf, code - 40);
    if (code >= 61 && code <= 79)
        return row(c.RateKb, code - 60);
    if (code >= 101 && code <= 119)
        return row(c.InitConc, code - 100);
    if (code >= 121 && code <= 139)
        return row(c.DiffCoef, code - 120);
    raise(failure_text::subscriptOutOfRange);
}

double fitParameter(const CommittedValues& c, int code) {
    return fitParameter(const_cast<CommittedValues&>(c), code); // read only
}

std::vector<FitCandidate> selectedFitParameters(const ExperimentParams& p) {
    const Group groups[] = {
        {10, std::min(p.NumCharge, kMaxCharge), p.TextKsmin.data(), p.TextKsmax.data()},
        {20, std::min(p.NumCharge, kMaxCharge), p.TextAlphaMin.data(), p.TextAlphamax.data()},
        {30, std::min(p.NumCharge, kMaxCharge), p.TextEzeromin.data(), p.TextEzeromax.data()},
        {40, std::min(p.NumChem, kMaxChem), p.TextKfmin.data(), p.TextKfmax.data()},
        {60, std::min(p.NumChem, kMaxChem), p.TextKbmin.data(), p.TextKbmax.data()},
        {100, std::min(p.NumSpecies, kMaxSpecies), p.TextCmin.data(), p.TextCmax.data()},
        {120, std::min(p.NumSpecies, kMaxSpecies), p.TextDmin.data(), p.TextDmax.data()},
    };
    CommittedValues committed = p.committed;
    std::vector<FitCandidate> selected;
    for (const Group& g : groups) {
        for (int i = 1; i <= g.count; ++i) {
            const int code = g.base + i;
            if (!p.CheckFitted[static_cast<std::size_t>(code)])
                continue;
            selected.push_back({code, fitParameter(committed, code), leadingNumber(g.minTexts[i]),
                                leadingNumber(g.maxTexts[i])});
        }
    }
    // The instrument's quantities: the uncompensated resistance (its iR drop is simulated by the
    // digital model; the analytical mechanisms use it only for the charging current), the double-layer
    // capacitance, and the electrode area, which scales every current.
    const struct {
        int code;
        const std::string& minText;
        const std::string& maxText;
    } instrument[] = {{kFitResistance, p.TextRumin, p.TextRumax},
                      {kFitCapacitance, p.TextCdlmin, p.TextCdlmax},
                      {kFitArea, p.TextAreamin, p.TextAreamax}};
    for (const auto& q : instrument)
        if (p.CheckFitted[static_cast<std::size_t>(q.code)])
            selected.push_back(
                {q.code, fitParameter(committed, q.code), leadingNumber(q.minText), leadingNumber(q.maxText)});
    return selected;
}

std::string fitParameterName(int code) {
    if (code == kFitResistance)
        return "Ru (ohm)";
    if (code == kFitCapacitance)
        return "Cdl (F)";
    if (code == kFitArea)
        return "area (cm2)";
    struct Name {
        int first, last, base;
        const char* symbol;
        const char* unit;
    };
    static constexpr Name names[] = {
        {11, 19, 10, "ks", " (cm/s)"}, {21, 29, 20, "a", ""},  {31, 39, 30, "E'", " (V)"},
        {41, 59, 40, "kf", ""},        {61, 79, 60, "kb", ""}, {101, 119, 100, "C", " (M)"},
        {121, 139, 120, "D", " (cm2/s)"},
    };
    for (const Name& n : names)
        if (code >= n.first && code <= n.last)
            return std::string(n.symbol) + "(" + std::to_string(code - n.base) + ")" + n.unit;
    raise(failure_text::subscriptOutOfRange);
}

std::string fitParameterNameLines(const std::vector<FitCandidate>& candidates) {
    std::string lines;
    for (std::size_t k = 0; k < candidates.size(); ++k)
        lines += "Parameter " + std::to_string(k + 1) + ": " + fitParameterName(candidates[k].code) + "\r\n";
    return lines;
}

} // namespace tessaly
