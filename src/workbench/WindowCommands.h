#pragma once
// The main window's own commands: the plot image services of the File menu (Save Graph, Copy to
// Clipboard, Print) and the Help menu (Homepage, Manual, About). They reach the platform only through
// the user port, so the command-line runner and the tests run them as the window does.

namespace tessaly {

class Workbench;

// The save dialog's filter and the result line Save Graph appends before the file name.
inline constexpr const char* kGraphFilter =
    "graph (*.bmp)|*.bmp|PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg|PDF document (*.pdf)|*.pdf|all|*.*";
inline constexpr const char* kSaveGraphLine = "Save graph to file ";

// The help file, looked up in the program's own directory by the user port.
inline constexpr const char* kManualFile = "korvel.html";
// The project's page that Homepage opens.
inline constexpr const char* kHomepageAddress = "https://github.com/tessaly/tessaly";

// File menu: asks for a file name and writes the plot there (a Windows bitmap; PNG at a chosen
// resolution, SVG or PDF by the name's extension) through a temporary file and a rename, then appends
// "Save graph to file NAME :". Cancel ends the command silently; a file that cannot be written is
// reported ("Save graph Error: " and why) and the file it was to replace is kept.
void saveGraphCommand(Workbench& wb);
// Places the plot image on the clipboard.
void copyToClipboardCommand(Workbench& wb);
// Asks for a printer and a number of copies and prints the plot once per copy.
void printCommand(Workbench& wb);

// Help menu.
void homepageCommand(Workbench& wb);
void manualCommand(Workbench& wb);
void aboutCommand(Workbench& wb);

} // namespace tessaly
