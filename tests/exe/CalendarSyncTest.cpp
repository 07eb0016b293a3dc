// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalendarServer.h"
#include "CalendarShare.h"

#include "Countdowns.h"
#include "DateArithmetic.h"
#include "Milestones.h"
#include "ScopedEnvironment.h"
#include "SharedCalendar.h"
#include "SyncMerge.h"
#include "TempDir.h"

#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace kestrel::test {
namespace {

// A small HTTP server on a loopback port that answers what a test scripts: the answers no real
// calendar server gives (hrefs outside the calendar, odd spellings), and records every request.
class ScriptedServer
{
public:
    struct Request
    {
        QByteArray verb;
        QByteArray path;
        std::map<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };
    struct Reply
    {
        int status = 200;
        QByteArray body;
        QByteArray etag;
    };
    using Script = std::function<Reply(const Request&)>;

    explicit ScriptedServer(Script script) : m_script(std::move(script))
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                auto buffer = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                    buffer->append(socket->readAll());
                    answerWhenWhole(*socket, *buffer);
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QString address(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    const std::vector<Request>& requests() const { return m_requests; }

private:
    void answerWhenWhole(QTcpSocket& socket, QByteArray& buffer)
    {
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0) {
            return;
        }
        Request request;
        const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
        const QList<QByteArray> first = lines.front().trimmed().split(' ');
        request.verb = first.value(0);
        request.path = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0) {
                request.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
            }
        }
        const qsizetype length = request.headers["content-length"].toLongLong();
        if (buffer.size() < headEnd + 4 + length) {
            return;
        }
        request.body = buffer.mid(headEnd + 4, length);
        buffer.clear();
        const Reply reply = m_script(request);
        m_requests.push_back(std::move(request));
        QByteArray answer = "HTTP/1.1 " + QByteArray::number(reply.status) +
                            " Scripted\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                            "\r\nConnection: close\r\n";
        if (reply.status == 207) {
            answer += "Content-Type: application/xml; charset=utf-8\r\n";
        }
        if (!reply.etag.isEmpty()) {
            answer += "ETag: " + reply.etag + "\r\n";
        }
        socket.write(answer + "\r\n" + reply.body);
        socket.disconnectFromHost();
    }

    QTcpServer m_server;
    Script m_script;
    std::vector<Request> m_requests;
};

QByteArray Multistatus(const QByteArray& responses, const QByteArray& token = {})
{
    return R"(<?xml version="1.0" encoding="utf-8"?><D:multistatus xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav">)" +
           responses + (token.isEmpty() ? QByteArray() : "<D:sync-token>" + token + "</D:sync-token>") +
           "</D:multistatus>";
}

// The answer to the PROPFIND of the calendar's address: a calendar, with sync-collection or not.
QByteArray CalendarItself(const QByteArray& href, bool offersSync)
{
    return Multistatus("<D:response><D:href>" + href +
                       "</D:href><D:propstat><D:prop><D:resourcetype><D:collection/><C:calendar/></D:resourcetype>" +
                       (offersSync ? QByteArray("<D:supported-report-set><D:supported-report><D:report><D:sync-"
                                                "collection/></D:report></D:supported-report></D:supported-report-set>")
                                   : QByteArray()) +
                       "</D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>");
}

QByteArray MilestoneObject(const QByteArray& uid, const QByteArray& date, const QByteArray& summary)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\nUID:" + uid +
           "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:" + date + "\r\nSUMMARY:" + summary +
           "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

QByteArray EventResponse(const QByteArray& href, const QByteArray& etag, const QByteArray& object)
{
    return "<D:response><D:href>" + href + "</D:href><D:propstat><D:prop><D:getetag>" + etag +
           "</D:getetag><C:calendar-data>" + QString::fromUtf8(object).toHtmlEscaped().toUtf8() +
           "</C:calendar-data></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>";
}

long long Day(int year, int month, int day)
{
    return DayNumber(PackDate(year, month, day));
}

// A countdown in a temporary home whose milestones are shared.
class CalendarSyncTest : public ::testing::Test
{
protected:
    CalendarSyncTest()
    {
        WriteFile(place.settingsFile, "[Target Date]\r\nTarget_Year=2027\r\nTarget_Month=3\r\nTarget_Day=1\r\n");
        std::filesystem::create_directories(place.dataDirectory);
    }

