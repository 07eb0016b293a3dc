// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Autostart.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(DesktopExecValue, QuotesOnlyWhatTheDesktopEntryRulesAskFor)
{
    // clang-format off
    const struct { const char* path; const char* value; } cases[] = {
        {"/usr/bin/kestrel", "/usr/bin/kestrel"},
        {"/opt/my apps/kestrel", "\"/opt/my apps/kestrel\""},
        {"/opt/a\"b/kestrel", "\"/opt/a\\\\\"b/kestrel\""},
        {"/opt/$HOME/kestrel", "\"/opt/\\\\$HOME/kestrel\""},
        {"/opt/back\\slash/kestrel", "\"/opt/back\\\\\\\\slash/kestrel\""},
        {"/opt/100%/kestrel", "/opt/100%%/kestrel"},
        {"/opt/it's/kestrel", "\"/opt/it's/kestrel\""},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(DesktopExecValue(c.path), c.value) << c.path;
    }
}

class AutostartTest : public ::testing::Test
{
protected:
    std::filesystem::path entry() const { return dir / "autostart" / "kestrel.desktop"; }
    TempDir dir;
};

TEST_F(AutostartTest, OnWritesKestrelsEntryAndOffRemovesIt)
{
    EXPECT_FALSE(AutostartEnabled(entry()));
    SetAutostart(entry(), true, "/opt/my apps/kestrel");
    EXPECT_TRUE(AutostartEnabled(entry()));
    EXPECT_EQ(ReadFile(entry()), AutostartEntryText("/opt/my apps/kestrel"));
    EXPECT_NE(ReadFile(entry()).find("\nExec=\"/opt/my apps/kestrel\"\n"), std::string::npos);

    SetAutostart(entry(), false, "/opt/my apps/kestrel");
    EXPECT_FALSE(std::filesystem::exists(entry()));
    EXPECT_FALSE(AutostartEnabled(entry()));
    SetAutostart(entry(), false, "/opt/my apps/kestrel"); // nothing to remove: no error
}

TEST_F(AutostartTest, EachCountdownHasItsOwnEntryStartingItByName)
{
    struct Case
    {
        const char* countdown;
        const char* file;
        const char* exec;
        const char* name;
    };
    // clang-format off
    const Case cases[] = {
        {"", "kestrel.desktop", "\nExec=/usr/bin/kestrel\n", "\nName=Kestrel\n"},
        {"default", "kestrel.desktop", "\nExec=/usr/bin/kestrel\n", "\nName=Kestrel\n"},
        {"Launch", "kestrel-countdown-Launch.desktop", "\nExec=/usr/bin/kestrel --countdown Launch\n", "\nName=Kestrel (Launch)\n"},
        {"Moon trip", "kestrel-countdown-Moon trip.desktop", "\nExec=/usr/bin/kestrel --countdown \"Moon trip\"\n", "\nName=Kestrel (Moon trip)\n"},
        {"50%", "kestrel-countdown-50%.desktop", "\nExec=/usr/bin/kestrel --countdown 50%%\n", "\nName=Kestrel (50%)\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::filesystem::path own = CountdownAutostartEntry(entry(), c.countdown);
        EXPECT_EQ(own, dir / "autostart" / c.file);
        SetAutostart(own, true, "/usr/bin/kestrel", c.countdown);
        const std::string text = ReadFile(own);
        EXPECT_NE(text.find(c.exec), std::string::npos) << text;
        EXPECT_NE(text.find(c.name), std::string::npos) << text;
        SetAutostart(own, false, "/usr/bin/kestrel", c.countdown);
        EXPECT_FALSE(std::filesystem::exists(own));
    }
}

// The box shows what is on disk: an entry switched off either way is off.
TEST_F(AutostartTest, AnEntrySwitchedOffReadsAsOff)
{
    // clang-format off
    const struct { const char* text; bool on; } cases[] = {
        {"[Desktop Entry]\nType=Application\nName=K\nExec=kestrel\n", true},
        {"[Desktop Entry]\nExec=kestrel\nHidden=true\n", false},
        {"[Desktop Entry]\nExec=kestrel\nHidden = true\n", false},
        {"[Desktop Entry]\nExec=kestrel\nHidden=false\n", true},
        {"[Desktop Entry]\nExec=kestrel\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nExec=kestrel\nX-GNOME-Autostart-enabled=true\n", true},
        {"[Desktop Entry]\nExec=kestrel\n[Desktop Action x]\nHidden=true\n", true},
        {"[Desktop Entry]\nExec=kestrel\n# Hidden=true\n", true},
    };
    // clang-format on
    std::filesystem::create_directories(entry().parent_path());
    for (const auto& c : cases) {
        WriteFile(entry(), c.text);
        EXPECT_EQ(AutostartEnabled(entry()), c.on) << c.text;
    }
}

// An entry the user made is never removed: off hides it, on shows it again, every other line kept.
TEST_F(AutostartTest, TheUsersOwnEntryIsHiddenAndShownInPlace)
{
    std::filesystem::create_directories(entry().parent_path());
    const std::string own = "# mine\n[Desktop Entry]\nType=Application\nName=Countdown\nExec=/home/me/bin/kestrel\n";
    WriteFile(entry(), own);
    SetAutostart(entry(), false, "/usr/bin/kestrel");
    EXPECT_EQ(ReadFile(entry()),
              "# mine\n[Desktop Entry]\nHidden=true\nType=Application\nName=Countdown\nExec=/home/me/bin/kestrel\n");
    EXPECT_FALSE(AutostartEnabled(entry()));

    SetAutostart(entry(), true, "/usr/bin/kestrel");
    EXPECT_EQ(ReadFile(entry()), own);
    EXPECT_TRUE(AutostartEnabled(entry()));

    WriteFile(entry(), "[Desktop Entry]\nExec=kestrel\nHidden=false\nX-GNOME-Autostart-enabled=false\n");
    SetAutostart(entry(), false, "/usr/bin/kestrel");
    EXPECT_EQ(ReadFile(entry()), "[Desktop Entry]\nExec=kestrel\nHidden=true\nX-GNOME-Autostart-enabled=false\n");
    SetAutostart(entry(), true, "/usr/bin/kestrel");
    EXPECT_EQ(ReadFile(entry()), "[Desktop Entry]\nExec=kestrel\n");
}

} // namespace
} // namespace kestrel
