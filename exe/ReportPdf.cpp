// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportPdf.h"

#include "AtomicFile.h"
#include "Countdowns.h"
#include "Holidays.h"
#include "Milestones.h"
#include "ProgramSettings.h"
#include "ReportComposer.h"
#include "RuntimeError.h"
#include "Settings.h"
#include "WorkDaysSetup.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kestrel {

namespace {

void Complain(const QString& message)
{
    std::fprintf(stderr, "kestrel: %s\n", message.toLocal8Bit().constData());
}

} // namespace

namespace {

// The document as the bytes of a PDF file; the outcome says whether every page was drawn.
PrintOutcome ComposePdf(const ReportDocument& document, QByteArray& bytes, const PrintProgress& progress)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Kestrel"));
    writer.setTitle(QStringLiteral("Kestrel Report"));
    writer.setPageLayout(
        QPageLayout(QPageSize(document.geometry().paper, QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
    return PrintReport(document, writer, 1, document.pageCount(), progress);
}

} // namespace

PrintOutcome WriteReportPdf(const ReportDocument& document, const QString& path, const OwnFilePaths& own,
                            const PrintProgress& progress)
{
    QByteArray bytes;
    PrintOutcome outcome;
    if (std::optional<QString> refused = OwnFileRefusalText(path, own)) {
        outcome.result = PrintOutcome::Result::Failed;
        outcome.error = std::move(*refused);
        return outcome;
    }
    outcome = ComposePdf(document, bytes, progress);
    if (outcome.result != PrintOutcome::Result::Printed) {
        return outcome;
    }
    try {
        ReplaceFileContents(path.toStdString(),
                            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const RuntimeError& error) {
        outcome.result = PrintOutcome::Result::Failed;
        outcome.error = QStringLiteral("The file \"%1\" could not be written: %2.")
                            .arg(path, QString::fromStdString(error.description()));
    }
    return outcome;
}

PrintOutcome WriteReportPdf(const ReportDocument& document, std::FILE* output)
{
    QByteArray bytes;
    PrintOutcome outcome = ComposePdf(document, bytes, {});
    if (outcome.result != PrintOutcome::Result::Printed) {
        return outcome;
    }
    const std::size_t size = static_cast<std::size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, output) != size || std::fflush(output) != 0) {
        outcome.result = PrintOutcome::Result::Failed;
        outcome.error = QStringLiteral("standard output could not be written: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    return outcome;
}

std::optional<QString> OwnFileRefusalText(const QString& path, const OwnFilePaths& own)
{
    const std::optional<OwnFile> clash = OwnFileAt(path.toStdString(), own);
    if (!clash) {
        return std::nullopt;
    }
    return QStringLiteral("The file \"%1\" could not be written: it is %2, which the report must not replace.")
        .arg(path, QString::fromStdString(OwnFileName(*clash)));
}

bool AsksForReportPdf(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--report-pdf") == 0) {
            return true;
        }
    }
    return false;
}

int RunReportPdfProgram(int argc, char** argv)
{
    // Fonts and PDF output need no display: the offscreen platform serves without one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const SystemClock clock;
    return RunReportPdfCommand(QGuiApplication::arguments(), clock).value_or(2);
}

std::optional<int> RunReportPdfCommand(const QStringList& arguments, const Clock& clock, std::FILE* output)
{
    if (!arguments.contains(QStringLiteral("--report-pdf"))) {
        return std::nullopt;
    }
    QString path;
    QString from;
    CountdownOption option;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if ((argument == QLatin1String("--report-pdf") || argument == QLatin1String("--from")) &&
            i + 1 < arguments.size()) {
            (argument == QLatin1String("--from") ? from : path) = arguments.at(++i);
        } else if (argument == QLatin1String("--countdown") && i + 1 < arguments.size() && !option.settingsFile) {
            option.name = arguments.at(++i).toStdString();
        } else if (argument == QLatin1String("--settings") && i + 1 < arguments.size() && !option.name) {
            option.settingsFile = std::filesystem::path(arguments.at(++i).toLocal8Bit().toStdString());
        } else {
            Complain(argument.startsWith(QLatin1Char('-'))
                         ? QStringLiteral("unknown option or missing value: %1").arg(argument)
                         : QStringLiteral("unexpected argument: %1").arg(argument));
            Complain(QStringLiteral(
                "usage: kestrel [--countdown NAME | --settings FILE] --report-pdf FILE [--from YYYY-MM]"));
            return 2;
        }
    }
    if (path.isEmpty()) {
        Complain(QStringLiteral("--report-pdf needs the name of the PDF file to write"));
        return 2;
    }

