// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "SyncMerge.h"

#include "CalendarObjects.h"
#include "ICalendar.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kestrel {
namespace {

using Text = std::optional<std::string>;

TEST(SyncMergeTest, EachDayTakesTheChangedSideAndJoinsTwoChanges)
{
    const Text none;
    // clang-format off
    const struct { Text base, local, remote, merged; bool conflict; } cases[] = {
        {"a", "a", "a", "a", false},
        {"a", "b", "a", "b", false},                    // changed here
        {"a", "a", "b", "b", false},                    // changed on the server
        {"a", "b", "b", "b", false},                    // the same change on both sides
        {"a", "b", "c", "b / c", true},                 // two changes: both texts, the local one first
        {none, "b", "c", "b / c", true},                // added on both sides (a full sync)
        {none, "b", none, "b", false},
        {none, none, "c", "c", false},
        {"a", none, "a", none, false},                  // removed here
        {"a", "a", none, none, false},                  // removed on the server
        {"a", none, "c", "c", false},                   // removed here, changed there: kept
        {"a", "b", none, "b", false},                   // changed here, removed there: kept
        {"a", "b / c", "c", "b / c", false},            // what was joined before is not joined again
        {"c", "b / c", "d", "b / c / d", true},
    };
    // clang-format on
    for (const auto& c : cases) {
        const DayMerge merge = MergeDay(c.base, c.local, c.remote);
        EXPECT_EQ(merge.text, c.merged) << c.base.value_or("-") << " " << c.local.value_or("-") << " "
                                        << c.remote.value_or("-");
        EXPECT_EQ(merge.conflict, c.conflict) << c.merged.value_or("-");
    }
}

// A calendar server as far as the merge sees it: events by href, each change giving a new tag,
// and a change refused when the tag it names is no longer the event's.
struct Server
{
    std::map<std::string, ServerEvent> events;
    int tags = 0;

    ServerEvent& add(const std::string& href, ServerEventKind kind, long long day, const std::string& text)
    {
        ServerEvent& event = events[href];
        event = {href, "\"" + std::to_string(++tags) + "\"", href + "@elsewhere", kind, day, text};
        return event;
    }
};

struct Member
{
    SyncState state;
    DayTexts days;
    std::optional<long long> target;
    std::vector<long long> conflicts;
    int refused = 0;

