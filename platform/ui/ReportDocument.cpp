// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportDocument.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>

#include <algorithm>
#include <array>

namespace kestrel {

namespace {

// Text is measured on an image of 1200 dots per inch, fine enough that the measurements hold on
// any printer or screen, then converted to points.
constexpr double kMeasureDpi = 1200.0;
constexpr double kPointsPerDot = 72.0 / kMeasureDpi;
// Space between a cell's text and its grid lines, in points.
constexpr double kCellPaddingX = 2.0;
constexpr double kCellPaddingY = 1.5;

QImage& MeasureDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = static_cast<int>(kMeasureDpi / 0.0254 + 0.5);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

Qt::Alignment QtAlignmentOf(CellAlignment alignment)
{
    switch (alignment) {
    case CellAlignment::Left:
        return Qt::AlignLeft;
    case CellAlignment::Right:
        return Qt::AlignRight;
    case CellAlignment::Centre:
        break;
    }
    return Qt::AlignHCenter;
}

TableColumn ParseColumn(QStringView token)
{
    TableColumn column;
    token = token.trimmed();
    while (!token.isEmpty() && !token.front().isDigit() && token.front() != QLatin1Char('.')) {
        switch (token.front().unicode()) {
        case '<':
            column.alignment = CellAlignment::Left;
            break;
        case '>':
            column.alignment = CellAlignment::Right;
            break;
        case '^':
            column.alignment = CellAlignment::Centre;
            break;
        default:
            break;
        }
        token = token.mid(1);
    }
    bool ok = false;
    const double width = token.trimmed().toDouble(&ok);
    column.width = ok && width > 0 ? width : 0.0;
    return column;
}

} // namespace

std::vector<double> ColumnEdges(const std::vector<TableColumn>& columns, const QRectF& body)
{
    double total = 0;
    for (const TableColumn& column : columns) {
        total += column.width;
    }
    const double scale = total > 0 ? body.width() / total : 0.0;
    std::vector<double> edges{body.left()};
    for (const TableColumn& column : columns) {
        edges.push_back(edges.back() + column.width * scale);
    }
    return edges;
}

// A font's measurements, in points.
struct ReportDocument::Measure
{
    explicit Measure(const ReportFont& font)
        : metrics(QtFontOf(font, font.size), &MeasureDevice()), lineHeight(metrics.lineSpacing() * kPointsPerDot),
          ascent(metrics.ascent() * kPointsPerDot), widestCharacter(metrics.maxWidth() * kPointsPerDot)
    {}
    double width(const QString& text) const { return metrics.horizontalAdvance(text) * kPointsPerDot; }
    // Whether the text fits a width, measured only when a quick bound cannot tell.
    bool fits(const QString& text, double available) const
    {
        return text.size() * widestCharacter <= available || width(text) <= available;
    }

