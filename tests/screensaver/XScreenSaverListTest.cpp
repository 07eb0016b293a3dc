// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "XScreenSaverList.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace kestrel::saver::test {
namespace {

using kestrel::test::ReadFile;
using kestrel::test::TempDir;
using kestrel::test::WriteFile;
using Result = ProgramsListEdit::Result;

// An app-defaults file as xscreensaver installs it: other resources around the list, entries
// that are switched off ("-") or name a visual ("GL:"), one continued over two lines.
constexpr const char* kSystem = "! XScreenSaver app-defaults\n"
                                "*timeout:\t\t0:10:00\n"
                                "*programs:\t\t\t\t\t\t\t      \\\n"
                                "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
                                "  GL: \t\t\t\tsuperquadrics -root\t\t\t    \\n\\\n"
                                "-\t\t\t\tqix -root -solid\t\t      \\\n"
                                "\t\t\t\t  -segments 100\t\t\t    \\n\\\n"
                                "\t\t\t\tattraction -root\t\t\t    \\n\n"
                                "\n"
                                "*fade:\t\t\tTrue\n";

constexpr const char* kEntry = "  \"Kestrel Countdown\"  kestrel-saver -root  \\n";

struct ListCase
{
    const char* what;
    std::optional<std::string> user;
    std::optional<std::string> system;
    Result result;
    std::string text; // the user's file afterwards, when added
};

TEST(XScreenSaverList, AddsTheSaverKeepingEveryOtherProgramAndByte)
{
    const std::string systemList = std::string("programs:\t\t\t\t\t\t\t      \\\n") + kEntry + "\\\n" +
                                   "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
                                   "  GL: \t\t\t\tsuperquadrics -root\t\t\t    \\n\\\n"
                                   "-\t\t\t\tqix -root -solid\t\t      \\\n"
                                   "\t\t\t\t  -segments 100\t\t\t    \\n\\\n"
                                   "\t\t\t\tattraction -root\t\t\t    \\n\n";
    // clang-format off
    const ListCase cases[] = {
        {"no file: the system's list with the saver", std::nullopt, kSystem, Result::Added, systemList},
        {"a file without a list: the system's list appended", "timeout: 0:05:00\nlock: True", kSystem, Result::Added, "timeout: 0:05:00\nlock: True\n" + systemList},
        {"the user's own list", "mode: one\nprograms: \\\n  maze -root \\n\\\n  qix -root \\n\n\nfade: False\n", kSystem, Result::Added, std::string("mode: one\nprograms: \\\n") + kEntry + "\\\n  maze -root \\n\\\n  qix -root \\n\n\nfade: False\n"},
        {"a list on one line, at the end without a line break", "programs: maze -root", std::nullopt, Result::Added, std::string("programs: maze -root \\n\\\n") + kEntry},
        {"an empty list", "programs:\nfade: False\n", std::nullopt, Result::Added, std::string("programs: \\\n") + kEntry + "\nfade: False\n"},
        {"a commented-out list does not count", "! programs: maze\n", kSystem, Result::Added, "! programs: maze\n" + systemList},
        {"the saver listed already", "programs: \\\n  kestrel-saver -root \\n\n", kSystem, Result::AlreadyThere, ""},
        {"no list anywhere", "timeout: 0:05:00\n", std::nullopt, Result::NoList, ""},
        {"no files at all", std::nullopt, "*fade: True\n", Result::NoList, ""},
    };
    // clang-format on
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ProgramsListEdit edit = AddToProgramsList(c.user, c.system, "kestrel-saver -root");
        EXPECT_EQ(edit.result, c.result);
        EXPECT_EQ(edit.text, c.text);
    }
}

TEST(XScreenSaverList, TheCommandWritesTheFileOnceAndSaysWhatItDid)
{
    const TempDir dir;
    WriteFile(dir / "XScreenSaver", kSystem);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::tmpfile(), &std::fclose);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> err(std::tmpfile(), &std::fclose);
    const std::filesystem::path user = dir / ".xscreensaver";

    EXPECT_EQ(
        AddToXScreenSaver(user, dir / "XScreenSaver", "/opt/kestrel/bin/kestrel-saver -root", out.get(), err.get()), 0);
    const std::string written = ReadFile(user);
    EXPECT_NE(written.find("\"Kestrel Countdown\"  /opt/kestrel/bin/kestrel-saver -root"), std::string::npos);
    EXPECT_NE(written.find("attraction -root"), std::string::npos);
    // A second time changes nothing.
    EXPECT_EQ(AddToXScreenSaver(user, dir / "XScreenSaver", "kestrel-saver -root", out.get(), err.get()), 0);
    EXPECT_EQ(ReadFile(user), written);
    EXPECT_EQ(std::ftell(err.get()), 0L);

    // Without a list anywhere nothing is written, and the status says so.
    EXPECT_EQ(AddToXScreenSaver(dir / "other", dir / "missing", "kestrel-saver -root", out.get(), err.get()), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "other"));
    EXPECT_GT(std::ftell(err.get()), 0L);

    // A link to the user's real file (a dotfiles folder) stays a link.
    std::filesystem::create_directories(dir / "dotfiles");
    WriteFile(dir / "dotfiles" / "xscreensaver", "programs: maze -root\n");
    std::filesystem::create_symlink(dir / "dotfiles" / "xscreensaver", dir / ".linked");
    EXPECT_EQ(AddToXScreenSaver(dir / ".linked", dir / "XScreenSaver", "kestrel-saver -root", out.get(), err.get()), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / ".linked"));
    EXPECT_NE(ReadFile(dir / "dotfiles" / "xscreensaver").find("kestrel-saver"), std::string::npos);
}

} // namespace
} // namespace kestrel::saver::test
