#include "analysis/Conversions.h"

#include "base/Checked.h"
#include "base/PhysicalConstants.h"
#include "curves/Transforms.h"

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace tessaly {
namespace {

using kind::Mechanism;
using kind::Technique;

// The two-sample techniques whose converted current is the derivative along the scan: differential pulse
// and square wave (the additive square wave keeps the plain step relation).
bool convertsByDerivative(Technique t) {
    return t == Technique::DifferentialPulse || t == Technique::SquareWave;
}

constexpr double kCurrentScale = kFaradayPerMillimole; // C/mmol: n F A C in A with C in mol/L

struct Couple {
    int ox = 0;  // species number of the oxidised form
    int red = 0; // species number of the reduced form
    int n = 1;   // electrons
    double nuOx = 1;
    double nuRed = 1;
    int protons = 0;
};

Couple coupleOf(const ExperimentParams& p, int j) {
    const ChargeReactionRow& row = p.tables.charge[static_cast<std::size_t>(checkedIndex(j, 1, kMaxCharge))];
    return {checkedIndex(row.ox, 1, kMaxColumn),
            checkedIndex(row.red, 1, kMaxColumn),
            row.n,
            row.nuOx,
            row.nuRed,
            row.protons};
}

int reactionCount(const ExperimentParams& p) {
    return checkedIndex(p.NumCharge, 0, kMaxCharge);
}

// The co-reactant Z of the catalytic step B + Z -> A: the partner of chemical reaction 1 that is not
// a species of charge reaction 1.
int catalyticCoReactant(const ExperimentParams& p) {
    const Couple c = coupleOf(p, 1);
    for (const int s : p.tables.chem[1].reactants)
        if (s != 0 && s != c.ox && s != c.red)
            return checkedIndex(s, 1, kMaxSpecies);
    return 3;
}

void requireNonZero(double divisor) {
    if (divisor == 0.0 || !std::isfinite(divisor))
        raise(failure_text::divisionByZero);
}

// The active range F..P, checked against the points the store holds.
struct Range {
    int first;
    int last;
};

Range activeRange(const CurveStore& store) {
    return {checkedIndex(store.FirstPoint, 0, store.maxPoint()),
            checkedIndex(store.LastPoint, -1, store.maxPoint())};
}

// The special conversions need at least one point in the active range (a file of one or two records
// leaves none).
Range nonEmptyActiveRange(const CurveStore& store) {
    const Range r = activeRange(store);
    if (r.last < r.first)
        raise(std::string(failure_text::subscriptOutOfRange) + ": the curve has no point in its active range");
    return r;
}

// A conversion factor of zero names what made it zero, after the designed "Division by zero".
void requireConversionFactor(double factor, Mechanism mechanism) {
    if (factor != 0.0 && std::isfinite(factor))
        return;
    raise(std::string(failure_text::divisionByZero) +
          (mechanism == Mechanism::Catalytic
               ? ": the EC' conversion needs a catalytic rate above 0, (kf(1) + kb(1)) times the "
                 "concentration of the co-reactant"
               : ": the conversion factor n F A sqrt(D) of a couple is 0 or not finite; check the electrode "
                 "area and the couple's n and D"));
}

// Undoes differentiate (central differences times v, forward difference at point 0) over the active
// range: the two interleaved chains y(j + 1) = y(j - 1) + 2 h D(j) / v start from y(F) = 0 and, for
// F = 1, y(0) = y(1) - h D(0) / v; for F > 1 the point before F is taken at the baseline as well.
void undoDifferentiate(std::span<double> y, Range r, double h, double v) {
    requireNonZero(v);
    const auto at = [&](int i) -> double& { return y[static_cast<std::size_t>(i)]; };
    std::vector<double> d(y.begin(), y.end());
    const auto D = [&](int i) { return d[static_cast<std::size_t>(i)] / v; };
    if (r.first < 1 || r.last < r.first)
        raise(failure_text::subscriptOutOfRange);
    at(r.first) = 0.0;
    at(r.first - 1) = r.first == 1 ? -h * D(0) : 0.0;
    for (int j = r.first; j <= r.last - 1; ++j)
        at(j + 1) = at(j - 1) + 2.0 * h * D(j);
}

} // namespace

double specialConversionFactor(const ExperimentParams& p, int reaction, int species, Mechanism mechanism) {
    const CommittedValues& c = p.committed;
    const Couple couple = coupleOf(p, reaction);
    const bool oxidised = species == kOxidisedSpecies;
    const int s = oxidised ? couple.ox : couple.red;
    const double nu = oxidised ? couple.nuOx : couple.nuRed;
    requireNonZero(nu);
    const double base =
        kCurrentScale * c.ElectrodeArea * couple.n * std::sqrt(c.DiffCoef[static_cast<std::size_t>(s)]) / nu;
    if (mechanism == Mechanism::Catalytic) {
        const int z = catalyticCoReactant(p);
        return std::sqrt((c.RateKf[1] + c.RateKb[1]) * c.InitConc[static_cast<std::size_t>(z)]) * base;
    }
    const Technique technique = p.technique();
    if (traits(technique).sweep)
        return base;
    // The sampled-current techniques sample at the fraction t s1 of the drop (2) or of the pulse (3),
    // as the simulation does; the others at the end of the step.
    const double period = technique == Technique::DcVoltammetry ? c.DropTime : c.PulseTime;
    const double t = traits(technique).sampledStep ? c.SampleFrac1 * period : period;
    const double cottrell = std::sqrt(std::numbers::pi * t);
    requireNonZero(cottrell);
    return base / cottrell;
}

void Co0toI1(CurveStore& store, const ExperimentParams& p, Mechanism mechanism, int species) {
    FloatingPointGuard guard;
    store.XTitle = "E /V";
    store.YTitle = "i /A";
    const int numCharge = reactionCount(p);
    store.NCurves = numCharge;
    store.CurvesPerRun = numCharge;
    const Range r = nonEmptyActiveRange(store);
    const CommittedValues& c = p.committed;
    const double sign = species == kOxidisedSpecies ? 1.0 : -1.0;
    for (int j = 1; j <= numCharge; ++j) {
        const Couple couple = coupleOf(p, j);
        const int s = species == kOxidisedSpecies ? couple.ox : couple.red;
        const double k = sign * specialConversionFactor(p, j, species, mechanism);
        const double bulk = c.InitConc[static_cast<std::size_t>(s)];
        for (int i = r.first; i <= r.last; ++i) {
            const double surface = store.Curve(i, s); // read before column j is written (s may be j)
            store.Curve(i, j) = k * (bulk - surface);
        }
        store.CurveNo = j;
        const ColumnRef column = ColumnRef::inTable(store.Curve.data(), PointTable::stride(), j);
        if (convertsByDerivative(p.technique())) {
            differentiate(column, store.LastIndex, store.NPoints, store.LastPoint,
                          abscissaStep(store.E.span()), c.ScanRate);
        } else if (traits(p.technique()).sweep && mechanism == Mechanism::SimpleCharge) {
            semiDifferentiate(column, store.FirstPoint, store.LastIndex, c.DropTime);
        }
        FloatingPointGuard::check();
    }
}

void I1toC0(CurveStore& store, const ExperimentParams& p, Mechanism mechanism) {
    FloatingPointGuard guard;
    const int numCharge = reactionCount(p);
    const Range r = nonEmptyActiveRange(store);
    const int last = checkedIndex(std::max(store.LastIndex, r.last), 0, store.maxPoint());
    const CommittedValues& c = p.committed;
    const bool sweep = traits(p.technique()).sweep;
    const bool derivative = convertsByDerivative(p.technique());

    // Every reaction's current first, since the concentration columns overlap the current columns.
    const auto points = static_cast<std::size_t>(store.maxPoint()) + 1;
    std::vector<double> currents(static_cast<std::size_t>(numCharge) * points, 0.0);
    for (int j = 1; j <= numCharge; ++j) {
        const std::span<double> x(currents.data() + static_cast<std::size_t>(j - 1) * points, points);
        for (int i = 0; i <= last; ++i)
            x[static_cast<std::size_t>(i)] = store.Curve(i, j);
        if (derivative)
            undoDifferentiate(x, r, abscissaStep(store.E.span()), c.ScanRate);
        else if (sweep && mechanism == Mechanism::SimpleCharge)
            undoSemiDifferentiate(x, r.last, c.DropTime);
    }

    for (int j = 1; j <= numCharge; ++j) {
        const Couple couple = coupleOf(p, j);
        const double kOx = specialConversionFactor(p, j, kOxidisedSpecies, mechanism);
        const double kRed = specialConversionFactor(p, j, kReducedSpecies, mechanism);
        requireConversionFactor(kOx, mechanism);
        requireConversionFactor(kRed, mechanism);
        const double bulkOx = c.InitConc[static_cast<std::size_t>(couple.ox)];
        const double bulkRed = c.InitConc[static_cast<std::size_t>(couple.red)];
        const double* x = currents.data() + static_cast<std::size_t>(j - 1) * points;
        for (int i = r.first; i <= r.last; ++i) {
            const double transformed = x[i]; // K (C* - C0) of the oxidised form, A
            store.Curve(i, couple.ox) = bulkOx - transformed / kOx;
            store.Curve(i, couple.red) = bulkRed + transformed / kRed;
        }
    }
    FloatingPointGuard::check();
    store.XTitle = "E /V  ";
    store.YTitle = "C0 /M  ";
    store.NCurves = checkedIndex(p.NumSpecies, 0, kMaxColumn);
    store.CurvesPerRun = store.NCurves;
    store.CurveNo = 1;
}

std::optional<double> generalCurrentScale(const ExperimentParams& p, double surfaceAreaFactor) {
    const double scale = kCurrentScale * p.committed.ElectrodeArea;
    if (traits(p.electrode()).grid == kind::DiffusionGeometry::Planar) // g = 1
        return scale;
    if (surfaceAreaFactor == 0.0 || surfaceAreaFactor == 1.0)
        return std::nullopt;
    return scale * surfaceAreaFactor;
}

namespace {

// Butler-Volmer rate constants of reaction j at potential e, cm/s.
struct RateConstants {
    double kf;
    double kb;
};

RateConstants rateConstants(const ExperimentParams& p, int j, const Couple& couple, double e) {
    const CommittedValues& c = p.committed;
    const auto row = static_cast<std::size_t>(j);
    const double xi = couple.n * p.fRT * (e - c.FormalPotential[row]) + c.PHFactor * couple.protons;
    const double alpha = c.Alpha[row];
    return {c.RateKs[row] * std::exp(-alpha * xi / couple.nuOx),
            c.RateKs[row] * std::exp((1.0 - alpha) * xi / couple.nuRed)};
}

// Solves the n x n system m x = b (row-major m) by elimination with partial pivoting; m and b are
// overwritten. A singular system (a reaction whose rates vanish) is a division by zero.
void solveSmallSystem(std::vector<double>& m, std::vector<double>& b, std::vector<double>& x, std::size_t n) {
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row)
            if (std::fabs(m[row * n + col]) > std::fabs(m[pivot * n + col]))
                pivot = row;
        requireNonZero(m[pivot * n + col]);
        if (pivot != col) {
            for (std::size_t q = 0; q < n; ++q)
                std::swap(m[col * n + q], m[pivot * n + q]);
            std::swap(b[col], b[pivot]);
        }
        for (std::size_t row = col + 1; row < n; ++row) {
            const double f = m[row * n + col] / m[col * n + col];
            for (std::size_t q = col; q < n; ++q)
                m[row * n + q] -= f * m[col * n + q];
            b[row] -= f * b[col];
        }
    }
    for (std::size_t row = n; row-- > 0;) {
        double sum = b[row];
        for (std::size_t q = row + 1; q < n; ++q)
            sum -= m[row * n + q] * x[q];
        x[row] = sum / m[row * n + row];
    }
}

} // namespace

