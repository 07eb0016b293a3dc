// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"
#include "ReportDocument.h"
#include "WorkDays.h"

#include <QString>

#include <memory>

namespace kestrel {

class MilestoneTable;
struct ProgramSettings;

// The column format of every table of the report: count, date, weekday and notes.
inline constexpr const char* kReportTableFormat = "1800|2000|1800|<3900;";

// What the report is composed from.
struct ReportInputs
{
    DateValue target;     // midnight of the target day
    QString targetType;   // "Days" or "WorkDays", as stored
    QString projectTitle; // may be empty
    const MilestoneTable* milestones = nullptr;
    // The working week and the holidays; null for the older rule.
    std::shared_ptr<const WorkCalendar> workCalendar;
};

// The inputs from the program's settings: the target made of "Target_Year", "Target_Month" and
// "Target_Day" as the countdown reads them (a part out of the 16-bit range raises error 6, a
// date outside the years 100 to 9999 error 5).
ReportInputs ReportInputsOf(const ProgramSettings& settings, const MilestoneTable& milestones);

// "Page 2 of 13".
QString PageLabel(int previewPage, int pageNumber);

// Writes the day-by-day report onto a document: one page per calendar month from the 1st of the
// start month to the target day, each with the project title (when set), the "Countdown to"
// line, the header row and the month's rows, and the milestone of each day beside it. With a
// working week a holiday row shows the holiday's name beside any milestone and, in work days, no
// day that is not worked has a count.
class ReportComposer
{
public:
    ReportComposer(ReportDocument& document, ReportInputs inputs);

    // Writes the whole report from the 1st of the month to the target onto the document, in a
    // document of its own (started and ended here). Counts are 16-bit: a start more than 32768
    // days (or work days) before the target raises error 6 and leaves an empty document.
    void ComposeReport(int year, int month);

    // The pages begun by the last composition, one per month; 0 when the start month begins
    // after the target.
    int pageNumber() const { return m_pageNumber; }

    // Whether the count is in work days, by the same rule as the countdown line and the desk calendar.
    bool workDays() const { return m_workDays; }

private:
    // Begins the next page's heading for the month of the report day.
    void WritePageHeader(DateValue reportDay);
    // Writes the empty line and the month's rows that end a page.
    void finishPage(double fontSize);

    ReportDocument& m_document;
    ReportInputs m_inputs;
    bool m_workDays = false;
    int m_pageNumber = 0;
    TableText m_month;
};

} // namespace kestrel
