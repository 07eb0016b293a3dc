// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Holidays.h"

#include "AtomicFile.h"
#include "Countdown.h"
#include "Settings.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace kestrel {

namespace {

constexpr std::string_view kCacheHeading = "Kestrel holidays 1";
// 1 January 100 and 31 December 9999, the days the date services know.
constexpr long long kFirstHoliday = -657434;
constexpr long long kLastHoliday = 2958465;
// At most 100,000 days from each of a few calendars, with their names.
constexpr std::size_t kMaxCacheBytes = 64U * 1024U * 1024U;

std::filesystem::path CacheFolder()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && std::filesystem::path(cache).is_absolute()) {
        return std::filesystem::path(cache) / "kestrel";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && std::filesystem::path(home).is_absolute()) {
        return std::filesystem::path(home) / ".cache" / "kestrel";
    }
    return DefaultDataDirectory() / "cache";
}

// FNV-1a of the text: a short, stable name for a path.
std::uint64_t NameHash(std::string_view text)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

} // namespace

std::filesystem::path HolidayCachePath(const std::filesystem::path& settingsFile)
{
    // Through links, so that a countdown reached through a link finds the cache of its file.
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::weakly_canonical(settingsFile, error);
    if (error) {
        absolute = std::filesystem::absolute(settingsFile, error);
    }
    if (error) {
        absolute = settingsFile;
    }
    char name[64];
    std::snprintf(name, sizeof name, "holidays-%016llx.txt",
                  static_cast<unsigned long long>(NameHash(absolute.lexically_normal().generic_string())));
    return CacheFolder() / name;
}

std::string HolidayCacheText(const std::vector<Holiday>& holidays)
{
    std::string text(kCacheHeading);
    text += '\n';
    for (const Holiday& holiday : holidays) {
        text += std::to_string(holiday.day);
        text += '\t';
        for (const char c : holiday.name) {
            text += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
        }
        text += '\n';
    }
    return text;
}

std::optional<HolidayTable> ReadHolidayCacheTable(std::string bytes)
{
    // The names stay where they stand in the text.
    HolidayTable table;
    const std::string_view whole(bytes);
    std::string_view text = whole;
    table.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    bool heading = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return std::nullopt; // cut short
        }
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (heading) {
            if (line != kCacheHeading) {
                return std::nullopt;
            }
            heading = false;
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos || tab == 0) {
            return std::nullopt;
        }
        long long day = 0;
        const auto [at, error] = std::from_chars(line.data(), line.data() + tab, day);
        if (error != std::errc() || at != line.data() + tab || day < kFirstHoliday || day > kLastHoliday ||
            !table.addNamed(day, static_cast<std::size_t>(line.data() + tab + 1 - whole.data()))) {
            return std::nullopt;
        }
    }
    if (heading) {
        return std::nullopt;
    }
    table.adoptNames(std::move(bytes));
    return table;
}

std::optional<std::vector<Holiday>> ReadHolidayCacheText(std::string_view text)
{
    std::optional<HolidayTable> table = ReadHolidayCacheTable(std::string(text));
    if (!table) {
        return std::nullopt;
    }
    return table->holidays();
}

namespace {

// The holiday table of the cache file; an empty one when there is no cache, nothing when it is
// damaged or cannot be read.
std::optional<HolidayTable> ReadHolidayCacheFile(const std::filesystem::path& path)
{
    FileResult<FileContents> read = ReadRegularFile(path, kMaxCacheBytes);
    if (!read) {
        if (read.systemError() == ENOENT) {
            return HolidayTable{};
        }
        return std::nullopt;
    }
    return ReadHolidayCacheTable(std::move(read.value().bytes));
}

} // namespace

std::optional<std::vector<Holiday>> ReadHolidayCache(const std::filesystem::path& path)
{
    std::optional<HolidayTable> table = ReadHolidayCacheFile(path);
    if (!table) {
        return std::nullopt;
    }
    return table->holidays();
}

void WriteHolidayCache(const std::filesystem::path& path, const std::vector<Holiday>& holidays)
{
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const FileResult<SaveTarget> target = FindSaveTarget(path);
    if (!target) {
        throw target.error();
    }
    const FileResult<struct stat> written = SaveWholeFile(target.value(), HolidayCacheText(holidays), 0600, true);
    if (!written) {
        throw written.error();
    }
}

std::vector<std::string> HolidayFiles(const SettingsFile& file)
{
    std::vector<std::string> files;
    const long long count = std::atoll(ReadSetting(file, setting::HolidayFileCount).c_str());
    // A count past any list a user keeps is a damaged file, not a reason to read for ever.
    for (long long i = 1; i <= count && i <= 999; ++i) {
        std::string name = file.ReadSetting(kWorkDaysSection, setting::kHolidayFileKeyPrefix + std::to_string(i), "");
        if (!name.empty()) {
            files.push_back(std::move(name));
        }
    }
    return files;
}

std::string DamagedHolidayCacheMessage(const std::filesystem::path& path)
{
    return "The holiday cache " + path.string() +
           " cannot be read, so work days are counted without holidays. Apply the options again to rebuild it.";
}

std::string UnreadableWorkingWeekMessage(std::string_view text)
{
    return "The working week \"" + std::string(text) + "\" names no days of the week, so \"" + kDefaultWorkingWeek +
           "\" is used.";
}

void LoadWorkCalendar(ProgramSettings& settings, const std::filesystem::path& settingsFile)
{
    settings.workDaysProblem.clear();
    if (!IsTrueText(settings.UseHolidays)) {
        settings.workCalendar.reset();
        return;
    }
    std::optional<WorkingWeek> week = ReadWorkingWeek(settings.WorkWeek);
    if (!week) {
        settings.workDaysProblem = UnreadableWorkingWeekMessage(settings.WorkWeek);
        week = WorkingWeek{};
    }
    const std::filesystem::path cache = HolidayCachePath(settingsFile);
    std::optional<HolidayTable> holidays = ReadHolidayCacheFile(cache);
    if (!holidays) {
        if (!settings.workDaysProblem.empty()) {
            settings.workDaysProblem += '\n';
        }
        settings.workDaysProblem += DamagedHolidayCacheMessage(cache);
        holidays.emplace();
    }
    settings.workCalendar = std::make_shared<const WorkCalendar>(*week, std::move(*holidays));
}

} // namespace kestrel
