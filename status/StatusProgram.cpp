// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusProgram.h"

#include "AtomicFile.h"
#include "CountdownFile.h"
#include "Countdowns.h"
#include "OwnFiles.h"
#include "ICalendar.h"
#include "Presets.h"
#include "RuntimeError.h"
#include "SharedCalendar.h"
#include "Settings.h"
#include "TextEncoding.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include <unistd.h>

namespace kestrel {

namespace {

// How long a count waits, in pauses of a millisecond, for the clock to show the second that the
// wait for the next second ended in. The system's clock of whole seconds turns at the next tick
// of the kernel, a few milliseconds after the precise clock the wait measures; a clock that
// stands still (frozen for a test) is taken as it stands after this.
constexpr int kMaxClockLagPauses = 50;

void AddNumber(std::string& json, std::string_view name, long long value)
{
    json += ',';
    json += JsonString(name);
    json += ':';
    json += std::to_string(value);
}

void AddText(std::string& json, std::string_view name, std::string_view value)
{
    json += ',';
    json += JsonString(name);
    json += ':';
    json += JsonString(value);
}

void WaitForNextWallSecond()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    // A little past the change of second, so that the clock read next shows the new second.
    constexpr long kPastTheSecond = 2'000'000;
    timespec pause{0, 1'000'000'000L - now.tv_nsec + kPastTheSecond};
    if (pause.tv_nsec >= 1'000'000'000L) {
        pause.tv_sec = 1;
        pause.tv_nsec -= 1'000'000'000L;
    }
    while (nanosleep(&pause, &pause) == -1 && errno == EINTR) {}
}

void PauseAMillisecond()
{
    timespec pause{0, 1'000'000L};
    while (nanosleep(&pause, &pause) == -1 && errno == EINTR) {}
}

// The second a count is made for: the clock, read again for a moment while it still shows the
// second of the line before.
DateValue SecondToCount(const Clock& clock, const std::optional<DateValue>& previous, const StatusIo& io)
{
    DateValue now = GetPresentDate(clock);
    for (int pauses = 0; previous && now.serial == previous->serial && pauses < kMaxClockLagPauses; ++pauses) {
        io.pause();
        now = GetPresentDate(clock);
    }
    return now;
}

// Writes text to standard output; on a failure other than a reader that has gone, says so on
// standard error. Whether the text was written.
bool WriteOutput(const StatusIo& io, std::string_view text, bool& failed)
{
    const int error = io.write(text);
    if (error != 0 && error != EPIPE) {
        io.error(std::string("Cannot write to standard output: ") + std::strerror(error) + "\n");
        failed = true;
    }
    return error == 0;
}

// The error as the status output shows it: in place of the count while watching, so that a
// status bar shows why there is no count.
std::string ErrorText(StatusFormat format, const std::string& report)
{
    if (format == StatusFormat::Line) {
        return report + '\n';
    }
    return "{\"text\":" + JsonString(report) + ",\"tooltip\":" + JsonString(report) +
           ",\"class\":\"error\",\"error\":" + JsonString(report) + "}\n";
}

std::filesystem::path RunningProgramDirectory()
{
    std::vector<char> buffer(PATH_MAX + 1, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) {
        return {};
    }
    return std::filesystem::path(std::string(buffer.data(), static_cast<std::size_t>(length))).parent_path();
}

} // namespace

StatusRequest ParseStatusArguments(std::span<const std::string_view> args)
{
    StatusRequest request;
    bool line = false;
    bool json = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--export-ics" || arg.starts_with("--export-ics=")) {
            const bool joined = arg.starts_with("--export-ics=");
            if (!joined && i + 1 >= args.size()) {
                request.error = "--export-ics needs the calendar file to write";
                return request;
            }
            request.exportPath = joined ? std::string(arg.substr(13)) : std::string(args[++i]);
            if (request.exportPath.empty()) {
                request.error = "--export-ics needs the calendar file to write";
                return request;
            }
        } else if (arg == "--line") {
            line = true;
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--watch") {
            request.watch = true;
        } else if (arg == "--all") {
            request.all = true;
        } else if (arg == "--help" || arg == "-h") {
            request.help = true;
        } else if (arg == "--version") {
            request.version = true;
        } else {
            request.error = "unknown option '" + std::string(arg) + "'";
            return request;
        }
    }
    if (line && json) {
        request.error = "--line and --json cannot be given together";
    } else if (!request.exportPath.empty() && (line || json || request.watch)) {
        request.error = "--export-ics cannot be given with --line, --json or --watch";
    } else if (!request.exportPath.empty() && request.all) {
        request.error = "--export-ics writes one countdown's calendar and cannot be given with --all";
    }
    request.format = json ? StatusFormat::Json : StatusFormat::Line;
    return request;
}

