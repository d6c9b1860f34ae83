#include "model/ParameterFile.h"

#include "base/Checked.h"
#include "base/Failure.h"
#include "base/ItemReader.h"
#include "base/NumberText.h"
#include "model/FieldTable.h"

#include <array>
#include <span>
#include <utility>

namespace tessaly {
namespace {

using P = ExperimentParams;

constexpr const char* kInvalidPropertyValue = "Invalid property value";
constexpr const char* kAutoLabel = "Auto digital model:";

// A text field stored under a label line: the label as written (with its historic spellings and
// trailing blanks), the field's dialog name and the field.
struct LabelledText {
    const char* label;
    const char* name;
    std::string P::*field;
};

// The runs of labelled texts, in file order. The writer and the reader both walk these, so the two
// cannot disagree on an item.
constexpr LabelledText kSweepTexts[] = {
    {"E start (V):", "Estart", &P::Estart}, {"E end (V):", "Eend", &P::Eend},
    {"E step (V):", "Estep", &P::Estep},    {"v", "V", &P::V},
    {"t drop (s):", "td", &P::td},          {"T (C)", "txttemp", &P::txttemp},
};
constexpr LabelledText kPulseTexts[] = {
    {"f (Hz):", "TextF", &P::TextF},    {"t pulse (s):", "tp", &P::tp}, {"E pulse (V):", "Epulse", &P::Epulse},
    {"t s1 (s):", "tsa1", &P::tsa1},    {"t s2 (s):", "tsa2", &P::tsa2}, {"Noise (%) :", "Noise", &P::Noise},
};
constexpr LabelledText kGeometryTexts[] = {
    {"Area Of Electrode (cm^2):", "ARE", &P::ARE}, {"Radius (cm):", "radius", &P::radius},
    {"Length (cm):", "leng", &P::leng},            {"Radius 2 (cm):", "radius2", &P::radius2},
    {"Radius 3 (cm):", "radius3", &P::radius3},    {"Thickness (cm):", "thickness", &P::thickness},
    {"Rotation (rpm):", "Rotation", &P::Rotation},
};
constexpr LabelledText kBaselineTexts[] = {
    {"E pre (V):", "txtEPre", &P::txtEPre},
    {"R stir (rpm):", "txtRStir", &P::txtRStir},
    {"t pre (s):", "txtTPre", &P::txtTPre},
    {"t pre const (/s):", "txtTpreconst", &P::txtTpreconst},
    {"I start (A)", "TxtI0", &P::TxtI0},
    {"I end (A):", "TxtI1", &P::TxtI1},
    {"C d (F):", "Cdl", &P::Cdl},
    {"R u (M):", "txtRu", &P::txtRu},
    {"Space grid factor:", "TextExpanding", &P::TextExpanding},
    {"Time grid factor:", "TextTimeGrid", &P::TextTimeGrid},
};
constexpr LabelledText kSolutionTexts[] = {
    {"Electrolyte:", "TextElectrolyte", &P::TextElectrolyte},
    {"Concentration (M):", "TextElectrolyteC", &P::TextElectrolyteC},
    {"pH:", "TextpH", &P::TextpH},
    {"Vis (cm/s):", "TextVis", &P::TextVis},
    {"Vol (ml):", "txtVol", &P::txtVol},
};
constexpr std::array kLabelledRuns = {std::span<const LabelledText>(kSweepTexts),
                                      std::span<const LabelledText>(kPulseTexts),
                                      std::span<const LabelledText>(kGeometryTexts),
                                      std::span<const LabelledText>(kBaselineTexts),
                                      std::span<const LabelledText>(kSolutionTexts)};

// The label as a caption: without the colon and the blanks that end it.
std::string captionOfLabel(std::string_view label) {
    while (!label.empty() && (label.back() == ' ' || label.back() == ':'))
        label.remove_suffix(1);
    return std::string(label);
}

// Words for the unlabelled texts of a charge row, a A + h H+ + n e = b B + w H2O.
constexpr const char* kChargeTerms[] = {"",
                                        "coefficient of the oxidised species",
                                        "oxidised species",
                                        "coefficient of H+ or H2O",
                                        "number of electrons",
                                        "coefficient of the reduced species",
                                        "reduced species",
                                        "coefficient of H2O or OH-"};
constexpr const char* kChemTerms[] = {"first reactant", "second reactant", "first product", "second product"};

std::string indexed(const char* name, int index) {
    return std::string(name) + "(" + std::to_string(index) + ")";
}

// Whether a text item of the file holds a number: every one but the electrolyte, the species names
// and the reaction captions, and the species of the reaction rows.
bool holdsNumber(std::string_view field) {
    if (field == "TextElectrolyte")
        return false;
    const auto [base, k] = splitIndexedName(field);
    if (base == "specie" || base == "heter" || base == "homo" || base == "chem2")
        return false;
    return !(base == "charge" && (k % 10 == 2 || k % 10 == 6));
}

// Label and value lines, in the order of the file.
class Writer {
public:
    void line(std::string_view text) {
        m_text += text;
        m_text += "\r\n";
    }
    // A text as it is held, refused when the file could not give it back, or when a number the file
    // is to hold is not finite (an overflowing "1e400", a computed "INF" or "NAN").
    void text(std::string_view field, std::string_view value) {
        if (const auto refusal = parameterTextRefusal(field, value))
            raise(*refusal);
        if (holdsNumber(field) && !leadingNumberIsFinite(value))
            raise(parameterFieldCaption(field) + " is not a finite number (" + std::string(value) +
                  "): type a number within the range of a double; nothing was saved.");
        line(value);
    }
    void integer(long long value) { line(printForm(value)); }
    void state(bool checked) { integer(checked ? 1 : 0); }
    void boolean(bool value) { line(value ? "True" : "False"); }
    void labelled(std::string_view label, std::string_view field, std::string_view value) {
        line(label);
        text(field, value);
    }
    void labelledInteger(std::string_view label, long long value) {
        line(label);
        integer(value);
    }
    void labelledRun(const ExperimentParams& p, std::span<const LabelledText> run) {
        for (const LabelledText& t : run)
            labelled(t.label, t.name, p.*t.field);
    }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
};

int checkedRows(int count, int rows) {
    return checkedIndex(count, 0, rows);
}

// A reading failure with the place it happened: "Type mismatch in line 98 (Number of species)".
std::string locatedDescription(const std::string& description, int line, std::string_view field) {
    return description + " in line " + std::to_string(line) + " (" + parameterFieldCaption(field) + ")";
}

} // namespace

std::string parameterFileText(const ExperimentParams& p) {
    Writer w;
    // Technique and instrument dialogs
    w.labelledInteger("Technique :", p.Technique);
    w.labelledRun(p, kSweepTexts);
    w.labelledInteger("Scan:", p.ComboScan);
    w.labelledRun(p, kPulseTexts);
    w.labelledInteger("Electrode", p.Electrode);
    w.labelledRun(p, kGeometryTexts);
    w.line("Preconcentration:");
    w.state(p.CheckPreCon);
    w.labelledRun(p, kBaselineTexts);

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
            w.text(indexed("charge", 10 * i + k), p.charge[static_cast<std::size_t>(10 * i + k)]);
        w.state(p.CheckAdsorb[i]);
    }
    const int numChem = checkedRows(p.NumChem, kMaxChem);
    w.labelledInteger("Number of chemical reaction:", numChem);
    for (int k = 1; k <= 4 * numChem; ++k)
        w.text(indexed("chem2", k), p.chem2[k]);

