// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportWindow.h"

#include "MonthView.h"
#include "ProgramFixture.h"
#include "ReportPreview.h"
#include "ReportRows.h"

#include <QAction>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>

namespace kestrel::test {
namespace {

// The page line above the preview, "Page 2 of 5".
QString PageLine(const ReportWindow& report)
{
    const auto* line = report.findChild<QLabel*>(QStringLiteral("lblpages"));
    return line == nullptr ? QString() : line->text();
}

class ReportWindowTest : public ProgramFixture
{
protected:
    // The toolbar, then the report window as the toolbar's button builds it (without waiting on
    // its modal loop).
    ReportWindow& Open()
    {
        if (!toolbar) {
            StartToolbar();
        }
        window = std::make_unique<ReportWindow>(*program);
        return *window;
    }

    void WriteMilestones(const std::string& bytes)
    {
        std::filesystem::create_directories(dir / "data");
        std::ofstream(dir / "data" / "mileston.txt", std::ios::binary) << bytes;
    }

    QString Path(const char* name) const { return QString::fromStdString((dir / name).string()); }

    std::unique_ptr<ReportWindow> window;

    void TearDown() override
    {
        window.reset();
        ProgramFixture::TearDown();
    }
};

TEST_F(ReportWindowTest, OpensOnThePresentMonthWithTheMilestoneFile)
{
    WriteMilestones("\" 36525\",\"Last backup of the old system\"\r\n\" 36526\",\"Go live\"\r\n");
    ReportWindow& report = Open();
    EXPECT_TRUE(program->windows.contains("frmreport"));
    EXPECT_EQ(report.fromDateBox()->text(), QStringLiteral("Dec 30, 1999"));
    EXPECT_EQ(PageLine(report), QStringLiteral("Page 1 of 2"));
    EXPECT_EQ(report.preview()->toolTip(), QStringLiteral("Double Left or Right Clicks to Zoom. "));
    EXPECT_EQ(RowsOf(report.document(), 1).back(),
              QStringLiteral("-1|Dec 31, 1999|Friday|Last backup of the old system"));
    EXPECT_EQ(RowsOf(report.document(), 2).back(), QStringLiteral("0|Jan 01, 2000|Saturday|Go live"));
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_FALSE(report.monthView()->isVisible());

    report.done(QDialog::Rejected);
    EXPECT_FALSE(program->windows.contains("frmreport"));
}

TEST_F(ReportWindowTest, TheToolbarShowsItModallyWithTheCountdownStopped)
{
    StartToolbar();
    ASSERT_TRUE(toolbar->timerEnabled());
    QString label;
    bool timerWhileOpen = true;
    bool flagWhileOpen = false;
    // An earlier test of the same run that ended the program (QCoreApplication::exit) leaves
    // every later modal loop returning at once; the toolbar's modal path cannot be seen then.
    QEventLoop probe;
    QTimer::singleShot(0, &probe, [&probe] { probe.exit(1); });
    if (probe.exec() != 1) {
        GTEST_SKIP() << "modal loops return at once after an earlier test ended the application; run alone";
    }
    // Runs inside the window's modal loop; dropped with the toolbar should it never run.
    QTimer::singleShot(0, toolbar.get(), [&] {
        auto* report = qobject_cast<ReportWindow*>(program->windows.find("frmreport"));
        ASSERT_NE(report, nullptr);
        label = PageLine(*report);
        timerWhileOpen = toolbar->timerEnabled();
        flagWhileOpen = toolbar->openFlag(Button::Report);
        report->exitItem()->trigger();
    });
    toolbar->pressButton(Button::Report);
    EXPECT_EQ(label, QStringLiteral("Page 1 of 2"));
    EXPECT_FALSE(timerWhileOpen);
    EXPECT_TRUE(flagWhileOpen);
    EXPECT_TRUE(toolbar->timerEnabled());
    EXPECT_FALSE(toolbar->openFlag(Button::Report));
    EXPECT_NE(Setting("Forms Position", "ReportTop"), "<missing>") << "\"&Exit\" stores the place";
    EXPECT_NE(Setting("Forms Position", "ReportLeft"), "<missing>");
}

TEST_F(ReportWindowTest, AFromDateStartsTheReportOnTheFirstOfItsMonth)
{
    ReportWindow& report = Open();
    report.calendarButton()->click();
    EXPECT_TRUE(report.monthView()->isVisible());
    EXPECT_EQ(report.monthView()->value(), PackDate(1999, 12, 30)) << "the calendar opens on the present date";
    emit report.monthView()->dateClicked(PackDate(1999, 3, 20));
    EXPECT_FALSE(report.monthView()->isVisible());
    EXPECT_EQ(report.fromDateBox()->text(), QStringLiteral("Mar 20, 1999"));
    EXPECT_EQ(PageLine(report), QStringLiteral("Page 1 of 11"));
    EXPECT_EQ(RowsOf(report.document(), 1).at(3), QStringLiteral("-306|Mar 01, 1999|Monday|"));

    // Typing into the box changes nothing; a click opens the calendar.
    QTest::keyClicks(report.fromDateBox(), "2024");
    EXPECT_EQ(report.fromDateBox()->text(), QStringLiteral("Mar 20, 1999"));
    report.monthView()->hide();
    QTest::mouseClick(report.fromDateBox(), Qt::LeftButton);
    EXPECT_TRUE(report.monthView()->isVisible());
}

TEST_F(ReportWindowTest, PagingStopsAtTheFirstAndLastPages)
{
    ReportWindow& report = Open();
    report.chooseFromDate(PackDate(1999, 9, 15)); // September to January: five pages
    using Turn = ReportWindow::PageTurn;
    // clang-format off
    const struct
    {
        Turn turn;
        const char* label;
        int page;
    } steps[] = {
        {Turn::Previous, "Page 1 of 5", 1}, // previous on page 1
        {Turn::Next, "Page 2 of 5", 2},
        {Turn::Next, "Page 3 of 5", 3},
        {Turn::Last, "Page 5 of 5", 5},
        {Turn::Next, "Page 5 of 5", 5}, // next on the last page
        {Turn::Previous, "Page 4 of 5", 4},
        {Turn::First, "Page 1 of 5", 1},
    };
    // clang-format on
    for (const auto& step : steps) {
        report.turnPage(step.turn);
        EXPECT_EQ(PageLine(report), QString::fromLatin1(step.label)) << "after " << static_cast<int>(step.turn);
        EXPECT_EQ(report.preview()->page(), step.page);
    }
    // The buttons do the same.
    QTest::mouseClick(report.pagingControl(ReportWindow::PageTurn::Next), Qt::LeftButton);
    EXPECT_EQ(PageLine(report), QStringLiteral("Page 2 of 5"));
    QTest::mouseClick(report.pagingControl(ReportWindow::PageTurn::Last), Qt::LeftButton);
    EXPECT_EQ(PageLine(report), QStringLiteral("Page 5 of 5"));
    EXPECT_FALSE(report.pagingControl(ReportWindow::PageTurn::Next)->isEnabled());
    EXPECT_EQ(RowsOf(report.document(), report.preview()->page()).back(), QStringLiteral("0|Jan 01, 2000|Saturday|"));
}

TEST_F(ReportWindowTest, PrintingAPageRangeSendsExactlyThosePages)
{
    ReportWindow& report = Open();
    report.chooseFromDate(PackDate(1999, 9, 1));
    ASSERT_EQ(report.preview()->pageCount(), 5);

    dialogs.answerPrinter(std::nullopt); // cancelled
    report.printItem()->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, QStringLiteral("Printer"));
    EXPECT_EQ(dialogs.shown()[0].detail, QStringLiteral("1-5 (1-5)"));
    EXPECT_EQ(PageLine(report), QStringLiteral("Page 1 of 5")) << "the preview stays as it was";