    const DateParts today = SplitDate(GetPresentDate(clock));
    int year = today.year;
    int month = today.month;
    if (!from.isEmpty()) {
        static const QRegularExpression monthPattern(QStringLiteral("^(\\d{4})-(\\d{1,2})$"));
        const QRegularExpressionMatch match = monthPattern.match(from);
        year = match.hasMatch() ? match.captured(1).toInt() : 0;
        month = match.hasMatch() ? match.captured(2).toInt() : 0;
        if (year < 100 || month < 1 || month > 12) {
            Complain(QStringLiteral("--from needs a month written YYYY-MM, such as 1999-12, not \"%1\"").arg(from));
            return 2;
        }
    }

    const std::variant<CountdownPlace, std::string> resolved = ResolveCountdown(option, UserCountdownsHome());
    if (const std::string* error = std::get_if<std::string>(&resolved)) {
        Complain(QString::fromStdString(*error));
        return 2;
    }
    const CountdownPlace& countdown = std::get<CountdownPlace>(resolved);
    const SettingsFile settings(countdown.settingsFile);
    ProgramSettings programSettings = LoadProgramSettings(settings, countdown.dataDirectory);
    // The holiday cache follows calendars changed since it was built.
    for (const std::string& problem :
         UpdateHolidayCache(settings.path(), programSettings, HolidayFiles(settings), false)) {
        Complain(QString::fromStdString(problem));
    }
    LoadWorkCalendar(programSettings, settings.path());
    if (!programSettings.workDaysProblem.empty()) {
        Complain(QString::fromStdString(programSettings.workDaysProblem));
    }
    MilestoneTable milestones;
    if (const auto error = milestones.LoadMilestones(MilestoneFilePath(programSettings, countdown.dataDirectory))) {
        Complain(QStringLiteral("milestones: %1 (the report shows the milestones read before it)")
                     .arg(QString::fromStdString(error->report())));
    }

    ReportDocument document(PreviewGeometry(QLocale()));
    try {
        ReportComposer composer(document, ReportInputsOf(programSettings, milestones));
        composer.ComposeReport(year, month);
        if (composer.pageNumber() == 0) {
            Complain(QStringLiteral("the report has no pages: %1 begins after the target date %2")
                         .arg(QString::fromStdString(Format(PackDate(year, month, 1), "mmmm yyyy")),
                              QString::fromStdString(
                                  Format(ReportInputsOf(programSettings, milestones).target, "mmmm d, yyyy"))));
            return 1;
        }
    } catch (const RuntimeError& error) {
        Complain(QStringLiteral("the report cannot be composed: %1%2")
                     .arg(QString::fromStdString(error.report()),
                          error.number() == RuntimeError::Overflow
                              ? QStringLiteral(" (a count goes beyond 32768 days; start at a later month)")
                              : QString()));
        return 1;
    }

    // "-" is standard output, as for --export-ics.
    const PrintOutcome outcome =
        path == QLatin1String("-")
            ? WriteReportPdf(document, output)
            : WriteReportPdf(document, path, OwnFilesOf(settings, programSettings, countdown.dataDirectory));
    if (outcome.result != PrintOutcome::Result::Printed) {
        Complain(outcome.error);
        return 1;
    }
    return 0;
}

} // namespace kestrel
