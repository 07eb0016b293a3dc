#include "ElasticPanel.h"
#include "ProgramFixture.h"
#include "TagButton.h"
#include "Units.h"
#include "frmCountDown.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>

namespace kestrel::test {
namespace {

class CountDownWindowTest : public ProgramFixture
{
protected:
    // Opens the breakdown window with the toolbar's "Count Down" button.
    frmCountDown& OpenBreakdown()
    {
        if (!toolbar) {
            StartToolbar();
        }
        toolbar->Command1_Click(frmToolBar::CountDownButton);
        auto* window = qobject_cast<frmCountDown*>(program->windows.find("frmCountDown"));
        if (window == nullptr) {
            throw std::runtime_error("the breakdown window did not open");
        }
        return *window;
    }

    QAction* Item(frmCountDown& window, const char* name) { return window.findChild<QAction*>(name); }

    // The five columns as "caption=number", "-" for a hidden column.
    static QStringList Columns(const frmCountDown& window)
    {
        QStringList columns;
        for (int k = 1; k <= 5; ++k) {
            const QLabel* number = window.lblIntervalsLeft(k);
            const QLabel* caption = window.lblCountType(k);
            if (number->isHidden()) {
                columns << "-";
            } else {
                columns << (caption->isHidden() ? QString() : caption->text()) + "=" + number->text();
            }
        }
        return columns;
    }
};

TEST_F(CountDownWindowTest, OpensBelowTheToolbarWithTheBreakdown)
{
    frmToolBar& bar = StartToolbar();
    MoveWindowTwips(bar, 150, 300);
    frmCountDown& window = OpenBreakdown();
    EXPECT_EQ(window.windowTitle(), "Countdown Breakdown");
    EXPECT_EQ(bar.Command1(0)->tag(), "True");
    EXPECT_EQ(Columns(window), (QStringList{" Years=0", "Days=1", " Hours=8", " Minutes=39", " Seconds=15"}));
    EXPECT_EQ(window.VSEProject()->caption(), "Year 2000 Conversion Project");
    EXPECT_DOUBLE_EQ(WindowTopTwips(window), 150 + WindowHeightTwips(bar));
    EXPECT_DOUBLE_EQ(WindowLeftTwips(window), 300);
    EXPECT_EQ(program->DeskCalYear, "1999");
    EXPECT_EQ(program->DeskCalMonth, "12");
    EXPECT_EQ(program->DeskCalDay, "30");
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(CountDownWindowTest, ToolbarTickRefreshesItWhileOpen)
{
    frmCountDown& window = OpenBreakdown();
    clock.set(PackDateTime(1999, 12, 30, 15, 21, 0));
    toolbar->Timer1_Timer();
    EXPECT_EQ(Columns(window), (QStringList{" Years=0", "Days=1", " Hours=8", " Minutes=38", " Seconds=60"}));
}

TEST_F(CountDownWindowTest, CountDownButtonTogglesAndTheWindowsOwnExitRearmsIt)
{
    frmCountDown& window = OpenBreakdown();
    QPointer<frmCountDown> first(&window);
    toolbar->Command1_Click(frmToolBar::CountDownButton);
    QApplication::processEvents();
    EXPECT_TRUE(first.isNull()) << "the second press closes the window";
    EXPECT_EQ(toolbar->Command1(0)->tag(), "False");

    frmCountDown& again = OpenBreakdown();
    again.mnuClose_Click();
    QApplication::processEvents();
    EXPECT_EQ(toolbar->Command1(0)->tag(), "False");
    OpenBreakdown();
    EXPECT_EQ(toolbar->Command1(0)->tag(), "True");
}

TEST_F(CountDownWindowTest, ColumnsFollowTheFormat)
{
    WriteSettings("[Target Date]\nCaption_option=hh:mm:ss\n");
    frmCountDown& window = OpenBreakdown();
    EXPECT_EQ(Columns(window), (QStringList{" Hours=32", " Minutes=39", " Seconds=15", "-", "-"}));
}

TEST_F(CountDownWindowTest, ExitWhileMaximisedStoresStateTwoAndKeepsThePlace)
{
    WriteSettings("[Forms Position]\nCountDownTop=900\nCountDownLeft=450\n");
    frmCountDown& window = OpenBreakdown();
    window.showMaximized();
    window.mnuClose_Click();
    EXPECT_EQ(Setting("Forms Position", "CountDownWindowState"), "2");
    EXPECT_EQ(Setting("Forms Position", "CountDownTop"), "900");
    EXPECT_EQ(Setting("Forms Position", "CountDownLeft"), "450");
}

TEST_F(CountDownWindowTest, ExitInTheNormalStateStoresThePlace)
{
    frmCountDown& window = OpenBreakdown();
    MoveWindowTwips(window, 1200, 2400);
    window.mnuClose_Click();
    EXPECT_EQ(Setting("Forms Position", "CountDownWindowState"), "0");
    EXPECT_EQ(Setting("Forms Position", "CountDownTop"), "1200");
    EXPECT_EQ(Setting("Forms Position", "CountDownLeft"), "2400");
}

TEST_F(CountDownWindowTest, ClosingByTheCloseBoxStoresNothing)
{
    frmCountDown& window = OpenBreakdown();
    const std::string before = ReadSettings();
    MoveWindowTwips(window, 1200, 2400);
    window.close();
    EXPECT_EQ(ReadSettings(), before);
    EXPECT_EQ(toolbar->Command1(0)->tag(), "False");
}

TEST_F(CountDownWindowTest, ReopenedWindowReturnsToTheSavedPlace)
{
    WriteSettings("[Forms Position]\nCountDownTop=600\nCountDownLeft=750\n");
    frmCountDown& window = OpenBreakdown();
    MoveWindowTwips(window, 1500, 1500);
    window.close();
    frmCountDown& again = OpenBreakdown();
    EXPECT_DOUBLE_EQ(WindowTopTwips(again), 600);
    EXPECT_DOUBLE_EQ(WindowLeftTwips(again), 750);
}

struct ColorItem
{
    const char* item;
    const char* key;
    frmCountDown::Group group;
    bool background;
};

class ColorItems : public CountDownWindowTest, public ::testing::WithParamInterface<ColorItem>
{};

TEST_P(ColorItems, WriteTheirKeyAndRestyleTheGroup)
{
    const ColorItem& c = GetParam();
    frmCountDown& window = OpenBreakdown();
    dialogs.answerColor(QColor(255, 0, 0));
    Item(window, c.item)->trigger();
    EXPECT_EQ(Setting("CountDown", c.key), "255");
    const QPalette::ColorRole role = c.background ? QPalette::Window : QPalette::WindowText;
    std::vector<QWidget*> restyled;
    if (c.group == frmCountDown::Group::Project) {
        restyled.push_back(window.VSEProject());
    }
    for (int k = 1; k <= 5; ++k) {
        restyled.push_back(c.group == frmCountDown::Group::Caption    ? static_cast<QWidget*>(window.lblCountType(k))
                           : c.group == frmCountDown::Group::Interval ? window.lblIntervalsLeft(k)
                                                                      : nullptr);
    }
    for (QWidget* widget : restyled) {
        if (widget != nullptr) {
            EXPECT_EQ(widget->palette().color(role), QColor(255, 0, 0)) << widget->objectName().toStdString();
        }
    }
}

TEST_P(ColorItems, CancelledDialogStillWritesTheColourThatWasShowing)
{
    const ColorItem& c = GetParam();
    frmCountDown& window = OpenBreakdown();
    const BreakdownStyle before = window.style();
    dialogs.answerColor(std::nullopt);
    Item(window, c.item)->trigger();
    const GroupStyle& group = c.group == frmCountDown::Group::Caption    ? before.caption
                              : c.group == frmCountDown::Group::Interval ? before.interval
                                                                         : before.project;
    EXPECT_EQ(Setting("CountDown", c.key), std::to_string(c.background ? group.backColor : group.foreColor));
    EXPECT_EQ(window.style(), before);
}

INSTANTIATE_TEST_SUITE_P(
    FormatMenu, ColorItems,
    ::testing::Values(ColorItem{"mnuCBackGound", "Caption BackColor", frmCountDown::Group::Caption, true},
                      ColorItem{"mnuCForeGround", "Caption ForeColor", frmCountDown::Group::Caption, false},
                      ColorItem{"mnuIBackground", "Interval BackColor", frmCountDown::Group::Interval, true},
                      ColorItem{"mnuIForegound", "Interval ForeColor", frmCountDown::Group::Interval, false},
                      ColorItem{"mnuPBackground", "Project BackColor", frmCountDown::Group::Project, true},
                      ColorItem{"mnuPForeground", "Project ForeColor", frmCountDown::Group::Project, false}));

TEST_F(CountDownWindowTest, CancelledCaptionColourKeepsTheSystemColour)
{
    frmCountDown& window = OpenBreakdown();
    dialogs.answerColor(std::nullopt);
    Item(window, "mnuCForeGround")->trigger();
    EXPECT_EQ(Setting("CountDown", "Caption ForeColor"), "-2147483640");
    EXPECT_EQ(window.lblCountType(3)->palette().color(QPalette::WindowText),
              QApplication::palette().color(QPalette::WindowText));
}

TEST_F(CountDownWindowTest, FontItemsWriteFourKeysAndRestyleAllFiveLabels)
{
    frmCountDown& window = OpenBreakdown();
    dialogs.answerFont(FontChoice{"DejaVu Serif", 14.25, false, true});
    Item(window, "mnuIFonts")->trigger();
    const std::string settings = ReadSettings();
    EXPECT_NE(settings.find("Interval FontName=DejaVu Serif\nInterval FontItalic=True\nInterval FontBold=False\n"
                            "Interval FontSize=14.25\n"),
              std::string::npos)
        << settings;
    for (int k = 1; k <= 5; ++k) {
        const QFont font = ElasticPanel::designFont(window.lblIntervalsLeft(k));
        EXPECT_EQ(font.family(), "DejaVu Serif");
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 14.25);
        EXPECT_TRUE(font.italic());
        EXPECT_FALSE(font.bold());
    }
}

TEST_F(CountDownWindowTest, CancelledFontDialogWritesTheFontThatWasShowing)
{
    frmCountDown& window = OpenBreakdown();
    dialogs.answerFont(std::nullopt);
    Item(window, "mnuPFonts")->trigger();
    EXPECT_EQ(Setting("CountDown", "Project FontName"), "Tahoma");
    EXPECT_EQ(Setting("CountDown", "Project FontItalic"), "False");
    EXPECT_EQ(Setting("CountDown", "Project FontBold"), "False");
    EXPECT_EQ(Setting("CountDown", "Project FontSize"), "12");
}

TEST_F(CountDownWindowTest, CaptionVisibleOffHidesTheCaptionRow)
{
    frmCountDown& window = OpenBreakdown();
    QAction* visible = Item(window, "mnuCVisible");
    ASSERT_TRUE(visible->isChecked());
    visible->trigger();
    EXPECT_EQ(Setting("CountDown", "Caption Visible"), "False");
    EXPECT_FALSE(visible->isChecked());
    EXPECT_TRUE(window.vsElastic1()->isHidden());
    EXPECT_EQ(Columns(window), (QStringList{"=0", "=1", "=8", "=39", "=15"}));
    EXPECT_FALSE(window.VSEProject()->isHidden());
    toolbar->Timer1_Timer();
    EXPECT_TRUE(window.lblCountType(1)->isHidden()) << "the tick keeps the captions hidden";
}

TEST_F(CountDownWindowTest, StoredCaptionVisibleFalseAppliesAtLoad)
{
    WriteSettings("[CountDown]\nCaption Visible=false\nProject Visible=0\n");
    frmCountDown& window = OpenBreakdown();
    EXPECT_FALSE(Item(window, "mnuCVisible")->isChecked());
    EXPECT_FALSE(Item(window, "mnuPVisible")->isChecked());
    EXPECT_TRUE(window.vsElastic1()->isHidden());
    EXPECT_TRUE(window.VSEProject()->isHidden());
}

TEST_F(CountDownWindowTest, DamagedValueIsReportedDuringLoadAndTheWindowWorks)
{
    WriteSettings("[CountDown]\nCaption BackColor=255\nInterval ForeColor=bright\nInterval FontSize=30\n");
    frmCountDown& window = OpenBreakdown();
    EXPECT_EQ(dialogs.messages(), (QStringList{"13 Type mismatch"}));
    EXPECT_EQ(window.lblCountType(2)->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(ElasticPanel::designFont(window.lblIntervalsLeft(1)).pointSizeF(), 11.25)
        << "keys after the damaged one are not applied";
    EXPECT_EQ(window.VSEProject()->caption(), "Year 2000 Conversion Project") << "the load goes on";
    EXPECT_EQ(Columns(window)[4], " Seconds=15");
}

TEST_F(CountDownWindowTest, DamagedValueMetByAMenuItemIsReportedAndTheWindowKeepsWorking)
{
    frmCountDown& window = OpenBreakdown();
    program->settings.WriteSetting("CountDown", "Project FontSize", "huge");
    dialogs.answerColor(QColor(0, 0, 255));
    Item(window, "mnuCBackGound")->trigger();
    EXPECT_EQ(dialogs.messages(), (QStringList{"13 Type mismatch"}));
    EXPECT_EQ(window.lblCountType(1)->palette().color(QPalette::Window), QColor(0, 0, 255));
    toolbar->Timer1_Timer();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(CountDownWindowTest, RestoredAtStartWhenRecordedOpen)
{
    WriteSettings("[Forms Open]\nFormCount=1\nForm1=frmCountDown\n[Forms Position]\nCountDownTop=750\n"
                  "CountDownLeft=1500\nCountDownWindowState=0\n");
    StartToolbar();
    auto* window = qobject_cast<frmCountDown*>(program->windows.find("frmCountDown"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(toolbar->Command1(0)->tag(), "True");
    EXPECT_DOUBLE_EQ(WindowTopTwips(*window), 750);
    EXPECT_EQ(Columns(*window)[1], "Days=1");
}

TEST_F(CountDownWindowTest, ProgramCloseRecordsItsPlaceAndReopensIt)
{
    frmCountDown& window = OpenBreakdown();
    MoveWindowTwips(window, 3000, 4500);
    toolbar->Command1_Click(frmToolBar::CloseButton);
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "1");
    EXPECT_EQ(Setting("Forms Open", "Form1"), "frmCountDown");
    EXPECT_EQ(Setting("Forms Position", "CountDownTop"), "3000");
    EXPECT_EQ(Setting("Forms Position", "CountDownLeft"), "4500");
    EXPECT_EQ(Setting("Forms Position", "CountDownWindowState"), "0");
    EXPECT_EQ(RecordedOpenWindows(*program), (std::vector<QString>{"frmCountDown"}));
}

TEST_F(CountDownWindowTest, MinimisedAtCloseKeepsTheOlderPlace)
{
    WriteSettings("[Forms Position]\nCountDownTop=90\nCountDownLeft=45\n");
    frmCountDown& window = OpenBreakdown();
    window.showMinimized();
    toolbar->close();
    EXPECT_EQ(Setting("Forms Position", "CountDownWindowState"), "1");
    EXPECT_EQ(Setting("Forms Position", "CountDownTop"), "90");
    EXPECT_EQ(Setting("Forms Position", "CountDownLeft"), "45");
}

TEST_F(CountDownWindowTest, ScalesFontsWithTheWindow)
{
    frmCountDown& window = OpenBreakdown();
    window.show();
    window.resize(400, 300);
    QApplication::processEvents();
    const double small = window.lblIntervalsLeft(1)->font().pointSizeF();
    window.resize(1200, 900);
    QApplication::processEvents();
    const double large = window.lblIntervalsLeft(1)->font().pointSizeF();
    EXPECT_GT(large, small * 2.5);
    EXPECT_DOUBLE_EQ(ElasticPanel::designFont(window.lblIntervalsLeft(1)).pointSizeF(), 11.25);
}

} // namespace
} // namespace kestrel::test
