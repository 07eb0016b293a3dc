// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuntimeError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kestrel {
namespace {

TEST(RuntimeErrorTest, ReportsNumberBlankDescription)
{
    const struct
    {
        int number;
        const char* report;
    } cases[] = {
        {6, "6 Overflow"},
        {13, "13 Type mismatch"},
        {53, "53 File not found"},
        {62, "62 Input past end of file"},
        {70, "70 Permission denied"},
        {75, "75 Path/File access error"},
        {76, "76 Path not found"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RuntimeError(c.number).report(), c.report);
    }
    EXPECT_EQ(RuntimeError(32755, "Cancel").report(), "32755 Cancel");
}

TEST(ToInt16Test, AcceptsTheRangeAndRaisesOverflowOutsideIt)
{
    EXPECT_EQ(ToInt16(32767LL), 32767);
    EXPECT_EQ(ToInt16(-32768LL), -32768);
    for (long long outside : {32768LL, -32769LL, std::numeric_limits<long long>::max()}) {
        try {
            ToInt16(outside);
            FAIL() << outside;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), RuntimeError::Overflow);
        }
    }
}

TEST(ToInt16Test, RoundsHalvesToEven)
{
    EXPECT_EQ(ToInt16(2.5), 2);
    EXPECT_EQ(ToInt16(3.5), 4);
    EXPECT_EQ(ToInt16(-2.5), -2);
    EXPECT_EQ(ToInt16(32767.4), 32767);
    EXPECT_THROW(ToInt16(32767.5), RuntimeError);
    EXPECT_THROW(ToInt16(std::nan("")), RuntimeError);
    EXPECT_THROW(ToInt16(HUGE_VAL), RuntimeError);
}

} // namespace
} // namespace kestrel
