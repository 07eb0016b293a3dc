// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeskCalendarModel.h"

#include "Countdown.h"
#include "DateCalendar.h"
#include "WorkDays.h"

#include <cmath>
#include <cstdlib>

namespace kestrel {

namespace {

// A date part as the settings file holds it: the leading number of the text, rounded halves to
// even, within the 16-bit range (error 6 otherwise).
long long Part(const std::string& text)
{
    return ToInt16(ValFromText(text));
}

} // namespace

CalendarTarget CalendarTargetFrom(const std::string& year, const std::string& month, const std::string& day,
                                  const std::string& type, std::shared_ptr<const WorkCalendar> workCalendar)
{
    CalendarTarget target;
    target.date = PackDate(Part(year), Part(month), Part(day));
    // The same rule as the countdown line.
    target.workDays = CountsWorkDays(type);
    target.typeText = type;
    target.workCalendar = std::move(workCalendar);
    return target;
}

std::string DayCell::dayCaption() const
{
    if (day == 0) {
        return {};
    }
    return milestone > 0 ? std::to_string(milestone) + " " + std::to_string(day) : std::to_string(day);
}

std::string DayCell::countCaption() const
{
    return count ? std::to_string(*count) : std::string();
}

YearMonth MonthFromTexts(const std::string& year, const std::string& month)
{
    const DateValue first = PackDate(Part(year), Part(month), 1);
    return {Year(first), Month(first)};
}

MonthGrid FillMonth(YearMonth month, const std::optional<CalendarTarget>& target, const MilestoneTable& table,
                    DateValue today)
{
    MonthGrid grid;
    const DateValue first = PackDate(month.year, month.month, 1);
    grid.month = {Year(first), Month(first)};
    grid.title = MonthName(grid.month.month, false) + "  " + std::to_string(grid.month.year);

    const int firstWeekday = Weekday(first);
    // Counted within the month, so that December 9999 needs no day after it.
    const long long days = calendar::DaysInMonth(grid.month.year, static_cast<unsigned>(grid.month.month));
    const long long firstDay = DayNumber(first);
    const long long todayNumber = DayNumber(today);
    const bool hasTarget = target.has_value();
    const long long targetNumber = hasTarget ? DayNumber(target->date) : 0;
    const bool workDays = target && target->workDays;
    // With a working week: the count of a day is minus the work days from it to the target.
    const WorkCalendar* calendar =
        target && target->workCalendar && target->workCalendar->usesHolidays() ? target->workCalendar.get() : nullptr;

    // The count of the first counted day: days to the target, or work days from the month's
    // start (a month starting on Sunday counts from the 2nd).
    long long count = 0;
    if (target && workDays && calendar != nullptr) {
        count = -calendar->workDays(firstDay, DayOf(target->date));
    } else if (target && workDays) {
        const DateValue base = firstWeekday == 1 ? DateAdd("d", 1, first) : first;
        count = -WorkDayCount(base, target->date);
    } else if (target) {
        count = -DateDiff("d", first, target->date);
    }

    bool outOfRange = false;
    std::optional<long long> todayCount;
    for (int i = 0; i < kGridCells; ++i) {
        const long long d = i - (firstWeekday - 1) + 1;
        if (i < firstWeekday - 1 || d > days) {
            continue;
        }
        DayCell& cell = grid.cells[static_cast<std::size_t>(i)];
        cell.day = static_cast<int>(d);
        const long long dayNumber = firstDay + d - 1;
        const int weekday = i % 7 + 1;
        const bool counted =
            target && (!workDays || (calendar != nullptr ? calendar->worked(dayNumber) : weekday >= 2 && weekday <= 6));
        if (counted) {
            if (count < INT16_MIN || count > INT16_MAX) {
                outOfRange = true;
            } else {
                cell.count = static_cast<std::int16_t>(count);
            }
            ++count;
        }
        cell.today = dayNumber == todayNumber;
        cell.target = hasTarget && dayNumber == targetNumber;
        if (cell.today && target) {
            // The count of today, or on a weekend in work days the count of the work day before.
            todayCount = count - 1;
        }
        if (calendar != nullptr) {
            if (const std::optional<std::string_view> holiday = calendar->holidayOn(dayNumber)) {
                cell.holiday = std::string(*holiday);
            }
        }
        if (const std::optional<int> position = table.FindMilestoneOnDay(dayNumber)) {
            cell.milestone = *position;
            cell.note = table.at(*position).text;
            ++grid.marksInMonth;
        }
    }
    if (outOfRange) {
        // A month partly outside the 16-bit range shows its days without counts.
        for (DayCell& cell : grid.cells) {
            cell.count.reset();
        }
        grid.overflow = RuntimeError(RuntimeError::Overflow);
    }
    if (todayCount) {
        // A month without counts says so, as the toolbar's countdown line does.
        grid.todayCaption = "T-" +
                            (outOfRange ? std::string(kOutOfRangeMark) : std::to_string(std::llabs(*todayCount))) +
                            " " + target->typeText + " Countdown Calendar";
    }
    return grid;
}

ChosenDay ChosenDayFromCaption(const std::string& caption)
{
    ChosenDay chosen;
    if (caption.size() > 2) {
        chosen.day = static_cast<int>(ValFromText(caption.substr(caption.size() - 2)));
        chosen.milestone = static_cast<int>(ValFromText(caption.substr(0, caption.size() - 2)));
    } else {
        chosen.day = static_cast<int>(ValFromText(caption));
    }
    return chosen;
}

std::string MonthTabCaption(int month)
{
    static constexpr const char* kCaptions[12] = {"&January",   "&February", "&March",    "&April",
                                                  "Ma&y",       "&June",     "J&uly",     "Au&gust",
                                                  "&September", "&October",  "&November", "&December"};
    return month >= 1 && month <= 12 ? kCaptions[month - 1] : std::string();
}

MonthStrips StripsForMonth(int month)
{
    MonthStrips strips;
    for (int t = 0; t < 12; ++t) {
        const int m = t + 1;
        strips.left[static_cast<std::size_t>(t)] = m < month ? MonthTabCaption(m) : "-";
        strips.right[static_cast<std::size_t>(t)] = m >= month ? MonthTabCaption(m) : "-";
    }
    strips.rightCurrent = month - 1;
    return strips;
}

YearMonth PreviousMonth(YearMonth month)
{
    return month.month == 1 ? YearMonth{month.year - 1, 12} : YearMonth{month.year, month.month - 1};
}

YearMonth NextMonth(YearMonth month)
{
    return month.month == 12 ? YearMonth{month.year + 1, 1} : YearMonth{month.year, month.month + 1};
}

std::variant<YearMonth, std::string> JumpFrom(YearMonth shown, Jump jump, const JumpContext& context)
{
    switch (jump) {
    case Jump::PreviousMonth:
        return PreviousMonth(shown);
    case Jump::NextMonth:
        return NextMonth(shown);
    case Jump::Today: {
        const DateParts today = SplitDate(context.today);
        return YearMonth{today.year, today.month};
    }
    case Jump::PreviousYear:
        return YearMonth{shown.year - 1, 1};
    case Jump::NextYear:
        return YearMonth{shown.year + 1, 1};
    case Jump::Target:
        return MonthFromTexts(context.targetYear, context.targetMonth);
    case Jump::PreviousMilestone:
        if (const auto month = context.milestones.PreviousMilestoneMonth(shown)) {
            return *month;
        }
        return std::string(kNoPreviousMilestone);
    case Jump::NextMilestone:
        if (const auto month = context.milestones.NextMilestoneMonth(shown)) {
            return *month;
        }
        return std::string(kNoNextMilestone);
    }
    return shown;
}

} // namespace kestrel
