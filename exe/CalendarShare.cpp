// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalendarShare.h"

#include "AtomicFile.h"
#include "CalendarServer.h"
#include "FileLock.h"
#include "OwnFiles.h"
#include "SyncMerge.h"
#include "DeskCalendarModel.h"
#include "Dialogs.h"
#include "MilestoneStore.h"
#include "Notices.h"
#include "Notifications.h"
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

#include <algorithm>
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

QString TextsKeptLine(long long day)
{
    return QStringLiteral("Both texts kept for %1: changed here and on the shared calendar since the last sync.")
        .arg(Text(Format(DateValue{static_cast<double>(day)}, "mmm d, yyyy")));
}

QString TargetTakenLine(long long day)
{
    return QStringLiteral("The target day is now %1, as the shared calendar says.")
        .arg(Text(Format(DateValue{static_cast<double>(day)}, "mmm d, yyyy")));
}

namespace {

// How long a sync waits for the desktop program to finish writing the countdown's files.
constexpr std::chrono::seconds kCountdownLockWait{10};
// How often a change refused because the event changed meanwhile is merged and sent again.
constexpr int kRounds = 3;

std::optional<long long> LocalTarget(const ProgramSettings& settings)
{
    try {
        return DayNumber(TargetDay(settings));
    } catch (const RuntimeError&) {
        return std::nullopt; // a target the engine cannot count with is not shared
    }
}

// The sync state's file, written only when what it holds changes (an unchanged sync writes
// nothing).
struct StateFile
{
    std::filesystem::path path;
    std::string written;

    // Empty, or the line saying why the state could not be saved.
    QString save(const SyncState& state)
    {
        std::string text = SyncStateText(state);
        if (text == written) {
            return {};
        }
        try {
            ReplaceFileContents(path, text, 0600);
        } catch (const std::exception& error) {
            return QStringLiteral("the sync state cannot be saved to %1 (%2)").arg(Text(path.string()), error.what());
        }
        written = std::move(text);
        return {};
    }
};

// Merges the calendar as the state holds it with the local files, under the countdown's lock, and
// writes what changed here; then the base is what the server holds. The requests to make.
std::variant<std::vector<SyncRequest>, QString> MergeLocally(const CountdownPlace& countdown, SyncState& state,
                                                             bool canWrite, std::vector<QString>& said,
                                                             StateFile& stateFile)
{
    std::variant<FileLock, std::string> lock =
        FileLock::Take(CountdownLockPath(countdown.settingsFile),
                       std::chrono::duration_cast<std::chrono::milliseconds>(kCountdownLockWait));
    if (const std::string* problem = std::get_if<std::string>(&lock)) {
        return QStringLiteral("the countdown's files cannot be locked: %1").arg(Text(*problem));
    }
    SettingsFile settings(countdown.settingsFile);
    const ProgramSettings program = LoadProgramSettings(settings, countdown.dataDirectory);
    const std::filesystem::path milestoneFile = MilestoneFilePath(program, countdown.dataDirectory);
    if (OwnFileAt(milestoneFile, OwnFilesOf(settings, program, countdown.dataDirectory), OwnFile::Milestones)) {
        return QStringLiteral("the milestone file %1 is another of Kestrel's own files")
            .arg(Text(milestoneFile.string()));
    }
    MilestoneTable table;
    if (const std::optional<RuntimeError> error = table.LoadMilestones(milestoneFile);
        error && error->number() != RuntimeError::PathNotFound && error->number() != RuntimeError::FileNotFound) {
        // A damaged milestone file is not synced: the merge would take what it cannot read for removed.
        return QStringLiteral("the milestone file %1 cannot be read: %2")
            .arg(Text(milestoneFile.string()), Text(error->report()));
    }
    if (state.milestoneFile != milestoneFile.string()) {
        // The table as last synced is that of another milestone file: what this one lacks was
        // never removed from it, so both sides are united.
        state.base.clear();
        state.milestoneFile = milestoneFile.string();
    }
    LocalSide local{TableDays(table), LocalTarget(program)};
    if (std::error_code missing; !std::filesystem::is_directory(milestoneFile.parent_path(), missing)) {
        // No folder (a drive not mounted) holds no milestone file: that says nothing of the
        // milestones, which are taken as last synced rather than as all removed here.
        local.days = state.base;
    }
    const SyncPlan plan = PlanSync(state, local, canWrite);
    if (plan.days != local.days) {
        if (milestoneFile.parent_path() == countdown.dataDirectory) {
            std::error_code ignored;
            std::filesystem::create_directories(countdown.dataDirectory, ignored);
        }
        MilestoneTable merged = TableWithDays(table, plan.days);
        if (const std::optional<RuntimeError> error = merged.SaveMilestones(milestoneFile)) {
            return QStringLiteral("the milestones from the shared calendar cannot be saved: %1")
                .arg(Text(error->report()));
        }
    }
    if (plan.target) {
        const DateParts day = SplitDate(DateValue{static_cast<double>(*plan.target)});
        ProgramSettings taken = program;
        SetTargetDay(taken, day.year, day.month, day.day);
        std::vector<SettingWrite> writes;
        for (const ProgramField& field : kTargetDayFields) {
            writes.push_back({field.key.section, field.key.key, FieldText(taken, field)});
        }
        if (const std::optional<RuntimeError> error = settings.WriteSettings(writes)) {
            return QStringLiteral("the target day from the shared calendar cannot be saved: %1")
                .arg(Text(error->report()));
        }
        said.push_back(TargetTakenLine(*plan.target));
    }
    for (const long long day : plan.conflicts) {
        said.push_back(TextsKeptLine(day));
    }
    AgreeWithServer(state);
    if (QString problem = stateFile.save(state); !problem.isEmpty()) {
        return problem;
    }
    return plan.requests;
}

} // namespace

