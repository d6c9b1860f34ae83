// Reading parameter files: the item rules, the order of application, and the files that must be
// refused without changing anything.

#include "base/Failure.h"
#include "model/ParameterFile.h"
#include "model/ParameterFileTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tessaly {
namespace {

using testing::ecExperiment;
using testing::goldenFile;
using testing::PlainTarget;

std::string failureOf(std::string_view text) {
    try {
        parseParameterFile(text);
    } catch (const Failure& f) {
        return f.description();
    }
    return "(read)";
}

// The lines of a file, and the file back from its lines (CR LF).
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}
std::string fileOf(const std::vector<std::string>& lines, const char* ending = "\r\n") {
    std::string text;
    for (const std::string& line : lines)
        text += line + ending;
    return text;
}
// Replaces the value line after the first label line `label`.
std::string withValue(const std::string& text, const std::string& label, const std::string& value) {
    std::vector<std::string> lines = linesOf(text);
    const auto at = std::find(lines.begin(), lines.end(), label);
    EXPECT_NE(at, lines.end()) << label;
    *(at + 1) = value;
    return fileOf(lines);
}
// The line number (from 1) of the value after the first label line `label`.
int valueLine(const std::string& text, const std::string& label) {
    const std::vector<std::string> lines = linesOf(text);
    return static_cast<int>(std::find(lines.begin(), lines.end(), label) - lines.begin()) + 2;
}
// The index of the first call of the restoring pass: everything before it is the file in its order.
std::size_t restoringPass(const std::vector<std::string>& calls) {
    return static_cast<std::size_t>(
        std::find_if(calls.begin(), calls.end(), [](const std::string& c) { return c.starts_with("restore "); }) -
        calls.begin());
}

TEST(ParameterFileReader, WrittenFileReadsBackIntoTheSameExperiment) {
    const ExperimentParams written = ecExperiment();
    ExperimentParams read; // defaults: every restored field differs from the EC experiment's
    PlainTarget target(read);
    applyParameterFile(parseParameterFile(parameterFileText(written)), target);
    EXPECT_EQ(read.optTech, 2);
    EXPECT_EQ(read.Electrode, 2);
    EXPECT_EQ(read.mech, 7);
    EXPECT_EQ(read.ComboScan, 1);
    EXPECT_TRUE(read.CheckPreCon);
    EXPECT_TRUE(read.CheckpH);
    EXPECT_FALSE(read.OptionH);
    EXPECT_TRUE(read.OptionOH);
    EXPECT_TRUE(read.CheckAdsorb[1]);
    for (const char* name : {"Estart",
                             "Eend",
                             "Estep",
                             "V",
                             "td",
                             "txttemp",
                             "ARE",
                             "TextElectrolyte",
                             "TextElectrolyteC",
                             "TextpH",
                             "charge(14)",
                             "charge(16)",
                             "chem2(1)",
                             "chem2(3)",
                             "C(1)",
                             "D(2)",
                             "ks(1)",
                             "Eze(1)",
                             "kf(1)",
                             "kb(1)"}) {
        ExperimentParams w = written;
        EXPECT_EQ(*std::get<std::string*>(*findField(read, name)),
                  *std::get<std::string*>(*findField(w, name)))
            << name;
    }
    EXPECT_EQ(read.charge[16], ""); // an empty text is an empty line and reads back empty
    EXPECT_EQ(read.NumCharge, 1);
    EXPECT_EQ(read.NumChem, 1);
    EXPECT_EQ(read.NumSpecies, 3);
}

TEST(ParameterFileReader, NamesAndInitialConcentrationsAreNotRestored) {
    ExperimentParams read;
    read.Cinit[1] = "9";
    read.specie[1] = "Q";
    PlainTarget target(read);
    applyParameterFile(parseParameterFile(goldenFile("ec.par")), target);
    EXPECT_EQ(read.Cinit[1], "9");
    EXPECT_EQ(read.specie[1], "Q");
    EXPECT_EQ(read.C[1], "2e-3");
}

