// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace kestrel {

std::variant<FileLock, std::string> FileLock::Take(const std::filesystem::path& path, std::chrono::milliseconds wait)
{
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        return "the lock " + path.string() + " cannot be made (" + std::strerror(errno) + ")";
    }
    FileLock lock(descriptor);
    constexpr std::chrono::milliseconds kStep{20};
    for (std::chrono::milliseconds waited{0};; waited += kStep) {
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
            return lock;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return "the lock " + path.string() + " cannot be taken (" + std::strerror(errno) + ")";
        }
        if (waited >= wait) {
            return "the lock " + path.string() + " is held by another program";
        }
        std::this_thread::sleep_for(kStep);
    }
}

FileLock::FileLock(FileLock&& other) noexcept : m_descriptor(std::exchange(other.m_descriptor, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        if (m_descriptor >= 0) {
            ::close(m_descriptor);
        }
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

FileLock::~FileLock()
{
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}

} // namespace kestrel
