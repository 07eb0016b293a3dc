// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportPainter.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace kestrel {

void PaintReportPage(QPainter& painter, const ReportDocument& document, int number)
{
    if (number < 1 || number > document.pageCount()) {
        return;
    }
    const ReportPage& page = document.page(number);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    // The painter counts in points already: a font of n points must come out n units high, so
    // it is asked for at n points as the device would turn its own units into points.
    const int dpi = painter.device() != nullptr ? std::max(painter.device()->logicalDpiY(), 1) : 72;
    const double toDevicePoints = 72.0 / dpi;
    std::vector<QFont> fonts;
    fonts.reserve(document.fonts().size());
    for (const ReportFont& font : document.fonts()) {
        fonts.push_back(QtFontOf(font, font.size * toDevicePoints));
    }

    QPen gridPen(QColor(0x60, 0x60, 0x60));
    gridPen.setWidthF(0.5);
    painter.setPen(gridPen);
    painter.drawLines(page.lines.data(), static_cast<int>(page.lines.size()));

    painter.setPen(Qt::black);
    int current = -1;
    for (const PlacedText& text : page.texts) {
        if (text.font != current && text.font >= 0 && static_cast<std::size_t>(text.font) < fonts.size()) {
            current = text.font;
            painter.setFont(fonts[static_cast<std::size_t>(current)]);
        }
        painter.drawText(text.box, text.alignment, text.text);
    }
    painter.restore();
}

PrintOutcome PrintReport(const ReportDocument& document, QPagedPaintDevice& device, int fromPage, int toPage,
                         const PrintProgress& progress)
{
    PrintOutcome outcome;
    fromPage = std::max(fromPage, 1);
    toPage = std::min(toPage, document.pageCount());
    if (fromPage > toPage) {
        outcome.result = PrintOutcome::Result::Failed;
        outcome.error = QStringLiteral("The report has no pages to print.");
        return outcome;
    }
    auto* printer = dynamic_cast<QPrinter*>(&device);
    QPainter painter;
    if (!painter.begin(&device)) {
        outcome.result = PrintOutcome::Result::Failed;
        outcome.error = printer != nullptr && !printer->outputFileName().isEmpty()
                            ? QStringLiteral("The file \"%1\" could not be written.").arg(printer->outputFileName())
                            : QStringLiteral("The printer could not be started.");
        return outcome;
    }
    const double scaleX = device.logicalDpiX() / 72.0;
    const double scaleY = device.logicalDpiY() / 72.0;
    const int total = toPage - fromPage + 1;
    for (int number = fromPage; number <= toPage; ++number) {
        if (number > fromPage && !device.newPage()) {
            outcome.result = PrintOutcome::Result::Failed;
            outcome.error =
                QStringLiteral("The printer stopped after %1 of %2 pages.").arg(number - fromPage).arg(total);
            break;
        }
        painter.resetTransform();
        painter.scale(scaleX, scaleY);
        PaintReportPage(painter, document, number);
        ++outcome.pagesPrinted;
        if (progress && !progress(outcome.pagesPrinted, total) && number < toPage) {
            outcome.result = PrintOutcome::Result::Cancelled;
            if (printer != nullptr) {
                printer->abort();
            }
            break;
        }
    }
    if (painter.isActive()) {
        painter.end();
    }
    return outcome;
}

} // namespace kestrel
