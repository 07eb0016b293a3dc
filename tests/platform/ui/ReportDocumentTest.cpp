// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportDocument.h"
#include "ReportPainter.h"
#include "ReportPreview.h"

#include "QtPrinters.h"
#include "TempDir.h"

#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

PageGeometry A4()
{
    return PreviewGeometry(QLocale(QLocale::German, QLocale::Germany));
}

// The texts of a page, top to bottom and left to right as placed.
QStringList TextsOf(const ReportPage& page)
{
    QStringList texts;
    for (const PlacedText& text : page.texts) {
        texts << text.text;
    }
    return texts;
}

TEST(ReportDocumentTest, TableTextReadsColumnsAlignmentsAndRows)
{
    const struct
    {
        const char* text;
        std::vector<double> widths;
        std::vector<CellAlignment> alignments;
        std::vector<QStringList> rows;
    } cases[] = {
        {"1800|2000|1800|<3900;",
         {1800, 2000, 1800, 3900},
         {CellAlignment::Centre, CellAlignment::Centre, CellAlignment::Centre, CellAlignment::Left},
         {}},
        {"1800|2000|1800|<3900;Days|Date|December 1999|Notes/Milestones;",
         {1800, 2000, 1800, 3900},
         {CellAlignment::Centre, CellAlignment::Centre, CellAlignment::Centre, CellAlignment::Left},
         {{"Days", "Date", "December 1999", "Notes/Milestones"}}},
        // A weekend row: the first cell empty; two rows; the last without its ";".
        {"<100|>200;|Jan 01, 2000;-3|x;7|y",
         {100, 200},
         {CellAlignment::Left, CellAlignment::Right},
         {{"", "Jan 01, 2000"}, {"-3", "x"}, {"7", "y"}}},
        // Too many cells are dropped; a width that is no number counts as 0; "^" centres.
        {"^50|abc;a|b|c|d;", {50, 0}, {CellAlignment::Centre, CellAlignment::Centre}, {{"a", "b"}}},
    };
    for (const auto& c : cases) {
        const TableText table = ParseTableText(QString::fromUtf8(c.text));
        ASSERT_EQ(table.columns.size(), c.widths.size()) << c.text;
        for (std::size_t i = 0; i < c.widths.size(); ++i) {
            EXPECT_EQ(table.columns[i].width, c.widths[i]) << c.text << " column " << i;
            EXPECT_EQ(table.columns[i].alignment, c.alignments[i]) << c.text << " column " << i;
        }
        EXPECT_EQ(table.rows, c.rows) << c.text;
    }
}

TEST(ReportDocumentTest, PaperFollowsTheLocaleAndThePrintersMargins)
{
    const PageGeometry a4 = PreviewGeometry(QLocale(QLocale::French, QLocale::France));
    EXPECT_NEAR(a4.paper.width(), 595.3, 0.5);
    EXPECT_NEAR(a4.paper.height(), 841.9, 0.5);
    const PageGeometry letter = PreviewGeometry(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(letter.paper, QSizeF(612, 792));
    EXPECT_EQ(letter.margins, QMarginsF(kReportMargin, kReportMargin, kReportMargin, kReportMargin));

    // A printer that needs 1 inch at the top keeps it; narrower margins widen to the report's.
    const QPageLayout layout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(10, 72, 10, 10),
                             QPageLayout::Point);
    const PageGeometry printer = GeometryOf(layout);
    EXPECT_EQ(printer.paper, QSizeF(792, 612));
    EXPECT_EQ(printer.margins, QMarginsF(kReportMargin, 72, kReportMargin, kReportMargin));
}

