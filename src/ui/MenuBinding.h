#pragma once
// The main window's menu bar built from the command table: every menu, caption (with its "&"
// accelerator), separator, submenu and shortcut key in the table's order, each action named after its
// menu item. Availability is re-read from the workbench's menu state; a greyed item carries the
// reason as its tool tip, and pointing at it shows the reason in the status bar. A command that has no
// handler yet is shown but unavailable.

#include "workbench/CommandTable.h"

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <string_view>

class QAction;
class QMenu;
class QMenuBar;

namespace tessaly {

class MenuState;

class MenuBinding : public QObject {
public:
    using Runner = std::function<void(const MenuItem&)>;
    // Whether the window can run an item that has no handler in the table (Exit is the window's own).
    using WindowCommand = std::function<bool(const MenuItem&)>;
    // Shows a hint in the status bar ("" clears it).
    using Hint = std::function<void(const QString&)>;

    MenuBinding(QMenuBar& bar, const std::vector<MenuItem>& items, Runner run, WindowCommand windowCommand,
                Hint hint = {});

    // Enables each menu and command as the menu state says, with the reason on each greyed one.
    void refresh(const MenuState& menus);

    // Greys every command and menu but `keep` (and the menus holding those), each saying `reason`; the
    // next refresh restores them.
    void disableAll(const QString& reason, const std::vector<std::string>& keep);

    // The action of a menu item or submenu by its name ("mnuSimulate", "mnuFile"); nullptr when unknown.
    QAction* action(std::string_view name) const;
    QMenu* menu(std::string_view name) const;

    // The text shown by commands that are not built yet.
    static QString notBuiltTip();

    // Why an item (or the menu holding it) is greyed: the first reason along its path; "" when it
    // is available.
    QString unavailableReason(const MenuState& menus, std::string_view name) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addItems(QMenu& menu, const std::vector<MenuItem>& items);
    void addItem(QMenu* parent, QMenuBar* bar, const MenuItem& item);

    struct Entry {
        QAction* action = nullptr;
        QMenu* menu = nullptr; // for submenus
        const MenuItem* item = nullptr;
    };
    std::map<std::string, Entry, std::less<>> m_entries;
    Runner m_run;
    WindowCommand m_windowCommand;
    Hint m_hint;
};

} // namespace tessaly
