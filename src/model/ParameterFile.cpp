#include "model/ParameterFile.h"

#include "base/Checked.h"
#include "base/Failure.h"
#include "base/ItemReader.h"
#include "base/NumberText.h"

namespace tessaly {
namespace {

constexpr const char* kInvalidPropertyValue = "Invalid property value";
constexpr const char* kAutoLabel = "Auto digital model:";

// Label and value lines, in the order of the file. Labels keep their historic spellings and trailing
// blanks ("Mechisim :", "Number of charge rection:", "Species: ").
class Writer {
public:
    void line(std::string_view text) {
        m_text += text;
        m_text += "\r\n";
    }
    void integer(long long value) { line(printForm(value)); }
    void state(bool checked) { integer(checked ? 1 : 0); }
    void boolean(bool value) { line(value ? "True" : "False"); }
    void labelled(std::string_view label, std::string_view value) {
        line(label);
        line(value);
    }
    void labelledInteger(std::string_view label, long long value) {
        line(label);
        integer(value);
    }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
};

int checkedRows(int count, int rows) {
    return checkedIndex(count, 0, rows);
}

} // namespace

std::string parameterFileText(const ExperimentParams& p) {
    Writer w;
    // Technique and instrument dialogs
    w.labelledInteger("Technique :", p.Technique);
    w.labelled("E start (V):", p.Estart);
    w.labelled("E end (V):", p.Eend);
    w.labelled("E step (V):", p.Estep);
    w.labelled("v", p.V);
    w.labelled("t drop (s):", p.td);
    w.labelled("T (C)", p.txttemp);
    w.labelledInteger("Scan:", p.ComboScan);
    w.labelled("f (Hz):", p.TextF);
    w.labelled("t pulse (s):", p.tp);
    w.labelled("E pulse (V):", p.Epulse);
    w.labelled("t s1 (s):", p.tsa1);
    w.labelled("t s2 (s):", p.tsa2);
    w.labelled("Noise (%) :", p.Noise);
    w.labelledInteger("Electrode", p.Electrode);
    w.labelled("Area Of Electrode (cm^2):", p.ARE);
    w.labelled("Radius (cm):", p.radius);
    w.labelled("Length (cm):", p.leng);
    w.labelled("Radius 2 (cm):", p.radius2);
    w.labelled("Radius 3 (cm):", p.radius3);
    w.labelled("Thickness (cm):", p.thickness);
    w.labelled("Rotation (rpm):", p.Rotation);
    w.line("Preconcentration:");
    w.state(p.CheckPreCon);
    w.labelled("E pre (V):", p.txtEPre);
    w.labelled("R stir (rpm):", p.txtRStir);
    w.labelled("t pre (s):", p.txtTPre);
    w.labelled("t pre const (/s):", p.txtTpreconst);
    w.labelled("I start (A)", p.TxtI0);
    w.labelled("I end (A):", p.TxtI1);
    w.labelled("C d (F):", p.Cdl);
    w.labelled("R u (M):", p.txtRu);
    w.labelled("Space grid factor:", p.TextExpanding);
    w.labelled("Time grid factor:", p.TextTimeGrid);

    // Mechanism dialog
    w.labelledInteger("Mechisim :", p.Mechanism);
    w.line("Digital simulation:");
    w.state(p.CheckDigital);
    w.line("pH effect:");
    w.state(p.CheckpH);
    w.line("H+:");
    w.boolean(p.OptionH);
    w.line("OH-:");
    w.boolean(p.OptionOH);
    const int numCharge = checkedRows(p.NumCharge, kMaxCharge);
    w.labelledInteger("Number of charge rection:", numCharge);
    for (int i = 1; i <= numCharge; ++i) {
        for (int k = 1; k <= 7; ++k)
            w.line(p.charge[static_cast<std::size_t>(10 * i + k)]);
        w.state(p.CheckAdsorb[i]);
    }
    const int numChem = checkedRows(p.NumChem, kMaxChem);
    w.labelledInteger("Number of chemical reaction:", numChem);
    for (int k = 1; k <= 4 * numChem; ++k)
        w.line(p.chem2[k]);

    // Species dialog
    const int numSpecies = checkedRows(p.NumSpecies, kMaxSpecies);
    w.labelledInteger("NUMBER OF SPECIES :", numSpecies);
    for (int s = 1; s <= numSpecies; ++s) {
        w.labelledInteger("Species: ", s);
        w.line(p.specie[s]);
        w.labelled("C :", p.C[s]);
        w.line(p.Cinit[s]);
        w.labelled("D :", p.D[s]);
        w.labelled("Absorption coefficient:", p.TextB[s]);
        w.labelled("Max adsorb amount:", p.TextG[s]);
    }

    // Kinetics dialog
    w.labelledInteger("Number of charge reaction:", numCharge);
    for (int i = 1; i <= numCharge; ++i) {
        w.labelledInteger("Charge reaction:", i);
        w.line(p.kineticsForm.heter[i]);
        w.labelled("ks :", p.ks[i]);
        w.labelled("Alpha :", p.alph[i]);
        w.labelled("E' :", p.Eze[i]);
    }
    w.labelledInteger("Number of chemical reaction:", numChem);
    for (int j = 1; j <= numChem; ++j) {
        w.labelledInteger("Chemical reaction: ", j);
        w.line(p.kineticsForm.homo[j]);
        w.labelled("kf:", p.kf[j]);
        w.labelled("kb:", p.kb[j]);
    }
    w.line("Solution:");
    w.labelled("Electrolyte:", p.TextElectrolyte);
    w.labelled("Concentration (M):", p.TextElectrolyteC);
    w.labelled("pH:", p.TextpH);
    w.labelled("Vis (cm/s):", p.TextVis);
    w.labelled("Vol (ml):", p.txtVol);
    // After the last item of the original layout, so that a reader of that layout stops before it.
    w.line(kAutoLabel);
    w.state(p.CheckAuto);
    return w.take();
}

namespace {

// Reads the items in file order and records what each value does.
class Parser {
public:
    explicit Parser(std::string_view text) : m_reader(text) {}

