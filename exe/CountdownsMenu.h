// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Countdowns.h"

#include <QMenu>
#include <QStringList>

#include <functional>
#include <string>

namespace kestrel {

struct Program;

inline constexpr const char* kCountdownsTitle = "Countdowns";

// The submenu "Countdowns" of the toolbar's Tools menu: the countdowns there are (the one this
// window shows checked), and the commands that open one, make a new one, rename one and delete
// one. Each countdown runs as a kestrel of its own, started detached.
class CountdownsMenu : public QMenu
{
    Q_OBJECT
public:
    CountdownsMenu(Program& program, QWidget* parent);

    // Starts `kestrel --countdown NAME` (or the countdown's own kestrel raises itself).
    void openCountdown(const std::string& name);
    // Asks for a name, makes the countdown (from this one's settings or the defaults) and opens
    // it with its options dialog.
    void newCountdown();
    // Asks which countdown and its new name; a running one is asked to close first.
    void renameCountdown();
    // Asks which countdown; a running one is asked to close first; its settings file and its
    // data folder go to the trash, files placed elsewhere stay and the message names them.
    void deleteCountdown();

    // Starts a program detached; replaced by window tests, which start nothing.
    std::function<bool(const QString& program, const QStringList& arguments)> startDetached;

private:
    void fill();
    // The countdown the user picks among the others (this window's own is left out), or nothing.
    std::optional<CountdownPlace> chooseOther(const QString& question, bool withDefault);
    // Asks a running countdown to close and waits a moment for it; false when it still runs.
    bool closeRunning(const CountdownPlace& countdown);

    Program& m_program;
};

// The summary of a notification of the countdown called `countdown`: as it is for Default,
// otherwise "NAME: summary".
QString NotificationSummary(const std::string& countdown, const std::string& summary);

} // namespace kestrel
