// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "HelpViewer.h"

#include "TempDir.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

class HelpViewerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string page = "<html><body><h1>Kestrel Help</h1><p>Contents</p>";
        for (int i = 0; i < 200; ++i) {
            page += "<p>Topic " + std::to_string(i) + "</p>";
        }
        test::WriteFile(folder / "Kestrel.HLP", page + "</body></html>");
        helpFile = QString::fromStdString((folder / "Kestrel.HLP").string());
    }

    QTextBrowser* browser() const { return viewer.window()->findChild<QTextBrowser*>(); }

    test::TempDir folder;
    QString helpFile;
    HelpViewer viewer;
};

TEST_F(HelpViewerTest, ContentsOpensOneWindowAtTheTopAndQuitDeletesIt)
{
    EXPECT_EQ(viewer.window(), nullptr);
    viewer.WinHelp(helpFile, HelpViewer::Contents);
    QPointer<QWidget> window = viewer.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel Help"));
    EXPECT_TRUE(browser()->toPlainText().startsWith(QStringLiteral("Kestrel Help\nContents")));

    browser()->verticalScrollBar()->setValue(browser()->verticalScrollBar()->maximum());
    viewer.WinHelp(helpFile, HelpViewer::Contents);
    EXPECT_EQ(viewer.window(), window);
    EXPECT_EQ(browser()->verticalScrollBar()->value(), 0);

    viewer.WinHelp(helpFile, HelpViewer::Quit);
    EXPECT_EQ(viewer.window(), nullptr);
    EXPECT_TRUE(window.isNull());
}

TEST_F(HelpViewerTest, UserClosesWithCloseButtonOrEscape)
{
    for (bool escape : {false, true}) {
        viewer.WinHelp(helpFile, HelpViewer::Contents);
        QPointer<QWidget> window = viewer.window();
        ASSERT_FALSE(window.isNull());
        if (escape) {
            QApplication::setActiveWindow(window);
            QTest::keyClick(browser(), Qt::Key_Escape);
        } else {
            window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->click();
        }
        EXPECT_EQ(viewer.window(), nullptr) << escape;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window.isNull()) << escape;
    }
}

TEST_F(HelpViewerTest, MissingHelpFileShowsThatHelpIsNotAvailable)
{
    for (const QString& missing : {QString(), helpFile + QStringLiteral(".gone")}) {
        viewer.WinHelp(missing, HelpViewer::Contents);
        ASSERT_NE(viewer.window(), nullptr);
        EXPECT_TRUE(browser()->toPlainText().contains(
            QStringLiteral("The help file Kestrel.HLP was not found, so help is not available.")));
    }
    viewer.WinHelp(helpFile, HelpViewer::Contents); // the file once it is there
    EXPECT_TRUE(browser()->toPlainText().contains(QStringLiteral("Topic 199")));
}

} // namespace
} // namespace kestrel
