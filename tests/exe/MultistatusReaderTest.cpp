// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "MultistatusReader.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// The answer read in pieces of `piece` bytes (0: whole), and the responses it gave.
struct Reading
{
    std::vector<MultistatusResponse> responses;
    std::string token;
    bool refused = false;
    QString error;
};
Reading ReadInPieces(const std::string& answer, std::size_t piece)
{
    MultistatusReader reader;
    Reading reading;
    const std::size_t step = piece == 0 ? std::max<std::size_t>(answer.size(), 1) : piece;
    for (std::size_t at = 0; at < answer.size(); at += step) {
        reader.feed(QByteArrayView(answer.data() + at, static_cast<qsizetype>(std::min(step, answer.size() - at))));
        for (MultistatusResponse& response : reader.takeResponses()) {
            reading.responses.push_back(std::move(response));
        }
    }
    reader.finish();
    for (MultistatusResponse& response : reader.takeResponses()) {
        reading.responses.push_back(std::move(response));
    }
    reading.token = reader.syncToken();
    reading.refused = reader.refusedSyncToken();
    reading.error = reader.error();
    return reading;
}

constexpr std::size_t kPieces[] = {0, 1, 2, 7, 64, 4096};

// A sync-collection answer as Radicale gives it: the default namespace DAV:, calendar data with
// its line ends as character references.
const std::string kSyncAnswer =
    "<?xml version='1.0' encoding='utf-8'?>\n"
    "<multistatus xmlns=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">"
    "<response><href>/team/project/a%40b.ics</href><propstat><prop><getetag>\"e1\"</getetag>"
    "<C:calendar-data>BEGIN:VCALENDAR&#13;\nSUMMARY:R&amp;D &lt;\xc3\xa9&gt;&#13;\nEND:VCALENDAR&#13;\n"
    "</C:calendar-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>"
    "<response><href>/team/project/gone.ics</href><status>HTTP/1.1 404 Not Found</status></response>"
    "<!-- a comment -> with > in it --><?pi x > y?>"
    "<response><href> /team/project/c.ics </href><propstat><prop><getetag>\"e3\"</getetag>"
    "<C:calendar-data><![CDATA[BEGIN:VCALENDAR\r\n<x>]]]]><![CDATA[>\r\n]]></C:calendar-data></prop>"
    "<status>HTTP/1.1 200 OK</status></propstat></response>"
    "<sync-token>http://radicale.org/ns/sync/abc</sync-token></multistatus>\n";

TEST(MultistatusReaderTest, ReadsAChangeListingInPiecesOfAnySize)
{
    for (const std::size_t piece : kPieces) {
        SCOPED_TRACE(piece);
        const Reading reading = ReadInPieces(kSyncAnswer, piece);
        EXPECT_TRUE(reading.error.isEmpty()) << reading.error.toStdString();
        ASSERT_EQ(reading.responses.size(), 3u);
        const MultistatusResponse& first = reading.responses[0];
        EXPECT_EQ(first.href, "/team/project/a%40b.ics");
        EXPECT_EQ(first.status, 200);
        EXPECT_EQ(first.etag, "\"e1\"");
        EXPECT_TRUE(first.hasCalendarData);
        EXPECT_EQ(first.calendarData, "BEGIN:VCALENDAR\r\nSUMMARY:R&D <\xc3\xa9>\r\nEND:VCALENDAR\r\n");
        EXPECT_EQ(reading.responses[1].href, "/team/project/gone.ics");
        EXPECT_EQ(reading.responses[1].status, 404);
        EXPECT_FALSE(reading.responses[1].hasCalendarData);
        EXPECT_EQ(reading.responses[2].href, "/team/project/c.ics");
        EXPECT_EQ(reading.responses[2].calendarData, "BEGIN:VCALENDAR\n<x>]]>\n"); // XML makes line ends LF
        EXPECT_EQ(reading.token, "http://radicale.org/ns/sync/abc");
        EXPECT_FALSE(reading.refused);
    }
}

