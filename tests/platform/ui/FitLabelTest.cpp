// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FitLabel.h"

#include <QFontMetricsF>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(FitLabelTest, TextThatFitsKeepsTheFont)
{
    FitLabel label(QStringLiteral("15"));
    QFont font = label.font();
    font.setPointSizeF(20);
    label.setFont(font);
    label.resize(300, 80);
    EXPECT_DOUBLE_EQ(label.fittedFont().pointSizeF(), 20);
}

TEST(FitLabelTest, TextTooWideShrinksUntilItFits)
{
    FitLabel label(QStringLiteral("-786455"));
    QFont font = label.font();
    font.setPointSizeF(40);
    label.setFont(font);
    label.resize(90, 80);
    const QFont fitted = label.fittedFont();
    EXPECT_LT(fitted.pointSizeF(), 40);
    EXPECT_LE(QFontMetricsF(fitted).horizontalAdvance(label.text()), label.width());
    EXPECT_DOUBLE_EQ(label.font().pointSizeF(), 40) << "the label's own font stays as chosen";
}

} // namespace
} // namespace kestrel
