// Mechanisms 1 to 10 with a finite charge-transfer rate, under every programme and electrode of their
// kernel table, by the integral-equation solver of ConvolutionKinetics.h: the surface concentrations
// follow from the convolution of the past fluxes with the diffusion kernel of each species, and every
// rate satisfies its Butler–Volmer condition with them. What each mechanism adds to the plain couple:
//
//   2, 3   EE, EEE   every intermediate is the product of one step and the reactant of the next, so the
//                    steps share its surface concentration and are solved together.
//   5      C2E       C = 2A in fast equilibrium, K = [A]²/[C]: the total T = [A] + 2[C] diffuses and A at
//                    the surface is its equilibrium share (the caption's diffusion-equilibrium zone).
//   6, 10  CE        C = A (6: C + mD = A + mE with D and E in excess; 10: MLm = M + mL with L in excess) at
//                    the pseudo-first-order rates k1 (to A) and k−1 (back): with equal diffusion
//                    coefficients A + C diffuses freely and k−1·A − k1·C relaxes at k1 + k−1, so the
//                    surface A is k1/(k1 + k−1) of the first field plus k−1/(k1 + k−1) of the second
//                    (Nicholson & Shain, Anal. Chem. 36 (1964) 706). Without rate constants: the
//                    equilibrium with Keq.
//   7      EC        B = C, kf (to C) and kb (back), in the same two fields for B.
//   8      EC'       B + Z -> A with k = (kf + kb)·C_Z: A + B diffuses freely and B is lost at k
//                    (Savéant & Vianello, Electrochim. Acta 10 (1965) 905).
//   9      EC2       2B -> C, −d[B]/dt = kf·[B]²: B lost at the rate of its reaction layer (SecondOrderLoss).
//
// The closed forms stay where they are exact: a single potential step from the bulk onto a plain couple
// (mechanisms 1 and 4, and 8 without regeneration) under sampled-current and normal-pulse voltammetry and
// single-step chronoamperometry (MechanismSimpleCharge.cpp), and the thin-layer sweep.

#include "base/Checked.h"
#include "curves/CurveStore.h"
#include "simulation/KineticTimeline.h"
#include "simulation/MechanismRun.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tessaly {
namespace {

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

using kind::KineticKernel;
using kind::Mechanism;
using kind::Technique;

double catalyticRate(const MechanismRun& run) {
    return (run.c.RateKf[1] + run.c.RateKb[1]) * run.c.InitConc[3];
}

// A couple whose single potential step has the exact closed form of the step kernels.
bool plainCouple(const MechanismRun& run) {
    const Mechanism m = run.mechanism;
    return m == Mechanism::SimpleCharge || m == Mechanism::ThreeCouples ||
           (m == Mechanism::Catalytic && catalyticRate(run) == 0.0);
}

int chronoLevels(const MechanismRun& run, int last) {
    int levels = 0;
    for (int k = 1; k <= last; ++k)
        if (k == 1 || run.potential(k) != run.potential(k - 1))
            ++levels;
    return levels;
}

// Whether the electrode diffuses as a sphere under this technique (the cylinder as a sphere of twice its
// radius, kernelRadius): the table's spherical kernels.
bool sphericalField(const MechanismRun& run) {
    return kind::kineticKernel(run.technique, run.electrode, run.mechanism) == KineticKernel::Spherical;
}

// Builds the species, channels and reactions of the run's mechanism.
class SystemBuilder {
public:
    explicit SystemBuilder(const MechanismRun& run) : m_run(run), m_c(run.c) {
        m_sphere = sphericalField(run);
    }

    KineticSystem build() {
        switch (m_run.mechanism) {
        case Mechanism::DimerPreceding:
            dimerEquilibrium();
            break;
        case Mechanism::Preceding:
            precedingEquilibrium(3, 1, m_c.InitConc[1]);
            break;
        case Mechanism::Following:
            followingReaction();
            break;
        case Mechanism::Catalytic:
            if (catalyticRate(m_run) > 0.0)
                catalytic();
            else
                plainCouples();
            break;
        case Mechanism::DimerFollowing:
            dimerisation();
            break;
        case Mechanism::Complex:
            precedingEquilibrium(3, 3, m_c.InitConc[1]);
            break;
        default: // 1, 4: independent couples; 2, 3: consecutive ones sharing their intermediates
            plainCouples();
            break;
        }
        return std::move(m_system);
    }

private:
    const MechanismRun& m_run;
    const CommittedValues& m_c;
    KineticSystem m_system;
    bool m_sphere = false;
    std::array<int, kMaxSpecies + 1> m_index{}; // 1 + system species of each committed species, 0: none

