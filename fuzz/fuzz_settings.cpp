// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the settings file. Reading must never fail; after a batch of two writes,
// each written key must read back as written, and every other key must read the same as before
// (or stay missing).

#include "IniDocument.h"
#include "TextEncoding.h"
#include "Settings.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

using kestrel::SettingsFile;

struct Name
{
    const char* section;
    const char* key;
};

// Short names the fuzzer finds quickly, spellings that differ only in case or blanks, odd but
// usable names, and some of the program's own.
constexpr Name kNames[] = {
    {"S", "k"},
    {"s", "K"},
    {"S", "a"},
    {"T", "k"},
    {"A", "b"},
    {" S ", "\tk"},
    {"[S", "k"},
    {"S", "k k"},
    {"S", "k]"},
    {"Target Date", "Target_Year"},
    {"File Options", "Continuous_Save"},
    {"Forms Position", "ToolBarTop"},
};
constexpr std::size_t kNameCount = sizeof kNames / sizeof kNames[0];
constexpr const char* kMissing = "<missing>";

// The folder the settings file is written in, made once for the whole run.
class Workspace
{
public:
    Workspace()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        m_folder = pattern;
    }
    ~Workspace()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    std::filesystem::path file() const { return m_folder / "KESTREL.INI"; }

private:
    std::filesystem::path m_folder;
};

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameName(std::string_view left, std::string_view right)
{
    left = TrimBlanks(left);
    right = TrimBlanks(right);
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(left[i]) != lower(right[i])) {
            return false;
        }
    }
    return true;
}

// What reading a written value gives: the value itself (written in quotes where the reader
// would change it), line breaks and NULs turned to blanks; bytes that are not UTF-8 read as
// Windows-1252.
std::string ReadBack(std::string_view written)
{
    std::string value(written);
    for (char& c : value) {
        if (c == '\r' || c == '\n' || c == '\0') {
            c = ' ';
        }
    }
    return kestrel::IsValidUtf8(value) ? value : kestrel::Windows1252ToUtf8(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const Workspace workspace;
    const std::filesystem::path path = workspace.file();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    SettingsFile file(path, /*flushToDisk=*/false);
    std::string before[kNameCount];
    for (std::size_t i = 0; i < kNameCount; ++i) {
        before[i] = file.ReadSetting(kNames[i].section, kNames[i].key, kMissing);
    }

    // The input picks two keys and gives their values, its last and its first bytes, whatever
    // they are; both are written in one batch (the second wins when the keys are the same).
    const std::size_t valueLength = size < 32 ? size : 32;
    const kestrel::SettingWrite writes[] = {
        {kNames[size == 0 ? 0 : data[0] % kNameCount].section, kNames[size == 0 ? 0 : data[0] % kNameCount].key,
         std::string(reinterpret_cast<const char*>(data) + size - valueLength, valueLength)},
        {kNames[size < 2 ? 1 : data[1] % kNameCount].section, kNames[size < 2 ? 1 : data[1] % kNameCount].key,
         std::string(reinterpret_cast<const char*>(data), size < 16 ? size : 16)},
    };
    if (file.WriteSettings(writes)) {
        std::abort();
    }

    // Both the writer's own parse and a fresh read of the file must hold.
    const SettingsFile fresh(path);
    for (const SettingsFile* reader : {static_cast<const SettingsFile*>(&file), &fresh}) {
        for (std::size_t i = 0; i < kNameCount; ++i) {
            std::string expected = before[i];
            for (const kestrel::SettingWrite& write : writes) {
                if (SameName(kNames[i].section, write.section) && SameName(kNames[i].key, write.key)) {
                    expected = ReadBack(write.value);
                }
            }
            if (reader->ReadSetting(kNames[i].section, kNames[i].key, kMissing) != expected) {
                std::abort();
            }
        }
    }
    return 0;
}
