// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalendarServer.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>

#include <algorithm>
#include <utility>

namespace kestrel {

namespace {
// How much of an answer is read at a time, and how much of it may wait to be read.
constexpr qint64 kReadPiece = 64 * 1024;
constexpr qint64 kReadBufferBytes = 4 * kReadPiece;

bool SameServer(const QUrl& a, const QUrl& b)
{
    return a.scheme() == b.scheme() && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 &&
           a.port(a.scheme() == QLatin1String("https") ? 443 : 80) ==
               b.port(b.scheme() == QLatin1String("https") ? 443 : 80);
}
} // namespace

namespace {

bool IsUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

int HexValue(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; // upper case only
}

// Whether a name is spelt as CalendarMember spells it: unreserved characters as they are, every
// other byte (but "/" and control characters, which no member's name holds) as "%XX".
bool IsMemberSpelling(std::string_view name)
{
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsUnreserved(name[i])) {
            continue;
        }
        if (name[i] != '%' || i + 2 >= name.size() || HexValue(name[i + 1]) < 0 || HexValue(name[i + 2]) < 0) {
            return false;
        }
        const auto byte = static_cast<unsigned char>(HexValue(name[i + 1]) * 16 + HexValue(name[i + 2]));
        if (byte < 0x20 || byte == 0x7f || byte == '/' || IsUnreserved(static_cast<char>(byte))) {
            return false;
        }
        i += 2;
    }
    return true;
}

} // namespace

std::optional<std::string> CalendarMember(const QUrl& collection, const std::string& href)
{
    // The spelling the sync state keeps is recognised without taking the address apart: a sync
    // compares every event it holds.
    const QByteArray encodedHome = collection.path(QUrl::FullyEncoded).toLatin1();
    if (encodedHome.endsWith('/') && std::string_view(href).starts_with(std::string_view(encodedHome)) &&
        IsMemberSpelling(std::string_view(href).substr(static_cast<std::size_t>(encodedHome.size())))) {
        return href;
    }
    const QUrl url = collection.resolved(QUrl(QString::fromStdString(href)));
    if (!url.isValid() || !SameServer(url, collection) || url.hasQuery() || url.hasFragment() ||
        !url.userInfo().isEmpty()) {
        return std::nullopt;
    }
    QString home = collection.path(QUrl::FullyEncoded);
    if (!home.endsWith(QLatin1Char('/'))) {
        home += QLatin1Char('/');
    }
    const QByteArray homeBytes = QByteArray::fromPercentEncoding(home.toLatin1());
    const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!path.startsWith(homeBytes)) {
        return std::nullopt;
    }
    const QByteArray name = path.mid(homeBytes.size());
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') ||
        std::ranges::any_of(name, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
        return std::nullopt;
    }
    return (home + QString::fromLatin1(name.toPercentEncoding())).toStdString();
}

QString StatusProblem(int status, const QUrl& url, const QString& reason)
{
    switch (status) {
    case 401:
        return QStringLiteral("the server refused the user name or password (401)");
    case 403:
        return QStringLiteral("the user has no right to change the calendar (403)");
    case 404:
        return QStringLiteral("there is no calendar at %1 (404)").arg(url.toString(QUrl::RemoveUserInfo));
    case 507:
        return QStringLiteral("the server's store is full (507)");
    default:
        return QStringLiteral("the server answered %1 %2").arg(status).arg(reason);
    }
}