TEST(ReportDocumentTest, ParagraphsAndTablesFlowDownThePage)
{
    ReportDocument document(A4());
    const QRectF body = document.geometry().body();
    document.StartDoc();
    document.setFontSize(12);
    document.setFontBold(true);
    document.Paragraph(QStringLiteral("Countdown to January 1,2000"));
    document.setFontSize(10);
    document.Table(ParseTableText(QStringLiteral("1800|2000|1800|<3900;Days|Date|December 1999|Notes/Milestones;")));
    document.setFontBold(false);
    document.Paragraph(QString());
    document.setFontSize(13);
    document.Table(ParseTableText(
        QStringLiteral("1800|2000|1800|<3900;-31|Dec 01, 1999|Wednesday|;-30|Dec 02, 1999|Thursday|Go;")));
    document.EndDoc();

    ASSERT_EQ(document.pageCount(), 1);
    const ReportPage& page = document.page(1);
    EXPECT_EQ(TextsOf(page),
              (QStringList{"Countdown to January 1,2000", "Days", "Date", "December 1999", "Notes/Milestones", "-31",
                           "Dec 01, 1999", "Wednesday", "-30", "Dec 02, 1999", "Thursday", "Go"}));
    // The heading sits at the top of the body; each later text lies below or beside the one before.
    EXPECT_DOUBLE_EQ(page.texts[0].box.top(), body.top());
    for (std::size_t i = 1; i < page.texts.size(); ++i) {
        EXPECT_GE(page.texts[i].box.top(), page.texts[i - 1].box.top()) << i;
    }
    // The empty paragraph leaves a line between the header table and the rows.
    EXPECT_GT(page.texts[5].box.top() - page.texts[4].box.bottom(), ReportDocument::LineHeight({.size = 10}) * 0.9);
    // Columns span the body in the proportions of their widths; the first three are centred and
    // the notes column left-aligned.
    const double unit = body.width() / 9500;
    EXPECT_NEAR(page.texts[6].box.left(), body.left() + 1800 * unit + 2, 1e-9);
    EXPECT_NEAR(page.texts[11].box.left(), body.left() + 5600 * unit + 2, 1e-9);
    EXPECT_NEAR(page.texts[11].box.right(), body.right() - 2, 1e-9);
    EXPECT_TRUE(page.texts[5].alignment & Qt::AlignHCenter);
    EXPECT_TRUE(page.texts[11].alignment & Qt::AlignLeft);
    // Fonts by index: 12 bold, 10 bold, 13 regular.
    EXPECT_EQ(document.fonts()[static_cast<std::size_t>(page.texts[0].font)], (ReportFont{"Arial", 12, true, false}));
    EXPECT_EQ(document.fonts()[static_cast<std::size_t>(page.texts[1].font)], (ReportFont{"Arial", 10, true, false}));
    EXPECT_EQ(document.fonts()[static_cast<std::size_t>(page.texts[5].font)], (ReportFont{"Arial", 13, false, false}));
    // Grid: a line above the header and below each row, column edges beside the rows.
    EXPECT_FALSE(page.lines.empty());
    for (const QLineF& line : page.lines) {
        EXPECT_GE(line.x1(), body.left() - 1e-9);
        EXPECT_LE(line.x2(), body.right() + 1e-9);
        EXPECT_LE(line.y2(), body.bottom() + 1e-9);
    }
}

