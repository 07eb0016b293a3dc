#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// "Jan" to "Dec" for a month number 1 to 12, given as a number or as a text holding one
// ("12", " 3"); an empty text for anything else (0, 13, 1.5, a text with no number).
std::string MonthAbbreviation(std::string_view month);
std::string MonthAbbreviation(double month);

// The target date as the user sees it, built from the three stored texts as they are:
// "Jan 1, 2000" from month "1", day "1" and year "2000".
std::string TargetDateText(std::string_view month, std::string_view day, std::string_view year);

} // namespace kestrel
