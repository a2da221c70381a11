#include "netenum/MasterBrowserClient.h"

#include "codec/SessionService.h"
#include "codec/SmbMessage.h"
#include "platform/fake/FakeStreams.h"
#include "tests/support/SambaBrowserReplies.h"
#include "tests/support/Wait.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace parlino {
namespace {

constexpr uint32_t kMaster = 2;
constexpr uint16_t kPort = 139;

// Garbage answers the first SMB with something else; Silence takes the session and answers nothing.
enum class Fault { None, Garbage, Silence, RefusedSession, RefusedTree };

// A master browser that answers each request in turn with what Samba answered it, unless it was made faulty.
class FakeMasterBrowser final : public TcpSession
{
public:
    FakeMasterBrowser(TcpConnection& connection, Fault fault, std::atomic<int>& received)
        : connection_(connection), fault_(fault), received_(received)
    {}

    void Received(const uint8_t* data, size_t size) override
    {
        ++received_;
        heard_.insert(heard_.end(), data, data + size);
        const auto header = DecodeSessionHeader(heard_.data(), heard_.size());
        if (!header || heard_.size() < kSessionHeaderSize + header->length || fault_ == Fault::Silence)
            return;
        const auto request = DecodeSmbRequestHeader(heard_.data() + kSessionHeaderSize, header->length);
        heard_.clear();
        if (header->type == SessionPacketType::Request)
            connection_.Send(fault_ == Fault::RefusedSession
                                 ? EncodeNegativeSessionResponse(SessionRefusal::CalledNameNotPresent)
                                 : EncodeSessionPacket(SessionPacketType::PositiveResponse));
        else if (fault_ == Fault::Garbage || !request || next_ == std::size(script_) ||
                 (*script_[next_])[4] != request->command)
            connection_.Send(test::BytesOf("HTTP/1.1 400 Bad Request\r\n\r\n"));
        else {
            Bytes reply = *script_[next_++];
            if (fault_ == Fault::RefusedTree && request->command == 0x75)
                reply[5] = 0x22; // NT_STATUS_ACCESS_DENIED
            connection_.Send(EncodeSessionPacket(SessionPacketType::Message, reply));
        }
    }

private:
    TcpConnection& connection_;
    const Fault fault_;
    std::atomic<int>& received_;
    Bytes heard_;
    const Bytes* const script_[5] = {&test::kSambaNegotiateReply, &test::kSambaSessionSetupReply,
                                     &test::kSambaTreeConnectReply, &test::kSambaServersReply,
                                     &test::kSambaWorkgroupsReply};
    size_t next_ = 0;
};

class MasterBrowserClientTest : public testing::Test
{
protected:
    std::unique_ptr<TcpListener> Serve(Fault fault)
    {
        return server->Listen(kPort,
                              [this, fault](TcpConnection& connection) {
                                  return std::make_unique<FakeMasterBrowser>(connection, fault, received);
                              },
                              {});
    }

    std::atomic<int> received = 0;
    fake::FakeStreams streams;
    std::unique_ptr<TcpNetwork> client = streams.Station(1);
    std::unique_ptr<TcpNetwork> server = streams.Station(kMaster);
    // Short enough that the silent browser costs the test little.
    MasterBrowserClient browsers{*client, kPort, "DAVE", {std::chrono::milliseconds(100), std::chrono::seconds(2)}};
};

TEST_F(MasterBrowserClientTest, GivesTheListsOfAWorkingBrowserAndNothingOfABrokenOne)
{
    for (const Fault fault : {Fault::Garbage, Fault::Silence, Fault::RefusedSession, Fault::RefusedTree}) {
        const auto listener = Serve(fault);
        EXPECT_FALSE(browsers.Fetch(kMaster, "OFFICE")) << static_cast<int>(fault);
    }
    const auto listener = Serve(Fault::None);
    const auto lists = browsers.Fetch(kMaster, "OFFICE");
    ASSERT_TRUE(lists);
    EXPECT_EQ(lists->servers.size(), 2u);
    EXPECT_EQ(lists->workgroups, (std::vector<ServerInfo>{{"OFFICE", 0x80001000, "SAMBA1"}}));
    // The first browser found that answers is asked.
    const auto at = [](std::optional<uint32_t> address) { return [address](const std::string&) { return address; }; };
    EXPECT_TRUE(browsers.FetchFromFirst({at({}), {}, at(9), at(kMaster)}, "OFFICE"));
    EXPECT_FALSE(browsers.FetchFromFirst({at({}), at(9)}, "OFFICE"));
}

TEST_F(MasterBrowserClientTest, StopEndsTheConversationWithASilentBrowserAtOnce)
{
    const auto listener = Serve(Fault::Silence);
    MasterBrowserClient patient{*client, kPort, "DAVE", {std::chrono::minutes(1), std::chrono::minutes(1)}};
    std::atomic<bool> ended = false;
    std::thread asking([&] {
        EXPECT_FALSE(patient.Fetch(kMaster, "OFFICE"));
        ended = true;
    });
    ASSERT_TRUE(test::WaitUntil([&] { return received > 0; }));
    patient.Stop();
    EXPECT_TRUE(test::WaitUntil([&] { return ended.load(); }, 5000));
    asking.join();
    EXPECT_FALSE(patient.Fetch(kMaster, "OFFICE")) << "none starts once stopped";
}

} // namespace
} // namespace parlino
