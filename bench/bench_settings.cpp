// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing keys of a settings file of 200 keys spread over the program's five
// sections. Targets: a read at most 50 microseconds; a batched write of the 22 keys the options
// dialog saves at most 1 millisecond, the flush to disk not counted (it depends on the disk and
// what else is writing to it; BM_WriteSettingsFlushed measures it with the write).

#include "ProgramSettings.h"
#include "Settings.h"

#include "TempDir.h"

#include <benchmark/benchmark.h>

#include <span>
#include <string>
#include <utility>
#include <vector>

namespace kestrel {
namespace {

using Entry = std::pair<std::string, std::string>; // section, key

// The keys of a settings file as the program fills it over time: 10 + 20 + 10 + 60 + 100.
std::vector<Entry> RealisticKeys()
{
    std::vector<Entry> keys;
    for (const char* key : {"Target_Year", "Target_Month", "Target_Day", "Target_Hour", "Target_Minute",
                            "Target_Second", "Target_Type", "Caption_option", "Work_Days", "Holidays"}) {
        keys.emplace_back(kTargetDateSection, key);
    }
    for (const char* key :
         {"Count_Down_File", "Continuous_Save", "File Before Text", "File After Text",   "Project Title",
          "Project File",    "YY Before Text",  "YY After Text",    "DD Before Text",    "DD After Text",
          "HH Before Text",  "HH After Text",   "MM Before Text",   "MM After Text",     "SS Before Text",
          "SS After Text",   "Report Title",    "Report Footer",    "Print Orientation", "Last Folder"}) {
        keys.emplace_back(kFileOptionsSection, key);
    }
    const char* const forms[] = {"frmToolBar", "frmCountDown", "frmDeskCal",    "frmCalc",
                                 "frmOptions", "frmreport",    "frmMilestone",  "frmAbout",
                                 "frmHelp",    "frmPreview",   "frmCountDown2", "frmCountDown3"};
    for (int i = 0; i < 10; ++i) {
        keys.emplace_back(kFormsOpenSection, forms[i]);
    }
    for (const char* form : forms) {
        for (const char* edge : {"Top", "Left", "Width", "Height", "WindowState"}) {
            keys.emplace_back(kFormsPositionSection, std::string(form) + edge);
        }
    }
    for (int label = 1; label <= 20; ++label) {
        for (const char* property : {"ForeColor", "BackColor", "FontName", "FontSize", "Visible"}) {
            keys.emplace_back(kCountDownSection, "Label" + std::to_string(label) + "_" + property);
        }
    }
    return keys;
}

// A settings file holding keys, with values of a typical length.
std::string SettingsText(const std::vector<Entry>& keys)
{
    std::string text;
    std::string section;
    for (const auto& [entrySection, key] : keys) {
        if (entrySection != section) {
            section = entrySection;
            text += "[" + section + "]\n";
        }
        text += key + "=" + std::to_string(1440 * key.size()) + " value\n";
    }
    return text;
}

class SettingsBench
{
public:
    explicit SettingsBench(bool flushToDisk = false)
        : keys(RealisticKeys()), path(dir / "KESTREL.INI"), file(path, flushToDisk)
    {
        test::WriteFile(path, SettingsText(keys));
    }

    test::TempDir dir;
    std::vector<Entry> keys;
    std::filesystem::path path;
    SettingsFile file;
};

// The program's own pattern: one SettingsFile reading key after key of an unchanged file.
void BM_ReadSetting(benchmark::State& state)
{
    SettingsBench bench;
    std::size_t next = 0;
    for (auto _ : state) {
        const auto& [section, key] = bench.keys[next];
        benchmark::DoNotOptimize(bench.file.ReadSetting(section, key, "0"));
        next = (next + 37) % bench.keys.size();
    }
}
BENCHMARK(BM_ReadSetting);

// The first read through a new SettingsFile, which reads and parses the whole file.
void BM_ReadSettingFirstRead(benchmark::State& state)
{
    SettingsBench bench;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SettingsFile(bench.path).ReadSetting(kCountDownSection, "Label20_Visible", "0"));
    }
}
BENCHMARK(BM_ReadSettingFirstRead);

// Changing one key: read, parse, edit, write a new file and rename it over the old one.
void BM_WriteSetting(benchmark::State& state)
{
    SettingsBench bench;
    int value = 0;
    for (auto _ : state) {
        const SettingWrite entry{kFormsPositionSection, "frmCountDownTop", std::to_string(value++ % 7200)};
        if (bench.file.WriteSettings(std::span(&entry, 1))) {
            state.SkipWithError("WriteSettings failed");
            break;
        }
    }
}
BENCHMARK(BM_WriteSetting);

// The options dialog's Apply: the 22 keys of "Target Date" and "File Options" in one batch,
// every one of them changed, with one read and one replace of the file.
std::vector<SettingWrite> OptionsBatch(int round)
{
    const std::string n = std::to_string(round % 100);
    return {
        {kTargetDateSection, "Target_Year", "20" + n},
        {kTargetDateSection, "Target_Month", n},
        {kTargetDateSection, "Target_Day", n},
        {kTargetDateSection, "Caption_option", "yy:dd:hh:mm:ss" + n},
        {kTargetDateSection, "Target_Type", "WorkDays" + n},
        {kFileOptionsSection, "Count_Down_File", "/home/user/.local/share/kestrel/Kestrel" + n + ".txt"},
        {kFileOptionsSection, "Continuous_Save", n},
        {kFileOptionsSection, "File Before Text", "T-" + n},
        {kFileOptionsSection, "File After Text", "(Eastern Standard Time) " + n},
        {kFileOptionsSection, "Project Title", "Year 2000 Conversion Project " + n},
        {kFileOptionsSection, "Project File", "/home/user/.local/share/kestrel/mileston" + n + ".txt"},
        {kFileOptionsSection, "YY Before Text", " " + n},
        {kFileOptionsSection, "YY After Text", " Years " + n + " "},
        {kFileOptionsSection, "DD Before Text", " " + n},
        {kFileOptionsSection, "DD After Text", " Days " + n + " "},
        {kFileOptionsSection, "HH Before Text", " " + n},
        {kFileOptionsSection, "HH After Text", " Hours " + n + " "},
        {kFileOptionsSection, "MM Before Text", " " + n},
        {kFileOptionsSection, "MM After Text", " Minutes " + n + " "},
        {kFileOptionsSection, "SS Before Text", " " + n},
        {kFileOptionsSection, "SS After Text", " Seconds " + n + " "},
        {kFileOptionsSection, "Company Logo", "URL: example " + n},
    };
}

void WriteBatches(benchmark::State& state, bool flushToDisk)
{
    SettingsBench bench(flushToDisk);
    std::vector<std::vector<SettingWrite>> batches;
    for (int round = 0; round < 100; ++round) {
        batches.push_back(OptionsBatch(round));
    }
    std::size_t next = 0;
    for (auto _ : state) {
        if (bench.file.WriteSettings(batches[next])) {
            state.SkipWithError("WriteSettings failed");
            break;
        }
        next = (next + 1) % batches.size();
    }
}

// Target: at most 1 millisecond.
void BM_WriteSettings22Keys(benchmark::State& state)
{
    WriteBatches(state, false);
}
BENCHMARK(BM_WriteSettings22Keys);

// The same with the flush to disk (fsync of the new file and of its folder), as the program
// writes: the difference to BM_WriteSettings22Keys is the cost of the flush on this disk.
void BM_WriteSettingsFlushed(benchmark::State& state)
{
    WriteBatches(state, true);
}
BENCHMARK(BM_WriteSettingsFlushed)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrel
