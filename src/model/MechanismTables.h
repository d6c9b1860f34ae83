#pragma once
// What the mechanism build hands to the simulations: the species list and, for every reaction, the
// list positions of its species with its stoichiometry.

#include <array>
#include <string>

namespace tessaly {

// a O + h H+ + n e = b R (+ w H2O)
struct ChargeReactionRow {
    int ox = 0;            // species number of the oxidised form (reactant)
    int red = 0;           // species number of the reduced form (product)
    int n = 1;             // electrons
    double nuOx = 1;       // stoichiometric coefficient a of the oxidised side
    double nuRed = 1;      // stoichiometric coefficient b of the reduced side
    int protons = 0;       // h, protons consumed (used with the pH effect)
    bool adsorbed = false; // reaction between adsorbed species
    int row = 0;           // dialog row the reaction was read from (1..5)
};

// Up to two reactants and two products; 0 marks an absent partner.
struct ChemicalReactionRow {
    std::array<int, 2> reactants{};
    std::array<int, 2> products{};
    int row = 0; // dialog row (1..9)
    bool secondOrder() const { return (reactants[0] && reactants[1]) || (products[0] && products[1]); }
};

inline constexpr int kMaxSpeciesNames = 46; // 5 charge rows x 2 + 9 chemical rows x 4

struct MechanismTables {
    std::array<std::string, kMaxSpeciesNames + 1> speciesNames; // 1..NumSpecies (digital build)
    std::array<ChargeReactionRow, 6> charge{};                  // reactions 1..NumCharge
    std::array<ChemicalReactionRow, 10> chem{};                 // reactions 1..NumChem
    int m = 1;                                                  // stoichiometric factor (Textm)
    bool secondOrder = false; // some chemical reaction has two species on a side
};

} // namespace tessaly
