// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineF>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QFont;
class QLocale;
class QPageLayout;

namespace kestrel {

// A font as the report asks for it: a family name, a size in points, bold and italic.
struct ReportFont
{
    QString name = QStringLiteral("Arial");
    double size = 10.0;
    bool bold = false;
    bool italic = false;

    friend bool operator==(const ReportFont&, const ReportFont&) = default;
};

// The paper and its margins, in points (1/72 inch), as the pages are laid out on it.
struct PageGeometry
{
    QSizeF paper;
    QMarginsF margins;

    // The area text is written into.
    QRectF body() const;
    friend bool operator==(const PageGeometry&, const PageGeometry&) = default;
};

// The margin the report keeps at least on every side, even where a printer could print closer
// to the edge: half an inch.
inline constexpr double kReportMargin = 36.0;

// The preview's paper: Letter where the locale's country uses it (the United States, Canada and
// their neighbours), A4 everywhere else, with the report's margins.
PageGeometry PreviewGeometry(const QLocale& locale);
// The paper of a printer's page layout; each margin is the layout's or the report's, whichever
// is wider.
PageGeometry GeometryOf(const QPageLayout& layout);

// The Qt font for a report font at a given point size (which may differ from the report
// font's size when a device is drawn on at a scale), the same for measuring and drawing.
QFont QtFontOf(const ReportFont& font, double pointSize);

// How a table column aligns its cells: "<" before a width makes it left-aligned, ">" right,
// "^" centred; a width without a mark is centred.
enum class CellAlignment
{
    Left,
    Centre,
    Right,
};

struct TableColumn
{
    double width = 0; // twips (1/1440 inch)
    CellAlignment alignment = CellAlignment::Centre;
};

// A table as the document writes it: its columns and its rows of cells, the first row being
// the header. A table spans the width of the page's body, its columns in the proportions of
// their widths (so a table of 9500 twips fills a Letter and an A4 page alike); a cell whose text
// is wider than its column wraps onto more lines.
struct TableText
{
    std::vector<TableColumn> columns;
    std::vector<QStringList> rows;
};

// The left and right edges of a table's columns across a body, in points.
std::vector<double> ColumnEdges(const std::vector<TableColumn>& columns, const QRectF& body);

// Reads a table text: the column format ("1800|2000|1800|<3900;": widths in twips separated by
// "|", an alignment mark before a width, ";" at the end), then rows whose cells are separated
// by "|", each row ended by ";". A width that is not a number counts as 0; a last row without
// its ";" is still a row; rows with more cells than columns keep only as many cells.
TableText ParseTableText(const QString& text);

// One string placed on a page: the box it is written in (points, from the paper's top-left
// corner), the index of its font in the document's font list and its Qt alignment flags.
struct PlacedText
{
    QRectF box;
    QString text;
    int font = 0;
    int alignment = 0;
};

// A page as composition leaves it: positions and strings, nothing drawn yet.
struct ReportPage
{
    std::vector<PlacedText> texts;
    std::vector<QLineF> lines;
};

// The report's document: text written with the current font flows down the page as paragraphs
// and tables; a table or paragraph that does not fit continues on a new page. Composition lays
// the text out once, with the fonts' measurements, into a list of pages; painting (see
// ReportPainter.h) only draws what is placed. Measuring needs the application's font database,
// so a QGuiApplication must exist.
class ReportDocument
{
public:
    explicit ReportDocument(PageGeometry geometry);
    ~ReportDocument();
    ReportDocument(const ReportDocument&) = delete;
    ReportDocument& operator=(const ReportDocument&) = delete;

    const PageGeometry& geometry() const { return m_geometry; }

    // The font of the text written next.
    const ReportFont& font() const { return m_font; }
    void setFontName(const QString& name) { m_font.name = name; }
    void setFontSize(double points) { m_font.size = points; }
    void setFontBold(bool bold) { m_font.bold = bold; }
    void setFontItalic(bool italic) { m_font.italic = italic; }

    // Starts a new, empty document (the font stays as it is) and ends it. Text written while no
    // document is open starts one.
    void StartDoc();
    void EndDoc();
    bool isOpen() const { return m_open; }
    // Begins a new page; the first text of a document begins the first page by itself.
    void NewPage();

    // Writes a paragraph, wrapped at the body's width; an empty text leaves one empty line.
    void Paragraph(const QString& text);
    // Writes a table from its columns and rows, already split into cells (so that a cell may hold
    // "|" and ";").
    void Table(const TableText& table);

    int pageCount() const { return static_cast<int>(m_pages.size()); }
    // Page 1 to pageCount().
    const ReportPage& page(int number) const { return m_pages.at(static_cast<std::size_t>(number - 1)); }
    // The fonts the placed texts refer to by index.
    const std::vector<ReportFont>& fonts() const { return m_fonts; }

    // The height of one line of text in a font, in points.
    static double LineHeight(const ReportFont& font);
    // The width of a text in a font, in points.
    static double TextWidth(const ReportFont& font, const QString& text);

private:
    struct Measure;
    // The index of the current font in m_fonts, added when new.
    int fontIndex();
    void ensurePage();
    // Moves to a new page when `height` does not fit below the current position.
    void makeRoom(double height);
    std::vector<QString> wrap(const QString& text, double width, const Measure& measure) const;

    PageGeometry m_geometry;
    ReportFont m_font;
    std::vector<ReportFont> m_fonts;
    std::vector<ReportPage> m_pages;
    std::vector<std::unique_ptr<Measure>> m_measures; // one per entry of m_fonts
    double m_y = 0;                                   // where the next line goes, from the paper's top
    bool m_open = false;
    bool m_pageFresh = false; // the current page holds nothing yet
};

} // namespace kestrel
