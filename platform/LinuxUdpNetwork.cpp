#include "platform/LinuxUdpNetwork.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace parlino {
namespace {

constexpr uint32_t kLoopbackBroadcast = 0x7FFFFFFFu; // 127.255.255.255
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

std::optional<uint32_t> ParseAddress(const std::string& text)
{
    in_addr parsed{};
    if (::inet_pton(AF_INET, text.c_str(), &parsed) != 1)
        return std::nullopt;
    return ntohl(parsed.s_addr);
}

// The mask of an entry's "/bits" or "/a.b.c.d" suffix; all ones without one (the address itself).
std::optional<uint32_t> EntryMask(const std::string& entry)
{
    const size_t slash = entry.find('/');
    if (slash == std::string::npos)
        return 0xFFFFFFFFu;
    const std::string suffix = entry.substr(slash + 1);
    if (suffix.find('.') != std::string::npos)
        return ParseAddress(suffix);
    if (suffix.empty() || suffix.size() > 2 || suffix.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int bits = std::stoi(suffix);
    if (bits > 32)
        return std::nullopt;
    return bits == 0 ? 0u : 0xFFFFFFFFu << (32 - bits);
}

// An entry names an interface, gives its address, or (with a mask, as smb.conf writes "192.168.1.0/24")
// a network the interface's address lies on.
bool Selected(const std::vector<std::string>& wanted, const char* name, uint32_t address)
{
    if (wanted.empty())
        return true;
    for (const auto& entry : wanted) {
        if (entry == name)
            return true;
        const std::optional<uint32_t> host = ParseAddress(entry.substr(0, entry.find('/')));
        const std::optional<uint32_t> mask = EntryMask(entry);
        if (host && mask && ((*host ^ address) & *mask) == 0)
            return true;
    }
    return false;
}

} // namespace

// One bound socket per port and a thread that reads it. Every service listening on the port shares it:
// the kernel gives a datagram sent to this host's own address to only one of several sockets bound to a
// port, so a second socket would take unicast frames meant for the first.
class LinuxUdpNetwork::PortReader
{
public:
    PortReader(LinuxUdpNetwork& owner, int fd, int wake)
        : owner_(owner), fd_(fd), wake_(wake), reader_([this] { Read(); })
    {}

    ~PortReader()
    {
        const uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
        reader_.join();
        ::close(wake_);
        ::close(fd_);
    }
    PortReader(const PortReader&) = delete;
    PortReader& operator=(const PortReader&) = delete;

    int Socket() const { return fd_; }

    uint64_t Add(Receiver receiver)
    {
        std::lock_guard lock(receiversMutex_);
        receivers_.emplace_back(++lastId_, std::move(receiver));
        ++version_;
        return lastId_;
    }

    // Returns once no frame is being handed to the receiver; none reaches it afterwards. So never from
    // within a receiver of this port.
    void Remove(uint64_t id)
    {
        {
            std::lock_guard lock(receiversMutex_);
            std::erase_if(receivers_, [id](const auto& entry) { return entry.first == id; });
            ++version_;
        }
        std::lock_guard waitForFrame(dispatchMutex_);
        // The removed receiver's copy goes now, not at the next frame.
        current_.clear();
        currentValid_ = false;
    }

    bool Unused()
    {
        std::lock_guard lock(receiversMutex_);
        return receivers_.empty();
    }

private:
    void Read()
    {
        std::vector<uint8_t> buffer(kLargestDatagram);
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
        for (;;) {
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (fds[1].revents)
                return;
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t got = ::recvfrom(fd_, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                           reinterpret_cast<sockaddr*>(&from), &length);
            const uint32_t sourceIp = ntohl(from.sin_addr.s_addr);
            if (got >= 0 && OnSelectedNetwork(sourceIp))
                Dispatch(buffer.data(), static_cast<size_t>(got), sourceIp, ntohs(from.sin_port));
        }
    }

    // Interfaces given confine the program to their networks: what comes from elsewhere is not heard (nor
    // answered). The reader keeps its own copy of the networks, so a burst of frames takes no shared lock.
    bool OnSelectedNetwork(uint32_t address)
    {
        if (!owner_.Confined())
            return true;
        const auto now = std::chrono::steady_clock::now();
        if (!networksRead_ || now - networksReadAt_ > kTargetsFreshFor) {
            networks_ = owner_.CachedTargets();
            networksReadAt_ = now;
            networksRead_ = true;
        }
        return OnNetworks(networks_, address);
    }

    // Receivers run without receiversMutex_ held, so they may send (which takes the network's lock)
    // while another thread adds a listener under that lock. The copy is made again only after a change.
    void Dispatch(const uint8_t* data, size_t size, uint32_t sourceIp, uint16_t sourcePort)
    {
        std::lock_guard dispatching(dispatchMutex_);
        {
            std::lock_guard lock(receiversMutex_);
            if (!currentValid_ || currentVersion_ != version_) {
                current_.clear();
                for (const auto& entry : receivers_)
                    current_.push_back(entry.second);
                currentVersion_ = version_;
                currentValid_ = true;
            }
        }
        for (const Receiver& receiver : current_)
            receiver(data, size, sourceIp, sourcePort);
    }

