// Import of measured curves: one hand-written sample of every file structure, read to the right
// points, sign, units and cycle; the program's own format read as it always was; the cycle choice
// and the limit.

#include "curves/MeasuredImport.h"

#include "base/Failure.h"
#include "curves/CurrentFile.h"
#include "curves/DelimitedText.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace tessaly {
namespace {

std::string sampleFile(const std::string& name) {
    std::ifstream in(std::string(TESSALY_TEST_DATA) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string failureOf(std::string_view text, const CycleChoice& choice = {}) {
    try {
        importMeasuredFile(text, choice);
    } catch (const Failure& f) {
        return f.description();
    }
    return "no failure";
}

bool hasNote(const ImportedCurve& c, std::string_view note) {
    for (const std::string& n : c.notes)
        if (n == note)
            return true;
    return false;
}

// Every sample is a triangular sweep 0 -> 0.3 -> 0 V in 0.1 V steps (7 points per cycle, the turn at
// index 3). In cycle k the file's current of point j is (j + 1 + 10 (k - 1)) in the file's unit.
struct Sample {
    const char* file;
    const char* choice;    // "" for the default
    int count;             // points imported
    double firstCurrent;   // A, after the sign conversion
    double lastCurrent;    // A
    double firstE;         // V
    double turnE;          // V, the potential at the switching point
    bool timed;            // the time column kept
    double firstTime;      // s
    const char* signNote;  // "" when no note is expected (the program's own format)
    const char* cycleNote; // "" when none
};

const Sample kSamples[] = {
    // Semicolons, decimal commas, mV and uA, padding rows; taken as written.
    {"measured_semicolon.csv", "", 7, 1.5e-6, -3.5e-6, 0.0, 0.3, false, 0, "currents taken as written (reduction positive)", ""},
    // Channel-named tab columns, anodic positive, two scans: the last by default, the first on request.
    {"measured_channel.txt", "", 7, -11e-6, -17e-6, 0.0, 0.3, true, 0.7, "anodic-positive export: currents negated",
     "Cycle 2 of 2 imported (last complete cycle)"},
    {"measured_channel.txt", "cycle=1", 7, -1e-6, -7e-6, 0.0, 0.3, true, 0.0, "anodic-positive export: currents negated",
     "Cycle 1 of 2 imported"},
    {"measured_channel.txt", "cycle=all", 14, -1e-6, -17e-6, 0.0, 0.3, true, 0.0,
     "anodic-positive export: currents negated", "All 2 cycles imported"},
    // Counted header block, decimal commas, mA (0.011 mA is 11 uA), Ewe (2 mV above the applied potential); the third
    // cycle holds two points only, so the second is the last complete one.
    {"measured_counted.mpt", "", 7, -11e-6, -17e-6, 0.002, 0.302, true, 0.7, "anodic-positive export: currents negated",
     "Cycle 2 of 3 imported (last complete cycle)"},
    {"measured_counted.mpt", "3", 2, -21e-6, -22e-6, 0.002, 0.102, true, 1.4, "anodic-positive export: currents negated",
     "Cycle 3 of 3 imported"},
    // Tagged header with two CURVE tables, decimal commas.
    {"measured_tagged.DTA", "", 7, -11e-6, -17e-6, 0.0, 0.3, true, 0.7, "anodic-positive export: currents negated",
     "Cycle 2 of 2 imported (last complete cycle)"},
    // Date and parameter lines over "Potential/V, Current/A"; reduction positive as written.
    {"measured_dated.txt", "", 7, 1e-6, 7e-6, 0.0, 0.3, false, 0, "currents taken as written (reduction positive)", ""},
    // Method line and column names, scans side by side in uA.
    {"measured_twoline.csv", "", 7, -11e-6, -17e-6, 0.0, 0.3, false, 0, "anodic-positive export: currents negated",
     "Cycle 2 of 2 imported (last complete cycle)"},
    // The same written as UTF-16 with a byte-order mark, as some instrument software saves it.
    {"measured_twoline_utf16.csv", "", 7, -11e-6, -17e-6, 0.0, 0.3, false, 0, "anodic-positive export: currents negated",
     "Cycle 2 of 2 imported (last complete cycle)"},
    // Blanks and decimal commas, no header; two cycles found from the potential alone.
    {"measured_blanks.txt", "", 7, 11e-6, 17e-6, 0.0, 0.3, false, 0, "currents taken as written (reduction positive)",
     "Cycle 2 of 2 imported (last complete cycle)"},
    {"measured_blanks.txt", "cycle=1", 7, 1e-6, 7e-6, 0.0, 0.3, false, 0, "currents taken as written (reduction positive)",
     "Cycle 1 of 2 imported"},
};

TEST(MeasuredImport, EverySampleReadsToTheRightPointsSignAndCycle) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(std::string(s.file) + " " + s.choice);
        CycleChoice choice;
        if (*s.choice)
            choice = parseCycleChoice(s.choice).value();
        const ImportedCurve c = importMeasuredFile(sampleFile(s.file), choice);
        ASSERT_EQ(c.count(), s.count);
        EXPECT_FALSE(c.ownFormat);
        EXPECT_NEAR(c.current.front(), s.firstCurrent, 1e-12 * std::fabs(s.firstCurrent));
        EXPECT_NEAR(c.current.back(), s.lastCurrent, 1e-12 * std::fabs(s.lastCurrent));
        EXPECT_NEAR(c.E.front(), s.firstE, 1e-12);
        if (s.count >= 7) {
            ASSERT_EQ(c.NForward, 3);
            EXPECT_NEAR(c.E[3], s.turnE, 1e-12);
        }
        EXPECT_EQ(c.time.size() == c.E.size(), s.timed);
        if (s.timed) {
            EXPECT_NEAR(c.time.front(), s.firstTime, 1e-12);
        }
        EXPECT_TRUE(hasNote(c, s.signNote));
        if (*s.cycleNote) {
            EXPECT_TRUE(hasNote(c, s.cycleNote)) << c.notes.back();
        } else {
            EXPECT_EQ(c.notes.size(), 2u);
        }
    }
}

// The store keeps the file's own cycle (scan) column with the points it imported; cycles found from
// the potential alone are no column of the file, and the next producer clears the column. Both
// stores set the display abscissa to the imported potentials.
TEST(MeasuredImport, TheStoreKeepsTheFilesCycleColumn) {
    struct Case {
        const char* file;
        const char* choice;
        std::vector<int> cycle; // expected in the store; empty when the file has no cycle column
    };
    const std::vector<int> both = {1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2};
    const Case cases[] = {
        {"measured_channel.txt", "cycle=all", both},
        {"measured_channel.txt", "", std::vector<int>(7, 2)},
        {"measured_counted.mpt", "3", {3, 3}},
        {"measured_blanks.txt", "cycle=all", {}},
        {"measured_semicolon.csv", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.choice);
        CurveStore store;
        store.CurveNo = 1;
        store.Cycle = {9, 9, 9}; // left from an earlier import
        CycleChoice choice;
        if (*c.choice)
            choice = parseCycleChoice(c.choice).value();
        const ImportedCurve curve = importMeasuredFile(sampleFile(c.file), choice);
        store.XAxis[0] = 99.0; // an abscissa left from an earlier run
        storeMeasuredCurve(store, curve);
        EXPECT_EQ(store.Cycle, c.cycle);
        for (int i = 0; i < curve.count(); ++i) // the commands redraw on XAxis: it is the potential
            ASSERT_EQ(store.XAxis[i], store.E[i]) << i;
        EXPECT_EQ(curve.cycleColumn, !c.cycle.empty());
    }
    CurveStore store;
    store.CurveNo = 1;
    storeMeasuredCurve(store, importMeasuredFile(sampleFile("measured_channel.txt"), {}));
    ASSERT_EQ(store.Cycle.size(), 7u);
    CurrentFileData own;
    own.E = {0.1, 0.2, 0.3};
    own.current = {1e-6, 2e-6, 3e-6};
    own.count = 3;
    storeImportedCurve(store, own);
    EXPECT_TRUE(store.Cycle.empty());
    EXPECT_EQ(store.XAxis[2], 0.3);
}

TEST(MeasuredImport, OwnFormatReadsEveryRowWithoutNotes) {
    const ImportedCurve c = importMeasuredFile(sampleFile("ramp201.csv"), {});
    EXPECT_TRUE(c.ownFormat);
    EXPECT_EQ(c.count(), 201);
    EXPECT_TRUE(c.notes.empty());
    EXPECT_DOUBLE_EQ(c.E.back(), 0.5);
    EXPECT_EQ(c.NForward, 201); // a single sweep never turns
}

TEST(MeasuredImport, Utf16TextsAreTranscodedOthersLeftAlone) {
    struct Case {
        std::string bytes;
        std::string utf8;
    };
    const Case cases[] = {
        {std::string("\xFF\xFE" "V\0,\0\xB5\0" "A\0", 10), "V,\xC2\xB5" "A"},  // little-endian, micro sign
        {std::string("\xFE\xFF\0V\0,\x03\xBC\0A", 10), "V,\xCE\xBC" "A"},      // big-endian, Greek mu
        {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80"},         // a surrogate pair
        {std::string("\xFF\xFE\x00\xDE" "1", 5), "\xEF\xBF\xBD\xEF\xBF\xBD"},  // lone low surrogate, odd byte
        {"0.1,2.5\r\n", "0.1,2.5\r\n"},                                             // unmarked: as it is
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8FromMarkedUtf16(c.bytes), c.utf8);
}

TEST(MeasuredImport, FailuresNameTheirCause) {
    EXPECT_EQ(failureOf("no numbers here\r\nnone at all\r\n"), "Type mismatch in line 1");
    EXPECT_EQ(failureOf(sampleFile("measured_channel.txt"), *parseCycleChoice("cycle=3")),
              "Cycle 3 not in file (2 cycles)");
    EXPECT_FALSE(parseCycleChoice("cycle=0"));
    EXPECT_FALSE(parseCycleChoice("cycles=2"));
    EXPECT_EQ(parseCycleChoice("ALL")->kind, CycleChoice::Kind::All);
}

TEST(MeasuredImport, FilesBeyondTheLimitAreRefusedNamingIt) {
    std::string big = "E (V)\tI (A)\n";
    big.reserve(static_cast<std::size_t>(kMaxImportPoints + 2) * 8);
    for (int k = 0; k <= kMaxImportPoints; ++k)
        big += "0\t1\n";
    EXPECT_EQ(failureOf(big), "More than 1000000 data points: the curve store holds at most 1000000 points");
}

TEST(MeasuredImport, ColumnNamesGiveQuantityAndUnit) {
    struct Case {
        const char* name;
        Quantity quantity;
        double factor;
    };
    const Case cases[] = {
        {"Ewe/V", Quantity::Potential, 1},           {"<I>/mA", Quantity::Current, 1e-3},
        {"WE(1).Current (A)", Quantity::Current, 1}, {"Potential applied (V)", Quantity::Potential, 1},
        {"E [mV]", Quantity::Potential, 1e-3},       {"Current (\xC2\xB5" "A)", Quantity::Current, 1e-6},
        {"I/nA", Quantity::Current, 1e-9},           {"uA", Quantity::Current, 1e-6},
        {"time/s", Quantity::Time, 1},               {"cycle number", Quantity::Cycle, 1},
        {"Scan", Quantity::Cycle, 1},                {"control/V", Quantity::Unknown, 1},
        {"I Range", Quantity::Unknown, 1},           {"Index", Quantity::Unknown, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ColumnMeaning m = columnMeaning(c.name);
        EXPECT_EQ(m.quantity, c.quantity);
        EXPECT_DOUBLE_EQ(m.factor, c.factor);
    }
}

TEST(MeasuredImport, NumbersWithDecimalPointOrComma) {
    EXPECT_DOUBLE_EQ(*parseDecimal(" 1,5E-3 ", true), 1.5e-3);
    EXPECT_DOUBLE_EQ(*parseDecimal("+2.5", false), 2.5);
    EXPECT_FALSE(parseDecimal("1,5", false));
    EXPECT_FALSE(parseDecimal("nan", false));
    EXPECT_FALSE(parseDecimal("", false));
    EXPECT_FALSE(parseDecimal("1e999", false));
}

TEST(MeasuredImport, CyclesFromThePotentialStartingMidRange) {
    // 0.1 -> 0.3 -> 0 -> 0.1 is one cycle; the second starts where the potential is back at 0.1 V.
    const std::vector<double> E{0.1, 0.2, 0.3, 0.2, 0.1, 0.0, 0.1, 0.2, 0.3, 0.2, 0.1, 0.0, 0.1};
    const std::vector<int> expected{1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3};
    EXPECT_EQ(cyclesFromPotential(E), expected);
    EXPECT_EQ(firstSwitchingPoint(E), 2);
}

} // namespace
} // namespace tessaly
