#pragma once
// Small dense matrices for the species-by-species blocks of the digital simulation: a fixed 17 x 17
// array used from index 1 (rows and columns 1..order, order <= 16; row and column 0 are never read),
// with in-place inversion and the matrix product.

#include <array>

namespace tessaly {

// Largest order of a block: one row per species.
inline constexpr int kMaxMatrixOrder = 16;

// A square matrix of fixed capacity, indexed (row, column) from 1. Plain value type: copying it
// copies the whole 17 x 17 array, so hot loops copy only the used part (see copyBlock).
struct DenseMatrix {
    std::array<std::array<double, kMaxMatrixOrder + 1>, kMaxMatrixOrder + 1> element{};

    double& operator()(int row, int column) { return element[row][column]; }
    double operator()(int row, int column) const { return element[row][column]; }

    // Sets rows and columns 1..order to 0.
    void clear(int order);
    // Sets rows and columns 1..order to the identity.
    void setIdentity(int order);
};

// Copies rows and columns 1..order of `from` into `to`.
void copyBlock(const DenseMatrix& from, DenseMatrix& to, int order);

// True when every off-diagonal element of rows and columns 1..order is exactly 0.
bool isDiagonal(const DenseMatrix& a, int order);

// Replaces A (order x order) by its inverse. A matrix whose off-diagonal elements are all exactly 0
// is inverted element by element in O(order); a zero diagonal element then raises "Division by zero".
// Any other matrix goes to InvertMatrixFull.
void InvertMatrix(DenseMatrix& a, int order);

// Gauss-Jordan inversion in place with full pivoting (the largest remaining element in absolute
// value is brought to the pivot position by a row and a column exchange, and the exchanges are
// undone on the inverse at the end). A singular matrix, whose largest remaining element is 0,
// raises the failure "Error: inverse matrix D=0" and leaves A partly transformed.
// Press, Teukolsky, Vetterling & Flannery, Numerical Recipes, 3rd ed. (2007), section 2.1.
void InvertMatrixFull(DenseMatrix& a, int order);

// C = A * B for A (rows x inner) and B (inner x cols); each C(i, k), i <= rows, k <= cols, is cleared
// and then accumulated. C must be a matrix distinct from A and B.
void MultiplyMatrix(const DenseMatrix& a, const DenseMatrix& b, DenseMatrix& c, int rows, int inner,
                    int cols);

// Description of the failure raised for a singular block.
inline constexpr const char* kSingularMatrixText = "Error: inverse matrix D=0";

} // namespace tessaly
