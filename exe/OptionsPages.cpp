// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionsPages.h"

#include "Countdown.h"

#include "CountFormat.h"
#include "IndexTab.h"
#include "MonthView.h"
#include "Notices.h"
#include "Presets.h"
#include "WorkDaysOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace kestrel {

namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// The keys a control that swallows typing still lets through: moving the focus, the dialog's
// own Enter and Escape, moving in the text or the list, and copying.
bool KeepsKey(const QKeyEvent& key)
{
    if (key.matches(QKeySequence::Copy) || key.matches(QKeySequence::SelectAll)) {
        return true;
    }
    if (key.matches(QKeySequence::Cut) || key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Undo) ||
        key.matches(QKeySequence::Redo)) {
        return false;
    }
    switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4: // opens a drop-down list
        return true;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        return false;
    default:
        // Keys that type nothing (Shift, Alt, function keys) change no text.
        return key.text().isEmpty();
    }
}

class TypingSwallower final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && !KeepsKey(*static_cast<QKeyEvent*>(event))) {
            return true;
        }
        if (event->type() == QEvent::InputMethod) {
            return true; // composed characters are typing too
        }
        return QObject::eventFilter(watched, event);
    }
};

QLineEdit* NewTextBox(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// A drop-down box with a text of its own, as the stored value may be one the list lacks.
QComboBox* NewDropDown(const char* name, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert); // Enter must not add the typed text to the list
    box->setCompleter(nullptr);                // the text is stored as typed, not completed
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

// Shows a text in a drop-down box, with its list item chosen when the list has it, so that the
// open list marks it.
void SetComboText(QComboBox* box, const QString& text)
{
    box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    box->setEditText(text);
}

// A label in front of its control; its access key moves the focus there.
QLabel* NewLabel(const char* name, const char* caption, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    // On Linux Qt names a drop-down box by its chosen value and leaves its purpose to the label
    // relation that setBuddy makes; the text box inside it, which takes the keyboard focus, would
    // have no name at all. Both get the label's words, without the access-key mark and colon.
    if (auto* box = qobject_cast<QComboBox*>(buddy); box != nullptr && box->accessibleName().isEmpty()) {
        QString words = QString::fromLatin1(caption);
        words.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
        if (words.endsWith(QLatin1Char(':'))) {
            words.chop(1);
        }
        box->setAccessibleName(words.trimmed());
        if (box->lineEdit() != nullptr) {
            box->lineEdit()->setAccessibleName(words.trimmed());
        }
    }
    return label;
}

QFormLayout* NewForm(QWidget* parent)
{
    auto* form = new QFormLayout(parent);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return form;
}

// Gives the label columns of several forms one width, so that their fields line up.
void AlignLabelColumns(std::initializer_list<QFormLayout*> forms)
{
    int width = 0;
    std::vector<QWidget*> labels;
    for (QFormLayout* form : forms) {
        for (int row = 0; row < form->rowCount(); ++row) {
            if (QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole); item && item->widget()) {
                labels.push_back(item->widget());
                width = std::max(width, item->widget()->sizeHint().width());
            }
        }
    }
    for (QWidget* label : labels) {
        label->setMinimumWidth(width);
    }
}

// A path box wide enough to show an ordinary path whole.
void MakeWide(QLineEdit* box)
{
    box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 52);
}

} // namespace

void SwallowTyping(QWidget* control)
{
    auto* swallower = new TypingSwallower(control);
    control->installEventFilter(swallower);
    if (auto* box = qobject_cast<QComboBox*>(control); box && box->lineEdit()) {
        box->lineEdit()->installEventFilter(swallower);
    }
}

// ---------------------------------------------------------------------------------------------

