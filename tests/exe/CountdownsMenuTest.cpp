// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CountdownsMenu.h"

#include "OptionsDialog.h"
#include "OptionsPages.h"
#include "ProgramFixture.h"
#include "ScopedEnvironment.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

#include <gmock/gmock.h>

namespace kestrel::test {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

// The toolbar of "Default" with the countdowns folder beside its settings file, the trash and the
// runtime folder in the temporary folder, and the detached starts recorded instead of made.
class CountdownsTest : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        program->countdowns = {settingsPath(), dir / "data"};
        program->programPath = "/opt/kestrel/bin/kestrel";
        fs::create_directories(dir / "config/countdowns");
        fs::create_directories(dir / "run");
        fs::permissions(dir / "run", fs::perms::owner_all);
        WriteSettings("[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=1\n");
    }
    void TearDown() override
    {
        options.reset();
        ProgramFixture::TearDown();
    }

    fs::path countdownFile(const std::string& name) const { return dir / "config/countdowns" / (name + ".INI"); }
    void AddCountdown(const std::string& name, const std::string& text) { WriteFile(countdownFile(name), text); }

    CountdownsMenu& Menu()
    {
        ToolbarWindow& bar = toolbar ? *toolbar : StartToolbar();
        auto* menu = bar.menuBar()->findChild<CountdownsMenu*>(QStringLiteral("mnuCountdowns"));
        EXPECT_NE(menu, nullptr);
        menu->startDetached = [this](const QString& path, const QStringList& arguments) {
            started.append(path + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
            return true;
        };
        return *menu;
    }

    // The trash is the home's when the file lies on the home's file system.
    ScopedEnvironment home{"HOME", dir.path().string()};
    ScopedEnvironment dataHome{"XDG_DATA_HOME", (dir / "share").string()};
    ScopedEnvironment runtime{"XDG_RUNTIME_DIR", (dir / "run").string()};
    QStringList started;
    std::unique_ptr<OptionsDialog> options;
};

TEST_F(CountdownsTest, TheToolsMenuListsTheCountdownsWithTheShownOneChecked)
{
    AddCountdown("Launch", "");
    AddCountdown("apple", "");
    CountdownsMenu& menu = Menu();
    emit menu.aboutToShow();
    QStringList items;
    for (QAction* action : menu.actions()) {
        items << action->text() + (action->isChecked() ? QStringLiteral("*") : QString());
    }
    EXPECT_EQ(items, (QStringList{"Default*", "apple", "Launch", "", "&New Countdown...", "&Rename Countdown...",
                                  "&Delete Countdown..."}));
    menu.actions()[2]->trigger();
    EXPECT_EQ(started, QStringList{"/opt/kestrel/bin/kestrel --countdown Launch"});
    started.clear();
    menu.actions()[0]->trigger(); // the countdown this window shows
    EXPECT_TRUE(started.isEmpty());
}

TEST_F(CountdownsTest, ANewCountdownCopiesTheSettingsButNotTheFiles)
{
    WriteSettings("[Target Date]\nTarget_Year=2031\n[File Options]\nCount_Down_File=/mine/count.txt\n"
                  "Project File=/mine/mileston.txt\n[Calendar]\nCalendar File=/mine/feed.ics\n"
                  "[Forms Open]\nFormCount=1\nForm1=frmCountDown\n");
    CountdownsMenu& menu = Menu();
    dialogs.answerInputBox(QStringLiteral("Moon trip"));
    dialogs.answerMsgBox(Dialogs::Answer::Yes);
    menu.newCountdown();

    const SettingsFile made(countdownFile("Moon trip"));
    EXPECT_EQ(made.ReadSetting("Target Date", "Target_Year", ""), "2031");
    EXPECT_EQ(made.ReadSetting("File Options", "Count_Down_File", ""),
              (dir / "data/countdowns/Moon trip/Kestrel.txt").string());
    EXPECT_EQ(made.ReadSetting("File Options", "Project File", ""),
              (dir / "data/countdowns/Moon trip/mileston.txt").string());
    EXPECT_EQ(made.ReadSetting("Calendar", "Calendar File", "<none>"), "");
    EXPECT_EQ(made.ReadSetting("Forms Open", "FormCount", ""), "0");
    EXPECT_EQ(started, QStringList{"/opt/kestrel/bin/kestrel --countdown Moon trip --options"});
}

TEST_F(CountdownsTest, ANewCountdownFromTheDefaultsHasAnEmptySettingsFile)
{
    CountdownsMenu& menu = Menu();
    dialogs.answerInputBox(QStringLiteral("Fresh"));
    dialogs.answerMsgBox(Dialogs::Answer::No);
    menu.newCountdown();
    EXPECT_EQ(ReadFile(countdownFile("Fresh")), "");
    EXPECT_EQ(started.size(), 1);
}

TEST_F(CountdownsTest, ANewCountdownNeedsAGoodNameNotTakenYet)
{
    AddCountdown("Launch", "");
    struct Case
    {
        const char* name;
        const char* message;
    };
    // clang-format off
    const Case cases[] = {
        {"../x", "cannot hold \"/\""},
        {".hidden", "cannot begin with \".\""},
        {"default", "There is a countdown called Default already."},
        {"LAUNCH", "There is a countdown called Launch already."},
    };
    // clang-format on
    CountdownsMenu& menu = Menu();
    for (const Case& c : cases) {
        dialogs.clear();
        dialogs.answerInputBox(QString::fromUtf8(c.name));
        menu.newCountdown();
        ASSERT_EQ(dialogs.messages().size(), 1) << c.name;
        EXPECT_THAT(dialogs.messages()[0].toStdString(), HasSubstr(c.message));
    }
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(ListCountdowns(program->countdowns).size(), 2U);
}

