#include "simulation/ConvolutionKinetics.h"

#include "base/Failure.h"
#include "simulation/ExponentialSum.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace tessaly {

int KineticSystem::channel(int reaction, double decay, double radial) {
    for (std::size_t c = 0; c < channels.size(); ++c)
        if (channels[c].reaction == reaction && channels[c].decay == decay && channels[c].radial == radial)
            return static_cast<int>(c);
    if (channels.size() >= static_cast<std::size_t>(kMaxKineticChannels))
        raise(failure_text::subscriptOutOfRange);
    channels.push_back({reaction, decay, radial});
    return static_cast<int>(channels.size()) - 1;
}

void KineticSystem::couple(int speciesIndex, int reaction, double decay, double radial, double coupling) {
    const int c = channel(reaction, decay, radial);
    species.at(static_cast<std::size_t>(speciesIndex)).coupling[static_cast<std::size_t>(c)] += coupling;
}

int KineticSystem::addSpecies(double bulk) {
    if (species.size() >= static_cast<std::size_t>(kMaxKineticSpecies))
        raise(failure_text::subscriptOutOfRange);
    KineticSpecies s;
    s.bulk = bulk;
    species.push_back(s);
    return static_cast<int>(species.size()) - 1;
}

namespace {

constexpr double kSqrtPi = 1.7724538509055160273; // √π

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

// ∫_0^h e^(−ku)·u^(s−1) du / √π for s = 1/2 and 3/2: the integrals of the kernel e^(−ku)/√(πu) and of
// u times it over one step.
struct KernelIntegrals {
    double J0 = 0.0;
    double J1 = 0.0;
};

KernelIntegrals kernelIntegrals(double k, double h) {
    KernelIntegrals J;
    const double x = k * h;
    const double rootH = std::sqrt(h);
    if (x < 1.0) {
        // γ(s, x) = x^s·e^(−x)·Σ_j x^j/(s(s+1)...(s+j)), scaled by k^(−s) = h^s/x^s.
        const double e = std::exp(-x);
        double term0 = 1.0 / 0.5, sum0 = term0;
        double term1 = 1.0 / 1.5, sum1 = term1;
        for (int j = 1; j < 40 && term0 > 1e-18 * sum0; ++j) {
            term0 *= x / (0.5 + j);
            term1 *= x / (1.5 + j);
            sum0 += term0;
            sum1 += term1;
        }
        J.J0 = rootH * e * sum0 / kSqrtPi;
        J.J1 = h * rootH * e * sum1 / kSqrtPi;
        return J;
    }
    // γ(1/2, x) = √π·erf(√x), γ(3/2, x) = γ(1/2, x)/2 − √x·e^(−x).
    const double r = std::sqrt(x);
    const double g0 = kSqrtPi * std::erf(r);
    const double g1 = 0.5 * g0 - r * std::exp(-x);
    J.J0 = g0 / std::sqrt(k) / kSqrtPi;
    J.J1 = g1 / (k * std::sqrt(k)) / kSqrtPi;
    return J;
}

// ∫_0^h e^(−μu) du and ∫_0^h u·e^(−μu) du; by their Taylor series Σ_j (−x)^j/(j+1)! and
// Σ_j (−x)^j·(j+1)/(j+2)! (times h and h²) where x = μh is small and the closed forms would cancel.
void exponentialIntegrals(double mu, double h, double& phi0, double& phi1) {
    const double x = mu * h;
    if (x < 0.1) {
        double s0 = 0.0, s1 = 0.0;
        double power = 1.0;     // (−x)^j
        double factorial = 1.0; // (j+1)!
        for (int j = 0; j < 10; ++j) {
            s0 += power / factorial;
            s1 += power * (j + 1) / (factorial * (j + 2));
            power *= -x;
            factorial *= j + 2;
        }
        phi0 = h * s0;
        phi1 = h * h * s1;
        return;
    }
    const double oneMinus = -std::expm1(-x); // 1 − e^(−x)
    phi0 = oneMinus / mu;
    phi1 = (oneMinus - x * std::exp(-x)) / (mu * mu);
}

// Coefficients of one step length under one decay: per term m the decay e^(−(λ_m + k)h), the history
// weight w_m·e^(−(λ_m + k)h) and the two integrals that advance the running state, and the kernel
// integrals of the step itself.
struct StepCoefficients {
    std::vector<double> decay, history, phi0, phi1;
    KernelIntegrals local;
};

void fillCoefficients(const ExponentialSum& sum, double k, double h, StepCoefficients& c) {
    const std::size_t terms = sum.rate.size();
    c.decay.resize(terms);
    c.history.resize(terms);
    c.phi0.resize(terms);
    c.phi1.resize(terms);
    for (std::size_t m = 0; m < terms; ++m) {
        const double mu = sum.rate[m] + k;
        const double e = std::exp(-mu * h);
        c.decay[m] = e;
        c.history[m] = sum.weight[m] * e;
        exponentialIntegrals(mu, h, c.phi0[m], c.phi1[m]);
    }
    c.local = kernelIntegrals(k, h);
}

// State of one channel: the running integrals of the exponential terms and the last nodes of X.
struct ChannelState {
    std::vector<double> z;
    double X1 = 0.0;          // X at the previous node
    double slope = 0.0;       // (X1 − X at the node before)/previous length
    double previousLength = 0.0;
    int stepsSinceRestart = 0;
    // Affine law of the present step, v = alpha·X + beta, and the integrand X' + kX of the step,
    // A + B·(τ − t_n) with A = a1·X + a0, B = b1·X + b0, X the value at the step's end.
    double alpha = 0.0, beta = 0.0, a1 = 0.0, a0 = 0.0, b1 = 0.0, b0 = 0.0;
    double X = 0.0;
};

// Σ a[m]·b[m] with four partial sums, so that the multiply-adds are not one dependent chain.
double dot(const double* a, const double* b, std::size_t n) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    std::size_t m = 0;
    for (; m + 4 <= n; m += 4) {
        s0 += a[m] * b[m];
        s1 += a[m + 1] * b[m + 1];
        s2 += a[m + 2] * b[m + 2];
        s3 += a[m + 3] * b[m + 3];
    }
    for (; m < n; ++m)
        s0 += a[m] * b[m];
    return (s0 + s1) + (s2 + s3);
}