    LinuxUdpNetwork& owner_;
    int fd_;
    int wake_;
    std::mutex dispatchMutex_;
    std::mutex receiversMutex_;
    std::vector<std::pair<uint64_t, Receiver>> receivers_;
    uint64_t lastId_ = 0;
    uint64_t version_ = 0;
    // The reader thread's copy of receivers_ as of currentVersion_; guarded by dispatchMutex_.
    std::vector<Receiver> current_;
    uint64_t currentVersion_ = 0;
    bool currentValid_ = false;
    // The reader thread's own.
    std::vector<Target> networks_;
    std::chrono::steady_clock::time_point networksReadAt_;
    bool networksRead_ = false;
    std::thread reader_;
};

class LinuxUdpNetwork::Listener final : public UdpEndpoint
{
public:
    Listener(LinuxUdpNetwork& owner, uint16_t port, PortReader& reader, uint64_t id)
        : owner_(owner), port_(port), reader_(reader), id_(id)
    {}
    ~Listener() override
    {
        reader_.Remove(id_);
        owner_.CloseIfUnused(port_);
    }

private:
    LinuxUdpNetwork& owner_;
    uint16_t port_;
    PortReader& reader_;
    uint64_t id_;
};

LinuxUdpNetwork::LinuxUdpNetwork(std::vector<std::string> interfaces) : interfaces_(std::move(interfaces)) {}

LinuxUdpNetwork::~LinuxUdpNetwork()
{
    if (anySocket_ >= 0)
        ::close(anySocket_);
}

std::unique_ptr<UdpEndpoint> LinuxUdpNetwork::Listen(uint16_t port, Receiver receiver)
{
    std::lock_guard lock(socketsMutex_);
    auto reader = readers_.find(port);
    if (reader == readers_.end()) {
        auto opened = OpenReader(port);
        if (!opened)
            return nullptr;
        reader = readers_.emplace(port, std::move(opened)).first;
    }
    return std::make_unique<Listener>(*this, port, *reader->second, reader->second->Add(std::move(receiver)));
}

std::unique_ptr<LinuxUdpNetwork::PortReader> LinuxUdpNetwork::OpenReader(uint16_t port)
{
    const int fd = OpenSocket();
    if (fd < 0)
        return nullptr;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBuffer, sizeof kReceiveBuffer) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
    const int wake = BindAny(fd, port) ? ::eventfd(0, EFD_CLOEXEC) : -1;
    if (wake < 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PortReader>(*this, fd, wake);
}

void LinuxUdpNetwork::CloseIfUnused(uint16_t port)
{
    std::unique_ptr<PortReader> closing;
    {
        // Taking the lock also waits for a send that still uses the port's socket.
        std::lock_guard lock(socketsMutex_);
        const auto reader = readers_.find(port);
        if (reader != readers_.end() && reader->second->Unused()) {
            closing = std::move(reader->second);
            readers_.erase(reader);
        }
    }
    // Its thread ends outside the lock: a receiver it is still running may be sending.
}

int LinuxUdpNetwork::SendSocket(uint16_t fromPort)
{
    // The port's own socket, so the frames leave from that port.
    if (const auto reader = readers_.find(fromPort); reader != readers_.end())
        return reader->second->Socket();
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
            const uint32_t netmask =
                entry->ifa_netmask ? ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr)
                                   : 0xFFFFFFFFu;
            if (entry->ifa_flags & IFF_LOOPBACK) {
                targets.push_back({local, kLoopbackBroadcast, netmask});
            } else if ((entry->ifa_flags & IFF_BROADCAST) && entry->ifa_broadaddr) {
                const auto* broadcast = reinterpret_cast<const sockaddr_in*>(entry->ifa_broadaddr);
                targets.push_back({local, ntohl(broadcast->sin_addr.s_addr), netmask});
            }
        }
        ::freeifaddrs(list);
    }
    // With no interface given, loopback is only a fallback: the LAN is what the user wants to reach. With
    // interfaces given, none of them up means no network, not another one.
    if (!interfaces_.empty())
        return targets;
    if (targets.size() > 1)
        std::erase_if(targets, [](const Target& t) { return t.broadcastAddress == kLoopbackBroadcast; });
    if (targets.empty())
        targets.push_back({0x7F000001u, kLoopbackBroadcast, 0xFF000000u});
    return targets;
}

void LinuxUdpNetwork::RefreshTargets()
{
    const auto now = std::chrono::steady_clock::now();
    if (!targetsRead_ || now - targetsReadAt_ > kTargetsFreshFor) {
        cachedTargets_ = BroadcastTargets();
        targetsReadAt_ = now;
        targetsRead_ = true;
    }
}

std::vector<LinuxUdpNetwork::Target> LinuxUdpNetwork::CachedTargets()
{
    std::lock_guard lock(targetsMutex_);
    RefreshTargets();
    return cachedTargets_;
}

bool LinuxUdpNetwork::OnNetworks(const std::vector<Target>& networks, uint32_t address)
{
    return std::any_of(networks.begin(), networks.end(), [address](const Target& target) {
        return ((address ^ target.localAddress) & target.netmask) == 0;
    });
}

bool LinuxUdpNetwork::OnSelectedNetwork(uint32_t address)
{
    if (!Confined())
        return true;
    std::lock_guard lock(targetsMutex_);
    RefreshTargets();
    return OnNetworks(cachedTargets_, address);
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
    if (!OnSelectedNetwork(address))
        return false;
    std::lock_guard lock(socketsMutex_);
    const int fd = SendSocket(fromPort);
    return fd >= 0 && SendFrame(fd, address, port, frame);
}

} // namespace parlino
