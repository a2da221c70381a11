// The station tree at scale, on the offscreen platform:
// 1. a tree of 1,000 stations rebuilt by "&Refresh Net": the longest time the main thread was blocked
//    (the largest gap between ticks of a 1 ms timer) and the whole refresh;
// 2. a fake LAN of 50 stations running the browse service: time from "&Refresh Net" to the complete tree;
// 3. a flood of announcements from 10,000 invented hosts with the longest comments: what the browse list
//    keeps and the heap it costs.
#include "app/ParlinoUnit.h"
#include "app/Startup.h"
#include "bench/MainThreadBlockMeter.h"
#include "bench/Offscreen.h"
#include "codec/SmbMailslot.h"
#include "netenum/BrowseService.h"
#include "platform/fake/FakeLan.h"
#include "platform/fake/FakeMailslotService.h"
#include "platform/fake/FakeNetworkBrowser.h"
#include "platform/fake/qt/FakeServices.h"
#include "settings/OptiuniUnit.h"
#include "tests/support/Wait.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <malloc.h>

namespace parlino {
namespace {

constexpr int kLanStations = 50;
constexpr int kWorkgroups = 5;

int TreeNodes()
{
    int nodes = 0;
    for (QTreeWidgetItemIterator node(MainForm->TreeStatii); *node; ++node)
        ++nodes;
    return nodes;
}

struct Services
{
    fake::FakeMailslotService mailslots;
    fake::FakeServices fakes{mailslots};
    Platform& platform = fakes.platform;
};

// Runs "&Refresh Net" on a shown main window until the tree holds nodes nodes; prints the figures.
void TimeRefresh(Services& services, NetworkBrowser& browser, int nodes, const char* what)
{
    services.platform.networkBrowser = &browser;
    CreateForms(services.platform);
    MainForm->show();
    test::WaitUntil([] { return MainForm->RefreshThread && MainForm->RefreshThread->Finished(); }, 10000);
    MainForm->TreeStatii->clear();

    const MainThreadBlockMeter meter;
    MainForm->ButRefreshClick();
    const bool complete = test::WaitUntil([&] { return TreeNodes() >= nodes; }, 30000);
    std::printf("%s: %s tree of %d nodes %.1f ms after \"&Refresh Net\"; longest main-thread block %.1f ms\n", what,
                complete ? "complete" : "INCOMPLETE", TreeNodes(), meter.ElapsedMs(), meter.LongestMs());
    DestroyForms();
}

void ThousandStations(Services& services)
{
    // 40 workgroups of 24 computers: exactly 1,000 entries below the root.
    fake::FakeNetworkBrowser browser;
    browser.AddProvider(QStringLiteral("Microsoft Windows Network"));
    for (int group = 0; group < 40; ++group) {
        const QString workgroup = QStringLiteral("GROUP%1").arg(group, 2, 10, QLatin1Char('0'));
        browser.AddWorkgroup(QStringLiteral("Microsoft Windows Network"), workgroup);
        for (int computer = 0; computer < 24; ++computer)
            browser.AddComputer(workgroup, QStringLiteral("PC%1-%2").arg(group).arg(computer));
    }
    TimeRefresh(services, browser, 1001, "1,000 stations");
}

struct LanStation
{
    LanStation(fake::FakeLan& lan, int index, BrowseTiming timing = {})
        : network(lan.AddStation(static_cast<uint8_t>(10 + index))),
          names("PC" + std::to_string(index), "GROUP" + std::to_string(index % kWorkgroups)),
          service(*network, clock, codePage, names, 138, "", timing)
    {
        service.Start();
    }

    std::unique_ptr<fake::FakeStationNetwork> network;
    // The refresh measured waits for the answers in real time.
    SystemClock clock;
    IconvCodePage codePage{QStringLiteral("CP850")};
    const ThisComputer names;
    BrowseService service;
};

void FiftyStationLan(Services& services)
{
    fake::FakeLan lan;
    std::deque<LanStation> stations;
    // The station measured asks the LAN anew at every refresh, as its first refresh does.
    stations.emplace_back(lan, 0, BrowseTiming{1000, 1200, 0});
    for (int i = 1; i < kLanStations; ++i)
        stations.emplace_back(lan, i);
    TimeRefresh(services, stations.front().service, 1 + kWorkgroups + kLanStations, "LAN of 50 stations");
}

void Flood()
{
    fake::FakeLan lan;
    LanStation alice(lan, 0);
    const size_t before = mallinfo2().uordblks;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 10000; ++i) {
        NetbiosDatagram datagram;
        datagram.type = DatagramType::DirectGroup;
        datagram.source = {"FLOOD" + std::to_string(i), 0};
        datagram.destination = {"G" + std::to_string(i % 700), 0x1D};
        const auto frame = EncodeBrowseFrame({BrowseOpcode::HostAnnouncement, 720000, "FLOOD" + std::to_string(i), 6, 1,
                                              0x1003, std::string(kMaxBrowseComment, 'c')});
        datagram.userData = EncodeMailslotWrite("\\MAILSLOT\\BROWSE", frame.data(), frame.size());
        lan.Inject(0x0A0000FE, 138, EncodeDatagram(datagram));
    }
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("flood of 10,000 invented hosts in %.1f ms: %zu kept (bound %zu hosts, %zu workgroups), "
                "%.2f MiB more heap in use\n",
                ms, alice.service.Table().HostCount(), BrowseList::kMaxHosts, BrowseList::kMaxWorkgroups,
                static_cast<double>(mallinfo2().uordblks - before) / (1024.0 * 1024.0));
}

} // namespace
} // namespace parlino

int main(int argc, char** argv)
{
    return parlino::RunOffscreen(argc, argv, [] {
        parlino::Services services;
        parlino::ThousandStations(services);
        parlino::FiftyStationLan(services);
        parlino::Flood();
    });
}
