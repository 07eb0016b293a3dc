// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "XScreenSaverList.h"

#include "AtomicFile.h"
#include "RuntimeError.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace kestrel::saver {

namespace {

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool Continues(const std::string& line)
{
    return !line.empty() && line.back() == '\\';
}

// Where the value of a "programs" resource begins in the line (just after its colon), or npos
// when the line sets another resource. The name may be written "programs", "*programs" or
// "XScreenSaver.programs" (or with "*").
std::size_t ProgramsValueStart(const std::string& line)
{
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos) {
        return std::string::npos;
    }
    std::string_view rest = std::string_view(line).substr(at);
    for (const std::string_view prefix : {"XScreenSaver*", "XScreenSaver.", "*"}) {
        if (rest.starts_with(prefix)) {
            rest.remove_prefix(prefix.size());
            break;
        }
    }
    if (!rest.starts_with("programs")) {
        return std::string::npos;
    }
    rest.remove_prefix(8);
    const std::size_t colon = rest.find_first_not_of(" \t");
    if (colon == std::string_view::npos || rest[colon] != ':') {
        return std::string::npos;
    }
    return line.size() - rest.size() + colon + 1;
}

// The first and last line of the programs resource; none when the text sets no such resource.
// Lines continued from another resource and comments ("!") are skipped.
std::optional<std::pair<std::size_t, std::size_t>> ProgramsBlock(const std::vector<std::string>& lines)
{
    bool continued = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool isContinuation = continued;
        continued = Continues(lines[i]);
        if (isContinuation || lines[i].starts_with('!') || ProgramsValueStart(lines[i]) == std::string::npos) {
            continue;
        }
        std::size_t last = i;
        while (Continues(lines[last]) && last + 1 < lines.size()) {
            ++last;
        }
        return std::pair{i, last};
    }
    return std::nullopt;
}

// The programs block with the saver's entry as its first program.
std::vector<std::string> WithEntry(std::vector<std::string> block, std::string_view command)
{
    const std::string entry = std::string("  \"") + kSaverLabel + "\"  " + std::string(command) + "  \\n";
    std::string& header = block.front();
    const std::size_t valueStart = ProgramsValueStart(header);
    const bool emptyValue = header.find_first_not_of(" \t\\", valueStart) == std::string::npos;
    if (Continues(header)) {
        // The list goes on below the header: the entry joins it as the first program.
        block.insert(block.begin() + 1, entry + "\\");
    } else if (emptyValue) {
        header += " \\";
        block.insert(block.begin() + 1, entry);
    } else {
        // One program on the header's own line: it ends with a line break now, and the entry
        // follows it.
        header += " \\n\\";
        block.insert(block.begin() + 1, entry);
    }
    return block;
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

std::optional<std::string> ReadWhole(const std::filesystem::path& path, int& error)
{
    error = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = errno;
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        error = EIO;
        return std::nullopt;
    }
    return bytes.str();
}

} // namespace

ProgramsListEdit AddToProgramsList(const std::optional<std::string>& userFile,
                                   const std::optional<std::string>& systemDefaults, std::string_view command)
{
    ProgramsListEdit edit;
    const std::vector<std::string> userLines = userFile ? SplitLines(*userFile) : std::vector<std::string>();
    if (const auto block = ProgramsBlock(userLines)) {
        const std::vector<std::string> list(userLines.begin() + static_cast<std::ptrdiff_t>(block->first),
                                            userLines.begin() + static_cast<std::ptrdiff_t>(block->second) + 1);
        if (Join(list).find("kestrel-saver") != std::string::npos) {
            edit.result = ProgramsListEdit::Result::AlreadyThere;
            return edit;
        }
        // Only the lines of the list change; the bytes before and after it stay as they were.
        std::size_t before = 0;
        for (std::size_t i = 0; i < block->first; ++i) {
            before += userLines[i].size() + 1;
        }
        std::size_t after = before;
        for (std::size_t i = block->first; i <= block->second; ++i) {
            after += userLines[i].size() + 1;
        }
        const std::string& text = *userFile;
        std::string middle = Join(WithEntry(list, command));
        if (after > text.size()) {
            // The list was the file's last line, without a line break after it.
            middle.pop_back();
            after = text.size();
        }
        edit.result = ProgramsListEdit::Result::Added;
        edit.text = text.substr(0, before) + middle + text.substr(after);
        return edit;
    }
    const std::vector<std::string> systemLines =
        systemDefaults ? SplitLines(*systemDefaults) : std::vector<std::string>();
    const auto block = ProgramsBlock(systemLines);
    if (!block) {
        edit.result = ProgramsListEdit::Result::NoList;
        return edit;
    }
    std::vector<std::string> list(systemLines.begin() + static_cast<std::ptrdiff_t>(block->first),
                                  systemLines.begin() + static_cast<std::ptrdiff_t>(block->second) + 1);
    // The system's resource name ("*programs:") as the user's file writes it.
    list.front() = "programs:" + list.front().substr(ProgramsValueStart(list.front()));
    std::string text = userFile ? *userFile : std::string();
    if (!text.empty() && text.back() != '\n') {
        text += '\n';
    }
    edit.result = ProgramsListEdit::Result::Added;
    edit.text = text + Join(WithEntry(list, command));
    return edit;
}

int AddToXScreenSaver(const std::filesystem::path& userFile, const std::filesystem::path& systemDefaults,
                      std::string_view command, std::FILE* out, std::FILE* err)
{
    int error = 0;
    std::optional<std::string> user = ReadWhole(userFile, error);
    if (!user && error != ENOENT) {
        std::fprintf(err, "kestrel-saver: %s cannot be read: %s\n", userFile.c_str(), std::strerror(error));
        return 1;
    }
    const std::optional<std::string> system = ReadWhole(systemDefaults, error);
    const ProgramsListEdit edit = AddToProgramsList(user, system, command);
    switch (edit.result) {
    case ProgramsListEdit::Result::AlreadyThere:
        std::fprintf(out, "kestrel-saver: the programs list in %s names kestrel-saver already; nothing changed.\n",
                     userFile.c_str());
        return 0;
    case ProgramsListEdit::Result::NoList:
        std::fprintf(err,
                     "kestrel-saver: neither %s nor %s holds a programs list; is xscreensaver installed? Nothing was "
                     "changed.\n",
                     userFile.c_str(), systemDefaults.c_str());
        return 1;
    case ProgramsListEdit::Result::Added:
        break;
    }
    try {
        ReplaceFileContents(userFile, edit.text, 0644);
    } catch (const RuntimeError& failure) {
        std::fprintf(err, "kestrel-saver: %s could not be written (%s); nothing was changed.\n", userFile.c_str(),
                     failure.report().c_str());
        return 1;
    }
    std::fprintf(out,
                 "kestrel-saver: \"%s\" (%s) is now in xscreensaver's list in %s; choose it in "
                 "xscreensaver-settings.\n",
                 kSaverLabel, std::string(command).c_str(), userFile.c_str());
    return 0;
}

} // namespace kestrel::saver