    void sync(Server& server, bool canWrite = true)
    {
        std::vector<ServerEvent> all;
        for (const auto& [href, event] : server.events) {
            all.push_back(event);
        }
        TakeServerRead(state, true, all, {}, "token");
        const SyncPlan plan = PlanSync(state, {days, target}, canWrite);
        days = plan.days;
        target = plan.target ? plan.target : target;
        conflicts.insert(conflicts.end(), plan.conflicts.begin(), plan.conflicts.end());
        AgreeWithServer(state);
        for (const SyncRequest& request : plan.requests) {
            const std::string href = request.href.empty() ? "/team/" + request.uid + ".ics" : request.href;
            const auto held = server.events.find(href);
            if (request.etag.empty() ? held != server.events.end()
                                     : held == server.events.end() || held->second.etag != request.etag) {
                ++refused;
                continue;
            }
            if (request.verb == SyncRequest::Verb::Delete) {
                server.events.erase(href);
                RecordRequest(state, request, href, {});
                continue;
            }
            ServerEvent& event = server.add(href, request.target ? ServerEventKind::Target : ServerEventKind::Milestone,
                                            request.day, request.text);
            // What the server holds is what a read of the object sent gives.
            const std::string etag = event.etag;
            event = ReadCalendarObject(
                SharedCalendarObject(request.uid, request.day, request.text, "20260101T000000Z", request.target));
            event.href = href;
            event.etag = etag;
            RecordRequest(state, request, href, etag);
        }
    }
};

DayTexts ServerDays(const Server& server)
{
    SyncState state;
    state.remote = server.events;
    return RemoteDays(state);
}

TEST(SyncMergeTest, AddsEditsAndRemovalsTravelBothWays)
{
    Server server;
    Member alice;
    Member bob;
    alice.days = {{46380, "Design review"}};
    alice.sync(server);
    bob.sync(server);
    EXPECT_EQ(bob.days, (DayTexts{{46380, "Design review"}}));

    bob.days[46380] = "Design review, room 2";
    bob.days[46390] = "Ship";
    bob.sync(server);
    alice.sync(server);
    EXPECT_EQ(alice.days, (DayTexts{{46380, "Design review, room 2"}, {46390, "Ship"}}));

    alice.days.erase(46380);
    alice.sync(server);
    bob.sync(server);
    EXPECT_EQ(bob.days, (DayTexts{{46390, "Ship"}}));
    EXPECT_EQ(ServerDays(server), bob.days);
    EXPECT_TRUE(alice.conflicts.empty() && bob.conflicts.empty());
    EXPECT_EQ(alice.refused + bob.refused, 0);
}

TEST(SyncMergeTest, EditsOfOneDayOnBothSidesKeepBothTextsAndSettle)
{
    Server server;
    Member alice;
    Member bob;
    alice.days = {{46380, "Review"}};
    alice.sync(server);
    bob.sync(server);
    // Both edit while the server cannot be reached.
    alice.days[46380] = "Review at 10";
    bob.days[46380] = "Review moved";
    alice.sync(server);
    bob.sync(server);
    alice.sync(server);
    EXPECT_EQ(bob.days.at(46380), "Review moved / Review at 10");
    EXPECT_EQ(alice.days, bob.days);
    EXPECT_EQ(bob.conflicts, std::vector<long long>{46380});
    EXPECT_TRUE(alice.conflicts.empty());
    // Further syncs change nothing and say nothing more.
    const Server settled = server;
    bob.sync(server);
    alice.sync(server);
    EXPECT_EQ(server.events.size(), settled.events.size());
    EXPECT_EQ(ServerDays(server), ServerDays(settled));
    EXPECT_EQ(bob.conflicts.size(), 1U);
}

TEST(SyncMergeTest, ALostStateUnitesBothSidesAndDeletesNothing)
{
    Server server;
    server.add("/team/a.ics", ServerEventKind::Milestone, 46380, "Theirs");
    server.add("/team/b.ics", ServerEventKind::Milestone, 46381, "Same");
    server.add("/team/c.ics", ServerEventKind::Other, 0, "");
    Member carol;
    carol.days = {{46380, "Mine"}, {46381, "Same"}, {46382, "Only mine"}};
    carol.sync(server);
    EXPECT_EQ(carol.days, (DayTexts{{46380, "Mine / Theirs"}, {46381, "Same"}, {46382, "Only mine"}}));
    EXPECT_EQ(ServerDays(server), carol.days);
    EXPECT_TRUE(server.events.contains("/team/c.ics"));
}

TEST(SyncMergeTest, TwoServerEventsOfOneDayBecomeOneAndOthersAreLeftAlone)
{
    Server server;
    server.add("/team/a.ics", ServerEventKind::Milestone, 46380, "Kick-off");
    server.add("/team/b.ics", ServerEventKind::Milestone, 46380, "Budget");
    server.add("/team/timed.ics", ServerEventKind::Other, 0, "");
    Member alice;
    alice.sync(server);
    EXPECT_EQ(alice.days, (DayTexts{{46380, "Kick-off / Budget"}}));
    EXPECT_EQ(server.events.size(), 2U);
    EXPECT_EQ(server.events.at("/team/a.ics").text, "Kick-off / Budget");
    EXPECT_EQ(server.events.at("/team/a.ics").uid, "/team/a.ics@elsewhere"); // its UID is kept
    // Removing every milestone never removes what the table cannot hold.
    alice.days.clear();
    alice.sync(server);
    EXPECT_EQ(server.events.size(), 1U);
    EXPECT_TRUE(server.events.contains("/team/timed.ics"));
}

// Two long texts joined are longer than the editor lets anyone type, but the milestone file holds
// them: the day stays a milestone on the calendar, rather than an event left alone that every
// member then takes for removed.
TEST(SyncMergeTest, TwoLongTextsJoinedStayTheDaysMilestone)
{
    Server server;
    Member alice;
    Member bob;
    alice.days = {{46380, "Review"}};
    alice.sync(server);
    bob.sync(server);
    alice.days[46380] = std::string(kMaxMilestoneTextCharacters - 10, 'a');
    bob.days[46380] = std::string(kMaxMilestoneTextCharacters - 10, 'b');
    alice.sync(server);
    bob.sync(server);
    alice.sync(server);
    bob.sync(server);
    const std::string both = alice.days.count(46380) != 0 ? alice.days.at(46380) : std::string();
    EXPECT_EQ(both, std::string(kMaxMilestoneTextCharacters - 10, 'b') + " / " +
                        std::string(kMaxMilestoneTextCharacters - 10, 'a'));
    EXPECT_EQ(bob.days, alice.days);
    EXPECT_EQ(ServerDays(server), alice.days);
}

// Someone moved a milestone Kestrel published to another day in their calendar program: the
// event keeps its name, which Kestrel gives a new milestone of the first day and text. A
// milestone added there again gets a name of its own rather than being refused at every sync.
TEST(SyncMergeTest, AMilestoneAddedWhereAMovedEventWasGetsANameOfItsOwn)
{
    Server server;
    const std::string uid = MilestoneUid(46380, "Review");
    server.add("/team/" + uid + ".ics", ServerEventKind::Milestone, 46385, "Review").uid = uid;
    Member alice;
    alice.days = {{46380, "Review"}};
    alice.sync(server);
    EXPECT_EQ(alice.refused, 0);
    EXPECT_EQ(ServerDays(server), (DayTexts{{46380, "Review"}, {46385, "Review"}}));
    EXPECT_EQ(alice.days, ServerDays(server));
}

TEST(SyncMergeTest, AChangeMadeOnTheServerMeanwhileIsRefusedAndMergedNextTime)
{
    Server server;
    Member alice;
    alice.days = {{46380, "Review"}};
    alice.sync(server);
    // The plan is made, then someone changes the event before the request arrives.
    std::vector<ServerEvent> all;
    for (const auto& [href, event] : server.events) {
        all.push_back(event);
    }
    alice.days[46380] = "Review at 10";
    TakeServerRead(alice.state, true, all, {}, "token");
    const SyncPlan plan = PlanSync(alice.state, {alice.days, {}}, true);
    ASSERT_EQ(plan.requests.size(), 1U);
    server.add(plan.requests.front().href, ServerEventKind::Milestone, 46380, "Review cancelled");
    EXPECT_NE(server.events.at(plan.requests.front().href).etag, plan.requests.front().etag);
    // The next round reads the server again and keeps both texts.
    alice.sync(server);
    EXPECT_EQ(alice.days.at(46380), "Review at 10 / Review cancelled");
    EXPECT_EQ(server.events.begin()->second.text, "Review at 10 / Review cancelled");
}

TEST(SyncMergeTest, ReadOnlyRightsTakeTheTeamsMilestonesAndSendNothing)
{
    Server server;
    server.add("/team/a.ics", ServerEventKind::Milestone, 46380, "Team");
    Member reader;
    reader.days = {{46390, "My own"}};
    reader.sync(server, false);
    reader.sync(server, false);
    EXPECT_EQ(reader.days, (DayTexts{{46380, "Team"}, {46390, "My own"}}));
    EXPECT_EQ(server.events.size(), 1U);
    server.events.at("/team/a.ics").text = "Team, moved";
    reader.sync(server, false);
    EXPECT_EQ(reader.days.at(46380), "Team, moved");
}

TEST(SyncMergeTest, TheTargetComesFromTheServerWhenOnlyItChangedIt)
{
    Server server;
    Member alice;
    Member bob;
    alice.target = 46400;
    bob.target = 46000; // a new member takes the team's target
    alice.sync(server);
    bob.sync(server);
    EXPECT_EQ(bob.target, 46400);
    alice.target = 46410;
    alice.sync(server);
    bob.sync(server);
    EXPECT_EQ(bob.target, 46410);
    // Both change it: the later sync's target is sent, and the other takes it next time.
    alice.target = 46420;
    bob.target = 46430;
    alice.sync(server);
    bob.sync(server);
    alice.sync(server);
    EXPECT_EQ(alice.target, 46430);
    EXPECT_EQ(server.events.size(), 1U);
    EXPECT_EQ(alice.refused + bob.refused, 0);
}

TEST(SyncMergeTest, TheStateFileKeepsEveryTextAndADamagedOneReadsAsEmpty)
{
    const test::TempDir dir;
    SyncState state;
    state.token = "http://radicale.org/ns/sync/1\tx";
    state.baseTarget = 46400;
    state.milestoneFile = "/home/a\tb/mile\nston.txt";
    state.base = {{46380, "a\tb\nc\\d / e"}, {-5, ""}};
    state.remote["/team/a b.ics"] = {"/team/a b.ics", "\"x\"", "uid\n1", ServerEventKind::Milestone, 46380, "a\r\n"};
    state.remote["/team/t.ics"] = {"/team/t.ics", "", "target@kestrel", ServerEventKind::Target, 46400, ""};
    const auto path = dir.path() / "state";
    {
        std::ofstream(path, std::ios::binary) << SyncStateText(state);
    }
    EXPECT_EQ(ReadSyncState(path), state);
    // clang-format off
    for (const char* damaged : {
             "uid\thref\tdigest\tetag\n",                                    // a file from before two-way sync
             "kestrel shared calendar state 2\nbase\tx\ttext\nend\n",
             "kestrel shared calendar state 2\nevent\t/a\t\t\tQ\t1\t\nend\n",
             "kestrel shared calendar state 2\ntoken\nend\n",
             "kestrel shared calendar state 2\ntarget\t99999999\nend\n",                  // a day no date can hold
             "kestrel shared calendar state 2\nbase\t-9999999\tx\nend\n",
             "kestrel shared calendar state 2\nevent\t/a\t\t\tT\t9223372036854775807\t\nend\n",
             "kestrel shared calendar state 2\nevent\t/a\t\t\tM\t3000000\tx\nend\n",
         }) {
        // clang-format on
        std::ofstream(path, std::ios::binary | std::ios::trunc) << damaged;
        EXPECT_EQ(ReadSyncState(path), SyncState{}) << damaged;
    }
    EXPECT_EQ(ReadSyncState(dir.path() / "missing"), SyncState{});
    // A file cut short after any line says nothing for sure either: events missing from it would
    // be taken for removed from the calendar.
    const std::string whole = SyncStateText(state);
    for (std::size_t end = whole.find('\n'); end + 1 < whole.size(); end = whole.find('\n', end + 1)) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << whole.substr(0, end + 1);
        EXPECT_EQ(ReadSyncState(path), SyncState{}) << whole.substr(0, end + 1);
    }
}

