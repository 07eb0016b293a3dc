// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramFixture.h"
#include "ScopedEnvironment.h"
#include "Units.h"

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

TEST_F(HelpFileSearch, DataFoldersComeAfterTheProgramFolderAndBeforePath)
{
    std::filesystem::create_directories(dir / "data" / "kestrel");
    std::filesystem::create_directories(dir / "system" / "kestrel");
    std::filesystem::create_directories(dir / "onpath");
    WriteFile(dir / "system" / "kestrel" / "Kestrel.HLP", "system help");
    WriteFile(dir / "onpath" / "Kestrel.HLP", "path help");
    const std::vector<std::filesystem::path> data{dir / "data" / "kestrel", dir / "system" / "kestrel"};
    const std::string path = (dir / "onpath").string();
    EXPECT_EQ(FindHelpFile("Kestrel.HLP", dir / "bin", path, data), dir / "system" / "kestrel" / "Kestrel.HLP");
    WriteFile(dir / "bin" / "Kestrel.HLP", "help");
    EXPECT_EQ(FindHelpFile("Kestrel.HLP", dir / "bin", path, data), dir / "bin" / "Kestrel.HLP");
}

TEST_F(HelpFileSearch, InstalledProgramFindsItsShareFolderThenXdgDataFolders)
{
    ::setenv("XDG_DATA_HOME", (dir / "home-data").string().c_str(), 1);
    ::setenv("XDG_DATA_DIRS", ((dir / "first").string() + ":" + (dir / "second").string()).c_str(), 1);
    const std::vector<std::filesystem::path> folders = HelpDataFolders(dir / "prefix" / "bin");
    EXPECT_EQ(folders,
              (std::vector<std::filesystem::path>{dir / "prefix" / "share" / "kestrel", dir / "home-data" / "kestrel",
                                                  dir / "first" / "kestrel", dir / "second" / "kestrel"}));
}

TEST_F(HelpFileSearch, MissingHelpFileNamesWhereKestrelLooked)
{
    const ScopedEnvironment path("PATH", (dir / "empty").string());
    const ScopedEnvironment dataHome("XDG_DATA_HOME", (dir / "empty").string());
    const ScopedEnvironment dataDirs("XDG_DATA_DIRS", (dir / "empty").string());
    EXPECT_FALSE(FindHelpFile(*program, "Kestrel.HLP"));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    const ScriptedDialogs::Shown& box = dialogs.shown()[0];
    EXPECT_EQ(box.title, "Kestrel help not available");
    EXPECT_EQ(box.icon, Dialogs::Icon::Exclamation);
    EXPECT_EQ(box.text.toStdString(), "The help file Kestrel.HLP was not found, so help is not available.\n\n"
                                      "Kestrel looked in these folders, in this order:\n" +
                                          (dir / "bin").string() + "\n" + (dir / "share" / "kestrel").string() + "\n" +
                                          (dir / "empty" / "kestrel").string() +
                                          "\nand then in each folder of the PATH environment variable.\n\n"
                                          "Reinstalling Kestrel puts it back in its data folder (share/kestrel).");
    EXPECT_FALSE(box.text.contains(QStringLiteral("Windows")));
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

// What a window's place keys write in each of its states: the state when the keys hold one, top
// and left while normal (and while maximised, its normal place, when the keys say so), and
// nothing else.
TEST_F(OpenWindowsRecord, PlaceKeysWriteWhatTheirRowSays)
{
    constexpr PlaceKeys kBeside{"Win", true, true, false};
    constexpr PlaceKeys kBesideMaximisedPlace{"Win", true, true, true};
    constexpr PlaceKeys kDialog{"Win", false, false, false};
    // clang-format off
    const struct
    {
        const char* name;
        PlaceKeys keys;
        Qt::WindowState state;
        const char* written; // "state top left", "-" for a key not written
    } cases[] = {
        {"beside, normal", kBeside, Qt::WindowNoState, "0 1500 3000"},
        {"beside, maximised", kBeside, Qt::WindowMaximized, "2 - -"},
        {"beside, minimised", kBeside, Qt::WindowMinimized, "1 - -"},
        {"calendar, normal", kBesideMaximisedPlace, Qt::WindowNoState, "0 1500 3000"},
        {"calendar, maximised", kBesideMaximisedPlace, Qt::WindowMaximized, "2 1500 3000"},
        {"calendar, minimised", kBesideMaximisedPlace, Qt::WindowMinimized, "- - -"},
        {"dialog, normal", kDialog, Qt::WindowNoState, "- 1500 3000"},
        {"dialog, maximised", kDialog, Qt::WindowMaximized, "- - -"},
    };
    // clang-format on
    for (const auto& c : cases) {
        WriteSettings("");
        QWidget window;
        window.resize(200, 100);
        MoveWindowTwips(window, 1500, 3000);
        window.show();
        QApplication::processEvents();
        if (c.state != Qt::WindowNoState) {
            window.setWindowState(c.state);
            QApplication::processEvents();
        }
        WritePlace(*program, c.keys, window);
        const auto shown = [this](const char* key) {
            const std::string value = Setting("Forms Position", key);
            return value == "<missing>" ? std::string("-") : value;
        };
        EXPECT_EQ(shown("WinWindowState") + " " + shown("WinTop") + " " + shown("WinLeft"), c.written) << c.name;
    }
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
