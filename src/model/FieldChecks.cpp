#include "model/FieldChecks.h"

#include "base/NumberText.h"
#include "base/PhysicalConstants.h"
#include "model/ExperimentForm.h"
#include "model/ExperimentParams.h"
#include "model/ParameterFile.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tessaly {
namespace {

using kind::Electrode;

FormMessage plainMessage(std::string text) {
    return {std::move(text), "", MessageIcon::None};
}

bool inRateRange(double value) {
    return value >= 0 && value <= 1e300;
}

bool positive(double value) {
    return std::isfinite(value) && value > 0;
}

// The area of the geometry from its dimensions, as the instrument dialog and commit compute it (cm2);
// the ring's is pi (r3^3 - r2^3)^(2/3).
double areaOfDimensions(const ExperimentParams& p) {
    constexpr double kPi = 3.14159265358979323846;
    const double r = leadingNumber(p.radius); // cm
    const double L = leadingNumber(p.leng);   // cm
    switch (p.electrode()) {
    case Electrode::Microdisk: { // the hemisphere of equal steady-state current, r = 2 r_disk / pi
        const double hemisphere = 2 * r / kPi;
        return 2 * kPi * hemisphere * hemisphere;
    }
    case Electrode::PlanarDisk:
        return kPi * r * r;
    case Electrode::ThinFilm: // the typed area holds; the film has no radius field
        return 0;
    case Electrode::Spherical:
    case Electrode::DroppingMercury:
        return 4 * kPi * r * r;
    case Electrode::Hemispherical:
        return 2 * kPi * r * r;
    case Electrode::Cylindrical:
        return 2 * kPi * r * L;
    case Electrode::Hemicylindrical:
        return kPi * r * L;
    case Electrode::Band:
        return 2 * r * L;
    case Electrode::Ring:
    case Electrode::RingDisk: {
        const double r2 = leadingNumber(p.radius2);
        const double r3 = leadingNumber(p.radius3);
        return kPi * std::pow(r3 * r3 * r3 - r2 * r2 * r2, 2.0 / 3.0);
    }
    }
    return 0;
}

// Dimensions whose area is beyond the range of a double (a radius of 1e300 cm) would commit an
// infinite area, or leave the area of the last dimensions standing beside them: refused.
void geometryOverflowChecks(const ExperimentParams& p, std::vector<FieldProblem>& out,
                            const std::string& radiusCaption) {
    if (std::isfinite(areaOfDimensions(p)))
        return;
    const Electrode e = p.electrode();
    const bool ring = e == Electrode::Ring || e == Electrode::RingDisk;
    const bool alreadyRefused = std::any_of(out.begin(), out.end(), [](const FieldProblem& f) {
        return f.field == "radius" || f.field == "leng" || f.field == "radius2" || f.field == "radius3";
    });
    if (alreadyRefused)
        return;
    if (ring)
        out.push_back(
            {"radius3", "FormIns",
             errorMessage("Ring outter radius (cm) must give a finite ring area (at most 1e100) !")});
    else
        out.push_back({"radius", "FormIns",
                       errorMessage(radiusCaption + " must be greater than 0 and give a finite area !")});
}

// The times and the step the potential programme is built from: a staircase needs a positive step
// (a step of 0 or of the wrong sign never reaches E end), every built programme a positive drop time,
// the pulse techniques a positive pulse, and the potential step an experiment of positive length (an
// E end typed equal to E start makes its time |E start - E end| / v zero).
void programmeChecks(const ExperimentParams& p, std::vector<FieldProblem>& out) {
    auto refuse = [&](std::string field, std::string text) {
        out.push_back({std::move(field), "FormIns", errorMessage(std::move(text))});
    };
    const kind::Technique t = p.technique();
    if (t == kind::Technique::ImportedWaveform) // the file gives the programme
        return;
    const auto& tt = traits(t);
    if (!tt.timeAxis && !tt.waveform && !positive(leadingNumber(p.Estep)))
        refuse("Estep", "E step (V) must be greater than 0 !");
    if (!positive(leadingNumber(p.td)))
        refuse("td", "t drop (s) must be greater than 0 !");
    if (tt.pulsed && !positive(leadingNumber(p.tp)))
        refuse("tp", "t pulse (s) must be greater than 0 !");
    if (t == kind::Technique::PotentialStep && !positive(std::fabs(leadingNumber(p.TextTexp))))
        refuse("TextTexp", "t exp (s) must be greater than 0 !");
}

void instrumentChecks(const ExperimentParams& p, std::vector<FieldProblem>& out) {
    auto refuse = [&](std::string field, std::string text) {
        out.push_back({std::move(field), "FormIns", errorMessage(std::move(text))});
    };
    const double start = leadingNumber(p.Estart);
    const double end = leadingNumber(p.Eend);
    // leadingNumber reads an overflowing "1e400" as the largest double: refused as not finite.
    if (!leadingNumberIsFinite(p.Estart))
        refuse("Estart", "E start (V) must be a finite number !");
    if (!leadingNumberIsFinite(p.Eend))
        refuse("Eend", "E end (V) must be a finite number !");
    // The scans run from E start to E end; the step and waveform programmes (shown against time) do
    // not read E end.
    if (!traits(p.technique()).timeAxis && start == end)
        refuse("Eend", "E end (V) must differ from E start (V) !");

    programmeChecks(p, out);
    // The time grid is the digital model's step (the analytical path steps by td or tp).
    if (p.DigitalFlag && p.technique() != kind::Technique::DesignedWaveform) {
        const double grid = leadingNumber(p.TextTimeGrid);
        if (!(grid > 0) || grid > leadingNumber(p.td))
            refuse("TextTimeGrid", "Time grid (s) must be in range of 0 (excluded) to t drop !");
    }
    if (p.instrumentForm.V.visible) {
        const double v = std::fabs(leadingNumber(p.V)); // V/s
        if (!positive(v) || v > 1e300)
            refuse("V", "v (V/s) must be in range of 0 (excluded) to 1e300 !");
        else if (!std::isfinite(std::fabs(leadingNumber(p.Estep)) / v)) // t drop = E step / v
            refuse("V", "v (V/s) is too small for E step (V): t drop = E step / v must be a finite number !");
    }
    if (!(leadingNumber(p.txttemp) + kCelsiusOffset > 0) || !std::isfinite(leadingNumber(p.txttemp)))
        refuse("txttemp", "T ( C) must be above absolute zero (-273.14) !");

    const Electrode e = p.electrode();
    const bool withRadius = e != Electrode::Ring && e != Electrode::ThinFilm;
    const bool withLength =
        e == Electrode::Cylindrical || e == Electrode::Hemicylindrical || e == Electrode::Band;
    const bool ring = e == Electrode::Ring || e == Electrode::RingDisk;
    // The area is typed (or follows the radius) for every electrode but the ring, the microdisk and
    // the band, whose areas the commit computes from their dimensions.
    const bool typedArea = e != Electrode::Ring && e != Electrode::Microdisk && e != Electrode::Band;
    const std::string radiusCaption = e == Electrode::Band ? "Half Width (cm)" : "Disc radius (cm)";
    if (withRadius && !positive(leadingNumber(p.radius)))
        refuse("radius", radiusCaption + " must be greater than 0 !");
    if (withLength && !positive(leadingNumber(p.leng)))
        refuse("leng", "Length (cm) must be greater than 0 !");
    if (ring) {
        const double inner = leadingNumber(p.radius2);
        const double outer = leadingNumber(p.radius3);
        if (!(std::isfinite(inner) && inner >= 0))
            refuse("radius2", "Ring radius (cm) must not be negative !");
        if (!(std::isfinite(outer) && outer > inner))
            refuse("radius3", "Ring outter radius (cm) must be greater than Ring radius (cm) !");
    }
    if (typedArea && !positive(leadingNumber(p.ARE)))
        refuse("ARE", "Area (cm2) must be greater than 0 !");
    geometryOverflowChecks(p, out, radiusCaption);
}

void kineticsChecks(const ExperimentParams& p, bool allRows, std::vector<FieldProblem>& out) {
    auto refuse = [&](std::string field, std::string text) {
        out.push_back({std::move(field), "FormExpr", plainMessage(std::move(text))});
    };
    const int charges = allRows ? kMaxCharge : std::clamp(p.NumCharge, 0, kMaxCharge);
    const int chems = allRows ? kMaxChem : std::clamp(p.NumChem, 0, kMaxChem);
    for (int i = 1; i <= charges; ++i)
        if (!inRateRange(leadingNumber(p.ks[static_cast<std::size_t>(i)])))
            refuse("ks(" + std::to_string(i) + ")", "ks must be in range of 0 to 1e300 !");
    for (int j = 1; j <= chems; ++j) {
        if (!inRateRange(leadingNumber(p.kf[static_cast<std::size_t>(j)])))
            refuse("kf(" + std::to_string(j) + ")", "kf must be in range of 0 to 1e300 !");
        if (!inRateRange(leadingNumber(p.kb[static_cast<std::size_t>(j)])))
            refuse("kb(" + std::to_string(j) + ")", "kb must be in range of 0 to 1e300 !");
    }
    const double pH = leadingNumber(p.TextpH);
    if (!(pH >= 0 && pH <= 14))
        refuse("TextpH", "pH must be in range of 0 to 14 !");
}

// Texts the parameter file could not give back (a comma, a line break, a leading double quote) are
// refused where they stand: "0,3" in E start would otherwise be committed as 0 V.
void textChecks(const ExperimentParams& p, std::vector<FieldProblem>& out) {
    const auto check = [&](std::string field, const std::string& text, const char* form) {
        if (const auto refusal = parameterTextRefusal(field, text))
            out.push_back({std::move(field), form, errorMessage(*refusal)});
    };
    const std::pair<const char*, const std::string*> instrument[] = {
        {"Estart", &p.Estart},
        {"Eend", &p.Eend},
        {"Estep", &p.Estep},
        {"V", &p.V},
        {"td", &p.td},
        {"txttemp", &p.txttemp},
        {"TextF", &p.TextF},
        {"tp", &p.tp},
        {"Epulse", &p.Epulse},
        {"tsa1", &p.tsa1},
        {"tsa2", &p.tsa2},
        {"Noise", &p.Noise},
        {"ARE", &p.ARE},
        {"radius", &p.radius},
        {"leng", &p.leng},
        {"radius2", &p.radius2},
        {"radius3", &p.radius3},
        {"thickness", &p.thickness},
        {"Rotation", &p.Rotation},
        {"txtEPre", &p.txtEPre},
        {"txtRStir", &p.txtRStir},
        {"txtTPre", &p.txtTPre},
        {"txtTpreconst", &p.txtTpreconst},
        {"TxtI0", &p.TxtI0},
        {"TxtI1", &p.TxtI1},
        {"Cdl", &p.Cdl},
        {"txtRu", &p.txtRu},
        {"TextExpanding", &p.TextExpanding},
        {"TextTimeGrid", &p.TextTimeGrid},
    };
    for (const auto& [name, text] : instrument)
        check(name, *text, "FormIns");
    const std::pair<const char*, const std::string*> solution[] = {
        {"TextElectrolyte", &p.TextElectrolyte},
        {"TextElectrolyteC", &p.TextElectrolyteC},
        {"TextpH", &p.TextpH},
        {"TextVis", &p.TextVis},
        {"txtVol", &p.txtVol},
    };
    for (const auto& [name, text] : solution)
        check(name, *text, "FormExpr");
    const auto row = [](const char* base, int k) {
        return std::string(base) + "(" + std::to_string(k) + ")";
    };
    for (int i = 1; i <= std::clamp(p.NumCharge, 0, kMaxCharge); ++i) {
        const auto k = static_cast<std::size_t>(i);
        check(row("ks", i), p.ks[k], "FormExpr");
        check(row("alph", i), p.alph[k], "FormExpr");
        check(row("Eze", i), p.Eze[k], "FormExpr");
    }
    for (int j = 1; j <= std::clamp(p.NumChem, 0, kMaxChem); ++j) {
        const auto k = static_cast<std::size_t>(j);
        check(row("kf", j), p.kf[k], "FormExpr");
        check(row("kb", j), p.kb[k], "FormExpr");
    }
    for (int sp = 1; sp <= std::clamp(p.NumSpecies, 0, kMaxSpecies); ++sp) {
        const auto k = static_cast<std::size_t>(sp);
        check(row("C", sp), p.C[k], "FormSpecies");
        check(row("D", sp), p.D[k], "FormSpecies");
        check(row("TextB", sp), p.TextB[k], "FormSpecies");
        check(row("TextG", sp), p.TextG[k], "FormSpecies");
    }
}

} // namespace

std::vector<FieldProblem> refusedFields(const ExperimentParams& p, bool allRows) {
    std::vector<FieldProblem> out;
    textChecks(p, out);
    instrumentChecks(p, out);
    kineticsChecks(p, allRows, out);
    return out;
}

std::optional<FieldProblem> firstRefusedField(const ExperimentParams& p) {
    std::vector<FieldProblem> all = refusedFields(p);
    if (all.empty())
        return std::nullopt;
    return all.front();
}

bool isRefused(const std::vector<FieldProblem>& problems, std::string_view field) {
    return std::any_of(problems.begin(), problems.end(),
                       [&](const FieldProblem& f) { return f.field == field; });
}

} // namespace tessaly
