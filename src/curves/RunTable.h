#pragma once
// A point-major table of one simulation run: its points 0..rows-1 by the curve store's columns 0..16
// (the layout of ComponentCurrent and SurfaceConc), sized by the run rather than by the store's capacity.
// reset() keeps the allocation, so a table reused run after run (the trials of a fit) allocates only for
// a run longer than every one before it.

#include "base/Checked.h"
#include "curves/ColumnRef.h"
#include "curves/CurveStore.h"

#include <cstddef>
#include <span>
#include <vector>

namespace tessaly {

class RunTable {
public:
    // `rows` points, every value zero.
    void reset(int rows) {
        m_rows = rows > 0 ? rows : 0;
        m_data.assign(static_cast<std::size_t>(m_rows) * kColumnCapacity, 0.0);
    }

    int rows() const { return m_rows; }

    // Unchecked access for loops whose bounds are already checked.
    double& operator()(int point, int column) { return m_data[index(point, column)]; }
    double operator()(int point, int column) const { return m_data[index(point, column)]; }

    // Checked access: a point outside the run or a column outside 0..16 is a "Subscript out of range"
    // failure.
    double& at(long long point, long long column) {
        return m_data[index(checkedIndex(point, 0, m_rows - 1), checkedIndex(column, 0, kMaxColumn))];
    }
    double at(long long point, long long column) const {
        return m_data[index(checkedIndex(point, 0, m_rows - 1), checkedIndex(column, 0, kMaxColumn))];
    }

    // Column `column` as a view of points 0..rows-1 (for the curve transforms).
    ColumnRef column(int column) { return ColumnRef::inTable(m_data, kColumnCapacity, column); }

    // Row `point` (columns 0..16).
    std::span<const double> row(int point) const {
        return std::span<const double>(m_data).subspan(index(point, 0), kColumnCapacity);
    }

private:
    static std::size_t index(int point, int column) {
        return static_cast<std::size_t>(point) * kColumnCapacity + static_cast<std::size_t>(column);
    }
    int m_rows = 0;
    std::vector<double> m_data;
};

} // namespace tessaly
