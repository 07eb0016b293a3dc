// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Notifications.h"
#include "OptionsDialog.h"
#include "OptionsPages.h"
#include "ProgramFixture.h"
#include "WriteSetting.h"

#include <QCheckBox>
#include <QPushButton>

namespace kestrel::test {
namespace {

class NotificationsTest : public ProgramFixture
{
protected:
    void TearDown() override
    {
        options.reset();
        ProgramFixture::TearDown();
    }

    QCheckBox& OpenSwitch()
    {
        options.reset();
        if (!toolbar) {
            StartToolbar();
        }
        options = std::make_unique<OptionsDialog>(*program);
        return *options->projectPage()->notificationsBox();
    }

    std::unique_ptr<OptionsDialog> options;
};

TEST_F(NotificationsTest, SwitchInTheOptionsIsStoredInItsOwnSectionOnlyWhenChanged)
{
    QCheckBox& box = OpenSwitch();
    EXPECT_EQ(box.objectName(), QStringLiteral("chkNotifications"));
    EXPECT_TRUE(box.isChecked());
    options->button(OptionsDialog::Button::Apply)->click();
    EXPECT_EQ(ReadSettings().find("[Notifications]"), std::string::npos);

    box.setChecked(false);
    options->button(OptionsDialog::Button::Apply)->click();
    EXPECT_EQ(Setting("Notifications", "Enabled"), "False");
    EXPECT_FALSE(OpenSwitch().isChecked());

    QCheckBox& again = OpenSwitch();
    again.setChecked(true);
    options->button(OptionsDialog::Button::Apply)->click();
    EXPECT_EQ(Setting("Notifications", "Enabled"), "True");
}

TEST_F(NotificationsTest, DueOnTheTickOnceAndNotWhenSwitchedOff)
{
    WriteSettings("[Target Date]\nTarget_Year=1999\nTarget_Month=12\nTarget_Day=30\n");
    StartToolbar();
    Notifications notifications(*program);
    // The fixed clock stands on the target day: the zero notice is due until it is given.
    const std::vector<Notice> due = notifications.dueNow();
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].remember.key, "Zero Given");
    EXPECT_EQ(due[0].remember.value, "1999-12-30");

    WriteSetting(program->settings, "Notifications", "Zero Given", "1999-12-30");
    EXPECT_TRUE(notifications.dueNow().empty());

    WriteSetting(program->settings, "Notifications", "Zero Given", "");
    WriteSetting(program->settings, "Notifications", "Enabled", "False");
    EXPECT_TRUE(notifications.dueNow().empty());
}

TEST_F(NotificationsTest, ReadsTheMilestoneFileAgainWhenItChanges)
{
    WriteSettings("[Target Date]\nTarget_Year=2030\n");
    StartToolbar();
    Notifications notifications(*program);
    clock.set(PackDateTime(2000, 1, 5, 9, 0, 0));
    EXPECT_TRUE(notifications.dueNow().empty());

    std::filesystem::create_directories(std::filesystem::path(program->ProgramSettings.ProjectFile).parent_path());
    WriteFile(program->ProgramSettings.ProjectFile, "\" 36530\",\"Review\"\r\n");
    const std::vector<Notice> due = notifications.dueNow();
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].body, "Review");
}

} // namespace
} // namespace kestrel::test
