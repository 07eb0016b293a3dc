// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalendarObjects.h"

#include "DateAt.h"
#include "ICalendar.h"
#include "Milestones.h"
#include "SharedCalendar.h"
#include "TextEncoding.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// The object around the lines of its components.
std::string Calendar(std::string_view lines)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + std::string(lines) + "END:VCALENDAR\r\n";
}

long long Day(int year, int month, int day)
{
    return DayNumber(test::At(year, month, day));
}

struct ObjectCase
{
    const char* what;
    const char* lines; // inside BEGIN:VCALENDAR .. END:VCALENDAR
    ServerEventKind kind;
    int year, month, day; // of a milestone or target
    const char* text;     // of a milestone
    const char* uid;
};

constexpr ServerEventKind M = ServerEventKind::Milestone;
constexpr ServerEventKind T = ServerEventKind::Target;
constexpr ServerEventKind O = ServerEventKind::Other;

// clang-format off
constexpr ObjectCase kObjects[] = {
    {"a day with its next day as end", "BEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20261224\r\nDTEND;VALUE=DATE:20261225\r\nSUMMARY:Eve\r\nEND:VEVENT\r\n", M, 2026, 12, 24, "Eve", "a"},
    {"eight digits without VALUE", "BEGIN:VEVENT\r\nUID:b\r\nDTSTART:20261224\r\nSUMMARY:Eve\r\nEND:VEVENT\r\n", M, 2026, 12, 24, "Eve", "b"},
    {"a duration of one day", "BEGIN:VEVENT\r\nUID:c\r\nDTSTART;VALUE=DATE:20270101\r\nDURATION:P1D\r\nSUMMARY:New\r\nEND:VEVENT\r\n", M, 2027, 1, 1, "New", "c"},
    {"names and parameters in any case", "begin:vevent\r\nuid:d\r\ndtstart;value=date:20270228\r\ndtend;Value=Date:20270301\r\nSummary;Language=en:x\r\nend:vevent\r\n", M, 2027, 2, 28, "x", "d"},
    {"LF line ends", "BEGIN:VEVENT\nUID:e\nDTSTART;VALUE=DATE:20270102\nSUMMARY:lf\nEND:VEVENT\n", M, 2027, 1, 2, "lf", "e"},
    {"folded lines, blank and tab", "BEGIN:VEVENT\r\nUID:f\r\n  1\r\nDTSTART;VALUE=DA\r\n TE:20270103\r\nSUMMARY:long \r\n\ttext\nEND:VEVENT\r\n", M, 2027, 1, 3, "long text", "f 1"},
    {"escapes undone", "BEGIN:VEVENT\r\nUID:g\r\nDTSTART:20270104\r\nSUMMARY:a\\, b\\; c\\\\d\\ne\\Nf \\x\r\nEND:VEVENT\r\n", M, 2027, 1, 4, "a, b; c\\d\ne\nf \\x", "g"},
    {"no summary", "BEGIN:VEVENT\r\nUID:h\r\nDTSTART:20270105\r\nEND:VEVENT\r\n", M, 2027, 1, 5, "", "h"},
    {"a quoted parameter holding a colon", "BEGIN:VEVENT\r\nUID:i\r\nDTSTART:20270106\r\nSUMMARY;ALTREP=\"http://x:1/;y\":Text\r\nEND:VEVENT\r\n", M, 2027, 1, 6, "Text", "i"},
    {"a time zone beside the event", "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:19701025T030000\r\nRRULE:FREQ=YEARLY\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\nBEGIN:VEVENT\r\nUID:j\r\nDTSTART;VALUE=DATE:20270107\r\nSUMMARY:tz\r\nEND:VEVENT\r\n", M, 2027, 1, 7, "tz", "j"},
    {"an alarm inside the event", "BEGIN:VEVENT\r\nUID:k\r\nDTSTART;VALUE=DATE:20270108\r\nSUMMARY:al\r\nBEGIN:VALARM\r\nTRIGGER:-PT15M\r\nDURATION:PT5M\r\nREPEAT:2\r\nACTION:DISPLAY\r\nSUMMARY:not this\r\nEND:VALARM\r\nEND:VEVENT\r\n", M, 2027, 1, 8, "al", "k"},
    {"the last day a date holds", "BEGIN:VEVENT\r\nUID:l\r\nDTSTART;VALUE=DATE:99991231\r\nDURATION:P1D\r\nSUMMARY:end\r\nEND:VEVENT\r\n", M, 9999, 12, 31, "end", "l"},
    {"the first day a date holds", "BEGIN:VEVENT\r\nUID:m\r\nDTSTART;VALUE=DATE:01000101\r\nSUMMARY:start\r\nEND:VEVENT\r\n", M, 100, 1, 1, "start", "m"},
    {"a leap day", "BEGIN:VEVENT\r\nUID:n\r\nDTSTART;VALUE=DATE:20280229\r\nSUMMARY:leap\r\nEND:VEVENT\r\n", M, 2028, 2, 29, "leap", "n"},
    {"the target", "BEGIN:VEVENT\r\nUID:target@kestrel\r\nDTSTART;VALUE=DATE:20270310\r\nDTEND;VALUE=DATE:20270311\r\nX-KESTREL-TARGET:TRUE\r\nSUMMARY:Target day: P\r\nEND:VEVENT\r\n", T, 2027, 3, 10, "", "target@kestrel"},
    {"a repeating target, marked in lower case", "BEGIN:VEVENT\r\nUID:t2\r\nDTSTART:20270310\r\nRRULE:FREQ=YEARLY\r\nx-kestrel-target:true\r\nEND:VEVENT\r\n", T, 2027, 3, 10, "", "t2"},
    {"a target of several days", "BEGIN:VEVENT\r\nUID:t3\r\nDTSTART:20270310\r\nDTEND:20270320\r\nX-KESTREL-TARGET:TRUE\r\nEND:VEVENT\r\n", T, 2027, 3, 10, "", "t3"},
    {"a timed target", "BEGIN:VEVENT\r\nUID:t4\r\nDTSTART:20270310T120000Z\r\nX-KESTREL-TARGET:TRUE\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "t4"},
    {"a target marked false is a milestone", "BEGIN:VEVENT\r\nUID:t5\r\nDTSTART:20270310\r\nX-KESTREL-TARGET:FALSE\r\nEND:VEVENT\r\n", M, 2027, 3, 10, "", "t5"},
    {"a timed event", "BEGIN:VEVENT\r\nUID:o1\r\nDTSTART:20270105T100000\r\nSUMMARY:Stand-up\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o1"},
    {"a timed event in a time zone", "BEGIN:VEVENT\r\nUID:o2\r\nDTSTART;TZID=Europe/Berlin:20270105T100000\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o2"},
    {"eight digits said to be a date-time", "BEGIN:VEVENT\r\nUID:o3\r\nDTSTART;VALUE=DATE-TIME:20270105\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o3"},
    {"a yearly event", "BEGIN:VEVENT\r\nUID:o4\r\nDTSTART:20270105\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:b\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o4"},
    {"more dates", "BEGIN:VEVENT\r\nUID:o5\r\nDTSTART:20270105\r\nRDATE;VALUE=DATE:20270106\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o5"},
    {"one changed occurrence", "BEGIN:VEVENT\r\nUID:o6\r\nRECURRENCE-ID;VALUE=DATE:20270105\r\nDTSTART:20270105\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o6"},
    {"two days", "BEGIN:VEVENT\r\nUID:o7\r\nDTSTART:20270105\r\nDTEND:20270107\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o7"},
    {"an end on the same day", "BEGIN:VEVENT\r\nUID:o8\r\nDTSTART:20270105\r\nDTEND:20270105\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o8"},
    {"a timed end", "BEGIN:VEVENT\r\nUID:o9\r\nDTSTART:20270105\r\nDTEND:20270106T000000\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o9"},
    {"a duration of two days", "BEGIN:VEVENT\r\nUID:o10\r\nDTSTART:20270105\r\nDURATION:P2D\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o10"},
    {"both an end and a duration", "BEGIN:VEVENT\r\nUID:o11\r\nDTSTART:20270105\r\nDTEND:20270106\r\nDURATION:P1D\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o11"},
    {"no start", "BEGIN:VEVENT\r\nUID:o12\r\nSUMMARY:x\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o12"},
    {"the year 99", "BEGIN:VEVENT\r\nUID:o13\r\nDTSTART:00991231\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o13"},
    {"30 February", "BEGIN:VEVENT\r\nUID:o14\r\nDTSTART:20270230\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o14"},
    {"29 February of a common year", "BEGIN:VEVENT\r\nUID:o15\r\nDTSTART:21000229\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o15"},
    {"month 13", "BEGIN:VEVENT\r\nUID:o16\r\nDTSTART:20271301\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o16"},
    {"a task", "BEGIN:VTODO\r\nUID:todo\r\nDTSTART:20270105\r\nSUMMARY:do\r\nEND:VTODO\r\n", O, 0, 0, 0, "", "todo"},
    {"a journal entry beside an event", "BEGIN:VEVENT\r\nUID:o17\r\nDTSTART:20270105\r\nEND:VEVENT\r\nBEGIN:VJOURNAL\r\nUID:j\r\nEND:VJOURNAL\r\n", O, 0, 0, 0, "", "o17"},
    {"two events", "BEGIN:VEVENT\r\nUID:o18\r\nDTSTART:20270105\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:o18\r\nDTSTART:20270106\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o18"},
    {"an event never ended", "BEGIN:VEVENT\r\nUID:o19\r\nDTSTART:20270105\r\n", O, 0, 0, 0, "", "o19"},
    {"ends crossed", "BEGIN:VEVENT\r\nUID:o20\r\nDTSTART:20270105\r\nBEGIN:VALARM\r\nEND:VEVENT\r\nEND:VALARM\r\n", O, 0, 0, 0, "", "o20"},
    {"a line that is no content line", "BEGIN:VEVENT\r\nUID:o21\r\nDTSTART:20270105\r\nhello\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o21"},
    {"a parameter's quote never closed", "BEGIN:VEVENT\r\nUID:o22\r\nDTSTART:20270105\r\nSUMMARY;X=\"a:b\r\nEND:VEVENT\r\n", O, 0, 0, 0, "", "o22"},
};
// clang-format on

TEST(ReadCalendarObjectTest, TellsMilestonesTargetAndOtherEventsApart)
{
    for (const ObjectCase& c : kObjects) {
        SCOPED_TRACE(c.what);
        const ServerEvent event = ReadCalendarObject(Calendar(c.lines));
        EXPECT_EQ(event.kind, c.kind);
        EXPECT_EQ(event.uid, c.uid);
        EXPECT_EQ(event.day, c.kind == O ? 0 : Day(c.year, c.month, c.day));
        EXPECT_EQ(event.text, c.text);
        EXPECT_TRUE(event.href.empty() && event.etag.empty());
    }
}

TEST(ReadCalendarObjectTest, WhatIsNoCalendarIsOther)
{
    // clang-format off
    const std::string_view objects[] = {
        "",
        "hello",
        "BEGIN:VEVENT\r\nUID:x\r\nDTSTART:20270105\r\nEND:VEVENT\r\n", // no calendar around it
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:x\r\nDTSTART:20270105\r\nEND:VEVENT\r\nEND:VCALENDAR\r\nBEGIN:VCALENDAR\r\n",
        "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n",
        "\r\n\r\n \r\n\t",
        std::string_view("BEGIN:VCALENDAR\0\r\n", 18),
    };
    // clang-format on
    for (const std::string_view object : objects) {
        EXPECT_EQ(ReadCalendarObject(object).kind, ServerEventKind::Other) << object;
    }
    EXPECT_EQ(ReadCalendarObject("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:x\r\n").uid, "x");
}

TEST(ReadCalendarObjectTest, SummaryBytesThatAreNoUtf8ReadAsLatin1)
{
    const ServerEvent event =
        ReadCalendarObject(Calendar("BEGIN:VEVENT\r\nUID:x\r\nDTSTART:20270105\r\nSUMMARY:caf\xe9\r\nEND:VEVENT\r\n"));
    EXPECT_EQ(event.kind, ServerEventKind::Milestone);
    EXPECT_EQ(event.text, "caf\xc3\xa9");
}

TEST(ReadCalendarObjectTest, TextsLongerThanAMilestoneMayBeAreOther)
{
    // Characters are counted, not bytes: the longest text of four-byte characters is a milestone.
    std::string longest;
    for (std::size_t i = 0; i < kMaxMilestoneTextCharacters; ++i) {
        longest += "\xF0\x9F\x8E\x89";
    }
    const auto object = [](const std::string& text) {
        return Calendar("BEGIN:VEVENT\r\nUID:x\r\nDTSTART:20270105\r\nSUMMARY:" + text + "\r\nEND:VEVENT\r\n");
    };
    const ServerEvent fits = ReadCalendarObject(object(longest));
    EXPECT_EQ(fits.kind, ServerEventKind::Milestone);
    EXPECT_EQ(fits.text, longest);
    const ServerEvent tooLong = ReadCalendarObject(object(longest + "x"));
    EXPECT_EQ(tooLong.kind, ServerEventKind::Other);
    EXPECT_EQ(tooLong.uid, "x");
    EXPECT_TRUE(tooLong.text.empty());
}

TEST(ReadCalendarObjectTest, WhatKestrelPublishesReadsBackAsItWas)
{
    // clang-format off
    const std::string texts[] = {
        "Review, & sign off",
        "a;b;;c",
        "back\\slash\\",
        "two\nlines\n\nand a blank one",
        "\"quoted\" 'single'",
        "\xc3\x9cn\xc3\xaf" "c\xc3\xb6" "d\xc3\xa9 \xe2\x9c\x93 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\x89",
        std::string(40, '\xc3') + "x", // Latin-1 bytes: published and read back as UTF-8
        std::string(200, ',') + std::string(50, '\\') + "\xe6\x97\xa5\xe6\x9c\xac" + std::string(100, ';'),
        "",
    };
    // clang-format on
    constexpr const char* kStamp = "20261207T120000Z";
    const ServerEvent target = ReadCalendarObject(
        SharedCalendarObject(kSharedTargetUid, Day(2027, 3, 10), TargetSummary("Launch"), kStamp, true));
    EXPECT_EQ(target.kind, ServerEventKind::Target);
    EXPECT_EQ(target.uid, kSharedTargetUid);
    EXPECT_EQ(target.day, Day(2027, 3, 10));
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        SCOPED_TRACE(texts[i]);
        const long long day = Day(2027, 1, 5 + static_cast<int>(i));
        const std::string uid = MilestoneUid(day, texts[i]);
        const ServerEvent event = ReadCalendarObject(SharedCalendarObject(uid, day, texts[i], kStamp, false));
        EXPECT_EQ(event.kind, ServerEventKind::Milestone);
        EXPECT_EQ(event.uid, uid);
        EXPECT_EQ(event.day, day);
        EXPECT_EQ(event.text, Utf8Text(texts[i]));
    }
}

} // namespace
} // namespace kestrel
