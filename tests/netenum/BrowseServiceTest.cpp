#include "netenum/BrowseService.h"

#include "codec/SmbMailslot.h"
#include "netenum/NetUsers.h"
#include "netenum/NetworkWalk.h"
#include "platform/CodePage.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeComputerName.h"
#include "platform/fake/FakeLan.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <memory>

namespace parlino {
namespace {

// Answers go out at once and listings do not wait for them: nothing blocks on a clock that stands still.
constexpr BrowseTiming kNoWait{0, 0, 10000};
constexpr uint32_t kMinute = 60000;

// One computer on the fake LAN with its browse service and the component that reads it.
struct Station
{
    Station(fake::FakeLan& lan, Clock& clock, uint8_t host, const std::string& name, const std::string& workgroup,
            BrowseTiming timing = kNoWait)
        : network(lan.AddStation(host)), names(name, workgroup),
          service(*network, clock, codePage, names, 138, "", timing), computerName(QString::fromStdString(name)),
          users(nullptr, service, computerName)
    {}

    // Each workgroup as "GROUP: A B C", as the station tree shows them.
    QStringList Browse()
    {
        QStringList lines;
        WalkNetwork(users, [&](NetworkNode node, const QString& name) {
            if (node == NetworkNode::Domain)
                lines.append(name + u':');
            else
                lines.last() += u' ' + name;
        });
        return lines;
    }

    std::unique_ptr<fake::FakeStationNetwork> network;
    IconvCodePage codePage{QStringLiteral("CP850")};
    const ThisComputer names;
    BrowseService service;
    fake::FakeComputerName computerName;
    TNetUsers users;
};

std::vector<uint8_t> BrowseDatagram(const NetbiosName& to, const std::vector<uint8_t>& payload)
{
    NetbiosDatagram datagram;
    datagram.type = DatagramType::DirectGroup;
    datagram.sourceAddress = 0x0A0000FE;
    datagram.source = {"STRANGER", 0};
    datagram.destination = to;
    datagram.userData = EncodeMailslotWrite("\\MAILSLOT\\BROWSE", payload.data(), payload.size());
    return EncodeDatagram(datagram);
}

// One announcement as a listener hears it.
struct Heard
{
    uint32_t at;
    uint32_t periodicity;
    uint32_t serverType;
    bool operator==(const Heard&) const = default;
};

// The stations of a test share the LAN and its time.
class BrowseServiceTest : public testing::Test
{
protected:
    // Moves the clock on to `ticks` and waits until the threads waiting on it have done what that time asks.
    void AdvanceTo(uint32_t ticks, size_t threads)
    {
        clock.Advance(ticks - clock.TickCount());
        ASSERT_TRUE(clock.WaitForWaiters(threads));
    }

