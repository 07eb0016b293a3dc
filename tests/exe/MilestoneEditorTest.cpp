// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeskCalendar.h"
#include "MilestoneEditor.h"
#include "ProgramFixture.h"
#include "Units.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace kestrel::test {
namespace {

// The editor opened from the calendar, on a program whose clock stands at 30 December 1999 and
// whose milestone file lies in the test's data folder.
class MilestoneEditorTest : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        std::filesystem::create_directories(dir / "data");
        program->ProgramSettings = LoadProgramSettings(program->settings, program->dataDirectory);
    }

    std::filesystem::path milestoneFile() const { return dir / "data" / "mileston.txt"; }

    DeskCalendar& OpenCalendar(YearMonth month = {1999, 12})
    {
        calendar = new DeskCalendar(*program);
        calendar->ShowMonth(month);
        return *calendar;
    }

    // Double-clicks a day of the shown month and returns the editor that opened.
    MilestoneEditor& Edit(int day)
    {
        calendar->dayChosen(CellOf(day));
        auto* editor = qobject_cast<MilestoneEditor*>(program->windows.find(QString::fromLatin1(kMilestoneName)));
        if (editor == nullptr) {
            throw std::runtime_error("the editor did not open");
        }
        return *editor;
    }

    bool EditorOpen() const { return program->windows.contains(kMilestoneName); }

    int CellOf(int day) const
    {
        for (int i = 0; i < kGridCells; ++i) {
            if (calendar->grid().cells[static_cast<std::size_t>(i)].day == day) {
                return i;
            }
        }
        return -1;
    }

    QString DayText(int day) const { return calendar->cell(CellOf(day))->dayLabel()->text(); }

    DeskCalendar* calendar = nullptr;
};

TEST_F(MilestoneEditorTest, ANewMilestoneIsWrittenInTheFileFormatAndMarkedOnTheCalendar)
{
    OpenCalendar();
    MilestoneEditor& editor = Edit(24);
    EXPECT_EQ(editor.windowTitle(), "Milestone Update Form");
    EXPECT_EQ(editor.dayLine()->text(), "Enter Milestone for 24 Dec, 1999");
    EXPECT_EQ(editor.numberLine()->text(), "Milestone number: New");
    EXPECT_FALSE(editor.button(MilestoneEditor::Button::Remove)->isEnabled());
    EXPECT_EQ(editor.button(MilestoneEditor::Button::Remove)->text(), "&Remove");
    EXPECT_EQ(editor.button(MilestoneEditor::Button::Apply)->text(), "&Apply");
    EXPECT_EQ(editor.button(MilestoneEditor::Button::Cancel)->text(), "&Cancel");
    EXPECT_TRUE(editor.textBox()->toPlainText().isEmpty());
    editor.textBox()->setPlainText("Review");
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_FALSE(EditorOpen());
    EXPECT_EQ(ReadFile(milestoneFile()), "\" 36518\",\"Review\"\r\n");
    EXPECT_EQ(DayText(24), "1 24");
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

// The limit counts characters, as its message says, whatever bytes they take in the file; a text
// at the limit is read back whole.
TEST_F(MilestoneEditorTest, TheLengthLimitCountsCharacters)
{
    OpenCalendar();
    // clang-format off
    const struct { const char* character; int count; bool kept; } cases[] = {
        {"a", 65536, true},
        {"a", 65537, false},
        {"\xc3\xa9", 65536, true},          // é: two bytes a character
        {"\xf0\x9f\x90\xa6", 65536, true},  // a bird: four bytes, two UTF-16 units
        {"\xf0\x9f\x90\xa6", 65537, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.character) + " x " + std::to_string(c.count));
        dialogs.clear();
        const std::string before = std::filesystem::exists(milestoneFile()) ? ReadFile(milestoneFile()) : "";
        QString text;
        for (int i = 0; i < c.count; ++i) {
            text += QString::fromUtf8(c.character);
        }
        MilestoneEditor& editor = Edit(24);
        editor.textBox()->setPlainText(text);
        editor.pressButton(MilestoneEditor::Button::Apply);
        if (c.kept) {
            EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('\n').toStdString();
            EXPECT_FALSE(EditorOpen());
            MilestoneTable reread;
            EXPECT_FALSE(reread.LoadMilestones(milestoneFile()));
            ASSERT_EQ(reread.count(), 1);
            EXPECT_EQ(QString::fromStdString(reread.at(1).text), text);
        } else {
            ASSERT_EQ(dialogs.messages().size(), 1);
            EXPECT_EQ(dialogs.messages()[0], "The milestone text is too long: at most 65536 characters are kept.");
            EXPECT_EQ(ReadFile(milestoneFile()), before);
            editor.pressButton(MilestoneEditor::Button::Cancel);
        }
    }
}