bool WantsStatusOutput(int argc, char** argv)
{
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            return false;
        }
        if (arg == "--line" || arg == "--json" || arg == "--watch" || arg == "--all" || arg == "--export-ics" ||
            arg.starts_with("--export-ics=")) {
            return true;
        }
    }
    return false;
}

std::string StatusUsage(std::string_view programName)
{
    const std::string name(programName.empty() ? std::string_view(kStatusProgramName) : programName);
    return "Usage: " + name +
           " [--countdown NAME | --settings FILE | --all] [--line | --json] [--watch]\n"
           "       " +
           name +
           " [--countdown NAME | --settings FILE] --export-ics FILE\n"
           "Prints the countdown of the Kestrel settings file on standard output, or writes the\n"
           "milestones and the target day as an iCalendar file.\n"
           "\n"
           "  --countdown NAME  the countdown called NAME (Default: the settings file KESTREL.INI)\n"
           "  --settings FILE   the countdown of the settings file FILE\n"
           "  --all     every countdown: a line \"NAME: line\" each, or with --json one JSON array\n"
           "            of the objects, each with a \"countdown\" field\n"
           "  --line    the countdown line, such as T-0:1:8:39:15 (the default)\n"
           "  --json    one JSON object with the line, the breakdown numbers, the target and\n"
           "            the fields text, tooltip and class for status bars such as waybar\n"
           "  --watch   print a new count every second, on the second, until the output closes\n"
           "  --export-ics FILE  write the milestones and the target day as an iCalendar\n"
           "            file (RFC 5545); FILE - writes it to standard output\n"
           "  --help    show this text\n"
           "  --version show the version\n";
}

std::string JsonString(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    const std::string utf8 = Utf8Text(text);
    std::string json = "\"";
    json.reserve(utf8.size() + 2);
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            json += "\\\"";
            break;
        case '\\':
            json += "\\\\";
            break;
        case '\n':
            json += "\\n";
            break;
        case '\r':
            json += "\\r";
            break;
        case '\t':
            json += "\\t";
            break;
        default:
            if (c < 0x20) {
                json += "\\u00";
                json += kHex[c >> 4];
                json += kHex[c & 0xF];
            } else {
                json += ch;
            }
        }
    }
    json += '"';
    return json;
}

std::string StatusJson(const ProgramSettings& settings, const CountdownBreakdown& breakdown, DateValue now,
                       const std::string& syncJson)
{
    const std::string targetText = TargetDateText(settings.TargetMonth, settings.TargetDay, settings.TargetYear);
    const bool passed = TargetPassed(settings, now);
    const std::string nowText = Format(now, kIsoDateTimePattern);

    std::string json = "{\"text\":" + JsonString(breakdown.Line);
    AddText(json, "tooltip", "Target is: " + targetText + " " + TargetTimeText(settings) + "\n" + breakdown.TodayLine);
    AddText(json, "class", passed ? "passed" : "counting");
    AddText(json, "line", breakdown.Line);
    AddNumber(json, "years", breakdown.YearsPart);
    AddNumber(json, "days", breakdown.DaysPart);
    AddNumber(json, "totalDays", breakdown.TotalDays);
    AddNumber(json, "hours", breakdown.HoursPart);
    AddNumber(json, "totalHours", breakdown.TotalHours());
    AddNumber(json, "minutes", breakdown.MinutesPart);
    AddNumber(json, "seconds", breakdown.SecondsPart);
    json += ",\"passed\":";
    json += passed ? "true" : "false";
    AddText(json, "target", TargetIsoDate(settings));
    AddText(json, "targetText", targetText);
    AddText(json, "type", settings.TargetType);
    AddText(json, "format", settings.CaptionOption);
    AddText(json, "now", nowText);
    AddText(json, "today", breakdown.TodayLine);
    if (!syncJson.empty()) {
        json += ",\"sync\":" + syncJson;
    }
    json += '}';
    return json;
}

std::string SyncStateJson(const SettingsFile& settingsFile)
{
    if (!IsTrueText(ReadSetting(settingsFile, setting::ShareMilestones))) {
        return {};
    }
    const std::optional<SyncRecord> record = ReadSyncRecord(SyncRecordPath(settingsFile.path()));
    if (!record) {
        return "{\"state\":\"never\"}";
    }
    std::string json = "{\"state\":" + JsonString(record->ok ? "ok" : "error");
    AddText(json, "at", record->at);
    if (!record->ok) {
        AddText(json, "error", record->error);
    }
    return json + '}';
}

