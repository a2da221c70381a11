#include "netenum/NameQueryResponder.h"

#include "codec/MailslotPath.h"

namespace parlino {
namespace {

constexpr uint8_t kNameSuffixes[] = {kWorkstationSuffix, kMessengerSuffix, kServerSuffix};

} // namespace

NameQueryResponder::NameQueryResponder(UdpNetwork& network, std::string computer, uint16_t port,
                                       LocalAddress localAddress, std::vector<NodeStatusName> heldNames)
    : network_(network), computer_(UpperAscii(std::move(computer))), port_(port),
      localAddress_(std::move(localAddress)), heldNames_(std::move(heldNames))
{}

bool NameQueryResponder::Start()
{
    endpoint_ = network_.Listen(
        port_, [this](const uint8_t* data, size_t size, uint32_t ip, uint16_t port) { OnFrame(data, size, ip, port); });
    return endpoint_ != nullptr;
}

void NameQueryResponder::OnFrame(const uint8_t* data, size_t size, uint32_t sourceIp, uint16_t sourcePort)
{
    if (const auto status = DecodeNodeStatusRequest(data, size)) {
        const std::string asked = ComparableNetbiosName(status->name.name);
        if (!heldNames_.empty() && (asked == "*" || asked == computer_))
            network_.SendTo(sourceIp, sourcePort, EncodeNodeStatusResponse(*status, heldNames_), port_);
        return;
    }
    const auto query = DecodeNameQuery(data, size);
    if (!query || UpperAscii(query->name.name) != computer_)
        return;
    for (const uint8_t suffix : kNameSuffixes)
        if (query->name.suffix == suffix)
            network_.SendTo(sourceIp, sourcePort, EncodePositiveNameQueryResponse(*query, localAddress_(sourceIp)),
                            port_);
}

} // namespace parlino
