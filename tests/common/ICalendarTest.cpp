// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ICalendar.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct TextCase
{
    const char* name;
    std::string text;
    std::string value;
};

class CalendarTexts : public ::testing::TestWithParam<TextCase>
{};

TEST_P(CalendarTexts, AreEscapedAsTextValues)
{
    EXPECT_EQ(CalendarText(GetParam().text), GetParam().value);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Calendar, CalendarTexts,
    ::testing::Values(
        TextCase{"Plain", "Review", "Review"},
        TextCase{"Comma", "a,b", "a\\,b"},
        TextCase{"Semicolon", "a;b", "a\\;b"},
        TextCase{"Backslash", "a\\b", "a\\\\b"},
        TextCase{"QuotesAndColonStay", "say \"go\": now", "say \"go\": now"},
        TextCase{"LineBreaksOfEveryKind", "a\r\nb\nc\rd", "a\\nb\\nc\\nd"},
        TextCase{"OtherControlsBecomeBlanks", std::string("a\x01" "b\x7f" "c\td", 7), "a b c\td"},
        TextCase{"Utf8Stays", "Caf\xC3\xA9 \xE2\x9C\x93", "Caf\xC3\xA9 \xE2\x9C\x93"},
        TextCase{"Latin1BecomesUtf8", "Caf\xE9", "Caf\xC3\xA9"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return info.param.name; });
// clang-format on

TEST(FoldContentLineTest, ShortLinesOnlyGainTheirLineEnd)
{
    EXPECT_EQ(FoldContentLine("SUMMARY:Ship"), "SUMMARY:Ship\r\n");
    EXPECT_EQ(FoldContentLine(std::string(75, 'x')), std::string(75, 'x') + "\r\n");
}

TEST(FoldContentLineTest, LongLinesFoldAt75OctetsNeverInsideACharacter)
{
    const std::string ascii(200, 'x');
    const std::string folded = FoldContentLine(ascii);
    EXPECT_EQ(folded, ascii.substr(0, 75) + "\r\n " + ascii.substr(75, 74) + "\r\n " + ascii.substr(149) + "\r\n");

    // "é" is two octets: a fold that would fall between them moves before the character.
    const std::string accented =
        "SUMMARY:" + std::string(200, 'x').replace(66, 0, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
    const std::string out = FoldContentLine(accented);
    std::string unfolded;
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = out.find("\r\n", start);
        const std::string line = out.substr(start, end - start);
        EXPECT_LE(line.size(), 75u);
        EXPECT_NE(static_cast<unsigned char>(line[start == 0 ? 0 : 1]) & 0xC0, 0x80) << "a line starts mid-character";
        unfolded += start == 0 ? line : line.substr(1);
        start = end + 2;
    }
    EXPECT_EQ(unfolded, accented);
}

TEST(MilestoneUidTest, StableForTheSameDayAndTextAndDistinctOtherwise)
{
    EXPECT_EQ(MilestoneUid(36530, "Review"), MilestoneUid(36530, "Review"));
    EXPECT_EQ(MilestoneUid(36530, "Review"),
              "milestone-36530-" + MilestoneUid(36530, "Review").substr(16, 16) + "@kestrel");
    EXPECT_NE(MilestoneUid(36530, "Review"), MilestoneUid(36531, "Review"));
    EXPECT_NE(MilestoneUid(36530, "Review"), MilestoneUid(36530, "review"));
    EXPECT_NE(MilestoneUid(36530, "Review"), MilestoneUid(36530, "Review", 1));
}

TEST(CalendarFileTest, OneAllDayEventForTheTargetAndEachMilestone)
{
    ProgramSettings settings;
    MilestoneTable milestones;
    milestones.PutMilestone(0, PackDate(2000, 1, 5), "Review");
    milestones.PutMilestone(0, PackDate(2000, 1, 5), "Review"); // the same again: its own UID
    milestones.PutMilestone(0, PackDate(2000, 2, 1), "Gone");
    milestones.MarkMilestoneForRemoval(3);
    milestones.append({"garbage", "No day", false});

    const std::string ics = CalendarFile(settings, milestones, "20261207T120000Z");
    EXPECT_EQ(ics.substr(0, 15), "BEGIN:VCALENDAR");
    EXPECT_NE(ics.find("BEGIN:VEVENT\r\nUID:target-20000101@kestrel\r\nDTSTAMP:20261207T120000Z\r\n"
                       "DTSTART;VALUE=DATE:20000101\r\nDTEND;VALUE=DATE:20000102\r\n"
                       "SUMMARY:Target day: Year 2000 Conversion Project\r\n"),
              std::string::npos);
    EXPECT_NE(ics.find("UID:" + MilestoneUid(36530, "Review") + "\r\n"), std::string::npos);
    EXPECT_NE(ics.find("UID:" + MilestoneUid(36530, "Review", 1) + "\r\n"), std::string::npos);
    EXPECT_NE(ics.find("DTSTART;VALUE=DATE:20000105\r\nDTEND;VALUE=DATE:20000106\r\nSUMMARY:Review\r\n"),
              std::string::npos);
    EXPECT_EQ(ics.find("Gone"), std::string::npos);
    EXPECT_EQ(ics.find("No day"), std::string::npos);
    std::size_t events = 0;
    for (std::size_t at = ics.find("BEGIN:VEVENT"); at != std::string::npos; at = ics.find("BEGIN:VEVENT", at + 1)) {
        ++events;
    }
    EXPECT_EQ(events, 3u);
    EXPECT_TRUE(ics.ends_with("END:VCALENDAR\r\n"));
}

TEST(CalendarFileTest, ATargetTimeMakesTheTargetATimedEvent)
{
    ProgramSettings settings;
    settings.TargetTime = "9:05";
    const std::string ics = CalendarFile(settings, MilestoneTable{}, "20261207T120000Z");
    EXPECT_NE(ics.find("UID:target-20000101@kestrel\r\nDTSTAMP:20261207T120000Z\r\nDTSTART:20000101T090500\r\n"
                       "SUMMARY:Target day: Year 2000 Conversion Project\r\n"),
              std::string::npos)
        << ics;
    settings.TargetTime = "9 o'clock"; // no time of day: the all-day event
    EXPECT_NE(CalendarFile(settings, MilestoneTable{}, "20261207T120000Z").find("DTSTART;VALUE=DATE:20000101\r\n"),
              std::string::npos);
}

// A target that renews every year is a yearly event; 29 February falls on the last day of
// February in common years, as the count does.
TEST(CalendarFileTest, ARenewingTargetIsAYearlyEvent)
{
    ProgramSettings settings;
    settings.RenewYearly = "True";
    settings.TargetYear = "2026";
    settings.TargetMonth = "12";
    settings.TargetDay = "25";
    EXPECT_NE(CalendarFile(settings, MilestoneTable{}, "20261207T120000Z")
                  .find("DTSTART;VALUE=DATE:20261225\r\nDTEND;VALUE=DATE:20261226\r\nRRULE:FREQ=YEARLY\r\n"),
              std::string::npos);
    settings.TargetYear = "2027";
    settings.TargetMonth = "2";
    settings.TargetDay = "29";
    EXPECT_NE(CalendarFile(settings, MilestoneTable{}, "20261207T120000Z")
                  .find("DTSTART;VALUE=DATE:20270228\r\nDTEND;VALUE=DATE:20270301\r\n"
                        "RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1\r\n"),
              std::string::npos);
}

TEST(CalendarFileTest, TargetTheEngineCannotCountGivesNoTargetEvent)
{
    ProgramSettings settings;
    settings.TargetYear = "99999";
    const std::string ics = CalendarFile(settings, MilestoneTable{}, "20261207T120000Z");
    EXPECT_EQ(ics.find("BEGIN:VEVENT"), std::string::npos);
    EXPECT_TRUE(ics.ends_with("END:VCALENDAR\r\n"));
}

TEST(CalendarFileTest, TheLastDayADateCanHoldLastsOneDayByItsDuration)
{
    ProgramSettings settings;
    settings.TargetYear = "9999";
    settings.TargetMonth = "12";
    settings.TargetDay = "31";
    MilestoneTable milestones;
    milestones.PutMilestone(0, PackDate(9999, 12, 30), "Eve");
    milestones.PutMilestone(0, PackDate(9999, 12, 31), "Last");

    const std::string ics = CalendarFile(settings, milestones, "20261207T120000Z");
    EXPECT_NE(ics.find("UID:target-99991231@kestrel\r\nDTSTAMP:20261207T120000Z\r\n"
                       "DTSTART;VALUE=DATE:99991231\r\nDURATION:P1D\r\nSUMMARY:Target day: "),
              std::string::npos);
    EXPECT_NE(ics.find("DTSTART;VALUE=DATE:99991230\r\nDTEND;VALUE=DATE:99991231\r\nSUMMARY:Eve\r\n"),
              std::string::npos);
    EXPECT_NE(ics.find("DTSTART;VALUE=DATE:99991231\r\nDURATION:P1D\r\nSUMMARY:Last\r\n"), std::string::npos);
    EXPECT_EQ(ics.find("DTEND;VALUE=DATE:1000"), std::string::npos);
}

} // namespace
} // namespace kestrel
