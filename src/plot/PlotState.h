#pragma once
// What the plot keeps between drawings: the frame limits of the last drawing (after auto-ranging and
// rounding), which the mouse handlers test clicks against and which stay in force while auto-ranging
// is off, and the grid and overlap switches taken at the start of the last drawing.

namespace tessaly {

struct PlotState {
    double Xmin = 0.0; // left frame limit, abscissa units (V or s)
    double Xmax = 0.0; // right frame limit, abscissa units (V or s)
    double Ymin = 0.0; // lower frame limit, ordinate units (A, mol/L or V)
    double Ymax = 0.0; // upper frame limit, ordinate units (A, mol/L or V)
    bool ShowGrid = false;
    bool Overlap = false; // successive commands stack their curves
};

} // namespace tessaly
