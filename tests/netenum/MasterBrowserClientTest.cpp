#include "netenum/MasterBrowserClient.h"

#include "codec/SessionService.h"
#include "codec/SmbMessage.h"
#include "platform/fake/FakeStreams.h"
#include "tests/support/SambaBrowserReplies.h"

#include <gtest/gtest.h>

namespace parlino {
namespace {

using std::chrono::milliseconds;

constexpr uint32_t kClient = 1;
constexpr uint32_t kMaster = 2;
constexpr uint16_t kPort = 139;

enum class Fault
{
    None,
    Garbage,        // answers the first SMB with something else
    Silence,        // takes the session and answers nothing
    RefusedSession, // a negative session response
    RefusedTree,    // an error status to the tree connect
};

// A master browser that answers each request with what Samba answered it, unless it was made faulty.
class FakeMasterBrowser final : public TcpSession
{
public:
    FakeMasterBrowser(TcpConnection& connection, Fault fault) : connection_(connection), fault_(fault) {}

    void Received(const uint8_t* data, size_t size) override
    {
        heard_.insert(heard_.end(), data, data + size);
        while (const auto header = DecodeSessionHeader(heard_.data(), heard_.size())) {
            if (heard_.size() < kSessionHeaderSize + header->length)
                return;
            const Bytes payload(heard_.begin() + kSessionHeaderSize,
                                heard_.begin() + static_cast<std::ptrdiff_t>(kSessionHeaderSize + header->length));
            heard_.erase(heard_.begin(), heard_.begin() + static_cast<std::ptrdiff_t>(kSessionHeaderSize) +
                                             static_cast<std::ptrdiff_t>(header->length));
            Answer(header->type, payload);
        }
    }

private:
    void Answer(SessionPacketType type, const Bytes& payload)
    {
        if (fault_ == Fault::Silence)
            return;
        if (type == SessionPacketType::Request) {
            connection_.Send(fault_ == Fault::RefusedSession
                                 ? EncodeNegativeSessionResponse(SessionRefusal::CalledNameNotPresent)
                                 : EncodeSessionPacket(SessionPacketType::PositiveResponse));
            return;
        }
        const auto request = DecodeSmbRequestHeader(payload.data(), payload.size());
        if (fault_ == Fault::Garbage || !request || next_ == std::size(script_) ||
            (*script_[next_])[4] != request->command) {
            connection_.Send(test::BytesOf("HTTP/1.1 400 Bad Request\r\n\r\n"));
            return;
        }
        Bytes reply = *script_[next_++];
        if (fault_ == Fault::RefusedTree && request->command == 0x75)
            reply[5] = 0x22; // NT_STATUS_ACCESS_DENIED
        connection_.Send(EncodeSessionPacket(SessionPacketType::Message, reply));
    }

    TcpConnection& connection_;
    const Fault fault_;
    Bytes heard_;
    const Bytes* const script_[5] = {&test::kSambaNegotiateReply, &test::kSambaSessionSetupReply,
                                     &test::kSambaTreeConnectReply, &test::kSambaServersReply,
                                     &test::kSambaWorkgroupsReply};
    size_t next_ = 0;
};

// The lists as one line: servers, then workgroups after a bar.
std::string Text(const std::optional<MasterBrowserLists>& lists)
{
    if (!lists)
        return "nothing";
    std::string text;
    for (const ServerInfo& server : lists->servers)
        text += server.name + " ";
    text += "|";
    for (const ServerInfo& workgroup : lists->workgroups)
        text += " " + workgroup.name + " (" + workgroup.comment + ")";
    return text;
}

class MasterBrowserClientTest : public testing::Test
{
protected:
    std::unique_ptr<TcpListener> Serve(Fault fault)
    {
        return master->Listen(
            kPort,
            [fault](TcpConnection& connection) { return std::make_unique<FakeMasterBrowser>(connection, fault); }, {});
    }

    fake::FakeStreams streams;
    std::unique_ptr<TcpNetwork> client = streams.Station(kClient);
    std::unique_ptr<TcpNetwork> master = streams.Station(kMaster);
    // Short enough that the silent browser costs the test little.
    MasterBrowserClient browsers{*client, kPort, "DAVE", {milliseconds(100), milliseconds(2000)}};
};

TEST_F(MasterBrowserClientTest, GivesTheListsOfAWorkingBrowserAndNothingOfABrokenOne)
{
    struct Case
    {
        Fault fault;
        std::string lists;
    };
    const Case cases[] = {{Fault::None, "FARHOST SAMBA1 | OFFICE (SAMBA1)"},
                          {Fault::Garbage, "nothing"},
                          {Fault::Silence, "nothing"},
                          {Fault::RefusedSession, "nothing"},
                          {Fault::RefusedTree, "nothing"}};
    for (const Case& c : cases) {
        const auto listener = Serve(c.fault);
        EXPECT_EQ(Text(browsers.Fetch(kMaster, "OFFICE")), c.lists) << static_cast<int>(c.fault);
    }
}

TEST_F(MasterBrowserClientTest, AsksTheFirstBrowserFoundThatAnswers)
{
    const auto listener = Serve(Fault::None);
    const auto none = [](const std::string&) -> std::optional<uint32_t> { return std::nullopt; };
    const auto gone = [](const std::string&) -> std::optional<uint32_t> { return 9; };
    const auto found = [](const std::string&) -> std::optional<uint32_t> { return kMaster; };
    EXPECT_EQ(Text(browsers.FetchFromFirst({none, {}, gone, found}, "OFFICE")), "FARHOST SAMBA1 | OFFICE (SAMBA1)");
    EXPECT_EQ(Text(browsers.FetchFromFirst({none, gone}, "OFFICE")), "nothing");
}

} // namespace
} // namespace parlino
