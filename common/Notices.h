// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"
#include "Milestones.h"
#include "ProgramSettings.h"
#include "Settings.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// Desktop notifications: one when the countdown reaches zero and one on the morning of each day
// that carries a milestone. Each is given once; the settings file remembers which were given, in
// a section of its own, so that a restart does not repeat them.
namespace setting {
inline constexpr const char* kNotificationsSection = "Notifications";
// "True" or "False": whether notifications are given at all. On unless the file says "False".
inline constexpr SettingKey NotificationsEnabled{kNotificationsSection, "Enabled", "True", Computed::None,
                                                 WriteRule::WhenChanged};
// The target day (yyyy-mm-dd) whose zero notification was given.
inline constexpr SettingKey ZeroNoticeGiven{kNotificationsSection, "Zero Given", ""};
// The day number of the last day whose milestone notification was given.
inline constexpr SettingKey MilestoneNoticeGiven{kNotificationsSection, "Milestone Day Given", ""};
// Reminders before the day: whole numbers of calendar days (1 to 3660) separated by commas, such
// as "30,7,1"; others are ignored. None by default.
inline constexpr SettingKey RemindDaysBefore{kNotificationsSection, "Remind Days Before", "", Computed::None,
                                             WriteRule::WhenChanged};
inline constexpr SettingKey MilestoneRemindDaysBefore{kNotificationsSection, "Milestone Remind Days Before", "",
                                                      Computed::None, WriteRule::WhenChanged};
// The last target reminder given: the target day (yyyy-mm-dd), a blank and the days before it.
inline constexpr SettingKey ReminderGiven{kNotificationsSection, "Reminder Given", ""};
// The day number of the last day whose milestone reminders were given.
inline constexpr SettingKey MilestoneReminderGiven{kNotificationsSection, "Milestone Reminder Given", ""};
} // namespace setting

// The most days a reminder may come before its day: ten years.
inline constexpr int kMostRemindDays = 3660;

// The days of a "Remind Days Before" text, each once, nearest first, and whether every item of
// the text was one (an empty text is).
struct RemindDays
{
    std::vector<int> days;
    bool allRead = true;
};
RemindDays ReadRemindDays(std::string_view text);

// Milestone notifications and reminders start at this hour of their day.
inline constexpr int kMilestoneNoticeHour = 9;

// The notification choices of the settings file and what it remembers of the notifications given.
struct NoticeMemory
{
    bool enabled = true;
    std::vector<int> remindDays;          // reminders before the target day
    std::vector<int> milestoneRemindDays; // reminders before each milestone's day
    std::string zeroGiven;                // target day of the zero notification given
    std::string milestoneGiven;           // day number of the last milestone day notified
    std::string reminderGiven;            // target day and days before of the last target reminder
    std::string milestoneReminderGiven;   // day number of the last day of milestone reminders
};
NoticeMemory ReadNoticeMemory(const SettingsFile& file);

// One notification to give, and the key that remembers it once it has been given.
struct Notice
{
    std::string summary;
    std::string body;
    SettingWrite remember;

    friend bool operator==(const Notice&, const Notice&) = default;
};

// The notifications due at `now` that the memory does not record as given:
// - zero: from the target moment to the end of the target day, once per target day; a target
//   that was already past the day before is not announced, so setting a past target in the
//   options gives no notification. A target that renews itself is announced on each anniversary;
// - renewal: once a renewing target's day has ended without its zero notification (kestrel was
//   not running), one notification naming the target it now counts to;
// - milestones: on a day that carries milestones, from 9:00 to the end of the day, one
//   notification naming every milestone of the day in table order;
// - reminders: on the day the chosen number of days before the target day (or before days that
//   carry milestones), from 9:00 to the end of that day, once; a start later that day still
//   gives it, a start on a later day does not.
// Raises no error: a target the engine cannot count gives no zero notification.
std::vector<Notice> DueNotices(const ProgramSettings& settings, const MilestoneTable& milestones, DateValue now,
                               const NoticeMemory& memory);

// A text for a notification body: the notification service may read markup, so "&", "<" and ">"
// are written as entities.
std::string NoticeBodyText(std::string_view text);

} // namespace kestrel
