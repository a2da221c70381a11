#pragma once

#include "platform/HostNameClaims.h"
#include "platform/UdpNetwork.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace parlino::fake {

class FakeLan;

// One station's view of a FakeLan: its own address, its listening ports and its host-wide names.
class FakeStationNetwork final : public UdpNetwork, public HostNameClaims
{
public:
    FakeStationNetwork(FakeLan& lan, uint32_t address) : lan_(lan), address_(address) {}
    ~FakeStationNetwork() override;

    std::unique_ptr<UdpEndpoint> Listen(uint16_t port, Receiver receiver) override;
    bool Broadcast(uint16_t port, const FrameBuilder& build) override;
    bool SendTo(uint32_t address, uint16_t port, const Bytes& frame, uint16_t fromPort) override;
    bool SendUnicast(uint32_t address, uint16_t port, const FrameBuilder& build) override;
    bool OnLocalSubnet(uint32_t address) override;
    Result TryClaim(const std::string& name) override;

    uint32_t Address() const { return address_; }
    // Frames stop reaching and leaving this station, as if its cable were pulled.
    void SetUnplugged(bool unplugged);

private:
    friend class FakeLan;
    FakeLan& lan_;
    uint32_t address_;
};

// A broadcast LAN in memory that carries the real frames, byte for byte, between stations.
// Its subnets 10.0.S.0/24 are joined by a router that passes unicast frames and no broadcast. Every frame is delivered
// at once on the sender's thread, to every listener of its port (the sender too, as a real broadcast is). A queued LAN
// holds the frames instead until the test delivers them, so that a test can act while frames are under way, as on a
// slow network.
class FakeLan
{
public:
    enum class Delivery { AtOnce, Queued };
    explicit FakeLan(Delivery delivery = Delivery::AtOnce) : delivery_(delivery) {}

    // A station with address 10.0.subnet.N.
    std::unique_ptr<FakeStationNetwork> AddStation(uint8_t hostNumber, uint8_t subnet = 0);
    // Sends a frame from outside every station (a foreign or hostile sender).
    void Inject(uint32_t sourceAddress, uint16_t port, const Bytes& frame);
    size_t FramesSent() const;

    // Frames held by a queued LAN.
    size_t FramesUnderWay() const;
    // Delivers the oldest held frame to the listeners of its port as they are now; false when none was held.
    bool DeliverNext();
    // Delivers held frames, and those their receivers send meanwhile, until none is under way.
    void DeliverAll();

private:
    friend class FakeStationNetwork;
    struct Listener
    {
        uint32_t address;
        uint16_t port;
        UdpNetwork::Receiver receiver;
    };
    struct Frame
    {
        uint32_t from;
        uint32_t to;
        uint16_t port;
        Bytes bytes;
        uint16_t fromPort;
    };
    class Endpoint;

    void Deliver(uint32_t from, uint32_t to, uint16_t port, const Bytes& frame, uint16_t fromPort);
    bool Send(uint32_t from, uint32_t to, uint16_t port, const Bytes& frame, uint16_t fromPort);
    void Remove(int id);

    const Delivery delivery_;
    mutable std::recursive_mutex mutex_;
    std::deque<Frame> underWay_;
    std::map<int, Listener> listeners_;
    std::set<uint32_t> unplugged_;
    std::set<std::string> claims_;
    int nextId_ = 1;
    size_t framesSent_ = 0;
};

} // namespace parlino::fake
