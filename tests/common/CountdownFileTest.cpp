// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CountdownFile.h"
#include "TempDir.h"
#include "Unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <vector>

namespace kestrel {
namespace {

using test::ReadFile;
using test::RunUnprivileged;
using test::TempDir;

// The unit texts as the settings reader returns them with no settings file.
ProgramSettings DefaultTexts(const std::string& format)
{
    ProgramSettings s;
    s.CaptionOption = format;
    return s;
}

CountdownBreakdown Breakdown(int totalDays, int years, int days, int hours, int minutes, int seconds)
{
    CountdownBreakdown b;
    b.TotalDays = static_cast<std::int16_t>(totalDays);
    b.YearsPart = static_cast<std::int16_t>(years);
    b.DaysPart = static_cast<std::int16_t>(days);
    b.HoursPart = static_cast<std::int16_t>(hours);
    b.MinutesPart = static_cast<std::int16_t>(minutes);
    b.SecondsPart = static_cast<std::int16_t>(seconds);
    return b;
}

struct LineCase
{
    const char* format;
    const char* line;
};

class CountdownLineByFormat : public ::testing::TestWithParam<LineCase>
{};

// 732 days (2 years and 1 day), 8 hours, 39 minutes and 15 seconds left.
TEST_P(CountdownLineByFormat, ListsTheUnitsOfTheFormat)
{
    const LineCase& c = GetParam();
    EXPECT_EQ(CountdownFileLine(DefaultTexts(c.format), Breakdown(732, 2, 1, 8, 39, 15)), c.line) << c.format;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Formats, CountdownLineByFormat,
    ::testing::Values(
        LineCase{"yy", "T-2  Years (Eastern Standard Time)"},
        LineCase{"yy:dd", "T-2  Years1 Days (Eastern Standard Time)"},
        LineCase{"yy:dd:hh:mm:ss", "T-2  Years1 Days8  Hours39  Minutes15  Seconds (Eastern Standard Time)"},
        LineCase{"yy:dd:hh", "T-2  Years1 Days8  Hours (Eastern Standard Time)"},
        LineCase{"dd", "T-732 Days (Eastern Standard Time)"},
        LineCase{"dd:hh:mm:ss", "T-732 Days8  Hours39  Minutes15  Seconds (Eastern Standard Time)"},
        // The hours family writes what the displays show: total hours, minutes, seconds.
        LineCase{"hh", "T-17576  Hours (Eastern Standard Time)"},
        LineCase{"hh:mm", "T-17576  Hours39  Minutes (Eastern Standard Time)"},
        LineCase{"hh:mm:ss", "T-17576  Hours39  Minutes15  Seconds (Eastern Standard Time)"},
        // A format of one character lists no unit.
        LineCase{"y", "T- (Eastern Standard Time)"}));
// clang-format on

TEST(CountdownFileLineTest, EmptyTextsLeaveNumbersAndBlanks)
{
    ProgramSettings s;
    s.CaptionOption = "dd:hh";
    s.FileBeforeText = s.FileAfterText = s.unitTexts.units[1].after = s.unitTexts.units[2].after = "";
    EXPECT_EQ(CountdownFileLine(s, Breakdown(1, 0, 1, 8, 0, 0)), "1 8  ");
}

TEST(CountdownFileLineTest, NegativeNumbersKeepTheirSigns)
{
    ProgramSettings s = DefaultTexts("dd:hh:mm:ss");
    s.FileBeforeText = "<b>";
    s.FileAfterText = "</b>";
    EXPECT_EQ(CountdownFileLine(s, Breakdown(-1, 0, -1, -10, -30, -15)),
              "<b>-1 Days-10  Hours-30  Minutes-15  Seconds </b>");
}

TEST(CountdownFileLineTest, TotalHoursBeyondSixteenBits)
{
    EXPECT_EQ(CountdownFileLine(DefaultTexts("hh"), Breakdown(30000, 0, 0, 5, 0, 0)),
              "T-720005  Hours (Eastern Standard Time)");
}

struct Reporter
{
    std::vector<std::string> messages;
    CountdownFile::Report callback()
    {
        return [this](const std::string& title, const std::string& text) {
            EXPECT_EQ(title, "Kestrel");
            messages.push_back(text);
        };
    }
};

TEST(WriteCountdownFileTest, ReplacesTheFileWithOneLineEndedByCrLf)
{
    TempDir dir;
    Reporter reporter;
    CountdownFile file(reporter.callback());
    ProgramSettings s = DefaultTexts("dd");
    s.CountDownFile = (dir / "Kestrel.txt").string();
    test::WriteFile(dir / "Kestrel.txt", "an older and much longer content\r\nsecond line\r\n");
    file.WriteCountdownFile(s, Breakdown(5, 0, 5, 1, 2, 3));
    EXPECT_EQ(ReadFile(dir / "Kestrel.txt"), "T-5 Days (Eastern Standard Time)\r\n");
    file.WriteCountdownFile(s, Breakdown(4, 0, 4, 1, 2, 3));
    EXPECT_EQ(ReadFile(dir / "Kestrel.txt"), "T-4 Days (Eastern Standard Time)\r\n");
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(s.ContinuousSave, 0);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(WriteCountdownFileTest, ALineOfTheSameLengthIsWrittenInPlaceAnotherReplacesTheFile)
{
    TempDir dir;
    CountdownFile file(nullptr);
    ProgramSettings s = DefaultTexts("dd");
    s.CountDownFile = (dir / "Kestrel.txt").string();
    file.WriteCountdownFile(s, Breakdown(15, 0, 15, 1, 2, 3));
    const auto inode = [&] { return test::InodeOf(dir / "Kestrel.txt"); };
    const auto first = inode();
    file.WriteCountdownFile(s, Breakdown(14, 0, 14, 1, 2, 3));
    EXPECT_EQ(inode(), first) << "same length: rewritten where it stands";
    EXPECT_EQ(ReadFile(dir / "Kestrel.txt"), "T-14 Days (Eastern Standard Time)\r\n");
    file.WriteCountdownFile(s, Breakdown(9, 0, 9, 1, 2, 3));
    EXPECT_NE(inode(), first) << "shorter: replaced by a new file";
    EXPECT_EQ(ReadFile(dir / "Kestrel.txt"), "T-9 Days (Eastern Standard Time)\r\n");
}

TEST(WriteCountdownFileTest, MissingFolderIsReportedOnceAndSwitchesSavingOff)
{
    TempDir dir;
    Reporter reporter;
    CountdownFile file(reporter.callback());
    ProgramSettings s = DefaultTexts("dd");
    s.ContinuousSave = 1;
    s.CountDownFile = (dir / "missing" / "Kestrel.txt").string();
    file.WriteCountdownFile(s, Breakdown(5, 0, 5, 1, 2, 3));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0], "Cannot find Directory for continous Save File. Check in Options Forms");
    EXPECT_EQ(s.ContinuousSave, 0);
}

TEST(WriteCountdownFileTest, OtherFailuresAreReportedOnceWithTheFileAndSwitchSavingOff)
{
    TempDir dir;
    const auto locked = dir / "locked";
    std::filesystem::create_directory(locked);
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(locked.c_str(), 0555);
    const int result = RunUnprivileged([&] {
        Reporter reporter;
        CountdownFile file(reporter.callback());
        ProgramSettings s = DefaultTexts("dd");
        s.ContinuousSave = 1;
        s.CountDownFile = (locked / "Kestrel.txt").string();
        file.WriteCountdownFile(s, Breakdown(5, 0, 5, 1, 2, 3));
        // The toolbar writes only while saving is on: the next tick leaves the file alone.
        return reporter.messages.size() == 1 && reporter.messages[0].starts_with("70Permission denied") &&
               reporter.messages[0].find(s.CountDownFile) != std::string::npos && s.ContinuousSave == 0;
    });
    EXPECT_EQ(result, 1);
}

TEST(WriteCountdownFileTest, AFolderInThePlaceOfTheFileIsAnAccessError)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "Kestrel.txt");
    Reporter reporter;
    CountdownFile file(reporter.callback());
    ProgramSettings s = DefaultTexts("dd");
    s.ContinuousSave = 1;
    s.CountDownFile = (dir / "Kestrel.txt").string();
    file.WriteCountdownFile(s, Breakdown(5, 0, 5, 1, 2, 3));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0],
              "75Path/File access error\n\nThe countdown file could not be saved to " + s.CountDownFile +
                  " (Is a directory). Continuous saving is off until the options are applied again.")
        << reporter.messages[0];
    EXPECT_EQ(s.ContinuousSave, 0);
}

