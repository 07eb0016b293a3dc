// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BreakdownDisplay.h"
#include "ProgramSettings.h"
#include "DateServices.h"
#include "Styling.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {
class SettingsFile;
}

namespace kestrel::saver {

// The settings the screensaver reads once at start: the program's settings, read the same way,
// with the screensaver's own project title when the file has none. It never writes.
using SaverSettings = ProgramSettings;

SaverSettings LoadSaverSettings(const SettingsFile& file);

// The screensaver's design look: as the breakdown window's, with larger numbers and title.
BreakdownStyle ScreensaverDesign();

// How the screensaver was asked to run.
struct SaverCommand
{
    enum class Mode
    {
        Configure,         // the command line begins with "/c": say where the settings are made, end
        FullScreen,        // its own window on every screen, ended by the user's input
        IntoWindow,        // drawn into a window of a screensaver host, which ends it
        Answer,            // --help or --version: print `message` and end with status 0
        UsageError,        // a bad option or window id: print `message` and end with status 2
        AddToXScreenSaver, // --add-to-xscreensaver: put the saver in xscreensaver's list, end
    } mode = Mode::FullScreen;
    std::uint32_t window = 0;             // the host's window for IntoWindow; 0 means the root window
    std::string message;                  // for Answer and UsageError
    std::optional<std::string> countdown; // --countdown NAME: the countdown to show
};
// Reads the command line (without the program name) and XSCREENSAVER_WINDOW (empty when unset):
// "/c" first (lower case, exact, whatever follows); then --help and --version; then "-window-id
// ID" or "--window-id ID" (hexadecimal with 0x, or decimal); then XSCREENSAVER_WINDOW; then
// "-root" (the root window); otherwise full screen. "--countdown NAME" names the countdown shown.
// "--add-to-xscreensaver" asks for the saver to be added to xscreensaver's list. Free words ("/s", "/p 1234") run full
// screen. An id that is not a window id (garbage, 0, negative, more than 32 bits) and an
// unknown option are usage errors.
SaverCommand ParseCommandLine(const std::vector<std::string>& arguments, std::string_view xscreensaverWindow);
// The text of the configuration message.
std::string ConfigurationMessage();
inline constexpr const char* kSaverTitle = "Kestrel Screensaver";

// The countdown as the screensaver shows it: every format that does not begin with "yy" counts
// as the days family. Nothing when a count leaves the 16-bit range (a target more than 89
// years away).
std::optional<CountdownBreakdown> SaverCountdown(DateValue now, const SaverSettings& settings);
// The five columns: the display update with the days-family branch for every format that does
// not begin with "yy" and every shown caption visible. Without a countdown, the first column
// says the target is out of range and the others are hidden.
BreakdownColumns SaverColumns(const SaverSettings& settings, const std::optional<CountdownBreakdown>& breakdown);

// Counts the user's input; the screensaver ends when it has seen enough. Key presses, button
// presses and mouse movement over the numbers or the project title count up to 26; movement over
// the unit captions ends it already at the 6th.
class ExitCounter
{
public:
    enum class Event
    {
        Counting,      // key or button down, movement over a number or the project title
        CaptionMotion, // movement over a unit caption
    };
    // Counts one event; true when the screensaver must end.
    bool count(Event event);
    int value() const { return m_count; }

private:
    std::int16_t m_count = 0;
};

} // namespace kestrel::saver
