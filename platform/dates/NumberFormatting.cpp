// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormatting.h"

#include "DateText.h"
#include "RuntimeError.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace kestrel {

namespace {

using namespace text;

std::vector<std::string_view> SplitSections(std::string_view pattern)
{
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && !quoted) {
            ++i;
        } else if (c == ';' && !quoted) {
            sections.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(pattern.substr(start));
    return sections;
}

struct NumberPiece
{
    bool placeholder = false; // '0' or '#'
    char symbol = 0;          // the placeholder
    std::string literal;      // text copied as it is
};

// One section of a number pattern as read: the literal text before and after the number, the
// placeholders and literals of the integer and of the fraction part, and the switches.
struct NumberPattern
{
    std::string prefix;
    std::vector<NumberPiece> integerPieces;
    std::vector<NumberPiece> fractionPieces;
    std::string suffix;
    bool grouping = false; // a ',' after a placeholder of the integer part
    bool percent = false;  // a '%' anywhere: the number is shown times 100
};

NumberPattern ReadNumberPattern(std::string_view pattern)
{
    NumberPattern read;
    bool seenPlaceholder = false;
    bool inFraction = false;
    const auto addLiteral = [&](const std::string& text) {
        if (!seenPlaceholder) {
            read.prefix += text;
        } else {
            NumberPiece piece;
            piece.literal = text;
            (inFraction ? read.fractionPieces : read.integerPieces).push_back(piece);
        }
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '0' || c == '#') {
            seenPlaceholder = true;
            NumberPiece piece;
            piece.placeholder = true;
            piece.symbol = c;
            (inFraction ? read.fractionPieces : read.integerPieces).push_back(piece);
        } else if (c == '.' && !inFraction) {
            seenPlaceholder = true;
            inFraction = true;
        } else if (c == ',' && seenPlaceholder && !inFraction) {
            read.grouping = true;
        } else if (c == '%') {
            read.percent = true;
            addLiteral("%");
        } else if (c == '"') {
            const std::size_t close = pattern.find('"', i + 1);
            const std::size_t endQuote = close == std::string_view::npos ? pattern.size() : close;
            addLiteral(std::string(pattern.substr(i + 1, endQuote - i - 1)));
            i = endQuote;
        } else if (c == '\\') {
            if (i + 1 < pattern.size()) {
                addLiteral(std::string(1, pattern[++i]));
            }
        } else {
            addLiteral(std::string(1, c));
        }
    }
    // Literal text after the last placeholder belongs after the number.
    auto moveTrailingLiterals = [&](std::vector<NumberPiece>& pieces) {
        std::string tail;
        while (!pieces.empty() && !pieces.back().placeholder) {
            tail = pieces.back().literal + tail;
            pieces.pop_back();
        }
        read.suffix = tail + read.suffix;
    };
    moveTrailingLiterals(read.fractionPieces);
    if (std::none_of(read.fractionPieces.begin(), read.fractionPieces.end(),
                     [](const NumberPiece& p) { return p.placeholder; })) {
        moveTrailingLiterals(read.integerPieces);
    }
    return read;
}

// The digits of a magnitude rounded half away from zero to `places` decimals: the integer digits
// ("" for a zero integer part) and exactly `places` fraction digits. A double holds 15
// significant digits; decimal places beyond them show zeros.
struct NumberDigits
{
    std::string integer;
    std::string fraction;
};

NumberDigits RoundedDigits(double magnitude, int places)
{
    const int integerDigitCount = magnitude < 1.0 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    const int decimals = std::clamp(15 - integerDigitCount, 0, places);
    const double scaled = std::round(magnitude * std::pow(10.0, decimals));
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", std::isfinite(scaled) ? scaled : 0.0);
    std::string digits(buffer);
    while (static_cast<int>(digits.size()) <= decimals) {
        digits.insert(digits.begin(), '0');
    }
    NumberDigits rounded;
    rounded.integer = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
    rounded.fraction = digits.substr(digits.size() - static_cast<std::size_t>(decimals));
    rounded.fraction.resize(static_cast<std::size_t>(places), '0');
    if (rounded.integer == "0") {
        rounded.integer.clear();
    }
    return rounded;
}

// The integer part, filled from the right: every placeholder from the first '0' on is a digit
// that always shows, and the leftmost placeholder takes every digit left over.
std::string IntegerText(const NumberPattern& pattern, std::string digits)
{
    if (pattern.integerPieces.empty()) {
        return digits;
    }
    int minimumDigits = 0;
    bool zeroSeen = false;
    for (const NumberPiece& piece : pattern.integerPieces) {
        if (piece.placeholder) {
            zeroSeen = zeroSeen || piece.symbol == '0';
            minimumDigits += zeroSeen ? 1 : 0;
        }
    }
    while (static_cast<int>(digits.size()) < minimumDigits) {
        digits.insert(digits.begin(), '0');
    }
    std::string out;
    std::size_t next = digits.size(); // digits not yet placed are [0, next)
    int placed = 0;
    const auto placeDigit = [&](std::string& target) {
        --next;
        if (pattern.grouping && placed > 0 && placed % 3 == 0) {
            target.insert(target.begin(), ',');
        }
        target.insert(target.begin(), digits[next]);
        ++placed;
    };
    for (auto it = pattern.integerPieces.rbegin(); it != pattern.integerPieces.rend(); ++it) {
        if (!it->placeholder) {
            out.insert(0, it->literal);
            continue;
        }
        if (next > 0) {
            placeDigit(out);
        }
    }
    std::string head;
    while (next > 0) {
        placeDigit(head);
    }
    return head + out;
}

