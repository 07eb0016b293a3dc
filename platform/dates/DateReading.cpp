// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateReading.h"

#include "DateCalendar.h"
#include "DateText.h"
#include "RuntimeError.h"

#include <array>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

namespace {

using namespace calendar;
using namespace text;

struct DateToken
{
    enum Kind
    {
        Number,
        Word,
        Comma,
        Separator, // '/', '-' or '.'
        Colon,
    } kind;
    long long number = 0;
    int digits = 0;
    std::string text; // a word in lower case, or the separator character
};

std::optional<std::vector<DateToken>> Tokenize(std::string_view text)
{
    constexpr std::size_t kMaxLength = 256;
    if (text.size() > kMaxLength) {
        return std::nullopt;
    }
    std::vector<DateToken> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (IsBlank(c)) {
            ++i;
        } else if (IsDigit(c)) {
            DateToken token{DateToken::Number, 0, 0, {}};
            while (i < text.size() && IsDigit(text[i])) {
                if (token.digits >= 9) {
                    return std::nullopt;
                }
                token.number = token.number * 10 + (text[i] - '0');
                ++token.digits;
                ++i;
            }
            tokens.push_back(token);
        } else if (IsLetter(c)) {
            DateToken token{DateToken::Word, 0, 0, {}};
            while (i < text.size() && IsLetter(text[i])) {
                token.text += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
                ++i;
            }
            // "Jan." and "Sept." may end with a period.
            if (i < text.size() && text[i] == '.') {
                ++i;
            }
            tokens.push_back(token);
        } else if (c == ',') {
            tokens.push_back({DateToken::Comma, 0, 0, {}});
            ++i;
        } else if (c == '/' || c == '-' || c == '.') {
            DateToken token{DateToken::Separator, 0, 0, {}};
            token.text = std::string(1, c);
            tokens.push_back(token);
            ++i;
        } else if (c == ':') {
            tokens.push_back({DateToken::Colon, 0, 0, {}});
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

// 1 to 12 for an English month name, full or abbreviated to three letters (or "sept").
int MonthFromWord(const std::string& word)
{
    for (int m = 0; m < 12; ++m) {
        const std::string full = Lower(kMonthNames[static_cast<std::size_t>(m)]);
        if (word == full || word == full.substr(0, 3) || (m == 8 && word == "sept")) {
            return m + 1;
        }
    }
    return 0;
}

bool IsWeekdayWord(const std::string& word)
{
    for (const char* name : kWeekdayNames) {
        const std::string full = Lower(name);
        if (word == full || word == full.substr(0, 3)) {
            return true;
        }
    }
    return false;
}

std::optional<int> YearFromToken(const DateToken& token)
{
    if (token.kind != DateToken::Number || token.digits > 4 || (token.digits == 3 && token.number < 100)) {
        return std::nullopt;
    }
    const int year = token.digits <= 2 ? WindowYear(token.number) : static_cast<int>(token.number);
    if (year < 100 || year > 9999) {
        return std::nullopt;
    }
    return year;
}

struct ReadDate
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Reads a trailing time h:mm[:ss] [am|pm|a|p] from tokens[start..]; returns false when the
// tokens do not form one.
bool ReadTime(const std::vector<DateToken>& tokens, std::size_t start, ReadDate& out)
{
    std::size_t i = start;
    std::array<long long, 3> parts{0, 0, 0};
    int count = 0;
    while (i < tokens.size() && tokens[i].kind == DateToken::Number && count < 3) {
        if (tokens[i].digits > 2) {
            return false;
        }
        parts[static_cast<std::size_t>(count++)] = tokens[i].number;
        ++i;
        if (i < tokens.size() && tokens[i].kind == DateToken::Colon) {
            ++i;
            if (i >= tokens.size() || tokens[i].kind != DateToken::Number) {
                return false;
            }
        } else {
            break;
        }
    }
    if (count < 2) {
        return false;
    }
    long long hour = parts[0];
    if (i < tokens.size() && tokens[i].kind == DateToken::Word) {
        const std::string& word = tokens[i].text;
        const bool am = word == "am" || word == "a";
        const bool pm = word == "pm" || word == "p";
        if (!am && !pm) {
            return false;
        }
        if (hour < 1 || hour > 12) {
            return false;
        }
        hour = (hour % 12) + (pm ? 12 : 0);
        ++i;
    }
    if (i != tokens.size() || hour > 23 || parts[1] > 59 || parts[2] > 59) {
        return false;
    }
    out.hour = static_cast<int>(hour);
    out.minute = static_cast<int>(parts[1]);
    out.second = static_cast<int>(parts[2]);
    return true;
}

// Reads the date tokens [0, end): a form with a month name, or a numeric form.
bool ReadDay(const std::vector<DateToken>& tokens, std::size_t end, int currentYear, ReadDate& out)
{
    std::size_t begin = 0;
    // A leading weekday name ("Thursday, Dec 30, 1999") is allowed and not checked.
    if (begin < end && tokens[begin].kind == DateToken::Word && IsWeekdayWord(tokens[begin].text)) {
        ++begin;
        if (begin < end && tokens[begin].kind == DateToken::Comma) {
            ++begin;
        }
    }
    std::vector<const DateToken*> items;
    int monthWords = 0;
    std::optional<char> separator;
    bool comma = false;
    for (std::size_t i = begin; i < end; ++i) {
        const DateToken& token = tokens[i];
        switch (token.kind) {
        case DateToken::Number:
            items.push_back(&token);
            break;
        case DateToken::Word:
            if (MonthFromWord(token.text) == 0) {
                return false;
            }
            ++monthWords;
            items.push_back(&token);
            break;
        case DateToken::Comma:
            comma = true;
            break;
        case DateToken::Separator:
            if (separator && *separator != token.text[0]) {
                return false;
            }
            separator = token.text[0];
            break;
        case DateToken::Colon:
            return false;
        }
    }
    if (monthWords > 1 || items.size() < 2 || items.size() > 3) {
        return false;
    }

    std::optional<int> year = currentYear;
    long long month = 0;
    long long day = 0;
    if (monthWords == 1) {
        const auto isWord = [](const DateToken* t) { return t->kind == DateToken::Word; };
        if (items.size() == 2) {
            const DateToken* number = isWord(items[0]) ? items[1] : items[0];
            month = MonthFromWord(isWord(items[0]) ? items[0]->text : items[1]->text);
            if (isWord(items[0]) && number->digits >= 3) {
                // "Mar 2028": the first of the month.
                year = YearFromToken(*number);
                day = 1;
            } else {
                day = number->number;
            }
        } else if (isWord(items[0])) {
            month = MonthFromWord(items[0]->text);
            day = items[1]->number;
            year = YearFromToken(*items[2]);
        } else if (isWord(items[1])) {
            month = MonthFromWord(items[1]->text);
            day = items[0]->number;
            year = YearFromToken(*items[2]);
        } else {
            return false;
        }
    } else {
        // Numeric forms need one kind of separator and no comma.
        if (!separator || comma) {
            return false;
        }
        if (items.size() == 3 && items[0]->digits >= 3) {
            year = YearFromToken(*items[0]);
            month = items[1]->number;
            day = items[2]->number;
        } else {
            month = items[0]->number;
            day = items[1]->number;
            if (items.size() == 3) {
                year = YearFromToken(*items[2]);
            }
        }
    }
    if (!year || month < 1 || month > 12 || day < 1 || currentYear < 100 || currentYear > 9999 ||
        day > static_cast<long long>(DaysInMonth(*year, static_cast<unsigned>(month)))) {
        return false;
    }
    out.year = *year;
    out.month = static_cast<int>(month);
    out.day = static_cast<int>(day);
    return true;
}

std::optional<ReadDate> ReadDateText(std::string_view text, int currentYear)
{
    const auto tokens = Tokenize(text);
    if (!tokens || tokens->empty()) {
        return std::nullopt;
    }
    // The time, when there is one, starts at the number before the first colon.
    std::size_t dateEnd = tokens->size();
    for (std::size_t i = 0; i < tokens->size(); ++i) {
        if ((*tokens)[i].kind == DateToken::Colon) {
            if (i == 0) {
                return std::nullopt;
            }
            dateEnd = i - 1;
            break;
        }
    }
    ReadDate result;
    if (dateEnd < tokens->size() && !ReadTime(*tokens, dateEnd, result)) {
        return std::nullopt;
    }
    // A comma may stand between the date and the time.
    std::size_t dayEnd = dateEnd;
    if (dayEnd > 0 && (*tokens)[dayEnd - 1].kind == DateToken::Comma && dateEnd < tokens->size()) {
        --dayEnd;
    }
    if (!ReadDay(*tokens, dayEnd, currentYear, result)) {
        return std::nullopt;
    }
    return result;
}

// Splits a pattern at ";" outside quotes and escapes.
} // namespace

bool IsDate(std::string_view text, int currentYear)
{
    return ReadDateText(text, currentYear).has_value();
}

DateValue GetDateValue(std::string_view text, int currentYear)
{
    const auto date = ReadDateText(text, currentYear);
    if (!date) {
        throw RuntimeError(RuntimeError::TypeMismatch);
    }
    return PackDateTime(date->year, date->month, date->day, date->hour, date->minute, date->second);
}

} // namespace kestrel
