// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Countdowns.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

TEST(CountdownNameTest, NamesAreCheckedAsTheRulesSay)
{
    struct Case
    {
        std::string name;
        bool valid;
    };
    // clang-format off
    const Case cases[] = {
        {"Launch", true},
        {"x", true},
        {"Wedding day 2027", true},
        {"Ärger über Ölpreise", true},
        {"a\\b", true},
        {"trailing.", true},
        {std::string(64, 'a'), true},
        {"\xC3\x84" + std::string(63, 'a'), true},   // 64 characters, 65 bytes
        {"", false},
        {std::string(65, 'a'), false},
        {"\xC3\x84" + std::string(64, 'a'), false},  // 65 characters
        {"../x", false},
        {"a/b", false},
        {"/", false},
        {".hidden", false},
        {".", false},
        {"..", false},
        {"tab\there", false},
        {"line\nbreak", false},
        {std::string("nul\0x", 5), false},
        {"del\x7f", false},
        {"c1\xC2\x85", false},                         // NEL, a control character of Latin-1
        {"\xFF\xFE", false},                           // not UTF-8
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(!CountdownNameProblem(c.name).has_value(), c.valid) << c.name;
    }
}

TEST(CountdownNameTest, NamesCompareWithoutRegardToCase)
{
    struct Case
    {
        const char* a;
        const char* b;
        bool same;
    };
    // clang-format off
    const Case cases[] = {
        {"Launch", "launch", true},
        {"LAUNCH", "Launch", true},
        {"default", "Default", true},
        {"Ärger", "ärger", true},
        {"ΣΟΦΙΑ", "σοφια", true},
        {"Launch", "Launch ", false},
        {"Launch", "Lunch", false},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(SameCountdownName(c.a, c.b), c.same) << c.a << " / " << c.b;
    }
}

// A home of countdowns in a temporary folder: KESTREL.INI and a countdowns folder beside it.
struct Home
{
    test::TempDir dir;
    CountdownsHome home{dir / "config/kestrel/KESTREL.INI", dir / "data/kestrel"};

    Home()
    {
        fs::create_directories(home.countdownsFolder());
        test::WriteFile(home.settingsFile, "[Target Date]\nTarget_Year=2040\n");
    }
    void add(const std::string& fileName) { test::WriteFile(home.countdownsFolder() / fileName, "[Target Date]\n"); }
};

std::vector<std::string> Names(const std::vector<CountdownPlace>& places)
{
    std::vector<std::string> names;
    for (const CountdownPlace& place : places) {
        names.push_back(place.name);
    }
    return names;
}

TEST(CountdownListTest, DefaultComesFirstThenTheOthersByNameWithoutCase)
{
    Home h;
    for (const char* file : {"zoo.INI", "Launch.ini", "apple.INI", ".hidden.INI", "notes.txt", "Default.INI", ".INI"}) {
        h.add(file);
    }
    fs::create_directories(h.home.countdownsFolder() / "folder.INI");
    EXPECT_EQ(Names(ListCountdowns(h.home)), (std::vector<std::string>{"Default", "apple", "Launch", "zoo"}));
}

TEST(CountdownListTest, WithoutACountdownsFolderThereIsOnlyDefault)
{
    test::TempDir dir;
    const CountdownsHome home{dir / "KESTREL.INI", dir / "data"};
    const std::vector<CountdownPlace> all = ListCountdowns(home);
    ASSERT_EQ(all.size(), 1U);
    EXPECT_EQ(all[0], (CountdownPlace{"Default", dir / "KESTREL.INI", dir / "data", true, true}));
    EXPECT_FALSE(fs::exists(dir / "countdowns"));
}