TEST(ParameterFileReader, TwoSpeciesRestoreRowsOneAndTwoOnly) {
    ExperimentParams read;
    for (int s = 1; s <= kMaxSpecies; ++s)
        read.C[s] = read.D[s] = "untouched";
    PlainTarget target(read);
    applyParameterFile(parseParameterFile(goldenFile("default.par")), target);
    EXPECT_EQ(read.C[1], "1e-3");
    EXPECT_EQ(read.C[2], "0");
    EXPECT_EQ(read.D[2], "1e-5");
    for (int s = 3; s <= kMaxSpecies; ++s) {
        EXPECT_EQ(read.C[s], "untouched") << s;
        EXPECT_EQ(read.D[s], "untouched") << s;
    }
}

// A file written before the Auto digital model state was stored ends with the solution's volume. Its
// time grid and space grid factor were the ones its runs used, so it reads with the box unticked;
// a file that stores the state keeps it either way.
TEST(ParameterFileReader, AutoDigitalModelFollowsTheFileAndAnOlderFileKeepsItsTypedGrid) {
    std::vector<std::string> lines = linesOf(goldenFile("default.par"));
    ASSERT_EQ(lines[lines.size() - 2], "Auto digital model:");
    for (const char* state : {" 0 ", " 1 "}) {
        lines.back() = state;
        ExperimentParams read;
        read.CheckAuto = state[1] == '0';
        PlainTarget target(read);
        applyParameterFile(parseParameterFile(fileOf(lines)), target);
        EXPECT_EQ(read.CheckAuto, state[1] == '1') << state;
    }
    lines.resize(lines.size() - 2);
    ExperimentParams older; // a new experiment: ticked
    ASSERT_TRUE(older.CheckAuto);
    PlainTarget target(older);
    applyParameterFile(parseParameterFile(fileOf(lines)), target);
    EXPECT_FALSE(older.CheckAuto);
    EXPECT_EQ(older.TextTimeGrid, "0.5");
    EXPECT_EQ(target.calls[restoringPass(target.calls) - 1], "check CheckAuto 0");
}

TEST(ParameterFileReader, ValuesArriveInFileOrder) {
    ExperimentParams read;
    PlainTarget target(read);
    applyParameterFile(parseParameterFile(goldenFile("ec.par")), target);
    const std::vector<std::string>& c = target.calls;
    auto position = [&c](const std::string& call) {
        const auto at = std::find(c.begin(), c.end(), call);
        EXPECT_NE(at, c.end()) << call;
        return at - c.begin();
    };
    EXPECT_EQ(c.front(), "select optTech 2");
    EXPECT_LT(position("text td"), position("select ComboScan 1"));
    EXPECT_LT(position("select optElectrode 2"), position("text ARE")); // area follows the electrode
    EXPECT_LT(position("text TextTimeGrid"), position("select mech 7"));
    EXPECT_LT(position("check CheckAdsorb(1) 1"), position("count NumChem 1"));
    EXPECT_LT(position("text TextG(3)"), position("text ks(1)"));
    const std::size_t restoring = restoringPass(c);
    EXPECT_EQ(c[restoring - 2], "text txtVol");
    EXPECT_EQ(c[restoring - 1], "check CheckAuto 1"); // the Auto digital model state closes the file
    // Then every text once more, in the same order, and nothing else: the file's values win.
    std::vector<std::string> typed, restored;
    for (std::size_t k = 0; k < c.size(); ++k) {
        if (c[k].starts_with("text "))
            typed.push_back(c[k].substr(5));
        if (c[k].starts_with("restore ")) {
            EXPECT_GE(k, restoring) << c[k];
            restored.push_back(c[k].substr(8));
        }
    }
    EXPECT_EQ(restored, typed);
    EXPECT_EQ(c.size() - restoring, restored.size());
    // The second NumCharge is applied again; the second chemical count changes nothing.
    EXPECT_EQ(std::count(c.begin(), c.end(), "count NumCharge 1"), 2);
    EXPECT_EQ(std::count(c.begin(), c.end(), "count NumChem 1"), 1);
}

