// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SaverSettings.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QWindow;

namespace kestrel {
class Clock;
}

namespace kestrel::saver {

class SaverWindow;

// Whether the X server has a window with this id (0, the root window, always exists).
bool HostWindowExists(std::uint32_t window);

// Runs the screensaver: a window on every screen (or one inside the host's window), the
// countdown once a second, and the end when the user's input reaches the exit counter's limit.
class Saver : public QObject
{
    Q_OBJECT
public:
    Saver(SaverSettings settings, BreakdownStyle style, const Clock& clock, SaverCommand command,
          std::function<void()> end);
    ~Saver() override;

    // Opens the windows and shows the first count.
    void start();
    // Computes the countdown and shows it; the count stays as it is from then on for "yy".
    void tick();

private:
    void openOnEveryScreen();
    void openInHostWindow();
    void followHostSize();

    SaverSettings m_settings;
    BreakdownStyle m_style;
    const Clock& m_clock;
    SaverCommand m_command;
    std::function<void()> m_end;
    ExitCounter m_counter;
    QTimer m_timer;
    QTimer m_hostSizeTimer;
    QWindow* m_host = nullptr;
    std::vector<QPointer<SaverWindow>> m_windows;
};

} // namespace kestrel::saver
