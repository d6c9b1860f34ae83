// Waveform files: both writers against hand-written files, and the reader on both forms.

#include "curves/WaveformFile.h"

#include "base/Failure.h"
#include "model/ExperimentKinds.h"

#include <array>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace tessaly {
namespace {

std::string goldenFile(const std::string& name) {
    std::ifstream in(std::string(TESSALY_TEST_DATA) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string failureOf(std::string_view text, int maxPoints) {
    try {
        readWaveformFile(text, maxPoints);
    } catch (const Failure& f) {
        return f.description();
    }
    return "(read)";
}

const std::array<std::string, 12> kDefaultTimes = {"0", "100", "100", "200", "200", "300",
                                                   "0", "0",   "0",   "0",   "0",   "0"};
const std::array<std::string, 12> kDefaultPotentials = {"0.4", "0.4", "-0.4", "-0.4", "0.4", "0.4",
                                                        "0",   "0",   "0",    "0",    "0",   "0"};

TEST(WaveformFileWriter, SampledProgrammeInPrintForm) {
    CurveStore store;
    const double t[] = {0, 0.5, 100};  // s
    const double E[] = {0.4, -0.4, 0}; // V
    for (int i = 0; i < 3; ++i) {
        store.WaveT[i] = t[i];
        store.E[i] = E[i];
    }
    store.LastIndex = 2;
    const WaveformText file = sampledWaveformText(store, kind::code(kind::Technique::ImportedWaveform), 9);
    EXPECT_EQ(file.text, goldenFile("waveform_sampled.csv"));
    EXPECT_EQ(file.lines, 3);
}

// The programmes the run builds have no times of their own: point i is i drop times into the run,
// as their time axis shows it, for every built technique.
TEST(WaveformFileWriter, BuiltProgrammesCarryTheirDropTimes) {
    CurveStore store;
    const double E[] = {0.3, 0.295, 0.29, 0.285}; // V
    for (int i = 0; i < 4; ++i) {
        store.E[i] = E[i];
        store.WaveT[i] = 0; // never filled for a built programme
    }
    store.LastIndex = 3;
    for (const kind::Technique t : kind::kAllTechniques) {
        if (traits(t).waveform)
            continue;
        const WaveformText file = sampledWaveformText(store, kind::code(t), 0.25);
        EXPECT_EQ(file.text, " 0 , .3 \r\n .25 , .295 \r\n .5 , .29 \r\n .75 , .285 \r\n") << kind::code(t);
        const WaveformData read = readWaveformFile(file.text, kPointCapacity);
        ASSERT_EQ(read.count, 4);
        EXPECT_EQ(read.t[3], 0.75);
        EXPECT_EQ(read.E[3], 0.285);
    }
}

TEST(WaveformFileWriter, DesignGridRowsAsTyped) {
    const WaveformText file = designWaveformText(kDefaultTimes, kDefaultPotentials);
    EXPECT_EQ(file.text, goldenFile("waveform_design.csv"));
    EXPECT_EQ(file.lines, 6); // row 0 and the rows whose time is not 0
}

TEST(WaveformFileReader, ReadsBothWrittenForms) {
    const WaveformData sampled = readWaveformFile(goldenFile("waveform_sampled.csv"), kPointCapacity);
    ASSERT_EQ(sampled.count, 3);
    EXPECT_EQ(sampled.t[1], 0.5);
    EXPECT_EQ(sampled.E[1], -0.4);
    EXPECT_EQ(sampled.t[2], 100);
    const WaveformData design = readWaveformFile(goldenFile("waveform_design.csv"), 12);
    ASSERT_EQ(design.count, 6);
    EXPECT_EQ(design.t[5], 300);
    EXPECT_EQ(design.E[2], -0.4);
}

TEST(WaveformFileReader, RefusedFiles) {
    std::string thirteen;
    for (int k = 0; k < 13; ++k)
        thirteen += std::to_string(10 * k) + ",0.1\r\n";
    EXPECT_EQ(readWaveformFile(thirteen, kPointCapacity).count, 13);
    EXPECT_EQ(failureOf(thirteen, 12), "Subscript out of range in line 13");
    EXPECT_EQ(failureOf("t,E\r\n0,0.4\r\n", kPointCapacity), "Type mismatch in line 1");
    EXPECT_EQ(failureOf("0,0.4\r\n1,nan\r\n", kPointCapacity), "Type mismatch in line 2");
    EXPECT_EQ(failureOf("\r\n", kPointCapacity), "Input past end of file");
}

TEST(StoredWaveform, OneCurveAndTheFileRange) {
    CurveStore store;
    store.NCurves = 5;
    store.CurvesPerRun = 3;
    storeWaveform(store, readWaveformFile(goldenFile("waveform_sampled.csv"), kPointCapacity));
    EXPECT_EQ(store.NCurves, 1);
    EXPECT_EQ(store.CurvesPerRun, 1);
    EXPECT_EQ(store.NPoints, 3);
    EXPECT_EQ(store.LastIndex, 2);
    EXPECT_EQ(store.LastPoint, 1);
    EXPECT_EQ(store.WaveT[2], 100);
    EXPECT_EQ(store.E[0], 0.4);
}

} // namespace
} // namespace tessaly
