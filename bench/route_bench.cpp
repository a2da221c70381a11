// Lines to a station beyond a router, found through WINS, on a fake LAN of two subnets with a fake clock for what
// the resolver learnt:
// 1. the WINS queries that 1,000 lines spread over an hour cost: at most one round trip per time a name is kept;
// 2. the longest time the main thread was blocked meanwhile, while the first WINS server is silent and each
//    line's look-up waits for it once its name is no longer known.
#include "bench/MainThreadBlockMeter.h"
#include "tests/support/TwoSubnets.h"
#include "tests/support/Wait.h"

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
    std::atomic<NameResolver::Time> now{};
    // 10.0.0.8 is silent: every look-up waits out its answer time on the worker.
    test::TwoSubnets lan(
        {.winsServers = {0x0A000008, 0x0A000009}, .answerTime = 100ms, .now = [&now] { return now.load(); }});
    int told = 0;
    int delivered = 0;
    QObject window;
    MainThreadBlockMeter meter;
    {
        StationSender sender(lan.alice.popup, lan.AliceRoute());
        for (int line = 0; line < kLines; ++line) {
            sender.Send("BOB", "ALICE", QStringLiteral("line %1").arg(line), &window, [&](bool took) {
                ++told;
                delivered += took;
            });
            // Each line waits for the one before, so the clock moves between look-ups.
            test::WaitUntil([&] { return told == line + 1; });
            now = now.load() + kSpread / kLines;
        }
        test::WaitUntil([&] { return lan.bob.inbox.size() == kLines; });
    }
    lan.smb.Stop();
    const auto rounds = static_cast<int>((kSpread + kKeptAtMost - 1ms) / kKeptAtMost);
    std::printf("%d lines to a station beyond a router over %lld min: %d delivered, %lld received, %d WINS "
                "queries (at most %d: one per %lld min a name is kept)\n",
                kLines, static_cast<long long>(kSpread / 1min), delivered, static_cast<long long>(lan.bob.inbox.size()),
                lan.wins.queries.load(), rounds, static_cast<long long>(kKeptAtMost / 1min));
    std::printf("main thread: longest block %.1f ms in %.0f ms, while look-ups waited %d x 100 ms for a silent "
                "WINS server\n",
                meter.LongestMs(), meter.ElapsedMs(), lan.wins.queries.load());
}

} // namespace
} // namespace parlino

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    parlino::Run();
    return 0;
}
