#include "model/Commits.h"

#include "base/NumberText.h"
#include "base/PhysicalConstants.h"
#include "model/DialogActivation.h"
#include "model/FieldChecks.h"

#include <cmath>
#include <numbers>

namespace tessaly {
namespace {

// A refused text is never committed: the values that follow from it keep what the last accepted
// text gave them.
void keepRefusedInstrumentValues(ExperimentParams& p, const CommittedValues& before) {
    const std::vector<FieldProblem> refused = refusedFields(p, true);
    CommittedValues& c = p.committed;
    if (isRefused(refused, "Estart") || isRefused(refused, "Eend")) {
        c.StartPotential = before.StartPotential;
        c.EndPotential = before.EndPotential;
    }
    if (isRefused(refused, "TextTimeGrid"))
        c.TimeGrid = before.TimeGrid;
    if (isRefused(refused, "V")) {
        c.ScanRate = before.ScanRate;
        c.SqrtScanRate = before.SqrtScanRate;
    }
    if (isRefused(refused, "txttemp"))
        c.TemperatureK = before.TemperatureK;
    if (isRefused(refused, "Estep"))
        c.StepPotential = before.StepPotential;
    if (isRefused(refused, "td")) {
        c.DropTime = before.DropTime;
        if (p.technique() == kind::Technique::DesignedWaveform) // its time grid is the drop time
            c.TimeGrid = before.TimeGrid;
    }
    if (isRefused(refused, "tp"))
        c.PulseTime = before.PulseTime;
    if (isRefused(refused, "TextTexp"))
        c.ExperimentTime = before.ExperimentTime;
    for (const char* field : {"radius", "leng", "radius2", "radius3", "ARE"}) {
        if (isRefused(refused, field)) {
            c.ElectrodeRadius = before.ElectrodeRadius;
            c.ElectrodeArea = before.ElectrodeArea;
            c.ElectrodeLength = before.ElectrodeLength;
            break;
        }
    }
}

void keepRefusedKineticsValues(ExperimentParams& p, const CommittedValues& before) {
    const std::vector<FieldProblem> refused = refusedFields(p, true);
    CommittedValues& c = p.committed;
    for (int i = 1; i <= kMaxCharge; ++i)
        if (isRefused(refused, "ks(" + std::to_string(i) + ")"))
            c.RateKs[i] = before.RateKs[i];
    for (int j = 1; j <= kMaxChem; ++j) {
        const std::string row = "(" + std::to_string(j) + ")";
        if (isRefused(refused, "kf" + row) || isRefused(refused, "kb" + row)) {
            c.RateKf[j] = before.RateKf[j];
            c.RateKb[j] = before.RateKb[j];
            c.Keq[j] = before.Keq[j];
        }
    }
    if (isRefused(refused, "TextpH"))
        c.PHFactor = before.PHFactor;
}

} // namespace

void commitInstrument(ExperimentParams& p, Notices& notices) {
    activateInstrumentDialog(p, notices);
    CommittedValues& c = p.committed;
    const CommittedValues before = c;
    c.StartPotential = leadingNumber(p.Estart);
    c.EndPotential = leadingNumber(p.Eend);
    c.StepPotential = leadingNumber(p.Estep);
    c.SampleFrac1 = leadingNumber(p.tsa1);
    c.SampleFrac2 = leadingNumber(p.tsa2);
    c.DoubleLayerCap = leadingNumber(p.Cdl);
    c.Resistance = leadingNumber(p.txtRu);
    c.TemperatureK = leadingNumber(p.txttemp) + kCelsiusOffset;
    c.PulsePotential = leadingNumber(p.Epulse);
    c.NoiseLevel = leadingNumber(p.Noise);
    c.DropTime = leadingNumber(p.td);
    c.PulseTime = leadingNumber(p.tp);
    c.ScanRate = std::fabs(leadingNumber(p.V));
    c.SqrtScanRate = std::sqrt(c.ScanRate);
    c.ElectrodeLength = leadingNumber(p.leng);
    const bool designed = p.technique() == kind::Technique::DesignedWaveform;
    c.TimeGrid = designed ? c.DropTime : leadingNumber(p.TextTimeGrid);
    c.RotationRate = leadingNumber(p.Rotation) * std::numbers::pi / 30; // rpm -> rad/s
    c.ExperimentTime = std::fabs(leadingNumber(p.TextTexp));

    const double r = leadingNumber(p.radius);
    c.ElectrodeRadius = r;
    switch (p.electrode()) {
    case kind::Electrode::Microdisk: // the hemisphere of equal steady-state current, r = 2 r_disk / pi
        c.ElectrodeRadius = 2 * r / std::numbers::pi;
        c.ElectrodeArea = 2 * std::numbers::pi * c.ElectrodeRadius * c.ElectrodeRadius;
        break;
    case kind::Electrode::Band: // half of the half width
        c.ElectrodeRadius = r / 2;
        c.ElectrodeArea = std::numbers::pi * c.ElectrodeRadius * c.ElectrodeLength;
        break;
    case kind::Electrode::Ring: {
        const double r2 = leadingNumber(p.radius2);
        const double r3 = leadingNumber(p.radius3);
        c.ElectrodeArea = std::numbers::pi * std::pow(r3 * r3 * r3 - r2 * r2 * r2, 2.0 / 3.0);
        break;
    }
    default:
        c.ElectrodeArea = leadingNumber(p.ARE);
        break;
    }
    c.CycleCount = cycleCountOfScan(p.ComboScan);
    c.BaselineStart = leadingNumber(p.TxtI0);
    c.BaselineEnd = leadingNumber(p.TxtI1);
    c.FilmThickness = leadingNumber(p.thickness);
    c.PreconPotential = leadingNumber(p.txtEPre);
    c.PreconTime = leadingNumber(p.txtTPre);
    c.StirRate = leadingNumber(p.txtRStir) * std::numbers::pi / 30.0; // rpm -> rad/s
    c.ExhaustionRate = leadingNumber(p.txtTpreconst);
    c.SpaceGridFactor = leadingNumber(p.TextExpanding);
    keepRefusedInstrumentValues(p, before);
}

void commitKinetics(ExperimentParams& p, Notices& notices) {
    commitInstrument(p, notices);
    activateKineticsDialog(p, notices);
    CommittedValues& c = p.committed;
    const CommittedValues before = c;
    c.Viscosity = leadingNumber(p.TextVis);
    c.ElectrolyteConc = leadingNumber(p.TextElectrolyteC);
    for (int i = 1; i <= kMaxCharge; ++i) {
        c.Alpha[i] = leadingNumber(p.alph[i]);
        c.FormalPotential[i] = leadingNumber(p.Eze[i]);
        c.RateKs[i] = leadingNumber(p.ks[i]);
    }
    for (int j = 1; j <= kMaxChem; ++j) {
        c.RateKf[j] = leadingNumber(p.kf[j]);
        c.RateKb[j] = leadingNumber(p.kb[j]);
        c.Keq[j] = leadingNumber(p.LabelKeq[j]);
    }
    c.PHFactor = (leadingNumber(p.TextpH) - 7.0) * 2.303;
    keepRefusedKineticsValues(p, before);
}

void commitSpecies(ExperimentParams& p, Notices& notices) {
    activateSpeciesDialog(p, notices);
    CommittedValues& c = p.committed;
    for (int s = 1; s <= kMaxSpecies; ++s) {
        c.DiffCoef[s] = leadingNumber(p.D[s]);
        c.InitConc[s] = leadingNumber(p.Cinit[s]);
        c.AdsorbCoef[s] = leadingNumber(p.TextB[s]);
        c.MaxAdsorb[s] = leadingNumber(p.TextG[s]);
    }
}

} // namespace tessaly
