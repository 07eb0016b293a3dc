// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a shared calendar as `kestrel --sync` reads it, for the end-to-end tests, and prints what
// it read, one item a line (texts with "\n" for their line breaks), then the peak memory:
//
//   read_calendar check URL USER PASSWORD      -> "write 1 sync 1", or "error LINE"
//   read_calendar read URL USER PASSWORD TOKEN SYNC
//       TOKEN "-" for none, SYNC 1 when the server offers sync-collection
//       -> "complete 1", "token T", "event HREF ETAG KIND DAY UID TEXT" (tab-separated),
//          "removed HREF", "note LINE", "error LINE"
//   ... and last "peak-rss-kb N". READ_TRUSTED_CERTIFICATE names the fingerprint of the one
//   certificate trusted, as "Trusted Certificate" does in the settings file.
#include "CalendarServer.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

long PeakResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

std::string OneLine(std::string text)
{
    std::string out;
    for (const char c : text) {
        out += c == '\n' ? std::string("\\n") : c == '\t' ? std::string("\\t") : std::string(1, c);
    }
    return out;
}

const char* KindName(kestrel::ServerEventKind kind)
{
    switch (kind) {
    case kestrel::ServerEventKind::Milestone:
        return "milestone";
    case kestrel::ServerEventKind::Target:
        return "target";
    case kestrel::ServerEventKind::Other:
        break;
    }
    return "other";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 5 || (std::strcmp(argv[1], "read") == 0 && argc != 7)) {
        std::fprintf(stderr, "usage: read_calendar check|read URL USER PASSWORD [TOKEN SYNC]\n");
        return 2;
    }
    kestrel::ShareAccount account;
    account.collection = QUrl(QString::fromLocal8Bit(argv[2]));
    account.user = QString::fromLocal8Bit(argv[3]);
    account.password = QString::fromLocal8Bit(argv[4]);
    account.trustedFingerprint = qEnvironmentVariable("READ_TRUSTED_CERTIFICATE");
    QNetworkAccessManager network;
    if (std::strcmp(argv[1], "check") == 0) {
        const kestrel::CalendarCheck check = kestrel::CheckCalendar(network, account);
        if (!check.error.isEmpty()) {
            std::printf("error %s\n", qPrintable(check.error));
        } else {
            std::printf("write %d sync %d\n", check.canWrite ? 1 : 0, check.offersSync ? 1 : 0);
        }
    } else {
        const std::string token = std::strcmp(argv[5], "-") == 0 ? std::string() : std::string(argv[5]);
        const kestrel::ServerRead read =
            kestrel::ReadServerEvents(network, account, token, std::strcmp(argv[6], "1") == 0);
        if (!read.error.isEmpty()) {
            std::printf("error %s\n", qPrintable(read.error));
        } else {
            std::printf("complete %d\n", read.complete ? 1 : 0);
            std::printf("token %s\n", read.token.c_str());
            for (const kestrel::ServerEvent& event : read.changed) {
                std::printf("event\t%s\t%s\t%s\t%lld\t%s\t%s\n", event.href.c_str(), event.etag.c_str(),
                            KindName(event.kind), event.day, event.uid.c_str(), OneLine(event.text).c_str());
            }
            for (const std::string& href : read.removed) {
                std::printf("removed %s\n", href.c_str());
            }
        }
        for (const QString& note : read.notes) {
            std::printf("note %s\n", qPrintable(note));
        }
    }
    std::printf("peak-rss-kb %ld\n", PeakResidentKilobytes());
    return 0;
}
