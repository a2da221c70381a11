#pragma once

#include "codec/ByteOrder.h"

#include <algorithm>
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
    // Tells that a whole request was heard. Only that keeps the connection open past its idle time, so a
    // peer that sends a byte now and then holds its place no longer than a silent one.
    virtual void Heard() = 0;

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
    // From any thread: the wait under way and every later call fail at once, as if the peer had closed.
    virtual void Abort() = 0;
};

// Why a port could not be listened on.
enum class ListenFailure {
    None,
    InUse,        // another program listens there
    NotPermitted, // the port needs a privilege this process lacks
    Other
};

// The IPv4 stream network. A listener keeps a peer from holding its resources: it serves a bounded number
// of connections, a few from any one address, closes those that stay silent or live too long, and bounds
// what waits to be sent.
class TcpNetwork
{
public:
    struct Limits
    {
        using Time = std::chrono::steady_clock::time_point;

        size_t sessions = 16;
        // Since the last whole request, or since the connection opened when none came yet.
        std::chrono::milliseconds idle{30000};
        // What a connection past a limit is told before it is closed at once.
        Bytes refusal;
        size_t sessionsPerPeer = 4;
        // However busy, a connection is closed this long after it opened.
        std::chrono::milliseconds lifetime{60000};

        // Whether a connection is taken while `open` are, `fromPeer` of them from its address.
        bool Admits(size_t open, size_t fromPeer) const { return open < sessions && fromPeer < sessionsPerPeer; }
        Time ClosesAt(Time opened, Time lastHeard) const { return std::min(lastHeard + idle, opened + lifetime); }
    };
    // Makes the session of a new connection, which the session may use until it is destroyed.
    using Accept = std::function<std::unique_ptr<TcpSession>(TcpConnection& connection)>;

    virtual ~TcpNetwork() = default;
    // Nullptr when the port can't be had (port 0: any free port), and then why in `failure` when given.
    virtual std::unique_ptr<TcpListener> Listen(uint16_t port, Accept accept, Limits limits,
                                                ListenFailure* failure = nullptr) = 0;
    // Nullptr when no connection was made within the time; every call on the stream has that time too.
    virtual std::unique_ptr<TcpStream> Connect(uint32_t address, uint16_t port, std::chrono::milliseconds timeout) = 0;
};

} // namespace parlino
