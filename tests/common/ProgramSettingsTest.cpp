// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramSettings.h"

#include "Settings.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::TempDir;
using test::WriteFile;

class ProgramSettingsTest : public ::testing::Test
{
protected:
    ProgramSettings Load(const std::string& text)
    {
        WriteFile(dir / "KESTREL.INI", text);
        return LoadProgramSettings(SettingsFile(dir / "KESTREL.INI"), "/data/kestrel");
    }

    TempDir dir;
};

TEST_F(ProgramSettingsTest, NoSettingsFileGivesEveryDefault)
{
    const ProgramSettings s = LoadProgramSettings(SettingsFile(dir / "missing.ini"), "/data/kestrel");
    EXPECT_EQ(s.TargetYear + "/" + s.TargetMonth + "/" + s.TargetDay, "2000/1/1");
    EXPECT_EQ(s.TargetType, "Days");
    EXPECT_EQ(s.CaptionOption, "yy:dd:hh:mm:ss");
    EXPECT_EQ(s.CountDownFile, "/data/kestrel/Kestrel.txt");
    EXPECT_EQ(s.ProjectFile, "/data/kestrel/mileston.txt");
    EXPECT_EQ(s.ContinuousSave, 0);
    EXPECT_EQ(s.FileBeforeText, "T-");
    EXPECT_EQ(s.FileAfterText, "(Eastern Standard Time)");
    EXPECT_EQ(s.ProjectTitle, "Year 2000 Conversion Project");
    const std::vector<std::string> captions = {s.YYBeforeText, s.YYAfterText, s.DDBeforeText, s.DDAfterText,
                                               s.HHBeforeText, s.HHAfterText, s.MMBeforeText, s.MMAfterText,
                                               s.SSBeforeText, s.SSAfterText};
    EXPECT_EQ(captions,
              (std::vector<std::string>{"", " Years", "", "Days", "", " Hours", "", " Minutes", "", " Seconds"}));
}

TEST_F(ProgramSettingsTest, DaysCaptionDefaultsToTheDayTypeRead)
{
    EXPECT_EQ(Load("[Target Date]\nTarget_Type=WorkDays\n").DDAfterText, "WorkDays");
    EXPECT_EQ(Load("[Target Date]\nTarget_Type=WorkDays\n[File Options]\nDD After Text= Tage \n").DDAfterText, "Tage");
}

TEST_F(ProgramSettingsTest, StoredValuesAreReadFromTheirSections)
{
    const ProgramSettings s = Load("[Target Date]\nTarget_Year=2038\nTarget_Month=1\nTarget_Day=19\n"
                                   "Caption_option=hh:mm\n[File Options]\nCount_Down_File=/tmp/c.txt\n"
                                   "Project File=/tmp/m.txt\nProject Title=Epoch\nSS After Text= s\n"
                                   "[Forms Open]\nTarget_Year=1999\n");
    EXPECT_EQ(s.TargetYear + "/" + s.TargetMonth + "/" + s.TargetDay, "2038/1/19");
    EXPECT_EQ(s.CaptionOption, "hh:mm");
    EXPECT_EQ(s.CountDownFile, "/tmp/c.txt");
    EXPECT_EQ(s.ProjectFile, "/tmp/m.txt");
    EXPECT_EQ(s.ProjectTitle, "Epoch");
    EXPECT_EQ(s.SSAfterText, "s");
}

TEST_F(ProgramSettingsTest, ContinuousSaveIsA16BitSwitch)
{
    const std::pair<const char*, std::int16_t> cases[] = {
        {"0", 0},         {"1", 1},           {" 5 ", 5},   {"-1", -1},    {"+3", 3},
        {"32767", 32767}, {"-32768", -32768}, {"32768", 1}, {"-32769", 1}, {"99999999999999999999", 1},
        {"abc", 0},       {"12abc", 0},       {"1.0", 0},   {"", 0},       {"-", 0},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Load(std::string("[File Options]\nContinuous_Save=") + text + "\n").ContinuousSave, expected)
            << '"' << text << '"';
    }
}

} // namespace
} // namespace kestrel
