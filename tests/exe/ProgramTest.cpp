#include "ProgramFixture.h"
#include "ScopedEnvironment.h"

namespace kestrel::test {
namespace {

class HelpFileSearch : public ProgramFixture
{};

TEST_F(HelpFileSearch, ProgramFolderComesFirstAndPathIsNotRead)
{
    WriteFile(dir / "bin" / "Kestrel.HLP", "help");
    std::filesystem::create_directories(dir / "other");
    WriteFile(dir / "other" / "Kestrel.HLP", "other help");
    const auto found = FindHelpFile("Kestrel.HLP", dir / "bin", (dir / "other").string());
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, dir / "bin" / "Kestrel.HLP");
}

TEST_F(HelpFileSearch, FoundInTheSecondPathEntry)
{
    std::filesystem::create_directories(dir / "first");
    std::filesystem::create_directories(dir / "second");
    WriteFile(dir / "second" / "Kestrel.HLP", "help");
    const std::string path = (dir / "first").string() + ":" + (dir / "second").string();
    const auto found = FindHelpFile("Kestrel.HLP", dir / "bin", path);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, dir / "second" / "Kestrel.HLP");
}

TEST_F(HelpFileSearch, UnreadableOrMissingFoldersAreSkipped)
{
    std::filesystem::create_directories(dir / "last");
    WriteFile(dir / "last" / "Kestrel.HLP", "help");
    const std::string path =
        "::/no/such/folder:" + (dir / "bin" / "Kestrel.HLP").string() + ":" + (dir / "last").string();
    const auto found = FindHelpFile("Kestrel.HLP", dir / "nowhere", path);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, dir / "last" / "Kestrel.HLP");
    EXPECT_FALSE(FindHelpFile("Kestrel.HLP", dir / "nowhere", ""));
}

TEST_F(HelpFileSearch, MissingHelpFileIsReportedWithTheExactMessage)
{
    const ScopedEnvironment path("PATH", (dir / "empty").string());
    EXPECT_FALSE(FindHelpFile(*program, "Kestrel.HLP"));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    const ScriptedDialogs::Shown& box = dialogs.shown()[0];
    EXPECT_EQ(box.title, "Kestrel help not available");
    EXPECT_EQ(box.icon, Dialogs::Icon::Exclamation);
    EXPECT_EQ(box.text, "Kestrel.HLP not found in your path.\n\n"
                        "Windows searches your PATH environment variable for help files, so you need to copy "
                        "Kestrel.HLP to a directory included in your PATH if you wish to obtain help while running "
                        "Kestrel.HLP.");
    EXPECT_TRUE(program->helpFilePath.isEmpty());
}

TEST_F(HelpFileSearch, FoundFileBecomesTheHelpFilePath)
{
    WriteFile(dir / "bin" / "Kestrel.HLP", "help");
    EXPECT_TRUE(FindHelpFile(*program, "Kestrel.HLP"));
    EXPECT_EQ(program->helpFilePath.toStdString(), (dir / "bin" / "Kestrel.HLP").string());
    EXPECT_TRUE(dialogs.shown().empty());
}

class OpenWindowsRecord : public ProgramFixture
{};

TEST_F(OpenWindowsRecord, RestoreListsKnownWindowsInRecordedOrder)
{
    WriteSettings("[Forms Open]\nFormCount=5\nForm1=frmCalc\nForm2=frmAbout\nForm3=frmCountDown\nForm4=frmMilestone\n"
                  "Form6=frmDeskCal\n");
    const std::vector<QString> names = RecordedOpenWindows(*program);
    EXPECT_EQ(names, (std::vector<QString>{"frmCalc", "frmCountDown"}));
}

TEST_F(OpenWindowsRecord, DamagedCountRestoresNothing)
{
    for (const char* count : {"x", "", "-3", "99999"}) {
        WriteSettings(std::string("[Forms Open]\nFormCount=") + count + "\nForm1=frmCalc\n");
        EXPECT_TRUE(RecordedOpenWindows(*program).empty()) << count;
    }
}

TEST_F(OpenWindowsRecord, OnlyTheToolbarOpenRecordsNone)
{
    WriteSettings("[Forms Open]\nFormCount=2\nForm1=frmCalc\nForm2=frmCountDown\n");
    SaveOpenWindows(*program);
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "0");
    EXPECT_TRUE(RecordedOpenWindows(*program).empty());
}

TEST(SettingsTextTest, NumbersAsTheSettingsFileStoresThem)
{
    EXPECT_EQ(NumberText(1440), "1440");
    EXPECT_EQ(NumberText(1234.5), "1234.5");
    EXPECT_EQ(NumberText(-15), "-15");
    EXPECT_EQ(NumberText(0), "0");
    EXPECT_EQ(ReadInt16(" 2 ", 0), 2);
    EXPECT_EQ(ReadInt16("1.5", 9), 2);
    EXPECT_EQ(ReadInt16("abc", 9), 9);
    EXPECT_EQ(ReadInt16("40000", 9), 9);
}

} // namespace
} // namespace kestrel::test
