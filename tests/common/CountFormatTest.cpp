// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "BreakdownDisplay.h"
#include "CountFormat.h"
#include "CountdownFile.h"
#include "DateAt.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kestrel {
namespace {

using test::At;

// Unit texts that name each unit in the file line and the captions, with no blanks.
ProgramSettings Named(const std::string& format)
{
    ProgramSettings s;
    s.CaptionOption = format;
    s.FileBeforeText = "";
    s.FileAfterText = "";
    s.unitTexts = UnitTexts{{{{"Y", ""}, {"D", ""}, {"H", ""}, {"M", ""}, {"S", ""}}}};
    return s;
}

// Each output's units for a format, as the letters of its captions ("YDHMS").
std::string LineUnits(const std::string& format, const CountdownBreakdown& b)
{
    // Each number of the line is one unit; the letters come from the breakdown's units.
    const auto numbers = static_cast<std::size_t>(std::count(b.Line.begin(), b.Line.end(), ':') + 1);
    const std::string all = FamilyOf(format) == FormatFamily::Years  ? "YDHMS"
                            : FamilyOf(format) == FormatFamily::Days ? "DHMS"
                                                                     : "HMS";
    return all.substr(0, numbers);
}

std::string BreakdownUnits(const std::string& format, const CountdownBreakdown& b)
{
    std::string units;
    for (const BreakdownColumn& column : showCountdown(format, b, Named(format).unitTexts, true)) {
        units += column.numberVisible ? column.caption : "";
    }
    return units;
}

std::string FileUnits(const std::string& format, const CountdownBreakdown& b)
{
    std::string units;
    for (const char c : CountdownFileLine(Named(format), b)) {
        if (std::isupper(static_cast<unsigned char>(c)) != 0) {
            units += c;
        }
    }
    return units;
}

struct OutputsCase
{
    const char* format;
    const char* line;
    const char* breakdown;
    const char* file;
};

class UnitsByOutput : public ::testing::TestWithParam<OutputsCase>
{};

TEST_P(UnitsByOutput, FollowTheCountFormatTable)
{
    const OutputsCase& c = GetParam();
    const CountdownBreakdown b = ComputeCountdown(At(1999, 12, 30, 15, 20, 45), "2002", "1", "1", "Days", c.format);
    EXPECT_EQ(LineUnits(c.format, b), c.line) << c.format;
    EXPECT_EQ(BreakdownUnits(c.format, b), c.breakdown) << c.format;
    EXPECT_EQ(FileUnits(c.format, b), c.file) << c.format;
}

// Outside the offered list the outputs keep their own thresholds.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    FormatsOffTheList, UnitsByOutput,
    ::testing::Values(
        OutputsCase{"yy:dd:", "YDH", "YDH", "YD"},
        OutputsCase{"dd:hh:", "DHM", "DHM", "DH"},
        OutputsCase{"yy:d", "YD", "YD", "YD"},
        OutputsCase{"h", "H", "H", ""},
        OutputsCase{"yy:dd:hh:mm:", "YDHM", "YDHM", "YDHM"},
        OutputsCase{"hh:mm:ss:xx", "HMS", "HMS", "HMS"}));
// clang-format on

TEST(CountFormatTest, EveryOfferedFormatShowsTheUnitsItNamesInEveryOutput)
{
    const std::vector<std::string> offered = OfferedFormats();
    EXPECT_EQ(offered, (std::vector<std::string>{"yy", "yy:dd", "yy:dd:hh", "yy:dd:hh:mm", "yy:dd:hh:mm:ss", "dd",
                                                 "dd:hh", "dd:hh:mm", "dd:hh:mm:ss", "hh", "hh:mm", "hh:mm:ss"}));
    for (const std::string& format : offered) {
        const CountdownBreakdown b = ComputeCountdown(At(1999, 12, 30, 15, 20, 45), "2002", "1", "1", "Days", format);
        // "yy:dd:hh" names Y, D, H.
        std::string named;
        for (std::size_t i = 0; i < format.size(); i += 3) {
            named += static_cast<char>(std::toupper(static_cast<unsigned char>(format[i])));
        }
        EXPECT_EQ(LineUnits(format, b), named) << format;
        EXPECT_EQ(BreakdownUnits(format, b), named) << format;
        EXPECT_EQ(FileUnits(format, b), named) << format;
    }
}

