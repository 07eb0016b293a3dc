// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kestrel {

// A run-time error as the program's message boxes show it: a number and a description,
// reported as "number description" (for example "6 Overflow").
class RuntimeError : public std::runtime_error
{
public:
    enum Number : int
    {
        InvalidProcedureCall = 5,
        Overflow = 6,
        SubscriptOutOfRange = 9,
        TypeMismatch = 13,
        InternalError = 51,
        FileNotFound = 53,
        DiskFull = 61,
        InputPastEndOfFile = 62,
        PermissionDenied = 70,
        PathFileAccessError = 75,
        PathNotFound = 76,
        InvalidFileFormat = 321,
        InvalidPropertyValue = 380,
        DialogCancelled = 32755,
    };

    RuntimeError(int number, std::string description);
    // An error with the standard description of its number.
    explicit RuntimeError(int number);

    // The error the program reports for a failed file operation with this errno: 76 "Path not
    // found", 70 "Permission denied", 61 "Disk full" (also for a write past the file-size
    // limit) or 75 "Path/File access error". The errno stays with it for the reason in messages.
    static RuntimeError FromSystemError(int error);
    // The same error with another description; the errno stays with it.
    RuntimeError described(std::string description) const;

    int number() const noexcept { return m_number; }
    const std::string& description() const noexcept { return m_description; }
    // The errno of a failed file operation; 0 for every other error.
    int systemError() const noexcept { return m_systemError; }
    // The system's text for systemError() ("No space left on device"); empty when it is 0.
    std::string systemReason() const;
    // The text of the load steps' message box: number, one blank, description.
    std::string report() const;

    // The standard description of an error number ("Overflow" for 6).
    static std::string describe(int number);

private:
    int m_number;
    std::string m_description;
    int m_systemError = 0;
};

// The checked conversion of every count that the system keeps as a 16-bit signed number:
// a value outside -32768..32767 raises error 6 (Overflow).
std::int16_t ToInt16(long long value);
// The same for a fractional value, rounded to the nearest whole number, halves to even.
std::int16_t ToInt16(double value);

} // namespace kestrel