TEST_F(MilestoneEditorTest, TheLabelShowsTheDayInItsPattern)
{
    OpenCalendar({2000, 1});
    EXPECT_EQ(Edit(5).dayLine()->text(), "Enter Milestone for 05 Jan, 2000");
}

TEST_F(MilestoneEditorTest, AnEmptyTextStillMakesAMilestone)
{
    OpenCalendar();
    Edit(3).pressButton(MilestoneEditor::Button::Apply);
    EXPECT_EQ(ReadFile(milestoneFile()), "\" 36497\",\"\"\r\n");
    EXPECT_EQ(DayText(3), "1 3");
}

TEST_F(MilestoneEditorTest, AnExistingMilestoneOpensWithItsTextAndNumber)
{
    WriteFile(milestoneFile(), "\" 36510\",\"Kickoff\"\r\n\" 36518\",\"Review\r\nwith the team\"\r\n");
    OpenCalendar();
    MilestoneEditor& editor = Edit(24);
    EXPECT_EQ(editor.numberLine()->text(), "Milestone number: 2");
    EXPECT_EQ(editor.textBox()->toPlainText(), "Review\nwith the team");
    EXPECT_TRUE(editor.button(MilestoneEditor::Button::Remove)->isEnabled());
    // Applying without a change keeps the file as it was, line breaks included.
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_EQ(ReadFile(milestoneFile()), "\" 36510\",\"Kickoff\"\r\n\" 36518\",\"Review\r\nwith the team\"\r\n");
}

TEST_F(MilestoneEditorTest, RemoveThenCancelChangesNothing)
{
    const std::string file = "\" 36518\",\"Review\"\r\n";
    WriteFile(milestoneFile(), file);
    OpenCalendar();
    MilestoneEditor& editor = Edit(24);
    editor.pressButton(MilestoneEditor::Button::Remove);
    EXPECT_TRUE(editor.textBox()->isHidden());
    EXPECT_FALSE(editor.removalNote()->isHidden());
    EXPECT_EQ(editor.removalNote()->text(), "Click Apply to Remove Milestone");
    EXPECT_TRUE(EditorOpen());
    EXPECT_TRUE(program->milestones.table().at(1).markedForRemoval);
    editor.pressButton(MilestoneEditor::Button::Cancel);
    EXPECT_FALSE(EditorOpen());
    EXPECT_FALSE(program->milestones.table().at(1).markedForRemoval);
    EXPECT_EQ(ReadFile(milestoneFile()), file);
    EXPECT_EQ(DayText(24), "1 24");
}

TEST_F(MilestoneEditorTest, RemoveThenApplyOnTheOnlyMilestoneDeletesTheFile)
{
    WriteFile(milestoneFile(), "\" 36518\",\"Review\"\r\n");
    OpenCalendar();
    MilestoneEditor& editor = Edit(24);
    editor.pressButton(MilestoneEditor::Button::Remove);
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_FALSE(std::filesystem::exists(milestoneFile()));
    EXPECT_EQ(DayText(24), "24");
    EXPECT_EQ(calendar->marksInMonth(), 0);
}

