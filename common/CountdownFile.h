#pragma once

#include "Countdown.h"
#include "ProgramSettings.h"

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

    // Replaces the whole file with the countdown line and a CR LF. When the file's folder does
    // not exist, says so once and switches continuous saving off in memory (the settings file
    // still says on, so the next start tries again). Any other failure is reported as the
    // error's number followed by its text, once per failed write and never while an earlier
    // report is still on screen; saving stays on so the next tick tries again.
    void WriteCountdownFile(ProgramSettings& settings, const CountdownBreakdown& breakdown);

private:
    void report(const std::string& text);

    Report m_report;
    bool m_reporting = false;
};

// The message when the countdown file's folder does not exist.
inline constexpr const char* kMissingCountdownFolderMessage =
    "Cannot find Directory for continous Save File. Check in Options Forms";

} // namespace kestrel
