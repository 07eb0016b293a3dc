// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "SyncMerge.h"

#include "AtomicFile.h"
#include "ICalendar.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>
#include <set>
#include <utility>

namespace kestrel {

namespace {

constexpr std::string_view kJoint = " / ";
// The first line of a state file; a file without it is from before two-way sync.
constexpr std::string_view kStateHeader = "kestrel shared calendar state 2";
// The last line of a state file: a file cut short (a damaged disk) lacks it, and its missing
// events would otherwise be taken for removed.
constexpr std::string_view kStateEnd = "end\n";

std::vector<std::string_view> Parts(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(kJoint);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(at + kJoint.size());
    }
}

// A field of the state file: tab, line breaks and the backslash escaped, so that one line holds
// one record whatever the text.
std::string Escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Unescaped(std::string_view text)
{
    std::size_t i = text.find('\\');
    if (i == std::string_view::npos) {
        return std::string(text); // most fields hold nothing escaped
    }
    std::string out(text.substr(0, i));
    out.reserve(text.size());
    for (; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

std::optional<long long> Number(std::string_view text)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// A day of the state file: one a milestone can be pinned to, as every day the sync takes in is.
// Another one is damage, which would reach the milestone file or a request to the server.
std::optional<long long> Day(std::string_view text)
{
    const std::optional<long long> day = Number(text);
    if (!day || *day < kFirstMilestoneDay || *day > kLastMilestoneDay) {
        return std::nullopt;
    }
    return day;
}

// The tab-separated fields of a line, into `fields` (kept from line to line, so that no line
// allocates).
void Fields(std::string_view line, std::vector<std::string_view>& fields)
{
    fields.clear();
    for (std::size_t at = 0; at <= line.size();) {
        const std::size_t tab = std::min(line.find('\t', at), line.size());
        fields.push_back(line.substr(at, tab - at));
        at = tab + 1;
    }
}

char KindLetter(ServerEventKind kind)
{
    return kind == ServerEventKind::Milestone ? 'M' : kind == ServerEventKind::Target ? 'T' : 'O';
}

std::optional<std::string> Find(const DayTexts& days, long long day)
{
    const auto found = days.find(day);
    return found == days.end() ? std::nullopt : std::optional(found->second);
}

// The server's milestone events, by day and then in href order, and its first target event in
// href order (null when there is none), found in one pass over the events.
struct ServerView
{
    std::vector<const ServerEvent*> milestones;
    const ServerEvent* target = nullptr;
};
ServerView ViewOf(const SyncState& state)
{
    ServerView view;
    view.milestones.reserve(state.remote.size());
    for (const auto& [href, event] : state.remote) {
        if (event.kind == ServerEventKind::Milestone) {
            view.milestones.push_back(&event);
        } else if (event.kind == ServerEventKind::Target && view.target == nullptr) {
            view.target = &event;
        }
    }
    // Stable: the events of one day keep their href order.
    std::ranges::stable_sort(view.milestones, std::less<>(), &ServerEvent::day);
    return view;
}

// The texts of the events of each day joined.
DayTexts JoinedDays(const std::vector<const ServerEvent*>& events)
{
    DayTexts days;
    for (std::size_t i = 0; i < events.size();) {
        std::string text = events[i]->text;
        std::size_t next = i + 1;
        for (; next < events.size() && events[next]->day == events[i]->day; ++next) {
            text = JoinTexts(text, events[next]->text);
        }
        days.emplace_hint(days.end(), events[i]->day, std::move(text));
        i = next;
    }
    return days;
}

} // namespace

std::string JoinTexts(std::string_view first, std::string_view second)
{
    std::string joined(first);
    std::vector<std::string_view> held = Parts(first);
    for (const std::string_view part : Parts(second)) {
        if (std::ranges::find(held, part) == held.end()) {
            joined += kJoint;
            joined += part;
            held.push_back(part);
        }
    }
    return joined;
}

DayTexts TableDays(const MilestoneTable& table)
{
    DayTexts days;
    for (int position = 1; position <= table.count(); ++position) {
        const Milestone& milestone = table.at(position);
        if (const std::optional<long long> day = MilestoneDay(milestone)) {
            const auto [at, added] = days.try_emplace(*day, milestone.text);
            if (!added) {
                at->second = JoinTexts(at->second, milestone.text);
            }
        }
    }
    return days;
}

MilestoneTable TableWithDays(const MilestoneTable& table, const DayTexts& days)
{
    const DayTexts before = TableDays(table);
    MilestoneTable merged;
    merged.setEncoding(table.encoding());
    for (int position = 1; position <= table.count(); ++position) {
        const Milestone& milestone = table.at(position);
        const std::optional<long long> day = MilestoneDay(milestone);
        if (!day || Find(days, *day) == Find(before, *day)) {
            merged.append(milestone);
        }
    }
    for (const auto& [day, text] : days) {
        if (Find(before, day) != text) {
            merged.append({MilestoneKey(day), text});
        }
    }
    return merged;
}

namespace {

bool Same(const std::string* a, const std::string* b)
{
    return a == nullptr ? b == nullptr : b != nullptr && *a == *b;
}

// MergeDay on the texts where they are; null for no milestone.
DayMerge MergeTexts(const std::string* base, const std::string* local, const std::string* remote)
{
    const auto text = [](const std::string* t) { return t == nullptr ? std::nullopt : std::optional(*t); };
    if (Same(local, remote) || Same(remote, base)) {
        return {text(local), false};
    }
    if (Same(local, base) || local == nullptr) {
        return {text(remote), false};
    }
    if (remote == nullptr) {
        return {text(local), false};
    }
    std::string joined = JoinTexts(*local, *remote);
    const bool conflict = joined != *local && joined != *remote;
    return {std::move(joined), conflict};
}

// The text of a map's entry at `at` when it is for `day`; null otherwise.
const std::string* At(const DayTexts& texts, DayTexts::const_iterator at, long long day)
{
    return at != texts.end() && at->first == day ? &at->second : nullptr;
}

} // namespace

DayMerge MergeDay(const std::optional<std::string>& base, const std::optional<std::string>& local,
                  const std::optional<std::string>& remote)
{
    return MergeTexts(base ? &*base : nullptr, local ? &*local : nullptr, remote ? &*remote : nullptr);
}

DaysMerge MergeDays(const DayTexts& base, const DayTexts& local, const DayTexts& remote)
{
    // One walk over the three tables in day order.
    DaysMerge merge;
    auto b = base.begin();
    auto l = local.begin();
    auto r = remote.begin();
    for (;;) {
        long long day = std::numeric_limits<long long>::max();
        for (const auto& [at, texts] : {std::pair(b, &base), std::pair(l, &local), std::pair(r, &remote)}) {
            if (at != texts->end()) {
                day = std::min(day, at->first);
            }
        }
        if (b == base.end() && l == local.end() && r == remote.end()) {
            return merge;
        }
        DayMerge one = MergeTexts(At(base, b, day), At(local, l, day), At(remote, r, day));
        if (one.text) {
            merge.days.emplace_hint(merge.days.end(), day, std::move(*one.text));
        }
        if (one.conflict) {
            merge.conflicts.push_back(day);
        }
        for (auto* at : {&b, &l, &r}) {
            const DayTexts& texts = at == &b ? base : at == &l ? local : remote;
            if (*at != texts.end() && (*at)->first == day) {
                ++*at;
            }
        }
    }
}

SyncState ReadSyncState(const std::filesystem::path& path)
{
    SyncState state;
    const FileResult<FileContents> read = ReadRegularFile(path, 256 * 1024 * 1024);
    if (!read) {
        return state;
    }
    const std::string& text = read.value().bytes;
    if (!text.starts_with(std::string(kStateHeader) + '\n') || !text.ends_with(kStateEnd) ||
        (text.size() > kStateEnd.size() && text[text.size() - kStateEnd.size() - 1] != '\n')) {
        return state;
    }
    std::size_t start = kStateHeader.size() + 1;
    const std::size_t stop = text.size() - kStateEnd.size();
    std::vector<std::string_view> fields;
    while (start < stop) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        Fields(std::string_view(text).substr(start, end - start), fields);
        start = end + 1;
        const std::string_view kind = fields.front();
        if (kind == "token" && fields.size() == 2) {
            state.token = Unescaped(fields[1]);
        } else if (kind == "milestones" && fields.size() == 2) {
            state.milestoneFile = Unescaped(fields[1]);
        } else if (kind == "target" && fields.size() == 2 && Day(fields[1])) {
            state.baseTarget = Day(fields[1]);
        } else if (kind == "base" && fields.size() == 3 && Day(fields[1])) {
            // The file lists the days in order: each goes at the end.
            state.base.emplace_hint(state.base.end(), *Day(fields[1]), Unescaped(fields[2]));
        } else if (kind == "event" && fields.size() == 7 && !fields[1].empty() && Number(fields[5]) &&
                   (fields[4] == "O" || Day(fields[5])) && fields[4].size() == 1 &&
                   std::string_view("MTO").find(fields[4][0]) != std::string_view::npos) {
            ServerEvent event;
            event.href = Unescaped(fields[1]);
            event.etag = Unescaped(fields[2]);
            event.uid = Unescaped(fields[3]);
            event.kind = fields[4][0] == 'M'   ? ServerEventKind::Milestone
                         : fields[4][0] == 'T' ? ServerEventKind::Target
                                               : ServerEventKind::Other;
            event.day = *Number(fields[5]);
            event.text = Unescaped(fields[6]);
            std::string href = event.href;
            state.remote.insert_or_assign(state.remote.end(), std::move(href), std::move(event));
        } else {
            // A damaged state says nothing for sure: the next sync is a full one, which loses nothing.
            return {};
        }
    }
    return state;
}

std::string SyncStateText(const SyncState& state)
{
    std::string text(kStateHeader);
    text += '\n';
    text += "token\t" + Escaped(state.token) + '\n';
    if (!state.milestoneFile.empty()) {
        text += "milestones\t" + Escaped(state.milestoneFile) + '\n';
    }
    if (state.baseTarget) {
        text += "target\t" + std::to_string(*state.baseTarget) + '\n';
    }
    for (const auto& [day, base] : state.base) {
        text += "base\t" + std::to_string(day) + '\t' + Escaped(base) + '\n';
    }
    for (const auto& [href, event] : state.remote) {
        text += "event\t" + Escaped(href) + '\t' + Escaped(event.etag) + '\t' + Escaped(event.uid) + '\t' +
                KindLetter(event.kind) + '\t' + std::to_string(event.day) + '\t' + Escaped(event.text) + '\n';
    }
    text += kStateEnd;
    return text;
}

DayTexts RemoteDays(const SyncState& state)
{
    return JoinedDays(ViewOf(state).milestones);
}

std::optional<long long> RemoteTarget(const SyncState& state)
{
    for (const auto& [href, event] : state.remote) {
        if (event.kind == ServerEventKind::Target) {
            return event.day;
        }
    }
    return std::nullopt;
}

void TakeServerRead(SyncState& state, bool complete, const std::vector<ServerEvent>& changed,
                    const std::vector<std::string>& removed, std::string token)
{
    if (complete) {
        state.remote.clear();
    }
    for (const std::string& href : removed) {
        state.remote.erase(href);
    }
    for (const ServerEvent& event : changed) {
        state.remote[event.href] = event;
    }
    state.token = std::move(token);
}

SyncPlan PlanSync(const SyncState& state, const LocalSide& local, bool canWrite)
{
    SyncPlan plan;
    const ServerView view = ViewOf(state);
    const std::vector<const ServerEvent*>& events = view.milestones;
    DaysMerge merge = MergeDays(state.base, local.days, JoinedDays(events));
    plan.days = std::move(merge.days);
    plan.conflicts = std::move(merge.conflicts);

    const std::optional<long long> remoteTarget =
        view.target != nullptr ? std::optional(view.target->day) : std::nullopt;
    if (local.target != remoteTarget) {
        if (remoteTarget && (local.target == state.baseTarget || !state.baseTarget)) {
            plan.target = remoteTarget;
        } else if (local.target && canWrite) {
            const ServerEvent* event = view.target;
            plan.requests.push_back({SyncRequest::Verb::Put,
                                     event ? event->href : std::string(),
                                     event ? event->etag : std::string(),
                                     event ? event->uid : std::string(kSharedTargetUid),
                                     true,
                                     *local.target,
                                     {}});
        }
    }
    if (!canWrite) {
        return plan;
    }
    // One walk over the merged days and the server's events, both in day order.
    std::set<std::string_view> heldUids; // made when a new event first needs a name
    auto merged = plan.days.begin();
    for (std::size_t i = 0; merged != plan.days.end() || i < events.size();) {
        const long long day = merged == plan.days.end() ? events[i]->day
                              : i == events.size()      ? merged->first
                                                        : std::min(merged->first, events[i]->day);
        const std::string* text = merged != plan.days.end() && merged->first == day ? &merged->second : nullptr;
        std::size_t end = i;
        while (end < events.size() && events[end]->day == day) {
            ++end;
        }
        std::size_t kept = i;
        if (text != nullptr && i == end) {
            // The name an event of this day and text gets may be held by one moved to another day
            // or made into another kind since (its name stays): the new event takes a free one.
            if (heldUids.empty()) {
                for (const auto& [href, event] : state.remote) {
                    heldUids.insert(event.uid);
                }
            }
            std::string uid = MilestoneUid(day, *text);
            for (int repeat = 1; heldUids.contains(uid); ++repeat) {
                uid = MilestoneUid(day, *text, repeat);
            }
            plan.requests.push_back({SyncRequest::Verb::Put, {}, {}, std::move(uid), false, day, *text});
        } else if (text != nullptr) {
            // The first event of the day holds the day's text and keeps its UID; the others go.
            kept = i + 1;
            if (events[i]->text != *text) {
                plan.requests.push_back(
                    {SyncRequest::Verb::Put, events[i]->href, events[i]->etag, events[i]->uid, false, day, *text});
            }
        }
        for (std::size_t other = kept; other < end; ++other) {
            const ServerEvent& event = *events[other];
            plan.requests.push_back({SyncRequest::Verb::Delete, event.href, event.etag, event.uid, false, day, {}});
        }
        i = end;
        if (text != nullptr) {
            ++merged;
        }
    }
    return plan;
}

void AgreeWithServer(SyncState& state)
{
    const ServerView view = ViewOf(state);
    state.base = JoinedDays(view.milestones);
    state.baseTarget = view.target != nullptr ? std::optional(view.target->day) : std::nullopt;
}

void RecordRequest(SyncState& state, const SyncRequest& request, const std::string& href, const std::string& etag)
{
    if (request.verb == SyncRequest::Verb::Delete) {
        state.remote.erase(request.href);
    } else {
        state.remote[href] = {href,        etag,
                              request.uid, request.target ? ServerEventKind::Target : ServerEventKind::Milestone,
                              request.day, request.text};
    }
    if (request.target) {
        state.baseTarget = RemoteTarget(state);
        return;
    }
    const DayTexts remote = RemoteDays(state);
    if (const std::optional<std::string> text = Find(remote, request.day)) {
        state.base[request.day] = *text;
    } else {
        state.base.erase(request.day);
    }
}

} // namespace kestrel
