// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AtomicFile.h"

#include "RuntimeError.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace kestrel {

namespace fs = std::filesystem;

namespace {

// How many symbolic links a write follows to the real file.
constexpr int kMaxLinkHops = 40;

// A temporary left by a write younger than this may still be in use.
constexpr std::chrono::seconds kTemporaryInUse{60};

[[noreturn]] void Fail(int error)
{
    throw RuntimeError::FromSystemError(error);
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// The name of the temporary file beside target, without its six random characters.
std::string TemporaryPrefix(const fs::path& target)
{
    // Built by appending: g++ 12 warns falsely (-Wrestrict) about "." + name + ".".
    std::string prefix(1, '.');
    prefix.append(target.filename().string());
    prefix.push_back('.');
    return prefix;
}

bool IsTemporaryName(std::string_view name, std::string_view prefix)
{
    // mkstemp puts six letters or digits where its pattern has XXXXXX.
    return name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

bool InGroup(gid_t group)
{
    if (group == ::getegid()) {
        return true;
    }
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int filled = ::getgroups(count, groups.data());
    return filled > 0 && std::find(groups.begin(), groups.begin() + filled, group) != groups.begin() + filled;
}

void RewriteInPlace(const fs::path& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        Fail(errno);
    }
    const int writeError = WriteAll(fd, bytes);
    if (::close(fd) != 0 && writeError == 0) {
        Fail(errno);
    }
    if (writeError != 0) {
        Fail(writeError);
    }
}

} // namespace

FileIdentity IdentityOf(const struct stat& info)
{
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

std::optional<FileIdentity> IdentityOfFile(const std::filesystem::path& path)
{
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return IdentityOf(info);
}

bool MayWrite(const struct stat& status)
{
    const uid_t user = ::geteuid();
    if (user == 0) {
        return (status.st_mode & 0222) != 0;
    }
    if (status.st_uid == user) {
        return (status.st_mode & S_IWUSR) != 0;
    }
    if (InGroup(status.st_gid)) {
        return (status.st_mode & S_IWGRP) != 0;
    }
    return (status.st_mode & S_IWOTH) != 0;
}

FileResult<FileContents> ReadRegularFile(const fs::path& path, std::size_t maxBytes, Oversize oversize)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        return RuntimeError::FromSystemError(errno);
    }
    FileContents contents;
    if (::fstat(file.get(), &contents.status) != 0) {
        return RuntimeError::FromSystemError(errno);
    }
    if (!S_ISREG(contents.status.st_mode)) {
        return RuntimeError::FromSystemError(S_ISDIR(contents.status.st_mode) ? EISDIR : EINVAL);
    }
    const auto size = static_cast<std::uintmax_t>(contents.status.st_size);
    if (size > maxBytes && oversize == Oversize::Refuse) {
        return RuntimeError::FromSystemError(EINVAL);
    }
    contents.bytes.reserve(static_cast<std::size_t>(std::min<std::uintmax_t>(size, maxBytes)));
    char chunk[16384];
    for (;;) {
        const std::size_t room = maxBytes - contents.bytes.size();
        // One byte more than the room tells a file that grew past the limit since fstat.
        const ssize_t count = ::read(file.get(), chunk, std::min(sizeof chunk, room + 1));
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return RuntimeError::FromSystemError(errno);
        }
        if (count == 0) {
            return contents;
        }
        if (static_cast<std::size_t>(count) > room) {
            if (oversize == Oversize::Refuse) {
                return RuntimeError::FromSystemError(EINVAL);
            }
            contents.bytes.append(chunk, room);
            contents.cut = true;
            return contents;
        }
        contents.bytes.append(chunk, static_cast<std::size_t>(count));
    }
}

int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int FlushFolder(const fs::path& directory)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    // Some filesystems cannot flush a folder; the file itself is flushed by then.
    const int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