    void writeMilestones(const DayTexts& days)
    {
        ASSERT_FALSE(TableWithDays({}, days).SaveMilestones(place.dataDirectory / "mileston.txt"));
    }
    DayTexts milestones() const
    {
        MilestoneTable table;
        EXPECT_FALSE(table.LoadMilestones(place.dataDirectory / "mileston.txt"));
        return TableDays(table);
    }
    SyncOutcome sync(const QString& calendar)
    {
        const ShareAccount account{QUrl(calendar), QStringLiteral("alice"), QStringLiteral("secret"), {}};
        QNetworkAccessManager network;
        return SyncCalendar(network, account, place, statePath(calendar));
    }
    std::filesystem::path statePath(const QString& calendar) const
    {
        return SyncStatePath(place.settingsFile, calendar.toStdString(), "alice");
    }

    TempDir dir;
    ScopedEnvironment home{"HOME", dir.path().string()};
    ScopedEnvironment state{"XDG_STATE_HOME", (dir.path() / "state").string()};
    CountdownPlace place{"Default", dir.path() / "KESTREL.INI", dir.path() / "data", true, true};
};

// A hostile server lists events outside the calendar: in another folder, on another host or
// port, in a sub-folder, above the calendar. Kestrel leaves them alone: no request goes there,
// the password goes nowhere else, and the local texts of those days stay as they are. A tag
// holding a line break adds no header to the request it goes back in.
TEST_F(CalendarSyncTest, EventsNamedOutsideTheCalendarAreNeverChangedAndGetNoPassword)
{
    ScriptedServer elsewhere([](const ScriptedServer::Request&) { return ScriptedServer::Reply{201, {}, "\"e\""}; });
    int tags = 0;
    // clang-format off
    const struct { QByteArray href, date, summary; } listed[] = {
        {"/other/x.ics", "20261224", "Theirs"},
        {elsewhere.address(QStringLiteral("/cal/y.ics")).toUtf8(), "20261225", "Theirs too"},
        {"/cal/sub/w.ics", "20261226", "Below"},
        {"/cal/../z.ics", "20261227", "Above"},
        {"/cal/ok.ics", "20261228", "Fine"},
    };
    // clang-format on
    ScriptedServer server([&](const ScriptedServer::Request& request) {
        if (request.verb == "PROPFIND") {
            return ScriptedServer::Reply{207, CalendarItself("/cal/", false), {}};
        }
        if (request.verb == "REPORT") {
            QByteArray responses;
            for (const auto& event : listed) {
                const QByteArray etag = event.href == "/cal/ok.ics" ? "\"1\"\nX-Injected: yes" : "\"1\"";
                responses += EventResponse(event.href, etag, MilestoneObject(event.summary, event.date, event.summary));
            }
            return ScriptedServer::Reply{207, Multistatus(responses), {}};
        }
        return ScriptedServer::Reply{201, {}, "\"" + QByteArray::number(++tags) + "\""};
    });
    const DayTexts local = {{Day(2026, 12, 24), "Mine"},
                            {Day(2026, 12, 25), "Mine too"},
                            {Day(2026, 12, 26), "Mine 3"},
                            {Day(2026, 12, 27), "Mine 4"},
                            {Day(2026, 12, 28), "Mine 5"}};
    writeMilestones(local);

    const SyncOutcome outcome = sync(server.address(QStringLiteral("/cal/")));
    EXPECT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    EXPECT_TRUE(elsewhere.requests().empty());
    for (const ScriptedServer::Request& request : server.requests()) {
        if (request.verb == "PUT" || request.verb == "DELETE") {
            EXPECT_TRUE(request.path.startsWith("/cal/") && !request.path.mid(5).contains('/')) << request.path.data();
        }
        EXPECT_FALSE(request.headers.contains("x-injected")) << request.path.data();
    }
    DayTexts expected = local;
    expected[Day(2026, 12, 28)] = "Mine 5 / Fine";
    EXPECT_EQ(milestones(), expected);
}

// A calendar server as Nextcloud's is to these tests: its calendar's path holds an "@", which it
// spells "%40" in its listings, it lists what changed since a sync token (Kestrel's own changes
// too), and it refuses a change whose precondition no longer holds.
class TeamCalendar
{
public:
    struct Stored
    {
        QByteArray etag;
        QByteArray object;
        int change = 0;
        bool removed = false;
    };

