// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Formats a date and a number with arbitrary patterns. The first eight bytes choose the value;
// the rest is the pattern. Only the documented run-time errors may come out.
#include "DateServices.h"
#include "RuntimeError.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kestrel;
    if (size < 8) {
        return 0;
    }
    double number = 0;
    std::memcpy(&number, data, sizeof number);
    const std::string_view pattern(reinterpret_cast<const char*>(data) + 8, size - 8);

    try {
        (void)Format(number, pattern);
    } catch (const RuntimeError& error) {
        if (error.number() != RuntimeError::InvalidProcedureCall) {
            std::abort();
        }
    }
    // Any date of the years 100 to 9999, chosen from the same bytes, to the millisecond.
    std::uint64_t raw = 0;
    std::memcpy(&raw, data, sizeof raw);
    const double serial = -657434.0 + static_cast<double>(raw % 3615899000ULL) / 1000.0;
    (void)Format(DateValue{serial}, pattern);
    return 0;
}