    double D(int s) const { return m_c.DiffCoef[at(s)]; }
    double conc(int s) const { return m_c.InitConc[at(s)]; }
    // a = √D/r of a species' field at a sphere, 0 at a plane.
    double radial(double diffusion) const {
        return m_sphere ? std::sqrt(diffusion) / m_run.kernel.electrodeRadius : 0.0;
    }

    // The system species of committed species s, added with its bulk concentration on first use.
    int species(int s, double bulk) {
        if (m_index[at(s)] == 0)
            m_index[at(s)] = m_system.addSpecies(bulk) + 1;
        return m_index[at(s)] - 1;
    }

    // Reaction j of the run with its oxidised and reduced species.
    int reaction(int j, int ox, int red) {
        const ReactionConstants& r = m_run.reaction[at(j)];
        KineticReaction k;
        k.ox = ox;
        k.red = red;
        k.n = r.n;
        k.nuOx = r.step.nuOx;
        k.nuRed = r.step.nuRed;
        k.ks = r.step.ks;
        k.alpha = r.step.alpha;
        k.E0 = r.formalPotential;
        m_system.reactions.push_back(k);
        return static_cast<int>(m_system.reactions.size()) - 1;
    }

    // A species of diffusion coefficient D that reaction j consumes (stoichiometry −nu) or produces (+nu),
    // in its own diffusion field.
    void diffuses(int species, int reaction, double diffusion, double nu) {
        m_system.couple(species, reaction, 0.0, radial(diffusion), nu / std::sqrt(diffusion));
    }

    void plainCouples() {
        for (int j = 1; j <= m_run.numCharge; ++j) {
            const ReactionConstants& r = m_run.reaction[at(j)];
            const int ox = species(r.ox, conc(r.ox));
            const int red = species(r.red, conc(r.red));
            const int q = reaction(j, ox, red);
            diffuses(ox, q, D(r.ox), -r.step.nuOx);
            diffuses(red, q, D(r.red), r.step.nuRed);
        }
    }

    void dimerEquilibrium() {
        const ReactionConstants& r = m_run.reaction[1];
        const double K = m_c.RateKb[1] > 0 ? m_c.RateKf[1] / m_c.RateKb[1] : m_c.Keq[1]; // mol/L
        const double total = conc(1) + 2.0 * conc(3);                                   // A-equivalents
        const int T = m_system.addSpecies(total);
        const int A = m_system.addSpecies(0.0);
        const int B = species(2, conc(2));
        const int q = reaction(1, A, B);
        diffuses(T, q, D(1), -r.step.nuOx);
        diffuses(B, q, D(2), r.step.nuRed);
        m_system.dimer = {A, T, K};
    }

    // C = A with A the oxidised form of reaction 1: committed species `partner` (C, or ML) converts to
    // the electroactive form at k1 and back at k−1, both diffusing with the coefficient of species
    // `field`. bulkA is the committed concentration of A.
    void precedingEquilibrium(int partner, int field, double bulkA) {
        const ReactionConstants& r = m_run.reaction[1];
        const double m = m_run.in.tables.m;
        double toA = 0.0, back = 0.0; // k1, k−1, 1/s
        if (m_run.mechanism == Mechanism::Preceding) {
            toA = m_c.RateKf[1] * std::pow(conc(4), m);
            back = m_c.RateKb[1] * std::pow(conc(5), m);
        } else {
            toA = m_c.RateKf[1];
            back = m_c.RateKb[1] * std::pow(conc(4), m);
        }
        double share = 0.0; // equilibrium fraction of A in A + C
        const bool kinetic = m_c.RateKf[1] > 0 || m_c.RateKb[1] > 0;
        if (kinetic) {
            share = toA + back > 0 ? toA / (toA + back) : 0.0;
        } else {
            // Equilibrium constant only: K' = Keq·(C_D/C_E)^m (6) or Keq/C_L^m (10), all A when the
            // partner that holds it back is absent.
            const double holder =
                m_run.mechanism == Mechanism::Preceding ? std::pow(conc(5), m) : std::pow(conc(4), m);
            const double release =
                m_run.mechanism == Mechanism::Preceding ? m_c.Keq[1] * std::pow(conc(4), m) : m_c.Keq[1];
            share = holder > 0 ? release / (holder + release) : (release > 0 ? 1.0 : 0.0);
        }
        const double diffusion = D(field);
        const int A = m_system.addSpecies((bulkA + conc(partner)) * share);
        const int B = species(2, conc(2));
        const int q = reaction(1, A, B);
        const double a = radial(diffusion);
        const double nu = r.step.nuOx / std::sqrt(diffusion);
        if (kinetic && toA + back > 0) {
            const double rate = toA + back;
            m_system.couple(A, q, 0.0, a, -nu * toA / rate);
            m_system.couple(A, q, rate, a, -nu * back / rate);
        } else {
            m_system.couple(A, q, 0.0, a, -nu * share);
        }
        diffuses(B, q, D(2), r.step.nuRed);
    }

