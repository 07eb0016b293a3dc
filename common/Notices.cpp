// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Notices.h"

#include "Presets.h"
#include "RuntimeError.h"
#include "Countdown.h"

#include <cctype>

namespace kestrel {

NoticeMemory ReadNoticeMemory(const SettingsFile& file)
{
    NoticeMemory memory;
    // Only "False" (in any case) switches notifications off; a damaged value leaves them on.
    std::string enabled = ReadSetting(file, setting::NotificationsEnabled);
    for (char& c : enabled) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    memory.enabled = enabled != "false";
    memory.zeroGiven = ReadSetting(file, setting::ZeroNoticeGiven);
    memory.milestoneGiven = ReadSetting(file, setting::MilestoneNoticeGiven);
    return memory;
}

std::string NoticeBodyText(std::string_view text)
{
    std::string body;
    body.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            body += "&amp;";
            break;
        case '<':
            body += "&lt;";
            break;
        case '>':
            body += "&gt;";
            break;
        default:
            body += c;
        }
    }
    return body;
}

std::vector<Notice> DueNotices(const ProgramSettings& settings, const MilestoneTable& milestones, DateValue now,
                               const NoticeMemory& memory)
{
    std::vector<Notice> due;
    if (!memory.enabled) {
        return due;
    }

    try {
        // From the target moment (midnight, or the target time) to the end of the target day.
        const DateValue target = TargetDay(settings);
        const DateValue moment = TargetMoment(settings);
        const std::string targetText = TargetIsoDate(settings);
        if (now.serial >= moment.serial && now.serial < target.serial + 1.0 && memory.zeroGiven != targetText) {
            const std::string shown = TargetDateText(settings.TargetMonth, settings.TargetDay, settings.TargetYear);
            due.push_back({settings.ProjectTitle.empty() ? std::string("Kestrel") : settings.ProjectTitle,
                           NoticeBodyText("The countdown to " + shown + " has reached zero."),
                           {setting::kNotificationsSection, setting::ZeroNoticeGiven.key, targetText}});
        }
    } catch (const RuntimeError&) {
        // A target the engine cannot count with never reaches zero.
    }

    const long long today = DayNumber(now);
    const std::string todayText = std::to_string(today);
    if (Hour(now) >= kMilestoneNoticeHour && memory.milestoneGiven != todayText) {
        std::string texts;
        int count = 0;
        for (int position = 1; position <= milestones.count(); ++position) {
            const Milestone& milestone = milestones.at(position);
            const double day = KeyValue(milestone.key);
            if (milestone.markedForRemoval || day != static_cast<double>(today)) {
                continue;
            }
            if (count++ > 0) {
                texts += '\n';
            }
            texts += milestone.text.empty() ? std::string("(no text)") : milestone.text;
        }
        if (count > 0) {
            due.push_back({count == 1 ? "Milestone today" : "Milestones today",
                           NoticeBodyText(texts),
                           {setting::kNotificationsSection, setting::MilestoneNoticeGiven.key, todayText}});
        }
    }
    return due;
}

} // namespace kestrel
