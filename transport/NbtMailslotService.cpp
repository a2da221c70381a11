#include "transport/NbtMailslotService.h"

#include "codec/MailslotPath.h"
#include "codec/SmbMailslot.h"
#include "platform/LastError.h"

#include <random>

namespace parlino {
namespace {

const std::string kMailslotPrefix = "\\MAILSLOT\\";

} // namespace

NbtMailslotService::NbtMailslotService(UdpNetwork& network, HostNameClaims& claims, LocalMailslots& inboxes,
                                       const ThisComputer& names, uint16_t port)
    : InboxMailslotService(inboxes), network_(network), claims_(claims), names_(names), port_(port),
      nextDatagramId_(static_cast<uint16_t>(std::random_device{}()))
{}

NbtMailslotService::~NbtMailslotService()
{
    WaitForReaders();
    // Stop the network's reader before the inboxes it fills go away.
    std::unique_ptr<UdpEndpoint> endpoint;
    {
        std::lock_guard lock(mutex_);
        endpoint = std::move(endpoint_);
    }
}

void NbtMailslotService::SetGroupLookup(GroupLookup lookup)
{
    std::lock_guard lock(mutex_);
    groupLookup_ = std::move(lookup);
}

void NbtMailslotService::SetRoutedLookup(RoutedLookup lookup)
{
    std::lock_guard lock(mutex_);
    routedLookup_ = std::move(lookup);
}

MailslotHandle NbtMailslotService::CreateMailslot(const std::string& path, uint32_t maxMessageSize,
                                                  uint32_t readTimeout)
{
    const auto parsed = ParseMailslotPath(path);
    if (!parsed || parsed->host != ".")
        return Fail(kErrorBadPathname, kInvalidHandle);
    const std::string slot = UpperAscii(parsed->slot);
    // Held per computer name, so that several stations can share one host.
    auto claimed = claims_.TryClaim("mailslot/" + names_.name + "/" + slot);
    if (!claimed.claim)
        return Fail(claimed.heldElsewhere ? kErrorAlreadyExists : kErrorAccessDenied, kInvalidHandle);

    std::lock_guard lock(mutex_);
    if (!endpoint_) {
        endpoint_ = network_.Listen(
            port_, [this](const uint8_t* data, size_t size, uint32_t, uint16_t) { OnFrame(data, size); });
        if (!endpoint_)
            return Fail(kErrorAccessDenied, kInvalidHandle);
    }
    const MailslotHandle handle = Inboxes().Create(slot, maxMessageSize, readTimeout);
    ownedSlots_[handle] = std::move(claimed.claim);
    return handle;
}

MailslotHandle NbtMailslotService::CreateFile(const std::string& path)
{
    const auto parsed = ParseMailslotPath(path);
    if (!parsed)
        return Fail(kErrorBadPathname, kInvalidHandle);
    const std::string target = parsed->host == "." ? names_.name : UpperAscii(parsed->host);
    // A longer name would be cut on the wire and could reach another computer.
    if (target.size() > kNetbiosNameLength)
        return Fail(kErrorBadNetPath, kInvalidHandle);
    const MailslotHandle handle = Inboxes().NextHandle();
    std::lock_guard lock(mutex_);
    files_[handle] = {target, UpperAscii(parsed->slot)};
    return handle;
}

NbtMailslotService::Route NbtMailslotService::RouteTo(const std::string& target) const
{
    if (target == "*")
        return {{names_.workgroup, kWorkstationSuffix}, DatagramType::DirectGroup};
    GroupLookup lookup;
    {
        std::lock_guard lock(mutex_);
        lookup = groupLookup_;
    }
    if (target == names_.workgroup || (lookup && lookup(target)))
        return {{target, kWorkstationSuffix}, DatagramType::DirectGroup};
    return {{target, kMessengerSuffix}, DatagramType::DirectUnique};
}

bool NbtMailslotService::WriteFile(MailslotHandle handle, const void* data, uint32_t bytesToWrite,
                                   uint32_t* bytesWritten)
{
    if (bytesWritten)
        *bytesWritten = 0;
    RemoteFile file;
    {
        std::lock_guard lock(mutex_);
        const auto found = files_.find(handle);
        if (found == files_.end())
            return Fail(kErrorInvalidHandle, false);
        file = found->second;
    }
    const std::string mailslot = kMailslotPrefix + file.slot;
    // More would not fit one datagram, which is never fragmented.
    if (bytesToWrite > MaxMailslotData(mailslot))
        return Fail(kErrorInvalidParameter, false);

    const Route route = RouteTo(file.target);
    NetbiosDatagram datagram;
    datagram.type = route.type;
    datagram.id = nextDatagramId_++;
    datagram.sourcePort = port_;
    datagram.source = {names_.name, kWorkstationSuffix};
    datagram.destination = route.destination;
    datagram.userData = EncodeMailslotWrite(mailslot, static_cast<const uint8_t*>(data), bytesToWrite);
    const auto build = [&datagram](uint32_t localAddress) {
        datagram.sourceAddress = localAddress;
        return EncodeDatagram(datagram);
    };
    RoutedLookup routed;
    {
        std::lock_guard lock(mutex_);
        routed = routedLookup_;
    }
    const auto beyondRouter = route.type == DatagramType::DirectUnique && routed ? routed(file.target) : std::nullopt;
    const bool sent =
        beyondRouter ? network_.SendUnicast(*beyondRouter, port_, build) : network_.Broadcast(port_, build);
    if (!sent)
        return Fail(kErrorWriteFault, false);
    if (bytesWritten)
        *bytesWritten = bytesToWrite;
    return true;
}

bool NbtMailslotService::CloseHandle(MailslotHandle handle)
{
    std::unique_ptr<HostNameClaims::Claim> claim;
    std::unique_ptr<UdpEndpoint> endpoint;
    {
        std::lock_guard lock(mutex_);
        if (files_.erase(handle) > 0)
            return true;
        const auto owned = ownedSlots_.find(handle);
        if (owned == ownedSlots_.end())
            return Fail(kErrorInvalidHandle, false);
        claim = std::move(owned->second);
        ownedSlots_.erase(owned);
        // Nobody left to receive for: give the port back.
        if (ownedSlots_.empty())
            endpoint = std::move(endpoint_);
    }
    endpoint.reset();
    return Inboxes().Close(handle);
}

void NbtMailslotService::OnFrame(const uint8_t* data, size_t size)
{
    const auto datagram = DecodeDatagram(data, size);
    if (!datagram || !names_.IsAddressedBy(datagram->destination))
        return;
    auto write = DecodeMailslotWrite(datagram->userData.data(), datagram->userData.size());
    if (!write || write->data.size() > kMaxMailslotData)
        return;
    const std::string mailslot = UpperAscii(write->mailslot);
    if (mailslot.compare(0, kMailslotPrefix.size(), kMailslotPrefix) != 0)
        return;
    Inboxes().Deliver(mailslot.substr(kMailslotPrefix.size()), std::move(write->data));
}

} // namespace parlino
