// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeskCalendar.h"

#include "CalendarShare.h"

#include "CalendarFeed.h"

#include "Program.h"
#include "MilestoneEditor.h"
#include "Steps.h"
#include "ToolbarIcons.h"
#include "Units.h"

#include <QAction>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QToolButton>

#include <algorithm>

namespace kestrel {

namespace {

struct JumpButton
{
    const char* caption;
    const char* tooltip;
};
constexpr std::array<JumpButton, 8> kJumps = {{
    {"&Month ", "Previous Month"},
    {"Mo&nth ", "Next Month"},
    {"T&oday", "Go to Today's Date"},
    {"&Year", "Previous Year"},
    {"Y&ear", "Next Year"},
    {"&Target", "Go to Target Date"},
    {"M&ilestone", "Previous MileStone"},
    {"Mi&lestone", "Next Milestone"},
}};

QString FromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

DeskCalendar::DeskCalendar(Program& program)
    : QMainWindow(nullptr), m_program(program), m_life(program, *this, kDeskCalName, this)
{
    setObjectName(QString::fromLatin1(kDeskCalName));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(KestrelIcon());
    setWindowTitle(QStringLiteral("CountDown Calendar"));
    buildWindow();
    buildMenus();

    Dialogs& dialogs = m_program.dialogs;
    ShowBusyPointer();
    m_life.load();
    RunStep(dialogs, [this] {
        m_life.restorePlace((ScreenHeightTwips() - PixelsToTwips(height())) / 2,
                            (ScreenWidthTwips() - PixelsToTwips(width())) / 2);
    });
    RunStep(dialogs, [this] {
        setWindowTitle(QStringLiteral("Countdown Calendar in ") + FromStd(m_program.ProgramSettings.TargetType));
    });
    RunStep(dialogs, [this] {
        m_todayLine->setText(QStringLiteral("Today is ") +
                             FromStd(Format(GetPresentDate(m_program.clock), "dddd, mmmm d, yyyy")));
    });
    RunStep(dialogs, [this] {
        if (auto error = m_program.milestones.load()) {
            throw *error;
        }
    });
    // A milestone saved by the editor or changed in the file by another program shows at once.
    connect(&m_program.milestones, &MilestoneStore::changed, this, [this] { FillMonth(m_shown); });
    RunStep(dialogs, [this] {
        const DateParts today = SplitDate(GetPresentDate(m_program.clock));
        ShowMonth({today.year, today.month});
    });
    ShowArrowPointer();
}

DeskCalendar::~DeskCalendar() = default;

void DeskCalendar::showCountdown()
{
    if (DayNumber(GetPresentDate(m_program.clock)) != m_filledOnDay) {
        FillMonth(m_shown);
    }
    if (m_shareStatus->text() != m_program.sharedCalendarStatus) {
        m_shareStatus->setText(m_program.sharedCalendarStatus);
        m_shareStatus->setVisible(!m_program.sharedCalendarStatus.isEmpty());
    }
}

void DeskCalendar::redraw()
{
    ShowProgramMonth();
}

void DeskCalendar::buildWindow()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(10, 6, 10, 8);
    layout->setSpacing(6);

    auto* heading = new QHBoxLayout;
    m_todayLine = new QLabel(central);
    m_todayLine->setObjectName(QStringLiteral("lblCalendar"));
    m_todayLine->setProperty("Index", 0);
    m_title = new QLabel(central);
    m_title->setObjectName(QStringLiteral("lblCalendar"));
    m_title->setProperty("Index", 1);
    m_title->setAlignment(Qt::AlignCenter);
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    heading->addWidget(m_todayLine, 1);
    heading->addWidget(m_title, 2);
    heading->addStretch(1);
    layout->addLayout(heading);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    m_left = new MonthStrip(Qt::LeftEdge, central);
    m_left->setObjectName(QStringLiteral("TabsLeft"));
    m_right = new MonthStrip(Qt::RightEdge, central);
    m_right->setObjectName(QStringLiteral("TabRight"));
    connect(m_left, &MonthStrip::tabPicked, this, &DeskCalendar::monthTabPicked);
    connect(m_right, &MonthStrip::tabPicked, this, &DeskCalendar::monthTabPicked);