// Equilibrium monomer of a total T, (K/4)(√(1 + 8T/K) − 1) written without cancellation as
// 2T/(1 + √(1 + 8T/K)), and its derivative 1/√(1 + 8T/K); continued linearly below T = 0 (an iterate,
// never a solution).
double monomer(double K, double T, double& derivative) {
    if (T <= 0.0 || K <= 0.0) {
        derivative = K > 0.0 ? 1.0 : 0.0;
        return derivative * T;
    }
    const double root = std::sqrt(1.0 + 8.0 * T / K);
    derivative = 1.0 / root;
    return 2.0 * T / (1.0 + root);
}

class Solver {
public:
    Solver(const KineticSystem& system, double fRT, const KineticTimeline& timeline)
        : m_system(system), m_fRT(fRT), m_timeline(timeline) {
        validate();
        double shortest = m_timeline.lengths.front();
        for (double h : m_timeline.lengths)
            shortest = std::min(shortest, h);
        m_sum = diffusionKernelExponentials(shortest, std::max(m_timeline.span, shortest));
        // Coefficient tables for every distinct constant decay and step length.
        for (const KineticChannel& c : m_system.channels) {
            if (std::find(m_decays.begin(), m_decays.end(), c.decay) == m_decays.end())
                m_decays.push_back(c.decay);
        }
        m_tables.resize(m_decays.size() * m_timeline.lengths.size());
        for (std::size_t d = 0; d < m_decays.size(); ++d)
            for (std::size_t l = 0; l < m_timeline.lengths.size(); ++l)
                fillCoefficients(m_sum, m_decays[d], m_timeline.lengths[l], table(d, l));
        for (const KineticChannel& c : m_system.channels)
            m_decayIndex.push_back(static_cast<int>(
                std::find(m_decays.begin(), m_decays.end(), c.decay) - m_decays.begin()));
        m_state.resize(m_system.channels.size());
        for (ChannelState& s : m_state)
            s.z.assign(m_sum.rate.size(), 0.0);
        m_lossDecay = m_system.dimerisation.channel >= 0 ? 0.0 : -1.0;
    }

