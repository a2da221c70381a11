#include "transport/WinsRegistration.h"

#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeLan.h"

#include <gtest/gtest.h>

namespace parlino {
namespace {

using namespace std::chrono_literals;

constexpr WinsTiming kTiming{600s, 50ms, 1000ms, 600000ms, 1000ms, 50ms};

// A WINS server on the fake LAN that logs what it is asked. It holds ALICE<00> for the station already (as nmbd on
// that host would), refuses ALICE<03> as held by another, and grants the rest for 10 minutes; a silent one answers
// nothing.
struct FakeWins
{
    explicit FakeWins(fake::FakeLan& lan, bool silent = false) : host(lan.AddStation(1))
    {
        endpoint = host->Listen(137, [this, silent](const uint8_t* data, size_t size, uint32_t from, uint16_t port) {
            const auto query = DecodeNameQuery(data, size);
            const auto request = DecodeNameRegistrationRequest(data, size);
            if (!query && !request)
                return;
            const NetbiosName name = query ? query->name : request->name;
            const NameOpcode opcode = query ? NameOpcode::Query : request->opcode;
            const char* kinds[] = {"query ", "", "", "", "", "registration ", "release ", "", "refresh "};
            Log(kinds[static_cast<int>(opcode)], name);
            const int code = name == NetbiosName{"ALICE", 3} ? 6 : (request || name == NetbiosName{"ALICE", 0}) ? 0 : 3;
            const uint16_t id = query ? query->transactionId : request->transactionId;
            if (!silent)
                host->SendTo(from, port,
                             EncodeNameServiceResponse({id, opcode, false, uint8_t(code), name, 600, {{false, from}}}),
                             137);
        });
    }
    void Log(const char* what, const NetbiosName& name)
    {
        std::lock_guard lock(mutex);
        log += what + name.name + "<" + std::to_string(name.suffix) + "> ";
    }
    std::string Log()
    {
        std::lock_guard lock(mutex);
        return log;
    }

    std::unique_ptr<fake::FakeStationNetwork> host;
    std::unique_ptr<UdpEndpoint> endpoint;
    std::mutex mutex;
    std::string log;
};

TEST(WinsRegistrationTest, RegistersRefreshesAndReleasesWhatIsItsOwn)
{
    fake::FakeLan lan;
    FakeWins wins(lan);
    auto station = lan.AddStation(2);
    fake::FakeClock clock;
    std::vector<std::string> refusals;
    WinsRegistration registration(
        *station, clock, 137, [&](uint32_t) { return station->Address(); },
        [&](const NameRefusal& refusal) { refusals.push_back(RefusalText(refusal).toStdString()); }, kTiming);
    registration.Start({wins.host->Address()}, {{{"ALICE", 0}}, {{"ALICE", 3}}, {{"OFFICE", 0}, true}});
    ASSERT_TRUE(clock.WaitForWaiters(1));
    const std::string registered =
        "query ALICE<0> query ALICE<3> query OFFICE<0> registration ALICE<3> registration OFFICE<0> ";
    EXPECT_EQ(wins.Log(), registered);
    EXPECT_EQ(refusals, std::vector<std::string>{
                            "the WINS server 10.0.0.1 refused the name ALICE<03>: another computer holds it"});
    clock.Advance(300000);
    ASSERT_TRUE(clock.WaitForWaiters(1));
    registration.Stop();
    EXPECT_EQ(wins.Log(), registered + "refresh OFFICE<0> release OFFICE<0> ");
    EXPECT_EQ(refusals.size(), 1u);
}

TEST(WinsRegistrationTest, BacksOffFromASilentServerAndEndsPromptly)
{
    fake::FakeLan lan;
    FakeWins wins(lan, true);
    auto station = lan.AddStation(2);
    fake::FakeClock clock;
    WinsRegistration registration(
        *station, clock, 137, [&](uint32_t) { return station->Address(); }, {}, kTiming);
    registration.Start({wins.host->Address()}, {{{"ALICE", 3}}});
    std::string expected = "query ALICE<3> ";
    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_EQ(wins.Log(), expected);
    for (const uint32_t wait : {1000, 2000, 4000}) {
        clock.Advance(wait - 1);
        ASSERT_TRUE(clock.WaitForWaiters(1));
        EXPECT_EQ(wins.Log(), expected) << wait;
        clock.Advance(1);
        ASSERT_TRUE(clock.WaitForWaiters(1));
        EXPECT_EQ(wins.Log(), expected += "query ALICE<3> ") << wait;
    }
}

} // namespace
} // namespace parlino
