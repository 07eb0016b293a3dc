// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SharedCalendar.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>
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

// The outcome of one publish: the new state, how many events were sent and removed, and what
// went wrong (empty when nothing did). What was done before a failure stays in the state.
struct PublishOutcome
{
    PublishState state;
    int sent = 0;
    int removed = 0;
    // Events left as the server holds them: another member's of the same UID, or changed there.
    int left = 0;
    QString error;
};

// How long one request may wait for the server before it fails.
inline constexpr std::chrono::seconds kServerTimeout{20};

// Publishes the events to the calendar: asks the calendar first (so that a wrong password or
// address is told also when nothing changed), then sends those whose digest differs from the state's (or
// that the state lacks), and removes those Kestrel published earlier that the table no longer
// holds; events that others put on the server are never touched. Waits for each answer in a
// local event loop. Redirects are not followed, and the password goes only to the calendar's
// own host.
PublishOutcome PublishEvents(QNetworkAccessManager& network, const ShareAccount& account,
                             const std::vector<SharedEvent>& events, PublishState state);

struct Program;

// Keeps the countdown's shared calendar up to date while Kestrel runs: after the options are
// applied and after each change of the milestone table it runs `kestrel --sync` beside the
// program, so that the windows stay responsive. A failed sync is tried again later, each time
// waiting twice as long (2 minutes at first, an hour at most), so that local changes reach the
// server once it answers. The last outcome is one line in program.sharedCalendarStatus, which the
// desk calendar shows; only a sync the user started from the options dialog says a failure in a
// message, and for a certificate not trusted asks whether to trust that one.
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
    void finished(int code, const QString& line, Asked asked);

    Program& m_program;
    QTimer* m_retry;
    std::chrono::minutes m_wait;
    bool m_running = false;
    std::optional<Asked> m_again;
};

// `kestrel --sync`: publishes the milestones and the target of the settings file once, without a
// display. 0 when done, 1 with one line on standard error saying what failed, 2 for a wrong
// command line.
bool AsksForSync(int argc, char** argv);
int RunSyncProgram(int argc, char** argv);

} // namespace kestrel
