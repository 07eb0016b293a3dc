// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Countdown.h"
#include "OwnFiles.h"
#include "ProgramSettings.h"

#include <filesystem>
#include <functional>
#include <string>

namespace kestrel {

// The one line of the continuous countdown file (without its line end): the file's before text,
// a piece per unit of the count format (unit before text, number, a blank, unit after text),
// a blank and the file's after text. A countdown out of range writes "out of range" in place of
// the pieces.
std::string CountdownFileLine(const ProgramSettings& settings, const CountdownBreakdown& breakdown);

// Rewrites the continuous countdown file on every tick while continuous saving is on.
class CountdownFile
{
public:
    // Shows a message box with an OK button: title, then text. It may run a nested event loop
    // in which further ticks arrive.
    using Report = std::function<void(const std::string& title, const std::string& text)>;

    explicit CountdownFile(Report report) : m_report(std::move(report)) {}

    // Replaces the whole file with the countdown line and a CR LF. When the file cannot be
    // written, says so once and switches continuous saving off in memory, so that no message
    // follows every second; the settings file still says on, so the next start tries again, and
    // Apply in the options dialog switches it on again. A missing folder gets its own message;
    // any other failure is reported as the error's number followed by its text and the file.
    void WriteCountdownFile(ProgramSettings& settings, const CountdownBreakdown& breakdown);

private:
    void report(const std::string& text);

    Report m_report;
    bool m_reporting = false;
};

// The message when the countdown file is another of Kestrel's own files (OwnFileAt), which
// continuous saving would overwrite.
std::string CountdownFileClashMessage(const std::filesystem::path& countdownFile, OwnFile clash);

// The message when the countdown file's folder does not exist.
inline constexpr const char* kMissingCountdownFolderMessage =
    "Cannot find Directory for continous Save File. Check in Options Forms";

} // namespace kestrel
