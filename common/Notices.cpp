// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Notices.h"

#include "Presets.h"
#include "RuntimeError.h"
#include "Countdown.h"

#include <algorithm>
#include <cctype>
#include <charconv>

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
    memory.remindDays = ReadRemindDays(ReadSetting(file, setting::RemindDaysBefore)).days;
    memory.milestoneRemindDays = ReadRemindDays(ReadSetting(file, setting::MilestoneRemindDaysBefore)).days;
    memory.zeroGiven = ReadSetting(file, setting::ZeroNoticeGiven);
    memory.milestoneGiven = ReadSetting(file, setting::MilestoneNoticeGiven);
    memory.reminderGiven = ReadSetting(file, setting::ReminderGiven);
    memory.milestoneReminderGiven = ReadSetting(file, setting::MilestoneReminderGiven);
    return memory;
}

RemindDays ReadRemindDays(std::string_view text)
{
    RemindDays result;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::string_view item = text.substr(start, comma - start);
        while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) {
            item.remove_prefix(1);
        }
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) {
            item.remove_suffix(1);
        }
        start = comma + 1;
        if (item.empty() && text.find_first_not_of(" \t") == std::string_view::npos) {
            break; // an empty text: no reminders
        }
        int days = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), days);
        if (item.empty() || error != std::errc() || end != item.data() + item.size() || days < 1 ||
            days > kMostRemindDays) {
            result.allRead = false;
            continue;
        }
        result.days.push_back(days);
    }
    std::sort(result.days.begin(), result.days.end());
    result.days.erase(std::unique(result.days.begin(), result.days.end()), result.days.end());
    return result;
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

namespace {

std::string NoticeTitle(const ProgramSettings& settings)
{
    return settings.ProjectTitle.empty() ? std::string("Kestrel") : settings.ProjectTitle;
}

std::string ShownTarget(const ProgramSettings& settings)
{
    return TargetDateText(settings.TargetMonth, settings.TargetDay, settings.TargetYear);
}

std::string InDays(int days)
{
    return days == 1 ? std::string("tomorrow") : "in " + std::to_string(days) + " days";
}

// The zero notification, and for a renewing target whose day ended unannounced, the renewal.
void AddTargetNotices(std::vector<Notice>& due, const ProgramSettings& settings, DateValue now,
                      const NoticeMemory& memory)
{
    // The anniversary whose day has not ended: the target itself unless it renews every year.
    const ProgramSettings current = CurrentAnniversary(settings, now);

    // From the target moment (midnight, or the target time) to the end of the target day.
    const DateValue target = TargetDay(current);
    const DateValue moment = TargetMoment(current);
    const std::string targetText = TargetIsoDate(current);
    if (now.serial >= moment.serial && now.serial < target.serial + 1.0 && memory.zeroGiven != targetText) {
        due.push_back({NoticeTitle(settings),
                       NoticeBodyText("The countdown to " + ShownTarget(current) + " has reached zero."),
                       {setting::kNotificationsSection, setting::ZeroNoticeGiven.key, targetText}});
        return;
    }
    const std::string storedText = TargetIsoDate(settings);
    if (RenewedYearToStore(settings, now) && memory.zeroGiven != storedText) {
        due.push_back({NoticeTitle(settings),
                       NoticeBodyText("The countdown to " + ShownTarget(settings) +
                                      " has passed. It renews every "
                                      "year and now counts to " +
                                      ShownTarget(current) + "."),
                       {setting::kNotificationsSection, setting::ZeroNoticeGiven.key, storedText}});
    }
}

// The reminder of the target day, on the chosen number of days before it.
void AddTargetReminder(std::vector<Notice>& due, const ProgramSettings& settings, DateValue now,
                       const NoticeMemory& memory)
{
    const ProgramSettings shown = RenewedTarget(settings, now);
    const long long left = DayNumber(TargetDay(shown)) - DayNumber(now);
    if (!std::ranges::binary_search(memory.remindDays, left)) {
        return;
    }
    const std::string given = TargetIsoDate(shown) + ' ' + std::to_string(left);
    if (memory.reminderGiven != given) {
        due.push_back(
            {NoticeTitle(settings),
             NoticeBodyText("The countdown to " + ShownTarget(shown) + " ends " + InDays(static_cast<int>(left)) + "."),
             {setting::kNotificationsSection, setting::ReminderGiven.key, given}});
    }
}

// The milestones of a day, in table order.
std::vector<std::string> MilestonesOn(const MilestoneTable& milestones, long long day)
{
    std::vector<std::string> texts;
    for (int position = 1; position <= milestones.count(); ++position) {
        const Milestone& milestone = milestones.at(position);
        if (!milestone.markedForRemoval && KeyValue(milestone.key) == static_cast<double>(day)) {
            texts.push_back(milestone.text.empty() ? std::string("(no text)") : milestone.text);
        }
    }
    return texts;
}

} // namespace

std::vector<Notice> DueNotices(const ProgramSettings& settings, const MilestoneTable& milestones, DateValue now,
                               const NoticeMemory& memory)
{
    std::vector<Notice> due;
    if (!memory.enabled) {
        return due;
    }

    try {
        AddTargetNotices(due, settings, now, memory);
    } catch (const RuntimeError&) {
        // A target the engine cannot count with never reaches zero.
    }
    if (Hour(now) < kMilestoneNoticeHour) {
        return due;
    }
    try {
        AddTargetReminder(due, settings, now, memory);
    } catch (const RuntimeError&) {
        // Nor is it a number of days away.
    }

    const long long today = DayNumber(now);
    const std::string todayText = std::to_string(today);
    if (memory.milestoneGiven != todayText) {
        const std::vector<std::string> texts = MilestonesOn(milestones, today);
        if (!texts.empty()) {
            std::string body;
            for (const std::string& text : texts) {
                body += (body.empty() ? "" : "\n") + text;
            }
            due.push_back({texts.size() == 1 ? "Milestone today" : "Milestones today",
                           NoticeBodyText(body),
                           {setting::kNotificationsSection, setting::MilestoneNoticeGiven.key, todayText}});
        }
    }

    if (memory.milestoneReminderGiven != todayText) {
        std::string body;
        int count = 0;
        for (const int days : memory.milestoneRemindDays) {
            const long long day = today + days;
            for (const std::string& text : MilestonesOn(milestones, day)) {
                const std::string when = days == 1 ? std::string("Tomorrow") : "In " + std::to_string(days) + " days";
                body += (count++ > 0 ? "\n" : "") + when + " (" +
                        Format(DateValue{static_cast<double>(day)}, "mmm d, yyyy") + "): " + text;
            }
        }
        if (count > 0) {
            due.push_back({count == 1 ? "Milestone coming up" : "Milestones coming up",
                           NoticeBodyText(body),
                           {setting::kNotificationsSection, setting::MilestoneReminderGiven.key, todayText}});
        }
    }
    return due;
}

} // namespace kestrel
