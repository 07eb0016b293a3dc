#include "frmToolBar.h"

#include "CountdownDisplay.h"
#include "ElasticPanel.h"
#include "MAINPROC.h"
#include "Presets.h"
#include "Steps.h"
#include "TagButton.h"
#include "ToolbarIcons.h"
#include "Units.h"
#include "frmAbout.h"
#include "frmCountDown.h"
#include "frmOptions.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QTime>
#include <QTimer>

namespace kestrel {

namespace {

// The buttons' design size in twips, and the height of each of the three text panels.
constexpr double kButtonWidth = 525;
constexpr double kButtonHeight = 510;
constexpr double kPanelHeight = 300;
constexpr int kButtonCount = 7;

constexpr std::array<const char*, kButtonCount> kTooltips = {
    "Count Down",   "Calendar",     "Time Calculator", "Set Target Date and Options",
    "Print Report", "Kestrel Help", "Close Program"};
constexpr std::array<const char*, 5> kToolCaptions = {"&Count Down", "C&alendar", "&Time Calculator",
                                                      "&Set Target Date", "&Print Report"};
// Which buttons have their window: the others are shown greyed out.
constexpr std::array<bool, kButtonCount> kAvailable = {true, false, false, true, false, true, true};
// Buttons 0 to 2 open and close their windows; 3 and 4 show theirs modally.
constexpr int kToggledButtons = 3;

} // namespace

frmToolBar::frmToolBar(Program& program) : QMainWindow(nullptr), m_program(program)
{
    setObjectName(QStringLiteral("frmToolBar"));
    setWindowTitle(QString::fromLatin1(kProgramName));
    // The desktop's taskbar picture is drawn once the window shows, not before its first paint.
    QTimer::singleShot(0, this, [this] { setWindowIcon(KestrelIcon()); });
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &frmToolBar::Timer1_Timer);
    buildWindow();
    buildMenus();
}

frmToolBar::~frmToolBar() = default;

void frmToolBar::buildWindow()
{
    m_frame = new ElasticPanel(this);
    m_frame->setObjectName(QStringLiteral("vsElastic11"));
    m_frame->setDesignSize(kButtonWidth * kButtonCount, kButtonHeight + 3 * kPanelHeight);
    setCentralWidget(m_frame);

    const std::array<QIcon, kButtonCount> icons = ToolbarIcons();
    for (int i = 0; i < kButtonCount; ++i) {
        auto* button = new TagButton(m_frame);
        button->setObjectName(QStringLiteral("Command1"));
        button->setProperty("Index", i);
        button->setToolTip(QString::fromLatin1(kTooltips[static_cast<std::size_t>(i)]));
        button->setAccessibleName(button->toolTip());
        button->setIcon(icons[static_cast<std::size_t>(i)]);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setFlag(false);
        connect(button, &QToolButton::clicked, this, [this, i] { Command1_Click(i); });
        m_frame->place(button, i * kButtonWidth, 0, kButtonWidth, kButtonHeight);
        m_buttons[static_cast<std::size_t>(i)] = button;
    }

    const auto addPanel = [this](const char* name, int row) {
        auto* panel = new ElasticPanel(m_frame);
        panel->setObjectName(QString::fromLatin1(name));
        m_frame->place(panel, 0, kButtonHeight + row * kPanelHeight, kButtonWidth * kButtonCount, kPanelHeight);
        return panel;
    };
    m_today = addPanel("VSElastic5", 0);
    m_today->setProperty("Index", 0);
    m_target = addPanel("VSElastic5", 1);
    m_target->setProperty("Index", 1);
    m_company = addPanel("VSElastic3", 2);

    // The desktop's own font for the lines, bold for the target: few fonts to load at start.
    m_today->setDesignFont(font());
    QFont targetFont = font();
    targetFont.setBold(true);
    m_target->setDesignFont(targetFont);
    m_company->setDesignFont(font());
    m_company->setForeColor(palette().color(QPalette::Link));

    for (int i = 0; i < kButtonCount; ++i) {
        m_buttons[static_cast<std::size_t>(i)]->setEnabled(kAvailable[static_cast<std::size_t>(i)]);
    }
    m_frame->setMinimumSize(m_frame->sizeHint());
}

