// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CalendarObjects.h"
#include "CalendarShare.h"
#include "MultistatusReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QNetworkAccessManager;

namespace kestrel {

// The most bytes of an answer to a change that are read; such answers are short.
inline constexpr qint64 kMostAnswerBytes = 1024 * 1024;

// One answer of the server: its HTTP status, or what went wrong on the way.
struct Answer
{
    int status = 0;
    QString error;
    QByteArray etag; // the resource's entity tag after a change, when the server gives one
};

// The precondition of a change did not hold: someone else changed the resource first.
inline constexpr int kPreconditionFailed = 412;

// One line saying what an error status of the server means for the calendar at `url`.
QString StatusProblem(int status, const QUrl& url, const QString& reason);

// Sends one request to the calendar's server and waits for its answer in a local event loop. A
// redirect is never followed, the password goes only to the calendar's own scheme, host and port,
// a certificate not trusted is refused unless it is the one the account trusts, and a request
// that waits longer than kServerTimeout fails. The answer's body goes piece by piece to
// `readAnswer`, with the answer's HTTP status; it returns one line saying why the answer must not
// be read further (the request then ends with that error), or nothing to go on. Without a reader,
// the body is dropped and an answer over kMostAnswerBytes ends the request.
using AnswerReader = std::function<QString(int status, QByteArrayView piece)>;
Answer Send(QNetworkAccessManager& network, const ShareAccount& account, const QByteArray& verb, const QUrl& url,
            const QByteArray& body, const QList<std::pair<QByteArray, QByteArray>>& headers,
            const AnswerReader& readAnswer = {});

// The href under which the sync state knows a resource of the calendar: the calendar's own path
// followed by the resource's name, percent-encoded one way whatever spelling the server used (a
// full address, "%40" or "@"), so that one resource is never taken for two. None for an href that
// names no resource directly inside the calendar: another scheme, host or port, another folder,
// a sub-folder, the calendar itself, a query, or a control character. Kestrel never changes
// anything outside its calendar.
std::optional<std::string> CalendarMember(const QUrl& collection, const std::string& href);

// What the calendar's address holds, asked with PROPFIND (depth 0): a calendar (a multi-status
// whose resource type holds a CalDAV calendar), whether the user may change it (the privileges
// DAV:write, DAV:write-content, DAV:bind or DAV:all; a server that says nothing about privileges
// lets them), and whether it answers sync-collection reports. `error` is empty, or one line.
struct CalendarCheck
{
    QString error;
    bool canWrite = true;
    bool offersSync = false; // its supported-report-set holds sync-collection
};
CalendarCheck CheckCalendar(QNetworkAccessManager& network, const ShareAccount& account);

// The events of the calendar as the server holds them.
struct ServerRead
{
    bool complete = false;            // true: `changed` is the whole calendar; false: a delta since the token
    std::vector<ServerEvent> changed; // new or changed resources, href and etag filled (the collection itself left out)
    std::vector<std::string> removed; // hrefs gone since the token (delta only; status 404 in the answer)
    std::string token;                // the new sync-token; empty when the server offers none
    std::vector<QString> notes;       // one line each for something left alone, e.g. an event too long to read
    QString error;                    // empty when read; else one clear line (same style as Send's errors)
};
// Reads the calendar's events. With a token and a server that offers sync-collection, only what
// changed since the token (a sync-collection report, RFC 6578); a token the server refuses
// (DAV:valid-sync-token) is followed by a read in full. Without a token, a server that offers
// sync-collection is read in full by one with an empty token, so that the answer brings the first
// token; another one by a calendar-query report for every object of the calendar (tasks too, so
// that they count as events left alone). Changes the server lists in parts (its answer for the
// calendar itself says 507) are read part after part. The answer is read as it arrives (MultistatusReader):
// an event's data over kMostCalendarDataBytes is not kept (the event is Other, with a note), and
// an answer over kMostListingBytes ends the read with an error.
ServerRead ReadServerEvents(QNetworkAccessManager& network, const ShareAccount& account, const std::string& token,
                            bool offersSync);

} // namespace kestrel
