// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Countdowns.h"

#include "SharedCalendar.h"

#include "AtomicFile.h"
#include "ICalendar.h"
#include "Milestones.h"
#include "OwnFiles.h"
#include "ProgramSettings.h"
#include "Settings.h"
#include "TextEncoding.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>

#include <locale.h>
#include <wctype.h>

namespace kestrel {

namespace fs = std::filesystem;

namespace {

// The code points of UTF-8 text (checked before).
std::u32string CodePoints(std::string_view text)
{
    std::u32string points;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t point = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        points.push_back(point);
        i += length;
    }
    return points;
}

bool IsControl(char32_t point)
{
    return point < 0x20 || (point >= 0x7F && point <= 0x9F);
}

// A name folded for comparison without regard to case: lower case by the Unicode tables of the
// C.UTF-8 locale, by the ASCII letters alone where that locale is missing.
std::u32string Folded(std::string_view name)
{
    // Bytes that are not UTF-8 (no countdown's name) compare as they are.
    std::u32string points = IsValidUtf8(name) ? CodePoints(name) : std::u32string(name.begin(), name.end());
    const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    for (char32_t& point : points) {
        if (unicode != static_cast<locale_t>(nullptr)) {
            point = static_cast<char32_t>(::towlower_l(static_cast<wint_t>(point), unicode));
        } else if (point >= 'A' && point <= 'Z') {
            point += 'a' - 'A';
        }
    }
    if (unicode != static_cast<locale_t>(nullptr)) {
        ::freelocale(unicode);
    }
    return points;
}

// The name of a countdown file in the countdowns folder: its name without ".INI" (in any case),
// or nothing for a file that is not a countdown's.
std::optional<std::string> NameOfFile(const fs::path& file)
{
    const std::string fileName = file.filename().string();
    const std::string_view extension = kCountdownFileExtension;
    if (fileName.size() <= extension.size()) {
        return std::nullopt;
    }
    const std::string_view tail = std::string_view(fileName).substr(fileName.size() - extension.size());
    if (!std::equal(tail.begin(), tail.end(), extension.begin(), extension.end(),
                    [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; })) {
        return std::nullopt;
    }
    std::string name = fileName.substr(0, fileName.size() - extension.size());
    if (CountdownNameProblem(name) || SameCountdownName(name, kDefaultCountdownName)) {
        return std::nullopt;
    }
    return name;
}

fs::path Absolute(const fs::path& path)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal();
}

} // namespace

fs::path CountdownsHome::dataFolderOf(std::string_view name) const
{
    return dataDirectory / kCountdownsFolderName / std::string(name);
}

fs::path CountdownsHome::settingsFileOf(std::string_view name) const
{
    return countdownsFolder() / (std::string(name) + kCountdownFileExtension);
}

CountdownsHome UserCountdownsHome()
{
    return {DefaultSettingsPath(), DefaultDataDirectory()};
}

std::optional<std::string> CountdownNameProblem(std::string_view name)
{
    if (name.empty()) {
        return "The name of a countdown cannot be empty.";
    }
    if (!IsValidUtf8(name)) {
        return "The name of a countdown must be UTF-8 text.";
    }
    const std::u32string points = CodePoints(name);
    if (points.size() > kMaxCountdownNameLength) {
        return "The name of a countdown has at most 64 characters.";
    }
    if (name.find('/') != std::string_view::npos) {
        return "The name of a countdown cannot hold \"/\".";
    }
    if (name.front() == '.') {
        return "The name of a countdown cannot begin with \".\".";
    }
    if (std::any_of(points.begin(), points.end(), IsControl)) {
        return "The name of a countdown cannot hold control characters.";
    }
    return std::nullopt;
}

bool SameCountdownName(std::string_view a, std::string_view b)
{
    return Folded(a) == Folded(b);
}

CountdownPlace DefaultCountdown(const CountdownsHome& home)
{
    return {kDefaultCountdownName, home.settingsFile, home.dataDirectory, true, true};
}

