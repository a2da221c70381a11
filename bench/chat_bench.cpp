// Chat windows at scale, on the offscreen platform with the main window on a fake LAN:
// 1. memory and time of 100 open chat windows;
// 2. a burst of 1,000 messages from 10 stations routed into their windows: how many arrived and the longest
//    time the main thread was blocked meanwhile (the largest gap between ticks of a 1 ms timer).
#include "app/ParlinoUnit.h"
#include "app/Startup.h"
#include "bench/MainThreadBlockMeter.h"
#include "bench/Offscreen.h"
#include "platform/fake/qt/FakeServices.h"
#include "settings/OptiuniUnit.h"
#include "tests/support/LanStation.h"
#include "tests/support/Wait.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <thread>

namespace parlino {
namespace {

constexpr int kStations = 10;
constexpr int kBurst = 1000;

double ResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    return 0;
}

int ReceivedLines()
{
    int lines = 0;
    for (int slot = 1; slot <= TMainForm::kChatSlots; ++slot)
        if (MainForm->Chats.IsOpen(slot))
            lines += MainForm->Chats.At(slot)->RichEdit->LineCount() - 1;
    return lines;
}

void CloseAll()
{
    for (int slot = 1; slot <= TMainForm::kChatSlots; ++slot)
        if (MainForm->Chats.IsOpen(slot))
            MainForm->Chats.At(slot)->close();
    test::DrainQueue();
}

struct Bench
{
    fake::FakeLan lan;
    std::unique_ptr<fake::FakeStationNetwork> network = lan.AddStation(1);
    const ThisComputer alpha{"ALPHA", "OFFICE"};
    LocalMailslots inboxes;
    NbtMailslotService service{*network, *network, inboxes, alpha, 138};
    fake::FakeServices fakes{service};
};

void OpenHundred()
{
    const double before = ResidentMiB();
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= TMainForm::kChatSlots; ++i)
        MainForm->NewChat(QStringLiteral("STATION%1").arg(i));
    QCoreApplication::processEvents();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("100 chat windows: opened in %.1f ms, %.1f MiB more resident memory (%.1f MiB in all)\n", ms,
                ResidentMiB() - before, ResidentMiB());
    CloseAll();
}

void Burst(Bench& bench)
{
    std::deque<test::LanStation> stations;
    for (int i = 0; i < kStations; ++i)
        stations.emplace_back(bench.lan, static_cast<uint8_t>(10 + i), "PEER" + std::to_string(i));

    const MainThreadBlockMeter meter;
    // Each sender sends from its own thread, as remote computers would, all at once.
    std::vector<std::thread> senders;
    senders.reserve(stations.size());
    for (auto& station : stations)
        senders.emplace_back([&station] {
            for (int i = 0; i < kBurst / kStations; ++i)
                station.popup.Send(QStringLiteral("ALPHA"), station.name, QStringLiteral("ALPHA"),
                                   QStringLiteral("message %1 from %2").arg(i).arg(station.name));
        });
    const bool all = test::WaitUntil([] { return ReceivedLines() >= kBurst; }, 60000);
    const double ms = meter.ElapsedMs();
    const double longest = meter.LongestMs();
    for (auto& sender : senders)
        sender.join();
    std::printf("burst of %d messages from %d stations: %d shown in their windows (%s) in %.1f ms; "
                "longest main-thread block %.1f ms\n",
                kBurst, kStations, ReceivedLines(), all ? "none lost" : "SOME LOST", ms, longest);
    CloseAll();
    for (auto& station : stations)
        station.popup.Close();
}

} // namespace
} // namespace parlino

int main(int argc, char** argv)
{
    return parlino::RunOffscreen(argc, argv, [] {
        parlino::Bench bench;
        parlino::CreateForms(bench.fakes.platform);
        parlino::OpenHundred();
        parlino::Burst(bench);
        parlino::DestroyForms();
    });
}
