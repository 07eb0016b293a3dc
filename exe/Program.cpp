// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Program.h"

#include "AtomicFile.h"
#include "Autostart.h"

#include "Units.h"
#include "TerminationSignals.h"
#include "CalendarFeed.h"
#include "CalendarShare.h"
#include "Notifications.h"
#include "SharedCalendar.h"
#include "ToolbarWindow.h"
#include "SingleInstance.h"
#include "WorkDaysSetup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace kestrel {

namespace {

// Start-up work that does not wait for the toolbar's first paint begins at the latest this long
// after the start (a toolbar restored minimised does not paint).
constexpr int kLatestDeferredStartMilliseconds = 2000;

class AfterFirstPaint final : public QObject
{
public:
    AfterFirstPaint(QWidget& window, std::function<void()> work) : QObject(&window), m_work(std::move(work))
    {
        window.installEventFilter(this);
        QTimer::singleShot(kLatestDeferredStartMilliseconds, this, &AfterFirstPaint::run);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            // Once the paint has gone to the screen.
            QTimer::singleShot(0, this, &AfterFirstPaint::run);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void run()
    {
        if (!m_work) {
            return;
        }
        parent()->removeEventFilter(this);
        const std::function<void()> work = std::move(m_work);
        m_work = nullptr;
        work();
    }

    std::function<void()> m_work;
};

} // namespace

void RunAfterFirstPaint(QWidget& window, std::function<void()> work)
{
    new AfterFirstPaint(window, std::move(work));
}

namespace {

bool IsFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// Asks the running copy of the countdown to show its toolbar. A copy that has just taken the lock
// may not listen yet: the connection is tried again for a short while, as long as it runs.
bool AskRunningToShow(SingleInstance& instance)
{
    constexpr int kTryFor = 2000;
    constexpr int kPause = 50;
    QElapsedTimer waited;
    waited.start();
    while (!instance.askFirstToShow(150)) {
        if (waited.elapsed() >= kTryFor || instance.claim() != SingleInstance::Claim::Running) {
            return false;
        }
        QThread::msleep(kPause);
    }
    return true;
}

} // namespace

QString CompanyLogo(const Program& program)
{
    return program.read(setting::CompanyLogo, DefaultCompanyLogo());
}

QString DefaultCompanyLogo()
{
    return QStringLiteral("URL:") + QLatin1String(kMakerAddress);
}

Program::Program(SettingsFile settingsFile, const Clock& clockService, Dialogs& dialogService,
                 std::filesystem::path programDir, std::filesystem::path dataDir)
    : settings(std::move(settingsFile)), clock(clockService), dialogs(dialogService),
      programDirectory(std::move(programDir)), dataDirectory(std::move(dataDir)),
      countdownFile([this](const std::string& title, const std::string& text) {
          dialogs.MsgBox(QString::fromStdString(text), Dialogs::Buttons::Ok, Dialogs::Icon::None,
                         QString::fromStdString(title));
      })
{}

void Program::subscribe(CountdownDisplay* display)
{
    if (std::find(displays.begin(), displays.end(), display) == displays.end()) {
        displays.push_back(display);
    }
}

void Program::unsubscribe(CountdownDisplay* display)
{
    std::erase(displays, display);
}

QString Program::read(const char* section, const QString& key, const QString& defaultValue) const
{
    return QString::fromStdString(settings.ReadSetting(section, key.toStdString(), defaultValue.toStdString()));
}

QString Program::read(const SettingKey& key, const QString& computedDefault) const
{
    return QString::fromStdString(key.defaultValue == nullptr
                                      ? ReadSetting(settings, key, computedDefault.toStdString())
                                      : ReadSetting(settings, key));
}

void Program::set(const SettingKey& key, const std::string& value)
{
    const auto field = std::find_if(kProgramFields.begin(), kProgramFields.end(),
                                    [&key](const ProgramField& f) { return std::string_view(f.key.key) == key.key; });
    if (field == kProgramFields.end()) {
        throw std::logic_error(std::string("no field holds the key ") + key.key);
    }
    // A key written only when changed stays out of the file while the value is the one held.
    const bool unchanged = key.write == WriteRule::WhenChanged && FieldText(ProgramSettings, *field) == value;
    SetField(ProgramSettings, *field, value);
    if (!unchanged) {
        write(SettingWrite{key.section, key.key, value});
    }
}

void Program::setUnitText(std::size_t unit, bool after, const std::string& value)
{
    UnitTextField(ProgramSettings, unit, after) = value;
    write(SettingWrite{kFileOptionsSection, UnitTextKeyOf(unit, after).key, value});
}

void Program::write(const SettingKey& key, const QString& value, const QString& current)
{
    if (key.write == WriteRule::WhenChanged && value == current) {
        return;
    }
    write(SettingWrite{key.section, key.key, value.toStdString()});
}

void Program::write(const char* section, const QString& key, const QString& value)
{
    write(SettingWrite{section, key.toStdString(), value.toStdString()});
}

void Program::write(SettingWrite entry)
{
    // A later value of the same key replaces the waiting one; names compare without case, as
    // the settings file's names do.
    std::erase_if(pendingWrites, [&entry](const SettingWrite& waiting) {
        return QString::fromStdString(waiting.section)
                       .compare(QString::fromStdString(entry.section), Qt::CaseInsensitive) == 0 &&
               QString::fromStdString(waiting.key).compare(QString::fromStdString(entry.key), Qt::CaseInsensitive) == 0;
    });
    pendingWrites.push_back(std::move(entry));
    if (openActions == 0) {
        flushWrites();
    }
}

bool Program::flushWrites()
{
    if (pendingWrites.empty()) {
        return true;
    }
    std::optional<RuntimeError> error;
    {
        // A sync of the shared calendar may be writing the target day: one at a time.
        const std::optional<FileLock> lock = LockWhenShared(settings, std::chrono::seconds(5));
        error = settings.WriteSettings(pendingWrites);
    }
    if (!error) {
        pendingWrites.clear();
        return true;
    }
    dialogs.MsgBox(SettingsWriteFailedMessage(*error, settings.path()), Dialogs::Buttons::Ok, Dialogs::Icon::Critical,
                   QString::fromLatin1(kProgramName));
    return false;
}

QString SettingsWriteFailedMessage(const RuntimeError& error, const std::filesystem::path& path)
{
    return QString::fromStdString(error.report() + "\n\n" + CouldNotBeSavedText("The settings", path) + ".");
}

std::optional<std::filesystem::path> FindHelpFile(const std::string& name,
                                                  const std::filesystem::path& programDirectory,
                                                  std::string_view pathVariable,
                                                  const std::vector<std::filesystem::path>& dataFolders)
{
    if (IsFile(programDirectory / name)) {
        return programDirectory / name;
    }
    for (const std::filesystem::path& folder : dataFolders) {
        if (IsFile(folder / name)) {
            return folder / name;
        }
    }
    while (!pathVariable.empty()) {
        const std::size_t separator = pathVariable.find(':');
        const std::string_view entry = pathVariable.substr(0, separator);
        const std::filesystem::path directory =
            entry.empty() ? std::filesystem::path(".") : std::filesystem::path(entry);
        if (IsFile(directory / name)) {
            std::error_code error;
            const std::filesystem::path found = std::filesystem::absolute(directory / name, error);
            return error ? directory / name : found;
        }
        if (separator == std::string_view::npos) {
            break;
        }
        pathVariable.remove_prefix(separator + 1);
    }
    return std::nullopt;
}

std::vector<std::filesystem::path> HelpDataFolders(const std::filesystem::path& programDirectory)
{
    // An installation keeps the help file in share/kestrel beside bin/, wherever its prefix is.
    std::vector<std::filesystem::path> folders{programDirectory.parent_path() / "share" / "kestrel"};
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        std::filesystem::path folder = std::filesystem::path(data.toStdString()) / "kestrel";
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(std::move(folder));
        }
    }
    return folders;
}

