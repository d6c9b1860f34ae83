// The mechanism build: from the mechanism dialog's selection to the counts, the species names and the
// reaction tables that the simulations read.

#include "base/NumberText.h"
#include "model/Commits.h"

#include <cmath>

namespace tessaly {
namespace {

using kind::Mechanism;

// Oxidised and reduced species of each charge reaction of the analytical mechanisms.
void fillAnalyticalCouples(Mechanism mechanism, MechanismTables& t) {
    auto set = [&](int j, int ox, int red) {
        t.charge[j].ox = ox;
        t.charge[j].red = red;
    };
    switch (mechanism) {
    case Mechanism::TwoStep:
    case Mechanism::ReversibleTwoStep:
        set(1, 1, 2);
        set(2, 2, 3);
        break;
    case Mechanism::ThreeStep:
    case Mechanism::ReversibleThreeStep:
        set(1, 1, 2);
        set(2, 2, 3);
        set(3, 3, 4);
        break;
    case Mechanism::AdsorbedReversibleTwoCouples:
    case Mechanism::AdsorbedTwoCouples:
        set(1, 1, 2);
        set(2, 3, 4);
        break;
    case Mechanism::ThreeCouples:
    case Mechanism::ReversibleThreeCouples:
        set(1, 1, 2);
        set(2, 3, 4);
        set(3, 5, 6);
        break;
    default:
        set(1, 1, 2);
        break;
    }
}

// The chemical reaction of the analytical mechanisms with a preceding or following reaction, as species
// numbers of their species lists (A B C D E, or M B ML L for mechanism 10). A species named twice
// takes part twice ("2A"); the factor m of mechanisms 6 and 10 belongs to the second partner of each
// side and is applied by the consumers that need the stoichiometry (the chemical pre-equilibration).
void fillAnalyticalChemistry(Mechanism mechanism, MechanismTables& t) {
    auto set = [&](std::array<int, 2> reactants, std::array<int, 2> products) {
        t.chem[1].reactants = reactants;
        t.chem[1].products = products;
        t.chem[1].row = 1;
    };
    switch (mechanism) {
    case Mechanism::DimerPreceding: // C = 2A
        set({3, 0}, {1, 1});
        break;
    case Mechanism::Preceding: // C + mD = A + mE
        set({3, 4}, {1, 5});
        break;
    case Mechanism::Following: // B = C
        set({2, 0}, {3, 0});
        break;
    case Mechanism::Catalytic: // B + C = A
        set({2, 3}, {1, 0});
        break;
    case Mechanism::DimerFollowing: // 2B -> C
        set({2, 2}, {3, 0});
        break;
    case Mechanism::Complex: // MLm = M + mL
        set({3, 0}, {1, 4});
        break;
    default:
        break;
    }
}

// Electron number, coefficients and protons of a charge row, read with the leading-number rule. The
// electron number and coefficients are counts: an empty or zero text falls back to 1 so that no
// reaction divides by zero.
void readChargeRow(const ExperimentParams& p, int row, ChargeReactionRow& r) {
    const double a = leadingNumber(p.charge[10 * row + 1]);
    const double h = leadingNumber(p.charge[10 * row + 3]);
    const double n = leadingNumber(p.charge[10 * row + 4]);
    const double b = leadingNumber(p.charge[10 * row + 5]);
    r.nuOx = a > 0 ? a : 1;
    r.nuRed = b > 0 ? b : 1;
    r.n = n >= 1 ? static_cast<int>(std::lround(n)) : 1;
    r.protons = static_cast<int>(std::lround(h));
    r.adsorbed = p.CheckAdsorb[row];
    r.row = row;
}

// Position of a name in the species list, appending it when new. Empty names have no position.
int speciesIndex(MechanismTables& t, int& count, const std::string& name) {
    if (name.empty())
        return 0;
    for (int s = 1; s <= count && s <= kMaxSpeciesNames; ++s)
        if (t.speciesNames[s] == name)
            return s;
    ++count;
    if (count <= kMaxSpeciesNames)
        t.speciesNames[count] = name;
    return count <= kMaxSpecies ? count : 0;
}

void buildDigital(ExperimentParams& p, Notices& notices) {
    MechanismTables& t = p.tables;
    int count = 1;
    t.speciesNames[1] = p.charge[12];
    int numCharge = 0;
    for (int row = 1; row <= kMaxCharge; ++row) {
        if (p.charge[10 * row + 2].empty())
            continue;
        ChargeReactionRow& r = t.charge[++numCharge];
        readChargeRow(p, row, r);
        r.ox = speciesIndex(t, count, p.charge[10 * row + 2]);
        r.red = speciesIndex(t, count, p.charge[10 * row + 6]);
    }
    int numChem = 0;
    for (int row = 1; row <= kMaxChem; ++row) {
        const std::string* names = &p.chem2[4 * row - 3];
        if (names[0].empty() && names[1].empty() && names[2].empty() && names[3].empty())
            continue;
        ChemicalReactionRow& r = t.chem[++numChem];
        r.row = row;
        r.reactants = {speciesIndex(t, count, names[0]), speciesIndex(t, count, names[1])};
        r.products = {speciesIndex(t, count, names[2]), speciesIndex(t, count, names[3])};
        // Keep a lone partner in the first slot so that consumers can test slot 0 for presence.
        if (!r.reactants[0])
            std::swap(r.reactants[0], r.reactants[1]);
        if (!r.products[0])
            std::swap(r.products[0], r.products[1]);
        if (r.secondOrder())
            ++p.NumChemBi;
        else
            ++p.NumChemUni;
    }
    p.NumSpecies = count;
    p.NumCharge = numCharge;
    p.NumChem = numChem;
    t.secondOrder = p.NumChemBi > 0;
    if (count > kMaxSpecies)
        notices.push_back({"Error: Species number cannot > 16", "", false});
}

} // namespace

void commitTechnique(ExperimentParams& p) {
    p.Technique = p.optTech;
    if (!p.DigitalFlag)
        p.TechElectrodeCode = p.Technique * 100 + p.Electrode;
}

void buildMechanism(ExperimentParams& p, Notices& notices) {
    commitTechnique(p);
    MechanismTables& t = p.tables;
    t = MechanismTables{};
    const double m = leadingNumber(p.Textm);
    t.m = std::isfinite(m) ? static_cast<int>(std::lround(m)) : 1;
    p.NumChem = p.NumChemUni = p.NumChemBi = 0;
    p.Mechanism = p.mech;
    p.DigitalFlag = p.CheckDigital;

    if (p.CheckDigital) {
        buildDigital(p, notices);
        return;
    }
    const kind::MechanismCounts& c = traits(p.mechanism()).counts;
    p.NumSpecies = c.species;
    p.NumCharge = c.charge;
    p.NumChem = c.chem;
    p.NumChemUni = c.chemUni;
    p.NumChemBi = c.chemBi;
    for (int j = 1; j <= p.NumCharge; ++j)
        readChargeRow(p, j, t.charge[j]);
    fillAnalyticalCouples(p.mechanism(), t);
    fillAnalyticalChemistry(p.mechanism(), t);
    for (int s = 1; s <= p.NumSpecies; ++s)
        t.speciesNames[s] = p.specie[s];
}

double cycleCountOfScan(int comboScan) {
    switch (comboScan) {
    case 1:
        return 1;
    case 2:
        return 2;
    case 3:
        return 3;
    default:
        return 0.5;
    }
}

} // namespace tessaly
