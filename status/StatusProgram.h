// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Countdown.h"
#include "Countdowns.h"
#include "DateServices.h"
#include "ProgramSettings.h"

#include <filesystem>
#include <functional>
#include <optional>
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
    bool all = false;   // every countdown, each line or object naming its countdown
    bool help = false;
    bool version = false;
    std::string exportPath; // not empty: write the iCalendar file there ("-": standard output)
    std::string error;      // not empty: the command line is not understood, and why
};

// The options "--line", "--json" and "--watch" ("--watch" alone watches the line), "--all",
// "--help", "--version", and "--export-ics FILE" (or "--export-ics=FILE") alone.
// The program name is not part of args.
StatusRequest ParseStatusArguments(std::span<const std::string_view> args);
// Whether a command line (program name first) asks kestrel for the status output rather than
// its windows: one of "--line", "--json", "--watch", "--all" or "--export-ics" is on it.
bool WantsStatusOutput(int argc, char** argv);
// The usage text of the status output.
std::string StatusUsage(std::string_view programName);

// The JSON object for one count, on one line without a line end. Waybar's custom modules read
// "text" (the countdown line), "tooltip" (the target and today lines) and "class" ("counting"
// before the target, "passed" after it); the rest names the breakdown numbers, the target and
// the settings the count was made with.
// `syncJson`, when not empty, is the "sync" object of the shared calendar (SyncStateJson).
std::string StatusJson(const ProgramSettings& settings, const CountdownBreakdown& breakdown, DateValue now,
                       const std::string& syncJson = {});
// How the last sync of the countdown's shared calendar went, as a JSON object: "state" "ok" or
// "error" with "at" (and "error"), or "never"; empty while sharing is off.
std::string SyncStateJson(const SettingsFile& settingsFile);
// A text as a JSON string with its quotes. Text that is not UTF-8 is read as Windows-1252, as
// every reader of the program's files reads it, so the result is always valid JSON.
std::string JsonString(std::string_view text);

// One count as printed for the second `now`: the line or the JSON object, with a line end.
// Raises the engine's run-time errors (error 6 when a count leaves the 16-bit range).
std::string StatusText(StatusFormat format, const ProgramSettings& settings, DateValue now,
                       const std::string& syncJson = {});

// The services the status output runs on; tests replace the waiting and the writing.
struct StatusIo
{
    // Writes a text to standard output at once: 0, or the errno of the failure (EPIPE when the
    // reader has closed its end).
    std::function<int(std::string_view)> write;
    // Writes a message to standard error.
    std::function<void(std::string_view)> error;
    // Waits until the wall clock's next whole second.
    std::function<void()> waitForNextSecond;
    // Waits a millisecond, for a clock that has not yet turned to the second the wait ended in.
    std::function<void()> pause;
};
// The real services: standard output and error, and a sleep to the next second of the wall clock.
StatusIo SystemStatusIo();

// Prints the count once, or every second while watching, reading the settings file afresh for
// each count (so a change made in the options dialog shows at the next second); each line
// carries the count of the second it is printed in. Returns the exit status: 0 when done or when
// the reader closed the output, 1 after a run-time error (reported on standard error as "number
// description") or when the output cannot be written (a full disk, /dev/full), 2 for a command
// line it does not understand.
int RunStatus(const StatusRequest& request, const SettingsFile& settingsFile,
              const std::filesystem::path& dataDirectory, const Clock& clock, const StatusIo& io);

// Writes the iCalendar file of the settings and their milestone file to `path` ("-": standard
// output). Returns the exit status: 0, or 1 after reporting on standard error why the milestone
// file could not be read or the calendar file not written.
int RunCalendarExport(const std::string& path, const SettingsFile& settingsFile,
                      const std::filesystem::path& dataDirectory, const StatusIo& io);

// The status program for a command line (without the program name): the usage error (status 2),
// the help text, the version, the calendar export or the count.
int RunStatusCommand(std::span<const std::string_view> args, std::string_view programName,
                     const SettingsFile& settingsFile, const std::filesystem::path& dataDirectory, const Clock& clock,
                     const StatusIo& io);

// The count of every countdown once, or every second while watching (the countdowns are listed
// afresh for each count): "NAME: line" a line each, or with --json one JSON array of the objects
// --json prints, each with a "countdown" field. A countdown whose count fails shows its error in
// its place; the exit status is then 1.
int RunStatusAll(const StatusRequest& request, const CountdownsHome& home, const Clock& clock, const StatusIo& io);

// The status program for a command line (without the program name) that may name a countdown
// (--countdown NAME, --settings FILE) or ask for all of them (--all). A countdown that does not
// exist is a usage error (status 2).
int RunStatusForCountdowns(std::span<const std::string_view> args, std::string_view programName,
                           const CountdownsHome& home, const Clock& clock, const StatusIo& io);

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
