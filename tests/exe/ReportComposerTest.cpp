// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportComposer.h"

#include "Countdown.h"
#include "DeskCalendarModel.h"
#include "Milestones.h"
#include "ProgramSettings.h"
#include "QtPrinters.h"
#include "ReportRows.h"
#include "RuntimeError.h"

#include <QDate>
#include <QLocale>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

class ReportComposerTest : public ::testing::Test
{
protected:
    ReportComposerTest() : document(PreviewGeometry(QLocale(QLocale::English, QLocale::UnitedStates))) {}

    // Composes from the 1st of the month with the target 1 January 2000 unless set otherwise.
    ReportComposer& Compose(int year, int month)
    {
        composer = std::make_unique<ReportComposer>(document, ReportInputsOf(settings, milestones));
        composer->ComposeReport(year, month);
        return *composer;
    }

    void Milestone(int year, int month, int day, const char* text)
    {
        milestones.PutMilestone(0, PackDate(year, month, day), text);
    }

    ProgramSettings settings; // target 1 January 2000, days
    MilestoneTable milestones;
    ReportDocument document;
    std::unique_ptr<ReportComposer> composer;
};

TEST_F(ReportComposerTest, DaysModeCountsEveryDayToTheTarget)
{
    settings.ProjectTitle.clear();
    const ReportComposer& report = Compose(1999, 12);
    EXPECT_EQ(report.pageNumber(), 2);
    EXPECT_EQ(document.pageCount(), 2);
    EXPECT_EQ(PageLabel(1, report.pageNumber()), QStringLiteral("Page 1 of 2"));

    const QStringList page1 = RowsOf(document, 1);
    ASSERT_EQ(page1.size(), 2 + 31) << page1.join('\n').toStdString();
    EXPECT_EQ(page1[0], QStringLiteral("Countdown to January 1,2000"));
    EXPECT_EQ(page1[1], QStringLiteral("Days|Date|December 1999|Notes/Milestones"));
    EXPECT_EQ(page1[2], QStringLiteral("-31|Dec 01, 1999|Wednesday|"));
    EXPECT_EQ(page1[3], QStringLiteral("-30|Dec 02, 1999|Thursday|"));
    EXPECT_EQ(page1[6], QStringLiteral("-27|Dec 05, 1999|Sunday|")) << "weekends count in days mode";
    EXPECT_EQ(page1.back(), QStringLiteral("-1|Dec 31, 1999|Friday|"));

    EXPECT_EQ(RowsOf(document, 2),
              (QStringList{"Countdown to January 1,2000", "Days|Date|January 2000|Notes/Milestones",
                           "0|Jan 01, 2000|Saturday|"}));
}

TEST_F(ReportComposerTest, WorkDaysModeLeavesWeekendsUncounted)
{
    settings.TargetType = "WorkDays";
    settings.ProjectTitle.clear();
    const ReportComposer& report = Compose(1999, 12);
    EXPECT_TRUE(report.workDays());
    EXPECT_EQ(report.pageNumber(), 2);

    const QStringList page1 = RowsOf(document, 1);
    ASSERT_EQ(page1.size(), 2 + 31);
    EXPECT_EQ(page1[1], QStringLiteral("WorkDays|Date|December 1999|Notes/Milestones"));
    EXPECT_EQ(page1[2], QStringLiteral("-23|Dec 01, 1999|Wednesday|"));
    EXPECT_EQ(page1[4], QStringLiteral("-21|Dec 03, 1999|Friday|"));
    EXPECT_EQ(page1[5], QStringLiteral("|Dec 04, 1999|Saturday|"));
    EXPECT_EQ(page1[6], QStringLiteral("|Dec 05, 1999|Sunday|"));
    EXPECT_EQ(page1[7], QStringLiteral("-20|Dec 06, 1999|Monday|"));
    EXPECT_EQ(page1.back(), QStringLiteral("-1|Dec 31, 1999|Friday|"));

    EXPECT_EQ(RowsOf(document, 2).mid(2),
              (QStringList{"|Jan 01, 2000|Saturday|", "|Jan 02, 2000|Sunday|", "0|Jan 03, 2000|Monday|"}));
}

