#include "platform/LinuxTcpNetwork.h"

#include "platform/PollThread.h"
#include "platform/UniqueFd.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <vector>

namespace parlino {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBacklog = 128;
constexpr size_t kReadChunk = 4096;

sockaddr_in AddressOf(uint32_t address, uint16_t port)
{
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(port);
    socketAddress.sin_addr.s_addr = htonl(address);
    return socketAddress;
}

// Requests and answers are small and each waits for the other: nothing is gained by holding one back.
void SendAtOnce(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// Waits until fd is ready for events or the deadline passes; true when it is ready.
bool WaitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

} // namespace

class LinuxTcpNetwork::Listener final : public TcpListener
{
public:
    Listener(const LinuxTcpNetwork& network, UniqueFd socket, uint16_t port, Accept accept, Limits limits)
        : network_(network), socket_(std::move(socket)), port_(port), accept_(std::move(accept)),
          limits_(std::move(limits))
    {}

    ~Listener() override { poll_.Stop(); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    uint16_t Port() const override { return port_; }

    bool Start()
    {
        return poll_.Start([this](PollThread::Wait& next) { Watch(next); },
                           [this](const std::vector<pollfd>& sockets) { Serve(sockets); });
    }

private:
    struct Connection final : TcpConnection
    {
        Connection(UniqueFd socket, uint32_t from)
            : fd(std::move(socket)), peer(from), opened(Clock::now()), lastHeard(opened)
        {}

        void Send(const Bytes& bytes) override
        {
            if (queued.size() + bytes.size() > kSendQueueLimit)
                broken = true;
            else
                queued.insert(queued.end(), bytes.begin(), bytes.end());
        }
        void Close() override { closing = true; }
        void Heard() override { lastHeard = Clock::now(); }

        // Sends what the kernel takes now; false when the connection is gone.
        bool Flush()
        {
            while (!queued.empty()) {
                const ssize_t sent = ::send(fd.Get(), queued.data(), queued.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                if (sent < 0)
                    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
                queued.erase(queued.begin(), queued.begin() + sent);
            }
            return true;
        }

        UniqueFd fd;
        const uint32_t peer;
        const Clock::time_point opened;
        Clock::time_point lastHeard;
        Bytes queued;
        bool closing = false;
        bool broken = false;
        std::unique_ptr<TcpSession> session;
    };

    // The listening socket first, then each connection's.
    void Watch(PollThread::Wait& next) const
    {
        next.sockets.push_back({socket_.Get(), POLLIN, 0});
        const auto now = Clock::now();
        for (const auto& connection : connections_) {
            // A closing connection hears nothing more: it only drains what it still has to send.
            const auto events = static_cast<short>(connection->closing          ? POLLOUT
                                                   : connection->queued.empty() ? POLLIN
                                                                                : POLLIN | POLLOUT);
            next.sockets.push_back({connection->fd.Get(), events, 0});
            const auto left = std::max(std::chrono::ceil<std::chrono::milliseconds>(
                                           limits_.ClosesAt(connection->opened, connection->lastHeard) - now),
                                       std::chrono::milliseconds(0));
            next.timeout = next.timeout.count() < 0 ? left : std::min(next.timeout, left);
        }
    }

    void Serve(const std::vector<pollfd>& sockets)
    {
        for (size_t i = 0; i < connections_.size(); ++i) {
            Connection& connection = *connections_[i];
            if (!connection.closing && (sockets[i + 1].revents & (POLLIN | POLLHUP | POLLERR))) {
                const ssize_t got = ::recv(connection.fd.Get(), buffer_.data(), buffer_.size(), MSG_DONTWAIT);
                if (got > 0)
                    connection.session->Received(buffer_.data(), static_cast<size_t>(got));
                else if (got == 0 || (errno != EAGAIN && errno != EINTR))
                    connection.broken = true;
            }
            if (!connection.Flush())
                connection.broken = true;
        }
        const auto checked = Clock::now();
        std::erase_if(connections_, [&](const auto& connection) {
            return connection->broken || (connection->closing && connection->queued.empty()) ||
                   checked >= limits_.ClosesAt(connection->opened, connection->lastHeard);
        });
        if (sockets[0].revents)
            AcceptWaiting();
    }

    void AcceptWaiting()
    {
        for (;;) {
            sockaddr_in peer{};
            socklen_t length = sizeof peer;
            UniqueFd fd(
                ::accept4(socket_.Get(), reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC));
            if (!fd)
                return;
            const uint32_t address = ntohl(peer.sin_addr.s_addr);
            if (!network_.Allowed(address))
                continue;
            const auto fromPeer = std::count_if(connections_.begin(), connections_.end(),
                                                [address](const auto& open) { return open->peer == address; });
            if (!limits_.Admits(connections_.size(), static_cast<size_t>(fromPeer))) {
                [[maybe_unused]] const auto sent =
                    ::send(fd.Get(), limits_.refusal.data(), limits_.refusal.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                continue;
            }
            SendAtOnce(fd.Get());
            auto connection = std::make_unique<Connection>(std::move(fd), address);
            connection->session = accept_(*connection);
            if (connection->session)
                connections_.push_back(std::move(connection));
        }
    }

    const LinuxTcpNetwork& network_;
    UniqueFd socket_;
    const uint16_t port_;
    const Accept accept_;
    const Limits limits_;
    // The thread's own: only its handlers touch them.
    std::vector<std::unique_ptr<Connection>> connections_;
    std::vector<uint8_t> buffer_ = std::vector<uint8_t>(kReadChunk);
    PollThread poll_;
};

class LinuxTcpNetwork::Stream final : public TcpStream
{
public:
    Stream(UniqueFd fd, std::chrono::milliseconds timeout) : fd_(std::move(fd)), timeout_(timeout) {}

    bool Write(const Bytes& bytes) override
    {
        const auto deadline = Clock::now() + timeout_;
        for (size_t done = 0; done < bytes.size();) {
            if (!WaitFor(fd_.Get(), POLLOUT, deadline))
                return false;
            const ssize_t sent = ::send(fd_.Get(), bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (sent < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            done += static_cast<size_t>(std::max<ssize_t>(sent, 0));
        }
        return true;
    }

    bool ReadExactly(uint8_t* buffer, size_t size) override
    {
        const auto deadline = Clock::now() + timeout_;
        for (size_t done = 0; done < size;) {
            if (!WaitFor(fd_.Get(), POLLIN, deadline))
                return false;
            const ssize_t got = ::recv(fd_.Get(), buffer + done, size - done, 0);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
                return false;
            done += static_cast<size_t>(std::max<ssize_t>(got, 0));
        }
        return true;
    }

    // Shutting the socket down wakes a poll on it in another thread; closing it would not.
    void Abort() override { ::shutdown(fd_.Get(), SHUT_RDWR); }

private:
    UniqueFd fd_;
    const std::chrono::milliseconds timeout_;
};

LinuxTcpNetwork::LinuxTcpNetwork(PeerFilter allowed) : allowed_(std::move(allowed)) {}

std::unique_ptr<TcpListener> LinuxTcpNetwork::Listen(uint16_t port, Accept accept, Limits limits,
                                                     ListenFailure* failure)
{
    const auto Failed = [failure] {
        if (failure)
            *failure = errno == EADDRINUSE                 ? ListenFailure::InUse
                       : errno == EACCES || errno == EPERM ? ListenFailure::NotPermitted
                                                           : ListenFailure::Other;
        return nullptr;
    };
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return Failed();
    const int on = 1;
    // A restart may bind again while the last run's connections linger; a live listener still holds the port.
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = AddressOf(INADDR_ANY, port);
    socklen_t length = sizeof address;
    if (::bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd.Get(), kBacklog) != 0 ||
        ::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return Failed();
    auto listener =
        std::make_unique<Listener>(*this, std::move(fd), ntohs(address.sin_port), std::move(accept), std::move(limits));
    if (!listener->Start())
        return Failed();
    return listener;
}

std::unique_ptr<TcpStream> LinuxTcpNetwork::Connect(uint32_t address, uint16_t port, std::chrono::milliseconds timeout)
{
    if (!Allowed(address))
        return nullptr;
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return nullptr;
    SendAtOnce(fd.Get());
    const sockaddr_in to = AddressOf(address, port);
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
        int error = errno;
        socklen_t length = sizeof error;
        if (error != EINPROGRESS || !WaitFor(fd.Get(), POLLOUT, Clock::now() + timeout) ||
            ::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
            return nullptr;
    }
    return std::make_unique<Stream>(std::move(fd), timeout);
}

} // namespace parlino
