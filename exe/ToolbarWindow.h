// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WindowRegistry.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QTimer;
class QToolButton;

namespace kestrel {

class ElasticPanel;
struct Program;
class TrayIcon;

// The main window: the live countdown line in its title, seven picture buttons that open and
// close the other windows, the today line, the target line and the company panel. It owns the
// one-second timer that drives the countdown, the open displays and the countdown file.
class ToolbarWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit ToolbarWindow(Program& program);
    ~ToolbarWindow() override;

    // The load steps: place, countdown, company and target lines, the windows open at the last
    // close. Run at start-up and again after every modal window (the options dialog, the about
    // window); on those later runs the window keeps its place and the open windows stay open.
    void Load();

    // Computes the countdown and shows it: the title line and the today line. The timer is off
    // while it runs and on afterwards unless the format is years only.
    void refreshCountdown();
    // One tick: the countdown, every open display, the countdown file.
    void tick();
    // The refresh hook: the countdown and every open display at once.
    void refreshAllDisplays();
    // A button press (also from the menus and the button's action).
    void pressButton(Button which);
    // Opens the options dialog prepared for a first run (see OptionsDialog::prepareFirstRun).
    void openFirstRunOptions();
    // Ends the program as "&Close" does: the help viewer closes, the toolbar's place and the open
    // windows are recorded, the event loop ends. Running it again does nothing.
    void endProgram();

    // Puts the count in the panel's tray (once the toolbar has painted: start-up does not wait for
    // the tray). Without a tray the icon waits for one.
    void showTrayIcon();
    TrayIcon* trayIcon() const { return m_tray.get(); }
    // Hides the toolbar in the tray: its place and the open windows are recorded, and the windows
    // closed, as at the end of the program; the help viewer closes.
    void hideToTray();
    bool hiddenInTray() const { return m_hiddenInTray; }
    // Shows the toolbar and brings it forward (a second start of kestrel, the tray's menu); coming
    // out of the tray it reopens the windows recorded when it went there.
    void bringForward();

    QToolButton* button(Button which) const;
    // The command a button and its menu item share.
    QAction* action(Button which) const { return m_actions[static_cast<std::size_t>(which)]; }
    ElasticPanel* todayPanel() const { return m_today; }
    ElasticPanel* targetPanel() const { return m_target; }
    ElasticPanel* companyPanel() const { return m_company; }
    bool timerEnabled() const;

    // Whether the window a button opens is loaded now (false for the help and close buttons).
    bool openFlag(Button which) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildActions();
    void buildWindow();
    void buildMenus();
    void enableTimer();
    // Every open display shows the countdown as it stands.
    void showOnAllDisplays();
    // The "Target is:" line: the target day and time the count runs to.
    void showTarget();
    // Stores the new year of a renewing target whose day has ended.
    void renewStoredTarget();
    // Switches continuous saving off when the countdown file is the settings or milestone file.
    void guardCountdownFile();
    // Opens a window, or closes it when it is open; `prepare`, when given, runs on a modal
    // window after its load steps and before it shows.
    void open(const WindowKind& kind, const std::function<void(QWidget&)>& prepare = {});
    void showButtonStates();
    void restoreOpenWindows();

    Program& m_program;
    std::array<QAction*, kButtonCount> m_actions{};
    std::array<QToolButton*, kButtonCount> m_buttons{};
    ElasticPanel* m_frame = nullptr;
    ElasticPanel* m_today = nullptr;
    ElasticPanel* m_target = nullptr;
    ElasticPanel* m_company = nullptr;
    QTimer* m_timer = nullptr;
    QTimer* m_idleTimer = nullptr;
    bool m_loaded = false;
    bool m_ended = false;
    bool m_hiddenInTray = false;
    WindowLife m_life;
    std::unique_ptr<TrayIcon> m_tray;
};

} // namespace kestrel
