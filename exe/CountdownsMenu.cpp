// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CountdownsMenu.h"

#include "Autostart.h"
#include "OwnFiles.h"
#include "Program.h"
#include "SingleInstance.h"
#include "Steps.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <variant>

#include <sys/stat.h>

namespace kestrel {

namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QString Title()
{
    return QString::fromLatin1(kCountdownsTitle);
}

// Whether path lies in folder (or is it).
bool IsInside(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    const std::filesystem::path inside = path.lexically_normal().lexically_relative(folder.lexically_normal());
    return !path.empty() && !inside.empty() && *inside.begin() != "..";
}

} // namespace

QString NotificationSummary(const std::string& countdown, const std::string& summary)
{
    if (countdown.empty() || SameCountdownName(countdown, kDefaultCountdownName)) {
        return Text(summary);
    }
    return Text(countdown + ": " + summary);
}

CountdownsMenu::CountdownsMenu(Program& program, QWidget* parent)
    : QMenu(QStringLiteral("C&ountdowns"), parent), m_program(program)
{
    setObjectName(QStringLiteral("mnuCountdowns"));
    startDetached = [](const QString& path, const QStringList& arguments) {
        return QProcess::startDetached(path, arguments);
    };
    connect(this, &QMenu::aboutToShow, this, &CountdownsMenu::fill);
    fill();
}

void CountdownsMenu::fill()
{
    clear();
    const bool known = !m_program.countdowns.settingsFile.empty();
    const std::vector<CountdownPlace> all =
        known ? ListCountdowns(m_program.countdowns) : std::vector<CountdownPlace>{};
    for (const CountdownPlace& countdown : all) {
        QAction* open = addAction(Text(countdown.name));
        open->setCheckable(true);
        open->setChecked(SameSettingsFile(countdown.settingsFile, m_program.settings.path()));
        open->setData(Text(countdown.name));
        connect(open, &QAction::triggered, this, [this, name = countdown.name] { openCountdown(name); });
    }
    addSeparator();
    QAction* create = addAction(QStringLiteral("&New Countdown..."));
    create->setObjectName(QStringLiteral("mnuNewCountdown"));
    create->setEnabled(known);
    connect(create, &QAction::triggered, this, &CountdownsMenu::newCountdown);
    QAction* rename = addAction(QStringLiteral("&Rename Countdown..."));
    rename->setObjectName(QStringLiteral("mnuRenameCountdown"));
    rename->setEnabled(all.size() > 1);
    connect(rename, &QAction::triggered, this, &CountdownsMenu::renameCountdown);
    QAction* remove = addAction(QStringLiteral("&Delete Countdown..."));
    remove->setObjectName(QStringLiteral("mnuDeleteCountdown"));
    remove->setEnabled(all.size() > 1);
    connect(remove, &QAction::triggered, this, &CountdownsMenu::deleteCountdown);
}

void CountdownsMenu::openCountdown(const std::string& name)
{
    const std::optional<CountdownPlace> countdown = FindCountdown(m_program.countdowns, name);
    if (!countdown) {
        m_program.dialogs.MsgBox(Text("There is no countdown called " + name + " any more."), Dialogs::Buttons::Ok,
                                 Dialogs::Icon::Exclamation, Title());
        return;
    }
    if (SameSettingsFile(countdown->settingsFile, m_program.settings.path())) {
        return;
    }
    if (!startDetached(Text(m_program.programPath), {QStringLiteral("--countdown"), Text(countdown->name)})) {
        m_program.dialogs.MsgBox(Text("Kestrel could not be started for the countdown " + countdown->name + "."),
                                 Dialogs::Buttons::Ok, Dialogs::Icon::Critical, Title());
    }
}