TEST(MultistatusReaderTest, ReadsTheCalendarsKindPrivilegesAndReports)
{
    // Prefixed names; a property the server does not have comes in a part of its own (404),
    // which leaves the others as they are.
    const std::string answer =
        "<D:multistatus xmlns:D='DAV:'><D:response><D:href>/team/project/</D:href>"
        "<D:propstat><D:prop><D:resourcetype><D:collection/><cal:calendar xmlns:cal='urn:ietf:params:xml:ns:caldav'/>"
        "</D:resourcetype><D:current-user-privilege-set><D:privilege><D:read/></D:privilege>"
        "<D:privilege><D:write-content/></D:privilege></D:current-user-privilege-set>"
        "<D:supported-report-set><D:supported-report><D:report><D:sync-collection/></D:report></D:supported-report>"
        "</D:supported-report-set></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat>"
        "<D:propstat><D:prop><D:getetag/><D:resourcetype/></D:prop><D:status>HTTP/1.1 404 Not Found</D:status>"
        "</D:propstat></D:response></D:multistatus>";
    for (const std::size_t piece : kPieces) {
        SCOPED_TRACE(piece);
        const Reading reading = ReadInPieces(answer, piece);
        ASSERT_EQ(reading.responses.size(), 1u) << reading.error.toStdString();
        const MultistatusResponse& calendar = reading.responses[0];
        EXPECT_EQ(calendar.status, 200);
        EXPECT_TRUE(calendar.isCalendar);
        EXPECT_TRUE(calendar.privilegesGiven);
        EXPECT_EQ(calendar.privileges, (std::vector<std::string>{"{DAV:}read", "{DAV:}write-content"}));
        EXPECT_EQ(calendar.reports, (std::vector<std::string>{"{DAV:}sync-collection"}));
    }
    // A folder that is no calendar, whose properties were all refused.
    const Reading folder = ReadInPieces("<multistatus xmlns='DAV:'><response><href>/x/</href><propstat><prop>"
                                        "<resourcetype><collection/></resourcetype></prop><status>HTTP/1.1 403 "
                                        "Forbidden</status></propstat></response></multistatus>",
                                        0);
    ASSERT_EQ(folder.responses.size(), 1u);
    EXPECT_EQ(folder.responses[0].status, 403);
    EXPECT_FALSE(folder.responses[0].isCalendar);
    EXPECT_FALSE(folder.responses[0].privilegesGiven);
}

TEST(MultistatusReaderTest, ARefusedSyncTokenIsTold)
{
    const Reading reading =
        ReadInPieces("<?xml version='1.0'?><D:error xmlns:D='DAV:'><D:valid-sync-token/></D:error>", 5);
    EXPECT_TRUE(reading.refused);
    EXPECT_TRUE(reading.responses.empty());
    EXPECT_FALSE(reading.error.isEmpty()); // an error report is no listing
}

TEST(MultistatusReaderTest, WhatIsNoListingIsOneLine)
{
    // clang-format off
    const std::pair<std::string, const char*> answers[] = {
        {"", "(it is empty)"},
        {"Welcome to the server's home page", "(Start tag expected. at line 1)"},
        {"<html><body>hi</body></html>", "(it is <html>, no multi-status)"},
        {"<multistatus xmlns='urn:other'/>", "(it is <multistatus>, no multi-status)"},
        {"<multistatus xmlns='DAV:'><response><href>/a</href>", "(it ends half way)"},
        {"<multistatus xmlns='DAV:'></response>", ""},
        {"<!DOCTYPE m [<!ENTITY a 'aaaa'>]><multistatus xmlns='DAV:'>&a;</multistatus>", "(it declares a document type)"},
        {"<multistatus xmlns='DAV:' a='" + std::string(kMostCalendarDataBytes + 1, 'a') + "'/>", "(it holds markup longer than 1 MB)"},
        {"<multistatus xmlns='DAV:'><response><href>" + std::string(kMostCalendarDataBytes + 2, 'a') + "</href></response></multistatus>", "(it holds an address or tag longer than 1 MB)"},
    };
    // clang-format on
    for (const auto& [answer, why] : answers) {
        for (const std::size_t piece : {std::size_t{0}, std::size_t{3}, std::size_t{65536}}) {
            SCOPED_TRACE(answer.substr(0, 80) + " in pieces of " + std::to_string(piece));
            const QString error = ReadInPieces(answer, piece).error;
            EXPECT_TRUE(error.startsWith(QStringLiteral("the server's answer is not a calendar listing (")))
                << error.toStdString();
            EXPECT_TRUE(error.endsWith(QString::fromLatin1(why))) << error.toStdString();
        }
    }
}

