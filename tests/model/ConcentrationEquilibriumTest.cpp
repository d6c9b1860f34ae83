// Equilibrium balances of the pre-equilibrations against their closed forms: the Nernst partition of
// a couple, mass-action equilibria of first and second order, extreme constants, and the factor m.

#include "model/ConcentrationEquilibrium.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace tessaly {
namespace {

TEST(ElectrodeEquilibrium, UnitCoefficientsFollowNernstAndConserveTheTotal) {
    const double f = 96484.6 / (8.31441 * 298.14); // 1/V
    struct Case {
        double cO, cR, formal, start; // M, M, V, V
    };
    const Case cases[] = {
        {1e-3, 0, 0.1, 0.3},      {1e-3, 0, 0.1, -0.5}, {0, 2e-3, 0.0, 0.05},
        {5e-4, 5e-4, -0.2, -0.2}, {1e-3, 0, 0.1, 30.0}, // lnK = -1166: K underflows, the partition does not
    };
    for (const Case& c : cases) {
        double cO = c.cO, cR = c.cR;
        const double lnK = f * (c.formal - c.start);
        electrodeEquilibrium(cO, cR, 1, 1, lnK);
        EXPECT_NEAR(cO + cR, c.cO + c.cR, 1e-15) << c.start;
        EXPECT_GE(cO, 0);
        EXPECT_GE(cR, 0);
        if (std::fabs(lnK) < 700)
            EXPECT_NEAR(std::log(cR / cO), lnK, 1e-9) << c.start;
        else
            EXPECT_EQ(cR, 0);
    }
}

TEST(ElectrodeEquilibrium, OtherCoefficientsSolveTheNernstBalance) {
    struct Case {
        double a, b, lnK;
    };
    const Case cases[] = {{2, 1, 3.0}, {1, 2, -4.0}, {2, 2, 10.0}, {1, 3, 0.5}};
    for (const Case& c : cases) {
        double cO = 1e-3, cR = 2e-4;
        electrodeEquilibrium(cO, cR, c.a, c.b, c.lnK);
        // cR^b / cO^a = K, and cO/a + cR/b conserved
        EXPECT_NEAR(c.b * std::log(cR) - c.a * std::log(cO), c.lnK, 1e-9) << c.a << " " << c.b;
        EXPECT_NEAR(cO / c.a + cR / c.b, 1e-3 / c.a + 2e-4 / c.b, 1e-15);
    }
}

struct MassAction {
    std::vector<double> conc;             // M, index 0 unused
    std::vector<std::pair<int, int>> nus; // species, signed coefficient
    double K;
};

double reactionQuotient(const std::vector<double>& c, const std::vector<std::pair<int, int>>& nus) {
    double lnQ = 0;
    for (const auto& [s, nu] : nus)
        lnQ += nu * std::log(c[static_cast<std::size_t>(s)]);
    return lnQ;
}

TEST(ChemicalEquilibrium, MassActionHoldsAndMassIsConserved) {
    const MassAction cases[] = {
        {{0, 1e-3, 0}, {{1, -1}, {2, 1}}, 10},                          // A = B
        {{0, 0, 1e-3}, {{2, -1}, {1, 2}}, 1e-3},                        // C = 2A (written with A twice)
        {{0, 1e-3, 2e-3, 0}, {{1, -1}, {2, -1}, {3, 1}}, 1e4},          // A + B = C
        {{0, 1e-3, 1e-3, 0, 0}, {{1, -1}, {2, -1}, {3, 1}, {4, 1}}, 1}, // A + B = C + D, K = 1: linear
        {{0, 1e-3, 5e-4, 1e-4}, {{1, -1}, {2, 1}, {3, 1}}, 1e-9},       // A = B + C, product-rich start
        {{0, 1e-3, 0, 0}, {{1, -1}, {2, 1}, {3, 3}}, 1e-6},             // ML3 = M + 3L: beyond the quadratic
    };
    for (const MassAction& m : cases) {
        Balance balance;
        for (const auto& [s, nu] : m.nus)
            balance.add(s, nu);
        std::vector<double> c = m.conc;
        applyExtent(c, balance, equilibriumExtent(c, balance, m.K));
        EXPECT_NEAR(reactionQuotient(c, m.nus), std::log(m.K), 1e-8) << "K " << m.K;
        for (double value : c)
            EXPECT_GE(value, 0);
        // every species moved by the same extent: c_k - c0_k = nu_k x
        const auto& [s0, nu0] = m.nus.front();
        const double x = (c[static_cast<std::size_t>(s0)] - m.conc[static_cast<std::size_t>(s0)]) / nu0;
        for (const auto& [s, nu] : m.nus)
            EXPECT_NEAR(c[static_cast<std::size_t>(s)] - m.conc[static_cast<std::size_t>(s)], nu * x, 1e-15);
    }
}

TEST(ChemicalEquilibrium, QuadraticAndBisectionAgree) {
    // A + B = C with a large K: the physical root is the small one of the quadratic
    Balance balance;
    balance.add(1, -1);
    balance.add(2, -1);
    balance.add(3, 1);
    const std::vector<double> c = {0, 1e-3, 1.5e-3, 1e-4};
    for (double K : {1e-6, 1.0, 1e3, 1e8, 1e12}) {
        const double quadratic = equilibriumExtent(c, balance, K);
        const double bisection = equilibriumExtentByBisection(c, balance, std::log(K));
        EXPECT_NEAR(quadratic, bisection, 1e-12 * 1e-3) << K;
    }
}

TEST(ChemicalEquilibrium, LimitsAndEmptySides) {
    Balance balance;
    balance.add(1, -1);
    balance.add(2, 1);
    std::vector<double> c = {0, 1e-3, 0};
    EXPECT_EQ(equilibriumExtent(c, balance, 0), 0); // K = 0: nothing converts
    EXPECT_DOUBLE_EQ(equilibriumExtent(c, balance, 1e300), 1e-3 * 1e300 / (1 + 1e300));
    std::vector<double> none = {0, 0, 0};
    EXPECT_EQ(equilibriumExtent(none, balance, 5), 0); // nothing to convert
    Balance productsOnly;
    productsOnly.add(2, 1);
    EXPECT_EQ(equilibriumExtent(c, productsOnly, 5), 0); // no balance without a reactant side
}

} // namespace
} // namespace tessaly
