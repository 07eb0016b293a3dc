// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Units.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// The offscreen platform's screen: 96 logical dots per inch, so 15 twips to the pixel.
class UnitsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0); }
    const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
};

TEST_F(UnitsTest, ConvertsTwipsAndPixelsAtTheScreenDpi)
{
    EXPECT_EQ(PixelsToTwips(1), 15.0);
    EXPECT_EQ(TwipsToPixels(1440.0), 96);
    EXPECT_EQ(TwipsToPixels(7.0), 0);
    EXPECT_EQ(TwipsToPixels(8.0), 1);
    EXPECT_EQ(ScreenWidthTwips(), primary.width() * 15.0);
    // Edges are rounded, so rectangles that meet in twips meet in pixels.
    EXPECT_EQ(TwipsToPixels(100.0, 0.0, 1010.0, 500.0), QRect(7, 0, 67, 33));
    EXPECT_EQ(TwipsToPixels(1110.0, 0.0, 1010.0, 500.0).left(), 74);
}

TEST_F(UnitsTest, WindowPositionIsKeptOnAScreen)
{
    QWidget window;
    window.resize(200, 100);
    MoveWindowTwips(window, 1500.0, 3000.0);
    EXPECT_EQ(WindowTopTwips(window), 1500.0);
    EXPECT_EQ(WindowLeftTwips(window), 3000.0);
    EXPECT_EQ(WindowHeightTwips(window), 1500.0);

    for (const QPointF twips : {QPointF(-480000.0, -480000.0), QPointF(900000.0, 300.0), QPointF(300.0, 900000.0)}) {
        MoveWindowTwips(window, twips.x(), twips.y());
        EXPECT_TRUE(primary.contains(window.frameGeometry())) << twips.x() << ", " << twips.y();
    }
    // Partly off the screen but still reachable: left where the settings file put it.
    MoveWindowTwips(window, 0.0, PixelsToTwips(primary.right() - 150));
    EXPECT_EQ(window.frameGeometry().left(), primary.right() - 150);
}

TEST_F(UnitsTest, StoredPlaceLeavingOnlyASliverOrTheTitleAboveTheScreenIsMovedOn)
{
    // A window not shown yet: its own size counts, not a default size.
    QWidget window;
    window.resize(300, 150);
    const struct
    {
        QPoint stored;
        bool kept;
    } cases[] = {
        {{primary.left() + 10, primary.top() + 10}, true},
        {{primary.right() - 1, primary.top() + 10}, false},   // a one-pixel sliver at the right
        {{primary.left() + 10, primary.bottom() - 5}, false}, // only the top edge at the bottom
        {{primary.left() + 10, primary.top() - 20}, false},   // the title strip above the screen
        {{primary.left() - 299, primary.top() + 10}, false},  // a sliver at the left
        {{primary.right() - 150, primary.top() + 10}, true},  // half of it, title strip and all
    };
    for (const auto& c : cases) {
        MoveWindowTwips(window, PixelsToTwips(c.stored.y()), PixelsToTwips(c.stored.x()));
        const QPoint placed = window.pos();
        if (c.kept) {
            EXPECT_EQ(placed, c.stored);
        } else {
            EXPECT_NE(placed, c.stored);
            EXPECT_TRUE(primary.contains(QRect(placed, QSize(300, 150)))) << placed.x() << ", " << placed.y();
        }
    }
}

TEST_F(UnitsTest, WindowStateCodesRoundTripBeforeAndAfterShow)
{
    constexpr std::pair<int, int> kCodes[] = {{2, 2}, {1, 1}, {0, 0}, {7, 0}}; // applied, then read
    QWidget window;
    for (bool shown : {false, true}) {
        if (shown) {
            window.show();
        }
        for (const auto& [code, read] : kCodes) {
            ApplyWindowStateCode(window, code);
            EXPECT_EQ(WindowStateCode(window), read) << "code " << code << (shown ? " shown" : " before show");
        }
    }
}

TEST(ColorValueTest, RgbValuesHoldRedInTheLowByteAndRoundTrip)
{
    const struct
    {
        ColorValue value;
        QColor colour;
    } cases[] = {
        {0, QColor(0, 0, 0)},
        {255, QColor(255, 0, 0)},
        {65535, QColor(255, 255, 0)},
        {16744576, QColor(128, 128, 255)},
        {0x00123456, QColor(0x56, 0x34, 0x12)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorFromValue(c.value, QPalette()), c.colour) << c.value;
        EXPECT_EQ(ValueFromColor(c.colour), c.value) << c.value;
    }
}

TEST(ColorValueTest, SystemColoursTakeTheMatchingPaletteRole)
{
    QPalette palette;
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        palette.setColor(QPalette::Active, static_cast<QPalette::ColorRole>(role), QColor(role * 9, 255 - role * 9, 7));
    }
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(1, 2, 3));
    const struct
    {
        std::uint32_t value;
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
    } cases[] = {
        {0x80000008u, QPalette::Active, QPalette::WindowText}, // -2147483640
        {0x80000005u, QPalette::Active, QPalette::Base},
        {0x8000000Fu, QPalette::Active, QPalette::Button},
        {0x80000011u, QPalette::Active, QPalette::PlaceholderText},
        {0x80000012u, QPalette::Active, QPalette::ButtonText},
        {0x80000013u, QPalette::Disabled, QPalette::WindowText},
        {0x80000018u, QPalette::Active, QPalette::ToolTipBase},
        {0x80000019u, QPalette::Active, QPalette::WindowText}, // no such index
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorFromValue(static_cast<ColorValue>(c.value), palette), palette.color(c.group, c.role))
            << std::hex << c.value;
    }
}

TEST(FontChoiceTest, RoundTripsNameSizeBoldAndItalic)
{
    for (const FontChoice& choice :
         {FontChoice{"DejaVu Sans", 11.25, true, false}, FontChoice{"DejaVu Serif", 14.25, false, true}}) {
        EXPECT_EQ(ChoiceFromFont(FontFromChoice(choice)), choice) << choice.name;
    }
}

TEST(PointerTest, BusyPointerNeverStacksAndArrowRemovesEveryOverride)
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    QGuiApplication::setOverrideCursor(QCursor(Qt::IBeamCursor));
    ShowBusyPointer();
    ShowBusyPointer();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ShowArrowPointer();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace kestrel