    // Species dialog
    const int numSpecies = checkedRows(p.NumSpecies, kMaxSpecies);
    w.labelledInteger("NUMBER OF SPECIES :", numSpecies);
    for (int s = 1; s <= numSpecies; ++s) {
        w.labelledInteger("Species: ", s);
        w.text(indexed("specie", s), p.specie[s]);
        w.labelled("C :", indexed("C", s), p.C[s]);
        w.text(indexed("Cinit", s), p.Cinit[s]);
        w.labelled("D :", indexed("D", s), p.D[s]);
        w.labelled("Absorption coefficient:", indexed("TextB", s), p.TextB[s]);
        w.labelled("Max adsorb amount:", indexed("TextG", s), p.TextG[s]);
    }

    // Kinetics dialog
    w.labelledInteger("Number of charge reaction:", numCharge);
    for (int i = 1; i <= numCharge; ++i) {
        w.labelledInteger("Charge reaction:", i);
        w.text(indexed("heter", i), p.kineticsForm.heter[i]);
        w.labelled("ks :", indexed("ks", i), p.ks[i]);
        w.labelled("Alpha :", indexed("alph", i), p.alph[i]);
        w.labelled("E' :", indexed("Eze", i), p.Eze[i]);
    }
    w.labelledInteger("Number of chemical reaction:", numChem);
    for (int j = 1; j <= numChem; ++j) {
        w.labelledInteger("Chemical reaction: ", j);
        w.text(indexed("homo", j), p.kineticsForm.homo[j]);
        w.labelled("kf:", indexed("kf", j), p.kf[j]);
        w.labelled("kb:", indexed("kb", j), p.kb[j]);
    }
    w.line("Solution:");
    w.labelledRun(p, kSolutionTexts);
    // After the last item of the original layout, so that a reader of that layout stops before it.
    w.line(kAutoLabel);
    w.state(p.CheckAuto);
    return w.take();
}

