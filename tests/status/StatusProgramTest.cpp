// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusProgram.h"

#include "DateAt.h"
#include "Settings.h"
#include "TempDir.h"
#include "WriteSetting.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

namespace kestrel {
namespace {

using ::testing::HasSubstr;

using test::At;

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A settings file of its own, a fixed clock that the waits move on by one second, and the
// output collected; the write fails with `closeError` once `linesBeforeClose` lines have been
// written, as a pipe whose reader has gone (EPIPE) or a full disk (ENOSPC). With `clockLag`,
// the clock turns to the new second only after that many reads following each wait, as the
// system's seconds clock turns a kernel tick after the precise clock the wait measures.
struct StatusRun
{
    test::TempDir dir;
    SettingsFile settings{dir / "KESTREL.INI"};
    FixedClock clock{At(1999, 12, 30, 15, 20, 45)};
    std::vector<std::string> lines;
    std::string errors;
    int waits = 0;
    int linesBeforeClose = 1000;
    int closeError = EPIPE;
    int clockLag = 0;
    int pauses = 0;
    std::function<void(int)> onWait;

    void target(const char* year, const char* type, const char* format)
    {
        WriteSetting(settings, "Target Date", "Target_Year", year);
        WriteSetting(settings, "Target Date", "Target_Type", type);
        WriteSetting(settings, "Target Date", "Caption_option", format);
    }

    // Runs as kestrel-status does: the command line may name a countdown of the folder, whose
    // KESTREL.INI is `settings`.
    int runForCountdowns(std::vector<std::string_view> args) { return run(std::move(args), true); }

    int run(std::vector<std::string_view> args, bool countdowns = false)
    {
        LaggingClock lagging{clock, 0};
        const StatusIo io{
            .write =
                [this](std::string_view text) {
                    if (static_cast<int>(lines.size()) >= linesBeforeClose) {
                        return closeError;
                    }
                    lines.emplace_back(text);
                    return 0;
                },
            .error = [this](std::string_view text) { errors += text; },
            .waitForNextSecond =
                [this, &lagging] {
                    ++waits;
                    clock.set(DateAdd("s", 1, clock.now()));
                    lagging.readsBehind = clockLag;
                    if (onWait) {
                        onWait(waits);
                    }
                },
            .pause = [this] { ++pauses; },
        };
        if (countdowns) {
            return RunStatusForCountdowns(args, kStatusProgramName, {settings.path(), dir.path()}, lagging, io);
        }
        return RunStatusCommand(args, kStatusProgramName, settings, dir.path(), lagging, io);
    }