    const QString path = Path("pages-2-3.pdf");
    dialogs.answerPrinterToFile(PrintRange{2, 3}, path);
    report.printItem()->trigger();
    EXPECT_EQ(dialogs.messages(), QStringList());
    EXPECT_EQ(PdfPages(path), 2);
    const QStringList pages = PdfText(path).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 2);
    const struct
    {
        const char* month;
        const char* firstRow;
        const char* lastRow;
    } expected[] = {
        {"October 1999", "-92 Oct 01, 1999 Friday", "-62 Oct 31, 1999 Sunday"},
        {"November 1999", "-61 Nov 01, 1999 Monday", "-32 Nov 30, 1999 Tuesday"},
    };
    for (int i = 0; i < 2; ++i) {
        const QString page = pages[i].simplified();
        EXPECT_TRUE(page.contains(QStringLiteral("Countdown to January 1,2000"))) << page.toStdString();
        EXPECT_TRUE(page.contains(QStringLiteral("Days Date %1 Notes/Milestones").arg(expected[i].month)))
            << page.toStdString();
        EXPECT_TRUE(page.contains(QString::fromLatin1(expected[i].firstRow))) << page.toStdString();
        EXPECT_TRUE(page.contains(QString::fromLatin1(expected[i].lastRow))) << page.toStdString();
        EXPECT_FALSE(page.contains(QStringLiteral("Sep "))) << page.toStdString();
        EXPECT_FALSE(page.contains(QStringLiteral("Dec "))) << page.toStdString();
    }
    EXPECT_TRUE(dialogs.allAnswered());
}

