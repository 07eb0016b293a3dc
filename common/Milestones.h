// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"
#include "RuntimeError.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// One milestone: the day it is pinned to, written as its day number (" 36526" for 1 January
// 2000), and the note the user typed. The removal mark lives only between the editor's Remove
// and its Apply or Cancel; it is never written to the file.
struct Milestone
{
    std::string key;
    std::string text;
    bool markedForRemoval = false;
};

// A calendar month, as the desk calendar shows it and the month searches answer.
struct YearMonth
{
    int year = 2000;
    int month = 1;
    friend bool operator==(const YearMonth&, const YearMonth&) = default;
};

inline constexpr const char* kMilestoneFileName = "mileston.txt";

struct ProgramSettings;
// The file that holds the milestones of a countdown: the setting "Project File", or "mileston.txt"
// in the countdown's data folder (CountdownPlace::dataDirectory: the data folder itself for
// "Default", countdowns/NAME/ in it for the others) when the setting is empty. Every reader and
// writer of the milestone table asks this.
std::filesystem::path MilestoneFilePath(const ProgramSettings& settings, const std::filesystem::path& dataDirectory);
inline constexpr const char* kNoNextMilestone = "There is no Next MileStone";
inline constexpr const char* kNoPreviousMilestone = "There is no previous MileStone";

// Whole days from 30 December 1899 to the day of the date (1 January 2000 is 36526).
long long DayNumber(DateValue date);
// The key the program writes for a day: one blank and the decimal digits (" 36526").
std::string MilestoneKey(long long dayNumber);
// A key's numeric value, read as numbers are read from text: leading blanks skipped, 0 when no
// number is there.
double KeyValue(std::string_view key);

// The longest milestone text the editor takes, in characters.
inline constexpr std::size_t kMaxMilestoneTextCharacters = 64 * 1024;
// The longest key or text the loader accepts, in bytes: room for the longest text when every
// character takes four bytes in UTF-8. A longer field means the file is damaged.
inline constexpr std::size_t kMaxMilestoneFieldBytes = 4 * kMaxMilestoneTextCharacters;

// How the milestone file stores its text: UTF-8, as the program writes a new file, or UTF-16 with
// its byte-order mark, as another editor may have saved it. A file is written back as it was read.
enum class MilestoneEncoding
{
    Utf8,
    Utf16LittleEndian,
    Utf16BigEndian,
};

// The milestone table: every window works on the same one. Positions run from 1 to count(), as
// the calendar and the editor show them; position 0 means a milestone not in the table yet.
class MilestoneTable
{
public:
    int count() const { return static_cast<int>(m_records.size()); }
    bool empty() const { return m_records.empty(); }
    // The record at a position from 1 to count(); error 9 for any other position.
    const Milestone& at(int position) const;

    // The position of the first record, in list order, whose key's value is that day number
    // exactly; none when no record falls on the day. A key holding no number falls on no day.
    std::optional<int> FindMilestoneOnDay(long long dayNumber) const;

    // Position 0 appends a record at the end and returns its position (the new count); a position
    // from 1 to count() overwrites that record's key and text and returns the position. The
    // removal mark is left as it was. Error 9 for any other position.
    int PutMilestone(int position, DateValue date, std::string text);
    // Sets and clears the removal mark. Position 0, or one the table no longer holds, changes
    // nothing.
    void MarkMilestoneForRemoval(int position);
    void UnmarkMilestone(int position);

    // The month of the earliest milestone after `shown`, or of the latest one before it; none
    // when there is no such milestone (the calendar then says kNoNextMilestone or
    // kNoPreviousMilestone). Records whose key names no day of the years 100 to 9999 are skipped.
    std::optional<YearMonth> NextMilestoneMonth(YearMonth shown) const;
    std::optional<YearMonth> PreviousMilestoneMonth(YearMonth shown) const;

    // Puts the records in date order: by the keys' numeric value, records of the same day keeping
    // their order.
    void SortMilestones();

    void append(Milestone milestone);
    void clear();

    // The encoding of the file last read; SaveMilestones writes in it.
    MilestoneEncoding encoding() const { return m_encoding; }
    void setEncoding(MilestoneEncoding encoding) { m_encoding = encoding; }

    // Replaces the table with the records of the file. A missing file or one shorter than 7 bytes
    // gives an empty table and no error. A file that cannot be read or is damaged gives the error
    // to show once; the records read before the damage are kept.
    std::optional<RuntimeError> LoadMilestones(const std::filesystem::path& path);

    // Sorts the table and writes every record without the removal mark to the file in the table's
    // encoding, replacing it whole (a new file renamed over the old one and flushed to the disk); when nothing is left
    // to write, the file is deleted. On failure the old file is left as it was and the error names the path and the
    // reason. The records stay in memory, marks included, either way.
    std::optional<RuntimeError> SaveMilestones(const std::filesystem::path& path);

    // When the file exists, hands it to `discard` (which moves it to the trash) and empties the
    // table; when it does not, does nothing. Returns whether a file was discarded, or the error
    // when `discard` failed (the table is then kept).
    struct Cleared
    {
        bool discarded = false;
        std::optional<RuntimeError> error;
    };
    using Discard = std::function<bool(const std::filesystem::path&, std::string& reason)>;
    Cleared ClearAllMilestones(const std::filesystem::path& path, const Discard& discard);

private:
    // A record's day number when its key holds a whole number; none otherwise.
    static std::optional<long long> DayOfKey(std::string_view key);
    void invalidate() { m_indexValid = false; }
    void buildIndex() const;

    std::vector<Milestone> m_records;
    MilestoneEncoding m_encoding = MilestoneEncoding::Utf8;
    // Day number and position of every record that falls on a day, ordered by day and then by
    // position, so the first match of a day search is the first record in list order.
    struct IndexEntry
    {
        long long day;
        int position;
    };
    mutable std::vector<IndexEntry> m_index;
    mutable bool m_indexValid = false;
};

// True when a file of that name exists.
bool MilestoneFileExists(const std::filesystem::path& path);

// The bytes of the milestone file for a table: one line per record without the removal mark,
// `"key","text"` and CR LF. A double quote inside a field is written doubled; everything else,
// line breaks included, is written as it stands.
std::string MilestoneFileText(const MilestoneTable& table);

// The bytes of the milestone file text in an encoding: UTF-16 gets its byte-order mark.
std::string EncodeMilestoneFile(std::string_view text, MilestoneEncoding encoding);

// Reads milestone file bytes: records in file order, and the error that stopped the reading, if
// any. Bytes that start with a UTF-16 byte-order mark are read as UTF-16, as the settings file is;
// other text is taken as UTF-8 when the bytes are valid UTF-8 and as Windows-1252 otherwise. The
// text comes back as UTF-8. `source` names the file in error messages.
struct ParsedMilestones
{
    std::vector<Milestone> records;
    std::optional<RuntimeError> error;
    MilestoneEncoding encoding = MilestoneEncoding::Utf8;
};
ParsedMilestones ParseMilestoneFile(std::string_view bytes, std::string_view source = {});

} // namespace kestrel
