// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramFixture.h"
#include "TerminationSignals.h"

#include <QCoreApplication>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>

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

std::string ReadAll(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        text.push_back(static_cast<char>(c));
    }
    return text;
}

// After a signal nobody is there to click: a settings file that cannot be saved is said on
// standard error, and the exit status says it.
TEST(EndingDialogsTest, AFailedSaveAfterASignalGoesToStandardErrorAndMakesTheStatusOne)
{
    const TempDir dir;
    WriteFile(dir / "blocked", "a file where the settings folder should be");
    const FixedClock clock(PackDateTime(1999, 12, 30, 15, 20, 45));
    ScriptedDialogs shown;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> errors(std::tmpfile(), &std::fclose);
    ASSERT_TRUE(errors);
    EndingDialogs dialogs(shown, errors.get());
    Program program(SettingsFile(dir / "blocked" / "KESTREL.INI"), clock, dialogs, dir.path(), dir / "data");

    // While the program runs, the failure is a message box.
    program.write("Forms Position", QStringLiteral("ToolbarTop"), QStringLiteral("100"));
    ASSERT_EQ(shown.messages().size(), 1);
    EXPECT_EQ(ReadAll(errors.get()), "");

    dialogs.beginEnding();
    EXPECT_EQ(dialogs.endingStatus(), 0);
    program.write("Forms Position", QStringLiteral("ToolbarLeft"), QStringLiteral("200"));
    EXPECT_EQ(shown.messages().size(), 1) << "no box after the signal";
    const std::string said = ReadAll(errors.get());
    EXPECT_NE(said.find("The settings could not be saved to " + (dir / "blocked" / "KESTREL.INI").string()),
              std::string::npos)
        << said;
    EXPECT_EQ(said.rfind("kestrel: ", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "one line: " << said;
    EXPECT_EQ(dialogs.endingStatus(), 1);
}

TEST(EndingDialogsTest, AfterASignalQuestionsAreDeclinedAndNothingWaits)
{
    ScriptedDialogs shown;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> errors(std::tmpfile(), &std::fclose);
    EndingDialogs dialogs(shown, errors.get());
    dialogs.beginEnding();
    using B = Dialogs::Buttons;
    using A = Dialogs::Answer;
    // clang-format off
    const std::pair<B, A> answers[] = {
        {B::Ok, A::Ok},
        {B::OkCancel, A::Cancel},
        {B::YesNo, A::No},
        {B::YesNoCancel, A::Cancel},
    };
    // clang-format on
    for (const auto& [buttons, answer] : answers) {
        EXPECT_EQ(dialogs.MsgBox(QStringLiteral("Save?"), buttons, Dialogs::Icon::Question, QStringLiteral("Kestrel")),
                  answer);
    }
    EXPECT_EQ(dialogs.InputBox(QStringLiteral("Name?"), QStringLiteral("Kestrel"), QStringLiteral("x")), QString());
    EXPECT_FALSE(dialogs.ShowSave(QStringLiteral("a.pdf"), QStringLiteral("All files|*.*"), QString()));
    EXPECT_TRUE(shown.shown().empty());
    EXPECT_EQ(dialogs.endingStatus(), 0) << "questions are no failures";
}

} // namespace
} // namespace kestrel::test
