// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionsDialog.h"

#include "CalendarShare.h"

#include "Autostart.h"
#include "DeskCalendarModel.h"
#include "ICalendar.h"
#include "IndexTab.h"
#include "Notices.h"
#include "OwnFiles.h"
#include "Holidays.h"
#include "Program.h"
#include "WorkDaysOptions.h"
#include "Presets.h"
#include "Steps.h"
#include "TrayIcon.h"
#include "Units.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <array>
#include <functional>
#include <string>

namespace kestrel {

namespace {

constexpr const char* kMilestoneFilter = "Text files(*.txt);|*.txt|All files|*.*";
constexpr const char* kBadTargetTimeMessage =
    "The target time must be a time of day written as H:MM or HH:MM (24-hour), such as 17:00. "
    "Leave it empty to count to midnight at the start of the target day.";
constexpr const char* kBadRemindDaysMessage =
    "Reminders take whole numbers of days from 1 to 3660 separated by commas, such as 30,7,1. "
    "Leave the box empty for no reminders.";
// The preset chosen for the user on a first run.
constexpr const char* kFirstRunPreset = "Next New Year";

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QString BoolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QPushButton* NewButton(const char* caption, OptionsDialog::Button which, QDialogButtonBox* box,
                       QDialogButtonBox::ButtonRole role)
{
    QPushButton* button = box->addButton(QString::fromLatin1(caption), role);
    button->setObjectName(QStringLiteral("Command1"));
    button->setProperty("Index", static_cast<int>(which));
    return button;
}

} // namespace

namespace {

// The screensaver's countdown lives in KESTREL.INI, whichever countdown's options set it; it is
// written only when it changed, so that a file gains the key only for a user who chooses.
void WriteScreensaverCountdown(Program& program, const QString& name)
{
    if (name.isEmpty() || program.countdowns.settingsFile.empty()) {
        return;
    }
    SettingsFile main(program.countdowns.settingsFile);
    const std::optional<CountdownPlace> shown =
        FindCountdown(program.countdowns, ReadSetting(main, setting::ScreensaverCountdown));
    const std::string current = shown ? shown->name : std::string(kDefaultCountdownName);
    if (name.toStdString() == current) {
        return;
    }
    if (SameSettingsFile(main.path(), program.settings.path())) {
        program.write(setting::ScreensaverCountdown, name);
        return;
    }
    const SettingWrite entry{setting::ScreensaverCountdown.section, setting::ScreensaverCountdown.key,
                             name.toStdString()};
    if (const std::optional<RuntimeError> error = main.WriteSettings({&entry, 1})) {
        program.dialogs.MsgBox(SettingsWriteFailedMessage(*error, main.path()), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical, QString::fromLatin1(kProgramName));
    }
}

} // namespace

OptionsValues OptionsFromSettings(const Program& program)
{
    const ProgramSettings& s = program.ProgramSettings;
    OptionsValues v;
    v.settings = s;
    v.targetDateText = Text(TargetDateText(s.TargetMonth, s.TargetDay, s.TargetYear));
    v.companyLogo = CompanyLogo(program);
    v.notifications = ReadNoticeMemory(program.settings).enabled;
    v.calendarFile = program.read(setting::CalendarFile);
    v.calendarUrl = program.read(setting::CalendarUrl);
    v.calendarUser = program.read(setting::CalendarUser);
    v.shareMilestones = IsTrueText(program.read(setting::ShareMilestones).toStdString());
    v.remindDays = program.read(setting::RemindDaysBefore);
    v.milestoneRemindDays = program.read(setting::MilestoneRemindDaysBefore);
    v.startAtLogin = !program.autostartEntry.empty() && AutostartEnabled(program.autostartEntry);
    if (!program.countdowns.settingsFile.empty()) {
        const SettingsFile main(program.countdowns.settingsFile);
        const std::optional<CountdownPlace> shown =
            FindCountdown(program.countdowns, ReadSetting(main, setting::ScreensaverCountdown));
        v.screensaverCountdown = QString::fromStdString(shown ? shown->name : std::string(kDefaultCountdownName));
        for (const CountdownPlace& countdown : ListCountdowns(program.countdowns)) {
            v.countdownNames.append(QString::fromStdString(countdown.name));
        }
    }
    v.keepRunningInTray = IsTrueText(program.read(setting::KeepRunningInTray).toStdString());
    v.trayAvailable = TrayAvailable();
    for (const std::string& file : HolidayFiles(program.settings)) {
        v.holidayFiles.append(QString::fromStdString(file));
    }
    return v;
}

void ApplyOptions(Program& program, const OptionsValues& v)
{
    // Every key of one Apply goes to the settings file in one replace.
    const SettingsAction action(program);
    const int currentYear = Year(GetPresentDate(program.clock));
    const auto step = [&program](const std::function<void()>& work) { RunStep(program.dialogs, work); };

    // The target date comes from its text; when the text is no date, its three keys keep their
    // values and the rest is stored all the same.
    ProgramSettings next = v.settings;
    bool targetRead = false;
    step([&] {
        const DateParts target = SplitDate(GetDateValue(v.targetDateText.toStdString(), currentYear));
        SetTargetDay(next, target.year, target.month, target.day);
        targetRead = true;
    });
    for (const ProgramField& field : kProgramFields) {
        if (!IsTargetDayField(field) || targetRead) {
            step([&] { program.set(field.key, FieldText(next, field)); });
        }
    }
    for (std::size_t unit = 0; unit < kUnitKeys.size(); ++unit) {
        for (const bool after : {false, true}) {
            step([&] { program.setUnitText(unit, after, UnitTextField(next, unit, after)); });
        }
    }
    // The company text has no field: the toolbar reads it from the file at each load.
    step([&] { program.write(setting::CompanyLogo, v.companyLogo); });
    step([&] {
        const bool enabled = ReadNoticeMemory(program.settings).enabled;
        program.write(setting::NotificationsEnabled, BoolText(v.notifications), BoolText(enabled));
    });
    step([&] { program.write(setting::CalendarFile, v.calendarFile, program.read(setting::CalendarFile)); });
    // The reminders and the shared calendar: each key written only when it changed.
    for (const auto& entry :
         {std::pair{setting::RemindDaysBefore, v.remindDays},
          std::pair{setting::MilestoneRemindDaysBefore, v.milestoneRemindDays},
          std::pair{setting::CalendarUrl, v.calendarUrl}, std::pair{setting::CalendarUser, v.calendarUser},
          std::pair{setting::ShareMilestones, BoolText(v.shareMilestones)}}) {
        step([&] { program.write(entry.first, entry.second, program.read(entry.first)); });
    }
    step([&] {
        const bool keeping = IsTrueText(program.read(setting::KeepRunningInTray).toStdString());
        program.write(setting::KeepRunningInTray, BoolText(v.keepRunningInTray), BoolText(keeping));
    });
    step([&] {
        if (auto write = PersonalDateWrite(v.presetText.toStdString(), v.targetDateText.toStdString(), currentYear)) {
            program.write(std::move(*write));
        }
    });
    step([&] { WriteScreensaverCountdown(program, v.screensaverCountdown); });
    step([&] {
        if (!program.autostartEntry.empty() && v.startAtLogin != AutostartEnabled(program.autostartEntry)) {
            SetAutostart(program.autostartEntry, v.startAtLogin, program.programPath, program.countdownName);
        }
    });
    step([&] { ApplyWorkDaysOptions(program, v); });
}

// ---------------------------------------------------------------------------------------------

OptionsDialog::OptionsDialog(Program& program)
    : QDialog(program.windows.find(QString::fromLatin1(kToolBarName))), m_program(program),
      m_life(program, *this, kOptionsName)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Countdown Options"));
    setModal(true);
    setSizeGripEnabled(true);

