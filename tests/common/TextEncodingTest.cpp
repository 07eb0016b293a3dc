// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextEncoding.h"

#include "ICalendar.h"
#include "Milestones.h"
#include "Settings.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct ByteCase
{
    const char* bytes;
    const char* utf8;
};

TEST(TextEncodingTest, TextThatIsNotUtf8IsWindows1252)
{
    // clang-format off
    const ByteCase cases[] = {
        {"\x80", "\xE2\x82\xAC"},             // the euro sign
        {"\x81", "\xC2\x81"},                 // unassigned: the control character of its number
        {"\x8D\x8F\x90\x9D", "\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {"\x93" "a\x94", "\xE2\x80\x9C" "a\xE2\x80\x9D"},
        {"M\xE4rz", "M\xC3\xA4rz"},            // the upper half is Latin-1
        {"\xC3\xA4 \x80", "\xC3\x83\xC2\xA4 \xE2\x82\xAC"}, // not UTF-8 as a whole: every byte by the code page
        {"M\xC3\xA4rz \xE2\x82\xAC", "M\xC3\xA4rz \xE2\x82\xAC"}, // UTF-8 stays
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},         // a surrogate is no UTF-8
    };
    // clang-format on
    for (const ByteCase& c : cases) {
        EXPECT_EQ(Utf8Text(c.bytes), c.utf8) << c.bytes;
    }
}

// The fault this rule mends: the status line and the calendar read 0x80 as U+0080 while the
// settings reader read the euro sign. Every reader now reads every byte the same way.
TEST(TextEncodingTest, EveryReaderReadsEachByteTheSameWay)
{
    test::TempDir dir;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const std::string text(1, static_cast<char>(byte));
        const std::string expected = Windows1252ToUtf8(text);
        test::WriteFile(dir / "KESTREL.INI", "[File Options]\nProject Title=" + text + "\n");
        const SettingsFile settings(dir / "KESTREL.INI"); // a fresh reader: no parse kept from the last byte
        EXPECT_EQ(settings.ReadSetting("File Options", "Project Title", ""), expected) << byte;
        const ParsedMilestones parsed = ParseMilestoneFile("\" 36526\",\"" + text + "\"\r\n");
        ASSERT_EQ(parsed.records.size(), 1u) << byte;
        EXPECT_EQ(parsed.records[0].text, expected) << byte;
        EXPECT_EQ(CalendarText(text), expected) << byte;
    }
}

TEST(TextEncodingTest, Utf16RoundTripsEveryCodeUnit)
{
    // clang-format off
    const struct
    {
        std::string utf16le;
        std::string utf8;
    } cases[] = {
        {std::string("A\0", 2), "A"},
        {"\xAC\x20", "\xE2\x82\xAC"},
        {"\x3C\xD8\x89\xDF", "\xF0\x9F\x8E\x89"},  // a surrogate pair
        {std::string("\x00\xD8", 2), "\xED\xA0\x80"}, // a lone surrogate keeps its number
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(Utf16ToUtf8(c.utf16le, false), c.utf8);
        EXPECT_EQ(Utf8ToUtf16(c.utf8, false), c.utf16le);
    }
    EXPECT_EQ(Utf8ToUtf16("\x80", true), "\x20\xAC"); // no UTF-8: Windows-1252
}

TEST(TextEncodingTest, CutsNeverSplitACharacter)
{
    const std::string text = "ab\xC3\xA4\xE2\x82\xAC\xF0\x9F\x8E\x89"; // a b ä € 🎉
    // clang-format off
    const std::pair<std::size_t, const char*> byteCuts[] = {
        {2, "ab"},
        {3, "ab"},
        {4, "ab\xC3\xA4"},
        {6, "ab\xC3\xA4"},
        {7, "ab\xC3\xA4\xE2\x82\xAC"},
        {10, "ab\xC3\xA4\xE2\x82\xAC"},
        {11, "ab\xC3\xA4\xE2\x82\xAC\xF0\x9F\x8E\x89"},
    };
    const std::pair<std::size_t, const char*> unitCuts[] = {
        {3, "ab\xC3\xA4"},
        {4, "ab\xC3\xA4\xE2\x82\xAC"},
        {5, "ab\xC3\xA4\xE2\x82\xAC"}, // the emoji takes two units
        {6, "ab\xC3\xA4\xE2\x82\xAC\xF0\x9F\x8E\x89"},
    };
    // clang-format on
    for (const auto& [limit, cut] : byteCuts) {
        EXPECT_EQ(CutToBytes(text, limit), cut) << limit;
    }
    for (const auto& [limit, cut] : unitCuts) {
        EXPECT_EQ(CutToUtf16Units(text, limit), cut) << limit;
    }
}

TEST(TextEncodingTest, ProfileBlanksAndTheUtf8Mark)
{
    EXPECT_EQ(TrimProfileBlanks("\t\x1A k=v \r\n\v\f"), "k=v");
    EXPECT_EQ(TrimProfileBlanks(std::string_view("\0 x", 3)), std::string_view("\0 x", 3)); // NUL is no blank
    EXPECT_EQ(WithoutUtf8Mark("\xEF\xBB\xBF[S]"), "[S]");
    EXPECT_EQ(WithoutUtf8Mark("[S]\xEF\xBB\xBF"), "[S]\xEF\xBB\xBF");
}

} // namespace
} // namespace kestrel