CountdownOptionsPage::CountdownOptionsPage(QWidget* parent)
    : QWidget(parent), m_presets(NewDropDown("cboSpecialDates", this)), m_targetDate(NewTextBox("txtTargetDate", this)),
      m_targetTime(NewTextBox("txtTargetTime", this)), m_calendar(new QPushButton(QStringLiteral("&Cal..."), this)),
      m_captionOptions(NewDropDown("CboCountOptions", this)), m_dayTypes(NewDropDown("cboTypeOfCalculation", this)),
      m_picker(new MonthView(this))
{
    setObjectName(QStringLiteral("pageCountdownOptions"));
    m_calendar->setObjectName(QStringLiteral("Command3"));
    m_calendar->setAutoDefault(false);
    m_picker->setObjectName(QStringLiteral("MonthView1"));

    for (const std::string_view preset : kPresetTargets) {
        m_presets->addItem(QString::fromUtf8(preset.data(), static_cast<qsizetype>(preset.size())));
    }
    setPresetText(QString()); // the box starts with an empty text
    for (const std::string& option : OfferedFormats()) {
        m_captionOptions->addItem(QString::fromStdString(option));
    }
    m_dayTypes->addItems({QStringLiteral("Days"), QStringLiteral("WorkDays")});

    SwallowTyping(m_presets);
    SwallowTyping(m_captionOptions);
    SwallowTyping(m_targetDate);
    // A click on the text of a box that cannot be typed into opens its list.
    m_presets->lineEdit()->installEventFilter(this);
    m_captionOptions->lineEdit()->installEventFilter(this);
    m_targetDate->installEventFilter(this);

    auto* target = new QGroupBox(QStringLiteral("&Select Target Date:"), this);
    target->setObjectName(QStringLiteral("Frame1"));
    QFormLayout* targetForm = NewForm(target);
    targetForm->addRow(NewLabel("Label4", "Preset Target Dates:", m_presets, target), m_presets);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(m_targetDate, 1);
    dateRow->addWidget(m_calendar);
    // The time of day beside the date; empty counts to midnight at the start of the day.
    m_targetTime->setPlaceholderText(QStringLiteral("HH:MM"));
    m_targetTime->setMaxLength(5);
    m_targetTime->setAccessibleName(QStringLiteral("Target time of day"));
    m_targetTime->setToolTip(QStringLiteral("The time of day of the target, 24-hour (17:00); empty for midnight"));
    dateRow->addWidget(NewLabel("lblTargetTime", "&Time:", m_targetTime, target));
    dateRow->addWidget(m_targetTime);
    targetForm->addRow(QString(), dateRow);

    auto* other = new QGroupBox(QStringLiteral("Other Options"), this);
    other->setObjectName(QStringLiteral("Frame3"));
    QFormLayout* otherForm = NewForm(other);
    otherForm->addRow(NewLabel("Label1", "Se&lect Caption Options:", m_captionOptions, other), m_captionOptions);
    otherForm->addRow(NewLabel("Label2", "Select D&ay Type:", m_dayTypes, other), m_dayTypes);
    AlignLabelColumns({targetForm, otherForm});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(target);
    layout->addWidget(other);
    layout->addStretch(1);

    // The picker floats over the page, outside the layout, hidden until called.
    m_picker->hide();
    const QSize picker = m_picker->sizeHint();
    const QMargins margins = layout->contentsMargins();
    setMinimumSize(picker.width() + margins.left() + margins.right(),
                   picker.height() + margins.top() + margins.bottom());

    connect(m_presets, &QComboBox::activated, this, [this] { emit presetChosen(); });
    connect(m_presets->lineEdit(), &QLineEdit::textEdited, this, [this] { emit presetChosen(); });
    connect(m_calendar, &QPushButton::clicked, this, &CountdownOptionsPage::pickerRequested);
    connect(m_picker, &MonthView::dateClicked, this, &CountdownOptionsPage::datePicked);
}

void CountdownOptionsPage::load(const OptionsValues& values)
{
    SetComboText(m_captionOptions, Text(values.settings.CaptionOption));
    SetComboText(m_dayTypes, Text(values.settings.TargetType));
    m_targetDate->setText(values.targetDateText);
    m_targetTime->setText(Text(values.settings.TargetTime));
}

void CountdownOptionsPage::store(OptionsValues& values) const
{
    values.presetText = presetText();
    values.targetDateText = m_targetDate->text();
    values.settings.TargetTime = m_targetTime->text().trimmed().toStdString();
    values.settings.CaptionOption = m_captionOptions->currentText().toStdString();
    // Only the two day types are stored, whatever letter case was typed: "WorkDays" counts work
    // days in every display, and any other text would count calendar days.
    const bool workDays =
        m_dayTypes->currentText().trimmed().compare(QLatin1String("WorkDays"), Qt::CaseInsensitive) == 0;
    values.settings.TargetType = workDays ? "WorkDays" : "Days";
}

QString CountdownOptionsPage::presetText() const
{
    return m_presets->currentText();
}

void CountdownOptionsPage::setPresetText(const QString& text)
{
    SetComboText(m_presets, text);
}

