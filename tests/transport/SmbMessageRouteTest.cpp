#include "transport/SmbMessageRoute.h"

#include "codec/NameQuery.h"
#include "codec/SessionService.h"
#include "codec/WinPopupDatagram.h"
#include "platform/LinuxTcpNetwork.h"
#include "platform/LocalMailslots.h"
#include "platform/MainThreadHandOver.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeLan.h"
#include "platform/fake/FakeStreams.h"
#include "tests/support/LanStation.h"
#include "tests/support/Wait.h"
#include "transport/SmbMessageSender.h"
#include "transport/StationSender.h"

#include <atomic>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace parlino {
namespace {

using namespace std::chrono_literals;

// What a peer is told, as text: "+" and "-XX" for session responses, "CC:ok" or "CC:class/code" for
// SMB answers; "|" when the connection was closed.
class RecordingConnection final : public TcpConnection
{
public:
    void Send(const Bytes& bytes) override { sent_.insert(sent_.end(), bytes.begin(), bytes.end()); }
    void Close() override { closed_ = true; }
    void Heard() override {}

    std::string Told() const
    {
        std::string told;
        for (size_t at = 0; at + kSessionHeaderSize <= sent_.size();) {
            const auto header = DecodeSessionHeader(sent_.data() + at, sent_.size() - at);
            const uint8_t* payload = sent_.data() + at + kSessionHeaderSize;
            char item[32] = "?";
            if (header->type == SessionPacketType::PositiveResponse)
                std::snprintf(item, sizeof item, "+");
            else if (header->type == SessionPacketType::NegativeResponse)
                std::snprintf(item, sizeof item, "-%02X", payload[0]);
            else if (const auto answer = DecodeSmbMessageResponse(payload, header->length); answer && !answer->status)
                std::snprintf(item, sizeof item, "%02X:ok", answer->command);
            else if (answer)
                std::snprintf(item, sizeof item, "%02X:%u/%u", answer->command, answer->status & 0xFF,
                              answer->status >> 16);
            told += (told.empty() ? "" : " ") + std::string(item);
            at += kSessionHeaderSize + header->length;
        }
        return told + (closed_ ? " |" : "");
    }

private:
    Bytes sent_;
    bool closed_ = false;
};

class RecordingSink final : public MailslotSink
{
public:
    bool Deliver(const std::string& slot, std::vector<uint8_t> message) override
    {
        if (!open || slot != kMessengerMailslot)
            return false;
        const WinPopupFields fields = SplitWinPopupDatagram(message.data(), message.size());
        delivered.push_back(fields.sender + " -> " + fields.receiver + ": " + fields.text);
        return true;
    }

