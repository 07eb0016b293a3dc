// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kestrel {

// Starting Kestrel with the desktop session, through a desktop entry in the user's autostart
// folder (see DefaultAutostartEntry). The entry Kestrel writes carries a key of its own, so that
// turning the choice off removes only an entry Kestrel wrote; an entry the user made is switched
// off with "Hidden=true" and otherwise kept as it is.

// The key that marks an entry as Kestrel's own.
inline constexpr std::string_view kAutostartMarkKey = "X-Kestrel-Autostart";

// The Exec value that runs the program at `programPath`: the path as it is when it holds no
// reserved character, otherwise in double quotes with '"', '`', '$' and '\' escaped; then '%' is
// doubled and backslashes, tabs and line breaks are escaped as a desktop entry's string.
std::string DesktopExecValue(std::string_view programPath);

// The whole entry Kestrel writes for the program at `programPath`; for a countdown other than
// "Default", its Exec line carries "--countdown NAME" and its name says which countdown it starts.
std::string AutostartEntryText(std::string_view programPath, std::string_view countdown = {});

// The autostart entry of a countdown, in the folder of `defaultEntry` (kestrel.desktop, the
// entry of "Default"): kestrel-countdown-NAME.desktop for the others.
std::filesystem::path CountdownAutostartEntry(const std::filesystem::path& defaultEntry, std::string_view countdown);

// Whether the entry starts Kestrel at login: it exists and its "Desktop Entry" group says
// neither "Hidden=true" nor "X-GNOME-Autostart-enabled=false". A file that cannot be read is off.
bool AutostartEnabled(const std::filesystem::path& entry);

// Turns starting at login on or off, as the check box asks:
// - on: an entry the user made that is switched off is switched on again in place (its
//   "Hidden=true" and "X-GNOME-Autostart-enabled=false" lines go); otherwise Kestrel's own
//   entry is written, the autostart folder made when missing;
// - off: Kestrel's own entry is removed; one the user made gets "Hidden=true".
// Raises RuntimeError when the entry cannot be written or removed.
void SetAutostart(const std::filesystem::path& entry, bool on, std::string_view programPath,
                  std::string_view countdown = {});

} // namespace kestrel