void CountdownOptionsPage::showPicker(DateValue date)
{
    m_picker->setValue(date);
    placePicker();
    m_picker->show();
    m_picker->raise();
    m_picker->setFocus(Qt::OtherFocusReason);
}

void CountdownOptionsPage::hidePicker()
{
    m_picker->hide();
}

bool CountdownOptionsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_targetDate) {
            emit pickerRequested();
        } else if (watched == m_presets->lineEdit()) {
            m_presets->showPopup();
        } else if (watched == m_captionOptions->lineEdit()) {
            m_captionOptions->showPopup();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CountdownOptionsPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePicker();
}

// Below the target date text when there is room, otherwise as low as the page allows; centred.
void CountdownOptionsPage::placePicker()
{
    const QSize size = m_picker->sizeHint().boundedTo(this->size());
    const int x = std::max(0, (width() - size.width()) / 2);
    const int below = m_targetDate->mapTo(this, QPoint(0, m_targetDate->height())).y() + 4;
    const int y = std::max(0, std::min(below, height() - size.height()));
    m_picker->setGeometry(x, y, size.width(), size.height());
}

// ---------------------------------------------------------------------------------------------

ProjectPlanningPage::ProjectPlanningPage(QWidget* parent)
    : QWidget(parent), m_company(NewTextBox("txtCompanyName", this)), m_project(NewTextBox("txtProjectName", this)),
      m_milestoneFile(NewTextBox("txtMileStoneFileName", this)),
      m_browse(new QPushButton(QStringLiteral("Browse"), this)),
      m_notifications(new QCheckBox(QStringLiteral("Show desktop &notifications at zero and on milestone days"), this))
{
    setObjectName(QStringLiteral("pageProjectPlanningOptions"));
    m_browse->setObjectName(QStringLiteral("Command1"));
    m_browse->setProperty("Index", 3);
    m_browse->setAutoDefault(false);
    MakeWide(m_milestoneFile);

    auto* frame = new QGroupBox(QStringLiteral("Project/Milestone Options"), this);
    frame->setObjectName(QStringLiteral("Frame4"));
    QFormLayout* form = NewForm(frame);
    form->addRow(NewLabel("Label13", "&Company Name", m_company, frame), m_company);
    form->addRow(NewLabel("Label7", "&Enter Project Title", m_project, frame), m_project);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_milestoneFile, 1);
    fileRow->addWidget(m_browse);
    form->addRow(NewLabel("Label8", "&Milestone File Location", m_milestoneFile, frame), fileRow);

    m_notifications->setObjectName(QStringLiteral("chkNotifications"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(m_notifications);
    layout->addStretch(1);
}

void ProjectPlanningPage::load(const OptionsValues& values)
{
    m_notifications->setChecked(values.notifications);
    m_project->setText(Text(values.settings.ProjectTitle));
    m_milestoneFile->setText(Text(values.settings.ProjectFile));
    m_company->setText(values.companyLogo);
}

void ProjectPlanningPage::store(OptionsValues& values) const
{
    values.settings.ProjectTitle = m_project->text().toStdString();
    values.settings.ProjectFile = m_milestoneFile->text().toStdString();
    values.companyLogo = m_company->text();
    values.notifications = m_notifications->isChecked();
}

// ---------------------------------------------------------------------------------------------

namespace {

// The rows of the inner page "Before / After Intervals": caption and the names of the two boxes.
struct IntervalRow
{
    const char* caption;
    const char* before;
    const char* after;
};
constexpr std::array<IntervalRow, 5> kIntervalRows = {{
    {"yy", "txtBeforeYY", "TxtAfterYY"},
    {"dd", "txtBeforedd", "txtAfterDD"},
    {"hh", "txtBeforeHh", "txtAfterHH"},
    {"mm", "txtBeforemm", "txtAfterMm"},
    {"ss", "txtBeforeSs", "txtAfterSS"},
}};
constexpr std::array<const char*, 5> kUnitNames = {"years", "days", "hours", "minutes", "seconds"};

// An inner page holding one text box at its top.
QWidget* SingleBoxPage(QLineEdit* box)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(box);
    layout->addStretch(1);
    return page;
}

} // namespace

