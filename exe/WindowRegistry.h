// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>
#include <span>

class QWidget;

namespace kestrel {

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

// One window of the program. Adding a window is one row in WindowRegistry.cpp plus its class:
// the toolbar builds its button and menu item, opens and closes it, records it in "Forms Open"
// and its place in "Forms Position" from this row alone.
struct WindowKind
{
    const char* storedName;
    std::optional<Button> button;
    const char* tooltip;     // the button's tooltip, also its name for screen readers
    const char* menuCaption; // the item in the toolbar's Tools menu
    const char* placePrefix; // "<prefix>Top", "<prefix>Left", "<prefix>WindowState"; null: none
    Opening opening;
    // Builds the window and runs its load steps; it adds itself to the loaded windows. Null
    // while the window is not built yet: its button and menu item stay greyed out.
    QWidget* (*create)(Program& program);
};

// Every window but the toolbar itself, the ones with buttons in button order.
std::span<const WindowKind> Windows();
// The window recorded under that name (compared without case, as the settings file's names are).
const WindowKind* WindowNamed(const QString& storedName);
// The window a toolbar button opens; null for the help and close buttons.
const WindowKind* WindowOfButton(Button button);

} // namespace kestrel
