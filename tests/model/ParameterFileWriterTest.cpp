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

} // namespace
} // namespace tessaly
