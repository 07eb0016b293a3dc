// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "MultistatusReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace kestrel {

namespace {

// Element names as "{namespace}name".
constexpr std::string_view kCalDavCalendar = "{urn:ietf:params:xml:ns:caldav}calendar";
constexpr std::string_view kCalDavCalendarData = "{urn:ietf:params:xml:ns:caldav}calendar-data";
constexpr std::string_view kCurrentUserPrivilegeSet = "{DAV:}current-user-privilege-set";
constexpr std::string_view kError = "{DAV:}error";
constexpr std::string_view kGetetag = "{DAV:}getetag";
constexpr std::string_view kHref = "{DAV:}href";
constexpr std::string_view kMultistatus = "{DAV:}multistatus";
constexpr std::string_view kPrivilege = "{DAV:}privilege";
constexpr std::string_view kProp = "{DAV:}prop";
constexpr std::string_view kPropstat = "{DAV:}propstat";
constexpr std::string_view kReport = "{DAV:}report";
constexpr std::string_view kResourcetype = "{DAV:}resourcetype";
constexpr std::string_view kResponse = "{DAV:}response";
constexpr std::string_view kStatus = "{DAV:}status";
constexpr std::string_view kSupportedReportSet = "{DAV:}supported-report-set";
constexpr std::string_view kSyncToken = "{DAV:}sync-token";
constexpr std::string_view kValidSyncToken = "{DAV:}valid-sync-token";

// Put in place of the rest of a text that is too long: the reader learns where a text was cut.
constexpr QByteArrayView kCutMark = "<?kestrel-cut?>";
constexpr QLatin1StringView kCutTarget("kestrel-cut");
// What stands before the ">" that ends a CDATA section or a comment.
constexpr std::array<char, 2> kSectionEnd = {']', ']'};
constexpr std::array<char, 2> kCommentEnd = {'-', '-'};
// The least the XML reader is given at a time (but at the end).
constexpr qsizetype kLeastPiece = 64 * 1024;
// An entity reference ("&#13;", "&amp;") is never cut in two; one longer than this is damage.
constexpr std::size_t kLongestEntity = 32;

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

QString NotAListing(const QString& why)
{
    return QStringLiteral("the server's answer is not a calendar listing (%1)").arg(why);
}

// "HTTP/1.1 404 Not Found" -> 404; 0 when no status is there.
int StatusCode(std::string_view line)
{
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos || line.size() < blank + 4) {
        return 0;
    }
    int code = 0;
    for (const char c : line.substr(blank + 1, 3)) {
        if (c < '0' || c > '9') {
            return 0;
        }
        code = code * 10 + (c - '0');
    }
    return code;
}

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

MultistatusReader::MultistatusReader()
{
    // A listing never declares entities: none of them is expanded beyond a few.
    m_xml.setEntityExpansionLimit(16);
}

void MultistatusReader::fail(const QString& line)
{
    if (m_error.isEmpty()) {
        m_error = line;
    }
}