    auto* page = new QFrame(central);
    page->setObjectName(QStringLiteral("CalendarPage"));
    // The page follows the palette (light or dark); only the day cells keep their fixed colours.
    page->setStyleSheet(
        QStringLiteral("QFrame#CalendarPage { background: palette(base); border: 1px solid palette(mid); }"
                       "QFrame#CalendarPage > QLabel { color: palette(text); }"));
    // Weekend names in red: a dark red on a light page, a light red on a dark one.
    const bool darkPage = palette().color(QPalette::Base).lightnessF() < 0.5;
    const QString weekendName = darkPage ? QStringLiteral("#ff9a9a") : QStringLiteral("#8a3030");
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(3);
    for (int weekday = 1; weekday <= 7; ++weekday) {
        auto* name = new QLabel(FromStd(WeekdayName(weekday, true)), page);
        name->setAlignment(Qt::AlignCenter);
        QFont bold = name->font();
        bold.setBold(true);
        name->setFont(bold);
        if (weekday == 1 || weekday == 7) {
            name->setStyleSheet(QStringLiteral("color: %1;").arg(weekendName));
        }
        grid->addWidget(name, 0, weekday - 1);
    }
    for (int i = 0; i < kGridCells; ++i) {
        auto* cell = new CalendarDayCell(i, page);
        connect(cell, &CalendarDayCell::chosen, this, &DeskCalendar::dayChosen);
        connect(cell, &CalendarDayCell::stepped, this, &DeskCalendar::moveFocus);
        grid->addWidget(cell, 1 + i / 7, i % 7);
        m_cells[static_cast<std::size_t>(i)] = cell;
    }
    for (int row = 1; row <= 6; ++row) {
        grid->setRowStretch(row, 1);
    }
    for (int column = 0; column < 7; ++column) {
        grid->setColumnStretch(column, 1);
    }
    middle->addWidget(m_left);
    middle->addWidget(page, 1);
    middle->addWidget(m_right);
    layout->addLayout(middle, 1);

    auto* jumps = new QGroupBox(QStringLiteral("Jumps"), central);
    jumps->setObjectName(QStringLiteral("Frame1"));
    auto* row = new QHBoxLayout(jumps);
    const auto arrow = [this, jumps](int index, Qt::ArrowType type, const char* tooltip) {
        auto* button = new QToolButton(jumps);
        button->setObjectName(QStringLiteral("Image1"));
        button->setProperty("Index", index);
        button->setArrowType(type);
        button->setToolTip(QString::fromLatin1(tooltip));
        button->setAccessibleName(QString::fromLatin1(tooltip));
        button->setIconSize(QSize(20, 20));
        button->setMinimumSize(36, 30);
        connect(button, &QToolButton::clicked, this,
                [this, index] { jump(index == 0 ? Jump::PreviousMonth : Jump::NextMonth); });
        return button;
    };
    const auto jumpButton = [this, jumps](Jump which) {
        const auto index = static_cast<std::size_t>(which);
        const JumpButton& design = kJumps[index];
        auto* button = new QPushButton(QString::fromLatin1(design.caption), jumps);
        button->setObjectName(QStringLiteral("Command1"));
        button->setProperty("Index", static_cast<int>(index));
        button->setToolTip(QString::fromLatin1(design.tooltip));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, which] { jump(which); });
        m_jumps[index] = button;
        return button;
    };
    // Backwards on the left, forwards on the right, today and the target in the middle.
    row->addWidget(arrow(0, Qt::LeftArrow, "Previous Month"));
    row->addWidget(jumpButton(Jump::PreviousMonth));
    row->addWidget(jumpButton(Jump::PreviousYear));
    row->addWidget(jumpButton(Jump::PreviousMilestone));
    row->addStretch(1);
    row->addWidget(jumpButton(Jump::Today));
    row->addWidget(jumpButton(Jump::Target));
    row->addStretch(1);
    row->addWidget(jumpButton(Jump::NextMilestone));
    row->addWidget(jumpButton(Jump::NextYear));
    row->addWidget(jumpButton(Jump::NextMonth));
    row->addWidget(arrow(1, Qt::RightArrow, "Next Month"));
    layout->addWidget(jumps);

    // How the last sync of the team's shared calendar went; hidden while sharing is off.
    m_shareStatus = new QLabel(central);
    m_shareStatus->setObjectName(QStringLiteral("lblSharedCalendar"));
    // The line holds what the server said: text, never markup.
    m_shareStatus->setTextFormat(Qt::PlainText);
    m_shareStatus->setWordWrap(true);
    m_shareStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_shareStatus->hide();
    layout->addWidget(m_shareStatus);

    setCentralWidget(central);
    // Opens at a comfortable size in the desktop's font, within the screen.
    const int lineHeight = fontMetrics().lineSpacing();
    QSize opening = sizeHint().expandedTo(QSize(lineHeight * 58, lineHeight * 43));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        opening = opening.boundedTo(screen->availableSize() * 0.9).expandedTo(minimumSizeHint());
    }
    resize(opening);
}

