// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Milestones.h"

#include "ProgramSettings.h"

#include "TextEncoding.h"

#include "AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

namespace fs = std::filesystem;

namespace {

// Day numbers of 1 January 100 and 31 December 9999, the range of date values.
constexpr long long kFirstDay = -657434;
constexpr long long kLastDay = 2958465;

// A file shorter than this holds no record.
constexpr std::size_t kMinimumFileBytes = 7;
// The most of a milestone file that is read; 100,000 records take about 3 MB.
constexpr std::size_t kMaxFileBytes = 64u * 1024 * 1024;

RuntimeError SubscriptOutOfRange()
{
    return RuntimeError(RuntimeError::SubscriptOutOfRange);
}

// The error for a failed file operation, numbered as the program's messages expect, with the
// file and the system's reason.
RuntimeError LoadError(const RuntimeError& error, const fs::path& path)
{
    return error.described(error.description() + ": the milestones could not be read from " + path.string() + " (" +
                           error.systemReason() + ")");
}

RuntimeError SaveError(const RuntimeError& error, const fs::path& path)
{
    return error.described(error.description() + ": " +
                           CouldNotBeSavedText("the milestones", path, error.systemReason()));
}

RuntimeError SaveError(int error, const fs::path& path)
{
    return SaveError(RuntimeError::FromSystemError(error), path);
}

fs::path FolderOf(const fs::path& path)
{
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// --- Reading records -----------------------------------------------------------------------

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// A byte that has no place in a text file: control characters other than tab and line breaks.
bool IsBinary(char ch)
{
    const auto c = static_cast<unsigned char>(ch);
    return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F;
}

class RecordReader
{
public:
    RecordReader(std::string_view text, std::string_view source) : m_text(text), m_source(source) {}

    ParsedMilestones read()
    {
        ParsedMilestones result;
        // Reading stops before the first byte that does not belong in a text file.
        const auto binary = std::find_if(m_text.begin(), m_text.end(), IsBinary);
        const std::size_t binaryAt = static_cast<std::size_t>(binary - m_text.begin());
        const std::string_view whole = m_text;
        m_text = whole.substr(0, binaryAt);

        while (!result.error) {
            skipBlanksAndLineEnds();
            if (atEnd()) {
                break;
            }
            Milestone record;
            if (!readField(record.key, result, Field::Key)) {
                break;
            }
            skipBlanks();
            if (atEnd()) {
                result.error = fail(RuntimeError::InputPastEndOfFile, "Input past end of file");
                break;
            }
            if (m_text[m_at] != ',') {
                // A key alone on the last line is a record cut short; elsewhere the line is damaged.
                const bool lastLine = m_text.find_first_not_of(" \t\r\n", m_at) == std::string_view::npos;
                result.error = lastLine ? fail(RuntimeError::InputPastEndOfFile, "Input past end of file")
                                        : fail(RuntimeError::InvalidFileFormat,
                                               "Invalid file format: a line holds no milestone text");
                break;
            }
            ++m_at;
            skipBlanks();
            if (!readField(record.text, result, Field::Note)) {
                break;
            }
            // Anything after the text on its line is no part of a record.
            while (!atEnd() && !IsLineEnd(m_text[m_at])) {
                ++m_at;
            }
            result.records.push_back(std::move(record));
        }
        if (binaryAt < whole.size() && (!result.error || m_at >= m_text.size())) {
            m_at = binaryAt;
            result.error = fail(RuntimeError::InvalidFileFormat, "Invalid file format: the file holds binary data");
        }
        return result;
    }

private:
    bool atEnd() const { return m_at >= m_text.size(); }

    void skipBlanks()
    {
        while (!atEnd() && IsBlank(m_text[m_at])) {
            ++m_at;
        }
    }

    void skipBlanksAndLineEnds()
    {
        while (!atEnd() && (IsBlank(m_text[m_at]) || IsLineEnd(m_text[m_at]))) {
            ++m_at;
        }
    }

    // Whether a double quote at `quote` closes its field: it does when blanks, then a comma, a
    // line break or the end of the file follow. Any other double quote is part of the text, so
    // that files written before quotes were doubled keep their texts.
    bool closesField(std::size_t quote) const
    {
        std::size_t next = quote + 1;
        while (next < m_text.size() && IsBlank(m_text[next])) {
            ++next;
        }
        return next >= m_text.size() || m_text[next] == ',' || IsLineEnd(m_text[next]);
    }

    // Whether a double quote that would close the note is followed, later on its line, by one
    // that closes the line: a note of the older program that holds a quote and a comma (written
    // `"Say "hi", then go"`), which runs from its first quote to the line's last.
    bool noteRunsOn(std::size_t quote) const
    {
        const std::size_t lineEnd = std::min(m_text.find_first_of("\r\n", quote + 1), m_text.size());
        const std::size_t last = m_text.rfind('"', lineEnd - 1);
        return last != std::string_view::npos && last > quote && m_text.find_first_not_of(" \t", last + 1) >= lineEnd;
    }

    enum class Field
    {
        Key,
        Note,
    };

    bool readField(std::string& field, ParsedMilestones& result, Field which)
    {
        if (atEnd()) {
            result.error = fail(RuntimeError::InputPastEndOfFile, "Input past end of file");
            return false;
        }
        if (m_text[m_at] == '"') {
            ++m_at;
            for (;;) {
                const std::size_t quote = m_text.find('"', m_at);
                if (quote == std::string_view::npos) {
                    m_at = m_text.size();
                    result.error = fail(RuntimeError::InputPastEndOfFile, "Input past end of file");
                    return false;
                }
                field.append(m_text, m_at, quote - m_at);
                if (quote + 1 < m_text.size() && m_text[quote + 1] == '"') {
                    field += '"';
                    m_at = quote + 2;
                } else if (closesField(quote) && !(which == Field::Note && noteRunsOn(quote))) {
                    m_at = quote + 1;
                    break;
                } else {
                    field += '"';
                    m_at = quote + 1;
                }
                if (field.size() > kMaxMilestoneFieldBytes) {
                    return tooLong(result);
                }
            }
        } else {
            const std::size_t start = m_at;
            while (!atEnd() && m_text[m_at] != ',' && !IsLineEnd(m_text[m_at])) {
                ++m_at;
            }
            std::size_t end = m_at;
            while (end > start && IsBlank(m_text[end - 1])) {
                --end;
            }
            field.assign(m_text, start, end - start);
        }
        if (field.size() > kMaxMilestoneFieldBytes) {
            return tooLong(result);
        }
        return true;
    }

    bool tooLong(ParsedMilestones& result)
    {
        result.error = fail(RuntimeError::InvalidFileFormat, "Invalid file format: a line is too long");
        return false;
    }

    // The error with the line where reading stopped, so that the user can find the damage.
    RuntimeError fail(int number, const std::string& description) const
    {
        const std::size_t upTo = std::min(m_at, m_text.size());
        const long long line = 1 + std::count(m_text.begin(), m_text.begin() + static_cast<std::ptrdiff_t>(upTo), '\n');
        std::string where = " (line " + std::to_string(line);
        if (!m_source.empty()) {
            where += " of ";
            where += m_source;
        }
        return RuntimeError(number, description + where + ")");
    }

    std::string_view m_text;
    std::string_view m_source;
    std::size_t m_at = 0;
};

void AppendField(std::string& out, std::string_view field)
{
    out += '"';
    for (char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

std::optional<YearMonth> MonthOfDay(long long day)
{
    if (day < kFirstDay || day > kLastDay) {
        return std::nullopt;
    }
    const DateParts parts = SplitDate(DateValue{static_cast<double>(day)});
    return YearMonth{parts.year, parts.month};
}

long long MonthIndex(YearMonth month)
{
    return static_cast<long long>(month.year) * 12 + (month.month - 1);
}

} // namespace

long long DayNumber(DateValue date)
{
    return static_cast<long long>(std::trunc(date.serial));
}

std::string MilestoneKey(long long dayNumber)
{
    std::string key(1, ' ');
    key += std::to_string(dayNumber);
    return key;
}

double KeyValue(std::string_view key)
{
    const double value = ValFromText(key);
    return std::isnan(value) ? 0.0 : value;
}

std::optional<long long> MilestoneTable::DayOfKey(std::string_view key)
{
    if (std::none_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const double value = KeyValue(key);
    if (!std::isfinite(value) || value != std::trunc(value) || std::fabs(value) > 1e15) {
        return std::nullopt;
    }
    return static_cast<long long>(value);
}

const Milestone& MilestoneTable::at(int position) const
{
    if (position < 1 || position > count()) {
        throw SubscriptOutOfRange();
    }
    return m_records[static_cast<std::size_t>(position - 1)];
}

void MilestoneTable::buildIndex() const
{
    m_index.clear();
    m_index.reserve(m_records.size());
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (const auto day = DayOfKey(m_records[i].key)) {
            m_index.push_back({*day, static_cast<int>(i + 1)});
        }
    }
    std::stable_sort(m_index.begin(), m_index.end(),
                     [](const IndexEntry& a, const IndexEntry& b) { return a.day < b.day; });
    m_indexValid = true;
}

std::optional<int> MilestoneTable::FindMilestoneOnDay(long long dayNumber) const
{
    if (!m_indexValid) {
        buildIndex();
    }
    const auto found = std::lower_bound(m_index.begin(), m_index.end(), dayNumber,
                                        [](const IndexEntry& entry, long long day) { return entry.day < day; });
    if (found == m_index.end() || found->day != dayNumber) {
        return std::nullopt;
    }
    return found->position;
}

int MilestoneTable::PutMilestone(int position, DateValue date, std::string text)
{
    if (position < 0 || position > count()) {
        throw SubscriptOutOfRange();
    }
    if (position == 0) {
        m_records.push_back(Milestone{});
        position = count();
    }
    Milestone& record = m_records[static_cast<std::size_t>(position - 1)];
    record.key = MilestoneKey(DayNumber(date));
    record.text = std::move(text);
    invalidate();
    return position;
}

void MilestoneTable::MarkMilestoneForRemoval(int position)
{
    if (position >= 1 && position <= count()) {
        m_records[static_cast<std::size_t>(position - 1)].markedForRemoval = true;
    }
}

void MilestoneTable::UnmarkMilestone(int position)
{
    if (position >= 1 && position <= count()) {
        m_records[static_cast<std::size_t>(position - 1)].markedForRemoval = false;
    }
}

std::optional<YearMonth> MilestoneTable::NextMilestoneMonth(YearMonth shown) const
{
    const long long from = MonthIndex(shown);
    std::optional<YearMonth> best;
    for (const Milestone& record : m_records) {
        const auto day = DayOfKey(record.key);
        const auto month = day ? MonthOfDay(*day) : std::nullopt;
        if (month && MonthIndex(*month) > from && (!best || MonthIndex(*month) < MonthIndex(*best))) {
            best = month;
        }
    }
    return best;
}

std::optional<YearMonth> MilestoneTable::PreviousMilestoneMonth(YearMonth shown) const
{
    const long long from = MonthIndex(shown);
    std::optional<YearMonth> best;
    for (const Milestone& record : m_records) {
        const auto day = DayOfKey(record.key);
        const auto month = day ? MonthOfDay(*day) : std::nullopt;
        if (month && MonthIndex(*month) < from && (!best || MonthIndex(*month) > MonthIndex(*best))) {
            best = month;
        }
    }
    return best;
}

void MilestoneTable::SortMilestones()
{
    // Keys compare by their numeric value, not as text: " 9999" (1927) comes before " 36526".
    std::vector<std::pair<double, std::size_t>> order;
    order.reserve(m_records.size());
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        order.emplace_back(KeyValue(m_records[i].key), i);
    }
    if (std::is_sorted(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; })) {
        return;
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Milestone> sorted;
    sorted.reserve(m_records.size());
    for (const auto& [value, index] : order) {
        sorted.push_back(std::move(m_records[index]));
    }
    m_records = std::move(sorted);
    invalidate();
}

void MilestoneTable::append(Milestone milestone)
{
    m_records.push_back(std::move(milestone));
    invalidate();
}

void MilestoneTable::clear()
{
    m_records.clear();
    invalidate();
}

std::optional<RuntimeError> MilestoneTable::LoadMilestones(const fs::path& path)
{
    clear();
    m_encoding = MilestoneEncoding::Utf8;
    const FileResult<FileContents> read = ReadRegularFile(path, kMaxFileBytes, Oversize::ReadFirst);
    if (!read) {
        if (read.systemError() == ENOENT) {
            return std::nullopt; // no file: no milestones
        }
        return LoadError(read.error(), path);
    }
    const std::string& bytes = read.value().bytes;
    if (bytes.size() < kMinimumFileBytes) {
        return std::nullopt;
    }
    ParsedMilestones parsed = ParseMilestoneFile(bytes, path.string());
    m_records = std::move(parsed.records);
    m_encoding = parsed.encoding;
    invalidate();
    if (!parsed.error && read.value().cut) {
        return RuntimeError(RuntimeError::InvalidFileFormat,
                            "Invalid file format: " + path.string() + " is too large; only its first 64 MB were read");
    }
    return std::move(parsed.error);
}

std::optional<RuntimeError> MilestoneTable::SaveMilestones(const fs::path& requested)
{
    SortMilestones();
    const std::string text = MilestoneFileText(*this);

    if (text.empty()) {
        // A symbolic link stays a link: the file it leads to goes.
        const std::optional<fs::path> linked = ResolveLinks(requested);
        if (!linked) {
            return SaveError(ELOOP, requested);
        }
        if (::unlink(linked->c_str()) != 0 && errno != ENOENT) {
            return SaveError(errno, requested);
        }
        FlushFolder(FolderOf(*linked));
        return std::nullopt;
    }
    const FileResult<SaveTarget> target = FindSaveTarget(requested);
    if (!target) {
        return SaveError(target.error(), requested);
    }
    // Flushed to the disk before it counts as saved; the new file keeps the old one's owner.
    const FileResult<struct stat> saved =
        SaveWholeFile(target.value(), EncodeMilestoneFile(text, m_encoding), 0644, /*flush=*/true);
    if (!saved) {
        return SaveError(saved.error(), requested);
    }
    return std::nullopt;
}

MilestoneTable::Cleared MilestoneTable::ClearAllMilestones(const fs::path& path, const Discard& discard)
{
    Cleared result;
    if (!MilestoneFileExists(path)) {
        return result;
    }
    std::string reason;
    if (!discard(path, reason)) {
        result.error = RuntimeError(RuntimeError::PathFileAccessError,
                                    RuntimeError::describe(RuntimeError::PathFileAccessError) + ": " + path.string() +
                                        " could not be moved to the trash" +
                                        (reason.empty() ? std::string() : " (" + reason + ")"));
        return result;
    }
    clear();
    result.discarded = true;
    return result;
}

bool MilestoneFileExists(const fs::path& path)
{
    struct stat status = {};
    return ::lstat(path.c_str(), &status) == 0;
}

std::string MilestoneFileText(const MilestoneTable& table)
{
    std::string out;
    for (int position = 1; position <= table.count(); ++position) {
        const Milestone& record = table.at(position);
        if (record.markedForRemoval) {
            continue;
        }
        AppendField(out, record.key);
        out += ',';
        AppendField(out, record.text);
        out += "\r\n";
    }
    return out;
}

std::string EncodeMilestoneFile(std::string_view text, MilestoneEncoding encoding)
{
    switch (encoding) {
    case MilestoneEncoding::Utf8:
        break;
    case MilestoneEncoding::Utf16LittleEndian:
        return "\xFF\xFE" + Utf8ToUtf16(text, false);
    case MilestoneEncoding::Utf16BigEndian:
        return "\xFE\xFF" + Utf8ToUtf16(text, true);
    }
    return std::string(text);
}

ParsedMilestones ParseMilestoneFile(std::string_view bytes, std::string_view source)
{
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        const bool bigEndian = bytes[0] == '\xFE';
        std::string_view units = bytes.substr(2);
        // A last odd byte is half a character: no part of the text.
        units.remove_suffix(units.size() % 2);
        const std::string text = Utf16ToUtf8(units, bigEndian);
        ParsedMilestones parsed = RecordReader(text, source).read();
        parsed.encoding = bigEndian ? MilestoneEncoding::Utf16BigEndian : MilestoneEncoding::Utf16LittleEndian;
        return parsed;
    }
    bytes = WithoutUtf8Mark(bytes);
    if (IsValidUtf8(bytes)) {
        return RecordReader(bytes, source).read();
    }
    const std::string text = Windows1252ToUtf8(bytes);
    return RecordReader(text, source).read();
}

std::filesystem::path MilestoneFilePath(const ProgramSettings& settings, const std::filesystem::path& dataDirectory)
{
    return settings.ProjectFile.empty() ? dataDirectory / kMilestoneFileName
                                        : std::filesystem::path(settings.ProjectFile);
}

} // namespace kestrel
