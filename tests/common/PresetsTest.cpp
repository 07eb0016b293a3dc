// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Presets.h"

#include "DateServices.h"
#include "RuntimeError.h"
#include "Settings.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace kestrel {
namespace {

// Writes what Apply writes for the preset box: the personal date's key, when there is one.
bool StorePersonalDate(SettingsFile& settings, std::string_view presetText, std::string_view targetDateText,
                       int currentYear)
{
    const std::optional<SettingWrite> write = PersonalDateWrite(presetText, targetDateText, currentYear);
    if (write) {
        settings.WriteSettings(std::span(&*write, 1));
    }
    return write.has_value();
}

using test::TempDir;

TEST(MonthAbbreviationTest, SpellsMonthsByNumericValue)
{
    const struct
    {
        const char* month;
        const char* want;
    } cases[] = {{"1", "Jan"}, {"12", "Dec"}, {" 3", "Mar"}, {"05", "May"}, {"9.0", "Sep"}, {"0", ""},
                 {"13", ""},   {"-1", ""},    {"1.5", ""},   {"", ""},      {"abc", ""},    {"7th", "Jul"}};
    for (const auto& c : cases) {
        EXPECT_EQ(MonthAbbreviation(std::string_view(c.month)), c.want) << c.month;
    }
    EXPECT_EQ(MonthAbbreviation(12.0), "Dec");
    EXPECT_EQ(MonthAbbreviation(13.0), "");
}

TEST(TargetDateTextTest, JoinsTheStoredTextsAsTheyAre)
{
    EXPECT_EQ(TargetDateText("1", "1", "2000"), "Jan 1, 2000");
    EXPECT_EQ(TargetDateText("3", "15", "2028"), "Mar 15, 2028");
    EXPECT_EQ(TargetDateText("13", "01", "x"), " 01, x");
}

// A settings file in a temporary folder, a fixed clock and an input box that answers from a
// queue (an empty queue cancels) and records each question.
class PresetTest : public ::testing::Test
{
protected:
    struct Question
    {
        std::string prompt;
        std::string title;
        std::string offered;
    };

    PresetChoice choose(std::string_view preset, std::string_view target = "Jan 1, 2000")
    {
        return SelectPresetTarget(preset, target, services);
    }

    void at(int year, int month, int day) { clock.set(PackDateTime(year, month, day, 9, 30, 0)); }

    TempDir dir;
    SettingsFile settings{dir / "KESTREL.INI"};
    FixedClock clock{PackDateTime(2027, 1, 2, 9, 30, 0)};
    std::deque<std::string> answers;
    std::vector<Question> asked;
    PresetServices services{clock, settings,
                            [this](std::string_view prompt, std::string_view title, std::string_view offered) {
                                asked.push_back({std::string(prompt), std::string(title), std::string(offered)});
                                if (answers.empty()) {
                                    return std::string();
                                }
                                std::string answer = answers.front();
                                answers.pop_front();
                                return answer;
                            }};
};

TEST_F(PresetTest, EveryPresetOnTheSecondOfJanuaryAndOnNewYearsEve)
{
    const struct
    {
        const char* preset;
        const char* onJan2;
        const char* onDec31;
    } cases[] = {
        {"Y2K", "Jan 01, 2000", "Jan 01, 2000"},
        {"Y3K", "Jan 01, 3000", "Jan 01, 3000"},
        {"Now", "Jan 2, 2027", "Dec 31, 2027"},
        {"Next Christmas", "Dec 25, 2028", "Dec 25, 2028"},
        {"Next New Year", "Jan 01, 2028", "Jan 01, 2028"},
        {"2000 Summer Olympics", "Sep 15, 2000", "Sep 15, 2000"},
        {"2002 Winter Olympics", "Feb 08, 2002", "Feb 08, 2002"},
        {"Spouse's Birthday", "Mar 15,2028", "Mar 15,2028"},
        {"Anniversary", "Mar 15,2028", "Mar 15,2028"},
        {"Special Date", "Mar 15,2028", "Mar 15,2028"},
    };
    ASSERT_EQ(std::size(cases), kPresetTargets.size());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(kPresetTargets[i], cases[i].preset) << "the preset box lists the presets in this order";
        for (const bool newYearsEve : {false, true}) {
            newYearsEve ? at(2027, 12, 31) : at(2027, 1, 2);
            answers = {"Mar 15"};
            const PresetChoice got = choose(cases[i].preset);
            EXPECT_EQ(got.targetDateText, newYearsEve ? cases[i].onDec31 : cases[i].onJan2) << cases[i].preset;
            EXPECT_EQ(got.presetText, cases[i].preset) << "the preset box keeps showing the preset";
        }
    }
}