    bool open = true;
    std::vector<std::string> delivered;
};

Bytes Called(const std::string& name, uint8_t suffix = kMessengerSuffix)
{
    return EncodeSessionRequest({{name, suffix}, {"ALICE", kWorkstationSuffix}});
}

Bytes Smb(SmbMessageCommand command, std::string text = {}, uint16_t group = 1, std::string to = "BOB")
{
    return EncodeSessionPacket(SessionPacketType::Message,
                               EncodeSmbMessageRequest({command, {}, "ALICE", std::move(to), group, std::move(text)}));
}

Bytes Single(std::string text, std::string to = "BOB")
{
    return Smb(SmbMessageCommand::Single, std::move(text), 0, std::move(to));
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Blocks(size_t count, size_t size)
{
    Bytes all;
    for (size_t i = 0; i < count; ++i) {
        const Bytes block = Smb(SmbMessageCommand::Text, std::string(size, 'x'));
        all.insert(all.end(), block.begin(), block.end());
    }
    return all;
}

struct Row
{
    const char* what;
    Bytes input;
    std::string told;
    std::vector<std::string> delivered{};
    bool inboxOpen = true;
};

class SmbMessageSessionTest : public testing::TestWithParam<Row>
{
};

// Each row is fed whole and then byte by byte: the peer is told the same, and exactly the row's messages
// reach the inbox.
TEST_P(SmbMessageSessionTest, AnswersAsTheSenderExpectsAndDeliversOnlyWholeMessages)
{
    for (const bool byteByByte : {false, true}) {
        RecordingConnection connection;
        RecordingSink sink;
        sink.open = GetParam().inboxOpen;
        const ThisComputer bob("BOB", "OFFICE");
        SmbMessageSession session(connection, sink, bob);
        const Bytes& input = GetParam().input;
        for (size_t at = 0; at < input.size(); at += byteByByte ? 1 : input.size())
            session.Received(input.data() + at, byteByByte ? 1 : input.size());
        EXPECT_EQ(connection.Told(), GetParam().told) << (byteByByte ? "byte by byte" : "whole");
        EXPECT_EQ(sink.delivered, GetParam().delivered) << (byteByByte ? "byte by byte" : "whole");
    }
}

// A single-block message without its session header, cut two bytes short of what its counts say.
Bytes CutSmb()
{
    const Bytes packet = Single("x");
    return Bytes(packet.begin() + kSessionHeaderSize, packet.end() - 2);
}

INSTANTIATE_TEST_SUITE_P(
    Route, SmbMessageSessionTest,
    testing::Values(
        Row{"SingleBlock", Concat({Called("bob"), Single("Hi!")}), "+ D0:ok", {"ALICE -> BOB: Hi!"}},
        Row{"ToThisComputerAsItSpellsItsName",
            Concat({Called("BOB"), Single("Hi!", "bob  "), Smb(SmbMessageCommand::Start, {}, 1, "Bob"),
                    Smb(SmbMessageCommand::Text, "x"), Smb(SmbMessageCommand::End)}),
            "+ D0:ok D5:ok D7:ok D6:ok",
            {"ALICE -> BOB: Hi!", "ALICE -> BOB: x"}},
        Row{"MultiBlockWithKeepAlives",
            Concat({Called("BOB"), Smb(SmbMessageCommand::Start), EncodeSessionPacket(SessionPacketType::KeepAlive),
                    Smb(SmbMessageCommand::Text, std::string(127, 'a')), Smb(SmbMessageCommand::Text, "b"),
                    Smb(SmbMessageCommand::End), Single("next")}),
            "+ D5:ok D7:ok D7:ok D6:ok D0:ok",
            {"ALICE -> BOB: " + std::string(127, 'a') + "b", "ALICE -> BOB: next"}},
        Row{"AnotherComputersName", Concat({Called("CAROL"), Single("Hi!")}), "-82 |"},
        Row{"OurServerName", Called("BOB", kServerSuffix), "-82 |"},
        Row{"GarbageInsteadOfARequest", Bytes{'G', 'E', 'T', ' ', '/', '\r', '\n'}, " |"},
        Row{"MessageBeforeTheRequest", Single("Hi!"), " |"},
        Row{"LengthPastWhatIsRead", Concat({Called("BOB"), Bytes{0x00, 0x01, 0xFF, 0xFF, 0xFF}}), "+ |"},
        Row{"NotSmb1", Concat({Called("BOB"), EncodeSessionPacket(SessionPacketType::Message, Bytes(40, 0xFE))}),
            "+ |"},
        Row{"AnotherCommandIsRefusedAndTheSessionGoesOn",
            Concat({Called("BOB"), Smb(static_cast<SmbMessageCommand>(0x72)), Single("still here")}),
            "+ 72:2/64 D0:ok",
            {"ALICE -> BOB: still here"}},
        Row{"CountsOutsideTheFrame", Concat({Called("BOB"), EncodeSessionPacket(SessionPacketType::Message, CutSmb())}),
            "+ D0:2/1"},
        Row{"TextBeforeAStart", Concat({Called("BOB"), Smb(SmbMessageCommand::Text, "x"), Smb(SmbMessageCommand::End)}),
            "+ D7:2/1 D6:2/1"},
        Row{"AnotherGroup",
            Concat({Called("BOB"), Smb(SmbMessageCommand::Start), Smb(SmbMessageCommand::Text, "x", 2)}),
            "+ D5:ok D7:2/1"},
        Row{"SixtyFiveBlocks",
            Concat({Called("BOB"), Smb(SmbMessageCommand::Start), Blocks(65, 1), Smb(SmbMessageCommand::End)}),
            "+ D5:ok" +
                [] {
                    std::string ok;
                    for (int i = 0; i < 64; ++i)
                        ok += " D7:ok";
                    return ok;
                }() +
                " D7:2/83 D6:2/1"},
        Row{"MoreThan4KiBInBlocks",
            Concat({Called("BOB"), Smb(SmbMessageCommand::Start), Blocks(3, 1500), Smb(SmbMessageCommand::End)}),
            "+ D5:ok D7:ok D7:ok D7:2/83 D6:2/1"},
        Row{"MoreThan4KiBInOneBlock", Concat({Called("BOB"), Single(std::string(4097, 'x'))}), "+ D0:2/83"},
        Row{"ADestinationOtherThanThisComputer", Concat({Called("BOB"), Single("Hi!", "CAROL")}), "+ D0:2/82"},
        Row{"NobodyHoldsTheMailslot", Concat({Called("BOB"), Single("Hi!")}), "+ D0:2/82", {}, false}),
    [](const testing::TestParamInfo<Row>& row) { return std::string(row.param.what); });

// The route on loopback, with a real listener and this computer's real inboxes.
class SmbMessageRouteTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            route.Start(0, {16, 300ms, EncodeNegativeSessionResponse(SessionRefusal::InsufficientResources), 100}));
        inbox = inboxes.Create(kMessengerMailslot, 0, 5000);
        sender.emplace(*alice, tcp, SmbMessageSender::Ports{137, route.Port()}, 5000ms);
    }

    // The next message in the inbox, as its WinPopup datagram; empty after five seconds without one.
    Bytes NextMessage()
    {
        Bytes message(4096);
        uint32_t size = 0;
        if (!inboxes.Read(inbox, message.data(), static_cast<uint32_t>(message.size()), &size))
            return {};
        message.resize(size);
        return message;
    }

    std::string Send(const std::string& text) { return sender->Send(0x7F000001, "BOB", "ALICE", "root", text); }

    LocalMailslots inboxes;
    MailslotHandle inbox = 0;
    const ThisComputer bob{"BOB", "OFFICE"};
    LinuxTcpNetwork tcp;
    SmbMessageRoute route{tcp, inboxes, bob};
    fake::FakeLan lan;
    std::unique_ptr<fake::FakeStationNetwork> alice = lan.AddStation(1);
    std::optional<SmbMessageSender> sender;
};

