// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Steps.h"

#include "RuntimeError.h"
#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kestrel {
namespace {

TEST(RunStepTest, ReportsTheErrorInAPlainBoxAndLetsTheLoadGoOn)
{
    ScriptedDialogs dialogs;
    int stepsRun = 0;
    EXPECT_FALSE(RunStep(dialogs, [&] {
        ++stepsRun;
        throw RuntimeError(RuntimeError::Overflow);
    }));
    EXPECT_FALSE(RunStep(dialogs, [] { throw std::out_of_range("index"); }));
    EXPECT_FALSE(RunStep(dialogs, [] { throw 42; }));
    EXPECT_TRUE(RunStep(dialogs, [&] { ++stepsRun; }));
    EXPECT_EQ(stepsRun, 2);
    EXPECT_EQ(dialogs.messages(), (QStringList{"6 Overflow", "51 Internal error", "51 Internal error"}));
    EXPECT_EQ(dialogs.shown()[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(dialogs.shown()[0].icon, Dialogs::Icon::None);
}

TEST(RunStepTest, NeverLetsAnExceptionEscapeEvenFromTheReport)
{
    ScriptedDialogs dialogs;
    dialogs.answerColor(std::nullopt); // the report's message box meets an answer of the wrong kind
    bool finished = true;
    EXPECT_NO_THROW(finished = RunStep(dialogs, [] { throw RuntimeError(RuntimeError::FileNotFound); }));
    EXPECT_FALSE(finished);
}

} // namespace
} // namespace kestrel
