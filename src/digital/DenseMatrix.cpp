#include "digital/DenseMatrix.h"

#include "base/Checked.h"
#include "base/Failure.h"

#include <cmath>
#include <utility>

namespace tessaly {

namespace {

void checkOrder(int order) {
    checkedIndex(order, 1, kMaxMatrixOrder);
}

} // namespace

void DenseMatrix::clear(int order) {
    for (int i = 1; i <= order; ++i)
        for (int k = 1; k <= order; ++k)
            element[i][k] = 0.0;
}

void DenseMatrix::setIdentity(int order) {
    for (int i = 1; i <= order; ++i)
        for (int k = 1; k <= order; ++k)
            element[i][k] = i == k ? 1.0 : 0.0;
}

void copyBlock(const DenseMatrix& from, DenseMatrix& to, int order) {
    for (int i = 1; i <= order; ++i)
        for (int k = 1; k <= order; ++k)
            to.element[i][k] = from.element[i][k];
}

bool isDiagonal(const DenseMatrix& a, int order) {
    for (int i = 1; i <= order; ++i)
        for (int k = 1; k <= order; ++k)
            if (i != k && a.element[i][k] != 0.0)
                return false;
    return true;
}

void InvertMatrix(DenseMatrix& a, int order) {
    checkOrder(order);
    if (!isDiagonal(a, order)) {
        InvertMatrixFull(a, order);
        return;
    }
    for (int i = 1; i <= order; ++i) {
        if (a.element[i][i] == 0.0)
            raise(failure_text::divisionByZero);
        a.element[i][i] = 1.0 / a.element[i][i];
    }
}

void InvertMatrixFull(DenseMatrix& a, int order) {
    checkOrder(order);
    auto& m = a.element;
    // pivotRow[k], pivotColumn[k]: the row and column brought to position k at step k.
    std::array<int, kMaxMatrixOrder + 1> pivotRow{};
    std::array<int, kMaxMatrixOrder + 1> pivotColumn{};

    for (int k = 1; k <= order; ++k) {
        double largest = 0.0;
        int row = k;
        int column = k;
        for (int i = k; i <= order; ++i)
            for (int j = k; j <= order; ++j)
                if (std::abs(m[i][j]) > largest) {
                    largest = std::abs(m[i][j]);
                    row = i;
                    column = j;
                }
        if (largest == 0.0)
            raise(kSingularMatrixText);

        if (row != k)
            for (int j = 1; j <= order; ++j)
                std::swap(m[row][j], m[k][j]);
        if (column != k)
            for (int i = 1; i <= order; ++i)
                std::swap(m[i][column], m[i][k]);
        pivotRow[k] = row;
        pivotColumn[k] = column;

        // Exchange step on pivot (k, k): afterwards rows and columns 1..k hold the inverse of the
        // leading k x k part of the permuted matrix, the rest its Schur complement.
        const double inversePivot = 1.0 / m[k][k];
        m[k][k] = 1.0;
        for (int j = 1; j <= order; ++j)
            m[k][j] *= inversePivot;
        for (int i = 1; i <= order; ++i) {
            if (i == k)
                continue;
            const double factor = m[i][k];
            if (factor == 0.0)
                continue;
            m[i][k] = 0.0;
            for (int j = 1; j <= order; ++j)
                m[i][j] -= factor * m[k][j];
        }
    }

    // The array holds inv(Pr * A * Pc) = Pc^T * inv(A) * Pr^T: a row exchange of A becomes a column
    // exchange of its inverse and vice versa, undone last exchange first.
    for (int k = order; k >= 1; --k) {
        if (pivotColumn[k] != k)
            for (int j = 1; j <= order; ++j)
                std::swap(m[pivotColumn[k]][j], m[k][j]);
        if (pivotRow[k] != k)
            for (int i = 1; i <= order; ++i)
                std::swap(m[i][pivotRow[k]], m[i][k]);
    }
}

void MultiplyMatrix(const DenseMatrix& a, const DenseMatrix& b, DenseMatrix& c, int rows, int inner,
                    int cols) {
    checkOrder(rows);
    checkOrder(inner);
    checkOrder(cols);
    for (int i = 1; i <= rows; ++i)
        for (int k = 1; k <= cols; ++k) {
            double sum = 0.0;
            for (int j = 1; j <= inner; ++j)
                sum += a.element[i][j] * b.element[j][k];
            c.element[i][k] = sum;
        }
}

} // namespace tessaly
