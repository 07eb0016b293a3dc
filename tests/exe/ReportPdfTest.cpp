// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportPdf.h"

#include "QtPrinters.h"
#include "ReportRows.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace kestrel::test {
namespace {

// The command line with its own settings and milestone files, as a user's HOME holds them.
class ReportPdfCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SaveVariable("XDG_CONFIG_HOME", m_config);
        SaveVariable("XDG_DATA_HOME", m_data);
        ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        std::filesystem::create_directories(dir / "config" / "kestrel");
        std::filesystem::create_directories(dir / "data" / "kestrel");
        std::ofstream(dir / "config" / "kestrel" / "KESTREL.INI") << "[Target Date]\nTarget_Type=WorkDays\n";
        std::ofstream(dir / "data" / "kestrel" / "mileston.txt", std::ios::binary)
            << "\" 36525\",\"Last backup\"\r\n\" 36528\",\"Go live\"\r\n";
    }
    void TearDown() override
    {
        RestoreVariable("XDG_CONFIG_HOME", m_config);
        RestoreVariable("XDG_DATA_HOME", m_data);
    }

    struct Result
    {
        std::optional<int> code;
        std::string errors;
    };
    Result Run(QStringList arguments)
    {
        arguments.prepend(QStringLiteral("kestrel"));
        ::testing::internal::CaptureStderr();
        Result result;
        result.code = RunReportPdfCommand(arguments, clock);
        result.errors = ::testing::internal::GetCapturedStderr();
        return result;
    }
    QString Path(const char* name) const { return QString::fromStdString((dir / name).string()); }

    TempDir dir;
    FixedClock clock{PackDateTime(1999, 12, 30, 15, 20, 45)};

