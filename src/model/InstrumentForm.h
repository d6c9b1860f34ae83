#pragma once
// The instrument dialog (FormIns, "Instrument"): the potential programme, the electrode and its
// geometry, baseline, preconcentration, the digital model and the designed waveform. Its reactions
// keep the derived fields consistent (drop time, pulse width, scan rate, experiment time, time grid,
// electrode area, radius and volume); its OK is the instrument commit.

#include "model/ExperimentForm.h"

namespace tessaly {

class InstrumentForm : public ExperimentForm {
public:
    using ExperimentForm::ExperimentForm;

    std::string_view formName() const override { return "FormIns"; }
    bool holds(std::string_view name) const override;

    // Mechanism build, offered programme fields by technique, digital-model frame and electrode
    // options, design frame, geometry, auto digital model, time-grid limit.
    FormReply activate() override;
    FormReply changed(std::string_view field) override;
    // CheckAuto, CheckPreCon.
    FormReply click(std::string_view box, bool checked) override;
    // optElectrode n (1..11; 5, 6 and 10 only with the digital simulation), ComboScan 0..3.
    FormReply select(std::string_view group, int option) override;
    // "Reset" (cmdReset).
    FormReply press(std::string_view button) override;

protected:
    // Estart/Eend identical texts, TextTimeGrid outside (0, td], design times t1(k).
    std::optional<FormMessage> validate(std::string_view field) override;
    // The instrument commit.
    void commit(Notices& notices) override;
    // Programme and geometry fields, TextTimeGrid/TextExpanding, "optElectrode(n)", the radius caption
    // on "radius", frames "FrameDigitalModel", "FrameDesignWaveform", "FramePrecon".
    void decorate(std::string_view name, FieldView& view) const override;
    // The fit limits of Ru (txtRu), Cdl and the area (ARE) widen past a value they no longer contain.
    void settled(std::string_view field) override;

private:
    void offerProgrammeFields();
    void offerGeometryFields();
    void frequencyChanged(FormReply& reply);
    void scanRateChanged(FormReply& reply);
    void stepChanged(FormReply& reply);
    void experimentTimeFromScan(FormReply& reply);
    void autoDigitalModel(FormReply& reply);
    void geometry(FormReply& reply);
    void ringArea(FormReply& reply);
    void areaChanged(FormReply& reply);
    void limitTimeGrid(FormReply& reply);
    void resetTimeGrid(FormReply& reply);
    void writeNumber(std::string_view field, double value, FormReply& reply);
    void writeArea(std::string_view field, double value, FormReply& reply);
};

} // namespace tessaly