FileResult<SaveTarget> FindSaveTarget(const fs::path& requested)
{
    // A symbolic link stays a link: the file it leads to is replaced.
    const std::optional<fs::path> path = ResolveLinks(requested);
    if (!path) {
        return RuntimeError::FromSystemError(ELOOP);
    }
    SaveTarget target{*path, std::nullopt};
    struct stat status = {};
    if (::stat(path->c_str(), &status) != 0) {
        return target;
    }
    if (!S_ISREG(status.st_mode)) {
        return RuntimeError::FromSystemError(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
    }
    // A read-only file is the user's way of saying "do not change it"; replacing it through its
    // folder would overrule that.
    if (!MayWrite(status)) {
        return RuntimeError::FromSystemError(EACCES);
    }
    target.existing = status;
    return target;
}

FileResult<struct stat> SaveWholeFile(const SaveTarget& target, std::string_view bytes, mode_t newFileMode, bool flush)
{
    const struct stat* previous = target.existing ? &*target.existing : nullptr;
    const Replaced replaced = ReplaceFileAtomically(
        target.path, bytes, previous != nullptr ? previous->st_mode & 07777 : newFileMode, previous, flush);
    if (replaced.error != 0) {
        return RuntimeError::FromSystemError(replaced.error);
    }
    return replaced.status;
}

std::string CouldNotBeSavedText(std::string_view subject, const fs::path& path, std::string_view reason)
{
    std::string text(subject);
    text.append(" could not be saved to ");
    text.append(path.string());
    if (!reason.empty()) {
        text.append(" (");
        text.append(reason);
        text.push_back(')');
    }
    return text;
}

void IgnoreFileSizeLimitSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

std::optional<fs::path> ResolveLinks(fs::path path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info = {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        std::error_code error;
        const fs::path next = fs::read_symlink(path, error);
        if (error) {
            return std::nullopt;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return std::nullopt;
}

Replaced ReplaceFileAtomically(const fs::path& target, std::string_view bytes, mode_t mode, const struct stat* previous,
                               bool flush)
{
    Replaced result;
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (target.filename().empty()) {
        result.error = ENOENT;
        return result;
    }
    std::string temporary = (directory / TemporaryPrefix(target)).string();
    temporary.append("XXXXXX");
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    const int writeError = WriteAll(fd, bytes);
    bool ok = writeError == 0;
    if (ok && previous != nullptr && (previous->st_uid != ::geteuid() || previous->st_gid != ::getegid())) {
        // Keep the file's owner and group. Only root may give a file away; another user can
        // still keep a group of theirs, and otherwise the new file is theirs, as any editor's.
        if (::fchown(fd, previous->st_uid, previous->st_gid) != 0) {
            // When the group cannot be kept either, the new file is simply the writer's.
            [[maybe_unused]] const int groupKept = ::fchown(fd, static_cast<uid_t>(-1), previous->st_gid);
        }
    }
    ok = ok && ::fchmod(fd, mode) == 0 && (!flush || ::fsync(fd) == 0) && ::fstat(fd, &result.status) == 0;
    result.error = ok ? 0 : writeError != 0 ? writeError : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        result.error = errno;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        result.error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        if (result.error == 0) {
            result.error = EIO;
        }
        return result;
    }
    if (flush) {
        result.error = FlushFolder(directory);
    }
    return result;
}

void RemoveStaleTemporaries(const fs::path& requested)
{
    const std::optional<fs::path> resolved = ResolveLinks(requested);
    std::vector<fs::path> targets{requested};
    if (resolved && *resolved != requested) {
        targets.push_back(*resolved);
    }
    const auto now = std::chrono::system_clock::now();
    for (const fs::path& target : targets) {
        const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
        const std::string prefix = TemporaryPrefix(target);
        DIR* folder = ::opendir(directory.c_str());
        if (folder == nullptr) {
            continue;
        }
        while (const dirent* entry = ::readdir(folder)) {
            if (!IsTemporaryName(entry->d_name, prefix)) {
                continue;
            }
            struct stat status = {};
            if (::fstatat(::dirfd(folder), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
                !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
                continue;
            }
            const auto modified = std::chrono::system_clock::from_time_t(status.st_mtim.tv_sec);
            if (now - modified >= kTemporaryInUse) {
                ::unlinkat(::dirfd(folder), entry->d_name, 0);
            }
        }
        ::closedir(folder);
    }
}

void ReplaceFileContents(const fs::path& requested, std::string_view bytes, mode_t newFileMode)
{
    const FileResult<SaveTarget> target = FindSaveTarget(requested);
    if (!target) {
        throw target.error();
    }
    const FileResult<struct stat> saved = SaveWholeFile(target.value(), bytes, newFileMode, /*flush=*/false);
    if (saved) {
        return;
    }
    const int error = saved.systemError();
    if ((error == EACCES || error == EPERM) && target.value().existing) {
        RewriteInPlace(target.value().path, bytes);
        return;
    }
    throw saved.error();
}

bool OverwriteSameSize(const fs::path& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat status = {};
    bool done = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && MayWrite(status) &&
                static_cast<std::size_t>(status.st_size) == bytes.size() &&
                ::pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
    done = ::close(fd) == 0 && done;
    return done;
}

} // namespace kestrel