    auto* menu = new QMenuBar(this);
    m_exit = menu->addAction(QStringLiteral("&Exit"));
    m_exit->setObjectName(QStringLiteral("mnuClose"));
    connect(m_exit, &QAction::triggered, this, &QDialog::reject);

    m_pages = new IndexTab(this);
    m_pages->setObjectName(QStringLiteral("VideoSoftIndexTab1"));
    m_pages->addPageKeys();
    m_pages->setCaptions(
        QStringLiteral("Countdown Options|Project Planning Options|Web/Text file Options|More Options"));
    m_countdown = new CountdownOptionsPage;
    m_project = new ProjectPlanningPage;
    m_file = new FileOptionsPage;
    m_more = new MoreOptionsPage;
    m_pages->page(static_cast<int>(Page::Countdown))->layout()->addWidget(m_countdown);
    m_pages->page(static_cast<int>(Page::Project))->layout()->addWidget(m_project);
    m_pages->page(static_cast<int>(Page::File))->layout()->addWidget(m_file);
    // The page of added choices grows with each of them: it scrolls rather than make the dialog
    // taller than a small screen.
    auto* moreScroll = new QScrollArea;
    moreScroll->setObjectName(QStringLiteral("scrollMoreOptions"));
    moreScroll->setAccessibleName(QStringLiteral("More Options"));
    moreScroll->setWidgetResizable(true);
    moreScroll->setFrameShape(QFrame::NoFrame);
    moreScroll->setWidget(m_more);
    m_pages->page(static_cast<int>(Page::More))->layout()->addWidget(moreScroll);
    m_pages->setCurrentTab(static_cast<int>(Page::Countdown));
    // Every tab caption shows whole; the dialog is never narrower than its tabs.
    m_pages->tabBar()->setUsesScrollButtons(false);
    m_file->textPages()->tabBar()->setUsesScrollButtons(false);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = NewButton("&Ok", Button::Ok, buttons, QDialogButtonBox::AcceptRole);
    m_cancel = NewButton("Cancel", Button::Cancel, buttons, QDialogButtonBox::RejectRole);
    m_apply = NewButton("&Apply", Button::Apply, buttons, QDialogButtonBox::ApplyRole);
    m_ok->setDefault(true);
    m_cancel->setAutoDefault(false);
    m_apply->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttons);

    for (const Button which : {Button::Ok, Button::Cancel, Button::Apply, Button::Browse}) {
        connect(button(which), &QPushButton::clicked, this, [this, which] { pressButton(which); });
    }
    connect(m_countdown, &CountdownOptionsPage::presetChosen, this, &OptionsDialog::presetChosen);
    connect(m_countdown, &CountdownOptionsPage::pickerRequested, this, &OptionsDialog::openPicker);
    connect(m_countdown, &CountdownOptionsPage::datePicked, this, &OptionsDialog::datePicked);

    load();
    m_countdown->presetBox()->setFocus(Qt::OtherFocusReason);
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::load()
{
    ShowBusyPointer();
    Dialogs& dialogs = m_program.dialogs;
    RunStep(dialogs, [this] { m_life.load(); });
    OptionsValues v;
    RunStep(dialogs, [&] { v = OptionsFromSettings(m_program); });
    RunStep(dialogs, [&] { m_countdown->load(v); });
    RunStep(dialogs, [&] { m_file->load(v); });
    RunStep(dialogs, [&] { m_project->load(v); });
    RunStep(dialogs, [&] { m_more->load(v); });
    ShowArrowPointer();
}

