#include "ui/MenuBinding.h"

#include "workbench/MenuState.h"

#include <QAction>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <algorithm>

namespace tessaly {

MenuBinding::MenuBinding(QMenuBar& bar, const std::vector<MenuItem>& items, Runner run,
                         WindowCommand windowCommand, Hint hint)
    : m_run(std::move(run)), m_windowCommand(std::move(windowCommand)), m_hint(std::move(hint)) {
    for (const MenuItem& item : items)
        addItem(nullptr, &bar, item);
    bar.installEventFilter(this);
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
        entry.menu->installEventFilter(this);
        addItems(*entry.menu, item.children);
    } else {
        entry.action = bar ? bar->addAction(caption) : parent->addAction(caption);
        if (!item.shortcut.empty())
            entry.action->setShortcut(
                QKeySequence(QString::fromStdString(item.shortcut), QKeySequence::PortableText));
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
        QString tip = enabled ? QString() : QString::fromStdString(menus.reason(name));
        if (!entry.item->isSubmenu() && !entry.item->handler && !m_windowCommand(*entry.item)) {
            enabled = false;
            tip = notBuiltTip();
        }
        entry.action->setEnabled(enabled);
        entry.action->setToolTip(tip);
        entry.action->setStatusTip(tip);
    }
}

void MenuBinding::disableAll(const QString& reason, const std::vector<std::string>& keep) {
    std::vector<std::string> kept;
    for (const std::string& name : keep)
        for (const MenuItem* item : menuPath(name))
            kept.push_back(item->name);
    for (const auto& [name, entry] : m_entries) {
        if (entry.item->isSeparator() || std::find(kept.begin(), kept.end(), name) != kept.end())
            continue;
        entry.action->setEnabled(false);
        entry.action->setToolTip(reason);
        entry.action->setStatusTip(reason);
    }
}

QString MenuBinding::unavailableReason(const MenuState& menus, std::string_view name) const {
    for (const MenuItem* item : menuPath(name)) {
        if (!menus.isEnabled(item->name)) {
            const std::string reason = menus.reason(item->name);
            return reason.empty() ? QStringLiteral("Not available now") : QString::fromStdString(reason);
        }
    }
    return {};
}

bool MenuBinding::eventFilter(QObject* watched, QEvent* event) {
    // A greyed item raises no hover of its own: pointing at it shows its reason all the same.
    if (event->type() == QEvent::MouseMove && m_hint) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        QAction* action = nullptr;
        if (auto* menu = qobject_cast<QMenu*>(watched))
            action = menu->actionAt(at);
        else if (auto* bar = qobject_cast<QMenuBar*>(watched))
            action = bar->actionAt(at);
        if (action && !action->isEnabled() && !action->statusTip().isEmpty())
            m_hint(action->statusTip());
    }
    return QObject::eventFilter(watched, event);
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
