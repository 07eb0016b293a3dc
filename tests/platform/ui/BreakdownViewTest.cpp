// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "BreakdownView.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace kestrel {
namespace {

struct LayoutCase
{
    const char* name;
    const BreakdownLayout* layout;
    bool upperPanel;
};

class BreakdownViewLayouts : public ::testing::TestWithParam<LayoutCase>
{};

TEST_P(BreakdownViewLayouts, NameTheirControlsAsTheTestsFindThem)
{
    BreakdownView view(*GetParam().layout);
    EXPECT_EQ(view.objectName(), GetParam().layout->frameName);
    EXPECT_EQ(view.findChild<ElasticPanel*>("vsElastic31") != nullptr, GetParam().upperPanel);
    EXPECT_EQ(view.captionRow()->objectName(), "vsElastic1");
    EXPECT_EQ(view.numberRow()->objectName(), "vsElastic2");
    EXPECT_EQ(view.projectPanel()->objectName(), "VSEProject");
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(view.captionLabel(k)->objectName(), "lblCountType");
        EXPECT_EQ(view.captionLabel(k)->property("Index").toInt(), k);
        EXPECT_EQ(view.numberLabel(k)->objectName(), "lblIntervalsLeft");
        EXPECT_EQ(view.numberLabel(k)->property("Index").toInt(), k);
    }
    EXPECT_EQ(view.captionLabel(0), nullptr);
    EXPECT_EQ(view.numberLabel(6), nullptr);
}

TEST_P(BreakdownViewLayouts, PlaceTheColumnsInProportion)
{
    const BreakdownLayout& layout = *GetParam().layout;
    BreakdownView view(layout);
    view.resize(1200, 900);
    view.show();
    const double across = view.width() / layout.width;
    const double down = view.height() / layout.height;
    for (std::size_t k = 0; k < 5; ++k) {
        const QLabel* number = view.numberLabel(static_cast<int>(k + 1));
        const QPoint at = number->mapTo(&view, QPoint(0, 0));
        EXPECT_NEAR(at.x(), layout.columnLefts[k] * across, 1.5) << k;
        EXPECT_NEAR(number->width(), layout.columnWidths[k] * across, 1.5) << k;
        EXPECT_NEAR(at.y(), (layout.numberRowTop + layout.labelInset) * down, 1.5) << k;
    }
    EXPECT_NEAR(view.projectPanel()->y(), layout.projectTop * down, 1.5);
}

TEST_P(BreakdownViewLayouts, DrawEachGroupAtItsFontScale)
{
    const BreakdownLayout& layout = *GetParam().layout;
    BreakdownView view(layout);
    const GroupLook look{Qt::blue, Qt::yellow, {"DejaVu Sans", 10, true, false}};
    view.setCaptionLook(look);
    view.setNumberLook(look);
    view.setProjectLook(look);
    EXPECT_DOUBLE_EQ(ElasticPanel::designFont(view.captionLabel(1)).pointSizeF(), 10 * layout.captionFontScale);
    EXPECT_DOUBLE_EQ(ElasticPanel::designFont(view.numberLabel(5)).pointSizeF(), 10 * layout.numberFontScale);
    EXPECT_DOUBLE_EQ(view.projectPanel()->designFont().pointSizeF(), 10 * layout.projectFontScale);
    EXPECT_TRUE(ElasticPanel::designFont(view.numberLabel(5)).bold());
    EXPECT_EQ(view.numberLabel(3)->palette().color(QPalette::WindowText), QColor(Qt::yellow));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    BreakdownView, BreakdownViewLayouts,
    ::testing::Values(
        LayoutCase{"BreakdownWindow", &kBreakdownWindowLayout, true},
        LayoutCase{"Screensaver", &kScreensaverLayout, false}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });
// clang-format on

// A column of a breakdown display, as the view takes it.
struct Column
{
    std::string caption;
    bool captionVisible;
    std::string number;
    bool numberVisible;
};

TEST(BreakdownViewTest, HiddenColumnsKeepTheirTextsAndOnlyLeaveTheirSpaceEmpty)
{
    BreakdownView view(kBreakdownWindowLayout);
    view.show();
    view.showColumns(std::array<Column, 5>{{{"Y", true, "2", true},
                                            {"D", true, "1", true},
                                            {"H", true, "8", true},
                                            {"M", true, "39", true},
                                            {"S", true, "15", true}}});
    view.showColumns(std::array<Column, 5>{{{"Days", false, "732", true},
                                            {"", false, "", false},
                                            {"", false, "", false},
                                            {"", false, "", false},
                                            {"", false, "", false}}});
    EXPECT_EQ(view.numberLabel(1)->text(), "732");
    EXPECT_EQ(view.captionLabel(1)->text(), "Days");
    EXPECT_TRUE(view.captionLabel(1)->isHidden());
    EXPECT_FALSE(view.numberLabel(1)->isHidden());
    EXPECT_EQ(view.numberLabel(2)->text(), "1");
    EXPECT_EQ(view.captionLabel(5)->text(), "S");
    EXPECT_TRUE(view.numberLabel(5)->isHidden());
}

} // namespace
} // namespace kestrel
