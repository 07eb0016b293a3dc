// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace kestrel {

// Makes an access key that several controls of one window share act on its first press, as a key
// of its own does, rather than only move the focus from one of them to the next: the window's menu
// bar wins over its buttons and tabs; among those, the one the key reaches first acts. Watches the
// whole application while it lives.
class AccessKeys : public QObject
{
    Q_OBJECT
public:
    explicit AccessKeys(QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kestrel
