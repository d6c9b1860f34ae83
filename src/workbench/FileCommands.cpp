// File menu: parameter files, current data files and waveform files, and the design commit of the
// designed waveform. Reading is all-or-nothing: a file is read completely into a scratch copy before
// the experiment or the curve store changes. Saving goes through a temporary file and a rename, so a
// failed save never destroys the file it was to replace.

#include "base/AtomicFile.h"
#include "base/Failure.h"
#include "base/NumberText.h"
#include "curves/CurrentFile.h"
#include "curves/MeasuredImport.h"
#include "curves/WaveformDesign.h"
#include "curves/WaveformFile.h"
#include "model/FieldTable.h"
#include "model/InstrumentForm.h"
#include "model/KineticsForm.h"
#include "model/MechanismForm.h"
#include "model/ParameterFile.h"
#include "model/ParameterRestore.h"
#include "model/SpeciesForm.h"
#include "model/TechniqueForm.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <string>

namespace tessaly {
namespace {

constexpr const char* kDataFilter = "csv|*.csv|all|*.*";

// Sets a text as the program does when it reads a file: the field's change reaction runs (as an edit
// control raises its change event), but not the validation a user meets on leaving the field.
// False when no field has that name.
bool typeText(Workbench& wb, std::string_view name, std::string_view text) {
    ExperimentParams& p = wb.params;
    TechniqueForm technique(p);
    InstrumentForm instrument(p);
    MechanismForm mechanism(p);
    KineticsForm kinetics(p);
    SpeciesForm species(p);
    for (ExperimentForm* form :
         std::initializer_list<ExperimentForm*>{&technique, &instrument, &mechanism, &kinetics, &species}) {
        if (form->holds(name)) {
            for (const FormMessage& m : form->type(name, text).messages)
                wb.port().showMessage(m.text, m.title, m.icon);
            return true;
        }
    }
    const auto field = findField(p, name);
    std::string* const* value = field ? std::get_if<std::string*>(&*field) : nullptr;
    if (!value)
        return false;
    **value = std::string(text);
    return true;
}

std::string chosenOrCancel(const std::optional<std::string>& name) {
    if (!name)
        raise(failure_text::cancelled);
    return *name;
}

void reportSaveFailure(Workbench& wb, std::string_view what, const Failure& f) {
    wb.port().showMessage(std::string(what) + " Error: " + f.description(), "Error", MessageIcon::Critical);
}

} // namespace

void openParameterCommand(Workbench& wb) {
    UserPort& port = wb.port();
    const std::optional<std::string> name = port.openFileName("par|*.par|all|*.*");
    try {
        const ParameterFileContents contents = parseParameterFile(readWholeFile(chosenOrCancel(name)));
        const ExperimentParams before = wb.params;
        try {
            restoreParameterFile(contents, wb.params);
        } catch (const Failure&) {
            wb.params = before;
            throw;
        }
    } catch (const Failure& f) {
        port.showMessage("Read parameter Error: " + f.description());
        return;
    }
    // I pulse follows the technique restored, as when the technique is chosen in its dialog.
    wb.menus.setEnabled("mnuIPulse", wb.params.techniqueForm.iPulseEnabled);
    port.menusChanged();
    simulateCommand(wb); // reports its own failures, after the file has been read completely
    wb.setPlotTitle(*name);
    wb.appendResult("Open parameter from file " + *name + " :" + kLineEnd);
}

void saveParameterCommand(Workbench& wb) {
    const std::optional<std::string> name = wb.port().saveFileName("parameter (*.par)|*.par|all|*.*");
    if (!name)
        return; // cancelled: nothing to report
    try {
        writeFileAtomically(*name, parameterFileText(wb.params));
    } catch (const Failure& f) {
        reportSaveFailure(wb, "Save parameter", f);
        return;
    }
    wb.appendResult("Save parameter to file " + *name + " :" + kLineEnd);
}

void importCurrentCommand(Workbench& wb) {
    CurveStore& store = wb.store;
    UserPort& port = wb.port();
    store.CurvesPerRun = 1;
    PrepareCurveSlots(store, wb.plotOptions.overlap, wb.params.NumCharge);
    const std::optional<std::string> name = port.openDataFileName(kDataFilter);
    ImportedCurve curve;
    try {
        CycleChoice choice;
        if (const std::optional<std::string> word = port.takeImportOption()) {
            const std::optional<CycleChoice> parsed = parseCycleChoice(*word);
            if (!parsed)
                raise("Unknown import option " + *word + " (cycle=N, cycle=all or cycle=last)");
            choice = *parsed;
        }
        curve = importMeasuredFile(readWholeFile(chosenOrCancel(name)), choice);
        storeMeasuredCurve(store, curve);
    } catch (const Failure& f) {
        port.showMessage("ReadData Error: " + f.description());
        return;
    }
    wb.lastRunGaveNoCurve = false; // the analyses measure the imported curve
    // The step between the second and third points; a file of fewer points keeps the step it had, and
    // so does a file whose step is beyond the range of a double (potentials near +/-1.8e308 V) or zero
    // (a chronoamperogram at one potential), which the E step field would refuse.
    std::optional<std::string> stepNote;
    if (store.NPoints >= 3) {
        const double step = std::fabs(store.E[2] - store.E[1]); // V
        if (std::isfinite(step) && step > 0)
            typeText(wb, "Estep", generalForm(step));
        else if (step == 0)
            stepNote = "The file's potential does not change between its second and third points: E step keeps " +
                       wb.params.Estep + " V.";
        else
            stepNote =
                "The file's potential step is not a finite number: E step keeps " + wb.params.Estep + " V.";
    }
    const ExperimentParams& p = wb.params;
    wb.appendResult("Open current from file " + *name + " :" + kLineEnd + "Number of data point = " +
                    std::to_string(store.NPoints) + kLineEnd + "E start = " + p.Estart + kLineEnd +
                    "E end = " + p.Eend + kLineEnd + "E step = " + p.Estep + kLineEnd);
    for (const std::string& note : curve.notes)
        wb.appendResult(note + kLineEnd);
    if (stepNote)
        wb.appendResult(*stepNote + kLineEnd);
    wb.redraw(Abscissa::Potential);
    wb.setPlotTitle(*name);
    wb.enableCurveMenus();
}

void exportCurrentCommand(Workbench& wb) {
    if (wb.store.NPoints <= 0 || wb.store.CurveNo <= 0) { // an empty store would be written as "0,0"
        wb.port().showMessage("There is no data to export: simulate or import a curve first.", "Error",
                              MessageIcon::Critical);
        return;
    }
    // A file of one or two records leaves no point in the active range: the export would be an empty
    // file, reported as saved, that Import cannot read.
    if (wb.store.FirstPoint > wb.store.LastPoint) {
        wb.port().showMessage("There is no data to export: the active range holds no point.", "Error",
                              MessageIcon::Critical);
        return;
    }
    const std::optional<std::string> name = wb.port().saveFileName(kDataFilter);
    if (!name)
        return;
    const CurveStore& store = wb.store;
    try {
        writeFileAtomically(*name, currentFileText(store, store.FirstPoint, store.LastPoint, store.CurveNo));
    } catch (const Failure& f) {
        reportSaveFailure(wb, "Save current", f);
        return;
    }
    wb.appendResult("Save current to file " + *name + " :" + kLineEnd);
}

bool openWaveformCommand(Workbench& wb) {
    UserPort& port = wb.port();
    ExperimentParams& p = wb.params;
    const bool design = p.technique() == kind::Technique::DesignedWaveform;
    const std::optional<std::string> name = port.openFileName(kDataFilter);
    WaveformData data;
    try {
        data = readWaveformFile(readWholeFile(chosenOrCancel(name)), design ? kDesignRows : kPointCapacity);
    } catch (const Failure& f) {
        port.showMessage("ReadWaveform Error: " + f.description());
        return false;
    }
    storeWaveform(wb.store, data);
    const int n = data.count;
    if (design) {
        // The rows read replace the grid; the rows after them end the polyline.
        for (int k = 0; k < kDesignRows; ++k) {
            p.t1[k] = k < n ? generalForm(data.t[k]) : "0";
            p.E1[k] = k < n ? generalForm(data.E[k]) : "0";
        }
    } else {
        typeText(wb, "TextTexp", generalForm(data.t[n - 1]));
        if (n >= 2)
            typeText(wb, "td", generalForm(data.t[1] - data.t[0]));
    }
    const auto [low, high] = std::minmax_element(data.E.begin(), data.E.begin() + n);
    wb.setPlotTitle(*name);
    wb.appendResult("Open waveform from file " + *name + " :" + kLineEnd +
                    "Number of data point = " + std::to_string(wb.store.NPoints) + kLineEnd +
                    "E start = " + generalForm(data.E[0]) + kLineEnd + "E min = " + generalForm(*low) +
                    kLineEnd + "E max = " + generalForm(*high) + kLineEnd);
    wb.enableCurveMenus();
    return true;
}

void saveWaveformCommand(Workbench& wb) {
    const std::optional<std::string> name = wb.port().saveFileName(kDataFilter);
    if (!name)
        return;
    const ExperimentParams& p = wb.params;
    WaveformText file;
    try {
        const bool design = p.technique() == kind::Technique::DesignedWaveform;
        file = design ? designWaveformText(p.t1, p.E1)
                      : sampledWaveformText(wb.store, p.Technique, p.committed.DropTime);
        writeFileAtomically(*name, file.text);
    } catch (const Failure& f) {
        reportSaveFailure(wb, "Save waveform", f);
        return;
    }
    wb.appendResult("Save waveform to file " + *name + " :" + kLineEnd +
                    "Number of data point = " + std::to_string(file.lines) + kLineEnd);
}

void commitDesignedWaveform(Workbench& wb) {
    const ExperimentParams& p = wb.params;
    if (p.technique() != kind::Technique::DesignedWaveform)
        return;
    try {
        sampleDesignWaveform(p.t1, p.E1, p.committed.DropTime, wb.store);
    } catch (const Failure& f) {
        wb.port().showMessage("Design waveform Error: " + f.description(), "Error", MessageIcon::Critical);
    }
}

} // namespace tessaly