Answer Send(QNetworkAccessManager& network, const ShareAccount& account, const QByteArray& verb, const QUrl& url,
            const QByteArray& body, const QList<std::pair<QByteArray, QByteArray>>& headers,
            const AnswerReader& readAnswer)
{
    QNetworkRequest request(url);
    // A redirect is never followed: it could lead the password to another host.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(static_cast<int>(std::chrono::milliseconds(kServerTimeout).count()));
    const QUrl& home = account.collection;
    if (SameServer(url, home)) {
        request.setRawHeader("Authorization",
                             "Basic " + (account.user + QLatin1Char(':') + account.password).toUtf8().toBase64());
    }
    for (const auto& [name, value] : headers) {
        request.setRawHeader(name, value);
    }
    QNetworkReply* reply = network.sendCustomRequest(request, verb, body);
    // The answer waits on the network, not in memory, while it is read. Qt 6.4 passes the limit on
    // only once the request has gone to its network thread, which happens in the next turn of the
    // event loop: the limit is set then (and again when the answer begins, should that be later).
    const auto limitBuffer = [reply] { reply->setReadBufferSize(kReadBufferBytes); };
    QMetaObject::invokeMethod(reply, limitBuffer, Qt::QueuedConnection);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, limitBuffer);
    QString untrusted;
    QObject::connect(reply, &QNetworkReply::sslErrors, reply, [&](const QList<QSslError>& errors) {
        const QString fingerprint = CertificateFingerprint(reply->sslConfiguration().peerCertificate().toDer());
        if (!account.trustedFingerprint.isEmpty() &&
            fingerprint.compare(account.trustedFingerprint, Qt::CaseInsensitive) == 0) {
            reply->ignoreSslErrors(errors);
        } else {
            untrusted = fingerprint;
        }
    });
    // The answer is read as it comes: handed on, or dropped; one that grows beyond reason ends the
    // request.
    qint64 received = 0;
    const AnswerReader drop = [&received](int, QByteArrayView piece) {
        received += piece.size();
        return received > kMostAnswerBytes ? QStringLiteral("the server's answer was far too large (more than 1 MB)")
                                           : QString();
    };
    const AnswerReader& reader = readAnswer ? readAnswer : drop;
    QString stopped;
    const auto readAvailable = [&] {
        while (reply->bytesAvailable() > 0) {
            const QByteArray piece = reply->read(kReadPiece);
            if (!stopped.isEmpty()) {
                continue; // the rest of an error's answer, already ending, is dropped
            }
            stopped = reader(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), piece);
            // An answer of an error status ends on its own; aborting it then only upsets Qt.
            if (!stopped.isEmpty() && reply->error() == QNetworkReply::NoError) {
                reply->abort();
                return;
            }
        }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, readAvailable);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) {
        loop.exec();
    }
    readAvailable(); // what came with the end of the answer
    Answer answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.etag = reply->rawHeader("ETag");
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    if (!untrusted.isEmpty()) {
        answer.error = QStringLiteral("the server's certificate is not trusted (SHA-256 fingerprint %1): Countdown "
                                      "Options offers to trust this one certificate when sharing is applied")
                           .arg(untrusted);
    } else if (!stopped.isEmpty()) {
        answer.error = stopped;
    } else if (reply->error() == QNetworkReply::OperationCanceledError ||
               reply->error() == QNetworkReply::TimeoutError) {
        answer.error = QStringLiteral("the server did not answer within %1 s").arg(kServerTimeout.count());
    } else if (answer.status >= 300 && answer.status < 400) {
        const QUrl to = url.resolved(reply->header(QNetworkRequest::LocationHeader).toUrl());
        answer.error = QStringLiteral("the server sent the request on to %1; Kestrel does not follow, so that the "
                                      "password stays with %2: set the calendar's address to the one it names")
                           .arg(to.toString(QUrl::RemoveUserInfo), home.host());
    } else if (answer.status == 0) {
        answer.error = QStringLiteral("the server cannot be reached (%1)").arg(reply->errorString());
    } else if (answer.status >= 400 && answer.status != kPreconditionFailed &&
               !(verb == "DELETE" && answer.status == 404)) {
        answer.error = StatusProblem(answer.status, url, reason);
    }
    reply->deleteLater();
    return answer;
}

namespace {

// What the calendar's address is asked: its kind, the user's privileges and the reports it answers.
constexpr const char* kCalendarQuestion = R"(<?xml version="1.0" encoding="utf-8"?>
<D:propfind xmlns:D="DAV:"><D:prop><D:resourcetype/><D:current-user-privilege-set/><D:supported-report-set/></D:prop></D:propfind>
)";
// Every object of the calendar with its entity tag and data: a filter on VCALENDAR alone lets
// tasks and journal entries through, so that they are seen and left alone.
constexpr const char* kEveryObject = R"(<?xml version="1.0" encoding="utf-8"?>
<C:calendar-query xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav"><D:prop><D:getetag/><C:calendar-data/></D:prop><C:filter><C:comp-filter name="VCALENDAR"/></C:filter></C:calendar-query>
)";
// What changed since a token (all of the calendar for an empty one).
constexpr const char* kChangesSince = R"(<?xml version="1.0" encoding="utf-8"?>
<D:sync-collection xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav"><D:sync-token>%1</D:sync-token><D:sync-level>1</D:sync-level><D:prop><D:getetag/><C:calendar-data/></D:prop></D:sync-collection>
)";

// A calendar of a team holds hundreds of events, a busy one thousands; more than this many is no
// calendar Kestrel can hold in its milestone table, and reading them all would take the memory.
constexpr std::size_t kMostEvents = 100000;

