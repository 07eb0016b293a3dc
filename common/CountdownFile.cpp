#include "CountdownFile.h"

#include "AtomicFile.h"
#include "RuntimeError.h"

namespace kestrel {

namespace {

void AppendPiece(std::string& text, const std::string& before, long long number, const std::string& after)
{
    text += before;
    text += std::to_string(number);
    text += ' ';
    text += after;
}

} // namespace

std::string CountdownFileLine(const ProgramSettings& s, const CountdownBreakdown& b)
{
    std::string text = s.FileBeforeText;
    const std::size_t length = s.CaptionOption.size();
    switch (FamilyOf(s.CaptionOption)) {
    case FormatFamily::Years:
        if (length > 1) {
            AppendPiece(text, s.YYBeforeText, b.YearsPart, s.YYAfterText);
        }
        if (length > 3) {
            AppendPiece(text, s.DDBeforeText, b.DaysPart, s.DDAfterText);
        }
        if (length > 6) {
            AppendPiece(text, s.HHBeforeText, b.HoursPart, s.HHAfterText);
        }
        if (length > 9) {
            AppendPiece(text, s.MMBeforeText, b.MinutesPart, s.MMAfterText);
        }
        if (length > 12) {
            AppendPiece(text, s.SSBeforeText, b.SecondsPart, s.SSAfterText);
        }
        break;
    case FormatFamily::Days:
        if (length > 1) {
            AppendPiece(text, s.DDBeforeText, b.TotalDays, s.DDAfterText);
        }
        if (length > 3) {
            AppendPiece(text, s.HHBeforeText, b.HoursPart, s.HHAfterText);
        }
        if (length > 6) {
            AppendPiece(text, s.MMBeforeText, b.MinutesPart, s.MMAfterText);
        }
        if (length > 9) {
            AppendPiece(text, s.SSBeforeText, b.SecondsPart, s.SSAfterText);
        }
        break;
    case FormatFamily::Hours:
        // The units the breakdown window and the title line show: total hours, then minutes
        // from four characters on and seconds from six.
        if (length > 1) {
            AppendPiece(text, s.HHBeforeText, b.TotalHours(), s.HHAfterText);
        }
        if (length >= 4) {
            AppendPiece(text, s.MMBeforeText, b.MinutesPart, s.MMAfterText);
        }
        if (length >= 6) {
            AppendPiece(text, s.SSBeforeText, b.SecondsPart, s.SSAfterText);
        }
        break;
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
        if (error.number() == RuntimeError::PathNotFound) {
            settings.ContinuousSave = 0;
            report(kMissingCountdownFolderMessage);
        } else {
            report(std::to_string(error.number()) + error.description());
        }
    }
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
