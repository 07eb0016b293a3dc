// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuntimeError.h"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace kestrel {

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error(std::to_string(number) + " " + description), m_number(number),
      m_description(std::move(description))
{}

RuntimeError::RuntimeError(int number) : RuntimeError(number, describe(number)) {}

RuntimeError RuntimeError::FromSystemError(int error)
{
    int number = PathFileAccessError;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        number = PathNotFound;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        number = PermissionDenied;
        break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: // past the file-size limit (ulimit -f): as full as the disk may get for us
        number = DiskFull;
        break;
    default:
        break;
    }
    RuntimeError numbered(number);
    numbered.m_systemError = error;
    return numbered;
}

RuntimeError RuntimeError::described(std::string description) const
{
    RuntimeError copy(m_number, std::move(description));
    copy.m_systemError = m_systemError;
    return copy;
}

std::string RuntimeError::systemReason() const
{
    return m_systemError == 0 ? std::string() : std::string(std::strerror(m_systemError));
}

std::string RuntimeError::report() const
{
    return std::to_string(m_number) + " " + m_description;
}

std::string RuntimeError::describe(int number)
{
    switch (number) {
    case InvalidProcedureCall:
        return "Invalid procedure call or argument";
    case Overflow:
        return "Overflow";
    case SubscriptOutOfRange:
        return "Subscript out of range";
    case TypeMismatch:
        return "Type mismatch";
    case InternalError:
        return "Internal error";
    case FileNotFound:
        return "File not found";
    case DiskFull:
        return "Disk full";
    case InputPastEndOfFile:
        return "Input past end of file";
    case PermissionDenied:
        return "Permission denied";
    case PathFileAccessError:
        return "Path/File access error";
    case PathNotFound:
        return "Path not found";
    case InvalidFileFormat:
        return "Invalid file format";
    case InvalidPropertyValue:
        return "Invalid property value";
    case DialogCancelled:
        return "Cancel was selected.";
    default:
        return "Application-defined or object-defined error";
    }
}

std::int16_t ToInt16(long long value)
{
    if (value < INT16_MIN || value > INT16_MAX) {
        throw RuntimeError(RuntimeError::Overflow);
    }
    return static_cast<std::int16_t>(value);
}

std::int16_t ToInt16(double value)
{
    if (!std::isfinite(value)) {
        throw RuntimeError(RuntimeError::Overflow);
    }
    const double rounded = std::nearbyint(value); // the default rounding mode rounds halves to even
    if (rounded < INT16_MIN || rounded > INT16_MAX) {
        throw RuntimeError(RuntimeError::Overflow);
    }
    return static_cast<std::int16_t>(rounded);
}

} // namespace kestrel