void frmToolBar::buildMenus()
{
    auto* close = menuBar()->addAction(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("MnuClose"));
    connect(close, &QAction::triggered, this, [this] { Command1_Click(CloseButton); });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuMenu"));
    for (int i = 0; i < 5; ++i) {
        QAction* item = tools->addAction(QString::fromLatin1(kToolCaptions[static_cast<std::size_t>(i)]));
        item->setObjectName(QStringLiteral("mnuTools"));
        item->setProperty("Index", i);
        item->setEnabled(m_buttons[static_cast<std::size_t>(i)]->isEnabled());
        connect(item, &QAction::triggered, this, [this, i] { Command1_Click(i); });
        m_tools[static_cast<std::size_t>(i)] = item;
    }

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    QAction* contents = help->addAction(QStringLiteral("&Kestrel Help"));
    contents->setObjectName(QStringLiteral("mnuKestrel_help"));
    contents->setShortcut(QKeySequence::HelpContents);
    connect(contents, &QAction::triggered, this, [this] { Command1_Click(HelpButton); });
    QAction* about = help->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, this, &frmToolBar::showAbout);
}

TagButton* frmToolBar::Command1(int index) const
{
    return index >= 0 && index < kButtonCount ? m_buttons[static_cast<std::size_t>(index)] : nullptr;
}

ElasticPanel* frmToolBar::VSElastic5(int index) const
{
    return index == 0 ? m_today : m_target;
}

bool frmToolBar::timerEnabled() const
{
    return m_timer->isActive();
}

bool frmToolBar::openFlag(int index) const
{
    const TagButton* button = Command1(index);
    return button != nullptr && button->flag();
}

void frmToolBar::setOpenFlag(int index, bool open)
{
    if (TagButton* button = Command1(index)) {
        button->setFlag(open);
    }
}

void frmToolBar::Load()
{
    const bool firstLoad = !m_loaded;
    Dialogs& dialogs = m_program.dialogs;
    ShowBusyPointer();
    if (firstLoad) {
        RunStep(dialogs, [this] { ApplyPlace(*this, ReadPlace(m_program, QStringLiteral("ToolBar"), 0, 0)); });
    }
    RunStep(dialogs, [this, firstLoad] {
        // At start-up no other window is open. On a later run the flags keep telling which
        // windows are open, so that the buttons and the tick keep working with them.
        for (int i = 0; i < kButtonCount; ++i) {
            const bool open = !firstLoad && i < kToggledButtons &&
                              findWindow(kWindowsByButton[static_cast<std::size_t>(i)]) != nullptr;
            setOpenFlag(i, open);
        }
    });
    RunStep(dialogs, [this] { RefreshCountdown(); });
    RunStep(dialogs, [this] {
        m_company->setCaption(
            m_program.read(kFileOptionsSection, QStringLiteral("Company Logo"), DefaultCompanyLogo()));
    });
    RunStep(dialogs, [this] {
        const ProgramSettings& s = m_program.ProgramSettings;
        m_target->setCaption(QStringLiteral("Target is: ") + QString::fromStdString(MonthAbbreviation(s.TargetMonth)) +
                             QStringLiteral(" ") + QString::fromStdString(s.TargetDay) + QStringLiteral(", ") +
                             QString::fromStdString(s.TargetYear) + QStringLiteral(" 00:00:00"));
    });
    if (firstLoad) {
        m_loaded = true;
        if (m_program.windows.count() == 0) {
            m_program.windows.add(QString::fromLatin1(kToolBarName), this);
        }
        show();
        RunStep(dialogs, [this] { RestoreOpenWindows(); });
    }
    ShowArrowPointer();
}

void frmToolBar::RefreshCountdown()
{
    m_timer->stop();
    const ProgramSettings& s = m_program.ProgramSettings;
    CountdownBreakdown breakdown = ComputeCountdown(GetPresentDate(m_program.clock), s.TargetYear, s.TargetMonth,
                                                    s.TargetDay, s.TargetType, s.CaptionOption);
    m_program.CountdownBreakdown = std::move(breakdown);
    const CountdownBreakdown& b = m_program.CountdownBreakdown;
    setWindowTitle(QString::fromStdString(b.Line));
    m_today->setCaption(QString::fromStdString(b.TodayLine));
    if (b.KeepTicking) {
        enableTimer();
    }
}

void frmToolBar::enableTimer()
{
    // Tick just after each change of the wall clock's second, so the title never skips or
    // repeats a second.
    const int msec = QTime::currentTime().msec();
    m_timer->start(1000 - msec + 5);
}

void frmToolBar::Timer1_Timer()
{
    // A count that leaves the 16-bit range is reported once; the countdown then stays stopped
    // until the load steps run again with a target in range.
    if (!RunStep(m_program.dialogs, [this] { RefreshCountdown(); })) {
        return;
    }
    if (openFlag(CountDownButton)) {
        refreshOpenDisplays();
    }
    if (m_program.ProgramSettings.ContinuousSave != 0) {
        m_program.CountdownFile.WriteCountdownFile(m_program.ProgramSettings, m_program.CountdownBreakdown);
    }
}

