#pragma once

namespace kestrel {

// A window that shows the countdown breakdown and is refreshed by the toolbar on every tick.
class CountdownDisplay
{
public:
    virtual ~CountdownDisplay() = default;
    // Rewrites the display from the program's last countdown.
    virtual void Set_2CountDown() = 0;
};

} // namespace kestrel