std::vector<CountdownPlace> ListCountdowns(const CountdownsHome& home)
{
    std::vector<CountdownPlace> others;
    std::error_code error;
    for (fs::directory_iterator entry(home.countdownsFolder(), error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code typeError;
        if (!entry->is_regular_file(typeError)) {
            continue;
        }
        if (std::optional<std::string> name = NameOfFile(entry->path())) {
            others.push_back({*name, entry->path(), home.dataFolderOf(*name), false, true});
        }
    }
    std::sort(others.begin(), others.end(), [](const CountdownPlace& a, const CountdownPlace& b) {
        const std::u32string foldedA = Folded(a.name);
        const std::u32string foldedB = Folded(b.name);
        return foldedA != foldedB ? foldedA < foldedB : a.name < b.name;
    });
    std::vector<CountdownPlace> all{DefaultCountdown(home)};
    all.insert(all.end(), others.begin(), others.end());
    return all;
}

std::optional<CountdownPlace> FindCountdown(const CountdownsHome& home, std::string_view name)
{
    for (CountdownPlace& place : ListCountdowns(home)) {
        if (SameCountdownName(place.name, name)) {
            return std::move(place);
        }
    }
    return std::nullopt;
}

bool SameSettingsFile(const fs::path& a, const fs::path& b)
{
    std::error_code error;
    const fs::path realA = fs::weakly_canonical(Absolute(a), error);
    if (!error) {
        const fs::path realB = fs::weakly_canonical(Absolute(b), error);
        if (!error && realA == realB) {
            return true;
        }
    }
    return fs::equivalent(a, b, error) && !error;
}

std::string CountdownInstanceName(const fs::path& settingsFile, const CountdownsHome& home)
{
    if (SameSettingsFile(settingsFile, home.settingsFile)) {
        return "kestrel";
    }
    std::error_code error;
    fs::path real = fs::weakly_canonical(Absolute(settingsFile), error);
    if (error) {
        real = Absolute(settingsFile);
    }
    // FNV-1a: the same name for the same path in every build, unlike std::hash.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : real.string()) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name = "kestrel-";
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += kHex[(hash >> shift) & 0xF];
    }
    return name;
}

std::variant<CountdownPlace, std::string> ResolveCountdown(const CountdownOption& option, const CountdownsHome& home)
{
    if (option.name) {
        if (std::optional<std::string> problem = CountdownNameProblem(*option.name)) {
            return "--countdown " + *option.name + ": " + *problem;
        }
        if (std::optional<CountdownPlace> found = FindCountdown(home, *option.name)) {
            return *found;
        }
        return "there is no countdown called " + *option.name + " (no file " +
               home.settingsFileOf(*option.name).string() + ")";
    }
    if (option.settingsFile) {
        if (option.settingsFile->empty()) {
            return std::string("--settings needs the settings file");
        }
        const fs::path file = Absolute(*option.settingsFile);
        for (CountdownPlace& place : ListCountdowns(home)) {
            if (SameSettingsFile(file, place.settingsFile)) {
                return std::move(place);
            }
        }
        // A settings file of its own keeps its countdown and milestone files beside it.
        return CountdownPlace{file.filename().string(), file, file.parent_path(), false, false};
    }
    return DefaultCountdown(home);
}

std::variant<CountdownOption, std::string> TakeCountdownOption(std::vector<std::string>& args)
{
    CountdownOption option;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        const bool isName = arg == "--countdown" || arg.starts_with("--countdown=");
        const bool isFile = arg == "--settings" || arg.starts_with("--settings=");
        if (!isName && !isFile) {
            rest.push_back(arg);
            continue;
        }
        const std::string_view optionName = isName ? "--countdown" : "--settings";
        const bool joined = arg.size() > optionName.size();
        if (!joined && i + 1 >= args.size()) {
            return std::string(optionName) + (isName ? " needs the name of a countdown" : " needs the settings file");
        }
        std::string value = joined ? arg.substr(optionName.size() + 1) : args[++i];
        if (option.name || option.settingsFile) {
            return std::string("--countdown and --settings can be given once, and not together");
        }
        if (isName) {
            option.name = std::move(value);
        } else {
            option.settingsFile = fs::path(value);
        }
    }
    args = std::move(rest);
    return option;
}

std::optional<std::string> NewCountdownNameProblem(const CountdownsHome& home, std::string_view name)
{
    if (std::optional<std::string> problem = CountdownNameProblem(name)) {
        return problem;
    }
    if (std::optional<CountdownPlace> existing = FindCountdown(home, name)) {
        return "There is a countdown called " + existing->name + " already.";
    }
    return std::nullopt;
}

