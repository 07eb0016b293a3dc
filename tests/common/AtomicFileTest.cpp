// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AtomicFile.h"

#include "TempDir.h"
#include "Unprivileged.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <set>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::set<std::string> Names(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Sets a file's modification time to seconds before now.
void Age(const fs::path& path, int seconds)
{
    timespec times[2] = {};
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(FileErrorTest, EachFailureHasTheProgramsNumberAndText)
{
    // clang-format off
    const std::pair<int, const char*> cases[] = {
        {ENOENT, "76 Path not found"},
        {ENOTDIR, "76 Path not found"},
        {EACCES, "70 Permission denied"},
        {EPERM, "70 Permission denied"},
        {EROFS, "70 Permission denied"},
        {ENOSPC, "61 Disk full"},
        {EDQUOT, "61 Disk full"},
        {EFBIG, "61 Disk full"}, // past the file-size limit
        {EIO, "75 Path/File access error"},
        {EISDIR, "75 Path/File access error"},
    };
    // clang-format on
    for (const auto& [error, report] : cases) {
        const RuntimeError numbered = RuntimeError::FromSystemError(error);
        EXPECT_EQ(numbered.report(), report) << error;
        EXPECT_EQ(numbered.systemError(), error);
        EXPECT_EQ(numbered.described("other words").systemError(), error);
    }
}

TEST(FileErrorTest, TheSaveMessageNamesWhatWhereAndWhy)
{
    EXPECT_EQ(CouldNotBeSavedText("The settings", "/home/a/KESTREL.INI"),
              "The settings could not be saved to /home/a/KESTREL.INI");
    EXPECT_EQ(CouldNotBeSavedText("the milestones", "m.txt", "Is a directory"),
              "the milestones could not be saved to m.txt (Is a directory)");
}

struct ReadCase
{
    const char* name;
    std::function<fs::path(const TempDir&)> make;
    std::size_t limit;
    Oversize oversize;
    int error;         // 0: read
    const char* bytes; // what was read
    bool cut;
};

class ReadRegularFiles : public ::testing::TestWithParam<ReadCase>
{};

TEST_P(ReadRegularFiles, GiveTheBytesOrTheReason)
{
    const ReadCase& c = GetParam();
    TempDir dir;
    const FileResult<FileContents> read = ReadRegularFile(c.make(dir), c.limit, c.oversize);
    EXPECT_EQ(read.systemError(), c.error);
    if (c.error == 0) {
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.value().bytes, c.bytes);
        EXPECT_EQ(read.value().cut, c.cut);
    }
}