SyncOutcome SyncCalendar(QNetworkAccessManager& network, const ShareAccount& account, const CountdownPlace& countdown,
                         const std::filesystem::path& statePath)
{
    SyncOutcome outcome;
    const CalendarCheck calendar = CheckCalendar(network, account);
    if (!calendar.error.isEmpty()) {
        outcome.error = calendar.error;
        return outcome;
    }
    if (!calendar.canWrite) {
        outcome.said.push_back(QString::fromLatin1(kReadOnlyLine));
    }
    SyncState state = ReadSyncState(statePath);
    if (std::ranges::any_of(state.remote, [&](const auto& entry) {
            return CalendarMember(account.collection, entry.first) != entry.first ||
                   std::ranges::any_of(entry.second.etag,
                                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
        })) {
        // A state naming events by another spelling of their hrefs, or outside the calendar, or
        // keeping a tag that would break the header it goes back in (both kept by earlier versions),
        // says nothing for sure: the next read is a full one, which unites both sides and deletes
        // nothing.
        state = {};
    }
    StateFile stateFile{statePath, SyncStateText(state)};
    const SettingsFile settings(countdown.settingsFile);
    const std::string title = LoadProgramSettings(settings, countdown.dataDirectory).ProjectTitle;
    const std::string stamp = CalendarStampNow();
    for (int round = 0; round < kRounds; ++round) {
        ServerRead read = ReadServerEvents(network, account, state.token, calendar.offersSync);
        if (!read.error.isEmpty()) {
            outcome.error = read.error;
            return outcome;
        }
        for (QString& note : read.notes) {
            if (std::ranges::find(outcome.said, note) == outcome.said.end()) {
                outcome.said.push_back(std::move(note));
            }
        }
        TakeServerRead(state, read.complete, read.changed, read.removed, std::move(read.token));
        std::variant<std::vector<SyncRequest>, QString> merged =
            MergeLocally(countdown, state, calendar.canWrite, outcome.said, stateFile);
        if (QString* problem = std::get_if<QString>(&merged)) {
            outcome.error = *problem;
            return outcome;
        }
        bool refused = false;
        for (const SyncRequest& request : std::get<std::vector<SyncRequest>>(merged)) {
            const QUrl url = account.collection.resolved(
                QUrl(Text(request.href.empty() ? EventResourceName(request.uid) : request.href)));
            QList<std::pair<QByteArray, QByteArray>> headers;
            if (request.etag.empty() && request.href.empty()) {
                // A new event must not replace one of the same name that someone else published.
                headers.append(std::pair<QByteArray, QByteArray>("If-None-Match", "*"));
            } else if (!request.etag.empty()) {
                headers.append(std::pair<QByteArray, QByteArray>("If-Match", QByteArray::fromStdString(request.etag)));
            }
            QByteArray body;
            if (request.verb == SyncRequest::Verb::Put) {
                headers.append(std::pair<QByteArray, QByteArray>("Content-Type", "text/calendar; charset=utf-8"));
                body = QByteArray::fromStdString(
                    SharedCalendarObject(request.uid, request.day, request.target ? TargetSummary(title) : request.text,
                                         stamp, request.target));
            }
            const Answer answer =
                Send(network, account, request.verb == SyncRequest::Verb::Put ? "PUT" : "DELETE", url, body, headers);
            if (!answer.error.isEmpty()) {
                const QString saved = stateFile.save(state);
                outcome.error = saved.isEmpty() ? answer.error : saved;
                return outcome;
            }
            if (answer.status == kPreconditionFailed) {
                refused = true; // changed on the server meanwhile: merged again with a new read
                continue;
            }
            RecordRequest(state, request,
                          CalendarMember(account.collection, url.toString(QUrl::FullyEncoded).toStdString())
                              .value_or(url.path(QUrl::FullyEncoded).toStdString()),
                          answer.etag.toStdString());
        }
        if (const QString problem = stateFile.save(state); !problem.isEmpty()) {
            outcome.error = problem;
            return outcome;
        }
        if (!refused) {
            break;
        }
    }
    return outcome;
}

namespace {
constexpr std::chrono::minutes kFirstRetry{2};
constexpr const char* kUpToDate = "up to date";

// The desk calendar's one line on the shared calendar: how the last sync went, and when.
QString StatusLine(const QString& outcome, const QString& when)
{
    return QStringLiteral("Shared calendar: %1 (%2)").arg(outcome, when);
}
constexpr std::chrono::minutes kLastRetry{60};
} // namespace

SharedCalendarSync::SharedCalendarSync(Program& program)
    : m_program(program), m_retry(new QTimer(this)), m_wait(kFirstRetry)
{
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, [this] { start(Asked::OnItsOwn); });
    connect(&m_program.milestones, &MilestoneStore::changed, this, [this] { start(Asked::OnItsOwn); });
    m_program.sharedCalendar = this;
    m_records = new QFileSystemWatcher(this);
    connect(m_records, &QFileSystemWatcher::directoryChanged, this, &SharedCalendarSync::recordChanged);
    start(Asked::OnItsOwn);
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
    if (m_records->directories().isEmpty()) {
        // From the first sync on, one from cron is seen too: it says how it went in its record,
        // whose folder is watched. A countdown that shares nothing makes no folder for it.
        const std::filesystem::path record = SyncRecordPath(m_program.settings.path());
        std::error_code ignored;
        std::filesystem::create_directories(record.parent_path(), ignored);
        m_records->addPath(QString::fromStdString(record.parent_path().string()));
        m_record = IdentityOfFile(record);
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
        const QStringList said =
            QString::fromUtf8(process->readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        finished(status == QProcess::NormalExit ? code : 1, line, said, asked);
    });
    connect(process, &QProcess::errorOccurred, this, [this, process, asked](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            process->deleteLater();
            finished(1, process->errorString(), {}, asked);
        }
    });
    // The countdown of this program, whichever it is.
    process->start(QString::fromStdString(m_program.programPath),
                   {QStringLiteral("--settings"), QString::fromStdString(m_program.settings.path().string()),
                    QStringLiteral("--sync")});
}

