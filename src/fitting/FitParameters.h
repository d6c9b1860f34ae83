#pragma once
// Fitted quantities are named by a code: 1 Ru, 2 Cdl, 3 electrode area (the current scale); 10 + k ks(k), 20 + k alpha(k), 30 + k E'(k) of charge
// reaction k; 40 + r kf(r), 60 + r kb(r) of chemical reaction r; 100 + s C(s), 120 + s D(s) of
// species s. The code is also the index of the CheckFitted box that selects the quantity.

#include "model/ExperimentParams.h"

#include <string>
#include <vector>

namespace tessaly {

inline constexpr int kFitResistance = 1;  // Ru, ohm
inline constexpr int kFitCapacitance = 2; // Cdl, F
inline constexpr int kFitArea = 3;        // electrode area, cm2

// The committed value a code names (objective-side decoding: 1-3, 11-19, 21-29, 31-39, 41-59, 61-79,
// 101-119, 121-139). An unknown code or a row beyond the arrays raises "Subscript out of range".
double& fitParameter(CommittedValues& c, int code);
double fitParameter(const CommittedValues& c, int code);

// The entered value and the limits of a fittable quantity, read from the dialogs' limit texts.
struct FitCandidate {
    int code = 0;
    double initial = 0; // the committed value when the fit starts
    double minimum = 0;
    double maximum = 0;
};

// The quantities whose CheckFitted box is ticked, in the order 11-15, 21-25, 31-35, 41-49, 61-69,
// 101-116, 121-136, then the instrument's 1-3, restricted to the reactions and species in use (a box left ticked on a row the
// mechanism does not use selects nothing).
std::vector<FitCandidate> selectedFitParameters(const ExperimentParams& p);

// The name of a fitted quantity as the dialogs head its column, with its row and unit: "ks(1) (cm/s)",
// "a(2)", "E'(1) (V)", "kf(3)", "kb(3)", "C(4) (M)", "D(4) (cm2/s)". Rate constants of homogeneous
// reactions carry no unit (/s or /sM by the reaction's order).
std::string fitParameterName(int code);

// One line per fitted quantity, numbered as the fit report's table numbers them:
// "Parameter 1: ks(1) (cm/s)" and CR LF.
std::string fitParameterNameLines(const std::vector<FitCandidate>& candidates);

} // namespace tessaly
