// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuntimeError.h"

#include <cmath>

namespace kestrel {

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error(std::to_string(number) + " " + description), m_number(number),
      m_description(std::move(description))
{}

RuntimeError::RuntimeError(int number) : RuntimeError(number, describe(number)) {}

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
    case TypeMismatch:
        return "Type mismatch";
    case FileNotFound:
        return "File not found";
    case InputPastEndOfFile:
        return "Input past end of file";
    case PermissionDenied:
        return "Permission denied";
    case PathFileAccessError:
        return "Path/File access error";
    case PathNotFound:
        return "Path not found";
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
