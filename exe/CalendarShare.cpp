// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalendarShare.h"

#include "AtomicFile.h"
#include "CalendarServer.h"
#include "Dialogs.h"
#include "MilestoneStore.h"
#include "Program.h"
#include "Countdown.h"
#include "Countdowns.h"
#include "ICalendar.h"
#include "Milestones.h"
#include "ProgramSettings.h"
#include "RuntimeError.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <qt6keychain/keychain.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cstring>
#include <set>
#include <utility>

namespace kestrel {

namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// Waits for a secret-store job to finish.
void WaitFor(QKeychain::Job& job)
{
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    job.start();
    loop.exec();
}

QString SecretStoreProblem(const QKeychain::Job& job)
{
    return QStringLiteral("no secret store answered (%1); name a file holding the password under \"Password File\" in "
                          "the settings file's section [Shared Calendar] instead")
        .arg(job.errorString());
}

} // namespace

QString SecretKeyOf(const QString& user, const QString& address)
{
    return user + QLatin1Char('@') + address;
}

std::variant<ShareAccount, QString> ShareAccountOf(const SettingsFile& settings)
{
    const QString address = Text(ReadSetting(settings, setting::CalendarUrl)).trimmed();
    if (address.isEmpty()) {
        return QStringLiteral("no calendar is set (\"Calendar URL\" in the section [Shared Calendar])");
    }
    if (const std::optional<std::string> problem = CalendarAddressProblem(address.toStdString())) {
        return Text(*problem);
    }
    ShareAccount account;
    account.collection = QUrl(address.endsWith(QLatin1Char('/')) ? address : address + QLatin1Char('/'));
    account.user = Text(ReadSetting(settings, setting::CalendarUser));
    account.trustedFingerprint = Text(ReadSetting(settings, setting::TrustedCertificate)).trimmed();
    const std::string passwordFile = ReadSetting(settings, setting::PasswordFile);
    if (!passwordFile.empty()) {
        const PasswordFileReading reading = ReadPasswordFile(passwordFile);
        if (!reading.password) {
            return Text(reading.problem);
        }
        account.password = Text(*reading.password);
        return account;
    }
    QKeychain::ReadPasswordJob job(QString::fromLatin1(kSecretService));
    job.setAutoDelete(false);
    job.setKey(SecretKeyOf(account.user, address));
    WaitFor(job);
    if (job.error() == QKeychain::EntryNotFound) {
        return QStringLiteral("no password is saved for %1 at %2: enter it in Countdown Options")
            .arg(account.user, address);
    }
    if (job.error() != QKeychain::NoError) {
        return SecretStoreProblem(job);
    }
    account.password = job.textData();
    return account;
}

QString SavePassword(const QString& user, const QString& address, const QString& password)
{
    QKeychain::WritePasswordJob job(QString::fromLatin1(kSecretService));
    job.setAutoDelete(false);
    job.setKey(SecretKeyOf(user, address));
    job.setTextData(password);
    WaitFor(job);
    return job.error() == QKeychain::NoError ? QString() : SecretStoreProblem(job);
}

QString CertificateFingerprint(const QByteArray& der)
{
    return QString::fromLatin1(QCryptographicHash::hash(der, QCryptographicHash::Sha256).toHex(':').toUpper());
}

PublishOutcome PublishEvents(QNetworkAccessManager& network, const ShareAccount& account,
                             const std::vector<SharedEvent>& events, PublishState state)
{
    PublishOutcome outcome;
    const auto finish = [&](QString error) {
        outcome.state = std::move(state);
        outcome.error = std::move(error);
        return outcome;
    };
    // The calendar is asked first, so that a wrong password or address is told even when there
    // is nothing to send.
    const Answer calendar = Send(network, account, "PROPFIND", account.collection, {}, {{"Depth", "0"}});
    if (!calendar.error.isEmpty()) {
        return finish(calendar.error);
    }
    // A WebDAV collection answers with a multi-status; anything else at that address is no calendar.
    if (calendar.status != 207) {
        return finish(
            QStringLiteral("the address answers, but not as a CalDAV calendar (status %1)").arg(calendar.status));
    }
    std::set<std::string> current;
    for (const SharedEvent& event : events) {
        current.insert(event.uid);
        const auto published = state.find(event.uid);
        if (published != state.end() && published->second.digest == event.digest) {
            continue;
        }
        // A new event must not replace one of the same UID that another member published, nor a
        // changed one an edit made on the server since: the server checks, and a refusal leaves
        // the server's event as it is (and no longer Kestrel's to change or remove).
        const bool isNew = published == state.end();
        const std::string href = isNew ? EventResourceName(event.uid) : published->second.href;
        QList<std::pair<QByteArray, QByteArray>> headers = {{"Content-Type", "text/calendar; charset=utf-8"}};
        if (isNew) {
            headers.append(std::pair<QByteArray, QByteArray>("If-None-Match", "*"));
        } else if (!published->second.etag.empty()) {
            headers.append(
                std::pair<QByteArray, QByteArray>("If-Match", QByteArray::fromStdString(published->second.etag)));
        }
        const Answer answer = Send(network, account, "PUT", account.collection.resolved(QUrl(Text(href))),
                                   QByteArray::fromStdString(event.object), headers);
        if (!answer.error.isEmpty()) {
            return finish(answer.error);
        }
        if (answer.status == kPreconditionFailed) {
            state.erase(event.uid);
            ++outcome.left;
            continue;
        }
        state[event.uid] = {href, event.digest, answer.etag.toStdString()};
        ++outcome.sent;
    }
    // Only what Kestrel itself published, and the table no longer holds, is removed, and only
    // while nobody changed it on the server.
    for (auto published = state.begin(); published != state.end();) {
        if (current.contains(published->first)) {
            ++published;
            continue;
        }
        QList<std::pair<QByteArray, QByteArray>> headers;
        if (!published->second.etag.empty()) {
            headers.append(
                std::pair<QByteArray, QByteArray>("If-Match", QByteArray::fromStdString(published->second.etag)));
        }
        const Answer answer = Send(network, account, "DELETE",
                                   account.collection.resolved(QUrl(Text(published->second.href))), {}, headers);
        if (!answer.error.isEmpty()) {
            return finish(answer.error);
        }
        outcome.left += answer.status == kPreconditionFailed ? 1 : 0;
        outcome.removed += answer.status == kPreconditionFailed ? 0 : 1;
        published = state.erase(published);
    }
    return finish({});
}

