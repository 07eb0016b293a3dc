// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Countdown.h"
#include "CountdownDisplay.h"
#include "CountdownFile.h"
#include "Countdowns.h"
#include "DateServices.h"
#include "Dialogs.h"
#include "HelpViewer.h"
#include "LoadedWindows.h"
#include "MilestoneStore.h"
#include "OwnFiles.h"
#include "ProgramSettings.h"
#include "Settings.h"
#include "WindowRegistry.h"

#include <QString>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QApplication;
class QWidget;

namespace kestrel {

inline constexpr const char* kProgramName = "Kestrel";
inline constexpr const char* kHelpFileName = "Kestrel.HLP";
// The maker's address, shown in the about window and, after "URL:", in the company panel.
inline constexpr const char* kMakerAddress = "https://kestrel-countdown.org";
struct Program;
class SharedCalendarSync;
QString DefaultCompanyLogo();
// The company panel's text as the settings file holds it, the maker's address by default.
QString CompanyLogo(const Program& program);

// The values the whole program shares for one run: the settings, the last countdown, the loaded
// windows, the help file and the services every window uses. Created at start-up and handed to
// each window; tests make their own.
struct Program
{
    Program(SettingsFile settingsFile, const Clock& clockService, Dialogs& dialogService,
            std::filesystem::path programDirectory, std::filesystem::path dataDirectory);

    SettingsFile settings;
    const Clock& clock;
    Dialogs& dialogs;
    std::filesystem::path programDirectory;
    std::filesystem::path dataDirectory;
    // The desktop's autostart entry that "Start Kestrel when I log in" writes, and the program it
    // starts. Empty until start-up sets them: a program made by a test touches no autostart entry.
    std::filesystem::path autostartEntry;
    std::string programPath;
    // The shared calendar's sync while the program runs (null when none is made, as in tests) and
    // the one line that says how its last sync went; empty before the first.
    SharedCalendarSync* sharedCalendar = nullptr;
    // Whether the desktop notifications run: a renewing target's new year is stored only once
    // they have seen the year that passed. Start-up starts them after the first paint.
    bool notificationsRunning = true;
    QString sharedCalendarStatus;
    // The countdown this run shows, and where the countdowns are. A program made by a test shows
    // "Default" and knows no others (an empty home).
    std::string countdownName = kDefaultCountdownName;
    CountdownsHome countdowns;

    kestrel::ProgramSettings ProgramSettings;
    // The countdown of the last tick.
    CountdownBreakdown countdown;
    LoadedWindows windows;
    // The open windows that show the countdown: each subscribes while it is open, and the
    // toolbar's tick and refresh hook reach every one of them.
    std::vector<CountdownDisplay*> displays;
    QString helpFilePath;
    HelpViewer help;
    CountdownFile countdownFile;
    // The milestone table, read from its file and read again when the file changes.
    MilestoneStore milestones{settings, ProgramSettings, dataDirectory};

    // The month the desk calendar shows, and shows again after a modal window: today's month
    // when the breakdown window opens, the target's month after the options dialog.
    YearMonth calendarMonth;

    // Where Kestrel's own files are now, which no file the user names for output may be.
    OwnFilePaths ownFiles() const { return OwnFilesOf(settings, ProgramSettings, dataDirectory); }

    void subscribe(CountdownDisplay* display);
    void unsubscribe(CountdownDisplay* display);

    // Reads one key, with QString texts.
    QString read(const char* section, const QString& key, const QString& defaultValue) const;
    // Reads a key of the settings tables with the table's default, or `computedDefault` for a key
    // whose default is computed.
    QString read(const SettingKey& key, const QString& computedDefault = {}) const;
    // Gives a field of ProgramSettings a new text and queues the write of its key, so that the
    // field and the file agree.
    void set(const SettingKey& key, const std::string& value);
    void setUnitText(std::size_t unit, bool after, const std::string& value);
    // Queues the write of a key that has no field. A key the table writes only when changed is
    // left alone while `current` (its value as the program understands the stored one) is `value`.
    void write(const SettingKey& key, const QString& value, const QString& current = {});
    // Writes one key. Inside a SettingsAction the write waits for the end of the action, so that
    // the action replaces the settings file once; otherwise it goes to the file at once.
    void write(const char* section, const QString& key, const QString& value);
    void write(SettingWrite entry);
    // Writes every key that waits, with one replace of the settings file. When the file cannot be
    // written the user is told once, with the error and the file's path, and the keys stay
    // waiting, so that the next write, after the cause is removed, stores them all. False then.
    bool flushWrites();

