// Activation steps of the experiment dialogs as the commit chain needs them.

#include "model/DialogActivation.h"

#include "base/NumberText.h"

namespace tessaly {

void activateInstrumentDialog(ExperimentParams& p, Notices& notices) { buildMechanism(p, notices); }

void activateKineticsDialog(ExperimentParams& p, Notices& notices) { commitInstrument(p, notices); }

void activateSpeciesDialog(ExperimentParams& p, Notices& notices) {
    commitKinetics(p, notices);
    if (p.DigitalFlag) {
        for (int s = 1; s <= kMaxSpecies && s <= p.NumSpecies; ++s)
            p.specie[s] = p.tables.speciesNames[s];
    } else if (p.Mechanism >= 15) {
        p.specie[1] = "A(abs)";
        p.specie[2] = "B(abs)";
    } else if (p.Mechanism == 10) {
        const char* names[] = {"M", "B", "ML", "L"};
        for (int s = 1; s <= 4; ++s)
            p.specie[s] = names[s - 1];
    } else {
        for (int s = 1; s <= 6; ++s)
            p.specie[s] = std::string(1, static_cast<char>('A' + s - 1));
    }
    runConcentrationReaction(p, 0);
}

void runConcentrationReaction(ExperimentParams& p, int triggerRow) {
    p.fRT = 96484.6 / (8.31441 * p.committed.TemperatureK);
    for (int s = 1; s <= kMaxSpecies; ++s)
        p.Cinit[s] = formatMask(leadingNumber(p.C[s]), "0.####e-#");
    if (triggerRow >= 1 && triggerRow <= kMaxSpecies) {
        const double cinit = leadingNumber(p.Cinit[triggerRow]);
        p.TextCmin[triggerRow] = formatMask(0.1 * cinit, "#.###e-#");
        p.TextCmax[triggerRow] = formatMask(10 * cinit, "#.###e-#");
    }
}

} // namespace tessaly
