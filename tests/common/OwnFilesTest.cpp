// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ICalendar.h"
#include "Milestones.h"
#include "OwnFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <optional>

namespace kestrel {
namespace {

using test::TempDir;

// Kestrel's own files in a temporary folder: the settings file and the milestone file exist, the
// countdown file and the calendar feed do not yet.
struct OwnFilesFixture : ::testing::Test
{
    TempDir dir;
    OwnFilePaths own{dir / "config" / "KESTREL.INI", dir / "data" / "mileston.txt", dir / "data" / "Kestrel.txt",
                     dir / "feed" / "kestrel.ics"};

    void SetUp() override
    {
        std::filesystem::create_directories(dir / "config");
        std::filesystem::create_directories(dir / "data");
        test::WriteFile(own.settings, "[Target Date]\n");
        test::WriteFile(own.milestones, "\" 36526\",\"Conversion complete\"\r\n");
        std::filesystem::create_symlink(own.settings, dir / "link.ini");
        std::filesystem::create_symlink(dir / "config", dir / "linked-config");
        std::filesystem::create_hard_link(own.milestones, dir / "hard.txt");
    }
};

TEST_F(OwnFilesFixture, EachOwnFileIsKnownThroughLinksAndOtherSpellings)
{
    const std::optional<OwnFile> none;
    const struct
    {
        std::filesystem::path path;
        std::optional<OwnFile> own;
    } cases[] = {
        // clang-format off
        {dir / "config" / "KESTREL.INI",                     OwnFile::Settings},
        {dir / "config" / ".." / "config" / "KESTREL.INI",   OwnFile::Settings},
        {dir / "link.ini",                                   OwnFile::Settings},
        {dir / "linked-config" / "KESTREL.INI",              OwnFile::Settings},
        {dir / "data" / "mileston.txt",                      OwnFile::Milestones},
        {dir / "hard.txt",                                   OwnFile::Milestones},
        {dir / "data" / "." / "Kestrel.txt",                 OwnFile::Countdown},
        {dir / "feed" / "kestrel.ics",                       OwnFile::CalendarFeed},
        {dir / "report.pdf",                                 none},
        {dir / "config" / "kestrel.ini",                     none},
        {dir / "data",                                       none},
        {"",                                                 none},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OwnFileAt(c.path, own), c.own) << c.path;
    }
}

TEST_F(OwnFilesFixture, TheFileBeingWrittenMayBeItselfButNoOther)
{
    EXPECT_EQ(OwnFileAt(own.countdown, own, OwnFile::Countdown), std::nullopt);
    EXPECT_EQ(OwnFileAt(own.milestones, own, OwnFile::Milestones), std::nullopt);
    EXPECT_EQ(OwnFileAt(dir / "link.ini", own, OwnFile::Milestones), OwnFile::Settings);
    EXPECT_EQ(OwnFileAt(own.calendarFeed, own, OwnFile::Milestones), OwnFile::CalendarFeed);
    // A countdown file that is the milestone file is found from either side.
    OwnFilePaths same = own;
    same.countdown = dir / "hard.txt";
    EXPECT_EQ(OwnFileAt(same.countdown, same, OwnFile::Countdown), OwnFile::Milestones);
    EXPECT_EQ(OwnFileAt(same.milestones, same, OwnFile::Milestones), OwnFile::Countdown);
    // No calendar feed set: an empty path names no file.
    OwnFilePaths noFeed = own;
    noFeed.calendarFeed.clear();
    EXPECT_EQ(OwnFileAt(dir / "feed" / "kestrel.ics", noFeed), std::nullopt);
}

TEST_F(OwnFilesFixture, TheSettingsFileNamesTheOthers)
{
    test::WriteFile(own.settings, "[File Options]\nProject File=\nCount_Down_File=" + (dir / "count.txt").string() +
                                      "\n[Calendar]\nCalendar File=" + own.calendarFeed.string() + "\n");
    const SettingsFile file(own.settings);
    const ProgramSettings settings = LoadProgramSettings(file, dir / "data");
    const OwnFilePaths read = OwnFilesOf(file, settings, dir / "data");
    EXPECT_EQ(read.settings, own.settings);
    // "Project File" empty: mileston.txt in the data folder.
    EXPECT_EQ(read.milestones, own.milestones);
    EXPECT_EQ(read.countdown, dir / "count.txt");
    EXPECT_EQ(read.calendarFeed, own.calendarFeed);
}

} // namespace
} // namespace kestrel
