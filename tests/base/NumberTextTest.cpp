#include "base/NumberText.h"

#include "base/Failure.h"

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

namespace tessaly {
namespace {

struct LeadingCase {
    const char* text;
    double value;
};

TEST(LeadingNumber, ReadsTheLongestLeadingDecimalNumber) {
    const std::vector<LeadingCase> cases = {
        {"1e-3x", 0.001},
        {"-.5", -0.5},
        {"+2", 2.0},
        {"", 0.0},
        {"abc", 0.0},
        {".", 0.0},
        {"-", 0.0},
        {"+", 0.0},
        {"  \t 7.85E-3", 7.85e-3},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"1E-", 1.0},
        {"2.5e+2V", 250.0},
        {"5.", 5.0},
        {".25", 0.25},
        {"0.3 V", 0.3},
        {"12,5", 12.0},
        {"1 2", 1.0},
        {"--1", 0.0},
        {"-0", 0.0},
        {"-0.0e5", 0.0},
        {"inf", 0.0},
        {"-infinity", 0.0},
        {"nan", 0.0},
        {"0x1A", 0.0},
        {"x1", 0.0},
        {"1e-3e4", 0.001},
        {"007", 7.0},
        {"1.5.2", 1.5},
        {"1e999", DBL_MAX},
        {"-1e999", -DBL_MAX},
        {"1e-999", 0.0},
        {"-1e-999", 0.0},
        {"123456789012345678901234567890", 1.2345678901234568e29},
        {"0.000000000000000000000000000001e330", 1e300},
    };
    for (const auto& c : cases) {
        const double value = leadingNumber(c.text);
        EXPECT_EQ(value, c.value) << "text \"" << c.text << "\"";
        EXPECT_FALSE(std::signbit(value) && value == 0.0) << "text \"" << c.text << "\" gave -0";
    }
}

TEST(LeadingNumber, HugeExponentDigitsDoNotWrapAround) {
    EXPECT_EQ(leadingNumber("1e99999999999999999999"), DBL_MAX);
    EXPECT_EQ(leadingNumber("1e-99999999999999999999"), 0.0);
    EXPECT_EQ(leadingNumber("0e99999999999999999999"), 0.0);
}

// Callers test the floating-point flags after a computation; reading and writing texts must not set
// them, even for a text beyond the range of a double.
TEST(NumberTexts, LeaveNoFloatingPointFlags) {
    std::feclearexcept(FE_ALL_EXCEPT);
    for (const char* text : {"1e999", "-1e999", "1e-999", "1e-310", "abc", "1.5e+"})
        leadingNumber(text);
    for (double value : {DBL_MAX, -DBL_MAX, 4.9406564584124654e-324, 0.0, 1.0 / 3.0})
        formatMask(value, "0.####") + formatMask(value, "0.##e-0") + generalForm(value) + printForm(value);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID), 0);
}

struct MaskCase {
    double value;
    const char* mask;
    const char* text;
};

