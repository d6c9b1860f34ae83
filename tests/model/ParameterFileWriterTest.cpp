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
