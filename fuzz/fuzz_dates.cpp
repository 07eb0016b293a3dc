// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary text as a date and as a number. A text that IsDate accepts must give a date
// value, every other text error 13; an accepted date must read back from its own long form.
#include "DateServices.h"
#include "RuntimeError.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kestrel;
    const std::string text(reinterpret_cast<const char*>(data), size);
    constexpr int kCurrentYear = 2027;

    (void)ValFromText(text);

    const bool accepted = IsDate(text, kCurrentYear);
    try {
        const DateValue value = GetDateValue(text, kCurrentYear);
        if (!accepted) {
            std::abort();
        }
        const std::string longForm = Format(value, "mmmm d, yyyy hh:nn:ss");
        const DateValue again = GetDateValue(longForm, kCurrentYear);
        if (!(again == value)) {
            std::abort();
        }
    } catch (const RuntimeError& error) {
        if (accepted || error.number() != RuntimeError::TypeMismatch) {
            std::abort();
        }
    }
    return 0;
}
