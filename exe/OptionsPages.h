// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"
#include "ProgramSettings.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrel {

class IndexTab;
class MonthView;
class WorkDaysOptionsGroup;

// What the controls of the options dialog hold: the texts that Apply stores.
struct OptionsValues
{
    QString presetText;
    QString targetDateText;
    // The program's settings as the controls hold them; Apply stores every field of the settings
    // table but the target date, which comes from targetDateText.
    ProgramSettings settings;
    QString companyLogo;
    // Desktop notifications at zero and on milestone days (section "Notifications").
    bool notifications = true;
    // The iCalendar file kept up to date with the milestones; empty for none.
    QString calendarFile;
    // Kestrel starts with the desktop session: what the autostart entry on disk says.
    bool startAtLogin = false;
    // The days before the target and before each milestone that reminders come, as typed
    // ("Remind Days Before", "Milestone Remind Days Before").
    QString remindDays;
    QString milestoneRemindDays;
    // The team's shared calendar (section "Shared Calendar"); the password typed goes only to
    // the desktop's secret store, never to the settings file.
    QString calendarUrl;
    QString calendarUser;
    QString calendarPassword;
    bool shareMilestones = false;
    // The countdown the screensaver shows (section "Screensaver" of KESTREL.INI), and the
    // countdowns there are to choose from; no choice when the list is empty.
    QString screensaverCountdown;
    QStringList countdownNames;
    // "Keep running in the tray when the toolbar is closed", and whether the desktop has a tray.
    bool keepRunningInTray = false;
    bool trayAvailable = false;
    // The holiday calendars ("Holiday File1", ...), in order.
    QStringList holidayFiles;
};

// Makes a text box or a drop-down box ignore typing: keys that would change its text do nothing,
// while moving about, copying, the access keys and the list's own keys keep working. Its value
// then comes only from its list, the presets and the month picker.
void SwallowTyping(QWidget* control);

// The page "Countdown Options": the target date (preset box, target date text, "&Cal..." and the
// month picker shown over the page) and the count format and day type.
class CountdownOptionsPage : public QWidget
{
    Q_OBJECT
public:
    explicit CountdownOptionsPage(QWidget* parent = nullptr);

    void load(const OptionsValues& values);
    void store(OptionsValues& values) const;

    QComboBox* presetBox() const { return m_presets; }
    QLineEdit* targetDateEdit() const { return m_targetDate; }
    // The target's time of day, "H:MM" or "HH:MM"; empty for midnight.
    QLineEdit* targetTimeEdit() const { return m_targetTime; }
    QComboBox* CboCountOptions() const { return m_captionOptions; }
    QComboBox* dayTypeBox() const { return m_dayTypes; }
    MonthView* MonthView1() const { return m_picker; }

    // The preset box's text as the presets read it; setting it empty leaves no item chosen.
    QString presetText() const;
    void setPresetText(const QString& text);

    // Shows the month picker over the page at `date`, or hides it.
    void showPicker(DateValue date);
    void hidePicker();

signals:
    // The user chose a preset from the list or changed the preset box's text another way.
    void presetChosen();
    // "&Cal..." or a click on the target date text.
    void pickerRequested();
    // The user clicked a date in the month picker.
    void datePicked(kestrel::DateValue date);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placePicker();

    QComboBox* m_presets;
    QLineEdit* m_targetDate;
    QLineEdit* m_targetTime;
    QPushButton* m_calendar;
    QComboBox* m_captionOptions;
    QComboBox* m_dayTypes;
    MonthView* m_picker;
};

// The page "Project Planning Options": the company text, the project title and the milestone
// file with its "Browse" button.
class ProjectPlanningPage : public QWidget
{
    Q_OBJECT
public:
    explicit ProjectPlanningPage(QWidget* parent = nullptr);

    void load(const OptionsValues& values);
    void store(OptionsValues& values) const;

