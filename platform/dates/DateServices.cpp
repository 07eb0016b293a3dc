#include "DateServices.h"

#include "RuntimeError.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <chrono>
#include <cmath>
#include <ctime>
#include <optional>
#include <vector>

namespace kestrel {

namespace {

using namespace std::chrono;

constexpr long long kSecondsPerDay = 86400;
// 1899-12-30, the day of date value 0, in days since 1970-01-01.
constexpr long long kDayZero = -25569;
// The days of 0100-01-01 and 9999-12-31: the range of a date.
constexpr long long kFirstDay = -657434;
constexpr long long kLastDay = 2958465;

constexpr std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                     "May",       "June",     "July",     "August",
                                                     "September", "October",  "November", "December"};
constexpr std::array<const char*, 7> kWeekdayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};

long long FloorDiv(long long a, long long b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

long long FloorMod(long long a, long long b)
{
    return a - FloorDiv(a, b) * b;
}

// Whether a count lies outside -limit..limit (without negating it, which fails for the smallest).
bool Beyond(long long value, long long limit)
{
    return value > limit || value < -limit;
}

[[noreturn]] void InvalidCall()
{
    throw RuntimeError(RuntimeError::InvalidProcedureCall);
}

// Seconds since 1899-12-30 00:00, the date value rounded to the nearest second.
long long ToSeconds(DateValue value)
{
    const double serial = value.serial;
    if (!std::isfinite(serial) || serial < kFirstDay - 2.0 || serial > kLastDay + 2.0) {
        InvalidCall();
    }
    const double whole = std::trunc(serial);
    const double fraction = std::fabs(serial - whole);
    return static_cast<long long>(whole) * kSecondsPerDay + std::llround(fraction * kSecondsPerDay);
}

DateValue FromSeconds(long long seconds)
{
    const long long day = FloorDiv(seconds, kSecondsPerDay);
    const double fraction = static_cast<double>(seconds - day * kSecondsPerDay) / kSecondsPerDay;
    if (day < kFirstDay || day > kLastDay) {
        InvalidCall();
    }
    return DateValue{day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction};
}

long long DayIndex(long long seconds)
{
    return FloorDiv(seconds, kSecondsPerDay);
}

year_month_day CalendarDay(long long dayIndex)
{
    return year_month_day{sys_days{days{dayIndex + kDayZero}}};
}

long long DayIndexOf(int year, unsigned month, unsigned day)
{
    return sys_days{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}}
               .time_since_epoch()
               .count() -
           kDayZero;
}

// 1 (Sunday) to 7 (Saturday); day 0, 1899-12-30, was a Saturday.
int WeekdayOfIndex(long long dayIndex)
{
    return static_cast<int>(FloorMod(dayIndex + 6, 7)) + 1;
}

unsigned DaysInMonth(int year, unsigned month)
{
    return static_cast<unsigned>((std::chrono::year{year} / std::chrono::month{month} / last).day());
}

int WindowYear(long long year)
{
    if (year >= 0 && year < 30) {
        return static_cast<int>(year) + 2000;
    }
    if (year >= 30 && year < 100) {
        return static_cast<int>(year) + 1900;
    }
    return static_cast<int>(year);
}

// The day index of a year, month and day with carry; error 5 outside the years 100 to 9999.
long long CarryDate(long long year, long long month, long long day)
{
    constexpr long long kLimit = 1'000'000'000LL;
    if (Beyond(year, kLimit) || Beyond(month, kLimit) || Beyond(day, kLimit)) {
        InvalidCall();
    }
    const long long months = WindowYear(year) * 12LL + (month - 1);
    const long long carriedYear = FloorDiv(months, 12);
    if (carriedYear < 0 || carriedYear > 10000) {
        InvalidCall();
    }
    const auto carriedMonth = static_cast<unsigned>(FloorMod(months, 12) + 1);
    const long long index = DayIndexOf(static_cast<int>(carriedYear), carriedMonth, 1) + (day - 1);
    const int resultYear = static_cast<int>(CalendarDay(index).year());
    if (resultYear < 100 || resultYear > 9999) {
        InvalidCall();
    }
    return index;
}