std::string parameterFieldCaption(std::string_view field) {
    const std::pair<std::string_view, const char*> items[] = {
        {"optTech", "Technique"},
        {"ComboScan", "Scan"},
        {"optElectrode", "Electrode"},
        {"CheckPreCon", "Preconcentration"},
        {"mech", "Mechanism"},
        {"CheckDigital", "Digital simulation"},
        {"CheckpH", "pH effect"},
        {"OptionH", "H+"},
        {"OptionOH", "OH-"},
        {"NumCharge", "Number of charge reactions"},
        {"NumChem", "Number of chemical reactions"},
        {"NumSpecies", "Number of species"},
        {"CheckAuto", "Auto digital model"},
    };
    for (const auto& [name, caption] : items)
        if (field == name)
            return caption;
    for (const auto run : kLabelledRuns)
        for (const LabelledText& t : run)
            if (field == t.name)
                return captionOfLabel(t.label);
    const auto [base, k] = splitIndexedName(field);
    const std::string n = std::to_string(k);
    if (base == "charge" && k > 10 && k % 10 >= 1 && k % 10 <= 7)
        return "Charge reaction " + std::to_string(k / 10) + ", " + kChargeTerms[k % 10];
    if (base == "CheckAdsorb")
        return "Charge reaction " + n + ", Adsorb";
    if (base == "chem2" && k >= 1)
        return "Chemical reaction " + std::to_string((k + 3) / 4) + ", " + kChemTerms[(k - 1) % 4];
    struct Row {
        const char* base;
        const char* caption;
        const char* row;
    };
    const Row rows[] = {
        {"specie", "Name", "species"},
        {"C", "C", "species"},
        {"Cinit", "Initial C", "species"},
        {"D", "D", "species"},
        {"TextB", "Absorption coefficient", "species"},
        {"TextG", "Max adsorb amount", "species"},
        {"heter", "Caption", "charge reaction"},
        {"ks", "ks", "charge reaction"},
        {"alph", "Alpha", "charge reaction"},
        {"Eze", "E'", "charge reaction"},
        {"homo", "Caption", "chemical reaction"},
        {"kf", "kf", "chemical reaction"},
        {"kb", "kb", "chemical reaction"},
    };
    for (const Row& r : rows)
        if (base == r.base)
            return std::string(r.caption) + " of " + r.row + " " + n;
    return std::string(field);
}

bool storedInParameterFile(std::string_view field) {
    for (const auto run : kLabelledRuns)
        for (const LabelledText& t : run)
            if (field == t.name)
                return true;
    const auto [base, k] = splitIndexedName(field);
    if (base == "charge")
        return k / 10 >= 1 && k / 10 <= kMaxCharge && k % 10 >= 1 && k % 10 <= 7;
    if (base == "chem2")
        return k >= 1 && k <= 4 * kMaxChem;
    if (base == "C" || base == "D" || base == "TextB" || base == "TextG")
        return k >= 1 && k <= kMaxSpecies;
    if (base == "ks" || base == "alph" || base == "Eze")
        return k >= 1 && k <= kMaxCharge;
    if (base == "kf" || base == "kb")
        return k >= 1 && k <= kMaxChem;
    return false;
}