QString HelpFileMissingMessage(const QString& name, const std::filesystem::path& programDirectory,
                               const std::vector<std::filesystem::path>& dataFolders)
{
    QStringList places{QString::fromStdString(programDirectory.string())};
    for (const std::filesystem::path& folder : dataFolders) {
        places.append(QString::fromStdString(folder.string()));
    }
    return QStringLiteral("The help file %1 was not found, so help is not available.\n\n").arg(name) +
           QStringLiteral("Kestrel looked in these folders, in this order:\n") + places.join(QLatin1Char('\n')) +
           QStringLiteral("\nand then in each folder of the PATH environment variable.\n\n") +
           QStringLiteral("Reinstalling Kestrel puts it back in its data folder (share/kestrel).");
}

bool FindHelpFile(Program& program, const char* name)
{
    const char* path = std::getenv("PATH");
    const std::vector<std::filesystem::path> dataFolders = HelpDataFolders(program.programDirectory);
    const auto found = FindHelpFile(name, program.programDirectory, path ? path : "", dataFolders);
    if (!found) {
        program.helpFilePath.clear();
        program.dialogs.MsgBox(HelpFileMissingMessage(QString::fromLatin1(name), program.programDirectory, dataFolders),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation,
                               QString::fromLatin1(kHelpMissingTitle));
        return false;
    }
    program.helpFilePath = QString::fromStdString(found->string());
    return true;
}

