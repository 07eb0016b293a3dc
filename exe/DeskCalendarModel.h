// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"
#include "Milestones.h"
#include "RuntimeError.h"
#include "WorkDays.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace kestrel {

// What the desk calendar counts towards: the target day and whether it counts work days.
struct CalendarTarget
{
    DateValue date;
    bool workDays = false;
    std::string typeText = "Days"; // the day type as the settings file holds it, for the caption
    // The working week and the holidays; null for the older rule.
    std::shared_ptr<const WorkCalendar> workCalendar;
};

// The target as the settings hold it; a date that does not pack raises error 5 or 13.
CalendarTarget CalendarTargetFrom(const std::string& year, const std::string& month, const std::string& day,
                                  const std::string& type, std::shared_ptr<const WorkCalendar> workCalendar = nullptr);

// One cell of the six-by-seven grid (columns Sunday to Saturday).
struct DayCell
{
    int day = 0;                       // 0: the cell holds no day and shows nothing
    std::optional<std::int16_t> count; // none: no count shown (a weekend in work days, or overflow)
    int milestone = 0;                 // position in the milestone table, 0 for none
    std::string note;                  // the milestone's text, for the cell's tooltip
    std::string holiday;               // the holiday's name, for the cell's tooltip and its mark
    bool today = false;
    bool target = false;

    // "15", or with a milestone "3 15".
    std::string dayCaption() const;
    // "-31", "0", "5"; empty when no count is shown.
    std::string countCaption() const;
};

inline constexpr int kGridCells = 42;

// What the calendar shows for one month.
struct MonthGrid
{
    YearMonth month;
    std::array<DayCell, kGridCells> cells{};
    std::string title;                       // "December  1999"
    std::optional<std::string> todayCaption; // "T-16 Days Countdown Calendar" when today is in the month
    int marksInMonth = 0;
    // Set when a count of the month leaves the 16-bit range: the month then shows no counts.
    std::optional<RuntimeError> overflow;
};

// Lays out one month: the days in their weekday columns, each with its count towards the target
// (days, or work days with weekends left without a count; with a working week, every day not
// worked and every holiday), today and the target framed, the milestone position of every marked
// day and the holiday of every holiday. Without a target the days show without counts.
MonthGrid FillMonth(YearMonth month, const std::optional<CalendarTarget>& target, const MilestoneTable& table,
                    DateValue today);

// A month given as the texts the settings file and the calendar keep ("1999", "12"); months out
// of 1 to 12 carry into the neighbouring years. Error 5 when it leaves the years 100 to 9999.
YearMonth MonthFromTexts(const std::string& year, const std::string& month);

// The day and milestone position a double-clicked day caption names: "3 15" is day 15 with
// milestone 3, "15" day 15 with none.
struct ChosenDay
{
    int day = 0;
    int milestone = 0;
};
ChosenDay ChosenDayFromCaption(const std::string& caption);

// The month strips for a shown month: the left strip shows the months already turned over
// (captions of months 1 to m - 1, "-" for the rest, no current tab), the right one the shown
// month and those to come, with the shown month's tab current.
struct MonthStrips
{
    std::array<std::string, 12> left;
    std::array<std::string, 12> right;
    int rightCurrent = 0;
};
MonthStrips StripsForMonth(int month);
// "&January" ... "&December", with the access keys the strips use.
std::string MonthTabCaption(int month);

// The jumps: by month, by year and to the months of today or the target.
YearMonth PreviousMonth(YearMonth month);
YearMonth NextMonth(YearMonth month);

// The calendar's eight jump buttons, in the order of their "Index".
enum class Jump
{
    PreviousMonth,
    NextMonth,
    Today,
    PreviousYear,
    NextYear,
    Target,
    PreviousMilestone,
    NextMilestone,
};
inline constexpr int kJumpCount = 8;

// What a jump needs to know besides the shown month.
struct JumpContext
{
    DateValue today;
    std::string targetYear; // as the settings file holds them
    std::string targetMonth;
    const MilestoneTable& milestones;
};
// Where a jump leads from the shown month: a month, or the message shown instead (no milestone
// before or after it). A target the settings cannot make a month of raises error 5 or 13; a month
// outside the years 100 to 9999 raises error 5 when it is shown.
std::variant<YearMonth, std::string> JumpFrom(YearMonth shown, Jump jump, const JumpContext& context);

inline constexpr const char* kFiveMilestonesMessage = "Sorry only 5 Milestones per Month";
inline constexpr const char* kMarkMilestoneMessage = "Double Click any day to Mark/Edit a Milestone";
inline constexpr int kMilestonesPerMonth = 5;

} // namespace kestrel
