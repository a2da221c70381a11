#include "platform/LinuxTcpNetwork.h"
#include "platform/LinuxUdpNetwork.h"
#include "platform/fake/FakeLan.h"
#include "platform/fake/FakeStreams.h"
#include "tests/support/Wait.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>

namespace parlino::test {
namespace {

// What one listener heard, filled on the network's thread and read on the test's.
class Inbox
{
public:
    struct Frame
    {
        Bytes bytes;
        uint32_t sourceIp;
        uint16_t sourcePort;
    };

    UdpNetwork::Receiver Receiver()
    {
        return [this](const uint8_t* data, size_t size, uint32_t sourceIp, uint16_t sourcePort) {
            std::lock_guard lock(mutex_);
            frames_.push_back({Bytes(data, data + size), sourceIp, sourcePort});
        };
    }
    std::vector<Frame> Frames() const
    {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    size_t Count() const { return Frames().size(); }

private:
    mutable std::mutex mutex_;
    std::vector<Frame> frames_;
};

// Two stations on one segment, each with a network of its own, as every implementation builds them; Arrived waits
// until the condition holds in the way that implementation delivers frames.
// Frames held by a queued LAN are delivered before looking; a LAN that delivers at once holds none.
template <fake::FakeLan::Delivery delivery> struct FakeSegment
{
    fake::FakeLan lan{delivery};
    std::unique_ptr<fake::FakeStationNetwork> a = lan.AddStation(1);
    std::unique_ptr<fake::FakeStationNetwork> b = lan.AddStation(2);
    UdpNetwork& A() { return *a; }
    UdpNetwork& B() { return *b; }
    uint32_t AddressOfA() const { return a->Address(); }
    uint32_t AddressOfB() const { return b->Address(); }
    bool Arrived(const std::function<bool()>& condition)
    {
        lan.DeliverAll();
        return condition();
    }
};
using QueuedFakeSegment = FakeSegment<fake::FakeLan::Delivery::Queued>;

// Both stations are this host on loopback: frames cross the kernel's sockets.
struct LoopbackSegment
{
    LinuxUdpNetwork a{{"lo"}};
    LinuxUdpNetwork b{{"lo"}};
    UdpNetwork& A() { return a; }
    UdpNetwork& B() { return b; }
    static uint32_t AddressOfA() { return 0x7F000001u; }
    static uint32_t AddressOfB() { return 0x7F000001u; }
    bool Arrived(const std::function<bool()>& condition) { return WaitUntil(condition); }
};

// Ports of this suite alone, so that suites running at once on this host do not hear each other.
constexpr uint16_t kPort = 41410;
constexpr uint16_t kAnswerPort = 41411;

template <typename Segment> class UdpNetworkContractTest : public testing::Test
{
protected:
    Segment segment;
};

using Segments = testing::Types<FakeSegment<fake::FakeLan::Delivery::AtOnce>, QueuedFakeSegment, LoopbackSegment>;
TYPED_TEST_SUITE(UdpNetworkContractTest, Segments);

TYPED_TEST(UdpNetworkContractTest, AFrameArrivesWholeWithTheAddressAndPortItCameFrom)
{
    auto& lan = this->segment;
    Inbox inbox;
    auto listener = lan.B().Listen(kPort, inbox.Receiver());
    auto answers = lan.A().Listen(kAnswerPort, [](const uint8_t*, size_t, uint32_t, uint16_t) {});
    ASSERT_TRUE(listener && answers);
    Bytes frame(300);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<uint8_t>(i);

    EXPECT_TRUE(lan.A().SendTo(lan.AddressOfB(), kPort, frame, kAnswerPort));
    ASSERT_TRUE(lan.Arrived([&] { return inbox.Count() == 1; }));
    const Inbox::Frame got = inbox.Frames()[0];
    EXPECT_EQ(got.bytes, frame);
    EXPECT_EQ(got.sourceIp, lan.AddressOfA());
    EXPECT_EQ(got.sourcePort, kAnswerPort);
}

TYPED_TEST(UdpNetworkContractTest, FramesFromOneStationArriveInTheOrderSent)
{
    auto& lan = this->segment;
    Inbox inbox;
    auto listener = lan.B().Listen(kPort, inbox.Receiver());
    ASSERT_TRUE(listener);
    constexpr int kFrames = 50;
    for (int i = 0; i < kFrames; ++i)
        EXPECT_TRUE(lan.A().SendTo(lan.AddressOfB(), kPort, Bytes{static_cast<uint8_t>(i)}, kAnswerPort));

    ASSERT_TRUE(lan.Arrived([&] { return inbox.Count() == kFrames; }));
    const auto frames = inbox.Frames();
    for (int i = 0; i < kFrames; ++i)
        EXPECT_EQ(frames[i].bytes, Bytes{static_cast<uint8_t>(i)}) << i;
}

TYPED_TEST(UdpNetworkContractTest, ABroadcastReachesEveryListenerOfItsPortBuiltForTheSendersAddress)
{
    auto& lan = this->segment;
    Inbox first, second, otherPort;
    auto a = lan.B().Listen(kPort, first.Receiver());
    auto b = lan.B().Listen(kPort, second.Receiver());
    auto c = lan.B().Listen(kAnswerPort, otherPort.Receiver());
    ASSERT_TRUE(a && b && c);
    uint32_t builtFor = 0;
    EXPECT_TRUE(lan.A().Broadcast(kPort, [&](uint32_t local) {
        builtFor = local;
        return Bytes{7, 8, 9};
    }));

    ASSERT_TRUE(lan.Arrived([&] { return first.Count() == 1 && second.Count() == 1; }));
    EXPECT_EQ(builtFor, lan.AddressOfA());
    EXPECT_EQ(first.Frames()[0].bytes, (Bytes{7, 8, 9}));
    EXPECT_EQ(second.Frames()[0].sourceIp, lan.AddressOfA());
    // A frame to the other port, sent after the broadcast, arriving shows the broadcast was not heard there.
    EXPECT_TRUE(lan.A().SendTo(lan.AddressOfB(), kAnswerPort, Bytes{1}, kAnswerPort));
    ASSERT_TRUE(lan.Arrived([&] { return otherPort.Count() == 1; }));
    EXPECT_EQ(otherPort.Frames()[0].bytes, Bytes{1});
}

TYPED_TEST(UdpNetworkContractTest, AClosedListenerHearsNothingAndItsPortCanBeHadAgain)
{
    auto& lan = this->segment;
    Inbox closed, open;
    auto gone = lan.B().Listen(kPort, closed.Receiver());
    auto staying = lan.B().Listen(kPort, open.Receiver());
    ASSERT_TRUE(gone && staying);
    gone.reset();
    EXPECT_TRUE(lan.A().SendTo(lan.AddressOfB(), kPort, Bytes{1}, kAnswerPort));
    ASSERT_TRUE(lan.Arrived([&] { return open.Count() == 1; }));
    EXPECT_EQ(closed.Count(), 0u);

    staying.reset();
    Inbox again;
    auto reopened = lan.B().Listen(kPort, again.Receiver());
    ASSERT_TRUE(reopened);
    EXPECT_TRUE(lan.A().SendTo(lan.AddressOfB(), kPort, Bytes{2}, kAnswerPort));
    ASSERT_TRUE(lan.Arrived([&] { return again.Count() == 1; }));
    EXPECT_EQ(open.Count(), 1u);
}

// Streams: the fake's in memory and the kernel's on loopback, each between two stations.
struct FakeStreamSegment
{
    fake::FakeStreams streams;
    std::unique_ptr<TcpNetwork> a = streams.Station(1);
    std::unique_ptr<TcpNetwork> b = streams.Station(2);
    TcpNetwork& A() { return *a; }
    TcpNetwork& B() { return *b; }
    static uint32_t AddressOfB() { return 2; }
};

struct LoopbackStreamSegment
{
    LinuxTcpNetwork a;
    LinuxTcpNetwork b;
    TcpNetwork& A() { return a; }
    TcpNetwork& B() { return b; }
    static uint32_t AddressOfB() { return 0x7F000001u; }
};

// Sends back every chunk it hears, and closes the connection after a chunk holding a zero byte.
class EchoSession final : public TcpSession
{
public:
    explicit EchoSession(TcpConnection& connection) : connection_(connection) {}
    void Received(const uint8_t* data, size_t size) override
    {
        connection_.Heard();
        connection_.Send(Bytes(data, data + size));
        if (std::find(data, data + size, 0) != data + size)
            connection_.Close();
    }

private:
    TcpConnection& connection_;
};

template <typename Segment> class TcpNetworkContractTest : public testing::Test
{
protected:
    std::unique_ptr<TcpListener> ListenEcho(TcpNetwork::Limits limits = {})
    {
        return segment.B().Listen(
            0, [](TcpConnection& connection) { return std::make_unique<EchoSession>(connection); }, std::move(limits));
    }
    std::unique_ptr<TcpStream> ConnectTo(const TcpListener& listener)
    {
        return segment.A().Connect(segment.AddressOfB(), listener.Port(), std::chrono::seconds(5));
    }
    // The next `size` bytes of the stream, or nothing when it ended or fell silent first.
    static std::optional<Bytes> Read(TcpStream& stream, size_t size)
    {
        Bytes bytes(size);
        if (!stream.ReadExactly(bytes.data(), size))
            return std::nullopt;
        return bytes;
    }

    Segment segment;
};

using StreamSegments = testing::Types<FakeStreamSegment, LoopbackStreamSegment>;
TYPED_TEST_SUITE(TcpNetworkContractTest, StreamSegments);

TYPED_TEST(TcpNetworkContractTest, BytesGoBothWaysAndAClosedConnectionEndsAfterWhatWasQueued)
{
    const auto listener = this->ListenEcho();
    ASSERT_TRUE(listener);
    const auto stream = this->ConnectTo(*listener);
    ASSERT_TRUE(stream);
    Bytes request(3000);
    for (size_t i = 0; i < request.size(); ++i)
        request[i] = static_cast<uint8_t>(1 + i % 255);
    ASSERT_TRUE(stream->Write(request));
    EXPECT_EQ(this->Read(*stream, request.size()), request);

    ASSERT_TRUE(stream->Write(Bytes{9, 0}));
    EXPECT_EQ(this->Read(*stream, 2), (Bytes{9, 0}));
    EXPECT_EQ(this->Read(*stream, 1), std::nullopt);
}

TYPED_TEST(TcpNetworkContractTest, AConnectionPastTheLimitHearsTheRefusalAndIsClosed)
{
    TcpNetwork::Limits limits;
    limits.sessions = 1;
    limits.refusal = {0x83, 0, 0, 1, 0x8F};
    const auto listener = this->ListenEcho(limits);
    ASSERT_TRUE(listener);
    const auto first = this->ConnectTo(*listener);
    ASSERT_TRUE(first && first->Write(Bytes{1}));
    ASSERT_EQ(this->Read(*first, 1), Bytes{1}) << "the first connection is served";

    const auto second = this->ConnectTo(*listener);
    ASSERT_TRUE(second);
    EXPECT_EQ(this->Read(*second, limits.refusal.size()), limits.refusal);
    EXPECT_EQ(this->Read(*second, 1), std::nullopt);
}

TYPED_TEST(TcpNetworkContractTest, AListenerGoneClosesItsConnectionsAndRefusesNewOnes)
{
    auto listener = this->ListenEcho();
    ASSERT_TRUE(listener);
    const uint16_t port = listener->Port();
    const auto stream = this->ConnectTo(*listener);
    ASSERT_TRUE(stream && stream->Write(Bytes{1}));
    ASSERT_EQ(this->Read(*stream, 1), Bytes{1});

    listener.reset();
    EXPECT_EQ(this->Read(*stream, 1), std::nullopt);
    EXPECT_EQ(this->segment.A().Connect(this->segment.AddressOfB(), port, std::chrono::seconds(5)), nullptr);
}

// A queued LAN holds frames until delivered: a listener that closes while a frame is under way never hears it, and
// frames sent meanwhile follow in order.
TEST(QueuedFakeLanTest, FramesWaitUntilDeliveredAndGoToTheListenersOfThatMoment)
{
    QueuedFakeSegment segment;
    Inbox early, late;
    auto leaving = segment.B().Listen(kPort, early.Receiver());
    ASSERT_TRUE(segment.A().SendTo(segment.AddressOfB(), kPort, Bytes{1}, kPort));
    ASSERT_TRUE(segment.A().SendTo(segment.AddressOfB(), kPort, Bytes{2}, kPort));
    EXPECT_EQ(segment.lan.FramesUnderWay(), 2u);
    EXPECT_EQ(early.Count(), 0u);

    ASSERT_TRUE(segment.lan.DeliverNext());
    leaving.reset();
    auto joining = segment.B().Listen(kPort, late.Receiver());
    segment.lan.DeliverAll();
    EXPECT_FALSE(segment.lan.DeliverNext());
    ASSERT_EQ(early.Count(), 1u);
    EXPECT_EQ(early.Frames()[0].bytes, Bytes{1});
    ASSERT_EQ(late.Count(), 1u);
    EXPECT_EQ(late.Frames()[0].bytes, Bytes{2});
}

} // namespace
} // namespace parlino::test
