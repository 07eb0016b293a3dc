#include "SaverWindow.h"

#include "ElasticPanel.h"
#include "FitLabel.h"
#include "Units.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrel::saver {

namespace {

// The design size and the column grid, in twips.
constexpr double kWidth = 12240;
constexpr double kHeight = 8925;
constexpr double kCaptionRowHeight = 2145;
constexpr double kNumberRowTop = 2145;
constexpr double kNumberRowHeight = 1845;
constexpr double kProjectTop = 4185;
constexpr double kProjectHeight = 4740;
constexpr std::array<double, 5> kColumnLefts = {15, 2460, 4905, 7350, 9795};
constexpr double kColumnWidth = 2430;
constexpr std::array<const char*, 5> kDesignCaptions = {"Years", "Days", "Hours", "Minutes", "Seconds"};
// The screensaver is read from across the room: its fonts are larger than the same sizes in the
// breakdown window, the numbers most, and still fit their columns at every screen shape.
constexpr double kCaptionsAcrossTheRoom = 2.0;
constexpr double kNumbersAcrossTheRoom = 2.5;

QFont RoomFont(const GroupStyle& group, double factor)
{
    return FontFromChoice(
        {QString::fromStdString(group.fontName), group.fontSize * factor, group.fontBold, group.fontItalic});
}

} // namespace

SaverWindow::SaverWindow(const SaverSettings& settings, const BreakdownStyle& style, ExitCounter* counter,
                         std::function<void()> end, QWidget* parent)
    : QWidget(parent), m_counter(counter), m_end(std::move(end))
{
    setObjectName(QStringLiteral("frmCountDown"));
    setWindowTitle(QStringLiteral("Kestrel Screensaver"));
    setCursor(Qt::BlankCursor);
    setFocusPolicy(Qt::StrongFocus);
    const QColor background = ColorFromColorRef(BreakdownWindowDesign().caption.backColor);
    SetColors(*this, background, ColorFromColorRef(kSystemWindowText));

    m_frame = new ElasticPanel(this);
    m_frame->setObjectName(QStringLiteral("vsElastic11"));
    m_frame->setDesignSize(kWidth, kHeight);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(m_frame);

    m_captionRow = new ElasticPanel(m_frame);
    m_captionRow->setObjectName(QStringLiteral("vsElastic1"));
    m_frame->place(m_captionRow, 0, 0, kWidth, kCaptionRowHeight);
    m_numberRow = new ElasticPanel(m_frame);
    m_numberRow->setObjectName(QStringLiteral("vsElastic2"));
    m_frame->place(m_numberRow, 0, kNumberRowTop, kWidth, kNumberRowHeight);
    m_project = new ElasticPanel(m_frame);
    m_project->setObjectName(QStringLiteral("VSEProject"));
    m_frame->place(m_project, 0, kProjectTop, kWidth, kProjectHeight);
    for (ElasticPanel* panel : {m_frame, m_captionRow, m_numberRow}) {
        SetColors(*panel, background, ColorFromColorRef(kSystemWindowText));
    }

    for (std::size_t k = 0; k < 5; ++k) {
        auto* caption = new QLabel(QString::fromLatin1(kDesignCaptions[k]), m_captionRow);
        caption->setObjectName(QStringLiteral("lblCountType"));
        caption->setProperty("Index", static_cast<int>(k + 1));
        caption->setAlignment(Qt::AlignCenter);
        caption->setWordWrap(true);
        m_captionRow->place(caption, kColumnLefts[k], 15, kColumnWidth, kCaptionRowHeight - 30);
        SetColors(*caption, ColorFromColorRef(style.caption.backColor), ColorFromColorRef(style.caption.foreColor));
        ElasticPanel::setDesignFont(caption, RoomFont(style.caption, kCaptionsAcrossTheRoom));
        m_captions[k] = caption;

        auto* number = new FitLabel(m_numberRow);
        number->setObjectName(QStringLiteral("lblIntervalsLeft"));
        number->setProperty("Index", static_cast<int>(k + 1));
        number->setAlignment(Qt::AlignCenter);
        m_numberRow->place(number, kColumnLefts[k], 15, kColumnWidth, kNumberRowHeight - 30);
        SetColors(*number, ColorFromColorRef(style.interval.backColor), ColorFromColorRef(style.interval.foreColor));
        ElasticPanel::setDesignFont(number, RoomFont(style.interval, kNumbersAcrossTheRoom));
        m_numbers[k] = number;
    }
    SetColors(*m_project, ColorFromColorRef(style.project.backColor), ColorFromColorRef(style.project.foreColor));
    m_project->setDesignFont(RoomFont(style.project, kCaptionsAcrossTheRoom));
    m_project->setCaption(QString::fromStdString(settings.ProjectTitle));

    // Input over the labels and the project title counts towards ending; over the bare panels it
    // does not.
    if (m_counter != nullptr) {
        setMouseTracking(true);
        // Events on the bare panels stop there instead of reaching the window.
        for (QWidget* panel : std::initializer_list<QWidget*>{m_frame, m_captionRow, m_numberRow, m_project}) {
            panel->setAttribute(Qt::WA_NoMousePropagation);
        }
        m_project->setMouseTracking(true);
        for (std::size_t k = 0; k < 5; ++k) {
            for (QLabel* label : {m_captions[k], m_numbers[k]}) {
                label->setMouseTracking(true);
                label->installEventFilter(this);
            }
        }
        m_project->installEventFilter(this);
    } else {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

SaverWindow::~SaverWindow() = default;

QLabel* SaverWindow::captionLabel(int k) const
{
    return k >= 1 && k <= 5 ? m_captions[static_cast<std::size_t>(k - 1)] : nullptr;
}

QLabel* SaverWindow::numberLabel(int k) const
{
    return k >= 1 && k <= 5 ? m_numbers[static_cast<std::size_t>(k - 1)] : nullptr;
}

void SaverWindow::ShowColumns(const BreakdownColumns& columns)
{
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const BreakdownColumn& column = columns[k];
        if (column.numberVisible) {
            m_numbers[k]->setText(QString::fromStdString(column.number));
            m_captions[k]->setText(QString::fromStdString(column.caption));
        }
        m_captions[k]->setVisible(column.captionVisible);
        m_numbers[k]->setVisible(column.numberVisible);
    }
}

bool SaverWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool caption = std::find(m_captions.begin(), m_captions.end(), watched) != m_captions.end();
    const bool number = std::find(m_numbers.begin(), m_numbers.end(), watched) != m_numbers.end();
    switch (event->type()) {
    case QEvent::MouseMove:
        if (caption) {
            countInput(ExitCounter::Event::CaptionMotion);
        } else if (number || watched == m_project) {
            countInput(ExitCounter::Event::Counting);
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A click on a number counts (each press of a double click too); one on a caption does not.
        if (number) {
            countInput(ExitCounter::Event::Counting);
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void SaverWindow::keyPressEvent(QKeyEvent* event)
{
    countInput(ExitCounter::Event::Counting);
    event->accept();
}

void SaverWindow::mousePressEvent(QMouseEvent* event)
{
    countInput(ExitCounter::Event::Counting);
    event->accept();
}

void SaverWindow::mouseMoveEvent(QMouseEvent* event)
{
    countInput(ExitCounter::Event::Counting);
    event->accept();
}

void SaverWindow::countInput(ExitCounter::Event event)
{
    if (m_counter == nullptr || m_ended) {
        return;
    }
    if (m_counter->count(event)) {
        m_ended = true;
        if (m_end) {
            m_end();
        }
    }
}

} // namespace kestrel::saver