    void run(std::span<double> rates) {
        const std::size_t J = m_system.reactions.size();
        if (rates.size() < static_cast<std::size_t>(m_timeline.samples) * J)
            raise(failure_text::subscriptOutOfRange);
        std::array<double, kMaxKineticReactions> v{};
        for (const KineticStep& step : m_timeline.steps) {
            if (step.restart)
                restart();
            const double h = m_timeline.lengths.at(at(step.length));
            rateConstants(step.E);
            if (m_system.dimerisation.channel >= 0)
                solveWithLoss(step, h, v);
            else
                solveStep(step, h, v);
            for (std::size_t c = 0; c < m_state.size(); ++c)
                advance(m_state[c], coefficientsOf(static_cast<int>(c), step), h);
            for (const int slot : {step.sample, step.secondSample}) {
                if (slot < 0)
                    continue;
                if (slot >= m_timeline.samples)
                    raise(failure_text::subscriptOutOfRange);
                for (std::size_t j = 0; j < J; ++j)
                    rates[at(slot) * J + j] = v[j];
            }
        }
    }

private:
    const KineticSystem& m_system;
    double m_fRT;
    const KineticTimeline& m_timeline;
    ExponentialSum m_sum;
    std::vector<double> m_decays;
    std::vector<StepCoefficients> m_tables;
    std::vector<int> m_decayIndex;
    std::vector<ChannelState> m_state;
    StepCoefficients m_lossTable; // the dimerisation channel's coefficients at its present decay
    double m_lossDecay = -1.0;    // decay m_lossTable was filled for
    double m_lossLength = -1.0;
    std::array<double, kMaxKineticReactions> m_kf{}, m_kb{}; // kf/nuOx and kb/nuRed at the step
    double m_lastE = std::numeric_limits<double>::quiet_NaN();

    void validate() const {
        const std::size_t J = m_system.reactions.size();
        const auto S = static_cast<int>(m_system.species.size());
        if (J == 0 || J > static_cast<std::size_t>(kMaxKineticReactions) || m_timeline.lengths.empty())
            raise(failure_text::invalidCall);
        for (const KineticReaction& r : m_system.reactions)
            if (r.ox < 0 || r.ox >= S || r.red < 0 || r.red >= S)
                raise(failure_text::subscriptOutOfRange);
        for (const KineticChannel& c : m_system.channels)
            if (c.reaction < 0 || c.reaction >= static_cast<int>(J) || !(c.decay >= 0) || !(c.radial >= 0))
                raise(failure_text::invalidCall);
        for (double h : m_timeline.lengths)
            if (!(h > 0) || !std::isfinite(h))
                raise(failure_text::invalidCall);
        if (!m_timeline.steps.empty() && !m_timeline.steps.front().restart)
            raise(failure_text::invalidCall);
    }

    StepCoefficients& table(std::size_t decay, std::size_t length) {
        return m_tables[decay * m_timeline.lengths.size() + length];
    }

    const StepCoefficients& coefficientsOf(int c, const KineticStep& step) {
        if (c == m_system.dimerisation.channel)
            return m_lossTable;
        return table(at(m_decayIndex[at(c)]), at(step.length));
    }

    void restart() {
        for (ChannelState& s : m_state) {
            std::fill(s.z.begin(), s.z.end(), 0.0);
            s.X1 = s.slope = s.previousLength = s.X = 0.0;
            s.stepsSinceRestart = 0;
        }
    }

