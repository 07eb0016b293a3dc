// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// How the bytes of a settings file hold its text. A file that starts with a UTF-16 byte-order
// mark is read and written back in UTF-16 of the same byte order; any other file is kept as
// bytes (a UTF-8 byte-order mark stays in front of the first line).
enum class IniEncoding
{
    Bytes,
    Utf8WithMark,
    Utf16LittleEndian,
    Utf16BigEndian,
};

// The settings file as lines, read and edited as the platform's profile functions do it:
// - a line is cut at LF, CR LF or a lone CR; blanks (tab, LF, VT, FF, CR, ^Z and space) around
//   a line, a section name, a key and a value do not count;
// - a line starting with '[' that holds a ']' opens a section named by the text between '['
//   and the last ']'; a '[' line without ']' opens nothing and belongs to the section above;
// - a line holding '=' is an entry: the key before the first '=', the value after it; any other
//   line (a comment, a word without '=') is not an entry;
// - section and key names match without regard to case; only the first section of a name is
//   looked in, and in it the first entry of the key counts.
// An edit changes the one line of the key, or adds one line at the end of the section, or one
// section at the end of the file; every other byte of the file stays as it was.
class IniDocument
{
public:
    // The text of a settings file. NUL bytes (or characters) do not count when a line is read,
    // but stay in the lines an edit does not change.
    explicit IniDocument(std::string_view fileBytes);

    IniEncoding encoding() const noexcept { return m_encoding; }

    // The stored value of key in the first section named section, blanks around it stripped
    // and one pair of matching surrounding quotes (double or single) taken off; nothing when the
    // section, or the key in that section, is missing. The value is text as the file holds it:
    // UTF-8 for UTF-16 files, the file's own bytes otherwise.
    std::optional<std::string_view> find(std::string_view section, std::string_view key) const;

    // Sets key in section to storedText, which is written as it stands (the caller quotes it).
    // False when nothing changed because the entry already holds exactly that value.
    bool set(std::string_view section, std::string_view key, std::string_view storedText);

    // The file's bytes, in its encoding.
    std::string bytes() const;

private:
    enum class Kind
    {
        Blank,
        Section,
        Entry,
        Other,
    };
    struct Line
    {
        std::string text; // as the file holds it, without its line end
        std::string end;  // "\n", "\r\n", "\r", or empty for a last line without one
        Kind kind = Kind::Other;
        // For a section: its trimmed name. For an entry: the trimmed key and the trimmed value.
        std::string name;
        std::string value;
    };

    static Line Classify(std::string text, std::string end);
    // The first section line named section, or lines.size().
    std::size_t findSection(std::string_view section) const;
    // The line end for lines the editor adds: the file's first, LF in a file without one.
    std::string newLineEnd() const;

    IniEncoding m_encoding = IniEncoding::Bytes;
    std::string m_oddTail; // a last byte a UTF-16 file cannot place in a character, kept as is
    std::vector<Line> m_lines;
};

} // namespace kestrel
