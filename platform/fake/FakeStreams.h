#pragma once

#include "platform/Clock.h"
#include "platform/TcpNetwork.h"

#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace parlino::fake {

// TCP streams in memory between the stations of a fake LAN (addresses as FakeLan gives them), carrying the
// real bytes. What a stream writes reaches the listener's session at once, on the writer's thread; what the
// session sends waits until the stream reads it. A listener keeps its limits of sessions as a real one does;
// with a clock, a session past its time is closed when its stream next writes or another connects, without
// one never. Stations and listeners must not outlive this object.
class FakeStreams
{
public:
    explicit FakeStreams(Clock* clock = nullptr) : clock_(clock) {}
    FakeStreams(const FakeStreams&) = delete;
    FakeStreams& operator=(const FakeStreams&) = delete;

    // One station's view of the streams.
    std::unique_ptr<TcpNetwork> Station(uint32_t address);

private:
    class StationNetwork;
    class Pipe;
    class Stream;
    class Endpoint;
    struct Listener;

    Clock* const clock_;
    std::mutex mutex_;
    std::map<std::pair<uint32_t, uint16_t>, std::shared_ptr<Listener>> listeners_;
    uint16_t nextPort_ = 49152;
};

} // namespace parlino::fake
