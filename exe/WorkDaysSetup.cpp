// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkDaysSetup.h"

#include "AtomicFile.h"
#include "Countdown.h"
#include "HolidayCalendars.h"
#include "Holidays.h"
#include "Program.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace kestrel {

std::filesystem::path HolidayFeedCopyPath(const std::filesystem::path& settingsFile)
{
    std::filesystem::path copy = HolidayCachePath(settingsFile);
    copy.replace_extension(".feed.ics");
    return copy;
}

std::vector<std::filesystem::path> HolidayCalendarsOf(const std::filesystem::path& settingsFile,
                                                      const ProgramSettings& settings,
                                                      const std::vector<std::string>& files)
{
    std::vector<std::filesystem::path> calendars;
    for (const std::string& file : files) {
        calendars.emplace_back(file);
    }
    const std::filesystem::path copy = HolidayFeedCopyPath(settingsFile);
    std::error_code error;
    if (!settings.HolidayFeed.empty() && std::filesystem::exists(copy, error)) {
        calendars.push_back(copy);
    }
    return calendars;
}

void RefreshWorkDays(Program& program, bool rebuild)
{
    RefreshWorkDays(program, rebuild, HolidayFiles(program.settings));
}

std::vector<std::string> UpdateHolidayCache(const std::filesystem::path& settingsFile, const ProgramSettings& settings,
                                            const std::vector<std::string>& files, bool rebuild)
{
    if (!IsTrueText(settings.UseHolidays)) {
        return {};
    }
    const std::filesystem::path cache = HolidayCachePath(settingsFile);
    const std::vector<std::filesystem::path> calendars = HolidayCalendarsOf(settingsFile, settings, files);
    // A damaged cache is built again too.
    if (rebuild || HolidayCacheOutOfDate(cache, calendars) || !ReadHolidayCache(cache)) {
        return BuildHolidayCache(cache, calendars);
    }
    return {};
}

void RefreshWorkDays(Program& program, bool rebuild, const std::vector<std::string>& files)
{
    ProgramSettings& settings = program.ProgramSettings;
    std::vector<std::string> problems = UpdateHolidayCache(program.settings.path(), settings, files, rebuild);
    LoadWorkCalendar(settings, program.settings.path());
    if (!settings.workDaysProblem.empty()) {
        problems.push_back(settings.workDaysProblem);
    }
    if (problems.empty()) {
        return;
    }
    QStringList lines;
    for (const std::string& problem : problems) {
        lines.append(QString::fromStdString(problem));
    }
    program.dialogs.MsgBox(lines.join(QStringLiteral("\n\n")), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation,
                           QString::fromLatin1(kProgramName));
}

bool HolidayFeedAllowed(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return false;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https")) {
        return true;
    }
    if (scheme != QLatin1String("http")) {
        return false;
    }
    const QString host = url.host();
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

HolidayFeed::HolidayFeed(Program& program) : m_program(program), m_network(new QNetworkAccessManager(this))
{
    m_program.subscribe(this);
    m_daily.setInterval(24 * 60 * 60 * 1000);
    connect(&m_daily, &QTimer::timeout, this, &HolidayFeed::fetch);
    m_daily.start();
}

HolidayFeed::~HolidayFeed()
{
    m_program.unsubscribe(this);
    if (m_reply != nullptr) {
        m_reply->abort();
    }
}

void HolidayFeed::redraw()
{
    const QString url = QString::fromStdString(m_program.ProgramSettings.HolidayFeed);
    if (url != m_fetchedUrl) {
        m_failureSaid = false;
        fetch();
    }
}

void HolidayFeed::fetch()
{
    const QString url = QString::fromStdString(m_program.ProgramSettings.HolidayFeed);
    // Not while holidays are off: turning them on fetches at once.
    if (url.isEmpty() || !IsTrueText(m_program.ProgramSettings.UseHolidays) || m_reply != nullptr) {
        return;
    }
    m_fetchedUrl = url;
    if (!HolidayFeedAllowed(url)) {
        failed(QStringLiteral("only https addresses, or http on this computer, are fetched"));
        return;
    }
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(kHolidayFeedTimeoutMs);
    // Redirects only to the same scheme, host and port: a feed on this computer cannot send the
    // fetch out to the network.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > kMaxHolidayFeedBytes && m_reply != nullptr) {
            m_reply->setProperty("tooLarge", true);
            m_reply->abort();
        }
    });
    connect(m_reply, &QNetworkReply::finished, this, [this] { finished(m_reply); });
}

void HolidayFeed::finished(QNetworkReply* reply)
{
    m_reply = nullptr;
    reply->deleteLater();
    if (reply->property("tooLarge").toBool()) {
        failed(QStringLiteral("the answer is larger than 5 MB"));
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        failed(reply->errorString());
        return;
    }
    const QByteArray bytes = reply->readAll();
    if (bytes.size() > kMaxHolidayFeedBytes) {
        failed(QStringLiteral("the answer is larger than 5 MB"));
        return;
    }
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!ReadHolidayCalendarText(text)) {
        failed(QStringLiteral("the answer is no iCalendar file"));
        return;
    }
    const std::filesystem::path copy = HolidayFeedCopyPath(m_program.settings.path());
    std::error_code ignored;
    std::filesystem::create_directories(copy.parent_path(), ignored);
    const FileResult<SaveTarget> target = FindSaveTarget(copy);
    const FileResult<struct stat> written =
        target ? SaveWholeFile(target.value(), text, 0600, true) : FileResult<struct stat>(target.error());
    if (!written) {
        failed(QString::fromStdString(written.error().report()));
        return;
    }
    m_failureSaid = false;
    RefreshWorkDays(m_program, true);
    for (CountdownDisplay* display : std::vector(m_program.displays)) {
        if (display != this) {
            display->redraw();
        }
    }
}

void HolidayFeed::failed(const QString& reason)
{
    if (m_failureSaid) {
        return;
    }
    m_failureSaid = true;
    m_program.dialogs.MsgBox(QStringLiteral("The holiday feed %1 could not be fetched (%2). The last good copy "
                                            "is used until a fetch succeeds.")
                                 .arg(m_fetchedUrl, reason),
                             Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, QString::fromLatin1(kProgramName));
}

} // namespace kestrel
