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
} // namespace setting

// Milestone notifications start at this hour of the milestone's day.
inline constexpr int kMilestoneNoticeHour = 9;

// What the settings file remembers of the notifications given.
struct NoticeMemory
{
    bool enabled = true;
    std::string zeroGiven;      // target day of the zero notification given
    std::string milestoneGiven; // day number of the last milestone day notified
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
// - zero: from the target second (midnight at the start of the target day) to the end of the
//   target day, once per target day; a target that was already past the day before is not
//   announced, so setting a past target in the options gives no notification;
// - milestones: on a day that carries milestones, from 9:00 to the end of the day, one
//   notification naming every milestone of the day in table order.
// Raises no error: a target the engine cannot count gives no zero notification.
std::vector<Notice> DueNotices(const ProgramSettings& settings, const MilestoneTable& milestones, DateValue now,
                               const NoticeMemory& memory);

// A text for a notification body: the notification service may read markup, so "&", "<" and ">"
// are written as entities.
std::string NoticeBodyText(std::string_view text);

} // namespace kestrel
