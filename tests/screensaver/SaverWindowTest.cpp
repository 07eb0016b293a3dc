// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ElasticPanel.h"
#include "SaverWindow.h"
#include "Settings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace kestrel::saver {
namespace {

// The screensaver's settings when there is no settings file.
SaverSettings NoSettings()
{
    return LoadSaverSettings(SettingsFile(std::filesystem::path()));
}

class SaverWindowTest : public ::testing::Test
{
protected:
    SaverWindowTest() : window(NoSettings(), ScreensaverDesign(), &counter, [this] { ++ends; })
    {
        window.resize(1224, 892);
        window.show();
    }

    static void Move(QWidget* widget)
    {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    static void Click(QWidget* widget)
    {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
    }

    ExitCounter counter;
    int ends = 0;
    SaverWindow window;
};

TEST_F(SaverWindowTest, TwentySixMovementsOverTheNumbersLeaveItRunning)
{
    for (int i = 0; i < 26; ++i) {
        Move(window.numberLabel(1 + i % 5));
    }
    EXPECT_EQ(ends, 0);
    Move(window.numberLabel(3));
    EXPECT_EQ(ends, 1);
}

TEST_F(SaverWindowTest, TheSixthMovementOverTheCaptionsEnds)
{
    for (int i = 0; i < 5; ++i) {
        Move(window.captionLabel(1 + i));
    }
    EXPECT_EQ(ends, 0);
    Move(window.captionLabel(2));
    EXPECT_EQ(ends, 1);
}

TEST_F(SaverWindowTest, ClicksOnNumbersAndMovesOverTheProjectTitleCount)
{
    for (int i = 0; i < 13; ++i) {
        Click(window.numberLabel(5));
        Move(window.projectPanel());
    }
    EXPECT_EQ(counter.value(), 26);
    EXPECT_EQ(ends, 0);
    Click(window.numberLabel(1));
    EXPECT_EQ(ends, 1);
}

TEST_F(SaverWindowTest, ClicksOnCaptionsAndEventsOnBarePanelsDoNotCount)
{
    for (int i = 0; i < 40; ++i) {
        Click(window.captionLabel(1 + i % 5));
        Move(window.captionRow());
        Click(window.numberRow());
        Move(window.numberRow());
    }
    EXPECT_EQ(counter.value(), 0);
    EXPECT_EQ(ends, 0);
}

TEST_F(SaverWindowTest, KeyPressesCount)
{
    for (int i = 0; i < 27; ++i) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&window, &key);
    }
    EXPECT_EQ(ends, 1);
}

TEST_F(SaverWindowTest, ShowsTheColumnsItIsGiven)
{
    BreakdownColumns columns;
    columns[0] = {"Days", true, "732", true};
    columns[1] = {" Hours", true, "8", true};
    window.ShowColumns(columns);
    EXPECT_EQ(window.numberLabel(1)->text(), "732");
    EXPECT_EQ(window.captionLabel(2)->text(), " Hours");
    EXPECT_TRUE(window.numberLabel(3)->isHidden());
    EXPECT_TRUE(window.captionLabel(5)->isHidden());
    EXPECT_EQ(window.projectPanel()->caption(), "Countdown to Year 2000");
    EXPECT_EQ(window.cursor().shape(), Qt::BlankCursor);
}

TEST(SaverHostedWindowTest, CountsNoInputInsideAHost)
{
    int ends = 0;
    SaverWindow window(NoSettings(), ScreensaverDesign(), nullptr, [&] { ++ends; });
    window.show();
    for (int i = 0; i < 40; ++i) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&window, &key);
    }
    EXPECT_EQ(ends, 0);
}

} // namespace
} // namespace kestrel::saver
