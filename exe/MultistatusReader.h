// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QXmlStreamReader>

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// The most bytes of one event's calendar data that are kept; a longer one is not read.
inline constexpr std::size_t kMostCalendarDataBytes = 1024 * 1024;
// The most bytes of an answer listing the calendar that are read; a larger one ends the read.
inline constexpr qint64 kMostListingBytes = 256LL * 1024 * 1024;

// One resource of a WebDAV multi-status answer, with the properties of its successful part.
struct MultistatusResponse
{
    std::string href; // as the answer gives it, blanks around it removed
    // The response's own status (404 for a resource removed since a sync token), or else 200 when
    // some properties came, or else the status of its first property part; 0 when none is given.
    int status = 0;
    std::string etag;
    std::string calendarData;
    bool hasCalendarData = false;
    bool calendarDataTooLong = false;    // more than kMostCalendarDataBytes; calendarData is then empty
    bool isCalendar = false;             // its resource type holds a CalDAV calendar
    bool privilegesGiven = false;        // the answer holds the user's privileges on it
    std::vector<std::string> privileges; // "{DAV:}write", ...
    std::vector<std::string> reports;    // the reports it supports: "{DAV:}sync-collection", ...
};

// Reads a WebDAV multi-status answer (RFC 4918, with the properties of CalDAV and collection
// synchronisation) piece by piece as it arrives, so that an answer of any size is never held
// whole: finished responses are taken from it while it reads, and a text longer than
// kMostCalendarDataBytes is cut as it comes rather than kept.
class MultistatusReader
{
public:
    MultistatusReader();

    // The next piece of the answer. After an error, further pieces are ignored.
    void feed(QByteArrayView chunk);
    // The answer is complete: one that stops half way is an error.
    void finish();

    // The responses read whole since the last call.
    std::vector<MultistatusResponse> takeResponses();
    // The collection's sync token, when the answer gives one.
    const std::string& syncToken() const { return m_syncToken; }
    // The answer is the server's refusal of the sync token it was given (DAV:valid-sync-token).
    bool refusedSyncToken() const { return m_refusedSyncToken; }
    // Empty while all is well; else one line saying what is wrong with the answer.
    const QString& error() const { return m_error; }
    qint64 bytesRead() const { return m_bytes; }

private:
    void read();
    void fail(const QString& line);
    // The piece with every text longer than the limit cut short (see the .cpp).
    void limitTexts(QByteArrayView chunk, QByteArray& out);
    // Passes over text from `from` up to the next "<" or `end`, where no cut can fall; where it
    // stopped.
    qsizetype skipText(const char* data, qsizetype from, qsizetype end);
    void startElement();
    void endElement();
    // The reader is at exactly this path of elements.
    bool at(std::initializer_list<std::string_view> path) const;

    QXmlStreamReader m_xml;
    QByteArray m_pending; // what the XML reader has yet to be given
    QString m_error;
    qint64 m_bytes = 0;

    // The text limiter's state between pieces.
    enum class Lexical : std::uint8_t
    {
        Text,
        TextCut,    // the rest of a text that is too long, dropped
        MarkupHead, // after "<", until its kind is known
        Tag,
        Comment,
        Instruction,
        CData,
        CDataCut,
    };
    Lexical m_lexical = Lexical::Text;
    std::size_t m_run = 0;        // bytes of the current text or markup
    std::size_t m_entity = 0;     // bytes of an entity reference being read; 0 outside one
    char m_quote = 0;             // the quote open inside a tag
    std::array<char, 9> m_head{}; // the first bytes of markup
    std::size_t m_headLength = 0;
    std::array<char, 2> m_tail{}; // the last two bytes of markup, to find its end

    // The reader's place in the answer: element names as "{namespace}name", outermost first.
    std::vector<std::string> m_open;
    std::string m_rootName;
    MultistatusResponse m_response;
    int m_propstatStatus = 0;
    MultistatusResponse m_propstat; // the properties of the part being read
    bool m_responseHasOk = false;
    int m_firstPropstatStatus = 0;
    std::size_t m_collecting = 0; // the depth of the element whose text is read; 0: none
    std::string m_text;           // the text of the element being read
    bool m_textCut = false;       // its text was longer than the limit
    std::vector<MultistatusResponse> m_done;
    std::string m_syncToken;
    bool m_refusedSyncToken = false;
    bool m_sawRoot = false;
};

} // namespace kestrel