void CountdownsMenu::newCountdown()
{
    const QString typed =
        m_program.dialogs.InputBox(QStringLiteral("The name of the new countdown:"), Title(), QString()).trimmed();
    if (typed.isEmpty()) {
        return;
    }
    const std::string name = typed.toStdString();
    if (const std::optional<std::string> problem = NewCountdownNameProblem(m_program.countdowns, name)) {
        m_program.dialogs.MsgBox(Text(*problem), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, Title());
        return;
    }
    const Dialogs::Answer from = m_program.dialogs.MsgBox(
        Text("Start the countdown " + name + " from the settings of " + m_program.countdownName +
             "?\n\nYes copies its target, formats, texts and styling (not its files); No starts from the "
             "defaults."),
        Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question, Title());
    if (from == Dialogs::Answer::Cancel) {
        return;
    }
    // The settings waiting to be written belong in the copy too.
    m_program.flushWrites();
    const std::variant<CountdownPlace, std::string> made =
        CreateCountdown(m_program.countdowns, name,
                        from == Dialogs::Answer::Yes ? std::optional(m_program.settings.path()) : std::nullopt);
    if (const std::string* error = std::get_if<std::string>(&made)) {
        m_program.dialogs.MsgBox(Text(*error), Dialogs::Buttons::Ok, Dialogs::Icon::Critical, Title());
        return;
    }
    if (!startDetached(Text(m_program.programPath),
                       {QStringLiteral("--countdown"), Text(name), QStringLiteral("--options")})) {
        m_program.dialogs.MsgBox(Text("Kestrel could not be started for the countdown " + name + "."),
                                 Dialogs::Buttons::Ok, Dialogs::Icon::Critical, Title());
    }
}

std::optional<CountdownPlace> CountdownsMenu::chooseOther(const QString& question, bool withDefault)
{
    std::vector<CountdownPlace> others;
    QStringList names;
    for (CountdownPlace& countdown : ListCountdowns(m_program.countdowns)) {
        if ((withDefault || !countdown.isDefault) &&
            !SameSettingsFile(countdown.settingsFile, m_program.settings.path())) {
            names.append(Text(countdown.name));
            others.push_back(std::move(countdown));
        }
    }
    if (others.empty()) {
        m_program.dialogs.MsgBox(QStringLiteral("There is no other countdown. The countdown this window shows is "
                                                "renamed or deleted from the window of another one."),
                                 Dialogs::Buttons::Ok, Dialogs::Icon::Information, Title());
        return std::nullopt;
    }
    const std::optional<int> chosen = m_program.dialogs.ChooseOne(question, Title(), names);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(others.size())) {
        return std::nullopt;
    }
    return others[static_cast<std::size_t>(*chosen)];
}

bool CountdownsMenu::closeRunning(const CountdownPlace& countdown)
{
    const QString folder = SingleInstance::RuntimeFolder();
    const QString instance = Text(CountdownInstanceName(countdown.settingsFile, m_program.countdowns));
    if (!SingleInstance::IsHeld(folder, instance)) {
        return true;
    }
    const Dialogs::Answer answer =
        m_program.dialogs.MsgBox(Text("The countdown " + countdown.name + " is running. Close it first?"),
                                 Dialogs::Buttons::OkCancel, Dialogs::Icon::Question, Title());
    if (answer != Dialogs::Answer::Ok) {
        return false;
    }
    SingleInstance::AskToClose(folder, instance, 500);
    // It records its windows and ends; a few seconds at most.
    QElapsedTimer waited;
    waited.start();
    while (SingleInstance::IsHeld(folder, instance) && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
        QThread::msleep(50);
    }
    if (SingleInstance::IsHeld(folder, instance)) {
        m_program.dialogs.MsgBox(Text("The countdown " + countdown.name + " did not close, so it was left as it is."),
                                 Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, Title());
        return false;
    }
    return true;
}