std::variant<CountdownPlace, std::string> CreateCountdown(const CountdownsHome& home, std::string_view name,
                                                          const std::optional<fs::path>& copyFrom)
{
    if (std::optional<std::string> problem = NewCountdownNameProblem(home, name)) {
        return *problem;
    }
    const CountdownPlace place{std::string(name), home.settingsFileOf(name), home.dataFolderOf(name), false, true};
    std::string bytes;
    if (copyFrom) {
        FileResult<FileContents> read = ReadRegularFile(*copyFrom, 64 * 1024 * 1024);
        if (read) {
            bytes = std::move(read.value().bytes);
        } else if (read.error().number() != RuntimeError::FileNotFound) {
            return CouldNotBeSavedText("The new countdown", place.settingsFile) + ": " + read.error().report();
        }
    }
    std::error_code error;
    fs::create_directories(home.countdownsFolder(), error);
    try {
        ReplaceFileContents(place.settingsFile, bytes, 0600);
    } catch (const RuntimeError& failure) {
        return CouldNotBeSavedText("The new countdown", place.settingsFile) + ": " + failure.report();
    }
    if (copyFrom) {
        const std::vector<SettingWrite> own = {
            {setting::CountDownFile.section, setting::CountDownFile.key,
             (place.dataDirectory / "Kestrel.txt").generic_string()},
            {setting::ProjectFile.section, setting::ProjectFile.key,
             (place.dataDirectory / kMilestoneFileName).generic_string()},
            {setting::CalendarFile.section, setting::CalendarFile.key, ""},
            {setting::FormCount.section, setting::FormCount.key, "0"},
            // A copy does not share the team's calendar: it would publish its own target there.
            {setting::ShareMilestones.section, setting::ShareMilestones.key, "False"},
            {setting::CalendarUrl.section, setting::CalendarUrl.key, ""},
            {setting::TrustedCertificate.section, setting::TrustedCertificate.key, ""},
        };
        if (std::optional<RuntimeError> failed = SettingsFile(place.settingsFile).WriteSettings(own)) {
            return CouldNotBeSavedText("The new countdown", place.settingsFile) + ": " + failed->report();
        }
    }
    return place;
}

std::variant<CountdownPlace, std::string> RenameCountdown(const CountdownsHome& home, const CountdownPlace& countdown,
                                                          std::string_view newName)
{
    if (countdown.isDefault || !countdown.named) {
        return std::string("Only a countdown of the countdowns folder can be renamed.");
    }
    // A change of letter case alone is a rename of the same countdown.
    if (!SameCountdownName(countdown.name, newName)) {
        if (std::optional<std::string> problem = NewCountdownNameProblem(home, newName)) {
            return *problem;
        }
    } else if (std::optional<std::string> problem = CountdownNameProblem(newName)) {
        return *problem;
    }
    const CountdownPlace renamed{std::string(newName), home.settingsFileOf(newName), home.dataFolderOf(newName), false,
                                 true};
    std::error_code error;
    fs::rename(countdown.settingsFile, renamed.settingsFile, error);
    if (error) {
        return "The countdown " + countdown.name + " could not be renamed: " + error.message() + ".";
    }
    if (fs::exists(countdown.dataDirectory, error)) {
        fs::rename(countdown.dataDirectory, renamed.dataDirectory, error);
        if (error) {
            fs::rename(renamed.settingsFile, countdown.settingsFile, error);
            return "The data folder " + countdown.dataDirectory.string() + " could not be renamed.";
        }
    }
    // Paths into the old data folder lead into the new one.
    SettingsFile settings(renamed.settingsFile);
    std::vector<SettingWrite> moved;
    for (const SettingKey& key : {setting::CountDownFile, setting::ProjectFile, setting::CalendarFile}) {
        const fs::path stored = ReadSetting(settings, key, "");
        const fs::path inside = stored.lexically_relative(countdown.dataDirectory);
        if (!stored.empty() && !inside.empty() && *inside.begin() != "..") {
            moved.push_back({key.section, key.key, (renamed.dataDirectory / inside).generic_string()});
        }
    }
    if (!moved.empty()) {
        if (std::optional<RuntimeError> failed = settings.WriteSettings(moved)) {
            return CouldNotBeSavedText("The settings", renamed.settingsFile) + ": " + failed->report();
        }
    }
    return renamed;
}

OwnFilePaths CountdownFiles(const CountdownPlace& countdown)
{
    const SettingsFile file(countdown.settingsFile);
    return OwnFilesOf(file, LoadProgramSettings(file, countdown.dataDirectory), countdown.dataDirectory);
}

std::optional<std::string> SharedFileProblem(const CountdownsHome& home, const fs::path& self, const OwnFilePaths& own)
{
    const std::pair<OwnFile, const fs::path*> mine[] = {
        {OwnFile::Settings, &own.settings},
        {OwnFile::Countdown, &own.countdown},
        {OwnFile::Milestones, &own.milestones},
        {OwnFile::CalendarFeed, &own.calendarFeed},
    };
    for (const CountdownPlace& other : ListCountdowns(home)) {
        if (SameSettingsFile(other.settingsFile, self)) {
            continue;
        }
        const OwnFilePaths theirs = CountdownFiles(other);
        for (const auto& [file, path] : mine) {
            if (const std::optional<OwnFile> clash = OwnFileAt(*path, theirs)) {
                std::string noun = OwnFileName(file);
                noun.replace(0, 3, "The");
                return noun + " " + path->string() + " is " + OwnFileName(*clash) + " of the countdown " + other.name +
                       ". Two countdowns cannot share a file: choose another file.";
            }
        }
    }
    return std::nullopt;
}

} // namespace kestrel