TEST(ParameterFileReader, DigitalStateComesBeforeAnElectrodeOnlyItOffers) {
    std::string text = withValue(goldenFile("default.par"), "Electrode", " 5 ");
    text = withValue(text, "Digital simulation:", " 1 ");
    ExperimentParams read;
    PlainTarget target(read);
    applyParameterFile(parseParameterFile(text), target);
    const auto at = std::find(target.calls.begin(), target.calls.end(), "select optElectrode 5");
    ASSERT_NE(at, target.calls.begin());
    EXPECT_EQ(*(at - 1), "check CheckDigital 1");
    const std::string golden = goldenFile("default.par");
    EXPECT_EQ(failureOf(withValue(golden, "Electrode", " 5 ")),
              "Invalid property value in line " + std::to_string(valueLine(golden, "Electrode")) + " (Electrode)");
}

TEST(ParameterFileReader, LabelsAreNotChecked) {
    std::vector<std::string> lines = linesOf(goldenFile("default.par"));
    lines[0] = "Methode:";
    lines[2] = "Startpotential";
    const ParameterFileContents contents = parseParameterFile(fileOf(lines));
    EXPECT_EQ(contents.technique, 1);
    EXPECT_EQ(contents.numSpecies, 2);
}

TEST(ParameterFileReader, LineEndingsByteOrderMarkAndBlanksAroundItems) {
    const std::string golden = goldenFile("default.par");
    const std::vector<std::string> lines = linesOf(golden);
    std::vector<std::string> padded = lines;
    padded[1] = "\t 1 \t"; // technique with tabs and blanks around it
    padded[3] = "  0.3  ";
    const std::string variants[] = {fileOf(lines, "\n"), fileOf(lines, "\r"), "\xEF\xBB\xBF" + golden,
                                    golden.substr(0, golden.size() - 2), fileOf(padded)};
    for (const std::string& text : variants) {
        ExperimentParams read;
        PlainTarget target(read);
        applyParameterFile(parseParameterFile(text), target);
        EXPECT_EQ(read.optTech, 1);
        EXPECT_EQ(read.Estart, "0.3");
        EXPECT_EQ(read.txtVol, "10");
    }
}

TEST(ParameterFileReader, QuotedItemsAndCommas) {
    const std::string golden = goldenFile("default.par");
    ExperimentParams read;
    PlainTarget target(read);
    // A quoted item keeps its blanks and commas; the text after the closing quote is dropped.
    applyParameterFile(parseParameterFile(withValue(golden, "Electrolyte:", "\" K,Cl \" ignored")), target);
    EXPECT_EQ(read.TextElectrolyte, " K,Cl ");
    // An unquoted comma splits a text into two items and shifts every later item: the label after
    // the last sweep text is then read as the scan index.
    EXPECT_EQ(failureOf(withValue(golden, "E start (V):", "1,5")),
              "Type mismatch in line " + std::to_string(valueLine(golden, "Scan:") - 1) + " (Scan)");
}

