// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AtomicFile.h"
#include "CountdownDisplay.h"
#include "Milestones.h"
#include "Notices.h"

#include <QObject>

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace kestrel {

struct Program;

// Gives the desktop notifications of the countdown (zero reached, a milestone's day) through the
// desktop's notification service on the session bus. It rides on the toolbar's tick as a
// countdown display, and looks every few seconds on its own. A notification is remembered in the settings file once the
// service has taken it; when no service answers, nothing is shown or reported and it is tried again a minute later.
class Notifications final : public QObject, public CountdownDisplay
{
    Q_OBJECT

public:
    explicit Notifications(Program& program);
    ~Notifications() override;
    Notifications(const Notifications&) = delete;
    Notifications& operator=(const Notifications&) = delete;

    // Every tick: gives the notifications due now.
    void showCountdown() override;
    void redraw() override {}

    // The notifications due now that are not given, being given or waiting for a retry.
    std::vector<Notice> dueNow();

private:
    void send(const Notice& notice);

    Program& m_program;
    // Keys of the notices sent and not yet answered.
    std::set<std::string> m_sending;
    // The notices given in this run, key and value, whatever became of their write.
    std::map<std::string, std::string> m_given;
    // After a failed delivery, no try before this moment.
    double m_retryAfter = 0;
};

// Gives one notification of a countdown now, once: when no service answers, it is not shown.
void Notify(const std::string& countdown, const std::string& summary, const std::string& body);

} // namespace kestrel