FileOptionsPage::FileOptionsPage(QWidget* parent)
    : QWidget(parent), m_saveFile(NewTextBox("txtSaveFile", this)),
      m_continuous(new QCheckBox(QStringLiteral("  T&urn Continuous Countdown File Save On"), this)),
      m_texts(new IndexTab(this)), m_beforeDate(NewTextBox("txtBeforeDate", this)),
      m_afterDate(NewTextBox("txtAfterDate", this)), m_calendarFile(NewTextBox("editCalendarFile", this))
{
    setObjectName(QStringLiteral("pageFileOptions"));
    m_continuous->setObjectName(QStringLiteral("chkContinuous"));
    m_texts->setObjectName(QStringLiteral("VideoSoftIndexTab2"));
    MakeWide(m_saveFile);
    m_beforeDate->setToolTip(QStringLiteral("Written before the countdown"));
    m_afterDate->setToolTip(QStringLiteral("Written after the countdown"));
    // Each box sits alone on its page, named by its tab.
    m_beforeDate->setAccessibleName(QStringLiteral("Before Date"));
    m_afterDate->setAccessibleName(QStringLiteral("After Date"));

    auto* fileForm = new QFormLayout;
    fileForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    fileForm->addRow(NewLabel("Label3", "&Save To:", m_saveFile, this), m_saveFile);
    fileForm->addRow(QString(), m_continuous);
    m_calendarFile->setToolTip(QStringLiteral("An iCalendar file (.ics) of the milestones and the target day, written "
                                              "again after every change, for calendar programs to subscribe to"));
    fileForm->addRow(NewLabel("lblCalendarFile", "&iCalendar File:", m_calendarFile, this), m_calendarFile);

    auto* appearance = new QLabel(QStringLiteral("Select options for text appearing in Countdown File"), this);
    appearance->setObjectName(QStringLiteral("Label12"));

    m_texts->setCaptions(QStringLiteral("Before Date|After Date|Before / After Intervals"));
    m_texts->page(0)->layout()->addWidget(SingleBoxPage(m_beforeDate));
    m_texts->page(1)->layout()->addWidget(SingleBoxPage(m_afterDate));
    auto* intervals = new QWidget;
    auto* grid = new QGridLayout(intervals);
    for (int row = 0; row < static_cast<int>(kIntervalRows.size()); ++row) {
        const IntervalRow& r = kIntervalRows[static_cast<std::size_t>(row)];
        const QString unit = QString::fromLatin1(kUnitNames[static_cast<std::size_t>(row)]);
        auto* before = NewTextBox(r.before, intervals);
        auto* after = NewTextBox(r.after, intervals);
        before->setToolTip(QStringLiteral("Written before the %1").arg(unit));
        after->setToolTip(QStringLiteral("Written after the %1").arg(unit));
        // The row's label names the box before the unit; the one after it is named by its tip.
        after->setAccessibleName(after->toolTip());
        auto* label = NewLabel("lblInterval", r.caption, before, intervals);
        label->setProperty("Index", row);
        grid->addWidget(label, row, 0);
        grid->addWidget(before, row, 1);
        grid->addWidget(after, row, 2);
        m_units[static_cast<std::size_t>(2 * row)] = before;
        m_units[static_cast<std::size_t>(2 * row + 1)] = after;
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(static_cast<int>(kIntervalRows.size()), 1);
    m_texts->page(2)->layout()->addWidget(intervals);
    m_texts->setCurrentTab(0);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileForm);
    layout->addSpacing(6);
    layout->addWidget(appearance);
    layout->addWidget(m_texts, 1);
}

QLineEdit* FileOptionsPage::unitBox(int index) const
{
    return index >= 0 && index < static_cast<int>(m_units.size()) ? m_units[static_cast<std::size_t>(index)] : nullptr;
}

void FileOptionsPage::load(const OptionsValues& values)
{
    m_saveFile->setText(Text(values.settings.CountDownFile));
    m_continuous->setChecked(values.settings.ContinuousSave != 0);
    m_calendarFile->setText(values.calendarFile);
    m_beforeDate->setText(Text(values.settings.FileBeforeText));
    m_afterDate->setText(Text(values.settings.FileAfterText));
    for (std::size_t i = 0; i < m_units.size(); ++i) {
        m_units[i]->setText(Text(UnitTextField(values.settings, i / 2, i % 2 == 1)));
    }
}

