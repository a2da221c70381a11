#include "tests/support/NameAnswerer.h"
#include "tests/support/TwoSubnets.h"
#include "tests/support/Wait.h"

#include <QHostAddress>

#include <gtest/gtest.h>

namespace parlino {
namespace {

using namespace std::chrono_literals;

TEST(NameResolverTest, CacheThenWinsThenBroadcastAndUnknownNamesForAWhile)
{
    fake::FakeLan lan;
    const auto asker = lan.AddStation(1);
    test::NameAnswerer garbage(lan, 7, test::NameAnswerer::Garbage, {{"BOB", 1}});
    test::NameAnswerer wins(lan, 9, test::NameAnswerer::Wins, {{"BOB", 0x0A000102}});
    test::NameAnswerer carol(lan, 3, test::NameAnswerer::Owner, {{"CAROL", 0x0A000003}});
    NameResolver::Time now{};
    // 10.0.0.8 is silent; each silent or garbled server costs its answer time alone.
    const NameResolver resolver(
        *asker, {.winsServers = {0x0A000008, 0x0A000007, 0x0A000009}, .answerTime = 50ms, .now = [&] { return now; }});
    const auto where = [&](const char* name) {
        const auto found = resolver.Resolve(name, std::chrono::steady_clock::now() + 10s);
        return !found ? QStringLiteral("unknown")
                      : QHostAddress(found->address).toString() + u' ' + QLatin1StringView(SourceName(found->source)) +
                            (found->beyondRouter ? QStringLiteral(" beyond") : QString());
    };
    // After this time, the name resolved to what, having asked WINS this many times in all.
    const std::tuple<std::chrono::seconds, const char*, const char*, int> steps[] = {
        {0s, "BOB", "10.0.1.2 WINS beyond", 1},
        {0s, "BOB", "10.0.1.2 cache beyond", 1},
        {0s, "CAROL", "10.0.0.3 broadcast", 3}, // unknown to WINS by either name
        {0s, "NOBODY", "unknown", 5},
        {29s, "NOBODY", "unknown", 5},
        {2s, "NOBODY", "unknown", 7},
        {0s, "CAROL", "10.0.0.3 cache", 7},
        {600s, "BOB", "10.0.1.2 WINS beyond", 8}, // WINS allows days: kept ten minutes at most
    };
    for (const auto& [later, name, found, winsQueries] : steps) {
        now += later;
        EXPECT_EQ(where(name), QLatin1StringView(found)) << name;
        EXPECT_EQ(wins.queries, winsQueries) << name;
    }
    EXPECT_EQ(carol.queries, 1);
    EXPECT_EQ(garbage.queries, 5);
}

TEST(NameResolverTest, ALineReachesAStationBeyondTheRouterStraightWhenItsSmbRouteFails)
{
    test::TwoSubnets lan({.winsServers = {0x0A000009}, .answerTime = 100ms});
    std::vector<bool> told;
    QObject window;
    {
        StationSender sender(lan.alice.popup, lan.AliceRoute());
        sender.Send("BOB", "ALICE", "across", &window, [&](bool delivered) { told.push_back(delivered); });
        ASSERT_TRUE(test::WaitUntil([&] { return !told.empty() && !lan.bob.inbox.empty(); }));
    }
    lan.smb.Stop();
    EXPECT_EQ(told, std::vector<bool>{true});
    EXPECT_EQ(lan.bob.inbox, QStringList{"ALICE -> BOB: across"});
}

} // namespace
} // namespace parlino
