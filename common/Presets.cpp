#include "Presets.h"

#include "DateServices.h"

#include <cmath>

namespace kestrel {

std::string MonthAbbreviation(double month)
{
    if (month < 1 || month > 12 || month != std::floor(month)) {
        return {};
    }
    return MonthName(static_cast<int>(month), true);
}

std::string MonthAbbreviation(std::string_view month)
{
    return MonthAbbreviation(ValFromText(month));
}

std::string TargetDateText(std::string_view month, std::string_view day, std::string_view year)
{
    std::string text = MonthAbbreviation(month);
    text += ' ';
    text += day;
    text += ", ";
    text += year;
    return text;
}

} // namespace kestrel