void FileOptionsPage::store(OptionsValues& values) const
{
    values.settings.CountDownFile = m_saveFile->text().toStdString();
    values.settings.ContinuousSave = m_continuous->isChecked() ? 1 : 0;
    values.calendarFile = m_calendarFile->text();
    values.settings.FileBeforeText = m_beforeDate->text().toStdString();
    values.settings.FileAfterText = m_afterDate->text().toStdString();
    for (std::size_t i = 0; i < m_units.size(); ++i) {
        UnitTextField(values.settings, i / 2, i % 2 == 1) = m_units[i]->text().toStdString();
    }
}

// ---------------------------------------------------------------------------------------------

MoreOptionsPage::MoreOptionsPage(QWidget* parent)
    : QWidget(parent), m_startAtLogin(new QCheckBox(QStringLiteral("Start &Kestrel when I log in"), this)),
      m_countUp(new QCheckBox(QStringLiteral("After the target, count t&he time since it"), this)),
      m_renewYearly(new QCheckBox(QStringLiteral("Renew every &year"), this)),
      m_remindDays(NewTextBox("txtRemindDaysBefore", this)),
      m_milestoneRemindDays(NewTextBox("txtMilestoneRemindDaysBefore", this)),
      m_calendarUrl(NewTextBox("txtCalendarUrl", this)), m_calendarUser(NewTextBox("txtCalendarUser", this)),
      m_calendarPassword(NewTextBox("txtCalendarPassword", this)),
      m_shareMilestones(new QCheckBox(QStringLiteral("Share the milestones through this &calendar"), this)),
      m_workDays(new WorkDaysOptionsGroup(this))
{
    setObjectName(QStringLiteral("pageMoreOptions"));
    m_countUp->setObjectName(QStringLiteral("chkCountUp"));
    m_renewYearly->setObjectName(QStringLiteral("chkRenewYearly"));
    m_renewYearly->setToolTip(
        QStringLiteral("Once the target has passed, count to the same day next year (29 February: 28 February in "
                       "common years)"));
    m_startAtLogin->setObjectName(QStringLiteral("chkStartAtLogin"));

    auto* target = new QGroupBox(QStringLiteral("The target"), this);
    target->setObjectName(QStringLiteral("frameTarget"));
    auto* targetLayout = new QVBoxLayout(target);
    targetLayout->addWidget(m_countUp);
    targetLayout->addWidget(m_renewYearly);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(target);
    layout->addWidget(newRemindersFrame());
    layout->addWidget(m_workDays);
    layout->addWidget(newSharedCalendarFrame());
    layout->addWidget(m_startAtLogin);
    layout->addWidget(makeScreensaverGroup());
    layout->addWidget(buildTrayBox());
    layout->addStretch(1);
}

QGroupBox* MoreOptionsPage::newRemindersFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Reminders before the day"), this);
    frame->setObjectName(QStringLiteral("frameReminders"));
    for (QLineEdit* days : {m_remindDays, m_milestoneRemindDays}) {
        days->setPlaceholderText(QStringLiteral("such as 30,7,1"));
        days->setToolTip(QStringLiteral("Whole numbers of days from 1 to %1, separated by commas; empty for none. "
                                        "Each reminder is a desktop notification at 9:00 on that day.")
                             .arg(kMostRemindDays));
    }
    m_remindDays->setAccessibleName(QStringLiteral("Days before the target to remind me"));
    m_milestoneRemindDays->setAccessibleName(QStringLiteral("Days before each milestone to remind me"));
    QFormLayout* form = NewForm(frame);
    form->addRow(NewLabel("lblRemindDaysBefore", "Remind me this many days &before the target:", m_remindDays, frame),
                 m_remindDays);
    form->addRow(
        NewLabel("lblMilestoneRemindDaysBefore", "... and before each &milestone:", m_milestoneRemindDays, frame),
        m_milestoneRemindDays);
    return frame;
}

QGroupBox* MoreOptionsPage::newSharedCalendarFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Shared calendar"), this);
    frame->setObjectName(QStringLiteral("frameSharedCalendar"));
    m_calendarUrl->setPlaceholderText(
        QStringLiteral("https://cloud.example.org/remote.php/dav/calendars/team/project/"));
    m_calendarUrl->setToolTip(QStringLiteral("The full address of the team's CalDAV calendar: https, or http on this "
                                             "computer's loopback address"));
    m_calendarPassword->setEchoMode(QLineEdit::Password);
    m_calendarPassword->setToolTip(QStringLiteral("Kept in the desktop's secret store, never in the settings file; "
                                                  "leave it empty to keep the password saved before"));
    m_shareMilestones->setObjectName(QStringLiteral("chkShareMilestones"));
    QFormLayout* form = NewForm(frame);
    form->addRow(NewLabel("lblCalendarUrl", "Calendar a&ddress:", m_calendarUrl, frame), m_calendarUrl);
    form->addRow(NewLabel("lblCalendarUser", "&User name:", m_calendarUser, frame), m_calendarUser);
    form->addRow(NewLabel("lblCalendarPassword", "Pass&word:", m_calendarPassword, frame), m_calendarPassword);
    form->addRow(m_shareMilestones);
    return frame;
}

