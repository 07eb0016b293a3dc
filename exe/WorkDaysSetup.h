// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CountdownDisplay.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <string>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;

namespace kestrel {

struct Program;
struct ProgramSettings;

// A holiday feed's answer larger than this is refused.
inline constexpr qint64 kMaxHolidayFeedBytes = 5LL * 1024 * 1024;
// A fetch that has moved no data for this long is given up.
inline constexpr int kHolidayFeedTimeoutMs = 10000;

// The last good copy of the holiday feed of a settings file, beside its holiday cache.
std::filesystem::path HolidayFeedCopyPath(const std::filesystem::path& settingsFile);

// The holiday calendars of the program's settings: the files named, then the feed's last good copy.
std::vector<std::filesystem::path> HolidayCalendarsOf(const std::filesystem::path& settingsFile,
                                                      const ProgramSettings& settings,
                                                      const std::vector<std::string>& files);

// Brings the holiday cache up to date from the calendars (always with `rebuild`, otherwise when a
// calendar is newer than the cache) while "Use Holidays" is on, and loads the work-day rule into
// the program's settings. What went wrong is said in one message.
// Brings the holiday cache of a settings file up to date from its calendars while "Use Holidays"
// is on: always with `rebuild`, otherwise when a calendar is newer than the cache or the cache is
// missing or damaged. The messages of
// what went wrong, one each. For `kestrel --report-pdf` as for the running program.
std::vector<std::string> UpdateHolidayCache(const std::filesystem::path& settingsFile, const ProgramSettings& settings,
                                            const std::vector<std::string>& files, bool rebuild);

// `files` are the holiday calendars named in the settings.
void RefreshWorkDays(Program& program, bool rebuild, const std::vector<std::string>& files);
void RefreshWorkDays(Program& program, bool rebuild);

// Whether a holiday feed may be fetched from `url`: https anywhere, http only on a loopback address.
bool HolidayFeedAllowed(const QString& url);

// Fetches the holiday feed named in the options with Qt's network classes when the program
// starts, when the options name another feed and then once a day. A good answer (an iCalendar
// file of at most 5 MB) replaces the last good copy and rebuilds the holiday cache; a failure keeps
// the last good copy and is said once, until a fetch succeeds or the options change.
class HolidayFeed final : public QObject, public CountdownDisplay
{
public:
    explicit HolidayFeed(Program& program);
    ~HolidayFeed() override;
    HolidayFeed(const HolidayFeed&) = delete;
    HolidayFeed& operator=(const HolidayFeed&) = delete;

    void showCountdown() override {}
    // After the options dialog: a new address is fetched at once.
    void redraw() override;

    // Starts a fetch of the feed named in the settings, if any.
    void fetch();

private:
    void finished(QNetworkReply* reply);
    void failed(const QString& reason);

    Program& m_program;
    QNetworkAccessManager* m_network;
    QTimer m_daily;
    QString m_fetchedUrl;
    QNetworkReply* m_reply = nullptr;
    bool m_failureSaid = false;
};

} // namespace kestrel
