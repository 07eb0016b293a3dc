// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "SharedCalendar.h"

#include "AtomicFile.h"
#include "Countdown.h"
#include "ICalendar.h"
#include "Settings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The authority of an address: what stands between "//" and the path.
std::string_view Authority(std::string_view address)
{
    const std::size_t start = address.find("://");
    if (start == std::string_view::npos) {
        return {};
    }
    const std::string_view rest = address.substr(start + 3);
    return rest.substr(0, rest.find_first_of("/?#"));
}

bool IsLoopbackHost(const std::string& host)
{
    if (host == "localhost" || host == "[::1]") {
        return true;
    }
    // 127.0.0.0/8 written as four plain decimal numbers, nothing else.
    int parts = 0;
    int value = -1;
    int first = -1;
    for (const char c : host + '.') {
        if (c >= '0' && c <= '9') {
            value = (value < 0 ? 0 : value * 10) + (c - '0');
            if (value > 255) {
                return false;
            }
        } else if (c == '.' && value >= 0) {
            first = parts == 0 ? value : first;
            ++parts;
            value = -1;
        } else {
            return false;
        }
    }
    return parts == 4 && first == 127;
}

// A 64-bit FNV-1a digest as 16 hex digits.
std::string Digest(std::string_view text)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 0x100000001b3ULL;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

// The name a UID takes as a resource of the calendar: letters, digits, "-", "_" and "." as they
// are, every other byte as "%XX".
std::string ResourceName(std::string_view uid)
{
    std::string name;
    for (const unsigned char c : uid) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
            name += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            name += escaped;
        }
    }
    return name + ".ics";
}

} // namespace

std::optional<std::string> CalendarAddressProblem(std::string_view address)
{
    const std::string lower = Lower(address);
    const bool https = lower.starts_with("https://");
    if (!https && !lower.starts_with("http://")) {
        return "The calendar's address must begin with https:// (or http:// on this computer's own "
               "loopback address).";
    }
    const std::string_view authority = Authority(address);
    if (authority.find('@') != std::string_view::npos) {
        return "The calendar's address must not hold a user name or password: put the user name in its "
               "box and the password in the password box.";
    }
    const std::string host = AddressHost(address);
    if (host.empty()) {
        return "The calendar's address names no server.";
    }
    if (!https && !IsLoopbackHost(host)) {
        return "An http:// address is taken only on this computer's own loopback address (localhost, "
               "127.0.0.1 or [::1]), where nobody can read the password on its way; use https:// for " +
               host + ".";
    }
    return std::nullopt;
}

std::string AddressHost(std::string_view address)
{
    std::string_view authority = Authority(address);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    if (authority.starts_with('[')) {
        return Lower(authority.substr(0, authority.find(']') + 1));
    }
    return Lower(authority.substr(0, authority.find(':')));
}

PasswordFileReading ReadPasswordFile(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return {std::nullopt,
                "the password file " + path.string() + " cannot be opened (" + std::strerror(errno) + ")"};
    }
    struct stat info
    {};
    std::string problem;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = "the password file " + path.string() + " is no regular file";
    } else if (info.st_uid != ::geteuid()) {
        problem = "the password file " + path.string() + " belongs to another user";
    } else if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        problem = "the password file " + path.string() + " may be read by others: allow only its owner (chmod 600)";
    }
    std::string password;
    if (problem.empty()) {
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0 || password.size() > 64 * 1024) {
                break;
            }
            password.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    if (!problem.empty()) {
        return {std::nullopt, problem};
    }
    password = password.substr(0, password.find_first_of("\r\n"));
    return {password, {}};
}

std::string EventResourceName(std::string_view uid)
{
    return ResourceName(uid);
}

namespace {

// The settings file as one name, through links, so that a link and its target share their files.
std::string SettingsFileName(const std::filesystem::path& settingsFile)
{
    std::error_code error;
    const std::filesystem::path real = std::filesystem::weakly_canonical(settingsFile, error);
    return (error ? settingsFile : real).string();
}

} // namespace

std::filesystem::path SyncStatePath(const std::filesystem::path& settingsFile, std::string_view calendar,
                                    std::string_view user)
{
    // What was published to one calendar as one user says nothing about another.
    const std::string name = SettingsFileName(settingsFile) + '\n' + std::string(calendar) + '\n' + std::string(user);
    return DefaultStateDirectory() / ("shared-calendar-" + Digest(name) + ".state");
}

std::filesystem::path CountdownLockPath(const std::filesystem::path& settingsFile)
{
    return DefaultStateDirectory() / ("countdown-" + Digest(SettingsFileName(settingsFile)) + ".lock");
}

std::optional<FileLock> LockWhenShared(const SettingsFile& settings, std::chrono::milliseconds wait)
{
    if (!IsTrueText(ReadSetting(settings, setting::ShareMilestones))) {
        return std::nullopt;
    }
    std::variant<FileLock, std::string> lock = FileLock::Take(CountdownLockPath(settings.path()), wait);
    if (FileLock* taken = std::get_if<FileLock>(&lock)) {
        return std::move(*taken);
    }
    return std::nullopt;
}

std::filesystem::path SyncRecordPath(const std::filesystem::path& settingsFile)
{
    return DefaultStateDirectory() / ("shared-calendar-" + Digest(SettingsFileName(settingsFile)) + ".last");
}

std::string SyncRecordText(const SyncRecord& record)
{
    std::string error = record.error;
    std::ranges::replace(error, '\n', ' ');
    std::ranges::replace(error, '\t', ' ');
    return record.ok ? "ok\t" + record.at + '\n' : "error\t" + record.at + '\t' + error + '\n';
}

std::optional<SyncRecord> ReadSyncRecord(const std::filesystem::path& path)
{
    const FileResult<FileContents> read = ReadRegularFile(path, 64 * 1024);
    if (!read) {
        return std::nullopt;
    }
    std::string_view text = read.value().bytes;
    text = text.substr(0, text.find('\n'));
    const std::size_t first = text.find('\t');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    SyncRecord record;
    const std::string_view state = text.substr(0, first);
    const std::string_view rest = text.substr(first + 1);
    if (state == "ok") {
        record.ok = true;
        record.at = rest;
    } else if (state == "error" && rest.find('\t') != std::string_view::npos) {
        record.at = rest.substr(0, rest.find('\t'));
        record.error = rest.substr(rest.find('\t') + 1);
    } else {
        return std::nullopt;
    }
    return record;
}

} // namespace kestrel
