// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramSettings.h"

#include "Settings.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    std::vector<std::string> captions;
    for (const UnitText& unit : s.unitTexts.units) {
        captions.insert(captions.end(), {unit.before, unit.after});
    }
    EXPECT_EQ(captions,
              (std::vector<std::string>{"", " Years", "", "Days", "", " Hours", "", " Minutes", "", " Seconds"}));
}

// Only a missing settings file makes a first run; any file that exists is the user's.
TEST_F(ProgramSettingsTest, OnlyAMissingSettingsFileIsAFirstRun)
{
    // clang-format off
    const struct { const char* what; const char* text; bool firstRun; } cases[] = {
        {"no file", nullptr, true},
        {"an empty file", "", false},
        {"a file without a target", "[File Options]\nProject Title=Move\n", false},
        {"a file with a target", "[Target Date]\nTarget_Year=2031\n", false},
    };
    // clang-format on
    for (const auto& c : cases) {
        const std::filesystem::path path = dir / (std::string(c.what) + ".ini");
        if (c.text != nullptr) {
            WriteFile(path, c.text);
        }
        EXPECT_EQ(IsFirstRun(SettingsFile(path)), c.firstRun) << c.what;
    }
    // A file that cannot be looked at is still a file: no first run over the user's settings.
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_FALSE(IsFirstRun(SettingsFile(dir / "folder.ini")));
}

TEST_F(ProgramSettingsTest, DaysCaptionDefaultsToTheDayTypeRead)
{
    EXPECT_EQ(Load("[Target Date]\nTarget_Type=WorkDays\n").unitTexts.units[1].after, "WorkDays");
    EXPECT_EQ(
        Load("[Target Date]\nTarget_Type=WorkDays\n[File Options]\nDD After Text= Tage \n").unitTexts.units[1].after,
        "Tage");
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
    EXPECT_EQ(s.unitTexts.units[4].after, "s");
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

namespace kestrel {
namespace {

// Every key of the tables, with the text a file that holds it gives.
std::vector<std::pair<SettingKey, std::string>> EveryKey()
{
    std::vector<std::pair<SettingKey, std::string>> keys;
    for (const ProgramField& field : kProgramFields) {
        keys.emplace_back(field.key, field.number != nullptr ? "7" : "stored " + std::string(field.key.key));
    }
    return keys;
}

class SettingsTableTest : public ::testing::Test
{
protected:
    TempDir dir;
};

// The tables are the only source of defaults: leaving any one key out of a file that holds all
// the others gives what the reader makes of that key's table default, or its computed default.
TEST_F(SettingsTableTest, EachMissingKeyReadsAsItsTableDefault)
{
    const std::filesystem::path data = "/data/kestrel";
    const std::vector<std::pair<SettingKey, std::string>> keys = EveryKey();
    const std::size_t units = kUnitKeys.size() * 2;
    for (std::size_t missing = 0; missing < keys.size() + units; ++missing) {
        // One section of each name: only the first of a name counts.
        std::string text = "[Target Date]\n";
        const auto add = [&text](const char* section, const std::string& key, const std::string& value) {
            if (std::string_view(section) == kFileOptionsSection && text.find("[File Options]") == std::string::npos) {
                text += "[File Options]\n";
            }
            text += key + "=" + value + "\n";
        };
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (i != missing) {
                add(keys[i].first.section, keys[i].first.key, keys[i].second);
            }
        }
        for (std::size_t u = 0; u < units; ++u) {
            if (keys.size() + u != missing) {
                add(kFileOptionsSection, UnitTextKeyOf(u / 2, u % 2 == 1).key, "unit " + std::to_string(u));
            }
        }
        WriteFile(dir.path() / "KESTREL.INI", text);
        const ProgramSettings s = LoadProgramSettings(SettingsFile(dir.path() / "KESTREL.INI"), data);
        if (missing < keys.size()) {
            const ProgramField& field = kProgramFields[missing];
            std::string expected = field.key.defaultValue != nullptr ? DefaultAsRead(field.key.defaultValue) : "";
            if (field.key.computed == Computed::CountdownFile) {
                expected = "/data/kestrel/Kestrel.txt";
            } else if (field.key.computed == Computed::MilestoneFile) {
                expected = "/data/kestrel/mileston.txt";
            }
            EXPECT_EQ(FieldText(s, field), expected) << field.key.key;
            EXPECT_EQ(FieldText(ProgramSettings{}, field), field.key.defaultValue != nullptr ? expected : "")
                << "a default-made value holds the reader's default of " << field.key.key;
        } else {
            const std::size_t u = missing - keys.size();
            const UnitTextKey key = UnitTextKeyOf(u / 2, u % 2 == 1);
            const std::string expected =
                key.computed == Computed::DayType ? "stored Target_Type" : DefaultAsRead(key.defaultValue);
            EXPECT_EQ(UnitTextField(s, u / 2, u % 2 == 1), expected) << key.key;
        }
    }
}

TEST_F(SettingsTableTest, UnitKeysFollowOnePattern)
{
    std::vector<std::string> keys;
    for (std::size_t u = 0; u < kUnitKeys.size(); ++u) {
        keys.push_back(UnitTextKeyOf(u, false).key);
        keys.push_back(UnitTextKeyOf(u, true).key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"YY Before Text", "YY After Text", "DD Before Text", "DD After Text",
                                              "HH Before Text", "HH After Text", "MM Before Text", "MM After Text",
                                              "SS Before Text", "SS After Text"}));
}

TEST_F(SettingsTableTest, TheScreensaverReadsTheSameTableWithItsOwnTitle)
{
    WriteFile(dir.path() / "KESTREL.INI", "[Target Date]\nTarget_Type=WorkDays\n");
    const SettingsFile file(dir.path() / "KESTREL.INI");
    ProgramSettings program = LoadProgramSettings(file, {});
    const ProgramSettings saver = LoadProgramSettings(file, {}, SettingsReader::Screensaver);
    EXPECT_EQ(saver.ProjectTitle, setting::kSaverProjectTitleDefault);
    program.ProjectTitle = saver.ProjectTitle;
    EXPECT_EQ(FieldText(program, kProgramFields[0]), FieldText(saver, kProgramFields[0]));
    EXPECT_EQ(program.unitTexts, saver.unitTexts);
    EXPECT_EQ(saver.unitTexts.units[kDaysUnit].after, "WorkDays");
}

} // namespace
} // namespace kestrel
