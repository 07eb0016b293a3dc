// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QToolButton>

namespace kestrel {

// A picture button bound to one command (its default action). A screen reader's "Press" and, on a
// button that stays down while its window is open, "Toggle" both run the command, as a click does:
// Qt's own tool-button interface offers "Toggle" but does nothing on it.
class CommandButton : public QToolButton
{
    Q_OBJECT
public:
    explicit CommandButton(QWidget* parent = nullptr);
};

} // namespace kestrel
