#include "BreakdownWindow.h"

#include "BreakdownDisplay.h"
#include "ElasticPanel.h"
#include "FitLabel.h"
#include "Program.h"
#include "Steps.h"
#include "ToolbarIcons.h"
#include "Units.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>

#include <algorithm>

namespace kestrel {

namespace {

// The window's design size and its column grid, in twips.
constexpr double kWidth = 6810;
constexpr double kHeight = 4890;
constexpr double kHalf = 2445;
constexpr double kCaptionRowHeight = 1230;
constexpr double kNumberRowHeight = 1215;
constexpr std::array<double, 5> kColumnLefts = {0, 1365, 2730, 4095, 5460};
constexpr std::array<double, 5> kColumnWidths = {1365, 1365, 1365, 1365, 1350};
constexpr std::array<const char*, 5> kDesignCaptions = {"Years", "Days", "Hours", "Minutes", "Seconds"};

QFont DesignFont(const GroupStyle& group)
{
    return FontFromChoice({QString::fromStdString(group.fontName), group.fontSize, group.fontBold, group.fontItalic});
}

} // namespace

BreakdownWindow::BreakdownWindow(Program& program)
    : QMainWindow(nullptr), m_program(program), m_style(BreakdownWindowDesign())
{
    setObjectName(QStringLiteral("frmCountDown"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Countdown Breakdown"));
    setWindowIcon(KestrelIcon());
    buildWindow();
    buildMenus();
    applyStyle();

    // The load steps: each one that fails is reported and the next one runs.
    Dialogs& dialogs = m_program.dialogs;
    ShowBusyPointer();
    m_program.windows.add(QString::fromLatin1(kCountDownName), this);
    m_program.subscribe(this);
    StoredPlace place;
    RunStep(dialogs, [&] {
        // Without a stored place the window opens just below the toolbar.
        const QWidget* toolbar = m_program.windows.find(QString::fromLatin1(kToolBarName));
        place = toolbar == nullptr
                    ? ReadPlace(m_program, QStringLiteral("CountDown"), 0, 0)
                    : ReadPlace(m_program, QStringLiteral("CountDown"),
                                WindowTopTwips(*toolbar) + WindowHeightTwips(*toolbar), WindowLeftTwips(*toolbar));
        ApplyPlace(*this, place);
    });
    RunStep(dialogs, [this] { applyStoredStyling(); });
    RunStep(dialogs, [this] { m_project->setCaption(QString::fromStdString(m_program.ProgramSettings.ProjectTitle)); });
    RunStep(dialogs, [this] {
        // The desk calendar starts from today's month when it opens next.
        const DateParts today = SplitDate(GetPresentDate(m_program.clock));
        m_program.deskCalendarYear = QString::number(today.year);
        m_program.deskCalendarMonth = QString::number(today.month);
        m_program.deskCalendarDay = QString::number(today.day);
    });
    RunStep(dialogs, [this] { showCountdown(); });
    ShowArrowPointer();
}

BreakdownWindow::~BreakdownWindow()
{
    m_program.unsubscribe(this);
    m_program.windows.remove(this);
}

void BreakdownWindow::buildWindow()
{
    m_frame = new ElasticPanel(this);
    m_frame->setObjectName(QStringLiteral("vsElastic111"));
    m_frame->setDesignSize(kWidth, kHeight);
    setCentralWidget(m_frame);

    m_upper = new ElasticPanel(m_frame);
    m_upper->setObjectName(QStringLiteral("vsElastic31"));
    m_frame->place(m_upper, 0, 0, kWidth, kHalf);

    m_captionRow = new ElasticPanel(m_upper);
    m_captionRow->setObjectName(QStringLiteral("vsElastic1"));
    m_upper->place(m_captionRow, 0, 0, kWidth, kCaptionRowHeight);

    m_numberRow = new ElasticPanel(m_upper);
    m_numberRow->setObjectName(QStringLiteral("vsElastic2"));
    m_upper->place(m_numberRow, 0, kCaptionRowHeight, kWidth, kNumberRowHeight);

    for (std::size_t k = 0; k < 5; ++k) {
        auto* caption = new QLabel(QString::fromLatin1(kDesignCaptions[k]), m_captionRow);
        caption->setObjectName(QStringLiteral("lblCountType"));
        caption->setProperty("Index", static_cast<int>(k + 1));
        caption->setAlignment(Qt::AlignCenter);
        caption->setWordWrap(true);
        m_captionRow->place(caption, kColumnLefts[k], 0, kColumnWidths[k], kCaptionRowHeight);
        m_captions[k] = caption;

        auto* number = new FitLabel(m_numberRow);
        number->setObjectName(QStringLiteral("lblIntervalsLeft"));
        number->setProperty("Index", static_cast<int>(k + 1));
        number->setAlignment(Qt::AlignCenter);
        m_numberRow->place(number, kColumnLefts[k], 0, kColumnWidths[k], kNumberRowHeight);
        m_numbers[k] = number;
    }

    m_project = new ElasticPanel(m_frame);
    m_project->setObjectName(QStringLiteral("VSEProject"));
    m_frame->place(m_project, 0, kHalf, kWidth, kHalf);

    // The window scales as a whole; below a third of its design size nothing is readable. It
    // opens half as large again as its design, which was drawn for screens of the past, as far
    // as the screen allows.
    m_frame->setMinimumSize(m_frame->sizeHint() / 3);
    const QSize design = m_frame->sizeHint();
    const double room = std::min(ScreenWidthTwips() / kWidth, ScreenHeightTwips() / (kHeight + 600)) * 0.9;
    const double scale = std::clamp(room, 1.0, 1.5);
    resize(static_cast<int>(design.width() * scale),
           static_cast<int>(design.height() * scale) + menuBar()->sizeHint().height());
}

void BreakdownWindow::buildMenus()
{
    QAction* exit = menuBar()->addAction(QStringLiteral("&Exit"));
    exit->setObjectName(QStringLiteral("mnuClose"));
    connect(exit, &QAction::triggered, this, &BreakdownWindow::exitWindow);

    QMenu* format = menuBar()->addMenu(QStringLiteral("&Format"));
    format->setObjectName(QStringLiteral("mnuProperties"));
    const auto item = [this](QMenu* menu, const char* caption, const char* name, auto handler) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    QMenu* captions = format->addMenu(QStringLiteral("&Captions"));
    captions->setObjectName(QStringLiteral("mnuCaptions"));
    item(captions, "&BackGround Color", "mnuCBackGound", [this] { chooseColor(Group::Caption, true); });
    item(captions, "&ForeGround Color", "mnuCForeGround", [this] { chooseColor(Group::Caption, false); });
    m_captionsVisible = item(captions, "&Visible", "mnuCVisible", [this] { toggleVisible(Group::Caption); });
    item(captions, "F&onts", "mnuCFonts", [this] { chooseFont(Group::Caption); });

    QMenu* intervals = format->addMenu(QStringLiteral("&Intervals"));
    intervals->setObjectName(QStringLiteral("mnuIntervals"));
    item(intervals, "&Background Color", "mnuIBackground", [this] { chooseColor(Group::Interval, true); });
    item(intervals, "&Foreground Color", "mnuIForegound", [this] { chooseColor(Group::Interval, false); });
    item(intervals, "F&onts", "mnuIFonts", [this] { chooseFont(Group::Interval); });

    QMenu* project = format->addMenu(QStringLiteral("&Project Title"));
    project->setObjectName(QStringLiteral("mnuProjectTitle"));
    item(project, "&BackGound Color", "mnuPBackground", [this] { chooseColor(Group::Project, true); });
    item(project, "&Foreground Color", "mnuPForeground", [this] { chooseColor(Group::Project, false); });
    m_projectVisible = item(project, "&Visible", "mnuPVisible", [this] { toggleVisible(Group::Project); });
    item(project, "F&onts", "mnuPFonts", [this] { chooseFont(Group::Project); });

    m_captionsVisible->setCheckable(true);
    m_projectVisible->setCheckable(true);
}

QLabel* BreakdownWindow::captionLabel(int k) const
{
    return k >= 1 && k <= 5 ? m_captions[static_cast<std::size_t>(k - 1)] : nullptr;
}

QLabel* BreakdownWindow::numberLabel(int k) const
{
    return k >= 1 && k <= 5 ? m_numbers[static_cast<std::size_t>(k - 1)] : nullptr;
}

void BreakdownWindow::showCountdown()
{
    const ProgramSettings& s = m_program.ProgramSettings;
    const BreakdownColumns columns = kestrel::showCountdown(s.CaptionOption, m_program.countdown, UnitTexts::From(s),
                                                            m_captionsVisible->isChecked());
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const BreakdownColumn& column = columns[k];
        // A hidden column keeps its texts; it only leaves its space empty.
        if (column.numberVisible) {
            m_numbers[k]->setText(QString::fromStdString(column.number));
            m_captions[k]->setText(QString::fromStdString(column.caption));
        }
        m_captions[k]->setVisible(column.captionVisible);
        m_numbers[k]->setVisible(column.numberVisible);
    }
}

void BreakdownWindow::redraw()
{
    m_project->setCaption(QString::fromStdString(m_program.ProgramSettings.ProjectTitle));
    showCountdown();
    m_frame->update();
}

void BreakdownWindow::applyStoredStyling()
{
    // Each value takes effect as it is read, so on a damaged value the ones before it still
    // apply before the error is reported.
    BreakdownStyle style = m_style;
    try {
        ReadCountDownSection(m_program.settings, style);
    } catch (...) {
        m_style = style;
        applyStyle();
        throw;
    }
    m_style = style;
    applyStyle();
}

void BreakdownWindow::applyStyle()
{
    m_captionsVisible->setChecked(m_style.captionVisible);
    for (QLabel* caption : m_captions) {
        SetColors(*caption, ColorFromColorRef(m_style.caption.backColor), ColorFromColorRef(m_style.caption.foreColor));
        ElasticPanel::setDesignFont(caption, DesignFont(m_style.caption));
        caption->setVisible(m_style.captionVisible);
    }
    m_captionRow->setVisible(m_style.captionVisible);
    for (QLabel* number : m_numbers) {
        SetColors(*number, ColorFromColorRef(m_style.interval.backColor),
                  ColorFromColorRef(m_style.interval.foreColor));
        ElasticPanel::setDesignFont(number, DesignFont(m_style.interval));
    }
    m_projectVisible->setChecked(m_style.projectVisible);
    SetColors(*m_project, ColorFromColorRef(m_style.project.backColor), ColorFromColorRef(m_style.project.foreColor));
    m_project->setDesignFont(DesignFont(m_style.project));
    m_project->setVisible(m_style.projectVisible);
    // The panels around the groups take the design background, so hidden groups leave the
    // window's light blue.
    const QColor background = ColorFromColorRef(BreakdownWindowDesign().caption.backColor);
    for (ElasticPanel* panel : {m_frame, m_upper, m_captionRow, m_numberRow}) {
        SetColors(*panel, background, ColorFromColorRef(kSystemWindowText));
    }
}

GroupStyle& BreakdownWindow::groupStyle(Group group)
{
    switch (group) {
    case Group::Caption:
        return m_style.caption;
    case Group::Interval:
        return m_style.interval;
    case Group::Project:
        break;
    }
    return m_style.project;
}

const GroupKeys& BreakdownWindow::keysOf(Group group)
{
    switch (group) {
    case Group::Caption:
        return kCaptionKeys;
    case Group::Interval:
        return kIntervalKeys;
    case Group::Project:
        break;
    }
    return kProjectKeys;
}

void BreakdownWindow::chooseColor(Group group, bool background)
{
    RunStep(m_program.dialogs, [this, group, background] {
        const ColorValue current = background ? groupStyle(group).backColor : groupStyle(group).foreColor;
        const std::optional<QColor> chosen = m_program.dialogs.ShowColor(ColorFromColorRef(current));
        // A cancelled dialog still writes the key, with the colour that was showing.
        const ColorValue value = chosen ? ColorRefFromColor(*chosen) : current;
        const GroupKeys& keys = keysOf(group);
        m_program.settings.WriteSetting(kCountDownSection, background ? keys.backColor : keys.foreColor,
                                        ColorText(value));
        applyStoredStyling();
    });
}

void BreakdownWindow::chooseFont(Group group)
{
    RunStep(m_program.dialogs, [this, group] {
        const GroupStyle& current = groupStyle(group);
        const FontChoice start{QString::fromStdString(current.fontName), current.fontSize, current.fontBold,
                               current.fontItalic};
        const FontChoice chosen = m_program.dialogs.ShowFont(start).value_or(start);
        GroupStyle font = current;
        font.fontName = chosen.name.toStdString();
        font.fontSize = chosen.size;
        font.fontBold = chosen.bold;
        font.fontItalic = chosen.italic;
        WriteFontKeys(m_program.settings, keysOf(group), font);
        applyStoredStyling();
    });
}

void BreakdownWindow::toggleVisible(Group group)
{
    RunStep(m_program.dialogs, [this, group] {
        // The menu item has already turned its check mark over.
        QAction* item = group == Group::Caption ? m_captionsVisible : m_projectVisible;
        m_program.settings.WriteSetting(kCountDownSection, keysOf(group).visible, BoolText(item->isChecked()));
        applyStoredStyling();
        // Captions of columns the format does not show stay hidden.
        showCountdown();
    });
}

void BreakdownWindow::exitWindow()
{
    WritePlace(m_program, QStringLiteral("CountDown"), *this);
    close();
}

void BreakdownWindow::closeEvent(QCloseEvent* event)
{
    m_program.unsubscribe(this);
    m_program.windows.remove(this);
    event->accept();
}

} // namespace kestrel
