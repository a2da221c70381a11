// The options dialog's whole section against one key of it, written and read: on real files with their atomic
// replacement ("Disk") and in memory ("Memory", the parsing alone). A section is saved in one replacement of the file
// and read with one parse of it, so its keys ("SectionKeys": every key of the section through the file that the
// settings components open for it) should cost at most about twice one key. "OptiuniSection" is the whole work of the
// dialog's storage component, the conversion of its controls' properties included.
#include "platform/ProfileStore.h"
#include "platform/fake/FakeMailslotService.h"
#include "platform/fake/qt/FakeServices.h"
#include "settings/IniFile.h"
#include "settings/OptiuniUnit.h"
#include "settings/SettingsAccess.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace parlino;

const QString Section = "Optiuni";
const QString Key = "EditWav_Text";

// The fakes, with the settings file on disk or in memory.
class Services
{
public:
    explicit Services(bool onDisk)
        : profiles(onDisk ? static_cast<ProfileStore&>(disk) : fakes.profiles), // the other services are the fakes'
          platform{.mailslots = fakes.platform.mailslots,
                   .clock = fakes.platform.clock,
                   .timers = fakes.platform.timers,
                   .oemCodePage = fakes.platform.oemCodePage,
                   .computerName = fakes.platform.computerName,
                   .shell = fakes.platform.shell,
                   .machine = fakes.platform.machine,
                   .messageBoxes = fakes.platform.messageBoxes,
                   .notifyArea = fakes.platform.notifyArea,
                   .notifications = fakes.platform.notifications,
                   .screen = fakes.platform.screen,
                   .profiles = profiles,
                   .sound = fakes.platform.sound,
                   .files = fakes.platform.files,
                   .fileChooser = fakes.platform.fileChooser,
                   .fontChooser = fakes.platform.fontChooser}
    {
        // Other windows' sections around the dialog's, and the dialog's own as OK leaves it.
        for (const char* section : {"MainWindow", "ChatWindow"}) {
            for (const char* key : {"FormVersion", "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos", "NormPos"})
                profiles.WriteString("parlino.ini", section, key, "1,2,3,4");
        }
        TOptiuniForm form(platform);
        form.show();
        form.EditWav->SetText("/usr/share/sounds/freedesktop/stereo/message.oga");
        form.ButOk->click();
    }

    QTemporaryDir dir;
    FileProfileStore disk{dir.path()};
    fake::FakeMailslotService mailslots;
    fake::FakeServices fakes{mailslots};
    ProfileStore& profiles;
    Platform platform;
};

// Each round other values, so that every write really replaces the file.
QString ValueOf(const QString& key, int round)
{
    return key + QString::number(round % 2);
}

void WriteOneKey(benchmark::State& state, bool onDisk)
{
    Services services(onDisk);
    TIniFile file(services.profiles, "Parlino.ini");
    int round = 0;
    for (auto _ : state)
        StoreText(file, Section, Key, ValueOf(Key, ++round));
}

void WriteSectionKeys(benchmark::State& state, bool onDisk)
{
    Services services(onDisk);
    const QStringList keys = services.profiles.ReadKeys("Parlino.ini", Section);
    int round = 0;
    for (auto _ : state) {
        TMemIniFile file(services.profiles, "Parlino.ini");
        ++round;
        for (const QString& key : keys)
            StoreText(file, Section, key, ValueOf(key, round));
        file.UpdateFile();
    }
    state.counters["keys"] = static_cast<double>(keys.size());
}

void WriteOptiuniSection(benchmark::State& state, bool onDisk)
{
    Services services(onDisk);
    TOptiuniForm form(services.platform);
    // A section is written only by a component that has read it.
    form.show();
    for (auto _ : state) {
        form.CheckMin->SetChecked(!form.CheckMin->Checked());
        form.FormStorage1->WriteFormSettings();
    }
}

void ReadOneKey(benchmark::State& state, bool onDisk)
{
    Services services(onDisk);
    TIniFile file(services.profiles, "Parlino.ini");
    for (auto _ : state)
        benchmark::DoNotOptimize(FetchText(file, Section, Key, QString()));
}

void ReadSectionKeys(benchmark::State& state, bool onDisk)
{
    Services services(onDisk);
    const QStringList keys = services.profiles.ReadKeys("Parlino.ini", Section);
    for (auto _ : state) {
        TMemIniFile file(services.profiles, "Parlino.ini");
        for (const QString& key : keys)
            benchmark::DoNotOptimize(FetchText(file, Section, key, QString()));
    }
}

void ReadOptiuniSection(benchmark::State& state, bool onDisk)
{
    Services services(onDisk);
    TOptiuniForm form(services.platform);
    for (auto _ : state)
        form.FormStorage1->ReadFormSettings();
}

} // namespace

BENCHMARK_CAPTURE(WriteOneKey, Disk, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteSectionKeys, Disk, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteOptiuniSection, Disk, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ReadOneKey, Disk, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ReadSectionKeys, Disk, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ReadOptiuniSection, Disk, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteOneKey, Memory, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteSectionKeys, Memory, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteOptiuniSection, Memory, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ReadOneKey, Memory, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ReadSectionKeys, Memory, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ReadOptiuniSection, Memory, false)->Unit(benchmark::kMicrosecond);

// The dialog needs the application object.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
