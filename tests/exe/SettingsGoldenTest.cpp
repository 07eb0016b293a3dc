// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A scripted session of every writer of the settings file: options Apply (with a personal preset),
// the Format menu's colours, fonts and visibility items, the report window's project title, the
// notices' memory and the close. After each step the settings file must be byte for byte the file
// recorded in tests/exe/data/golden, so a change to how the keys are declared or written cannot
// change what users have on disk. KESTREL_RECORD_GOLDEN=1 writes the files instead of comparing.
#include "BreakdownWindow.h"
#include "Notices.h"
#include "OptionsDialog.h"
#include "ProgramFixture.h"
#include "ReportWindow.h"
#include "Units.h"

#include <QAction>

#include <cstdlib>
#include <fstream>

namespace kestrel::test {
namespace {

class SettingsGoldenTest : public ProgramFixture
{
protected:
    // Compares the settings file with the golden file `name`, or records it.
    void ExpectGolden(const std::string& name)
    {
        const std::filesystem::path golden = std::filesystem::path(KESTREL_GOLDEN_DIR) / (name + ".INI");
        // The temporary folder's name differs from run to run.
        std::string actual = ReadSettings();
        const std::string folder = dir.path().string();
        for (std::size_t at = actual.find(folder); at != std::string::npos; at = actual.find(folder, at)) {
            actual.replace(at, folder.size(), "<dir>");
        }
        if (const char* record = std::getenv("KESTREL_RECORD_GOLDEN"); record != nullptr && *record == '1') {
            std::ofstream(golden, std::ios::binary) << actual;
            return;
        }
        EXPECT_EQ(actual, ReadFile(golden)) << "after " << name;
    }

    void Session(const std::string& prefix)
    {
        StartToolbar();
        MoveWindowTwips(*toolbar, 300, 600);

        // Options Apply with texts that need quoting, a changed notifications switch and feed.
        OptionsValues v = OptionsFromSettings(*program);
        v.targetDateText = "Mar 15, 2027";
        v.settings.CaptionOption = "dd:hh:mm";
        v.settings.TargetType = "WorkDays";
        v.settings.FileBeforeText = " T minus ";
        v.settings.FileAfterText = "\"quoted\"";
        v.settings.ProjectTitle = "Payroll Migration";
        v.settings.unitTexts.units[0].after = " Jahre ";
        v.settings.unitTexts.units[1].after = "Werktage";
        v.companyLogo = "Acme Ltd";
        v.notifications = false;
        v.calendarFile = QString::fromStdString((dir / "feed.ics").string());
        ApplyOptions(*program, v);
        ExpectGolden(prefix + "1-apply");

        // A personal preset remembers its day beside the target.
        v = OptionsFromSettings(*program);
        v.presetText = "Anniversary";
        v.notifications = true;
        v.targetDateText = "Jun 5, 2027";
        ApplyOptions(*program, v);
        ExpectGolden(prefix + "2-preset");

        // The Format menu: a colour, a cancelled colour, a font and a visibility item.
        toolbar->pressButton(Button::CountDown);
        auto* breakdown = qobject_cast<BreakdownWindow*>(program->windows.find("frmCountDown"));
        ASSERT_NE(breakdown, nullptr);
        MoveWindowTwips(*breakdown, 1500, 750);
        const auto item = [breakdown](const char* name) { return breakdown->findChild<QAction*>(name); };
        dialogs.answerColor(QColor(255, 128, 0));
        item("mnuIBackground")->trigger();
        dialogs.answerColor(std::nullopt);
        item("mnuCForeGround")->trigger();
        dialogs.answerFont(FontChoice{"DejaVu Serif", 14.25, true, false});
        item("mnuPFonts")->trigger();
        item("mnuCVisible")->trigger();
        item("mnuPVisible")->trigger();
        item("mnuPVisible")->trigger();
        ExpectGolden(prefix + "3-styling");

        // The report window's project title.
        {
            ReportWindow report(*program);
            dialogs.answerInputBox(QStringLiteral("Ledger Rewrite"));
            report.projectTitleItem()->trigger();
        }
        ExpectGolden(prefix + "4-report-title");

        // The notices' memory, as the notifications write it once a notice is given.
        clock.set(PackDateTime(2027, 6, 5, 0, 0, 5));
        for (const Notice& notice : DueNotices(program->ProgramSettings, program->milestones.table(), clock.now(),
                                               ReadNoticeMemory(program->settings))) {
            program->write(notice.remember);
        }
        ExpectGolden(prefix + "5-notices");

        toolbar->pressButton(Button::Close);
        ExpectGolden(prefix + "6-close");
    }
};

TEST_F(SettingsGoldenTest, SessionFromNoSettingsFileWritesTheRecordedBytes)
{
    Session("fresh-");
}

TEST_F(SettingsGoldenTest, SessionOverAHandWrittenFileKeepsItsOtherBytes)
{
    WriteSettings("; kept as it is\r\n[target date]\r\nTarget_Year = 1999\r\ntarget_month=12\r\n"
                  "[File Options]\r\nYY After Text=\" Yrs \"\r\nUnknown Key=kept\r\n\r\n[Forms Open]\r\nFormCount=0\r\n"
                  "[Other]\r\nx=1\r\n");
    Session("edited-");
}

} // namespace
} // namespace kestrel::test
