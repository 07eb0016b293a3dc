// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrayIcon.h"

#include "OptionsDialog.h"
#include "OptionsPages.h"
#include "ProgramFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>

namespace kestrel::test {
namespace {

struct TextCase
{
    int totalDays;
    bool passed;
    bool outOfRange;
    const char* text;
};
// clang-format off
constexpr TextCase kTexts[] = {
    {0, false, false, "0"},
    {7, false, false, "7"},
    {365, false, false, "365"},
    {999, false, false, "999"},
    {1000, false, false, "999+"},
    {32767, false, false, "999+"},
    {0, true, false, "+0"},        // passed today, counting down: the count is 0 days
    {-4, true, false, "+4"},       // the negative count after the target
    {4, true, false, "+4"},        // counting up after the target
    {-1000, true, false, "+999+"},
    {0, false, true, ""},          // out of range: the empty ring
    {0, true, true, ""},
};
// clang-format on

TEST(TrayIconText, DaysLeftUpToThreeDigitsAndThePassedDaysAfterAPlus)
{
    for (const TextCase& c : kTexts) {
        CountdownBreakdown countdown;
        countdown.TotalDays = static_cast<std::int16_t>(c.totalDays);
        countdown.OutOfRange = c.outOfRange;
        EXPECT_EQ(TrayIconText(countdown, c.passed), c.text) << c.totalDays << " passed " << c.passed;
    }
}

TEST(TrayIconFont, EveryTextFitsTheIconAndStaysReadableAtPanelSizes)
{
    const QFont base = QApplication::font();
    for (const char* text : {"0", "42", "365", "999+", "+4", "+42", "+999+"}) {
        for (const int side : {16, 22, 24}) {
            const QFont font = TrayIconFont(QString::fromLatin1(text), side, base);
            const QFontMetricsF metrics(font);
            // Short counts fit as they are; longer ones are narrowed by the picture.
            if (std::strlen(text) <= 2) {
                EXPECT_LE(metrics.horizontalAdvance(QString::fromLatin1(text)), side - 2) << text << " at " << side;
            }
            EXPECT_GE(font.pixelSize(), side / 2) << text << " at " << side;
            EXPECT_TRUE(font.bold());
        }
    }
}

// How much of the picture is drawn, opaque, in a colour or near it (the edges of glyphs blend).
int PixelsOf(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int distance = std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                                 std::abs(pixel.blue() - colour.blue());
            count += pixel.alpha() > 200 && distance < 90;
        }
    }
    return count;
}

TEST(TrayIconPicture, DrawnAtPanelSizesInThePalettesHighlightColours)
{
    for (const auto& [tile, ink] : {std::pair{QColor(0x30, 0x8c, 0xc6), QColor(Qt::white)},
                                    std::pair{QColor(0xf0, 0xc0, 0x40), QColor(Qt::black)}}) {
        QPalette palette;
        palette.setColor(QPalette::Highlight, tile);
        palette.setColor(QPalette::HighlightedText, ink);
        const QIcon icon = TrayIconPicture(QStringLiteral("365"), palette);
        for (const int side : {16, 22, 24}) {
            EXPECT_TRUE(icon.availableSizes().contains(QSize(side, side))) << side;
            const QImage image = icon.pixmap(side, side).toImage();
            EXPECT_EQ(image.size(), QSize(side, side));
            EXPECT_GT(PixelsOf(image, tile), side * side / 3) << "a tile in the highlight colour at " << side;
            EXPECT_GT(PixelsOf(image, ink), side / 2) << "digits in the highlighted text colour at " << side;
        }
        // Out of range: a ring, empty in the middle.
        // The longest text stays inside the tile.
        const QImage longest = TrayIconPicture(QStringLiteral("+999+"), palette).pixmap(16, 16).toImage();
        for (int y = 0; y < 16; ++y) {
            EXPECT_EQ(longest.pixelColor(0, y).rgb() == ink.rgb() || longest.pixelColor(15, y).rgb() == ink.rgb(),
                      false)
                << y;
        }
        const QImage ring = TrayIconPicture(QString(), palette).pixmap(24, 24).toImage();
        EXPECT_EQ(ring.pixelColor(12, 12).alpha(), 0);
        EXPECT_GT(PixelsOf(ring, tile), 24);
        EXPECT_EQ(PixelsOf(ring, ink), 0);
    }
}