// An XML reader keeps a text whole until its end comes, however long it is. So before the reader
// sees a piece, every text (or CDATA section) longer than the limit is cut: its first part is kept,
// the rest up to the next markup is dropped, and kCutMark stands in its place. The cut falls
// between characters and never inside an entity reference, so what the reader sees stays
// well-formed. Markup (a tag, a comment, a processing instruction) longer than the limit makes
// the answer damaged.
void MultistatusReader::limitTexts(QByteArrayView chunk, QByteArray& out)
{
    const char* data = chunk.data();
    const qsizetype size = chunk.size();
    qsizetype from = m_lexical == Lexical::TextCut || m_lexical == Lexical::CDataCut ? -1 : 0;
    const auto keep = [&](qsizetype to) {
        if (from >= 0) {
            out.append(data + from, to - from);
        }
    };
    const auto markup = [&](char c) {
        if (++m_run > kMostCalendarDataBytes) {
            fail(NotAListing(QStringLiteral("it holds markup longer than 1 MB")));
            return;
        }
        m_tail = {m_tail[1], c};
    };
    for (qsizetype i = 0; i < size && m_error.isEmpty(); ++i) {
        const char c = data[i];
        switch (m_lexical) {
        case Lexical::TextCut:
            if (c != '<') {
                const void* markup = std::memchr(data + i, '<', static_cast<std::size_t>(size - i));
                i = markup != nullptr ? static_cast<const char*>(markup) - data - 1 : size - 1; // all dropped
                break;
            }
            from = i;
            [[fallthrough]];
        case Lexical::Text:
            if (c == '<') {
                m_lexical = Lexical::MarkupHead;
                m_head[0] = '<';
                m_headLength = 1;
                m_run = 1;
                m_entity = 0;
                break;
            }
            if (m_run + kLongestEntity + 2 < kMostCalendarDataBytes) {
                // Far from the limit no cut can fall: the text up to the markup is kept as it is.
                i = skipText(data, i,
                             std::min(size, i + static_cast<qsizetype>(kMostCalendarDataBytes - kLongestEntity - 2 -
                                                                       m_run))) -
                    1;
                break;
            }
            if (m_run >= kMostCalendarDataBytes && (m_entity == 0 || m_entity > kLongestEntity) && !IsContinuation(c)) {
                keep(i);
                out.append(kCutMark);
                from = -1;
                m_lexical = Lexical::TextCut;
                break;
            }
            ++m_run;
            if (c == '&') {
                m_entity = 1;
            } else if (m_entity > 0) {
                m_entity = c == ';' ? 0 : m_entity + 1;
            }
            break;
        case Lexical::MarkupHead: {
            m_head[m_headLength++] = c; // the head is a beginning of "<![CDATA[" at the most
            ++m_run;
            const std::string_view head(m_head.data(), m_headLength);
            const std::string_view comment = "<!--";
            const std::string_view cdata = "<![CDATA[";
            m_tail = {};
            if (head == comment) {
                m_lexical = Lexical::Comment;
            } else if (head == cdata) {
                m_lexical = Lexical::CData;
                m_run = 0;
            } else if (head == "<?") {
                m_lexical = Lexical::Instruction;
            } else if (!comment.starts_with(head) && !cdata.starts_with(head)) {
                m_lexical = Lexical::Tag;
                m_quote = 0;
                --i; // this byte is the tag's
                --m_run;
            }
            break;
        }
        case Lexical::Tag:
            markup(c);
            if (m_quote != 0) {
                m_quote = c == m_quote ? 0 : m_quote;
            } else if (c == '"' || c == '\'') {
                m_quote = c;
            } else if (c == '>') {
                m_lexical = Lexical::Text;
                m_run = 0;
            }
            break;
        case Lexical::Comment:
        case Lexical::Instruction: {
            const bool ends = c == '>' && (m_lexical == Lexical::Comment ? m_tail == kCommentEnd : m_tail[1] == '?');
            markup(c);
            if (ends) {
                m_lexical = Lexical::Text;
                m_run = 0;
            }
            break;
        }
        case Lexical::CData:
            if (c == '>' && m_tail == kSectionEnd) {
                m_lexical = Lexical::Text;
                m_run = 0;
                break;
            }
            // Cut only what is surely more than the limit: a "]" may begin the section's end, and
            // the byte before it too. A "]" kept before the cut and the "]]>" put after it end the
            // section where they should; its own end is then looked for from the bytes before the
            // cut on.
            if (c == ']' ? m_run - (m_tail[1] == ']' ? 1 : 0) > kMostCalendarDataBytes
                         : m_run >= kMostCalendarDataBytes && !IsContinuation(c)) {
                keep(i);
                out.append("]]>");
                out.append(kCutMark);
                from = -1;
                m_lexical = Lexical::CDataCut;
                --i; // this byte may end the section
                break;
            }
            ++m_run;
            m_tail = {m_tail[1], c};
            break;
        case Lexical::CDataCut:
            if (c == '>' && m_tail == kSectionEnd) {
                from = i + 1; // the section was closed before the mark
                m_lexical = Lexical::Text;
                m_run = 0;
                break;
            }
            m_tail = {m_tail[1], c};
            break;
        }
    }
    keep(size);
}