void OptionsDialog::prepareFirstRun()
{
    m_pages->setCurrentTab(static_cast<int>(Page::Countdown));
    QComboBox* presets = m_countdown->presetBox();
    presets->setCurrentIndex(presets->findText(QString::fromLatin1(kFirstRunPreset)));
    presetChosen();
    m_ok->setFocus(Qt::OtherFocusReason);
}

OptionsValues OptionsDialog::values() const
{
    OptionsValues v;
    m_countdown->store(v);
    m_project->store(v);
    m_file->store(v);
    m_more->store(v);
    return v;
}

QPushButton* OptionsDialog::button(Button which) const
{
    switch (which) {
    case Button::Cancel:
        return m_cancel;
    case Button::Apply:
        return m_apply;
    case Button::Browse:
        return m_project->browseButton();
    case Button::Ok:
        return m_ok;
    }
    return nullptr;
}

void OptionsDialog::pressButton(Button which)
{
    if (which == Button::Browse) {
        browseMilestoneFile();
        return;
    }
    ShowBusyPointer();
    if (which == Button::Cancel) {
        reject();
    } else if (apply() && which == Button::Ok) {
        accept();
    }
    ShowArrowPointer();
}

bool OptionsDialog::apply()
{
    const OptionsValues v = values();
    const OwnFilePaths own{m_program.settings.path(), MilestoneFilePath(v.settings, m_program.dataDirectory),
                           v.settings.CountDownFile, v.calendarFile.toStdString()};
    // Continuous saving would overwrite another file with the countdown line.
    if (const std::optional<OwnFile> clash = OwnFileAt(own.countdown, own, OwnFile::Countdown)) {
        refuse(CountdownFileClashMessage(own.countdown, *clash), QStringLiteral("Countdown Options"), Page::File,
               m_file->countdownFileEdit());
        return false;
    }
    // The next milestone Apply would replace another file with milestone lines.
    if (const std::optional<OwnFile> clash = OwnFileAt(own.milestones, own, OwnFile::Milestones)) {
        refuse(MilestoneFileClashMessage(own.milestones, *clash), QStringLiteral("Project Planning Options"),
               Page::Project, m_project->milestoneFileEdit());
        return false;
    }
    // Two countdowns never write one file.
    if (!m_program.countdowns.settingsFile.empty()) {
        if (const std::optional<std::string> shared =
                SharedFileProblem(m_program.countdowns, m_program.settings.path(), own)) {
            refuse(*shared, QStringLiteral("Countdown Options"), Page::File, m_file->countdownFileEdit());
            return false;
        }
    }
    // A time of day the count cannot run to: one message, and nothing is stored until it is mended.
    if (!v.settings.TargetTime.empty() && !TargetTimeOfDay(v.settings.TargetTime)) {
        ShowArrowPointer();
        m_program.dialogs.MsgBox(QString::fromLatin1(kBadTargetTimeMessage), Dialogs::Buttons::Ok,
                                 Dialogs::Icon::Exclamation, QStringLiteral("Countdown Options"));
        m_pages->setCurrentTab(static_cast<int>(Page::Countdown));
        m_countdown->targetTimeEdit()->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // Reminders on days that are no number of days: one message, as for the time.
    for (QLineEdit* days : {m_more->remindDaysEdit(), m_more->milestoneRemindDaysEdit()}) {
        if (!ReadRemindDays(days->text().trimmed().toStdString()).allRead) {
            refuse(kBadRemindDaysMessage, QStringLiteral("Countdown Options"), Page::More, days);
            return false;
        }
    }
    // An address the password must not go to, or one that holds a password itself: nothing is
    // stored, so that a pasted password never reaches the settings file.
    if (!v.calendarUrl.isEmpty()) {
        if (const std::optional<std::string> problem = CalendarAddressProblem(v.calendarUrl.toStdString())) {
            refuse(*problem, QStringLiteral("Countdown Options"), Page::More, m_more->calendarUrlEdit());
            return false;
        }
    }
    ApplyOptions(m_program, v);
    if (!v.calendarPassword.isEmpty()) {
        const QString problem = SavePassword(v.calendarUser, v.calendarUrl, v.calendarPassword);
        if (!problem.isEmpty()) {
            ShowArrowPointer();
            m_program.dialogs.MsgBox(QStringLiteral("The calendar's password could not be saved: %1.").arg(problem),
                                     Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation,
                                     QStringLiteral("Countdown Options"));
        } else {
            m_more->calendarPasswordEdit()->clear();
        }
    }
    if (v.shareMilestones && m_program.sharedCalendar != nullptr) {
        m_program.sharedCalendar->start(SharedCalendarSync::Asked::ByTheUser);
    }
    return true;
}

void OptionsDialog::refuse(const std::string& message, const QString& title, Page page, QWidget* control)
{
    ShowArrowPointer();
    m_program.dialogs.MsgBox(QString::fromStdString(message), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, title);
    m_pages->setCurrentTab(static_cast<int>(page));
    control->setFocus(Qt::OtherFocusReason);
}

void OptionsDialog::browseMilestoneFile()
{
    // No hourglass here: the user points at folders and files in the save-as dialog.
    RunStep(m_program.dialogs, [this] {
        QLineEdit* file = m_project->milestoneFileEdit();
        if (const auto chosen = m_program.dialogs.ShowSave(file->text(), QString::fromLatin1(kMilestoneFilter))) {
            file->setText(*chosen);
        }
    });
}

void OptionsDialog::presetChosen()
{
    RunStep(m_program.dialogs, [this] {
        const PresetServices services{
            m_program.clock, m_program.settings,
            [this](std::string_view prompt, std::string_view title, std::string_view offered) {
                return m_program.dialogs
                    .InputBox(QString::fromUtf8(prompt.data(), static_cast<qsizetype>(prompt.size())),
                              QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                              QString::fromUtf8(offered.data(), static_cast<qsizetype>(offered.size())))
                    .toStdString();
            }};
        QLineEdit* target = m_countdown->targetDateEdit();
        const QString preset = m_countdown->presetText();
        const PresetChoice choice = SelectPresetTarget(preset.toStdString(), target->text().toStdString(), services);
        target->setText(Text(choice.targetDateText));
        // A failed personal entry blanks the box, so that Apply remembers nothing for it. The
        // empty text is no preset, so the change asks nothing further.
        if (Text(choice.presetText) != preset) {
            m_countdown->setPresetText(Text(choice.presetText));
        }
    });
}

void OptionsDialog::openPicker()
{
    RunStep(m_program.dialogs, [this] {
        const DateValue now = GetPresentDate(m_program.clock);
        const std::string text = m_countdown->targetDateEdit()->text().toStdString();
        // A target date text that is no date (emptied through the box's own menu) shows today.
        const DateValue shown = IsDate(text, Year(now)) ? GetDateValue(text, Year(now)) : now;
        m_countdown->showPicker(shown);
    });
}

void OptionsDialog::datePicked(DateValue date)
{
    m_countdown->targetDateEdit()->setText(QString::fromStdString(Format(date, "mmm d, yyyy")));
    m_countdown->hidePicker();
}

void OptionsDialog::done(int result)
{
    unload();
    QDialog::done(result);
}

void OptionsDialog::unload()
{
    if (!m_life.loaded()) {
        return;
    }
    m_life.unload();
    // The desk calendar turns to the target's month. A target that names no month leaves the
    // calendar where it is; the calendar reports that target itself when it fills its days.
    try {
        const ProgramSettings& s = m_program.ProgramSettings;
        m_program.calendarMonth = MonthFromTexts(s.TargetYear, s.TargetMonth);
    } catch (const RuntimeError&) {}
}

} // namespace kestrel
