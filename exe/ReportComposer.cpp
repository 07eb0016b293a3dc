// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportComposer.h"

#include "Countdown.h"
#include "Milestones.h"
#include "ProgramSettings.h"
#include "RuntimeError.h"
#include "WorkDays.h"

namespace kestrel {

namespace {

// Font sizes of the report, in points.
constexpr double kTitleSize = 12;
constexpr double kHeaderSize = 10;
constexpr double kMonthRowsSize = 13;
constexpr double kLastMonthRowsSize = 8;

QString Formatted(DateValue day, const char* pattern)
{
    return QString::fromStdString(Format(day, pattern));
}

} // namespace

ReportInputs ReportInputsOf(const ProgramSettings& settings, const MilestoneTable& milestones)
{
    ReportInputs inputs;
    inputs.target = TargetDay(settings);
    inputs.targetType = QString::fromStdString(settings.TargetType);
    inputs.projectTitle = QString::fromStdString(settings.ProjectTitle);
    inputs.milestones = &milestones;
    inputs.workCalendar = settings.workCalendar;
    return inputs;
}

QString PageLabel(int previewPage, int pageNumber)
{
    return QStringLiteral("Page %1 of %2").arg(previewPage).arg(pageNumber);
}

ReportComposer::ReportComposer(ReportDocument& document, ReportInputs inputs)
    : m_document(document), m_inputs(std::move(inputs)), m_workDays(CountsWorkDays(m_inputs.targetType.toStdString()))
{
    m_month.columns = ParseTableText(QString::fromLatin1(kReportTableFormat)).columns;
}

void ReportComposer::WritePageHeader(DateValue reportDay)
{
    ++m_pageNumber;
    m_document.setFontBold(true);
    m_document.setFontSize(kTitleSize);
    if (!m_inputs.projectTitle.isEmpty()) {
        m_document.Paragraph(m_inputs.projectTitle);
        m_document.setFontSize(kHeaderSize);
    }
    m_document.Paragraph(QStringLiteral("Countdown to ") + Formatted(m_inputs.target, "mmmm d,yyyy"));
    m_document.setFontSize(kHeaderSize);
    m_document.setFontBold(true);
    TableText header{m_month.columns,
                     {{m_inputs.targetType, QStringLiteral("Date"), Formatted(reportDay, "mmmm yyyy"),
                       QStringLiteral("Notes/Milestones")}}};
    m_document.Table(header);
    m_document.setFontBold(false);
}

void ReportComposer::finishPage(double fontSize)
{
    m_document.Paragraph(QString());
    m_document.setFontSize(fontSize);
    m_document.Table(m_month);
    m_month.rows.clear();
}

void ReportComposer::ComposeReport(int year, int month)
{
    m_pageNumber = 0;
    m_month.rows.clear();
    m_document.StartDoc();

    const DateValue first = PackDate(year, month, 1);
    const DateValue target = m_inputs.target;
    DateValue base = first;
    if (m_workDays && Weekday(first) == 1) {
        base = DateValue{first.serial + 1}; // a Sunday start counts from the Monday
    }
    const WorkCalendar* calendar =
        m_inputs.workCalendar && m_inputs.workCalendar->usesHolidays() ? m_inputs.workCalendar.get() : nullptr;
    const long long start = !m_workDays           ? -DateDiff("d", first, target)
                            : calendar != nullptr ? -calendar->workDays(DayOf(first), DayOf(target))
                                                  : -WorkDayCount(base, target);
    if (start > 0) {
        m_document.EndDoc(); // the month begins after the target: nothing to write
        return;
    }
    if (start < -32768) {
        m_document.EndDoc(); // the count does not fit 16 bits: an empty report and error 6
        throw RuntimeError(RuntimeError::Overflow);
    }
    int c = ToInt16(start);

    DateValue reportDay = first;
    // With a working week the rows end at the target day, even one that is not worked.
    while (calendar != nullptr ? reportDay.serial <= target.serial : c <= 0) {
        const DateParts parts = SplitDate(reportDay);
        if (parts.day == 1) {
            if (m_pageNumber > 0) {
                finishPage(kMonthRowsSize);
                m_document.NewPage();
            }
            WritePageHeader(reportDay);
        }
        QString notes;
        if (m_inputs.milestones != nullptr) {
            if (const auto position = m_inputs.milestones->FindMilestoneOnDay(DayNumber(reportDay))) {
                notes = QString::fromStdString(m_inputs.milestones->at(*position).text);
            }
        }
        if (calendar != nullptr) {
            if (const std::optional<std::string_view> holiday = calendar->holidayOn(DayOf(reportDay))) {
                const QString name = QString::fromUtf8(holiday->data(), static_cast<qsizetype>(holiday->size()));
                notes = notes.isEmpty() ? name : notes + QStringLiteral("; ") + name;
            }
        }
        const int weekday = Weekday(reportDay);
        QString date = Formatted(reportDay, "mmm dd, yyyy");
        QString dayName = QString::fromStdString(WeekdayName(weekday, false));
        const bool worked = calendar != nullptr ? calendar->worked(DayOf(reportDay)) : weekday != 7 && weekday != 1;
        if (m_workDays && !worked) {
            m_month.rows.push_back({QString(), std::move(date), std::move(dayName), std::move(notes)});
        } else {
            m_month.rows.push_back({QString::number(c), std::move(date), std::move(dayName), std::move(notes)});
            ++c;
        }
        reportDay = DateValue{reportDay.serial + 1};
    }
    finishPage(kLastMonthRowsSize);
    m_document.EndDoc();
}

} // namespace kestrel