// The status of the calendar's own response when a listing of its changes comes in parts.
constexpr int kInsufficientStorage = 507;
// The most parts of one listing of changes that are read.
constexpr int kMostParts = 100;

struct Listing
{
    QString error;
    bool refusedToken = false;
    std::string token;
};

// Asks a question whose answer is a multi-status and reads the answer as it arrives, handing each
// response to `each` as soon as it is whole; `each` returns a line that ends the read, or nothing.
Listing AskForListing(QNetworkAccessManager& network, const ShareAccount& account, const QByteArray& verb,
                      const QByteArray& question, const QByteArray& depth,
                      const std::function<QString(MultistatusResponse&&)>& each)
{
    MultistatusReader reader;
    qint64 dropped = 0;
    QString stopped;
    const auto take = [&] {
        for (MultistatusResponse& response : reader.takeResponses()) {
            if (stopped.isEmpty()) {
                stopped = each(std::move(response));
            }
        }
    };
    const Answer answer = Send(
        network, account, verb, account.collection, question,
        {{"Depth", depth}, {"Content-Type", "application/xml; charset=utf-8"}}, [&](int status, QByteArrayView piece) {
            // Only a listing is read as one. The answer to another status is dropped, as Send
            // drops it; that of a refused sync token is read only to learn of the refusal.
            if (status != 207) {
                if ((status == 403 || status == 409) && reader.error().isEmpty()) {
                    reader.feed(piece);
                }
                dropped += piece.size();
                return dropped > kMostAnswerBytes
                           ? QStringLiteral("the server's answer was far too large (more than 1 MB)")
                           : QString();
            }
            reader.feed(piece);
            take();
            return !stopped.isEmpty() ? stopped : reader.error();
        });
    Listing listing;
    if (answer.status == 403 || answer.status == 409) {
        reader.finish(); // what the server said about the token
    }
    if ((answer.status == 403 || answer.status == 409) && reader.refusedSyncToken()) {
        listing.refusedToken = true;
        return listing;
    }
    // An error status says more than the body that came with it.
    if (answer.status >= 400) {
        const bool bodyRefused = !answer.error.isEmpty() && (answer.error == stopped || answer.error == reader.error());
        listing.error = answer.status == 403 ? QStringLiteral("the user has no right to read the calendar (403)")
                        : bodyRefused || answer.error.isEmpty() ? StatusProblem(answer.status, account.collection, {})
                                                                : answer.error;
        return listing;
    }
    if (!answer.error.isEmpty()) {
        listing.error = answer.error;
        return listing;
    }
    if (answer.status != 207) {
        listing.error =
            QStringLiteral("the address answers, but not as a CalDAV calendar (status %1)").arg(answer.status);
        return listing;
    }
    reader.finish();
    take();
    listing.error = !stopped.isEmpty() ? stopped : reader.error();
    listing.token = reader.syncToken();
    return listing;
}

bool HasAny(const std::vector<std::string>& names, std::initializer_list<std::string_view> wanted)
{
    return std::ranges::any_of(names, [&](const std::string& name) {
        return std::ranges::find(wanted, std::string_view(name)) != wanted.end();
    });
}

// The path of an address, decoded, without a final "/".
QString PathOf(const QUrl& url)
{
    QString path = url.path(QUrl::FullyDecoded);
    while (path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    return path;
}

} // namespace

CalendarCheck CheckCalendar(QNetworkAccessManager& network, const ShareAccount& account)
{
    CalendarCheck check;
    std::vector<MultistatusResponse> responses;
    const Listing listing =
        AskForListing(network, account, "PROPFIND", kCalendarQuestion, "0", [&](MultistatusResponse&& response) {
            if (responses.size() < 16) { // depth 0: the calendar alone
                responses.push_back(std::move(response));
            }
            return QString();
        });
    if (!listing.error.isEmpty()) {
        check.error = listing.error;
        return check;
    }
    const auto calendar = std::ranges::find_if(responses, [](const MultistatusResponse& response) {
        return response.status >= 200 && response.status < 300 && response.isCalendar;
    });
    if (calendar == responses.end()) {
        check.error = QStringLiteral("the address answers, but holds no CalDAV calendar (its resource type is no "
                                     "calendar)");
        return check;
    }
    check.canWrite = !calendar->privilegesGiven ||
                     HasAny(calendar->privileges, {"{DAV:}write", "{DAV:}write-content", "{DAV:}bind", "{DAV:}all"});
    check.offersSync = HasAny(calendar->reports, {"{DAV:}sync-collection"});
    return check;
}