namespace {
constexpr std::chrono::minutes kFirstRetry{2};
constexpr std::chrono::minutes kLastRetry{60};
} // namespace

SharedCalendarSync::SharedCalendarSync(Program& program)
    : m_program(program), m_retry(new QTimer(this)), m_wait(kFirstRetry)
{
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, [this] { start(Asked::OnItsOwn); });
    connect(&m_program.milestones, &MilestoneStore::changed, this, [this] { start(Asked::OnItsOwn); });
    m_program.sharedCalendar = this;
}

SharedCalendarSync::~SharedCalendarSync()
{
    m_program.sharedCalendar = nullptr;
}

void SharedCalendarSync::start(Asked asked)
{
    if (m_program.programPath.empty() || !IsTrueText(m_program.read(setting::ShareMilestones).toStdString())) {
        return; // a program made by a test starts no other; sharing off: nothing to do
    }
    if (m_running) {
        // The change came while a sync was on its way: one more follows it.
        m_again = m_again == Asked::ByTheUser ? Asked::ByTheUser : asked;
        return;
    }
    m_running = true;
    m_retry->stop();
    auto* process = new QProcess(this);
    connect(process, &QProcess::finished, this, [this, process, asked](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        QString line = QString::fromLocal8Bit(process->readAllStandardError()).section(QLatin1Char('\n'), 0, 0);
        line.remove(QStringLiteral("kestrel --sync: "));
        finished(status == QProcess::NormalExit ? code : 1, line, asked);
    });
    connect(process, &QProcess::errorOccurred, this, [this, process, asked](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            process->deleteLater();
            finished(1, process->errorString(), asked);
        }
    });
    // The countdown of this program, whichever it is.
    process->start(QString::fromStdString(m_program.programPath),
                   {QStringLiteral("--settings"), QString::fromStdString(m_program.settings.path().string()),
                    QStringLiteral("--sync")});
}

void SharedCalendarSync::finished(int code, const QString& line, Asked asked)
{
    m_running = false;
    const QString now = QString::fromStdString(Format(GetPresentDate(m_program.clock), "mmm d, yyyy h:mm"));
    if (code == 0) {
        m_wait = kFirstRetry;
        m_program.sharedCalendarStatus = QStringLiteral("Shared calendar: up to date (%1)").arg(now);
    } else {
        m_program.sharedCalendarStatus = QStringLiteral("Shared calendar: %1 (%2; tried again later)").arg(line, now);
        m_retry->start(m_wait);
        m_wait = std::min(m_wait * 2, kLastRetry);
        if (asked == Asked::ByTheUser) {
            const QString title = QStringLiteral("Shared calendar");
            static const QRegularExpression fingerprint(
                QStringLiteral("SHA-256 fingerprint ((?:[0-9A-F]{2}:){31}[0-9A-F]{2})"));
            if (const QRegularExpressionMatch match = fingerprint.match(line); match.hasMatch()) {
                const QString question =
                    QStringLiteral("The server's certificate is not one this computer trusts. Its SHA-256 fingerprint "
                                   "is\n\n%1\n\nTrust this one certificate for the shared calendar? Answer Yes only "
                                   "if the server's administrator gave you the same fingerprint.")
                        .arg(match.captured(1));
                if (m_program.dialogs.MsgBox(question, Dialogs::Buttons::YesNo, Dialogs::Icon::Question, title) ==
                    Dialogs::Answer::Yes) {
                    m_program.write(setting::TrustedCertificate, match.captured(1));
                    m_again = Asked::ByTheUser;
                }
            } else {
                m_program.dialogs.MsgBox(QStringLiteral("The milestones could not be shared: %1.").arg(line),
                                         Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, title);
            }
        }
    }
    if (const std::optional<Asked> again = std::exchange(m_again, std::nullopt)) {
        start(*again);
    }
}