private:
    static void SaveVariable(const char* name, std::optional<std::string>& saved)
    {
        if (const char* value = std::getenv(name)) {
            saved = value;
        }
    }
    static void RestoreVariable(const char* name, const std::optional<std::string>& saved)
    {
        if (saved) {
            ::setenv(name, saved->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    std::optional<std::string> m_config;
    std::optional<std::string> m_data;
};

TEST_F(ReportPdfCommandTest, WritesTheReportOfTheSettingsAndMilestones)
{
    const QString path = Path("report.pdf");
    const Result result = Run({"--report-pdf", path, "--from", "1999-11"});
    EXPECT_EQ(result.code, 0) << result.errors;
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(PdfPages(path), 3);
    const QStringList pages = PdfText(path).split('\f');
    ASSERT_GE(pages.size(), 3);
    const struct
    {
        const char* heading;
        const char* firstRow;
        const char* lastRow;
    } expected[] = {
        {"WorkDays Date November 1999 Notes/Milestones", "-45 Nov 01, 1999 Monday", "-24 Nov 30, 1999 Tuesday"},
        {"WorkDays Date December 1999 Notes/Milestones", "-23 Dec 01, 1999 Wednesday",
         "-1 Dec 31, 1999 Friday Last backup"},
        {"WorkDays Date January 2000 Notes/Milestones", "Jan 01, 2000 Saturday", "0 Jan 03, 2000 Monday Go live"},
    };
    for (int i = 0; i < 3; ++i) {
        const QString page = pages[i].simplified();
        EXPECT_TRUE(page.startsWith("Year 2000 Conversion Project Countdown to January 1,2000")) << page.toStdString();
        EXPECT_TRUE(page.contains(expected[i].heading)) << page.toStdString();
        EXPECT_TRUE(page.contains(expected[i].firstRow)) << page.toStdString();
        EXPECT_TRUE(page.endsWith(expected[i].lastRow)) << page.toStdString();
    }

    // Without --from the report starts with the present month.
    EXPECT_EQ(Run({"--report-pdf", path}).code, 0);
    EXPECT_EQ(PdfPages(path), 2);
}

TEST_F(ReportPdfCommandTest, DashWritesTheReportToStandardOutputTitledKestrelReport)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> output(std::tmpfile(), &std::fclose);
    ASSERT_TRUE(output);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    ::testing::internal::CaptureStderr();
    const std::optional<int> code =
        RunReportPdfCommand({"kestrel", "--report-pdf", "-", "--from", "1999-12"}, clock, output.get());
    const std::string errors = ::testing::internal::GetCapturedStderr();
    std::filesystem::current_path(before);
    EXPECT_EQ(code, 0) << errors;
    EXPECT_FALSE(std::filesystem::exists(dir / "-")) << "no file named \"-\"";

    std::rewind(output.get());
    std::string bytes;
    for (int c = std::fgetc(output.get()); c != EOF; c = std::fgetc(output.get())) {
        bytes.push_back(static_cast<char>(c));
    }
    ASSERT_EQ(bytes.rfind("%PDF-", 0), 0u);
    std::ofstream(dir / "out.pdf", std::ios::binary) << bytes;
    EXPECT_EQ(PdfPages(Path("out.pdf")), 2);
    EXPECT_EQ(PdfTitle(Path("out.pdf")), "Kestrel Report");
}

TEST_F(ReportPdfCommandTest, BadRequestsFailWithAReason)
{
    const QString path = Path("report.pdf");
    const struct
    {
        QStringList arguments;
        int code;
        const char* says;
    } cases[] = {
        {{"--report-pdf"}, 2, "missing value: --report-pdf"},
        {{"--report-pdf", path, "--from", "1999-13"}, 2, "--from needs a month written YYYY-MM"},
        {{"--report-pdf", path, "--from", "December"}, 2, "not \"December\""},
        {{"--report-pdf", path, "--from"}, 2, "missing value: --from"},
        {{"--report-pdf", path, "--pages", "2"}, 2, "unknown option or missing value: --pages"},
        {{"--report-pdf", path, "extra"}, 2, "unexpected argument: extra"},
        {{"--report-pdf", path, "--from", "2000-02"}, 1, "no pages: February 2000 begins after"},
        {{"--report-pdf", path, "--from", "1850-01"}, 1, "6 Overflow"},
        {{"--report-pdf", Path("report.pdf/inside.pdf"), "--from", "1999-12"}, 1, "inside.pdf\" could not be written"},
    };
    for (const auto& c : cases) {
        const Result result = Run(c.arguments);
        EXPECT_EQ(result.code, c.code) << c.arguments.join(' ').toStdString();
        EXPECT_NE(result.errors.find(c.says), std::string::npos)
            << c.arguments.join(' ').toStdString() << ": " << result.errors;
        EXPECT_FALSE(std::filesystem::exists(dir / "report.pdf")) << c.arguments.join(' ').toStdString();
    }
    EXPECT_EQ(Run({"--other"}).code, std::nullopt) << "anything else starts the program as usual";
}

TEST_F(ReportPdfCommandTest, KestrelsOwnFilesAreNeverReplaced)
{
    const std::filesystem::path settings = dir / "config" / "kestrel" / "KESTREL.INI";
    const std::filesystem::path milestones = dir / "data" / "kestrel" / "mileston.txt";
    std::ofstream(settings) << "[File Options]\nContinuous_Save=1\nCount_Down_File=" << (dir / "count.txt").string()
                            << "\n[Calendar]\nCalendar File=" << (dir / "feed.ics").string() << "\n";
    std::ofstream(dir / "count.txt") << "T-2\r\n";
    std::ofstream(dir / "feed.ics") << "BEGIN:VCALENDAR\r\n";
    std::filesystem::create_symlink(milestones, dir / "milestones.pdf");
    const struct
    {
        std::filesystem::path path;
        std::filesystem::path own;
        const char* says;
    } cases[] = {
        // clang-format off
        {settings,                  settings,           "it is the settings file"},
        {milestones,                milestones,         "it is the milestone file"},
        {dir / "milestones.pdf",    milestones,         "it is the milestone file"},
        {dir / "count.txt",         dir / "count.txt",  "it is the countdown file"},
        {dir / "." / "feed.ics",    dir / "feed.ics",   "it is the calendar feed"},
        // clang-format on
    };
    for (const auto& c : cases) {
        const std::string before = ReadFile(c.own);
        const Result result = Run({"--report-pdf", QString::fromStdString(c.path.string()), "--from", "1999-12"});
        EXPECT_EQ(result.code, 1) << c.path;
        EXPECT_NE(result.errors.find(c.says), std::string::npos) << c.path << ": " << result.errors;
        EXPECT_EQ(ReadFile(c.own), before) << c.path;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "milestones.pdf"));
}

} // namespace
} // namespace kestrel::test
