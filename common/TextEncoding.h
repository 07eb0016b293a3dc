// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel {

// The one rule by which the program reads text from its files: text that is well-formed UTF-8 is
// taken as it stands; any other text was written by the older program in the Windows-1252 code
// page and is read as that, byte by byte. Every reader (settings, milestones, the status line,
// the calendar export) goes through it, so a byte means the same everywhere.

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Text of the Windows-1252 code page as UTF-8 (the five unassigned bytes 0x81, 0x8D, 0x8F, 0x90
// and 0x9D become the control characters of the same number, as the platform maps them).
std::string Windows1252ToUtf8(std::string_view text);

// Text from a file as UTF-8, by the rule above.
std::string Utf8Text(std::string_view text);

// UTF-16 code units (without a byte-order mark) as UTF-8. A surrogate without its partner is
// written as the three bytes its number would take, so that writing the text back gives the
// same code units.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
// The reverse of Utf16ToUtf8. Bytes that are no UTF-8 are taken as Windows-1252.
std::string Utf8ToUtf16(std::string_view text, bool bigEndian);

// The UTF-8 byte-order mark, which some editors put in front of a text file.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// Text without a UTF-8 byte-order mark in front.
std::string_view WithoutUtf8Mark(std::string_view text);

// UTF-8 text cut to at most maxBytes bytes; a character that the cut would split is left out
// whole, so the text never ends in half a character.
std::string CutToBytes(std::string_view text, std::size_t maxBytes);
// UTF-8 text cut to at most maxUnits characters as UTF-16 counts them (a character beyond the
// Basic Multilingual Plane counts twice and is left out whole rather than split).
std::string CutToUtf16Units(std::string_view text, std::size_t maxUnits);

// The blanks the settings file's profile functions trim around names and values: tab, LF, VT,
// FF, CR, ^Z and space.
bool IsProfileBlank(char c);
// Text without profile blanks at either end.
std::string_view TrimProfileBlanks(std::string_view text);

} // namespace kestrel