void SharedCalendarSync::finished(int code, const QString& line, const QStringList& said, Asked asked)
{
    m_running = false;
    // This program's own sync is not taken again from its record.
    m_record = IdentityOfFile(SyncRecordPath(m_program.settings.path()));
    const QString now = QString::fromStdString(Format(GetPresentDate(m_program.clock), "mmm d, yyyy h:mm"));
    if (code == 0) {
        m_wait = kFirstRetry;
        m_retry->start(kFirstRetry);
        m_program.sharedCalendarStatus = said.contains(QString::fromLatin1(kReadOnlyLine))
                                             ? StatusLine(QStringLiteral("read only, changes stay local"), now)
                                             : StatusLine(QString::fromLatin1(kUpToDate), now);
        takeTarget();
        // Joined texts and a target from the calendar are told once, in one notification.
        QStringList told;
        for (const QString& one : said) {
            if (one.startsWith(QStringLiteral("Both texts kept")) || one.startsWith(QStringLiteral("The target day"))) {
                told.append(one);
            }
        }
        if (!told.isEmpty()) {
            Notify(m_program.countdownName, "Shared calendar",
                   NoticeBodyText(told.join(QLatin1Char('\n')).toStdString()));
        }
    } else {
        m_program.sharedCalendarStatus = StatusLine(line, now + QStringLiteral("; tried again later"));
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

bool SharedCalendarSync::takeTarget()
{
    kestrel::ProgramSettings& settings = m_program.ProgramSettings;
    bool changed = false;
    for (const ProgramField& field : kTargetDayFields) {
        std::string stored = ReadSetting(m_program.settings, field.key);
        if (settings.*field.text != stored) {
            settings.*field.text = std::move(stored);
            changed = true;
        }
    }
    if (changed) {
        try {
            m_program.calendarMonth = MonthFromTexts(settings.TargetYear, settings.TargetMonth);
        } catch (const RuntimeError&) {}
    }
    return changed;
}

void SharedCalendarSync::recordChanged()
{
    const std::filesystem::path path = SyncRecordPath(m_program.settings.path());
    const std::optional<FileIdentity> identity = IdentityOfFile(path);
    if (m_running || identity == m_record) {
        return;
    }
    m_record = identity;
    const std::optional<SyncRecord> record = ReadSyncRecord(path);
    if (!record) {
        return;
    }
    const QString at = Text(record->at).replace(QLatin1Char('T'), QLatin1Char(' '));
    m_program.sharedCalendarStatus =
        record->ok ? StatusLine(QString::fromLatin1(kUpToDate), at) : StatusLine(Text(record->error), at);
    if (record->ok && takeTarget()) {
        try {
            Notify(m_program.countdownName, "Shared calendar",
                   NoticeBodyText(TargetTakenLine(DayNumber(TargetDay(m_program.ProgramSettings))).toStdString()));
        } catch (const RuntimeError&) {}
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
    const std::filesystem::path statePath = SyncStatePath(settings.path(), ReadSetting(settings, setting::CalendarUrl),
                                                          ReadSetting(settings, setting::CalendarUser));
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
    const std::variant<FileLock, std::string> lock =
        FileLock::Take(statePath.string() + ".lock", std::chrono::minutes(1));
    if (const std::string* problem = std::get_if<std::string>(&lock)) {
        // Held for a minute by another sync, or not to be made at all (a state folder that cannot be written).
        return fail(QStringLiteral("this countdown cannot be synced now: %1").arg(Text(*problem)));
    }
    const std::variant<ShareAccount, QString> account = ShareAccountOf(settings);
    if (const QString* problem = std::get_if<QString>(&account)) {
        return fail(*problem);
    }
    QNetworkAccessManager network;
    SyncOutcome outcome;
    try {
        outcome = SyncCalendar(network, std::get<ShareAccount>(account), countdown, statePath);
    } catch (const std::exception& error) {
        // Whatever went wrong, one line says it: the files are written whole or not at all.
        return fail(QStringLiteral("the sync stopped: %1").arg(QString::fromLocal8Bit(error.what())));
    }
    for (const QString& line : outcome.said) {
        std::printf("%s\n", qPrintable(line));
    }
    std::fflush(stdout);
    if (!outcome.error.isEmpty()) {
        return fail(outcome.error);
    }
    record({});
    return 0;
}

} // namespace kestrel
