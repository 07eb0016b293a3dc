// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalendarFeed.h"
#include "OptionsDialog.h"
#include "OptionsPages.h"
#include "ProgramFixture.h"
#include "WriteSetting.h"

#include <QLineEdit>
#include <QPushButton>

namespace kestrel::test {
namespace {

class CalendarFeedTest : public ProgramFixture
{
protected:
    void TearDown() override
    {
        options.reset();
        ProgramFixture::TearDown();
    }

    OptionsDialog& OpenOptions()
    {
        options.reset();
        if (!toolbar) {
            StartToolbar();
        }
        options = std::make_unique<OptionsDialog>(*program);
        return *options;
    }

    std::unique_ptr<OptionsDialog> options;
};

TEST_F(CalendarFeedTest, CalendarFileFollowsTheMilestoneFileAndReportsAFailureOnce)
{
    const std::filesystem::path ics = dir / "feed.ics";
    const std::filesystem::path milestones = dir / "mileston.txt";
    WriteSettings("[File Options]\nProject File=" + milestones.string() +
                  "\n[Calendar]\nCalendar File=" + ics.string() + "\n");
    WriteFile(milestones, "\" 36530\",\"Review\"\r\n");
    StartToolbar();
    CalendarFeed feed(*program);
    feed.update();
    ASSERT_NE(ReadFile(ics).find("SUMMARY:Review\r\n"), std::string::npos);

    // Nothing changed: the file is left alone.
    std::filesystem::remove(ics);
    feed.update();
    EXPECT_FALSE(std::filesystem::exists(ics));

    // A save of the milestone file brings the calendar up to date at the next tick.
    WriteFile(milestones, "\" 36530\",\"Review, final\"\r\n");
    feed.update();
    EXPECT_NE(ReadFile(ics).find("SUMMARY:Review\\, final\r\n"), std::string::npos);

    // A folder that does not exist: said once, not every second.
    WriteSetting(program->settings, "Calendar", "Calendar File", (dir / "missing" / "feed.ics").string());
    feed.update();
    feed.update();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(QStringLiteral("76 Path not found")))
        << dialogs.messages()[0].toStdString();
}

TEST_F(CalendarFeedTest, AFailureIsReportedOnceUntilTheOptionsAreAppliedAgain)
{
    const std::filesystem::path milestones = dir / "mileston.txt";
    WriteSettings("[File Options]\nProject File=" + milestones.string() +
                  "\n[Calendar]\nCalendar File=" + (dir / "missing" / "feed.ics").string() + "\n");
    WriteFile(milestones, "\" 36530\",\"Review\"\r\n");
    StartToolbar();
    CalendarFeed feed(*program);
    feed.update();
    ASSERT_EQ(dialogs.messages().size(), 1);

    // Each save of the milestones writes the calendar again, and fails again, without a word.
    for (const char* text : {"Review, first", "Review, second"}) {
        WriteFile(milestones, std::string("\" 36530\",\"") + text + "\"\r\n");
        feed.update();
        feed.update();
    }
    EXPECT_EQ(dialogs.messages().size(), 1);

    // Once the options are applied again (the toolbar redraws every display), it is said again.
    feed.redraw();
    feed.update();
    ASSERT_EQ(dialogs.messages().size(), 2);

    // After a write that works, the next failure is news.
    WriteSetting(program->settings, "Calendar", "Calendar File", (dir / "feed.ics").string());
    feed.update();
    WriteSetting(program->settings, "Calendar", "Calendar File", (dir / "gone" / "feed.ics").string());
    feed.update();
    EXPECT_EQ(dialogs.messages().size(), 3);
}

TEST_F(CalendarFeedTest, CalendarFileIsSetOnTheFilePage)
{
    OpenOptions();
    options->filePage()->calendarFileEdit()->setText(QString::fromStdString((dir / "k.ics").string()));
    options->button(OptionsDialog::Button::Apply)->click();
    EXPECT_EQ(Setting("Calendar", "Calendar File"), (dir / "k.ics").string());
}

TEST_F(CalendarFeedTest, ExportToAChosenFileWritesItRefusesTheMilestonesAndCancelDoesNothing)
{
    const std::filesystem::path milestones = dir / "mileston.txt";
    WriteSettings("[File Options]\nProject File=" + milestones.string() + "\n");
    WriteFile(milestones, "\" 36530\",\"Review; \"\"final\"\"\"\r\n");
    StartToolbar();

    dialogs.answerSave(QString::fromStdString((dir / "out.ics").string()));
    ExportCalendarToChosenFile(*program);
    EXPECT_NE(ReadFile(dir / "out.ics").find("SUMMARY:Review\\; \"final\"\r\n"), std::string::npos);

    dialogs.answerSave(QString::fromStdString(milestones.string()));
    ExportCalendarToChosenFile(*program);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(ReadFile(milestones), "\" 36530\",\"Review; \"\"final\"\"\"\r\n");

    // Nor the settings file through a link.
    std::filesystem::create_symlink(settingsPath(), dir / "settings.ics");
    const std::string settings = ReadSettings();
    dialogs.answerSave(QString::fromStdString((dir / "settings.ics").string()));
    ExportCalendarToChosenFile(*program);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[1].contains("that is the settings file")) << dialogs.messages()[1].toStdString();
    EXPECT_EQ(ReadSettings(), settings);

    dialogs.answerSave(std::nullopt);
    ExportCalendarToChosenFile(*program);
    EXPECT_EQ(dialogs.messages().size(), 2);
}

TEST_F(CalendarFeedTest, TheLastDayADateCanHoldIsWrittenLikeAnyOther)
{
    const std::filesystem::path ics = dir / "feed.ics";
    const std::filesystem::path milestones = dir / "mileston.txt";
    WriteSettings("[File Options]\nProject File=" + milestones.string() +
                  "\n[Calendar]\nCalendar File=" + ics.string() + "\n");
    WriteFile(milestones, "\" 2958465\",\"Last day\"\r\n");
    StartToolbar();
    CalendarFeed feed(*program);
    feed.update();
    EXPECT_TRUE(dialogs.messages().empty()) << dialogs.messages().join('\n').toStdString();
    const std::string written = ReadFile(ics);
    EXPECT_NE(written.find("DTSTART;VALUE=DATE:99991231\r\nDURATION:P1D\r\nSUMMARY:Last day\r\n"), std::string::npos)
        << written;
}

} // namespace
} // namespace kestrel::test
