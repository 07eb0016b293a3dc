// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolbarWindow.h"

#include "AccessKeys.h"
#include "CommandButton.h"
#include "CountdownsMenu.h"
#include "ElasticPanel.h"
#include "OptionsDialog.h"
#include "Presets.h"
#include "Program.h"
#include "Steps.h"
#include "ToolbarIcons.h"
#include "TrayIcon.h"
#include "Units.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QMenuBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <memory>
#include <string>

namespace kestrel {

namespace {

// The buttons' design size in twips, and the height of each of the three text panels.
constexpr double kButtonWidth = 525;
constexpr double kButtonHeight = 510;
constexpr double kPanelHeight = 300;

// How often the displays hear from the clock while the countdown stands still (the years-only
// format, a count out of range).
constexpr int kIdleSeconds = 10;

// The two buttons that open no window.
constexpr const char* kHelpTooltip = "Kestrel Help";
constexpr const char* kCloseTooltip = "Close Program";

// The toolbar's design in twips, grown from the smallest one so that the widest line a date can
// give, and the company line, fit their strips on one line in the desktop's font at design size.
struct ToolbarDesign
{
    double buttonWidth = kButtonWidth;
    double panelHeight = kPanelHeight;
};

ToolbarDesign DesignForFonts(const QFont& lineFont, const QFont& targetFont, const QString& company)
{
    const QFontMetrics line(lineFont);
    const QFontMetrics target(targetFont);
    int widest = line.horizontalAdvance(company);
    for (int month = 1; month <= 12; ++month) {
        const QString date =
            QString::fromStdString(MonthAbbreviation(std::to_string(month))) + QStringLiteral(" 30, 2000 00:00:00");
        widest = std::max({widest, line.horizontalAdvance(QStringLiteral("Today is: ") + date),
                           target.horizontalAdvance(QStringLiteral("Target is: ") + date)});
    }
    constexpr int kMargin = 8; // pixels around a line
    ToolbarDesign design;
    design.buttonWidth = std::max(kButtonWidth, PixelsToTwips(widest + kMargin) / kButtonCount);
    design.panelHeight = std::max(kPanelHeight, PixelsToTwips(std::max(line.height(), target.height()) + 2));
    return design;
}

std::size_t IndexOf(Button which)
{
    return static_cast<std::size_t>(which);
}

} // namespace

ToolbarWindow::ToolbarWindow(Program& program)
    : QMainWindow(nullptr), m_program(program), m_life(program, *this, kToolBarName)
{
    setObjectName(QStringLiteral("frmToolBar"));
    setWindowTitle(QString::fromLatin1(kProgramName));
    // The desktop's taskbar picture is drawn once the window shows, not before its first paint.
    QTimer::singleShot(0, this, [this] { setWindowIcon(KestrelIcon()); });
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &ToolbarWindow::tick);
    m_idleTimer = new QTimer(this);
    m_idleTimer->setInterval(kIdleSeconds * 1000);
    connect(m_idleTimer, &QTimer::timeout, this, [this] {
        showOnAllDisplays();
        renewStoredTarget();
    });
    // An access key that two controls of a window share acts on its first press, in every window.
    new AccessKeys(this);
    buildActions();
    buildWindow();
    buildMenus();
    // The buttons show which windows are open, as the windows load and unload.
    connect(&m_program.windows, &LoadedWindows::changed, this, &ToolbarWindow::showButtonStates);
}

ToolbarWindow::~ToolbarWindow()
{
    m_tray.reset();
    // The list announces this window's own unloading while it is being destroyed.
    disconnect(&m_program.windows, nullptr, this, nullptr);
}

void ToolbarWindow::buildActions()
{
    // One action per button, shared with its menu item: text, picture, tooltip and check mark
    // are set once.
    for (int i = 0; i < kButtonCount; ++i) {
        const auto which = static_cast<Button>(i);
        auto* action = new QAction(this);
        if (const WindowKind* kind = WindowOfButton(which)) {
            action->setText(QString::fromLatin1(kind->menuCaption));
            action->setToolTip(QString::fromLatin1(kind->tooltip));
            action->setIcon(ToolbarIcon(kind->picture));
            action->setObjectName(QStringLiteral("mnuTools"));
            action->setProperty("Index", i);
            // Windows beside the toolbar keep their button down while they are open.
            action->setCheckable(kind->opening == Opening::Toggled);
        } else if (which == Button::Help) {
            action->setText(QStringLiteral("&Kestrel Help"));
            action->setToolTip(QString::fromLatin1(kHelpTooltip));
            action->setIcon(ToolbarIcon(ToolbarPicture::Help));
            action->setObjectName(QStringLiteral("mnuKestrel_help"));
            action->setShortcut(QKeySequence::HelpContents);
        } else {
            action->setText(QStringLiteral("&Close"));
            action->setToolTip(QString::fromLatin1(kCloseTooltip));
            action->setIcon(ToolbarIcon(ToolbarPicture::Power));
            action->setObjectName(QStringLiteral("MnuClose"));
        }
        connect(action, &QAction::triggered, this, [this, which] { pressButton(which); });
        m_actions[IndexOf(which)] = action;
    }
}