// The desk calendar, the report and the countdown line count with one day-type rule: only the
// exact text "WorkDays" counts work days. 16 December 1999 to 1 January 2000.
TEST_F(ReportComposerTest, EveryDisplayCountsWithTheSameDayTypeRule)
{
    // clang-format off
    const struct { const char* type; int count; } cases[] = {
        {"WorkDays", -12},
        {"Days", -16},
        {"workdays", -16},
        {"WORKDAYS", -16},
        {"days", -16},
        {"Weekdays", -16},
        {"", -16},
    };
    // clang-format on
    const DateValue today = PackDateTime(1999, 12, 16, 10, 0, 0);
    settings.ProjectTitle.clear();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        settings.TargetType = c.type;
        const MonthGrid grid =
            FillMonth({1999, 12}, CalendarTargetFrom("2000", "1", "1", c.type), MilestoneTable{}, today);
        EXPECT_EQ(grid.cells[18].count, c.count) << "the calendar's cell of the 16th";

        Compose(1999, 12);
        const QStringList page1 = RowsOf(document, 1);
        ASSERT_GT(page1.size(), 17);
        EXPECT_EQ(page1[17], QStringLiteral("%1|Dec 16, 1999|Thursday|").arg(c.count)) << "the report's row";

        EXPECT_EQ(ComputeCountdown(today, "2000", "1", "1", c.type, "dd").TotalDays, -c.count - 1)
            << "the countdown line counts whole days after today";
    }
}

TEST_F(ReportComposerTest, StartsAndTargetsAtTheEdges)
{
    const struct
    {
        const char* type;
        int targetYear, targetMonth, targetDay;
        int startYear, startMonth;
        int pages;
        const char* firstRow; // the first row of page 1
        const char* lastRow;  // the last row of the last page
    } cases[] = {
        // The target on the 1st of the start month: one page, one row.
        {"Days", 2000, 1, 1, 2000, 1, 1, "0|Jan 01, 2000|Saturday|", "0|Jan 01, 2000|Saturday|"},
        // A Sunday 1st in work days counts from the Monday.
        {"WorkDays", 2000, 10, 9, 2000, 10, 1, "|Oct 01, 2000|Sunday|", "0|Oct 09, 2000|Monday|"},
        // A target on a Saturday in work days ends on the Monday after it, a month later.
        {"WorkDays", 2000, 9, 30, 2000, 9, 2, "-21|Sep 01, 2000|Friday|", "0|Oct 02, 2000|Monday|"},
        // Only the exact day type "WorkDays" counts work days; any other text counts calendar days.
        {"workdays", 2000, 1, 10, 2000, 1, 1, "-9|Jan 01, 2000|Saturday|", "0|Jan 10, 2000|Monday|"},
        {"days", 2000, 1, 10, 2000, 1, 1, "-9|Jan 01, 2000|Saturday|", "0|Jan 10, 2000|Monday|"},
        // A year's report: twelve pages and a thirteenth for the target day.
        {"Days", 2001, 1, 1, 2000, 1, 13, "-366|Jan 01, 2000|Saturday|", "0|Jan 01, 2001|Monday|"},
        // The last day a date can hold, a Friday, ends the report as any target does.
        {"Days", 9999, 12, 31, 9999, 12, 1, "-30|Dec 01, 9999|Wednesday|", "0|Dec 31, 9999|Friday|"},
        {"WorkDays", 9999, 12, 31, 9999, 11, 2, "-44|Nov 01, 9999|Monday|", "0|Dec 31, 9999|Friday|"},
        {"Days", 9999, 12, 31, 9910, 5, 1076, "-32751|May 01, 9910|Sunday|", "0|Dec 31, 9999|Friday|"},
    };
    for (const auto& c : cases) {
        settings.TargetType = c.type;
        settings.TargetYear = std::to_string(c.targetYear);
        settings.TargetMonth = std::to_string(c.targetMonth);
        settings.TargetDay = std::to_string(c.targetDay);
        const ReportComposer& report = Compose(c.startYear, c.startMonth);
        const std::string label = std::string(c.type) + " start " + std::to_string(c.startMonth);
        ASSERT_EQ(report.pageNumber(), c.pages) << label;
        ASSERT_EQ(document.pageCount(), c.pages) << label;
        EXPECT_EQ(RowsOf(document, 1).at(3), QString::fromUtf8(c.firstRow)) << label;
        EXPECT_EQ(RowsOf(document, c.pages).back(), QString::fromUtf8(c.lastRow)) << label;
    }
}

TEST_F(ReportComposerTest, AStartAfterTheTargetWritesNothing)
{
    const ReportComposer& report = Compose(2000, 2);
    EXPECT_EQ(report.pageNumber(), 0);
    EXPECT_EQ(document.pageCount(), 0);
    EXPECT_EQ(PageLabel(1, report.pageNumber()), QStringLiteral("Page 1 of 0"));
}

