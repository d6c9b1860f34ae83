#pragma once
// A measured curve as an instrument's text export holds it, before it enters the curve store:
// potential, current and, where the file has them, time and cycle number of every row.

#include <string>
#include <vector>

namespace tessaly {

// Files bigger than this are refused: the store holds at most this many points of one curve.
inline constexpr int kMaxImportPoints = 1000000;

// What the file declares about the sign of its currents.
enum class CurrentSign {
    AsWritten,      // a generic file: taken as written (the program's convention, reduction positive)
    AnodicPositive, // oxidation current positive: negated on import
};

struct MeasuredData {
    std::vector<double> E;       // potential, V
    std::vector<double> current; // current, A, in the file's own sign convention
    std::vector<double> time;    // s; empty when the file has no time column
    std::vector<int> cycle;      // cycle or scan number of each row; empty when the file has none
    std::string layout;          // the file structure, for the import report
    CurrentSign sign = CurrentSign::AsWritten;

    int rows() const { return static_cast<int>(E.size()); }
    // Appends one row; time and cycle only when the file has those columns.
    void add(double e, double i, const double* t, const int* c) {
        E.push_back(e);
        current.push_back(i);
        if (t)
            time.push_back(*t);
        if (c)
            cycle.push_back(*c);
    }
};

} // namespace tessaly