TEST_F(PresetTest, TextsThatAreNoPresetChangeNothing)
{
    for (const char* text : {"", "y2k", "Y2K ", "Christmas", "Spouses Birthday"}) {
        EXPECT_EQ(choose(text, "Mar 3, 2001"), (PresetChoice{"Mar 3, 2001", text})) << text;
    }
    EXPECT_TRUE(asked.empty());
}

TEST_F(PresetTest, EachPersonalPresetAsksWithItsOwnTitleAndPrompts)
{
    for (const PersonalDatePreset& row : kPersonalDatePresets) {
        asked.clear();
        answers = {"Feb 30", "Apr 1"};
        EXPECT_EQ(choose(row.listText).targetDateText, "Apr 1,2028");
        ASSERT_EQ(asked.size(), 2u) << row.listText;
        EXPECT_EQ(asked[0].prompt, row.firstPrompt);
        EXPECT_EQ(asked[1].prompt, row.retryPrompt);
        EXPECT_EQ(asked[0].title, row.title);
        EXPECT_EQ(asked[1].title, row.title);
    }
}

TEST_F(PresetTest, FirstTimeOffersTodaysMonthAndDayThenTheRememberedAnswer)
{
    at(2026, 12, 6);
    answers = {"Mar 15"};
    choose("Anniversary");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].offered, "Dec 06");

    ASSERT_TRUE(StorePersonalDate(settings, "Anniversary", "Mar 15,2027", 2026));
    answers = {"Feb 30", ""};
    choose("Anniversary");
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[1].offered, "Mar 15");
    EXPECT_EQ(asked[2].offered, "Mar 15") << "the retry offers the remembered answer too";
}

TEST_F(PresetTest, PersonalAnswersAreTakenAsTypedOrRestoreThePreviousTarget)
{
    at(2027, 6, 1);
    const struct
    {
        const char* name;
        std::deque<std::string> answers;
        PresetChoice want;
        std::size_t questions;
    } cases[] = {
        {"month and day", {"Mar 15"}, {"Mar 15,2028", "Special Date"}, 1},
        {"day first", {"15 Mar"}, {"15 Mar,2028", "Special Date"}, 1},
        {"right at the retry", {"Feb 30", "march 5"}, {"march 5,2028", "Special Date"}, 2},
        {"cancel at the first prompt", {}, {"Jul 4, 2030", ""}, 1},
        {"empty first answer", {""}, {"Jul 4, 2030", ""}, 1},
        {"not a date twice", {"Feb 30", "Feb 30"}, {"Jul 4, 2030", ""}, 2},
        {"cancel at the retry", {"Feb 30", ""}, {"Jul 4, 2030", ""}, 2},
        {"blank, then not a date", {" ", "Month 3"}, {"Jul 4, 2030", ""}, 2},
    };
    for (const auto& c : cases) {
        asked.clear();
        answers = c.answers;
        EXPECT_EQ(choose("Special Date", "Jul 4, 2030"), c.want) << c.name;
        EXPECT_EQ(asked.size(), c.questions) << c.name << ": at most one retry";
    }
}

TEST_F(PresetTest, StoresOnlyAPersonalPresetsDateAsMonthAndTwoDigitDay)
{
    for (const char* text : {"", "Y2K", "Now", "anniversary"}) {
        EXPECT_FALSE(StorePersonalDate(settings, text, "Mar 15,2028", 2027)) << text;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "KESTREL.INI"));
    EXPECT_THROW(StorePersonalDate(settings, "Anniversary", "", 2027), RuntimeError) << "13 Type mismatch";
    EXPECT_FALSE(std::filesystem::exists(dir / "KESTREL.INI"));

    EXPECT_TRUE(StorePersonalDate(settings, "Spouse's Birthday", "Mar 15,2028", 2027));
    EXPECT_TRUE(StorePersonalDate(settings, "Special Date", "Jul 4, 2030", 2027));
    EXPECT_EQ(settings.ReadSetting("Target Date", "Spouses Birthdate", "-"), "Mar 15");
    EXPECT_EQ(settings.ReadSetting("Target Date", "Special Date", "-"), "Jul 04");
}

} // namespace
} // namespace kestrel
