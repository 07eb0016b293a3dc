// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The project report at its largest: a count of 32752 days, 1077 monthly pages. Composition,
// the whole PDF (with the process's peak memory) and turning a preview page.
#include "Milestones.h"
#include "ProgramSettings.h"
#include "ReportComposer.h"
#include "ReportDocument.h"
#include "ReportPainter.h"
#include "ReportPdf.h"
#include "TempDir.h"

#include <QApplication>
#include <QImage>
#include <QLocale>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace kestrel {
namespace {

// Target 1 January 2000, a milestone in every month, the report from May 1910.
struct LongestReport
{
    LongestReport()
    {
        settings.ProjectTitle = "Year 2000 Conversion Project";
        for (int year = 1910; year <= 1999; ++year) {
            for (int month = 1; month <= 12; ++month) {
                milestones.PutMilestone(0, PackDate(year, month, 15), "Monthly review of the conversion");
            }
        }
    }
    std::unique_ptr<ReportDocument> compose() const
    {
        auto document =
            std::make_unique<ReportDocument>(PreviewGeometry(QLocale(QLocale::English, QLocale::UnitedStates)));
        ReportComposer composer(*document, ReportInputsOf(settings, milestones));
        composer.ComposeReport(1910, 5);
        return document;
    }
    ProgramSettings settings;
    MilestoneTable milestones;
};

const LongestReport& Report()
{
    static const LongestReport report;
    return report;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ComposeLongestReport(benchmark::State& state)
{
    int pages = 0;
    for (auto _ : state) {
        pages = Report().compose()->pageCount();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ComposeLongestReport)->Unit(benchmark::kMillisecond);

void BM_LongestReportAsPdf(benchmark::State& state)
{
    test::TempDir dir;
    const QString path = QString::fromStdString((dir / "report.pdf").string());
    for (auto _ : state) {
        const auto document = Report().compose();
        const PrintOutcome outcome = WriteReportPdf(*document, path, OwnFilePaths{});
        if (outcome.pagesPrinted != 1077) {
            state.SkipWithError("not every page was written");
        }
    }
    state.counters["peak_MiB"] = PeakMegabytes();
}
BENCHMARK(BM_LongestReportAsPdf)->Unit(benchmark::kMillisecond);

// One page of the preview drawn at 100 % on a 96-dpi screen, as a page turn repaints it.
void BM_TurnPreviewPage(benchmark::State& state)
{
    const auto document = Report().compose();
    QImage screen(820, 1060, QImage::Format_ARGB32_Premultiplied);
    screen.setDotsPerMeterX(3780);
    screen.setDotsPerMeterY(3780);
    int page = 1;
    for (auto _ : state) {
        screen.fill(Qt::white);
        QPainter painter(&screen);
        painter.scale(96.0 / 72.0, 96.0 / 72.0);
        PaintReportPage(painter, *document, page);
        page = page % document->pageCount() + 1;
    }
}
BENCHMARK(BM_TurnPreviewPage)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrel
