// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading numbers from texts and formatting numbers by a pattern.

#include <string>
#include <string_view>

namespace kestrel {

// The number at the start of a text: blanks, tabs and line feeds are skipped anywhere in it,
// then an optional sign, digits, a decimal point and an exponent are read up to the first other
// character; "&H" and "&O" introduce hexadecimal and octal whole numbers. 0 when no number.
double ValFromText(std::string_view text);

// A number formatted by a pattern: "0" a digit that always shows, "#" a digit that shows only
// when significant, "." the decimal point, "," thousands grouping, "%" a percentage; other
// characters are copied. Up to three sections separated by ";" format positive, negative and
// zero values. 1234567 with "###,###,##0" gives "1,234,567"; 0 with "######" gives "".
std::string Format(double number, std::string_view pattern);

} // namespace kestrel
