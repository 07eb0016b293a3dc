// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CalendarShare.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <utility>

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
// that waits longer than kServerTimeout fails. The answer's body is read and dropped.
Answer Send(QNetworkAccessManager& network, const ShareAccount& account, const QByteArray& verb, const QUrl& url,
            const QByteArray& body, const QList<std::pair<QByteArray, QByteArray>>& headers);

} // namespace kestrel
