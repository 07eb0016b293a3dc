// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Settings.h"

#include <array>
#include <functional>
#include <string>
#include <optional>
#include <string_view>

namespace kestrel {

class Clock;
class SettingsFile;

// "Jan" to "Dec" for a month number 1 to 12, given as a number or as a text holding one
// ("12", " 3"); an empty text for anything else (0, 13, 1.5, a text with no number).
std::string MonthAbbreviation(std::string_view month);
std::string MonthAbbreviation(double month);

// The target date as the user sees it, built from the three stored texts as they are:
// "Jan 1, 2000" from month "1", day "1" and year "2000".
std::string TargetDateText(std::string_view month, std::string_view day, std::string_view year);

// The preset box's list, in the order the box shows it.
inline constexpr std::array<std::string_view, 10> kPresetTargets = {"Y2K",
                                                                    "Y3K",
                                                                    "Now",
                                                                    "Next Christmas",
                                                                    "Next New Year",
                                                                    "2000 Summer Olympics",
                                                                    "2002 Winter Olympics",
                                                                    "Spouse's Birthday",
                                                                    "Anniversary",
                                                                    "Special Date"};

// A preset that asks the user for a month and day and remembers the answer in section
// "Target Date" of the settings file.
struct PersonalDatePreset
{
    std::string_view listText;    // as the preset box lists it
    std::string_view title;       // of the input box
    std::string_view firstPrompt; // the first question
    std::string_view retryPrompt; // the one question after an answer that is not a date
    std::string_view key;         // where the answer is remembered
};

// clang-format off
inline constexpr std::array<PersonalDatePreset, 3> kPersonalDatePresets = {{
    {"Spouse's Birthday", "Spouses Birthday Target Date", "Enter Spouses Date (MMM DD)", "You enter an invalid date. Please Retry. Spouses Date (MMM DD)", "Spouses Birthdate"},
    {"Anniversary", "Anniversary Date Target Date", "Enter Your Anniversary Date (MMM DD)", "You enter an invalid date. Please Retry. Anniversary Date (MMM DD)", "Anniversary Date"},
    {"Special Date", "Special Date Target Date", "Enter Your Special Date (MMM DD)", "You enter an invalid date. Please Retry. Special Date (MMM DD)", "Special Date"},
}};
// clang-format on

// The personal preset whose list text is exactly `presetText` (case and blanks count); null for
// any other text.
const PersonalDatePreset* FindPersonalDatePreset(std::string_view presetText);

// An input box: prompt, title and offered answer in; the text typed out, or an empty text when
// the user cancels.
using InputBoxFunction =
    std::function<std::string(std::string_view prompt, std::string_view title, std::string_view defaultText)>;

// What a preset choice needs from the program: today, the remembered personal dates and a way to
// ask the user.
struct PresetServices
{
    const Clock& clock;
    const SettingsFile& settings;
    InputBoxFunction inputBox;
};

// The target date text and the preset box's text after a preset was chosen.
struct PresetChoice
{
    std::string targetDateText;
    std::string presetText;

    friend bool operator==(const PresetChoice&, const PresetChoice&) = default;
};

// The target date text that the preset box's text `presetText` makes of `targetDateText`. The
// fixed presets give their literal text ("Jan 01, 2000"), "Now" today as "mmm d, yyyy", "Next
// Christmas" and "Next New Year" that day of next year; the personal presets ask (AskPersonalDate);
// any other text, the empty text included, changes nothing.
PresetChoice SelectPresetTarget(std::string_view presetText, std::string_view targetDateText,
                                const PresetServices& services);

// Asks for a personal preset's month and day, offering the remembered answer (today's "mmm dd"
// when none is remembered), and makes it a target date of next year ("Mar 15" gives
// "Mar 15,2028" in 2027). An answer that is not a date gets one retry. A cancelled or empty
// answer, or a second answer that is not a date, puts `previousTarget` back and blanks the
// preset box, so that Apply remembers nothing for it.
PresetChoice AskPersonalDate(const PersonalDatePreset& row, std::string_view previousTarget,
                             const PresetServices& services);

// When the preset box shows a personal preset, the key that remembers the target date under that
// preset's key as "MMM DD" ("Mar 15"), for Apply to write with the other keys; nothing for any
// other preset text. A target date text that is not a date raises error 13.
std::optional<SettingWrite> PersonalDateWrite(std::string_view presetText, std::string_view targetDateText,
                                              int currentYear);

} // namespace kestrel
