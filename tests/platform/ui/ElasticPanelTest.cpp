// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ElasticPanel.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// At the test screen's 96 dpi, 15 twips make a pixel: a 3000 x 1500 twips design is 200 x 100 pixels.
class ElasticPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        panel.setDesignSize(3000, 1500);
        panel.resize(panel.sizeHint());
        panel.show(); // a hidden widget's resize events wait for its first show
    }

    static QLabel* placeLabel(ElasticPanel& on, double left, double top, double width, double height)
    {
        auto* label = new QLabel(QStringLiteral("label"));
        on.place(label, left, top, width, height);
        return label;
    }

    ElasticPanel panel;
};

TEST_F(ElasticPanelTest, ChildrenKeepTheirDesignRectangleScaledToThePanel)
{
    EXPECT_EQ(panel.sizeHint(), QSize(200, 100));
    QLabel* left = placeLabel(panel, 0, 0, 1500, 1500);
    QLabel* odd = placeLabel(panel, 100, 200, 1010, 500);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 100, 100));

    panel.resize(300, 50);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 150, 50));
    // 100..1110 twips across at 0.1 px/twip, 200..700 down at 1/30 px/twip.
    EXPECT_EQ(odd->geometry(), QRect(10, 7, 101, 16));
}

TEST_F(ElasticPanelTest, NeighboursMeetWithoutGapsAtEverySize)
{
    QLabel* first = placeLabel(panel, 0, 0, 1010, 700);
    QLabel* second = placeLabel(panel, 1010, 0, 1990, 700);
    QLabel* below = placeLabel(panel, 0, 700, 3000, 800);
    for (int width = 37; width < 700; width += 13) {
        const int height = width / 3 + 1;
        panel.resize(width, height);
        EXPECT_EQ(first->geometry().right() + 1, second->geometry().left()) << width;
        EXPECT_EQ(second->geometry().right() + 1, width) << width;
        EXPECT_EQ(first->geometry().bottom() + 1, below->geometry().top()) << width;
        EXPECT_EQ(below->geometry().bottom() + 1, height) << width;
    }
}

TEST_F(ElasticPanelTest, DesignFontScalesByTheSmallerRatioAndNeverBelowOnePoint)
{
    QLabel* chosen = placeLabel(panel, 0, 0, 1500, 1500);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(12);
    font.setBold(true);
    ElasticPanel::setDesignFont(chosen, font);
    // Without a design font, the font a child had when placed is its design font.
    auto* plain = new QLabel;
    plain->setFont(QFont(QStringLiteral("DejaVu Serif"), 10));
    panel.place(plain, 1500, 0, 1500, 1500);

    const struct
    {
        QSize size;
        double points;
    } cases[] = {{{200, 100}, 12}, {{400, 100}, 12}, {{400, 200}, 24}, {{100, 200}, 6}, {{20, 10}, 1.2}, {{2, 1}, 1}};
    for (const auto& c : cases) {
        panel.resize(c.size);
        EXPECT_DOUBLE_EQ(chosen->font().pointSizeF(), c.points) << c.size.width() << "x" << c.size.height();
        EXPECT_DOUBLE_EQ(plain->font().pointSizeF(), std::max(1.0, c.points * 10 / 12));
        EXPECT_TRUE(chosen->font().bold());
    }
}

TEST_F(ElasticPanelTest, NestedPanelsScaleTheirOwnChildrenThreeLevelsDeep)
{
    panel.setDesignSize(3000, 3000);
    panel.resize(200, 200);
    auto* middle = new ElasticPanel;
    middle->setDesignSize(1500, 1500);
    panel.place(middle, 1500, 1500, 1500, 1500);
    auto* inner = new ElasticPanel;
    inner->setDesignSize(750, 750);
    middle->place(inner, 750, 750, 750, 750);
    QLabel* deepest = placeLabel(*inner, 0, 0, 375, 375);
    ElasticPanel::setDesignFont(deepest, QFont(QStringLiteral("DejaVu Sans"), 8));

    panel.resize(400, 400);
    EXPECT_EQ(middle->geometry(), QRect(200, 200, 200, 200));
    EXPECT_EQ(inner->geometry(), QRect(100, 100, 100, 100));
    EXPECT_EQ(deepest->geometry(), QRect(0, 0, 50, 50));
    EXPECT_DOUBLE_EQ(deepest->font().pointSizeF(), 16);
}

TEST_F(ElasticPanelTest, CaptionIsDrawnCentredInTheForeColourOverTheBackColour)
{
    panel.setBackColor(QColor(0, 0, 255));
    panel.setForeColor(QColor(255, 255, 0));
    panel.setDesignFont(QFont(QStringLiteral("DejaVu Sans"), 20));
    panel.setCaption(QStringLiteral("IIII"));

    const QImage image = panel.grab().toImage();
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.red() > 200 && pixel.green() > 200 && pixel.blue() < 60) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_EQ(image.pixelColor(2, 2), QColor(0, 0, 255));
    EXPECT_NEAR(ink.center().x(), 100, 3);
    EXPECT_NEAR(ink.center().y(), 50, 6);
}

TEST_F(ElasticPanelTest, MouseMovesWithoutButtonsAreReported)
{
    QSignalSpy moved(&panel, &ElasticPanel::mouseMoved);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), panel.mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&panel, &move);
    EXPECT_EQ(moved.count(), 1);
}

} // namespace
} // namespace kestrel