bool AsksForSync(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sync") == 0) {
            return true;
        }
    }
    return false;
}

int RunSyncProgram(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const auto say = [](const QString& line) { std::fprintf(stderr, "kestrel --sync: %s\n", qPrintable(line)); };
    std::vector<std::string> args;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        if (argument != QLatin1String("--sync")) {
            args.push_back(argument.toLocal8Bit().toStdString());
        }
    }
    const auto usage = [&](const QString& problem) {
        say(problem + QStringLiteral(" (usage: kestrel [--countdown NAME | --settings FILE] --sync)"));
        return 2;
    };
    const std::variant<CountdownOption, std::string> option = TakeCountdownOption(args);
    if (const std::string* problem = std::get_if<std::string>(&option)) {
        return usage(Text(*problem));
    }
    if (!args.empty()) {
        return usage(QStringLiteral("unexpected argument: %1").arg(QString::fromLocal8Bit(args.front().c_str())));
    }
    const std::variant<CountdownPlace, std::string> resolved =
        ResolveCountdown(std::get<CountdownOption>(option), UserCountdownsHome());
    if (const std::string* problem = std::get_if<std::string>(&resolved)) {
        say(Text(*problem));
        return 2;
    }
    const CountdownPlace& countdown = std::get<CountdownPlace>(resolved);
    const SettingsFile settings(countdown.settingsFile);
    if (!IsTrueText(ReadSetting(settings, setting::ShareMilestones))) {
        say(QStringLiteral("sharing is off (\"Share Milestones\" in the section [Shared Calendar] of %1)")
                .arg(Text(settings.path().string())));
        return 1;
    }
    // How this sync went is kept for status bars, beside the state file.
    const std::filesystem::path statePath = PublishStatePath(
        settings.path(), ReadSetting(settings, setting::CalendarUrl), ReadSetting(settings, setting::CalendarUser));
    const auto record = [&](const QString& error) {
        const std::string when = Format(SystemClock().now(), kIsoDateTimePattern);
        try {
            std::filesystem::create_directories(statePath.parent_path());
            ReplaceFileContents(SyncRecordPath(settings.path()),
                                SyncRecordText({error.isEmpty(), when, error.toStdString()}), 0600);
        } catch (const std::exception&) {
            // The record is for status bars only: the sync's own outcome is said all the same.
        }
    };
    const auto fail = [&](const QString& line) {
        record(line);
        say(line);
        return 1;
    };

    // One sync of a countdown at a time: the desktop program's and a cron job's may meet.
    std::error_code ignored;
    std::filesystem::create_directories(statePath.parent_path(), ignored);
    const std::string lockPath = statePath.string() + ".lock";
    const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0) {
        return fail(QStringLiteral("the sync's lock %1 cannot be made (%2)")
                        .arg(Text(lockPath), QString::fromLocal8Bit(std::strerror(errno))));
    }
    const auto unlock = qScopeGuard([lock] { ::close(lock); });
    bool locked = false;
    for (int tries = 0; tries < 600 && !(locked = ::flock(lock, LOCK_EX | LOCK_NB) == 0); ++tries) {
        QThread::msleep(100);
    }
    if (!locked) {
        return fail(QStringLiteral("another sync of this countdown has been running for a minute; try again later"));
    }

    const std::variant<ShareAccount, QString> account = ShareAccountOf(settings);
    if (const QString* problem = std::get_if<QString>(&account)) {
        return fail(*problem);
    }
    const ProgramSettings program = LoadProgramSettings(settings, countdown.dataDirectory);
    MilestoneTable milestones;
    const std::filesystem::path milestoneFile = MilestoneFilePath(program, countdown.dataDirectory);
    if (const std::optional<RuntimeError> error = milestones.LoadMilestones(milestoneFile);
        error && error->number() != RuntimeError::PathNotFound && error->number() != RuntimeError::FileNotFound) {
        // A damaged milestone file is not published: the calendar would lose what it cannot read.
        return fail(QStringLiteral("the milestone file %1 cannot be read: %2")
                        .arg(Text(milestoneFile.string()), Text(error->report())));
    }
    QNetworkAccessManager network;
    const PublishOutcome outcome =
        PublishEvents(network, std::get<ShareAccount>(account), SharedEvents(program, milestones, CalendarStampNow()),
                      ReadPublishState(statePath));
    // What was sent before a failure is recorded too, so that it is not sent again.
    try {
        ReplaceFileContents(statePath, PublishStateText(outcome.state), 0600);
    } catch (const std::exception& error) {
        return fail(
            QStringLiteral("the sync state cannot be saved to %1 (%2)").arg(Text(statePath.string()), error.what()));
    }
    if (!outcome.error.isEmpty()) {
        return fail(outcome.error);
    }
    record({});
    return 0;
}

} // namespace kestrel
