// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusLine.h"

#include "CountdownFile.h"
#include "ICalendar.h"
#include "Presets.h"
#include "RuntimeError.h"
#include "Settings.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <vector>

#include <unistd.h>

namespace kestrel {

namespace {

// The length of a UTF-8 sequence that starts at text[i] and is well formed (no overlong forms,
// no surrogates, nothing past U+10FFFF); 0 when it is not.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

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

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
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

DateValue TargetDay(const ProgramSettings& settings)
{
    return PackDate(ToInt16(ValFromText(settings.TargetYear)), ToInt16(ValFromText(settings.TargetMonth)),
                    ToInt16(ValFromText(settings.TargetDay)));
}

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
        } else if (arg == "--help" || arg == "-h") {
            request.help = true;
        } else {
            request.error = "unknown option '" + std::string(arg) + "'";
            return request;
        }
    }
    if (line && json) {
        request.error = "--line and --json cannot be given together";
    } else if (!request.exportPath.empty() && (line || json || request.watch)) {
        request.error = "--export-ics cannot be given with --line, --json or --watch";
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
        if (arg == "--line" || arg == "--json" || arg == "--watch" || arg == "--export-ics" ||
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
           " [--line | --json] [--watch]\n"
           "       " +
           name +
           " --export-ics FILE\n"
           "Prints the countdown of the Kestrel settings file on standard output, or writes the\n"
           "milestones and the target day as an iCalendar file.\n"
           "\n"
           "  --line    the countdown line, such as T-0:1:8:39:15 (the default)\n"
           "  --json    one JSON object with the line, the breakdown numbers, the target and\n"
           "            the fields text, tooltip and class for status bars such as waybar\n"
           "  --watch   print a new count every second, on the second, until the output closes\n"
           "  --export-ics FILE  write the milestones and the target day as an iCalendar\n"
           "            file (RFC 5545); FILE - writes it to standard output\n"
           "  --help    show this text\n";
}

bool TargetPassed(const ProgramSettings& settings, DateValue now)
{
    return now.serial > TargetDay(settings).serial;
}

std::string TargetIsoDate(const ProgramSettings& settings)
{
    const DateParts target = SplitDate(TargetDay(settings));
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", target.year, target.month, target.day);
    return text;
}

std::string Utf8Text(std::string_view text)
{
    std::string utf8;
    utf8.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
            ++i;
        } else if (const std::size_t length = Utf8SequenceLength(text, i)) {
            utf8.append(text.substr(i, length));
            i += length;
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
            ++i;
        }
    }
    return utf8;
}

std::string JsonString(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string json = "\"";
    json.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (const std::size_t length = Utf8SequenceLength(text, i)) {
                json.append(text.substr(i, length));
                i += length;
            } else {
                json += static_cast<char>(0xC0 | (c >> 6));
                json += static_cast<char>(0x80 | (c & 0x3F));
                ++i;
            }
            continue;
        }
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
                json += static_cast<char>(c);
            }
        }
        ++i;
    }
    json += '"';
    return json;
}

std::string StatusJson(const ProgramSettings& settings, const CountdownBreakdown& breakdown, DateValue now)
{
    const std::string targetText = TargetDateText(settings.TargetMonth, settings.TargetDay, settings.TargetYear);
    const bool passed = TargetPassed(settings, now);
    const DateParts at = SplitDate(now);
    char nowText[32];
    std::snprintf(nowText, sizeof nowText, "%04d-%02d-%02dT%02d:%02d:%02d", at.year, at.month, at.day, at.hour,
                  at.minute, at.second);

    std::string json = "{\"text\":" + JsonString(breakdown.Line);
    AddText(json, "tooltip", "Target is: " + targetText + " 00:00:00\n" + breakdown.TodayLine);
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
    json += '}';
    return json;
}

std::string StatusText(StatusFormat format, const ProgramSettings& settings, const Clock& clock)
{
    const DateValue now = GetPresentDate(clock);
    const CountdownBreakdown breakdown =
        ComputeCountdown(now, settings.TargetYear, settings.TargetMonth, settings.TargetDay, settings.TargetType,
                         settings.CaptionOption);
    std::string text = format == StatusFormat::Json ? StatusJson(settings, breakdown, now) : breakdown.Line;
    text += '\n';
    return text;
}

StatusIo SystemStatusIo()
{
    return {
        .write = [](std::string_view text) { return WriteAll(STDOUT_FILENO, text); },
        .error = [](std::string_view text) { WriteAll(STDERR_FILENO, text); },
        .waitForNextSecond = &WaitForNextWallSecond,
    };
}

int RunStatus(const StatusRequest& request, const SettingsFile& settingsFile,
              const std::filesystem::path& dataDirectory, const Clock& clock, const StatusIo& io)
{
    std::string lastError;
    for (;;) {
        std::string text;
        try {
            text = StatusText(request.format, LoadProgramSettings(settingsFile, dataDirectory), clock);
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
        if (!io.write(text) || !request.watch) {
            return 0;
        }
        io.waitForNextSecond();
    }
}

int RunCalendarExport(const std::string& path, const SettingsFile& settingsFile,
                      const std::filesystem::path& dataDirectory, const StatusIo& io)
{
    const ProgramSettings settings = LoadProgramSettings(settingsFile, dataDirectory);
    try {
        if (path == "-") {
            MilestoneTable milestones;
            if (std::optional<RuntimeError> error = milestones.LoadMilestones(settings.ProjectFile)) {
                throw *error;
            }
            return io.write(CalendarFile(settings, milestones, CalendarStampNow())) ? 0 : 1;
        }
        // Never over the user's settings or milestones.
        if (IsOtherProgramFile(path, settingsFile.path(), settings.ProjectFile)) {
            io.error("Cannot export the calendar to " + path + ": that is Kestrel's settings file or milestone file\n");
            return 1;
        }
        ExportCalendar(path, settings);
        return 0;
    } catch (const RuntimeError& error) {
        io.error("Cannot export the calendar to " + path + ": " + error.report() + "\n");
        return 1;
    }
}

int StatusProgramMain(int argc, char** argv)
{
    // A status bar that closes its end of the pipe ends the watch at the next write, quietly.
    std::signal(SIGPIPE, SIG_IGN);
    std::string_view programName = argc > 0 && argv[0] != nullptr ? argv[0] : kStatusProgramName;
    if (const std::size_t slash = programName.rfind('/'); slash != std::string_view::npos) {
        programName.remove_prefix(slash + 1);
    }
    std::vector<std::string_view> args;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        args.emplace_back(argv[i]);
    }
    const StatusRequest request = ParseStatusArguments(args);
    const StatusIo io = SystemStatusIo();
    if (!request.error.empty()) {
        io.error(std::string(programName) + ": " + request.error + "\n" + StatusUsage(programName));
        return 2;
    }
    if (request.help) {
        io.write(StatusUsage(programName));
        return 0;
    }
    if (!request.exportPath.empty()) {
        return RunCalendarExport(request.exportPath, SettingsFile(DefaultSettingsPath()), DefaultDataDirectory(), io);
    }
    SystemClock clock;
    return RunStatus(request, SettingsFile(DefaultSettingsPath()), DefaultDataDirectory(), clock, io);
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
