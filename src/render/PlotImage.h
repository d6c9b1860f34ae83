#pragma once
// The plot as an image: the workbench's last plot drawn with a QPainter onto any paint device (the
// window, an image, a printed page), and images written as Windows bitmaps or PNG files. The window,
// its Save Graph and Print, and the command-line runner's Save Graph all draw through here, so they
// give the same picture.

#include "plot/PlotDrawing.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <string>

class QPainter;

namespace tessaly {

class Workbench;

// Clears `target` to white and draws the last plot request in it. A drawing that fails (an index
// beyond the store) leaves the area white; the outcome then reports no data.
PlotOutcome paintWorkbenchPlot(Workbench& wb, QPainter& painter, const QRectF& target,
                               double pixelSize = 1.0);

// The plot drawn on a white image of the given size (pixels).
QImage renderPlotImage(Workbench& wb, QSize size);

// The image as the bytes of a file: PNG when the name ends in ".png" (any case), a Windows bitmap
// otherwise.
std::string encodePlotImage(const QImage& image, const std::string& path);

// Writes the image to `path` as the other saves do: through a temporary file and a rename, so that
// a failed save keeps the file it was to replace (writeFileAtomically). Throws a Failure saying why
// the file could not be written.
void writePlotImage(const QImage& image, const std::string& path);

// The kinds of file Save Graph writes, by the name's extension (any case).
enum class GraphFormat { Bitmap, Png, Svg, Pdf };
GraphFormat graphFormatOf(const std::string& path);

// Writes the plot as it shows at `size` (screen pixels at 96 per inch): SVG and PDF as vector drawings
// of that size, PNG at `dotsPerInch` (an image dotsPerInch / 96 times the size, with its resolution
// recorded), anything else as a Windows bitmap of the size. The drawing is made in memory and written
// through a temporary file and a rename; throws a Failure saying why the file could not be written.
void writePlotFile(Workbench& wb, QSize size, const std::string& path, double dotsPerInch = 96);

} // namespace tessaly