    void rateConstants(double E) {
        if (E == m_lastE)
            return;
        m_lastE = E;
        for (std::size_t j = 0; j < m_system.reactions.size(); ++j) {
            const KineticReaction& r = m_system.reactions[j];
            const double xi = r.n * m_fRT * (E - r.E0);
            m_kf[j] = r.ks * std::exp(-r.alpha * xi / r.nuOx) / r.nuOx;
            m_kb[j] = r.ks * std::exp((1.0 - r.alpha) * xi / r.nuRed) / r.nuRed;
        }
    }

    // The affine law v = alpha·X + beta of channel c over the present step.
    void affineLaw(int c, const KineticStep& step, double h) {
        ChannelState& s = m_state[at(c)];
        const StepCoefficients& coef = coefficientsOf(c, step);
        const double k = c == m_system.dimerisation.channel ? m_lossDecay : m_system.channels[at(c)].decay;
        const double history = dot(coef.history.data(), s.z.data(), s.z.size());
        // X' on the step: linear through (t_(n−1), X1) and (t_n, X), or quadratic through the node before
        // as well; kX linear between the nodes.
        const bool quadratic = step.quadratic && s.stepsSinceRestart >= 2;
        if (quadratic) {
            const double h0 = s.previousLength;
            const double c2 = h / (h + h0);
            const double c1 = 1.0 + c2;
            s.a1 = c1 / h + k;
            s.a0 = -c1 * s.X1 / h - c2 * s.slope;
            s.b1 = 2.0 / (h * (h + h0)) + k / h;
            s.b0 = -2.0 * (s.X1 / h + s.slope) / (h + h0) - k * s.X1 / h;
        } else {
            s.a1 = 1.0 / h + k;
            s.a0 = -s.X1 / h;
            s.b1 = k / h;
            s.b0 = -k * s.X1 / h;
        }
        s.alpha = s.a1 * coef.local.J0 - s.b1 * coef.local.J1 + m_system.channels[at(c)].radial;
        s.beta = s.a0 * coef.local.J0 - s.b0 * coef.local.J1 + history;
    }

    // Surface concentration of species i for the channel values X.
    double surface(int i, const std::array<double, kMaxKineticChannels>& X) const {
        const KineticSpecies& sp = m_system.species[at(i)];
        double c = sp.bulk;
        for (std::size_t k = 0; k < m_system.channels.size(); ++k)
            c += sp.coupling[k] * X[k];
        return c;
    }

    // Solves the reactions' rates at the end of the step from the affine laws of the channels.
    void solveStep(const KineticStep& step, double h, std::array<double, kMaxKineticReactions>& v) {
        const std::size_t C = m_system.channels.size();
        for (std::size_t c = 0; c < C; ++c)
            affineLaw(static_cast<int>(c), step, h);
        if (m_system.dimer.monomer >= 0)
            solveDimer(v);
        else
            solveLinear(v);
        for (std::size_t c = 0; c < C; ++c) {
            ChannelState& s = m_state[c];
            s.X = (v[at(m_system.channels[c].reaction)] - s.beta) / s.alpha;
        }
    }