struct CloseCase
{
    bool keepRunningInTray;
    bool iconInTray;
    ToolbarClose close;
};
// clang-format off
constexpr CloseCase kCloses[] = {
    {false, false, ToolbarClose::EndProgram},
    {false, true, ToolbarClose::EndProgram},
    {true, false, ToolbarClose::EndProgram},  // no tray at that moment: nothing to come back from
    {true, true, ToolbarClose::HideToTray},
};
// clang-format on

TEST(WhenToolbarCloses, HidesOnlyWithTheChoiceOnAndATray)
{
    for (const CloseCase& c : kCloses) {
        EXPECT_EQ(WhenToolbarCloses(c.keepRunningInTray, c.iconInTray), c.close)
            << c.keepRunningInTray << " " << c.iconInTray;
    }
}

class TrayTest : public ProgramFixture
{
protected:
    void TearDown() override
    {
        options.reset();
        ProgramFixture::TearDown();
    }

    ToolbarWindow& StartWithTray()
    {
        WriteSettings("[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=1\n");
        ToolbarWindow& bar = StartToolbar();
        bar.showTrayIcon();
        return bar;
    }

    std::unique_ptr<OptionsDialog> options;
};

TEST_F(TrayTest, MenuHoldsTheToolbarsOwnCommandsForEveryWindowThenClose)
{
    ToolbarWindow& bar = StartWithTray();
    TrayIcon* tray = bar.trayIcon();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->icon()->contextMenu(), tray->menu());
    std::vector<QAction*> wanted{tray->toolbarAction()};
    for (const WindowKind& kind : Windows()) {
        if (kind.button) {
            wanted.push_back(bar.action(*kind.button));
        }
    }
    wanted.push_back(bar.action(Button::Close));
    std::vector<QAction*> items;
    for (QAction* action : tray->menu()->actions()) {
        if (!action->isSeparator()) {
            items.push_back(action);
        }
    }
    EXPECT_EQ(items, wanted);
    EXPECT_EQ(tray->toolbarAction()->text(), "Hide &Toolbar");
}

TEST_F(TrayTest, IconAndTooltipFollowTheTick)
{
    ToolbarWindow& bar = StartWithTray();
    TrayIcon* tray = bar.trayIcon();
    EXPECT_EQ(tray->icon()->toolTip(), "T-0:1:8:39:15");
    EXPECT_EQ(tray->shownText(), "1");
    clock.set(PackDateTime(1999, 12, 31, 23, 59, 59));
    bar.tick();
    EXPECT_EQ(tray->icon()->toolTip(), QString::fromStdString(program->countdown.Line));
    EXPECT_EQ(tray->shownText(), "0");
    clock.set(PackDateTime(2000, 1, 6, 12, 0, 0));
    bar.tick();
    EXPECT_EQ(tray->shownText(), "+5");
}

TEST_F(TrayTest, HidingRecordsAndClosesTheWindowsAndShowingReopensThem)
{
    ToolbarWindow& bar = StartWithTray();
    bar.show();
    bar.pressButton(Button::Calendar);
    ASSERT_TRUE(bar.openFlag(Button::Calendar));

    bar.hideToTray();
    EXPECT_TRUE(bar.hiddenInTray());
    EXPECT_FALSE(bar.isVisible());
    EXPECT_FALSE(bar.openFlag(Button::Calendar));
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "1");
    EXPECT_EQ(Setting("Forms Open", "Form1"), "frmDeskCal");
    EXPECT_NE(Setting("Forms Position", "ToolbarWindowState"), "<missing>");
    EXPECT_EQ(bar.trayIcon()->toolbarAction()->text(), "Show &Toolbar");
    // The countdown goes on in the tray.
    clock.set(PackDateTime(1999, 12, 30, 15, 20, 50));
    bar.tick();
    EXPECT_EQ(bar.trayIcon()->icon()->toolTip(), "T-0:1:8:39:10");

    bar.trayIcon()->toolbarAction()->trigger();
    EXPECT_FALSE(bar.hiddenInTray());
    EXPECT_TRUE(bar.isVisible());
    EXPECT_TRUE(bar.openFlag(Button::Calendar));
    EXPECT_EQ(bar.trayIcon()->toolbarAction()->text(), "Hide &Toolbar");
}