    void skip(int items = 1) {
        for (int k = 0; k < items; ++k)
            m_reader.next();
    }
    // A count, state or option: must be a number.
    int integer() { return m_reader.nextInteger(); }
    int option(int low, int high) { return checkedIndex(integer(), low, high); }

    void text(const std::string& name) {
        m_out.actions.push_back({ParameterAction::Kind::Text, name, std::string(m_reader.next().text), 0});
    }
    void labelledText(const std::string& name) {
        skip();
        text(name);
    }
    void select(const std::string& group, int n) {
        m_out.actions.push_back({ParameterAction::Kind::Select, group, {}, n});
    }
    bool check(const std::string& name) {
        const bool state = m_reader.nextCheckState();
        m_out.actions.push_back({ParameterAction::Kind::Check, name, {}, state ? 1 : 0});
        return state;
    }
    void count(const std::string& name, int n) {
        m_out.actions.push_back({ParameterAction::Kind::Count, name, {}, n});
    }

    ParameterFileContents parse();

private:
    ItemReader m_reader;
    ParameterFileContents m_out;
};

std::string indexed(const char* name, int index) {
    return std::string(name) + "(" + std::to_string(index) + ")";
}

ParameterFileContents Parser::parse() {
    // Technique and instrument dialogs
    skip();
    m_out.technique = option(1, kTechniqueCount);
    select("optTech", m_out.technique);
    for (const char* name : {"Estart", "Eend", "Estep", "V", "td", "txttemp"})
        labelledText(name);
    skip();
    m_out.scan = integer();
    if (m_out.scan < 0 || m_out.scan > 3) // the list holds "single", "cycle", "2 cycles", "3 cycles"
        raise(kInvalidPropertyValue);
    select("ComboScan", m_out.scan);
    for (const char* name : {"TextF", "tp", "Epulse", "tsa1", "tsa2", "Noise"})
        labelledText(name);
    skip();
    m_out.electrode = option(1, kElectrodeCount);
    select("optElectrode", m_out.electrode);
    for (const char* name : {"ARE", "radius", "leng", "radius2", "radius3", "thickness", "Rotation"})
        labelledText(name);
    skip();
    check("CheckPreCon");
    for (const char* name : {"txtEPre", "txtRStir", "txtTPre", "txtTpreconst", "TxtI0", "TxtI1", "Cdl",
                             "txtRu", "TextExpanding", "TextTimeGrid"})
        labelledText(name);

    // Mechanism dialog
    skip();
    m_out.mechanism = option(1, kMechanismCount);
    select("mech", m_out.mechanism);
    skip();
    m_out.digital = check("CheckDigital");
    if (!m_out.digital && traits(kind::asElectrode(m_out.electrode)).digitalOnly)
        raise(kInvalidPropertyValue);
    skip();
    check("CheckpH");
    skip();
    select("OptionH", m_reader.nextBoolean() ? 1 : 0);
    skip();
    select("OptionOH", m_reader.nextBoolean() ? 1 : 0);
    skip();
    int numCharge = option(0, kMaxCharge);
    count("NumCharge", numCharge);
    for (int i = 1; i <= numCharge; ++i) {
        for (int k = 1; k <= 7; ++k)
            text(indexed("charge", 10 * i + k));
        check(indexed("CheckAdsorb", i));
    }
    skip();
    m_out.numChem = option(0, kMaxChem);
    count("NumChem", m_out.numChem);
    for (int k = 1; k <= 4 * m_out.numChem; ++k)
        text(indexed("chem2", k));

    // Species dialog: names and initial concentrations are display-only and not restored.
    skip();
    m_out.numSpecies = option(0, kMaxSpecies);
    count("NumSpecies", m_out.numSpecies);
    for (int s = 1; s <= m_out.numSpecies; ++s) {
        skip(4); // "Species: ", number, name, "C :"
        text(indexed("C", s));
        skip(2); // Cinit, "D :"
        text(indexed("D", s));
        labelledText(indexed("TextB", s));
        labelledText(indexed("TextG", s));
    }

    // Kinetics dialog
    skip();
    numCharge = option(0, kMaxCharge);
    m_out.numCharge = numCharge;
    count("NumCharge", numCharge);
    for (int i = 1; i <= numCharge; ++i) {
        skip(4); // label, number, caption, "ks :"
        text(indexed("ks", i));
        labelledText(indexed("alph", i));
        labelledText(indexed("Eze", i));
    }
    skip();
    const int chemRows = option(0, kMaxChem); // a loop count only: NumChem keeps the first count
    for (int j = 1; j <= chemRows; ++j) {
        skip(4); // label, number, caption, "kf:"
        text(indexed("kf", j));
        labelledText(indexed("kb", j));
    }
    skip(2); // "Solution:", "Electrolyte:"
    text("TextElectrolyte");
    for (const char* name : {"TextElectrolyteC", "TextpH", "TextVis", "txtVol"})
        labelledText(name);
    // The Auto digital model state follows in files written since the automatic grid; a file
    // without it kept its time grid and space grid factor as typed, and is read so.
    ItemReader lookahead = m_reader;
    if (lookahead.atEnd() || lookahead.next().text != kAutoLabel) {
        m_out.actions.push_back({ParameterAction::Kind::Check, "CheckAuto", {}, 0});
    } else {
        skip();
        check("CheckAuto");
    }
    return std::move(m_out);
}

} // namespace

ParameterFileContents parseParameterFile(std::string_view text) {
    return Parser(text).parse();
}

void applyParameterFile(const ParameterFileContents& contents, ParameterTarget& target) {
    for (const ParameterAction& a : contents.actions) {
        bool accepted = true;
        switch (a.kind) {
        case ParameterAction::Kind::Select:
            if (a.name == "optElectrode" && contents.digital)
                accepted = target.setCheck("CheckDigital", true);
            accepted = accepted && target.select(a.name, a.value);
            break;
        case ParameterAction::Kind::Text:
            accepted = target.setText(a.name, a.text);
            break;
        case ParameterAction::Kind::Check:
            accepted = target.setCheck(a.name, a.value != 0);
            break;
        case ParameterAction::Kind::Count:
            accepted = target.setCount(a.name, a.value);
            break;
        }
        if (!accepted)
            raise(kInvalidPropertyValue);
    }
}

} // namespace tessaly
