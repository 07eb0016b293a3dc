// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Countdowns.h"
#include "SharedCalendar.h"

#include "AtomicFile.h"

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QStringList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <variant>
#include <vector>

class QNetworkAccessManager;
class QTimer;

namespace kestrel {

class SettingsFile;

// The account of a countdown's shared calendar, as the settings file and the password's store
// give it.
struct ShareAccount
{
    QUrl collection; // the calendar's address, ending in "/"
    QString user;
    QString password;
    // The SHA-256 fingerprint of the one certificate the user trusts for it, "AB:CD:..."; empty: none.
    QString trustedFingerprint;
};

// Where the password of a shared calendar is kept in the desktop's secret store.
inline constexpr const char* kSecretService = "Kestrel";
QString SecretKeyOf(const QString& user, const QString& address);

// The account the settings file names, with its password from the password file or the secret
// store; or one line saying what is missing or wrong.
std::variant<ShareAccount, QString> ShareAccountOf(const SettingsFile& settings);

// Saves the password in the desktop's secret store; empty, or one line saying why it could not.
QString SavePassword(const QString& user, const QString& address, const QString& password);

// The SHA-256 fingerprint of a certificate in DER form, as hex pairs separated by colons.
QString CertificateFingerprint(const QByteArray& der);

// How long one request may wait for the server before it fails.
inline constexpr std::chrono::seconds kServerTimeout{20};

// What one sync did: the lines worth telling the user (texts joined because both sides changed a
// day, a target day taken from the calendar, rights to read only, events left alone), and what
// went wrong, empty when nothing did.
struct SyncOutcome
{
    std::vector<QString> said;
    QString error;
};

// The sync lines, as `kestrel --sync` prints them and the desktop program reads them back.
QString TextsKeptLine(long long day);
QString TargetTakenLine(long long day);
inline constexpr const char* kReadOnlyLine = "The shared calendar can only be read: changes stay local.";

// Syncs the countdown's milestone table and target day with its shared calendar once: reads the
// calendar (only what changed since the last sync when the server offers that), merges it with
// the milestone file over the table as last synced, writes the merged table and a target day that
// came from the calendar under the countdown's lock, then sends the local changes, each only while
// the server still holds the event as it was read. A change refused because someone changed the
// event meanwhile is merged again with a new read, up to three times. The state file keeps what
// was done, also when a request fails, so that nothing is sent twice or lost.
SyncOutcome SyncCalendar(QNetworkAccessManager& network, const ShareAccount& account, const CountdownPlace& countdown,
                         const std::filesystem::path& statePath);

struct Program;

// Keeps the countdown's shared calendar in step while Kestrel runs: at start, after the options
// are applied, after each change of the milestone table and every 2 minutes it runs `kestrel
// --sync` beside the program, so that the windows stay responsive. A failed sync is tried again
// later, each time waiting twice as long (2 minutes at first, an hour at most), so that local
// changes reach the server once it answers. The milestone table hears the sync's writes through
// its file; a target day that came from the calendar is taken like one chosen in the options, with
// one notification, as are texts joined because both sides changed a day. A sync run by cron is
// seen through its record. The last outcome is one line in program.sharedCalendarStatus, which
// the desk calendar shows; only a sync the user started says a failure in a message, and for a
// certificate not trusted asks whether to trust that one.
class SharedCalendarSync final : public QObject
{
    Q_OBJECT
public:
    explicit SharedCalendarSync(Program& program);
    ~SharedCalendarSync() override;
    SharedCalendarSync(const SharedCalendarSync&) = delete;
    SharedCalendarSync& operator=(const SharedCalendarSync&) = delete;

    enum class Asked : std::uint8_t
    {
        ByTheUser, // from the options dialog: failures in a message
        OnItsOwn,  // after a change or on the retry timer: failures in the status line only
    };
    // Starts a sync when sharing is on; one already running is followed by one more.
    void start(Asked asked);

private:
    void finished(int code, const QString& line, const QStringList& said, Asked asked);
    // A sync that ran on its own (from cron) left its record: its outcome and target are taken.
    void recordChanged();
    // Takes the target day the settings file now holds, when a sync changed it.
    bool takeTarget();

    Program& m_program;
    QTimer* m_retry;
    QFileSystemWatcher* m_records;
    std::optional<FileIdentity> m_record;
    std::chrono::minutes m_wait;
    bool m_running = false;
    std::optional<Asked> m_again;
};

// `kestrel --sync`: syncs the milestones and the target of the settings file once, without a
// display; the lines worth telling go to standard output. 0 when done, 1 with one line on standard error saying what
// failed, 2 for a wrong command line.
bool AsksForSync(int argc, char** argv);
int RunSyncProgram(int argc, char** argv);

} // namespace kestrel