DateValue AddMonths(DateValue date, long long months)
{
    const long long seconds = ToSeconds(date);
    const long long dayIndex = DayIndex(seconds);
    const long long timeOfDay = seconds - dayIndex * kSecondsPerDay;
    const year_month_day ymd = CalendarDay(dayIndex);
    if (Beyond(months, 200'000)) {
        InvalidCall();
    }
    const long long total = static_cast<int>(ymd.year()) * 12LL + (static_cast<unsigned>(ymd.month()) - 1) + months;
    const long long year = FloorDiv(total, 12);
    if (year < 100 || year > 9999) {
        InvalidCall();
    }
    const auto month = static_cast<unsigned>(FloorMod(total, 12) + 1);
    const unsigned day = std::min(static_cast<unsigned>(ymd.day()), DaysInMonth(static_cast<int>(year), month));
    return FromSeconds(DayIndexOf(static_cast<int>(year), month, day) * kSecondsPerDay + timeOfDay);
}

DateValue AddSeconds(DateValue date, long long n, long long unit)
{
    constexpr long long kLimit = 400'000'000'000LL; // beyond the years 100 to 9999 in seconds
    if (Beyond(n, kLimit / unit)) {
        InvalidCall();
    }
    return FromSeconds(ToSeconds(date) + n * unit);
}

// Whether two texts are equal without regard to the case of ASCII letters.
bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string Lower(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return result;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// --- Reading dates -------------------------------------------------------------------------

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

// --- Formatting numbers ---------------------------------------------------------------------

// Splits a pattern at ";" outside quotes and escapes.
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

std::string FormatNumberSection(double magnitude, std::string_view pattern, bool negative)
{
    // Read the pattern into integer pieces, fraction pieces and the literal text around them.
    std::vector<NumberPiece> integerPieces;
    std::vector<NumberPiece> fractionPieces;
    std::string prefix;
    std::string suffix;
    bool seenPlaceholder = false;
    bool inFraction = false;
    bool grouping = false;
    bool percent = false;
    const auto addLiteral = [&](const std::string& text) {
        if (!seenPlaceholder) {
            prefix += text;
        } else {
            NumberPiece piece;
            piece.literal = text;
            (inFraction ? fractionPieces : integerPieces).push_back(piece);
        }
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '0' || c == '#') {
            seenPlaceholder = true;
            NumberPiece piece;
            piece.placeholder = true;
            piece.symbol = c;
            (inFraction ? fractionPieces : integerPieces).push_back(piece);
        } else if (c == '.' && !inFraction) {
            seenPlaceholder = true;
            inFraction = true;
        } else if (c == ',' && seenPlaceholder && !inFraction) {
            grouping = true;
        } else if (c == '%') {
            percent = true;
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
        suffix = tail + suffix;
    };
    if (fractionPieces.empty() || std::none_of(fractionPieces.begin(), fractionPieces.end(),
                                               [](const NumberPiece& p) { return p.placeholder; })) {
        moveTrailingLiterals(fractionPieces);
        moveTrailingLiterals(integerPieces);
    } else {
        moveTrailingLiterals(fractionPieces);
    }

    if (percent) {
        magnitude *= 100.0;
    }
    int decimals = 0;
    for (const NumberPiece& piece : fractionPieces) {
        decimals += piece.placeholder ? 1 : 0;
    }
    // Round half away from zero to the shown decimals, then split into digit strings. A double
    // holds 15 significant digits; decimal places beyond them show zeros.
    const int placeholders = decimals;
    const int integerDigitCount = magnitude < 1.0 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    decimals = std::clamp(15 - integerDigitCount, 0, decimals);
    const double scaled = std::round(magnitude * std::pow(10.0, decimals));
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", std::isfinite(scaled) ? scaled : 0.0);
    std::string digits(buffer);
    while (static_cast<int>(digits.size()) <= decimals) {
        digits.insert(digits.begin(), '0');
    }
    std::string integerDigits = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
    std::string fractionDigits = digits.substr(digits.size() - static_cast<std::size_t>(decimals));
    fractionDigits.resize(static_cast<std::size_t>(placeholders), '0');
    if (integerDigits == "0") {
        integerDigits.clear();
    }
    const bool nonZero = !integerDigits.empty() || fractionDigits.find_first_not_of('0') != std::string::npos;

    // The integer part, filled from the right.
    // Every placeholder from the first '0' on is a digit that always shows.
    int minimumDigits = 0;
    bool zeroSeen = false;
    for (const NumberPiece& piece : integerPieces) {
        if (piece.placeholder) {
            zeroSeen = zeroSeen || piece.symbol == '0';
            minimumDigits += zeroSeen ? 1 : 0;
        }
    }
    while (static_cast<int>(integerDigits.size()) < minimumDigits) {
        integerDigits.insert(integerDigits.begin(), '0');
    }
    std::string integerText;
    {
        std::string out;
        std::size_t next = integerDigits.size(); // digits not yet placed are [0, next)
        int placed = 0;
        const auto placeDigit = [&](std::string& target) {
            --next;
            if (grouping && placed > 0 && placed % 3 == 0) {
                target.insert(target.begin(), ',');
            }
            target.insert(target.begin(), integerDigits[next]);
            ++placed;
        };
        for (auto it = integerPieces.rbegin(); it != integerPieces.rend(); ++it) {
            if (!it->placeholder) {
                out.insert(0, it->literal);
                continue;
            }
            if (next > 0) {
                placeDigit(out);
            }
        }
        // The leftmost placeholder takes every digit left over.
        std::string head;
        while (next > 0) {
            placeDigit(head);
        }
        integerText = head + out;
        if (integerPieces.empty()) {
            integerText = integerDigits;
        }
    }

    // The fraction part, filled from the left; trailing zeros at '#' places are dropped.
    std::string fractionText;
    if (!fractionPieces.empty()) {
        std::size_t lastSignificant = 0;
        {
            std::size_t index = 0;
            for (const NumberPiece& piece : fractionPieces) {
                if (piece.placeholder) {
                    if (piece.symbol == '0' || fractionDigits[index] != '0') {
                        lastSignificant = index + 1;
                    }
                    ++index;
                }
            }
        }
        std::size_t index = 0;
        for (const NumberPiece& piece : fractionPieces) {
            if (!piece.placeholder) {
                fractionText += piece.literal;
            } else {
                if (index < lastSignificant) {
                    fractionText += fractionDigits[index];
                }
                ++index;
            }
        }
        fractionText = "." + fractionText;
    }
    std::string result = prefix;
    if (negative && nonZero) {
        result = "-" + result;
    }
    return result + integerText + fractionText + suffix;
}

// --- Formatting dates -----------------------------------------------------------------------

struct DateToken2
{
    char letter = 0; // 'd', 'm', 'y', 'w', 'q', 'h', 'n', 's', 'a' (AM/PM), 0 for a literal
    int count = 0;
    std::string text; // the literal, or the AM/PM pattern as written
};

std::vector<DateToken2> TokenizeDatePattern(std::string_view pattern)
{
    static constexpr std::array<std::pair<char, int>, 8> kMaxRun = {
        {{'d', 6}, {'m', 4}, {'y', 4}, {'w', 2}, {'q', 1}, {'h', 2}, {'n', 2}, {'s', 2}}};
    std::vector<DateToken2> tokens;
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

// --- Public services ------------------------------------------------------------------------

DateValue SystemClock::now() const
{
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return PackDateTime(local.tm_year + 1900LL, local.tm_mon + 1LL, local.tm_mday, local.tm_hour, local.tm_min,
                        std::min(local.tm_sec, 59));
}

DateValue GetPresentDate(const Clock& clock)
{
    return FromSeconds(ToSeconds(clock.now()));
}

DateValue PackDate(long long year, long long month, long long day)
{
    return FromSeconds(CarryDate(year, month, day) * kSecondsPerDay);
}

DateValue PackDateTime(long long year, long long month, long long day, long long hour, long long minute,
                       long long second)
{
    constexpr long long kLimit = 1'000'000'000LL;
    if (Beyond(hour, kLimit) || Beyond(minute, kLimit) || Beyond(second, kLimit)) {
        InvalidCall();
    }
    return FromSeconds(CarryDate(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second);
}

DateParts SplitDate(DateValue value)
{
    const long long seconds = ToSeconds(value);
    const long long dayIndex = DayIndex(seconds);
    const long long timeOfDay = seconds - dayIndex * kSecondsPerDay;
    const year_month_day ymd = CalendarDay(dayIndex);
    return DateParts{static_cast<int>(ymd.year()),
                     static_cast<int>(static_cast<unsigned>(ymd.month())),
                     static_cast<int>(static_cast<unsigned>(ymd.day())),
                     static_cast<int>(timeOfDay / 3600),
                     static_cast<int>(timeOfDay / 60 % 60),
                     static_cast<int>(timeOfDay % 60)};
}

int Year(DateValue value)
{
    return SplitDate(value).year;
}

int Month(DateValue value)
{
    return SplitDate(value).month;
}

int Day(DateValue value)
{
    return SplitDate(value).day;
}

int Hour(DateValue value)
{
    return SplitDate(value).hour;
}

int Minute(DateValue value)
{
    return SplitDate(value).minute;
}

int Second(DateValue value)
{
    return SplitDate(value).second;
}

int Weekday(DateValue value)
{
    return WeekdayOfIndex(DayIndex(ToSeconds(value)));
}

DateValue DateAdd(std::string_view interval, long long n, DateValue date)
{
    const auto is = [interval](std::string_view code) { return EqualNoCase(interval, code); };
    if (is("yyyy")) {
        return AddMonths(date, Beyond(n, 20'000) ? (InvalidCall(), 0) : n * 12);
    }
    if (is("q")) {
        return AddMonths(date, Beyond(n, 80'000) ? (InvalidCall(), 0) : n * 3);
    }
    if (is("m")) {
        return AddMonths(date, n);
    }
    if (is("d") || is("y") || is("w")) {
        return AddSeconds(date, n, kSecondsPerDay);
    }
    if (is("ww")) {
        return AddSeconds(date, n, 7 * kSecondsPerDay);
    }
    if (is("h")) {
        return AddSeconds(date, n, 3600);
    }
    if (is("n")) {
        return AddSeconds(date, n, 60);
    }
    if (is("s")) {
        return AddSeconds(date, n, 1);
    }
    InvalidCall();
}

long long DateDiff(std::string_view interval, DateValue from, DateValue to)
{
    const auto is = [interval](std::string_view code) { return EqualNoCase(interval, code); };
    const long long a = ToSeconds(from);
    const long long b = ToSeconds(to);
    if (is("s")) {
        return b - a;
    }
    if (is("n")) {
        return FloorDiv(b, 60) - FloorDiv(a, 60);
    }
    if (is("h")) {
        return FloorDiv(b, 3600) - FloorDiv(a, 3600);
    }
    const long long dayA = DayIndex(a);
    const long long dayB = DayIndex(b);
    if (is("d") || is("y")) {
        return dayB - dayA;
    }
    if (is("w")) {
        return (dayB - dayA) / 7;
    }
    if (is("ww")) {
        const long long weekA = dayA - (WeekdayOfIndex(dayA) - 1);
        const long long weekB = dayB - (WeekdayOfIndex(dayB) - 1);
        return (weekB - weekA) / 7;
    }
    const year_month_day ymdA = CalendarDay(dayA);
    const year_month_day ymdB = CalendarDay(dayB);
    const long long yearA = static_cast<int>(ymdA.year());
    const long long yearB = static_cast<int>(ymdB.year());
    const long long monthA = static_cast<unsigned>(ymdA.month());
    const long long monthB = static_cast<unsigned>(ymdB.month());
    if (is("yyyy")) {
        return yearB - yearA;
    }
    if (is("q")) {
        return (4 * yearB + (monthB - 1) / 3) - (4 * yearA + (monthA - 1) / 3);
    }
    if (is("m")) {
        return (12 * yearB + monthB) - (12 * yearA + monthA);
    }
    InvalidCall();
}

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

double ValFromText(std::string_view text)
{
    // Blanks, tabs and line feeds are skipped wherever they stand.
    std::string compact;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
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

std::string Format(DateValue value, std::string_view pattern)
{
    const long long seconds = ToSeconds(value);
    const long long dayIndex = DayIndex(seconds);
    const DateParts parts = SplitDate(value);
    const int weekday = WeekdayOfIndex(dayIndex);
    const std::vector<DateToken2> tokens = TokenizeDatePattern(pattern);
    const bool twelveHour =
        std::any_of(tokens.begin(), tokens.end(), [](const DateToken2& t) { return t.letter == 'a'; });

    std::string out;
    for (const DateToken2& token : tokens) {
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

std::string Format(double number, std::string_view pattern)
{
    if (!std::isfinite(number)) {
        return std::isnan(number) ? "NaN" : number > 0 ? "Infinity" : "-Infinity";
    }
    if (std::fabs(number) > 1e300) {
        InvalidCall();
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