TEST(ReportDocumentTest, NewPagesAndOverflowingTablesMakePages)
{
    ReportDocument document(A4());
    EXPECT_EQ(document.pageCount(), 0);
    document.StartDoc();
    document.EndDoc();
    EXPECT_EQ(document.pageCount(), 0) << "a document with nothing written has no pages";

    document.StartDoc();
    document.Paragraph(QStringLiteral("one"));
    document.NewPage();
    document.Paragraph(QStringLiteral("two"));
    TableText table{{{2000, CellAlignment::Left}}, {}};
    for (int row = 0; row < 200; ++row) {
        table.rows.push_back({QString::number(row)});
    }
    document.Table(table);
    document.EndDoc();
    ASSERT_GE(document.pageCount(), 4);
    EXPECT_EQ(TextsOf(document.page(1)), QStringList{"one"});
    EXPECT_EQ(TextsOf(document.page(2)).front(), QStringLiteral("two"));
    // Every row is placed once, in order, and nothing runs below the body.
    QStringList rows;
    for (int number = 2; number <= document.pageCount(); ++number) {
        for (const PlacedText& text : document.page(number).texts) {
            EXPECT_LE(text.box.bottom(), document.geometry().body().bottom() + 1e-6) << text.text.toStdString();
            if (text.text != QLatin1String("two")) {
                rows << text.text;
            }
        }
    }
    ASSERT_EQ(rows.size(), 200);
    EXPECT_EQ(rows.front(), QStringLiteral("0"));
    EXPECT_EQ(rows.back(), QStringLiteral("199"));
    EXPECT_EQ(TextsOf(document.page(3)).front(), rows.at(TextsOf(document.page(2)).size() - 1));

    document.StartDoc();
    EXPECT_EQ(document.pageCount(), 0) << "starting a document drops the last one";
}

TEST(ReportDocumentTest, LongCellsAndParagraphsWrapInsideTheirWidth)
{
    ReportDocument document(A4());
    const QString note = QStringLiteral("Acceptance test of the payroll run with the auditors; then sign-off by the "
                                        "board | and a party");
    TableText table{{{1800, CellAlignment::Centre}, {3900, CellAlignment::Left}}, {{"-3", note}, {"-2", "Short"}}};
    document.Table(table);
    const ReportPage& page = document.page(1);
    QString joined;
    double firstRowBottom = 0;
    for (const PlacedText& text : page.texts) {
        if (text.box.left() > document.geometry().body().left() + 100) {
            EXPECT_LE(ReportDocument::TextWidth(document.fonts()[0], text.text), text.box.width() + 0.01)
                << text.text.toStdString();
            if (text.text != QLatin1String("Short")) {
                joined += (joined.isEmpty() ? QString() : QStringLiteral(" ")) + text.text;
                firstRowBottom = text.box.bottom();
            }
        }
    }
    EXPECT_EQ(joined, note) << "the note keeps its \";\" and \"|\" and every word";
    const PlacedText& shortCell = page.texts.back();
    EXPECT_EQ(shortCell.text, QStringLiteral("Short"));
    EXPECT_GE(shortCell.box.top(), firstRowBottom) << "the wrapped row is as tall as its lines";

    // A line break inside a cell starts a new line.
    ReportDocument broken(A4());
    broken.Table(TableText{{{3900, CellAlignment::Left}}, {{"first\nsecond"}}});
    EXPECT_EQ(TextsOf(broken.page(1)), (QStringList{"first", "second"}));
}

// Runs a poppler tool and returns its standard output.
QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPages(const QString& path)
{
    const QString info = RunTool(QStringLiteral("pdfinfo"), {path});
    for (const QString& line : info.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:"))) {
            return line.mid(6).trimmed().toInt();
        }
    }
    return -1;
}

// Five pages, each with its heading and a small table.
void ComposeFivePages(ReportDocument& document)
{
    document.StartDoc();
    for (int number = 1; number <= 5; ++number) {
        if (number > 1) {
            document.NewPage();
        }
        document.setFontSize(12);
        document.Paragraph(QStringLiteral("Heading of page %1").arg(number));
        document.setFontSize(10);
        document.Table(
            ParseTableText(QStringLiteral("1800|<3900;Row|Text;%1|first row %1;%1|last row %1;").arg(number)));
    }
    document.EndDoc();
}

