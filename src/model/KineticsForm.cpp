#include "model/KineticsForm.h"

#include "base/NumberText.h"
#include "model/ConcentrationReaction.h"
#include "model/FieldTable.h"
#include "model/FitLimits.h"
#include "model/InstrumentForm.h"

#include <cmath>

namespace tessaly {
namespace {

using kind::Mechanism;

constexpr const char* kRateForm = "#.###e-#";

// A typed value the limits no longer contain moves the limit it passed (model/FitLimits.h).
void widenLimits(std::string& minText, std::string& maxText, double value, LimitScale scale) {
    const WidenedLimits w = widenedLimits(value, leadingNumber(minText), leadingNumber(maxText), scale);
    auto text = [scale](double v) { return scale == LimitScale::Factor ? formatMask(v, kRateForm) : generalForm(v); };
    if (w.minimum)
        minText = text(*w.minimum);
    if (w.maximum)
        maxText = text(*w.maximum);
}

double num(const std::string& text) {
    return leadingNumber(text);
}

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

// Reaction captions of the analytical mechanisms; row captions are the row numbers otherwise.
void setCaptions(ExperimentParams& p) {
    KineticsFormState& s = p.kineticsForm;
    for (int i = 1; i <= kMaxCharge; ++i)
        s.heter[at(i)] = std::to_string(i);
    for (int j = 1; j <= kMaxChem; ++j)
        s.homo[at(j)] = std::to_string(j);
    if (p.DigitalFlag)
        return;
    const std::string m = std::to_string(p.tables.m);
    auto charge = [&](std::initializer_list<const char*> captions) {
        int i = 1;
        for (const char* c : captions)
            s.heter[at(i++)] = c;
    };
    auto chem = [&](std::initializer_list<std::string> captions) {
        int j = 1;
        for (const std::string& c : captions)
            s.homo[at(j++)] = c;
    };
    // the electron number of the first charge row as the dialog holds it
    s.heter[1] = "A + " + generalForm(num(p.charge[14])) + "e=B";
    switch (p.mechanism()) {
    case Mechanism::TwoStep:
        s.heter[2] = "B+ne=C";
        break;
    case Mechanism::ThreeStep:
        s.heter[2] = "B+ne=C";
        s.heter[3] = "C+ne=D";
        break;
    case Mechanism::ThreeCouples:
        s.heter[2] = "C+ne=D";
        s.heter[3] = "E+ne=F";
        break;
    case Mechanism::DimerPreceding:
        chem({"C=2A"});
        break;
    case Mechanism::Preceding:
        chem({"C+" + m + "D=A+" + m + "E"});
        break;
    case Mechanism::Following:
        chem({"B->C"});
        break;
    case Mechanism::Catalytic:
        chem({"B+C=A"});
        break;
    case Mechanism::DimerFollowing:
        chem({"2B->C"});
        break;
    case Mechanism::Complex:
        charge({"M+ne=B"});
        chem({"ML" + m + "=M+" + m + "L"});
        break;
    case Mechanism::Reversible:
        charge({"A+ne<->B"});
        break;
    case Mechanism::ReversibleThreeCouples:
        charge({"A+ne<->B", "C+ne<->D", "E+ne<->F"});
        break;
    case Mechanism::ReversibleTwoStep:
        charge({"A+ne<->B", "B+ne<->C"});
        break;
    case Mechanism::ReversibleThreeStep:
        charge({"A+ne<->B", "B+ne<->C", "C+ne<->D"});
        break;
    case Mechanism::AdsorbedReversible:
        charge({"A(abs)+ne<->B(abs)"});
        chem({"A=A(abs)", "B=B(abs)"});
        break;
    case Mechanism::AdsorbedReversibleTwoCouples:
        charge({"A(abs)+ne<->B(abs)", "A+ne<->B"});
        chem({"A=A(abs)", "B=B(abs)"});
        break;
    case Mechanism::Adsorbed:
        charge({"A(abs)+ne=B(abs)"});
        chem({"A=A(abs)", "B=B(abs)"});
        break;
    case Mechanism::AdsorbedTwoCouples:
        charge({"A(abs)+ne=B(abs)", "A+ne<->B"});
        chem({"A=A(abs)", "B=B(abs)"});
        break;
    default:
        break;
    }
}

// The min and max fields a fit code selects: 10+i ks, 20+i alpha, 30+i E', 40+j kf, 60+j kb.
struct Limits {
    const char* min;
    const char* max;
    int row;
    bool charge;
};

std::optional<Limits> limitsOfCode(int code) {
    const int tens = code / 10, row = code % 10;
    if (code >= 11 && code <= 10 + kMaxCharge)
        return Limits{"TextKsmin", "TextKsmax", row, true};
    if (code >= 21 && code <= 20 + kMaxCharge)
        return Limits{"TextAlphaMin", "TextAlphamax", row, true};
    if (code >= 31 && code <= 30 + kMaxCharge)
        return Limits{"TextEzeromin", "TextEzeromax", row, true};
    if (tens == 4 && row >= 1)
        return Limits{"TextKfmin", "TextKfmax", row, false};
    if (tens == 6 && row >= 1)
        return Limits{"TextKbmin", "TextKbmax", row, false};
    return std::nullopt;
}

int codeOfLimit(std::string_view base, int row) {
    if (base == "TextKsmin" || base == "TextKsmax")
        return 10 + row;
    if (base == "TextAlphaMin" || base == "TextAlphamax")
        return 20 + row;
    if (base == "TextEzeromin" || base == "TextEzeromax")
        return 30 + row;
    if (base == "TextKfmin" || base == "TextKfmax")
        return 40 + row;
    if (base == "TextKbmin" || base == "TextKbmax")
        return 60 + row;
    return 0;
}

bool inRateRange(double value) {
    return value >= 0 && value <= 1e300;
}

// The instrument's fittable quantities shown beside their fit boxes: the values are the instrument
// dialog's fields (with its reactions and checks), the limits this dialog's.
bool instrumentValue(std::string_view name) {
    return name == "txtRu" || name == "Cdl" || name == "ARE";
}

// The fit code whose box shows or hides an instrument limit: 1 Ru, 2 Cdl, 3 area; 0 for another field.
int instrumentLimitCode(std::string_view name) {
    if (name == "TextRumin" || name == "TextRumax")
        return 1;
    if (name == "TextCdlmin" || name == "TextCdlmax")
        return 2;
    if (name == "TextAreamin" || name == "TextAreamax")
        return 3;
    return 0;
}

} // namespace

void activateKinetics(ExperimentParams& p, Notices& notices) {
    commitInstrument(p, notices);
    KineticsFormState& s = p.kineticsForm;
    for (int i = 1; i <= kMaxCharge; ++i)
        s.chargeRow[at(i)] = i <= p.NumCharge;
    for (int j = 1; j <= kMaxChem; ++j)
        s.chemRow[at(j)] = j <= p.NumChem;
    setCaptions(p);
}

bool KineticsForm::holds(std::string_view name) const {
    if (hasBaseName(name, {"CheckFitted"})) {
        const int code = splitIndexedName(name).second;
        return code >= 1 && code < 100;
    }
    return hasBaseName(name, {"ks",
                              "alph",
                              "Eze",
                              "TextKsmin",
                              "TextKsmax",
                              "TextAlphaMin",
                              "TextAlphamax",
                              "TextEzeromin",
                              "TextEzeromax",
                              "kf",
                              "kb",
                              "LabelKeq",
                              "TextKfmin",
                              "TextKfmax",
                              "TextKbmin",
                              "TextKbmax",
                              "TextElectrolyte",
                              "TextElectrolyteC",
                              "TextpH",
                              "TextVis",
                              "txtVol",
                              "heter",
                              "homo"}) ||
           instrumentValue(name) || instrumentLimitCode(name) != 0;
}

FormReply KineticsForm::activate() {
    Notices notices;
    activateKinetics(m_p, notices);
    FormReply reply;
    addNotices(reply, notices);
    return reply;
}

FormReply KineticsForm::changed(std::string_view field) {
    if (!holds(field))
        return {false, {}};
    FormReply reply;
    if (instrumentValue(field)) // the instrument dialog's reaction (the area sets the radius), and the limits
        return InstrumentForm(m_p).changed(field);
    const auto [base, k] = splitIndexedName(field);
    const bool chargeRow = k >= 1 && k <= kMaxCharge;
    const bool chemRow = k >= 1 && k <= kMaxChem;
    if (base == "Eze" && chargeRow) {
        runConcentrationReaction(m_p, 0); // the Nernst ratio at the start potential moved
    } else if ((base == "kf" || base == "kb") && chemRow) {
        forwardRateChanged(k, reply);
    } else if (base == "LabelKeq" && chemRow) {
        // the chemical equilibrium moved: every species row is re-equilibrated, then the rows again
        for (int s = 1; s <= kMaxSpecies; ++s)
            runConcentrationReaction(m_p, s);
        addMessages(reply, activate());
    }
    return reply;
}

void KineticsForm::forwardRateChanged(int j, FormReply& reply) {
    const double kf = num(m_p.kf[at(j)]);
    const double kb = num(m_p.kb[at(j)]);
    if (kb != 0) // with no backward rate Keq keeps its last value
        write("LabelKeq(" + std::to_string(j) + ")", formatMask(kf / kb, kRateForm), reply);
}

void KineticsForm::settled(std::string_view field) {
    const auto [base, k] = splitIndexedName(field);
    const bool chargeRow = k >= 1 && k <= kMaxCharge;
    const bool chemRow = k >= 1 && k <= kMaxChem;
    if (base == "ks" && chargeRow)
        widenLimits(m_p.TextKsmin[at(k)], m_p.TextKsmax[at(k)], num(m_p.ks[at(k)]), LimitScale::Factor);
    else if (base == "alph" && chargeRow)
        widenLimits(m_p.TextAlphaMin[at(k)], m_p.TextAlphamax[at(k)], num(m_p.alph[at(k)]),
                    LimitScale::TransferCoefficient);
    else if (base == "Eze" && chargeRow)
        widenLimits(m_p.TextEzeromin[at(k)], m_p.TextEzeromax[at(k)], num(m_p.Eze[at(k)]), LimitScale::Potential);
    else if (base == "kf" && chemRow)
        widenLimits(m_p.TextKfmin[at(k)], m_p.TextKfmax[at(k)], num(m_p.kf[at(k)]), LimitScale::Factor);
    else if (base == "kb" && chemRow)
        widenLimits(m_p.TextKbmin[at(k)], m_p.TextKbmax[at(k)], num(m_p.kb[at(k)]), LimitScale::Factor);
}

std::optional<FormMessage> KineticsForm::validate(std::string_view field) {
    if (instrumentValue(field))
        return InstrumentForm(m_p).leave(field);
    const auto [base, k] = splitIndexedName(field);
    if (base == "ks" && k >= 1 && k <= kMaxCharge && !inRateRange(num(m_p.ks[at(k)])))
        return FormMessage{"ks must be in range of 0 to 1e300 !", "", MessageIcon::None};
    if (base == "kf" && k >= 1 && k <= kMaxChem && !inRateRange(num(m_p.kf[at(k)])))
        return FormMessage{"kf must be in range of 0 to 1e300 !", "", MessageIcon::None};
    if (base == "kb" && k >= 1 && k <= kMaxChem && !inRateRange(num(m_p.kb[at(k)])))
        return FormMessage{"kb must be in range of 0 to 1e300 !", "", MessageIcon::None};
    if (base == "TextpH") {
        const double pH = num(m_p.TextpH);
        if (!(pH >= 0 && pH <= 14))
            return FormMessage{"pH must be in range of 0 to 14 !", "", MessageIcon::None};
    }
    return std::nullopt;
}

FormReply KineticsForm::click(std::string_view box, bool checked) {
    if (!holds(box) || !hasBaseName(box, {"CheckFitted"}))
        return {false, {}};
    bool changedState = false;
    setBox(box, checked, changedState); // the limits' visibility follows the box (decorate)
    return {};
}

void KineticsForm::commit(Notices& notices) {
    commitKinetics(m_p, notices);
}

void KineticsForm::decorate(std::string_view name, FieldView& view) const {
    const KineticsFormState& s = m_p.kineticsForm;
    const auto [base, k] = splitIndexedName(name);
    auto chargeShown = [&](int i) { return i >= 1 && i <= kMaxCharge && s.chargeRow[at(i)]; };
    auto chemShown = [&](int j) { return j >= 1 && j <= kMaxChem && s.chemRow[at(j)]; };
    if (base == "heter" && k >= 1 && k <= kMaxCharge) {
        view.caption = s.heter[at(k)];
        view.visible = chargeShown(k);
    } else if (base == "homo" && k >= 1 && k <= kMaxChem) {
        view.caption = s.homo[at(k)];
        view.visible = chemShown(k);
    } else if (hasBaseName(base, {"ks", "alph", "Eze"})) {
        view.visible = chargeShown(k);
    } else if (hasBaseName(base, {"kf", "kb", "LabelKeq"})) {
        view.visible = chemShown(k);
        view.readOnly = base == "LabelKeq"; // a label: display only
    } else if (base == "CheckFitted") {
        if (const auto limits = limitsOfCode(k))
            view.visible = limits->charge ? chargeShown(limits->row) : chemShown(limits->row);
    } else if (instrumentValue(name)) {
        const FieldView instrument = InstrumentForm(m_p).view(name);
        view.visible = instrument.visible;
        view.readOnly = instrument.readOnly;
    } else if (const int instrumentCode = instrumentLimitCode(name)) {
        view.visible = m_p.CheckFitted[at(instrumentCode)];
    } else if (const int code = codeOfLimit(base, k)) {
        const auto limits = limitsOfCode(code);
        const bool rowShown = limits && (limits->charge ? chargeShown(k) : chemShown(k));
        view.visible = rowShown && m_p.CheckFitted[at(code)];
    }
}

} // namespace tessaly
