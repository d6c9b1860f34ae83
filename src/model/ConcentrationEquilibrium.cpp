#include "model/ConcentrationEquilibrium.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessaly {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Feasible extents: no product below zero (x >= lo) and no reactant below zero (x <= hi).
struct Interval {
    double lo = -kInf;
    double hi = kInf;
    bool usable() const { return std::isfinite(lo) && std::isfinite(hi) && hi > lo; }
};

Interval feasible(std::span<const double> conc, const Balance& balance) {
    Interval r;
    for (const BalanceTerm& t : balance.terms()) {
        const double c = conc[static_cast<std::size_t>(t.species)];
        if (t.nu > 0)
            r.lo = std::max(r.lo, -c / t.nu);
        else if (t.nu < 0)
            r.hi = std::min(r.hi, c / -t.nu);
    }
    return r;
}

// sum nu_k ln(c_k + nu_k x) - lnK: strictly increasing in x inside the feasible interval.
double logResidual(std::span<const double> conc, const Balance& balance, double lnK, double x) {
    double sum = -lnK;
    for (const BalanceTerm& t : balance.terms()) {
        if (t.nu != 0)
            sum += t.nu * std::log(conc[static_cast<std::size_t>(t.species)] + t.nu * x);
    }
    return sum;
}

double bisect(std::span<const double> conc, const Balance& balance, double lnK, Interval in) {
    if (std::isnan(lnK))
        return 0;
    if (lnK == -kInf)
        return in.lo;
    if (lnK == kInf)
        return in.hi;
    double lo = in.lo;
    double hi = in.hi;
    // Each step halves the bracket; it ends when the midpoint can no longer be told from an end.
    for (int iteration = 0; iteration < 400; ++iteration) {
        const double mid = lo + (hi - lo) / 2;
        if (mid <= lo || mid >= hi)
            break;
        const double g = logResidual(conc, balance, lnK, mid);
        if (std::isnan(g))
            break;
        if (g < 0)
            lo = mid;
        else
            hi = mid;
    }
    return lo + (hi - lo) / 2;
}

// Coefficients of a product of linear factors (c + s x), highest power last; false beyond degree 2.
struct Quadratic {
    double c0 = 1, c1 = 0, c2 = 0;
    int degree = 0;
    bool multiply(double c, double s) {
        if (degree == 2)
            return false;
        const double n0 = c0 * c, n1 = c1 * c + c0 * s, n2 = c2 * c + c1 * s;
        c0 = n0;
        c1 = n1;
        c2 = n2;
        ++degree;
        return true;
    }
};

bool integral(double nu) {
    return nu == std::round(nu);
}

} // namespace

void Balance::add(int species, double nu) {
    for (int k = 0; k < m_count; ++k) {
        if (m_terms[static_cast<std::size_t>(k)].species == species) {
            m_terms[static_cast<std::size_t>(k)].nu += nu;
            return;
        }
    }
    if (m_count < kMaxTerms)
        m_terms[static_cast<std::size_t>(m_count++)] = {species, nu};
}

double equilibriumExtentByBisection(std::span<const double> conc, const Balance& balance, double lnK) {
    const Interval in = feasible(conc, balance);
    if (!in.usable())
        return 0;
    return bisect(conc, balance, lnK, in);
}

double equilibriumExtent(std::span<const double> conc, const Balance& balance, double K) {
    const Interval in = feasible(conc, balance);
    if (!in.usable())
        return 0;
    if (!(K > 0))
        return K == 0 ? in.lo : 0; // K = 0 drives everything back to the reactants
    const double lnK = std::log(K);

    // prod over products of (c + nu x)^nu and over reactants of (c - |nu| x)^|nu|, each power
    // written as repeated linear factors.
    Quadratic products, reactants;
    bool quadratic = std::isfinite(K);
    for (const BalanceTerm& t : balance.terms()) {
        if (!quadratic)
            break;
        if (!integral(t.nu)) {
            quadratic = false;
            break;
        }
        const double c = conc[static_cast<std::size_t>(t.species)];
        Quadratic& side = t.nu > 0 ? products : reactants;
        for (int k = 0; k < static_cast<int>(std::fabs(t.nu)) && quadratic; ++k)
            quadratic = side.multiply(c, t.nu);
    }
    if (quadratic) {
        // F(x) = a x^2 + b x + c = prod(products) - K prod(reactants); F rises through the interval.
        const double a = products.c2 - K * reactants.c2;
        const double b = products.c1 - K * reactants.c1;
        const double c = products.c0 - K * reactants.c0;
        double roots[2] = {kInf, kInf};
        if (a == 0) {
            if (b != 0)
                roots[0] = -c / b;
        } else {
            const double discriminant = b * b - 4 * a * c;
            if (discriminant >= 0) {
                const double q = -0.5 * (b + std::copysign(std::sqrt(discriminant), b));
                roots[0] = q / a;
                if (q != 0)
                    roots[1] = c / q;
            }
        }
        // Accept a root inside the interval, allowing for the round-off of its ends.
        const double slack = 1e-12 * (in.hi - in.lo);
        for (double x : roots) {
            if (std::isfinite(x) && x >= in.lo - slack && x <= in.hi + slack)
                return std::clamp(x, in.lo, in.hi);
        }
    }
    return bisect(conc, balance, lnK, in);
}

void applyExtent(std::span<double> conc, const Balance& balance, double x) {
    for (const BalanceTerm& t : balance.terms()) {
        double& c = conc[static_cast<std::size_t>(t.species)];
        c = std::max(0.0, c + t.nu * x);
    }
}

void electrodeEquilibrium(double& cO, double& cR, double a, double b, double lnK) {
    if (std::isnan(lnK))
        return;
    if (a == 1 && b == 1) {
        const double total = cO + cR;
        if (!(total > 0))
            return;
        // cO = T / (1 + K): the logistic of -lnK, evaluated on the side where exp cannot overflow.
        const double oxidisedFraction =
            lnK >= 0 ? std::exp(-lnK) / (1 + std::exp(-lnK)) : 1 / (1 + std::exp(lnK));
        cO = total * oxidisedFraction;
        cR = total - cO;
        return;
    }
    const double conc[2] = {cO, cR};
    Balance couple;
    couple.add(0, -a);
    couple.add(1, b);
    const double x = equilibriumExtentByBisection(conc, couple, lnK);
    double result[2] = {cO, cR};
    applyExtent(result, couple, x);
    cO = result[0];
    cR = result[1];
}

} // namespace tessaly
