// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace kestrel {

// Turns SIGTERM, SIGINT and SIGHUP (a logout, kill, Ctrl+C in a terminal) into a call of `close`
// on the event loop, so that the program ends as its own "&Close" ends it and records its windows,
// instead of dying at once. The signal handler only writes a byte to a pipe; everything else runs
// on the event loop. One instance at a time; the default handling comes back when it is destroyed.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(std::function<void()> close, QObject* parent = nullptr);
    ~TerminationSignals() override;

    // Whether the handlers are in place (false when the pipe could not be made).
    bool active() const { return m_notifier != nullptr; }

private:
    void received();

    std::function<void()> m_close;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace kestrel