    QLineEdit* companyEdit() const { return m_company; }
    QLineEdit* milestoneFileEdit() const { return m_milestoneFile; }
    QPushButton* browseButton() const { return m_browse; }
    QCheckBox* notificationsBox() const { return m_notifications; }

private:
    QLineEdit* m_company;
    QLineEdit* m_project;
    QLineEdit* m_milestoneFile;
    QPushButton* m_browse;
    QCheckBox* m_notifications;
};

// The page "Web/Text file Options": the continuous countdown file, whether it is written, and the
// texts around the countdown and its units, on a strip of three inner pages.
class FileOptionsPage : public QWidget
{
    Q_OBJECT
public:
    explicit FileOptionsPage(QWidget* parent = nullptr);

    void load(const OptionsValues& values);
    void store(OptionsValues& values) const;

    QLineEdit* countdownFileEdit() const { return m_saveFile; }
    QCheckBox* continuousSaveBox() const { return m_continuous; }
    QLineEdit* calendarFileEdit() const { return m_calendarFile; }
    IndexTab* textPages() const { return m_texts; }
    // The unit boxes in the settings file's order (YY before, YY after, ... SS after).
    QLineEdit* unitBox(int index) const;

private:
    QLineEdit* m_saveFile;
    QCheckBox* m_continuous;
    IndexTab* m_texts;
    QLineEdit* m_beforeDate;
    QLineEdit* m_afterDate;
    std::array<QLineEdit*, 10> m_units{};
    QLineEdit* m_calendarFile;
};

// The page "More Options", after the three pages above: the choices Kestrel adds to them, such
// as starting with the desktop session.
class MoreOptionsPage : public QWidget
{
    Q_OBJECT
public:
    explicit MoreOptionsPage(QWidget* parent = nullptr);

    void load(const OptionsValues& values);
    void store(OptionsValues& values) const;

    QCheckBox* startAtLoginBox() const { return m_startAtLogin; }
    QCheckBox* countUpBox() const { return m_countUp; }
    QCheckBox* renewYearlyBox() const { return m_renewYearly; }
    QLineEdit* remindDaysEdit() const { return m_remindDays; }
    QLineEdit* milestoneRemindDaysEdit() const { return m_milestoneRemindDays; }
    QLineEdit* calendarUrlEdit() const { return m_calendarUrl; }
    QLineEdit* calendarUserEdit() const { return m_calendarUser; }
    QLineEdit* calendarPasswordEdit() const { return m_calendarPassword; }
    QCheckBox* shareMilestonesBox() const { return m_shareMilestones; }
    QComboBox* screensaverCountdownBox() const { return m_screensaverCountdown; }
    QCheckBox* keepRunningInTrayBox() const { return m_keepRunningInTray; }
    // The line under it that says why it is greyed, shown only when the desktop has no tray.
    QLabel* noTrayLine() const { return m_noTray; }
    WorkDaysOptionsGroup* workDaysGroup() const { return m_workDays; }

private:
    QGroupBox* newRemindersFrame();
    QGroupBox* newSharedCalendarFrame();
    // The group "Screensaver": which countdown kestrel-saver shows.
    QGroupBox* makeScreensaverGroup();
    // The group "Tray": keep running in the tray when the toolbar is closed.
    QGroupBox* buildTrayBox();

    QCheckBox* m_startAtLogin;
    QCheckBox* m_countUp;
    QCheckBox* m_renewYearly;
    QLineEdit* m_remindDays;
    QLineEdit* m_milestoneRemindDays;
    QLineEdit* m_calendarUrl;
    QLineEdit* m_calendarUser;
    QLineEdit* m_calendarPassword;
    QCheckBox* m_shareMilestones;
    QComboBox* m_screensaverCountdown = nullptr;
    QGroupBox* m_screensaverGroup = nullptr;
    QCheckBox* m_keepRunningInTray = nullptr;
    QLabel* m_noTray = nullptr;
    WorkDaysOptionsGroup* m_workDays;
};

} // namespace kestrel