std::optional<std::string> parameterTextRefusal(std::string_view field, std::string_view text) {
    const std::string caption = parameterFieldCaption(field);
    if (text.find(',') != std::string_view::npos)
        return caption + " cannot hold a comma: the parameter file separates its items with commas.";
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return caption + " cannot hold a line break: the parameter file holds one item per line.";
    const std::size_t first = text.find_first_not_of(" \t");
    if (first != std::string_view::npos && text[first] == '"')
        return caption + " cannot begin with a double quote: the parameter file reads it as a quoted item.";
    return std::nullopt;
}

namespace {

// Reads the items in file order and records what each value does. A failure names the line on
// which the item was expected and the item: "Type mismatch in line 98 (Number of species)".
class Parser {
public:
    explicit Parser(std::string_view text) : m_reader(text) {}

    ParameterFileContents parse();

private:
    // Runs one read of the item of field `name`; a failure gets the line and the item's caption
    // after its own description.
    template <class Read>
    auto located(std::string_view name, Read read) {
        const int line = m_reader.line();
        try {
            return read();
        } catch (const Failure& f) {
            raise(locatedDescription(f.description(), line, name));
        }
    }
    void skip(std::string_view name, int items = 1) {
        for (int k = 0; k < items; ++k)
            located(name, [&] { return m_reader.next(); });
    }
    void push(ParameterAction::Kind kind, const std::string& name, std::string text, int value, int line) {
        m_out.actions.push_back({kind, name, std::move(text), value, line});
    }
    void text(const std::string& name) {
        const int line = m_reader.line();
        const Item item = located(name, [&] { return m_reader.next(); });
        push(ParameterAction::Kind::Text, name, std::string(item.text), 0, line);
    }
    void labelledText(const std::string& name) {
        skip(name);
        text(name);
    }
    void labelledRun(std::span<const LabelledText> run) {
        for (const LabelledText& t : run)
            labelledText(t.name);
    }
    bool check(const std::string& name) {
        const int line = m_reader.line();
        const bool state = located(name, [&] { return m_reader.nextCheckState(); });
        push(ParameterAction::Kind::Check, name, {}, state ? 1 : 0, line);
        return state;
    }
    bool labelledCheck(const std::string& name) {
        skip(name);
        return check(name);
    }
    // A labelled option or count: a number within low..high.
    int labelledInteger(ParameterAction::Kind kind, const std::string& name, int low, int high) {
        skip(name);
        const int line = m_reader.line();
        const int n = located(name, [&] { return checkedIndex(m_reader.nextInteger(), low, high); });
        push(kind, name, {}, n, line);
        return n;
    }
    int labelledOption(const std::string& group, int count) {
        return labelledInteger(ParameterAction::Kind::Select, group, 1, count);
    }
    int labelledCount(const std::string& name, int rows) {
        return labelledInteger(ParameterAction::Kind::Count, name, 0, rows);
    }

    void instrument();
    void mechanism();
    void species();
    void kinetics();

