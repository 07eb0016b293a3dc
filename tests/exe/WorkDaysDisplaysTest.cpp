// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Countdown.h"
#include "DateAt.h"
#include "DateCalculation.h"
#include "DeskCalendarModel.h"
#include "HolidayCalendars.h"
#include "Holidays.h"
#include "Milestones.h"
#include "ProgramSettings.h"
#include "QtPrinters.h"
#include "ReportComposer.h"
#include "ReportRows.h"
#include "SaverSettings.h"
#include "ScopedEnvironment.h"
#include "Settings.h"
#include "StatusProgram.h"
#include "TempDir.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <chrono>

namespace kestrel::test {
namespace {

// One settings file with holidays on, read by every display: a Monday-to-Friday week, Friday
// 24 December 1999 a holiday (from an iCalendar file through the cache), target Monday
// 10 January 2000 in work days.
class WorkDaysDisplaysTest : public ::testing::Test
{
protected:
    WorkDaysDisplaysTest()
    {
        WriteFile(dir / "holidays.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
                                        "BEGIN:VEVENT\r\nUID:1\r\nDTSTART;VALUE=DATE:19991224\r\n"
                                        "SUMMARY:Christmas Eve\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
        WriteFile(settingsPath, "[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=10\n"
                                "Target_Type=WorkDays\nCaption_option=dd:hh:mm:ss\n[Work Days]\nUse Holidays=True\n"
                                "Holiday FileCount=1\nHoliday File1=" +
                                    (dir / "holidays.ics").string() + "\n");
        const std::vector<std::string> problems =
            BuildHolidayCache(HolidayCachePath(settingsPath), {dir / "holidays.ics"});
        EXPECT_TRUE(problems.empty());
        settings = LoadProgramSettings(SettingsFile(settingsPath), dir.path());
    }

    TempDir dir;
    ScopedEnvironment cache{"XDG_CACHE_HOME", (dir / "cache").string()};
    std::filesystem::path settingsPath = dir / "KESTREL.INI";
    ProgramSettings settings;
};

TEST_F(WorkDaysDisplaysTest, CountdownCalendarReportCalculatorSaverAndStatusAgree)
{
    const DateValue now = At(1999, 12, 23, 10);
    // The countdown: the work days after today (24 December is a holiday), then the rest of today.
    EXPECT_EQ(ComputeCountdown(now, settings).Line, "T-10:13:59:60");
    EXPECT_EQ(StatusText(StatusFormat::Line, settings, now), "T-10:13:59:60\n");
    const saver::SaverSettings saverSettings = saver::LoadSaverSettings(SettingsFile(settingsPath));
    const std::optional<CountdownBreakdown> saver = saver::SaverCountdown(now, saverSettings);
    ASSERT_TRUE(saver);
    EXPECT_EQ(saver->TotalDays, 10);

    // The calculator: work days from today up to the target, today included.
    EXPECT_EQ(CalculateInterval("WorkDays", At(1999, 12, 23), At(2000, 1, 10), settings.workDayRule()), "11 WorkDays");

    // The desk calendar: today counts -11, the holiday shows its name and no count.
    const CalendarTarget target = CalendarTargetFrom(settings.TargetYear, settings.TargetMonth, settings.TargetDay,
                                                     settings.TargetType, settings.workCalendar);
    const MonthGrid december = FillMonth({1999, 12}, target, MilestoneTable{}, now);
    const auto cellOf = [&december](int day) {
        for (const DayCell& cell : december.cells) {
            if (cell.day == day) {
                return cell;
            }
        }
        return DayCell{};
    };
    EXPECT_EQ(cellOf(23).count, std::optional<std::int16_t>(-11));
    EXPECT_FALSE(cellOf(24).count);
    EXPECT_EQ(cellOf(24).holiday, "Christmas Eve");
    EXPECT_EQ(cellOf(27).count, std::optional<std::int16_t>(-10));
    EXPECT_EQ(december.todayCaption, std::optional<std::string>("T-11 WorkDays Countdown Calendar"));

    // The report: the same counts, the holiday's name beside the milestone and no count.
    MilestoneTable milestones;
    milestones.PutMilestone(0, PackDate(1999, 12, 24), "Release");
    ReportDocument document(PreviewGeometry(QLocale(QLocale::English, QLocale::UnitedStates)));
    ReportComposer composer(document, ReportInputsOf(settings, milestones));
    composer.ComposeReport(1999, 12);
    const QStringList page = RowsOf(document, 1);
    EXPECT_TRUE(page.contains(QStringLiteral("-11|Dec 23, 1999|Thursday|"))) << page.join('\n').toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("|Dec 24, 1999|Friday|Release; Christmas Eve")));
    EXPECT_TRUE(page.contains(QStringLiteral("-10|Dec 27, 1999|Monday|")));
    EXPECT_EQ(RowsOf(document, 2).last(), QStringLiteral("0|Jan 10, 2000|Monday|"));
}

TEST_F(WorkDaysDisplaysTest, OffEveryDisplayCountsAsBefore)
{
    settings.UseHolidays = "False";
    LoadWorkCalendar(settings, settingsPath);
    const DateValue now = At(1999, 12, 23, 10);
    EXPECT_EQ(ComputeCountdown(now, settings).Line, "T-11:13:59:60");
    EXPECT_EQ(CalculateInterval("WorkDays", At(1999, 12, 23), At(2000, 1, 10), settings.workDayRule()),
              CalculateInterval("WorkDays", At(1999, 12, 23), At(2000, 1, 10)));
    const MonthGrid december =
        FillMonth({1999, 12},
                  CalendarTargetFrom(settings.TargetYear, settings.TargetMonth, settings.TargetDay, settings.TargetType,
                                     settings.workCalendar),
                  MilestoneTable{}, now);
    const MonthGrid older = FillMonth(
        {1999, 12}, CalendarTargetFrom(settings.TargetYear, settings.TargetMonth, settings.TargetDay, "WorkDays"),
        MilestoneTable{}, now);
    for (std::size_t i = 0; i < december.cells.size(); ++i) {
        EXPECT_EQ(december.cells[i].count, older.cells[i].count) << i;
        EXPECT_TRUE(december.cells[i].holiday.empty());
    }
}

// Holiday calendars as feeds and calendar programs write them.
std::string Calendar(const std::string& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + events + "END:VCALENDAR\r\n";
}

std::string Event(const std::string& lines)
{
    return "BEGIN:VEVENT\r\nUID:" + std::to_string(std::hash<std::string>{}(lines)) + "\r\n" + lines + "END:VEVENT\r\n";
}

long long Day(int y, int m, int d)
{
    return DayOf(PackDate(y, m, d));
}

struct CalendarCase
{
    const char* what;
    std::string events;
    std::vector<long long> days;
};

TEST(HolidayCalendarTest, ReadsAllDayEventsRulesExceptionsAndSpans)
{
    const std::vector<CalendarCase> cases = {
        // clang-format off
        {"single dates", Event("DTSTART;VALUE=DATE:19991225\r\nSUMMARY:Christmas Day\r\n") + Event("DTSTART;VALUE=DATE:19991226\r\nSUMMARY:Boxing Day\r\n"), {Day(1999, 12, 25), Day(1999, 12, 26)}},
        {"a yearly rule with a count", Event("DTSTART;VALUE=DATE:19991225\r\nRRULE:FREQ=YEARLY;COUNT=3\r\nSUMMARY:Christmas Day\r\n"), {Day(1999, 12, 25), Day(2000, 12, 25), Day(2001, 12, 25)}},
        {"a yearly rule with an exception", Event("DTSTART;VALUE=DATE:19991226\r\nRRULE:FREQ=YEARLY;UNTIL=20021231\r\nEXDATE;VALUE=DATE:20001226\r\nSUMMARY:Boxing Day\r\n"), {Day(1999, 12, 26), Day(2001, 12, 26), Day(2002, 12, 26)}},
        {"a multi-day event ends before DTEND", Event("DTSTART;VALUE=DATE:19991227\r\nDTEND;VALUE=DATE:19991230\r\nSUMMARY:Break\r\n"), {Day(1999, 12, 27), Day(1999, 12, 28), Day(1999, 12, 29)}},
        {"an event with a time of day is no holiday", Event("DTSTART:19991224T090000Z\r\nSUMMARY:Meeting\r\n"), {}},
        {"a rule more often than daily is ignored", Event("DTSTART;VALUE=DATE:20000103\r\nRRULE:FREQ=HOURLY\r\nSUMMARY:Odd\r\n"), {Day(2000, 1, 3)}},
        {"single dates count to 9999", Event("DTSTART;VALUE=DATE:99991231\r\nSUMMARY:Last\r\n") + Event("DTSTART;VALUE=DATE:18500101\r\nSUMMARY:Early\r\n"), {Day(1850, 1, 1), Day(9999, 12, 31)}},
        // clang-format on
    };
    for (const CalendarCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<std::vector<Holiday>> holidays = ReadHolidayCalendarText(Calendar(c.events));
        ASSERT_TRUE(holidays);
        std::vector<long long> days;
        for (const Holiday& holiday : *holidays) {
            days.push_back(holiday.day);
        }
        EXPECT_EQ(days, c.days);
    }
}

TEST(HolidayCalendarTest, ARuleWithoutEndStopsWhereLibicalEndsAndAtTheLimit)
{
    const auto start = std::chrono::steady_clock::now();
    const auto yearly =
        ReadHolidayCalendarText(Calendar(Event("DTSTART;VALUE=DATE:20001225\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:X\r\n")));
    ASSERT_TRUE(yearly);
    ASSERT_FALSE(yearly->empty());
    EXPECT_EQ(Year(DateValue{static_cast<double>(yearly->back().day)}), 2582);
    const auto daily =
        ReadHolidayCalendarText(Calendar(Event("DTSTART;VALUE=DATE:20000101\r\nRRULE:FREQ=DAILY\r\nSUMMARY:X\r\n")));
    ASSERT_TRUE(daily);
    EXPECT_EQ(daily->size(), kMaxHolidaysPerCalendar);
    const auto minutely =
        ReadHolidayCalendarText(Calendar(Event("DTSTART;VALUE=DATE:20000101\r\nRRULE:FREQ=SECONDLY\r\nSUMMARY:X\r\n")));
    ASSERT_TRUE(minutely);
    EXPECT_EQ(minutely->size(), 1U);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << "no walk without end";
}

// Rules that match few days are slow to work out; a file of them is cut short, not waited for.
TEST(HolidayCalendarTest, RulesThatTakeTooLongAreCutShort)
{
    std::string events;
    for (int i = 0; i < 40; ++i) {
        events += Event("DTSTART;VALUE=DATE:20000101\r\nRRULE:FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30\r\nSUMMARY:X\r\n");
    }
    const auto start = std::chrono::steady_clock::now();
    bool cutShort = false;
    ASSERT_TRUE(ReadHolidayCalendarText(Calendar(events), &cutShort));
    EXPECT_LT(std::chrono::steady_clock::now() - start, kHolidayRuleTime + std::chrono::seconds(3));
}

TEST(HolidayCalendarTest, ADamagedFileCountsAsAbsentWithOneMessage)
{
    TempDir dir;
    WriteFile(dir / "good.ics", Calendar(Event("DTSTART;VALUE=DATE:19991224\r\nSUMMARY:Eve\r\n")));
    WriteFile(dir / "bad.ics", "this is no calendar\n");
    const std::filesystem::path cache = dir / "cache.txt";
    const std::vector<std::string> problems =
        BuildHolidayCache(cache, {dir / "good.ics", dir / "bad.ics", dir / "missing.ics"});
    ASSERT_EQ(problems.size(), 2U);
    EXPECT_NE(problems[0].find("bad.ics"), std::string::npos);
    EXPECT_NE(problems[1].find("missing.ics"), std::string::npos);
    const auto read = ReadHolidayCache(cache);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, (std::vector<Holiday>{{Day(1999, 12, 24), "Eve"}}));
    EXPECT_FALSE(HolidayCacheOutOfDate(cache, {dir / "good.ics"}));
    EXPECT_TRUE(HolidayCacheOutOfDate(dir / "none.txt", {dir / "good.ics"}));
}

} // namespace
} // namespace kestrel::test
