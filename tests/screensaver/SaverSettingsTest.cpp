// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "SaverSettings.h"
#include "Settings.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace kestrel::saver {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(ExitCounterTest, TheTwentySeventhCountingEventEnds)
{
    ExitCounter counter;
    for (int event = 1; event <= 26; ++event) {
        EXPECT_FALSE(counter.count(ExitCounter::Event::Counting)) << event;
    }
    EXPECT_TRUE(counter.count(ExitCounter::Event::Counting));
}

TEST(ExitCounterTest, TheSixthMovementOverTheCaptionsEnds)
{
    ExitCounter counter;
    for (int event = 1; event <= 5; ++event) {
        EXPECT_FALSE(counter.count(ExitCounter::Event::CaptionMotion)) << event;
    }
    EXPECT_TRUE(counter.count(ExitCounter::Event::CaptionMotion));
}

TEST(ExitCounterTest, TheTwoLimitsShareOneCount)
{
    ExitCounter counter;
    for (int event = 1; event <= 5; ++event) {
        counter.count(ExitCounter::Event::Counting);
    }
    EXPECT_TRUE(counter.count(ExitCounter::Event::CaptionMotion)) << "five events already count against the captions";
    ExitCounter other;
    for (int event = 1; event <= 4; ++event) {
        other.count(ExitCounter::Event::CaptionMotion);
    }
    for (int event = 5; event <= 26; ++event) {
        EXPECT_FALSE(other.count(ExitCounter::Event::Counting)) << event;
    }
    EXPECT_TRUE(other.count(ExitCounter::Event::Counting));
}

struct CommandCase
{
    std::vector<std::string> arguments;
    const char* xscreensaverWindow;
    SaverCommand::Mode mode;
    std::uint32_t window;
};

class CommandLine : public ::testing::TestWithParam<CommandCase>
{};

TEST_P(CommandLine, ChoosesHowToRun)
{
    const CommandCase& c = GetParam();
    const SaverCommand command = ParseCommandLine(c.arguments, c.xscreensaverWindow);
    EXPECT_EQ(command.mode, c.mode);
    EXPECT_EQ(command.window, c.window);
}

using Mode = SaverCommand::Mode;
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Switches, CommandLine,
    ::testing::Values(
        CommandCase{{"/c"}, "", Mode::Configure, 0},
        CommandCase{{"/c:1234"}, "", Mode::Configure, 0},
        CommandCase{{"/config", "x"}, "0x400001", Mode::Configure, 0},
        CommandCase{{"/c", "--bogus"}, "", Mode::Configure, 0},
        CommandCase{{"/C"}, "", Mode::FullScreen, 0},
        CommandCase{{}, "", Mode::FullScreen, 0},
        CommandCase{{"/s"}, "", Mode::FullScreen, 0},
        CommandCase{{"/p", "1234"}, "", Mode::FullScreen, 0},
        CommandCase{{"x", "/c"}, "", Mode::FullScreen, 0},
        CommandCase{{"-window-id", "0x400007"}, "", Mode::IntoWindow, 0x400007},
        CommandCase{{"--window-id", "4194311"}, "", Mode::IntoWindow, 4194311},
        CommandCase{{"-window-id=0x400007"}, "", Mode::IntoWindow, 0x400007},
        CommandCase{{"-window-id", "0x400007"}, "0x500000", Mode::IntoWindow, 0x400007},
        CommandCase{{}, "0x2a00003", Mode::IntoWindow, 0x2a00003},
        CommandCase{{"-root"}, "0x2a00003", Mode::IntoWindow, 0x2a00003},
        CommandCase{{"-root"}, "", Mode::IntoWindow, 0},
        CommandCase{{"--root"}, "", Mode::IntoWindow, 0}));
// clang-format on

