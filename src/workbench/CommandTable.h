#pragma once
// The whole menu tree of the main window as data: names, captions (with "&" before the accelerator
// letter, one letter per menu), separators ("-"), submenus, each command's handler and shortcut key. The Qt
// window builds its menus from it; the command-line runner looks commands up in it. A menu item has one
// definition.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

class Workbench;

using CommandHandler = std::function<void(Workbench&)>;

struct MenuItem {
    std::string name;       // design name, e.g. "mnuSimulate"
    std::string caption;    // "&Simulate"; "-" for a separator
    CommandHandler handler; // empty for submenus, separators and commands not built yet
    std::vector<MenuItem> children;
    std::string shortcut; // the key that runs the command in the window, in the portable text form
                          // of key sequences ("Ctrl+O", "F5"); "" for none

    bool isSeparator() const { return caption == "-"; }
    bool isSubmenu() const { return !children.empty(); }
};

// The top-level menus in order.
const std::vector<MenuItem>& mainMenu();

// A menu item by name, with or without the "mnu" prefix, case-insensitive; nullptr when unknown.
const MenuItem* findMenuItem(std::string_view name);

// The menu item and every menu that contains it (outermost first), for availability checks.
std::vector<const MenuItem*> menuPath(std::string_view name);

// Runs a command as the window does: refused (false) when it or a menu containing it is unavailable
// or when it has no handler yet.
enum class CommandStatus { Ran, Unknown, Unavailable, NotBuilt };
CommandStatus runCommand(Workbench& wb, std::string_view name);
// The last part of a command a front-end runs in pieces (Simulate on a worker thread): `work` in place
// of the handler, followed by what runCommand leaves behind every command (plot title, legend, unsaved
// curves). The availability was checked when the command started.
void finishCommand(Workbench& wb, std::string_view name, const std::function<void()>& work);

} // namespace tessaly
