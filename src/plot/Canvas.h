#pragma once
// The drawing surface of the plot: a 2-D canvas with a user coordinate system, lines, rectangles,
// single pixels, text at a point and a solid or dashed pen. The Qt plot window implements it with a
// QPainter; tests and the headless front-end record the calls.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessaly {

// A colour as 0x00BBGGRR (red in the low byte); 0 is black.
using Colour = std::uint32_t;
inline constexpr Colour kBlack = 0x000000;

// The user coordinate system: the user coordinates of the window's four edges. The right edge may
// lie left of the left edge in user units (a reversed X axis), and the top edge is normally the
// larger Y value.
struct UserScale {
    double left = 0.0;
    double top = 1.0;
    double right = 1.0;
    double bottom = 0.0;
};

enum class PenStyle { Solid, Dashed };

// Which point of the text's box sits at the anchor point, in screen terms.
enum class TextAnchor { TopLeft, TopCentre };

// The corner of the frame, in screen terms, that holds the legend.
enum class LegendCorner { UpperRight, UpperLeft, LowerRight, LowerLeft };

// One line of the legend: a curve's name beside a sample of its colour and drawing style.
struct LegendEntry {
    std::string name;
    Colour colour = kBlack;
    int style = 3; // the curve's drawing style (1 dots, 2 markers, 3 line)
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Erases everything drawn so far; the coordinate system and pen stay.
    virtual void clear() = 0;
    virtual void setScale(const UserScale& scale) = 0;
    // The pen of the lines and outlines that follow; one pixel wide.
    virtual void setPen(PenStyle pen) = 0;
    virtual void line(double x1, double y1, double x2, double y2, Colour colour) = 0;
    // An outlined rectangle with opposite corners (x1, y1) and (x2, y2).
    virtual void rectangle(double x1, double y1, double x2, double y2, Colour colour) = 0;
    virtual void filledRectangle(double x1, double y1, double x2, double y2, Colour colour) = 0;
    virtual void pixel(double x, double y, Colour colour) = 0;
    // Text in black, its box placed at (x, y) as the anchor says.
    virtual void text(double x, double y, std::string_view text, TextAnchor anchor) = 0;

    // A marker centred on (x, y) whose half sides are at most `halfWidth` and `halfHeight` user units.
    // The plain canvas draws that rectangle; a screen canvas keeps markers square whatever the window's
    // proportions.
    virtual void marker(double x, double y, double halfWidth, double halfHeight, Colour colour) {
        rectangle(x - halfWidth, y - halfHeight, x + halfWidth, y + halfHeight, colour);
    }

    // The curves are drawn between beginCurves and endCurves: a screen canvas smooths their lines and
    // clips them to the frame with corners (x1, y1) and (x2, y2); the frame, ticks and texts stay crisp.
    virtual void beginCurves(double x1, double y1, double x2, double y2) = 0;
    virtual void endCurves() = 0;

    // The legend, inside the frame with corners (x1, y1) and (x2, y2), in the given corner.
    virtual void legend(double x1, double y1, double x2, double y2, LegendCorner corner,
                        std::span<const LegendEntry> entries) = 0;
};

} // namespace tessaly