TEST_F(SmbMessageRouteTest, TextsOfEveryLengthArriveAsWinPopupDatagrams)
{
    // 235 bytes in CP850, "ÄÖ" among them, as smbclient sends them in two blocks.
    const std::string texts[] = {"", "Hi!", std::string(128, 's'), "\x8E\x99 " + std::string(233, 'm')};
    for (const std::string& text : texts) {
        EXPECT_EQ(Send(text), "");
        EXPECT_EQ(NextMessage(), BuildWinPopupDatagram("root", "BOB", text));
    }
}

TEST_F(SmbMessageRouteTest, HundredConnectionsAndSilentPeersLeaveRoomForTheNextMessage)
{
    const Bytes refusal = EncodeNegativeSessionResponse(SessionRefusal::InsufficientResources);
    std::vector<std::unique_ptr<TcpStream>> peers;
    for (int i = 0; i < 100; ++i) {
        peers.push_back(tcp.Connect(0x7F000001, route.Port(), 5000ms));
        ASSERT_TRUE(peers.back());
    }
    int refused = 0;
    int timedOut = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const auto& peer : peers) {
        Bytes told(refusal.size());
        if (peer->ReadExactly(told.data(), told.size()) && told == refusal)
            ++refused;
        else
            ++timedOut;
    }
    EXPECT_EQ(refused, 84);
    EXPECT_EQ(timedOut, 16);
    // The silent ones were closed by the route, well before the peers' own time ran out.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
    EXPECT_EQ(Send("after the flood"), "");
    EXPECT_EQ(NextMessage(), BuildWinPopupDatagram("root", "BOB", "after the flood"));
}