// A window id that names no window must not fall back to taking over the whole screen: the
// caller meant a host's window.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    BadHosts, CommandLine,
    ::testing::Values(
        CommandCase{{"-window-id", "junk"}, "", Mode::UsageError, 0},
        CommandCase{{"-window-id", "0"}, "", Mode::UsageError, 0},
        CommandCase{{"-window-id", "0x0"}, "", Mode::UsageError, 0},
        CommandCase{{"-window-id", "-5"}, "", Mode::UsageError, 0},
        CommandCase{{"-window-id", "0x1ffffffff"}, "", Mode::UsageError, 0},
        CommandCase{{"-window-id", "12abc"}, "", Mode::UsageError, 0},
        CommandCase{{"-window-id", ""}, "", Mode::UsageError, 0},
        CommandCase{{"-window-id"}, "", Mode::UsageError, 0},
        CommandCase{{"-window-id", "junk"}, "0x2a00003", Mode::UsageError, 0},
        CommandCase{{}, "bogus", Mode::UsageError, 0},
        CommandCase{{"-root"}, "0", Mode::UsageError, 0}));
// clang-format on

// Help and version are answered without running; unknown options are usage errors.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Answers, CommandLine,
    ::testing::Values(
        CommandCase{{"--help"}, "", Mode::Answer, 0},
        CommandCase{{"-h"}, "", Mode::Answer, 0},
        CommandCase{{"--version"}, "", Mode::Answer, 0},
        CommandCase{{"-v"}, "0x2a00003", Mode::Answer, 0},
        CommandCase{{"-root", "--help"}, "", Mode::Answer, 0},
        CommandCase{{"--bogus"}, "", Mode::UsageError, 0},
        CommandCase{{"-x"}, "", Mode::UsageError, 0},
        CommandCase{{"-root", "-window"}, "", Mode::UsageError, 0},
        CommandCase{{"--add-to-xscreensaver"}, "", Mode::AddToXScreenSaver, 0},
        CommandCase{{"-add-to-xscreensaver"}, "0x2a00003", Mode::AddToXScreenSaver, 0}));
// clang-format on

TEST(SaverCommandLine, MessagesSayWhatIsWrongAndWhereToLook)
{
    struct Case
    {
        std::vector<std::string> arguments;
        std::vector<std::string> wanted;
    };
    const Case cases[] = {
        {{"-window-id", "junk"}, {"kestrel-saver: -window-id: 'junk' is not a window id", "--help"}},
        {{"--bogus"}, {"kestrel-saver: Unknown option 'bogus'.", "Try 'kestrel-saver --help'"}},
        {{"--help"}, {"Usage: kestrel-saver [options]", "--window-id <id>", "/c, /c:NNNN", "--version"}},
        {{"--version"}, {"kestrel-saver " KESTREL_VERSION "\n"}},
    };
    for (const Case& c : cases) {
        const SaverCommand command = ParseCommandLine(c.arguments, "");
        for (const std::string& part : c.wanted) {
            EXPECT_NE(command.message.find(part), std::string::npos) << part << " in: " << command.message;
        }
    }
}

TEST(SaverCommandLineTest, CountdownIsNamedWithTheOtherOptions)
{
    EXPECT_EQ(ParseCommandLine({}, "").countdown, std::nullopt);
    EXPECT_EQ(ParseCommandLine({"--countdown", "Launch"}, "").countdown, "Launch");
    const SaverCommand inHost = ParseCommandLine({"-countdown", "Moon trip", "-root"}, "");
    EXPECT_EQ(inHost.countdown, "Moon trip");
    EXPECT_EQ(inHost.mode, SaverCommand::Mode::IntoWindow);
    EXPECT_EQ(ParseCommandLine({"--countdown"}, "").mode, SaverCommand::Mode::UsageError);
}

TEST(SaverSettingsTest, NoSettingsFileGivesTheScreensaverDefaults)
{
    TempDir dir;
    const SaverSettings s = LoadSaverSettings(SettingsFile(dir / "KESTREL.INI"));
    EXPECT_EQ(s.TargetYear, "2000");
    EXPECT_EQ(s.TargetMonth, "1");
    EXPECT_EQ(s.TargetDay, "1");
    EXPECT_EQ(s.TargetType, "Days");
    EXPECT_EQ(s.CaptionOption, "yy:dd:hh:mm:ss");
    EXPECT_EQ(s.ProjectTitle, "Countdown to Year 2000");
    EXPECT_EQ(s.unitTexts.units[0].after, " Years");
    EXPECT_EQ(s.unitTexts.units[1].after, "Days");

    const auto breakdown = SaverCountdown(PackDateTime(1999, 12, 30, 15, 20, 45), s);
    ASSERT_TRUE(breakdown);
    const BreakdownColumns columns = SaverColumns(s, breakdown);
    const char* captions[] = {" Years", "Days", " Hours", " Minutes", " Seconds"};
    const char* numbers[] = {"0", "1", "8", "39", "15"};
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(columns[k].caption, captions[k]);
        EXPECT_EQ(columns[k].number, numbers[k]);
        EXPECT_TRUE(columns[k].captionVisible && columns[k].numberVisible);
    }
}

