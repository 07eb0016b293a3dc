// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.h"
#include "StartUp.h"
#include "ScopedEnvironment.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QSysInfo>

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::test {
namespace {

struct CommandLineCase
{
    QStringList arguments;
    bool run;
    int exitCode;
    const char* output; // a part of standard output
    const char* error;  // a part of standard error
};

class ProgramCommandLine : public ::testing::TestWithParam<CommandLineCase>
{};

TEST_P(ProgramCommandLine, AnswersOrRuns)
{
    const CommandLineCase& c = GetParam();
    QCommandLineParser parser;
    QStringList arguments{QStringLiteral("/usr/bin/kestrel")};
    arguments.append(c.arguments);
    const CommandLineAnswer answer =
        ReadCommandLine(parser, arguments, QStringLiteral("kestrel"), QStringLiteral("1.2.3"), false);
    EXPECT_EQ(answer.run, c.run);
    EXPECT_EQ(answer.exitCode, c.exitCode);
    EXPECT_TRUE(answer.output.contains(QString::fromUtf8(c.output))) << answer.output.toStdString();
    EXPECT_TRUE(answer.error.contains(QString::fromUtf8(c.error))) << answer.error.toStdString();
    EXPECT_EQ(answer.output.isEmpty(), c.run || c.exitCode != 0);
    EXPECT_EQ(answer.error.isEmpty(), c.exitCode == 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Kestrel, ProgramCommandLine,
    ::testing::Values(
        CommandLineCase{{}, true, 0, "", ""},
        CommandLineCase{{"--help"}, false, 0, "Usage: kestrel [options]\n", ""},
        CommandLineCase{{"-h"}, false, 0, "-v, --version", ""},
        CommandLineCase{{"--version"}, false, 0, "kestrel 1.2.3\n", ""},
        CommandLineCase{{"-v"}, false, 0, "kestrel 1.2.3\n", ""},
        // Qt's own options are for QApplication and not listed in the help.
        CommandLineCase{{"-platform", "offscreen"}, true, 0, "", ""},
        CommandLineCase{{"-style", "Fusion", "-reverse"}, true, 0, "", ""},
        CommandLineCase{{"--bogus"}, false, 2, "", "kestrel: Unknown option 'bogus'.\nTry 'kestrel --help'"},
        CommandLineCase{{"-hv"}, false, 2, "", "Unknown option 'hv'"},
        // Qt 6 has no -sync: an unknown option, said before any display is looked for.
        CommandLineCase{{"--sync"}, false, 2, "", "kestrel: Unknown option 'sync'."},
        CommandLineCase{{"--display", ":1", "--visual", "32"}, true, 0, "", ""},
        CommandLineCase{{"-platform"}, false, 2, "", "Missing value after '-platform'"},
        CommandLineCase{{"notes.txt"}, false, 2, "", "kestrel: unexpected argument 'notes.txt'."}));
// clang-format on

// What the commands without a window see of a command line: Qt's options gone, values and all.
TEST(WithoutQtOptions, TakesOutQtsOptionsAndTheirValues)
{
    // clang-format off
    const struct { std::vector<const char*> given; std::vector<const char*> kept; } cases[] = {
        {{"kestrel", "-platform", "offscreen", "--line"}, {"kestrel", "--line"}},
        {{"kestrel", "--line", "--display", ":1", "-reverse"}, {"kestrel", "--line"}},
        {{"kestrel", "--report-pdf", "-", "-style", "Fusion"}, {"kestrel", "--report-pdf", "-"}},
        {{"kestrel", "--export-ics", "out.ics", "--watch"}, {"kestrel", "--export-ics", "out.ics", "--watch"}},
        {{"kestrel", "--sync", "--line"}, {"kestrel", "--sync", "--line"}},
        {{"kestrel", "-platform"}, {"kestrel"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        std::vector<char*> argv;
        for (const char* argument : c.given) {
            argv.push_back(const_cast<char*>(argument));
        }
        const std::vector<char*> kept = WithoutQtOptions(static_cast<int>(argv.size()), argv.data());
        ASSERT_FALSE(kept.empty());
        EXPECT_EQ(kept.back(), nullptr);
        EXPECT_EQ(std::vector<std::string>(kept.begin(), kept.end() - 1),
                  std::vector<std::string>(c.kept.begin(), c.kept.end()));
    }
}

TEST(ProgramCommandLineHelp, ListsNoneOfQtsOwnOptions)
{
    QCommandLineParser parser;
    const CommandLineAnswer answer = ReadCommandLine(parser, {QStringLiteral("kestrel"), QStringLiteral("--help")},
                                                     QStringLiteral("kestrel"), QStringLiteral("1"), false);
    for (const char* hidden : {"platform", "style", "display", "reverse"}) {
        EXPECT_FALSE(answer.output.contains(QString::fromLatin1(hidden))) << hidden;
    }
}

struct NoDisplayCase
{
    QStringList qtMessages;
    const char* display;
    const char* waylandDisplay;
    const char* line;
};

class NoDisplay : public ::testing::TestWithParam<NoDisplayCase>
{};

TEST_P(NoDisplay, SaysWhyInOneLine)
{
    const NoDisplayCase& c = GetParam();
    const QString line = NoDisplayLine(QStringLiteral("kestrel"), c.qtMessages, QString::fromUtf8(c.display),
                                       QString::fromUtf8(c.waylandDisplay));
    EXPECT_EQ(line.toStdString(), c.line);
    EXPECT_FALSE(line.contains(QLatin1Char('\n')));
}

const QStringList kXcbFailed{QStringLiteral("could not connect to display "),
                             QStringLiteral("Could not load the Qt platform plugin \"xcb\" in \"\" even though it was "
                                            "found."),
                             QStringLiteral("This application failed to start because no Qt platform plugin could be "
                                            "initialized. Reinstalling the application may fix this problem.")};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Causes, NoDisplay,
    ::testing::Values(
        NoDisplayCase{kXcbFailed, "", "", "kestrel: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session"},
        NoDisplayCase{kXcbFailed, ":7", "", "kestrel: no display found (could not connect to DISPLAY=:7); start it from a desktop session"},
        NoDisplayCase{kXcbFailed, ":7", "wayland-0", "kestrel: no display found (could not connect to DISPLAY=:7 or WAYLAND_DISPLAY=wayland-0); start it from a desktop session"},
        NoDisplayCase{{QStringLiteral("Could not find the Qt platform plugin \"wayland\" in \"\""), QStringLiteral("This application failed to start because no Qt platform plugin could be initialized.")}, "", "wayland-0", "kestrel: cannot open a window: Qt has no \"wayland\" platform plugin here (see QT_QPA_PLATFORM)"}));
// clang-format on

// One running copy per session, through a lock file and a local socket in the runtime folder.
class SingleInstanceTest : public ::testing::Test
{
protected:
    QString folder() const { return QString::fromStdString(dir.path().string()); }
    TempDir dir;
};

TEST_F(SingleInstanceTest, SecondCopyIsRefusedAndAsksTheFirstToShow)
{
    SingleInstance first(folder(), QStringLiteral("kestrel"));
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    QSignalSpy shown(&first, &SingleInstance::showRequested);

    SingleInstance second(folder(), QStringLiteral("kestrel"));
    EXPECT_EQ(second.claim(), SingleInstance::Claim::Running);
    EXPECT_TRUE(second.askFirstToShow(1000));
    EXPECT_TRUE(shown.wait(2000));
    EXPECT_EQ(shown.count(), 1);

    // Another program's name is another lock.
    SingleInstance other(folder(), QStringLiteral("kestrel-saver"));
    EXPECT_EQ(other.claim(), SingleInstance::Claim::First);
}

TEST_F(SingleInstanceTest, AnotherCopyMayAskTheFirstToCloseAndSeeWhetherItRuns)
{
    EXPECT_FALSE(SingleInstance::IsHeld(folder(), QStringLiteral("kestrel-0123456789abcdef")));
    auto first = std::make_unique<SingleInstance>(folder(), QStringLiteral("kestrel-0123456789abcdef"));
    ASSERT_EQ(first->claim(), SingleInstance::Claim::First);
    EXPECT_TRUE(SingleInstance::IsHeld(folder(), QStringLiteral("kestrel-0123456789abcdef")));
    EXPECT_FALSE(SingleInstance::IsHeld(folder(), QStringLiteral("kestrel")));
    QSignalSpy shown(first.get(), &SingleInstance::showRequested);
    QSignalSpy closing(first.get(), &SingleInstance::closeRequested);

    EXPECT_TRUE(SingleInstance::AskToClose(folder(), QStringLiteral("kestrel-0123456789abcdef"), 1000));
    EXPECT_TRUE(closing.wait(2000));
    EXPECT_EQ(shown.count(), 0);

    // A start that connects and says nothing asks to be shown, as every start did before.
    QLocalSocket quiet;
    quiet.connectToServer(folder() + QStringLiteral("/kestrel-0123456789abcdef.socket"));
    ASSERT_TRUE(quiet.waitForConnected(1000));
    quiet.disconnectFromServer();
    EXPECT_TRUE(shown.wait(2000));
    EXPECT_EQ(closing.count(), 1);

    first.reset();
    EXPECT_FALSE(SingleInstance::IsHeld(folder(), QStringLiteral("kestrel-0123456789abcdef")));
}

TEST_F(SingleInstanceTest, LeftoversOfAKilledCopyDoNotBlockTheNextStart)
{
    // A lock naming a process that no longer runs, and a socket file nobody listens on.
    QFile lock(folder() + QStringLiteral("/kestrel.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("2147483646\nkestrel\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QLocalServer stale;
    ASSERT_TRUE(stale.listen(folder() + QStringLiteral("/kestrel.socket")));
    stale.close(); // closing removes the file: put one back as a killed process leaves it
    QFile socketFile(folder() + QStringLiteral("/kestrel.socket"));
    ASSERT_TRUE(socketFile.open(QIODevice::WriteOnly));
    socketFile.close();

    SingleInstance next(folder(), QStringLiteral("kestrel"));
    ASSERT_EQ(next.claim(), SingleInstance::Claim::First);
    QSignalSpy shown(&next, &SingleInstance::showRequested);
    SingleInstance later(folder(), QStringLiteral("kestrel"));
    EXPECT_EQ(later.claim(), SingleInstance::Claim::Running);
    EXPECT_TRUE(later.askFirstToShow(1000));
    EXPECT_TRUE(shown.wait(2000));
}

// What a lock file may hold when no copy runs: each is taken over.
TEST_F(SingleInstanceTest, ALockFileNoLiveCopyHoldsIsTakenOverWhateverItHolds)
{
    // clang-format off
    const char* const contents[] = {
        "",
        "garbage \x01\x02 not a lock",
        "1\nkestrel\nsome-host\n",                // a live process, but it holds no lock
        "not-a-number\nkestrel\n",
    };
    // clang-format on
    for (const char* content : contents) {
        SCOPED_TRACE(content);
        QFile lock(folder() + QStringLiteral("/kestrel.lock"));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(content);
        lock.close();
        SingleInstance instance(folder(), QStringLiteral("kestrel"));
        EXPECT_EQ(instance.claim(), SingleInstance::Claim::First) << instance.problem().toStdString();
    }
}

// Files and folders of another user are never used: no lock is claimed, and the reason is given.
TEST_F(SingleInstanceTest, AnotherUsersLockOrFolderIsNeverUsed)
{
    const QByteArray lockPath = QFile::encodeName(folder() + QStringLiteral("/kestrel.lock"));
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another user needs root";
    }
    QFile lock(QString::fromLocal8Bit(lockPath));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    ASSERT_EQ(::chown(lockPath.constData(), 65534, 65534), 0);
    SingleInstance instance(folder(), QStringLiteral("kestrel"));
    EXPECT_EQ(instance.claim(), SingleInstance::Claim::Failed);
    EXPECT_TRUE(instance.problem().contains(QStringLiteral("belongs to another user")))
        << instance.problem().toStdString();

    ASSERT_EQ(::unlink(lockPath.constData()), 0);
    ASSERT_EQ(::chown(QFile::encodeName(folder()).constData(), 65534, 65534), 0);
    SingleInstance inOthersFolder(folder(), QStringLiteral("kestrel"));
    EXPECT_EQ(inOthersFolder.claim(), SingleInstance::Claim::Failed);
    EXPECT_TRUE(inOthersFolder.problem().contains(folder())) << inOthersFolder.problem().toStdString();
    EXPECT_FALSE(QFile::exists(QString::fromLocal8Bit(lockPath)));
}

TEST_F(SingleInstanceTest, AnotherUsersSocketIsNeitherReplacedNorAsked)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another user needs root";
    }
    QLocalServer others;
    ASSERT_TRUE(others.listen(folder() + QStringLiteral("/kestrel.socket")));
    ASSERT_EQ(::chown(QFile::encodeName(folder() + QStringLiteral("/kestrel.socket")).constData(), 65534, 65534), 0);

    SingleInstance first(folder(), QStringLiteral("kestrel"));
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    SingleInstance second(folder(), QStringLiteral("kestrel"));
    EXPECT_EQ(second.claim(), SingleInstance::Claim::Running);
    EXPECT_FALSE(second.askFirstToShow(300));
    EXPECT_FALSE(others.waitForNewConnection(100));
}

TEST_F(SingleInstanceTest, ALockFileThatCannotBeMadeIsAFailureNotAnotherCopy)
{
    // A folder in the lock file's place stands for any file that cannot be made (a full disk).
    ASSERT_TRUE(QDir().mkpath(folder() + QStringLiteral("/kestrel.lock")));
    SingleInstance instance(folder(), QStringLiteral("kestrel"));
    EXPECT_EQ(instance.claim(), SingleInstance::Claim::Failed);
    EXPECT_TRUE(instance.problem().contains(QStringLiteral("kestrel.lock"))) << instance.problem().toStdString();

    SingleInstance inMissingFolder(folder() + QStringLiteral("/missing"), QStringLiteral("kestrel"));
    EXPECT_EQ(inMissingFolder.claim(), SingleInstance::Claim::Failed);
}

TEST_F(SingleInstanceTest, WithoutARuntimeFolderTheTemporaryFolderGetsOneOfTheUsersOwn)
{
    const ScopedEnvironment noRuntime("XDG_RUNTIME_DIR", "");
    const ScopedEnvironment temporary("TMPDIR", dir.path().string());
    const QString runtime = SingleInstance::RuntimeFolder();
    EXPECT_EQ(runtime, folder() + QStringLiteral("/kestrel-%1").arg(::geteuid()));
    struct stat status = {};
    ASSERT_EQ(::stat(QFile::encodeName(runtime).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_EQ(status.st_uid, ::geteuid());
}

TEST_F(SingleInstanceTest, NobodyToAskAnswersFalse)
{
    SingleInstance alone(folder(), QStringLiteral("kestrel"));
    EXPECT_FALSE(alone.askFirstToShow(100));
}

} // namespace
} // namespace kestrel::test
