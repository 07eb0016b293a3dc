#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "RuntimeError.h"

namespace kestrel {

// The longest value the settings reader returns; longer stored values are cut to this length.
inline constexpr std::size_t kMaxSettingLength = 2047;

// The settings file KESTREL.INI, read and written one key at a time. Nothing is held open
// between calls: every read looks at the file as it is now, every write replaces it whole.
// One key to write: the value of key in section.
struct SettingWrite
{
    std::string section;
    std::string key;
    std::string value;
};

class SettingsFile
{
public:
    explicit SettingsFile(std::filesystem::path path);
    // A copy names the same file; it starts without a parsed copy of its own.
    SettingsFile(const SettingsFile& other);
    SettingsFile& operator=(const SettingsFile& other);
    SettingsFile(SettingsFile&& other) noexcept;
    SettingsFile& operator=(SettingsFile&& other) noexcept;
    ~SettingsFile();

    const std::filesystem::path& path() const noexcept { return m_path; }

    // The stored value of key in section, blanks around it stripped and cut to 2047 characters;
    // the default (trailing blanks stripped) when the file, the section or the key is missing.
    // Section and key match without regard to case; of duplicate keys the first wins.
    std::string ReadSetting(std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // Writes one key, creating the file, the section and the key as needed and keeping every
    // other section, key, value and comment in its order. The file is replaced atomically.
    // Returns false when the file could not be written (the caller may ignore it, as the
    // program does, since a lost write only means a setting is not remembered).
    bool WriteSetting(std::string_view section, std::string_view key, std::string_view value);

    // Writes every entry in order. Nothing on success; otherwise the error as the program reports
    // it (70 "Permission denied", 76 "Path not found", 75 "Path/File access error").
    std::optional<RuntimeError> WriteSettings(std::span<const SettingWrite> entries);

private:
    struct Snapshot;

    // The parse of the file as it is now, from m_snapshot when the file is unchanged; null when
    // the file is missing or cannot be read.
    const Snapshot* currentSnapshot() const;

    std::filesystem::path m_path;
    // The last parse of the file, reused by ReadSetting only while the file on disk keeps the
    // same device, inode, size and modification time. Because a read may refresh it, one
    // SettingsFile must not be used from two threads at once.
    mutable std::unique_ptr<Snapshot> m_snapshot;
};

// A number as the settings file stores coordinates and sizes: the shortest decimal text that
// reads back as the same single-precision number (1440, 1234.5, 14.25).
std::string SingleText(double value);

// Where both programs keep the settings file: $XDG_CONFIG_HOME/kestrel/KESTREL.INI, or
// $HOME/.config/kestrel/KESTREL.INI when the variable is unset, empty or not an absolute path.
std::filesystem::path DefaultSettingsPath();

// The folder of the default data files (the countdown file and the milestone file):
// $XDG_DATA_HOME/kestrel, or $HOME/.local/share/kestrel when the variable is unset, empty or
// not an absolute path. Without HOME, the home folder of the user's account stands for it.
std::filesystem::path DefaultDataDirectory();

} // namespace kestrel
