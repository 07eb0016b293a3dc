// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ToolbarIcons.h"

#include <QString>

#include <optional>
#include <span>

class QWidget;

namespace kestrel {

class CountdownDisplay;
struct Program;

// The toolbar's seven picture buttons, left to right.
enum class Button
{
    CountDown,
    Calendar,
    Calculator,
    Options,
    Report,
    Help,
    Close,
};
inline constexpr int kButtonCount = 7;

// Names of the windows as the settings file records them in "Forms Open".
inline constexpr const char* kToolBarName = "frmToolBar";
inline constexpr const char* kCountDownName = "frmCountDown";
inline constexpr const char* kDeskCalName = "frmDeskCal";
inline constexpr const char* kCalcName = "frmCalc";
inline constexpr const char* kOptionsName = "frmOptions";
inline constexpr const char* kReportName = "frmreport";
inline constexpr const char* kMilestoneName = "frmMilestone";
inline constexpr const char* kAboutName = "frmAbout";

// How a window opens from its toolbar button or Tools menu item.
enum class Opening
{
    Toggled, // a window beside the toolbar: its button opens it, and closes it while it is open
    Modal,   // a dialog the toolbar waits for, with the countdown stopped; the toolbar's load steps
             // run again after it, so every display shows what it changed
};

// Where a window keeps its place in section "Forms Position". Top and left are written only while
// the window is normal (or, with normalPlaceWhenMaximised, maximised); never while minimised.
struct PlaceKeys
{
    const char* prefix = nullptr;          // "<prefix>Top", "<prefix>Left"; null: no place kept
    bool state = false;                    // "<prefix>WindowState" is read and written too
    bool storedAtClose = false;            // the program's close stores it, not only the window's "&Exit"
    bool normalPlaceWhenMaximised = false; // a maximised window stores its normal place with its state,
                                           // a minimised one stores nothing
};

// One window of the program. Adding a window is one row in WindowRegistry.cpp plus its class:
// the toolbar builds its button and menu item, opens and closes it, records it in "Forms Open"
// and its place in "Forms Position" from this row alone.
struct WindowKind
{
    const char* storedName;
    std::optional<Button> button;
    const char* tooltip;     // the button's tooltip, also its name for screen readers
    const char* menuCaption; // the item in the toolbar's Tools menu
    ToolbarPicture picture;  // the picture on its button
    PlaceKeys place;
    Opening opening;
    // Builds the window and runs its load steps. Null for the two windows the toolbar does not
    // open: the toolbar itself, and the milestone editor, which the desk calendar opens for a day.
    QWidget* (*create)(Program& program);
};

// Every window of the program, the toolbar first, then the ones with buttons in button order.
std::span<const WindowKind> Windows();
// The window recorded under that name (compared without case, as the settings file's names are).
const WindowKind* WindowNamed(const QString& storedName);
// The row of a window by the name it is recorded under; the name must be one of the constants above.
const WindowKind& WindowRow(const char* storedName);
// The window a toolbar button opens; null for the help and close buttons.
const WindowKind* WindowOfButton(Button button);

// The life of one window as its row describes it, held by the window: it is registered as loaded
// (and, when it shows the countdown, subscribed to the tick) by load(), restores its stored place,
// stores it when the window's "&Exit" or the program's close asks, and leaves the loaded windows
// and the tick when the window closes or goes, whichever comes first.
class WindowLife
{
public:
    WindowLife(Program& program, QWidget& window, const char* storedName, CountdownDisplay* display = nullptr);
    ~WindowLife();
    WindowLife(const WindowLife&) = delete;
    WindowLife& operator=(const WindowLife&) = delete;

    void load();
    void unload();
    bool loaded() const { return m_loaded; }
    // Applies the stored place, or the defaults (in twips) for keys the settings file lacks.
    void restorePlace(double defaultTop, double defaultLeft);
    // Applies the stored place; without one the window manager places the window.
    void restorePlace();
    // Writes the window's place as its row says, in one replace of the settings file.
    void storePlace();
    const WindowKind& kind() const { return m_kind; }

private:
    Program& m_program;
    QWidget& m_window;
    const WindowKind& m_kind;
    CountdownDisplay* m_display;
    bool m_loaded = false;
};

} // namespace kestrel