TEST(WriteCountdownFileTest, AFullDiskIsReportedOnce)
{
    Reporter reporter;
    CountdownFile file(reporter.callback());
    ProgramSettings s = DefaultTexts("dd");
    s.ContinuousSave = 1;
    s.CountDownFile = "/dev/full";
    file.WriteCountdownFile(s, Breakdown(5, 0, 5, 1, 2, 3));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_NE(reporter.messages[0].find("/dev/full"), std::string::npos) << reporter.messages[0];
    EXPECT_EQ(s.ContinuousSave, 0);
}

TEST(WriteCountdownFileTest, NoSecondMessageWhileOneIsOnScreen)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "Kestrel.txt");
    ProgramSettings s = DefaultTexts("dd");
    s.ContinuousSave = 1;
    s.CountDownFile = (dir / "Kestrel.txt").string();
    std::vector<std::string> messages;
    CountdownFile* self = nullptr;
    // The message box's own event loop delivers three more ticks while it is showing.
    CountdownFile file([&](const std::string&, const std::string& text) {
        messages.push_back(text);
        for (int tick = 0; tick < 3; ++tick) {
            self->WriteCountdownFile(s, Breakdown(5, 0, 5, 1, 2, 3));
        }
    });
    self = &file;
    file.WriteCountdownFile(s, Breakdown(5, 0, 5, 1, 2, 3));
    EXPECT_EQ(messages.size(), 1u);
    // Once the box is closed the next failure is reported again.
    file.WriteCountdownFile(s, Breakdown(5, 0, 5, 1, 2, 3));
    EXPECT_EQ(messages.size(), 2u);
}

TEST(WriteCountdownFileTest, ASymbolicLinkIsWrittenThrough)
{
    TempDir dir;
    test::WriteFile(dir / "target.txt", "old\r\n");
    std::filesystem::create_symlink(dir / "target.txt", dir / "link.txt");
    CountdownFile file(nullptr);
    ProgramSettings s = DefaultTexts("dd");
    s.CountDownFile = (dir / "link.txt").string();
    file.WriteCountdownFile(s, Breakdown(5, 0, 5, 1, 2, 3));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
    EXPECT_EQ(ReadFile(dir / "target.txt"), "T-5 Days (Eastern Standard Time)\r\n");
}

} // namespace
} // namespace kestrel