qsizetype MultistatusReader::skipText(const char* data, qsizetype from, qsizetype end)
{
    const void* markup = std::memchr(data + from, '<', static_cast<std::size_t>(end - from));
    const qsizetype stop = markup != nullptr ? static_cast<const char*>(markup) - data : end;
    m_run += static_cast<std::size_t>(stop - from);
    // Whether the text ends inside an entity reference: the last "&" or ";" tells. One begun
    // further back is too long to be one, and a cut may fall anywhere after it, as after none.
    const qsizetype window = static_cast<qsizetype>(kLongestEntity) + 1;
    for (qsizetype at = stop - 1; at >= std::max(from, stop - window); --at) {
        if (data[at] == ';' || data[at] == '&') {
            m_entity = data[at] == ';' ? 0 : static_cast<std::size_t>(stop - at);
            return stop;
        }
    }
    m_entity = stop - from < window && m_entity > 0 ? m_entity + static_cast<std::size_t>(stop - from) : 0;
    return stop;
}

void MultistatusReader::feed(QByteArrayView chunk)
{
    if (!m_error.isEmpty()) {
        return;
    }
    m_bytes += chunk.size();
    if (m_bytes > kMostListingBytes) {
        fail(QStringLiteral("the server's answer was far too large (more than %1 MB)")
                 .arg(kMostListingBytes / (1024 * 1024)));
        return;
    }
    limitTexts(chunk, m_pending);
    // The XML reader reads a CDATA section again from its start whenever more comes: it is
    // given the answer in pieces of some size, so that small pieces cost no more.
    if (m_error.isEmpty() && m_pending.size() >= kLeastPiece) {
        m_xml.addData(std::exchange(m_pending, {}));
        read();
    }
}

void MultistatusReader::finish()
{
    if (!m_error.isEmpty()) {
        return;
    }
    m_xml.addData(std::exchange(m_pending, {}));
    read();
    if (!m_error.isEmpty()) {
        return;
    }
    if (!m_sawRoot) {
        fail(NotAListing(m_bytes == 0 ? QStringLiteral("it is empty") : QStringLiteral("it holds no element")));
    } else if (!m_open.empty()) {
        fail(NotAListing(QStringLiteral("it ends half way")));
    } else if (m_rootName != kMultistatus) {
        fail(NotAListing(QStringLiteral("it is an error report, no multi-status")));
    }
}

std::vector<MultistatusResponse> MultistatusReader::takeResponses()
{
    return std::exchange(m_done, {});
}

void MultistatusReader::read()
{
    while (!m_xml.atEnd() && m_error.isEmpty()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            startElement();
            break;
        case QXmlStreamReader::EndElement:
            endElement();
            m_open.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (m_collecting == m_open.size() && m_collecting > 0 && !m_textCut) {
                const QByteArray text = m_xml.text().toUtf8();
                m_text.append(text.constData(), static_cast<std::size_t>(text.size()));
                if (m_text.size() > kMostCalendarDataBytes) {
                    m_text.clear();
                    m_textCut = true;
                }
            }
            break;
        case QXmlStreamReader::ProcessingInstruction:
            if (m_xml.processingInstructionTarget() == kCutTarget) {
                m_text.clear();
                m_textCut = true;
            }
            break;
        case QXmlStreamReader::DTD:
            fail(NotAListing(QStringLiteral("it declares a document type")));
            break;
        case QXmlStreamReader::Invalid:
            if (m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
                fail(NotAListing(QStringLiteral("%1 at line %2").arg(m_xml.errorString()).arg(m_xml.lineNumber())));
            }
            return; // more of the answer is needed
        default:
            break;
        }
    }
}

bool MultistatusReader::at(std::initializer_list<std::string_view> path) const
{
    return m_open.size() == path.size() && std::equal(m_open.begin(), m_open.end(), path.begin());
}

