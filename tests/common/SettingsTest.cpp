// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Settings.h"

#include "TempDir.h"
#include "Unprivileged.h"
#include "WriteSetting.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunUnprivileged;
using test::TempDir;
using test::WriteFile;

// The lines of text that are not blank, to compare files without minding blank lines.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (text.find_first_not_of(" \t\r", start) < end) {
            lines.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return lines;
}

mode_t ModeOf(const fs::path& path)
{
    struct stat info = {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 0777;
}

// Waits until count records have come from fd: bytes from a pipe, or events from an inotify
// descriptor. False when fd ends or stays silent for 10 s.
bool AwaitRecords(int fd, int count, bool events)
{
    alignas(inotify_event) char buffer[4096];
    while (count > 0) {
        pollfd ready{fd, POLLIN, 0};
        const ssize_t length = ::poll(&ready, 1, 10000) == 1 ? ::read(fd, buffer, events ? sizeof buffer : 1) : -1;
        if (length <= 0) {
            return false;
        }
        for (ssize_t at = 0; at < length; --count) {
            at += events ? sizeof(inotify_event) + reinterpret_cast<const inotify_event*>(buffer + at)->len : 1;
        }
    }
    return true;
}

class SettingsTest : public ::testing::Test
{
protected:
    void Given(const std::string& text) { WriteFile(path, text); }
    // Reads through a new SettingsFile, so the value comes from the file on disk.
    std::string Read(const char* section, const char* key, const char* fallback = "<none>")
    {
        return SettingsFile(path).ReadSetting(section, key, fallback);
    }

    TempDir dir;
    fs::path path = dir / "KESTREL.INI";
    SettingsFile file{path};
};

TEST_F(SettingsTest, MissingFileSectionOrKeyGivesTheDefaultWithoutTrailingBlanks)
{
    struct Case
    {
        std::optional<std::string> text; // no file when empty
        const char* key;
        const char* fallback;
        const char* expected;
    };
    const Case cases[] = {
        {std::nullopt, "Target_Year", "2000", "2000"},
        {"[Other]\nTarget_Year=1999\n", "Target_Year", "2000", "2000"},
        {"[Target Date]\nTarget_Month=3\n", "Target_Year", "2000", "2000"},
        {std::nullopt, "YY After Text", " Years ", " Years"},
        {std::nullopt, "YY Before Text", " ", ""},
        {"", "Caption", "\tyy:dd\t ", "\tyy:dd\t"}, // only blanks count as trailing blanks
        {std::nullopt, "Quoted", "\" Years \"", " Years "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        fs::remove(path);
        if (c.text) {
            Given(*c.text);
        }
        EXPECT_EQ(Read("Target Date", c.key, c.fallback), c.expected);
    }
}

TEST_F(SettingsTest, StoredValuesLoseSurroundingBlanksAndAreCutTo2047)
{
    const std::string longValue(3000, 'x');
    const std::string accented = std::string(2046, 'a') + "\xC3\xA9" + "tail"; // é would straddle the cut
    const std::pair<std::string, std::string> cases[] = {
        {"k=  value  ", "value"},
        {"k=\tvalue\t", "value"},
        {"  k  =v", "v"},
        {"k=", ""},
        {"k=a = b", "a = b"},
        {"k=" + longValue, longValue.substr(0, 2047)},
        {"k=" + accented, std::string(2046, 'a')},
    };
    for (const auto& [line, expected] : cases) {
        SCOPED_TRACE(line.substr(0, 20));
        Given("[S]\n" + line + "\n");
        EXPECT_EQ(Read("S", "k"), expected);
    }
}

TEST_F(SettingsTest, NamesMatchWithoutRegardToCaseForReadAndWrite)
{
    Given("[forms position]\nToolBarTop=100\n");
    EXPECT_EQ(Read("Forms Position", "ToolbarTop"), "100");
    ASSERT_TRUE(WriteSetting(file, "FORMS POSITION", "TOOLBARTOP", "200"));
    EXPECT_EQ(Lines(ReadFile(path)), (std::vector<std::string>{"[forms position]", "ToolBarTop=200"}));
}

TEST_F(SettingsTest, FirstDuplicateKeyWinsAndOnlyItIsWritten)
{
    Given("[S]\nk=first\nK=second\n");
    EXPECT_EQ(Read("S", "k"), "first");
    ASSERT_TRUE(WriteSetting(file, "S", "k", "new"));
    EXPECT_EQ(Read("S", "k"), "new");
    EXPECT_EQ(ReadFile(path), "[S]\nk=new\nK=second\n");
}

TEST_F(SettingsTest, OnlyTheFirstSectionOfANameIsReadAndWritten)
{
    Given("[A]\na=1\n[B]\nb=1\n[a]\na=2\nc=3\n");
    EXPECT_EQ(Read("A", "a"), "1");
    EXPECT_EQ(Read("A", "c"), "<none>");
    ASSERT_TRUE(WriteSetting(file, "A", "c", "new"));
    EXPECT_EQ(ReadFile(path), "[A]\na=1\nc=new\n[B]\nb=1\n[a]\na=2\nc=3\n");
    EXPECT_EQ(Read("A", "c"), "new");
}

TEST_F(SettingsTest, LinesEndingInCrLfLfOrCrAllRead)
{
    for (const char* text : {"[S]\r\nk=v\r\nm=w\r\n", "[S]\nk=v\nm=w", "[S]\rk=v\rm=w\r"}) {
        Given(text);
        EXPECT_EQ(Read("S", "k") + Read("S", "m"), "vw");
    }
}

TEST_F(SettingsTest, WriteKeepsCommentsAndOtherProgramsEntriesInOrder)
{
    Given("; written by hand\n[Other Program]\nColour=red\n; the target\n[Target Date]\nTarget_Year=1999\n"
          "Theirs=1\n\n[CountDown]\nFont=Arial\n; the last word\n# really\n");
    ASSERT_TRUE(WriteSetting(file, "Target Date", "Target_Year", "2001"));
    ASSERT_TRUE(WriteSetting(file, "Target Date", "Target_Month", "12"));
    EXPECT_EQ(Lines(ReadFile(path)),
              (std::vector<std::string>{"; written by hand", "[Other Program]", "Colour=red", "; the target",
                                        "[Target Date]", "Target_Year=2001", "Theirs=1", "Target_Month=12",
                                        "[CountDown]", "Font=Arial", "; the last word", "# really"}));

    Given("; only\n; comments\n\n; here\n");
    ASSERT_TRUE(WriteSetting(SettingsFile(path), "S", "k", "v"));
    EXPECT_EQ(ReadFile(path), "; only\n; comments\n\n; here\n[S]\nk=v\n");
}

TEST_F(SettingsTest, WriteCreatesPrivateFolderFileSectionAndKey)
{
    const fs::path nested = dir / "config" / "kestrel" / "KESTREL.INI";
    SettingsFile created(nested);
    ASSERT_TRUE(WriteSetting(created, "Target Date", "Target_Year", "2001"));
    ASSERT_TRUE(WriteSetting(created, "Forms Open", "frmCalc", "1"));
    EXPECT_EQ(ModeOf(dir / "config"), 0700u);
    EXPECT_EQ(ModeOf(nested.parent_path()), 0700u);
    EXPECT_EQ(ModeOf(nested), 0600u);
    EXPECT_EQ(Lines(ReadFile(nested)),
              (std::vector<std::string>{"[Target Date]", "Target_Year=2001", "[Forms Open]", "frmCalc=1"}));
}

TEST_F(SettingsTest, LineBreaksAndNulsInAWrittenValueBecomeBlanks)
{
    Given("[S]\nk=old\nnext=kept\n");
    ASSERT_TRUE(WriteSetting(file, "S", "k", std::string("one\r\ntwo\0three", 14)));
    EXPECT_EQ(Read("S", "k"), "one  two three");
    EXPECT_EQ(Read("S", "next"), "kept");
    EXPECT_EQ(file.ReadSetting("S", "k", ""), "one  two three"); // the writer's own parse agrees
}

TEST_F(SettingsTest, NulBytesDoNotCountWhenReadingAndStayThroughAWrite)
{
    const std::string text("\0\xFF\0\xFE\n[A]\nk=a\0b\n[B\0]\nm=1\n", 24);
    Given(text);
    EXPECT_EQ(Read("A", "k"), "ab");
    EXPECT_EQ(Read("B", "m"), "1");
    ASSERT_TRUE(WriteSetting(file, "A", "x", "2"));
    EXPECT_EQ(Read("B", "m"), "1");
    EXPECT_EQ(ReadFile(path), std::string("\0\xFF\0\xFE\n[A]\nk=a\0b\nx=2\n[B\0]\nm=1\n", 28));
    ASSERT_TRUE(WriteSetting(file, "A", "k", "c"));
    EXPECT_EQ(ReadFile(path), std::string("\0\xFF\0\xFE\n[A]\nk=c\nx=2\n[B\0]\nm=1\n", 26));
}

TEST_F(SettingsTest, DamagedFilesReadWhatIsReadableAndKeepEveryByteThroughAWrite)
{
    const std::pair<std::string, bool> cases[] = {
        {"garbage without equals\n[S]\ngood=yes\nkeyonly\n", true},
        {"\xFE\x80\x01=\x02\n[S]\n\x80\x81\n=novalue\ngood=yes\n", true},
        {std::string(1 << 20, 'x') + "\n[S]\ngood=yes\n" + std::string(1 << 20, '['), true},
        {"[S\ngood=yes\n", false}, // a '[' line without ']' opens no section
        {"[\n\n[S]\ngood=yes\n", true},
        {"[A]\n[B\ngood=yes\n[S]\nbad=1\n", false},
    };
    for (const auto& [text, readable] : cases) {
        SCOPED_TRACE(text.substr(0, 30));
        Given(text);
        const char* expected = readable ? "yes" : "<none>";
        EXPECT_EQ(Read("S", "good"), expected);
        EXPECT_EQ(Read("S", "keyonly"), "<none>");
        ASSERT_TRUE(WriteSetting(SettingsFile(path), "T", "k", "v"));
        ASSERT_TRUE(WriteSetting(SettingsFile(path), "T", "k", "w"));
        EXPECT_EQ(Read("S", "good"), expected);
        EXPECT_EQ(Read("T", "k"), "w");
        const std::string after = ReadFile(path);
        EXPECT_TRUE(after.starts_with(text));
        EXPECT_EQ(after.substr(text.size()), std::string(text.ends_with('\n') ? "" : "\n") + "[T]\nk=w\n");
    }
}

TEST_F(SettingsTest, ByteOrderMarkIsKeptOnce)
{
    Given("\xEF\xBB\xBF[S]\nk=v\n");
    EXPECT_EQ(Read("S", "k"), "v");
    ASSERT_TRUE(WriteSetting(file, "S", "k", "w"));
    EXPECT_EQ(ReadFile(path), "\xEF\xBB\xBF[S]\nk=w\n");
}

TEST_F(SettingsTest, WriteKeepsPermissionsAndWritesThroughASymlink)
{
    const fs::path real = dir / "real.ini";
    WriteFile(real, "[S]\nk=1\n");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink("real.ini", path);
    ASSERT_TRUE(WriteSetting(file, "S", "k", "2"));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(ReadFile(real), "[S]\nk=2\n");
    EXPECT_EQ(ModeOf(real), 0640u);
}

TEST_F(SettingsTest, FailedWriteReturnsFalseAndLeavesTheOldFile)
{
    struct Case
    {
        const char* what;
        mode_t folderMode;
        mode_t fileMode;
    };
    for (const Case c : {Case{"read-only folder", 0555, 0644}, Case{"unreadable file", 0777, 0000}}) {
        SCOPED_TRACE(c.what);
        const fs::path folder = dir / c.what;
        fs::create_directory(folder);
        WriteFile(folder / "KESTREL.INI", "[S]\nk=old\n");
        ::chmod(dir.path().c_str(), 0755);
        ::chmod(folder.c_str(), c.folderMode);
        ::chmod((folder / "KESTREL.INI").c_str(), c.fileMode);
        EXPECT_EQ(RunUnprivileged([&] { return WriteSetting(SettingsFile(folder / "KESTREL.INI"), "S", "k", "new"); }),
                  0);
        ::chmod(folder.c_str(), 0755);
        ::chmod((folder / "KESTREL.INI").c_str(), 0644);
        EXPECT_EQ(ReadFile(folder / "KESTREL.INI"), "[S]\nk=old\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1); // no temporary left
    }
}

TEST_F(SettingsTest, UnusableNamesAreNeitherWrittenNorRead)
{
    Given("[S]\nk=v\n");
    const std::pair<const char*, const char*> names[] = {{"S", "a=b"}, {"S", "line\nbreak"}, {"x\ry", "k"},
                                                         {"S", ""},    {" ", "k"},           {"S", "[k"}};
    for (const auto& [section, key] : names) {
        EXPECT_FALSE(WriteSetting(file, section, key, "w")) << section << "/" << key;
        EXPECT_EQ(file.ReadSetting(section, key, "d"), "d");
    }
    EXPECT_EQ(ReadFile(path), "[S]\nk=v\n");
}

TEST_F(SettingsTest, ValuesTheReaderWouldChangeAreWrittenInQuotesAndReadBackExactly)
{
    struct Case
    {
        const char* value;
        const char* line; // as the file holds it
    };
    const Case cases[] = {
        {" Years ", "k=\" Years \""},
        {" ", "k=\" \""},
        {"Hours ", "k=\"Hours \""},
        {"\tTab", "k=\"\tTab\""},
        {"\"quoted\"", "k=\"\"quoted\"\""},
        {"'single'", "k=\"'single'\""},
        {"a\"b", "k=a\"b"},
        {"\"open", "k=\"open"},
        {"", "k="},
        {"plain text", "k=plain text"},
        {"a = b", "k=a = b"},
        {"\"", "k=\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        Given("[S]\nk=old\n");
        ASSERT_TRUE(WriteSetting(file, "S", "k", c.value));
        EXPECT_EQ(ReadFile(path), std::string("[S]\n") + c.line + "\n");
        EXPECT_EQ(Read("S", "k"), c.value);
        EXPECT_EQ(file.ReadSetting("S", "k", ""), c.value); // the writer's own copy agrees
    }
}

TEST_F(SettingsTest, AWriteChangesOneLineOrAddsOneAndKeepsEveryOtherByte)
{
    struct Case
    {
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    };
    const Case cases[] = {
        {"  [S]  \r\n\t k = old ; note\r\n\r\nx=1\r\n", "S", "K", "new", "  [S]  \r\nk=new\r\n\r\nx=1\r\n"},
        {"[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n", "A", "n", "3", "[A]\r\na=1\r\nn=3\r\n\r\n[B]\r\nb=2\r\n"},
        {"[A]\na=1\n; about B\n\n[B]\n", "A", "n", "3", "[A]\na=1\n; about B\nn=3\n\n[B]\n"},
        {"[A]\n[B]\n", "A", "n", "3", "[A]\nn=3\n[B]\n"},
        {"[S]\r\nk=v", "S", "m", "1", "[S]\r\nk=v\r\nm=1\r\n"},
        {"[S]\rk=v\r", "T", "t", "2", "[S]\rk=v\r[T]\rt=2\r"},
        {"[S]\nk=v\n\n\n", "T", "t", "2", "[S]\nk=v\n\n\n[T]\nt=2\n"},
        {"[S]\nk = v \n", "S", "k", "v", "[S]\nk = v \n"}, // the same value: nothing to change
        {"", "S", "k", "v", "[S]\nk=v\n"},
        {"[[S]\nk=1\n[S]\nk=2\n", "S", "k", "3", "[[S]\nk=1\n[S]\nk=3\n"}, // "[[S]" is section "[S"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        Given(c.before);
        ASSERT_TRUE(WriteSetting(file, c.section, c.key, c.value));
        EXPECT_EQ(ReadFile(path), c.after);
    }
}

TEST_F(SettingsTest, Utf16FilesAreReadAndWrittenBackInUtf16)
{
    const auto utf16 = [](std::u16string_view text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8);
            const char low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        // A lone surrogate in a line the write does not touch must come back as it was.
        Given(utf16(u"; \xD800 odd\r\n[Target Date]\r\nName=Zo\u00EB \u2605\r\nq=\" x \"\r\n", bigEndian));
        EXPECT_EQ(Read("target date", "name"), "Zo\xC3\xAB \xE2\x98\x85");
        EXPECT_EQ(Read("Target Date", "q"), " x ");
        ASSERT_TRUE(WriteSetting(file, "Target Date", "Name", "\xE2\x82\xAC 5"));
        ASSERT_TRUE(WriteSetting(file, "Other", "k", "v"));
        EXPECT_EQ(
            ReadFile(path),
            utf16(u"; \xD800 odd\r\n[Target Date]\r\nName=\u20AC 5\r\nq=\" x \"\r\n[Other]\r\nk=v\r\n", bigEndian));
        EXPECT_EQ(Read("Target Date", "Name"), "\xE2\x82\xAC 5");
    }
}

TEST_F(SettingsTest, ValuesThatAreNotUtf8ReadAsWindows1252)
{
    const std::pair<const char*, const char*> cases[] = {
        {"caf\xE9", "caf\xC3\xA9"},
        {"\x80 5", "\xE2\x82\xAC 5"},
        {"\x93hi\x94", "\xE2\x80\x9Chi\xE2\x80\x9D"},
        {"\xC3\xA9\xE9", "\xC3\x83\xC2\xA9\xC3\xA9"}, // one bad byte makes the whole value Windows-1252
        {"caf\xC3\xA9", "caf\xC3\xA9"},               // UTF-8 stays as it is
        {"\x81\x8D", "\xC2\x81\xC2\x8D"},             // unassigned bytes become the control characters
    };
    for (const auto& [stored, shown] : cases) {
        Given(std::string("[S]\r\nk=") + stored + "\r\nother=1\r\n");
        EXPECT_EQ(Read("S", "k"), shown);
        ASSERT_TRUE(WriteSetting(file, "S", "other", "2"));
        EXPECT_EQ(ReadFile(path), std::string("[S]\r\nk=") + stored + "\r\nother=2\r\n"); // kept byte for byte
    }
}

TEST_F(SettingsTest, BatchedWriteAppliesEveryEntryInOrderWithOneReplace)
{
    Given("[Target Date]\nTarget_Year=1999\n");
    const auto inodeBefore = test::InodeOf(path);
    const SettingWrite entries[] = {
        {"Target Date", "Target_Year", "2027"},
        {"Target Date", "Target_Month", "6"},
        {"File Options", "YY After Text", " Years "},
        {"target date", "TARGET_YEAR", "2028"}, // the later one wins
    };
    EXPECT_EQ(file.WriteSettings(entries), std::nullopt);
    EXPECT_NE(test::InodeOf(path), inodeBefore);
    EXPECT_EQ(ReadFile(path),
              "[Target Date]\nTarget_Year=2028\nTarget_Month=6\n[File Options]\nYY After Text=\" Years \"\n");
    EXPECT_EQ(Read("File Options", "YY After Text"), " Years ");
    EXPECT_EQ(file.WriteSettings({}), std::nullopt);
}

TEST_F(SettingsTest, FailedBatchReportsTheErrorAndLeavesTheFile)
{
    WriteFile(dir / "plain", "not a folder");
    Given("[S]\nk=old\n");
    ::chmod(path.c_str(), 0444); // protected by its owner: even root must not replace it
    struct Case
    {
        fs::path target;
        std::vector<SettingWrite> entries;
        int number;
    };
    const Case cases[] = {
        {path, {{"S", "k", "new"}}, 70},
        {dir / "plain" / "KESTREL.INI", {{"S", "k", "new"}}, 76},
        {dir / "folder.ini", {{"S", "k", "new"}}, 75},
        {dir / "new.ini", {{"S", "k", "new"}, {"S", "bad=key", "v"}}, 5},
    };
    fs::create_directory(dir / "folder.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.string());
        const std::optional<RuntimeError> error = SettingsFile(c.target).WriteSettings(c.entries);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->number(), c.number);
    }
    EXPECT_FALSE(fs::exists(dir / "new.ini"));
    EXPECT_EQ(ReadFile(path), "[S]\nk=old\n");
    EXPECT_EQ(ModeOf(path), 0444u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3); // nothing left over
    EXPECT_FALSE(WriteSetting(file, "S", "k", "new"));
}

TEST_F(SettingsTest, AProtectedFileInAWritableFolderIsNotReplacedThroughTheFolder)
{
    // The folder would let the user rename a new file over the old one; the file's own
    // permission says no.
    const fs::path folder = dir / "open";
    fs::create_directory(folder);
    const fs::path protectedFile = folder / "KESTREL.INI";
    WriteFile(protectedFile, "[S]\nk=old\n");
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(folder.c_str(), 0777);
    ::chmod(protectedFile.c_str(), 0444);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(protectedFile.c_str(), 65534, 65534), 0); // the unprivileged user's own file
    }
    EXPECT_EQ(RunUnprivileged([&] {
                  const std::optional<RuntimeError> error =
                      SettingsFile(protectedFile).WriteSettings(std::vector<SettingWrite>{{"S", "k", "new"}});
                  return error && error->number() == RuntimeError::PermissionDenied;
              }),
              1);
    EXPECT_EQ(ReadFile(protectedFile), "[S]\nk=old\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(SettingsTest, WriteKeepsTheOwnerAndGroupOfAnotherUsersFile)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    Given("[S]\nk=old\n");
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    ::chmod(path.c_str(), 0664);
    ASSERT_TRUE(WriteSetting(file, "S", "k", "new"));
    struct stat info = {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(info.st_mode & 0777, 0664u);
    EXPECT_EQ(ReadFile(path), "[S]\nk=new\n");
}

TEST_F(SettingsTest, ReadSeesTheFileReplacedOrRemovedByAnotherWriter)
{
    Given("[S]\nk=1\n");
    EXPECT_EQ(file.ReadSetting("S", "k", ""), "1");
    ASSERT_TRUE(WriteSetting(SettingsFile(path), "S", "k", "2"));
    EXPECT_EQ(file.ReadSetting("S", "k", ""), "2");
    fs::remove(path);
    EXPECT_EQ(file.ReadSetting("S", "k", "gone"), "gone");
}

// A child process rewrites one key of a settings file of a few hundred kilobytes over and over,
// switching between two values, and is killed at a different moment each round. After every
// kill the file must be exactly the file with one value or the file with the other. Few keys
// with long values keep parsing short, so that much of a write is spent writing the file.
TEST_F(SettingsTest, KilledWriterLeavesTheOldOrTheNewFile)
{
    const char* const sections[] = {"Target Date", "File Options", "Forms Open", "Forms Position", "CountDown"};
    const auto filler = [](int i) { return std::string(1000, static_cast<char>('a' + i % 26)); };
    std::string text;
    for (const char* section : sections) {
        text.append("[").append(section).append("]\n");
        for (int i = 0; i < 40; ++i) {
            text += "Key" + std::to_string(i) + "=" + filler(i) + "\n";
        }
    }
    Given(text);
    const std::string first(200000, '1');
    const std::string second(200000, '2');
    ASSERT_TRUE(WriteSetting(file, "CountDown", "Big", first));
    const std::string withFirst = ReadFile(path);
    ASSERT_TRUE(WriteSetting(file, "CountDown", "Big", second));
    const std::string withSecond = ReadFile(path);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(WriteSetting(file, "CountDown", "Big", first));
    const auto perWrite = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(ReadFile(path), withFirst);

    for (int round = 0; round < 60; ++round) {
        const int created = ::inotify_init1(IN_CLOEXEC); // the child's temporary files appearing
        ASSERT_GE(created, 0);
        ASSERT_GE(::inotify_add_watch(created, dir.path().c_str(), IN_CREATE), 0);
        int reports[2]; // the child's finished writes
        ASSERT_EQ(::pipe(reports), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(reports[0]);
            SettingsFile writer(path);
            for (unsigned n = 0;; ++n) {
                WriteSetting(writer, "CountDown", "Big", n % 2 == 0 ? second : first);
                const char done = 1;
                if (::write(reports[1], &done, 1) != 1) {
                    ::_exit(1);
                }
            }
        }
        ::close(reports[1]);
        // Even rounds kill up to a quarter of a millisecond after the child starts writing its
        // new file, the short stretch where a careless writer leaves a partial file; odd rounds
        // kill anywhere in a write, a point spread over as long as a write took here.
        const int writes = 1 + round % 3;
        const bool seen =
            round % 2 == 0 ? AwaitRecords(created, writes, true) : AwaitRecords(reports[0], writes, false);
        const auto delay = round % 2 == 0 ? std::chrono::nanoseconds(std::chrono::microseconds(25 * (round / 2 % 11)))
                                          : std::chrono::nanoseconds(perWrite * (round * 23 % 60) / 60);
        const timespec pause{0, static_cast<long>(delay.count() % 1000000000)};
        ::clock_nanosleep(CLOCK_MONOTONIC, 0, &pause, nullptr);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::close(reports[0]);
        ::close(created);
        ASSERT_TRUE(seen);

        const std::string now = ReadFile(path);
        ASSERT_TRUE(now == withFirst || now == withSecond) << "round " << round;
        SettingsFile reader(path);
        const std::string big = reader.ReadSetting("CountDown", "Big", "");
        EXPECT_TRUE(big == first.substr(0, kMaxSettingLength) || big == second.substr(0, kMaxSettingLength));
        for (const char* section : sections) {
            for (int i = 0; i < 40; ++i) {
                ASSERT_EQ(reader.ReadSetting(section, "Key" + std::to_string(i), ""), filler(i));
            }
        }
    }
}

// Sets the variables the default paths depend on for one test, and puts them back after it.
class EnvironmentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_saved) {
            Set(name, value ? value->c_str() : nullptr);
        }
    }
    static void Set(const char* name, const char* value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); }

    static constexpr const char* kNames[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};
    std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
};