// A refused file names the line and the item after the designed description, so that it can be found
// and mended in an editor.
TEST(ParameterFileReader, RefusedFilesNameTheLineAndTheItem) {
    const std::string golden = goldenFile("default.par");
    const std::string ec = goldenFile("ec.par");
    const std::vector<std::string> lines = linesOf(golden);
    struct Case {
        std::string file;  // the golden file to corrupt
        std::string label; // the value after this label line is replaced
        std::string value;
        std::string description;
        std::string item;
    };
    const Case cases[] = {
        {golden, "Scan:", " 4 ", "Invalid property value", "Scan"},
        {golden, "Scan:", "-1 ", "Invalid property value", "Scan"},
        {golden, "Technique :", " 11 ", "Subscript out of range", "Technique"},
        {golden, "Technique :", "one", "Type mismatch", "Technique"},
        {golden, "Electrode", " 0 ", "Subscript out of range", "Electrode"},
        {golden, "Mechisim :", " 19 ", "Subscript out of range", "Mechanism"},
        {golden, "Preconcentration:", " 2 ", "Invalid property value", "Preconcentration"},
        {golden, "Digital simulation:", "yes", "Type mismatch", "Digital simulation"},
        {golden, "pH effect:", " -1 ", "Invalid property value", "pH effect"},
        {golden, "NUMBER OF SPECIES :", " 30000 ", "Subscript out of range", "Number of species"},
        {golden, "NUMBER OF SPECIES :", " 70000 ", "Overflow", "Number of species"},
        {golden, "NUMBER OF SPECIES :", "many", "Type mismatch", "Number of species"},
        {golden, "Number of charge rection:", "NaN", "Type mismatch", "Number of charge reactions"},
        {golden, "Number of charge rection:", "Inf", "Type mismatch", "Number of charge reactions"},
        {golden, "Number of charge reaction:", " 6 ", "Subscript out of range", "Number of charge reactions"},
        {golden, "Number of chemical reaction:", " 1e999 ", "Overflow", "Number of chemical reactions"},
        {golden, "H+:", "maybe", "Type mismatch", "H+"},
        {golden, "OH-:", "perhaps", "Type mismatch", "OH-"},
        {golden, "Auto digital model:", " 3 ", "Invalid property value", "Auto digital model"},
        // The adsorption state closes each charge row of the mechanism dialog.
        {ec, "Number of charge rection:", " 1 \r\n1\r\nA\r\n1\r\n2\r\n1\r\n\r\n1\r\nyes", "Type mismatch",
         "Charge reaction 1, Adsorb"},
    };
    for (const Case& c : cases) {
        const int line = valueLine(c.file, c.label) + static_cast<int>(std::count(c.value.begin(), c.value.end(), '\n'));
        EXPECT_EQ(failureOf(withValue(c.file, c.label, c.value)),
                  c.description + " in line " + std::to_string(line) + " (" + c.item + ")")
            << c.label << " " << c.value;
    }
    // An early end names the item that was expected, on the line after the last one.
    const int count = static_cast<int>(lines.size());
    EXPECT_EQ(failureOf(fileOf(std::vector<std::string>(lines.begin(), lines.end() - 1))),
              "Input past end of file in line " + std::to_string(count) + " (Auto digital model)");
    EXPECT_EQ(failureOf(fileOf(std::vector<std::string>(lines.begin(), lines.begin() + 3))),
              "Input past end of file in line 4 (E start (V))");
    EXPECT_EQ(failureOf(""), "Input past end of file in line 1 (Technique)");
    const std::vector<std::string> ecLines = linesOf(ec);
    const auto kinetics = std::find(ecLines.begin(), ecLines.end(), "ks :") - ecLines.begin();
    EXPECT_EQ(failureOf(fileOf(std::vector<std::string>(ecLines.begin(), ecLines.begin() + kinetics + 1))),
              "Input past end of file in line " + std::to_string(kinetics + 2) + " (ks of charge reaction 1)");
}

TEST(ParameterFileReader, HostileTextsAreTakenAsTyped) {
    const std::string golden = goldenFile("default.par");
    const std::string longText(200000, 'x');
    ExperimentParams read;
    PlainTarget target(read);
    applyParameterFile(parseParameterFile(withValue(withValue(golden, "pH:", longText), "Vol (ml):", "NaN")),
                       target);
    EXPECT_EQ(read.TextpH, longText);
    EXPECT_EQ(read.txtVol, "NaN"); // a text field holds any text; its use reads it as 0
}

} // namespace
} // namespace tessaly
