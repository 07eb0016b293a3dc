// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Settings.h"

#include <span>
#include <string>
#include <string_view>

namespace kestrel {

// Writes one key of a settings file, as a test sets up a file: true when it was written.
inline bool WriteSetting(SettingsFile& file, std::string_view section, std::string_view key, std::string_view value)
{
    const SettingWrite entry{std::string(section), std::string(key), std::string(value)};
    return !file.WriteSettings(std::span(&entry, 1)).has_value();
}

inline bool WriteSetting(SettingsFile&& file, std::string_view section, std::string_view key, std::string_view value)
{
    return WriteSetting(file, section, key, value);
}

} // namespace kestrel
