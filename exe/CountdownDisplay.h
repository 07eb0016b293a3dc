// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kestrel {

// A window that shows the countdown breakdown and is refreshed by the toolbar.
class CountdownDisplay
{
public:
    virtual ~CountdownDisplay() = default;
    // Rewrites the numbers and captions from the program's last countdown (every tick).
    virtual void showCountdown() = 0;
    // Shows changed settings at once: the project title and the columns of the count format.
    virtual void redraw() = 0;
};

} // namespace kestrel
