#pragma once
// Nonlinear regression problems of the NIST Statistical Reference Datasets (StRD), with their certified
// parameter values, their certified standard deviations and the residual sums of squares
// (https://www.itl.nist.gov/div898/strd/nls/nls_main.shtml).
// Each observation is {x, y}.

#include <array>
#include <cmath>
#include <span>
#include <vector>

namespace tessaly::test {

struct Observation {
    double x;
    double y;
};

struct NistProblem {
    const char* name;
    std::span<const Observation> data;
    double (*model)(std::span<const double> b, double x);
    std::vector<double> certified;
    double certifiedResidualSumOfSquares;
    std::vector<double> start1;
    std::vector<double> start2;
    std::vector<double> certifiedStandardErrors; // standard deviation of each estimate
};

// Misra1a (lower difficulty): dental research monomolecular adsorption, y = b1·(1 − exp(−b2·x)).
inline constexpr std::array<Observation, 14> kMisra1a{{
    {77.6, 10.07},
    {114.9, 14.73},
    {141.1, 17.94},
    {190.8, 23.93},
    {239.9, 29.61},
    {289.0, 35.18},
    {332.8, 40.02},
    {378.4, 44.82},
    {434.8, 50.76},
    {477.3, 55.05},
    {536.8, 61.01},
    {593.1, 66.40},
    {689.1, 75.47},
    {760.0, 81.78},
}};

// Chwirut2 (lower difficulty): ultrasonic calibration, y = exp(−b1·x)/(b2 + b3·x).
inline constexpr std::array<Observation, 54> kChwirut2{{
    {0.500, 92.9000}, {1.000, 57.1000}, {1.750, 31.0500}, {3.750, 11.5875}, {5.750, 8.0250},
    {0.875, 63.6000}, {2.250, 21.4000}, {3.250, 14.2500}, {5.250, 8.4750},  {0.750, 63.8000},
    {1.750, 26.8000}, {2.750, 16.4625}, {4.750, 7.1250},  {0.625, 67.3000}, {1.250, 41.0000},
    {2.250, 21.1500}, {4.250, 8.1750},  {0.500, 81.5000}, {3.000, 13.1200}, {0.750, 59.9000},
    {3.000, 14.6200}, {1.500, 32.9000}, {6.000, 5.4400},  {3.000, 12.5600}, {6.000, 5.4400},
    {1.500, 32.0000}, {3.000, 13.9500}, {0.500, 75.8000}, {2.000, 20.0000}, {4.000, 10.4200},
    {0.750, 59.5000}, {2.000, 21.6700}, {5.000, 8.5500},  {0.750, 62.0000}, {2.250, 20.2000},
    {3.750, 7.7600},  {5.750, 3.7500},  {3.000, 11.8100}, {0.750, 54.7000}, {2.500, 23.7000},
    {4.000, 11.5500}, {0.750, 61.3000}, {2.500, 17.7000}, {4.000, 8.7400},  {0.750, 59.2000},
    {2.500, 16.3000}, {4.000, 8.6200},  {0.500, 81.0000}, {6.000, 4.8700},  {3.000, 14.6200},
    {0.500, 81.7000}, {2.750, 17.1700}, {0.500, 81.3000}, {1.750, 28.9000},
}};

// Thurber (higher difficulty): semiconductor electron mobility, a cubic over a cubic in log density.
inline constexpr std::array<Observation, 37> kThurber{{
    {-3.067, 80.574},   {-2.981, 84.248},   {-2.921, 87.264},   {-2.912, 87.195},   {-2.840, 89.076},
    {-2.797, 89.608},   {-2.702, 89.868},   {-2.699, 90.101},   {-2.633, 92.405},   {-2.481, 95.854},
    {-2.363, 100.696},  {-2.322, 101.060},  {-1.501, 401.672},  {-1.460, 390.724},  {-1.274, 567.534},
    {-1.212, 635.316},  {-1.100, 733.054},  {-1.046, 759.087},  {-0.915, 894.206},  {-0.714, 990.785},
    {-0.566, 1090.109}, {-0.545, 1080.914}, {-0.400, 1122.643}, {-0.309, 1178.351}, {-0.109, 1260.531},
    {-0.103, 1273.514}, {0.010, 1288.339},  {0.119, 1327.543},  {0.377, 1353.863},  {0.790, 1414.509},
    {0.963, 1425.208},  {1.006, 1421.384},  {1.115, 1442.962},  {1.572, 1464.350},  {1.841, 1468.705},
    {2.047, 1447.894},  {2.200, 1457.628},
}};

inline double misra1aModel(std::span<const double> b, double x) {
    return b[0] * (1.0 - std::exp(-b[1] * x));
}

inline double chwirut2Model(std::span<const double> b, double x) {
    return std::exp(-b[0] * x) / (b[1] + b[2] * x);
}

inline double thurberModel(std::span<const double> b, double x) {
    const double x2 = x * x;
    const double x3 = x2 * x;
    return (b[0] + b[1] * x + b[2] * x2 + b[3] * x3) / (1.0 + b[4] * x + b[5] * x2 + b[6] * x3);
}

inline std::vector<NistProblem> nistProblems() {
    return {
        {"Misra1a",
         kMisra1a,
         misra1aModel,
         {2.3894212918E+02, 5.5015643181E-04},
         1.2455138894E-01,
         {500.0, 1e-4},
         {250.0, 5e-4},
         {2.7070075241E+00, 7.2668688436E-06}},
        {"Chwirut2",
         kChwirut2,
         chwirut2Model,
         {1.6657666537E-01, 5.1653291286E-03, 1.2150007096E-02},
         5.1304802941E+02,
         {0.1, 0.01, 0.02},
         {0.15, 0.008, 0.010},
         {3.8303286810E-02, 6.6621605126E-04, 1.5304234767E-03}},
        {"Thurber",
         kThurber,
         thurberModel,
         {1.2881396800E+03, 1.4910792535E+03, 5.8323836877E+02, 7.5416644291E+01, 9.6629502864E-01,
          3.9797285797E-01, 4.9727297349E-02},
         5.6427082397E+03,
         {1000.0, 1000.0, 400.0, 40.0, 0.7, 0.3, 0.03},
         {1300.0, 1500.0, 500.0, 75.0, 1.0, 0.4, 0.05},
         {4.6647963344E+00, 3.9571156086E+01, 2.8698696102E+01, 5.5675370270E+00, 3.1333340687E-02,
          1.4984928198E-02, 6.5842344623E-03}},
    };
}

} // namespace tessaly::test
