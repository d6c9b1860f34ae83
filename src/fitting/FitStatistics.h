#pragma once
// Uncertainties of a least-squares fit from the linearised model at the optimum: the covariance of the
// fitted parameters is s²·(JᵀJ)⁻¹, with J the Jacobian of the (weighted) model there and s² = SS/(n − p)
// the residual variance (Bevington ch. 11; Seber & Wild, Nonlinear Regression, ch. 2). The standard
// errors are the square roots of its diagonal, the correlations its off-diagonal scaled by them.

#include <span>
#include <vector>

namespace tessaly {

struct FitUncertainties {
    // Per parameter: the standard error, or NaN when the data do not determine it (a parameter held,
    // one the curve does not respond to, or a set of parameters that only move together).
    std::vector<double> standardErrors;
    // p × p, row-major; NaN in the rows and columns of undetermined parameters.
    std::vector<double> correlation;
    double residualVariance = 0; // s² = SS/(n − p)
    int degreesOfFreedom = 0;    // n − p of the determined parameters
    int parameters = 0;
    double correlationAt(int k, int j) const {
        return correlation[static_cast<std::size_t>(k) * static_cast<std::size_t>(parameters) +
                           static_cast<std::size_t>(j)];
    }
};

// jacobian: p columns of `points` values each (column k holds ∂f_i/∂P_k over the fitted points, in the
// weights of the least square); free: the parameters that were varied; leastSquare: SS at the optimum.
// Parameters whose column is zero are left undetermined; when the remaining normal matrix is not
// positive definite (columns that are linearly dependent to working precision) every free parameter is.
FitUncertainties fitUncertainties(std::span<const double> jacobian, int points, int parameters,
                                  std::span<const bool> free, double leastSquare);

} // namespace tessaly
