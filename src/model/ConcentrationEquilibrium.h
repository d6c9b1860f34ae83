#pragma once
// Equilibrium balances of the species dialog's pre-equilibrations. A reaction sum(nu_k S_k) = 0 with
// signed stoichiometric coefficients (negative for reactants, positive for products) is brought to
// equilibrium by one extent x: every concentration becomes c_k + nu_k x, which conserves mass, and x is
// the one that makes prod c_k^nu_k = K. The equilibrium condition is monotone in x between the two
// extents at which a reactant or a product runs out, so there is exactly one root there and no
// concentration ever becomes negative.

#include <array>
#include <span>

namespace tessaly {

// One species of a balance with its signed stoichiometric coefficient.
struct BalanceTerm {
    int species = 0; // index into the concentration span
    double nu = 0;   // < 0 reactant, > 0 product
};

// A reaction of up to four distinct species. Adding a species twice adds its coefficients, so
// "2A" is A added twice with coefficient 1 and a species on both sides enters with its net
// coefficient.
class Balance {
public:
    static constexpr int kMaxTerms = 4;
    void add(int species, double nu);
    std::span<const BalanceTerm> terms() const { return {m_terms.data(), static_cast<std::size_t>(m_count)}; }

private:
    std::array<BalanceTerm, kMaxTerms> m_terms{};
    int m_count = 0;
};

// Extent x of the balance at equilibrium constant exp(lnK), solved by bisection on the logarithmic
// residual sum nu_k ln(c_k + nu_k x) - lnK, which rises strictly from -inf to +inf across the
// feasible interval. Returns 0 when the interval is empty (a side absent or run out).
double equilibriumExtentByBisection(std::span<const double> conc, const Balance& balance, double lnK);

// The same extent for balances of at most second order on each side with integral coefficients
// (A = B, 2A = B, A + B = C, A + B = C + D), from the quadratic prod(products) - K prod(reactants) = 0
// solved with the cancellation-free root formula (Press et al., Numerical Recipes, 3rd ed., sec. 5.6):
// q = -(b + sgn(b) sqrt(b^2 - 4ac)) / 2, roots q/a and c/q. The root inside the feasible interval is
// taken; a higher order, an overflowing K or a root outside the interval (round-off, or a negative
// discriminant) falls back to the bisection.
double equilibriumExtent(std::span<const double> conc, const Balance& balance, double K);

// Applies an extent: c_k += nu_k x, clipped at zero against round-off at the interval's ends.
void applyExtent(std::span<double> conc, const Balance& balance, double x);

// Nernst partition of a couple a O + n e = b R at the potential E: cR^b / cO^a = exp(lnK) with
// lnK = n f (E' - E). Coefficients of 1 use the closed form cO = T / (1 + K), cR = T K / (1 + K)
// written with the logistic function so that any lnK is finite; other coefficients use the
// bisection. cO and cR are updated in place; cO/a + cR/b is conserved.
void electrodeEquilibrium(double& cO, double& cR, double a, double b, double lnK);

} // namespace tessaly