    QFontMetricsF metrics;
    double lineHeight;
    double ascent;
    double widestCharacter;
};

QFont QtFontOf(const ReportFont& font, double pointSize)
{
    QFont qtFont(font.name);
    qtFont.setPointSizeF(std::max(pointSize, 0.01));
    qtFont.setBold(font.bold);
    qtFont.setItalic(font.italic);
    // Outlines as designed, so that text measured at one resolution fits at every other.
    qtFont.setHintingPreference(QFont::PreferNoHinting);
    // Plain text without ligatures: a printed "fi" stays two letters when copied or searched,
    // and text is drawn faster.
    qtFont.setStyleStrategy(QFont::PreferNoShaping);
    return qtFont;
}

QRectF PageGeometry::body() const
{
    return QRectF(QPointF(0, 0), paper).marginsRemoved(margins);
}

PageGeometry PreviewGeometry(const QLocale& locale)
{
    static constexpr std::array kLetterTerritories = {
        QLocale::UnitedStates, QLocale::Canada,   QLocale::Mexico,    QLocale::Philippines,
        QLocale::Chile,        QLocale::Colombia, QLocale::Venezuela, QLocale::PuertoRico,
    };
    const bool letter =
        std::find(kLetterTerritories.begin(), kLetterTerritories.end(), locale.territory()) != kLetterTerritories.end();
    const QPageSize size(letter ? QPageSize::Letter : QPageSize::A4);
    return PageGeometry{size.size(QPageSize::Point),
                        QMarginsF(kReportMargin, kReportMargin, kReportMargin, kReportMargin)};
}

PageGeometry GeometryOf(const QPageLayout& layout)
{
    const QMarginsF printer = layout.marginsPoints();
    const QMarginsF margins(std::max(printer.left(), kReportMargin), std::max(printer.top(), kReportMargin),
                            std::max(printer.right(), kReportMargin), std::max(printer.bottom(), kReportMargin));
    return PageGeometry{layout.fullRectPoints().size(), margins};
}

TableText ParseTableText(const QString& text)
{
    TableText table;
    const qsizetype formatEnd = text.indexOf(QLatin1Char(';'));
    const QStringView format = QStringView(text).left(formatEnd < 0 ? text.size() : formatEnd);
    for (const QStringView token : format.split(QLatin1Char('|'))) {
        table.columns.push_back(ParseColumn(token));
    }
    if (formatEnd < 0) {
        return table;
    }
    const QStringView rows = QStringView(text).mid(formatEnd + 1);
    qsizetype start = 0;
    while (start < rows.size()) {
        qsizetype end = rows.indexOf(QLatin1Char(';'), start);
        if (end < 0) {
            end = rows.size();
        }
        QStringList cells;
        for (const QStringView cell : rows.mid(start, end - start).split(QLatin1Char('|'))) {
            cells << cell.toString();
        }
        while (cells.size() > static_cast<qsizetype>(table.columns.size())) {
            cells.removeLast();
        }
        table.rows.push_back(std::move(cells));
        start = end + 1;
    }
    return table;
}

ReportDocument::ReportDocument(PageGeometry geometry) : m_geometry(geometry) {}

ReportDocument::~ReportDocument() = default;

double ReportDocument::LineHeight(const ReportFont& font)
{
    return Measure(font).lineHeight;
}

double ReportDocument::TextWidth(const ReportFont& font, const QString& text)
{
    return Measure(font).width(text);
}

void ReportDocument::StartDoc()
{
    m_pages.clear();
    m_fonts.clear();
    m_measures.clear();
    m_open = true;
    m_pageFresh = false;
}

void ReportDocument::EndDoc()
{
    m_open = false;
}

void ReportDocument::NewPage()
{
    if (!m_open) {
        StartDoc();
    }
    m_pages.emplace_back();
    m_y = m_geometry.body().top();
    m_pageFresh = true;
}

void ReportDocument::ensurePage()
{
    if (!m_open) {
        StartDoc();
    }
    if (m_pages.empty()) {
        NewPage();
    }
}

void ReportDocument::makeRoom(double height)
{
    if (!m_pageFresh && m_y + height > m_geometry.body().bottom() + 0.01) {
        NewPage();
    }
}

int ReportDocument::fontIndex()
{
    const auto found = std::find(m_fonts.begin(), m_fonts.end(), m_font);
    if (found != m_fonts.end()) {
        return static_cast<int>(found - m_fonts.begin());
    }
    m_fonts.push_back(m_font);
    m_measures.push_back(std::make_unique<Measure>(m_font));
    return static_cast<int>(m_fonts.size() - 1);
}

std::vector<QString> ReportDocument::wrap(const QString& text, double width, const Measure& measure) const
{
    std::vector<QString> lines;
    if (!text.contains(QLatin1Char('\n')) && measure.fits(text, width)) {
        lines.push_back(text);
        return lines;
    }
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& paragraph : normalised.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (measure.fits(candidate, width)) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty()) {
                lines.push_back(line);
            }
            // A word wider than the whole line is broken between characters.
            line.clear();
            for (const QChar character : word) {
                if (!line.isEmpty() && !measure.fits(line + character, width)) {
                    lines.push_back(line);
                    line.clear();
                }
                line += character;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

void ReportDocument::Paragraph(const QString& text)
{
    ensurePage();
    const int font = fontIndex();
    const Measure& measure = *m_measures[static_cast<std::size_t>(font)];
    const QRectF body = m_geometry.body();
    for (QString& line : wrap(text, body.width(), measure)) {
        makeRoom(measure.lineHeight);
        if (!line.isEmpty()) {
            m_pages.back().texts.push_back(PlacedText{QRectF(body.left(), m_y, body.width(), measure.lineHeight),
                                                      std::move(line), font, Qt::AlignLeft | Qt::AlignVCenter});
        }
        m_y += measure.lineHeight;
        m_pageFresh = false;
    }
}

void ReportDocument::Table(const TableText& table)
{
    if (table.columns.empty() || table.rows.empty()) {
        return;
    }
    ensurePage();
    const int font = fontIndex();
    const Measure& measure = *m_measures[static_cast<std::size_t>(font)];
    const QRectF body = m_geometry.body();

    const std::vector<double> edges = ColumnEdges(table.columns, body);

    double blockTop = -1; // top of the part of the table on the current page
    const auto closeBlock = [&] {
        if (blockTop < 0) {
            return;
        }
        for (const double x : edges) {
            m_pages.back().lines.emplace_back(x, blockTop, x, m_y);
        }
        blockTop = -1;
    };

    std::vector<std::vector<QString>> cellLines(table.columns.size());
    for (const QStringList& row : table.rows) {
        std::size_t lineCount = 1;
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const QString cell = static_cast<qsizetype>(c) < row.size() ? row.at(static_cast<qsizetype>(c)) : QString();
            const double inner = std::max(edges[c + 1] - edges[c] - 2 * kCellPaddingX, 1.0);
            cellLines[c] = wrap(cell, inner, measure);
            lineCount = std::max(lineCount, cellLines[c].size());
        }
        const double height = static_cast<double>(lineCount) * measure.lineHeight + 2 * kCellPaddingY;
        if (!m_pageFresh && m_y + height > body.bottom() + 0.01) {
            closeBlock();
            NewPage();
        }
        ReportPage& page = m_pages.back();
        if (blockTop < 0) {
            blockTop = m_y;
            page.lines.emplace_back(edges.front(), m_y, edges.back(), m_y);
        }
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const int alignment = static_cast<int>(QtAlignmentOf(table.columns[c].alignment) | Qt::AlignVCenter);
            double y = m_y + kCellPaddingY;
            for (QString& line : cellLines[c]) {
                if (!line.isEmpty()) {
                    page.texts.push_back(
                        PlacedText{QRectF(edges[c] + kCellPaddingX, y, edges[c + 1] - edges[c] - 2 * kCellPaddingX,
                                          measure.lineHeight),
                                   std::move(line), font, alignment});
                }
                y += measure.lineHeight;
            }
        }
        m_y += height;
        page.lines.emplace_back(edges.front(), m_y, edges.back(), m_y);
        m_pageFresh = false;
    }
    closeBlock();
}

} // namespace kestrel