TEST_F(TrayTest, EndingWhileHiddenKeepsTheRecordMadeWhenItWentToTheTray)
{
    ToolbarWindow& bar = StartWithTray();
    bar.show();
    bar.pressButton(Button::Calculator);
    bar.hideToTray();
    bar.endProgram();
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "1");
    EXPECT_EQ(Setting("Forms Open", "Form1"), "frmCalc");
}

TEST_F(TrayTest, WindowOpenedFromTheTrayWhileHiddenIsRecordedAtTheEnd)
{
    ToolbarWindow& bar = StartWithTray();
    bar.show();
    bar.hideToTray();
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "0");
    bar.action(Button::CountDown)->trigger();
    bar.endProgram();
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "1");
    EXPECT_EQ(Setting("Forms Open", "Form1"), "frmCountDown");
}

TEST_F(TrayTest, ClosingWithoutATrayEndsTheProgramWhateverTheChoice)
{
    WriteSettings("[Tray]\nKeep Running When Toolbar Closed=True\n");
    ToolbarWindow& bar = StartToolbar();
    bar.showTrayIcon();
    bar.show();
    bar.pressButton(Button::Calendar);
    ASSERT_FALSE(TrayAvailable()); // the offscreen desktop has no tray
    bar.close();
    EXPECT_FALSE(bar.hiddenInTray());
    EXPECT_EQ(Setting("Forms Open", "Form1"), "frmDeskCal");
    // Ended: a later hiding does nothing.
    bar.hideToTray();
    EXPECT_FALSE(bar.hiddenInTray());
}

TEST_F(TrayTest, ChoiceIsGreyedWithAReasonWithoutATray)
{
    MoreOptionsPage page;
    OptionsValues values;
    values.keepRunningInTray = true;
    values.trayAvailable = false;
    page.load(values);
    EXPECT_EQ(page.keepRunningInTrayBox()->text(), "Keep running in the t&ray when the toolbar is closed");
    EXPECT_FALSE(page.keepRunningInTrayBox()->isEnabled());
    EXPECT_TRUE(page.keepRunningInTrayBox()->isChecked());
    EXPECT_FALSE(page.noTrayLine()->isHidden());
    EXPECT_TRUE(page.noTrayLine()->text().startsWith("This desktop has no tray"));

    values.trayAvailable = true;
    values.keepRunningInTray = false;
    page.load(values);
    EXPECT_TRUE(page.keepRunningInTrayBox()->isEnabled());
    EXPECT_FALSE(page.keepRunningInTrayBox()->isChecked());
    EXPECT_TRUE(page.noTrayLine()->isHidden());
    page.keepRunningInTrayBox()->setChecked(true);
    page.store(values);
    EXPECT_TRUE(values.keepRunningInTray);
}

TEST_F(TrayTest, ChoiceIsWrittenOnlyOnceChanged)
{
    StartToolbar();
    options = std::make_unique<OptionsDialog>(*program);
    options->button(OptionsDialog::Button::Apply)->click();
    EXPECT_EQ(ReadSettings().find("[Tray]"), std::string::npos);

    OptionsValues values = OptionsFromSettings(*program);
    EXPECT_FALSE(values.keepRunningInTray);
    values.keepRunningInTray = true;
    ApplyOptions(*program, values);
    EXPECT_EQ(Setting("Tray", "Keep Running When Toolbar Closed"), "True");
    EXPECT_TRUE(OptionsFromSettings(*program).keepRunningInTray);
}

// The notification service, the calendar feed and the tray wait for the toolbar's first paint.
TEST(RunAfterFirstPaint, RunsOnceAfterTheWindowHasPainted)
{
    QWidget window;
    window.resize(100, 40);
    int runs = 0;
    RunAfterFirstPaint(window, [&runs] { ++runs; });
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 0) << "before the window shows";
    window.show();
    for (int i = 0; i < 100 && runs == 0; ++i) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(runs, 1);
    window.repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1) << "later paints run nothing";
}

} // namespace
} // namespace kestrel::test
