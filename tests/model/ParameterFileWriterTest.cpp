// The parameter file as written: byte for byte against files composed by hand from the item table.

#include "base/Failure.h"
#include "model/ParameterFile.h"
#include "model/ParameterFileTestSupport.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using testing::ecExperiment;
using testing::goldenFile;

TEST(ParameterFileWriter, DefaultExperimentIsTheGoldenFile) {
    const ExperimentParams p;
    EXPECT_EQ(parameterFileText(p), goldenFile("default.par"));
}

TEST(ParameterFileWriter, ChemicalReactionsAdsorptionAndOptionsAreTheGoldenFile) {
    EXPECT_EQ(parameterFileText(ecExperiment()), goldenFile("ec.par"));
}

TEST(ParameterFileWriter, LoopsFollowTheCurrentCounts) {
    ExperimentParams p;
    const std::size_t sizeOfDefault = parameterFileText(p).size();
    p.NumSpecies = 3; // one more species row: twelve more lines
    const std::string withThree = parameterFileText(p);
    EXPECT_NE(withThree.find("Species: \r\n 3 \r\nC\r\n"), std::string::npos);
    std::size_t extraLines = 0;
    for (std::size_t i = 0; i < withThree.size(); ++i)
        extraLines += withThree[i] == '\n';
    EXPECT_EQ(extraLines, 140u + 12u);
    EXPECT_GT(withThree.size(), sizeOfDefault);
}

TEST(ParameterFileWriter, CountsBeyondTheRowsAreRefused) {
    struct Case {
        int ExperimentParams::*count;
        int value;
    };
    const Case cases[] = {{&ExperimentParams::NumSpecies, 17},
                          {&ExperimentParams::NumCharge, 6},
                          {&ExperimentParams::NumChem, 10},
                          {&ExperimentParams::NumCharge, -1}};
    for (const Case& c : cases) {
        ExperimentParams p;
        p.*c.count = c.value;
        try {
            parameterFileText(p);
            ADD_FAILURE() << "count " << c.value << " was written";
        } catch (const Failure& f) {
            EXPECT_EQ(f.description(), "Subscript out of range");
        }
    }
}

// Every text the file holds, also those no dialog checks on leaving (the species names the mechanism
// writes, a quoted item a reader took with its comma), is refused rather than written shifted.
TEST(ParameterFileWriter, TextsThatWouldNotReadBackAreRefused) {
    struct Case {
        std::string ExperimentParams::*text; // or, when null, the indexed row below
        std::string value;
        std::string message;
    };
    const Case cases[] = {
        {&ExperimentParams::TextElectrolyte, " K,Cl ",
         "Electrolyte cannot hold a comma: the parameter file separates its items with commas."},
        {&ExperimentParams::tsa2, "1\r\n2", "t s2 (s) cannot hold a line break: the parameter file holds one item per line."},
        {&ExperimentParams::txtVol, "\"10",
         "Vol (ml) cannot begin with a double quote: the parameter file reads it as a quoted item."},
        {nullptr, "A,X", "Name of species 2 cannot hold a comma: the parameter file separates its items with commas."},
    };
    for (const Case& c : cases) {
        ExperimentParams p;
        if (c.text)
            p.*c.text = c.value;
        else
            p.specie[2] = c.value;
        try {
            parameterFileText(p);
            ADD_FAILURE() << c.value << " was written";
        } catch (const Failure& f) {
            EXPECT_EQ(f.description(), c.message);
        }
    }
    // A quote inside a text is written and read back as it is.
    ExperimentParams p;
    p.TextElectrolyte = "K\"Cl";
    const std::string text = parameterFileText(p);
    EXPECT_NE(text.find("Electrolyte:\r\nK\"Cl\r\n"), std::string::npos);
    ExperimentParams read;
    testing::PlainTarget target(read);
    applyParameterFile(parseParameterFile(text), target);
    EXPECT_EQ(read.TextElectrolyte, p.TextElectrolyte);
}

} // namespace
} // namespace tessaly

namespace tessaly {
namespace {

// A number the file could not give back as it was (beyond the range of a double, or an infinity or a
// NaN a computation printed) is refused with the field named; the names and captions, which hold no
// number, are written as they are.
TEST(ParameterFileWriter, NumbersThatAreNotFiniteAreRefused) {
    struct Case {
        const char* label;
        void (*set)(ExperimentParams&);
        const char* message; // empty: written
    };
    const Case cases[] = {
        {"E start 1e400", [](ExperimentParams& p) { p.Estart = "1e400"; },
         "E start (V) is not a finite number (1e400): type a number within the range of a double; nothing was "
         "saved."},
        {"scan rate INF", [](ExperimentParams& p) { p.V = "INF"; },
         "v is not a finite number (INF): type a number within the range of a double; nothing was saved."},
        {"area -inf", [](ExperimentParams& p) { p.ARE = " -inf"; },
         "Area Of Electrode (cm^2) is not a finite number ( -inf): type a number within the range of a double; "
         "nothing was saved."},
        {"pH NaN", [](ExperimentParams& p) { p.TextpH = "NaN"; },
         "pH is not a finite number (NaN): type a number within the range of a double; nothing was saved."},
        {"D of species 1", [](ExperimentParams& p) { p.D[1] = "-2e999"; },
         "D of species 1 is not a finite number (-2e999): type a number within the range of a double; nothing "
         "was saved."},
        {"ks of reaction 1", [](ExperimentParams& p) { p.ks[1] = "1E+400"; },
         "ks of charge reaction 1 is not a finite number (1E+400): type a number within the range of a double; "
         "nothing was saved."},
        {"initial C", [](ExperimentParams& p) { p.Cinit[1] = "NAN"; },
         "Initial C of species 1 is not a finite number (NAN): type a number within the range of a double; "
         "nothing was saved."},
        {"largest double", [](ExperimentParams& p) { p.Estart = "1.7976931348623157e308"; }, ""},
        {"underflow reads as 0", [](ExperimentParams& p) { p.Cdl = "1e-400"; }, ""},
        {"electrolyte named inf", [](ExperimentParams& p) { p.TextElectrolyte = "inf"; }, ""},
        {"species named NaN", [](ExperimentParams& p) { p.specie[1] = "NaN"; }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ExperimentParams p;
        c.set(p);
        try {
            const std::string text = parameterFileText(p);
            EXPECT_STREQ(c.message, "") << "written";
        } catch (const Failure& f) {
            EXPECT_EQ(f.description(), c.message);
        }
    }
}

} // namespace
} // namespace tessaly
