// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OwnFiles.h"
#include "ReportDocument.h"
#include "ReportPainter.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace kestrel {

class Clock;

// Writes every page of a composed document as a PDF file of the document's paper. The file is
// replaced whole: on failure or cancel the old file (if any) is left as it was. A path that names
// one of Kestrel's own files (`own`: the settings file, the milestone file...) fails, and the file
// stays as it was. Returns the outcome; a failure's message names the file and the reason.
PrintOutcome WriteReportPdf(const ReportDocument& document, const QString& path, const OwnFilePaths& own,
                            const PrintProgress& progress = {});

// When path names one of Kestrel's own files, the message that says the report is not written
// there; nothing otherwise.
std::optional<QString> OwnFileRefusalText(const QString& path, const OwnFilePaths& own);

// Writes every page of a composed document as a PDF to an open stream (standard output); a
// failure's message says why.
PrintOutcome WriteReportPdf(const ReportDocument& document, std::FILE* output);

// The command line `kestrel --report-pdf FILE [--from YYYY-MM]`: writes the report from the
// settings file and the milestone file as a PDF without any window; FILE "-" writes it to
// `output` (standard output). Starts with the present
// month when --from is missing. Returns no value when the arguments do not ask for it (the
// program then starts as usual), otherwise the exit code: 0 when written, 2 for arguments that
// make no sense, 1 when the report cannot be composed or written; every failure is explained on
// standard error.
std::optional<int> RunReportPdfCommand(const QStringList& arguments, const Clock& clock, std::FILE* output = stdout);

// Whether the arguments ask for the report as a PDF (so that no display is needed).
bool AsksForReportPdf(int argc, char** argv);
// The whole program for that command line: an application without windows (no display needed),
// the local clock, then RunReportPdfCommand. main() calls it before any window is made:
//     if (kestrel::AsksForReportPdf(argc, argv)) return kestrel::RunReportPdfProgram(argc, argv);
int RunReportPdfProgram(int argc, char** argv);

} // namespace kestrel