fs::path Written(const TempDir& dir, const char* bytes)
{
    WriteFile(dir / "f", bytes);
    return dir / "f";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Kinds, ReadRegularFiles, ::testing::Values(
    ReadCase{"Whole", [](const TempDir& d) { return Written(d, "[S]\nk=v\n"); }, 100, Oversize::Refuse, 0, "[S]\nk=v\n", false},
    ReadCase{"Empty", [](const TempDir& d) { return Written(d, ""); }, 100, Oversize::Refuse, 0, "", false},
    ReadCase{"ExactlyTheLimit", [](const TempDir& d) { return Written(d, "12345"); }, 5, Oversize::Refuse, 0, "12345", false},
    ReadCase{"TooLargeRefused", [](const TempDir& d) { return Written(d, "123456"); }, 5, Oversize::Refuse, EINVAL, "", false},
    ReadCase{"TooLargeReadInPart", [](const TempDir& d) { return Written(d, "123456"); }, 5, Oversize::ReadFirst, 0, "12345", true},
    ReadCase{"Missing", [](const TempDir& d) { return d / "none"; }, 100, Oversize::Refuse, ENOENT, "", false},
    ReadCase{"MissingFolder", [](const TempDir& d) { return d / "none" / "f"; }, 100, Oversize::Refuse, ENOENT, "", false},
    ReadCase{"Folder", [](const TempDir& d) { return d.path(); }, 100, Oversize::Refuse, EISDIR, "", false},
    ReadCase{"FifoDoesNotHang", [](const TempDir& d) { ::mkfifo((d / "p").c_str(), 0600); return d / "p"; }, 100, Oversize::Refuse, EINVAL, "", false}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST(FindSaveTargetTest, FollowsLinksAndRefusesWhatItMustNotReplace)
{
    TempDir dir;
    WriteFile(dir / "real", "x");
    fs::create_symlink("real", dir / "link");
    fs::create_symlink("loop", dir / "loop");
    const FileResult<SaveTarget> linked = FindSaveTarget(dir / "link");
    ASSERT_TRUE(linked.ok());
    EXPECT_EQ(linked.value().path, dir / "real");
    EXPECT_TRUE(linked.value().existing.has_value());

    const FileResult<SaveTarget> fresh = FindSaveTarget(dir / "new");
    ASSERT_TRUE(fresh.ok());
    EXPECT_FALSE(fresh.value().existing.has_value());

    EXPECT_EQ(FindSaveTarget(dir / "loop").systemError(), ELOOP);
    EXPECT_EQ(FindSaveTarget(dir.path()).systemError(), EISDIR);
    ::chmod((dir / "real").c_str(), 0444);
    EXPECT_EQ(FindSaveTarget(dir / "link").error().number(), RuntimeError::PermissionDenied);
}

// Under a file-size limit (ulimit -f) a write fails as on a full disk, once the program has
// said it takes the limit as an error, and the temporary beside the file goes.
TEST(FileSizeLimitTest, AWritePastTheLimitIsADiskFullAndLeavesNoTemporary)
{
    TempDir dir;
    WriteFile(dir / "report.pdf", "old");
    const pid_t child = ::fork();
    if (child == 0) {
        IgnoreFileSizeLimitSignal();
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int code = 1;
        try {
            ReplaceFileContents(dir / "report.pdf", std::string(100, 'x'));
        } catch (const RuntimeError& error) {
            code = error.report() == "61 Disk full" ? 0 : 2;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFile(dir / "report.pdf"), "old");
    EXPECT_EQ(Names(dir.path()), std::set<std::string>{"report.pdf"});
}

TEST(ReplaceFileContentsTest, AFileWhoseWritePermissionIsRemovedIsNotReplaced)
{
    TempDir dir;
    const fs::path path = dir / "Kestrel.txt";
    WriteFile(path, "T-5 Days\r\n");
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(OverwriteSameSize(path, "T-4 Days\r\n"));
    try {
        ReplaceFileContents(path, "T-4 Days and more\r\n");
        ADD_FAILURE() << "a read-only file was replaced";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeError::PermissionDenied);
    }
    EXPECT_EQ(ReadFile(path), "T-5 Days\r\n");
    EXPECT_EQ(Names(dir.path()), std::set<std::string>{"Kestrel.txt"});
}

TEST(ReplaceFileContentsTest, MayWriteFollowsTheBitThatAppliesToTheCaller)
{
    struct Case
    {
        uid_t owner;
        gid_t group;
        mode_t mode;
        bool writable;
    };
    // Judged as the user "nobody" (65534, group 65534), who owns none of root's files.
    const Case cases[] = {
        {65534, 0, 0600, true},  {65534, 0, 0466, false}, {0, 65534, 0460, true},
        {0, 65534, 0646, false}, {0, 0, 0442, true},      {0, 0, 0644, false},
    };
    for (const Case& c : cases) {
        struct stat status = {};
        status.st_uid = c.owner;
        status.st_gid = c.group;
        status.st_mode = S_IFREG | c.mode;
        EXPECT_EQ(test::RunUnprivileged([&] { return MayWrite(status); }), c.writable ? 1 : 0)
            << std::oct << c.mode << " owned by " << std::dec << c.owner << ":" << c.group;
    }
    if (::geteuid() == 0) {
        struct stat status = {};
        status.st_mode = S_IFREG | 0444;
        EXPECT_FALSE(MayWrite(status)) << "root: no write bit at all";
        status.st_mode = S_IFREG | 0004 | 0002;
        EXPECT_TRUE(MayWrite(status));
    }
}

TEST(ReplaceFileContentsTest, ReplacingAnotherUsersFileKeepsItsOwnerGroupAndMode)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    TempDir dir;
    const fs::path path = dir / "Kestrel.txt";
    WriteFile(path, "T-5 Days\r\n");
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    ::chmod(path.c_str(), 0640);
    ReplaceFileContents(path, "T-4 Days and more\r\n");
    struct stat status = {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    EXPECT_EQ(status.st_gid, 65534u);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(path), "T-4 Days and more\r\n");
}

TEST(RemoveStaleTemporariesTest, RemovesOnlyOldLeftoversOfOurOwnNaming)
{
    TempDir dir;
    const fs::path target = dir / "KESTREL.INI";
    WriteFile(target, "[S]\nk=v\n");
    struct Entry
    {
        const char* name;
        int age; // seconds
        bool removed;
    };
    const Entry entries[] = {
        {".KESTREL.INI.a1B2c3", 120, true},  {".KESTREL.INI.zzzzzz", 3600, true},
        {".KESTREL.INI.Young1", 10, false}, // a write running now may still use it
        {".KESTREL.INI.abc12", 120, false},  {".KESTREL.INI.abc1234", 120, false},
        {".KESTREL.INI.ab-c12", 120, false}, {"KESTREL.INI.abc123", 120, false},
        {".Kestrel.txt.abc123", 120, false}, {".KESTREL.INI.bak", 120, false},
    };
    for (const Entry& e : entries) {
        WriteFile(dir / e.name, "left over");
        Age(dir / e.name, e.age);
    }
    fs::create_directory(dir / ".KESTREL.INI.folder");
    Age(dir / ".KESTREL.INI.folder", 120);

    RemoveStaleTemporaries(target);

    for (const Entry& e : entries) {
        EXPECT_EQ(fs::exists(dir / e.name), !e.removed) << e.name;
    }
    EXPECT_TRUE(fs::exists(dir / ".KESTREL.INI.folder"));
    EXPECT_EQ(ReadFile(target), "[S]\nk=v\n");
    RemoveStaleTemporaries(dir / "missing" / "KESTREL.INI"); // no folder: nothing to do
}

TEST(RemoveStaleTemporariesTest, LooksBesideTheFileALinkPointsTo)
{
    TempDir dir;
    fs::create_directory(dir / "real");
    WriteFile(dir / "real" / "KESTREL.INI", "");
    fs::create_symlink(dir / "real" / "KESTREL.INI", dir / "KESTREL.INI");
    WriteFile(dir / "real" / ".KESTREL.INI.Q1w2E3", "left over");
    Age(dir / "real" / ".KESTREL.INI.Q1w2E3", 120);
    RemoveStaleTemporaries(dir / "KESTREL.INI");
    EXPECT_EQ(Names(dir / "real"), std::set<std::string>{"KESTREL.INI"});
}

} // namespace
} // namespace kestrel
