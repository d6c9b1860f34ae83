#include "model/FieldTable.h"

#include <charconv>
#include <functional>

namespace tessaly {
namespace {

struct Entry {
    const char* name;
    int low; // -1 for a plain field
    int high;
    std::function<FieldRef(ExperimentParams&, int)> get;
};

template <typename T> Entry plain(const char* name, T ExperimentParams::*member) {
    return {name, -1, -1, [member](ExperimentParams& p, int) -> FieldRef { return &(p.*member); }};
}

template <typename T, std::size_t N>
Entry indexed(const char* name, int low, int high, std::array<T, N> ExperimentParams::*member) {
    return {name, low, high, [member](ExperimentParams& p, int i) -> FieldRef { return &(p.*member)[i]; }};
}

const std::vector<Entry>& entries() {
    using P = ExperimentParams;
    static const std::vector<Entry> table = {
        plain("optTech", &P::optTech),
        plain("Technique", &P::Technique),
        plain("optElectrode", &P::Electrode),
        plain("Electrode", &P::Electrode),
        plain("mech", &P::mech),
        plain("Mechanism", &P::Mechanism),
        plain("DigitalFlag", &P::DigitalFlag),
        plain("TechElectrodeCode", &P::TechElectrodeCode),
        plain("Estart", &P::Estart),
        plain("Eend", &P::Eend),
        plain("Estep", &P::Estep),
        plain("V", &P::V),
        plain("td", &P::td),
        plain("tp", &P::tp),
        plain("Epulse", &P::Epulse),
        plain("TextF", &P::TextF),
        plain("tsa1", &P::tsa1),
        plain("tsa2", &P::tsa2),
        plain("txttemp", &P::txttemp),
        plain("Noise", &P::Noise),
        plain("ComboScan", &P::ComboScan),
        plain("TextTexp", &P::TextTexp),
        plain("ARE", &P::ARE),
        plain("radius", &P::radius),
        plain("leng", &P::leng),
        plain("radius2", &P::radius2),
        plain("radius3", &P::radius3),
        plain("thickness", &P::thickness),
        plain("Rotation", &P::Rotation),
        plain("ElectrodeVolume", &P::ElectrodeVolume),
        plain("CheckPreCon", &P::CheckPreCon),
        plain("txtEPre", &P::txtEPre),
        plain("txtTPre", &P::txtTPre),
        plain("txtRStir", &P::txtRStir),
        plain("txtTpreconst", &P::txtTpreconst),
        plain("TxtI0", &P::TxtI0),
        plain("TxtI1", &P::TxtI1),
        plain("Cdl", &P::Cdl),
        plain("txtRu", &P::txtRu),
        plain("CheckAuto", &P::CheckAuto),
        plain("TextTimeGrid", &P::TextTimeGrid),
        plain("TextExpanding", &P::TextExpanding),
        indexed("t1", 0, kDesignRows - 1, &P::t1),
        indexed("E1", 0, kDesignRows - 1, &P::E1),
        plain("CheckDigital", &P::CheckDigital),
        plain("CheckpH", &P::CheckpH),
        plain("OptionH", &P::OptionH),
        plain("OptionOH", &P::OptionOH),
        plain("Textm", &P::Textm),
        indexed("charge", 11, 57, &P::charge),
        indexed("CheckAdsorb", 1, kMaxCharge, &P::CheckAdsorb),
        indexed("chem2", 1, 4 * kMaxChem, &P::chem2),
        plain("NumSpecies", &P::NumSpecies),
        plain("NumCharge", &P::NumCharge),
        plain("NumChem", &P::NumChem),
        plain("NumChemUni", &P::NumChemUni),
        plain("NumChemBi", &P::NumChemBi),
        indexed("ks", 1, kMaxCharge, &P::ks),
        indexed("alph", 1, kMaxCharge, &P::alph),
        indexed("Eze", 1, kMaxCharge, &P::Eze),
        indexed("TextKsmin", 1, kMaxCharge, &P::TextKsmin),
        indexed("TextKsmax", 1, kMaxCharge, &P::TextKsmax),
        indexed("TextAlphaMin", 1, kMaxCharge, &P::TextAlphaMin),
        indexed("TextAlphamax", 1, kMaxCharge, &P::TextAlphamax),
        indexed("TextEzeromin", 1, kMaxCharge, &P::TextEzeromin),
        indexed("TextEzeromax", 1, kMaxCharge, &P::TextEzeromax),
        indexed("kf", 1, kMaxChem, &P::kf),
        indexed("kb", 1, kMaxChem, &P::kb),
        indexed("LabelKeq", 1, kMaxChem, &P::LabelKeq),
        indexed("TextKfmin", 1, kMaxChem, &P::TextKfmin),
        indexed("TextKfmax", 1, kMaxChem, &P::TextKfmax),
        indexed("TextKbmin", 1, kMaxChem, &P::TextKbmin),
        indexed("TextKbmax", 1, kMaxChem, &P::TextKbmax),
        indexed("CheckFitted", 1, kFitCodeCount - 1, &P::CheckFitted),
        plain("TextRumin", &P::TextRumin),
        plain("TextRumax", &P::TextRumax),
        plain("TextCdlmin", &P::TextCdlmin),
        plain("TextCdlmax", &P::TextCdlmax),
        plain("TextAreamin", &P::TextAreamin),
        plain("TextAreamax", &P::TextAreamax),
        indexed("FittedValueText", 1, kFitCodeCount - 1, &P::FittedValueText),
        plain("TextElectrolyte", &P::TextElectrolyte),
        plain("TextElectrolyteC", &P::TextElectrolyteC),
        plain("TextpH", &P::TextpH),
        plain("TextVis", &P::TextVis),
        plain("txtVol", &P::txtVol),
        indexed("specie", 1, kMaxSpecies, &P::specie),
        indexed("C", 1, kMaxSpecies, &P::C),
        indexed("Cinit", 1, kMaxSpecies, &P::Cinit),
        indexed("D", 1, kMaxSpecies, &P::D),
        indexed("TextB", 1, kMaxSpecies, &P::TextB),
        indexed("TextG", 1, kMaxSpecies, &P::TextG),
        indexed("TextCmin", 1, kMaxSpecies, &P::TextCmin),
        indexed("TextCmax", 1, kMaxSpecies, &P::TextCmax),
        indexed("TextDmin", 1, kMaxSpecies, &P::TextDmin),
        indexed("TextDmax", 1, kMaxSpecies, &P::TextDmax),
        plain("CheckPreEqu", &P::CheckPreEqu),
        plain("CheckElectrode", &P::CheckElectrode),
        plain("fRT", &P::fRT),
    };
    return table;
}

struct CommittedEntry {
    const char* name;
    int low;
    int high;
    std::function<double*(CommittedValues&, int)> get;
};

template <std::size_t N>
CommittedEntry committedArray(const char* name, int low, int high,
                              std::array<double, N> CommittedValues::*m) {
    return {name, low, high, [m](CommittedValues& c, int i) { return &(c.*m)[i]; }};
}

CommittedEntry committedPlain(const char* name, double CommittedValues::*m) {
    return {name, -1, -1, [m](CommittedValues& c, int) { return &(c.*m); }};
}

const std::vector<CommittedEntry>& committedEntries() {
    using C = CommittedValues;
    static const std::vector<CommittedEntry> table = {
        committedPlain("StartPotential", &C::StartPotential),
        committedPlain("EndPotential", &C::EndPotential),
        committedPlain("StepPotential", &C::StepPotential),
        committedPlain("SampleFrac1", &C::SampleFrac1),
        committedPlain("SampleFrac2", &C::SampleFrac2),
        committedPlain("DoubleLayerCap", &C::DoubleLayerCap),
        committedPlain("Resistance", &C::Resistance),
        committedPlain("TemperatureK", &C::TemperatureK),
        committedPlain("PulsePotential", &C::PulsePotential),
        committedPlain("NoiseLevel", &C::NoiseLevel),
        committedPlain("DropTime", &C::DropTime),
        committedPlain("PulseTime", &C::PulseTime),
        committedPlain("ScanRate", &C::ScanRate),
        committedPlain("SqrtScanRate", &C::SqrtScanRate),
        committedPlain("ElectrodeLength", &C::ElectrodeLength),
        committedPlain("TimeGrid", &C::TimeGrid),
        committedPlain("RotationRate", &C::RotationRate),
        committedPlain("ExperimentTime", &C::ExperimentTime),
        committedPlain("ElectrodeRadius", &C::ElectrodeRadius),
        committedPlain("ElectrodeArea", &C::ElectrodeArea),
        committedPlain("CycleCount", &C::CycleCount),
        committedPlain("BaselineStart", &C::BaselineStart),
        committedPlain("BaselineEnd", &C::BaselineEnd),
        committedPlain("FilmThickness", &C::FilmThickness),
        committedPlain("PreconPotential", &C::PreconPotential),
        committedPlain("PreconTime", &C::PreconTime),
        committedPlain("StirRate", &C::StirRate),
        committedPlain("ExhaustionRate", &C::ExhaustionRate),
        committedPlain("SpaceGridFactor", &C::SpaceGridFactor),
        committedPlain("Viscosity", &C::Viscosity),
        committedPlain("ElectrolyteConc", &C::ElectrolyteConc),
        committedPlain("PHFactor", &C::PHFactor),
        committedArray("Alpha", 1, kMaxCharge, &C::Alpha),
        committedArray("FormalPotential", 1, kMaxCharge, &C::FormalPotential),
        committedArray("RateKs", 1, kMaxCharge, &C::RateKs),
        committedArray("RateKf", 1, kMaxChem, &C::RateKf),
        committedArray("RateKb", 1, kMaxChem, &C::RateKb),
        committedArray("Keq", 1, kMaxChem, &C::Keq),
        committedArray("DiffCoef", 1, kMaxSpecies, &C::DiffCoef),
        committedArray("InitConc", 1, kMaxSpecies, &C::InitConc),
        committedArray("AdsorbCoef", 1, kMaxSpecies, &C::AdsorbCoef),
        committedArray("MaxAdsorb", 1, kMaxSpecies, &C::MaxAdsorb),
    };
    return table;
}

std::string rangeName(const char* name, int low, int high) {
    if (low < 0)
        return name;
    return std::string(name) + "(" + std::to_string(low) + ".." + std::to_string(high) + ")";
}

} // namespace

std::pair<std::string, int> splitIndexedName(std::string_view name) {
    const auto open = name.find('(');
    if (open == std::string_view::npos || name.empty() || name.back() != ')')
        return {std::string(name), -1};
    const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
    int index = -2; // -2: malformed index
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (ec != std::errc() || ptr != digits.data() + digits.size() || digits.empty())
        index = -2;
    return {std::string(name.substr(0, open)), index};
}

std::optional<FieldRef> findField(ExperimentParams& p, std::string_view name) {
    const auto [base, index] = splitIndexedName(name);
    for (const Entry& e : entries()) {
        if (base != e.name)
            continue;
        if (e.low < 0)
            return index == -1 ? std::optional<FieldRef>(e.get(p, 0)) : std::nullopt;
        if (index < e.low || index > e.high)
            return std::nullopt;
        return e.get(p, index);
    }
    return std::nullopt;
}

std::optional<double*> findCommittedValue(ExperimentParams& p, std::string_view name) {
    const auto [base, index] = splitIndexedName(name);
    for (const CommittedEntry& e : committedEntries()) {
        if (base != e.name)
            continue;
        if (e.low < 0)
            return index == -1 ? std::optional<double*>(e.get(p.committed, 0)) : std::nullopt;
        if (index < e.low || index > e.high)
            return std::nullopt;
        return e.get(p.committed, index);
    }
    return std::nullopt;
}

std::vector<std::string> fieldNameList() {
    std::vector<std::string> names;
    for (const Entry& e : entries())
        names.push_back(rangeName(e.name, e.low, e.high));
    return names;
}

std::vector<std::string> committedNameList() {
    std::vector<std::string> names;
    for (const CommittedEntry& e : committedEntries())
        names.push_back(rangeName(e.name, e.low, e.high));
    return names;
}

} // namespace tessaly
