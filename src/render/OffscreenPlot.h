#pragma once
// Save Graph without a window: the command-line runner renders the plot offscreen with the same
// painter code as the window. This header needs no Qt, so the runner's sources stay Qt-free.

#include <string>

namespace tessaly {

class Workbench;

// The size of the plot image written without a window, pixels.
inline constexpr int kOffscreenPlotWidth = 800;
inline constexpr int kOffscreenPlotHeight = 600;

// Draws the workbench's last plot at the given size and writes it to `path` (SVG, PDF or PNG by the
// name's extension, a Windows bitmap otherwise) through a temporary file and a rename. Starts a
// windowless Qt GUI application for the fonts when the program has none. Throws a Failure saying why
// the file could not be written.
void writeOffscreenPlot(Workbench& wb, const std::string& path, int width = kOffscreenPlotWidth,
                        int height = kOffscreenPlotHeight);

} // namespace tessaly
