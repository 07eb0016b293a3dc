// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// For random settings files and random batches of writes: every key that was not written reads
// the same before and after the write, and every written key reads back as written.

#include "Settings.h"

#include "IniDocument.h"
#include "TextEncoding.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace kestrel {
namespace {

const std::vector<std::string> kSections = {"A", "b", "Target Date", "[S", "x]y"};
const std::vector<std::string> kKeys = {"k", "K2", "Key One", ";c", "#h"};
const std::vector<std::string> kValues = {
    "v", " spaced ", "\"q\"", "'s'", "", "a=b", "caf\xE9", "\xE2\x82\xAC", "\"", "x\"", "line\nbreak", "\t", "1234.5",
};

class RandomFiles
{
public:
    explicit RandomFiles(unsigned seed) : m_random(seed) {}

    template <typename T>
    const T& pick(const std::vector<T>& items)
    {
        return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(m_random)];
    }
    int below(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

    std::string spelled(const std::string& name)
    {
        std::string text = name;
        if (below(2) == 0) {
            for (char& c : text) {
                c = static_cast<char>(below(2) == 0 ? std::toupper(static_cast<unsigned char>(c))
                                                    : std::tolower(static_cast<unsigned char>(c)));
            }
        }
        return pick(m_padding) + text + pick(m_padding);
    }

    std::string file()
    {
        std::string text;
        const std::string lineEnd = pick(m_lineEnds);
        const int lines = below(25);
        for (int i = 0; i < lines; ++i) {
            switch (below(8)) {
            case 0:
            case 1:
                text.append("[").append(spelled(pick(kSections))).append("]");
                break;
            case 2:
                text += pick(m_oddLines);
                break;
            default:
                text += spelled(pick(kKeys)) + "=" + pick(m_padding) + pick(kValues).substr(0, 6) + pick(m_padding);
                break;
            }
            text += below(6) == 0 ? pick(m_lineEnds) : lineEnd;
        }
        if (below(5) == 0 && !text.empty()) {
            text.pop_back(); // no line end at the end, or half of a CR LF
        }
        if (below(10) == 0) {
            return Utf16(text);
        }
        return below(10) == 0 ? "\xEF\xBB\xBF" + text : text;
    }

    std::vector<SettingWrite> writes()
    {
        std::vector<SettingWrite> entries;
        for (int count = 1 + below(3); count > 0; --count) {
            entries.push_back({spelled(pick(kSections)), spelled(pick(kKeys)), pick(kValues)});
        }
        return entries;
    }

private:
    static std::string Utf16(const std::string& text)
    {
        std::string bytes = "\xFF\xFE";
        for (const char c : text) {
            bytes += c;
            bytes += '\0';
        }
        return bytes;
    }

    std::mt19937 m_random;
    const std::vector<std::string> m_padding = {"", "", "", " ", "\t", "  "};
    const std::vector<std::string> m_lineEnds = {"\n", "\r\n", "\r"};
    const std::vector<std::string> m_oddLines = {"", "   ", "[", "[]", "word", "=novalue", "; k=c", "[B", "k"};
};

std::string Trimmed(const std::string& name)
{
    const std::size_t first = name.find_first_not_of(" \t");
    return first == std::string::npos ? "" : name.substr(first, name.find_last_not_of(" \t") - first + 1);
}

bool SameName(const std::string& left, const std::string& right)
{
    const std::string a = Trimmed(left);
    const std::string b = Trimmed(right);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// What reading a written value gives back: the value itself, line breaks turned into blanks;
// bytes that are not UTF-8 (the program never writes such) come back read as Windows-1252.
std::string ReadBack(std::string value)
{
    for (char& c : value) {
        c = c == '\n' || c == '\r' ? ' ' : c;
    }
    return IsValidUtf8(value) ? value : Windows1252ToUtf8(value);
}

TEST(SettingsPropertyTest, KeysNotWrittenReadTheSameAndWrittenKeysReadBackAsWritten)
{
    test::TempDir dir;
    const auto path = dir / "KESTREL.INI";
    RandomFiles random(20261207);
    for (int round = 0; round < 400; ++round) {
        const std::string original = random.file();
        test::WriteFile(path, original);
        std::vector<std::string> before;
        {
            const SettingsFile reader(path);
            for (const std::string& section : kSections) {
                for (const std::string& key : kKeys) {
                    before.push_back(reader.ReadSetting(section, key, "<none>"));
                }
            }
        }
        const std::vector<SettingWrite> writes = random.writes();
        SettingsFile writer(path, /*flushToDisk=*/false); // the flush is not what is tested here
        ASSERT_EQ(writer.WriteSettings(writes), std::nullopt) << "round " << round;

        const SettingsFile reader(path);
        std::size_t at = 0;
        for (const std::string& section : kSections) {
            for (const std::string& key : kKeys) {
                std::string expected = before[at++];
                for (const SettingWrite& write : writes) {
                    if (SameName(write.section, section) && SameName(write.key, key)) {
                        expected = ReadBack(write.value);
                    }
                }
                const std::string trace = "round " + std::to_string(round) + " [" + section + "] " + key;
                ASSERT_EQ(reader.ReadSetting(section, key, "<none>"), expected) << trace;
                ASSERT_EQ(writer.ReadSetting(section, key, "<none>"), expected) << trace << " (writer's copy)";
            }
        }
    }
}

} // namespace
} // namespace kestrel
