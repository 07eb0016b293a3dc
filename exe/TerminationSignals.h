// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Dialogs.h"

#include <QObject>

#include <cstdio>
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

// The program's dialogs, which pass everything to the dialogs shown on screen until a signal
// asks the program to end. From then on nobody is there to click: a message (a settings file
// that could not be saved) goes to standard error, and so to the session's journal, instead of a
// box that would keep the program running; questions are answered as Cancel (No when there is
// no Cancel) and file dialogs as cancelled. A warning or error written there makes the exit
// status 1.
class EndingDialogs final : public Dialogs
{
public:
    explicit EndingDialogs(Dialogs& shown, std::FILE* errors = stderr) : m_shown(shown), m_errors(errors) {}

    // A signal asked the program to end.
    void beginEnding() { m_ending = true; }
    bool ending() const { return m_ending; }
    // The exit status of a program ended by a signal: 1 when a warning or an error was written.
    int endingStatus() const { return m_failures > 0 ? 1 : 0; }

    Answer MsgBox(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<int> ChooseOne(const QString& text, const QString& title, const QStringList& choices) override;
    std::optional<QColor> ShowColor(const QColor& initial) override;
    std::optional<FontChoice> ShowFont(const FontChoice& initial) override;
    std::optional<QString> ShowSave(const QString& fileName, const QString& filter, const QString& title) override;
    std::optional<PrintRange> ShowPrinter(QPrinter& printer, int minPage, int maxPage, PrintRange initial) override;

private:
    Dialogs& m_shown;
    std::FILE* m_errors;
    bool m_ending = false;
    int m_failures = 0;
};

} // namespace kestrel
