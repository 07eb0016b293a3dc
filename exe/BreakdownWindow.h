// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BreakdownView.h"
#include "CountdownDisplay.h"
#include "Styling.h"
#include "WindowRegistry.h"

#include <QMainWindow>

class QAction;
class QLabel;

namespace kestrel {

struct Program;

// The "Countdown Breakdown" window: five columns of a unit caption over a number, and the
// project title below, all scaling with the window. The toolbar refreshes it on every tick; its
// Format menu styles the captions, the numbers and the project title (section "CountDown").
class BreakdownWindow : public QMainWindow, public CountdownDisplay
{
    Q_OBJECT
public:
    using Group = StyleGroup;

    // Runs the load steps: open flag, place, styling, project title, the first display.
    explicit BreakdownWindow(Program& program);
    ~BreakdownWindow() override;

    void showCountdown() override;
    void redraw() override;
    // Applies section "CountDown" of the settings file; error 13 for a value that does not
    // convert, after applying the keys before it.
    void applyStoredStyling();

    QLabel* captionLabel(int k) const { return m_view->captionLabel(k); }
    QLabel* numberLabel(int k) const { return m_view->numberLabel(k); }
    ElasticPanel* projectPanel() const { return m_view->projectPanel(); }
    ElasticPanel* captionRow() const { return m_view->captionRow(); }
    const BreakdownStyle& style() const { return m_style; }

    // The Format menu's handlers.
    void chooseColor(Group group, bool background);
    void chooseFont(Group group);
    void toggleVisible(Group group);
    // "&Exit": remembers the window's place, then closes it.
    void exitWindow();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void buildMenus();
    void applyStyle();

    Program& m_program;
    BreakdownStyle m_style;
    BreakdownView* m_view = nullptr;
    QAction* m_captionsVisible = nullptr;
    QAction* m_projectVisible = nullptr;
    WindowLife m_life;
};

} // namespace kestrel