TEST(ReportDocumentTest, PrintingAPageRangeToAPdfPrinterGivesExactlyThosePages)
{
    test::TempDir dir;
    const QString path = QString::fromStdString((dir / "range.pdf").string());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    ReportDocument document(GeometryOf(printer.pageLayout()));
    ComposeFivePages(document);
    printer.setFullPage(true);
    std::vector<int> progress;
    const PrintOutcome outcome = PrintReport(document, printer, 2, 3, [&](int done, int total) {
        progress.push_back(done * 10 + total);
        return true;
    });
    EXPECT_EQ(outcome.result, PrintOutcome::Result::Printed);
    EXPECT_EQ(outcome.pagesPrinted, 2);
    EXPECT_EQ(progress, (std::vector<int>{12, 22}));
    EXPECT_EQ(PdfPages(path), 2);
    const QString text = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    const QStringList pages = text.split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const int number = i + 2;
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Heading of page %1").arg(number))) << pages[i].toStdString();
        EXPECT_TRUE(pages[i].contains(QStringLiteral("first row %1").arg(number))) << pages[i].toStdString();
        EXPECT_TRUE(pages[i].contains(QStringLiteral("last row %1").arg(number))) << pages[i].toStdString();
    }
    EXPECT_FALSE(text.contains(QStringLiteral("page 1"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("page 4"))) << text.toStdString();
}

TEST(ReportDocumentTest, PdfWriterGetsEveryPageAndFailuresAndCancelsAreReported)
{
    test::TempDir dir;
    ReportDocument document(PreviewGeometry(QLocale(QLocale::English, QLocale::UnitedStates)));
    ComposeFivePages(document);

    const QString path = QString::fromStdString((dir / "all.pdf").string());
    {
        QPdfWriter writer(path);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
        EXPECT_EQ(PrintReport(document, writer, 1, 99).pagesPrinted, 5);
    }
    EXPECT_EQ(PdfPages(path), 5);
    EXPECT_TRUE(RunTool(QStringLiteral("pdfinfo"), {path}).contains(QStringLiteral("612 x 792")));

    // A printer whose file cannot be made: its folder is a file.
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path + QStringLiteral("/inside.pdf"));
    const PrintOutcome failed = PrintReport(document, printer, 1, 5);
    EXPECT_EQ(failed.result, PrintOutcome::Result::Failed);
    EXPECT_TRUE(failed.error.contains(QStringLiteral("inside.pdf"))) << failed.error.toStdString();

    // Cancelling after the second page stops there.
    printer.setOutputFileName(QString::fromStdString((dir / "cancelled.pdf").string()));
    const PrintOutcome cancelled = PrintReport(document, printer, 1, 5, [](int done, int) { return done < 2; });
    EXPECT_EQ(cancelled.result, PrintOutcome::Result::Cancelled);
    EXPECT_EQ(cancelled.pagesPrinted, 2);

    // Nothing to print.
    ReportDocument empty(document.geometry());
    EXPECT_EQ(PrintReport(empty, printer, 1, 1).result, PrintOutcome::Result::Failed);
}

// The preview owns the page shown: it stays within the document's pages, and a new document
// starts on its first page.
TEST(ReportPreviewTest, PageShownStaysWithinTheDocument)
{
    ReportPreview preview;
    EXPECT_EQ(preview.pageCount(), 0);
    preview.setPage(3);
    EXPECT_EQ(preview.page(), 1) << "no document: page 1";

    auto document = std::make_shared<ReportDocument>(A4());
    document->StartDoc();
    for (const char* text : {"one", "two", "three"}) {
        if (document->pageCount() > 0) {
            document->NewPage();
        }
        document->Paragraph(QString::fromLatin1(text));
    }
    document->EndDoc();
    preview.setDocument(document);
    EXPECT_EQ(preview.pageCount(), 3);
    // clang-format off
    const struct { int asked; int shown; } cases[] = {
        {2, 2}, {99, 3}, {0, 1}, {-5, 1}, {3, 3},
    };
    // clang-format on
    for (const auto& c : cases) {
        preview.setPage(c.asked);
        EXPECT_EQ(preview.page(), c.shown) << c.asked;
    }
    preview.setDocument(document);
    EXPECT_EQ(preview.page(), 1) << "a new document shows its first page";
}

} // namespace
} // namespace kestrel
