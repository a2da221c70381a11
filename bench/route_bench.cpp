// Lines to a station beyond a router, found through WINS, on a fake LAN of two subnets with a fake clock for what
// the resolver learnt:
// 1. the WINS queries that 1,000 lines spread over an hour cost: at most one round trip per time a name is kept;
// 2. the longest time the main thread was blocked meanwhile, while the first WINS server is silent and each
//    line's look-up waits for it once its name is no longer known.
#include "bench/MainThreadBlockMeter.h"
#include "platform/fake/FakeStreams.h"
#include "tests/support/LanStation.h"
#include "tests/support/NameAnswerer.h"
#include "tests/support/Wait.h"
#include "transport/StationSender.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <cstdio>

namespace parlino {
namespace {

using namespace std::chrono_literals;

constexpr int kLines = 1000;
constexpr std::chrono::milliseconds kSpread = 1h;
// Beyond the time a name is kept, whatever WINS allows.
constexpr std::chrono::milliseconds kKeptAtMost = 10min;

void Run()
{
    fake::FakeLan lan;
    test::LanStation alice{lan, 1, "ALICE"};
    test::LanStation bob{lan, 2, "BOB", "OFFICE", 1};
    test::NameAnswerer wins(lan, 9, test::NameAnswerer::Wins, {{"BOB", bob.network->Address()}});
    fake::FakeStreams streams;
    const auto tcp = streams.Station(alice.network->Address());
    std::atomic<NameResolver::Time> now{};
    // 10.0.0.8 is silent: every look-up waits out its answer time on the worker.
    const NameResolver names(
        *alice.network,
        {.winsServers = {0x0A000008, 0x0A000009}, .answerTime = 100ms, .now = [&now] { return now.load(); }});
    alice.service.SetRoutedLookup([names](const std::string& name) { return names.BeyondRouter(name); });
    SmbMessageSender smb(names, *tcp, 139, 1s);
    int told = 0;
    int delivered = 0;
    QObject window;
    MainThreadBlockMeter meter;
    {
        StationSender sender(alice.popup, StationSender::SmbRoute{smb, alice.codePage, "ALICE", {}});
        for (int line = 0; line < kLines; ++line) {
            sender.Send("BOB", "ALICE", QStringLiteral("line %1").arg(line), &window, [&](bool took) {
                ++told;
                delivered += took;
            });
            // Each line waits for the one before, so the clock moves between look-ups.
            test::WaitUntil([&] { return told == line + 1; });
            now = now.load() + kSpread / kLines;
        }
        test::WaitUntil([&] { return bob.inbox.size() == kLines; });
    }
    smb.Stop();
    const auto rounds = static_cast<int>((kSpread + kKeptAtMost - 1ms) / kKeptAtMost);
    std::printf("%d lines to a station beyond a router over %lld min: %d delivered, %lld received, %d WINS "
                "queries (at most %d: one per %lld min a name is kept)\n",
                kLines, static_cast<long long>(kSpread / 1min), delivered, static_cast<long long>(bob.inbox.size()),
                wins.queries.load(), rounds, static_cast<long long>(kKeptAtMost / 1min));
    std::printf("main thread: longest block %.1f ms in %.0f ms, while look-ups waited %d x 100 ms for a silent "
                "WINS server\n",
                meter.LongestMs(), meter.ElapsedMs(), wins.queries.load());
}

} // namespace
} // namespace parlino

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    parlino::Run();
    return 0;
}
