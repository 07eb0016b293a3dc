// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "BreakdownDisplay.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// Two years and one day (732 days in all), 8:39:15 left; total hours 17576.
CountdownBreakdown Sample()
{
    CountdownBreakdown b;
    b.TotalDays = 732;
    b.YearsPart = 2;
    b.DaysPart = 1;
    b.HoursPart = 8;
    b.MinutesPart = 39;
    b.SecondsPart = 15;
    return b;
}

// The unit texts as the settings reader gives them with no settings file.
UnitTexts DefaultTexts()
{
    return ProgramSettings{}.unitTexts;
}

// A column as "caption=number", "-" when hidden.
std::string Describe(const BreakdownColumn& column)
{
    if (!column.numberVisible) {
        return column.captionVisible ? "caption without number" : "-";
    }
    return (column.captionVisible ? column.caption : std::string("(no caption)")) + "=" + column.number;
}

struct FormatCase
{
    const char* format;
    std::array<const char*, 5> columns;
};

class ColumnsByFormat : public ::testing::TestWithParam<FormatCase>
{};

TEST_P(ColumnsByFormat, ShowTheUnitsOfTheFormatFromTheLeft)
{
    const FormatCase& c = GetParam();
    const BreakdownColumns columns = showCountdown(c.format, Sample(), DefaultTexts(), true);
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(Describe(columns[k]), c.columns[k]) << c.format << " column " << k + 1;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    TwelveFormats, ColumnsByFormat,
    ::testing::Values(
        FormatCase{"yy", {" Years=2", "-", "-", "-", "-"}},
        FormatCase{"yy:dd", {" Years=2", "Days=1", "-", "-", "-"}},
        FormatCase{"yy:dd:hh", {" Years=2", "Days=1", " Hours=8", "-", "-"}},
        FormatCase{"yy:dd:hh:mm", {" Years=2", "Days=1", " Hours=8", " Minutes=39", "-"}},
        FormatCase{"yy:dd:hh:mm:ss", {" Years=2", "Days=1", " Hours=8", " Minutes=39", " Seconds=15"}},
        FormatCase{"dd", {"Days=732", "-", "-", "-", "-"}},
        FormatCase{"dd:hh", {"Days=732", " Hours=8", "-", "-", "-"}},
        FormatCase{"dd:hh:mm", {"Days=732", " Hours=8", " Minutes=39", "-", "-"}},
        FormatCase{"dd:hh:mm:ss", {"Days=732", " Hours=8", " Minutes=39", " Seconds=15", "-"}},
        FormatCase{"hh", {" Hours=17576", "-", "-", "-", "-"}},
        FormatCase{"hh:mm", {" Hours=17576", " Minutes=39", "-", "-", "-"}},
        FormatCase{"hh:mm:ss", {" Hours=17576", " Minutes=39", " Seconds=15", "-", "-"}}));
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    OtherFormatsGoByFamilyAndLength, ColumnsByFormat,
    ::testing::Values(
        FormatCase{"yyy", {" Years=2", "-", "-", "-", "-"}},
        FormatCase{"yy:dd:", {" Years=2", "Days=1", " Hours=8", "-", "-"}},
        FormatCase{"yyyyyyyyyy", {" Years=2", "Days=1", " Hours=8", " Minutes=39", "-"}},
        FormatCase{"ddd", {"Days=732", "-", "-", "-", "-"}},
        FormatCase{"ddxxxxxxxx", {"Days=732", " Hours=8", " Minutes=39", " Seconds=15", "-"}},
        FormatCase{"ab:cd", {" Hours=17576", " Minutes=39", "-", "-", "-"}},
        FormatCase{"YY:DD", {" Hours=17576", " Minutes=39", "-", "-", "-"}},
        FormatCase{"", {" Hours=17576", "-", "-", "-", "-"}},
        FormatCase{"mm:ss:xx", {" Hours=17576", " Minutes=39", " Seconds=15", "-", "-"}}));
// clang-format on

TEST(BreakdownDisplayTest, HiddenCaptionsLeaveTheNumbers)
{
    const BreakdownColumns columns = showCountdown("dd:hh", Sample(), DefaultTexts(), false);
    EXPECT_EQ(Describe(columns[0]), "(no caption)=732");
    EXPECT_EQ(Describe(columns[1]), "(no caption)=8");
    EXPECT_EQ(Describe(columns[2]), "-");
}

TEST(BreakdownDisplayTest, NegativeValuesAfterTheTarget)
{
    CountdownBreakdown after;
    after.TotalDays = -1;
    after.DaysPart = -1;
    after.HoursPart = -10;
    after.MinutesPart = -30;
    after.SecondsPart = -15;
    const BreakdownColumns columns = showCountdown("hh:mm:ss", after, DefaultTexts(), true);
    EXPECT_EQ(columns[0].number, "-34");
    EXPECT_EQ(columns[1].number, "-30");
    EXPECT_EQ(columns[2].number, "-15");
}

TEST(BreakdownDisplayTest, TotalHoursBeyondSixteenBits)
{
    CountdownBreakdown far = Sample();
    far.TotalDays = 32000;
    far.HoursPart = 23;
    const BreakdownColumns columns = showCountdown("hh", far, DefaultTexts(), true);
    EXPECT_EQ(columns[0].number, "768023");
    far.TotalDays = -32768;
    far.HoursPart = -23;
    EXPECT_EQ(showCountdown("hh", far, DefaultTexts(), true)[0].number, "-786455");
}

TEST(BreakdownDisplayTest, CaptionIsTheBeforeTextThenTheAfterText)
{
    UnitTexts texts;
    texts.units[1] = {"<", "> work days"};
    EXPECT_EQ(showCountdown("dd", Sample(), texts, true)[0].caption, "<> work days");
}

TEST(ScreensaverDisplayTest, HoursFormatsShowAsTheDaysFamily)
{
    const BreakdownColumns columns =
        showCountdown("hh:mm", Sample(), DefaultTexts(), true, BreakdownVariant::Screensaver);
    EXPECT_EQ(Describe(columns[0]), "Days=732");
    EXPECT_EQ(Describe(columns[1]), " Hours=8");
    EXPECT_EQ(Describe(columns[2]), "-");
    EXPECT_EQ(Describe(columns[4]), "-");
}

TEST(ScreensaverDisplayTest, CaptionsAlwaysShow)
{
    const BreakdownColumns columns =
        showCountdown("yy:dd:hh:mm:ss", Sample(), DefaultTexts(), false, BreakdownVariant::Screensaver);
    for (const BreakdownColumn& column : columns) {
        EXPECT_TRUE(column.captionVisible);
    }
}

} // namespace
} // namespace kestrel
