#pragma once
// A strided view of one column of a point-major table, or of a plain array. The curve transforms work
// on either kind through it: a curve column Curve[i][c] of a table of 5001 x 17 doubles is
// ColumnRef::inTable(table, 17, c), with element i at base[i * 17]; a plain array is a view of stride 1.

#include "base/Checked.h"

#include <concepts>
#include <cstddef>
#include <ranges>
#include <span>
#include <type_traits>

namespace tessaly {

class ColumnRef {
public:
    // A contiguous array: element i is values[i]. Implicit, so that a span, a vector or an array of
    // doubles can be passed where a column is expected.
    ColumnRef(std::span<double> values) // NOLINT(google-explicit-constructor)
        : m_base(values.data()), m_stride(1), m_size(static_cast<std::ptrdiff_t>(values.size())) {}
    template <std::ranges::contiguous_range Range>
    requires(!std::is_const_v<Range> && std::same_as<std::ranges::range_value_t<Range>, double>)
        ColumnRef(Range& values) // NOLINT(google-explicit-constructor)
        : ColumnRef(std::span<double>(values)) {}

    // Column `column` of a point-major table with `columns` doubles per point: element i is
    // table[i * columns + column]. An empty table gives an empty column.
    static ColumnRef inTable(std::span<double> table, std::ptrdiff_t columns, std::ptrdiff_t column) {
        if (columns <= 0 || column < 0 || column >= columns)
            raise(failure_text::subscriptOutOfRange);
        const auto rows = static_cast<std::ptrdiff_t>(table.size()) / columns;
        return ColumnRef(table.data() + column, columns, rows);
    }

    // Number of points the view holds (indices 0..size() - 1).
    std::ptrdiff_t size() const { return m_size; }
    std::ptrdiff_t stride() const { return m_stride; }

    // Unchecked access, for loops whose bounds were checked before they start.
    double& operator[](std::ptrdiff_t i) const { return m_base[i * m_stride]; }

    // Checked access: "Subscript out of range" outside 0..size() - 1.
    double& at(std::ptrdiff_t i) const {
        if (i < 0 || i >= m_size)
            raise(failure_text::subscriptOutOfRange);
        return m_base[i * m_stride];
    }

    // Raises "Subscript out of range" unless every index of low..high is inside the view.
    void requireRange(std::ptrdiff_t low, std::ptrdiff_t high) const {
        if (low < 0 || high >= m_size)
            raise(failure_text::subscriptOutOfRange);
    }

private:
    ColumnRef(double* base, std::ptrdiff_t stride, std::ptrdiff_t size)
        : m_base(base), m_stride(stride), m_size(size) {}

    double* m_base;
    std::ptrdiff_t m_stride;
    std::ptrdiff_t m_size;
};

} // namespace tessaly
