// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

#include <array>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace kestrel {

struct OptionsValues;
struct Program;

// The group "Work days" of the page "More Options": whether work days follow the working week
// and holidays, the days of the working week, the holiday calendars (one file a line) and the
// web address of a holiday feed.
class WorkDaysOptionsGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit WorkDaysOptionsGroup(QWidget* parent = nullptr);

    void load(const OptionsValues& values);
    void store(OptionsValues& values) const;

    QCheckBox* useHolidaysBox() const { return m_useHolidays; }
    // Monday first, as the working week is written.
    QCheckBox* weekdayBox(int mondayFirst) const { return m_days.at(static_cast<std::size_t>(mondayFirst)); }
    QPlainTextEdit* holidayFilesEdit() const { return m_files; }
    QLineEdit* holidayFeedEdit() const { return m_feed; }

private:
    QCheckBox* m_useHolidays;
    std::array<QCheckBox*, 7> m_days{};
    QPlainTextEdit* m_files;
    QLineEdit* m_feed;
};

// Apply's part for the work days: the holiday calendars' keys ("Holiday FileCount" and
// "Holiday File1"...) when the list changed, then the holiday cache built again and the work-day
// rule loaded.
void ApplyWorkDaysOptions(Program& program, const OptionsValues& values);

} // namespace kestrel
