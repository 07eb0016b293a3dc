// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeskCalendar.h"
#include "DeskCalendarWidgets.h"
#include "Holidays.h"
#include "OptionsDialog.h"
#include "OptionsPages.h"
#include "ProgramFixture.h"
#include "ScopedEnvironment.h"
#include "WorkDaysOptions.h"
#include "WorkDaysSetup.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace kestrel::test {
namespace {

class WorkDaysOptionsTest : public ProgramFixture
{
protected:
    void TearDown() override
    {
        options.reset();
        ProgramFixture::TearDown();
    }

    WorkDaysOptionsGroup& Open()
    {
        if (!toolbar) {
            StartToolbar();
        }
        options = std::make_unique<OptionsDialog>(*program);
        return *options->morePage()->workDaysGroup();
    }

    void Apply() { options->button(OptionsDialog::Button::Apply)->click(); }

    ScopedEnvironment cache{"XDG_CACHE_HOME", (dir / "cache").string()};
    std::unique_ptr<OptionsDialog> options;
};

TEST_F(WorkDaysOptionsTest, ApplyStoresTheWorkDaysAndBuildsTheHolidayCache)
{
    WriteSettings("[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=10\nTarget_Type=WorkDays\n");
    WriteFile(dir / "holidays.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//EN\r\nBEGIN:VEVENT\r\nUID:1\r\n"
                                    "DTSTART;VALUE=DATE:19991224\r\nSUMMARY:Christmas Eve\r\nEND:VEVENT\r\n"
                                    "END:VCALENDAR\r\n");
    WorkDaysOptionsGroup& group = Open();
    EXPECT_FALSE(group.useHolidaysBox()->isChecked());
    EXPECT_FALSE(group.holidayFilesEdit()->isEnabled()) << "the choices wait for the box";
    for (int day = 0; day < 7; ++day) {
        EXPECT_EQ(group.weekdayBox(day)->isChecked(), day < 5) << day;
    }
    group.useHolidaysBox()->setChecked(true);
    EXPECT_TRUE(group.holidayFilesEdit()->isEnabled());
    group.weekdayBox(4)->setChecked(false); // Friday
    group.weekdayBox(6)->setChecked(true);  // Sunday
    group.holidayFilesEdit()->setPlainText(QString::fromStdString((dir / "holidays.ics").string()) + "\n\n");
    Apply();

    EXPECT_EQ(Setting("Work Days", "Use Holidays"), "True");
    EXPECT_EQ(Setting("Work Days", "Working Week"), "Mon Tue Wed Thu Sun");
    EXPECT_EQ(Setting("Work Days", "Holiday FileCount"), "1");
    EXPECT_EQ(Setting("Work Days", "Holiday File1"), (dir / "holidays.ics").string());
    EXPECT_EQ(Setting("Work Days", "Holiday Feed"), "<missing>");
    const WorkCalendar& rule = program->ProgramSettings.workDayRule();
    ASSERT_TRUE(rule.usesHolidays());
    ASSERT_TRUE(rule.holidayOn(DayOf(PackDate(1999, 12, 24))));
    EXPECT_EQ(*rule.holidayOn(DayOf(PackDate(1999, 12, 24))), "Christmas Eve");
    EXPECT_TRUE(std::filesystem::exists(HolidayCachePath(settingsPath())));
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("|").toStdString();

    // The dialog opened again shows what was stored.
    WorkDaysOptionsGroup& again = Open();
    EXPECT_TRUE(again.useHolidaysBox()->isChecked());
    EXPECT_FALSE(again.weekdayBox(4)->isChecked());
    EXPECT_TRUE(again.weekdayBox(6)->isChecked());
    EXPECT_EQ(again.holidayFilesEdit()->toPlainText(), QString::fromStdString((dir / "holidays.ics").string()));
}

TEST_F(WorkDaysOptionsTest, ADamagedCalendarIsSaidOnceAndCountsAsAbsent)
{
    WriteFile(dir / "damaged.ics", "no calendar\n");
    WorkDaysOptionsGroup& group = Open();
    group.useHolidaysBox()->setChecked(true);
    group.holidayFilesEdit()->setPlainText(QString::fromStdString((dir / "damaged.ics").string()));
    Apply();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("damaged.ics")) << dialogs.messages()[0].toStdString();
    EXPECT_TRUE(program->ProgramSettings.workDayRule().usesHolidays());
    EXPECT_TRUE(program->ProgramSettings.workDayRule().holidays().empty());
}

