#include "model/InstrumentForm.h"

#include "base/NumberText.h"
#include "model/FieldTable.h"
#include "model/FitLimits.h"
#include "model/MechanismForm.h"

#include <cmath>
#include <numbers>

namespace tessaly {
namespace {

using kind::Electrode;
using kind::Technique;

constexpr double kPi = std::numbers::pi;
constexpr const char* kAreaForm = "0.##e-0";

double num(const std::string& text) {
    return leadingNumber(text);
}

const FieldState* stateOf(const InstrumentFormState& s, std::string_view name) {
    struct Named {
        std::string_view name;
        const FieldState* state;
    };
    const Named table[] = {
        {"V", &s.V},
        {"TextF", &s.TextF},
        {"tp", &s.tp},
        {"Epulse", &s.Epulse},
        {"TextTexp", &s.TextTexp},
        {"td", &s.td},
        {"radius", &s.radius},
        {"leng", &s.leng},
        {"radius2", &s.radius2},
        {"radius3", &s.radius3},
        {"thickness", &s.thickness},
        {"ARE", &s.ARE},
        {"TextTimeGrid", &s.TextTimeGrid},
        {"TextExpanding", &s.TextExpanding},
    };
    for (const Named& n : table)
        if (n.name == name)
            return n.state;
    return nullptr;
}

void show(FieldState& f, bool readOnly) {
    f.visible = true;
    f.readOnly = readOnly;
}

} // namespace

bool InstrumentForm::holds(std::string_view name) const {
    return hasBaseName(name, {"Estart",
                              "Eend",
                              "Estep",
                              "V",
                              "td",
                              "tp",
                              "Epulse",
                              "TextF",
                              "tsa1",
                              "tsa2",
                              "txttemp",
                              "Noise",
                              "ComboScan",
                              "TextTexp",
                              "ARE",
                              "radius",
                              "leng",
                              "radius2",
                              "radius3",
                              "thickness",
                              "Rotation",
                              "ElectrodeVolume",
                              "CheckPreCon",
                              "txtEPre",
                              "txtTPre",
                              "txtRStir",
                              "txtTpreconst",
                              "TxtI0",
                              "TxtI1",
                              "Cdl",
                              "txtRu",
                              "CheckAuto",
                              "TextTimeGrid",
                              "TextExpanding",
                              "t1",
                              "E1",
                              "optElectrode",
                              "Reset",
                              "cmdReset",
                              "FrameDigitalModel",
                              "FrameDesignWaveform",
                              "FramePrecon"});
}

// --- activation ------------------------------------------------------------------------------------

FormReply InstrumentForm::activate() {
    FormReply reply;
    Notices notices;
    rebuildMechanism(m_p, notices); // also commits the technique selection
    addNotices(reply, notices);

    offerProgrammeFields();
    if (traits(m_p.technique()).squareWave)
        frequencyChanged(reply);

    InstrumentFormState& s = m_p.instrumentForm;
    s.digitalModelFrame = m_p.DigitalFlag;
    // The digital simulation offers every electrode from the cylinder on; the analytical one hides those
    // without an analytical solution (cylinder, hemicylinder, band) and leaves the others as they are.
    for (const Electrode e : kind::kAllElectrodes) {
        if (m_p.DigitalFlag && e >= Electrode::Cylindrical)
            s.electrodeOffered[static_cast<std::size_t>(kind::code(e))] = true;
        else if (!m_p.DigitalFlag && traits(e).digitalOnly)
            s.electrodeOffered[static_cast<std::size_t>(kind::code(e))] = false;
    }
    s.designWaveformFrame = s.widened = m_p.technique() == Technique::DesignedWaveform;

    geometry(reply);
    autoDigitalModel(reply);
    limitTimeGrid(reply);
    return reply;
}

void InstrumentForm::offerProgrammeFields() {
    InstrumentFormState& s = m_p.instrumentForm;
    switch (m_p.technique()) {
    case Technique::LinearSweep:
    case Technique::DcVoltammetry:
    case Technique::Staircase:
        show(s.V, false);
        s.TextF.visible = s.tp.visible = s.Epulse.visible = false;
        show(s.TextTexp, true);
        break;
    case Technique::NormalPulse:
    case Technique::DifferentialPulse:
        show(s.V, false);
        s.TextF.visible = false;
        show(s.tp, false);
        s.Epulse.visible = true;
        show(s.TextTexp, true);
        break;
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave: // scan rate and pulse width follow the frequency
        show(s.V, true);
        s.TextF.visible = true;
        show(s.tp, true);
        s.Epulse.visible = true;
        show(s.TextTexp, true);
        break;
    case Technique::PotentialStep:
    case Technique::DesignedWaveform:
        show(s.TextTexp, false);
        show(s.td, false);
        break;
    default: // the imported waveform keeps the fields as they are
        break;
    }
}

void InstrumentForm::offerGeometryFields() {
    InstrumentFormState& s = m_p.instrumentForm;
    const Electrode e = m_p.electrode();
    const bool withRadius = e != Electrode::Ring && e != Electrode::ThinFilm;
    const bool withLength =
        e == Electrode::Cylindrical || e == Electrode::Hemicylindrical || e == Electrode::Band;
    const bool ring = e == Electrode::Ring || e == Electrode::RingDisk;
    s.radius.visible = withRadius;
    if (e != Electrode::RingDisk)
        s.leng.visible = withLength;
    s.radius2.visible = s.radius3.visible = ring;
    s.thickness.visible = e == Electrode::PlanarDisk || e == Electrode::ThinFilm;
    show(s.ARE, ring); // the ring areas follow from the radii
    s.radiusCaption = e == Electrode::Band ? "Half Width (cm)" : "Disc radius (cm)";
}

// --- change reactions ----------------------------------------------------------------------------------

FormReply InstrumentForm::changed(std::string_view field) {
    FormReply reply;
    if (!holds(field))
        return {false, {}};
    if (field == "TextF")
        frequencyChanged(reply);
    else if (field == "V")
        scanRateChanged(reply);
    else if (field == "Estep")
        stepChanged(reply);
    else if (field == "Estart" || field == "Eend")
        experimentTimeFromScan(reply);
    else if (field == "td" || field == "tp")
        autoDigitalModel(reply);
    else if (field == "TextTexp")
        write("TextTexp", generalForm(std::fabs(num(m_p.TextTexp))), reply);
    else if (field == "radius" || field == "leng")
        geometry(reply);
    else if (field == "ARE")
        areaChanged(reply);
    else if ((field == "radius2" &&
              (m_p.electrode() == Electrode::Ring || m_p.electrode() == Electrode::RingDisk)) ||
             (field == "radius3" && m_p.electrode() == Electrode::RingDisk))
        ringArea(reply);
    return reply;
}

// Ru, Cdl and the area are fittable: their limits stay while they contain the value and widen past it.
void InstrumentForm::settled(std::string_view field) {
    const struct {
        const char* name;
        const std::string& value;
        std::string& minText;
        std::string& maxText;
    } fitted[] = {{"txtRu", m_p.txtRu, m_p.TextRumin, m_p.TextRumax},
                  {"Cdl", m_p.Cdl, m_p.TextCdlmin, m_p.TextCdlmax},
                  {"ARE", m_p.ARE, m_p.TextAreamin, m_p.TextAreamax}};
    for (const auto& q : fitted)
        if (field == q.name)
            widenLimitTexts(q.minText, q.maxText, num(q.value), LimitScale::Factor, "#.###e-#");
}

void InstrumentForm::writeNumber(std::string_view field, double value, FormReply& reply) {
    if (std::isfinite(value)) // a derived field that cannot be computed keeps its text
        write(field, generalForm(value), reply);
}

void InstrumentForm::writeArea(std::string_view field, double value, FormReply& reply) {
    if (std::isfinite(value))
        write(field, formatMask(value, kAreaForm), reply);
}

// Square wave: tp = 1/(2f); v = Estep/(2 tp) = Estep f.
void InstrumentForm::frequencyChanged(FormReply& reply) {
    const double f = num(m_p.TextF); // Hz
    if (f != 0)
        writeNumber("tp", 0.5 / f, reply);
    const double tp = num(m_p.tp); // s
    if (tp != 0)
        writeNumber("V", num(m_p.Estep) / tp / 2, reply);
}

void InstrumentForm::scanRateChanged(FormReply& reply) {
    stepChanged(reply);
    experimentTimeFromScan(reply);
}

// Drop time of one step of the staircase: td = Estep / v.
void InstrumentForm::stepChanged(FormReply& reply) {
    const double step = num(m_p.Estep); // V
    const double v = num(m_p.V);        // V/s
    if (step != 0 && v != 0)
        writeNumber("td", step / v, reply);
}

// Duration of the scan: |Estart - Eend| / v, twice per cycle.
void InstrumentForm::experimentTimeFromScan(FormReply& reply) {
    const double v = num(m_p.V); // V/s
    if (v == 0)
        return;
    const double span = std::fabs(num(m_p.Estart) - num(m_p.Eend)); // V
    writeNumber("TextTexp", span / v * 2 * cycleCountOfScan(m_p.ComboScan), reply);
}

void InstrumentForm::autoDigitalModel(FormReply& reply) {
    InstrumentFormState& s = m_p.instrumentForm;
    if (!m_p.CheckAuto) {
        s.TextTimeGrid.readOnly = s.TextExpanding.readOnly = false;
        return;
    }
    const double td = num(m_p.td); // s
    const double tp = num(m_p.tp); // s
    const Technique t = m_p.technique();
    if (t == Technique::DcVoltammetry)
        writeNumber("TextTimeGrid", td / 20, reply);
    else if (traits(t).pulsed)
        writeNumber("TextTimeGrid", tp / 10, reply);
    else if (t == Technique::Staircase || m_p.electrode() == Electrode::ThinFilm) // ten grid steps per drop
        writeNumber("TextTimeGrid", td / 10, reply);
    else
        write("TextTimeGrid", m_p.td, reply);
    s.TextTimeGrid.readOnly = s.TextExpanding.readOnly = true;
}

// The time grid may not exceed the step it resolves: the pulse for the pulse techniques, the drop
// otherwise.
void InstrumentForm::limitTimeGrid(FormReply& reply) {
    const std::string& limit = traits(m_p.technique()).pulsed ? m_p.tp : m_p.td;
    if (num(m_p.TextTimeGrid) > num(limit))
        write("TextTimeGrid", limit, reply);
}

void InstrumentForm::resetTimeGrid(FormReply& reply) {
    const double td = num(m_p.td);
    const Technique t = m_p.technique();
    if (t == Technique::DcVoltammetry)
        writeNumber("TextTimeGrid", td / 20, reply);
    else if (traits(t).pulsed)
        writeNumber("TextTimeGrid", num(m_p.tp) / 10, reply);
    else if (t == Technique::Staircase)
        writeNumber("TextTimeGrid", td / 10, reply);
    else
        write("TextTimeGrid", m_p.td, reply);
}

// Area (cm2, written in area form) and adjacent volume (cm3) from the geometry.
void InstrumentForm::geometry(FormReply& reply) {
    m_p.committed.ElectrodeLength = num(m_p.leng);
    const double r = num(m_p.radius);    // cm
    const double L = num(m_p.leng);      // cm
    const double h = num(m_p.thickness); // cm
    double volume = m_p.ElectrodeVolume; // cm3
    // Only dimensions that give an electrode write its area: a radius or length of 0 or below keeps the
    // area standing (and is refused on OK and by Simulate) instead of coming back through the area as a
    // positive radius (a sphere's radius of -0.1 cm would give back 0.1 cm without a word).
    const auto writeGeometryArea = [&](double area) {
        if (r > 0 && area > 0)
            writeArea("ARE", area, reply);
    };
    switch (m_p.electrode()) {
    case Electrode::PlanarDisk:
    case Electrode::ThinFilm:
    case Electrode::Microdisk:
        writeGeometryArea(kPi * r * r);
        volume = num(m_p.ARE) * h;
        break;
    case Electrode::Spherical:
    case Electrode::DroppingMercury:
        writeGeometryArea(4 * kPi * r * r);
        volume = 4 * kPi * r * r * r / 3;
        break;
    case Electrode::Hemispherical:
        writeGeometryArea(2 * kPi * r * r);
        volume = 2 * kPi * r * r * r / 3;
        break;
    case Electrode::Cylindrical:
        writeGeometryArea(2 * kPi * r * L);
        volume = kPi * r * r * L;
        break;
    case Electrode::Hemicylindrical: {
        writeGeometryArea(kPi * r * L);
        const double R = m_p.committed.ElectrodeRadius; // cm
        volume = 0.5 * kPi * R * R * L;
        break;
    }
    case Electrode::Band:
        writeGeometryArea(2 * r * L);
        volume = num(m_p.ARE) * h;
        break;
    default: // ring and ring-disk: the area follows the ring radii
        break;
    }
    if (std::isfinite(volume))
        m_p.ElectrodeVolume = volume;
    const Electrode e = m_p.electrode();
    if ((e == Electrode::PlanarDisk || e == Electrode::ThinFilm) && r < 0.0001)
        addMessage(reply, errorMessage("Planar disk radius cannot less than 1e-4 cm."));
}

void InstrumentForm::ringArea(FormReply& reply) {
    const double r2 = num(m_p.radius2); // cm
    const double r3 = num(m_p.radius3); // cm
    writeArea("ARE", kPi * (r3 * r3 - r2 * r2), reply);
}

// Radius of the geometry from its area; writing it runs the geometry again, and the pair settles
// because both are written in the same area form.
void InstrumentForm::areaChanged(FormReply& reply) {
    const double A = num(m_p.ARE);  // cm2
    const double L = num(m_p.leng); // cm
    double r = std::nan("");
    switch (m_p.electrode()) {
    case Electrode::Spherical:
    case Electrode::DroppingMercury:
        r = std::sqrt(A / (4 * kPi));
        break;
    case Electrode::Hemispherical:
        r = std::sqrt(A / (2 * kPi));
        break;
    case Electrode::PlanarDisk:
    case Electrode::Microdisk:
    case Electrode::ThinFilm:
        r = std::sqrt(A / kPi);
        break;
    case Electrode::Cylindrical:
        r = L != 0 ? A / (2 * kPi * L) : r;
        break;
    case Electrode::Hemicylindrical:
        r = L != 0 ? A / (kPi * L) : r;
        break;
    case Electrode::Band:
        r = L != 0 ? A / (2 * L) : r;
        break;
    default:
        return;
    }
    writeArea("radius", r, reply);
}

// --- validation -------------------------------------------------------------------------------------------

std::optional<FormMessage> InstrumentForm::validate(std::string_view field) {
    if (field == "Estart" && m_p.Estart == m_p.Eend)
        return errorMessage("You cannot change E start to the same as E end.");
    if (field == "Eend" && m_p.Eend == m_p.Estart)
        return errorMessage("You cannot change E end to the same as E start.");
    if (field == "TextTimeGrid") {
        if (m_p.TextTimeGrid.empty())
            m_p.TextTimeGrid = "0";
        const double grid = num(m_p.TextTimeGrid);
        if (!(grid > 0) || grid > num(m_p.td))
            return errorMessage("This value must be positive and less than t drop.");
        return std::nullopt;
    }
    const auto [base, k] = splitIndexedName(field);
    if (base == "t1" && k >= 0 && k < kDesignRows) {
        std::string& text = m_p.t1[static_cast<std::size_t>(k)];
        if (text.empty())
            text = "0";
        const double t = num(text); // s
        if (t < 0)
            return errorMessage("This value must be positive.");
        const std::string& before = k >= 1 ? m_p.t1[static_cast<std::size_t>(k - 1)] : text;
        if (k >= 1 && t != 0 && t < num(before))
            return errorMessage("This value must >= " + before);
    }
    return std::nullopt;
}

// --- boxes, options, buttons ---------------------------------------------------------------------------

FormReply InstrumentForm::click(std::string_view box, bool checked) {
    if (box != "CheckAuto" && box != "CheckPreCon")
        return {false, {}};
    bool changedState = false;
    setBox(box, checked, changedState);
    FormReply reply;
    if (!changedState)
        return reply;
    if (box == "CheckAuto")
        autoDigitalModel(reply);
    else
        m_p.instrumentForm.preconFrame = !m_p.instrumentForm.preconFrame;
    return reply;
}

FormReply InstrumentForm::select(std::string_view group, int option) {
    FormReply reply;
    if (group == "ComboScan") {
        if (option < 0 || option > 3)
            return {false, {}};
        m_p.ComboScan = option;
        m_p.committed.CycleCount = cycleCountOfScan(option);
        experimentTimeFromScan(reply);
        return reply;
    }
    if (group != "optElectrode" || option < 1 || option > kElectrodeCount)
        return {false, {}};
    // Cylinder, hemicylinder and band have no analytical solution: offered only digitally.
    if (!m_p.DigitalFlag && traits(kind::asElectrode(option)).digitalOnly)
        return {false, {}};
    m_p.Electrode = option;
    offerGeometryFields();
    areaChanged(reply);
    return reply;
}

FormReply InstrumentForm::press(std::string_view button) {
    if (button != "Reset" && button != "cmdReset")
        return {false, {}};
    FormReply reply;
    write("tsa1", "1", reply);
    write("tsa2", "1", reply);
    const Technique t = m_p.technique();
    if (t == Technique::LinearSweep || t == Technique::DcVoltammetry || t == Technique::NormalPulse ||
        t == Technique::DifferentialPulse)
        write("V", "0.01", reply);
    if (t == Technique::DifferentialPulse) {
        writeNumber("tp", num(m_p.td) / 10, reply);
        write("tsa1", "0.88", reply);
    }
    resetTimeGrid(reply);
    return reply;
}

void InstrumentForm::commit(Notices& notices) {
    commitInstrument(m_p, notices);
}

// --- view
// ---------------------------------------------------------------------------------------------------

void InstrumentForm::decorate(std::string_view name, FieldView& view) const {
    const InstrumentFormState& s = m_p.instrumentForm;
    if (const FieldState* f = stateOf(s, name)) {
        view.visible = f->visible;
        view.readOnly = f->readOnly;
    }
    if (name == "radius")
        view.caption = s.radiusCaption;
    else if (name == "FrameDigitalModel")
        view.visible = s.digitalModelFrame;
    else if (name == "FrameDesignWaveform")
        view.visible = s.designWaveformFrame;
    else if (name == "FramePrecon")
        view.visible = s.preconFrame;
    const auto [base, n] = splitIndexedName(name);
    if (base == "optElectrode" && n >= 1 && n <= kElectrodeCount)
        view.visible = s.electrodeOffered[static_cast<std::size_t>(n)];
}

} // namespace tessaly
