// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkDaysOptions.h"

#include "Countdown.h"
#include "Holidays.h"
#include "OptionsPages.h"
#include "Program.h"
#include "WorkDays.h"
#include "WorkDaysSetup.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kestrel {

namespace {

// Monday first, as the stored week; the weekday numbers 1 (Sunday) to 7 (Saturday).
constexpr std::array<int, 7> kWeekdays = {2, 3, 4, 5, 6, 7, 1};
constexpr std::array<const char*, 7> kDayCaptions = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

} // namespace

WorkDaysOptionsGroup::WorkDaysOptionsGroup(QWidget* parent)
    : QGroupBox(QStringLiteral("Work days"), parent),
      m_useHolidays(new QCheckBox(QStringLiteral("Count work days by the &working week and holidays"), this)),
      m_files(new QPlainTextEdit(this)), m_feed(new QLineEdit(this))
{
    setObjectName(QStringLiteral("workDaysGroup"));
    m_useHolidays->setObjectName(QStringLiteral("useHolidays"));
    m_files->setObjectName(QStringLiteral("holidayFiles"));
    m_files->setAccessibleName(QStringLiteral("Holiday calendars, one iCalendar file a line"));
    m_files->setTabChangesFocus(true);
    m_files->setFixedHeight(m_files->fontMetrics().lineSpacing() * 4);
    m_feed->setObjectName(QStringLiteral("holidayFeed"));
    m_feed->setPlaceholderText(QStringLiteral("https://"));

    auto* week = new QHBoxLayout;
    for (std::size_t i = 0; i < kDayCaptions.size(); ++i) {
        m_days[i] = new QCheckBox(QString::fromLatin1(kDayCaptions[i]), this);
        m_days[i]->setObjectName(QStringLiteral("workDay") + QString::fromLatin1(kDayCaptions[i]));
        week->addWidget(m_days[i]);
    }
    week->addStretch(1);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Working week:"), week);
    auto* filesLabel = new QLabel(QStringLiteral("Holiday &calendars\n(one file a line):"), this);
    filesLabel->setBuddy(m_files);
    form->addRow(filesLabel, m_files);
    auto* feedLabel = new QLabel(QStringLiteral("Holiday &feed:"), this);
    feedLabel->setBuddy(m_feed);
    form->addRow(feedLabel, m_feed);

    // The week, the calendars and the feed count only with the box checked.
    auto* choices = new QWidget(this);
    choices->setObjectName(QStringLiteral("workDaysChoices"));
    choices->setLayout(form);
    form->setContentsMargins(0, 0, 0, 0);
    choices->setEnabled(false);
    connect(m_useHolidays, &QCheckBox::toggled, choices, &QWidget::setEnabled);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_useHolidays);
    layout->addWidget(choices);
}

void WorkDaysOptionsGroup::load(const OptionsValues& values)
{
    m_useHolidays->setChecked(IsTrueText(values.settings.UseHolidays));
    const WorkingWeek week = ReadWorkingWeek(values.settings.WorkWeek).value_or(WorkingWeek{});
    for (std::size_t i = 0; i < kWeekdays.size(); ++i) {
        m_days[i]->setChecked(week.works(kWeekdays[i]));
    }
    m_files->setPlainText(values.holidayFiles.join(QLatin1Char('\n')));
    m_feed->setText(QString::fromStdString(values.settings.HolidayFeed));
}

void WorkDaysOptionsGroup::store(OptionsValues& values) const
{
    values.settings.UseHolidays = m_useHolidays->isChecked() ? "True" : "False";
    WorkingWeek week{0};
    for (std::size_t i = 0; i < kWeekdays.size(); ++i) {
        if (m_days[i]->isChecked()) {
            week.days = static_cast<std::uint8_t>(week.days | (1U << (kWeekdays[i] - 1)));
        }
    }
    values.settings.WorkWeek = WorkingWeekText(week);
    values.holidayFiles.clear();
    for (const QString& line : m_files->toPlainText().split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty()) {
            values.holidayFiles.append(line.trimmed());
        }
    }
    values.settings.HolidayFeed = m_feed->text().trimmed().toStdString();
}

void ApplyWorkDaysOptions(Program& program, const OptionsValues& values)
{
    QStringList stored;
    for (const std::string& file : HolidayFiles(program.settings)) {
        stored.append(QString::fromStdString(file));
    }
    if (stored != values.holidayFiles) {
        program.write(setting::HolidayFileCount, QString::number(values.holidayFiles.size()));
        for (qsizetype i = 0; i < values.holidayFiles.size(); ++i) {
            program.write(kWorkDaysSection, QLatin1String(setting::kHolidayFileKeyPrefix) + QString::number(i + 1),
                          values.holidayFiles[i]);
        }
    }
    std::vector<std::string> files;
    for (const QString& file : values.holidayFiles) {
        files.push_back(file.toStdString());
    }
    RefreshWorkDays(program, true, files);
}

} // namespace kestrel
