// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedDialogs.h"
#include "Steps.h"

#include <QPrinter>

#include <gtest/gtest.h>

#include <stdexcept>

namespace kestrel {
namespace {

TEST(ScriptedDialogsTest, RecordsEachDialogAndAnswersInQueueOrder)
{
    ScriptedDialogs dialogs;
    dialogs.answerMsgBox(Dialogs::Answer::No);
    dialogs.answerInputBox(QStringLiteral("Mar 15, 2028"));
    dialogs.answerColor(std::nullopt);
    dialogs.answerFont(FontChoice{"DejaVu Sans", 14.25, true, false});
    dialogs.answerPrinter(PrintRange{2, 3});

    EXPECT_EQ(dialogs.MsgBox(QStringLiteral("Save changes?"), Dialogs::Buttons::YesNo, Dialogs::Icon::Question,
                             QStringLiteral("Milestones")),
              Dialogs::Answer::No);
    EXPECT_EQ(dialogs.InputBox(QStringLiteral("Date"), QStringLiteral("Set"), QStringLiteral("Jan 1")),
              QStringLiteral("Mar 15, 2028"));
    EXPECT_EQ(dialogs.ShowColor(Qt::blue), std::nullopt); // a queued cancel
    EXPECT_EQ(dialogs.ShowFont(FontChoice{}), (FontChoice{"DejaVu Sans", 14.25, true, false}));
    QPrinter printer;
    EXPECT_EQ(dialogs.ShowPrinter(printer, 1, 5, PrintRange{}), (PrintRange{2, 3}));
    EXPECT_TRUE(dialogs.allAnswered());

    const auto& shown = dialogs.shown();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0].kind, QStringLiteral("MsgBox"));
    EXPECT_EQ(shown[0].title, QStringLiteral("Milestones"));
    EXPECT_EQ(shown[0].buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(shown[0].icon, Dialogs::Icon::Question);
    EXPECT_EQ(shown[1].detail, QStringLiteral("Jan 1"));
    EXPECT_EQ(shown[2].detail, QColor(Qt::blue).name());
    EXPECT_EQ(shown[4].detail, QStringLiteral("1-5"));
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Save changes?")});
}

TEST(ScriptedDialogsTest, EmptyQueuePressesOkAndCancelsEverythingElse)
{
    ScriptedDialogs dialogs;
    QPrinter printer;
    EXPECT_EQ(dialogs.MsgBox(QStringLiteral("Done"), Dialogs::Buttons::YesNoCancel, Dialogs::Icon::None,
                             QStringLiteral("Kestrel")),
              Dialogs::Answer::Ok);
    EXPECT_EQ(dialogs.InputBox(QStringLiteral("Name"), QString(), QStringLiteral("default")), QString());
    EXPECT_EQ(dialogs.ShowColor(Qt::black), std::nullopt);
    EXPECT_EQ(dialogs.ShowFont(FontChoice{}), std::nullopt);
    EXPECT_EQ(dialogs.ShowSave(QString(), QString(), QString()), std::nullopt);
    EXPECT_EQ(dialogs.ShowPrinter(printer, 1, 1, PrintRange{}), std::nullopt);
}

TEST(ScriptedDialogsTest, AnswerOfTheWrongKindIsABrokenTest)
{
    ScriptedDialogs dialogs;
    dialogs.answerSave(QStringLiteral("/tmp/out.txt"));
    try {
        dialogs.MsgBox(QStringLiteral("Overwrite?"), Dialogs::Buttons::YesNo, Dialogs::Icon::None, QString());
        FAIL() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(),
                     "ScriptedDialogs: a MsgBox (\"Overwrite?\") was shown but the next queued answer is for a Save");
    }
    // The answer stays for the dialog it was meant for.
    EXPECT_EQ(dialogs.ShowSave(QString(), QString(), QString()), QStringLiteral("/tmp/out.txt"));
}

TEST(ScriptedDialogsTest, AnswerOfTheWrongKindInsideALoadStepIsStillRecorded)
{
    // The load-step runner reports any exception and goes on, so the mismatch must not vanish
    // into a "51 Internal error" box: the fixture checks the recorded errors.
    ScriptedDialogs dialogs;
    dialogs.answerColor(std::nullopt);
    EXPECT_FALSE(RunStep(dialogs, [&dialogs] { dialogs.InputBox(QStringLiteral("Date?"), QString(), QString()); }));
    ASSERT_FALSE(dialogs.scriptErrors().isEmpty());
    EXPECT_TRUE(dialogs.scriptErrors()[0].contains(QStringLiteral("InputBox")))
        << dialogs.scriptErrors()[0].toStdString();
}

TEST(CancelAsErrorTest, GivesTheChoiceOrRaisesError32755)
{
    EXPECT_EQ(CancelAsError(std::optional<QString>(QStringLiteral("a.txt"))), QStringLiteral("a.txt"));
    try {
        CancelAsError(std::optional<QColor>());
        FAIL() << "no exception";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 32755);
    }
}

} // namespace
} // namespace kestrel
