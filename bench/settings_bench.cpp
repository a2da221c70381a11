// Time to write the options dialog's whole section to the settings file, key by key as the settings components do,
// and to read it back. "Disk" goes through real files with their atomic replacement; "Memory" isolates the parsing.
#include "platform/ProfileStore.h"
#include "platform/fake/FakeProfileStore.h"
#include "settings/FourNumbers.h"
#include "settings/IniFile.h"
#include "settings/SettingsAccess.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <utility>
#include <vector>

namespace {

using namespace parlino;

const QString Section = "Optiuni";
const QString Suffix = ScreenSuffix(1920, 1080);

std::vector<std::pair<QString, QString>> StoredKeys()
{
    std::vector<std::pair<QString, QString>> keys;
    for (const auto& [edit, color] : {std::pair{"EditTrimitere", "16711680"}, std::pair{"EditPrimire", "255"}}) {
        const QString prefix = QString(edit) + "_Font";
        keys.insert(keys.end(), {{prefix + "Charset", "1"},
                                 {prefix + "Color", color},
                                 {prefix + "Height", "-13"},
                                 {prefix + "Name", "MS Sans Serif"},
                                 {prefix + "Pitch", "fpDefault"},
                                 {prefix + "Size", "10"},
                                 {prefix + "Style", "[]"}});
    }
    keys.insert(keys.end(), {{"CheckMin_Checked", "False"},
                             {"CheckRefresh_Checked", "True"},
                             {"CheckWav_Checked", "False"},
                             {"EditWav_Text", "/usr/share/sounds/freedesktop/stereo/message.oga"},
                             {"CheckFlash_Checked", "True"},
                             {"CheckTimp_Checked", "False"},
                             {"Trimitere1", "0"}});
    return keys;
}

// round changes every value, so that each key really goes to the file.
void WriteSection(TCustomIniFile& file, const std::vector<std::pair<QString, QString>>& keys, int round)
{
    StoreNumber(file, Section, "FormVersion", 0);
    StoreNumber(file, Section, "Flags", round);
    StoreNumber(file, Section, "ShowCmd", round);
    StoreNumber(file, Section, "PixelsPerInch", round);
    StoreFourNumbers(file, Section, "MinMaxPos", Suffix, {-1, -1, round, round});
    StoreFourNumbers(file, Section, "NormPos", Suffix, {100, 100, 500, round});
    file.WriteFlag(Section, "Visible", round % 2 == 1);
    for (const auto& [key, value] : keys)
        StoreText(file, Section, key, round == 0 ? value : value + QString::number(round));
}

void ReadSection(TCustomIniFile& file, const std::vector<std::pair<QString, QString>>& keys)
{
    benchmark::DoNotOptimize(FetchNumber(file, Section, "FormVersion", 0));
    benchmark::DoNotOptimize(FetchNumber(file, Section, "Flags", 0));
    benchmark::DoNotOptimize(FetchNumber(file, Section, "ShowCmd", 0));
    benchmark::DoNotOptimize(FetchNumber(file, Section, "PixelsPerInch", 96));
    FourNumbers numbers{};
    benchmark::DoNotOptimize(FetchFourNumbers(file, Section, "MinMaxPos", Suffix, numbers));
    benchmark::DoNotOptimize(FetchFourNumbers(file, Section, "NormPos", Suffix, numbers));
    for (const auto& [key, value] : keys)
        benchmark::DoNotOptimize(FetchText(file, Section, key, value));
}

// Another program's sections around ours, as in a file that has been in use for a while.
void SeedOtherSections(ProfileStore& store)
{
    for (const char* section : {"MainWindow", "ChatWindow"}) {
        for (const char* key : {"FormVersion", "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos", "NormPos"})
            store.WriteString("parlino.ini", section, key, "1,2,3,4");
    }
}

enum class Mode
{
    WriteChanged,
    WriteUnchanged,
    Read
};

void Run(benchmark::State& state, ProfileStore& store, Mode mode)
{
    SeedOtherSections(store);
    TIniFile file(store, "Parlino.ini");
    const auto keys = StoredKeys();
    WriteSection(file, keys, 0);
    int round = 0;
    for (auto _ : state) {
        if (mode == Mode::Read)
            ReadSection(file, keys);
        else
            WriteSection(file, keys, mode == Mode::WriteChanged ? ++round % 2 : 0);
    }
    state.counters["keys"] = static_cast<double>(keys.size() + 9);
}

void RunOnDisk(benchmark::State& state, Mode mode)
{
    QTemporaryDir dir;
    FileProfileStore store(dir.path());
    Run(state, store, mode);
}

void RunInMemory(benchmark::State& state, Mode mode)
{
    fake::FakeProfileStore store;
    Run(state, store, mode);
}

void BM_WriteOptiuniSection_Disk(benchmark::State& state)
{
    RunOnDisk(state, Mode::WriteChanged);
}

void BM_WriteOptiuniSectionUnchanged_Disk(benchmark::State& state)
{
    RunOnDisk(state, Mode::WriteUnchanged);
}

void BM_ReadOptiuniSection_Disk(benchmark::State& state)
{
    RunOnDisk(state, Mode::Read);
}

void BM_WriteOptiuniSection_Memory(benchmark::State& state)
{
    RunInMemory(state, Mode::WriteChanged);
}

void BM_ReadOptiuniSection_Memory(benchmark::State& state)
{
    RunInMemory(state, Mode::Read);
}

} // namespace

BENCHMARK(BM_WriteOptiuniSection_Disk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteOptiuniSectionUnchanged_Disk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadOptiuniSection_Disk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteOptiuniSection_Memory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadOptiuniSection_Memory)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