void DeskCalendar::buildMenus()
{
    QAction* exit = menuBar()->addAction(QStringLiteral("&Exit"));
    exit->setObjectName(QStringLiteral("mnuClose"));
    connect(exit, &QAction::triggered, this, &DeskCalendar::exitWindow);

    QMenu* milestones = menuBar()->addMenu(QStringLiteral("&MileStones"));
    milestones->setObjectName(QStringLiteral("mnuMile"));
    QAction* mark = milestones->addAction(QStringLiteral("&Mark Milestone"));
    mark->setObjectName(QStringLiteral("mnuMarkMilestone"));
    connect(mark, &QAction::triggered, this, &DeskCalendar::markMilestone);
    QAction* clear = milestones->addAction(QStringLiteral("&Clear All MileStone"));
    clear->setObjectName(QStringLiteral("mnuClearALL"));
    connect(clear, &QAction::triggered, this, &DeskCalendar::clearAllMilestones);
    milestones->addSeparator();
    QAction* exportCalendar = milestones->addAction(QStringLiteral("Export &iCalendar..."));
    exportCalendar->setObjectName(QStringLiteral("mnuExportICalendar"));
    connect(exportCalendar, &QAction::triggered, this, [this] { ExportCalendarToChosenFile(m_program); });
    QAction* syncNow = milestones->addAction(QStringLiteral("&Sync now"));
    syncNow->setObjectName(QStringLiteral("mnuSyncNow"));
    syncNow->setToolTip(QStringLiteral("Sync the milestones and the target day with the shared calendar now"));
    connect(syncNow, &QAction::triggered, this, [this] {
        if (m_program.sharedCalendar != nullptr) {
            m_program.sharedCalendar->start(SharedCalendarSync::Asked::ByTheUser);
        }
    });
    // Only while the countdown shares its milestones.
    connect(milestones, &QMenu::aboutToShow, this, [this, syncNow] {
        syncNow->setEnabled(m_program.sharedCalendar != nullptr &&
                            IsTrueText(m_program.read(setting::ShareMilestones).toStdString()));
    });
}

void DeskCalendar::ShowMonth(YearMonth month)
{
    // Months out of 1 to 12 carry into the neighbouring years, as dates do.
    const DateValue first = PackDate(month.year, month.month, 1);
    m_shown = {Year(first), Month(first)};
    m_program.calendarMonth = m_shown;
    applyStrips();
    FillMonth(m_shown);
}

void DeskCalendar::ShowProgramMonth()
{
    RunStep(m_program.dialogs, [this] { ShowMonth(m_program.calendarMonth); });
}

void DeskCalendar::applyStrips()
{
    const MonthStrips strips = StripsForMonth(m_shown.month);
    m_left->setCaptions(strips.left);
    m_left->setCurrentTab(-1);
    m_right->setCaptions(strips.right);
    m_right->setCurrentTab(strips.rightCurrent);
}

void DeskCalendar::FillMonth(YearMonth shown)
{
    ShowBusyPointer();
    RunStep(m_program.dialogs, [&] {
        // A target that renews itself counts to the anniversary the toolbar counts to.
        const ProgramSettings settings = RenewedTarget(m_program.ProgramSettings, GetPresentDate(m_program.clock));
        std::optional<CalendarTarget> target;
        // A target the settings cannot make a date of is reported; the days still show.
        RunStep(m_program.dialogs, [&] {
            target = CalendarTargetFrom(settings.TargetYear, settings.TargetMonth, settings.TargetDay,
                                        settings.TargetType, settings.workCalendar);
        });
        const DateValue today = GetPresentDate(m_program.clock);
        m_filledOnDay = DayNumber(today);
        m_grid = kestrel::FillMonth(shown, target, m_program.milestones.table(), today);
        applyGrid();
        if (m_grid.overflow && m_program.countdown.OutOfRange) {
            // The toolbar has said so already for the countdown itself.
            m_overflowReported = m_grid.month;
        } else if (m_grid.overflow) {
            reportOnce(*m_grid.overflow);
        } else {
            m_overflowReported.reset();
        }
    });
    ShowArrowPointer();
}

void DeskCalendar::reportOnce(const RuntimeError& error)
{
    if (m_overflowReported == m_grid.month) {
        return;
    }
    m_overflowReported = m_grid.month;
    m_program.dialogs.MsgBox(QString::fromStdString(error.report()));
}

