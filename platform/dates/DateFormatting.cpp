// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateFormatting.h"

#include "DateCalendar.h"
#include "DateText.h"
#include "RuntimeError.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

namespace {

using namespace calendar;
using namespace text;

struct PatternToken
{
    char letter = 0; // 'd', 'm', 'y', 'w', 'q', 'h', 'n', 's', 'a' (AM/PM), 0 for a literal
    int count = 0;
    std::string text; // the literal, or the AM/PM pattern as written
};

std::vector<PatternToken> TokenizeDatePattern(std::string_view pattern)
{
    static constexpr std::array<std::pair<char, int>, 8> kMaxRun = {
        {{'d', 6}, {'m', 4}, {'y', 4}, {'w', 2}, {'q', 1}, {'h', 2}, {'n', 2}, {'s', 2}}};
    std::vector<PatternToken> tokens;
    const auto literal = [&](std::string_view text) {
        if (!tokens.empty() && tokens.back().letter == 0) {
            tokens.back().text += text;
        } else {
            tokens.push_back({0, 0, std::string(text)});
        }
    };
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::string_view rest = pattern.substr(i);
        const auto startsWithNoCase = [&](std::string_view what) {
            return rest.size() >= what.size() && EqualNoCase(rest.substr(0, what.size()), what);
        };
        if (c == '"') {
            const std::size_t close = pattern.find('"', i + 1);
            const std::size_t endQuote = close == std::string_view::npos ? pattern.size() : close;
            literal(pattern.substr(i + 1, endQuote - i - 1));
            i = endQuote + 1;
            continue;
        }
        if (c == '\\') {
            if (i + 1 < pattern.size()) {
                literal(pattern.substr(i + 1, 1));
            }
            i += 2;
            continue;
        }
        if (startsWithNoCase("am/pm")) {
            tokens.push_back({'a', 5, std::string(rest.substr(0, 5))});
            i += 5;
            continue;
        }
        if (startsWithNoCase("a/p")) {
            tokens.push_back({'a', 3, std::string(rest.substr(0, 3))});
            i += 3;
            continue;
        }
        int maxRun = 0;
        for (const auto& [letter, run] : kMaxRun) {
            if (letter == lower) {
                maxRun = run;
            }
        }
        if (maxRun == 0) {
            literal(pattern.substr(i, 1));
            ++i;
            continue;
        }
        int run = 0;
        while (i + static_cast<std::size_t>(run) < pattern.size() && run < maxRun &&
               std::tolower(static_cast<unsigned char>(pattern[i + static_cast<std::size_t>(run)])) == lower) {
            ++run;
        }
        if (lower == 'y' && run == 3) {
            run = 2; // "yyy" reads as "yy" followed by "y"
        }
        tokens.push_back({lower, run, {}});
        i += static_cast<std::size_t>(run);
    }
    // "m" and "mm" mean minutes right after an hour token or right before a seconds token.
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        if (tokens[t].letter != 'm' || tokens[t].count > 2) {
            continue;
        }
        std::optional<char> before;
        for (std::size_t b = t; b-- > 0;) {
            if (tokens[b].letter != 0) {
                before = tokens[b].letter;
                break;
            }
        }
        std::optional<char> after;
        for (std::size_t a = t + 1; a < tokens.size(); ++a) {
            if (tokens[a].letter != 0) {
                after = tokens[a].letter;
                break;
            }
        }
        if (before == 'h' || after == 's') {
            tokens[t].letter = 'n';
        }
    }
    return tokens;
}

std::string TwoDigits(int value)
{
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

} // namespace

std::string Format(DateValue value, std::string_view pattern)
{
    const long long seconds = ToSeconds(value);
    const long long dayIndex = DayIndex(seconds);
    const DateParts parts = SplitDate(value);
    const int weekday = WeekdayOfIndex(dayIndex);
    const std::vector<PatternToken> tokens = TokenizeDatePattern(pattern);
    const bool twelveHour =
        std::any_of(tokens.begin(), tokens.end(), [](const PatternToken& t) { return t.letter == 'a'; });

    std::string out;
    for (const PatternToken& token : tokens) {
        switch (token.letter) {
        case 0:
            out += token.text;
            break;
        case 'd':
            switch (token.count) {
            case 1:
                out += std::to_string(parts.day);
                break;
            case 2:
                out += TwoDigits(parts.day);
                break;
            case 3:
                out += WeekdayName(weekday, true);
                break;
            case 4:
                out += WeekdayName(weekday, false);
                break;
            case 5:
                out += std::to_string(parts.month) + "/" + std::to_string(parts.day) + "/" + std::to_string(parts.year);
                break;
            default:
                out += WeekdayName(weekday, false) + ", " + MonthName(parts.month, false) + " " +
                       std::to_string(parts.day) + ", " + std::to_string(parts.year);
                break;
            }
            break;
        case 'm':
            if (token.count == 1) {
                out += std::to_string(parts.month);
            } else if (token.count == 2) {
                out += TwoDigits(parts.month);
            } else {
                out += MonthName(parts.month, token.count == 3);
            }
            break;
        case 'y':
            if (token.count == 1) {
                out += std::to_string(dayIndex - DayIndexOf(parts.year, 1, 1) + 1);
            } else if (token.count == 2) {
                out += TwoDigits(parts.year % 100);
            } else {
                out += std::to_string(parts.year);
            }
            break;
        case 'w':
            if (token.count == 1) {
                out += std::to_string(weekday);
            } else {
                const long long firstDay = DayIndexOf(parts.year, 1, 1);
                const long long firstWeekStart = firstDay - (WeekdayOfIndex(firstDay) - 1);
                out += std::to_string((dayIndex - firstWeekStart) / 7 + 1);
            }
            break;
        case 'q':
            out += std::to_string((parts.month - 1) / 3 + 1);
            break;
        case 'h': {
            int hour = parts.hour;
            if (twelveHour) {
                hour = hour % 12 == 0 ? 12 : hour % 12;
            }
            out += token.count == 1 ? std::to_string(hour) : TwoDigits(hour);
            break;
        }
        case 'n':
            out += token.count == 1 ? std::to_string(parts.minute) : TwoDigits(parts.minute);
            break;
        case 's':
            out += token.count == 1 ? std::to_string(parts.second) : TwoDigits(parts.second);
            break;
        case 'a': {
            const bool pm = parts.hour >= 12;
            // "AM/PM" gives "AM" or "PM" in the pattern's own case; "A/P" gives one letter.
            const std::string& text = token.text;
            if (token.count == 5) {
                out += pm ? text.substr(3, 2) : text.substr(0, 2);
            } else {
                out += pm ? text.substr(2, 1) : text.substr(0, 1);
            }
            break;
        }
        default:
            break;
        }
    }
    return out;
}

std::string MonthName(int month, bool abbreviated)
{
    if (month < 1 || month > 12) {
        return {};
    }
    const std::string name = kMonthNames[static_cast<std::size_t>(month - 1)];
    return abbreviated ? name.substr(0, 3) : name;
}

std::string WeekdayName(int weekday, bool abbreviated)
{
    if (weekday < 1 || weekday > 7) {
        return {};
    }
    const std::string name = kWeekdayNames[static_cast<std::size_t>(weekday - 1)];
    return abbreviated ? name.substr(0, 3) : name;
}

} // namespace kestrel