TEST_F(MilestoneEditorTest, AnEarlierMilestoneRenumbersTheLaterOnes)
{
    WriteFile(milestoneFile(), "\" 36518\",\"Review\"\r\n");
    OpenCalendar();
    MilestoneEditor& editor = Edit(10);
    editor.textBox()->setPlainText("Design");
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_EQ(DayText(10), "1 10");
    EXPECT_EQ(DayText(24), "2 24");
    EXPECT_EQ(ReadFile(milestoneFile()), "\" 36504\",\"Design\"\r\n\" 36518\",\"Review\"\r\n");
}

TEST_F(MilestoneEditorTest, ApplyStoresOnItsOwnDayWhileTheCalendarShowsAnotherMonth)
{
    OpenCalendar();
    MilestoneEditor& editor = Edit(24);
    calendar->jump(Jump::NextMonth); // next month
    editor.textBox()->setPlainText("Review");
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_EQ(ReadFile(milestoneFile()), "\" 36518\",\"Review\"\r\n");
    EXPECT_EQ(calendar->shownMonth(), (YearMonth{2000, 1}));
    calendar->jump(Jump::PreviousMonth);
    EXPECT_EQ(DayText(24), "1 24");
}

// The table reloaded or cleared while the editor is open: Apply works on the day it was opened
// for and never overwrites another day's milestone.
TEST_F(MilestoneEditorTest, ApplyAfterAReloadChangesOnlyItsOwnDay)
{
    WriteFile(milestoneFile(), "\" 36510\",\"Kickoff\"\r\n\" 36518\",\"Review\"\r\n");
    OpenCalendar();
    MilestoneEditor& editor = Edit(24); // milestone 2
    // Meanwhile the file gains an earlier milestone and is read again: position 2 is now the 16th.
    WriteFile(milestoneFile(), "\" 36500\",\"Early\"\r\n\" 36510\",\"Kickoff\"\r\n\" 36518\",\"Review\"\r\n");
    ASSERT_FALSE(program->milestones.load());
    editor.textBox()->setPlainText("Review moved");
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_EQ(ReadFile(milestoneFile()),
              "\" 36500\",\"Early\"\r\n\" 36510\",\"Kickoff\"\r\n\" 36518\",\"Review moved\"\r\n");
}

TEST_F(MilestoneEditorTest, ApplyAfterClearAllAddsTheMilestoneAgain)
{
    WriteFile(milestoneFile(), "\" 36510\",\"Kickoff\"\r\n\" 36518\",\"Review\"\r\n");
    OpenCalendar();
    MilestoneEditor& editor = Edit(24);
    // Clear All, with the file deleted instead of moved to the trash.
    program->milestones.clearAll(
        [](const std::filesystem::path& path, std::string&) { return std::filesystem::remove(path); });
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_EQ(ReadFile(milestoneFile()), "\" 36518\",\"Review\"\r\n");
}

TEST_F(MilestoneEditorTest, RemoveAfterTheMilestoneWasClearedAddsNothing)
{
    WriteFile(milestoneFile(), "\" 36518\",\"Review\"\r\n");
    OpenCalendar();
    MilestoneEditor& editor = Edit(24);
    editor.pressButton(MilestoneEditor::Button::Remove);
    program->milestones.table().clear();
    std::filesystem::remove(milestoneFile());
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_FALSE(EditorOpen());
    EXPECT_FALSE(std::filesystem::exists(milestoneFile()));
    EXPECT_TRUE(program->milestones.table().empty());
}

TEST_F(MilestoneEditorTest, AFailedSaveIsReportedOnceAndNothingIsLost)
{
    program->ProgramSettings.ProjectFile = (dir / "missing" / "mileston.txt").string();
    OpenCalendar();
    MilestoneEditor& editor = Edit(24);
    editor.textBox()->setPlainText("Review");
    editor.pressButton(MilestoneEditor::Button::Apply);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().startsWith("76 Path not found"));
    EXPECT_TRUE(dialogs.messages().first().contains(QString::fromStdString((dir / "missing").string())));
    EXPECT_TRUE(EditorOpen());
    ASSERT_EQ(program->milestones.table().count(), 1);
    EXPECT_EQ(program->milestones.table().at(1).text, "Review");
    // With a folder to write to, the same Apply succeeds.
    std::filesystem::create_directories(dir / "missing");
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_FALSE(EditorOpen());
    EXPECT_EQ(ReadFile(dir / "missing" / "mileston.txt"), "\" 36518\",\"Review\"\r\n");
    EXPECT_EQ(program->milestones.table().count(), 1);
}