std::string StatusText(StatusFormat format, const ProgramSettings& stored, DateValue now, const std::string& syncJson)
{
    // A target that renews itself is shown as the anniversary it counts to, also when kestrel has
    // not stored the new year yet.
    const ProgramSettings settings = RenewedTarget(stored, now);
    const CountdownBreakdown breakdown = ComputeCountdown(now, settings);
    std::string text = format == StatusFormat::Json ? StatusJson(settings, breakdown, now, syncJson) : breakdown.Line;
    text += '\n';
    return text;
}

StatusIo SystemStatusIo()
{
    return {
        .write = [](std::string_view text) { return WriteAll(STDOUT_FILENO, text); },
        .error = [](std::string_view text) { WriteAll(STDERR_FILENO, text); },
        .waitForNextSecond = &WaitForNextWallSecond,
        .pause = &PauseAMillisecond,
    };
}

int RunStatus(const StatusRequest& request, const SettingsFile& settingsFile,
              const std::filesystem::path& dataDirectory, const Clock& clock, const StatusIo& io)
{
    std::string lastError;
    std::string lastWorkDaysProblem;
    std::optional<DateValue> previous;
    for (;;) {
        const DateValue now = SecondToCount(clock, previous, io);
        previous = now;
        std::string text;
        try {
            const ProgramSettings settings = LoadProgramSettings(settingsFile, dataDirectory);
            // A damaged holiday cache or working week is said once; the count goes on without it.
            if (settings.workDaysProblem != lastWorkDaysProblem && !settings.workDaysProblem.empty()) {
                io.error(settings.workDaysProblem + '\n');
            }
            lastWorkDaysProblem = settings.workDaysProblem;
            text = StatusText(request.format, settings, now,
                              request.format == StatusFormat::Json ? SyncStateJson(settingsFile) : std::string());
            lastError.clear();
        } catch (const RuntimeError& error) {
            const std::string report = error.report();
            if (!request.watch) {
                io.error(report + '\n');
                return 1;
            }
            // Said once on standard error while it lasts; the output shows it every second.
            if (report != lastError) {
                io.error(report + '\n');
                lastError = report;
            }
            text = ErrorText(request.format, report);
        }
        bool failed = false;
        if (!WriteOutput(io, text, failed) || !request.watch) {
            return failed ? 1 : 0;
        }
        io.waitForNextSecond();
    }
}

int RunCalendarExport(const std::string& path, const SettingsFile& settingsFile,
                      const std::filesystem::path& dataDirectory, const StatusIo& io)
{
    const ProgramSettings settings = LoadProgramSettings(settingsFile, dataDirectory);
    try {
        const std::filesystem::path milestoneFile = MilestoneFilePath(settings, dataDirectory);
        MilestoneTable milestones;
        if (std::optional<RuntimeError> error = milestones.LoadMilestones(milestoneFile)) {
            throw *error;
        }
        if (path == "-") {
            bool failed = false;
            return WriteOutput(io, CalendarFile(settings, milestones, CalendarStampNow()), failed) ? 0 : 1;
        }
        // Never over the user's settings, milestones or any other file Kestrel keeps.
        if (const std::optional<OwnFile> clash = OwnFileAt(path, OwnFilesOf(settingsFile, settings, dataDirectory))) {
            io.error("Cannot export the calendar to " + path + ": " + OwnFileReason(*clash) + "\n");
            return 1;
        }
        ExportCalendar(path, settings, milestones);
        return 0;
    } catch (const RuntimeError& error) {
        io.error("Cannot export the calendar to " + path + ": " + error.report() + "\n");
        return 1;
    }
}

int RunStatusCommand(std::span<const std::string_view> args, std::string_view programName,
                     const SettingsFile& settingsFile, const std::filesystem::path& dataDirectory, const Clock& clock,
                     const StatusIo& io)
{
    const StatusRequest request = ParseStatusArguments(args);
    if (!request.error.empty()) {
        io.error(std::string(programName) + ": " + request.error + "\n" + StatusUsage(programName));
        return 2;
    }
    if (request.help || request.version) {
        const std::string text =
            request.help ? StatusUsage(programName) : std::string(kStatusProgramName) + " " + KESTREL_VERSION + "\n";
        bool failed = false;
        WriteOutput(io, text, failed);
        return failed ? 1 : 0;
    }
    if (!request.exportPath.empty()) {
        return RunCalendarExport(request.exportPath, settingsFile, dataDirectory, io);
    }
    return RunStatus(request, settingsFile, dataDirectory, clock, io);
}

