#include "platform/fake/FakeLan.h"

namespace parlino::fake {
namespace {

constexpr uint32_t kBroadcast = 0xFFFFFFFFu;
constexpr uint32_t kLanBase = 0x0A000000u; // 10.0.0.0
constexpr uint32_t kSubnetMask = 0xFFFFFF00u;

bool SameSubnet(uint32_t one, uint32_t other)
{
    return ((one ^ other) & kSubnetMask) == 0;
}

} // namespace

class FakeLan::Endpoint final : public UdpEndpoint
{
public:
    Endpoint(FakeLan& lan, int id) : lan_(lan), id_(id) {}
    ~Endpoint() override { lan_.Remove(id_); }

private:
    FakeLan& lan_;
    int id_;
};

namespace {

class NameClaim final : public HostNameClaims::Claim
{
public:
    NameClaim(std::recursive_mutex& mutex, std::set<std::string>& claims, std::string key)
        : mutex_(mutex), claims_(claims), key_(std::move(key))
    {}
    ~NameClaim() override
    {
        std::lock_guard lock(mutex_);
        claims_.erase(key_);
    }

private:
    std::recursive_mutex& mutex_;
    std::set<std::string>& claims_;
    std::string key_;
};

} // namespace

std::unique_ptr<FakeStationNetwork> FakeLan::AddStation(uint8_t hostNumber, uint8_t subnet)
{
    return std::make_unique<FakeStationNetwork>(*this, kLanBase | uint32_t{subnet} << 8 | hostNumber);
}

void FakeLan::Inject(uint32_t sourceAddress, uint16_t port, const Bytes& frame)
{
    Send(sourceAddress, kBroadcast, port, frame, port);
}

size_t FakeLan::FramesSent() const
{
    std::lock_guard lock(mutex_);
    return framesSent_;
}

size_t FakeLan::FramesUnderWay() const
{
    std::lock_guard lock(mutex_);
    return underWay_.size();
}

bool FakeLan::DeliverNext()
{
    std::lock_guard lock(mutex_);
    if (underWay_.empty())
        return false;
    const Frame frame = std::move(underWay_.front());
    underWay_.pop_front();
    Deliver(frame.from, frame.to, frame.port, frame.bytes, frame.fromPort);
    return true;
}

void FakeLan::DeliverAll()
{
    while (DeliverNext()) {
    }
}

bool FakeLan::Send(uint32_t from, uint32_t to, uint16_t port, const Bytes& frame, uint16_t fromPort)
{
    std::lock_guard lock(mutex_);
    ++framesSent_;
    if (unplugged_.contains(from))
        return true;
    if (delivery_ == Delivery::Queued)
        underWay_.push_back({from, to, port, frame, fromPort});
    else
        Deliver(from, to, port, frame, fromPort);
    return true;
}

// Call with mutex_ held.
void FakeLan::Deliver(uint32_t from, uint32_t to, uint16_t port, const Bytes& frame, uint16_t fromPort)
{
    // Copy first: a receiver may start or stop listening while it handles the frame.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners) {
        if (listener.port != port || unplugged_.contains(listener.address))
            continue;
        // A station's broadcast stays on its subnet; one injected from outside reaches every station.
        const bool broadcast = to == kBroadcast || to == (from | ~kSubnetMask);
        if (broadcast ? to == kBroadcast || SameSubnet(from, listener.address) : to == listener.address)
            listener.receiver(frame.data(), frame.size(), from, fromPort);
    }
}

void FakeLan::Remove(int id)
{
    std::lock_guard lock(mutex_);
    listeners_.erase(id);
}

FakeStationNetwork::~FakeStationNetwork() = default;

std::unique_ptr<UdpEndpoint> FakeStationNetwork::Listen(uint16_t port, Receiver receiver)
{
    std::lock_guard lock(lan_.mutex_);
    const int id = lan_.nextId_++;
    lan_.listeners_[id] = {address_, port, std::move(receiver)};
    return std::make_unique<FakeLan::Endpoint>(lan_, id);
}

bool FakeStationNetwork::Broadcast(uint16_t port, const FrameBuilder& build)
{
    return lan_.Send(address_, address_ | ~kSubnetMask, port, build(address_), port);
}

bool FakeStationNetwork::SendTo(uint32_t address, uint16_t port, const Bytes& frame, uint16_t fromPort)
{
    return lan_.Send(address_, address, port, frame, fromPort);
}

bool FakeStationNetwork::SendUnicast(uint32_t address, uint16_t port, const FrameBuilder& build)
{
    return lan_.Send(address_, address, port, build(address_), port);
}

bool FakeStationNetwork::OnLocalSubnet(uint32_t address)
{
    return SameSubnet(address, address_);
}

HostNameClaims::Result FakeStationNetwork::TryClaim(const std::string& name)
{
    std::lock_guard lock(lan_.mutex_);
    std::string key = std::to_string(address_) + "/" + name;
    if (!lan_.claims_.insert(key).second)
        return {nullptr, true};
    return {std::make_unique<NameClaim>(lan_.mutex_, lan_.claims_, std::move(key)), false};
}

void FakeStationNetwork::SetUnplugged(bool unplugged)
{
    std::lock_guard lock(lan_.mutex_);
    if (unplugged)
        lan_.unplugged_.insert(address_);
    else
        lan_.unplugged_.erase(address_);
}

} // namespace parlino::fake