void ToolbarWindow::buildWindow()
{
    QFont targetFont = font();
    targetFont.setBold(true);
    const ToolbarDesign design = DesignForFonts(font(), targetFont, CompanyLogo(m_program));
    const double buttonWidth = design.buttonWidth;
    const double panelHeight = design.panelHeight;

    m_frame = new ElasticPanel(this);
    m_frame->setObjectName(QStringLiteral("vsElastic11"));
    m_frame->setDesignSize(buttonWidth * kButtonCount, kButtonHeight + 3 * panelHeight);
    setCentralWidget(m_frame);

    for (int i = 0; i < kButtonCount; ++i) {
        const auto which = static_cast<Button>(i);
        QAction* action = m_actions[IndexOf(which)];
        auto* button = new CommandButton(m_frame);
        button->setObjectName(QStringLiteral("Command1"));
        button->setProperty("Index", i);
        button->setDefaultAction(action);
        button->setAccessibleName(action->toolTip());
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::TabFocus);
        m_frame->place(button, i * buttonWidth, 0, buttonWidth, kButtonHeight);
        m_buttons[IndexOf(which)] = button;
    }

    const auto addPanel = [this, buttonWidth, panelHeight](const char* name, int row) {
        auto* panel = new ElasticPanel(m_frame);
        panel->setObjectName(QString::fromLatin1(name));
        m_frame->place(panel, 0, kButtonHeight + row * panelHeight, buttonWidth * kButtonCount, panelHeight);
        return panel;
    };
    m_today = addPanel("VSElastic5", 0);
    m_today->setProperty("Index", 0);
    m_target = addPanel("VSElastic5", 1);
    m_target->setProperty("Index", 1);
    m_company = addPanel("VSElastic3", 2);

    // The desktop's own font for the lines, bold for the target: few fonts to load at start.
    m_today->setDesignFont(font());
    m_target->setDesignFont(targetFont);
    m_company->setDesignFont(font());
    m_company->setForeColor(palette().color(QPalette::Link));
    m_frame->setMinimumSize(m_frame->sizeHint());
}

void ToolbarWindow::buildMenus()
{
    menuBar()->addAction(m_actions[IndexOf(Button::Close)]);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuMenu"));
    for (const WindowKind& kind : Windows()) {
        if (kind.button) {
            tools->addAction(m_actions[IndexOf(*kind.button)]);
        }
    }
    // The countdowns are known to the program that start-up makes; one made by a test knows none.
    if (!m_program.countdowns.settingsFile.empty()) {
        tools->addSeparator();
        tools->addMenu(new CountdownsMenu(m_program, tools));
    }

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    help->addAction(m_actions[IndexOf(Button::Help)]);
    QAction* about = help->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, this, [this] { open(WindowRow(kAboutName)); });
}

QToolButton* ToolbarWindow::button(Button which) const
{
    return m_buttons[IndexOf(which)];
}

bool ToolbarWindow::timerEnabled() const
{
    return m_timer->isActive();
}

bool ToolbarWindow::openFlag(Button which) const
{
    const WindowKind* kind = WindowOfButton(which);
    return kind != nullptr && m_program.windows.contains(QString::fromLatin1(kind->storedName));
}

void ToolbarWindow::showButtonStates()
{
    for (int i = 0; i < kButtonCount; ++i) {
        QAction* action = m_actions[static_cast<std::size_t>(i)];
        if (action->isCheckable()) {
            action->setChecked(openFlag(static_cast<Button>(i)));
        }
    }
}