    ItemReader m_reader;
    ParameterFileContents m_out;
    int m_electrodeLine = 0;
};

void Parser::instrument() {
    m_out.technique = labelledOption("optTech", kTechniqueCount);
    labelledRun(kSweepTexts);
    skip("ComboScan");
    const int scanLine = m_reader.line();
    m_out.scan = located("ComboScan", [&] {
        const int scan = m_reader.nextInteger();
        if (scan < 0 || scan > 3) // the list holds "single", "cycle", "2 cycles", "3 cycles"
            raise(kInvalidPropertyValue);
        return scan;
    });
    push(ParameterAction::Kind::Select, "ComboScan", {}, m_out.scan, scanLine);
    labelledRun(kPulseTexts);
    m_out.electrode = labelledOption("optElectrode", kElectrodeCount);
    m_electrodeLine = m_out.actions.back().line;
    labelledRun(kGeometryTexts);
    labelledCheck("CheckPreCon");
    labelledRun(kBaselineTexts);
}

void Parser::mechanism() {
    m_out.mechanism = labelledOption("mech", kMechanismCount);
    m_out.digital = labelledCheck("CheckDigital");
    // The cylinder, hemicylinder and band exist only in the digital simulation.
    if (!m_out.digital && traits(kind::asElectrode(m_out.electrode)).digitalOnly)
        raise(locatedDescription(kInvalidPropertyValue, m_electrodeLine, "optElectrode"));
    labelledCheck("CheckpH");
    for (const char* group : {"OptionH", "OptionOH"}) {
        skip(group);
        const int line = m_reader.line();
        const bool set = located(group, [&] { return m_reader.nextBoolean(); });
        push(ParameterAction::Kind::Select, group, {}, set ? 1 : 0, line);
    }
    const int numCharge = labelledCount("NumCharge", kMaxCharge);
    for (int i = 1; i <= numCharge; ++i) {
        for (int k = 1; k <= 7; ++k)
            text(indexed("charge", 10 * i + k));
        check(indexed("CheckAdsorb", i));
    }
    m_out.numChem = labelledCount("NumChem", kMaxChem);
    for (int k = 1; k <= 4 * m_out.numChem; ++k)
        text(indexed("chem2", k));
}

// Names and initial concentrations are display-only and not restored.
void Parser::species() {
    m_out.numSpecies = labelledCount("NumSpecies", kMaxSpecies);
    for (int s = 1; s <= m_out.numSpecies; ++s) {
        skip(indexed("specie", s), 3); // "Species: ", number, name
        labelledText(indexed("C", s));
        skip(indexed("Cinit", s));
        labelledText(indexed("D", s));
        labelledText(indexed("TextB", s));
        labelledText(indexed("TextG", s));
    }
}

void Parser::kinetics() {
    // The second count of charge rows is the one the experiment keeps.
    m_out.numCharge = labelledCount("NumCharge", kMaxCharge);
    for (int i = 1; i <= m_out.numCharge; ++i) {
        skip(indexed("heter", i), 3); // label, number, caption
        labelledText(indexed("ks", i));
        labelledText(indexed("alph", i));
        labelledText(indexed("Eze", i));
    }
    // A loop count only: NumChem keeps the mechanism dialog's count.
    skip("NumChem");
    const int chemRows = located("NumChem", [&] { return checkedIndex(m_reader.nextInteger(), 0, kMaxChem); });
    for (int j = 1; j <= chemRows; ++j) {
        skip(indexed("homo", j), 3); // label, number, caption
        labelledText(indexed("kf", j));
        labelledText(indexed("kb", j));
    }
    skip("TextElectrolyte"); // "Solution:"
    labelledRun(kSolutionTexts);
}

ParameterFileContents Parser::parse() {
    instrument();
    mechanism();
    species();
    kinetics();
    // The Auto digital model state follows in files written since the automatic grid; a file
    // without it kept its time grid and space grid factor as typed, and is read so.
    ItemReader lookahead = m_reader;
    if (lookahead.atEnd() || lookahead.next().text != kAutoLabel)
        push(ParameterAction::Kind::Check, "CheckAuto", {}, 0, m_reader.line());
    else
        labelledCheck("CheckAuto");
    return std::move(m_out);
}

} // namespace

ParameterFileContents parseParameterFile(std::string_view text) {
    return Parser(text).parse();
}

void applyParameterFile(const ParameterFileContents& contents, ParameterTarget& target) {
    auto refuse = [](const ParameterAction& a) {
        raise(locatedDescription(kInvalidPropertyValue, a.line, a.name));
    };
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
            refuse(a);
    }
    // The file has the last word: a change reaction that derived one stored text from another while
    // the file was half read (the frequency setting the scan rate, the scan rate the drop time, the
    // area the radius) is undone by setting every stored text once more, as stored.
    for (const ParameterAction& a : contents.actions)
        if (a.kind == ParameterAction::Kind::Text && !target.restoreText(a.name, a.text))
            refuse(a);
}

} // namespace tessaly
