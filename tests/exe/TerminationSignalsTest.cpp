// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramFixture.h"
#include "TerminationSignals.h"

#include <QCoreApplication>

#include <csignal>

namespace kestrel::test {
namespace {

// Waits until the event loop has handled what a signal handler left for it.
void ProcessPendingSignals()
{
    for (int round = 0; round < 10; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

TEST(TerminationSignalsTest, EachSignalCallsCloseOnTheEventLoop)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        int closed = 0;
        const TerminationSignals onSignal([&closed] { ++closed; });
        ASSERT_TRUE(onSignal.active());
        ::raise(signal);
        EXPECT_EQ(closed, 0) << "nothing runs inside the signal handler";
        ProcessPendingSignals();
        EXPECT_EQ(closed, 1) << signal;
    }
}

class TerminationTest : public ProgramFixture
{};

TEST_F(TerminationTest, SigtermRecordsTheWindowsAsCloseDoes)
{
    ToolbarWindow& bar = StartToolbar();
    bar.pressButton(Button::CountDown);
    const TerminationSignals onSignal([&bar] { bar.endProgram(); });
    ::raise(SIGTERM);
    ProcessPendingSignals();
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "1");
    EXPECT_EQ(Setting("Forms Open", "Form1"), "frmCountDown");
    EXPECT_EQ(Setting("Forms Position", "ToolbarWindowState"), "0");
    EXPECT_NE(Setting("Forms Position", "CountDownTop"), "<missing>");
}

} // namespace
} // namespace kestrel::test