TEST_F(ReportWindowTest, SavingAsPdfWritesEveryPageOrSaysWhyNot)
{
    ReportWindow& report = Open();
    const QString path = Path("report"); // ".pdf" is added
    dialogs.answerSave(path);
    report.pdfItem()->trigger();
    EXPECT_EQ(dialogs.shown()[0].title, QStringLiteral("PDF files (*.pdf)|*.pdf"));
    EXPECT_EQ(PdfPages(path + ".pdf"), 2);
    const QString text = PdfText(path + ".pdf");
    EXPECT_TRUE(text.contains(QStringLiteral("Year 2000 Conversion Project")));
    EXPECT_TRUE(text.simplified().contains(QStringLiteral("0 Jan 01, 2000 Saturday")));

    dialogs.clear();
    dialogs.answerSave(Path("report.pdf/inside.pdf")); // its folder is a file
    report.pdfItem()->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(QStringLiteral("inside.pdf"))) << dialogs.messages()[0].toStdString();

    dialogs.clear();
    report.pdfItem()->trigger(); // cancelled
    EXPECT_EQ(dialogs.messages(), QStringList());
}

// The caption, the printer's job (the PDF's title when printed to a file), the saved PDF's title
// and the file name offered all name the report "Kestrel Report".
TEST_F(ReportWindowTest, TheReportIsNamedKestrelReportWhereverItGoes)
{
    ReportWindow& report = Open();
    EXPECT_EQ(report.windowTitle(), QStringLiteral("Kestrel Report"));

    dialogs.answerPrinterToFile(PrintRange{1, 1}, Path("printed.pdf"));
    report.printItem()->trigger();
    EXPECT_EQ(PdfTitle(Path("printed.pdf")), QStringLiteral("Kestrel Report"));

    dialogs.clear();
    dialogs.answerSave(Path("saved.pdf"));
    report.pdfItem()->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(dialogs.shown()[0].text.endsWith(QStringLiteral("/Kestrel Report.pdf")))
        << dialogs.shown()[0].text.toStdString();
    EXPECT_EQ(PdfTitle(Path("saved.pdf")), QStringLiteral("Kestrel Report"));
}

// The save dialog adds ".pdf", so Kestrel's own files are reached through links of that name, as a
// careless choice in the dialog gives them.
TEST_F(ReportWindowTest, SavingAsPdfNeverReplacesOneOfKestrelsOwnFiles)
{
    WriteMilestones("\" 36525\",\"Last backup\"\r\n");
    WriteSettings("[Target Date]\nTarget_Year=2000\n[Calendar]\nCalendar File=" + (dir / "feed.ics").string() + "\n");
    test::WriteFile(dir / "feed.ics", "BEGIN:VCALENDAR\r\n");
    ReportWindow& report = Open();
    const struct
    {
        std::filesystem::path target;
        const char* name;
    } cases[] = {
        // clang-format off
        {settingsPath(),                    "it is the settings file"},
        {dir / "data" / "mileston.txt",     "it is the milestone file"},
        {dir / "feed.ics",                  "it is the calendar feed"},
        // clang-format on
    };
    for (const auto& c : cases) {
        const std::string before = ReadFile(c.target);
        std::filesystem::remove(dir / "link.pdf");
        std::filesystem::create_symlink(c.target, dir / "link.pdf");
        dialogs.clear();
        dialogs.answerSave(Path("link.pdf"));
        report.pdfItem()->trigger();
        ASSERT_EQ(dialogs.messages().size(), 1) << c.target;
        EXPECT_TRUE(dialogs.messages()[0].contains(QLatin1String(c.name))) << dialogs.messages()[0].toStdString();
        EXPECT_EQ(ReadFile(c.target), before) << c.target;

        // Nor does printing to that file.
        dialogs.clear();
        dialogs.answerPrinterToFile(PrintRange{1, 1}, Path("link.pdf"));
        report.printItem()->trigger();
        ASSERT_EQ(dialogs.messages().size(), 1) << c.target;
        EXPECT_TRUE(dialogs.messages()[0].contains(QLatin1String(c.name))) << dialogs.messages()[0].toStdString();
        EXPECT_EQ(ReadFile(c.target), before) << c.target;
    }
}

