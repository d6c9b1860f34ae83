// The CSV of every plotted curve: header names, quoting, and the plotted range only.

#include "plot/PlotLimits.h"
#include "workbench/Commands.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(CurvesCsv, HeaderNamesEachCurveAndRowsHoldThePlottedRange) {
    constexpr int columns = 17;
    const std::vector<double> x = {0.0, 0.1, 0.2, 0.3};
    std::vector<double> y(x.size() * columns, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i) {
        y[i * columns + 1] = 1e-6 * static_cast<double>(i);
        y[i * columns + 2] = -2.5e-7;
        y[i * columns + 3] = 3.0;
    }
    std::vector<std::string> names(columns);
    names[1] = "Simulated, CV, mechanism 1, v = 0.1 V/s"; // a comma: quoted
    names[3] = "Imported: \"run\".csv";                  // quotes doubled inside quotes
    PlotInput input;
    input.first = 1;
    input.last = 2;
    input.abscissa = x;
    input.curves = y;
    input.columns = columns;
    input.NCurves = 3;
    input.XTitle = "E /V  ";
    input.CurveName = names;
    EXPECT_EQ(curvesCsvText(input),
              "E /V,\"Simulated, CV, mechanism 1, v = 0.1 V/s\",Curve 2,\"Imported: \"\"run\"\".csv\"\r\n"
              "0.1,1e-06,-2.5e-07,3\r\n"
              "0.2,2e-06,-2.5e-07,3\r\n");
}

TEST(CurvesCsv, NoCurvesGivesTheAbscissaAlone) {
    const std::vector<double> x = {1.5};
    const std::vector<double> y(17, 0.0);
    PlotInput input;
    input.first = 0;
    input.last = 0;
    input.abscissa = x;
    input.curves = y;
    input.NCurves = 0;
    input.XTitle = "t /s";
    EXPECT_EQ(curvesCsvText(input), "t /s\r\n1.5\r\n");
}

} // namespace
} // namespace tessaly
