#include "codec/NameQuery.h"
#include "codec/SessionService.h"
#include "codec/SmbMessage.h"
#include "platform/LinuxTcpNetwork.h"
#include "platform/fake/FakeStreams.h"
#include "tests/support/LanStation.h"
#include "tests/support/Wait.h"
#include "transport/StationSender.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace parlino {
namespace {

using namespace std::chrono_literals;

// A peer on loopback that opens every session, then only sends keep-alives, far more often than an answer is
// waited for. It counts the sessions opened and those the sender closed.
class KeepAlivePeer
{
public:
    KeepAlivePeer() { port_ = ready_.get_future().get(); }
    ~KeepAlivePeer()
    {
        stop_ = true;
        thread_.join();
    }

    uint16_t Port() const { return port_; }
    std::atomic<int> opened = 0;
    std::atomic<int> closed = 0;

private:
    void Serve()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        ready_.set_value(server.serverPort());
        std::vector<std::unique_ptr<QTcpSocket>> sessions;
        while (!stop_) {
            if (server.waitForNewConnection(10)) {
                sessions.emplace_back(server.nextPendingConnection())->write(QByteArray("\x82\0\0\0", 4));
                ++opened;
            }
            for (auto& session : sessions) {
                if (!session)
                    continue;
                session->write(QByteArray("\x85\0\0\0", 4));
                if (!session->waitForBytesWritten(10) && session->state() != QAbstractSocket::ConnectedState) {
                    session.reset();
                    ++closed;
                }
            }
        }
    }

    std::promise<uint16_t> ready_;
    uint16_t port_ = 0;
    std::atomic<bool> stop_ = false;
    std::thread thread_{[this] { Serve(); }};
};

// ALICE's lines to BOB, a Samba server, go to the keep-alive peer, whose address BOB's name query answers with.
class SenderFacingAKeepAlivePeer : public testing::Test
{
protected:
    StationSender::SmbRoute Route(const SmbMessageSender& sender)
    {
        return {sender, alice.codePage, "ALICE", [](const QString&) { return true; }};
    }

    fake::FakeLan lan;
    test::LanStation alice{lan, 1, "ALICE"};
    test::LanStation bob{lan, 2, "BOB"};
    const std::unique_ptr<UdpEndpoint> names =
        bob.network->Listen(137, [this](const uint8_t* data, size_t size, uint32_t from, uint16_t port) {
            if (const auto query = DecodeNameQuery(data, size))
                bob.network->SendTo(from, port, EncodePositiveNameQueryResponse(*query, 0x7F000001), 137);
        });
    LinuxTcpNetwork tcp;
    std::vector<bool> told;
    QObject window;
    KeepAlivePeer peer;
};

TEST_F(SenderFacingAKeepAlivePeer, EachLineGoesAsADatagramAtItsDeadline)
{
    // An answer may take longer than the whole line: only the line's deadline can end it.
    StationSender sender(alice.popup, Route({*alice.network, tcp, {137, peer.Port()}, 10s, 300ms}));
    for (const QString text : {"first", "second"})
        sender.Send("BOB", "ALICE", text, &window, [this](bool delivered) { told.push_back(delivered); });
    ASSERT_TRUE(test::WaitUntil([&] { return told.size() == 2 && bob.inbox.size() == 2; }));
    EXPECT_EQ(told, (std::vector<bool>{true, true}));
    EXPECT_EQ(bob.inbox, (QStringList{"ALICE -> BOB: first", "ALICE -> BOB: second"}));
    EXPECT_EQ(peer.opened.load(), 2);
}

TEST_F(SenderFacingAKeepAlivePeer, AtTheEndTheLineUnderWayIsLeftAndEndsWhenItsSenderStops)
{
    SmbMessageSender smb(*alice.network, tcp, {137, peer.Port()}, 100ms, 1h);
    auto sender = std::make_unique<StationSender>(alice.popup, Route(smb));
    sender->Send("BOB", "ALICE", "held", &window, [this](bool delivered) { told.push_back(delivered); });
    ASSERT_TRUE(test::WaitUntil([&] { return peer.opened == 1; }));
    sender.reset();
    smb.Stop();
    ASSERT_TRUE(test::WaitUntil([&] { return peer.closed == 1; }));
    EXPECT_TRUE(told.empty());
    EXPECT_TRUE(bob.inbox.isEmpty());
}

