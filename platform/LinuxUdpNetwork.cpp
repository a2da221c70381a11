#include "platform/LinuxUdpNetwork.h"

#include "platform/InterfaceAddress.h"
#include "platform/PollThread.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace parlino {
namespace {

constexpr uint32_t kLoopbackBroadcast = 0x7FFFFFFFu; // 127.255.255.255
// Bursts of datagrams must wait in the kernel while the reader thread is scheduled.
constexpr int kReceiveBuffer = 4 * 1024 * 1024;
constexpr size_t kLargestDatagram = 65535;

UniqueFd OpenSocket()
{
    UniqueFd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!fd)
        return fd;
    const int on = 1;
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    // Shares the port with nmbd and with other stations on this host; broadcasts reach every listener.
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
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

bool Selected(const std::vector<std::string>& wanted, const InterfaceAddress& candidate)
{
    return std::any_of(wanted.begin(), wanted.end(),
                       [&](const std::string& entry) { return InterfaceSelected(entry, candidate); });
}

} // namespace

// The local address the kernel's route to a host address leaves from. Connecting a datagram socket sends
// nothing.
std::optional<uint32_t> SourceTowards(uint32_t address)
{
    const UniqueFd probe(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    to.sin_addr.s_addr = htonl(address);
    sockaddr_in from{};
    socklen_t length = sizeof from;
    if (!probe || ::connect(probe.Get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 ||
        ::getsockname(probe.Get(), reinterpret_cast<sockaddr*>(&from), &length) != 0)
        return std::nullopt;
    return ntohl(from.sin_addr.s_addr);
}

// Whether the route to a host address beyond every selected network leaves through one of them.
bool RoutedThroughSelected(uint32_t address, const std::vector<LinuxUdpNetwork::Target>& selected)
{
    const uint32_t firstOctet = address >> 24;
    // "This network", loopback, multicast and broadcast are never a router's business.
    if (firstOctet == 0 || firstOctet == 127 || firstOctet >= 224)
        return false;
    const auto source = SourceTowards(address);
    return source && std::any_of(selected.begin(), selected.end(), [&](const LinuxUdpNetwork::Target& network) {
               return network.localAddress == *source;
           });
}

// One bound socket per port and a thread that reads it. Every service listening on the port shares it:
// the kernel gives a datagram sent to this host's own address to only one of several sockets bound to a
// port, so a second socket would take unicast frames meant for the first.
class LinuxUdpNetwork::PortReader
{
public:
    PortReader(LinuxUdpNetwork& owner, UniqueFd fd) : owner_(owner), fd_(std::move(fd)) {}

    ~PortReader() { reader_.Stop(); }
    PortReader(const PortReader&) = delete;
    PortReader& operator=(const PortReader&) = delete;

    int Socket() const { return fd_.Get(); }

    bool Start()
    {
        return reader_.Start(fd_.Get(), [this] { Read(); });
    }

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
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t got = ::recvfrom(fd_.Get(), buffer_.data(), buffer_.size(), MSG_DONTWAIT,
                                       reinterpret_cast<sockaddr*>(&from), &length);
        const uint32_t sourceIp = ntohl(from.sin_addr.s_addr);
        if (got >= 0 && owner_.Reaches(sourceIp))
            Dispatch(buffer_.data(), static_cast<size_t>(got), sourceIp, ntohs(from.sin_port));
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
    UniqueFd fd_;
    std::vector<uint8_t> buffer_ = std::vector<uint8_t>(kLargestDatagram);
    std::mutex dispatchMutex_;
    std::mutex receiversMutex_;
    std::vector<std::pair<uint64_t, Receiver>> receivers_;
    uint64_t lastId_ = 0;
    uint64_t version_ = 0;
    // The reader thread's copy of receivers_ as of currentVersion_; guarded by dispatchMutex_.
    std::vector<Receiver> current_;
    uint64_t currentVersion_ = 0;
    bool currentValid_ = false;
    PollThread reader_;
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

LinuxUdpNetwork::~LinuxUdpNetwork() = default;

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
    UniqueFd fd = OpenSocket();
    if (!fd)
        return nullptr;
    if (::setsockopt(fd.Get(), SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBuffer, sizeof kReceiveBuffer) != 0)
        ::setsockopt(fd.Get(), SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
    if (!BindAny(fd.Get(), port))
        return nullptr;
    auto reader = std::make_unique<PortReader>(*this, std::move(fd));
    if (!reader->Start())
        return nullptr;
    return reader;
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
    if (!anySocket_)
        anySocket_ = OpenSocket();
    return anySocket_.Get();
}

std::vector<LinuxUdpNetwork::Target> LinuxUdpNetwork::BroadcastTargets() const
{
    std::vector<Target> targets;
    for (const InterfaceAddress& local : UpInterfaceAddresses()) {
        if (Confined() && !Selected(interfaces_, local))
            continue;
        if (local.loopback)
            targets.push_back({local.address, kLoopbackBroadcast, local.netmask});
        else if (local.broadcast)
            targets.push_back({local.address, *local.broadcast, local.netmask});
    }
    // With no interface given, loopback is only a fallback: the LAN is what the user wants to reach. With
    // interfaces given, none of them up means no network, not another one.
    if (Confined())
        return targets;
    if (targets.size() > 1)
        std::erase_if(targets, [](const Target& t) { return t.broadcastAddress == kLoopbackBroadcast; });
    if (targets.empty())
        targets.push_back({0x7F000001u, kLoopbackBroadcast, 0xFF000000u});
    return targets;
}

std::shared_ptr<const std::vector<LinuxUdpNetwork::Target>> LinuxUdpNetwork::CachedTargets()
{
    std::lock_guard lock(targetsMutex_);
    const auto now = std::chrono::steady_clock::now();
    if (!cachedTargets_ || now - targetsReadAt_ > kTargetsFreshFor) {
        cachedTargets_ = std::make_shared<const std::vector<Target>>(BroadcastTargets());
        targetsReadAt_ = now;
    }
    return cachedTargets_;
}

namespace {

bool OnNetworkOf(uint32_t address, const std::vector<LinuxUdpNetwork::Target>& networks)
{
    return std::any_of(networks.begin(), networks.end(), [address](const LinuxUdpNetwork::Target& network) {
        return ((address ^ network.localAddress) & network.netmask) == 0;
    });
}

} // namespace

bool LinuxUdpNetwork::Reaches(uint32_t address)
{
    if (!Confined())
        return true;
    const auto networks = CachedTargets();
    return OnNetworkOf(address, *networks) || RoutedThroughSelected(address, *networks);
}

bool LinuxUdpNetwork::SendUnicast(uint32_t address, uint16_t port, const FrameBuilder& build)
{
    const auto source = Reaches(address) ? SourceTowards(address) : std::nullopt;
    if (!source)
        return false;
    std::lock_guard lock(socketsMutex_);
    const int fd = SendSocket(port);
    return fd >= 0 && SendFrame(fd, address, port, build(*source));
}

bool LinuxUdpNetwork::OnLocalSubnet(uint32_t address)
{
    // This host's own loopback is reached by every broadcast it sends.
    return address >> 24 == 127 || OnNetworkOf(address, *CachedTargets());
}

bool LinuxUdpNetwork::Broadcast(uint16_t port, const FrameBuilder& build)
{
    const auto targets = CachedTargets();
    std::lock_guard lock(socketsMutex_);
    const int fd = SendSocket(port);
    if (fd < 0)
        return false;
    bool any = false;
    for (const Target& target : *targets)
        any = SendFrame(fd, target.broadcastAddress, port, build(target.localAddress)) || any;
    return any;
}

bool LinuxUdpNetwork::SendTo(uint32_t address, uint16_t port, const Bytes& frame, uint16_t fromPort)
{
    if (!Reaches(address))
        return false;
    std::lock_guard lock(socketsMutex_);
    const int fd = SendSocket(fromPort);
    return fd >= 0 && SendFrame(fd, address, port, frame);
}

} // namespace parlino