TEST_F(WorkDaysOptionsTest, TheDeskCalendarMarksAHolidayAndNamesIt)
{
    WriteSettings("[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=10\nTarget_Type=WorkDays\n"
                  "[Work Days]\nUse Holidays=True\nHoliday FileCount=1\nHoliday File1=" +
                  (dir / "holidays.ics").string() + "\n");
    WriteFile(dir / "holidays.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//EN\r\nBEGIN:VEVENT\r\nUID:1\r\n"
                                    "DTSTART;VALUE=DATE:19991224\r\nSUMMARY:Christmas Eve\r\nEND:VEVENT\r\n"
                                    "END:VCALENDAR\r\n");
    StartToolbar();
    RefreshWorkDays(*program, false);
    program->calendarMonth = {1999, 12};
    auto* calendar = new DeskCalendar(*program);
    const auto cellOf = [calendar](int day) {
        for (int i = 0; i < kGridCells; ++i) {
            if (calendar->grid().cells[static_cast<std::size_t>(i)].day == day) {
                return calendar->cell(i);
            }
        }
        return static_cast<CalendarDayCell*>(nullptr);
    };
    const CalendarDayCell* holiday = cellOf(24);
    ASSERT_NE(holiday, nullptr);
    EXPECT_TRUE(holiday->dayLabel()->toolTip().contains("Christmas Eve"))
        << holiday->dayLabel()->toolTip().toStdString();
    EXPECT_EQ(holiday->accessibleDescription(), "Christmas Eve");
    EXPECT_TRUE(holiday->countLabel()->isHidden());
    EXPECT_TRUE(holiday->property("holiday").toBool());
    EXPECT_TRUE(holiday->styleSheet().contains(holiday->palette().color(QPalette::Highlight).name()));
    EXPECT_EQ(cellOf(23)->countLabel()->text(), "-11");
    EXPECT_FALSE(cellOf(23)->property("holiday").toBool());
    calendar->close();
}

TEST_F(WorkDaysOptionsTest, AtStartADamagedOrOutdatedCacheIsBuiltAgainFromTheCalendars)
{
    WriteSettings("[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=10\nTarget_Type=WorkDays\n"
                  "[Work Days]\nUse Holidays=True\nHoliday FileCount=1\nHoliday File1=" +
                  (dir / "holidays.ics").string() + "\n");
    WriteFile(dir / "holidays.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//EN\r\nBEGIN:VEVENT\r\nUID:1\r\n"
                                    "DTSTART;VALUE=DATE:19991224\r\nSUMMARY:Christmas Eve\r\nEND:VEVENT\r\n"
                                    "END:VCALENDAR\r\n");
    const std::filesystem::path cache = HolidayCachePath(settingsPath());
    std::filesystem::create_directories(cache.parent_path());
    WriteFile(cache, "damaged");
    program->ProgramSettings = LoadProgramSettings(program->settings, program->dataDirectory);
    EXPECT_FALSE(program->ProgramSettings.workDaysProblem.empty());
    RefreshWorkDays(*program, false);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("|").toStdString();
    EXPECT_TRUE(program->ProgramSettings.workDayRule().holidayOn(DayOf(PackDate(1999, 12, 24))));

    // A calendar changed after the cache was built is read again.
    WriteFile(dir / "holidays.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//EN\r\nBEGIN:VEVENT\r\nUID:1\r\n"
                                    "DTSTART;VALUE=DATE:19991227\r\nSUMMARY:Moved\r\nEND:VEVENT\r\n"
                                    "END:VCALENDAR\r\n");
    RefreshWorkDays(*program, false);
    EXPECT_FALSE(program->ProgramSettings.workDayRule().holidayOn(DayOf(PackDate(1999, 12, 24))));
    EXPECT_TRUE(program->ProgramSettings.workDayRule().holidayOn(DayOf(PackDate(1999, 12, 27))));
}

struct FeedAddressCase
{
    const char* url;
    bool allowed;
};

TEST(HolidayFeedTest, OnlyHttpsOrHttpOnThisComputerIsFetched)
{
    // clang-format off
    const FeedAddressCase cases[] = {
        {"https://example.org/holidays.ics", true},
        {"http://127.0.0.1:8000/holidays.ics", true},
        {"http://127.8.9.10/h.ics", true},
        {"http://[::1]:8000/h.ics", true},
        {"http://localhost/h.ics", true},
        {"http://example.org/holidays.ics", false},
        {"http://192.168.1.10/h.ics", false},
        {"ftp://example.org/h.ics", false},
        {"file:///etc/passwd", false},
        {"holidays.ics", false},
        {"", false},
    };
    // clang-format on
    for (const FeedAddressCase& c : cases) {
        EXPECT_EQ(HolidayFeedAllowed(QString::fromLatin1(c.url)), c.allowed) << c.url;
    }
}

TEST_F(WorkDaysOptionsTest, UnchangedOptionsAddNoWorkDaysKeys)
{
    WriteSettings("[Target Date]\nTarget_Year=2000\n");
    Open();
    Apply();
    EXPECT_EQ(ReadSettings().find("Work Days"), std::string::npos) << ReadSettings();
}

} // namespace
} // namespace kestrel::test
