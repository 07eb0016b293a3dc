// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "IniDocument.h"

#include "TextEncoding.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <tuple>

namespace kestrel {

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Pieces of text joined into one. (g++ 12 warns falsely, -Wrestrict, about "[" + name + "]".)
std::string Joined(std::initializer_list<std::string_view> pieces)
{
    std::size_t size = 0;
    for (const std::string_view piece : pieces) {
        size += piece.size();
    }
    std::string text;
    text.reserve(size);
    for (const std::string_view piece : pieces) {
        text.append(piece);
    }
    return text;
}

bool SameName(std::string_view left, std::string_view right)
{
    return left.size() == right.size() && std::equal(left.begin(), left.end(), right.begin(),
                                                     [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
}

// Start and length of text with the profile blanks around it left out.
std::pair<std::size_t, std::size_t> Trimmed(std::string_view text, std::size_t start, std::size_t end)
{
    while (start < end && IsProfileBlank(text[start])) {
        ++start;
    }
    while (end > start && IsProfileBlank(text[end - 1])) {
        --end;
    }
    return {start, end - start};
}

} // namespace

IniDocument::IniDocument(std::string_view fileBytes)
{
    std::string text;
    if (fileBytes.size() >= 2 && (fileBytes.starts_with("\xFF\xFE") || fileBytes.starts_with("\xFE\xFF"))) {
        const bool bigEndian = fileBytes[0] == '\xFE';
        m_encoding = bigEndian ? IniEncoding::Utf16BigEndian : IniEncoding::Utf16LittleEndian;
        std::string_view body = fileBytes.substr(2);
        if (body.size() % 2 != 0) {
            m_oddTail = std::string(body.substr(body.size() - 1));
            body.remove_suffix(1);
        }
        text = Utf16ToUtf8(body, bigEndian);
    } else {
        if (fileBytes.starts_with(kUtf8Mark)) {
            m_encoding = IniEncoding::Utf8WithMark;
            fileBytes.remove_prefix(kUtf8Mark.size());
        }
        text.assign(fileBytes);
    }

    std::size_t lineCount = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    m_lines.reserve(lineCount);
    const std::string_view all(text);
    for (std::size_t start = 0; start < all.size();) {
        // A plain loop: find_first_of calls memchr once for every character it passes.
        std::size_t end = start;
        while (end < all.size() && all[end] != '\n' && all[end] != '\r') {
            ++end;
        }
        std::size_t next = end;
        if (end < all.size()) {
            next = end + (all[end] == '\r' && end + 1 < all.size() && all[end + 1] == '\n' ? 2 : 1);
        }
        m_lines.push_back(
            Classify(std::string(all.substr(start, end - start)), std::string(all.substr(end, next - end))));
        start = next;
    }
}

IniDocument::Line IniDocument::Classify(std::string text, std::string end)
{
    Line line;
    line.text = std::move(text);
    line.end = std::move(end);
    std::string withoutNuls;
    std::string_view t(line.text);
    if (t.find('\0') != std::string_view::npos) {
        withoutNuls = line.text;
        std::erase(withoutNuls, '\0');
        t = withoutNuls;
    }
    const auto part = [&](std::pair<std::size_t, std::size_t> range) {
        return std::string(t.substr(range.first, range.second));
    };
    const auto [start, length] = Trimmed(t, 0, t.size());
    if (length == 0) {
        line.kind = Kind::Blank;
        return line;
    }
    if (t[start] == '[') {
        const std::size_t close = t.rfind(']', start + length - 1);
        if (close != std::string_view::npos && close > start) {
            line.kind = Kind::Section;
            line.name = part(Trimmed(t, start + 1, close));
            return line;
        }
    }
    const std::size_t equals = t.find('=', start);
    if (equals == std::string_view::npos || equals >= start + length) {
        line.kind = Kind::Other;
        return line;
    }
    line.kind = Kind::Entry;
    line.name = part(Trimmed(t, start, equals));
    line.value = part(Trimmed(t, equals + 1, start + length));
    return line;
}

std::size_t IniDocument::findSection(std::string_view section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && SameName(m_lines[i].name, section)) {
            return i;
        }
    }
    return m_lines.size();
}

std::optional<std::string_view> IniDocument::find(std::string_view section, std::string_view key) const
{
    for (std::size_t i = findSection(section) + 1; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Section) {
            break;
        }
        if (line.kind == Kind::Entry && SameName(line.name, key)) {
            std::string_view value = line.value;
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
    }
    return std::nullopt;
}

std::string IniDocument::newLineEnd() const
{
    for (const Line& line : m_lines) {
        if (!line.end.empty()) {
            return line.end;
        }
    }
    return "\n";
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view storedText)
{
    const std::size_t header = findSection(section);
    const std::string end = newLineEnd();
    if (header == m_lines.size()) {
        if (!m_lines.empty() && m_lines.back().end.empty()) {
            m_lines.back().end = end;
        }
        m_lines.push_back(Classify(Joined({"[", section, "]"}), end));
        m_lines.push_back(Classify(Joined({key, "=", storedText}), end));
        return true;
    }
    std::size_t lastFilled = header; // the section's last line that is not blank
    std::size_t i = header + 1;
    for (; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i) {
        Line& line = m_lines[i];
        if (line.kind == Kind::Entry && SameName(line.name, key)) {
            if (line.value == storedText) {
                return false;
            }
            line = Classify(Joined({line.name, "=", storedText}), std::move(line.end));
            return true;
        }
        if (line.kind != Kind::Blank) {
            lastFilled = i;
        }
    }
    if (m_lines[lastFilled].end.empty()) {
        m_lines[lastFilled].end = end;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(lastFilled + 1),
                   Classify(Joined({key, "=", storedText}), end));
    return true;
}

std::string IniDocument::bytes() const
{
    std::size_t size = 0;
    for (const Line& line : m_lines) {
        size += line.text.size() + line.end.size();
    }
    std::string text;
    text.reserve(size);
    for (const Line& line : m_lines) {
        text += line.text;
        text += line.end;
    }
    switch (m_encoding) {
    case IniEncoding::Bytes:
        return text;
    case IniEncoding::Utf8WithMark:
        return Joined({kUtf8Mark, text});
    case IniEncoding::Utf16LittleEndian:
        return Joined({"\xFF\xFE", Utf8ToUtf16(text, false), m_oddTail});
    case IniEncoding::Utf16BigEndian:
        return Joined({"\xFE\xFF", Utf8ToUtf16(text, true), m_oddTail});
    }
    return text;
}

} // namespace kestrel
