// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ProgramSettings.h"
#include "Settings.h"

#include <filesystem>
#include <optional>
#include <string>

namespace kestrel {

// The files Kestrel keeps for itself. A file the user names for output (a PDF, an iCalendar
// export) must be none of them, and each of them must be none of the others: writing one over
// another loses the user's settings or milestones.
enum class OwnFile
{
    Settings,
    Milestones,
    Countdown,
    CalendarFeed,
};

// Where the own files are; an empty path names no file (no calendar feed is set).
struct OwnFilePaths
{
    std::filesystem::path settings;
    std::filesystem::path milestones;
    std::filesystem::path countdown;
    std::filesystem::path calendarFeed;
};

// The own files of a settings file as read: the settings file itself, the milestone file
// (MilestoneFilePath), the countdown file and the calendar feed that it names.
OwnFilePaths OwnFilesOf(const SettingsFile& settingsFile, const ProgramSettings& settings,
                        const std::filesystem::path& dataDirectory);

// The own file that path names, or none: the same file compared as real paths through symbolic
// links (and, for files that exist, by device and inode, so that hard links count too). `self`
// is the own file being written, which path may of course name. An empty path names no file.
std::optional<OwnFile> OwnFileAt(const std::filesystem::path& path, const OwnFilePaths& own,
                                 std::optional<OwnFile> self = std::nullopt);

// "the settings file", "the milestone file", "the countdown file" or "the calendar feed".
std::string OwnFileName(OwnFile file);

// The message when the milestone file is another of Kestrel's own files, which saving a milestone
// would overwrite.
std::string MilestoneFileClashMessage(const std::filesystem::path& milestoneFile, OwnFile clash);

// Why a write is refused: "that is Kestrel's settings file".
std::string OwnFileReason(OwnFile file);

} // namespace kestrel
