// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "MonthView.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(MonthViewTest, ValueRoundTripsTheDatePartWithoutAClick)
{
    MonthView view;
    QSignalSpy clicked(&view, &MonthView::dateClicked);
    const struct
    {
        int year, month, day;
    } cases[] = {{2028, 3, 15}, {1899, 12, 30}, {1752, 1, 1}, {100, 1, 1}, {9999, 12, 31}};
    for (const auto& c : cases) {
        const DateValue date = PackDate(c.year, c.month, c.day);
        // 18:00 that day; before 1899-12-30 the fraction counts forward from a more negative whole.
        view.setValue(DateValue{date.serial < 0 ? date.serial - 0.75 : date.serial + 0.75});
        EXPECT_EQ(view.value(), date) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(view.monthShown(), c.month);
    }
    EXPECT_EQ(clicked.count(), 0);
}

TEST(MonthViewTest, ClickOrEnterOnADateReportsIt)
{
    MonthView view;
    view.setValue(PackDate(2028, 3, 15));
    view.show();
    auto* grid = view.findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(grid, nullptr);
    // Day 20 appears once in any month's grid.
    QModelIndex day20;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        for (int column = 0; column < grid->model()->columnCount(); ++column) {
            if (grid->model()->index(row, column).data().toString() == QStringLiteral("20")) {
                day20 = grid->model()->index(row, column);
            }
        }
    }
    ASSERT_TRUE(day20.isValid());

    QSignalSpy clicked(&view, &MonthView::dateClicked);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(day20).center());
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_EQ(clicked.at(0).at(0).value<DateValue>(), PackDate(2028, 3, 20));
    EXPECT_EQ(clicked.at(1).at(0).value<DateValue>(), PackDate(2028, 3, 20));
    EXPECT_EQ(view.value(), PackDate(2028, 3, 20));
}

} // namespace
} // namespace kestrel