void ConcentrationToCurrent(CurveStore& store, const ExperimentParams& p, double scale) {
    FloatingPointGuard guard;
    const int numCharge = reactionCount(p);
    const Range r = activeRange(store);
    const auto points = static_cast<std::size_t>(store.maxPoint()) + 1;
    std::vector<double> currents(static_cast<std::size_t>(numCharge + 1) * points, 0.0);
    const auto current = [&](int j, int i) -> double& {
        return currents[static_cast<std::size_t>(j) * points + static_cast<std::size_t>(i)];
    };
    for (int j = 1; j <= numCharge; ++j) {
        const Couple couple = coupleOf(p, j);
        for (int i = r.first; i <= r.last; ++i) {
            const RateConstants k = rateConstants(p, j, couple, store.E[i]);
            const double value = scale * couple.n *
                                 (k.kf * store.Curve(i, couple.ox) / couple.nuOx -
                                  k.kb * store.Curve(i, couple.red) / couple.nuRed);
            current(j - 1, i) = value;
            current(numCharge, i) += value;
        }
        FloatingPointGuard::check();
    }
    const int columns = numCharge > 1 ? numCharge + 1 : numCharge;
    checkedIndex(columns, 0, kMaxColumn);
    for (int j = 1; j <= columns; ++j)
        for (int i = r.first; i <= r.last; ++i)
            store.Curve(i, j) = j <= numCharge ? current(j - 1, i) : current(numCharge, i);
    store.XTitle = "E /V";
    store.YTitle = "i /A";
    store.NCurves = columns;
    store.CurvesPerRun = columns;
    store.CurveNo = columns;
}

