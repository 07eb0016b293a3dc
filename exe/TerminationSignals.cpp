// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminationSignals.h"

#include <QRegularExpression>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace kestrel {

namespace {

constexpr std::array kSignals = {SIGTERM, SIGINT, SIGHUP};

// The pipe's two ends: the handler writes, the event loop reads.
int g_pipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up: nothing is lost by a failed write.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> close, QObject* parent)
    : QObject(parent), m_close(std::move(close))
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::received);
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals()
{
    for (const int signal : kSignals) {
        ::signal(signal, SIG_DFL);
    }
    delete m_notifier;
    m_notifier = nullptr;
    for (int& end : g_pipe) {
        if (end >= 0) {
            ::close(end);
            end = -1;
        }
    }
}

void TerminationSignals::received()
{
    std::array<char, 64> drained{};
    while (::read(g_pipe[0], drained.data(), drained.size()) > 0) {}
    if (m_close) {
        m_close();
    }
}

} // namespace kestrel

namespace kestrel {

Dialogs::Answer EndingDialogs::MsgBox(const QString& text, Buttons buttons, Icon icon, const QString& title)
{
    if (!m_ending) {
        return m_shown.MsgBox(text, buttons, icon, title);
    }
    if (icon == Icon::Critical || icon == Icon::Exclamation) {
        ++m_failures;
    }
    // One line per message, so that the journal keeps it together.
    QString line = text.trimmed();
    line.replace(QRegularExpression(QStringLiteral("\\s*\\n+\\s*")), QStringLiteral(" "));
    std::fprintf(m_errors, "kestrel: %s\n", line.toLocal8Bit().constData());
    std::fflush(m_errors);
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
        break;
    }
    return Answer::Cancel;
}

QString EndingDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    return m_ending ? QString() : m_shown.InputBox(prompt, title, defaultText);
}

std::optional<int> EndingDialogs::ChooseOne(const QString& text, const QString& title, const QStringList& choices)
{
    return m_ending ? std::nullopt : m_shown.ChooseOne(text, title, choices);
}

std::optional<QColor> EndingDialogs::ShowColor(const QColor& initial)
{
    return m_ending ? std::nullopt : m_shown.ShowColor(initial);
}

std::optional<FontChoice> EndingDialogs::ShowFont(const FontChoice& initial)
{
    return m_ending ? std::nullopt : m_shown.ShowFont(initial);
}

std::optional<QString> EndingDialogs::ShowSave(const QString& fileName, const QString& filter, const QString& title)
{
    return m_ending ? std::nullopt : m_shown.ShowSave(fileName, filter, title);
}

std::optional<PrintRange> EndingDialogs::ShowPrinter(QPrinter& printer, int minPage, int maxPage, PrintRange initial)
{
    return m_ending ? std::nullopt : m_shown.ShowPrinter(printer, minPage, maxPage, initial);
}

} // namespace kestrel