    // The fixed clock as a clock of whole seconds that turns late: the first reads after a wait
    // still give the second before.
    struct LaggingClock final : Clock
    {
        LaggingClock(const FixedClock& clock, int behind) : precise(clock), readsBehind(behind) {}
        DateValue now() const override
        {
            if (readsBehind > 0) {
                --readsBehind;
                return DateAdd("s", -1, precise.now());
            }
            return precise.now();
        }
        const FixedClock& precise;
        mutable int readsBehind;
    };
};

struct Example
{
    const char* name;
    DateValue now;
    const char* year;
    const char* format;
    const char* type;
    const char* line;
    const char* numbers; // the breakdown numbers as the JSON object lists them
    const char* className;
};

class StatusOfWorkedExamples : public ::testing::TestWithParam<Example>
{};

TEST_P(StatusOfWorkedExamples, PrintTheLineAndTheJsonObject)
{
    const Example& e = GetParam();
    StatusRun run;
    run.target(e.year, e.type, e.format);
    run.clock.set(e.now);

    ASSERT_EQ(run.run({"--line"}), 0);
    ASSERT_EQ(run.run({"--json"}), 0);

    ASSERT_EQ(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[0], std::string(e.line) + "\n");
    const std::string& json = run.lines[1];
    EXPECT_THAT(json, ::testing::StartsWith("{\"text\":\"" + std::string(e.line) + "\","));
    EXPECT_THAT(json, ::testing::EndsWith("}\n"));
    EXPECT_EQ(std::count(json.begin(), json.end(), '\n'), 1);
    EXPECT_THAT(json, HasSubstr("\"line\":\"" + std::string(e.line) + "\""));
    EXPECT_THAT(json, HasSubstr(e.numbers));
    EXPECT_THAT(json, HasSubstr("\"class\":\"" + std::string(e.className) + "\""));
    EXPECT_THAT(json, HasSubstr("\"type\":\"" + std::string(e.type) + "\""));
    EXPECT_THAT(json, HasSubstr("\"format\":\"" + std::string(e.format) + "\""));
    EXPECT_THAT(json, HasSubstr("\"target\":\"" + std::string(e.year) + "-01-01\""));
    EXPECT_TRUE(run.errors.empty()) << run.errors;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Status, StatusOfWorkedExamples,
    ::testing::Values(
        Example{"TwoDaysBefore", At(1999, 12, 30, 15, 20, 45), "2000", "yy:dd:hh:mm:ss", "Days", "T-0:1:8:39:15", R"("years":0,"days":1,"totalDays":1,"hours":8,"totalHours":32,"minutes":39,"seconds":15)", "counting"},
        Example{"DaysFamily", At(1999, 12, 30, 15, 20, 45), "2000", "dd:hh:mm:ss", "Days", "T-1:8:39:15", R"("totalDays":1,"hours":8,"totalHours":32,"minutes":39,"seconds":15)", "counting"},
        Example{"HoursFamily", At(1999, 12, 30, 15, 20, 45), "2000", "hh:mm:ss", "Days", "T-32:39:15", R"("totalHours":32,"minutes":39,"seconds":15)", "counting"},
        Example{"TwoYearsAway", At(1999, 12, 30, 15, 20, 45), "2002", "yy:dd:hh:mm:ss", "Days", "T-2:1:8:39:15", R"("years":2,"days":1,"totalDays":732,"hours":8)", "counting"},
        Example{"FullMinuteShowsAsSixtySeconds", At(1999, 12, 31, 23, 59, 0), "2000", "yy:dd:hh:mm:ss", "Days", "T-0:0:0:0:60", R"("years":0,"days":0,"totalDays":0,"hours":0,"totalHours":0,"minutes":0,"seconds":60)", "counting"},
        Example{"WorkDaysTakeOneWeekendOff", At(1999, 12, 24, 10, 0, 0), "2000", "dd:hh:mm:ss", "WorkDays", "T-5:13:59:60", R"("totalDays":5,"hours":13,"totalHours":133,"minutes":59,"seconds":60)", "counting"},
        Example{"LeapDaysMakeTheDayPartNegative", At(2000, 1, 1, 12, 0, 0), "2004", "yy:dd:hh:mm:ss", "Days", "T-4:-1:11:59:60", R"("years":4,"days":-1,"totalDays":1460,"hours":11)", "counting"},
        Example{"AfterTheTarget", At(2000, 1, 2, 10, 30, 15), "2000", "yy:dd:hh:mm:ss", "Days", "T-0:-1:-10:-30:-15", R"("years":0,"days":-1,"totalDays":-1,"hours":-10,"totalHours":-34,"minutes":-30,"seconds":-15)", "passed"},
        Example{"AfterTheTargetDaysFamily", At(2000, 1, 2, 10, 30, 15), "2000", "dd:hh:mm:ss", "Days", "T--1:-10:-30:-15", R"("totalDays":-1,"hours":-10)", "passed"},
        Example{"AtTheExactTargetSecondShowsZero", At(2000, 1, 1), "2000", "yy:dd:hh:mm:ss", "Days", "T-0:0:0:0:0", R"("days":0,"totalDays":0,"hours":0,"totalHours":0,"minutes":0,"seconds":0)", "counting"},
        Example{"WorkDaysInTheYearsFamily", At(1999, 12, 24, 10, 0, 0), "2000", "yy:dd", "WorkDays", "T-0:5", R"("years":0,"days":5,"totalDays":7)", "counting"}),
    [](const ::testing::TestParamInfo<Example>& info) { return info.param.name; });
// clang-format on

TEST(StatusJsonTest, HoldsEveryFieldOnceInOneObject)
{
    ProgramSettings settings;
    const DateValue now = At(1999, 12, 30, 15, 20, 45);
    const CountdownBreakdown b = ComputeCountdown(now, "2000", "1", "1", "Days", "yy:dd:hh:mm:ss");
    EXPECT_EQ(StatusJson(settings, b, now),
              R"({"text":"T-0:1:8:39:15","tooltip":"Target is: Jan 1, 2000 00:00:00\nToday is: Dec 30, 1999 15:20:45",)"
              R"("class":"counting","line":"T-0:1:8:39:15","years":0,"days":1,"totalDays":1,"hours":8,)"
              R"("totalHours":32,"minutes":39,"seconds":15,"passed":false,"target":"2000-01-01",)"
              R"("targetText":"Jan 1, 2000","type":"Days","format":"yy:dd:hh:mm:ss","now":"1999-12-30T15:20:45",)"
              R"("today":"Today is: Dec 30, 1999 15:20:45"})");
}

TEST(StatusJsonTest, TargetIsTheDayTheEngineCountsTo)
{
    ProgramSettings settings;
    settings.TargetYear = "1999";
    settings.TargetMonth = "13"; // carries into January 2000, as the engine reads it
    settings.TargetDay = " 1st";
    EXPECT_EQ(TargetIsoDate(settings), "2000-01-01");
    EXPECT_FALSE(TargetPassed(settings, At(2000, 1, 1)));
    EXPECT_TRUE(TargetPassed(settings, At(2000, 1, 1, 0, 0, 1)));
}

struct JsonCase
{
    const char* name;
    std::string text;
    std::string json;
};

class JsonStrings : public ::testing::TestWithParam<JsonCase>
{};

TEST_P(JsonStrings, AreEscapedAndValidUtf8)
{
    EXPECT_EQ(JsonString(GetParam().text), GetParam().json);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Status, JsonStrings,
    ::testing::Values(
        JsonCase{"Plain", "Days", "\"Days\""},
        JsonCase{"Empty", "", "\"\""},
        JsonCase{"QuoteAndBackslash", "a\"b\\c", R"("a\"b\\c")"},
        JsonCase{"LineBreaksAndTab", "a\r\nb\tc", R"("a\r\nb\tc")"},
        JsonCase{"OtherControls", std::string("a\x01\x1f", 3) + std::string(1, '\0'), R"("a\u0001\u001f\u0000")"},
        JsonCase{"Utf8KeptAsItIs", "Jahrestag \xC3\xA4 \xE2\x82\xAC \xF0\x9F\x8E\x89", "\"Jahrestag \xC3\xA4 \xE2\x82\xAC \xF0\x9F\x8E\x89\""},
        JsonCase{"Latin1ByteReadAsLatin1", "M\xE4rz", "\"M\xC3\xA4rz\""},
        JsonCase{"OverlongFormIsNotUtf8", "\xC0\xAF", "\"\xC3\x80\xC2\xAF\""},
        JsonCase{"SurrogateIsNotUtf8", "\xED\xA0\x80", "\"\xC3\xAD\xC2\xA0\xE2\x82\xAC\""},
        JsonCase{"CutSequenceAtTheEnd", "x\xE2\x82", "\"x\xC3\xA2\xE2\x80\x9A\""},
        // The settings reader's rule: 0x80 is the euro sign, an unassigned byte keeps its number.
        JsonCase{"Windows1252EuroSign", "5 \x80", "\"5 \xE2\x82\xAC\""},
        JsonCase{"Windows1252UnassignedByte", "\x81\x9D", "\"\xC2\x81\xC2\x9D\""},
        JsonCase{"Windows1252Quotes", "\x93Go\x94", "\"\xE2\x80\x9CGo\xE2\x80\x9D\""}),
    [](const ::testing::TestParamInfo<JsonCase>& info) { return info.param.name; });
// clang-format on

struct ArgumentsCase
{
    const char* name;
    std::vector<std::string_view> args;
    StatusFormat format;
    bool watch;
    bool help;
    bool error;
};

class StatusArguments : public ::testing::TestWithParam<ArgumentsCase>
{};

TEST_P(StatusArguments, AreRead)
{
    const ArgumentsCase& c = GetParam();
    const StatusRequest request = ParseStatusArguments(c.args);
    EXPECT_EQ(!request.error.empty(), c.error) << request.error;
    if (!c.error) {
        EXPECT_EQ(request.format, c.format);
        EXPECT_EQ(request.watch, c.watch);
        EXPECT_EQ(request.help, c.help);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Status, StatusArguments,
    ::testing::Values(
        ArgumentsCase{"NothingIsTheLine", {}, StatusFormat::Line, false, false, false},
        ArgumentsCase{"Line", {"--line"}, StatusFormat::Line, false, false, false},
        ArgumentsCase{"Json", {"--json"}, StatusFormat::Json, false, false, false},
        ArgumentsCase{"WatchAloneWatchesTheLine", {"--watch"}, StatusFormat::Line, true, false, false},
        ArgumentsCase{"WatchJson", {"--watch", "--json"}, StatusFormat::Json, true, false, false},
        ArgumentsCase{"Help", {"--line", "--help"}, StatusFormat::Line, false, true, false},
        ArgumentsCase{"Version", {"--version"}, StatusFormat::Line, false, false, false},
        ArgumentsCase{"LineAndJsonConflict", {"--line", "--json"}, StatusFormat::Line, false, false, true},
        ArgumentsCase{"UnknownOption", {"--line", "--colour"}, StatusFormat::Line, false, false, true},
        ArgumentsCase{"NoPlainArguments", {"--line", "x"}, StatusFormat::Line, false, false, true}),
    [](const ::testing::TestParamInfo<ArgumentsCase>& info) { return info.param.name; });
// clang-format on

TEST(StatusCommandLineTest, KestrelHandsOverOnlyTheStatusOptions)
{
    const auto wants = [](std::vector<const char*> args) {
        args.insert(args.begin(), "kestrel");
        return WantsStatusOutput(static_cast<int>(args.size()), const_cast<char**>(args.data()));
    };
    EXPECT_FALSE(wants({}));
    EXPECT_FALSE(wants({"--help"}));
    EXPECT_FALSE(wants({"--version"}));
    EXPECT_TRUE(wants({"--line"}));
    EXPECT_TRUE(wants({"--json"}));
    EXPECT_TRUE(wants({"--help", "--watch"}));
    EXPECT_TRUE(wants({"--countdown", "Launch", "--all"}));
    EXPECT_FALSE(wants({"--", "--line"}));
}

TEST(StatusWatchTest, PrintsEverySecondUntilTheOutputCloses)
{
    StatusRun run;
    run.linesBeforeClose = 3;
    EXPECT_EQ(run.run({"--watch"}), 0);
    EXPECT_EQ(run.lines, (std::vector<std::string>{"T-0:1:8:39:15\n", "T-0:1:8:39:14\n", "T-0:1:8:39:13\n"}));
    EXPECT_EQ(run.waits, 3);
    EXPECT_TRUE(run.errors.empty());
}

TEST(StatusWatchTest, EachLineCarriesTheSecondItIsPrintedInWhenTheClockTurnsLate)
{
    StatusRun run;
    run.linesBeforeClose = 4;
    run.clockLag = 3;
    EXPECT_EQ(run.run({"--watch"}), 0);
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{"T-0:1:8:39:15\n", "T-0:1:8:39:14\n", "T-0:1:8:39:13\n", "T-0:1:8:39:12\n"}));
    EXPECT_EQ(run.pauses, 12); // three reads behind after each wait, the last one before the output closed
}

TEST(StatusWatchTest, AClockThatStandsStillPrintsItsSecondAfterAMoment)
{
    StatusRun run;
    run.linesBeforeClose = 2;
    run.onWait = [&run](int) { run.clock.set(DateAdd("s", -1, run.clock.now())); }; // undoes the wait's second
    EXPECT_EQ(run.run({"--watch"}), 0);
    EXPECT_EQ(run.lines, (std::vector<std::string>{"T-0:1:8:39:15\n", "T-0:1:8:39:15\n"}));
    EXPECT_EQ(run.pauses, 2 * 50); // after each of the two waits
}

TEST(StatusWatchTest, FollowsAChangedSettingsFileAtTheNextSecond)
{
    StatusRun run;
    run.linesBeforeClose = 3;
    run.onWait = [&run](int wait) {
        if (wait == 2) {
            WriteSetting(run.settings, "Target Date", "Caption_option", "dd");
        }
    };
    EXPECT_EQ(run.run({"--watch", "--line"}), 0);
    EXPECT_EQ(run.lines, (std::vector<std::string>{"T-0:1:8:39:15\n", "T-0:1:8:39:14\n", "T-1\n"}));
}

TEST(StatusWatchTest, OneCountWithoutWatchWaitsForNothing)
{
    StatusRun run;
    EXPECT_EQ(run.run({"--json"}), 0);
    EXPECT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.waits, 0);
}

