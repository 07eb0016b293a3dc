#include "AtomicFile.h"

#include "RuntimeError.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace kestrel {

namespace fs = std::filesystem;

namespace {

// How many symbolic links a write follows to the real file.
constexpr int kMaxLinkHops = 40;

[[noreturn]] void Fail(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        throw RuntimeError(RuntimeError::PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
        throw RuntimeError(RuntimeError::PermissionDenied);
    default:
        throw RuntimeError(RuntimeError::PathFileAccessError);
    }
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void RewriteInPlace(const fs::path& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        Fail(errno);
    }
    const bool ok = WriteAll(fd, bytes);
    const int writeError = errno;
    if (::close(fd) != 0 || !ok) {
        Fail(ok ? errno : writeError);
    }
}

} // namespace

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

Replaced ReplaceFileAtomically(const fs::path& target, std::string_view bytes, mode_t mode)
{
    Replaced result;
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string name = target.filename().string();
    if (name.empty()) {
        result.error = ENOENT;
        return result;
    }
    std::string temporary = (directory / ("." + name + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    bool ok = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fstat(fd, &result.status) == 0;
    result.error = ok ? 0 : errno;
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
    }
    return result;
}

void ReplaceFileContents(const fs::path& requested, std::string_view bytes, mode_t newFileMode)
{
    const std::optional<fs::path> path = ResolveLinks(requested);
    if (!path) {
        throw RuntimeError(RuntimeError::PathFileAccessError);
    }
    struct stat old = {};
    const bool exists = ::stat(path->c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        throw RuntimeError(RuntimeError::PathFileAccessError);
    }
    const Replaced replaced = ReplaceFileAtomically(*path, bytes, exists ? (old.st_mode & 07777) : newFileMode);
    if (replaced.error == 0) {
        return;
    }
    if ((replaced.error == EACCES || replaced.error == EPERM) && exists) {
        RewriteInPlace(*path, bytes);
        return;
    }
    Fail(replaced.error);
}

bool OverwriteSameSize(const fs::path& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat status = {};
    bool done = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                static_cast<std::size_t>(status.st_size) == bytes.size() &&
                ::pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
    done = ::close(fd) == 0 && done;
    return done;
}

} // namespace kestrel
