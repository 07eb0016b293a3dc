#include "CountdownFile.h"

#include "AtomicFile.h"
#include "RuntimeError.h"

#include <vector>

namespace kestrel {

namespace {

// One unit of the line: its texts, its number, and the format length from which it is written.
struct Piece
{
    const std::string& before;
    long long number;
    const std::string& after;
    std::size_t fromLength;
};

} // namespace

std::string CountdownFileLine(const ProgramSettings& s, const CountdownBreakdown& b)
{
    // The units each family writes, from the left. The hours family writes what the breakdown
    // window and the title line show: total hours, then minutes and seconds.
    const std::vector<Piece> pieces = [&]() -> std::vector<Piece> {
        switch (FamilyOf(s.CaptionOption)) {
        case FormatFamily::Years:
            return {{s.YYBeforeText, b.YearsPart, s.YYAfterText, 2},
                    {s.DDBeforeText, b.DaysPart, s.DDAfterText, 4},
                    {s.HHBeforeText, b.HoursPart, s.HHAfterText, 7},
                    {s.MMBeforeText, b.MinutesPart, s.MMAfterText, 10},
                    {s.SSBeforeText, b.SecondsPart, s.SSAfterText, 13}};
        case FormatFamily::Days:
            return {{s.DDBeforeText, b.TotalDays, s.DDAfterText, 2},
                    {s.HHBeforeText, b.HoursPart, s.HHAfterText, 4},
                    {s.MMBeforeText, b.MinutesPart, s.MMAfterText, 7},
                    {s.SSBeforeText, b.SecondsPart, s.SSAfterText, 10}};
        case FormatFamily::Hours:
            break;
        }
        return {{s.HHBeforeText, b.TotalHours(), s.HHAfterText, 2},
                {s.MMBeforeText, b.MinutesPart, s.MMAfterText, 4},
                {s.SSBeforeText, b.SecondsPart, s.SSAfterText, 6}};
    }();

    std::string text = s.FileBeforeText;
    for (const Piece& piece : pieces) {
        if (s.CaptionOption.size() >= piece.fromLength) {
            text += piece.before;
            text += std::to_string(piece.number);
            text += ' ';
            text += piece.after;
        }
    }
    text += ' ';
    text += s.FileAfterText;
    return text;
}

void CountdownFile::WriteCountdownFile(ProgramSettings& settings, const CountdownBreakdown& breakdown)
{
    try {
        // From one second to the next the line mostly keeps its length: then the file is
        // rewritten where it stands, which is many times quicker than replacing it.
        const std::string text = CountdownFileLine(settings, breakdown) + "\r\n";
        if (!OverwriteSameSize(settings.CountDownFile, text)) {
            ReplaceFileContents(settings.CountDownFile, text);
        }
    } catch (const RuntimeError& error) {
        settings.ContinuousSave = 0;
        if (error.number() == RuntimeError::PathNotFound) {
            report(kMissingCountdownFolderMessage);
        } else {
            report(std::to_string(error.number()) + error.description() + "\n\nThe countdown file " +
                   settings.CountDownFile +
                   " cannot be written. Continuous saving is off until the options are applied again.");
        }
    }
}

bool IsOtherProgramFile(const std::filesystem::path& countdownFile, const std::filesystem::path& settingsFile,
                        const std::filesystem::path& milestoneFile)
{
    if (countdownFile.empty()) {
        return false;
    }
    std::error_code error;
    const std::filesystem::path real = std::filesystem::weakly_canonical(countdownFile, error);
    for (const std::filesystem::path& other : {settingsFile, milestoneFile}) {
        if (other.empty()) {
            continue;
        }
        std::error_code otherError;
        if (!error && std::filesystem::weakly_canonical(other, otherError) == real && !otherError) {
            return true;
        }
        if (std::filesystem::equivalent(countdownFile, other, otherError) && !otherError) {
            return true;
        }
    }
    return false;
}

std::string CountdownFileClashMessage(const std::filesystem::path& countdownFile)
{
    return "The countdown file " + countdownFile.string() +
           " is the settings file or the milestone file, which continuous saving would overwrite. "
           "Choose another file for the countdown.";
}

void CountdownFile::report(const std::string& text)
{
    // The message box runs its own event loop, in which the next ticks may fail again: one
    // box at a time is enough.
    if (m_reporting || !m_report) {
        return;
    }
    m_reporting = true;
    try {
        m_report("Kestrel", text);
    } catch (...) {
        m_reporting = false;
        throw;
    }
    m_reporting = false;
}

} // namespace kestrel