TEST(SaverSettingsTest, ReadsTheMainProgramsKeysAndItsDayType)
{
    TempDir dir;
    WriteFile(dir / "KESTREL.INI", "[Target Date]\nTarget_Type=WorkDays\nCaption_option=hh:mm\nTarget_Year=2002\n"
                                   "[File Options]\nProject Title=Launch\nHH After Text= h\n");
    const SaverSettings s = LoadSaverSettings(SettingsFile(dir / "KESTREL.INI"));
    EXPECT_EQ(s.unitTexts.units[1].after, "WorkDays");
    EXPECT_EQ(s.ProjectTitle, "Launch");
    EXPECT_EQ(s.unitTexts.units[2].after, "h");
}

TEST(SaverDisplayTest, HoursAndMinutesShowsTotalDaysAndHours)
{
    SaverSettings s;
    s.CaptionOption = "hh:mm";
    s.TargetYear = "2002";
    s.unitTexts = UnitTexts{{{{"", " Years"}, {"", "Days"}, {"", " Hours"}, {"", " Minutes"}, {"", " Seconds"}}}};
    const auto breakdown = SaverCountdown(PackDateTime(1999, 12, 30, 15, 20, 45), s);
    ASSERT_TRUE(breakdown);
    EXPECT_TRUE(breakdown->KeepTicking);
    const BreakdownColumns columns = SaverColumns(s, breakdown);
    EXPECT_EQ(columns[0].caption + "=" + columns[0].number, "Days=732");
    EXPECT_EQ(columns[1].caption + "=" + columns[1].number, " Hours=8");
    EXPECT_FALSE(columns[2].numberVisible);
    EXPECT_FALSE(columns[4].numberVisible);
}

TEST(SaverDisplayTest, YearsOnlyIsComputedOnce)
{
    SaverSettings s;
    s.CaptionOption = "yy";
    const auto breakdown = SaverCountdown(PackDateTime(1999, 12, 30, 15, 20, 45), s);
    ASSERT_TRUE(breakdown);
    EXPECT_FALSE(breakdown->KeepTicking);
}

TEST(SaverDisplayTest, CountsBeyondSixteenBitsShowAMarkInsteadOfFailing)
{
    SaverSettings s;
    s.TargetYear = "2200";
    const auto breakdown = SaverCountdown(PackDateTime(1999, 12, 30, 15, 20, 45), s);
    EXPECT_FALSE(breakdown);
    const BreakdownColumns columns = SaverColumns(s, breakdown);
    EXPECT_EQ(columns[0].number, "out of range");
    EXPECT_TRUE(columns[0].numberVisible);
    EXPECT_FALSE(columns[1].numberVisible);
}

TEST(SaverStyleTest, CaptionVisibleFalseIsIgnored)
{
    TempDir dir;
    WriteFile(dir / "KESTREL.INI", "[CountDown]\nCaption Visible=False\nProject Visible=False\nInterval FontSize=20\n");
    BreakdownStyle style = ScreensaverDesign();
    ReadCountDownSection(SettingsFile(dir / "KESTREL.INI"), style, false);
    EXPECT_TRUE(style.captionVisible);
    EXPECT_TRUE(style.projectVisible);
    EXPECT_EQ(style.interval.font.size, 20);
    SaverSettings s;
    const BreakdownColumns columns = SaverColumns(s, SaverCountdown(PackDateTime(1999, 12, 30, 15, 20, 45), s));
    for (const BreakdownColumn& column : columns) {
        EXPECT_TRUE(column.captionVisible);
    }
}

} // namespace
} // namespace kestrel::saver