void ToolbarWindow::Load()
{
    const bool firstLoad = !m_loaded;
    Dialogs& dialogs = m_program.dialogs;
    ShowBusyPointer();
    if (firstLoad) {
        RunStep(dialogs, [this] { m_life.restorePlace(); });
    }
    if (!RunStep(dialogs, [this] { refreshCountdown(); }) && m_program.ProgramSettings.ContinuousSave != 0) {
        // The file says the count is out of range rather than keep the count of another target.
        m_program.countdownFile.WriteCountdownFile(m_program.ProgramSettings, m_program.countdown);
    }
    RunStep(dialogs, [this] { m_company->setCaption(CompanyLogo(m_program)); });
    RunStep(dialogs, [this] { showTarget(); });
    if (firstLoad) {
        m_loaded = true;
        if (m_program.windows.count() == 0) {
            m_life.load();
        }
        show();
        RunStep(dialogs, [this] { guardCountdownFile(); });
        RunStep(dialogs, [this] { restoreOpenWindows(); });
    }
    ShowArrowPointer();
}

void ToolbarWindow::guardCountdownFile()
{
    ProgramSettings& s = m_program.ProgramSettings;
    if (s.ContinuousSave == 0) {
        return;
    }
    if (const std::optional<OwnFile> clash = OwnFileAt(s.CountDownFile, m_program.ownFiles(), OwnFile::Countdown)) {
        // Off in memory only: the user's settings stay as they are until the options are applied.
        s.ContinuousSave = 0;
        m_program.dialogs.MsgBox(QString::fromStdString(CountdownFileClashMessage(s.CountDownFile, *clash)),
                                 Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, QString::fromLatin1(kProgramName));
    }
}

void ToolbarWindow::refreshCountdown()
{
    m_timer->stop();
    // Until the second's timer runs again, the displays that act on the clock (notifications,
    // the calendar feed) still hear from it every few seconds.
    m_idleTimer->start();
    const ProgramSettings& s = m_program.ProgramSettings;
    const DateValue now = GetPresentDate(m_program.clock);
    const CountdownBreakdown& b = m_program.countdown;
    const auto showLines = [&] {
        setWindowTitle(QString::fromStdString(b.Line));
        m_today->setCaption(QString::fromStdString(b.TodayLine));
    };
    try {
        m_program.countdown = ComputeCountdown(now, s);
    } catch (...) {
        // A count out of range is reported by the caller; every display then says so rather than
        // keep the count of an earlier target.
        m_program.countdown = OutOfRangeCountdown(now);
        showLines();
        throw;
    }
    showLines();
    if (b.KeepTicking) {
        m_idleTimer->stop();
        enableTimer();
    }
}

void ToolbarWindow::enableTimer()
{
    // Tick just after each change of the program clock's second, so the title never skips or
    // repeats a second. The clock's fraction of a second tells how far the second has run.
    const double fraction = m_program.clock.now().serial * 86400.0;
    const int msec = static_cast<int>(std::llround((fraction - std::floor(fraction)) * 1000.0)) % 1000;
    m_timer->start(1000 - msec + 5);
}

void ToolbarWindow::tick()
{
    refreshAllDisplays();
    if (m_program.ProgramSettings.ContinuousSave != 0) {
        m_program.countdownFile.WriteCountdownFile(m_program.ProgramSettings, m_program.countdown);
    }
}

void ToolbarWindow::showTarget()
{
    // A target that renews itself shows the anniversary it counts to.
    const ProgramSettings s = RenewedTarget(m_program.ProgramSettings, GetPresentDate(m_program.clock));
    m_target->setCaption(QStringLiteral("Target is: ") +
                         QString::fromStdString(TargetDateText(s.TargetMonth, s.TargetDay, s.TargetYear)) +
                         QLatin1Char(' ') + QString::fromStdString(TargetTimeText(s)));
}

void ToolbarWindow::refreshAllDisplays()
{
    // A count that leaves the 16-bit range is reported once; the countdown then stays stopped
    // until the load steps run again with a target in range, and the displays say so.
    RunStep(m_program.dialogs, [this] { refreshCountdown(); });
    showOnAllDisplays();
    renewStoredTarget();
}

void ToolbarWindow::renewStoredTarget()
{
    // Once a renewing target's day has ended, its new year goes to the settings file; the
    // notifications have seen the year that passed before.
    if (!m_program.notificationsRunning) {
        return;
    }
    RunStep(m_program.dialogs, [this] {
        if (const auto year = RenewedYearToStore(m_program.ProgramSettings, GetPresentDate(m_program.clock))) {
            m_program.set(setting::TargetYear, *year);
            showTarget();
        }
    });
}

