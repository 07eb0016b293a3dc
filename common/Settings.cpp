// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Settings.h"

#include "AtomicFile.h"
#include "IniDocument.h"
#include "TextEncoding.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

namespace fs = std::filesystem;

namespace {

// A settings file holds a few kilobytes. A file past this size is not one: it reads as
// defaults and a write refuses to replace it.
constexpr std::size_t kMaxSettingsFileSize = 64 * 1024 * 1024;

// Names that a line of the file can hold and give back as they were written. A section name
// may hold ']' (its line ends at the last one); a key may not hold '=' nor start like a section
// line. Neither may span lines. Both come here with the blanks around them trimmed.
bool IsUsableSection(std::string_view name)
{
    return !name.empty() && name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool IsUsableKey(std::string_view name)
{
    return !name.empty() && name.find_first_of(std::string_view("=\r\n\0", 4)) == std::string_view::npos &&
           name.front() != '[';
}

// One pair of matching quotes around a value is not part of it, as the profile reader takes it.
std::string_view Unquoted(std::string_view text)
{
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front()) {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

// A value as the line of the file holds it. Line breaks and NULs would end the line or the
// value early: they become blanks. A value the reader would change (blanks at either end,
// which it strips, or a pair of matching quotes around it, which it takes off) goes inside
// double quotes, so that it reads back exactly as written.
std::string StoredText(std::string_view value)
{
    // The program's text is UTF-8; anything else is taken as Windows-1252, as a read would.
    std::string stored = Utf8Text(value);
    std::replace_if(
        stored.begin(), stored.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    const std::string_view text(stored);
    if (!text.empty() && (IsProfileBlank(text.front()) || IsProfileBlank(text.back()) || Unquoted(text) != text)) {
        stored.insert(stored.begin(), '"');
        stored.push_back('"');
    }
    return stored;
}

// A stored value as the program's text: UTF-8 as it stands, cut to 2047 characters without
// splitting one; a value that is not UTF-8 (written by the older program) is read as
// Windows-1252. A file kept as bytes counts a character per byte, as the platform's reader
// does for it; a file with a byte-order mark counts them as UTF-16 does.
std::string ValueText(std::string_view value, IniEncoding encoding)
{
    if (!IsValidUtf8(value)) {
        return Windows1252ToUtf8(value.substr(0, std::min(value.size(), kMaxSettingLength)));
    }
    return encoding == IniEncoding::Bytes ? CutToBytes(value, kMaxSettingLength)
                                          : CutToUtf16Units(value, kMaxSettingLength);
}

// Creates the folder of a new settings file and any missing folder above it, readable by the
// user only: 0, or the errno of the failure.
int MakeDirectories(const fs::path& directory)
{
    fs::path partial;
    for (const fs::path& part : directory) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0) {
            const int error = errno;
            struct stat info = {};
            if (::stat(partial.c_str(), &info) != 0) {
                return error;
            }
            if (!S_ISDIR(info.st_mode)) {
                return ENOTDIR;
            }
        }
    }
    return 0;
}

// An environment variable naming a folder; nothing when it is unset, empty or not absolute.
std::optional<fs::path> FolderFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return std::nullopt;
    }
    return fs::path(value);
}

// $HOME, or the home folder of the user's account when HOME is unset; an empty path (so the
// folders below it are taken from the working folder) when there is neither.
fs::path HomeDirectory()
{
    if (auto home = FolderFromEnvironment("HOME")) {
        return *home;
    }
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    struct passwd entry = {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr) {
        return fs::path(found->pw_dir);
    }
    return {};
}

} // namespace

struct SettingsFile::Snapshot
{
    FileIdentity identity;
    IniDocument document;
};

SettingsFile::SettingsFile(std::filesystem::path path, bool flushToDisk)
    : m_path(std::move(path)), m_flushToDisk(flushToDisk)
{}

SettingsFile::SettingsFile(const SettingsFile& other) : m_path(other.m_path), m_flushToDisk(other.m_flushToDisk) {}

SettingsFile& SettingsFile::operator=(const SettingsFile& other)
{
    if (this != &other) {
        m_path = other.m_path;
        m_flushToDisk = other.m_flushToDisk;
        m_snapshot.reset();
    }
    return *this;
}

SettingsFile::SettingsFile(SettingsFile&& other) noexcept = default;
SettingsFile& SettingsFile::operator=(SettingsFile&& other) noexcept = default;
SettingsFile::~SettingsFile() = default;