TEST(FormatMask, RendersReportPatterns) {
    const std::vector<MaskCase> cases = {
        // area form and the kinetic / concentration limit forms
        {0.00785398, "0.##e-0", "7.85e-3"},
        {0.0314159, "0.##e-0", "3.14e-2"},
        {1000, "#.###e-#", "1e3"},
        {1e5, "#.###e-#", "1e5"},
        {5, "#.###e-#", "5e0"},
        {0.5, "#.###e-#", "5e-1"},
        {123456, "#.###e-#", "1.235e5"},
        {9.0909e-5, "0.####e-#", "9.0909e-5"},
        {1e-5, "0.####e-#", "1e-5"},
        {2.5e-3, "0.###e-#", "2.5e-3"},
        // peak report forms
        {1.2345e-6, "0.####E-0", "1.2345E-6"},
        {-1.2345e-6, "0.####E-0", "-1.2345E-6"},
        {1e-6, "0E-0", "1E-6"},
        {1e6, "0E-0", "1E6"},
        {-0.45123, "0.####", "-0.4512"},
        {0.05678, "0.000", "0.057"},
        {3.4, "0", "3"},
        {3.6, "0", "4"},
        {-3.6, "0", "-4"},
        {0.5, "#.###", ".5"},
        {-0.5, "#.###", "-.5"},
        {1.25, "#.###", "1.25"},
        {0, "#.###", "0"},
        {0, "0.####", "0"},
        {0, "0.000", "0.000"},
        {1, "0.####", "1"},
        {12.3, "0.000", "12.300"},
        {123456.7, "0.####", "123456.7"},
        // the sign of an exponent is written only when negative, unless the mask asks for "+"
        {1.5e3, "0.##E+00", "1.5E+03"},
        {1.5e-3, "0.##E+00", "1.5E-03"},
        {0, "0.##e-0", "0e0"},
        {0, "0E-0", "0E0"},
        // decimal rounding of the digits the general form shows, halves away from zero
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {1.005, "0.00", "1.01"},
        {0.125, "0.##", "0.13"},
        {1.25e-5, "0.#e-0", "1.3e-5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatMask(c.value, c.mask), c.text) << c.value << " with \"" << c.mask << "\"";
}

TEST(FormatMask, CarriesIntoANewDigit) {
    const std::vector<MaskCase> cases = {
        {9.99996, "0.####", "10"},
        {9.99996, "0.####E-0", "1E1"},
        {-9.99996, "0.####", "-10"},
        {0.99996, "#.####", "1"},
        {9.5, "0", "10"},
        {99.95, "0.0", "100.0"},
        {9.996e-4, "0.##e-0", "1e-3"},
        {9.9996e9, "#.###e-#", "1e10"},
        {0.0999999, "0.###", "0.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatMask(c.value, c.mask), c.text) << c.value << " with \"" << c.mask << "\"";
}

TEST(FormatMask, NeverWritesMinusZero) {
    const std::vector<MaskCase> cases = {
        {-0.00001, "0.####", "0"},  {-0.0004, "0.000", "0.000"}, {-0.4, "0", "0"},
        {-0.0, "0.####E-0", "0E0"}, {-1e-9, "#.###", "0"},       {-0.0, "0.000", "0.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatMask(c.value, c.mask), c.text) << c.value << " with \"" << c.mask << "\"";
}

TEST(FormatMask, TinyAndHugeValues) {
    EXPECT_EQ(formatMask(1e-300, "0.####E-0"), "1E-300");
    EXPECT_EQ(formatMask(6.02214076e23, "0.###e-#"), "6.022e23");
    EXPECT_EQ(formatMask(DBL_MAX, "0.##e-0"), "1.8e308");
    EXPECT_EQ(formatMask(4.9406564584124654e-324, "0.##E-0"), "4.94E-324");
    EXPECT_EQ(formatMask(1e-300, "0.####"), "0");
    EXPECT_EQ(formatMask(1e20, "0"), "100000000000000000000");
}

TEST(FormatMask, RejectsAnUnknownMask) {
    EXPECT_THROW(formatMask(1.0, "abc"), Failure);
    EXPECT_THROW(formatMask(1.0, "0.0E"), Failure);
    EXPECT_THROW(formatMask(1.0, ""), Failure);
}

struct GeneralCase {
    double value;
    const char* text;
};

TEST(GeneralForm, FifteenSignificantDigitsWithTwoDigitExponent) {
    const std::vector<GeneralCase> cases = {
        {0, "0"},
        {-0.0, "0"},
        {1e-6, "1E-06"},
        {1.5e15, "1.5E+15"},
        {0.0001, "0.0001"},
        {0.00012, "0.00012"},
        {0.00001234, "1.234E-05"},
        {123.456, "123.456"},
        {-0.4, "-0.4"},
        {0.5, "0.5"},
        {100, "100"},
        {1e14, "100000000000000"},
        {999999999999999.0, "999999999999999"},
        {9999999999999999.0, "1E+16"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {0.1 + 0.2, "0.3"},
        {1e-300, "1E-300"},
        {-6.02e23, "-6.02E+23"},
        {1e100, "1E+100"},
        {0.005, "0.005"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(generalForm(c.value), c.text) << c.value;
}

TEST(GeneralForm, ReadsBackThroughTheLeadingNumberRule) {
    // Values with at most 15 significant digits come back exactly.
    const std::vector<double> exact = {
        0,      0.1,       -0.1,    1e-300,           6.02e23, 123.456, 0.005,       1e-6,        1.5e15,
        0.0001, 299792458, -2.5e-7, 0.30000000000001, 1e308,   7.85e-3, 96485.33212, 8.314462618, 1e-320};
    for (double x : exact)
        EXPECT_EQ(leadingNumber(generalForm(x)), x) << generalForm(x);
    // Others come back within half a unit of the fifteenth digit.
    const std::vector<double> rounded = {
        1.0 / 3.0,         2.0 / 3.0, std::numbers::pi, std::sqrt(2.0) * 1e-200,
        1.0 / 7.0 * 1e250, 0.1 + 0.2, -std::exp(1.0)};
    for (double x : rounded)
        EXPECT_NEAR(leadingNumber(generalForm(x)), x, 5e-15 * std::fabs(x)) << generalForm(x);
}

TEST(PrintForm, BlankOrSignBeforeAndBlankAfter) {
    const std::vector<GeneralCase> cases = {
        {0.5, " .5 "},       {-0.4, "-.4 "},   {100, " 100 "},    {0, " 0 "},
        {-0.0, " 0 "},       {-2, "-2 "},      {1e-6, " 1E-06 "}, {-1.5e15, "-1.5E+15 "},
        {0.0001, " .0001 "}, {1.25, " 1.25 "}, {-12.5, "-12.5 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(printForm(c.value), c.text) << c.value;
    EXPECT_EQ(printForm(1LL), " 1 ");
    EXPECT_EQ(printForm(-2LL), "-2 ");
    EXPECT_EQ(printForm(0LL), " 0 ");
    EXPECT_EQ(printForm(32767LL), " 32767 ");
}

TEST(PrintForm, ReadsBackThroughTheLeadingNumberRule) {
    for (double x : {0.5, -0.4, 100.0, 1e-6, -1.5e15, 0.0001, 0.005, -0.999})
        EXPECT_EQ(leadingNumber(printForm(x)), x) << printForm(x);
}

} // namespace
} // namespace tessaly

namespace tessaly {
namespace {

// Texts that stand for no finite number: an overflowing exponent (which the leading-number rule
// clamps to the largest double) and the words a failed computation prints. Anything else, a number
// or not, is finite.
TEST(LeadingNumberIsFinite, OverflowAndInfinityWordsAreNotFinite) {
    const struct {
        const char* text;
        bool finite;
    } cases[] = {
        {"1e400", false},    {"-2E+999", false},
        {"  1e309x", false}, {"INF", false},
        {"-inf", false},     {"+Infinity", false},
        {"NaN", false},      {" nan(0x1)", false},
        {"1e308", true},     {"1.7976931348623157e308", true},
        {"1e-400", true},    {"", true},
        {"abc", true},       {"0.3", true},
        {"-0.4", true},      {"in", true},
        {"1e", true},        {"info", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(leadingNumberIsFinite(c.text), c.finite) << '"' << c.text << '"';
}

} // namespace
} // namespace tessaly
