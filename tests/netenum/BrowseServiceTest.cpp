#include "netenum/BrowseService.h"

#include "netenum/NetUsers.h"
#include "platform/CodePage.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeLan.h"
#include "tests/support/Wait.h"
#include "transport/SmbMailslot.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <memory>

namespace parlino {
namespace {

using test::WaitUntil;

// Answers come within 50 ms; the collection leaves a loaded machine ample time to deliver them.
constexpr BrowseTiming kQuick{50, 800, 10000};

class NameOf final : public ComputerName
{
public:
    explicit NameOf(QString name) : name_(std::move(name)) {}
    QString Get() const override { return name_; }

private:
    QString name_;
};

// One computer on the fake LAN with its browse service and the component that reads it.
struct Station
{
    Station(fake::FakeLan& lan, uint8_t host, const std::string& name, const std::string& workgroup,
            BrowseTiming timing = kQuick)
        : network(lan.AddStation(host)), service(*network, clock, codePage, {name, workgroup, 138, ""}, timing),
          computerName(QString::fromStdString(name)), users(nullptr, service, computerName)
    {}

    // Each workgroup as "GROUP: A B C", as the station tree shows them.
    QStringList Browse()
    {
        QStringList lines;
        users.SetServer({});
        users.EnumDomains();
        const QStringList groups = users.Items().Names();
        for (const QString& group : groups) {
            users.SetServer(group);
            users.Refresh();
            lines.append(group + ":" + (users.Items().Count() ? " " + users.Items().Names().join(' ') : ""));
        }
        return lines;
    }

    std::unique_ptr<fake::FakeStationNetwork> network;
    fake::FakeClock clock;
    IconvCodePage codePage{QStringLiteral("CP850")};
    BrowseService service;
    NameOf computerName;
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

TEST(BrowseServiceTest, AnnouncementsSlowDownToTwelveMinutes)
{
    const uint32_t minutes[] = {1, 2, 4, 8, 12, 12, 12};
    for (int sent = 0; sent < 7; ++sent)
        EXPECT_EQ(BrowseService::AnnouncementInterval(sent), minutes[sent] * 60000) << sent;
}

TEST(BrowseServiceTest, WithoutTheServiceRunningThereIsNoNetwork)
{
    fake::FakeLan lan;
    Station alice(lan, 1, "ALICE", "OFFICE");
    EXPECT_FALSE(alice.users.EnumDomains());
    NetworkBrowser::Handle handle = 0;
    EXPECT_EQ(alice.service.WNetOpenEnum(NetEnum::RESOURCE_GLOBALNET, 1, 2, nullptr, &handle),
              NetEnum::ERROR_NO_NETWORK);
}

TEST(BrowseServiceTest, StationsOfTwoWorkgroupsSeeEachOtherAndALeaverGoesAtOnce)
{
    fake::FakeLan lan;
    Station alice(lan, 1, "ALICE", "OFFICE");
    Station bob(lan, 2, "bob", "office");
    Station carol(lan, 3, "CAROL", "LAB");
    for (Station* station : {&alice, &bob, &carol})
        ASSERT_TRUE(station->service.Start());
    const QStringList all{"LAB: CAROL", "OFFICE: ALICE BOB"};
    for (Station* station : {&alice, &bob, &carol})
        EXPECT_EQ(station->Browse(), all);
    EXPECT_TRUE(alice.service.KnowsWorkgroup("lab"));
    EXPECT_FALSE(alice.service.KnowsWorkgroup("CAROL"));

    bob.service.Stop();
    EXPECT_EQ(alice.Browse(), (QStringList{"LAB: CAROL", "OFFICE: ALICE"}));
    EXPECT_EQ(carol.Browse(), (QStringList{"LAB: CAROL", "OFFICE: ALICE"}));
}

TEST(BrowseServiceTest, AStationThatMissedTheStartAnnouncementsAsksAndIsAnswered)
{
    fake::FakeLan lan;
    Station alice(lan, 1, "ALICE", "OFFICE");
    Station bob(lan, 2, "BOB", "OFFICE");
    Station carol(lan, 3, "CAROL", "LAB");
    ASSERT_TRUE(alice.service.Start());
    alice.network->SetUnplugged(true);
    ASSERT_TRUE(bob.service.Start());
    ASSERT_TRUE(carol.service.Start());
    alice.network->SetUnplugged(false);
    EXPECT_EQ(alice.service.Table().HostCount(), 1u);
    EXPECT_EQ(alice.Browse(), (QStringList{"LAB: CAROL", "OFFICE: ALICE BOB"}));
}

TEST(BrowseServiceTest, RecordsForeignAnnouncementsAndDropsMalformedOnes)
{
    fake::FakeLan lan;
    Station alice(lan, 1, "ALICE", "OFFICE");
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
}

TEST(BrowseServiceTest, FloodOfInventedHostsKeepsTheListBounded)
{
    fake::FakeLan lan;
    Station alice(lan, 1, "ALICE", "OFFICE");
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

TEST(BrowseServiceTest, EnumerationsCloseTogetherShareOneRequest)
{
    fake::FakeLan lan;
    Station alice(lan, 1, "ALICE", "OFFICE");
    ASSERT_TRUE(alice.service.Start());
    alice.Browse();
    const size_t sent = lan.FramesSent();
    alice.Browse();
    EXPECT_EQ(lan.FramesSent(), sent);
}

TEST(BrowseServiceTest, AListingStopsWaitingForAnswersWhenTheProgramEnds)
{
    fake::FakeLan lan;
    // Answers would be collected for ten minutes.
    Station alice(lan, 1, "ALICE", "OFFICE", {50, 600000, 10000});
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