void CurrentToConcentration(CurveStore& store, const ExperimentParams& p, double scale) {
    FloatingPointGuard guard;
    const int numCharge = reactionCount(p);
    const int numSpecies = checkedIndex(p.NumSpecies, 0, kMaxColumn);
    const Range r = activeRange(store);
    const CommittedValues& c = p.committed;
    const auto points = static_cast<std::size_t>(store.maxPoint()) + 1;

    std::vector<double> currents(static_cast<std::size_t>(numCharge) * points, 0.0);
    for (int j = 1; j <= numCharge; ++j)
        for (int i = r.first; i <= r.last; ++i)
            currents[static_cast<std::size_t>(j - 1) * points + static_cast<std::size_t>(i)] =
                store.Curve(i, j);

    // Each reaction j depletes its oxidised form by d_j and feeds its reduced form rho_j d_j (the flux
    // balance of planar diffusion, rho_j = sqrt(D_O) nu_R / (sqrt(D_R) nu_O)); a species in two
    // reactions (B of A -> B -> C) takes both changes. The currents then fix the d_j through the rate
    // laws, one linear equation per reaction: sum_k M(j,k) d_k = b_j, solved at every point.
    const auto n = static_cast<std::size_t>(numCharge);
    std::vector<Couple> couples;
    std::vector<double> rho;
    for (int j = 1; j <= numCharge; ++j) {
        const Couple couple = coupleOf(p, j);
        const double sqrtDOx = std::sqrt(c.DiffCoef[static_cast<std::size_t>(couple.ox)]);
        const double sqrtDRed = std::sqrt(c.DiffCoef[static_cast<std::size_t>(couple.red)]);
        requireNonZero(scale * couple.n);
        requireNonZero(sqrtDRed * couple.nuOx);
        couples.push_back(couple);
        rho.push_back(sqrtDOx * couple.nuRed / (sqrtDRed * couple.nuOx));
    }
    // Change of species s per unit d_k.
    const auto share = [&](int s, std::size_t k) {
        double a = 0;
        if (couples[k].ox == s)
            a -= 1.0;
        if (couples[k].red == s)
            a += rho[k];
        return a;
    };
    std::vector<double> m(n * n), rhs(n), d(n);
    for (int i = r.first; i <= r.last; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            const Couple& couple = couples[j];
            const RateConstants k = rateConstants(p, static_cast<int>(j) + 1, couple, store.E[i]);
            const double flux = currents[j * points + static_cast<std::size_t>(i)] /
                                (scale * couple.n); // kf C_O / nuO - kb C_R / nuR, mol/L cm/s
            const double bulkOx = c.InitConc[static_cast<std::size_t>(couple.ox)];
            const double bulkRed = c.InitConc[static_cast<std::size_t>(couple.red)];
            rhs[j] = flux - (k.kf * bulkOx / couple.nuOx - k.kb * bulkRed / couple.nuRed);
            for (std::size_t q = 0; q < n; ++q)
                m[j * n + q] =
                    k.kf / couple.nuOx * share(couple.ox, q) - k.kb / couple.nuRed * share(couple.red, q);
        }
        solveSmallSystem(m, rhs, d, n);
        for (int s = 1; s <= numSpecies; ++s) {
            double value = c.InitConc[static_cast<std::size_t>(s)];
            for (std::size_t q = 0; q < n; ++q)
                value += share(s, q) * d[q];
            store.Curve(i, s) = value;
        }
    }
    FloatingPointGuard::check();
    store.XTitle = "E /V  ";
    store.YTitle = "C0 /M  ";
    store.NCurves = numSpecies;
    store.CurvesPerRun = numSpecies;
    store.CurveNo = 1;
}

} // namespace tessaly