TEST_F(EnvironmentTest, DefaultPathsFollowXdgVariablesThenHome)
{
    struct Case
    {
        const char* xdg; // for both XDG_CONFIG_HOME and XDG_DATA_HOME
        const char* home;
        const char* settings;
        const char* data;
    };
    const Case cases[] = {
        {"/x", "/h", "/x/kestrel/KESTREL.INI", "/x/kestrel"},
        {nullptr, "/h", "/h/.config/kestrel/KESTREL.INI", "/h/.local/share/kestrel"},
        {"", "/h", "/h/.config/kestrel/KESTREL.INI", "/h/.local/share/kestrel"},
        {"relative", "/h", "/h/.config/kestrel/KESTREL.INI", "/h/.local/share/kestrel"},
    };
    for (const Case& c : cases) {
        Set("XDG_CONFIG_HOME", c.xdg);
        Set("XDG_DATA_HOME", c.xdg);
        Set("HOME", c.home);
        EXPECT_EQ(DefaultSettingsPath(), c.settings);
        EXPECT_EQ(DefaultDataDirectory(), c.data);
    }
    Set("XDG_CONFIG_HOME", nullptr);
    Set("HOME", nullptr);
    EXPECT_EQ(DefaultSettingsPath(), fs::path(::getpwuid(::getuid())->pw_dir) / ".config/kestrel/KESTREL.INI");
}

} // namespace
} // namespace kestrel
