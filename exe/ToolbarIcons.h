// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

#include <array>

namespace kestrel {

// The pictures of the toolbar's seven buttons, left to right; None for a window without a button.
enum class ToolbarPicture
{
    Stopwatch,
    Calendar,
    Calculator,
    Target,
    Printer,
    Help,
    Power,
    None,
};

// The pictures of the toolbar's seven buttons: the desktop icon theme's when it has all seven,
// the program's own otherwise.
std::array<QIcon, 7> ToolbarIcons();
// One of them; the program's own icon for None.
QIcon ToolbarIcon(ToolbarPicture picture);

// The program's own icon: a stopwatch on a blue tile.
QIcon KestrelIcon();

} // namespace kestrel
