// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RuntimeError.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <sys/stat.h>
#include <sys/types.h>

namespace kestrel {

// What tells one state of a file from another without reading it: device, inode, size and
// modification time.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};
FileIdentity IdentityOf(const struct stat& info);
// The identity of the file at path now; nothing when it does not exist or cannot be looked at.
std::optional<FileIdentity> IdentityOfFile(const std::filesystem::path& path);

// The file a write must replace: the path itself or, when that is a symbolic link, the file the
// chain of links ends at, so the link stays a link. Nothing when the chain loops.
std::optional<std::filesystem::path> ResolveLinks(std::filesystem::path path);

// Whether the permission bits of a file let this process write it: the owner's, the group's
// or the others' write bit, whichever applies. For root, whom the kernel refuses nothing, a
// file without any write bit counts as read-only, so that a file the user has protected is
// not replaced through the folder.
bool MayWrite(const struct stat& status);

// What a file operation gives: its value, or the error as the program reports it.
template <typename T>
class FileResult
{
public:
    FileResult(T value) : m_value(std::move(value)) {}
    FileResult(RuntimeError error) : m_error(std::move(error)) {}

    bool ok() const noexcept { return m_value.has_value(); }
    explicit operator bool() const noexcept { return ok(); }
    T& value() { return *m_value; }
    const T& value() const { return *m_value; }
    const RuntimeError& error() const { return *m_error; }
    // The errno of a failed operation, 0 when it succeeded.
    int systemError() const noexcept { return m_error ? m_error->systemError() : 0; }

private:
    std::optional<T> m_value;
    std::optional<RuntimeError> m_error;
};

// A whole file as read: its bytes and its status when it was read.
struct FileContents
{
    std::string bytes;
    struct stat status = {};
    bool cut = false; // the file is larger than the limit and only its first part was read
};

// What a read does with a file larger than its limit.
enum class Oversize
{
    Refuse,    // fails with EINVAL (error 75)
    ReadFirst, // reads as many bytes as the limit allows and sets FileContents::cut
};

// Reads the regular file at path whole, up to maxBytes. It is opened without blocking, so a FIFO
// put in its place cannot hang the program; a folder fails with EISDIR, anything else that is no
// regular file with EINVAL. A missing file fails with ENOENT (error 76).
FileResult<FileContents> ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                                         Oversize oversize = Oversize::Refuse);

// Writes every byte to fd, going on after interruptions and short writes: 0, or the errno.
int WriteAll(int fd, std::string_view bytes);

// Flushes a folder, so that a file just renamed into it or removed from it stays so after a
// power cut: 0, or the errno (a filesystem that cannot flush folders counts as done).
int FlushFolder(const std::filesystem::path& directory);

// The file a save of a whole file replaces: the real file behind the path's symbolic links, and
// its status when it exists.
struct SaveTarget
{
    std::filesystem::path path;
    std::optional<struct stat> existing;
};
// Fails with ELOOP for a loop of links, EISDIR or EINVAL when the path holds no regular file,
// and EACCES when the file's write permission is removed (see MayWrite).
FileResult<SaveTarget> FindSaveTarget(const std::filesystem::path& requested);

// Replaces the save target with bytes through ReplaceFileAtomically: an existing file keeps its
// permission bits, owner and group; a new one gets newFileMode. The status of the new file, or
// the error (the target unchanged, no temporary left).
FileResult<struct stat> SaveWholeFile(const SaveTarget& target, std::string_view bytes, mode_t newFileMode, bool flush);

// The message for a save that failed: "<subject> could not be saved to PATH (reason)", the
// reason left out when there is none. The one wording for the settings, the milestones, the
// countdown file and the calendar feed.
std::string CouldNotBeSavedText(std::string_view subject, const std::filesystem::path& path,
                                std::string_view reason = {});

// Has a write past the file-size limit (ulimit -f) fail with EFBIG, reported as a full disk,
// instead of ending the program with SIGXFSZ half-way, which would lose what the user typed
// and leave the temporary beside the file. Each program calls it first thing.
void IgnoreFileSizeLimitSignal();

// Replaces target with bytes: they go to a new file beside it, which is given `mode` (and the
// owner and group of `previous`, the file it replaces, where the process may set them) and
// renamed over target. Whatever moment the program is stopped at, target is either the old
// file or the new one; on failure the new file is removed and target is left as it was.
// Returns the new file's status, or the errno of the failure.
//
// With flush, the new file and then its folder are flushed to the disk, so that the new file
// survives a power cut once this returns. Without, that is left to the system: flushing costs
// a few tenths of a millisecond at best and several milliseconds while the disk is busy, too
// much for the countdown file rewritten every second, where a lost write only means the last
// count is not kept. (ext4, the usual home filesystem, writes out the data of a file renamed
// over another before the rename itself.)
struct Replaced
{
    int error = 0; // 0 when the file was replaced
    struct stat status = {};
};
Replaced ReplaceFileAtomically(const std::filesystem::path& target, std::string_view bytes, mode_t mode,
                               const struct stat* previous = nullptr, bool flush = false);

// Removes the temporary files that a write into target left beside it when it was stopped
// half-way (".KESTREL.INI.a1B2c3" for KESTREL.INI). Only names of that form are touched,
// only regular files of this user, and only those untouched for a minute, so that the
// temporary of a write running right now in another process stays.
void RemoveStaleTemporaries(const std::filesystem::path& target);

// Replaces a file's whole contents as above, for the countdown file: a symbolic link is written
// through, a new file gets `newFileMode`, an existing one keeps its permission bits, owner and
// group; a file whose write permission is removed is not replaced. Where the
// folder does not let us create the new file but the file itself is writable, the file is
// rewritten in place (a reader may then see it half written, which for a one-line display file
// is better than not updating it at all).
//
// Raises RuntimeError 76 (Path not found) when the folder does not exist, 70 (Permission denied)
// when writing is not allowed, 61 (Disk full) when there is no room, and 75 (Path/File access
// error) for any other failure.
void ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes, mode_t newFileMode = 0644);

// Rewrites a file in place when it already holds exactly as many bytes as the new contents, so
// that nothing is truncated or created: a reader never sees it empty or shorter, and the
// filesystem has no blocks to allocate. False (and nothing changed) when the file is missing,
// is no regular file, has another size, or cannot be written (MayWrite); the caller then
// replaces it.
bool OverwriteSameSize(const std::filesystem::path& path, std::string_view bytes);

} // namespace kestrel
