// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ReportComposer.h"
#include "ReportDocument.h"

#include <QProcess>
#include <QStringList>

#include <cmath>
#include <map>

namespace kestrel::test {

// The lines of a composed page as a reader sees them: a paragraph as its text, a table row as
// its four cells joined by "|" (so a weekend row reads "|Jan 01, 2000|Saturday|").
inline QStringList RowsOf(const ReportDocument& document, int pageNumber)
{
    const QRectF body = document.geometry().body();
    const std::vector<double> edges =
        ColumnEdges(ParseTableText(QString::fromLatin1(kReportTableFormat)).columns, body);
    std::map<long long, QStringList> lines; // by the top of the line, in hundredths of a point
    for (const PlacedText& text : document.page(pageNumber).texts) {
        const long long top = std::llround(text.box.top() * 100);
        if (std::abs(text.box.width() - body.width()) < 1e-6) {
            lines[top] = QStringList{text.text};
            continue;
        }
        QStringList& cells = lines[top];
        while (cells.size() < 4) {
            cells << QString();
        }
        for (int column = 0; column < 4; ++column) {
            if (text.box.left() >= edges[static_cast<std::size_t>(column)] &&
                text.box.left() < edges[static_cast<std::size_t>(column) + 1]) {
                cells[column] = text.text;
            }
        }
    }
    QStringList rows;
    for (const auto& [top, cells] : lines) {
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// The font size of the first text on a page that reads `text`; 0 when there is none.
inline double SizeOf(const ReportDocument& document, int pageNumber, const QString& text)
{
    for (const PlacedText& placed : document.page(pageNumber).texts) {
        if (placed.text == text) {
            return document.fonts()[static_cast<std::size_t>(placed.font)].size;
        }
    }
    return 0;
}

// The text of a PDF file as `pdftotext -layout` gives it, pages separated by form feeds.
inline QString PdfText(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The page count `pdfinfo` reads from a PDF file; -1 when it reads none.
inline int PdfPages(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    process.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:"))) {
            return line.mid(6).trimmed().toInt();
        }
    }
    return -1;
}

// The title `pdfinfo` reads from a PDF file's information.
inline QString PdfTitle(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    process.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Title:"))) {
            return line.mid(6).trimmed();
        }
    }
    return {};
}

} // namespace kestrel::test
