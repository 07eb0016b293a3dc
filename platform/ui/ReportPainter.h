// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ReportDocument.h"

#include <QString>

#include <functional>

class QPainter;
class QPagedPaintDevice;

namespace kestrel {

// Draws one page (1 to pageCount()) of a composed document. The painter's unit must be one
// point with the origin at the paper's top-left corner; the painter may be scaled further (the
// preview's zoom). Fonts follow the device's resolution so that text keeps its size.
void PaintReportPage(QPainter& painter, const ReportDocument& document, int number);

// The outcome of painting pages onto a printer or a PDF file.
struct PrintOutcome
{
    enum class Result
    {
        Printed,
        Cancelled,
        Failed,
    };
    Result result = Result::Printed;
    int pagesPrinted = 0;
    QString error; // why it failed
};

// Called after each page with the pages done and the pages to do; false cancels.
using PrintProgress = std::function<bool(int done, int total)>;

// Paints pages `fromPage` to `toPage` (clamped to the document's pages) of a composed document
// onto a printer (set to full-page painting) or a PDF writer (with zero margins), one device
// page each, first to last, and ends the device's document. A cancelled QPrinter job is aborted.
PrintOutcome PrintReport(const ReportDocument& document, QPagedPaintDevice& device, int fromPage, int toPage,
                         const PrintProgress& progress = {});

} // namespace kestrel
