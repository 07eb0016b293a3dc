// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ProgramSettings.h"
#include "WorkDays.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class SettingsFile;

// The holiday cache: the holidays of a countdown's holiday calendars as sorted day numbers with
// names, which `kestrel` writes from the iCalendar files and every program reads without an
// iCalendar reader. One line "Kestrel holidays 1", then one line per day: the day number (as
// DayOf counts), a tab and the name.

// The holiday cache of the countdown that `settingsFile` holds: a file of its own in
// $XDG_CACHE_HOME/kestrel (~/.cache/kestrel), named after the settings file's path.
std::filesystem::path HolidayCachePath(const std::filesystem::path& settingsFile);

// A cache's text for holidays sorted by day, one a day (MergeHolidays). Tabs and line breaks in a
// name become blanks.
std::string HolidayCacheText(const std::vector<Holiday>& holidays);

// The holidays a cache text holds; nothing when it is damaged (no heading, a line that is no day
// number and name, days out of order or outside the years 100 to 9999).
std::optional<HolidayTable> ReadHolidayCacheTable(std::string text);
std::optional<std::vector<Holiday>> ReadHolidayCacheText(std::string_view text);

// The holidays of the cache file; an empty list when there is no cache. A damaged or unreadable
// cache gives nothing.
std::optional<std::vector<Holiday>> ReadHolidayCache(const std::filesystem::path& path);

// Writes the cache atomically, making its folder. Raises RuntimeError when it cannot.
void WriteHolidayCache(const std::filesystem::path& path, const std::vector<Holiday>& holidays);

// The holiday calendars the settings file names: "Holiday File1" ... up to "Holiday FileCount",
// empty names left out.
std::vector<std::string> HolidayFiles(const SettingsFile& file);

// The message for a cache that cannot be read.
std::string DamagedHolidayCacheMessage(const std::filesystem::path& path);
// The message for a working week that is empty or unreadable.
std::string UnreadableWorkingWeekMessage(std::string_view text);

// The work-day rule of loaded settings: the older rule unless "Use Holidays" is on; then the
// working week ("Working Week", the default week with a message when it is empty or unreadable)
// and the holidays of the cache (none, with a message, when it is damaged). Sets
// settings.workCalendar and settings.workDaysProblem.
void LoadWorkCalendar(ProgramSettings& settings, const std::filesystem::path& settingsFile);

} // namespace kestrel
