// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "MilestoneStore.h"

#include "DeskCalendar.h"
#include "MonthView.h"
#include "ProgramFixture.h"
#include "ScopedEnvironment.h"

#include <QSignalSpy>

#include <QCoreApplication>

namespace kestrel::test {
namespace {

class MilestoneStoreTest : public ProgramFixture
{
protected:
    // Replaces the milestone file as a sync client or an editor does: a new file, then a rename.
    void ReplaceByRename(const std::filesystem::path& file, const std::string& bytes)
    {
        const std::filesystem::path fresh = file.parent_path() / "incoming.tmp";
        WriteFile(fresh, bytes);
        std::filesystem::rename(fresh, file);
    }
};

TEST_F(MilestoneStoreTest, AnEmptyProjectFileMeansTheDataFoldersMilestoneFile)
{
    program->ProgramSettings.ProjectFile.clear();
    EXPECT_EQ(program->milestones.path(), dir / "data" / "mileston.txt");
    program->ProgramSettings.ProjectFile = (dir / "elsewhere.txt").string();
    EXPECT_EQ(program->milestones.path(), dir / "elsewhere.txt");
}

// The file is watched through its folder too: after a rename over it, the next rename is seen as
// well, each time without reopening anything.
TEST_F(MilestoneStoreTest, AFileReplacedTwiceByRenameIsReadAgainEachTime)
{
    program->ProgramSettings.ProjectFile.clear();
    std::filesystem::create_directories(dir / "data");
    const std::filesystem::path file = dir / "data" / "mileston.txt";
    WriteFile(file, "\" 36518\",\"Review\"\r\n");
    ASSERT_FALSE(program->milestones.load());
    QSignalSpy changed(&program->milestones, &MilestoneStore::changed);

    ReplaceByRename(file, "\" 36519\",\"Freeze\"\r\n");
    ASSERT_TRUE(changed.wait(2000)) << "the first replacement was not noticed";
    ASSERT_EQ(program->milestones.table().count(), 1);
    EXPECT_EQ(program->milestones.table().at(1).text, "Freeze");

    ReplaceByRename(file, "\" 36520\",\"Ship\"\r\n\" 36521\",\"Party\"\r\n");
    ASSERT_TRUE(changed.wait(2000)) << "the second replacement was not noticed";
    ASSERT_EQ(program->milestones.table().count(), 2);
    EXPECT_EQ(program->milestones.table().at(2).text, "Party");
}

TEST_F(MilestoneStoreTest, ItsOwnSaveIsNotReadAsAChangeOnDisk)
{
    program->ProgramSettings.ProjectFile.clear();
    ASSERT_FALSE(program->milestones.load());
    program->milestones.table().PutMilestone(0, PackDate(1999, 12, 24), "Review");
    QSignalSpy changed(&program->milestones, &MilestoneStore::changed);
    ASSERT_FALSE(program->milestones.save());
    // The watcher's news of the save is already queued: deliver it.
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(changed.count(), 1) << "the save tells the listeners once; the watcher saw it as a change";
    EXPECT_EQ(ReadFile(dir / "data" / "mileston.txt"), "\" 36518\",\"Review\"\r\n");
}

TEST_F(MilestoneStoreTest, AnOpenCalendarShowsAMilestoneAnotherProgramWrote)
{
    program->ProgramSettings.ProjectFile.clear();
    StartToolbar();
    auto calendar = std::make_unique<DeskCalendar>(*program);
    calendar->ShowMonth({1999, 12});
    const auto milestoneDays = [&calendar] {
        int marked = 0;
        for (const DayCell& cell : calendar->grid().cells) {
            marked += cell.milestone != 0 ? 1 : 0;
        }
        return marked;
    };
    EXPECT_EQ(milestoneDays(), 0);
    std::filesystem::create_directories(dir / "data");
    QSignalSpy changed(&program->milestones, &MilestoneStore::changed);
    ReplaceByRename(dir / "data" / "mileston.txt", "\" 36518\",\"Review\"\r\n");
    ASSERT_TRUE(changed.wait(2000));
    EXPECT_EQ(milestoneDays(), 1);
}

// With the milestones shared, a save waits for a sync's merge through the countdown's lock. A lock
// that cannot be made (its folder cannot be made) holds nothing up: the user's change is saved.
TEST_F(MilestoneStoreTest, ASharedTableIsSavedWhenItsLockCannotBeMade)
{
    WriteSettings("[Shared Calendar]\r\nShare Milestones=True\r\n");
    WriteFile(dir / "not a folder", "");
    const ScopedEnvironment state("XDG_STATE_HOME", (dir / "not a folder" / "state").string());
    program->ProgramSettings.ProjectFile.clear();
    ASSERT_FALSE(program->milestones.load());
    program->milestones.table().PutMilestone(0, PackDate(1999, 12, 24), "Review");
    EXPECT_FALSE(program->milestones.save());
    EXPECT_EQ(ReadFile(dir / "data" / "mileston.txt"), "\" 36518\",\"Review\"\r\n");
}

// A sync wrote the team's milestones after the table was read and before the user's change was
// saved: the save keeps both.
TEST_F(MilestoneStoreTest, ASaveAfterASyncWroteTheFileKeepsTheTeamsMilestones)
{
    WriteSettings("[Shared Calendar]\r\nShare Milestones=True\r\n");
    const ScopedEnvironment state("XDG_STATE_HOME", (dir / "state").string());
    program->ProgramSettings.ProjectFile.clear();
    std::filesystem::create_directories(dir / "data");
    const std::filesystem::path file = dir / "data" / "mileston.txt";
    WriteFile(file, "\" 36518\",\"Review\"\r\n\" 36519\",\"Freeze\"\r\n");
    ASSERT_FALSE(program->milestones.load());
    ReplaceByRename(file, "\" 36518\",\"Review, room 2\"\r\n\" 36519\",\"Freeze\"\r\n\" 36520\",\"Team\"\r\n");
    MilestoneTable& table = program->milestones.table();
    table.PutMilestone(2, PackDate(1999, 12, 25), "Freeze moved");
    table.PutMilestone(0, PackDate(1999, 12, 31), "Mine");
    ASSERT_FALSE(program->milestones.save());
    EXPECT_EQ(ReadFile(file), "\" 36518\",\"Review, room 2\"\r\n\" 36519\",\"Freeze moved\"\r\n\" 36520\",\"Team\"\r\n"
                              "\" 36525\",\"Mine\"\r\n");
}

} // namespace
} // namespace kestrel::test
