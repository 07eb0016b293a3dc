// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Autostart.h"

#include "Countdowns.h"

#include "AtomicFile.h"
#include "RuntimeError.h"

#include <cerrno>
#include <optional>
#include <system_error>
#include <vector>

namespace kestrel {

namespace {

constexpr std::string_view kEntryGroup = "[Desktop Entry]";
// An autostart entry is a few lines; anything larger is no entry of ours to rewrite.
constexpr std::size_t kMaxEntryBytes = 64 * 1024;

// Characters that make an Exec argument need quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A key line of the form "key=value" (blanks around "=" allowed): the key and the value.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || Trimmed(line).starts_with('#')) {
        return std::nullopt;
    }
    return std::pair{Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1))};
}

// Whether a line of the "Desktop Entry" group switches the entry off.
bool SwitchesOff(std::string_view line)
{
    const auto pair = KeyValue(line);
    return pair && ((pair->first == "Hidden" && pair->second == "true") ||
                    (pair->first == "X-GNOME-Autostart-enabled" && pair->second == "false"));
}

bool IsMark(std::string_view line)
{
    const auto pair = KeyValue(line);
    return pair && pair->first == kAutostartMarkKey && pair->second == "true";
}

struct Entry
{
    std::vector<std::string> lines;
    bool endsWithBreak = true;
};

std::optional<Entry> ReadEntry(const std::filesystem::path& path)
{
    const FileResult<FileContents> read = ReadRegularFile(path, kMaxEntryBytes);
    if (!read) {
        return std::nullopt;
    }
    Entry entry;
    entry.lines = Lines(read.value().bytes);
    entry.endsWithBreak = read.value().bytes.empty() || read.value().bytes.back() == '\n';
    return entry;
}

// Calls visit(index) for each line inside the "Desktop Entry" group.
template <typename Visit>
void ForEachEntryLine(const Entry& entry, Visit visit)
{
    bool inside = false;
    for (std::size_t index = 0; index < entry.lines.size(); ++index) {
        const std::string_view line = Trimmed(entry.lines[index]);
        if (line.starts_with('[')) {
            inside = line == kEntryGroup;
            continue;
        }
        if (inside) {
            visit(index);
        }
    }
}

bool IsOwnEntry(const Entry& entry)
{
    bool own = false;
    ForEachEntryLine(entry, [&](std::size_t index) { own = own || IsMark(entry.lines[index]); });
    return own;
}

void WriteEntry(const std::filesystem::path& path, const Entry& entry)
{
    std::string bytes;
    for (std::size_t index = 0; index < entry.lines.size(); ++index) {
        bytes += entry.lines[index];
        if (index + 1 < entry.lines.size() || entry.endsWithBreak) {
            bytes += '\n';
        }
    }
    ReplaceFileContents(path, bytes);
}

} // namespace

std::string DesktopExecValue(std::string_view programPath)
{
    std::string argument;
    if (programPath.find_first_of(kReserved) == std::string_view::npos) {
        argument = programPath;
    } else {
        argument = "\"";
        for (const char c : programPath) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') {
                argument += '\\';
            }
            argument += c;
        }
        argument += '"';
    }
    // Then the rules of every value: '%' starts a field code, and a string value escapes
    // backslashes and control characters.
    std::string value;
    for (const char c : argument) {
        switch (c) {
        case '%':
            value += "%%";
            break;
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
        }
    }
    return value;
}

std::string AutostartEntryText(std::string_view programPath, std::string_view countdown)
{
    const bool named = !countdown.empty() && !SameCountdownName(countdown, kDefaultCountdownName);
    // The name is one argument, quoted as the program's path is; a name holds no line break.
    const std::string arguments = named ? " --countdown " + DesktopExecValue(countdown) : std::string();
    const std::string name = named ? "Kestrel (" + std::string(countdown) + ")" : std::string("Kestrel");
    return std::string(kEntryGroup) +
           "\n"
           "Type=Application\n"
           "Name=" +
           name +
           "\n"
           "Comment=Count down to a target day\n"
           "Exec=" +
           DesktopExecValue(programPath) + arguments +
           "\n"
           "Icon=kestrel\n"
           "Terminal=false\n" +
           std::string(kAutostartMarkKey) + "=true\n";
}

bool AutostartEnabled(const std::filesystem::path& entry)
{
    const std::optional<Entry> read = ReadEntry(entry);
    if (!read) {
        return false;
    }
    bool off = false;
    ForEachEntryLine(*read, [&](std::size_t index) { off = off || SwitchesOff(read->lines[index]); });
    return !off;
}

std::filesystem::path CountdownAutostartEntry(const std::filesystem::path& defaultEntry, std::string_view countdown)
{
    if (countdown.empty() || SameCountdownName(countdown, kDefaultCountdownName)) {
        return defaultEntry;
    }
    return defaultEntry.parent_path() / ("kestrel-countdown-" + std::string(countdown) + ".desktop");
}

void SetAutostart(const std::filesystem::path& path, bool on, std::string_view programPath, std::string_view countdown)
{
    std::error_code error;
    const bool exists = std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found;
    const std::optional<Entry> existing = exists ? ReadEntry(path) : std::nullopt;
    const bool own = existing && IsOwnEntry(*existing);

    if (on) {
        if (existing && !own) {
            Entry entry = *existing;
            std::vector<std::string> kept;
            std::vector<bool> drop(entry.lines.size(), false);
            ForEachEntryLine(entry, [&](std::size_t index) { drop[index] = SwitchesOff(entry.lines[index]); });
            for (std::size_t index = 0; index < entry.lines.size(); ++index) {
                if (!drop[index]) {
                    kept.push_back(entry.lines[index]);
                }
            }
            entry.lines = std::move(kept);
            WriteEntry(path, entry);
            return;
        }
        std::filesystem::create_directories(path.parent_path(), error);
        ReplaceFileContents(path, AutostartEntryText(programPath, countdown));
        return;
    }

    if (!exists) {
        return;
    }
    if (own || !existing) {
        // Kestrel's own entry goes. One that cannot be read (no regular file) is left alone.
        if (own && !std::filesystem::remove(path, error) && error) {
            throw RuntimeError::FromSystemError(error.value());
        }
        return;
    }
    Entry entry = *existing;
    bool hidden = false;
    std::optional<std::size_t> group;
    for (std::size_t index = 0; index < entry.lines.size(); ++index) {
        if (Trimmed(entry.lines[index]) == kEntryGroup && !group) {
            group = index;
        }
    }
    ForEachEntryLine(entry, [&](std::size_t index) {
        const auto pair = KeyValue(entry.lines[index]);
        if (pair && pair->first == "Hidden") {
            entry.lines[index] = "Hidden=true";
            hidden = true;
        }
    });
    if (!hidden) {
        if (group) {
            entry.lines.insert(entry.lines.begin() + static_cast<std::ptrdiff_t>(*group + 1), "Hidden=true");
        } else {
            entry.lines.insert(entry.lines.begin(), {std::string(kEntryGroup), "Hidden=true"});
        }
    }
    WriteEntry(path, entry);
}

} // namespace kestrel
