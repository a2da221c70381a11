#include "platform/LinuxUdpNetwork.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace parlino {
namespace {

constexpr uint32_t kLoopbackBroadcast = 0x7FFFFFFFu;  // 127.255.255.255
// Bursts of datagrams must wait in the kernel while the reader thread is scheduled.
constexpr int kReceiveBuffer = 4 * 1024 * 1024;
constexpr size_t kLargestDatagram = 65535;

int OpenSocket()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    // Shares the port with nmbd and with other stations on this host; broadcasts reach every listener.
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    return fd;
}

bool BindAny(int fd, uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    return ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

bool SendFrame(int fd, uint32_t address, uint16_t port, const Bytes& frame)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    const ssize_t sent = ::sendto(fd, frame.data(), frame.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    return sent >= 0 && static_cast<size_t>(sent) == frame.size();
}

bool Selected(const std::vector<std::string>& wanted, const char* name, uint32_t address)
{
    if (wanted.empty())
        return true;
    for (const auto& entry : wanted) {
        if (entry == name)
            return true;
        const std::string host = entry.substr(0, entry.find('/'));
        in_addr parsed{};
        if (::inet_pton(AF_INET, host.c_str(), &parsed) == 1 && ntohl(parsed.s_addr) == address)
            return true;
    }
    return false;
}

}  // namespace

class LinuxUdpNetwork::Listener final : public UdpEndpoint
{
public:
    Listener(LinuxUdpNetwork& owner, uint16_t port, int fd, Receiver receiver)
        : owner_(owner), port_(port), fd_(fd), wake_(::eventfd(0, EFD_CLOEXEC)), receiver_(std::move(receiver)),
          reader_([this] { Read(); })
    {
    }

    ~Listener() override
    {
        const uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
        reader_.join();
        owner_.Forget(port_, fd_);
        ::close(wake_);
        ::close(fd_);
    }

private:
    void Read()
    {
        std::vector<uint8_t> buffer(kLargestDatagram);
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
        for (;;) {
            if (::poll(fds, 2, -1) < 0)
                continue;
            if (fds[1].revents)
                return;
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t got = ::recvfrom(fd_, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                           reinterpret_cast<sockaddr*>(&from), &length);
            if (got >= 0)
                receiver_(buffer.data(), static_cast<size_t>(got), ntohl(from.sin_addr.s_addr), ntohs(from.sin_port));
        }
    }

    LinuxUdpNetwork& owner_;
    uint16_t port_;
    int fd_;
    int wake_;
    Receiver receiver_;
    std::thread reader_;
};

LinuxUdpNetwork::LinuxUdpNetwork(std::vector<std::string> interfaces) : interfaces_(std::move(interfaces)) {}

LinuxUdpNetwork::~LinuxUdpNetwork()
{
    if (anySocket_ >= 0)
        ::close(anySocket_);
}

std::unique_ptr<UdpEndpoint> LinuxUdpNetwork::Listen(uint16_t port, Receiver receiver)
{
    const int fd = OpenSocket();
    if (fd < 0)
        return nullptr;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBuffer, sizeof kReceiveBuffer) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
    if (!BindAny(fd, port)) {
        ::close(fd);
        return nullptr;
    }
    {
        std::lock_guard lock(socketsMutex_);
        boundSockets_.emplace(port, fd);
    }
    return std::make_unique<Listener>(*this, port, fd, std::move(receiver));
}

void LinuxUdpNetwork::Forget(uint16_t port, int fd)
{
    // Taking the lock also waits for a send that still uses this socket.
    std::lock_guard lock(socketsMutex_);
    const auto [first, last] = boundSockets_.equal_range(port);
    for (auto bound = first; bound != last; ++bound) {
        if (bound->second == fd) {
            boundSockets_.erase(bound);
            return;
        }
    }
}

int LinuxUdpNetwork::SendSocket(uint16_t fromPort)
{
    // Any socket bound to the port will do, so the frames leave from that port.
    if (const auto bound = boundSockets_.find(fromPort); bound != boundSockets_.end())
        return bound->second;
    if (anySocket_ < 0)
        anySocket_ = OpenSocket();
    return anySocket_;
}

std::vector<LinuxUdpNetwork::Target> LinuxUdpNetwork::BroadcastTargets() const
{
    std::vector<Target> targets;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) == 0) {
        for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
            if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !(entry->ifa_flags & IFF_UP))
                continue;
            const uint32_t local = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
            if (!Selected(interfaces_, entry->ifa_name, local))
                continue;
            if (entry->ifa_flags & IFF_LOOPBACK) {
                targets.push_back({local, kLoopbackBroadcast});
            } else if ((entry->ifa_flags & IFF_BROADCAST) && entry->ifa_broadaddr) {
                const auto* broadcast = reinterpret_cast<const sockaddr_in*>(entry->ifa_broadaddr);
                targets.push_back({local, ntohl(broadcast->sin_addr.s_addr)});
            }
        }
        ::freeifaddrs(list);
    }
    // With no interface given, loopback is only a fallback: the LAN is what the user wants to reach.
    if (interfaces_.empty() && targets.size() > 1)
        std::erase_if(targets, [](const Target& t) { return t.broadcastAddress == kLoopbackBroadcast; });
    if (targets.empty())
        targets.push_back({0x7F000001u, kLoopbackBroadcast});
    return targets;
}

std::vector<LinuxUdpNetwork::Target> LinuxUdpNetwork::CachedTargets()
{
    // Reading the interfaces costs more than sending; a second's delay in seeing a new one is fine.
    constexpr auto kFreshFor = std::chrono::seconds(1);
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(targetsMutex_);
    if (cachedTargets_.empty() || now - targetsReadAt_ > kFreshFor) {
        cachedTargets_ = BroadcastTargets();
        targetsReadAt_ = now;
    }
    return cachedTargets_;
}

bool LinuxUdpNetwork::Broadcast(uint16_t port, const FrameBuilder& build)
{
    const auto targets = CachedTargets();
    std::lock_guard lock(socketsMutex_);
    const int fd = SendSocket(port);
    if (fd < 0)
        return false;
    bool any = false;
    for (const Target& target : targets)
        any = SendFrame(fd, target.broadcastAddress, port, build(target.localAddress)) || any;
    return any;
}

bool LinuxUdpNetwork::SendTo(uint32_t address, uint16_t port, const Bytes& frame, uint16_t fromPort)
{
    std::lock_guard lock(socketsMutex_);
    const int fd = SendSocket(fromPort);
    return fd >= 0 && SendFrame(fd, address, port, frame);
}

}  // namespace parlino
