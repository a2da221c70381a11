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

#include <future>
#include <gtest/gtest.h>

namespace parlino {
namespace {

using namespace std::chrono_literals;

// A peer on loopback that opens every session, then only sends keep-alives, far more often than an answer is
// waited for. It counts the sessions opened and those the sender closed.
class KeepAlivePeer
{
public:
    std::atomic<int> opened = 0;
    std::atomic<int> closed = 0;

private:
    std::promise<uint16_t> ready_;
    std::atomic<bool> stop_ = false;
    std::thread thread_{[this] {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        ready_.set_value(server.serverPort());
        std::vector<std::unique_ptr<QTcpSocket>> sessions;
        while (!stop_) {
            if (server.waitForNewConnection(10) && ++opened)
                sessions.emplace_back(server.nextPendingConnection())->write(QByteArray("\x82\0\0\0", 4));
            for (auto& session : sessions)
                if (session && session->write(QByteArray("\x85\0\0\0", 4)) && !session->waitForBytesWritten(10) &&
                    session->state() != QAbstractSocket::ConnectedState && ++closed)
                    session.reset();
        }
    }};

public:
    ~KeepAlivePeer()
    {
        stop_ = true;
        thread_.join();
    }
    const uint16_t port = ready_.get_future().get();
};

// ALICE's lines to BOB, a Samba server whose name query answers with the keep-alive peer's address.
TEST(SmbMessageSenderTest, AKeepAlivePeerHoldsALineUntilItsDeadlineAndTheEndOneAnswerTime)
{
    fake::FakeLan lan;
    test::LanStation alice{lan, 1, "ALICE"};
    test::LanStation bob{lan, 2, "BOB"};
    const auto names = bob.network->Listen(137, [&](const uint8_t* data, size_t size, uint32_t from, uint16_t port) {
        if (const auto query = DecodeNameQuery(data, size))
            bob.network->SendTo(from, port, EncodePositiveNameQueryResponse(*query, 0x7F000001), 137);
    });
    LinuxTcpNetwork tcp;
    KeepAlivePeer peer;
    SmbMessageSender smb(*alice.network, tcp, {137, peer.port}, 100ms, 1s);
    auto sender = std::make_unique<StationSender>(
        alice.popup, StationSender::SmbRoute{smb, alice.codePage, "ALICE", [](const QString&) { return true; }});
    std::vector<bool> told;
    QObject window;
    for (const QString text : {"first", "left at the end"})
        sender->Send("BOB", "ALICE", text, &window, [&](bool delivered) { told.push_back(delivered); });
    ASSERT_TRUE(test::WaitUntil([&] { return bob.inbox.size() == 1 && peer.opened == 2; }));
    EXPECT_EQ(bob.inbox, QStringList{"ALICE -> BOB: first"});
    sender.reset();
    smb.Stop();
    ASSERT_TRUE(test::WaitUntil([&] { return peer.closed == 2; }));
    EXPECT_EQ(told, std::vector<bool>{true});
}

// Notes each request's command; answers a single-block message with an error or not at all, the rest with success.
struct SingleBlockPeer final : TcpSession
{
    SingleBlockPeer(TcpConnection& to, bool answering, std::string& noted)
        : connection(to), answers(answering), commands(noted)
    {}
    void Received(const uint8_t* data, size_t size) override
    {
        const auto request = DecodeSmbMessageRequest(data + kSessionHeaderSize, size - kSessionHeaderSize);
        if (!request)
            return connection.Send(EncodeSessionPacket(SessionPacketType::PositiveResponse));
        const auto command = static_cast<uint8_t>(request->command);
        const bool single = request->command == SmbMessageCommand::Single;
        commands += std::to_string(command) + " ";
        if (answers || !single)
            connection.Send(
                EncodeSessionPacket(SessionPacketType::Message,
                                    EncodeSmbMessageResponse(command, request->ids, single ? kErrSrvError : 0)));
    }
    TcpConnection& connection;
    const bool answers;
    std::string& commands;
};

TEST(SmbMessageSenderTest, AShortTextGoesAgainInBlocksWhenRefusedButNeverWhenUnanswered)
{
    for (const bool answers : {true, false}) {
        fake::FakeLan lan;
        fake::FakeStreams streams;
        const auto alice = lan.AddStation(1);
        std::string commands;
        const auto listener = streams.Station(2)->Listen(
            139,
            [&](TcpConnection& connection) { return std::make_unique<SingleBlockPeer>(connection, answers, commands); },
            {});
        const auto aliceStreams = streams.Station(1);
        const std::string error =
            SmbMessageSender(*alice, *aliceStreams, {137, 139}, 100ms).Send(2, "BOB", "ALICE", "root", "hi");
        // Single 0xD0; start 0xD5, text 0xD7, end 0xD6.
        EXPECT_EQ(commands, answers ? "208 213 215 214 " : "208 ");
        EXPECT_EQ(error, answers ? "" : "BOB did not answer the message in time");
    }
}

} // namespace
} // namespace parlino