TEST(MultistatusReaderTest, CalendarDataOverTheLimitIsCutAsItComesAndTheRestIsRead)
{
    const auto response = [](const std::string& href, const std::string& data) {
        return "<response><href>" + href + "</href><propstat><prop><getetag>\"" + href +
               "\"</getetag><C:calendar-data>" + data +
               "</C:calendar-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>";
    };
    const std::size_t limit = kMostCalendarDataBytes;
    std::string entities;
    while (entities.size() < limit + 64) {
        entities += "&amp;&#13;\xe6\x97\xa5"; // references and characters of several bytes at every place of the cut
    }
    // clang-format off
    const std::pair<std::string, bool> data[] = {
        {std::string(limit, 'a'), false},
        {std::string(limit + 1, 'a'), true},
        {std::string(3 * limit, 'a'), true},
        {entities, true},
        {"<![CDATA[" + std::string(limit + 1, ']') + "]]>", true},
        {"<![CDATA[" + std::string(2 * limit, 'b') + "]]>", true},
        {"<![CDATA[" + std::string(limit, 'c') + "]]>", false},
        {"<![CDATA[" + std::string(limit - 2, 'c') + "]]]]>", false},
        {"<![CDATA[" + std::string(limit - 1, 'c') + "]]]]>", true},
        {std::string(limit - 4, 'd') + "&lt;", false},
    };
    // clang-format on
    for (const auto& [text, tooLong] : data) {
        const std::string answer = "<multistatus xmlns='DAV:' xmlns:C='urn:ietf:params:xml:ns:caldav'>" +
                                   response("/big", text) + response("/small", "BEGIN:VCALENDAR") + "</multistatus>";
        for (const std::size_t piece : {std::size_t{0}, std::size_t{1000}, std::size_t{65536}}) {
            SCOPED_TRACE(text.substr(0, 20) + " in pieces of " + std::to_string(piece));
            const Reading reading = ReadInPieces(answer, piece);
            EXPECT_TRUE(reading.error.isEmpty()) << reading.error.toStdString();
            ASSERT_EQ(reading.responses.size(), 2u);
            EXPECT_EQ(reading.responses[0].href, "/big");
            EXPECT_EQ(reading.responses[0].etag, "\"/big\"");
            EXPECT_EQ(reading.responses[0].calendarDataTooLong, tooLong);
            EXPECT_EQ(reading.responses[0].calendarData.empty(), tooLong);
            EXPECT_LE(reading.responses[0].calendarData.size(), limit);
            EXPECT_EQ(reading.responses[1].calendarData, "BEGIN:VCALENDAR");
        }
    }
}

TEST(MultistatusReaderTest, AnAnswerOverTheLimitEndsTheReading)
{
    MultistatusReader reader;
    reader.feed("<multistatus xmlns='DAV:'>");
    const QByteArray spaces(64 * 1024 * 1024, ' ');
    for (int i = 0; i < 4 && reader.error().isEmpty(); ++i) {
        reader.feed(spaces);
    }
    EXPECT_EQ(reader.error(), QStringLiteral("the server's answer was far too large (more than 256 MB)"));
    EXPECT_GT(reader.bytesRead(), kMostListingBytes);
}

} // namespace
} // namespace kestrel