void SaveOpenWindows(Program& program)
{
    const std::vector<LoadedWindows::Entry> loaded = program.windows.entries();
    const int n = static_cast<int>(loaded.size());
    if (n <= 1) {
        program.write(setting::FormCount, QStringLiteral("0"));
        return;
    }
    program.write(setting::FormCount, QString::number(n - 1));
    // Last loaded first, so that unloading one window never moves those still to be handled.
    for (int i = n - 1; i >= 1; --i) {
        const LoadedWindows::Entry& entry = loaded[static_cast<std::size_t>(i)];
        program.write(kFormsOpenSection, QLatin1String(setting::kFormKeyPrefix) + QString::number(i), entry.name);
        if (entry.window == nullptr) {
            continue;
        }
        if (const WindowKind* kind = WindowNamed(entry.name); kind != nullptr && kind->place.storedAtClose) {
            WritePlace(program, kind->place, *entry.window);
        }
        entry.window->close();
    }
}

std::vector<QString> RecordedOpenWindows(const Program& program)
{
    std::vector<QString> names;
    const int count = ReadInt16(program.read(setting::FormCount), 0);
    for (int i = 1; i <= count; ++i) {
        const QString name = program.read(
            kFormsOpenSection, QLatin1String(setting::kFormKeyPrefix) + QString::number(i), QStringLiteral("0"));
        // Names are matched as recorded, letter case included.
        if (const WindowKind* kind = WindowNamed(name);
            kind != nullptr && kind->button && name == QLatin1String(kind->storedName)) {
            names.push_back(name);
        }
    }
    return names;
}

StoredPlace ReadPlace(const Program& program, const PlaceKeys& keys, double defaultTop, double defaultLeft)
{
    StoredPlace place{0, defaultTop, defaultLeft, false};
    if (keys.prefix == nullptr) {
        return place;
    }
    const QString prefix = QString::fromLatin1(keys.prefix);
    if (keys.state) {
        place.state = ReadInt16(
            program.read(kFormsPositionSection, prefix + QStringLiteral("WindowState"), QStringLiteral("0")), 0);
    }
    const auto coordinate = [&](const QString& key, double fallback) {
        bool ok = false;
        const double value = program.read(kFormsPositionSection, prefix + key, QString()).toDouble(&ok);
        const bool usable = ok && std::isfinite(value);
        place.stored = place.stored || usable;
        // A default goes through the same single-precision text as a stored value.
        return usable ? value : NumberText(fallback).toDouble();
    };
    place.top = coordinate(QStringLiteral("Top"), defaultTop);
    place.left = coordinate(QStringLiteral("Left"), defaultLeft);
    return place;
}