TEST(CountdownResolveTest, EachOptionNamesItsSettingsFileAndDataFolder)
{
    Home h;
    h.add("Launch.INI");
    fs::create_symlink(h.home.settingsFile, h.dir / "link.ini");
    fs::create_symlink(h.home.countdownsFolder() / "Launch.INI", h.dir / "launch-link.ini");
    const fs::path folder = h.home.countdownsFolder();
    const fs::path data = h.home.dataDirectory;
    struct Case
    {
        const char* what;
        CountdownOption option;
        CountdownPlace place;
    };
    // clang-format off
    const Case cases[] = {
        {"no option", {}, {"Default", h.home.settingsFile, data, true, true}},
        {"--countdown Default", {"Default", {}}, {"Default", h.home.settingsFile, data, true, true}},
        {"--countdown default", {"default", {}}, {"Default", h.home.settingsFile, data, true, true}},
        {"--countdown Launch", {"Launch", {}}, {"Launch", folder / "Launch.INI", data / "countdowns/Launch", false, true}},
        {"--countdown LAUNCH", {"LAUNCH", {}}, {"Launch", folder / "Launch.INI", data / "countdowns/Launch", false, true}},
        {"--settings KESTREL.INI", {{}, h.home.settingsFile}, {"Default", h.home.settingsFile, data, true, true}},
        {"--settings a link to it", {{}, h.dir / "link.ini"}, {"Default", h.home.settingsFile, data, true, true}},
        {"--settings a link to Launch", {{}, h.dir / "launch-link.ini"}, {"Launch", folder / "Launch.INI", data / "countdowns/Launch", false, true}},
        {"--settings another file", {{}, h.dir / "work/plan.ini"}, {"plan.ini", h.dir / "work/plan.ini", h.dir / "work", false, false}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const auto resolved = ResolveCountdown(c.option, h.home);
        ASSERT_TRUE(std::holds_alternative<CountdownPlace>(resolved))
            << c.what << ": " << std::get<std::string>(resolved);
        EXPECT_EQ(std::get<CountdownPlace>(resolved), c.place) << c.what;
    }
}

TEST(CountdownResolveTest, AMissingOrBadNameIsAnError)
{
    Home h;
    h.add("Launch.INI");
    for (const char* name : {"Lunch", "../x", ".Launch", "", "../countdowns/Launch"}) {
        const auto resolved = ResolveCountdown({name, {}}, h.home);
        EXPECT_TRUE(std::holds_alternative<std::string>(resolved)) << name;
    }
    EXPECT_NE(std::get<std::string>(ResolveCountdown({"Lunch", {}}, h.home)).find("no countdown called Lunch"),
              std::string::npos);
}

TEST(CountdownOptionTest, IsTakenOutOfTheCommandLine)
{
    struct Case
    {
        std::vector<std::string> args;
        std::optional<std::string> name;
        std::optional<fs::path> file;
        std::vector<std::string> rest;
        bool error;
    };
    // clang-format off
    const Case cases[] = {
        {{"--line"}, {}, {}, {"--line"}, false},
        {{"--countdown", "Launch", "--json"}, "Launch", {}, {"--json"}, false},
        {{"--json", "--countdown=Launch day"}, "Launch day", {}, {"--json"}, false},
        {{"--settings", "/x/a.ini"}, {}, fs::path("/x/a.ini"), {}, false},
        {{"--settings=a.ini", "--watch"}, {}, fs::path("a.ini"), {"--watch"}, false},
        {{"--", "--countdown", "x"}, {}, {}, {"--", "--countdown", "x"}, false},
        {{"--countdown"}, {}, {}, {}, true},
        {{"--settings"}, {}, {}, {}, true},
        {{"--countdown", "a", "--settings", "b"}, {}, {}, {}, true},
        {{"--countdown", "a", "--countdown", "b"}, {}, {}, {}, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        const auto taken = TakeCountdownOption(args);
        ASSERT_EQ(std::holds_alternative<std::string>(taken), c.error) << c.args.front();
        if (!c.error) {
            EXPECT_EQ(std::get<CountdownOption>(taken).name, c.name);
            EXPECT_EQ(std::get<CountdownOption>(taken).settingsFile, c.file);
            EXPECT_EQ(args, c.rest);
        }
    }
}

TEST(CountdownInstanceTest, OneInstancePerRealSettingsFile)
{
    Home h;
    h.add("Launch.INI");
    h.add("Other.INI");
    const fs::path launch = h.home.countdownsFolder() / "Launch.INI";
    fs::create_symlink(launch, h.dir / "launch-link.ini");
    fs::create_symlink(h.home.settingsFile, h.dir / "link.ini");

    EXPECT_EQ(CountdownInstanceName(h.home.settingsFile, h.home), "kestrel");
    EXPECT_EQ(CountdownInstanceName(h.dir / "link.ini", h.home), "kestrel");
    const std::string name = CountdownInstanceName(launch, h.home);
    EXPECT_EQ(name.size(), std::string("kestrel-").size() + 16);
    EXPECT_TRUE(name.starts_with("kestrel-"));
    EXPECT_EQ(CountdownInstanceName(h.dir / "launch-link.ini", h.home), name);
    EXPECT_EQ(CountdownInstanceName(h.home.countdownsFolder() / "../countdowns/Launch.INI", h.home), name);
    EXPECT_NE(CountdownInstanceName(h.home.countdownsFolder() / "Other.INI", h.home), name);
}

} // namespace
} // namespace kestrel
