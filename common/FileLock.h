// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>

namespace kestrel {

// An advisory lock on a file of its own (flock), held while the object lives. Processes that
// take the same lock file take turns; the lock goes with the process, also when it is killed.
class FileLock
{
public:
    // Takes the lock, waiting up to `wait` for its holder (the lock file and its folder are made
    // when missing); otherwise one line saying why it could not.
    static std::variant<FileLock, std::string> Take(const std::filesystem::path& path, std::chrono::milliseconds wait);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

private:
    explicit FileLock(int descriptor) : m_descriptor(descriptor) {}
    int m_descriptor = -1;
};

} // namespace kestrel
