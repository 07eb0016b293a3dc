// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kestrel {

// Several countdowns: each is a settings file of its own. The countdown of old keeps KESTREL.INI
// and the data folder where they always were and is shown as "Default"; every other one is
// countdowns/NAME.INI beside KESTREL.INI, with its own data folder countdowns/NAME/ in the data
// folder, so that its countdown file and milestone file are its own by default.

inline constexpr const char* kDefaultCountdownName = "Default";
inline constexpr std::size_t kMaxCountdownNameLength = 64;
inline constexpr const char* kCountdownsFolderName = "countdowns";
inline constexpr const char* kCountdownFileExtension = ".INI";

// Where the countdowns live: the folder of KESTREL.INI and the data folder of the default
// countdown (DefaultSettingsPath() and DefaultDataDirectory() outside tests).
struct CountdownsHome
{
    std::filesystem::path settingsFile; // KESTREL.INI
    std::filesystem::path dataDirectory;

    std::filesystem::path countdownsFolder() const { return settingsFile.parent_path() / kCountdownsFolderName; }
    std::filesystem::path dataFolderOf(std::string_view name) const;
    std::filesystem::path settingsFileOf(std::string_view name) const;
};
// The home of the user's countdowns, from the XDG variables.
CountdownsHome UserCountdownsHome();

// One countdown: its name, its settings file and the folder of its default data files.
struct CountdownPlace
{
    std::string name; // "Default", a NAME, or for --settings FILE outside the countdowns the file's name
    std::filesystem::path settingsFile;
    std::filesystem::path dataDirectory;
    bool isDefault = false;
    bool named = false; // one of the countdowns (Default or countdowns/NAME.INI), not just any file

    friend bool operator==(const CountdownPlace&, const CountdownPlace&) = default;
};

// Why a name cannot be a countdown's, or nothing when it can: 1 to 64 characters of UTF-8, no
// "/", no "." first, no control characters.
std::optional<std::string> CountdownNameProblem(std::string_view name);
// Whether two names are one countdown's: compared without regard to case.
bool SameCountdownName(std::string_view a, std::string_view b);

// The countdowns there are: "Default" first, then each countdowns/NAME.INI with a valid name,
// in the order of their names without regard to case.
std::vector<CountdownPlace> ListCountdowns(const CountdownsHome& home);
// The countdown called name (without regard to case, "Default" for KESTREL.INI), or nothing.
std::optional<CountdownPlace> FindCountdown(const CountdownsHome& home, std::string_view name);
// The default countdown, KESTREL.INI.
CountdownPlace DefaultCountdown(const CountdownsHome& home);

// What the command line says: --countdown NAME, --settings FILE, or neither (the default).
struct CountdownOption
{
    std::optional<std::string> name;
    std::optional<std::filesystem::path> settingsFile;
};

// Which countdown a program runs for. No option: Default. --countdown NAME: that countdown,
// which must exist. --settings FILE: the countdown whose settings file FILE is (through links),
// or, for a file outside the countdowns, that file with its folder as its data folder. The
// message of a usage error (status 2) otherwise.
std::variant<CountdownPlace, std::string> ResolveCountdown(const CountdownOption& option, const CountdownsHome& home);

// Takes "--countdown NAME", "--countdown=NAME", "--settings FILE" and "--settings=FILE" out of a
// command line (without the program's name). Nothing when they are not there; the message of a
// usage error when one misses its value or both are given.
std::variant<CountdownOption, std::string> TakeCountdownOption(std::vector<std::string>& args);

// The name of a countdown's single instance in the runtime folder, after the real path of its
// settings file (a link and its target are one countdown): "kestrel" for KESTREL.INI, as before
// there were several, "kestrel-" and 16 hexadecimal digits of the path's FNV-1a hash for others.
std::string CountdownInstanceName(const std::filesystem::path& settingsFile, const CountdownsHome& home);

// Why a new countdown (or a countdown renamed) cannot be called name, or nothing: the name's own
// problem, or a countdown of that name (without regard to case, "Default" included) exists.
std::optional<std::string> NewCountdownNameProblem(const CountdownsHome& home, std::string_view name);

// Makes the settings file of a new countdown called name: empty (every setting at its default),
// or a copy of `copyFrom` whose countdown file and milestone file are the new countdown's own
// defaults, with no calendar feed and no windows recorded as open, so that it shares no file.
// The countdown, or the error as the program reports it.
std::variant<CountdownPlace, std::string> CreateCountdown(const CountdownsHome& home, std::string_view name,
                                                          const std::optional<std::filesystem::path>& copyFrom);

// Renames a countdown (not Default): its settings file, its data folder, and the paths in its
// settings that lead into that folder. The renamed countdown, or why it could not be done.
std::variant<CountdownPlace, std::string> RenameCountdown(const CountdownsHome& home, const CountdownPlace& countdown,
                                                          std::string_view newName);

// The files a countdown writes: its settings file, countdown file, milestone file and calendar
// feed (OwnFilesOf for its settings file and data folder).
struct OwnFilePaths;
OwnFilePaths CountdownFiles(const CountdownPlace& countdown);

// Two countdowns never write one file: the message naming the file of `own` (the files of the
// countdown whose settings file is `self`, as they are about to be set) that another countdown
// writes, and that countdown; nothing when none is shared.
std::optional<std::string> SharedFileProblem(const CountdownsHome& home, const std::filesystem::path& self,
                                             const OwnFilePaths& own);

// The same file, through links; also for files not made yet.
bool SameSettingsFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace kestrel
