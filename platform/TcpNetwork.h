#pragma once

#include "codec/ByteOrder.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace parlino {

// One accepted connection, as its listener's thread serves it.
class TcpConnection
{
public:
    // Queues bytes to go out; never blocks. A peer that does not take them closes the connection.
    virtual void Send(const Bytes& bytes) = 0;
    // Closes the connection once what was queued has gone out.
    virtual void Close() = 0;

protected:
    ~TcpConnection() = default;
};

// What serves one connection: it hears the connection's bytes on the listener's thread, in order.
class TcpSession
{
public:
    virtual ~TcpSession() = default;
    virtual void Received(const uint8_t* data, size_t size) = 0;
};

// A listening port; it stops accepting and closes every connection when destroyed.
class TcpListener
{
public:
    virtual ~TcpListener() = default;
    virtual uint16_t Port() const = 0;
};

// A connection this program opened, used by one thread at a time; every call returns by its deadline.
class TcpStream
{
public:
    virtual ~TcpStream() = default;
    virtual bool Write(const Bytes& bytes) = 0;
    // Exactly size bytes; false when the peer closed or the time ran out first.
    virtual bool ReadExactly(uint8_t* buffer, size_t size) = 0;
};

// The IPv4 stream network. A listener keeps a peer from holding its resources: it serves a bounded number
// of connections, closes those that stay silent, and bounds what waits to be sent.
class TcpNetwork
{
public:
    struct Limits
    {
        size_t sessions = 16;
        std::chrono::milliseconds idle{30000};
        // What a connection past the limit is told before it is closed at once.
        Bytes refusal;
    };
    // Makes the session of a new connection, which the session may use until it is destroyed.
    using Accept = std::function<std::unique_ptr<TcpSession>(TcpConnection& connection)>;

    virtual ~TcpNetwork() = default;
    // Nullptr when the port can't be had (port 0: any free port).
    virtual std::unique_ptr<TcpListener> Listen(uint16_t port, Accept accept, Limits limits) = 0;
    // Nullptr when no connection was made within the time; every call on the stream has that time too.
    virtual std::unique_ptr<TcpStream> Connect(uint32_t address, uint16_t port, std::chrono::milliseconds timeout) = 0;
};

} // namespace parlino
