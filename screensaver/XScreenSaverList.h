// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::saver {

// xscreensaver offers the screensavers of its "programs" resource: the user's ~/.xscreensaver
// when it holds one, else the system's app-defaults file. Adding the saver there is the one way
// to have xscreensaver run it.
inline constexpr const char* kSystemXScreenSaverDefaults = "/etc/X11/app-defaults/XScreenSaver";
inline constexpr const char* kSaverLabel = "Kestrel Countdown";

struct ProgramsListEdit
{
    enum class Result
    {
        Added,        // `text` is the user's file with the saver in its list
        AlreadyThere, // the list names kestrel-saver already: nothing to change
        NoList,       // neither file holds a programs list
    } result = Result::NoList;
    std::string text;
};

// Adds the entry `"Kestrel Countdown"  COMMAND` at the head of the programs list of the user's
// file (its text, or none when there is no file). Without a list there, the system's list (the
// app-defaults file's "*programs:" resource) is copied in first, so that no screensaver the user
// had disappears. Every other byte of the user's file is kept.
ProgramsListEdit AddToProgramsList(const std::optional<std::string>& userFile,
                                   const std::optional<std::string>& systemDefaults, std::string_view command);

// `kestrel-saver --add-to-xscreensaver`: edits the user's file (replaced atomically, a symbolic
// link written through) and says what was done on `out`, or what went wrong on `err`. Returns
// the exit status: 0 when the saver is in the list, 1 when it could not be put there.
int AddToXScreenSaver(const std::filesystem::path& userFile, const std::filesystem::path& systemDefaults,
                      std::string_view command, std::FILE* out, std::FILE* err);

} // namespace kestrel::saver
