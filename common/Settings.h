// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RuntimeError.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestrel {

// The longest value the settings reader returns; longer stored values are cut to this length.
inline constexpr std::size_t kMaxSettingLength = 2047;

// One key to write: its section, its key and the value as the program's text.
struct SettingWrite
{
    std::string section;
    std::string key;
    std::string value;

    friend bool operator==(const SettingWrite&, const SettingWrite&) = default;
};

// The settings file KESTREL.INI, read and written as the platform's profile functions do it
// (see IniDocument for the rules of its lines). Nothing is held open between calls: every read
// looks at the file as it is now, every write replaces it atomically.
class SettingsFile
{
public:
    // flushToDisk false leaves out the flush to disk after a write; only for measuring the
    // rest of a write in the benchmarks.
    explicit SettingsFile(std::filesystem::path path, bool flushToDisk = true);
    // A copy names the same file; it starts without a parsed copy of its own.
    SettingsFile(const SettingsFile& other);
    SettingsFile& operator=(const SettingsFile& other);
    SettingsFile(SettingsFile&& other) noexcept;
    SettingsFile& operator=(SettingsFile&& other) noexcept;
    ~SettingsFile();

    const std::filesystem::path& path() const noexcept { return m_path; }

    // The stored value of key in section: blanks around it stripped, one pair of matching
    // quotes around it taken off, cut to 2047 characters (bytes in a plain file, UTF-16
    // characters in one with a byte-order mark); a value that is not UTF-8 is read as
    // Windows-1252. The default (trailing blanks and a pair of quotes taken off) when the file,
    // the section or the key is missing. Section and key match without regard to case; only
    // the first section of a name counts, and in it the first of duplicate keys.
    std::string ReadSetting(std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // Writes every entry in order with one read and one atomic replace of the file; the file is
    // flushed to disk (fsync of the new file, then of its folder) before this returns success.
    // Later entries for the same key win. Each changes the one line of its key, or adds a line
    // at the end of its section, or the section at the end of the file; every other byte stays.
    // A value with blanks at either end, or wrapped in a pair of quotes, is written inside
    // double quotes so that it reads back exactly; line breaks in a value become blanks.
    // Nothing on success; otherwise the error as the program reports it (70 "Permission
    // denied", also for a file whose write permission is removed; 76 "Path not found";
    // 61 "Disk full"; 75 "Path/File access error"; 5 for a name no line can hold), the file
    // unchanged.
    std::optional<RuntimeError> WriteSettings(std::span<const SettingWrite> entries);

private:
    struct Snapshot;

    // The parse of the file as it is now, from m_snapshot when the file is unchanged; null when
    // the file is missing or cannot be read.
    const Snapshot* currentSnapshot() const;

    std::filesystem::path m_path;
    bool m_flushToDisk = true;
    // The last parse of the file, reused by ReadSetting only while the file on disk keeps the
    // same device, inode, size and modification time. Because a read may refresh it, one
    // SettingsFile must not be used from two threads at once.
    mutable std::unique_ptr<Snapshot> m_snapshot;
};

// A default as the reader returns it for a missing key: trailing blanks and a pair of quotes
// around it taken off.
std::string DefaultAsRead(std::string_view defaultValue);

// A number as the settings file stores coordinates and sizes: the shortest decimal text that
// reads back as the same single-precision number (1440, 1234.5, 14.25).
std::string SingleText(double value);

// Where both programs keep the settings file: $XDG_CONFIG_HOME/kestrel/KESTREL.INI, or
// $HOME/.config/kestrel/KESTREL.INI when the variable is unset, empty or not an absolute path.
std::filesystem::path DefaultSettingsPath();
// The desktop's autostart entry for Kestrel: kestrel.desktop in the autostart folder of
// $XDG_CONFIG_HOME (~/.config when that is unset or not absolute).
std::filesystem::path DefaultAutostartEntry();

// The folder of the default data files (the countdown file and the milestone file):
// $XDG_DATA_HOME/kestrel, or $HOME/.local/share/kestrel when the variable is unset, empty or
// not an absolute path. Without HOME, the home folder of the user's account stands for it.
std::filesystem::path DefaultDataDirectory();
// Where Kestrel keeps state that is neither settings nor data (what a shared calendar holds):
// $XDG_STATE_HOME/kestrel, or $HOME/.local/state/kestrel.
std::filesystem::path DefaultStateDirectory();

} // namespace kestrel