TEST(SyncMergeTest, TheTableChangesOnlyTheDaysThatChanged)
{
    MilestoneTable table;
    table.append({"36526", "kept as written"});
    table.append({"note", "no day"});
    table.append({" 36530", "one"});
    table.append({" 36530", "two"});
    table.append({" 36540", "gone"});
    EXPECT_EQ(TableDays(table), (DayTexts{{36526, "kept as written"}, {36530, "one / two"}, {36540, "gone"}}));
    const MilestoneTable merged =
        TableWithDays(table, {{36526, "kept as written"}, {36530, "one / two / three"}, {36550, "new"}});
    ASSERT_EQ(merged.count(), 4);
    EXPECT_EQ(merged.at(1).key, "36526");
    EXPECT_EQ(merged.at(2).key, "note");
    EXPECT_EQ(merged.at(3).text, "one / two / three");
    EXPECT_EQ(merged.at(4).key, " 36550");
}

} // namespace
} // namespace kestrel

namespace kestrel {
namespace {

TEST(SyncMergeTest, NoTextFromTheServerAddsARecordToTheMilestoneFile)
{
    // clang-format off
    const std::string_view texts[] = {
        "\",\" 36600\",\"forged",
        "line\r\n\" 36601\",\"forged\"\r\n",
        "\"\"",
        "tab\there, comma, semicolon; backslash \\",
        "lone \r and \n, \r\n\r\n",
        "  blanks around  ",
        "\xF0\x9F\x8E\x89 \xE6\x97\xA5\xE6\x9C\xAC \"quoted\"",
    };
    // clang-format on
    for (const MilestoneEncoding encoding :
         {MilestoneEncoding::Utf8, MilestoneEncoding::Utf16LittleEndian, MilestoneEncoding::Utf16BigEndian}) {
        for (const std::string_view written : texts) {
            // The table keeps the encoding of the file it came from.
            MilestoneTable before;
            before.setEncoding(encoding);
            const std::string text(written);
            const MilestoneTable table = TableWithDays(before, {{36526, text}});
            const ParsedMilestones parsed =
                ParseMilestoneFile(EncodeMilestoneFile(MilestoneFileText(table), table.encoding()));
            ASSERT_FALSE(parsed.error) << text;
            EXPECT_EQ(parsed.encoding, encoding) << text;
            ASSERT_EQ(parsed.records.size(), 1U) << text;
            EXPECT_EQ(parsed.records.front().text, text);
        }
    }
}

} // namespace
} // namespace kestrel
