#pragma once

#include "platform/TcpNetwork.h"

#include <functional>

namespace parlino {

// TCP over the kernel's sockets. Each listener serves all its connections on one thread of its own with
// non-blocking sockets, so a slow or silent peer holds up nobody else.
class LinuxTcpNetwork final : public TcpNetwork
{
public:
    // Whether a peer's address (host byte order) may be heard from or connected to; every one when empty.
    using PeerFilter = std::function<bool(uint32_t address)>;

    explicit LinuxTcpNetwork(PeerFilter allowed = {});

    std::unique_ptr<TcpListener> Listen(uint16_t port, Accept accept, Limits limits,
                                        ListenFailure* failure = nullptr) override;
    std::unique_ptr<TcpStream> Connect(uint32_t address, uint16_t port, std::chrono::milliseconds timeout) override;

    // What may wait to go out on one connection before its peer counts as not reading.
    static constexpr size_t kSendQueueLimit = 64 * 1024;

private:
    class Listener;
    class Stream;
    bool Allowed(uint32_t address) const { return !allowed_ || allowed_(address); }

    PeerFilter allowed_;
};

} // namespace parlino