    // The writes not yet in the file, oldest first; each key at most once.
    std::vector<SettingWrite> pendingWrites;
    int openActions = 0;
};

// One user action that writes settings (Apply, a styling choice, closing the program): every
// write while it lives reaches the file in one replace when it ends.
class SettingsAction
{
public:
    explicit SettingsAction(Program& program) : m_program(program) { ++m_program.openActions; }
    ~SettingsAction()
    {
        if (--m_program.openActions == 0) {
            m_program.flushWrites();
        }
    }
    SettingsAction(const SettingsAction&) = delete;
    SettingsAction& operator=(const SettingsAction&) = delete;

private:
    Program& m_program;
};

// The message when the settings file cannot be written: the error, then the file.
QString SettingsWriteFailedMessage(const RuntimeError& error, const std::filesystem::path& path);

// The help-file search: the program's folder first, then each of the data folders in turn, then
// each folder of the PATH variable (an empty entry is the current folder). The full path of the
// first match.
std::optional<std::filesystem::path> FindHelpFile(const std::string& name,
                                                  const std::filesystem::path& programDirectory,
                                                  std::string_view pathVariable,
                                                  const std::vector<std::filesystem::path>& dataFolders = {});
// The data folders that may hold the help file: share/kestrel of the program's installation, then
// the kestrel folder of each XDG data folder ($XDG_DATA_HOME, then $XDG_DATA_DIRS).
std::vector<std::filesystem::path> HelpDataFolders(const std::filesystem::path& programDirectory);
// The message shown when the help file is found nowhere: the folders that were searched.
QString HelpFileMissingMessage(const QString& name, const std::filesystem::path& programDirectory,
                               const std::vector<std::filesystem::path>& dataFolders);
inline constexpr const char* kHelpMissingTitle = "Kestrel help not available";

// Looks for the help file and sets program.helpFilePath; tells the user when it is missing.
bool FindHelpFile(Program& program, const char* name);

// Records the open windows (section "Forms Open") and the places of those that remember theirs
// (section "Forms Position"), then unloads them, last loaded first.
void SaveOpenWindows(Program& program);

// The window names recorded as open at the last close, in the order they were first opened;
// unknown names, "frmAbout" and "frmMilestone" are left out.
std::vector<QString> RecordedOpenWindows(const Program& program);

// Runs start-up work that the first paint does not need once, from the event loop, after the
// window's first paint (or a little later at the latest, should the window not paint).
void RunAfterFirstPaint(QWidget& window, std::function<void()> work);

// The program's start for one countdown: help-file search, settings, then the toolbar window.
// Returns the exit code.
// With `openOptions` the options dialog opens over the toolbar (a countdown just made).
int StartProgram(QApplication& app, const CountdownPlace& countdown, const CountdownsHome& home,
                 bool openOptions = false);

// Window position keys as each window reads them: state (0, 1, 2) and top/left in twips.
struct StoredPlace
{
    int state = 0;
    double top = 0;
    double left = 0;
    bool stored = false; // the settings file holds a top or a left that is a number
};
// Reads a window's place keys with the given defaults; without state keys the state is 0. A value
// that is not a number reads as its default.
StoredPlace ReadPlace(const Program& program, const PlaceKeys& keys, double defaultTop, double defaultLeft);
// Applies a stored place to a window before it first shows.
void ApplyPlace(QWidget& window, const StoredPlace& place);
// Writes the window's place keys in one replace: the state, when the keys have one, and the top
// and left while the window is normal (maximised too, with its normal place, when the keys say
// so); a window that keeps no place writes nothing.
void WritePlace(Program& program, const PlaceKeys& keys, const QWidget& window);

// Whole numbers and coordinates as the settings file stores them.
QString NumberText(double value);
// A stored text read as a 16-bit whole number; `fallback` when it is not a number or out of range.
int ReadInt16(const QString& text, int fallback);

} // namespace kestrel