TEST_F(SmbMessageRouteTest, RefusalsReachTheSenderAsOneLine)
{
    SmbMessageRoute second(tcp, inboxes, bob);
    EXPECT_FALSE(second.Start(route.Port()));
    EXPECT_EQ(second.Failure(), ListenFailure::InUse);
    EXPECT_EQ(sender->Send(0x7F000001, "CAROL", "ALICE", "root", "Hi!"), "CAROL refused the session (error 130)");
    EXPECT_EQ(Send(std::string(5000, 'x')), "BOB refused the message (error class 2, code 83)");
    inboxes.Close(inbox);
    EXPECT_EQ(Send("Hi!"), "BOB refused the message (error class 2, code 82)");
    const uint16_t port = route.Port();
    route.Stop();
    EXPECT_EQ(Send("Hi!"), "cannot connect to BOB on TCP port " + std::to_string(port));
}

TEST_F(SmbMessageRouteTest, APeerThatEndsTheSessionAtASingleBlockGetsTheTextInBlocks)
{
    // As smbd does before a negotiation: only the multi-block commands are taken.
    class SambaLike final : public TcpSession
    {
    public:
        SambaLike(TcpConnection& connection, MailslotSink& inboxes, const ThisComputer& names)
            : connection_(connection), inner_(connection, inboxes, names)
        {}
        void Received(const uint8_t* data, size_t size) override
        {
            if (size > 8 && data[0] == 0 && data[8] == static_cast<uint8_t>(SmbMessageCommand::Single))
                connection_.Close();
            else
                inner_.Received(data, size);
        }

    private:
        TcpConnection& connection_;
        SmbMessageSession inner_;
    };
    const auto samba = tcp.Listen(
        0, [&](TcpConnection& connection) { return std::make_unique<SambaLike>(connection, inboxes, bob); },
        SmbMessageRoute::DefaultLimits());
    SmbMessageSender toSamba(*alice, tcp, {137, samba->Port()}, 5000ms);
    EXPECT_EQ(toSamba.Send(0x7F000001, "BOB", "ALICE", "root", "short"), "");
    EXPECT_EQ(NextMessage(), BuildWinPopupDatagram("root", "BOB", "short"));
}

TEST(SmbMessageRouteOnTheFakeLanTest, TheSenderFindsTheComputerByNameAndReachesItsRoute)
{
    fake::FakeLan lan;
    fake::FakeStreams streams;
    const auto alice = lan.AddStation(1);
    const auto bob = lan.AddStation(2);
    const auto aliceStreams = streams.Station(alice->Address());
    const auto bobStreams = streams.Station(bob->Address());
    RecordingSink inbox;
    const ThisComputer bobsNames("BOB", "OFFICE");
    SmbMessageRoute route(*bobStreams, inbox, bobsNames);
    ASSERT_TRUE(route.Start(139));
    // BOB answers only for its server name, as some hosts do.
    const auto responder = bob->Listen(137, [&](const uint8_t* data, size_t size, uint32_t from, uint16_t port) {
        const auto query = DecodeNameQuery(data, size);
        if (query && query->name == NetbiosName{"BOB", kServerSuffix})
            bob->SendTo(from, port, EncodePositiveNameQueryResponse(*query, bob->Address()), 137);
    });

    SmbMessageSender sender(*alice, *aliceStreams, {137, 139}, 100ms);
    EXPECT_EQ(sender.Resolve("CAROL"), std::nullopt);
    const auto address = sender.Resolve("bob");
    ASSERT_EQ(address, bob->Address());
    EXPECT_EQ(sender.Send(*address, "BOB", "ALICE", "ALICE", "over the fake LAN"), "");
    EXPECT_EQ(inbox.delivered, std::vector<std::string>{"ALICE -> BOB: over the fake LAN"});
    // Sessions past the limit are told so at once.
    std::vector<std::unique_ptr<TcpStream>> held;
    for (size_t i = 0; i < SmbMessageRoute::DefaultLimits().sessions; ++i)
        held.push_back(aliceStreams->Connect(*address, 139, 100ms));
    EXPECT_EQ(sender.Send(*address, "BOB", "ALICE", "ALICE", "one too many"), "BOB refused the session (error 131)");
}