    ScriptedServer::Reply answer(const ScriptedServer::Request& request)
    {
        const QByteArray name = request.path.mid(request.path.lastIndexOf('/') + 1);
        if (request.verb == "PROPFIND") {
            return {207, CalendarItself("/u%40x/cal/", true), {}};
        }
        if (request.verb == "REPORT") {
            const qsizetype open = request.body.indexOf("<D:sync-token>");
            const qsizetype close = request.body.indexOf("</D:sync-token>");
            const QByteArray token = open < 0 ? QByteArray() : request.body.mid(open + 14, close - open - 14);
            const int since = token.isEmpty() ? -1 : token.mid(1).toInt();
            QByteArray responses;
            for (const auto& [stored, event] : store) {
                if (event.change <= since || (event.removed && since < 0)) {
                    continue;
                }
                const QByteArray href = "/u%40x/cal/" + stored;
                responses += event.removed ? "<D:response><D:href>" + href +
                                                 "</D:href><D:status>HTTP/1.1 404 Not Found</D:status></D:response>"
                                           : EventResponse(href, event.etag, event.object);
            }
            return {207, Multistatus(responses, "t" + QByteArray::number(changes)), {}};
        }
        Stored& event = store[name];
        const QByteArray match = request.headers.contains("if-match") ? request.headers.at("if-match") : QByteArray();
        if ((request.headers.contains("if-none-match") && !event.removed && event.change > 0) ||
            (!match.isEmpty() && match != event.etag)) {
            return {412, {}, {}};
        }
        event = {"\"" + QByteArray::number(++changes) + "\"", request.body, changes, request.verb == "DELETE"};
        return {request.verb == "DELETE" ? 204 : 201, {}, event.etag};
    }
    long events() const
    {
        return std::ranges::count_if(store, [](const auto& entry) { return !entry.second.removed; });
    }

    std::map<QByteArray, Stored> store; // by name inside the calendar
    int changes = 0;
    ScriptedServer server{[this](const ScriptedServer::Request& request) { return answer(request); }};
    QString address = server.address(QStringLiteral("/u@x/cal/"));
};

int Deletes(const ScriptedServer& server)
{
    return static_cast<int>(std::ranges::count_if(server.requests(), [](const auto& r) { return r.verb == "DELETE"; }));
}

// An event Kestrel added is the same event when it comes back in the next listing, whatever the
// spelling of its href: it is neither doubled nor removed.
TEST_F(CalendarSyncTest, OwnEventsListedUnderAnotherSpellingStayOneEach)
{
    TeamCalendar team;
    writeMilestones({{Day(2026, 12, 24), "Ours"}});
    for (int round = 0; round < 3; ++round) {
        const SyncOutcome outcome = sync(team.address);
        EXPECT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    }
    EXPECT_EQ(Deletes(team.server), 0);
    EXPECT_EQ(team.events(), 2); // the milestone and the target
    EXPECT_EQ(milestones(), (DayTexts{{Day(2026, 12, 24), "Ours"}}));
    EXPECT_EQ(ReadSyncState(statePath(team.address)).remote.size(), 2U);
}

// The countdown's "Project File" names another milestone file: what that file lacks was never
// removed there, so the team's milestones stay on the calendar and come into the new file.
TEST_F(CalendarSyncTest, AnotherMilestoneFileDeletesNothingOnTheCalendar)
{
    TeamCalendar team;
    writeMilestones({{Day(2026, 12, 24), "Team review"}});
    EXPECT_TRUE(sync(team.address).error.isEmpty());
    const std::filesystem::path other = dir.path() / "other project.txt";
    ASSERT_FALSE(TableWithDays({}, {{Day(2026, 12, 31), "Other"}}).SaveMilestones(other));
    WriteFile(place.settingsFile,
              ReadFile(place.settingsFile) + "[File Options]\r\nProject File=" + other.string() + "\r\n");
    EXPECT_TRUE(sync(team.address).error.isEmpty());
    EXPECT_EQ(Deletes(team.server), 0);
    EXPECT_EQ(team.events(), 3);
    MilestoneTable table;
    EXPECT_FALSE(table.LoadMilestones(other));
    EXPECT_EQ(TableDays(table), (DayTexts{{Day(2026, 12, 24), "Team review"}, {Day(2026, 12, 31), "Other"}}));
}

// The milestone file lies on a drive that is not mounted now: its folder is not there. That
// says nothing of the milestones, which stay on the calendar; once the drive is back, its file
// takes what the team changed meanwhile.
TEST_F(CalendarSyncTest, AMilestoneFolderThatIsNotThereDeletesNothingOnTheCalendar)
{
    TeamCalendar team;
    const std::filesystem::path drive = dir.path() / "drive";
    std::filesystem::create_directories(drive);
    WriteFile(place.settingsFile, ReadFile(place.settingsFile) +
                                      "[File Options]\r\nProject File=" + (drive / "project.txt").string() + "\r\n");
    ASSERT_FALSE(TableWithDays({}, {{Day(2026, 12, 24), "Review"}}).SaveMilestones(drive / "project.txt"));
    EXPECT_TRUE(sync(team.address).error.isEmpty());
    std::filesystem::rename(drive, dir.path() / "unmounted");
    sync(team.address);
    EXPECT_EQ(Deletes(team.server), 0);
    EXPECT_EQ(team.events(), 2);
    std::filesystem::rename(dir.path() / "unmounted", drive);
    EXPECT_TRUE(sync(team.address).error.isEmpty());
    EXPECT_EQ(Deletes(team.server), 0);
    MilestoneTable table;
    EXPECT_FALSE(table.LoadMilestones(drive / "project.txt"));
    EXPECT_EQ(TableDays(table), (DayTexts{{Day(2026, 12, 24), "Review"}}));
}