    // J linear equations v_j = kf_j·C_O(0) − kb_j·C_R(0) with C(0) = bulk + Σ_c G·(v_(j_c) − beta_c)/alpha_c,
    // each row scaled by its largest coefficient so that a Nernstian couple (huge kf, kb) stays well
    // conditioned; Gaussian elimination with partial pivoting.
    void solveLinear(std::array<double, kMaxKineticReactions>& v) const {
        const std::size_t J = m_system.reactions.size();
        const std::size_t C = m_system.channels.size();
        if (J == 1) {
            // v·(1 + Σ_c g_c) = kf·C_O − kb·C_R + Σ_c g_c·beta_c with g_c = (kb·G_R − kf·G_O)/alpha_c.
            const KineticReaction& r = m_system.reactions[0];
            const KineticSpecies& ox = m_system.species[at(r.ox)];
            const KineticSpecies& red = m_system.species[at(r.red)];
            double lhs = 1.0;
            double rhs = m_kf[0] * ox.bulk - m_kb[0] * red.bulk;
            for (std::size_t c = 0; c < C; ++c) {
                const double g = (m_kb[0] * red.coupling[c] - m_kf[0] * ox.coupling[c]) / m_state[c].alpha;
                lhs += g;
                rhs += g * m_state[c].beta;
            }
            if (lhs == 0.0)
                raise(failure_text::divisionByZero);
            v[0] = rhs / lhs;
            return;
        }
        double M[kMaxKineticReactions][kMaxKineticReactions] = {};
        double rhs[kMaxKineticReactions] = {};
        for (std::size_t j = 0; j < J; ++j) {
            const KineticReaction& r = m_system.reactions[j];
            const KineticSpecies& ox = m_system.species[at(r.ox)];
            const KineticSpecies& red = m_system.species[at(r.red)];
            M[j][j] = 1.0;
            rhs[j] = m_kf[j] * ox.bulk - m_kb[j] * red.bulk;
            for (std::size_t c = 0; c < C; ++c) {
                const double g = (m_kf[j] * ox.coupling[c] - m_kb[j] * red.coupling[c]) / m_state[c].alpha;
                M[j][at(m_system.channels[c].reaction)] -= g;
                rhs[j] -= g * m_state[c].beta;
            }
            double scale = 0.0;
            for (std::size_t i = 0; i < J; ++i)
                scale = std::max(scale, std::fabs(M[j][i]));
            if (scale == 0.0)
                raise(failure_text::divisionByZero);
            for (std::size_t i = 0; i < J; ++i)
                M[j][i] /= scale;
            rhs[j] /= scale;
        }
        std::array<std::size_t, kMaxKineticReactions> order{};
        for (std::size_t j = 0; j < J; ++j)
            order[j] = j;
        for (std::size_t col = 0; col < J; ++col) {
            std::size_t pivot = col;
            for (std::size_t row = col + 1; row < J; ++row)
                if (std::fabs(M[order[row]][col]) > std::fabs(M[order[pivot]][col]))
                    pivot = row;
            std::swap(order[col], order[pivot]);
            const std::size_t p = order[col];
            if (M[p][col] == 0.0)
                raise(failure_text::divisionByZero);
            for (std::size_t row = col + 1; row < J; ++row) {
                const std::size_t q = order[row];
                const double f = M[q][col] / M[p][col];
                for (std::size_t i = col; i < J; ++i)
                    M[q][i] -= f * M[p][i];
                rhs[q] -= f * rhs[p];
            }
        }
        for (std::size_t col = J; col-- > 0;) {
            const std::size_t p = order[col];
            double s = rhs[p];
            for (std::size_t i = col + 1; i < J; ++i)
                s -= M[p][i] * v[i];
            v[col] = s / M[p][col];
        }
    }

    // One reaction whose oxidised form is the monomer of a dimer equilibrium: the residual
    // v − kf·A(T(v)) + kb·C_R(v) rises with v and is convex, so Newton's method converges from any start.
    void solveDimer(std::array<double, kMaxKineticReactions>& v) const {
        const KineticReaction& r = m_system.reactions[0];
        const KineticSpecies& total = m_system.species[at(m_system.dimer.total)];
        const KineticSpecies& red = m_system.species[at(r.red)];
        // T(v) = T0 + T1·v and C_R(v) = R0 + R1·v.
        double T0 = total.bulk, T1 = 0.0, R0 = red.bulk, R1 = 0.0;
        for (std::size_t c = 0; c < m_system.channels.size(); ++c) {
            const ChannelState& s = m_state[c];
            T0 -= total.coupling[c] * s.beta / s.alpha;
            T1 += total.coupling[c] / s.alpha;
            R0 -= red.coupling[c] * s.beta / s.alpha;
            R1 += red.coupling[c] / s.alpha;
        }
        const double K = m_system.dimer.K;
        double x = v[0];
        for (int iteration = 0; iteration < 100; ++iteration) {
            double dA = 0.0;
            const double A = monomer(K, T0 + T1 * x, dA);
            const double residual = x - m_kf[0] * A + m_kb[0] * (R0 + R1 * x);
            const double slope = 1.0 - m_kf[0] * dA * T1 + m_kb[0] * R1;
            const double next = x - residual / slope;
            const bool done = std::fabs(next - x) <= 1e-14 * std::max(std::fabs(next), 1e-300);
            x = next;
            if (done)
                break;
        }
        v[0] = x;
    }