    void followingReaction() {
        const ReactionConstants& r = m_run.reaction[1];
        const int A = species(1, conc(1));
        const int B = species(2, conc(2));
        const int q = reaction(1, A, B);
        diffuses(A, q, D(1), -r.step.nuOx);
        const double forward = m_c.RateKf[1], backward = m_c.RateKb[1]; // B -> C, C -> B, 1/s
        const double rate = forward + backward;
        if (rate == 0.0) {
            diffuses(B, q, D(2), r.step.nuRed);
            return;
        }
        const double a = radial(D(2));
        const double nu = r.step.nuRed / std::sqrt(D(2));
        m_system.couple(B, q, 0.0, a, nu * backward / rate);
        m_system.couple(B, q, rate, a, nu * forward / rate);
    }

    void catalytic() {
        const ReactionConstants& r = m_run.reaction[1];
        const double k = catalyticRate(m_run);
        const double diffusion = D(1); // A and B in one field
        const double a = radial(diffusion);
        const double root = std::sqrt(diffusion);
        const int A = species(1, conc(1));
        const int B = species(2, conc(2));
        const int q = reaction(1, A, B);
        // A + B gains (nuRed − nuOx)·v; B is lost at k.
        if (r.step.nuRed != r.step.nuOx)
            m_system.couple(A, q, 0.0, a, (r.step.nuRed - r.step.nuOx) / root);
        m_system.couple(A, q, k, a, -r.step.nuRed / root);
        m_system.couple(B, q, k, a, r.step.nuRed / root);
    }

    void dimerisation() {
        const ReactionConstants& r = m_run.reaction[1];
        const int A = species(1, conc(1));
        const int B = species(2, conc(2));
        const int q = reaction(1, A, B);
        diffuses(A, q, D(1), -r.step.nuOx);
        if (m_c.RateKf[1] <= 0.0) {
            diffuses(B, q, D(2), r.step.nuRed);
            return;
        }
        // B in a channel of its own, whose decay the solver sets at every step.
        m_system.channels.push_back({q, 0.0, radial(D(2))});
        const int channel = static_cast<int>(m_system.channels.size()) - 1;
        m_system.species[at(B)].coupling[at(channel)] = r.step.nuRed / std::sqrt(D(2));
        m_system.dimerisation = {channel, B, m_c.RateKf[1]};
    }
};

// ---- time lines -------------------------------------------------------------------------------------

// Linear sweep: point n reached at n·TimeGrid, its rates in slot n.
KineticTimeline sweepTimeline(const MechanismRun& run, int last) {
    TimelineBuilder b(last + 1);
    for (int n = 1; n <= last; ++n)
        b.sweepStep(run.timeGrid, run.potential(n), n);
    return b.finish();
}

// Sampled-current and normal-pulse voltammetry: every point a step from the bulk to E + PulseHeight,
// sampled SampleFrac1 of the drop or pulse later.
KineticTimeline singleStepTimeline(const MechanismRun& run, int last) {
    TimelineBuilder b(last + 1);
    std::vector<LevelSample> samples(1);
    for (int k = 1; k <= last; ++k) {
        samples[0] = {run.sampleTime, k};
        b.level(run.sampleTime, run.potential(k) + run.pulseHeight, samples, true);
    }
    return b.finish();
}

// Differential pulse, square wave and staircase: the levels of every point (LevelScheme), point i from
// (i − 1)·period on; sample s of point i in slot 2i + s.
KineticTimeline levelTimeline(const MechanismRun& run, int last) {
    const LevelScheme& scheme = run.levels;
    TimelineBuilder b(2 * (last + 1));
    std::vector<LevelSample> samples;
    for (int i = 1; i <= last; ++i)
        for (int l = 0; l < scheme.levels; ++l) {
            const double start = scheme.start[at(l)];
            const double end = scheme.end[at(l)];
            if (!(end > start))
                continue;
            samples.clear();
            // A sampling instant on a level boundary (to rounding) belongs to the end of the earlier
            // level; one at the very beginning of the point to its first level.
            const double tie = 1e-9 * scheme.period;
            for (int s = 0; s < scheme.samples; ++s) {
                const double t = scheme.sampleTime[at(s)];
                if ((t > start + tie || l == 0) && t <= end + tie)
                    samples.push_back({std::clamp(t - start, tie, end - start), 2 * i + s});
            }
            if (samples.size() == 2 && samples[1].offset < samples[0].offset)
                std::swap(samples[0], samples[1]);
            b.level(end - start, run.potential(i) + run.levelOffset(l, i), samples);
        }
    return b.finish();
}

// Chronoamperometry: each potential of the programme from the point where it begins, the first at
// t = 0; point k sampled at k·TimeGrid, in slot k.
KineticTimeline chronoTimeline(const MechanismRun& run, int last) {
    TimelineBuilder b(last + 1);
    std::vector<LevelSample> samples;
    int first = 1;
    while (first <= last) {
        int next = first + 1;
        while (next <= last && run.potential(next) == run.potential(first))
            ++next;
        samples.clear();
        for (int k = first; k < next; ++k)
            samples.push_back({(k - first + 1) * run.timeGrid, k});
        b.level((next - first) * run.timeGrid, run.potential(first), samples);
        first = next;
    }
    return b.finish();
}

} // namespace

