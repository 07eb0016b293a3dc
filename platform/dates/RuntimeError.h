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
        TypeMismatch = 13,
        FileNotFound = 53,
        InputPastEndOfFile = 62,
        PermissionDenied = 70,
        PathFileAccessError = 75,
        PathNotFound = 76,
        InvalidPropertyValue = 380,
        DialogCancelled = 32755,
    };

    RuntimeError(int number, std::string description);
    // An error with the standard description of its number.
    explicit RuntimeError(int number);

    int number() const noexcept { return m_number; }
    const std::string& description() const noexcept { return m_description; }
    // The text of the load steps' message box: number, one blank, description.
    std::string report() const;

    // The standard description of an error number ("Overflow" for 6).
    static std::string describe(int number);

private:
    int m_number;
    std::string m_description;
};

// The checked conversion of every count that the system keeps as a 16-bit signed number:
// a value outside -32768..32767 raises error 6 (Overflow).
std::int16_t ToInt16(long long value);
// The same for a fractional value, rounded to the nearest whole number, halves to even.
std::int16_t ToInt16(double value);

} // namespace kestrel