// A state file kept from before entity tags were read without their control characters holds
// one with a line break: it never goes back into a request, where it would add a header.
TEST_F(CalendarSyncTest, AnEntityTagWithALineBreakInTheStateAddsNoHeader)
{
    TeamCalendar team;
    team.store["a.ics"] = {"\"1\"", MilestoneObject("a", "20261224", "Team"), 1, false};
    team.changes = 1;
    SyncState kept;
    kept.token = "t1";
    kept.milestoneFile = (place.dataDirectory / "mileston.txt").string();
    kept.base = {{Day(2026, 12, 24), "Team"}};
    const std::string href = "/u@x/cal/a.ics";
    kept.remote[href] = {href, "\"1\"\r\nX-Injected: yes", "a", ServerEventKind::Milestone, Day(2026, 12, 24), "Team"};
    std::filesystem::create_directories(statePath(team.address).parent_path());
    WriteFile(statePath(team.address), SyncStateText(kept));
    writeMilestones({{Day(2026, 12, 24), "Team, room 2"}});
    EXPECT_TRUE(sync(team.address).error.isEmpty());
    for (const ScriptedServer::Request& request : team.server.requests()) {
        EXPECT_FALSE(request.headers.contains("x-injected")) << request.verb.data() << " " << request.path.data();
    }
    EXPECT_EQ(milestones().at(Day(2026, 12, 24)).substr(0, 12), "Team, room 2");
}

// clang-format off
TEST(CalendarMemberTest, NamesEachEventOfTheCalendarOneWayAndNothingElse)
{
    const QUrl calendar(QStringLiteral("https://dav.example/cal/u@x/team/"));
    const struct { const char* href; const char* member; } cases[] = {
        {"/cal/u@x/team/a.ics", "/cal/u@x/team/a.ics"},
        {"/cal/u%40x/team/a.ics", "/cal/u@x/team/a.ics"},
        {"https://dav.example/cal/u%40x/team/a.ics", "/cal/u@x/team/a.ics"},
        {"https://DAV.example:443/cal/u@x/team/a.ics", "/cal/u@x/team/a.ics"},
        {"a%40b.ics", "/cal/u@x/team/a%40b.ics"},
        {"/cal/u@x/team/a@b.ics", "/cal/u@x/team/a%40b.ics"},
        {"/cal/u@x/team/x%20y.ics", "/cal/u@x/team/x%20y.ics"},
        {"/cal/u@x/team/x%2fy%3a.ics", nullptr},
        {"/cal/u@x/team/%41b%7e%3a.ics", "/cal/u@x/team/Ab~%3A.ics"},
        {"/cal/u@x/team/%2E", nullptr},
        {"/cal/u@x/team/a%4", "/cal/u@x/team/a%254"},     // a stray "%" stands for itself
        {"/cal/u@x/team/", nullptr},                 // the calendar itself
        {"", nullptr},
        {"/other/a.ics", nullptr},
        {"http://dav.example/cal/u@x/team/a.ics", nullptr},
        {"https://dav.example:8443/cal/u@x/team/a.ics", nullptr},
        {"https://evil.example/cal/u@x/team/a.ics", nullptr},
        {"/cal/u@x/team/sub/a.ics", nullptr},
        {"/cal/u@x/team/a%2Fb.ics", nullptr},
        {"/cal/u@x/team/../a.ics", nullptr},
        {"/cal/u@x/team/%2E%2E", nullptr},
        {"/cal/u@x/team/a.ics?x=1", nullptr},
        {"/cal/u@x/team/a%0A.ics", nullptr},
        {"https://bob@dav.example/cal/u@x/team/a.ics", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> member = CalendarMember(calendar, c.href);
        EXPECT_EQ(member, c.member ? std::optional<std::string>(c.member) : std::nullopt) << c.href;
    }
}
// clang-format on

} // namespace
} // namespace kestrel::test