TEST_F(CountdownsTest, RenameMovesTheSettingsFileTheDataFolderAndThePathsIntoIt)
{
    const fs::path data = dir / "data/countdowns/Launch";
    fs::create_directories(data);
    WriteFile(data / "mileston.txt", "\" 36530\",\"Go\"\n");
    AddCountdown("Launch", "[File Options]\nProject File=" + (data / "mileston.txt").string() +
                               "\nCount_Down_File=/elsewhere/count.txt\n");
    CountdownsMenu& menu = Menu();
    dialogs.answerChoice(0);
    dialogs.answerInputBox(QStringLiteral("Moon"));
    menu.renameCountdown();

    EXPECT_FALSE(fs::exists(countdownFile("Launch")));
    const SettingsFile renamed(countdownFile("Moon"));
    EXPECT_EQ(renamed.ReadSetting("File Options", "Project File", ""),
              (dir / "data/countdowns/Moon/mileston.txt").generic_string());
    EXPECT_EQ(renamed.ReadSetting("File Options", "Count_Down_File", ""), "/elsewhere/count.txt");
    EXPECT_EQ(ReadFile(dir / "data/countdowns/Moon/mileston.txt"), "\" 36530\",\"Go\"\n");
    EXPECT_FALSE(fs::exists(data));
}

TEST_F(CountdownsTest, DeleteMovesItsFilesToTheTrashAndLeavesFilesElsewhere)
{
    const fs::path data = dir / "data/countdowns/Launch";
    fs::create_directories(data);
    WriteFile(data / "mileston.txt", "");
    WriteFile(dir / "elsewhere.txt", "T-1");
    AddCountdown("Launch", "[File Options]\nCount_Down_File=" + (dir / "elsewhere.txt").string() + "\n");
    CountdownsMenu& menu = Menu();
    dialogs.answerChoice(0);
    dialogs.answerMsgBox(Dialogs::Answer::Yes);
    menu.deleteCountdown();

    EXPECT_FALSE(fs::exists(countdownFile("Launch")));
    EXPECT_FALSE(fs::exists(data));
    EXPECT_TRUE(fs::exists(dir / "share/Trash/files/Launch.INI"));
    EXPECT_TRUE(fs::exists(dir / "share/Trash/files/Launch/mileston.txt"));
    EXPECT_EQ(ReadFile(dir / "elsewhere.txt"), "T-1");
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_THAT(dialogs.messages()[1].toStdString(), HasSubstr("went to the trash"));
    EXPECT_THAT(dialogs.messages()[1].toStdString(), HasSubstr((dir / "elsewhere.txt").string()));
    EXPECT_EQ(ListCountdowns(program->countdowns).size(), 1U);
}

TEST_F(CountdownsTest, TheShownCountdownIsNotOfferedForRenameOrDelete)
{
    CountdownsMenu& menu = Menu();
    menu.deleteCountdown();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_THAT(dialogs.messages()[0].toStdString(), HasSubstr("There is no other countdown"));
    EXPECT_TRUE(fs::exists(settingsPath()));
}

TEST_F(CountdownsTest, OptionsRefuseAFileThatAnotherCountdownWrites)
{
    AddCountdown("Launch", "[File Options]\nCount_Down_File=" + (dir / "launch.txt").string() + "\n");
    StartToolbar();
    options = std::make_unique<OptionsDialog>(*program);
    options->filePage()->countdownFileEdit()->setText(QString::fromStdString((dir / "launch.txt").string()));
    const std::string before = ReadSettings();
    options->button(OptionsDialog::Button::Apply)->click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_THAT(dialogs.messages()[0].toStdString(), HasSubstr("is the countdown file of the countdown Launch"));
    EXPECT_EQ(ReadSettings(), before);
}

TEST_F(CountdownsTest, TheScreensaverChoiceIsWrittenToKestrelIniOnlyWhenChanged)
{
    AddCountdown("Launch", "");
    StartToolbar();
    options = std::make_unique<OptionsDialog>(*program);
    QComboBox* box = options->morePage()->screensaverCountdownBox();
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->currentText(), "Default");
    options->button(OptionsDialog::Button::Apply)->click();
    EXPECT_EQ(Setting("Screensaver", "Countdown"), "<missing>");

    box->setCurrentIndex(1);
    options->button(OptionsDialog::Button::Apply)->click();
    EXPECT_EQ(Setting("Screensaver", "Countdown"), "Launch");
}

TEST(NotificationSummaryTest, NamesEveryCountdownButDefault)
{
    EXPECT_EQ(NotificationSummary("Default", "Target reached"), "Target reached");
    EXPECT_EQ(NotificationSummary("", "Target reached"), "Target reached");
    EXPECT_EQ(NotificationSummary("Launch", "Target reached"), "Launch: Target reached");
}

} // namespace
} // namespace kestrel::test
