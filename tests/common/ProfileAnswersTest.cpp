// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Kestrel's settings file against the platform's profile functions: the answers the platform
// gave to the same files, reads and writes (tests/common/data/profile_answers.txt, made by
// tests/profile-harness) must be Kestrel's, except where the data lists a difference.

#include "Settings.h"

#include "TempDir.h"
#include "WriteSetting.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// One field of a data line: a text in double quotes with \\ \" \r \n \t \xHH escapes, or a bare word.
std::string Unescape(const std::string& field)
{
    if (field.size() < 2 || field.front() != '"' || field.back() != '"') {
        return field;
    }
    std::string text;
    for (std::size_t i = 1; i + 1 < field.size(); ++i) {
        if (field[i] != '\\') {
            text.push_back(field[i]);
            continue;
        }
        const char code = field[++i];
        switch (code) {
        case 'r':
            text.push_back('\r');
            break;
        case 'n':
            text.push_back('\n');
            break;
        case 't':
            text.push_back('\t');
            break;
        case 'x':
            text.push_back(static_cast<char>(std::stoi(field.substr(i + 1, 2), nullptr, 16)));
            i += 2;
            break;
        default:
            text.push_back(code);
        }
    }
    return text;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(Unescape(line.substr(start, tab - start)));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

struct Operation
{
    std::vector<std::string> fields; // "read" or "write" and what follows it
};

struct Case
{
    std::string name;
    std::optional<std::string> file;
    std::vector<Operation> operations;
    std::optional<std::vector<std::string>> result; // the result line's fields after "result"
};

struct Answers
{
    std::map<std::string, std::string> differences; // tag -> reason
    std::vector<Case> cases;
};

Answers LoadAnswers()
{
    Answers answers;
    std::ifstream in(KESTREL_PROFILE_ANSWERS, std::ios::binary);
    EXPECT_TRUE(in) << KESTREL_PROFILE_ANSWERS;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::vector<std::string> fields = Fields(line);
        const std::string kind = fields.front();
        if (kind == "difference") {
            answers.differences[fields.at(1)] = fields.at(2);
        } else if (kind == "case") {
            answers.cases.push_back({fields.at(1), std::nullopt, {}, std::nullopt});
        } else if (kind == "file") {
            if (line != "file\tnone") {
                answers.cases.back().file = fields.at(1);
            }
        } else if (kind == "read" || kind == "write") {
            answers.cases.back().operations.push_back({fields});
        } else if (kind == "result") {
            fields.erase(fields.begin());
            answers.cases.back().result = fields;
        } else {
            EXPECT_EQ(kind, "end");
        }
    }
    return answers;
}

// The file with CR LF turned into LF, in its own encoding.
std::string CrLfToLf(std::string bytes)
{
    std::string crlf = "\r\n";
    std::string lf = "\n";
    if (bytes.starts_with("\xFF\xFE")) {
        crlf = std::string("\r\0\n\0", 4);
        lf = std::string("\n\0", 2);
    } else if (bytes.starts_with("\xFE\xFF")) {
        crlf = std::string("\0\r\0\n", 4);
        lf = std::string("\0\n", 2);
    }
    for (std::size_t at = 0; (at = bytes.find(crlf, at)) != std::string::npos; at += lf.size()) {
        bytes.replace(at, crlf.size(), lf);
    }
    return bytes;
}

// The file's lines as the platform's own layout writes them: blank lines left out, blanks
// around each line, inside the brackets of a section line and around the '=' of an entry
// taken off.
std::vector<std::string> Layout(const std::string& bytes)
{
    const auto trim = [](std::string text) {
        const auto blank = [](char c) { return c == ' ' || c == '\t'; };
        while (!text.empty() && blank(text.back())) {
            text.pop_back();
        }
        std::size_t first = 0;
        while (first < text.size() && blank(text[first])) {
            ++first;
        }
        return text.substr(first);
    };
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        end = end == std::string::npos ? bytes.size() : end;
        std::string line = trim(bytes.substr(start, end - start));
        if (const std::size_t close = line.rfind(']'); line.starts_with('[') && close != std::string::npos) {
            line = std::string("[").append(trim(line.substr(1, close - 1))).append("]");
        } else if (const std::size_t equals = line.find('='); equals != std::string::npos) {
            line = trim(line.substr(0, equals)) + "=" + trim(line.substr(equals + 1));
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        start = end + 1;
    }
    return lines;
}

TEST(ProfileAnswersTest, CoverEnoughFilesReadsAndWriteSequences)
{
    const Answers answers = LoadAnswers();
    int reads = 0;
    int sequences = 0;
    for (const Case& c : answers.cases) {
        for (const Operation& operation : c.operations) {
            reads += operation.fields[0] == "read" ? 1 : 0;
        }
        sequences += c.result ? 1 : 0;
    }
    EXPECT_GE(answers.cases.size(), 80u);
    EXPECT_GE(reads, 200);
    EXPECT_GE(sequences, 30);
}

TEST(ProfileAnswersTest, KestrelAnswersAsThePlatformExceptTheListedDifferences)
{
    const Answers answers = LoadAnswers();
    ASSERT_FALSE(answers.cases.empty());
    std::set<std::string> tagsUsed;
    const auto tagged = [&](const std::string& tag) {
        EXPECT_TRUE(answers.differences.contains(tag)) << "difference without a reason: " << tag;
        tagsUsed.insert(tag);
    };
    for (const Case& c : answers.cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const fs::path path = dir / "KESTREL.INI";
        if (c.file) {
            test::WriteFile(path, *c.file);
        }
        SettingsFile settings(path);
        for (const Operation& operation : c.operations) {
            const std::vector<std::string>& f = operation.fields;
            if (f[0] == "write") {
                if (f.size() > 4) {
                    tagged(f[4]);
                }
                EXPECT_TRUE(WriteSetting(settings, f[1], f[2], f[3])) << f[1] << "/" << f[2];
                continue;
            }
            std::string expected = f[4];
            if (f.size() > 6) {
                tagged(f[5]);
                expected = f[6];
                EXPECT_NE(expected, f[4]) << "listed as a difference but the same: " << f[1] << "/" << f[2];
            }
            EXPECT_EQ(settings.ReadSetting(f[1], f[2], f[3]), expected) << f[1] << "/" << f[2];
            EXPECT_EQ(SettingsFile(path).ReadSetting(f[1], f[2], f[3]), expected)
                << "fresh read " << f[1] << "/" << f[2];
        }
        if (!c.result) {
            continue;
        }
        const std::vector<std::string>& result = *c.result;
        const std::string written = CrLfToLf(test::ReadFile(path));
        if (result.size() == 1) {
            EXPECT_EQ(written, result[0]);
        } else if (tagged(result[1]), result.size() > 2) {
            EXPECT_EQ(written, result[2]);
        } else {
            EXPECT_EQ(Layout(written), Layout(result[0]));
            EXPECT_NE(written, result[0]) << "listed as a difference but the same";
        }
    }
    for (const auto& [tag, reason] : answers.differences) {
        EXPECT_TRUE(tagsUsed.contains(tag)) << "difference listed but never met: " << tag;
    }
}

} // namespace
} // namespace kestrel