const SettingsFile::Snapshot* SettingsFile::currentSnapshot() const
{
    struct stat info = {};
    if (::stat(m_path.c_str(), &info) != 0) {
        m_snapshot.reset();
        return nullptr;
    }
    if (m_snapshot && m_snapshot->identity == IdentityOf(info)) {
        return m_snapshot.get();
    }
    m_snapshot.reset();
    FileResult<FileContents> read = ReadRegularFile(m_path, kMaxSettingsFileSize);
    if (!read) {
        return nullptr;
    }
    m_snapshot = std::make_unique<Snapshot>(Snapshot{IdentityOf(read.value().status), IniDocument(read.value().bytes)});
    return m_snapshot.get();
}

std::string DefaultAsRead(std::string_view defaultValue)
{
    // The default loses its trailing blanks and a pair of quotes around it, as a stored value.
    while (!defaultValue.empty() && defaultValue.back() == ' ') {
        defaultValue.remove_suffix(1);
    }
    return ValueText(Unquoted(defaultValue), IniEncoding::Bytes);
}

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const
{
    std::string fallback = DefaultAsRead(defaultValue);
    try {
        section = TrimProfileBlanks(section);
        key = TrimProfileBlanks(key);
        if (!IsUsableSection(section) || !IsUsableKey(key)) {
            return fallback;
        }
        const Snapshot* snapshot = currentSnapshot();
        const std::optional<std::string_view> value =
            snapshot == nullptr ? std::nullopt : snapshot->document.find(section, key);
        return value ? ValueText(*value, snapshot->document.encoding()) : fallback;
    } catch (const std::bad_alloc&) {
        m_snapshot.reset();
        return fallback;
    }
}

std::optional<RuntimeError> SettingsFile::WriteSettings(std::span<const SettingWrite> entries)
{
    try {
        for (const SettingWrite& entry : entries) {
            if (!IsUsableSection(TrimProfileBlanks(entry.section)) || !IsUsableKey(TrimProfileBlanks(entry.key))) {
                return RuntimeError(RuntimeError::InvalidProcedureCall);
            }
        }
        const FileResult<SaveTarget> target = FindSaveTarget(m_path);
        if (!target) {
            return target.error();
        }
        const bool exists = target.value().existing.has_value();
        std::string bytes;
        if (exists) {
            // A file that cannot be read must not be replaced by one holding only these keys.
            FileResult<FileContents> read = ReadRegularFile(target.value().path, kMaxSettingsFileSize);
            if (!read) {
                return read.error();
            }
            bytes = std::move(read.value().bytes);
        } else if (target.value().path.has_parent_path()) {
            if (const int error = MakeDirectories(target.value().path.parent_path()); error != 0) {
                return RuntimeError::FromSystemError(error);
            }
        }

        IniDocument document(bytes);
        bool changed = !exists;
        for (const SettingWrite& entry : entries) {
            changed =
                document.set(TrimProfileBlanks(entry.section), TrimProfileBlanks(entry.key), StoredText(entry.value)) ||
                changed;
        }
        if (!changed) {
            return std::nullopt;
        }
        const FileResult<struct stat> written = SaveWholeFile(target.value(), document.bytes(), 0600, m_flushToDisk);
        if (!written) {
            return written.error();
        }
        // The document just written is what the next read would parse: keep it for that read.
        m_snapshot = std::make_unique<Snapshot>(Snapshot{IdentityOf(written.value()), std::move(document)});
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        m_snapshot.reset();
        return RuntimeError::FromSystemError(ENOMEM);
    }
}

std::string SingleText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    return std::string(buffer, result.ptr);
}

std::filesystem::path DefaultSettingsPath()
{
    if (auto config = FolderFromEnvironment("XDG_CONFIG_HOME")) {
        return *config / "kestrel" / "KESTREL.INI";
    }
    return HomeDirectory() / ".config" / "kestrel" / "KESTREL.INI";
}

std::filesystem::path DefaultAutostartEntry()
{
    if (auto config = FolderFromEnvironment("XDG_CONFIG_HOME")) {
        return *config / "autostart" / "kestrel.desktop";
    }
    return HomeDirectory() / ".config" / "autostart" / "kestrel.desktop";
}

std::filesystem::path DefaultStateDirectory()
{
    if (auto state = FolderFromEnvironment("XDG_STATE_HOME")) {
        return *state / "kestrel";
    }
    return HomeDirectory() / ".local" / "state" / "kestrel";
}

std::filesystem::path DefaultDataDirectory()
{
    if (auto data = FolderFromEnvironment("XDG_DATA_HOME")) {
        return *data / "kestrel";
    }
    return HomeDirectory() / ".local" / "share" / "kestrel";
}

} // namespace kestrel