// Whatever the settings say, the milestones never replace another file the program keeps, and the
// typed milestone stays in the open editor.
TEST_F(MilestoneEditorTest, AMilestoneFileThatIsAnotherOwnFileIsNeverWritten)
{
    const std::string settings =
        "[Target Date]\nTarget_Year=2000\n[Calendar]\nCalendar File=" + (dir / "feed.ics").string() + "\n";
    WriteSettings(settings);
    WriteFile(dir / "feed.ics", "BEGIN:VCALENDAR\r\n");
    WriteFile(dir / "count.txt", "T-2\r\n");
    std::filesystem::create_symlink(settingsPath(), dir / "link.ini");
    program->ProgramSettings.CountDownFile = (dir / "count.txt").string();
    const struct
    {
        std::filesystem::path milestones;
        const char* reason;
    } cases[] = {
        // clang-format off
        {settingsPath(),        "(it is the settings file)"},
        {dir / "link.ini",      "(it is the settings file)"},
        {dir / "count.txt",     "(it is the countdown file)"},
        {dir / "feed.ics",      "(it is the calendar feed)"},
        // clang-format on
    };
    OpenCalendar();
    for (const auto& c : cases) {
        dialogs.clear();
        program->ProgramSettings.ProjectFile = c.milestones.string();
        MilestoneEditor& editor = Edit(24);
        editor.textBox()->setPlainText("Review");
        editor.pressButton(MilestoneEditor::Button::Apply);
        ASSERT_EQ(dialogs.messages().size(), 1) << c.milestones;
        EXPECT_TRUE(dialogs.messages()[0].startsWith("75 Path/File access error: the milestones could not be saved"));
        EXPECT_TRUE(dialogs.messages()[0].contains(QLatin1String(c.reason))) << dialogs.messages()[0].toStdString();
        EXPECT_TRUE(EditorOpen());
        EXPECT_EQ(editor.textBox()->toPlainText(), "Review");
        editor.pressButton(MilestoneEditor::Button::Cancel);

        // Clear All neither moves it to the trash.
        dialogs.clear();
        calendar->clearAllMilestones();
        ASSERT_EQ(dialogs.messages().size(), 1) << c.milestones;
        EXPECT_TRUE(dialogs.messages()[0].contains(QLatin1String(c.reason)));
    }
    // The editor's Cancel stores its place after the keys as they were.
    EXPECT_TRUE(ReadSettings().starts_with(settings + "[Forms Position]\n")) << ReadSettings();
    EXPECT_EQ(ReadFile(dir / "count.txt"), "T-2\r\n");
    EXPECT_EQ(ReadFile(dir / "feed.ics"), "BEGIN:VCALENDAR\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
}

// A file read only in part (a damaged line, a cut) is not saved over: what was not read would be
// lost. The typed milestone stays in the editor until the file is mended.
TEST_F(MilestoneEditorTest, AFileReadOnlyInPartIsNotSavedOver)
{
    using namespace std::string_literals;
    const std::string damaged = "\" 36514\",\"First\"\r\n\" 36515\",\"Bad\0line\"\r\n\" 36516\",\"Third\"\r\n"s;
    WriteFile(milestoneFile(), damaged);
    OpenCalendar();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("321 Invalid file format")) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(program->milestones.table().count(), 1) << "the milestones before the damage show";

    for (const bool remove : {false, true}) {
        dialogs.clear();
        MilestoneEditor& editor = Edit(remove ? 20 : 24);
        if (remove) {
            editor.pressButton(MilestoneEditor::Button::Remove);
        } else {
            editor.textBox()->setPlainText("Review");
        }
        editor.pressButton(MilestoneEditor::Button::Apply);
        ASSERT_EQ(dialogs.messages().size(), 1);
        const QString message = dialogs.messages()[0];
        EXPECT_TRUE(message.startsWith("321 Invalid file format")) << message.toStdString();
        EXPECT_TRUE(message.contains("(line 2 of " + QString::fromStdString(milestoneFile().string()) + ")"))
            << message.toStdString();
        EXPECT_TRUE(message.contains("The milestones are not saved")) << message.toStdString();
        EXPECT_EQ(ReadFile(milestoneFile()), damaged);
        EXPECT_TRUE(EditorOpen());
        if (!remove) {
            EXPECT_EQ(editor.textBox()->toPlainText(), "Review");
        }
        editor.pressButton(MilestoneEditor::Button::Cancel);
    }

    // Mended, and read again as the file watch does, the same Apply keeps every milestone.
    WriteFile(milestoneFile(), "\" 36514\",\"First\"\r\n\" 36515\",\"Mended\"\r\n\" 36516\",\"Third\"\r\n");
    EXPECT_FALSE(program->milestones.load());
    dialogs.clear();
    MilestoneEditor& editor = Edit(24);
    editor.textBox()->setPlainText("Review");
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_EQ(dialogs.messages(), QStringList());
    EXPECT_EQ(ReadFile(milestoneFile()),
              "\" 36514\",\"First\"\r\n\" 36515\",\"Mended\"\r\n\" 36516\",\"Third\"\r\n\" 36518\",\"Review\"\r\n");
}