TEST_F(ReportWindowTest, AReportWithoutPagesHasNothingToPrint)
{
    ReportWindow& report = Open();
    report.chooseFromDate(PackDate(2000, 2, 1));
    EXPECT_EQ(PageLine(report), QStringLiteral("Page 1 of 0"));
    report.turnPage(ReportWindow::PageTurn::Last);
    EXPECT_EQ(PageLine(report), QStringLiteral("Page 1 of 0"));
    report.printItem()->trigger();
    report.pdfItem()->trigger();
    ASSERT_EQ(dialogs.shown().size(), 2u) << "messages only, no printer or file dialog";
    EXPECT_EQ(dialogs.shown()[0].kind, QStringLiteral("MsgBox"));
    EXPECT_EQ(dialogs.shown()[1].kind, QStringLiteral("MsgBox"));

    // A start too far back for a 16-bit count.
    dialogs.clear();
    report.chooseFromDate(PackDate(1900, 1, 1));
    EXPECT_EQ(dialogs.messages(), QStringList{"6 Overflow"});
    EXPECT_EQ(PageLine(report), QStringLiteral("Page 1 of 0"));
}

TEST_F(ReportWindowTest, ProjectTitleIsAskedForAndStored)
{
    ReportWindow& report = Open();
    dialogs.answerInputBox(QString());
    report.projectTitleItem()->trigger();
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("Enter Project Title"));
    EXPECT_EQ(dialogs.shown()[0].title, QStringLiteral("Update Project Title"));
    EXPECT_EQ(dialogs.shown()[0].detail, QStringLiteral("Year 2000 Conversion Project"));
    EXPECT_EQ(dialogs.messages(), QStringList{"TO remove project title use the Options Form"});
    EXPECT_EQ(program->ProgramSettings.ProjectTitle, "Year 2000 Conversion Project");
    EXPECT_EQ(Setting("File Options", "Project Title"), "<missing>");

    dialogs.answerInputBox(QStringLiteral("Payroll Migration"));
    report.projectTitleItem()->trigger();
    EXPECT_EQ(program->ProgramSettings.ProjectTitle, "Payroll Migration");
    EXPECT_EQ(Setting("File Options", "Project Title"), "Payroll Migration");
    EXPECT_EQ(RowsOf(report.document(), 1).front(), QStringLiteral("Payroll Migration"));
}

TEST_F(ReportWindowTest, ZoomAndResizeOnlyRepaint)
{
    ReportWindow& report = Open();
    report.show();
    const ReportDocument* composed = &report.document();
    const double start = report.preview()->zoom();
    QTest::mouseDClick(report.preview(), Qt::LeftButton);
    EXPECT_GT(report.preview()->zoom(), start);
    QTest::mouseDClick(report.preview(), Qt::RightButton);
    QTest::mouseDClick(report.preview(), Qt::RightButton);
    EXPECT_LT(report.preview()->zoom(), start);
    report.resize(report.width() / 2, report.height() / 2);
    report.resize(report.width() * 3, report.height() * 2);
    QApplication::processEvents();
    EXPECT_EQ(&report.document(), composed) << "a resize does not compose again";

    // Closing without "&Exit" stores no place.
    report.close();
    EXPECT_EQ(Setting("Forms Position", "ReportTop"), "<missing>");
}

} // namespace
} // namespace kestrel::test
