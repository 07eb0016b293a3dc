// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CountdownFile.h"

#include "AtomicFile.h"
#include "BreakdownDisplay.h"
#include "RuntimeError.h"

namespace kestrel {

std::string CountdownFileLine(const ProgramSettings& s, const CountdownBreakdown& b)
{
    std::string text = s.FileBeforeText;
    if (b.OutOfRange) {
        text += kOutOfRangeMark;
    } else {
        // The units the count-format table lists for the file. For the hours family it writes
        // what the breakdown window and the title line show: total hours, minutes and seconds.
        const UnitTexts& texts = s.unitTexts;
        for (const FormatUnit& unit : FormatRow(FamilyOf(s.CaptionOption)).units) {
            if (unit.shownIn(CountOutput::File, s.CaptionOption.size())) {
                const auto [before, after] = texts.of(unit.unit);
                text += before;
                text += std::to_string(b.valueOf(unit.unit));
                text += ' ';
                text += after;
            }
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
            // The number and the text without a blank between them, as the older program showed it.
            report(std::to_string(error.number()) + error.description() + "\n\n" +
                   CouldNotBeSavedText("The countdown file", settings.CountDownFile, error.systemReason()) +
                   ". Continuous saving is off until the options are applied again.");
        }
    }
}

std::string CountdownFileClashMessage(const std::filesystem::path& countdownFile, OwnFile clash)
{
    return "The countdown file " + countdownFile.string() + " is " + OwnFileName(clash) +
           ", which continuous saving would overwrite. Choose another file for the countdown.";
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