void DeskCalendar::applyGrid()
{
    m_title->setText(FromStd(m_grid.title));
    if (m_grid.todayCaption) {
        setWindowTitle(FromStd(*m_grid.todayCaption));
    }
    const DateValue first = PackDate(m_grid.month.year, m_grid.month.month, 1);
    for (int i = 0; i < kGridCells; ++i) {
        const DayCell& cell = m_grid.cells[static_cast<std::size_t>(i)];
        QString spoken;
        if (cell.day != 0) {
            const DateValue date = DateAdd("d", cell.day - 1, first);
            spoken = FromStd(Format(date, "dddd, mmmm d, yyyy")) + QStringLiteral(": ") + FromStd(cell.dayCaption());
            spoken +=
                cell.count ? QStringLiteral(", count ") + FromStd(cell.countCaption()) : QStringLiteral(", no count");
            if (cell.today) {
                spoken += QStringLiteral(", today");
            }
            if (cell.target) {
                spoken += QStringLiteral(", target");
            }
            if (cell.milestone > 0) {
                spoken += QStringLiteral(", milestone ") + QString::number(cell.milestone);
            }
        }
        m_cells[static_cast<std::size_t>(i)]->show(cell, spoken);
    }
}

void DeskCalendar::jump(Jump which)
{
    RunStep(m_program.dialogs, [this, which] {
        const ProgramSettings& settings = m_program.ProgramSettings;
        const auto outcome = JumpFrom(
            m_shown, which,
            {GetPresentDate(m_program.clock), settings.TargetYear, settings.TargetMonth, m_program.milestones.table()});
        if (const auto* month = std::get_if<YearMonth>(&outcome)) {
            ShowMonth(*month);
        } else {
            m_program.dialogs.MsgBox(QString::fromStdString(std::get<std::string>(outcome)));
        }
    });
}

void DeskCalendar::monthTabPicked(int tab)
{
    RunStep(m_program.dialogs, [this, tab] { ShowMonth({m_shown.year, tab + 1}); });
}

void DeskCalendar::dayChosen(int index)
{
    if (index < 0 || index >= kGridCells) {
        return;
    }
    const DayCell& cell = m_grid.cells[static_cast<std::size_t>(index)];
    if (cell.day == 0) {
        return;
    }
    // An editor already open keeps the day it was opened for.
    if (QWidget* open = m_program.windows.find(QString::fromLatin1(kMilestoneName))) {
        open->show();
        open->raise();
        open->activateWindow();
        return;
    }
    const ChosenDay chosen = ChosenDayFromCaption(cell.dayCaption());
    if (chosen.milestone == 0 && m_grid.marksInMonth >= kMilestonesPerMonth) {
        m_program.dialogs.MsgBox(QString::fromLatin1(kFiveMilestonesMessage));
        return;
    }
    RunStep(m_program.dialogs, [&] {
        const DateValue day = PackDate(m_grid.month.year, m_grid.month.month, chosen.day);
        auto* editor = new MilestoneEditor(m_program, day, chosen.milestone);
        editor->show();
    });
}

void DeskCalendar::moveFocus(int index, int delta)
{
    const int next = index + delta;
    if (next >= 0 && next < kGridCells && m_grid.cells[static_cast<std::size_t>(next)].day != 0) {
        m_cells[static_cast<std::size_t>(next)]->setFocus(Qt::OtherFocusReason);
    }
}

void DeskCalendar::markMilestone()
{
    m_program.dialogs.MsgBox(QString::fromLatin1(kMarkMilestoneMessage));
}

void DeskCalendar::clearAllMilestones()
{
    RunStep(m_program.dialogs, [this] {
        // Never the settings file or another of the program's own files named as the milestone file.
        if (std::optional<RuntimeError> refused = m_program.milestones.refusal()) {
            throw *refused;
        }
        // No question, as ever; the file goes to the desktop's trash, so a slip can be undone.
        const MilestoneTable::Cleared cleared =
            m_program.milestones.clearAll([](const std::filesystem::path& path, std::string& reason) {
                // The home trash is made first: without it Qt 6.4 puts "files" and "info"
                // folders into the current folder instead of failing.
                const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
                if (!home.isEmpty()) {
                    QDir().mkpath(home + QStringLiteral("/Trash/files"));
                    QDir().mkpath(home + QStringLiteral("/Trash/info"));
                }
                QFile file(QString::fromStdString(path.string()));
                if (file.moveToTrash()) {
                    return true;
                }
                reason = file.errorString().toStdString();
                return false;
            });
        if (cleared.error) {
            throw *cleared.error;
        }
        if (cleared.discarded) {
            ShowMonth(m_shown);
        }
    });
}

void DeskCalendar::exitWindow()
{
    RunStep(m_program.dialogs, [this] { m_life.storePlace(); });
    close();
}

void DeskCalendar::closeEvent(QCloseEvent* event)
{
    m_life.unload();
    QMainWindow::closeEvent(event);
}

} // namespace kestrel