    fake::FakeLan lan;
    fake::FakeClock clock;
};

TEST_F(BrowseServiceTest, AnnouncementsSlowDownToTwelveMinutesAndTheLastOneSaysGoodbye)
{
    std::vector<Heard> heard;
    const auto ear = lan.AddStation(9);
    const auto endpoint = ear->Listen(138, [&](const uint8_t* data, size_t size, uint32_t, uint16_t) {
        const auto datagram = DecodeDatagram(data, size);
        const auto write = DecodeMailslotWrite(datagram->userData.data(), datagram->userData.size());
        const auto frame = DecodeBrowseFrame(write->data.data(), write->data.size());
        heard.push_back({clock.TickCount(), frame->periodicity, frame->serverType});
    });
    Station alice(lan, clock, 1, "ALICE", "OFFICE");
    ASSERT_TRUE(alice.service.Start());
    // Minutes from the start, and to the next announcement.
    const uint32_t schedule[][2] = {{0, 1}, {1, 2}, {3, 4}, {7, 8}, {15, 12}, {27, 12}, {39, 12}, {51, 12}};
    std::vector<Heard> expected;
    for (const auto& [minute, next] : schedule) {
        // A millisecond early the announcer takes in the time and waits on, silent.
        if (minute > 0) {
            AdvanceTo(minute * kMinute - 1, 1);
            AdvanceTo(minute * kMinute, 1);
        }
        expected.push_back({minute * kMinute, next * kMinute, BrowseService::kServerType});
    }
    alice.service.Stop();
    expected.push_back({51 * kMinute, 12 * kMinute, 0});
    EXPECT_EQ(heard, expected);
}

TEST_F(BrowseServiceTest, WithoutTheServiceRunningThereIsNoNetwork)
{
    Station alice(lan, clock, 1, "ALICE", "OFFICE");
    EXPECT_FALSE(alice.users.EnumDomains());
    NetworkBrowser::Handle handle = 0;
    EXPECT_EQ(alice.service.WNetOpenEnum(NetEnum::RESOURCE_GLOBALNET, 1, 2, nullptr, &handle),
              NetEnum::ERROR_NO_NETWORK);
}

TEST_F(BrowseServiceTest, StationsOfTwoWorkgroupsSeeEachOtherAndALeaverGoesAtOnce)
{
    Station alice(lan, clock, 1, "ALICE", "OFFICE");
    Station bob(lan, clock, 2, "bob", "office");
    Station carol(lan, clock, 3, "CAROL", "LAB");
    for (Station* station : {&alice, &bob, &carol})
        ASSERT_TRUE(station->service.Start());
    // The later stations missed the earlier ones starting: a listing asks, and the answers go out at once.
    carol.Browse();
    ASSERT_TRUE(clock.WaitForWaiters(3));
    const QStringList all{"LAB: CAROL", "OFFICE: ALICE BOB"};
    for (Station* station : {&alice, &bob, &carol})
        EXPECT_EQ(station->Browse(), all);
    EXPECT_TRUE(alice.service.KnowsWorkgroup("lab"));
    EXPECT_FALSE(alice.service.KnowsWorkgroup("CAROL"));

    bob.service.Stop();
    EXPECT_EQ(alice.Browse(), (QStringList{"LAB: CAROL", "OFFICE: ALICE"}));
    EXPECT_EQ(carol.Browse(), (QStringList{"LAB: CAROL", "OFFICE: ALICE"}));
}

TEST_F(BrowseServiceTest, AStationThatMissedTheStartAnnouncementsAsksAndIsAnsweredWhileItCollects)
{
    const BrowseTiming timing;
    Station alice(lan, clock, 1, "ALICE", "OFFICE", timing);
    Station bob(lan, clock, 2, "BOB", "OFFICE", timing);
    Station carol(lan, clock, 3, "CAROL", "LAB", timing);
    ASSERT_TRUE(alice.service.Start());
    alice.network->SetUnplugged(true);
    ASSERT_TRUE(bob.service.Start());
    ASSERT_TRUE(carol.service.Start());
    alice.network->SetUnplugged(false);
    EXPECT_EQ(alice.service.Table().HostCount(), 1u);

    auto listing = std::async(std::launch::async, [&] { return alice.Browse(); });
    // Three announcers wait, and the listing collects the answers: all are in once the longest delay is over.
    ASSERT_TRUE(clock.WaitForWaiters(4));
    AdvanceTo(timing.answerDelayMaxMs, 4);
    EXPECT_EQ(alice.service.Table().HostCount(), 3u);
    AdvanceTo(timing.collectMs - 1, 4);
    clock.Advance(1);
    EXPECT_EQ(listing.get(), (QStringList{"LAB: CAROL", "OFFICE: ALICE BOB"}));
}

TEST_F(BrowseServiceTest, RecordsForeignAnnouncementsAndDropsMalformedOnes)
{
    Station alice(lan, clock, 1, "ALICE", "OFFICE");
    ASSERT_TRUE(alice.service.Start());
    const auto host = [](const std::string& name, uint32_t periodicity) {
        return EncodeBrowseFrame({BrowseOpcode::HostAnnouncement, periodicity, name, 6, 1, 0x1003, ""});
    };
    const auto master = EncodeBrowseFrame({BrowseOpcode::LocalMasterAnnouncement, 720000, "MASTER", 6, 1, 0x1003, ""});
    const auto domain = EncodeBrowseFrame({BrowseOpcode::DomainAnnouncement, 720000, "ATTIC", 6, 1, 0, "MASTER"});
    std::vector<uint8_t> noTerminator = host("GHOST", 60000);
    std::fill(noTerminator.begin() + 6, noTerminator.begin() + 22, 'G');
    const std::pair<NetbiosName, std::vector<uint8_t>> frames[] = {
        {{"LAB", 0x1D}, host("DAVE", 60000)},
        {{"LAB", 0x1E}, master},
        {{"\x01\x02__MSBROWSE__\x02", 0x01}, domain},
        {{"LAB", 0x1D}, host("ABSURD", 0)},
        {{"LAB", 0x1D}, noTerminator},
        {{"LAB", 0x1D}, {0x01, 0x00, 0x60}},
        {{"LAB", 0x1D}, {0x0D, 0x00}},
        {{"LAB", 0x20}, host("WRONGNAME", 60000)},
    };
    for (const auto& [to, payload] : frames)
        lan.Inject(0x0A0000FE, 138, BrowseDatagram(to, payload));
    lan.Inject(0x0A0000FE, 138, {0x11, 0x0A});
    EXPECT_EQ(alice.Browse(), (QStringList{"ATTIC:", "LAB: DAVE MASTER", "OFFICE: ALICE"}));

    // A Samba server is known by the Unix server type, in any workgroup, until it announces itself without it.
    const auto samba = [](uint32_t serverType) {
        return EncodeBrowseFrame({BrowseOpcode::HostAnnouncement, 60000, "FILES", 6, 1, serverType, ""});
    };
    lan.Inject(0x0A0000FE, 138, BrowseDatagram({"LAB", 0x1D}, samba(0x1003 | kServerTypeServerUnix)));
    EXPECT_TRUE(alice.service.IsUnixServer(QStringLiteral("files")));
    for (const char* other : {"DAVE", "MASTER", "ALICE", "LAB", "NOBODY"})
        EXPECT_FALSE(alice.service.IsUnixServer(QString::fromLatin1(other))) << other;
    lan.Inject(0x0A0000FE, 138, BrowseDatagram({"LAB", 0x1D}, samba(0x1003)));
    EXPECT_FALSE(alice.service.IsUnixServer(QStringLiteral("FILES")));
}

TEST_F(BrowseServiceTest, FloodOfInventedHostsKeepsTheListBounded)
{
    Station alice(lan, clock, 1, "ALICE", "OFFICE");
    ASSERT_TRUE(alice.service.Start());
    for (int i = 0; i < 10000; ++i) {
        const std::string name = "FLOOD" + std::to_string(i);
        lan.Inject(0x0A0000FE, 138,
                   BrowseDatagram({"G" + std::to_string(i % 700), 0x1D},
                                  EncodeBrowseFrame({BrowseOpcode::HostAnnouncement, 720000, name, 6, 1, 0x1003, ""})));
    }
    EXPECT_LE(alice.service.Table().HostCount(), BrowseList::kMaxHosts);
    EXPECT_EQ(alice.service.Table().HostCount(), BrowseList::kMaxHosts);
    // This computer was listed before the flood and stays.
    EXPECT_EQ(alice.service.Table().Computers("OFFICE").size(), 1u);
}

TEST_F(BrowseServiceTest, EnumerationsCloseTogetherShareOneRequest)
{
    Station alice(lan, clock, 1, "ALICE", "OFFICE");
    ASSERT_TRUE(alice.service.Start());
    alice.Browse();
    const size_t sent = lan.FramesSent();
    AdvanceTo(kNoWait.requestIntervalMs - 1, 1);
    alice.Browse();
    EXPECT_EQ(lan.FramesSent(), sent);
    AdvanceTo(kNoWait.requestIntervalMs, 1);
    alice.Browse();
    EXPECT_GT(lan.FramesSent(), sent);
}

TEST_F(BrowseServiceTest, AMasterBrowsersListsJoinTheAnnouncementsAndAgeLikeThem)
{
    Station alice(lan, clock, 1, "ALICE", "OFFICE");
    Station bob(lan, clock, 2, "BOB", "OFFICE");
    ASSERT_TRUE(alice.service.Start());
    ASSERT_TRUE(bob.service.Start());
    std::vector<std::string> asked;
    // The master browser answers once, listing BOB, who announced himself too, and a computer of another subnet.
    alice.service.SetMasterLists([&](const std::string& workgroup) -> std::optional<MasterBrowserLists> {
        asked.push_back(workgroup);
        if (asked.size() > 1)
            return std::nullopt;
        return MasterBrowserLists{{{"BOB", 0x1003, ""}, {"FARHOST", 0x819a03, "Samba"}, {"GONE", 0, ""}},
                                  {{"OFFICE", 0x80001000, "SAMBA1"}, {"BRANCH", 0x80001000, "FARMASTER"}}};
    });
    EXPECT_EQ(alice.Browse(), (QStringList{"BRANCH:", "OFFICE: ALICE BOB FARHOST"}));
    EXPECT_TRUE(alice.service.IsUnixServer(QStringLiteral("farhost")));
    // Three times a browser's slowest pace later, what no one listed again has gone.
    AdvanceTo(36 * kMinute, 2);
    EXPECT_EQ(alice.Browse(), QStringList{"OFFICE: ALICE BOB"});
    EXPECT_EQ(asked, (std::vector<std::string>{"OFFICE", "OFFICE"}));
}

TEST_F(BrowseServiceTest, AListingStopsWaitingForAnswersWhenTheProgramEnds)
{
    // Answers would be collected for ten minutes.
    Station alice(lan, clock, 1, "ALICE", "OFFICE", {50, 600000, 10000});
    ASSERT_TRUE(alice.service.Start());
    auto listing = std::async(std::launch::async, [&] { return alice.Browse(); });
    alice.service.StopWaiting();
    const bool ended = listing.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!ended)
        alice.service.Stop(); // Ends the wait, so that a failure does not hang the test.
    ASSERT_TRUE(ended);
    EXPECT_EQ(listing.get(), QStringList{"OFFICE: ALICE"});
    // Later listings do not wait either.
    EXPECT_EQ(alice.Browse(), QStringList{"OFFICE: ALICE"});
}

} // namespace
} // namespace parlino