// The target moment, one second before and one second after, in every output.
struct MomentCase
{
    const char* name;
    DateValue now;
    const char* format;
    const char* type;
    const char* line;
    const char* firstColumn;
    const char* fileLine;
};

class TargetMoment : public ::testing::TestWithParam<MomentCase>
{};

TEST_P(TargetMoment, ShowsTheSameCountEverywhere)
{
    const MomentCase& c = GetParam();
    const CountdownBreakdown b = ComputeCountdown(c.now, "2000", "1", "1", c.type, c.format);
    EXPECT_EQ(b.Line, c.line);
    ProgramSettings s = Named(c.format);
    EXPECT_EQ(showCountdown(c.format, b, s.unitTexts, true)[0].number, c.firstColumn);
    EXPECT_EQ(CountdownFileLine(s, b), c.fileLine);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Countdown, TargetMoment,
    ::testing::Values(
        MomentCase{"YearsAtTheTarget", At(2000, 1, 1), "yy:dd:hh:mm:ss", "Days", "T-0:0:0:0:0", "0", "Y0 D0 H0 M0 S0  "},
        MomentCase{"DaysAtTheTarget", At(2000, 1, 1), "dd:hh:mm:ss", "Days", "T-0:0:0:0", "0", "D0 H0 M0 S0  "},
        MomentCase{"HoursAtTheTarget", At(2000, 1, 1), "hh:mm:ss", "Days", "T-0:0:0", "0", "H0 M0 S0  "},
        MomentCase{"WorkDaysAtTheTarget", At(2000, 1, 1), "dd:hh:mm:ss", "WorkDays", "T-0:0:0:0", "0", "D0 H0 M0 S0  "},
        MomentCase{"YearsOnlyAtTheTarget", At(2000, 1, 1), "yy", "Days", "T-0", "0", "Y0  "},
        MomentCase{"OneSecondBefore", At(1999, 12, 31, 23, 59, 59), "yy:dd:hh:mm:ss", "Days", "T-0:0:0:0:1", "0", "Y0 D0 H0 M0 S1  "},
        MomentCase{"OneSecondAfter", At(2000, 1, 1, 0, 0, 1), "yy:dd:hh:mm:ss", "Days", "T-0:0:0:0:-1", "0", "Y0 D0 H0 M0 S-1  "},
        MomentCase{"DaysOneSecondAfter", At(2000, 1, 1, 0, 0, 1), "dd:hh:mm:ss", "Days", "T-0:0:0:-1", "0", "D0 H0 M0 S-1  "}),
    [](const ::testing::TestParamInfo<MomentCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(OutOfRangeTest, EveryOutputSaysSoInsteadOfANumber)
{
    const CountdownBreakdown b = OutOfRangeCountdown(At(2026, 12, 7, 10, 0, 0));
    EXPECT_EQ(b.Line, "T-out of range");
    EXPECT_EQ(b.TodayLine, "Today is: Dec 7, 2026 10:00:00");
    EXPECT_FALSE(b.KeepTicking);
    for (const char* format : {"yy:dd:hh:mm:ss", "dd", "hh:mm"}) {
        const BreakdownColumns columns = showCountdown(format, b, Named(format).unitTexts, true);
        EXPECT_EQ(columns[0].number, "out of range") << format;
        EXPECT_TRUE(columns[0].numberVisible) << format;
        EXPECT_EQ(std::count_if(columns.begin(), columns.end(), [](const auto& c) { return c.numberVisible; }), 1);
        ProgramSettings s;
        s.CaptionOption = format;
        EXPECT_EQ(CountdownFileLine(s, b), "T-out of range (Eastern Standard Time)") << format;
    }
}

TEST(ScreensaverFormatTest, OnlyTheHoursFamilyChanges)
{
    EXPECT_EQ(ScreensaverFormat("hh:mm"), "dd:mm");
    EXPECT_EQ(ScreensaverFormat("xx:yy:zz"), "dd:yy:zz");
    EXPECT_EQ(ScreensaverFormat("yy:dd"), "yy:dd");
    EXPECT_EQ(ScreensaverFormat("dd:hh"), "dd:hh");
}

} // namespace
} // namespace kestrel
