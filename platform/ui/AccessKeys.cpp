// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AccessKeys.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QShortcutEvent>

namespace kestrel {

namespace {

// The enabled item of the window's own menu bar with that access key; null when none has it.
QAction* MenuItemWithKey(const QWidget& window, const QKeySequence& key, QMenuBar*& bar)
{
    for (QMenuBar* candidate : window.findChildren<QMenuBar*>()) {
        if (candidate->window() != &window || !candidate->isVisibleTo(&window)) {
            continue;
        }
        for (QAction* action : candidate->actions()) {
            if (action->isVisible() && action->isEnabled() && QKeySequence::mnemonic(action->text()) == key) {
                bar = candidate;
                return action;
            }
        }
    }
    return nullptr;
}

} // namespace

AccessKeys::AccessKeys(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

bool AccessKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Shortcut) {
        return false;
    }
    auto* shortcut = static_cast<QShortcutEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    const QKeySequence key = shortcut->key();
    if (!shortcut->isAmbiguous() || widget == nullptr || key.count() != 1 ||
        key[0].keyboardModifiers() != Qt::AltModifier) {
        return false;
    }
    QMenuBar* bar = nullptr;
    if (QAction* item = MenuItemWithKey(*widget->window(), key, bar)) {
        if (item->menu() != nullptr) {
            bar->setActiveAction(item); // opens its menu
        } else {
            item->trigger();
        }
        return true;
    }
    // The control the key reached acts as if the key were its own: a button is pressed at once.
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (button->focusPolicy() != Qt::NoFocus) {
            button->setFocus(Qt::ShortcutFocusReason);
        }
        button->click();
        return true;
    }
    QShortcutEvent own(key, shortcut->shortcutId(), false);
    QCoreApplication::sendEvent(widget, &own);
    return true;
}

} // namespace kestrel