void MultistatusReader::startElement()
{
    std::string name =
        '{' + m_xml.namespaceUri().toString().toStdString() + '}' + m_xml.name().toString().toStdString();
    const std::size_t depth = m_open.size();
    if (depth == 0) {
        if (m_sawRoot) {
            fail(NotAListing(QStringLiteral("it holds more than one document")));
            return;
        }
        m_sawRoot = true;
        m_rootName = name;
        if (name != kMultistatus && name != kError) {
            fail(NotAListing(QStringLiteral("it is <%1>, no multi-status").arg(m_xml.name())));
            return;
        }
    }
    if (name == kValidSyncToken && m_rootName == kError) {
        m_refusedSyncToken = true;
    }
    const std::string& parent = m_open.empty() ? std::string() : m_open.back();
    m_open.push_back(std::move(name));
    const std::string& self = m_open.back();
    if (m_rootName != kMultistatus) {
        return;
    }
    if (at({kMultistatus, kResponse})) {
        m_response = {};
        m_responseHasOk = false;
        m_firstPropstatStatus = 0;
    } else if (at({kMultistatus, kResponse, kPropstat})) {
        m_propstat = {};
        m_propstatStatus = 0;
    } else if (at({kMultistatus, kResponse, kPropstat, kProp, kCurrentUserPrivilegeSet})) {
        m_propstat.privilegesGiven = true;
    } else if (depth == 5 && parent == kResourcetype && self == kCalDavCalendar && m_open[3] == kProp) {
        m_propstat.isCalendar = true;
    } else if (depth == 6 && parent == kPrivilege && m_open[4] == kCurrentUserPrivilegeSet) {
        m_propstat.privileges.push_back(self);
    } else if (depth == 7 && parent == kReport && m_open[4] == kSupportedReportSet) {
        m_propstat.reports.push_back(self);
    }
    const bool leaf = at({kMultistatus, kResponse, kHref}) || at({kMultistatus, kResponse, kStatus}) ||
                      at({kMultistatus, kResponse, kPropstat, kStatus}) ||
                      at({kMultistatus, kResponse, kPropstat, kProp, kGetetag}) ||
                      at({kMultistatus, kResponse, kPropstat, kProp, kCalDavCalendarData}) ||
                      at({kMultistatus, kSyncToken});
    if (leaf) {
        m_collecting = m_open.size();
        m_text.clear();
        m_textCut = false;
    }
}

void MultistatusReader::endElement()
{
    if (m_open.size() == 1) {
        return;
    }
    if (m_rootName != kMultistatus) {
        return;
    }
    const bool collected = m_collecting == m_open.size();
    m_collecting = 0;
    const bool calendarData = at({kMultistatus, kResponse, kPropstat, kProp, kCalDavCalendarData});
    if (collected && m_textCut && !calendarData) {
        fail(NotAListing(QStringLiteral("it holds an address or tag longer than 1 MB")));
        return;
    }
    if (calendarData) {
        m_propstat.hasCalendarData = true;
        m_propstat.calendarDataTooLong = m_textCut;
        m_propstat.calendarData = m_textCut ? std::string() : std::move(m_text);
    } else if (at({kMultistatus, kResponse, kHref})) {
        m_response.href = Trimmed(m_text);
    } else if (at({kMultistatus, kResponse, kStatus})) {
        m_response.status = StatusCode(Trimmed(m_text));
    } else if (at({kMultistatus, kResponse, kPropstat, kStatus})) {
        m_propstatStatus = StatusCode(Trimmed(m_text));
    } else if (at({kMultistatus, kResponse, kPropstat, kProp, kGetetag})) {
        m_propstat.etag = Trimmed(m_text);
    } else if (at({kMultistatus, kSyncToken})) {
        m_syncToken = Trimmed(m_text);
    } else if (at({kMultistatus, kResponse, kPropstat})) {
        if (m_propstatStatus >= 200 && m_propstatStatus < 300) {
            m_responseHasOk = true;
            MultistatusResponse& to = m_response;
            MultistatusResponse& from = m_propstat;
            to.etag = from.etag.empty() ? to.etag : std::move(from.etag);
            if (from.hasCalendarData) {
                to.hasCalendarData = true;
                to.calendarDataTooLong = from.calendarDataTooLong;
                to.calendarData = std::move(from.calendarData);
            }
            to.isCalendar = to.isCalendar || from.isCalendar;
            to.privilegesGiven = to.privilegesGiven || from.privilegesGiven;
            to.privileges.insert(to.privileges.end(), from.privileges.begin(), from.privileges.end());
            to.reports.insert(to.reports.end(), from.reports.begin(), from.reports.end());
        } else if (m_firstPropstatStatus == 0) {
            m_firstPropstatStatus = m_propstatStatus;
        }
    } else if (at({kMultistatus, kResponse})) {
        if (m_response.status == 0) {
            m_response.status = m_responseHasOk ? 200 : m_firstPropstatStatus;
        }
        m_done.push_back(std::move(m_response));
        m_response = {};
    }
}

} // namespace kestrel