TEST_F(MilestoneEditorTest, TheDataFolderIsMadeOnTheFirstSave)
{
    std::filesystem::remove_all(dir / "data");
    OpenCalendar();
    Edit(24).pressButton(MilestoneEditor::Button::Apply);
    EXPECT_TRUE(std::filesystem::exists(milestoneFile()));
}

TEST_F(MilestoneEditorTest, ButtonsStoreThePlaceAndTheCloseBoxCancelsWithoutIt)
{
    WriteFile(milestoneFile(), "\" 36518\",\"Review\"\r\n");
    OpenCalendar();
    MilestoneEditor& first = Edit(24);
    first.show();
    first.close();
    EXPECT_EQ(Setting("Forms Position", "MilestoneTop"), "<missing>");
    EXPECT_FALSE(EditorOpen());

    MilestoneEditor& removing = Edit(24);
    removing.pressButton(MilestoneEditor::Button::Remove);
    EXPECT_TRUE(program->milestones.table().at(1).markedForRemoval);
    removing.close(); // the close box undoes the Remove as Cancel does
    EXPECT_FALSE(program->milestones.table().at(1).markedForRemoval);
    EXPECT_EQ(ReadFile(milestoneFile()), "\" 36518\",\"Review\"\r\n");

    MilestoneEditor& second = Edit(24);
    second.show();
    MoveWindowTwips(second, 300, 450);
    second.pressButton(MilestoneEditor::Button::Cancel);
    EXPECT_EQ(Setting("Forms Position", "MilestoneTop"), "300");
    EXPECT_EQ(Setting("Forms Position", "MilestoneLeft"), "450");
    EXPECT_EQ(Setting("Forms Position", "MilestoneWindowState"), "<missing>");

    MilestoneEditor& third = Edit(24);
    EXPECT_DOUBLE_EQ(WindowTopTwips(third), 300);
    EXPECT_DOUBLE_EQ(WindowLeftTwips(third), 450);
}

} // namespace
} // namespace kestrel::test