int RunStatusAll(const StatusRequest& request, const CountdownsHome& home, const Clock& clock, const StatusIo& io)
{
    std::vector<std::string> lastErrors;
    std::optional<DateValue> previous;
    for (;;) {
        const DateValue now = SecondToCount(clock, previous, io);
        previous = now;
        std::vector<std::string> errors;
        std::string text = request.format == StatusFormat::Json ? "[" : "";
        bool first = true;
        for (const CountdownPlace& countdown : ListCountdowns(home)) {
            std::string one;
            try {
                const SettingsFile file(countdown.settingsFile);
                one = StatusText(request.format, LoadProgramSettings(file, countdown.dataDirectory), now,
                                 request.format == StatusFormat::Json ? SyncStateJson(file) : std::string());
            } catch (const RuntimeError& error) {
                errors.push_back(countdown.name + ": " + error.report());
                one = ErrorText(request.format, error.report());
            }
            if (request.format == StatusFormat::Json) {
                // The object without its line end, with the countdown's name first.
                one.pop_back();
                text +=
                    (first ? "{\"countdown\":" : ",{\"countdown\":") + JsonString(countdown.name) + "," + one.substr(1);
            } else {
                text += countdown.name + ": " + one;
            }
            first = false;
        }
        if (request.format == StatusFormat::Json) {
            text += "]\n";
        }
        // Said once on standard error while they last.
        if (errors != lastErrors) {
            for (const std::string& error : errors) {
                io.error(error + '\n');
            }
            lastErrors = errors;
        }
        bool failed = false;
        if (!WriteOutput(io, text, failed) || !request.watch) {
            return failed || !errors.empty() ? 1 : 0;
        }
        io.waitForNextSecond();
    }
}

int RunStatusForCountdowns(std::span<const std::string_view> args, std::string_view programName,
                           const CountdownsHome& home, const Clock& clock, const StatusIo& io)
{
    std::vector<std::string> rest(args.begin(), args.end());
    const auto usageError = [&](const std::string& message) {
        io.error(std::string(programName) + ": " + message + "\n" + StatusUsage(programName));
        return 2;
    };
    const std::variant<CountdownOption, std::string> option = TakeCountdownOption(rest);
    if (const std::string* error = std::get_if<std::string>(&option)) {
        return usageError(*error);
    }
    const std::vector<std::string_view> others(rest.begin(), rest.end());
    const StatusRequest request = ParseStatusArguments(others);
    const CountdownOption& chosen = std::get<CountdownOption>(option);
    if (request.error.empty() && !request.help && !request.version) {
        if (request.all) {
            if (chosen.name || chosen.settingsFile) {
                return usageError("--all cannot be given with --countdown or --settings");
            }
            return RunStatusAll(request, home, clock, io);
        }
        const std::variant<CountdownPlace, std::string> place = ResolveCountdown(chosen, home);
        if (const std::string* error = std::get_if<std::string>(&place)) {
            io.error(std::string(programName) + ": " + *error + "\n");
            return 2;
        }
        const CountdownPlace& countdown = std::get<CountdownPlace>(place);
        return RunStatusCommand(others, programName, SettingsFile(countdown.settingsFile), countdown.dataDirectory,
                                clock, io);
    }
    // Usage errors, help and version need no countdown.
    return RunStatusCommand(others, programName, SettingsFile(home.settingsFile), home.dataDirectory, clock, io);
}

int StatusProgramMain(int argc, char** argv)
{
    // A status bar that closes its end of the pipe ends the watch at the next write, quietly.
    std::signal(SIGPIPE, SIG_IGN);
    IgnoreFileSizeLimitSignal();
    std::string_view programName = argc > 0 && argv[0] != nullptr ? argv[0] : kStatusProgramName;
    if (const std::size_t slash = programName.rfind('/'); slash != std::string_view::npos) {
        programName.remove_prefix(slash + 1);
    }
    std::vector<std::string_view> args;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        args.emplace_back(argv[i]);
    }
    const SystemClock clock;
    return RunStatusForCountdowns(args, programName, UserCountdownsHome(), clock, SystemStatusIo());
}

int HandOverStatusOutput(int argc, char** argv)
{
    const std::filesystem::path directory = RunningProgramDirectory();
    if (!directory.empty()) {
        const std::string companion = (directory / kStatusProgramName).string();
        // Returns only when the companion cannot be started.
        ::execv(companion.c_str(), argv);
    }
    return StatusProgramMain(argc, argv);
}

} // namespace kestrel