void ApplyPlace(QWidget& window, const StoredPlace& place)
{
    MoveWindowTwips(window, place.top, place.left);
    ApplyWindowStateCode(window, place.state);
}

void WritePlace(Program& program, const PlaceKeys& keys, const QWidget& window)
{
    if (keys.prefix == nullptr) {
        return;
    }
    const QString prefix = QString::fromLatin1(keys.prefix);
    const int state = WindowStateCode(window);
    // A window that keeps its normal place while maximised (the desk calendar) stores nothing at
    // all while minimised: the place it shows then is no place to come back to.
    if (state == 1 && keys.normalPlaceWhenMaximised) {
        return;
    }
    const bool placeToo = state == 0 || (state == 2 && keys.normalPlaceWhenMaximised);
    if (!keys.state && !placeToo) {
        return;
    }
    // The state and the place reach the settings file in one replace.
    const SettingsAction action(program);
    if (keys.state) {
        program.write(kFormsPositionSection, prefix + QStringLiteral("WindowState"), QString::number(state));
    }
    if (placeToo) {
        // A maximised window's frame stands where its normal frame will stand again.
        const QRect normal = window.normalGeometry();
        const QPoint frameOffset = window.geometry().topLeft() - window.frameGeometry().topLeft();
        const bool useNormal = state == 2 && normal.isValid();
        const double top = useNormal ? PixelsToTwips(normal.top() - frameOffset.y()) : WindowTopTwips(window);
        const double left = useNormal ? PixelsToTwips(normal.left() - frameOffset.x()) : WindowLeftTwips(window);
        program.write(kFormsPositionSection, prefix + QStringLiteral("Top"), NumberText(top));
        program.write(kFormsPositionSection, prefix + QStringLiteral("Left"), NumberText(left));
    }
}

QString NumberText(double value)
{
    return QString::fromStdString(SingleText(value));
}

int ReadInt16(const QString& text, int fallback)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return fallback;
    }
    const double rounded = std::nearbyint(value);
    return rounded < -32768 || rounded > 32767 ? fallback : static_cast<int>(rounded);
}