// The fraction part with its decimal point, filled from the left; trailing zeros at '#' places
// are dropped. "" when the pattern has no fraction part.
std::string FractionText(const std::vector<NumberPiece>& pieces, const std::string& digits)
{
    if (pieces.empty()) {
        return {};
    }
    std::size_t lastSignificant = 0;
    std::size_t index = 0;
    for (const NumberPiece& piece : pieces) {
        if (piece.placeholder) {
            if (piece.symbol == '0' || digits[index] != '0') {
                lastSignificant = index + 1;
            }
            ++index;
        }
    }
    std::string text = ".";
    index = 0;
    for (const NumberPiece& piece : pieces) {
        if (!piece.placeholder) {
            text += piece.literal;
        } else {
            if (index < lastSignificant) {
                text += digits[index];
            }
            ++index;
        }
    }
    return text;
}

// A magnitude written by one read section; `negative` puts a minus sign before a number that
// does not show as zero.
std::string WriteNumber(double magnitude, const NumberPattern& pattern, bool negative)
{
    if (pattern.percent) {
        magnitude *= 100.0;
    }
    const auto places = static_cast<int>(std::count_if(pattern.fractionPieces.begin(), pattern.fractionPieces.end(),
                                                       [](const NumberPiece& p) { return p.placeholder; }));
    const NumberDigits digits = RoundedDigits(magnitude, places);
    const bool nonZero = !digits.integer.empty() || digits.fraction.find_first_not_of('0') != std::string::npos;
    std::string result = negative && nonZero ? "-" + pattern.prefix : pattern.prefix;
    return result + IntegerText(pattern, digits.integer) + FractionText(pattern.fractionPieces, digits.fraction) +
           pattern.suffix;
}

std::string FormatNumberSection(double magnitude, std::string_view pattern, bool negative)
{
    return WriteNumber(magnitude, ReadNumberPattern(pattern), negative);
}

} // namespace

double ValFromText(std::string_view text)
{
    // Blanks, tabs and line feeds are skipped wherever they stand.
    std::string compact;
    for (char c : text) {
        if (!IsBlank(c)) {
            compact += c;
        }
        if (compact.size() > 400) {
            break;
        }
    }
    std::size_t i = 0;
    if (compact.size() >= 2 && compact[0] == '&') {
        const char radixLetter = static_cast<char>(std::tolower(static_cast<unsigned char>(compact[1])));
        const int radix = radixLetter == 'h' ? 16 : radixLetter == 'o' ? 8 : 0;
        if (radix != 0) {
            double value = 0;
            for (i = 2; i < compact.size(); ++i) {
                const int c = std::tolower(static_cast<unsigned char>(compact[i]));
                const int digit = std::isdigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : radix;
                if (digit >= radix) {
                    break;
                }
                value = value * radix + digit;
            }
            return value;
        }
    }
    std::string number;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) {
        number += compact[i++];
    }
    bool digits = false;
    while (i < compact.size() && IsDigit(compact[i])) {
        number += compact[i++];
        digits = true;
    }
    if (i < compact.size() && compact[i] == '.') {
        number += compact[i++];
        while (i < compact.size() && IsDigit(compact[i])) {
            number += compact[i++];
            digits = true;
        }
    }
    if (!digits) {
        return 0.0;
    }
    if (i < compact.size() && (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' || compact[i] == 'D')) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) {
            exponent += compact[j++];
        }
        bool exponentDigits = false;
        while (j < compact.size() && IsDigit(compact[j])) {
            exponent += compact[j++];
            exponentDigits = true;
        }
        if (exponentDigits) {
            number += exponent;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : (value > 0 ? HUGE_VAL : -HUGE_VAL);
}

std::string Format(double number, std::string_view pattern)
{
    if (!std::isfinite(number)) {
        return std::isnan(number) ? "NaN" : number > 0 ? "Infinity" : "-Infinity";
    }
    if (std::fabs(number) > 1e300) {
        throw RuntimeError(RuntimeError::InvalidProcedureCall);
    }
    if (pattern.empty()) {
        // No pattern: the shortest text that reads back as the same number.
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
        return std::string(buffer, result.ptr);
    }
    const std::vector<std::string_view> sections = SplitSections(pattern);
    if (number < 0 && sections.size() >= 2 && !sections[1].empty()) {
        return FormatNumberSection(-number, sections[1], false);
    }
    if (number == 0 && sections.size() >= 3 && !sections[2].empty()) {
        return FormatNumberSection(0, sections[2], false);
    }
    return FormatNumberSection(std::fabs(number), sections[0], number < 0);
}

} // namespace kestrel