void frmToolBar::Label1_Change()
{
    if (!RunStep(m_program.dialogs, [this] { RefreshCountdown(); })) {
        return;
    }
    if (openFlag(CountDownButton)) {
        refreshOpenDisplays();
    }
}

void frmToolBar::refreshOpenDisplays()
{
    if (auto* display = dynamic_cast<CountdownDisplay*>(findWindow(kCountDownName))) {
        display->Set_2CountDown();
    }
}

QWidget* frmToolBar::findWindow(const char* name) const
{
    return m_program.windows.find(QString::fromLatin1(name));
}

void frmToolBar::Command1_Click(int index)
{
    if (index < 0 || index >= kButtonCount || !m_buttons[static_cast<std::size_t>(index)]->isEnabled()) {
        return;
    }
    switch (index) {
    case CountDownButton:
        toggleWindow(index, &frmToolBar::createCountDown);
        break;
    case CalendarButton:
        toggleWindow(index, &frmToolBar::createDeskCal);
        break;
    case CalculatorButton:
        toggleWindow(index, &frmToolBar::createCalc);
        break;
    case OptionsButton:
        openOptions();
        break;
    case ReportButton:
        openReport();
        break;
    case HelpButton:
        setOpenFlag(HelpButton, false);
        m_program.help.WinHelp(m_program.HelpFilePath, HelpViewer::Contents);
        break;
    case CloseButton:
        endProgram();
        break;
    default:
        break;
    }
}

void frmToolBar::toggleWindow(int index, QWidget* (frmToolBar::*create)())
{
    if (!openFlag(index)) {
        if (QWidget* window = (this->*create)()) {
            window->show();
        }
        return;
    }
    if (QWidget* window = findWindow(kWindowsByButton[static_cast<std::size_t>(index)])) {
        window->close();
    } else {
        setOpenFlag(index, false);
    }
}

QWidget* frmToolBar::createCountDown()
{
    return new frmCountDown(m_program, *this);
}

QWidget* frmToolBar::createDeskCal()
{
    return nullptr;
}

QWidget* frmToolBar::createCalc()
{
    return nullptr;
}

void frmToolBar::openOptions()
{
    if (openFlag(OptionsButton)) {
        if (QWidget* options = findWindow(kOptionsName)) {
            options->close();
        }
    } else {
        {
            frmOptions options(m_program, *this);
            options.exec();
        }
        // Every display shows the new target at once.
        Load();
        if (auto* breakdown = dynamic_cast<CountdownDisplay*>(findWindow(kCountDownName));
            breakdown != nullptr && openFlag(CountDownButton)) {
            breakdown->Redraw();
        }
    }
    // The desk calendar turns to the target's month.
    m_program.DeskCalYear = QString::fromStdString(m_program.ProgramSettings.TargetYear);
    m_program.DeskCalMonth = QString::fromStdString(m_program.ProgramSettings.TargetMonth);
}

void frmToolBar::openReport() {}

void frmToolBar::showAbout()
{
    {
        frmAbout about(m_program, this);
        about.exec();
    }
    Load();
}

void frmToolBar::RestoreOpenWindows()
{
    for (const QString& name : RecordedOpenWindows(m_program)) {
        for (int i = 0; i < static_cast<int>(kWindowsByButton.size()); ++i) {
            if (name == QLatin1String(kWindowsByButton[static_cast<std::size_t>(i)]) && !openFlag(i)) {
                Command1_Click(i);
            }
        }
    }
}

void frmToolBar::writePlaceAndSaveWindows()
{
    WritePlace(m_program, QStringLiteral("Toolbar"), *this);
    SaveOpenWindows(m_program);
}

void frmToolBar::endProgram()
{
    m_program.help.WinHelp(m_program.HelpFilePath, HelpViewer::Quit);
    writePlaceAndSaveWindows();
    m_ended = true;
    m_timer->stop();
    QCoreApplication::exit(0);
}

void frmToolBar::closeEvent(QCloseEvent* event)
{
    if (!m_ended) {
        m_program.help.WinHelp(m_program.HelpFilePath, HelpViewer::Quit);
        writePlaceAndSaveWindows();
        m_ended = true;
        m_timer->stop();
    }
    event->accept();
}

void frmToolBar::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The pictures grow with the buttons.
    for (TagButton* button : m_buttons) {
        const int side = std::max(16, static_cast<int>(std::min(button->width(), button->height()) * 0.68));
        button->setIconSize(QSize(side, side));
    }
}

} // namespace kestrel
