#include "ui/MenuBinding.h"

#include "workbench/MenuState.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace tessaly {

MenuBinding::MenuBinding(QMenuBar& bar, const std::vector<MenuItem>& items, Runner run,
                         WindowCommand windowCommand)
    : m_run(std::move(run)), m_windowCommand(std::move(windowCommand)) {
    for (const MenuItem& item : items)
        addItem(nullptr, &bar, item);
}

QString MenuBinding::notBuiltTip() {
    return QStringLiteral("Not available yet");
}

void MenuBinding::addItem(QMenu* parent, QMenuBar* bar, const MenuItem& item) {
    const QString name = QString::fromStdString(item.name);
    const QString caption = QString::fromStdString(item.caption);
    Entry entry;
    entry.item = &item;
    if (item.isSeparator()) {
        entry.action = parent->addSeparator();
    } else if (item.isSubmenu()) {
        entry.menu = bar ? bar->addMenu(caption) : parent->addMenu(caption);
        entry.menu->setObjectName(name);
        entry.action = entry.menu->menuAction();
        entry.menu->setToolTipsVisible(true);
        addItems(*entry.menu, item.children);
    } else {
        entry.action = bar ? bar->addAction(caption) : parent->addAction(caption);
        const MenuItem* source = &item;
        QObject::connect(entry.action, &QAction::triggered, entry.action, [this, source] { m_run(*source); });
    }
    entry.action->setObjectName(name);
    m_entries[item.name] = entry;
}

void MenuBinding::addItems(QMenu& menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& child : items)
        addItem(&menu, nullptr, child);
}

void MenuBinding::refresh(const MenuState& menus) {
    for (const auto& [name, entry] : m_entries) {
        if (entry.item->isSeparator())
            continue;
        bool enabled = menus.isEnabled(name);
        if (!entry.item->isSubmenu() && !entry.item->handler && !m_windowCommand(*entry.item)) {
            enabled = false;
            entry.action->setToolTip(notBuiltTip());
            entry.action->setStatusTip(notBuiltTip());
        }
        entry.action->setEnabled(enabled);
    }
}

QAction* MenuBinding::action(std::string_view name) const {
    const auto it = m_entries.find(name);
    return it == m_entries.end() ? nullptr : it->second.action;
}

QMenu* MenuBinding::menu(std::string_view name) const {
    const auto it = m_entries.find(name);
    return it == m_entries.end() ? nullptr : it->second.menu;
}

} // namespace tessaly
