#include "digital/DigitalModel.h"

#include "base/Checked.h"

#include <algorithm>

namespace tessaly {

static_assert(kMaxSpecies == kMaxSolverSpecies, "one row of the block system per species");
static_assert(kMaxCharge == kMaxCouples && kMaxChem == kMaxChemicalSteps);

namespace {

int speciesOf(int s, int species) {
    return checkedIndex(s, 0, species);
}

} // namespace

DigitalModel readDigitalModel(const SimulationInput& in, int points) {
    const CommittedValues& c = in.committed;
    DigitalModel m;
    m.species = checkedIndex(in.numSpecies, 1, kMaxSolverSpecies);
    m.couples = checkedIndex(in.numCharge, 0, kMaxCouples);
    m.steps = checkedIndex(in.numChem, 0, kMaxChemicalSteps);
    for (int s = 1; s <= m.species; ++s) {
        m.diffusion[s] = c.DiffCoef[s];
        m.bulk[s] = c.InitConc[s];
        m.adsorbCoef[s] = c.AdsorbCoef[s];
        m.maxAdsorb[s] = c.MaxAdsorb[s];
    }
    for (int k = 1; k <= m.couples; ++k) {
        const ChargeReactionRow& row = in.tables.charge[k];
        ChargeCouple& couple = m.couple[k - 1];
        couple.ox = speciesOf(row.ox, m.species);
        couple.red = speciesOf(row.red, m.species);
        couple.electrons = row.n;
        couple.nuOx = row.nuOx;
        couple.nuRed = row.nuRed;
        couple.ks = c.RateKs[k];
        couple.alpha = c.Alpha[k];
        couple.formal = c.FormalPotential[k];
        couple.protonTerm = row.protons * c.PHFactor;
        couple.adsorbed = row.adsorbed;
    }
    m.timeStep = c.TimeGrid;
    for (int r = 1; r <= m.steps; ++r) {
        const ChemicalReactionRow& row = in.tables.chem[r];
        ChemicalStep& step = m.step[r - 1];
        for (int i = 0; i < 2; ++i) {
            step.reactants[i] = speciesOf(row.reactants[i], m.species);
            step.products[i] = speciesOf(row.products[i], m.species);
        }
        step.kf = c.RateKf[r];
        step.kb = c.RateKb[r];
        m.secondOrder = m.secondOrder || step.secondOrder();
    }

    m.technique = kind::code(in.technique);
    m.electrode = kind::code(in.electrode);
    m.dropTime = c.DropTime;
    m.pulseTime = c.PulseTime;
    m.sample1 = c.SampleFrac1;
    m.sample2 = c.SampleFrac2;
    m.pulse = c.PulsePotential;
    m.startPotential = c.StartPotential;
    m.endPotential = c.EndPotential;
    m.stepPotential = c.StepPotential;
    m.scanRate = c.ScanRate;
    m.radius = c.ElectrodeRadius;
    m.area = c.ElectrodeArea;
    m.rotation = c.RotationRate;
    m.viscosity = c.Viscosity;
    m.fRT = in.fRT;
    m.resistance = c.Resistance;
    m.capacitance = c.DoubleLayerCap;
    m.expansion = c.SpaceGridFactor;
    m.thickness = c.FilmThickness;
    m.autoGrid = in.automaticGrid;
    m.points = std::max(1, points);
    return m;
}

} // namespace tessaly
