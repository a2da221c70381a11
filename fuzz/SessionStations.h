#pragma once

#include "platform/fake/FakeStreams.h"

#include <cstdint>
#include <memory>

namespace parlino::fuzz {

// Two computers on fake streams for a fuzzer that plays one end of a NetBIOS session: the one that serves the
// session port, and the one that calls it.
struct SessionStations
{
    static constexpr uint32_t kServer = 2;
    static constexpr uint32_t kCaller = 1;
    static constexpr uint16_t kPort = 139;

    fake::FakeStreams streams;
    const std::unique_ptr<TcpNetwork> server = streams.Station(kServer);
    const std::unique_ptr<TcpNetwork> caller = streams.Station(kCaller);
};

} // namespace parlino::fuzz
