// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "OwnFiles.h"

#include "ICalendar.h"
#include "Milestones.h"

#include <utility>

namespace kestrel {

namespace {

// The same file: the same real path through symbolic links (also for a file not made yet), or the
// same device and inode (a hard link).
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code error;
    const std::filesystem::path realA = std::filesystem::weakly_canonical(a, error);
    if (!error) {
        const std::filesystem::path realB = std::filesystem::weakly_canonical(b, error);
        if (!error && realA == realB) {
            return true;
        }
    }
    return std::filesystem::equivalent(a, b, error) && !error;
}

std::string OwnFileNoun(OwnFile file)
{
    switch (file) {
    case OwnFile::Settings:
        return "settings file";
    case OwnFile::Milestones:
        return "milestone file";
    case OwnFile::Countdown:
        return "countdown file";
    case OwnFile::CalendarFeed:
        return "calendar feed";
    }
    return {};
}

} // namespace

OwnFilePaths OwnFilesOf(const SettingsFile& settingsFile, const ProgramSettings& settings,
                        const std::filesystem::path& dataDirectory)
{
    return {settingsFile.path(), MilestoneFilePath(settings, dataDirectory), settings.CountDownFile,
            ReadSetting(settingsFile, setting::CalendarFile)};
}

std::optional<OwnFile> OwnFileAt(const std::filesystem::path& path, const OwnFilePaths& own,
                                 std::optional<OwnFile> self)
{
    if (path.empty()) {
        return std::nullopt;
    }
    const std::pair<OwnFile, const std::filesystem::path*> files[] = {
        {OwnFile::Settings, &own.settings},
        {OwnFile::Milestones, &own.milestones},
        {OwnFile::Countdown, &own.countdown},
        {OwnFile::CalendarFeed, &own.calendarFeed},
    };
    for (const auto& [file, ownPath] : files) {
        if (file != self && !ownPath->empty() && SameFile(path, *ownPath)) {
            return file;
        }
    }
    return std::nullopt;
}

std::string OwnFileName(OwnFile file)
{
    return "the " + OwnFileNoun(file);
}

std::string MilestoneFileClashMessage(const std::filesystem::path& milestoneFile, OwnFile clash)
{
    return "The milestone file " + milestoneFile.string() + " is " + OwnFileName(clash) +
           ", which saving a milestone would overwrite. Choose another file for the milestones.";
}

std::string OwnFileReason(OwnFile file)
{
    return "that is Kestrel's " + OwnFileNoun(file);
}

} // namespace kestrel
