// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Milestones.h"

#include "AtomicFile.h"
#include "TempDir.h"
#include "TextEncoding.h"
#include "Unprivileged.h"

#include <gtest/gtest.h>

#include <random>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

namespace kestrel {
namespace {

using test::ReadFile;
using test::RunUnprivileged;
using test::TempDir;
using test::WriteFile;

std::vector<std::string> Keys(const MilestoneTable& table)
{
    std::vector<std::string> keys;
    for (int p = 1; p <= table.count(); ++p) {
        keys.push_back(table.at(p).key);
    }
    return keys;
}

std::vector<std::string> Texts(const MilestoneTable& table)
{
    std::vector<std::string> texts;
    for (int p = 1; p <= table.count(); ++p) {
        texts.push_back(table.at(p).text);
    }
    return texts;
}

MilestoneTable TableOf(std::initializer_list<Milestone> records)
{
    MilestoneTable table;
    for (const Milestone& record : records) {
        table.append(record);
    }
    return table;
}

class MilestoneFile : public ::testing::Test
{
protected:
    std::filesystem::path file() const { return dir / "mileston.txt"; }
    TempDir dir;
};

// --- Keys and days -----------------------------------------------------------------------------

TEST(MilestoneKeys, DayNumbersCountFromThe30thOfDecember1899)
{
    EXPECT_EQ(DayNumber(PackDate(2000, 1, 1)), 36526);
    EXPECT_EQ(DayNumber(PackDate(2000, 1, 5)), 36530);
    EXPECT_EQ(DayNumber(PackDate(1927, 5, 18)), 10000);
    EXPECT_EQ(DayNumber(PackDate(2173, 10, 13)), 99999);
    EXPECT_EQ(DayNumber(PackDateTime(1999, 12, 24, 18, 0, 0)), 36518);
    EXPECT_EQ(MilestoneKey(36526), " 36526");
    EXPECT_EQ(KeyValue("36526"), 36526);
    EXPECT_EQ(KeyValue("no number"), 0);
}

// --- Sorting: numeric, stable ---------------------------------------------------------------------

struct SortCase
{
    const char* name;
    std::vector<std::string> keys;   // in list order before the save
    std::vector<std::string> sorted; // in list order after it
};

class SortOnSave : public ::testing::TestWithParam<SortCase>
{};

TEST_P(SortOnSave, PutsKeysInDateOrder)
{
    TempDir dir;
    MilestoneTable table;
    for (const std::string& key : GetParam().keys) {
        table.append({key, "t" + key, false});
    }
    ASSERT_FALSE(table.SaveMilestones(dir / "m.txt"));
    EXPECT_EQ(Keys(table), GetParam().sorted);
    MilestoneTable loaded;
    ASSERT_FALSE(loaded.LoadMilestones(dir / "m.txt"));
    EXPECT_EQ(Keys(loaded), GetParam().sorted);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(KeysAround1927And2173, SortOnSave,
                         ::testing::Values(
                             // 17 May 1927 has a four-digit day number: as text " 9999" sorts after " 36526".
                             SortCase{"FourDigits", {" 36526", " 9999", " 10000"}, {" 9999", " 10000", " 36526"}},
                             // 14 October 2173 has six digits: as text " 100000" sorts before " 36526".
                             SortCase{"SixDigits", {" 100000", " 36526", " 99999"}, {" 36526", " 99999", " 100000"}},
                             SortCase{"Mixed", {" 100000", " 9999", " 36526", " 10000", " 99999"}, {" 9999", " 10000", " 36526", " 99999", " 100000"}},
                             SortCase{"WithoutBlank", {" 36527", "36526"}, {"36526", " 36527"}},
                             SortCase{"NoNumberSortsAsZero", {" 36526", "x"}, {"x", " 36526"}},
                             SortCase{"NegativeDays", {" 5", " -5", " 0"}, {" -5", " 0", " 5"}}),
                         [](const auto& info) { return info.param.name; });
// clang-format on

TEST(MilestoneSort, RecordsOfTheSameDayKeepTheirOrder)
{
    MilestoneTable table;
    for (int i = 0; i < 50; ++i) {
        table.append({MilestoneKey(36526 + (i % 3 == 0 ? 0 : 1)), std::to_string(i), false});
    }
    table.SortMilestones();
    std::vector<int> firstDay;
    std::vector<int> secondDay;
    for (int p = 1; p <= table.count(); ++p) {
        (table.at(p).key == " 36526" ? firstDay : secondDay).push_back(std::stoi(table.at(p).text));
    }
    EXPECT_TRUE(std::is_sorted(firstDay.begin(), firstDay.end()));
    EXPECT_TRUE(std::is_sorted(secondDay.begin(), secondDay.end()));
    EXPECT_EQ(firstDay.size(), 17u);
    EXPECT_EQ(table.at(1).text, "0");
    EXPECT_EQ(table.at(18).text, "1");
}

// --- The file format --------------------------------------------------------------------------------

TEST_F(MilestoneFile, PlainTextsAreWrittenExactlyInTheFileFormat)
{
    MilestoneTable table = TableOf({{" 36530", "Sign-off", false}, {" 36526", "Conversion complete", false}});
    ASSERT_FALSE(table.SaveMilestones(file()));
    EXPECT_EQ(ReadFile(file()), "\" 36526\",\"Conversion complete\"\r\n\" 36530\",\"Sign-off\"\r\n");
}

struct TextCase
{
    const char* name;
    std::string text;
    std::string line; // the line in the file
};

class TextsThatNeedCare : public MilestoneFile, public ::testing::WithParamInterface<TextCase>
{};

TEST_P(TextsThatNeedCare, ReadBackExactly)
{
    const TextCase& c = GetParam();
    MilestoneTable table = TableOf({{" 36526", c.text, false}});
    ASSERT_FALSE(table.SaveMilestones(file()));
    EXPECT_EQ(ReadFile(file()), c.line);
    MilestoneTable loaded;
    ASSERT_FALSE(loaded.LoadMilestones(file()));
    ASSERT_EQ(loaded.count(), 1);
    EXPECT_EQ(loaded.at(1).text, c.text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    QuotesAndLineBreaks, TextsThatNeedCare,
    ::testing::Values(
        TextCase{"Empty", "", "\" 36526\",\"\"\r\n"},
        TextCase{"QuoteInside", "the \"big\" day", "\" 36526\",\"the \"\"big\"\" day\"\r\n"},
        TextCase{"QuoteAtEnds", "\"x\"", "\" 36526\",\"\"\"x\"\"\"\r\n"},
        TextCase{"QuoteComma", "a\",b", "\" 36526\",\"a\"\",b\"\r\n"},
        TextCase{"OnlyAQuote", "\"", "\" 36526\",\"\"\"\"\r\n"},
        TextCase{"CrLf", "line one\r\nline two", "\" 36526\",\"line one\r\nline two\"\r\n"},
        TextCase{"Lf", "one\ntwo\n", "\" 36526\",\"one\ntwo\n\"\r\n"},
        TextCase{"Comma", "a, b", "\" 36526\",\"a, b\"\r\n"},
        TextCase{"NonAscii", "Überprüfung – 完成", "\" 36526\",\"Überprüfung – 完成\"\r\n"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

// Random tables of any text: save, load, save gives the same file and the same texts.
TEST_F(MilestoneFile, SaveLoadSaveGivesIdenticalFiles)
{
    const std::vector<std::string> pieces = {"a",    "Z", " ", ",",  "\"", "\r", "\n",
                                             "\r\n", "é", "ß", "日", "😀",  "\t", "\"\""};
    std::mt19937 random(20261207);
    for (int round = 0; round < 500; ++round) {
        MilestoneTable table;
        const int records = static_cast<int>(random() % 8);
        for (int r = 0; r < records; ++r) {
            std::string text;
            const int length = static_cast<int>(random() % 12);
            for (int k = 0; k < length; ++k) {
                text += pieces[random() % pieces.size()];
            }
            table.PutMilestone(0, DateValue{static_cast<double>(36000 + random() % 2000)}, text);
        }
        // Every tenth round goes through the disk; the others through the same bytes in memory.
        if (round % 10 == 0) {
            ASSERT_FALSE(table.SaveMilestones(file()));
            const std::string first = ReadFile(file());
            MilestoneTable loaded;
            ASSERT_FALSE(loaded.LoadMilestones(file()));
            EXPECT_EQ(Texts(loaded), Texts(table)) << "round " << round;
            EXPECT_EQ(Keys(loaded), Keys(table)) << "round " << round;
            ASSERT_FALSE(loaded.SaveMilestones(file()));
            EXPECT_EQ(ReadFile(file()), first) << "round " << round;
            continue;
        }
        table.SortMilestones();
        const std::string first = MilestoneFileText(table);
        ParsedMilestones parsed = ParseMilestoneFile(first);
        ASSERT_FALSE(parsed.error) << parsed.error->report();
        MilestoneTable loaded;
        for (Milestone& record : parsed.records) {
            loaded.append(std::move(record));
        }
        EXPECT_EQ(Texts(loaded), Texts(table)) << "round " << round;
        EXPECT_EQ(MilestoneFileText(loaded), first) << "round " << round;
    }
}

TEST_F(MilestoneFile, FilesOfTheOlderFormatReadAsBefore)
{
    // Keys without their blank, an unquoted field, a quote the older program left undoubled.
    WriteFile(file(), "\"36526\",\"New year\"\r\n 36527 ,plain text\r\n\" 36528\",\"He said \"hi\" twice\"\r\n");
    MilestoneTable table;
    EXPECT_FALSE(table.LoadMilestones(file()));
    EXPECT_EQ(Keys(table), (std::vector<std::string>{"36526", "36527", " 36528"}));
    EXPECT_EQ(Texts(table), (std::vector<std::string>{"New year", "plain text", "He said \"hi\" twice"}));
    EXPECT_EQ(table.FindMilestoneOnDay(36526), 1);
}

// A note of the older program holding a quote and a comma runs from its first quote to the last
// quote of its line; a note whose line does not end in a quote ends where its quoted field ends.
TEST(MilestoneParsing, OlderNotesWithAQuoteAndACommaAreReadWhole)
{
    const struct
    {
        const char* bytes;
        std::vector<std::string> texts;
    } cases[] = {
        // clang-format off
        {"\" 36530\",\"Say \"hi\", then go\"\r\n",                        {"Say \"hi\", then go"}},
        {"\" 36530\",\"Say \"hi\", then go\"",                            {"Say \"hi\", then go"}},
        {"\" 36530\",\"Say \"hi\", then go\"  \r\n\" 36531\",\"Next\"\r\n", {"Say \"hi\", then go", "Next"}},
        {"\" 36530\",\"a\",\"b\",\"c\"\n\" 36531\",\"Next\"\n",           {"a\",\"b\",\"c", "Next"}},
        {"\" 36530\",\"First line\r\nSay \"hi\", then go\"\r\n",          {"First line\r\nSay \"hi\", then go"}},
        {"\" 36530\",\"Say \"\"hi\"\", then go\"\r\n",                    {"Say \"hi\", then go"}},
        {"\" 36530\",\"Say \"hi\", then\" go\r\n\" 36531\",\"Next\"\r\n",  {"Say \"hi", "Next"}},
        {"\" 36530\",\"Plain\"\r\n\" 36531\",\"Next\"\r\n",               {"Plain", "Next"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        const ParsedMilestones parsed = ParseMilestoneFile(c.bytes);
        EXPECT_FALSE(parsed.error) << c.bytes << ": " << parsed.error->report();
        std::vector<std::string> texts;
        for (const Milestone& record : parsed.records) {
            texts.push_back(record.text);
        }
        EXPECT_EQ(texts, c.texts) << c.bytes;
        // Saved again, the note is written with its quotes doubled and reads back whole.
        MilestoneTable table;
        for (const Milestone& record : parsed.records) {
            table.append(record);
        }
        const ParsedMilestones again = ParseMilestoneFile(MilestoneFileText(table));
        ASSERT_EQ(again.records.size(), parsed.records.size()) << c.bytes;
        EXPECT_EQ(again.records[0].text, c.texts[0]) << c.bytes;
    }
}

// A file saved as UTF-16 by another editor (with its byte-order mark) reads as the settings file
// does and is written back in UTF-16, byte for byte as another editor would write it.
TEST_F(MilestoneFile, Utf16FilesAreReadAndWrittenBackAsUtf16)
{
    const std::string text = "\" 36526\",\"Café ✓\"\r\n\" 36530\",\"Two\r\nlines\"\r\n";
    const struct
    {
        const char* mark;
        bool bigEndian;
        MilestoneEncoding encoding;
    } cases[] = {
        // clang-format off
        {"\xFF\xFE", false, MilestoneEncoding::Utf16LittleEndian},
        {"\xFE\xFF", true,  MilestoneEncoding::Utf16BigEndian},
        // clang-format on
    };
    for (const auto& c : cases) {
        const std::string bytes = c.mark + Utf8ToUtf16(text, c.bigEndian);
        WriteFile(file(), bytes);
        MilestoneTable table;
        EXPECT_FALSE(table.LoadMilestones(file()));
        EXPECT_EQ(table.encoding(), c.encoding);
        EXPECT_EQ(Texts(table), (std::vector<std::string>{"Café ✓", "Two\r\nlines"}));
        EXPECT_EQ(Keys(table), (std::vector<std::string>{" 36526", " 36530"}));
        ASSERT_FALSE(table.SaveMilestones(file()));
        EXPECT_EQ(ReadFile(file()), bytes) << "unchanged, written back";
        table.PutMilestone(0, DateValue{36527}, "Neu");
        ASSERT_FALSE(table.SaveMilestones(file()));
        EXPECT_EQ(ReadFile(file()),
                  c.mark + Utf8ToUtf16("\" 36526\",\"Café ✓\"\r\n\" 36527\",\"Neu\"\r\n\" 36530\",\"Two\r\nlines\"\r\n",
                                       c.bigEndian));
    }
    // A plain file read after a UTF-16 one is written as UTF-8 again.
    MilestoneTable table;
    WriteFile(file(), "\xFF\xFE" + Utf8ToUtf16(text, false));
    ASSERT_FALSE(table.LoadMilestones(file()));
    WriteFile(file(), text);
    ASSERT_FALSE(table.LoadMilestones(file()));
    ASSERT_FALSE(table.SaveMilestones(file()));
    EXPECT_EQ(ReadFile(file()), text);
}

TEST_F(MilestoneFile, TextsThatAreNotUtf8AreReadAsWindows1252)
{
    WriteFile(file(), "\" 36526\",\"Caf\xE9 \x93opening\x94 \x80 5\"\r\n");
    MilestoneTable table;
    EXPECT_FALSE(table.LoadMilestones(file()));
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.at(1).text, "Café “opening” € 5");
    ASSERT_FALSE(table.SaveMilestones(file()));
    EXPECT_EQ(ReadFile(file()), "\" 36526\",\"Café “opening” € 5\"\r\n");
}

struct ShortFileCase
{
    const char* name;
    std::string bytes;
    int count;
};

class SmallFiles : public MilestoneFile, public ::testing::WithParamInterface<ShortFileCase>
{};

TEST_P(SmallFiles, LoadWithoutError)
{
    WriteFile(file(), GetParam().bytes);
    MilestoneTable table = TableOf({{" 1", "stale", false}});
    EXPECT_FALSE(table.LoadMilestones(file()));
    EXPECT_EQ(table.count(), GetParam().count);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Sizes, SmallFiles,
    ::testing::Values(
        ShortFileCase{"Empty", "", 0},
        ShortFileCase{"SixBytes", "\"1\",\"\"", 0},
        ShortFileCase{"ThirteenBytes", "\" 36526\",\"\"\r\n", 1},
        ShortFileCase{"BlankLinesOnly", "\r\n\r\n\r\n\r\n", 0}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST_F(MilestoneFile, MissingFileGivesAnEmptyTable)
{
    MilestoneTable table = TableOf({{" 1", "stale", false}});
    EXPECT_FALSE(table.LoadMilestones(dir / "nothing.txt"));
    EXPECT_TRUE(table.empty());
}

struct DamageCase
{
    const char* name;
    std::string bytes;
    int kept;            // records read before the damage
    const char* message; // start of "number description"
};

class DamagedFiles : public MilestoneFile, public ::testing::WithParamInterface<DamageCase>
{};

TEST_P(DamagedFiles, AreReportedOnceAndKeepWhatWasRead)
{
    const DamageCase& c = GetParam();
    WriteFile(file(), c.bytes);
    MilestoneTable table;
    const std::optional<RuntimeError> error = table.LoadMilestones(file());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->report().rfind(c.message, 0), 0u) << error->report();
    EXPECT_NE(error->report().find(file().string()), std::string::npos) << error->report();
    EXPECT_EQ(table.count(), c.kept);
    if (c.kept > 0) {
        EXPECT_EQ(table.at(1).text, "Kickoff");
    }
}

const std::string kGood = "\" 36526\",\"Kickoff\"\r\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedFiles,
    ::testing::Values(
        DamageCase{"LastLineWithoutText", kGood + "\" 36530\"\r\n", 1, "62 Input past end of file"},
        DamageCase{"LastLineWithoutTextOrLineEnd", kGood + "\" 36530\"", 1, "62 Input past end of file"},
        DamageCase{"UnclosedQuote", kGood + "\" 36530\",\"Review", 1, "62 Input past end of file"},
        DamageCase{"Garbage", kGood + "lorem ipsum dolor\r\n" + kGood, 1, "321 Invalid file format"},
        DamageCase{"Binary", kGood + std::string("\x7F" "ELF\0\0\x01\x02", 8) + kGood, 1, "321 Invalid file format"},
        DamageCase{"MegabyteLine", kGood + "\" 36530\",\"" + std::string(1 << 20, 'x') + "\"\r\n", 1, "321 Invalid file format"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST_F(MilestoneFile, AnyNumberOfRecordsIsKept)
{
    MilestoneTable table;
    for (int i = 0; i < 40000; ++i) {
        table.PutMilestone(0, DateValue{36526.0 + i}, "m");
    }
    ASSERT_FALSE(table.SaveMilestones(file()));
    MilestoneTable loaded;
    ASSERT_FALSE(loaded.LoadMilestones(file()));
    EXPECT_EQ(loaded.count(), 40000);
    EXPECT_EQ(loaded.FindMilestoneOnDay(36526 + 39999), 40000);
}

// --- Saving what is left, and failing safely -----------------------------------------------------

TEST_F(MilestoneFile, SavingOnlyMarkedRecordsDeletesTheFile)
{
    MilestoneTable table = TableOf({{" 36526", "gone", false}});
    ASSERT_FALSE(table.SaveMilestones(file()));
    table.MarkMilestoneForRemoval(1);
    ASSERT_FALSE(table.SaveMilestones(file()));
    EXPECT_FALSE(std::filesystem::exists(file()));
    EXPECT_TRUE(table.at(1).markedForRemoval); // the mark stays until the next load
    ASSERT_FALSE(table.LoadMilestones(file()));
    EXPECT_TRUE(table.empty());
}

TEST_F(MilestoneFile, MarkedRecordsAreLeftOutAndUnmarkedOnesKept)
{
    MilestoneTable table = TableOf({{" 36526", "a", false}, {" 36527", "b", false}, {" 36528", "c", false}});
    table.MarkMilestoneForRemoval(2);
    table.MarkMilestoneForRemoval(3);
    table.UnmarkMilestone(3);
    table.UnmarkMilestone(0);  // a new milestone: nothing to undo
    table.UnmarkMilestone(99); // a position the table no longer holds
    ASSERT_FALSE(table.SaveMilestones(file()));
    EXPECT_EQ(ReadFile(file()), "\" 36526\",\"a\"\r\n\" 36528\",\"c\"\r\n");
}

struct UnwritableCase
{
    const char* name;
    int number;
    std::function<std::filesystem::path(const TempDir&)> prepare; // returns the path to save to
};

class UnwritableTargets : public ::testing::TestWithParam<UnwritableCase>
{};

TEST_P(UnwritableTargets, SayWhyAndKeepTableAndOldFile)
{
    TempDir dir;
    const std::filesystem::path path = GetParam().prepare(dir);
    const std::string before = std::filesystem::is_regular_file(path) ? ReadFile(path) : std::string();
    MilestoneTable table = TableOf({{" 36526", "new", false}});
    const std::optional<RuntimeError> error = table.SaveMilestones(path);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), GetParam().number) << error->report();
    EXPECT_NE(error->report().find(path.string()), std::string::npos) << error->report();
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(table.at(1).text, "new");
    if (!before.empty()) {
        EXPECT_EQ(ReadFile(path), before);
    }
    // Nothing is left behind in the folder but what was there.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_NE(entry.path().filename().string().rfind(".mileston", 0), 0u) << entry.path();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnwritableTargets,
    ::testing::Values(
        UnwritableCase{"MissingFolder", 76, [](const TempDir& d) { return d / "no" / "such" / "mileston.txt"; }},
        UnwritableCase{"FolderIsAFile", 76,
                       [](const TempDir& d) {
                           WriteFile(d / "file", "x");
                           return d / "file" / "mileston.txt";
                       }},
        UnwritableCase{"ReadOnlyFile", 70,
                       [](const TempDir& d) {
                           WriteFile(d / "mileston.txt", "\" 36000\",\"old\"\r\n");
                           std::filesystem::permissions(d / "mileston.txt", std::filesystem::perms::owner_read);
                           return d / "mileston.txt";
                       }},
        UnwritableCase{"PathIsAFolder", 75,
                       [](const TempDir& d) {
                           std::filesystem::create_directory(d / "mileston.txt");
                           return d / "mileston.txt";
                       }},
        UnwritableCase{"DeviceFile", 75, [](const TempDir&) { return std::filesystem::path("/dev/full"); }}),
    [](const auto& info) { return info.param.name; });

TEST_F(MilestoneFile, ReadOnlyFolderIsReportedForAnOrdinaryUser)
{
    std::filesystem::create_directory(dir / "locked");
    WriteFile(dir / "locked" / "mileston.txt", "\" 36000\",\"old\"\r\n");
    ::chmod((dir / "locked").c_str(), 0755);
    ::chmod((dir / "locked" / "mileston.txt").c_str(), 0666);
    ::chown((dir / "locked").c_str(), 0, 0);
    const auto path = dir / "locked" / "mileston.txt";
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(RunUnprivileged([&] {
                  MilestoneTable table = TableOf({{" 36526", "new", false}});
                  const auto error = table.SaveMilestones(path);
                  return error && error->number() == 70 && table.count() == 1;
              }),
              1);
    EXPECT_EQ(ReadFile(path), "\" 36000\",\"old\"\r\n");
}

// A write that runs out of room half way (here: the process may not grow a file past 20 bytes,
// ulimit -f) is reported as a full disk and leaves the old file whole and no stray file behind.
TEST_F(MilestoneFile, AWriteThatRunsOutOfRoomLeavesTheOldFile)
{
    WriteFile(file(), "\" 36000\",\"old\"\r\n");
    const pid_t child = ::fork();
    if (child == 0) {
        IgnoreFileSizeLimitSignal(); // as every program does at start
        const rlimit limit{20, 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        MilestoneTable table = TableOf({{" 36526", "a text longer than the limit", false}});
        const auto error = table.SaveMilestones(file());
        ::_exit(error && error->report() == "61 Disk full: the milestones could not be saved to " + file().string() +
                                                " (File too large)"
                    ? 0
                    : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFile(file()), "\" 36000\",\"old\"\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(MilestoneFile, SaveReplacesTheFileThroughASymbolicLink)
{
    std::filesystem::create_directory(dir / "real");
    WriteFile(dir / "real" / "m.txt", "\" 36000\",\"old\"\r\n");
    std::filesystem::create_symlink(dir / "real" / "m.txt", file());
    MilestoneTable table = TableOf({{" 36526", "new", false}});
    ASSERT_FALSE(table.SaveMilestones(file()));
    EXPECT_TRUE(std::filesystem::is_symlink(file()));
    EXPECT_EQ(ReadFile(dir / "real" / "m.txt"), "\" 36526\",\"new\"\r\n");
}

// --- Operations on the table -------------------------------------------------------------------

TEST(MilestoneTableOperations, DaySearchFindsTheFirstRecordInListOrder)
{
    MilestoneTable table = TableOf(
        {{" 36530", "later", false}, {"36526", "first", false}, {" 36526", "second", false}, {"x", "none", false}});
    EXPECT_EQ(table.FindMilestoneOnDay(36526), 2);
    EXPECT_EQ(table.FindMilestoneOnDay(36530), 1);
    EXPECT_EQ(table.FindMilestoneOnDay(36527), std::nullopt);
    EXPECT_EQ(table.FindMilestoneOnDay(0), std::nullopt); // a key with no number falls on no day
}

TEST(MilestoneTableOperations, PutAppendsOrOverwritesAndKeepsTheMark)
{
    MilestoneTable table;
    EXPECT_EQ(table.PutMilestone(0, PackDate(2000, 1, 5), "Review"), 1);
    EXPECT_EQ(table.PutMilestone(0, PackDate(2000, 1, 1), "Start"), 2);
    EXPECT_EQ(table.at(1).key, " 36530");
    table.MarkMilestoneForRemoval(1);
    EXPECT_EQ(table.PutMilestone(1, PackDate(2000, 1, 6), "Moved"), 1);
    EXPECT_EQ(table.at(1).key, " 36531");
    EXPECT_EQ(table.at(1).text, "Moved");
    EXPECT_TRUE(table.at(1).markedForRemoval);
    EXPECT_EQ(table.FindMilestoneOnDay(36531), 1);
    EXPECT_EQ(table.FindMilestoneOnDay(36530), std::nullopt);
    EXPECT_THROW(table.PutMilestone(3, PackDate(2000, 1, 1), "x"), RuntimeError);
    EXPECT_THROW(table.at(0), RuntimeError);
}

struct MonthSearchCase
{
    const char* name;
    std::vector<std::string> keys;
    YearMonth from;
    std::optional<YearMonth> next;
    std::optional<YearMonth> previous;
};

class MonthSearches : public ::testing::TestWithParam<MonthSearchCase>
{};

TEST_P(MonthSearches, FindTheNeighbouringMilestoneMonths)
{
    MilestoneTable table;
    for (const std::string& key : GetParam().keys) {
        table.append({key, "", false});
    }
    EXPECT_EQ(table.NextMilestoneMonth(GetParam().from), GetParam().next);
    EXPECT_EQ(table.PreviousMilestoneMonth(GetParam().from), GetParam().previous);
}

// 15 February 2000 is 36571, 10 October 2000 is 36809, 24 December 1999 is 36518.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, MonthSearches,
    ::testing::Values(
        MonthSearchCase{"FromFebruary", {" 36571", " 36809"}, {2000, 2}, YearMonth{2000, 10}, std::nullopt},
        MonthSearchCase{"FromOctober", {" 36571", " 36809"}, {2000, 10}, std::nullopt, YearMonth{2000, 2}},
        MonthSearchCase{"Between", {" 36571", " 36809"}, {2000, 5}, YearMonth{2000, 10}, YearMonth{2000, 2}},
        MonthSearchCase{"LaterThanAll", {" 36518", " 36571"}, {2001, 1}, std::nullopt, YearMonth{2000, 2}},
        MonthSearchCase{"AcrossTheYear", {" 36518", " 36809"}, {2000, 1}, YearMonth{2000, 10}, YearMonth{1999, 12}},
        MonthSearchCase{"Unsorted", {" 36809", " 36518", " 36571"}, {2000, 1}, YearMonth{2000, 2}, YearMonth{1999, 12}},
        MonthSearchCase{"Empty", {}, {2000, 1}, std::nullopt, std::nullopt},
        MonthSearchCase{"NoDayInKey", {"x", " 99999999"}, {2000, 1}, std::nullopt, std::nullopt}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST_F(MilestoneFile, ClearAllDiscardsTheFileOnlyWhenThereIsOne)
{
    MilestoneTable table = TableOf({{" 36526", "a", false}});
    int calls = 0;
    const auto discard = [&](const std::filesystem::path& path, std::string&) {
        ++calls;
        return std::filesystem::remove(path);
    };
    MilestoneTable::Cleared cleared = table.ClearAllMilestones(file(), discard);
    EXPECT_FALSE(cleared.discarded);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(table.count(), 1); // no file: nothing at all changes

    ASSERT_FALSE(table.SaveMilestones(file()));
    cleared = table.ClearAllMilestones(file(), discard);
    EXPECT_TRUE(cleared.discarded);
    EXPECT_FALSE(cleared.error);
    EXPECT_TRUE(table.empty());
    EXPECT_FALSE(std::filesystem::exists(file()));
}

TEST_F(MilestoneFile, ClearAllKeepsEverythingWhenTheTrashRefuses)
{
    MilestoneTable table = TableOf({{" 36526", "a", false}});
    ASSERT_FALSE(table.SaveMilestones(file()));
    const auto cleared = table.ClearAllMilestones(file(), [](const std::filesystem::path&, std::string& reason) {
        reason = "no trash on this disk";
        return false;
    });
    ASSERT_TRUE(cleared.error);
    EXPECT_NE(cleared.error->report().find("no trash on this disk"), std::string::npos);
    EXPECT_EQ(table.count(), 1);
    EXPECT_TRUE(std::filesystem::exists(file()));
}

} // namespace
} // namespace kestrel
