// The traits of the experiment kinds: the captions the dialogs and the runner's help show, and the
// groupings the program used to spell out as code numbers, one set per trait. Where the old code read one
// grouping in two ways, the two traits are checked to stay apart.

#include "model/ExperimentKinds.h"
#include "model/ExperimentParams.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace tessaly {
namespace {

using kind::Electrode;
using kind::Mechanism;
using kind::Technique;

// The codes of the kinds for which a trait holds.
template <typename Kind, std::size_t N, typename Trait>
std::set<int> codesWhere(const std::array<Kind, N>& all, Trait trait) {
    std::set<int> codes;
    for (const Kind k : all)
        if (trait(traits(k)))
            codes.insert(kind::code(k));
    return codes;
}

TEST(ExperimentKinds, CodesAndConversionsRoundTrip) {
    EXPECT_EQ(kind::kAllTechniques.size(), 10u);
    EXPECT_EQ(kind::kAllElectrodes.size(), 11u);
    EXPECT_EQ(kind::kAllMechanisms.size(), 18u);
    EXPECT_EQ(kind::code(Technique::PotentialStep), 8);
    EXPECT_EQ(kind::code(Electrode::ThinFilm), 9);
    EXPECT_EQ(kind::code(Mechanism::Catalytic), 8);
    for (int c = 1; c <= kMechanismCount; ++c)
        EXPECT_EQ(kind::code(kind::asMechanism(c)), c);

    ExperimentParams p;
    p.Technique = 5;
    p.Electrode = 7;
    p.Mechanism = 13;
    EXPECT_EQ(p.technique(), Technique::SquareWave);
    EXPECT_EQ(p.electrode(), Electrode::DroppingMercury);
    EXPECT_EQ(p.mechanism(), Mechanism::ReversibleTwoStep);
}

// A code outside its range (a corrupt selection) has the empty row: no caption, no trait, no kernel.
TEST(ExperimentKinds, CodesOutsideTheRangeHaveEmptyTraits) {
    for (const int c : {-1, 0, 11, 101}) {
        const Technique t = kind::asTechnique(c);
        EXPECT_STREQ(traits(t).caption, "") << c;
        EXPECT_FALSE(traits(t).pulsed || traits(t).sweep || traits(t).timeAxis) << c;
        EXPECT_FALSE(kind::hasAnalyticalKernel(t, Electrode::PlanarDisk, Mechanism::Reversible)) << c;
    }
    for (const int c : {0, 12}) {
        EXPECT_STREQ(traits(kind::asElectrode(c)).caption, "") << c;
        EXPECT_FALSE(traits(kind::asElectrode(c)).digitalOnly) << c;
        EXPECT_EQ(kind::kineticKernel(Technique::LinearSweep, kind::asElectrode(c), Mechanism::SimpleCharge),
                  kind::KineticKernel::None)
            << c;
    }
    for (const int c : {0, 19}) {
        EXPECT_STREQ(traits(kind::asMechanism(c)).caption, "") << c;
        EXPECT_EQ(traits(kind::asMechanism(c)).counts.species, 2) << c;
    }
}

// The option captions of the technique, instrument and mechanism dialogs, as the user has always seen them.
TEST(ExperimentKinds, CaptionsAreTheDialogOptions) {
    const char* techniques[] = {"1)  Linear sweep and cyclic voltammetry",
                                "2)  DC voltammetry",
                                "3)  Normal pulse and reverse pulse voltammetry",
                                "4)  Differential pulse voltammetry",
                                "5)  Square wave voltammetry",
                                "6)  Additive square wave voltammetry",
                                "7)  Staircase voltammetry",
                                "8)  Potential step chronoamperometry",
                                "9)  Design waveform",
                                "10)  Import waveform"};
    const char* electrodes[] = {"1)  Planar disk",  "2)  (Micro) Spherical", "3)  (Micro) Hemispherical",
                                "4)  Microdisk",    "5) Cylindrical",        "6) Hemicylindrical",
                                "7)  DME",          "8)  Ring",              "9)  Thin film",
                                "10) Band",         "11) Ring-Disk"};
    const std::pair<const char*, const char*> mechanisms[] = {
        {"1)  A + ne = B", "simple charge reaction E"},
        {"2)  A + ne <-> B, B + ne <-> C, if E'1>E'2", "2-step charge reversible reaction EE if E'1>E'2"},
        {"3)  A + ne <-> B, B + ne <-> C, C + ne <-> D if E'1>E'2>E'3",
         "3-step charge reversible reaction EEE if E'1>E'2>E'3"},
        {"4)  A + ne = B, C + ne = D, E + ne = F", "multicompoment charge reaction E+E+E"},
        {"5)  C=2A, A + ne = B, if kf>100v, K<1", "2nd order preoceding reaction C2E"},
        {"6)  C+mD = A+mE, A+ne = B, if K<1, D>m*100C, E>m*100A", "1st order preceding reaction CE"},
        {"7)  A + ne = B, B = C, if kf>100v, K>1", "following  reaction EC"},
        {"8)  A + ne = B, B + C = A, if kf*C>10v, C>100A", "1st order catalytic reaction ECi'"},
        {"9)  A + ne = B, 2B->C, if kf*B>100v, K>1", "2nd order following reaction ECi2"},
        {"10)  MLm = M + mL, M + ne = B, if L>m*M, K<1", "complex reaction CE"},
        {"11)  A + ne <-> B", "reversible charge reaction Er"},
        {"12)  A + ne <-> B, C + ne <-> D, E + ne <-> F", "rev multicompoment charge reaction Er+Er+Er"},
        {"13)  A + ne <-> B, B + ne <-> C", "2-step reversible charge reaction ErEr"},
        {"14)  A + ne <-> B, B + ne <-> C, C + ne <-> D", "3-step reversible charge reaction ErErEr"},
        {"15)  A(abs) + ne <-> B(abs)", "absorb reversible charge reaction"},
        {"16)  A(abs) + ne <-> B(abs), C(abs) + ne <-> D(abs)", "absorb reversible charge reaction"},
        {"17)  A(abs) + ne = B(abs)", "absorb charge reaction"},
        {"18)  A(abs) + ne = B(abs),  C(abs) + ne = D(abs)", "absorb charge reaction"},
    };
    for (const Technique t : kind::kAllTechniques)
        EXPECT_STREQ(traits(t).caption, techniques[kind::code(t) - 1]);
    for (const Electrode e : kind::kAllElectrodes)
        EXPECT_STREQ(traits(e).caption, electrodes[kind::code(e) - 1]);
    for (const Mechanism m : kind::kAllMechanisms) {
        EXPECT_STREQ(traits(m).caption, mechanisms[kind::code(m) - 1].first);
        EXPECT_STREQ(traits(m).tip, mechanisms[kind::code(m) - 1].second);
    }
}

// Each trait against the set of codes the program tested before the kinds had names.
TEST(ExperimentKinds, TechniqueTraitsAreTheFormerCodeSets) {
    using T = kind::TechniqueTraits;
    const auto& all = kind::kAllTechniques;
    EXPECT_EQ(codesWhere(all, [](const T& t) { return t.sweep; }), (std::set<int>{1, 7}));
    EXPECT_EQ(codesWhere(all, [](const T& t) { return t.pulsed; }), (std::set<int>{3, 4, 5, 6}));
    EXPECT_EQ(codesWhere(all, [](const T& t) { return t.twoSamples; }), (std::set<int>{4, 5, 6}));
    EXPECT_EQ(codesWhere(all, [](const T& t) { return t.squareWave; }), (std::set<int>{5, 6}));
    EXPECT_EQ(codesWhere(all, [](const T& t) { return t.sampledStep; }), (std::set<int>{2, 3}));
    EXPECT_EQ(codesWhere(all, [](const T& t) { return t.stepResponse; }), (std::set<int>{2, 3, 8}));
    EXPECT_EQ(codesWhere(all, [](const T& t) { return t.waveform; }), (std::set<int>{9, 10}));
    EXPECT_EQ(codesWhere(all, [](const T& t) { return t.timeAxis; }), (std::set<int>{8, 9, 10}));
    // The theory reads the sweeps and the waveforms as sweeps: what is neither a step nor two samples.
    for (const Technique t : all) {
        const T& x = traits(t);
        EXPECT_EQ(x.sweep || x.waveform, !x.stepResponse && !x.twoSamples) << kind::code(t);
    }
}

TEST(ExperimentKinds, ElectrodeTraitsAreTheFormerCodeSets) {
    using E = kind::ElectrodeTraits;
    using G = kind::DiffusionGeometry;
    using S = kind::TheoryShape;
    const auto& all = kind::kAllElectrodes;
    EXPECT_EQ(codesWhere(all, [](const E& e) { return e.grid == G::Planar; }), (std::set<int>{1, 8, 9, 11}));
    EXPECT_EQ(codesWhere(all, [](const E& e) { return e.grid == G::Spherical; }), (std::set<int>{2, 3, 4, 7}));
    EXPECT_EQ(codesWhere(all, [](const E& e) { return e.grid == G::Cylindrical; }), (std::set<int>{5, 6, 10}));
    EXPECT_EQ(codesWhere(all, [](const E& e) { return e.digitalOnly; }), (std::set<int>{5, 6, 10}));
    EXPECT_EQ(codesWhere(all, [](const E& e) { return e.sphericalKernel; }), (std::set<int>{2, 3, 4}));
    EXPECT_EQ(codesWhere(all, [](const E& e) { return e.radialTerm; }), (std::set<int>{2, 3, 4, 5}));
    EXPECT_EQ(codesWhere(all, [](const E& e) { return e.semiIntegralSweep; }), (std::set<int>{1, 2, 3, 4}));
    EXPECT_EQ(codesWhere(all, [](const E& e) { return e.theory == S::Sphere; }), (std::set<int>{2, 3, 7}));
    EXPECT_EQ(codesWhere(all, [](const E& e) { return e.theory == S::Microdisk; }), (std::set<int>{4}));
    EXPECT_EQ(codesWhere(all, [](const E& e) { return e.theory == S::Cylinder; }), (std::set<int>{5, 6}));
    EXPECT_EQ(codesWhere(all, [](const E& e) { return e.theory == S::Band; }), (std::set<int>{10}));
}

// The "radial" electrodes were three different groupings; they stay three traits. The drop is a sphere to
// the theory and the digital grid but has no spherical step response in the analytical formulas; the
// microdisk is a sphere to the formulas (its equivalent hemisphere) but not to the theory; the cylinder
// carries a radial term without a spherical kernel of its own radius.
TEST(ExperimentKinds, RadialGroupingsStayApart) {
    const auto& drop = traits(Electrode::DroppingMercury);
    EXPECT_EQ(drop.theory, kind::TheoryShape::Sphere);
    EXPECT_EQ(drop.grid, kind::DiffusionGeometry::Spherical);
    EXPECT_FALSE(drop.sphericalKernel);
    EXPECT_FALSE(drop.radialTerm);
    const auto& microdisk = traits(Electrode::Microdisk);
    EXPECT_TRUE(microdisk.sphericalKernel);
    EXPECT_EQ(microdisk.theory, kind::TheoryShape::Microdisk);
    const auto& cylinder = traits(Electrode::Cylindrical);
    EXPECT_TRUE(cylinder.radialTerm);
    EXPECT_FALSE(cylinder.sphericalKernel);
    EXPECT_EQ(traits(Electrode::Hemicylindrical).theory, kind::TheoryShape::Cylinder);
    EXPECT_FALSE(traits(Electrode::Hemicylindrical).radialTerm);
}

TEST(ExperimentKinds, MechanismTraitsAreTheFormerCodeSets) {
    using M = kind::MechanismTraits;
    using F = kind::MechanismFamily;
    const auto& all = kind::kAllMechanisms;
    EXPECT_EQ(codesWhere(all, [](const M& m) { return m.family == F::Kinetic; }),
              (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(codesWhere(all, [](const M& m) { return m.family == F::Reversible; }), (std::set<int>{11, 12}));
    EXPECT_EQ(codesWhere(all, [](const M& m) { return m.family == F::MultiStep; }), (std::set<int>{13, 14}));
    EXPECT_EQ(codesWhere(all, [](const M& m) { return m.family == F::Adsorbed; }),
              (std::set<int>{15, 16, 17, 18}));
    EXPECT_EQ(codesWhere(all, [](const M& m) { return m.nernstian; }), (std::set<int>{11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(codesWhere(all, [](const M& m) { return m.consecutive; }), (std::set<int>{2, 3, 13, 14}));
    EXPECT_EQ(codesWhere(all, [](const M& m) { return m.thinLayerSweep; }), (std::set<int>{1, 4, 5}));
    EXPECT_EQ(codesWhere(all, [](const M& m) { return !m.runMenuAnalytical; }), (std::set<int>{5, 6, 7, 9, 10}));
}

// The kernel table of mechanisms 1 to 10, row by row as the formulas answer each technique and electrode.
TEST(ExperimentKinds, KineticKernelTable) {
    using K = kind::KineticKernel;
    const K P = K::Planar, S = K::Spherical, T = K::ThinLayer, o = K::None;
    const K table[kTechniqueCount][kElectrodeCount] = {
        // 1  2  3  4  5  6  7  8  9  10 11
        {P, S, S, S, o, o, S, P, T, o, P}, // linear sweep
        {P, S, S, S, o, o, o, P, P, o, P}, // DC
        {P, S, S, S, o, o, o, P, P, o, P}, // normal pulse
        {P, S, S, S, o, o, o, o, o, o, o}, // differential pulse
        {P, S, S, S, S, o, o, P, o, o, P}, // square wave
        {P, S, S, S, S, o, o, P, o, o, P}, // additive square wave
        {P, S, S, S, S, o, S, P, o, o, o}, // staircase
        {P, S, S, S, o, o, o, P, P, o, P}, // potential step
        {o, o, o, o, o, o, o, o, o, o, o}, // designed waveform
        {o, o, o, o, o, o, o, o, o, o, o}, // imported waveform
    };
    for (const Technique t : kind::kAllTechniques)
        for (const Electrode e : kind::kAllElectrodes) {
            const K expected = table[kind::code(t) - 1][kind::code(e) - 1];
            // The thin layer has a formula for the single and independent couples only.
            EXPECT_EQ(kind::kineticKernel(t, e, Mechanism::SimpleCharge), expected)
                << kind::code(t) << "/" << kind::code(e);
            EXPECT_EQ(kind::kineticKernel(t, e, Mechanism::Following), expected == T ? o : expected)
                << kind::code(t) << "/" << kind::code(e);
            EXPECT_EQ(kind::kineticKernel(t, e, Mechanism::Reversible), o);
        }
}

TEST(ExperimentKinds, SemiIntegralAfterPassIsTheReversibleSweepAtDisksAndSpheres) {
    int combinations = 0;
    for (const Technique t : kind::kAllTechniques)
        for (const Electrode e : kind::kAllElectrodes)
            for (const Mechanism m : kind::kAllMechanisms)
                if (kind::semiIntegralAfterPass(t, e, m)) {
                    ++combinations;
                    EXPECT_EQ(t, Technique::LinearSweep);
                    EXPECT_GE(kind::code(e), 1);
                    EXPECT_LE(kind::code(e), 4);
                    EXPECT_GE(kind::code(m), 11);
                    EXPECT_LE(kind::code(m), 14);
                }
    EXPECT_EQ(combinations, 4 * 4);
}

} // namespace
} // namespace tessaly
