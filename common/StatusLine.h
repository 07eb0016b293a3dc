// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Countdown.h"
#include "DateServices.h"
#include "ProgramSettings.h"

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace kestrel {

class SettingsFile;

// The countdown on standard output, for status bars and scripts: the toolbar's countdown line,
// or one JSON object per count, computed from the same settings file by the same engine. It
// only reads the settings file and needs no display.

enum class StatusFormat
{
    Line, // the countdown line, "T-0:1:8:39:15"
    Json, // one JSON object on one line
};

// What the command line asks for.
struct StatusRequest
{
    StatusFormat format = StatusFormat::Line;
    bool watch = false; // a new count every second until the output closes
    bool help = false;
    std::string exportPath; // not empty: write the iCalendar file there ("-": standard output)
    std::string error;      // not empty: the command line is not understood, and why
};

// The options "--line", "--json" and "--watch" ("--watch" alone watches the line), "--help", and
// "--export-ics FILE" (or "--export-ics=FILE") alone.
// The program name is not part of args.
StatusRequest ParseStatusArguments(std::span<const std::string_view> args);
// Whether a command line (program name first) asks kestrel for the status output rather than
// its windows: one of "--line", "--json" or "--watch" is on it.
bool WantsStatusOutput(int argc, char** argv);
// The usage text of the status output.
std::string StatusUsage(std::string_view programName);

// Midnight at the start of the target day, read from the stored target texts as the engine reads
// them. Raises error 6 or 5 for texts the engine cannot count with.
DateValue TargetDay(const ProgramSettings& settings);
// Whether the countdown has passed its target (now later than midnight at the start of the
// target day), judged from the same stored target texts as the engine reads.
bool TargetPassed(const ProgramSettings& settings, DateValue now);
// The target day as "yyyy-mm-dd".
std::string TargetIsoDate(const ProgramSettings& settings);

// The JSON object for one count, on one line without a line end. Waybar's custom modules read
// "text" (the countdown line), "tooltip" (the target and today lines) and "class" ("counting"
// before the target, "passed" after it); the rest names the breakdown numbers, the target and
// the settings the count was made with.
std::string StatusJson(const ProgramSettings& settings, const CountdownBreakdown& breakdown, DateValue now);
// A text from the settings file as UTF-8: well-formed UTF-8 stays as it is, and every other byte
// is read as Latin-1, as a file written in a single-byte code page holds it.
std::string Utf8Text(std::string_view text);
// A text as a JSON string with its quotes. Bytes that are not UTF-8 are read as Latin-1, so that
// a settings file written in a single-byte code page still gives valid JSON.
std::string JsonString(std::string_view text);

// One count as printed: the line or the JSON object, with a line end. Raises the engine's
// run-time errors (error 6 when a count leaves the 16-bit range).
std::string StatusText(StatusFormat format, const ProgramSettings& settings, const Clock& clock);

// The services the status output runs on; tests replace the waiting and the writing.
struct StatusIo
{
    // Writes a text to standard output at once; false when the output is closed.
    std::function<bool(std::string_view)> write;
    // Writes a message to standard error.
    std::function<void(std::string_view)> error;
    // Waits until the clock's next whole second.
    std::function<void()> waitForNextSecond;
};
// The real services: standard output and error, and a sleep to the next second of the wall clock.
StatusIo SystemStatusIo();

// Prints the count once, or every second while watching, reading the settings file afresh for
// each count (so a change made in the options dialog shows at the next second). Returns the exit
// status: 0 when done or when the output closed, 1 after a run-time error (reported on standard
// error as "number description"), 2 for a command line it does not understand.
int RunStatus(const StatusRequest& request, const SettingsFile& settingsFile,
              const std::filesystem::path& dataDirectory, const Clock& clock, const StatusIo& io);

// Writes the iCalendar file of the settings and their milestone file to `path` ("-": standard
// output). Returns the exit status: 0, or 1 after reporting on standard error why the milestone
// file could not be read or the calendar file not written.
int RunCalendarExport(const std::string& path, const SettingsFile& settingsFile,
                      const std::filesystem::path& dataDirectory, const StatusIo& io);

// The whole status program: reads the command line (program name first), the settings file of
// the user and the system clock.
int StatusProgramMain(int argc, char** argv);

// The name of the small program, installed beside kestrel, that prints the status output.
inline constexpr const char* kStatusProgramName = "kestrel-status";

// Hands a status command line over to kestrel-status beside the running program, so that a
// status bar starting kestrel every second does not pay for loading the window toolkit; when
// that program cannot be started, prints the status here. Returns the exit status.
int HandOverStatusOutput(int argc, char** argv);

} // namespace kestrel
