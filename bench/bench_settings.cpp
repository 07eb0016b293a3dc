// Reading and writing one key of a settings file of 200 keys spread over the program's five
// sections. Targets: a read at most 50 microseconds, a write at most 1 millisecond.

#include "ProgramSettings.h"
#include "Settings.h"

#include "TempDir.h"

#include <benchmark/benchmark.h>

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
    SettingsBench() : keys(RealisticKeys()), path(dir / "KESTREL.INI"), file(path)
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

// Changing one key: read, parse, save, flush and rename over the old file.
void BM_WriteSetting(benchmark::State& state)
{
    SettingsBench bench;
    int value = 0;
    for (auto _ : state) {
        if (!bench.file.WriteSetting(kFormsPositionSection, "frmCountDownTop", std::to_string(value++ % 7200))) {
            state.SkipWithError("WriteSetting failed");
            break;
        }
    }
}
BENCHMARK(BM_WriteSetting);

} // namespace
} // namespace kestrel
