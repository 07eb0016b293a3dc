// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Notifications.h"

#include "CountdownsMenu.h"
#include "Program.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QVariantMap>

namespace kestrel {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
// A notification the service did not take is tried again after this many seconds.
constexpr double kRetrySeconds = 60;

} // namespace

Notifications::Notifications(Program& program) : m_program(program)
{
    m_program.subscribe(this);
}

Notifications::~Notifications()
{
    m_program.unsubscribe(this);
}

std::vector<Notice> Notifications::dueNow()
{
    const DateValue now = GetPresentDate(m_program.clock);
    const NoticeMemory memory = ReadNoticeMemory(m_program.settings);
    if (!memory.enabled || now.serial * 86400.0 < m_retryAfter) {
        return {};
    }
    std::vector<Notice> due = DueNotices(m_program.ProgramSettings, m_program.milestones.current(), now, memory);
    std::erase_if(due, [this](const Notice& notice) {
        const auto given = m_given.find(notice.remember.key);
        return m_sending.contains(notice.remember.key) ||
               (given != m_given.end() && given->second == notice.remember.value);
    });
    return due;
}

void Notifications::showCountdown()
{
    for (const Notice& notice : dueNow()) {
        send(notice);
    }
}

namespace {

QDBusMessage NotifyCall(const std::string& countdown, const std::string& summary, const std::string& body)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kService), QStringLiteral("Notify"));
    call << QStringLiteral("Kestrel") << uint(0) << QStringLiteral("kestrel") << NotificationSummary(countdown, summary)
         << QString::fromStdString(body) << QStringList() << QVariantMap() << int(-1);
    return call;
}

} // namespace

void Notify(const std::string& countdown, const std::string& summary, const std::string& body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        bus.asyncCall(NotifyCall(countdown, summary, body));
    }
}

void Notifications::send(const Notice& notice)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_retryAfter = GetPresentDate(m_program.clock).serial * 86400.0 + kRetrySeconds;
        return;
    }
    const QDBusMessage call = NotifyCall(m_program.countdownName, notice.summary, notice.body);
    m_sending.insert(notice.remember.key);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, remember = notice.remember](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                m_sending.erase(remember.key);
                if (finished->isError()) {
                    // No notification service: nothing to show and nothing to report.
                    m_retryAfter = GetPresentDate(m_program.clock).serial * 86400.0 + kRetrySeconds;
                    return;
                }
                // Kept here too, so that a settings file that cannot be written does not bring the
                // same notification back every second.
                m_given[remember.key] = remember.value;
                m_program.write(remember);
            });
}

} // namespace kestrel