TEST_F(ReportComposerTest, CountsStayWithinSixteenBits)
{
    // The longest report before 1 January 2000 starts in May 1910: 1077 pages.
    ReportComposer& longest = Compose(1910, 5);
    EXPECT_EQ(longest.pageNumber(), 1077);
    EXPECT_EQ(RowsOf(document, 1).at(3), QStringLiteral("-32752|May 01, 1910|Sunday|"));

    try {
        Compose(1910, 4); // 32782 days
        FAIL() << "a count below -32768 must overflow";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeError::Overflow);
    }
    EXPECT_EQ(document.pageCount(), 0);
    EXPECT_FALSE(document.isOpen());
}

TEST_F(ReportComposerTest, MilestonesAreWrittenBesideTheirDays)
{
    settings.TargetYear = "2000";
    settings.TargetMonth = "3";
    settings.TargetDay = "1";
    Milestone(1999, 11, 20, "Before the report"); // before the start month
    Milestone(2000, 2, 29, "Leap day go-live");
    Milestone(1999, 12, 31, "Freeze; no changes | none");
    Milestone(1999, 12, 31, "Second note on the same day");
    Milestone(2000, 1, 3, "Line one\nline two");
    milestones.append({" 36530x", "Key that is no number", false});
    Compose(1999, 12);
    ASSERT_EQ(document.pageCount(), 4);

    const QStringList december = RowsOf(document, 1);
    EXPECT_EQ(december.back(), QStringLiteral("-61|Dec 31, 1999|Friday|Freeze; no changes | none"));
    EXPECT_FALSE(december.join('\n').contains("Before the report"));
    const QStringList january = RowsOf(document, 2);
    EXPECT_EQ(january.at(5), QStringLiteral("-58|Jan 03, 2000|Monday|Line one"));
    EXPECT_EQ(january.at(6), QStringLiteral("|||line two"));
    EXPECT_EQ(january.at(7), QStringLiteral("-57|Jan 04, 2000|Tuesday|"));
    EXPECT_EQ(RowsOf(document, 3).back(), QStringLiteral("-1|Feb 29, 2000|Tuesday|Leap day go-live"));
    EXPECT_FALSE(RowsOf(document, 3).join('\n').contains("no number"));
}

TEST_F(ReportComposerTest, HeadingsAndFontSizes)
{
    settings.ProjectTitle = "Payroll Migration";
    settings.TargetMonth = "2";
    Compose(1999, 12);
    ASSERT_EQ(document.pageCount(), 3);
    EXPECT_EQ(RowsOf(document, 2).mid(0, 3), (QStringList{"Payroll Migration", "Countdown to February 1,2000",
                                                          "Days|Date|January 2000|Notes/Milestones"}));
    EXPECT_EQ(SizeOf(document, 1, "Payroll Migration"), 12);
    EXPECT_EQ(SizeOf(document, 1, "Countdown to February 1,2000"), 10);
    EXPECT_EQ(SizeOf(document, 1, "December 1999"), 10);
    EXPECT_EQ(SizeOf(document, 1, "Dec 01, 1999"), 13) << "the rows of a full month";
    EXPECT_EQ(SizeOf(document, 3, "Feb 01, 2000"), 8) << "the rows of the last month";
    for (const PlacedText& text : document.page(1).texts) {
        const ReportFont& font = document.fonts()[static_cast<std::size_t>(text.font)];
        EXPECT_EQ(font.bold, text.box.top() < document.page(1).texts[6].box.top()) << text.text.toStdString();
        EXPECT_FALSE(font.italic);
    }

    settings.ProjectTitle.clear();
    Compose(1999, 12);
    EXPECT_EQ(SizeOf(document, 1, "Countdown to February 1,2000"), 12);
}

TEST_F(ReportComposerTest, EveryMonthFitsOnePageWithoutWrapping)
{
    // The widest texts: September headers, 31 rows of 13 points, on Letter and on A4.
    settings.TargetYear = "2001";
    settings.ProjectTitle = "A long project title for the report heading";
    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German)}) {
        ReportDocument paper(PreviewGeometry(locale));
        ReportComposer report(paper, ReportInputsOf(settings, milestones));
        report.ComposeReport(2000, 1);
        ASSERT_EQ(paper.pageCount(), 13);
        for (int number = 1; number <= 13; ++number) {
            const QStringList rows = RowsOf(paper, number);
            const int days = number == 13 ? 1 : QDate(2000, number, 1).daysInMonth();
            EXPECT_EQ(rows.size(), 3 + days) << "page " << number;
        }
    }
}

} // namespace
} // namespace kestrel::test
