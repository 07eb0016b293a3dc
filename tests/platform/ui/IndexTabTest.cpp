// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "IndexTab.h"

#include <QApplication>
#include <QLayout>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

class IndexTabTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tabs.setCaptions(QStringLiteral("&Target|&Options|Ca&lendar"));
        tabs.resize(400, 300);
        tabs.show();
    }

    void click(int index)
    {
        QTest::mouseClick(tabs.tabBar(), Qt::LeftButton, {}, tabs.tabBar()->tabRect(index).center());
    }

    // The page the user now sees (-1 for none), which must be the current tab's, and the tab picked
    // since the last look (-2 for none).
    std::pair<int, int> look()
    {
        QList<int> shown;
        for (int i = 0; i < tabs.count(); ++i) {
            if (tabs.page(i)->isVisible()) {
                shown << i;
            }
        }
        EXPECT_LE(shown.size(), 1);
        EXPECT_EQ(shown.value(0, -1), tabs.currentTab());
        EXPECT_LE(picked.count(), 1);
        const int pick = picked.isEmpty() ? -2 : picked.takeFirst().at(0).toInt();
        picked.clear();
        return {shown.value(0, -1), pick};
    }

    IndexTab tabs;
    QSignalSpy picked{&tabs, &IndexTab::tabPicked};
};

TEST_F(IndexTabTest, CaptionsSplitIntoTabsEachWithAPageToFill)
{
    EXPECT_EQ(tabs.count(), 3);
    EXPECT_EQ(tabs.caption(2), QStringLiteral("Ca&lendar"));
    EXPECT_EQ(tabs.page(3), nullptr);

    auto* filler = new QWidget;
    tabs.page(0)->layout()->addWidget(filler);
    QApplication::processEvents();
    EXPECT_EQ(filler->geometry(), tabs.page(0)->rect());

    tabs.setCaptions(QStringLiteral("&Target|&Settings"));
    EXPECT_EQ(tabs.captions(), QStringLiteral("&Target|&Settings"));
    EXPECT_EQ(filler->parentWidget(), tabs.page(0)); // pages of remaining tabs keep what they hold
    tabs.setCaptions(QString());
    EXPECT_EQ(tabs.count(), 0);
    EXPECT_EQ(tabs.currentTab(), -1);
}

TEST_F(IndexTabTest, ProgramSetsTheCurrentTabWithoutAPick)
{
    EXPECT_EQ(look(), std::pair(0, -2));
    tabs.setCurrentTab(2);
    EXPECT_EQ(look(), std::pair(2, -2));
    for (int none : {-1, 3}) {
        tabs.setCurrentTab(none);
        EXPECT_EQ(look(), std::pair(-1, -2)) << none;
    }
}

TEST_F(IndexTabTest, UserPicksByMouseArrowAndAccessKey)
{
    QApplication::setActiveWindow(&tabs);
    click(1);
    EXPECT_EQ(look(), std::pair(1, 1));
    click(1); // already current
    EXPECT_EQ(look(), std::pair(1, -2));
    tabs.tabBar()->setFocus();
    QTest::keyClick(tabs.tabBar(), Qt::Key_Right);
    EXPECT_EQ(look(), std::pair(2, 2));
    QTest::keyClick(&tabs, Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(look(), std::pair(0, 0));

    // With no current tab, the tab the bar keeps current underneath is a pick too.
    tabs.setCurrentTab(-1);
    click(0);
    EXPECT_EQ(look(), std::pair(0, 0));
    tabs.setCurrentTab(-1);
    QTest::keyClick(&tabs, Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(look(), std::pair(0, 0));
}

TEST_F(IndexTabTest, BareStripIsNoDeeperThanItsTabs)
{
    tabs.setPagesShown(false);
    EXPECT_EQ(tabs.sizeHint().height(), tabs.tabBar()->sizeHint().height());
    EXPECT_EQ(tabs.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    EXPECT_FALSE(tabs.page(0)->isVisible());
}

} // namespace
} // namespace kestrel