void ToolbarWindow::showOnAllDisplays()
{
    for (CountdownDisplay* display : std::vector(m_program.displays)) {
        display->showCountdown();
    }
}

void ToolbarWindow::pressButton(Button which)
{
    if (const WindowKind* kind = WindowOfButton(which)) {
        open(*kind);
        // The check mark follows the window, also when it could not open.
        showButtonStates();
    } else if (which == Button::Help) {
        m_program.help.WinHelp(m_program.helpFilePath, HelpViewer::Contents);
    } else {
        endProgram();
    }
}

void ToolbarWindow::openFirstRunOptions()
{
    open(WindowRow(kOptionsName), [](QWidget& window) {
        if (auto* options = qobject_cast<OptionsDialog*>(&window)) {
            options->prepareFirstRun();
        }
    });
}

void ToolbarWindow::open(const WindowKind& kind, const std::function<void(QWidget&)>& prepare)
{
    // A window that is open already closes: the toggle of the windows beside the toolbar.
    if (QWidget* window = m_program.windows.find(QString::fromLatin1(kind.storedName))) {
        window->close();
        return;
    }
    if (kind.opening == Opening::Toggled) {
        if (QWidget* window = kind.create(m_program)) {
            window->show();
        }
        return;
    }
    // A modal window: the countdown waits while it is open, and every display shows what it
    // changed afterwards.
    m_timer->stop();
    m_idleTimer->stop();
    {
        std::unique_ptr<QWidget> window(kind.create(m_program));
        if (window && prepare) {
            prepare(*window);
        }
        if (auto* dialog = qobject_cast<QDialog*>(window.get())) {
            dialog->exec();
        }
    }
    Load();
    for (CountdownDisplay* display : std::vector(m_program.displays)) {
        display->redraw();
    }
}

void ToolbarWindow::restoreOpenWindows()
{
    for (const QString& name : RecordedOpenWindows(m_program)) {
        const WindowKind* kind = WindowNamed(name);
        if (kind != nullptr && kind->button && !openFlag(*kind->button)) {
            pressButton(*kind->button);
        }
    }
}

void ToolbarWindow::endProgram()
{
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_timer->stop();
    m_idleTimer->stop();
    m_program.help.WinHelp(m_program.helpFilePath, HelpViewer::Quit);
    {
        // The toolbar's place and the open windows reach the settings file in one replace. A
        // toolbar hidden in the tray recorded both when it went there; windows opened from the
        // tray since then are recorded instead.
        const SettingsAction action(m_program);
        if (!m_hiddenInTray) {
            m_life.storePlace();
        }
        if (!m_hiddenInTray || m_program.windows.count() > 1) {
            SaveOpenWindows(m_program);
        }
    }
    // Only a running event loop is told to end: outside one (a window test) the request would
    // stay pending and end the next modal dialog at once.
    if (QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(0);
    }
}

void ToolbarWindow::showTrayIcon()
{
    if (m_tray) {
        return;
    }
    m_tray = std::make_unique<TrayIcon>(m_program, *this);
    connect(m_tray.get(), &TrayIcon::trayLost, this, &ToolbarWindow::bringForward);
}

void ToolbarWindow::hideToTray()
{
    if (m_ended || m_hiddenInTray) {
        return;
    }
    m_program.help.WinHelp(m_program.helpFilePath, HelpViewer::Quit);
    {
        const SettingsAction action(m_program);
        m_life.storePlace();
        SaveOpenWindows(m_program);
    }
    m_hiddenInTray = true;
    hide();
}

void ToolbarWindow::bringForward()
{
    if (m_ended) {
        return;
    }
    const bool fromTray = m_hiddenInTray;
    m_hiddenInTray = false;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    if (fromTray) {
        RunStep(m_program.dialogs, [this] { restoreOpenWindows(); });
    }
}

void ToolbarWindow::closeEvent(QCloseEvent* event)
{
    const bool keepRunning = IsTrueText(m_program.read(setting::KeepRunningInTray).toStdString());
    if (!m_ended && WhenToolbarCloses(keepRunning, m_tray && m_tray->inTray()) == ToolbarClose::HideToTray) {
        event->ignore();
        hideToTray();
        return;
    }
    endProgram();
    event->accept();
}

void ToolbarWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The pictures grow with the buttons.
    for (QToolButton* button : m_buttons) {
        const int side = std::max(16, static_cast<int>(std::min(button->width(), button->height()) * 0.68));
        button->setIconSize(QSize(side, side));
    }
}

} // namespace kestrel