// Sixteen peers take every session and keep at it, ten seconds apart: a message from another address gets
// through once their time is up, not before.
struct HoldingCase
{
    const char* what;
    bool oneAddress;
    bool wholeRequests; // a message each time, or only the next byte of a session request
    int seconds;
};

using SmbMessageSlotsTest = testing::TestWithParam<HoldingCase>;

TEST_P(SmbMessageSlotsTest, AMessageGetsThroughOnceThePeersTimeIsUp)
{
    const HoldingCase& c = GetParam();
    fake::FakeClock clock;
    fake::FakeStreams streams(&clock);
    const auto bobStreams = streams.Station(2);
    RecordingSink inbox;
    const ThisComputer names("BOB", "OFFICE");
    SmbMessageRoute route(*bobStreams, inbox, names);
    ASSERT_TRUE(route.Start(139));
    const Bytes request = Called("BOB");
    std::vector<std::unique_ptr<TcpNetwork>> stations;
    std::vector<std::unique_ptr<TcpStream>> peers;
    for (uint32_t i = 0; i < 16; ++i) {
        stations.push_back(streams.Station(c.oneAddress ? 10 : 10 + i));
        peers.push_back(stations.back()->Connect(2, 139, 0ms));
        if (c.wholeRequests)
            peers.back()->Write(request);
    }
    const auto other = streams.Station(99);
    const auto MessageGetsThrough = [&] {
        const size_t before = inbox.delivered.size();
        other->Connect(2, 139, 0ms)->Write(Concat({request, Single("Hi!")}));
        return inbox.delivered.size() > before;
    };
    for (int at = 0; at < c.seconds; at += 10) {
        for (const auto& peer : peers)
            peer->Write(c.wholeRequests ? Single("more") : Bytes{request[at / 10]});
        EXPECT_FALSE(MessageGetsThrough()) << at << " s";
        clock.Advance(10000);
    }
    EXPECT_TRUE(MessageGetsThrough()) << c.seconds << " s";
}

INSTANTIATE_TEST_SUITE_P(Route, SmbMessageSlotsTest,
                         testing::Values(HoldingCase{"FromOneAddress", true, false, 0},
                                         HoldingCase{"DribblingUntilIdle", false, false, 30},
                                         HoldingCase{"TalkingUntilTheirLifeEnds", false, true, 60}),
                         [](const testing::TestParamInfo<HoldingCase>& row) { return std::string(row.param.what); });

// ALICE sends lines to BOB on the fake LAN. Whichever route a line takes, it ends in BOB's messenger mailslot;
// a listener of its own counts the datagrams.
class StationSenderTest : public testing::Test
{
protected:
    fake::FakeLan lan;
    fake::FakeStreams streams;
    test::LanStation alice{lan, 1, "ALICE"};
    test::LanStation bob{lan, 2, "BOB"};
    const std::unique_ptr<TcpNetwork> aliceStreams = streams.Station(alice.network->Address());
    const std::unique_ptr<TcpNetwork> bobStreams = streams.Station(bob.network->Address());
    SmbMessageRoute bobRoute{*bobStreams, bob.inboxes, bob.names};
    const std::unique_ptr<UdpEndpoint> bobAnswers =
        bob.network->Listen(137, [this](const uint8_t* data, size_t size, uint32_t from, uint16_t port) {
            const auto query = DecodeNameQuery(data, size);
            if (query && query->name == NetbiosName{"BOB", kMessengerSuffix})
                bob.network->SendTo(from, port, EncodePositiveNameQueryResponse(*query, bob.network->Address()), 137);
        });
    const std::unique_ptr<fake::FakeStationNetwork> observer = lan.AddStation(9);
    std::atomic<int> datagrams = 0;
    const std::unique_ptr<UdpEndpoint> counter =
        observer->Listen(138, [this](const uint8_t*, size_t, uint32_t, uint16_t) { ++datagrams; });
    // The stations the browse list knows as Samba servers.
    QStringList sambaServers;
    SmbMessageSender smb{*alice.network, *aliceStreams, {137, 139}, 100ms};
    StationSender sender{alice.popup, StationSender::SmbRoute{smb, alice.codePage, "ALICE", [this](const QString& s) {
                                                                  return sambaServers.contains(s);
                                                              }}};
};