namespace kestrel::test {
namespace {

// Another program (a sync client, a text editor) changes the milestone file while the editor is
// open: the user's one change goes onto the file as it is at Apply.
class MilestoneEditorBesideAnotherProgram : public MilestoneEditorTest
{
protected:
    // Opens the editor on the 24th of a file holding `before`, then lets the other program write
    // `meanwhile` and types `typed`.
    MilestoneEditor& EditWhileChanged(const std::string& before, const std::string& meanwhile, const QString& typed)
    {
        WriteFile(milestoneFile(), before);
        OpenCalendar();
        MilestoneEditor& editor = Edit(24);
        WriteFile(milestoneFile(), meanwhile);
        editor.textBox()->setPlainText(typed);
        return editor;
    }
};

TEST_F(MilestoneEditorBesideAnotherProgram, AMilestoneAddedOnAnotherDayIsKept)
{
    MilestoneEditor& editor =
        EditWhileChanged("\" 36518\",\"Review\"\r\n", "\" 36518\",\"Review\"\r\n\" 36520\",\"Synced\"\r\n", "Audit");
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_FALSE(EditorOpen());
    EXPECT_EQ(ReadFile(milestoneFile()), "\" 36518\",\"Audit\"\r\n\" 36520\",\"Synced\"\r\n");
}

TEST_F(MilestoneEditorBesideAnotherProgram, AFileDeletedMeanwhileDoesNotComeBack)
{
    WriteFile(milestoneFile(), "\" 36519\",\"Christmas\"\r\n\" 36520\",\"Boxing Day\"\r\n");
    OpenCalendar();
    MilestoneEditor& editor = Edit(24);
    std::filesystem::remove(milestoneFile());
    editor.textBox()->setPlainText("Review");
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_EQ(ReadFile(milestoneFile()), "\" 36518\",\"Review\"\r\n");
}

TEST_F(MilestoneEditorBesideAnotherProgram, OnlyTheOtherSidesChangeOfTheDayIsKeptWithoutAQuestion)
{
    MilestoneEditor& editor =
        EditWhileChanged("\" 36518\",\"Review\"\r\n", "\" 36518\",\"Review moved\"\r\n", "Review");
    editor.pressButton(MilestoneEditor::Button::Apply);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(ReadFile(milestoneFile()), "\" 36518\",\"Review moved\"\r\n");
}

struct BothChangedCase
{
    const char* name;
    std::optional<int> choice;
    const char* file; // after Apply; null: unchanged and the editor still open
};

// clang-format off
const BothChangedCase kBothChanged[] = {
    {"mine",      0,            "\" 36518\",\"Audit\"\r\n"},
    {"theirs",    1,            "\" 36518\",\"Review moved\"\r\n"},
    {"both",      2,            "\" 36518\",\"Audit\nReview moved\"\r\n"},
    {"cancelled", std::nullopt, nullptr},
};
// clang-format on

TEST_F(MilestoneEditorBesideAnotherProgram, TheSameDayChangedOnBothSidesAsksWhichToKeep)
{
    for (const BothChangedCase& c : kBothChanged) {
        SCOPED_TRACE(c.name);
        MilestoneEditor& editor =
            EditWhileChanged("\" 36518\",\"Review\"\r\n", "\" 36518\",\"Review moved\"\r\n", "Audit");
        dialogs.clear();
        dialogs.answerChoice(c.choice);
        editor.pressButton(MilestoneEditor::Button::Apply);
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_EQ(dialogs.shown()[0].kind, "Choice");
        EXPECT_EQ(dialogs.shown()[0].detail, "Keep &mine|Keep the &file's|Keep &both");
        EXPECT_TRUE(dialogs.shown()[0].text.contains("In the file: Review moved\nYours: Audit"));
        if (c.file == nullptr) {
            EXPECT_TRUE(EditorOpen());
            EXPECT_EQ(editor.textBox()->toPlainText(), "Audit");
            EXPECT_EQ(ReadFile(milestoneFile()), "\" 36518\",\"Review moved\"\r\n");
            editor.pressButton(MilestoneEditor::Button::Cancel);
        } else {
            EXPECT_FALSE(EditorOpen());
            EXPECT_EQ(ReadFile(milestoneFile()), c.file);
        }
        calendar->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace
} // namespace kestrel::test