QGroupBox* MoreOptionsPage::makeScreensaverGroup()
{
    m_screensaverGroup = new QGroupBox(QStringLiteral("Screensaver"), this);
    m_screensaverGroup->setObjectName(QStringLiteral("fraScreensaver"));
    m_screensaverCountdown = new QComboBox(m_screensaverGroup);
    m_screensaverCountdown->setObjectName(QStringLiteral("cboScreensaverCountdown"));
    auto* label = new QLabel(QStringLiteral("The screensaver &shows the countdown:"), m_screensaverGroup);
    label->setBuddy(m_screensaverCountdown);
    auto* layout = new QHBoxLayout(m_screensaverGroup);
    layout->addWidget(label);
    layout->addWidget(m_screensaverCountdown, 1);
    m_screensaverGroup->setVisible(false);
    return m_screensaverGroup;
}

QGroupBox* MoreOptionsPage::buildTrayBox()
{
    auto* box = new QGroupBox(QStringLiteral("Tray"), this);
    box->setObjectName(QStringLiteral("fraTray"));
    m_keepRunningInTray = new QCheckBox(QStringLiteral("Keep running in the t&ray when the toolbar is closed"), box);
    m_keepRunningInTray->setObjectName(QStringLiteral("chkKeepRunningInTray"));
    m_noTray = new QLabel(QStringLiteral("This desktop has no tray for Kestrel's icon, so closing the toolbar ends "
                                         "Kestrel."),
                          box);
    m_noTray->setObjectName(QStringLiteral("lblNoTray"));
    m_noTray->setWordWrap(true);
    m_noTray->setVisible(false);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(m_keepRunningInTray);
    layout->addWidget(m_noTray);
    return box;
}

void MoreOptionsPage::load(const OptionsValues& values)
{
    m_calendarUrl->setText(values.calendarUrl);
    m_calendarUser->setText(values.calendarUser);
    m_calendarPassword->clear();
    m_shareMilestones->setChecked(values.shareMilestones);
    m_startAtLogin->setChecked(values.startAtLogin);
    m_countUp->setChecked(IsTrueText(values.settings.CountUp));
    m_renewYearly->setChecked(IsTrueText(values.settings.RenewYearly));
    m_remindDays->setText(values.remindDays);
    m_milestoneRemindDays->setText(values.milestoneRemindDays);
    m_screensaverCountdown->clear();
    m_screensaverCountdown->addItems(values.countdownNames);
    const int chosen = static_cast<int>(values.countdownNames.indexOf(values.screensaverCountdown, 0));
    m_screensaverCountdown->setCurrentIndex(std::max(chosen, 0));
    m_screensaverGroup->setVisible(!values.countdownNames.isEmpty());
    m_keepRunningInTray->setChecked(values.keepRunningInTray);
    m_keepRunningInTray->setEnabled(values.trayAvailable);
    m_noTray->setVisible(!values.trayAvailable);
    m_workDays->load(values);
}

void MoreOptionsPage::store(OptionsValues& values) const
{
    values.startAtLogin = m_startAtLogin->isChecked();
    values.settings.CountUp = m_countUp->isChecked() ? "True" : "False";
    values.settings.RenewYearly = m_renewYearly->isChecked() ? "True" : "False";
    values.remindDays = m_remindDays->text().trimmed();
    values.milestoneRemindDays = m_milestoneRemindDays->text().trimmed();
    values.calendarUrl = m_calendarUrl->text().trimmed();
    values.calendarUser = m_calendarUser->text().trimmed();
    values.calendarPassword = m_calendarPassword->text();
    values.shareMilestones = m_shareMilestones->isChecked();
    if (m_screensaverCountdown->count() > 0) {
        values.screensaverCountdown = m_screensaverCountdown->currentText();
    }
    values.keepRunningInTray = m_keepRunningInTray->isChecked();
    m_workDays->store(values);
}

} // namespace kestrel