int StartProgram(QApplication& app, const CountdownPlace& countdown, const CountdownsHome& home, bool openOptions)
{
    // One kestrel per countdown and session, so that two never write the same settings file: a
    // second start brings the first one's toolbar forward and ends.
    SingleInstance instance(SingleInstance::RuntimeFolder(),
                            QString::fromStdString(CountdownInstanceName(countdown.settingsFile, home)));
    switch (instance.claim()) {
    case SingleInstance::Claim::First:
        break;
    case SingleInstance::Claim::Running:
        if (AskRunningToShow(instance)) {
            return 0;
        }
        // The running copy ended while it was asked: this one runs in its place.
        if (instance.claim() == SingleInstance::Claim::First) {
            break;
        }
        std::fprintf(stderr, "kestrel: Kestrel is already running in this session.\n");
        return 0;
    case SingleInstance::Claim::Failed: {
        // Never taken for another copy: without the lock two copies could write one settings file.
        const QString message = QStringLiteral("Kestrel cannot start: %1.").arg(instance.problem());
        std::fprintf(stderr, "kestrel: %s\n", message.toLocal8Bit().constData());
        QtDialogs().MsgBox(message, Dialogs::Buttons::Ok, Dialogs::Icon::Critical, QString::fromLatin1(kProgramName));
        return 1;
    }
    }

    SystemClock clock;
    QtDialogs shownDialogs;
    // Once a signal asks the program to end, its messages go to standard error, not to boxes.
    EndingDialogs dialogs(shownDialogs);
    Program program(SettingsFile(countdown.settingsFile), clock, dialogs,
                    QCoreApplication::applicationDirPath().toStdString(), countdown.dataDirectory);
    program.countdownName = countdown.name;
    program.countdowns = home;
    // A countdown's data folder is its own: there from the start, so that its countdown file can
    // be written at the first tick.
    if (countdown.named && !countdown.isDefault) {
        std::error_code ignored;
        std::filesystem::create_directories(countdown.dataDirectory, ignored);
    }

    // A settings file outside the countdowns has no name to start it by at login.
    program.autostartEntry =
        countdown.named ? CountdownAutostartEntry(DefaultAutostartEntry(), countdown.name) : std::filesystem::path();
    program.programPath = QCoreApplication::applicationFilePath().toStdString();
    // Looked at before anything of this run can write the settings file.
    const bool firstRun = IsFirstRun(program.settings);
    FindHelpFile(program, kHelpFileName);
    program.ProgramSettings = LoadProgramSettings(program.settings, program.dataDirectory);
    // The holiday cache follows calendars changed since it was built.
    RefreshWorkDays(program, false);
    // Writes killed half-way (a crash, a power cut) leave their temporary files beside the
    // settings, milestone and countdown files: clear away those of our own naming.
    for (const std::filesystem::path& file :
         {program.settings.path(), std::filesystem::path(program.ProgramSettings.ProjectFile),
          std::filesystem::path(program.ProgramSettings.CountDownFile)}) {
        RemoveStaleTemporaries(file);
    }

    auto* toolbar = new ToolbarWindow(program);
    // A logout, kill or Ctrl+C ends the program as "&Close" does.
    const TerminationSignals onSignal([toolbar, &dialogs] {
        dialogs.beginEnding();
        toolbar->endProgram();
    });
    shownDialogs.setParentWindow(toolbar);
    // Deleting or renaming this countdown from another one's window closes it first.
    QObject::connect(&instance, &SingleInstance::closeRequested, toolbar, [toolbar] { toolbar->endProgram(); });
    QObject::connect(&instance, &SingleInstance::showRequested, toolbar, &ToolbarWindow::bringForward);
    // Desktop notifications ride on the toolbar's tick; the iCalendar file follows the milestones
    // and the target; the team's shared calendar follows the milestones; the holiday feed is
    // fetched at start and once a day; the tray shows the count. None of them is needed for the
    // toolbar's first paint, so they start after it.
    std::optional<Notifications> notifications;
    std::optional<CalendarFeed> calendarFeed;
    std::optional<SharedCalendarSync> sharedCalendar;
    std::optional<HolidayFeed> holidayFeed;
    program.notificationsRunning = false;
    RunAfterFirstPaint(*toolbar, [&program, &notifications, &calendarFeed, &sharedCalendar, &holidayFeed, toolbar] {
        notifications.emplace(program);
        program.notificationsRunning = true;
        calendarFeed.emplace(program);
        sharedCalendar.emplace(program);
        holidayFeed.emplace(program);
        holidayFeed->fetch();
        toolbar->showTrayIcon();
    });
    toolbar->Load();
    if (firstRun) {
        // Without a settings file the built-in target lies in the past: the options dialog
        // opens over the toolbar, ready for Enter, once the main loop runs.
        QTimer::singleShot(0, toolbar, [toolbar] { toolbar->openFirstRunOptions(); });
    } else if (openOptions) {
        // A countdown just made from the defaults has an empty settings file: its options open as
        // at a first run, ready for Enter; one made from another's settings shows them.
        std::error_code error;
        const bool empty = std::filesystem::file_size(program.settings.path(), error) == 0 && !error;
        QTimer::singleShot(0, toolbar, [toolbar, empty] {
            empty ? toolbar->openFirstRunOptions() : toolbar->pressButton(Button::Options);
        });
    }
    // A signal that came while a message box of the start was open has ended the program
    // already (the box's own loop received the quit): the main loop would wait for ever.
    const int code = dialogs.ending() ? 0 : app.exec();
    delete toolbar;
    return dialogs.ending() ? dialogs.endingStatus() : code;
}

} // namespace kestrel