bool kineticSolverApplies(const MechanismRun& run) {
    // Every planar or spherical entry of the kernel table, but not the thin layer, and not the single steps
    // of a plain couple, which the closed forms solve exactly.
    const KineticKernel kernel = kind::kineticKernel(run.technique, run.electrode, run.mechanism);
    if (kernel != KineticKernel::Planar && kernel != KineticKernel::Spherical)
        return false;
    switch (run.technique) {
    case Technique::DcVoltammetry:
    case Technique::NormalPulse:
        return !plainCouple(run);
    case Technique::PotentialStep: {
        const int last = checkedIndex(run.out.LastPoint, 0, kMaxRunIndex);
        return !plainCouple(run) || chronoLevels(run, last) > 1;
    }
    default:
        return true;
    }
}

void prepareKinetics(MechanismRun& run) {
    const int last = checkedIndex(run.out.LastPoint, 0, kMaxRunIndex);
    KineticCurrents& out = run.kinetic;
    out.active = true;
    out.reactions = run.numCharge;
    const KineticSystem system = SystemBuilder(run).build();
    KineticTimeline timeline;
    switch (run.technique) {
    case Technique::LinearSweep:
        timeline = sweepTimeline(run, last);
        break;
    case Technique::DcVoltammetry:
    case Technique::NormalPulse:
        timeline = singleStepTimeline(run, last);
        break;
    case Technique::PotentialStep:
        timeline = chronoTimeline(run, last);
        break;
    default:
        run.levels = levelSchemeOf(run);
        timeline = levelTimeline(run, last);
        break;
    }
    out.slotsPerPoint = timeline.samples > last + 1 ? 2 : 1;
    out.rates.assign(static_cast<std::size_t>(timeline.samples) * system.reactions.size(), 0.0);
    solveKinetics(system, run.kernel.fRT, timeline, out.rates);
}

void kineticSolverCurrents(MechanismRun& run, int k, int j) {
    const KineticCurrents& in = run.kinetic;
    const double nFA = run.reaction[at(j)].n * run.constants.FaradayArea;
    const std::size_t J = static_cast<std::size_t>(in.reactions);
    auto rate = [&](int slot) { return in.rates.at(at(slot) * J + at(j - 1)); };
    if (in.slotsPerPoint == 1) {
        run.setCurrent(k, j, nFA * rate(k));
        return;
    }
    const double first = nFA * rate(2 * k);
    const double second = nFA * rate(2 * k + 1);
    if (run.technique == Technique::Staircase) {
        run.setCurrent(k, j, first);
        return;
    }
    run.setSamples(k, j, first, second);
    // Differential pulse: pulse minus base. Square wave: the forward half-period minus the reverse one.
    run.setCurrent(k, j, run.technique == Technique::DifferentialPulse ? second - first : first - second);
}

} // namespace tessaly
