// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading dates from texts.

#include "DateArithmetic.h"

#include <string_view>

namespace kestrel {

// Whether the text reads as a date: a month name (any case, full or three letters) with a day
// and a year in either order ("Mar 15, 2028", "Mar 15,2028", "March 15 2028", "15 Mar,2028"),
// a month and day alone ("Mar 15": that day of currentYear), the numeric forms m/d/yyyy, m-d-yyyy
// and yyyy-m-d, each optionally followed by a time h:mm[:ss] [AM|PM]. Days the month lacks make
// no date.
bool IsDate(std::string_view text, int currentYear);
// The date value of a text that IsDate accepts; error 13 (Type mismatch) for any other text.
DateValue GetDateValue(std::string_view text, int currentYear);

} // namespace kestrel