struct LineCase
{
    const char* what;
    const char* station;
    bool samba;
    bool smbListening;
    bool delivered;
    int datagrams;
    QStringList received;
};

class StationSenderRouteTest : public StationSenderTest, public testing::WithParamInterface<LineCase>
{
};

TEST_P(StationSenderRouteTest, TheOutcomeIsToldOnTheMainThreadAtOnceOnlyWithoutTheSmbRoute)
{
    const LineCase& c = GetParam();
    if (c.samba)
        sambaServers.append(QString::fromLatin1(c.station));
    if (c.smbListening) {
        ASSERT_TRUE(bobRoute.Start(139));
    }
    std::optional<bool> told;
    bool onMainThread = false;
    QObject window;
    sender.Send(QString::fromLatin1(c.station), QStringLiteral("ALICE"), QStringLiteral("hi"), &window,
                [&](bool delivered) {
                    told = delivered;
                    onMainThread = MainThreadHandOver::IsMainThread();
                });
    EXPECT_EQ(told.has_value(), !c.samba);
    ASSERT_TRUE(test::WaitUntil([&] { return told.has_value(); }));
    EXPECT_EQ(*told, c.delivered);
    EXPECT_TRUE(onMainThread);
    EXPECT_EQ(datagrams, c.datagrams);
    ASSERT_TRUE(test::WaitUntil([&] { return bob.inbox.size() >= c.received.size(); }));
    EXPECT_EQ(bob.inbox, c.received);
}

INSTANTIATE_TEST_SUITE_P(
    Routes, StationSenderRouteTest,
    testing::Values(LineCase{"ASambaServerBySmbAlone", "BOB", true, true, true, 0, {"ALICE -> BOB: hi"}},
                    LineCase{"ADatagramWhenTheSmbRouteFails", "BOB", true, false, true, 1, {"ALICE -> BOB: hi"}},
                    // Longer than a NetBIOS name: neither a session nor a datagram can be addressed to it.
                    LineCase{"BothRoutesFail", "SAMBAWITHALONGNAME", true, true, false, 0, {}},
                    LineCase{"OtherStationsByDatagramAlone", "BOB", false, true, true, 1, {"ALICE -> BOB: hi"}}),
    [](const testing::TestParamInfo<LineCase>& row) { return std::string(row.param.what); });

TEST_F(StationSenderTest, AWindowThatClosedWhileItsLineWasOnTheSmbRouteIsNotTold)
{
    sambaServers.append(QStringLiteral("BOB"));
    ASSERT_TRUE(bobRoute.Start(139));
    auto window = std::make_unique<QObject>();
    bool toldClosed = false;
    sender.Send(QStringLiteral("BOB"), QStringLiteral("ALICE"), QStringLiteral("first"), window.get(),
                [&](bool) { toldClosed = true; });
    window.reset();
    // Lines go in order: once the second one is told, the first one's outcome has come and gone.
    std::optional<bool> told;
    QObject open;
    sender.Send(QStringLiteral("BOB"), QStringLiteral("ALICE"), QStringLiteral("second"), &open,
                [&](bool delivered) { told = delivered; });
    ASSERT_TRUE(test::WaitUntil([&] { return told.has_value(); }));
    EXPECT_FALSE(toldClosed);
    ASSERT_TRUE(test::WaitUntil([&] { return bob.inbox.size() == 2; }));
    EXPECT_EQ(bob.inbox, (QStringList{"ALICE -> BOB: first", "ALICE -> BOB: second"}));
}

} // namespace
} // namespace parlino
