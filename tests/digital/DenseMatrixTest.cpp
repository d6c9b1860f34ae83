#include "digital/DenseMatrix.h"

#include "base/Failure.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace tessaly {
namespace {

// Largest |A*inv(A) - I| over rows and columns 1..order.
double identityDefect(const DenseMatrix& a, const DenseMatrix& inverse, int order) {
    DenseMatrix product;
    MultiplyMatrix(a, inverse, product, order, order, order);
    double defect = 0.0;
    for (int i = 1; i <= order; ++i)
        for (int k = 1; k <= order; ++k)
            defect = std::max(defect, std::abs(product(i, k) - (i == k ? 1.0 : 0.0)));
    return defect;
}

DenseMatrix randomWellConditioned(int order, std::mt19937& rng) {
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    DenseMatrix a;
    for (int i = 1; i <= order; ++i)
        for (int k = 1; k <= order; ++k)
            a(i, k) = value(rng);
    for (int i = 1; i <= order; ++i)
        a(i, i) += (a(i, i) < 0 ? -1.0 : 1.0) * order; // diagonal dominance keeps cond(A) small
    return a;
}

std::string failureText(DenseMatrix a, int order) {
    try {
        InvertMatrix(a, order);
    } catch (const Failure& failure) {
        return failure.description();
    }
    return "";
}

TEST(DenseMatrix, InverseOfRandomWellConditionedMatrices) {
    std::mt19937 rng(20240611);
    for (int order = 1; order <= kMaxMatrixOrder; ++order)
        for (int trial = 0; trial < 5; ++trial) {
            const DenseMatrix a = randomWellConditioned(order, rng);
            DenseMatrix inverse = a;
            InvertMatrix(inverse, order);
            EXPECT_LT(identityDefect(a, inverse, order), 1e-12) << "order " << order;
            EXPECT_LT(identityDefect(inverse, a, order), 1e-12) << "order " << order;
        }
}

// Matrices whose natural pivots are zero, so that both row and column exchanges are needed; each is
// a permutation of a non-singular diagonal or triangular matrix.
TEST(DenseMatrix, FullPivotingHandlesZeroLeadingPivots) {
    struct Case {
        const char* name;
        int order;
        std::vector<double> rows;
    };
    const std::vector<Case> cases = {
        {"swap 2x2", 2, {0, 1, 1, 0}},
        {"zero corner 3x3", 3, {0, 2, 1, 1, 0, 0, 0, 0, 3}},
        {"cyclic 4x4", 4, {0, 0, 0, 4, 1, 0, 0, 0, 0, 2, 0, 0, 0, 0, 3, 0}},
        {"permuted triangle 3x3", 3, {0, 0, 5, 0, 7, 1, 2, 3, 1}},
    };
    for (const Case& c : cases) {
        DenseMatrix a;
        for (int i = 1; i <= c.order; ++i)
            for (int k = 1; k <= c.order; ++k)
                a(i, k) = c.rows[(i - 1) * c.order + (k - 1)];
        DenseMatrix inverse = a;
        InvertMatrixFull(inverse, c.order);
        EXPECT_LT(identityDefect(a, inverse, c.order), 1e-14) << c.name;
    }

    // Anti-diagonal of order 16 with distinct entries: every step exchanges rows and columns.
    DenseMatrix anti;
    for (int i = 1; i <= kMaxMatrixOrder; ++i)
        anti(i, kMaxMatrixOrder + 1 - i) = i + 0.5;
    DenseMatrix inverse = anti;
    InvertMatrix(inverse, kMaxMatrixOrder);
    EXPECT_LT(identityDefect(anti, inverse, kMaxMatrixOrder), 1e-14);
    EXPECT_DOUBLE_EQ(inverse(kMaxMatrixOrder, 1), 1.0 / 1.5);
}

TEST(DenseMatrix, DiagonalShortcutInvertsElementwiseAndLeavesTheRestAlone) {
    DenseMatrix a;
    a(1, 1) = 4.0;
    a(2, 2) = -0.5;
    a(3, 3) = 1e-3;
    a(4, 4) = 99.0; // outside the order: untouched
    InvertMatrix(a, 3);
    EXPECT_EQ(a(1, 1), 0.25);
    EXPECT_EQ(a(2, 2), -2.0);
    EXPECT_EQ(a(3, 3), 1.0 / 1e-3);
    EXPECT_EQ(a(4, 4), 99.0);
    EXPECT_EQ(a(1, 2), 0.0);
}

TEST(DenseMatrix, SingularAndZeroDiagonalMatricesStopWithTheirMessages) {
    DenseMatrix rankOne; // second row twice the first: the second pivot is exactly 0
    rankOne(1, 1) = 1;
    rankOne(1, 2) = 2;
    rankOne(2, 1) = 2;
    rankOne(2, 2) = 4;
    EXPECT_EQ(failureText(rankOne, 2), "Error: inverse matrix D=0");

    DenseMatrix dependent; // row 3 = row 1 + row 2, integers so the elimination is exact
    const double rows[3][3] = {{1, 2, 0}, {0, 1, 4}, {1, 3, 4}};
    for (int i = 1; i <= 3; ++i)
        for (int k = 1; k <= 3; ++k)
            dependent(i, k) = rows[i - 1][k - 1];
    EXPECT_EQ(failureText(dependent, 3), "Error: inverse matrix D=0");

    DenseMatrix zeroDiagonal;
    zeroDiagonal(1, 1) = 1.0;
    zeroDiagonal(3, 3) = 3.0;
    EXPECT_EQ(failureText(zeroDiagonal, 3), "Division by zero");
    EXPECT_EQ(failureText(DenseMatrix{}, 5), "Division by zero");
    EXPECT_EQ(failureText(DenseMatrix{}, 17), "Subscript out of range");
}

TEST(DenseMatrix, ProductOfRectangularPartsClearsStaleElements) {
    DenseMatrix a; // 2 x 3
    DenseMatrix b; // 3 x 2
    double value = 1.0;
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 3; ++j) {
            a(i, j) = value;
            b(j, i) = 2.0 * value;
            value += 1.0;
        }
    DenseMatrix c;
    c(1, 1) = 1e9; // stale content must not leak into the result
    MultiplyMatrix(a, b, c, 2, 3, 2);
    // a = [1 2 3; 4 5 6], b = 2*a^T: c = 2*a*a^T = [28 64; 64 154]
    EXPECT_EQ(c(1, 1), 28.0);
    EXPECT_EQ(c(1, 2), 64.0);
    EXPECT_EQ(c(2, 1), 64.0);
    EXPECT_EQ(c(2, 2), 154.0);
}

} // namespace
} // namespace tessaly