// A peer that answers a single-block message as its row says and every other request with success. It notes
// each request as "COMMAND ORIGINATOR>DESTINATION TEXT", the parts a command has.
class SingleBlockPeer final : public TcpSession
{
public:
    enum class Answer
    {
        Success,
        None,
        Error,
        EndSession,
    };
    SingleBlockPeer(TcpConnection& connection, Answer answer, std::string& requests)
        : connection_(connection), answer_(answer), requests_(requests)
    {}

    void Received(const uint8_t* data, size_t size) override
    {
        if (data[0] == static_cast<uint8_t>(SessionPacketType::Request))
            return connection_.Send(EncodeSessionPacket(SessionPacketType::PositiveResponse));
        const auto request = DecodeSmbMessageRequest(data + kSessionHeaderSize, size - kSessionHeaderSize);
        char command[8];
        std::snprintf(command, sizeof command, "|%02X", static_cast<unsigned>(request->command));
        requests_ += command +
                     (request->destination.empty() ? "" : " " + request->originator + ">" + request->destination) +
                     (request->text.empty() ? "" : " " + request->text);
        const bool single = request->command == SmbMessageCommand::Single;
        if (single && answer_ == Answer::EndSession)
            return connection_.Close();
        if (!single || answer_ != Answer::None)
            connection_.Send(EncodeSessionPacket(
                SessionPacketType::Message,
                EncodeSmbMessageResponse(static_cast<uint8_t>(request->command), request->ids,
                                         single && answer_ == Answer::Error ? kErrSrvError : 0, 1)));
    }

private:
    TcpConnection& connection_;
    const Answer answer_;
    std::string& requests_;
};

struct LineRow
{
    const char* what;
    SingleBlockPeer::Answer answer;
    QString computer;
    QString text;
    std::string requests;
    QString error{};
};

class SmbLineTest : public testing::TestWithParam<LineRow>
{
};

// A short text goes again in blocks only when the peer turned it down, never after it went unanswered.
TEST_P(SmbLineTest, TheLineIsPreparedOnceAndRepeatedOnlyWhereThePeerCannotHaveShownIt)
{
    fake::FakeLan lan;
    fake::FakeStreams streams;
    const auto alice = lan.AddStation(1);
    const auto bob = lan.AddStation(2);
    const auto names = bob->Listen(137, [&](const uint8_t* data, size_t size, uint32_t from, uint16_t port) {
        if (const auto query = DecodeNameQuery(data, size))
            bob->SendTo(from, port, EncodePositiveNameQueryResponse(*query, bob->Address()), 137);
    });
    std::string requests;
    const auto listener =
        streams.Station(bob->Address())
            ->Listen(139,
                     [&](TcpConnection& connection) {
                         return std::make_unique<SingleBlockPeer>(connection, GetParam().answer, requests);
                     },
                     {});
    const auto aliceStreams = streams.Station(alice->Address());
    const IconvCodePage cp850(QStringLiteral("CP850"));
    const SmbMessageSender sender(*alice, *aliceStreams, {137, 139}, 100ms);
    EXPECT_EQ(sender.SendLine(cp850, "ALICE", GetParam().computer, "alice", GetParam().text), GetParam().error);
    EXPECT_EQ(requests, GetParam().requests);
}

using Answer = SingleBlockPeer::Answer;
INSTANTIATE_TEST_SUITE_P(Peers, SmbLineTest,
                         testing::Values(LineRow{"UpperCaseNameOemTextAndCrLf", Answer::Success, "bob", "Grüße\n",
                                                 "|D0 alice>BOB Gr\x81\xE1"
                                                 "e\r\n"},
                                         LineRow{"ANameLongerThanANetbiosName", Answer::Success, "SAMBAWITHALONGNAME",
                                                 "hi", "", "SAMBAWITHALONGNAME is longer than a computer name can be"},
                                         LineRow{"Unanswered", Answer::None, "BOB", "hi", "|D0 alice>BOB hi",
                                                 "BOB did not answer the message in time"},
                                         LineRow{"RefusedWithAnError", Answer::Error, "BOB", "hi",
                                                 "|D0 alice>BOB hi|D5 alice>BOB|D7 hi|D6"},
                                         LineRow{"TheSessionEnded", Answer::EndSession, "BOB", "hi",
                                                 "|D0 alice>BOB hi|D5 alice>BOB|D7 hi|D6"}),
                         [](const testing::TestParamInfo<LineRow>& row) { return std::string(row.param.what); });

} // namespace
} // namespace parlino