TEST(StatusErrorTest, CountOutOfRangeIsReportedOnStandardError)
{
    StatusRun run;
    run.target("2100", "Days", "dd");
    EXPECT_EQ(run.run({"--line"}), 1);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_EQ(run.errors, "6 Overflow\n");
}

TEST(StatusErrorTest, WatchShowsTheErrorEverySecondAndReportsItOnce)
{
    StatusRun run;
    run.target("2100", "Days", "dd");
    run.linesBeforeClose = 3;
    EXPECT_EQ(run.run({"--watch", "--json"}), 0);
    ASSERT_EQ(run.lines.size(), 3u);
    EXPECT_EQ(run.lines[2], R"({"text":"6 Overflow","tooltip":"6 Overflow","class":"error","error":"6 Overflow"})"
                            "\n");
    EXPECT_EQ(run.errors, "6 Overflow\n");
}

TEST(StatusErrorTest, AnOutputThatCannotBeWrittenIsReportedWithStatusOne)
{
    // clang-format off
    const struct
    {
        std::vector<std::string_view> args;
        int linesBeforeClose;
    } cases[] = {
        {{"--line"}, 0},
        {{"--json"}, 0},
        {{"--watch"}, 2},
        {{"--help"}, 0},
        {{"--version"}, 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        StatusRun run;
        run.linesBeforeClose = c.linesBeforeClose;
        run.closeError = ENOSPC;
        EXPECT_EQ(run.run(c.args), 1) << c.args[0];
        EXPECT_EQ(run.errors, "Cannot write to standard output: No space left on device\n") << c.args[0];
    }
}

TEST(StatusCommandLineTest, VersionIsPrinted)
{
    StatusRun run;
    EXPECT_EQ(run.run({"--version"}), 0);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_THAT(run.lines[0], ::testing::MatchesRegex("kestrel-status [0-9]+\\.[0-9]+\\.[0-9]+\n"));
    EXPECT_TRUE(run.errors.empty()) << run.errors;
}

TEST(StatusErrorTest, AReaderThatHasGoneEndsTheOutputQuietly)
{
    StatusRun run;
    run.linesBeforeClose = 0;
    EXPECT_EQ(run.run({"--line"}), 0);
    EXPECT_TRUE(run.errors.empty()) << run.errors;
}

TEST(StatusSettingsTest, TheSettingsFileIsNeverWritten)
{
    StatusRun run;
    // A file without the keys the count reads, with a comment and an odd spacing that any
    // rewrite would change.
    const std::string content = "; mine\n[File Options]\nProject Title = Launch\n";
    {
        std::ofstream(run.dir / "KESTREL.INI", std::ios::binary) << content;
    }
    run.linesBeforeClose = 2;
    EXPECT_EQ(run.run({"--watch", "--json"}), 0);
    EXPECT_EQ(ReadFile(run.dir / "KESTREL.INI"), content);
    EXPECT_THAT(run.lines[0], ::testing::StartsWith(R"({"text":"T-0:1:8:39:15",)"));

    std::filesystem::remove(run.dir / "KESTREL.INI");
    EXPECT_EQ(run.run({"--line"}), 0);
    EXPECT_FALSE(std::filesystem::exists(run.dir / "KESTREL.INI"));
}

// Several countdowns: countdowns/NAME.INI beside KESTREL.INI.
struct CountdownsRun : StatusRun
{
    CountdownsRun()
    {
        target("2000", "Days", "yy:dd:hh:mm:ss");
        std::filesystem::create_directories(dir / "countdowns");
        WriteSetting(SettingsFile(dir / "countdowns/Launch.INI"), "Target Date", "Target_Day", "2");
    }
};

TEST(StatusCountdownsTest, OneCountdownIsChosenByNameOrSettingsFile)
{
    struct Case
    {
        std::vector<std::string_view> args;
        const char* line;
    };
    // clang-format off
    const Case cases[] = {
        {{}, "T-0:1:8:39:15\n"},
        {{"--countdown", "Default"}, "T-0:1:8:39:15\n"},
        {{"--countdown", "launch"}, "T-0:2:8:39:15\n"},
        {{"--countdown=Launch", "--line"}, "T-0:2:8:39:15\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        CountdownsRun run;
        EXPECT_EQ(run.runForCountdowns(c.args), 0) << run.errors;
        EXPECT_EQ(run.lines, std::vector<std::string>{c.line});
    }
    CountdownsRun run;
    const std::string file = (run.dir / "countdowns/Launch.INI").string();
    EXPECT_EQ(run.runForCountdowns({"--settings", file}), 0);
    EXPECT_EQ(run.lines, std::vector<std::string>{"T-0:2:8:39:15\n"});
}

TEST(StatusCountdownsTest, AllPrintsEveryCountdownNamed)
{
    CountdownsRun run;
    EXPECT_EQ(run.runForCountdowns({"--all"}), 0);
    EXPECT_EQ(run.lines, std::vector<std::string>{"Default: T-0:1:8:39:15\nLaunch: T-0:2:8:39:15\n"});

    run.lines.clear();
    EXPECT_EQ(run.runForCountdowns({"--all", "--json"}), 0);
    ASSERT_EQ(run.lines.size(), 1U);
    EXPECT_THAT(run.lines[0], ::testing::StartsWith(R"([{"countdown":"Default","text":"T-0:1:8:39:15",)"));
    EXPECT_THAT(run.lines[0], HasSubstr(R"(},{"countdown":"Launch","text":"T-0:2:8:39:15",)"));
    EXPECT_THAT(run.lines[0], ::testing::EndsWith("}]\n"));
}

TEST(StatusCountdownsTest, AllShowsACountdownThatFailsInItsPlace)
{
    CountdownsRun run;
    WriteSetting(SettingsFile(run.dir / "countdowns/Launch.INI"), "Target Date", "Target_Year", "2100");
    WriteSetting(SettingsFile(run.dir / "countdowns/Launch.INI"), "Target Date", "Caption_option", "dd");
    EXPECT_EQ(run.runForCountdowns({"--all"}), 1);
    EXPECT_EQ(run.lines, std::vector<std::string>{"Default: T-0:1:8:39:15\nLaunch: 6 Overflow\n"});
    EXPECT_EQ(run.errors, "Launch: 6 Overflow\n");
}

TEST(StatusCountdownsTest, AMissingOrBadCountdownIsAUsageError)
{
    // clang-format off
    const std::vector<std::string_view> cases[] = {
        {"--countdown", "Lunch"},
        {"--countdown", "../x"},
        {"--countdown"},
        {"--all", "--countdown", "Launch"},
        {"--all", "--export-ics", "x.ics"},
        {"--countdown", "Launch", "--settings", "x.ini"},
    };
    // clang-format on
    for (const auto& args : cases) {
        CountdownsRun run;
        EXPECT_EQ(run.runForCountdowns(args), 2) << args.front();
        EXPECT_TRUE(run.lines.empty());
        EXPECT_FALSE(run.errors.empty());
    }
}

} // namespace
} // namespace kestrel
