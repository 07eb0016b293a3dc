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

namespace kestrel {

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
            const QByteArray& body, const QList<std::pair<QByteArray, QByteArray>>& headers)
{
    QNetworkRequest request(url);
    // A redirect is never followed: it could lead the password to another host.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(static_cast<int>(std::chrono::milliseconds(kServerTimeout).count()));
    const QUrl& home = account.collection;
    if (url.scheme() == home.scheme() && url.host().compare(home.host(), Qt::CaseInsensitive) == 0 &&
        url.port(url.scheme() == QLatin1String("https") ? 443 : 80) ==
            home.port(home.scheme() == QLatin1String("https") ? 443 : 80)) {
        request.setRawHeader("Authorization",
                             "Basic " + (account.user + QLatin1Char(':') + account.password).toUtf8().toBase64());
    }
    for (const auto& [name, value] : headers) {
        request.setRawHeader(name, value);
    }
    QNetworkReply* reply = network.sendCustomRequest(request, verb, body);
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
    // The answer is read as it comes and dropped; one that grows beyond reason ends the request.
    qint64 received = 0;
    bool tooLarge = false;
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        while (reply->bytesAvailable() > 0) {
            received += reply->read(64 * 1024).size();
            if (received > kMostAnswerBytes) {
                tooLarge = true;
                reply->abort();
                return;
            }
        }
    });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) {
        loop.exec();
    }
    Answer answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.etag = reply->rawHeader("ETag");
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    if (!untrusted.isEmpty()) {
        answer.error = QStringLiteral("the server's certificate is not trusted (SHA-256 fingerprint %1): Countdown "
                                      "Options offers to trust this one certificate when sharing is applied")
                           .arg(untrusted);
    } else if (tooLarge) {
        answer.error = QStringLiteral("the server's answer was far too large (more than 1 MB)");
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

} // namespace kestrel
