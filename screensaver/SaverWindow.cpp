// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "SaverWindow.h"

#include "BreakdownView.h"
#include "Units.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrel::saver {

SaverWindow::SaverWindow(const SaverSettings& settings, const BreakdownStyle& style, ExitCounter* counter,
                         std::function<void()> end, QWidget* parent)
    : QWidget(parent), m_counter(counter), m_end(std::move(end))
{
    setObjectName(QStringLiteral("frmCountDown"));
    setWindowTitle(QStringLiteral("Kestrel Screensaver"));
    setCursor(Qt::BlankCursor);
    setFocusPolicy(Qt::StrongFocus);
    const QColor background = ColorFromValue(BreakdownWindowDesign().caption.backColor);
    SetColors(*this, background, ColorFromValue(kSystemWindowText));

    m_view = new BreakdownView(kScreensaverLayout, this);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(m_view);
    m_view->setPanelColors(background, ColorFromValue(kSystemWindowText));
    m_view->setLooks(style);
    m_view->projectPanel()->setCaption(QString::fromStdString(settings.ProjectTitle));

    // Input over the labels and the project title counts towards ending; over the bare panels it
    // does not.
    if (m_counter != nullptr) {
        setMouseTracking(true);
        // Events on the bare panels stop there instead of reaching the window.
        for (QWidget* panel : std::initializer_list<QWidget*>{m_view, captionRow(), numberRow(), projectPanel()}) {
            panel->setAttribute(Qt::WA_NoMousePropagation);
        }
        projectPanel()->setMouseTracking(true);
        for (const auto* labels : {&m_view->captionLabels(), &m_view->numberLabels()}) {
            for (QLabel* label : *labels) {
                label->setMouseTracking(true);
                label->installEventFilter(this);
            }
        }
        projectPanel()->installEventFilter(this);
    } else {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

SaverWindow::~SaverWindow() = default;

void SaverWindow::ShowColumns(const BreakdownColumns& columns)
{
    m_view->showColumns(columns);
}

bool SaverWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto& captions = m_view->captionLabels();
    const auto& numbers = m_view->numberLabels();
    const bool caption = std::find(captions.begin(), captions.end(), watched) != captions.end();
    const bool number = std::find(numbers.begin(), numbers.end(), watched) != numbers.end();
    switch (event->type()) {
    case QEvent::MouseMove:
        if (caption) {
            countInput(ExitCounter::Event::CaptionMotion);
        } else if (number || watched == projectPanel()) {
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
