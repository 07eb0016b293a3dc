#include "Presets.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(MonthAbbreviationTest, SpellsMonthsByNumericValue)
{
    const struct
    {
        const char* month;
        const char* want;
    } cases[] = {{"1", "Jan"}, {"12", "Dec"}, {" 3", "Mar"}, {"05", "May"}, {"9.0", "Sep"}, {"0", ""},
                 {"13", ""},   {"-1", ""},    {"1.5", ""},   {"", ""},      {"abc", ""},    {"7th", "Jul"}};
    for (const auto& c : cases) {
        EXPECT_EQ(MonthAbbreviation(std::string_view(c.month)), c.want) << c.month;
    }
    EXPECT_EQ(MonthAbbreviation(12.0), "Dec");
    EXPECT_EQ(MonthAbbreviation(13.0), "");
}

TEST(TargetDateTextTest, JoinsTheStoredTextsAsTheyAre)
{
    EXPECT_EQ(TargetDateText("1", "1", "2000"), "Jan 1, 2000");
    EXPECT_EQ(TargetDateText("3", "15", "2028"), "Mar 15, 2028");
    EXPECT_EQ(TargetDateText("13", "01", "x"), " 01, x");
}

} // namespace
} // namespace kestrel