void CountdownsMenu::renameCountdown()
{
    const std::optional<CountdownPlace> countdown =
        chooseOther(QStringLiteral("Which countdown do you want to rename?"), false);
    if (!countdown || !closeRunning(*countdown)) {
        return;
    }
    const QString typed =
        m_program.dialogs
            .InputBox(Text("The new name of the countdown " + countdown->name + ":"), Title(), Text(countdown->name))
            .trimmed();
    if (typed.isEmpty() || typed.toStdString() == countdown->name) {
        return;
    }
    const std::filesystem::path oldEntry = CountdownAutostartEntry(m_program.autostartEntry, countdown->name);
    const std::variant<CountdownPlace, std::string> renamed =
        RenameCountdown(m_program.countdowns, *countdown, typed.toStdString());
    if (const std::string* error = std::get_if<std::string>(&renamed)) {
        m_program.dialogs.MsgBox(Text(*error), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, Title());
        return;
    }
    // Starting at login follows the name.
    RunStep(m_program.dialogs, [&] {
        if (!m_program.autostartEntry.empty() && AutostartEnabled(oldEntry)) {
            const std::string& name = std::get<CountdownPlace>(renamed).name;
            SetAutostart(oldEntry, false, m_program.programPath, countdown->name);
            SetAutostart(CountdownAutostartEntry(m_program.autostartEntry, name), true, m_program.programPath, name);
        }
    });
}

void CountdownsMenu::deleteCountdown()
{
    const std::optional<CountdownPlace> countdown =
        chooseOther(QStringLiteral("Which countdown do you want to delete?"), false);
    if (!countdown) {
        return;
    }
    const Dialogs::Answer sure =
        m_program.dialogs.MsgBox(Text("Delete the countdown " + countdown->name +
                                      "? Its settings file and its files in its data folder go to the trash."),
                                 Dialogs::Buttons::YesNo, Dialogs::Icon::Question, Title());
    if (sure != Dialogs::Answer::Yes || !closeRunning(*countdown)) {
        return;
    }
    const OwnFilePaths files = CountdownFiles(*countdown);
    QStringList kept;
    for (const std::filesystem::path* file : {&files.countdown, &files.milestones, &files.calendarFeed}) {
        std::error_code error;
        if (!file->empty() && !IsInside(*file, countdown->dataDirectory) && std::filesystem::exists(*file, error)) {
            kept.append(Text(file->string()));
        }
    }
    // The home's trash folder must exist: Qt 6.4 does not make a missing one, and then moves the
    // file into "files" of the working folder instead.
    const QString trash =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
    if (!QFileInfo::exists(trash)) {
        QDir().mkpath(trash);
        ::chmod(QFile::encodeName(trash).constData(), 0700);
    }
    QDir().mkpath(trash + QStringLiteral("/files"));
    QDir().mkpath(trash + QStringLiteral("/info"));
    if (!QFile::moveToTrash(Text(countdown->settingsFile.string()))) {
        m_program.dialogs.MsgBox(Text("The settings file " + countdown->settingsFile.string() +
                                      " could not be moved to the trash, so the countdown " + countdown->name +
                                      " stays."),
                                 Dialogs::Buttons::Ok, Dialogs::Icon::Critical, Title());
        return;
    }
    std::error_code error;
    QString message = Text("The countdown " + countdown->name + " is deleted: its settings file");
    if (std::filesystem::exists(countdown->dataDirectory, error)) {
        if (QFile::moveToTrash(Text(countdown->dataDirectory.string()))) {
            message += Text(" and its data folder " + countdown->dataDirectory.string());
        } else {
            message += Text(" (not its data folder " + countdown->dataDirectory.string() + ", which stays)");
        }
    }
    message += QStringLiteral(" went to the trash.");
    if (!kept.isEmpty()) {
        message += QStringLiteral("\n\nThese files of it lie elsewhere and stay where they are:\n") +
                   kept.join(QLatin1Char('\n'));
    }
    RunStep(m_program.dialogs, [&] {
        const std::filesystem::path entry = CountdownAutostartEntry(m_program.autostartEntry, countdown->name);
        if (!m_program.autostartEntry.empty() && AutostartEnabled(entry)) {
            SetAutostart(entry, false, m_program.programPath, countdown->name);
        }
    });
    m_program.dialogs.MsgBox(message, Dialogs::Buttons::Ok, Dialogs::Icon::Information, Title());
}

} // namespace kestrel
