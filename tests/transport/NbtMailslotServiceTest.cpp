#include "transport/NbtMailslotService.h"

#include "codec/SmbMailslot.h"
#include "codec/WinPopupDatagram.h"
#include "platform/fake/FakeLan.h"
#include "tests/support/LanStation.h"
#include "tests/support/Wait.h"
#include "transport/MailSlot.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace parlino {
namespace {

using test::WaitUntil;

class NbtMailslotServiceTest : public testing::Test
{
protected:
    fake::FakeLan lan;
    test::LanStation alice{lan, 1, "ALICE", "OFFICE"};
    test::LanStation bob{lan, 2, "BOB", "OFFICE"};
    test::LanStation carol{lan, 3, "CAROL", "OFFICE"};
    test::LanStation dave{lan, 4, "DAVE", "LAB"};

    // Anything still on its way to a station arrives before a message sent after it: sends one to every station,
    // waits until each has it and takes it out again.
    void Settle()
    {
        ASSERT_TRUE(dave.popup.Send("OFFICE", "DAVE", "OFFICE", "end"));
        ASSERT_TRUE(dave.popup.Send("LAB", "DAVE", "LAB", "end"));
        const std::array<test::LanStation*, 4> stations{&alice, &bob, &carol, &dave};
        ASSERT_TRUE(WaitUntil([&] {
            return std::ranges::all_of(stations, [](const test::LanStation* station) {
                return !station->inbox.isEmpty() && station->inbox.back().endsWith(QStringLiteral(": end"));
            });
        }));
        for (test::LanStation* station : stations)
            station->inbox.removeLast();
    }
};

TEST_F(NbtMailslotServiceTest, PersonalMessageReachesOnlyItsComputer)
{
    EXPECT_TRUE(alice.popup.Send("bob", "ALICE", "BOB", "hello"));
    ASSERT_TRUE(WaitUntil([&] { return !bob.inbox.isEmpty(); }));
    Settle();
    EXPECT_EQ(bob.inbox, QStringList{"ALICE -> BOB: hello"});
    EXPECT_TRUE(alice.inbox.isEmpty());
    EXPECT_TRUE(carol.inbox.isEmpty());
    EXPECT_TRUE(dave.inbox.isEmpty());
}

TEST_F(NbtMailslotServiceTest, WorkgroupAndStarReachEveryListenerOfTheGroup)
{
    EXPECT_TRUE(alice.popup.Send("OFFICE", "ALICE", "OFFICE", "to the office"));
    EXPECT_TRUE(dave.popup.Send("*", "DAVE", "*", "to the lab"));
    ASSERT_TRUE(WaitUntil([&] {
        return alice.inbox.size() == 1 && bob.inbox.size() == 1 && carol.inbox.size() == 1 && dave.inbox.size() == 1;
    }));
    Settle();
    for (auto* station : {&alice, &bob, &carol})
        EXPECT_EQ(station->inbox, QStringList{"ALICE -> OFFICE: to the office"});
    EXPECT_EQ(dave.inbox, QStringList{"DAVE -> *: to the lab"});
}

TEST_F(NbtMailslotServiceTest, RoutesByTheKindOfTarget)
{
    alice.service.SetGroupLookup([](const std::string& name) { return name == "LAB"; });
    const auto route = [&](const std::string& target) { return alice.service.RouteTo(target); };
    EXPECT_EQ(route("BOB").destination, (NetbiosName{"BOB", 0x03}));
    EXPECT_EQ(route("BOB").type, DatagramType::DirectUnique);
    EXPECT_EQ(route("OFFICE").destination, (NetbiosName{"OFFICE", 0x00}));
    EXPECT_EQ(route("OFFICE").type, DatagramType::DirectGroup);
    EXPECT_EQ(route("LAB").type, DatagramType::DirectGroup);
    EXPECT_EQ(route("*").destination, (NetbiosName{"OFFICE", 0x00}));
    EXPECT_EQ(route("*").type, DatagramType::DirectGroup);
}

TEST_F(NbtMailslotServiceTest, AcceptsOnlyItsOwnNames)
{
    struct Case
    {
        NetbiosName name;
        bool accepted;
    };
    const Case cases[] = {{{"BOB", 0x00}, true},    {{"BOB", 0x03}, true},     {{"BOB", 0x20}, true},
                          {{"bob", 0x03}, true},    {{"BOB", 0x1D}, false},    {{"OFFICE", 0x00}, true},
                          {{"OFFICE", 0x03}, true}, {{"OFFICE", 0x1E}, false}, {{"LAB", 0x00}, false},
                          {{"BOBBY", 0x03}, false}, {{"*", 0x00}, true},       {{std::string("*\0\0", 3), 0}, true}};
    for (const Case& c : cases)
        EXPECT_EQ(bob.names.IsAddressedBy(c.name), c.accepted) << c.name.name << int(c.name.suffix);
}

TEST_F(NbtMailslotServiceTest, FramesOnTheWireAreTheCodecs)
{
    std::vector<Bytes> frames;
    auto spy = lan.AddStation(9)->Listen(
        138, [&](const uint8_t* data, size_t size, uint32_t, uint16_t) { frames.emplace_back(data, data + size); });
    ASSERT_TRUE(alice.popup.Send("BOB", "ALICE", "BOB", "Hi!"));
    ASSERT_EQ(frames.size(), 1u);
    const auto datagram = DecodeDatagram(frames[0].data(), frames[0].size());
    ASSERT_TRUE(datagram);
    EXPECT_EQ(datagram->sourceAddress, 0x0A000001u);
    EXPECT_EQ(datagram->source, (NetbiosName{"ALICE", 0x00}));
    EXPECT_EQ(datagram->destination, (NetbiosName{"BOB", 0x03}));
    const auto write = DecodeMailslotWrite(datagram->userData.data(), datagram->userData.size());
    ASSERT_TRUE(write);
    EXPECT_EQ(write->mailslot, "\\MAILSLOT\\MESSNGR");
    EXPECT_EQ(write->data, BuildWinPopupDatagram("ALICE", "BOB", "Hi!"));
}

TEST_F(NbtMailslotServiceTest, GarbageIsDroppedAndTheNextGoodFrameStillArrives)
{
    const auto good = [](const std::string& text, const std::string& mailslot = "\\MAILSLOT\\MESSNGR") {
        NetbiosDatagram datagram;
        datagram.source = {"EVE", 0};
        datagram.destination = {"BOB", 3};
        const Bytes message = BuildWinPopupDatagram("EVE", "BOB", text);
        datagram.userData = EncodeMailslotWrite(mailslot, message.data(), message.size());
        return EncodeDatagram(datagram);
    };
    lan.Inject(0x0A000063, 138, Bytes{});
    lan.Inject(0x0A000063, 138, Bytes(3, 0x10));
    Bytes truncated = good("cut");
    truncated.resize(truncated.size() - 2);
    lan.Inject(0x0A000063, 138, truncated);
    lan.Inject(0x0A000063, 138, good("wrong slot", "\\MAILSLOT\\BROWSE"));
    lan.Inject(0x0A000063, 138, good("no prefix", "MESSNGR"));
    lan.Inject(0x0A000063, 138, good("arrives"));
    ASSERT_TRUE(WaitUntil([&] { return !bob.inbox.isEmpty(); }));
    Settle();
    EXPECT_EQ(bob.inbox, QStringList{"EVE -> BOB: arrives"});
}

TEST_F(NbtMailslotServiceTest, OneHolderPerSlotNameAndComputer)
{
    LocalMailslots inboxes;
    const ThisComputer bobAgain{"BOB", "OFFICE"};
    NbtMailslotService again(*bob.network, *bob.network, inboxes, bobAgain, 138);
    EXPECT_EQ(again.CreateMailslot("\\\\.\\mailslot\\MESSNGR", 0, 0), kInvalidHandle);
    EXPECT_EQ(again.GetLastError(), kErrorAlreadyExists);
    // Another station name on the same host is another computer.
    LocalMailslots twinInboxes;
    const ThisComputer bob2{"BOB2", "OFFICE"};
    NbtMailslotService twin(*bob.network, *bob.network, twinInboxes, bob2, 138);
    const MailslotHandle handle = twin.CreateMailslot("\\\\.\\mailslot\\messngr", 0, 0);
    EXPECT_NE(handle, kInvalidHandle);
    twin.CloseHandle(handle);
    EXPECT_EQ(again.CreateMailslot("\\\\server\\mailslot\\x", 0, 0), kInvalidHandle);
    EXPECT_EQ(again.GetLastError(), kErrorBadPathname);
    // A name the system refuses to hold is held by nobody.
    AbstractSocketClaims hostClaims;
    NbtMailslotService refused(*bob.network, hostClaims, inboxes, bobAgain, 138);
    EXPECT_EQ(refused.CreateMailslot("\\\\.\\mailslot\\" + std::string(200, 'X'), 0, 0), kInvalidHandle);
    EXPECT_EQ(refused.GetLastError(), kErrorAccessDenied);
}

TEST_F(NbtMailslotServiceTest, NamesTooLongForNetbiosAreRefusedNotCut)
{
    EXPECT_FALSE(alice.popup.Send("ABCDEFGHIJKLMNOP", "ALICE", "ABCDEFGHIJKLMNOP", "x"));
    EXPECT_FALSE(alice.popup.Send("", "ALICE", "", "x"));
    EXPECT_EQ(lan.FramesSent(), 0u);
}

TEST_F(NbtMailslotServiceTest, LettersOutsideAsciiCrossTheWire)
{
    ASSERT_TRUE(alice.popup.Send("BOB", "ALICE", "BOB", "Grüße, café"));
    ASSERT_TRUE(WaitUntil([&] { return !bob.inbox.isEmpty(); }));
    EXPECT_EQ(bob.inbox, QStringList{"ALICE -> BOB: Grüße, café"});
}

TEST_F(NbtMailslotServiceTest, ClosedStationsReceiveNothingAndSendingNeedsNoListener)
{
    bob.popup.Close();
    ASSERT_TRUE(bob.popup.Send("ALICE", "BOB", "ALICE", "still sending"));
    ASSERT_TRUE(alice.popup.Send("BOB", "ALICE", "BOB", "unheard"));
    ASSERT_TRUE(WaitUntil([&] { return !alice.inbox.isEmpty(); }));
    bob.popup.SetActive(true);
    Settle();
    EXPECT_TRUE(bob.inbox.isEmpty());
}

} // namespace
} // namespace parlino
