// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandButton.h"

#include <QAccessibleWidget>

namespace kestrel {

namespace {

class AccessibleCommandButton : public QAccessibleWidget
{
public:
    explicit AccessibleCommandButton(QToolButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        const QToolButton* b = button();
        state.pressed = b->isDown();
        if (b->isCheckable()) {
            state.checkable = true;
            state.checked = b->isChecked();
        }
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names{pressAction()};
        if (button()->isCheckable()) {
            names << toggleAction();
        }
        return names;
    }

    void doAction(const QString& actionName) override
    {
        if (button()->isEnabled() && (actionName == pressAction() || actionName == toggleAction())) {
            button()->click();
        }
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QToolButton* button() const { return static_cast<QToolButton*>(widget()); }
};

QAccessibleInterface* CommandButtonInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(CommandButton::staticMetaObject.className()) && object->isWidgetType()) {
        return new AccessibleCommandButton(static_cast<CommandButton*>(object));
    }
    return nullptr;
}

} // namespace

CommandButton::CommandButton(QWidget* parent) : QToolButton(parent)
{
    // Installing the same factory again keeps one entry.
    QAccessible::installFactory(&CommandButtonInterface);
}

} // namespace kestrel
