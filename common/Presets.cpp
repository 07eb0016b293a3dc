// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Presets.h"

#include "DateServices.h"
#include "ProgramSettings.h"
#include "Settings.h"

#include <cmath>

namespace kestrel {

namespace {

// The fixed target of a preset that asks nothing; null for the presets computed from today and
// for the personal ones.
const char* FixedTarget(std::string_view presetText)
{
    if (presetText == "Y2K") {
        return "Jan 01, 2000";
    }
    if (presetText == "Y3K") {
        return "Jan 01, 3000";
    }
    if (presetText == "2000 Summer Olympics") {
        return "Sep 15, 2000";
    }
    if (presetText == "2002 Winter Olympics") {
        return "Feb 08, 2002";
    }
    return nullptr;
}

std::string NextYearText(const Clock& clock)
{
    return std::to_string(Year(GetPresentDate(clock)) + 1);
}

// The answer followed by "," and next year, with nothing between them ("Mar 15,2028").
std::string WithNextYear(const std::string& answer, const Clock& clock)
{
    return answer + "," + NextYearText(clock);
}

} // namespace

std::string MonthAbbreviation(double month)
{
    if (month < 1 || month > 12 || month != std::floor(month)) {
        return {};
    }
    return MonthName(static_cast<int>(month), true);
}

std::string MonthAbbreviation(std::string_view month)
{
    return MonthAbbreviation(ValFromText(month));
}

std::string TargetDateText(std::string_view month, std::string_view day, std::string_view year)
{
    std::string text = MonthAbbreviation(month);
    text += ' ';
    text += day;
    text += ", ";
    text += year;
    return text;
}

const PersonalDatePreset* FindPersonalDatePreset(std::string_view presetText)
{
    for (const PersonalDatePreset& row : kPersonalDatePresets) {
        if (row.listText == presetText) {
            return &row;
        }
    }
    return nullptr;
}

PresetChoice SelectPresetTarget(std::string_view presetText, std::string_view targetDateText,
                                const PresetServices& services)
{
    PresetChoice choice{std::string(targetDateText), std::string(presetText)};
    if (const char* fixed = FixedTarget(presetText)) {
        choice.targetDateText = fixed;
    } else if (presetText == "Now") {
        choice.targetDateText = Format(GetPresentDate(services.clock), "mmm d, yyyy");
    } else if (presetText == "Next Christmas") {
        choice.targetDateText = "Dec 25, " + NextYearText(services.clock);
    } else if (presetText == "Next New Year") {
        choice.targetDateText = "Jan 01, " + NextYearText(services.clock);
    } else if (const PersonalDatePreset* row = FindPersonalDatePreset(presetText)) {
        choice = AskPersonalDate(*row, targetDateText, services);
    }
    return choice;
}

PresetChoice AskPersonalDate(const PersonalDatePreset& row, std::string_view previousTarget,
                             const PresetServices& services)
{
    const PresetChoice failed{std::string(previousTarget), std::string()};
    // The remembered answer is read afresh for each question; today's month and day stand for it
    // until the preset has been applied once.
    const auto offered = [&] {
        return services.settings.ReadSetting(kTargetDateSection, row.key,
                                             Format(GetPresentDate(services.clock), "mmm dd"));
    };
    const int currentYear = Year(GetPresentDate(services.clock));

    for (const std::string_view prompt : {row.firstPrompt, row.retryPrompt}) {
        const std::string answer = services.inputBox(prompt, row.title, offered());
        if (answer.empty()) {
            return failed;
        }
        std::string target = WithNextYear(answer, services.clock);
        if (IsDate(target, currentYear)) {
            return {std::move(target), std::string(row.listText)};
        }
    }
    return failed;
}

std::optional<SettingWrite> PersonalDateWrite(std::string_view presetText, std::string_view targetDateText,
                                              int currentYear)
{
    const PersonalDatePreset* row = FindPersonalDatePreset(presetText);
    if (row == nullptr) {
        return std::nullopt;
    }
    return SettingWrite{kTargetDateSection, std::string(row->key),
                        Format(GetDateValue(targetDateText, currentYear), "MMM DD")};
}

} // namespace kestrel
