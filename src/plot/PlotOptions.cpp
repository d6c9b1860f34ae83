#include "plot/PlotOptions.h"

#include "base/Checked.h"
#include "base/Failure.h"
#include "base/NumberText.h"

#include <charconv>
#include <string>
#include <utility>

namespace tessaly {

namespace {

[[noreturn]] void unknownControl(std::string_view name) {
    raise("Unknown control of the plot options: " + std::string(name));
}

int checkedSlot(int index) {
    return checkedIndex(index, 0, kOptionSlots - 1);
}

// A control array element "name(index)": the index, or -1 when `text` is not `name` followed by a
// parenthesised index.
int arrayIndex(std::string_view text, std::string_view name) {
    if (text.size() < name.size() + 3 || text.substr(0, name.size()) != name || text[name.size()] != '(' ||
        text.back() != ')')
        return -1;
    const std::string_view digits = text.substr(name.size() + 1, text.size() - name.size() - 2);
    int index = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (error != std::errc() || end != digits.data() + digits.size() || index < 0 || index >= kOptionSlots)
        return -1;
    return index;
}

// The slot index and the style (1..3) of an option button name, or throws.
std::pair<int, int> optionButton(std::string_view name) {
    for (int style = kStyleDots; style <= kStyleLine; ++style) {
        const int index = arrayIndex(name, "linestyle" + std::to_string(style));
        if (index >= 0)
            return {index, style};
    }
    unknownControl(name);
}

} // namespace

int slotCurveStyle(const PlotOptions& options, int index) {
    const int chosen = options.linestyle[static_cast<std::size_t>(checkedSlot(index))];
    if (chosen == kStyleDots)
        return kStyleDots;
    if (chosen == kStyleMarkers)
        return kStyleMarkers;
    return kStyleLine;
}

void applyOptionsToState(const PlotOptions& options, PlotState& state) {
    state.ShowGrid = options.CheckGrid;
    state.Overlap = options.overlap;
    if (!options.Xauto) {
        state.Xmin = leadingNumber(options.XminText);
        state.Xmax = leadingNumber(options.XmaxText);
    }
    if (!options.Yauto) {
        state.Ymin = leadingNumber(options.YminText);
        state.Ymax = leadingNumber(options.YmaxText);
    }
}

void PlotOptionsForm::load(std::span<Colour> curveColor) {
    checkedIndex(kOptionSlots, 0, static_cast<int>(curveColor.size()) - 1);
    for (int slot = 1; slot <= kOptionSlots; ++slot) {
        m_options.colour[static_cast<std::size_t>(slot - 1)] = paletteColour(slot);
        curveColor[static_cast<std::size_t>(slot)] = paletteColour(slot);
    }
}

std::string& PlotOptionsForm::textField(std::string_view field) const {
    if (field == "XminText")
        return m_options.XminText;
    if (field == "XmaxText")
        return m_options.XmaxText;
    if (field == "YminText")
        return m_options.YminText;
    if (field == "YmaxText")
        return m_options.YmaxText;
    unknownControl(field);
}

const std::string& PlotOptionsForm::text(std::string_view field) const {
    return textField(field);
}

void PlotOptionsForm::setText(std::string_view field, std::string_view text) {
    textField(field) = text;
}

bool PlotOptionsForm::checked(std::string_view box) const {
    if (box == "Xauto")
        return m_options.Xauto;
    if (box == "Yauto")
        return m_options.Yauto;
    if (box == "CheckGrid")
        return m_options.CheckGrid;
    if (box == "overlap")
        return m_options.overlap;
    if (box == "CheckXdir")
        return m_options.CheckXdir;
    unknownControl(box);
}

void PlotOptionsForm::setChecked(std::string_view box, bool ticked) {
    if (box == "Xauto")
        m_options.Xauto = ticked;
    else if (box == "Yauto")
        m_options.Yauto = ticked;
    else if (box == "CheckGrid")
        m_options.CheckGrid = ticked;
    else if (box == "overlap")
        m_options.overlap = ticked;
    else if (box == "CheckXdir")
        m_options.CheckXdir = ticked;
    else
        unknownControl(box);
}

bool PlotOptionsForm::enabled(std::string_view control) const {
    if (control == "Label2" || control == "XminText" || control == "Label3" || control == "XmaxText")
        return !m_options.Xauto;
    if (control == "Label4" || control == "YminText" || control == "Label5" || control == "YmaxText")
        return !m_options.Yauto;
    static constexpr std::array<std::string_view, 7> kAlwaysEnabled = {
        "Xauto", "Yauto", "CheckGrid", "overlap", "CheckXdir", "cmdOK", "axis"};
    for (std::string_view name : kAlwaysEnabled) {
        if (control == name)
            return true;
    }
    if (arrayIndex(control, "Command1") >= 0 || arrayIndex(control, "Frame1") >= 0 ||
        arrayIndex(control, "Linestyle") >= 0)
        return true;
    optionButton(control); // throws for an unknown name
    return true;
}

void PlotOptionsForm::select(std::string_view name) {
    const auto [index, style] = optionButton(name);
    selectLineStyle(index, style);
}

bool PlotOptionsForm::selected(std::string_view name) const {
    const auto [index, style] = optionButton(name);
    return lineStyle(index) == style;
}

void PlotOptionsForm::selectLineStyle(int index, int style) {
    if (style < kStyleDots || style > kStyleLine)
        raise(failure_text::invalidCall);
    m_options.linestyle[static_cast<std::size_t>(checkedSlot(index))] = style;
}

int PlotOptionsForm::lineStyle(int index) const {
    return slotCurveStyle(m_options, index);
}

void PlotOptionsForm::colourChosen(int index, Colour colour, std::span<Colour> curveColor) {
    const int curve = checkedIndex(checkedSlot(index) + 1, 0, static_cast<int>(curveColor.size()) - 1);
    curveColor[static_cast<std::size_t>(curve)] = colour;
    m_options.colour[static_cast<std::size_t>(index)] = colour;
}

Colour PlotOptionsForm::captionColour(int index) const {
    return m_options.colour[static_cast<std::size_t>(checkedSlot(index))];
}

void PlotOptionsForm::apply(PlotState& state, std::span<int> curveStyle) const {
    applyOptionsToState(m_options, state);
    checkedIndex(kOptionSlots, 0, static_cast<int>(curveStyle.size()) - 1);
    for (int index = 0; index < kOptionSlots; ++index)
        curveStyle[static_cast<std::size_t>(index + 1)] = slotCurveStyle(m_options, index);
}

} // namespace tessaly
