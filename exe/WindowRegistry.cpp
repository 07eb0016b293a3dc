// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowRegistry.h"

#include "AboutWindow.h"
#include "BreakdownWindow.h"
#include "DateCalculator.h"
#include "DeskCalendar.h"
#include "OptionsDialog.h"
#include "ReportWindow.h"

#include <algorithm>
#include <array>

namespace kestrel {

namespace {

template <typename WindowClass>
QWidget* Create(Program& program)
{
    return new WindowClass(program);
}

const std::array kWindows = {
    WindowKind{kCountDownName, Button::CountDown, "Count Down", "&Count Down", "CountDown", Opening::Toggled,
               &Create<BreakdownWindow>},
    WindowKind{kDeskCalName, Button::Calendar, "Calendar", "C&alendar", "DeskCal", Opening::Toggled,
               &Create<DeskCalendar>},
    WindowKind{kCalcName, Button::Calculator, "Time Calculator", "&Time Calculator", "Calc", Opening::Toggled,
               &Create<DateCalculator>},
    WindowKind{kOptionsName, Button::Options, "Set Target Date and Options", "&Set Target Date", nullptr,
               Opening::Modal, &Create<OptionsDialog>},
    WindowKind{kReportName, Button::Report, "Print Report", "&Print Report", nullptr, Opening::Modal,
               &Create<ReportWindow>},
    WindowKind{kMilestoneName, std::nullopt, nullptr, nullptr, nullptr, Opening::Modal, nullptr},
    WindowKind{kAboutName, std::nullopt, nullptr, nullptr, nullptr, Opening::Modal, &Create<AboutWindow>},
};

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

const WindowKind* WindowOfButton(Button button)
{
    const auto found = std::find_if(kWindows.begin(), kWindows.end(),
                                    [button](const WindowKind& kind) { return kind.button == button; });
    return found == kWindows.end() ? nullptr : &*found;
}

} // namespace kestrel
