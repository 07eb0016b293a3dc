// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowRegistry.h"

#include "AboutWindow.h"
#include "BreakdownWindow.h"
#include "DateCalculator.h"
#include "DeskCalendar.h"
#include "OptionsDialog.h"
#include "Program.h"
#include "ReportWindow.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace kestrel {

namespace {

template <typename WindowClass>
QWidget* Create(Program& program)
{
    return new WindowClass(program);
}

// The place of a window beside the toolbar: state, top and left, stored by its "&Exit" and by the
// program's close.
constexpr PlaceKeys BesideToolbar(const char* prefix, bool normalPlaceWhenMaximised = false)
{
    return {prefix, true, true, normalPlaceWhenMaximised};
}
// The place of a dialog: top and left, stored by its own buttons while it is normal.
constexpr PlaceKeys DialogPlace(const char* prefix)
{
    return {prefix, false, false, false};
}

// clang-format off
const std::array kWindows = {
    // The toolbar reads "ToolBarTop" and writes "ToolbarTop": the same keys, as names compare without case.
    WindowKind{kToolBarName, std::nullopt, nullptr, nullptr, ToolbarPicture::None, BesideToolbar("Toolbar"), Opening::Toggled, nullptr},
    WindowKind{kCountDownName, Button::CountDown, "Count Down", "&Count Down", ToolbarPicture::Stopwatch, BesideToolbar("CountDown"), Opening::Toggled, &Create<BreakdownWindow>},
    WindowKind{kDeskCalName, Button::Calendar, "Calendar", "C&alendar", ToolbarPicture::Calendar, BesideToolbar("DeskCal", true), Opening::Toggled, &Create<DeskCalendar>},
    WindowKind{kCalcName, Button::Calculator, "Time Calculator", "&Time Calculator", ToolbarPicture::Calculator, BesideToolbar("Calc"), Opening::Toggled, &Create<DateCalculator>},
    WindowKind{kOptionsName, Button::Options, "Set Target Date and Options", "&Set Target Date", ToolbarPicture::Target, {}, Opening::Modal, &Create<OptionsDialog>},
    WindowKind{kReportName, Button::Report, "Print Report", "&Print Report", ToolbarPicture::Printer, DialogPlace("Report"), Opening::Modal, &Create<ReportWindow>},
    WindowKind{kMilestoneName, std::nullopt, nullptr, nullptr, ToolbarPicture::None, DialogPlace("Milestone"), Opening::Modal, nullptr},
    WindowKind{kAboutName, std::nullopt, nullptr, nullptr, ToolbarPicture::None, {}, Opening::Modal, &Create<AboutWindow>},
};
// clang-format on

} // namespace

std::span<const WindowKind> Windows()
{
    return kWindows;
}

const WindowKind* WindowNamed(const QString& storedName)
{
    const auto found = std::find_if(kWindows.begin(), kWindows.end(), [&storedName](const WindowKind& kind) {
        return storedName.compare(QLatin1String(kind.storedName), Qt::CaseInsensitive) == 0;
    });
    return found == kWindows.end() ? nullptr : &*found;
}

const WindowKind& WindowRow(const char* storedName)
{
    const auto found = std::find_if(kWindows.begin(), kWindows.end(), [storedName](const WindowKind& kind) {
        return std::strcmp(kind.storedName, storedName) == 0;
    });
    if (found == kWindows.end()) {
        throw std::logic_error(std::string("no window row for ") + storedName);
    }
    return *found;
}

const WindowKind* WindowOfButton(Button button)
{
    const auto found = std::find_if(kWindows.begin(), kWindows.end(),
                                    [button](const WindowKind& kind) { return kind.button == button; });
    return found == kWindows.end() ? nullptr : &*found;
}

WindowLife::WindowLife(Program& program, QWidget& window, const char* storedName, CountdownDisplay* display)
    : m_program(program), m_window(window), m_kind(WindowRow(storedName)), m_display(display)
{}

WindowLife::~WindowLife()
{
    unload();
}

void WindowLife::load()
{
    m_loaded = true;
    m_program.windows.add(QString::fromLatin1(m_kind.storedName), &m_window);
    if (m_display != nullptr) {
        m_program.subscribe(m_display);
    }
}

void WindowLife::unload()
{
    if (!m_loaded) {
        return;
    }
    m_loaded = false;
    if (m_display != nullptr) {
        m_program.unsubscribe(m_display);
    }
    m_program.windows.remove(&m_window);
}

void WindowLife::restorePlace(double defaultTop, double defaultLeft)
{
    ApplyPlace(m_window, ReadPlace(m_program, m_kind.place, defaultTop, defaultLeft));
}

void WindowLife::restorePlace()
{
    const StoredPlace place = ReadPlace(m_program, m_kind.place, 0, 0);
    // Without a stored place the window manager places the window: a position asked for would
    // put its frame's corner where the manager may not want it, even above the screen.
    if (place.stored) {
        ApplyPlace(m_window, place);
    } else {
        ApplyWindowStateCode(m_window, place.state);
    }
}

void WindowLife::storePlace()
{
    WritePlace(m_program, m_kind.place, m_window);
}

} // namespace kestrel
