// The File menu through the workbench: what each command reads, writes, logs and shows, and the
// files it must refuse without changing the experiment or the curves.

#include "base/AtomicFile.h"
#include "base/NumberText.h"
#include "support/RecordingUserPort.h"
#include "workbench/Commands.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <signal.h>
#include <unistd.h>

namespace tessaly {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
std::string golden(const std::string& name) {
    return readBytes(fs::path(TESSALY_TEST_DATA) / name);
}

struct Bench {
    RecordingUserPort port;
    Workbench wb{port};
    fs::path dir;

    Bench() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("tessaly-files-" + std::string(info->test_suite_name()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~Bench() { fs::remove_all(dir); }
    std::string file(const std::string& name) const { return (dir / name).string(); }
    void answer(const std::string& path) { port.fileAnswers.push_back(path); }
    void cancel() { port.fileAnswers.push_back(std::nullopt); }
    std::string lastMessage() const { return port.messages.empty() ? "" : port.messages.back().text; }
};

// --- every save: a full device, a kill during the save -------------------------------------------------

struct SaveCommand {
    const char* what; // as the message and the result window name it
    void (*run)(Workbench&);
};
const SaveCommand kSaves[] = {
    {"Save parameter", saveParameterCommand},
    {"Save current", exportCurrentCommand},
    {"Save waveform", saveWaveformCommand},
};

// The device fills up part way through the new bytes: the command says so, the previous file keeps
// its bytes, no temporary file is left beside it and the result window logs nothing. With room
// enough the same save goes through.
TEST(EverySave, FullDeviceKeepsThePreviousFileAndSaysWhy) {
    for (const SaveCommand& save : kSaves) {
        SCOPED_TRACE(save.what);
        for (const std::size_t room : {std::size_t{0}, std::size_t{100}}) {
            Bench b;
            simulateCommand(b.wb);
            const std::size_t logged = b.wb.log.text().size();
            writeBytes(b.file("kept.csv"), "previous contents");
            {
                ScopedSaveFaults full({.spaceLeft = room});
                b.answer(b.file("kept.csv"));
                save.run(b.wb);
            }
            EXPECT_EQ(b.lastMessage(), std::string(save.what) + " Error: Path/File access error: cannot write " +
                                           b.file("kept.csv") + " (No space left on device)");
            EXPECT_EQ(b.port.messages.back().icon, MessageIcon::Critical);
            EXPECT_EQ(readBytes(b.file("kept.csv")), "previous contents");
            EXPECT_EQ(std::distance(fs::directory_iterator(b.dir), fs::directory_iterator()), 1);
            EXPECT_EQ(b.wb.log.text().size(), logged);
            b.answer(b.file("kept.csv"));
            save.run(b.wb);
            EXPECT_NE(readBytes(b.file("kept.csv")), "previous contents");
            EXPECT_EQ(b.wb.log.text().find(std::string(save.what) + " to file " + b.file("kept.csv")), logged);
        }
    }
}

// The program killed when the new bytes are complete but not yet in place: the previous file is
// whole, never a mixture or empty.
TEST(EverySaveDeathTest, KillDuringTheSaveKeepsThePreviousFile) {
    for (const SaveCommand& save : kSaves) {
        SCOPED_TRACE(save.what);
        Bench b;
        simulateCommand(b.wb);
        writeBytes(b.file("kept.csv"), "previous contents");
        b.answer(b.file("kept.csv"));
        EXPECT_EXIT(
            {
                ScopedSaveFaults kill({.beforeRename = [](const std::string&) { ::kill(::getpid(), SIGKILL); }});
                save.run(b.wb);
            },
            ::testing::KilledBySignal(SIGKILL), "");
        EXPECT_EQ(readBytes(b.file("kept.csv")), "previous contents");
    }
}

// --- parameter files --------------------------------------------------------------------------------

TEST(SaveParameter, DefaultExperimentIsTheFileTheTableDescribes) {
    Bench b;
    b.answer(b.file("default.par"));
    saveParameterCommand(b.wb);
    EXPECT_EQ(readBytes(b.file("default.par")), golden("default.par"));
    EXPECT_EQ(b.wb.log.text(), "Save parameter to file " + b.file("default.par") + " :\r\n");
    EXPECT_TRUE(b.port.messages.empty());
}

TEST(SaveParameter, CancelIsSilentAndAFailureKeepsTheOldFile) {
    Bench b;
    b.cancel();
    saveParameterCommand(b.wb);
    EXPECT_TRUE(b.port.messages.empty());
    EXPECT_EQ(b.wb.log.text(), "");

    writeBytes(b.file("old.par"), "previous contents");
    b.wb.params.NumSpecies = 17; // more species than rows: the writer fails
    b.answer(b.file("old.par"));
    saveParameterCommand(b.wb);
    EXPECT_EQ(readBytes(b.file("old.par")), "previous contents");
    EXPECT_EQ(b.lastMessage(), "Save parameter Error: Subscript out of range");
    EXPECT_EQ(b.wb.log.text(), "");

    b.wb.params.NumSpecies = 2;
    b.answer(b.file("no such folder/new.par"));
    saveParameterCommand(b.wb);
    EXPECT_EQ(b.lastMessage().rfind("Save parameter Error: Path/File access error", 0), 0u)
        << b.lastMessage();
    EXPECT_EQ(b.wb.log.text(), "");
    for (const auto& entry : fs::directory_iterator(b.dir)) // no temporary file is left behind
        EXPECT_EQ(entry.path().filename(), "old.par");
}

// The file separates items with commas and holds one per line: a text it could not give back as typed
// is refused on leaving its field, with the field named, and Save Parameter does not write it.
TEST(SaveParameter, TextsTheFileCannotHoldAreRefused) {
    struct Case {
        const char* field;
        const char* text;
        std::string message;
    };
    const std::string comma = " cannot hold a comma: the parameter file separates its items with commas.";
    const Case cases[] = {
        {"Estart", "0,3", "E start (V)" + comma},
        {"V", "0,1", "v" + comma},
        {"txttemp", "25,5", "T (C)" + comma},
        {"Rotation", "1,000", "Rotation (rpm)" + comma},
        {"TextElectrolyte", "KCl,NaCl", "Electrolyte" + comma},
        {"TextpH", "7,0", "pH" + comma},
        {"charge(12)", "A,X", "Charge reaction 1, oxidised species" + comma},
        {"chem2(1)", "B,", "Chemical reaction 1, first reactant" + comma},
        {"ks(1)", "1,5", "ks of charge reaction 1" + comma},
        {"C(1)", "1e-3,", "C of species 1" + comma},
        {"D(2)", ",1e-5", "D of species 2" + comma},
        {"kf(1)", "1,2", "kf of chemical reaction 1" + comma},
        {"TextElectrolyte", "KCl\nNaCl",
         "Electrolyte cannot hold a line break: the parameter file holds one item per line."},
        {"TextElectrolyte", " \"KCl\"",
         "Electrolyte cannot begin with a double quote: the parameter file reads it as a quoted item."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.text);
        Bench b;
        if (std::string_view(c.field).starts_with("chem2") || std::string_view(c.field).starts_with("kf"))
        { // a mechanism with a chemical reaction: its rows are written
            selectOption(b.wb, "mech", 7);
            okForm(b.wb, "FormMech");
            ASSERT_EQ(b.wb.params.NumChem, 1);
        }
        ASSERT_EQ(setField(b.wb, c.field, c.text), FormStatus::Done);
        EXPECT_EQ(b.lastMessage(), c.message);
        EXPECT_EQ(b.port.messages.back().title, "Error");
        writeBytes(b.file("old.par"), "previous contents");
        b.answer(b.file("old.par"));
        saveParameterCommand(b.wb);
        EXPECT_EQ(b.lastMessage(), "Save parameter Error: " + c.message);
        EXPECT_EQ(readBytes(b.file("old.par")), "previous contents");
        EXPECT_EQ(b.wb.log.text(), "");
    }
    // Other separators are the user's to choose: the text is taken and written as typed.
    Bench b;
    setField(b.wb, "TextElectrolyte", "KCl NaCl");
    EXPECT_TRUE(b.port.messages.empty());
    b.answer(b.file("ok.par"));
    saveParameterCommand(b.wb);
    EXPECT_TRUE(b.port.messages.empty());
    EXPECT_NE(readBytes(b.file("ok.par")).find("Electrolyte:\r\nKCl NaCl\r\n"), std::string::npos);
}

TEST(OpenParameter, RunsTheSimulationAndLogsTheFile) {
    Bench b;
    writeBytes(b.file("ec.par"), golden("ec.par"));
    b.answer(b.file("ec.par"));
    openParameterCommand(b.wb);
    const ExperimentParams& p = b.wb.params;
    EXPECT_EQ(p.Technique, 2); // committed by the simulation's commits
    EXPECT_EQ(p.Estart, "0.2");
    EXPECT_EQ(p.Eend, "-0.6");
    EXPECT_EQ(p.TextElectrolyte, "KNO3");
    EXPECT_EQ(p.charge[16], ""); // an empty text round-trips as an empty line
    EXPECT_TRUE(p.CheckpH);
    EXPECT_FALSE(p.OptionH);
    EXPECT_TRUE(p.OptionOH);
    EXPECT_EQ(p.ComboScan, 1);
    EXPECT_EQ(b.port.plotTitle, b.file("ec.par"));
    const std::string& log = b.wb.log.text();
    const std::string last = "Open parameter from file " + b.file("ec.par") + " :\r\n";
    ASSERT_GE(log.size(), last.size());
    EXPECT_EQ(log.substr(log.size() - last.size()), last);
    EXPECT_GT(b.wb.store.NPoints, 0); // the simulation ran
    EXPECT_TRUE(b.wb.menus.isEnabled("mnuPlot"));
}

TEST(OpenParameter, TwoSpeciesRestoreRowsOneAndTwoOnly) {
    Bench b;
    b.wb.params.C[3] = "7e-3";
    b.wb.params.D[3] = "3e-6";
    std::string text = golden("default.par");
    text.replace(text.find("C :\r\n0\r\n"), 8, "C :\r\n5e-4\r\n"); // species 2
    writeBytes(b.file("two.par"), text);
    b.answer(b.file("two.par"));
    openParameterCommand(b.wb);
    EXPECT_EQ(b.wb.params.C[2], "5e-4");
    EXPECT_EQ(b.wb.params.C[3], "7e-3");
    EXPECT_EQ(b.wb.params.D[3], "3e-6");
}

TEST(OpenParameter, SavedAndReopenedExperimentKeepsItsTexts) {
    Bench b;
    setField(b.wb, "Estart", "0.25");
    setField(b.wb, "charge(12)", "");
    setField(b.wb, "TextElectrolyte", "NaClO4");
    b.answer(b.file("round.par"));
    saveParameterCommand(b.wb);
    RecordingUserPort otherPort; // a second session opens the file
    Workbench other(otherPort);
    otherPort.fileAnswers.push_back(b.file("round.par"));
    openParameterCommand(other);
    EXPECT_EQ(other.params.Estart, "0.25");
    EXPECT_EQ(other.params.charge[12], "");
    EXPECT_EQ(other.params.TextElectrolyte, "NaClO4");
}

TEST(OpenParameter, RefusedFileChangesNothing) {
    struct Case {
        std::string from, to, description;
    };
    const Case cases[] = {
        {"Scan:\r\n 1 ", "Scan:\r\n 4 ", "Invalid property value in line 16 (Scan)"},
        {"NUMBER OF SPECIES :\r\n 3 ", "NUMBER OF SPECIES :\r\nmany", "Type mismatch in line 94 (Number of species)"},
        {"Vol (ml):\r\n10\r\nAuto digital model:\r\n 1 \r\n", "", "Input past end of file in line 160 (Vol (ml))"},
    };
    for (const Case& c : cases) {
        Bench b;
        std::string text = golden("ec.par"); // every restored value differs from the defaults
        text.replace(text.find(c.from), c.from.size(), c.to);
        writeBytes(b.file("bad.par"), text);
        const ExperimentParams before = b.wb.params;
        b.answer(b.file("bad.par"));
        openParameterCommand(b.wb);
        EXPECT_EQ(b.lastMessage(), "Read parameter Error: " + c.description);
        EXPECT_EQ(b.wb.log.text(), "");
        EXPECT_EQ(b.port.plotTitle, "");
        const ExperimentParams& p = b.wb.params;
        EXPECT_EQ(p.optTech, before.optTech);
        EXPECT_EQ(p.Estart, before.Estart);
        EXPECT_EQ(p.ComboScan, before.ComboScan);
        EXPECT_EQ(p.Electrode, before.Electrode);
        EXPECT_EQ(p.mech, before.mech);
        EXPECT_EQ(p.C[1], before.C[1]);
        EXPECT_EQ(p.TextElectrolyte, before.TextElectrolyte);
    }
    Bench b;
    b.cancel();
    openParameterCommand(b.wb);
    EXPECT_EQ(b.lastMessage(), "Read parameter Error: Cancel was selected.");
    b.answer(b.file("missing.par"));
    openParameterCommand(b.wb);
    EXPECT_EQ(b.lastMessage(), "Read parameter Error: File not found");
}

// --- current files ---------------------------------------------------------------------------------

TEST(ImportCurrent, TwoHundredAndOneRowsInFiveMillivoltSteps) {
    Bench b;
    writeBytes(b.file("ramp.csv"), golden("ramp201.csv"));
    b.answer(b.file("ramp.csv"));
    importCurrentCommand(b.wb);
    const CurveStore& s = b.wb.store;
    EXPECT_EQ(s.NPoints, 201);
    EXPECT_EQ(s.LastIndex, 200);
    EXPECT_EQ(s.LastPoint, 199);
    EXPECT_EQ(s.CurveNo, 1);
    EXPECT_DOUBLE_EQ(s.Curve(200, 1), 5e-6);
    EXPECT_EQ(b.wb.params.Estep, "0.005");
    EXPECT_EQ(b.wb.log.text(), "Open current from file " + b.file("ramp.csv") +
                                   " :\r\nNumber of data point = 201\r\nE start = 0.3\r\nE end = -0.4\r\n"
                                   "E step = 0.005\r\n");
    EXPECT_EQ(b.port.plotTitle, b.file("ramp.csv"));
    EXPECT_TRUE(b.wb.plotRequest.valid);
    EXPECT_TRUE(b.wb.menus.isEnabled("mnuPlot"));
    EXPECT_TRUE(b.wb.menus.isEnabled("mnuAnalyze"));
}

// Potentials near the largest double: the step between them is beyond the range of a double, so the
// E step field keeps its text (never "INF") and the result window says why.
TEST(ImportCurrent, StepBeyondTheRangeOfADoubleKeepsTheStep) {
    const struct {
        const char* label;
        const char* file;
        const char* step; // the E step after the import
    } cases[] = {
        {"alternating signs", " 1.7E+308 , 1E-6 \r\n-1.7E+308 , 2E-6 \r\n 1.7E+308 , 3E-6 \r\n 0 , 0 \r\n", "0.005"},
        {"largest and its negative", " 0 , 0 \r\n 1.79E+308 , 2E-6 \r\n-1.79E+308 , 3E-6 \r\n 0 , 0 \r\n", "0.005"},
        {"huge but finite step", " 0 , 0 \r\n 1E+308 , 2E-6 \r\n-5E+307 , 3E-6 \r\n 0 , 0 \r\n", "1.5E+308"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Bench b;
        ASSERT_EQ(b.wb.params.Estep, "0.005");
        writeBytes(b.file("huge.csv"), c.file);
        b.answer(b.file("huge.csv"));
        importCurrentCommand(b.wb);
        EXPECT_EQ(b.wb.store.NPoints, 4);
        EXPECT_EQ(b.wb.params.Estep, c.step);
        const std::string log = b.wb.log.text();
        EXPECT_NE(log.find(std::string("E step = ") + c.step + "\r\n"), std::string::npos) << log;
        EXPECT_EQ(log.find("INF"), std::string::npos) << log;
        const bool kept = std::string(c.step) == "0.005";
        EXPECT_EQ(log.find("The file's potential step is not a finite number: E step keeps 0.005 V.\r\n") !=
                      std::string::npos,
                  kept)
            << log;
    }
}

TEST(ImportCurrent, RefusedFileLeavesTheCurvesAlone) {
    Bench b;
    simulateCommand(b.wb);
    const int points = b.wb.store.NPoints;
    const double e5 = b.wb.store.E[5], i5 = b.wb.store.Curve(5, 1);
    const std::string logBefore = b.wb.log.text();
    writeBytes(b.file("bad.csv"), "E;I\r\nnone;none\r\n\r\n");
    b.answer(b.file("bad.csv"));
    importCurrentCommand(b.wb);
    EXPECT_EQ(b.lastMessage(), "ReadData Error: Type mismatch in line 1");
    EXPECT_EQ(b.wb.store.NPoints, points);
    EXPECT_EQ(b.wb.store.E[0], leadingNumber(b.wb.params.Estart));
    EXPECT_EQ(b.wb.store.E[5], e5);
    EXPECT_EQ(b.wb.store.Curve(5, 1), i5);
    EXPECT_EQ(b.wb.log.text(), logBefore);
    b.cancel();
    importCurrentCommand(b.wb);
    EXPECT_EQ(b.lastMessage(), "ReadData Error: Cancel was selected.");
}

TEST(ImportCurrent, RowsWithoutNumbersAreSkippedAndTheStructureIsReported) {
    Bench b;
    writeBytes(b.file("gaps.csv"), "-0.5,1e-6\r\n-0.495,2e-6\r\n-0.49,oops\r\n,\r\n-0.485,3e-6\r\n");
    b.answer(b.file("gaps.csv"));
    importCurrentCommand(b.wb);
    EXPECT_EQ(b.wb.store.NPoints, 3);
    EXPECT_EQ(b.wb.store.Curve(2, b.wb.store.CurveNo), 3e-6);
    const std::string& log = b.wb.log.text();
    EXPECT_NE(log.find("File structure: delimited table without header\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("currents taken as written (reduction positive)\r\n"), std::string::npos) << log;
}

TEST(ExportCurrent, ActiveRangeOfTheCurrentCurve) {
    Bench b;
    CurveStore& s = b.wb.store;
    const double E[] = {9, -0.5, 0, 0.25, 9};
    const double current[] = {9, -1.5e-6, 0, 2e-5, 9};
    for (int i = 0; i < 5; ++i) {
        s.E[i] = E[i];
        s.Curve(i, 2) = current[i];
    }
    s.NPoints = 5;
    s.FirstPoint = 1;
    s.LastPoint = 3;
    s.CurveNo = 2;
    b.answer(b.file("out.csv"));
    exportCurrentCommand(b.wb);
    EXPECT_EQ(readBytes(b.file("out.csv")), golden("export3.csv"));
    EXPECT_EQ(b.wb.log.text(), "Save current to file " + b.file("out.csv") + " :\r\n");
    b.cancel();
    exportCurrentCommand(b.wb);
    EXPECT_TRUE(b.port.messages.empty());
}

// An empty store is not written as "0,0", and a non-finite point refuses the whole file: the file
// keeps what it held, and nothing is reported as saved.
TEST(ExportCurrent, RefusesNoDataAndNonFiniteNumbers) {
    Bench b;
    CurveStore& s = b.wb.store;
    b.answer(b.file("empty.csv"));
    exportCurrentCommand(b.wb);
    EXPECT_EQ(b.lastMessage(), "There is no data to export: simulate or import a curve first.");
    EXPECT_FALSE(std::filesystem::exists(b.file("empty.csv")));

    for (const double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        for (int i = 0; i < 3; ++i) {
            s.E[i] = 0.1 * i;
            s.Curve(i, 1) = 1e-6 * i;
        }
        s.Curve(1, 1) = bad;
        s.NPoints = 3;
        s.FirstPoint = 0;
        s.LastPoint = 2;
        s.CurveNo = 1;
        b.wb.log.clear();
        b.answer(b.file("bad.csv"));
        exportCurrentCommand(b.wb);
        EXPECT_EQ(b.lastMessage(),
                  "Save current Error: a number that is not finite cannot be written; nothing was saved");
        EXPECT_FALSE(std::filesystem::exists(b.file("bad.csv")));
        EXPECT_EQ(b.wb.log.text(), "");
    }
}

// A file of one or two records leaves the active range empty: exporting it would write an empty
// file that Import cannot read back, so both exports refuse and write nothing.
TEST(ExportCurrent, EmptyActiveRangeIsRefused) {
    const struct {
        const char* label;
        const char* file;
        bool afterRun; // a run leaves FirstPoint at 1, which Import keeps
    } cases[] = {
        {"one record", " .1 , 1E-06 \r\n", false},
        {"two records after a run", " .1 , 1E-06 \r\n .2 , 2E-06 \r\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Bench b;
        if (c.afterRun)
            simulateCommand(b.wb);
        writeBytes(b.file("short.csv"), c.file);
        b.answer(b.file("short.csv"));
        importCurrentCommand(b.wb);
        ASSERT_GT(b.wb.store.NPoints, 0);
        const std::string log = b.wb.log.text();
        b.answer(b.file("out.csv"));
        exportCurrentCommand(b.wb);
        EXPECT_EQ(b.lastMessage(), "There is no data to export: the active range holds no point.");
        EXPECT_FALSE(std::filesystem::exists(b.file("out.csv")));
        b.answer(b.file("curves.csv"));
        exportCurvesCommand(b.wb);
        EXPECT_EQ(b.lastMessage(), "There is no data to export: the active range holds no point.");
        EXPECT_FALSE(std::filesystem::exists(b.file("curves.csv")));
        EXPECT_EQ(b.wb.log.text(), log);
    }
}

// --- waveforms --------------------------------------------------------------------------------------

TEST(DesignCommit, DefaultGridAtHalfASecondOnTheInstrumentOk) {
    Bench b;
    selectOption(b.wb, "optTech", 9);
    okForm(b.wb, "FormTech");
    setField(b.wb, "td", "0.5");
    okForm(b.wb, "FormIns");
    EXPECT_EQ(b.wb.store.NPoints, 605);
    EXPECT_DOUBLE_EQ(b.wb.store.WaveT[604], 302);
    for (int k = 1; k <= 11; ++k)
        setField(b.wb, "t1(" + std::to_string(k) + ")", "0");
    okForm(b.wb, "FormIns");
    EXPECT_EQ(b.wb.store.NPoints, 11);
}

TEST(DesignCommit, TooManySamplesAreReported) {
    Bench b;
    selectOption(b.wb, "optTech", 9);
    okForm(b.wb, "FormTech");
    setField(b.wb, "td", "0.01"); // 300 s at 10 ms: far beyond 5001 samples
    b.port.messages.clear();
    okForm(b.wb, "FormIns");
    ASSERT_FALSE(b.port.messages.empty());
    EXPECT_EQ(b.lastMessage(), "Design waveform Error: Subscript out of range");
}

TEST(DesignTime, ValidationMessagesOnLeavingTheField) {
    Bench b;
    setField(b.wb, "t1(3)", "-5");
    EXPECT_EQ(b.lastMessage(), "This value must be positive.");
    EXPECT_EQ(b.port.messages.back().title, "Error");
    EXPECT_EQ(b.port.messages.back().icon, MessageIcon::Critical);
    setField(b.wb, "t1(3)", "50");
    EXPECT_EQ(b.lastMessage(), "This value must >= 100");
    const std::size_t shown = b.port.messages.size();
    setField(b.wb, "t1(3)", "");
    EXPECT_EQ(b.wb.params.t1[3], "0"); // an empty time becomes 0, which ends the polyline
    EXPECT_EQ(b.port.messages.size(), shown);
}

TEST(Waveform, DesignGridSavedAndReadBackWithTechniqueNine) {
    Bench b;
    selectOption(b.wb, "optTech", 9);
    okForm(b.wb, "FormTech");
    b.answer(b.file("design.csv"));
    saveWaveformCommand(b.wb);
    EXPECT_EQ(readBytes(b.file("design.csv")), golden("waveform_design.csv"));
    EXPECT_EQ(b.wb.log.text(),
              "Save waveform to file " + b.file("design.csv") + " :\r\nNumber of data point = 6\r\n");
    const ExperimentParams saved = b.wb.params;
    for (int k = 0; k < 12; ++k) {
        b.wb.params.t1[k] = std::to_string(k);
        b.wb.params.E1[k] = "0.9";
    }
    b.answer(b.file("design.csv"));
    EXPECT_TRUE(openWaveformCommand(b.wb));
    EXPECT_EQ(b.wb.params.t1, saved.t1);
    EXPECT_EQ(b.wb.params.E1, saved.E1);
}

TEST(Waveform, SampledProgrammeOpensWithTechniqueTen) {
    Bench b;
    selectOption(b.wb, "optTech", 10);
    okForm(b.wb, "FormTech");
    writeBytes(b.file("wave.csv"), " 0 , .4 \r\n .5 ,-.4 \r\n 1 , .1 \r\n 1.5 ,-.6 \r\n");
    b.answer(b.file("wave.csv"));
    EXPECT_TRUE(openWaveformCommand(b.wb));
    const CurveStore& s = b.wb.store;
    EXPECT_EQ(s.NPoints, 4);
    EXPECT_EQ(s.LastIndex, 3);
    EXPECT_EQ(s.WaveT[3], 1.5);
    EXPECT_EQ(s.E[3], -0.6);
    EXPECT_EQ(b.wb.params.TextTexp, "1.5");
    EXPECT_EQ(b.wb.params.td, "0.5");
    EXPECT_EQ(b.port.plotTitle, b.file("wave.csv"));
    EXPECT_EQ(b.wb.log.text(), "Open waveform from file " + b.file("wave.csv") +
                                   " :\r\nNumber of data point = 4\r\nE start = 0.4\r\nE min = -0.6\r\n"
                                   "E max = 0.4\r\n");
    b.answer(b.file("again.csv"));
    saveWaveformCommand(b.wb);
    EXPECT_EQ(readBytes(b.file("again.csv")), readBytes(b.file("wave.csv")));
}

// The programmes the run builds (techniques 1-8) are saved with their times, one drop time per point,
// so that the file plays the same programme again as an imported waveform.
TEST(Waveform, BuiltProgrammeSavedWithItsTimesOpensWithTechniqueTen) {
    for (int technique = 1; technique <= 8; ++technique) {
        SCOPED_TRACE("technique " + std::to_string(technique));
        Bench b;
        selectOption(b.wb, "optTech", technique);
        okForm(b.wb, "FormTech");
        setField(b.wb, "td", "0.25");
        okForm(b.wb, "FormIns");
        simulateCommand(b.wb);
        const CurveStore built = b.wb.store;
        const double drop = b.wb.params.committed.DropTime;
        ASSERT_GT(drop, 0);
        ASSERT_GT(built.LastIndex, 2);
        b.answer(b.file("built.csv"));
        saveWaveformCommand(b.wb);

        selectOption(b.wb, "optTech", 10);
        okForm(b.wb, "FormTech");
        b.answer(b.file("built.csv"));
        ASSERT_TRUE(openWaveformCommand(b.wb)) << b.lastMessage();
        const CurveStore& read = b.wb.store;
        ASSERT_EQ(read.LastIndex, built.LastIndex);
        for (int i = 0; i <= built.LastIndex; ++i) {
            EXPECT_NEAR(read.WaveT[i], i * drop, 1e-12 * i * drop) << i;
            EXPECT_NEAR(read.E[i], built.E[i], 1e-14) << i; // fifteen digits of print form
        }
    }
}

TEST(Waveform, RefusedFilesChangeNothing) {
    Bench b;
    selectOption(b.wb, "optTech", 9);
    okForm(b.wb, "FormTech");
    std::string thirteen;
    for (int k = 0; k < 13; ++k)
        thirteen += std::to_string(10 * k) + ",0.1\r\n";
    writeBytes(b.file("long.csv"), thirteen);
    const ExperimentParams before = b.wb.params;
    const int points = b.wb.store.NPoints;
    b.answer(b.file("long.csv"));
    EXPECT_FALSE(openWaveformCommand(b.wb));
    EXPECT_EQ(b.lastMessage(), "ReadWaveform Error: Subscript out of range in line 13");
    EXPECT_EQ(b.wb.params.t1, before.t1);
    EXPECT_EQ(b.wb.store.NPoints, points);
    EXPECT_EQ(b.wb.log.text(), "");
    EXPECT_EQ(b.port.plotTitle, "");
    b.cancel();
    EXPECT_FALSE(openWaveformCommand(b.wb));
    EXPECT_EQ(b.lastMessage(), "ReadWaveform Error: Cancel was selected.");
}

} // namespace
} // namespace tessaly
