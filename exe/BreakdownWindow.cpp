// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "BreakdownWindow.h"

#include "BreakdownDisplay.h"
#include "BreakdownView.h"
#include "Program.h"
#include "Steps.h"
#include "ToolbarIcons.h"
#include "Units.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>

#include <algorithm>

namespace kestrel {

BreakdownWindow::BreakdownWindow(Program& program)
    : QMainWindow(nullptr), m_program(program), m_style(BreakdownWindowDesign()),
      m_life(program, *this, kCountDownName, this)
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
    m_life.load();
    RunStep(dialogs, [&] {
        // Without a stored place the window opens just below the toolbar.
        const QWidget* toolbar = m_program.windows.find(QString::fromLatin1(kToolBarName));
        if (toolbar == nullptr) {
            m_life.restorePlace(0, 0);
        } else {
            m_life.restorePlace(WindowTopTwips(*toolbar) + WindowHeightTwips(*toolbar), WindowLeftTwips(*toolbar));
        }
    });
    RunStep(dialogs, [this] { applyStoredStyling(); });
    RunStep(dialogs, [this] {
        m_view->projectPanel()->setCaption(QString::fromStdString(m_program.ProgramSettings.ProjectTitle));
    });
    RunStep(dialogs, [this] {
        // The desk calendar starts from today's month when it opens next.
        const DateParts today = SplitDate(GetPresentDate(m_program.clock));
        m_program.calendarMonth = {today.year, today.month};
    });
    RunStep(dialogs, [this] { showCountdown(); });
    ShowArrowPointer();
}

BreakdownWindow::~BreakdownWindow() = default;

void BreakdownWindow::buildWindow()
{
    m_view = new BreakdownView(kBreakdownWindowLayout, this);
    setCentralWidget(m_view);

    // The window scales as a whole; below a third of its design size nothing is readable. It
    // opens half as large again as its design, which was drawn for screens of the past, as far
    // as the screen allows, and smaller than its design on a screen too small for it (a large
    // scale factor), so it never opens beyond the screen's edge.
    m_view->setMinimumSize(m_view->sizeHint() / 3);
    const QSize design = m_view->sizeHint();
    const double room = std::min(ScreenWidthTwips() / kBreakdownWindowLayout.width,
                                 ScreenHeightTwips() / (kBreakdownWindowLayout.height + 600)) *
                        0.9;
    const double scale = std::clamp(room, 1.0 / 3, 1.5);
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

void BreakdownWindow::showCountdown()
{
    const ProgramSettings& s = m_program.ProgramSettings;
    m_view->showColumns(
        kestrel::showCountdown(s.CaptionOption, m_program.countdown, s.unitTexts, m_captionsVisible->isChecked()));
}

void BreakdownWindow::redraw()
{
    m_view->projectPanel()->setCaption(QString::fromStdString(m_program.ProgramSettings.ProjectTitle));
    showCountdown();
    m_view->update();
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
    m_view->setLooks(m_style);
    m_captionsVisible->setChecked(m_style.captionVisible);
    for (QLabel* caption : m_view->captionLabels()) {
        caption->setVisible(m_style.captionVisible);
    }
    m_view->captionRow()->setVisible(m_style.captionVisible);
    m_projectVisible->setChecked(m_style.projectVisible);
    m_view->projectPanel()->setVisible(m_style.projectVisible);
    // The panels around the groups take the design background, so hidden groups leave the
    // window's light blue.
    m_view->setPanelColors(ColorFromValue(BreakdownWindowDesign().caption.backColor),
                           ColorFromValue(kSystemWindowText));
}

void BreakdownWindow::chooseColor(Group group, bool background)
{
    RunStep(m_program.dialogs, [this, group, background] {
        const GroupStyle& style = GroupOf(m_style, group);
        const ColorValue current = background ? style.backColor : style.foreColor;
        const std::optional<QColor> chosen = m_program.dialogs.ShowColor(ColorFromValue(current));
        // A cancelled dialog still writes the key, with the colour that was showing.
        const ColorValue value = chosen ? ValueFromColor(*chosen) : current;
        const char* key = StylingKeyOf(group, background ? StyleAttribute::BackColor : StyleAttribute::ForeColor);
        m_program.write(kCountDownSection, QString::fromLatin1(key), QString::fromStdString(ColorText(value)));
        applyStoredStyling();
    });
}

void BreakdownWindow::chooseFont(Group group)
{
    RunStep(m_program.dialogs, [this, group] {
        const GroupStyle& current = GroupOf(m_style, group);
        const FontChoice chosen = m_program.dialogs.ShowFont(current.font).value_or(current.font);
        {
            // The four font keys reach the settings file in one replace.
            const SettingsAction action(m_program);
            for (SettingWrite& write : FontKeyWrites(group, chosen)) {
                m_program.write(std::move(write));
            }
        }
        applyStoredStyling();
    });
}

void BreakdownWindow::toggleVisible(Group group)
{
    RunStep(m_program.dialogs, [this, group] {
        // The menu item has already turned its check mark over.
        QAction* item = group == Group::Caption ? m_captionsVisible : m_projectVisible;
        m_program.write(kCountDownSection, QString::fromLatin1(StylingKeyOf(group, StyleAttribute::Visible)),
                        QString::fromStdString(BoolText(item->isChecked())));
        applyStoredStyling();
        // Captions of columns the format does not show stay hidden.
        showCountdown();
    });
}

void BreakdownWindow::exitWindow()
{
    m_life.storePlace();
    close();
}

void BreakdownWindow::closeEvent(QCloseEvent* event)
{
    m_life.unload();
    event->accept();
}

} // namespace kestrel
