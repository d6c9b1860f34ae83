#pragma once
// A point-major table of one simulation run: its points 0..rows-1 by the curve store's columns 0..16
// (the numbering of ComponentCurrent and SurfaceConc), sized by the run rather than by the store's
// capacity. A run names the columns it writes (0..columns-1), so its table is only that wide; a checked
// write beyond them widens it, and every column not held reads zero. reset() keeps the allocation, so a
// table reused run after run (the trials of a fit) allocates only for a run larger than those before it.

#include "base/Checked.h"
#include "curves/ColumnRef.h"
#include "curves/CurveStore.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

namespace tessaly {

class RunTable {
public:
    // `rows` points of columns 0..columns-1 (1 to 17), every value zero.
    void reset(int rows, int columns = kColumnCapacity) {
        m_rows = rows > 0 ? rows : 0;
        m_columns = std::clamp(columns, 1, kColumnCapacity);
        m_data.assign(static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(m_columns), 0.0);
    }

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }

    // Unchecked access to a held column, for loops whose bounds are already checked.
    double& operator()(int point, int column) { return m_data[index(point, column)]; }
    double operator()(int point, int column) const { return m_data[index(point, column)]; }

    // Checked access: a point outside the run or a column outside 0..16 is a "Subscript out of range"
    // failure. A write to a column beyond the held ones widens the table; a read gives its zero.
    double& at(long long point, long long column) {
        const int k = checkedIndex(point, 0, m_rows - 1);
        const int c = checkedIndex(column, 0, kMaxColumn);
        if (c >= m_columns)
            widen(c + 1);
        return m_data[index(k, c)];
    }
    double at(long long point, long long column) const {
        const int k = checkedIndex(point, 0, m_rows - 1);
        const int c = checkedIndex(column, 0, kMaxColumn);
        return c < m_columns ? m_data[index(k, c)] : 0.0;
    }

    // Held column `column` as a view of points 0..rows-1 (for the curve transforms).
    ColumnRef column(int column) { return ColumnRef::inTable(m_data, m_columns, column); }

    // Points 0..rows-1 (at most this table's) into a store table of kColumnCapacity columns: the held
    // columns, and zero in the others.
    void copyInto(PointTable& to, int rows) const {
        const int last = std::min(rows, m_rows);
        to.reserve(last); // a run longer than the table grows it
        for (int k = 0; k < last; ++k) {
            const double* from = &m_data[index(k, 0)];
            double* row = &to(k, 0);
            std::copy(from, from + m_columns, row);
            std::fill(row + m_columns, row + kColumnCapacity, 0.0);
        }
    }

private:
    std::size_t index(int point, int column) const {
        return static_cast<std::size_t>(point) * static_cast<std::size_t>(m_columns) +
               static_cast<std::size_t>(column);
    }
    // Re-lays the table out `columns` wide, the new columns zero.
    void widen(int columns) {
        std::vector<double> wider(static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(columns), 0.0);
        for (int k = 0; k < m_rows; ++k)
            std::copy_n(&m_data[index(k, 0)], m_columns, &wider[static_cast<std::size_t>(k) * columns]);
        m_data.swap(wider);
        m_columns = columns;
    }

    int m_rows = 0;
    int m_columns = kColumnCapacity;
    std::vector<double> m_data;
};

} // namespace tessaly
