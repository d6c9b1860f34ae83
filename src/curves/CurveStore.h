#pragma once
// The store of curves that every command reads and writes: one shared abscissa, up to sixteen
// ordinate columns, the per-point component currents and surface concentrations the simulations
// leave, the active range of points and the current curve. The arrays start with room for points
// 0..5000 and grow (never shrink) when a producer brings more points, so memory follows the data.

#include "base/Checked.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tessaly {

inline constexpr int kMaxPoint = 5000; // points 0..5000 exist from the start
inline constexpr int kPointCapacity = kMaxPoint + 1;
inline constexpr int kMaxColumn = 16; // curve columns 1..16; column 0 is never drawn
inline constexpr int kColumnCapacity = kMaxColumn + 1;

// The default colours of the curves (0x00BBGGRR), repeated over the columns: the Okabe-Ito palette,
// told apart with every common colour-vision deficiency and legible on white (its yellow is left
// out): vermillion, blue, bluish green, orange, reddish purple, sky blue, black.
inline constexpr std::array<std::uint32_t, 7> kCurvePalette = {0x005ED5, 0xB27200, 0x739E00, 0x009FE6,
                                                               0xA779CC, 0xE9B456, 0x000000};
// The default colour of column c (1..16).
constexpr std::uint32_t paletteColour(int c) {
    return kCurvePalette[static_cast<std::size_t>((c - 1) % static_cast<int>(kCurvePalette.size()))];
}

// A point-major table [0..points-1][0..16] of doubles, 5001 points to start with.
class PointTable {
public:
    PointTable() : m_data(static_cast<std::size_t>(kPointCapacity) * kColumnCapacity, 0.0) {}

    // Points held; the last index is points() - 1.
    int points() const { return static_cast<int>(m_data.size() / kColumnCapacity); }
    // Grows to hold at least `count` points; new points are zero.
    void reserve(int count) {
        if (count > points())
            m_data.resize(static_cast<std::size_t>(count) * kColumnCapacity, 0.0);
    }

    // Unchecked access for loops whose bounds are already checked.
    double& operator()(int point, int column) { return m_data[index(point, column)]; }
    double operator()(int point, int column) const { return m_data[index(point, column)]; }

    // Checked access: an index outside the capacity is a "Subscript out of range" failure.
    double& at(long long point, long long column) {
        return m_data[index(checkedIndex(point, 0, points() - 1), checkedIndex(column, 0, kMaxColumn))];
    }
    double at(long long point, long long column) const {
        return m_data[index(checkedIndex(point, 0, points() - 1), checkedIndex(column, 0, kMaxColumn))];
    }

    // The whole table, point-major with kColumnCapacity doubles per point.
    std::span<double> data() { return m_data; }
    std::span<const double> data() const { return m_data; }
    static constexpr int stride() { return kColumnCapacity; }

    void clear() { std::fill(m_data.begin(), m_data.end(), 0.0); }

private:
    static std::size_t index(int point, int column) {
        return static_cast<std::size_t>(point) * kColumnCapacity + static_cast<std::size_t>(column);
    }
    std::vector<double> m_data;
};

// A point array [0..points-1] with a checked accessor, 5001 points to start with.
class PointArray {
public:
    PointArray() : m_data(kPointCapacity, 0.0) {}
    int points() const { return static_cast<int>(m_data.size()); }
    void reserve(int count) {
        if (count > points())
            m_data.resize(static_cast<std::size_t>(count), 0.0);
    }
    double& operator[](int i) { return m_data[static_cast<std::size_t>(i)]; }
    double operator[](int i) const { return m_data[static_cast<std::size_t>(i)]; }
    double& at(long long i) { return m_data[static_cast<std::size_t>(checkedIndex(i, 0, points() - 1))]; }
    double at(long long i) const { return m_data[static_cast<std::size_t>(checkedIndex(i, 0, points() - 1))]; }
    std::span<double> span() { return m_data; }
    std::span<const double> span() const { return m_data; }

private:
    std::vector<double> m_data;
};

struct CurveStore {
    CurveStore();

    // Makes room for points 0..count (one cell beyond the data, which some transforms read) in the
    // potential, time and abscissa arrays and the curves. The simulations' per-point tables keep
    // their own size. "Subscript out of range" beyond the import limit.
    void reservePoints(int count);
    // The last index the potential array and the curves hold.
    int maxPoint() const { return Curve.points() - 1; }

    int NPoints = 0;    // points the last producer generated or read
    int LastIndex = 0;  // NPoints - 1
    int FirstPoint = 0; // first index of the active range
    int LastPoint = 0;  // last index (inclusive) of the active range
    int NForward = 0;   // points of one forward sweep (or half-cycle) of the last simulation or import
    bool MeasuredTime = false; // WaveT holds the times of an imported measurement
    // Cycle (or scan) number of points 0..NPoints-1 of an imported measurement, as the file's own cycle
    // column gives it; empty when the file has none and after any other producer.
    std::vector<int> Cycle;

    PointArray E;        // potential of each point, V
    PointArray EApplied; // applied potential of each point, V
    PointArray WaveT;    // time of each point of a designed or imported waveform or a measured curve, s
    PointArray XAxis;    // abscissa of the current display

    PointTable Curve;            // Curve(i, c): point i of curve c
    PointTable ComponentCurrent; // per-reaction and total currents of the last simulation, A
    PointTable SurfaceConc;      // surface concentration of species j at point i, mol/L

    int NCurves = 0;      // curve columns in use; the plot draws 1..NCurves
    int CurveNo = 0;      // the current curve (0 until a producer sets it)
    int CurvesPerRun = 0; // curves the latest producing command makes

    std::array<int, kColumnCapacity> CurveStyle{};           // 1 dots, 2 markers, 3 line
    std::array<std::uint32_t, kColumnCapacity> CurveColor{}; // 0x00BBGGRR

    std::string XTitle;
    std::string YTitle;
    bool FitMode = false;
    bool SeparateMode = false;
};

// Decides NCurves and CurveNo before a producer writes new curves. A single-curve producer then
// writes column CurveNo; a producer of k curves writes columns NCurves - k + 1 .. NCurves.
// Stacking with overlap stops at eight columns, leaving room for the fit and separation curves.
void PrepareCurveSlots(CurveStore& store, bool overlap, int numCharge);

// The same rules for a display command that shows `curves` new curves. The count it decides with is its
// own: CurvesPerRun keeps the count of the last producing command, so the next run allocates its column
// as it would have without the display.
void PrepareDisplaySlots(CurveStore& store, bool overlap, int numCharge, int curves);

// The same rules for the simulated curve of a fit, which goes beside the measured one: the column after
// the current curve (under a fit or separation rule) or the last column (appended or restarted). Returns
// that column; the current curve stays the measured one.
int PrepareFitSlot(CurveStore& store, bool overlap, int numCharge);

} // namespace tessaly