    // The dimerisation channel's decay follows the surface concentration of B at the end of the step:
    // k = (2/3)·k2·C_B(0), found by the secant method on k − (2/3)·k2·C_B(0; k).
    void solveWithLoss(const KineticStep& step, double h, std::array<double, kMaxKineticReactions>& v) {
        const SecondOrderLoss& loss = m_system.dimerisation;
        const double factor = 2.0 / 3.0 * loss.rateConstant;
        auto evaluate = [&](double k) {
            setLossDecay(k, h);
            solveStep(step, h, v);
            std::array<double, kMaxKineticChannels> X{};
            for (std::size_t c = 0; c < m_state.size(); ++c)
                X[c] = m_state[c].X;
            return k - factor * std::max(surface(loss.species, X), 0.0);
        };
        double k0 = std::max(m_lossDecay, 0.0);
        double f0 = evaluate(k0);
        if (f0 == 0.0)
            return;
        // A bracket: f rises with k, and C_B falls as k rises, so k0 − f0 lies above the root when f0 < 0.
        double k1 = f0 < 0.0 ? k0 - f0 : 0.0;
        double f1 = evaluate(k1);
        // Regula falsi with the Illinois modification (Dowell & Jarratt, BIT 11 (1971) 168).
        for (int iteration = 0; iteration < 100 && f1 != 0.0; ++iteration) {
            const double k2 = k1 - f1 * (k1 - k0) / (f1 - f0);
            const double f2 = evaluate(k2);
            const bool converged = std::fabs(k2 - k1) <= 1e-13 * std::max(std::fabs(k2), 1e-300);
            if ((f2 < 0.0) != (f1 < 0.0)) {
                k0 = k1;
                f0 = f1;
            } else {
                f0 *= 0.5;
            }
            k1 = k2;
            f1 = f2;
            if (converged)
                break;
        }
    }

    void setLossDecay(double k, double h) {
        if (k == m_lossDecay && h == m_lossLength)
            return;
        m_lossDecay = k;
        m_lossLength = h;
        fillCoefficients(m_sum, k, h, m_lossTable);
    }

    // Advances the running integrals of channel state s over the step just solved.
    static void advance(ChannelState& s, const StepCoefficients& coef, double h) {
        const double A = s.a1 * s.X + s.a0;
        const double B = s.b1 * s.X + s.b0;
        const std::size_t terms = s.z.size();
        double* z = s.z.data();
        const double* decay = coef.decay.data();
        const double* phi0 = coef.phi0.data();
        const double* phi1 = coef.phi1.data();
        for (std::size_t m = 0; m < terms; ++m)
            z[m] = decay[m] * z[m] + (A * phi0[m] - B * phi1[m]);
        s.slope = (s.X - s.X1) / h;
        s.X1 = s.X;
        s.previousLength = h;
        ++s.stepsSinceRestart;
    }
};

} // namespace

void solveKinetics(const KineticSystem& system, double fRT, const KineticTimeline& timeline,
                   std::span<double> rates) {
    if (timeline.steps.empty())
        return;
    Solver solver(system, fRT, timeline);
    solver.run(rates);
}

} // namespace tessaly
