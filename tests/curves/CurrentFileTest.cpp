// Current data files: the written form against a hand-written file, and the reader on the files
// users really produce.

#include "curves/CurrentFile.h"

#include "base/Failure.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace tessaly {
namespace {

std::string goldenFile(const std::string& name) {
    std::ifstream in(std::string(TESSALY_TEST_DATA) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string failureOf(std::string_view text) {
    try {
        readCurrentFile(text);
    } catch (const Failure& f) {
        return f.description();
    }
    return "(read)";
}

TEST(CurrentFileWriter, NumbersInTheGeneralFormWithTheirBlanks) {
    EXPECT_EQ(currentNumberText(0.5), " 0.5 ");
    EXPECT_EQ(currentNumberText(-0.4), "-0.4 ");
    EXPECT_EQ(currentNumberText(0), " 0 ");
    EXPECT_EQ(currentNumberText(-1.5e-6), "-1.5E-06 ");
}

TEST(CurrentFileWriter, ActiveRangeOfTheCurrentCurveIsTheGoldenFile) {
    CurveStore store;
    const double E[] = {9, -0.5, 0, 0.25, 9};          // V; points 0 and 4 lie outside the range
    const double current[] = {9, -1.5e-6, 0, 2e-5, 9}; // A
    for (int i = 0; i < 5; ++i) {
        store.E[i] = E[i];
        store.Curve(i, 3) = current[i];
        store.Curve(i, 1) = 7; // another column, not written
    }
    EXPECT_EQ(currentFileText(store, 1, 3, 3), goldenFile("export3.csv"));
    EXPECT_EQ(currentFileText(store, 2, 1, 3), ""); // an empty range writes an empty file
    EXPECT_THROW(currentFileText(store, 0, 5001, 3), Failure);
}

TEST(CurrentFileReader, WrittenValuesReadBackToHalfAUnitOfTheFifteenthDigit) {
    CurveStore store;
    for (int i = 0; i <= 100; ++i) {
        store.E[i] = -0.5 + 0.01 * i + 1e-3 / 3;          // V
        store.Curve(i, 1) = 1e-6 * std::sin(0.1 * i) / 7; // A
    }
    const CurrentFileData data = readCurrentFile(currentFileText(store, 0, 100, 1));
    ASSERT_EQ(data.count, 101);
    for (int i = 0; i <= 100; ++i) {
        EXPECT_NEAR(data.E[i], store.E[i], 5e-15 * std::fabs(store.E[i]));
        EXPECT_NEAR(data.current[i], store.Curve(i, 1), 5e-15 * std::fabs(store.Curve(i, 1)));
    }
}

TEST(CurrentFileReader, FormsUsersProduce) {
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"CR LF", "-0.5,1e-6\r\n0,2e-6\r\n0.5,3e-6\r\n"},
        {"LF", "-0.5,1e-6\n0,2e-6\n0.5,3e-6\n"},
        {"CR", "-0.5,1e-6\r0,2e-6\r0.5,3e-6\r"},
        {"no final line end", "-0.5,1e-6\r\n0,2e-6\r\n0.5,3e-6"},
        {"byte-order mark", "\xEF\xBB\xBF-0.5,1e-6\r\n0,2e-6\r\n0.5,3e-6\r\n"},
        {"blank lines", "\r\n-0.5,1e-6\r\n\r\n  \r\n0,2e-6\r\n0.5,3e-6\r\n\r\n\r\n"},
        {"tabs and blanks", "\t-0.5 ,\t1e-6\r\n 0\t, 2e-6 \r\n.5,3E-6\r\n"},
        {"quoted fields", "\"-0.5\",\"1e-6\"\r\n\"0\",2e-6\r\n0.5,\"3e-6\"\r\n"},
        {"trailing comma", "-0.5,1e-6,\r\n0,2e-6,\r\n0.5,3e-6,,\r\n"},
        {"signs and exponents", "-5e-1,+1E-6\r\n0.0e0,2.0e-6\r\n+.5,30e-7\r\n"},
        {"very long line",
         std::string(100000, ' ') + "-0.5,1e-6\r\n0,2e-6\r\n0.5,3e-6" + std::string(100000, ' ')},
    };
    for (const Case& c : cases) {
        const CurrentFileData data = readCurrentFile(c.text);
        ASSERT_EQ(data.count, 3) << c.what;
        EXPECT_DOUBLE_EQ(data.E[0], -0.5) << c.what;
        EXPECT_DOUBLE_EQ(data.E[2], 0.5) << c.what;
        EXPECT_DOUBLE_EQ(data.current[0], 1e-6) << c.what;
        EXPECT_DOUBLE_EQ(data.current[2], 3e-6) << c.what;
    }
}

TEST(CurrentFileReader, EmptyFieldsAreZero) {
    const CurrentFileData data = readCurrentFile("0.1\r\n,2e-6\r\n0.3,\r\n");
    ASSERT_EQ(data.count, 3);
    EXPECT_EQ(data.current[0], 0); // a line with one number
    EXPECT_EQ(data.E[1], 0);
    EXPECT_EQ(data.current[2], 0);
}

TEST(CurrentFileReader, RefusedFilesNameTheLine) {
    std::string rows5001, rows5002;
    for (int i = 0; i < 5002; ++i)
        (i < 5001 ? rows5001 : rows5002) += std::to_string(i) + ",1e-6\r\n";
    EXPECT_EQ(readCurrentFile(rows5001).count, 5001);
    struct Case {
        std::string text;
        std::string description;
    };
    const Case cases[] = {
        {"E /V,i /A\r\n-0.5,1e-6\r\n", "Type mismatch in line 1"}, // a header line
        {"-0.5,1e-6\r\n0,NaN\r\n", "Type mismatch in line 2"},
        {"-0.5,1e-6\r\nInf,0\r\n", "Type mismatch in line 2"},
        {"-0.5,-inf\r\n", "Type mismatch in line 1"},
        {"0.5V,1e-6\r\n", "Type mismatch in line 1"},
        {"1,2,3\r\n", "Type mismatch in line 1"},
        {"1e999,0\r\n", "Overflow in line 1"},
        {rows5001 + rows5002, "Subscript out of range in line 5002"},
        {"", "Input past end of file"},
        {"\r\n \r\n\t\r\n", "Input past end of file"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(failureOf(c.text), c.description) << c.text.substr(0, 30);
    EXPECT_EQ(readCurrentFile("1e-400,0\r\n").E[0], 0); // below the range of a double: 0
}

TEST(ImportedCurve, LastRowIsStoredOutsideTheActiveRange) {
    std::string text;
    for (int k = 0; k <= 200; ++k)
        text += std::to_string(-0.5 + 0.005 * k) + "," + std::to_string(1e-6 * k) + "\r\n";
    CurveStore store;
    store.FirstPoint = 3;
    store.CurveNo = 2;
    store.Curve(0, 1) = 42;
    storeImportedCurve(store, readCurrentFile(text));
    EXPECT_EQ(store.NPoints, 201);
    EXPECT_EQ(store.LastIndex, 200);
    EXPECT_EQ(store.LastPoint, 199);
    EXPECT_EQ(store.FirstPoint, 3);
    EXPECT_DOUBLE_EQ(store.E[200], 0.5);
    EXPECT_DOUBLE_EQ(store.Curve(200, 2), 2e-4);
    EXPECT_EQ(store.Curve(0, 1), 42); // other columns keep their curves
}

} // namespace
} // namespace tessaly