ServerRead ReadServerEvents(QNetworkAccessManager& network, const ShareAccount& account, const std::string& token,
                            bool offersSync)
{
    ServerRead read;
    const QString calendarPath = PathOf(account.collection);
    // A server may list the changes in parts (RFC 6578, 3.6): the calendar's own response then says
    // 507, and the next part follows the token that came with this one. A later part's news of an
    // event replaces an earlier part's.
    bool partial = false;
    bool laterPart = false;
    bool namedOutside = false;
    const auto forget = [&](const std::string& href) {
        std::erase_if(read.changed, [&](const ServerEvent& event) { return event.href == href; });
        std::erase(read.removed, href);
    };
    const auto each = [&](MultistatusResponse&& response) {
        const QString href = QString::fromStdString(response.href);
        if (PathOf(account.collection.resolved(QUrl(href))) == calendarPath) {
            partial = partial || response.status == kInsufficientStorage;
            return QString(); // the calendar itself
        }
        // Only the calendar's own events are read, each under one spelling of its href: an event
        // named elsewhere is never changed or removed.
        const std::optional<std::string> member = CalendarMember(account.collection, response.href);
        if (!member) {
            if (std::exchange(namedOutside, true)) {
                return QString(); // told once
            }
            read.notes.push_back(
                QStringLiteral("the server named %1 as an event of the calendar, but it is not in the "
                               "calendar; it is left alone")
                    .arg(QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(response.href), "/:@"))));
            return QString();
        }
        response.href = *member;
        const QString shown = QString::fromStdString(response.href);
        if (laterPart) {
            forget(response.href);
        }
        if (response.status == 404) {
            if (!read.complete) {
                read.removed.push_back(std::move(response.href));
            }
            return QString();
        }
        if (response.status < 200 || response.status >= 300) {
            read.notes.push_back(QStringLiteral("the server did not give the event %1 (status %2); it is left as it is")
                                     .arg(shown)
                                     .arg(response.status));
            return QString();
        }
        ServerEvent event;
        if (response.calendarDataTooLong) {
            read.notes.push_back(
                QStringLiteral("an event of the shared calendar is too long to read (%1, more than %2 MB); it is left "
                               "as it is")
                    .arg(shown)
                    .arg(kMostCalendarDataBytes / (1024 * 1024)));
        } else if (!response.hasCalendarData) {
            read.notes.push_back(
                QStringLiteral("the server gave the event %1 without its data; it is left as it is").arg(shown));
        } else {
            event = ReadCalendarObject(response.calendarData);
        }
        event.href = std::move(response.href);
        event.etag = std::move(response.etag);
        // The tag goes back in an If-Match header, where a line break would begin another header.
        std::erase_if(event.etag, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
        read.changed.push_back(std::move(event));
        return read.changed.size() > kMostEvents
                   ? QStringLiteral("the shared calendar holds more than %1 events, more than Kestrel reads")
                         .arg(kMostEvents)
                   : QString();
    };
    Listing listing;
    if (offersSync) {
        read.complete = token.empty();
        listing = AskForListing(
            network, account, "REPORT",
            QString::fromLatin1(kChangesSince).arg(QString::fromStdString(token).toHtmlEscaped()).toUtf8(), "0", each);
        if (listing.refusedToken && !token.empty()) {
            // The server no longer knows the token: the whole calendar is read again.
            read = {};
            read.complete = true;
            listing = AskForListing(network, account, "REPORT",
                                    QString::fromLatin1(kChangesSince).arg(QString()).toUtf8(), "0", each);
        }
        if (listing.refusedToken) {
            listing.error = QStringLiteral("the server refused to list the calendar's changes (DAV:valid-sync-token)");
        }
        for (int parts = 1; listing.error.isEmpty() && partial; ++parts) {
            if (parts == kMostParts || listing.token.empty()) {
                listing.error = QStringLiteral("the server lists the calendar's changes in more parts than Kestrel "
                                               "reads (%1)")
                                    .arg(kMostParts);
                break;
            }
            partial = false;
            laterPart = true;
            listing = AskForListing(
                network, account, "REPORT",
                QString::fromLatin1(kChangesSince).arg(QString::fromStdString(listing.token).toHtmlEscaped()).toUtf8(),
                "0", each);
        }
    } else {
        read.complete = true;
        listing = AskForListing(network, account, "REPORT", kEveryObject, "1", each);
    }
    if (!listing.error.isEmpty()) {
        ServerRead failed;
        failed.error = listing.error;
        return failed;
    }
    read.token = listing.token;
    return read;
}

} // namespace kestrel
