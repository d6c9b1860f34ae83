#pragma once
// The plot options as the options dialog holds them, and the dialog's logic as a Qt-free form. The
// plot reads the options at the start of every drawing; Apply copies them into the plot settings
// (plot state and curve styles). The Qt dialog binds its widgets to the form by the control names.

#include "curves/CurveStore.h"
#include "plot/Canvas.h"
#include "plot/PlotState.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace tessaly {

// Curve slots that the options dialog styles and colours (curves 1..6).
inline constexpr int kOptionSlots = 6;

// Drawing styles of a curve (`CurveStyle`). Any other value draws dots.
inline constexpr int kStyleDots = 1;    // `linestyle1`, "...........": single pixels
inline constexpr int kStyleMarkers = 2; // `linestyle2`, "oooooo": small square markers
inline constexpr int kStyleLine = 3;    // `linestyle3`, "______": connected line

inline constexpr Colour kSlot1Colour = paletteColour(1); // vermillion
inline constexpr Colour kSlot2Colour = paletteColour(2); // blue

// The controls of the options dialog. Slot k (1..6) is index k-1 of the per-slot arrays.
// Both axes start automatic, so the first curve of a session fills the frame whatever its size.
struct PlotOptions {
    bool Xauto = true;
    std::string XminText = "-0.3"; // V or s
    std::string XmaxText = "0.3";  // V or s
    bool Yauto = true;
    std::string YminText = "-1e-3"; // A (or the ordinate's unit)
    std::string YmaxText = "1e-3";  // A (or the ordinate's unit)
    bool CheckGrid = false;
    bool overlap = false;
    bool CheckXdir = false; // X decreasing from left to right
    // The chosen option button of each slot: 1 `linestyle1`, 2 `linestyle2`, 3 `linestyle3`.
    std::array<int, kOptionSlots> linestyle = {kStyleLine, kStyleMarkers, kStyleLine,
                                               kStyleLine, kStyleLine,    kStyleDots};
    // The colour of each slot, which also paints the captions of its option buttons.
    std::array<Colour, kOptionSlots> colour = {paletteColour(1), paletteColour(2), paletteColour(3),
                                               paletteColour(4), paletteColour(5), paletteColour(6)};
};

// The style a slot's option buttons give: 1 if `linestyle1` is chosen, else 2 if `linestyle2` is,
// else 3.
int slotCurveStyle(const PlotOptions& options, int index);

// The grid and overlap switches, and the manual limits of each axis whose auto box is not ticked,
// into the plot state; limits of an auto axis stay as they are. Texts are read with the
// leading-number rule ("abc" is 0).
void applyOptionsToState(const PlotOptions& options, PlotState& state);

// Logic of the options dialog `formOption`. Controls are addressed by their names: check boxes
// `Xauto`, `Yauto`, `CheckGrid`, `overlap`, `CheckXdir`; texts `XminText`, `XmaxText`, `YminText`,
// `YmaxText`; labels `Label2`..`Label5`; per slot index i (0..5) the option buttons `linestyle1(i)`,
// `linestyle2(i)`, `linestyle3(i)` and the colour button `Command1(i)`. An unknown name raises a
// Failure.
class PlotOptionsForm {
public:
    explicit PlotOptionsForm(PlotOptions& options) : m_options(options) {}

    // Loading the dialog: the palette's colours of slots 1..6 go to the curve colours (indexed by
    // curve, 0..16) and to those slots' captions.
    void load(std::span<Colour> curveColor);

    const std::string& text(std::string_view field) const;
    void setText(std::string_view field, std::string_view text);

    bool checked(std::string_view box) const;
    // Sets a check box as a click does; ticking `Xauto` or `Yauto` disables that axis' limit boxes.
    void setChecked(std::string_view box, bool ticked);

    // Whether a control takes input: the X limit boxes and their labels (`Label2`, `XminText`,
    // `Label3`, `XmaxText`) are disabled while `Xauto` is ticked, the Y ones (`Label4`, `YminText`,
    // `Label5`, `YmaxText`) while `Yauto` is; every other control is enabled.
    bool enabled(std::string_view control) const;

    // Option buttons by name ("linestyle2(0)"): choosing one clears the other two of its slot.
    void select(std::string_view optionButton);
    bool selected(std::string_view optionButton) const;
    void selectLineStyle(int index, int style); // slot index 0..5, style 1..3
    int lineStyle(int index) const;

    // The colour dialog of `Command1(index)` returned a colour: it becomes the colour of curve
    // index + 1 and of the slot's captions. (A cancelled colour dialog changes nothing and does not
    // call this.)
    void colourChosen(int index, Colour colour, std::span<Colour> curveColor);
    Colour captionColour(int index) const;

    // Apply: the options into the plot state (applyOptionsToState) and the style of each slot into
    // `CurveStyle` of curves 1..6 (indexed by curve, 0..16).
    void apply(PlotState& state, std::span<int> curveStyle) const;

    const PlotOptions& options() const { return m_options; }

private:
    // The text of a limit box (the options are held by reference, so a const form can hand it out).
    std::string& textField(std::string_view field) const;

    PlotOptions& m_options;
};

} // namespace tessaly
