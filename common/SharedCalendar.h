// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileLock.h"
#include "Milestones.h"
#include "ProgramSettings.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// A team shares the project through a calendar on a CalDAV server: each milestone is an all-day
// event there, and the target day one event marked as the target. The address and the user name
// live in the settings file; the password never does: it lives in the desktop's secret store, or
// in a password file that only its owner may read.
namespace setting {
inline constexpr const char* kSharedCalendarSection = "Shared Calendar";
// clang-format off
// The calendar's full address (a CalDAV collection), https or http on a loopback address.
inline constexpr SettingKey CalendarUrl{kSharedCalendarSection, "Calendar URL", "", Computed::None, WriteRule::WhenChanged};
inline constexpr SettingKey CalendarUser{kSharedCalendarSection, "User Name", "", Computed::None, WriteRule::WhenChanged};
// "True": the milestones and the target are published to the calendar.
inline constexpr SettingKey ShareMilestones{kSharedCalendarSection, "Share Milestones", "False", Computed::None, WriteRule::WhenChanged};
// For machines without a secret store: a file holding the password on its first line.
inline constexpr SettingKey PasswordFile{kSharedCalendarSection, "Password File", "", Computed::None, WriteRule::WhenChanged};
// The SHA-256 fingerprint of the one server certificate the user chose to trust, as hex pairs
// separated by colons.
inline constexpr SettingKey TrustedCertificate{kSharedCalendarSection, "Trusted Certificate", "", Computed::None, WriteRule::WhenChanged};
// clang-format on
} // namespace setting

// Why an address cannot be the shared calendar's, or nothing when it can: it must be https, or
// http on a loopback address (localhost, 127.x.x.x, [::1]), and hold no user name or password.
std::optional<std::string> CalendarAddressProblem(std::string_view address);

// The host of an address as it must be compared ("Example.org:443" -> "example.org"), empty when
// the address has none.
std::string AddressHost(std::string_view address);

// The password on the first line of a password file (its line end left out). The file is opened
// first and then checked, so that no other file can be put in its place between the two: it must
// be a regular file owned by the user running Kestrel and readable by nobody else (no group or
// other permission bits). Otherwise the reason, for one line of a message.
struct PasswordFileReading
{
    std::optional<std::string> password;
    std::string problem;
};
PasswordFileReading ReadPasswordFile(const std::filesystem::path& path);

// The resource name of an event in the calendar collection: its UID made safe for an address,
// and ".ics".
std::string EventResourceName(std::string_view uid);

// The state file of a countdown's shared calendar, under $XDG_STATE_HOME/kestrel (or
// ~/.local/state/kestrel), named after its settings file (through links), the calendar's address
// and the user, so that each countdown has its own and another calendar starts afresh.
std::filesystem::path SyncStatePath(const std::filesystem::path& settingsFile, std::string_view calendar,
                                    std::string_view user);
// The lock a countdown's milestone file and settings file are written under, by the desktop
// program and by a sync, so that neither writes while the other reads and writes them.
std::filesystem::path CountdownLockPath(const std::filesystem::path& settingsFile);
// The desktop program takes the countdown's lock before it writes those files while the
// milestones are shared (only a sync writes beside it then); none when they are not shared, or
// when the lock is not had within `wait`: the user's change is written all the same.
std::optional<FileLock> LockWhenShared(const SettingsFile& settings, std::chrono::milliseconds wait);

// How the last sync of a countdown's shared calendar went, kept beside its state file so that
// status bars can show it (`kestrel-status --json`).
struct SyncRecord
{
    bool ok = false;
    std::string at;    // local time, "yyyy-mm-ddThh:mm:ss"
    std::string error; // the one line saying what failed
    friend bool operator==(const SyncRecord&, const SyncRecord&) = default;
};
std::filesystem::path SyncRecordPath(const std::filesystem::path& settingsFile);
// "ok", a tab and the time; or "error", the time and the line, separated by tabs.
std::string SyncRecordText(const SyncRecord& record);
// Nothing for a missing or damaged record.
std::optional<SyncRecord> ReadSyncRecord(const std::filesystem::path& path);

} // namespace kestrel
