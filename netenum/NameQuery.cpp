#include "netenum/NameQuery.h"

#include "platform/MailslotPath.h"
#include "transport/ByteOrder.h"

namespace parlino {
namespace {

constexpr size_t kHeaderSize = 12;
constexpr uint16_t kTypeNb = 0x0020;
constexpr uint16_t kClassIn = 0x0001;
constexpr uint16_t kResponseBit = 0x8000;
constexpr uint16_t kOpcodeMask = 0x7800;
constexpr uint16_t kQueryFlags = 0x0110;  // recursion desired, broadcast
constexpr uint16_t kAnswerFlags = 0x8500; // response, authoritative, recursion desired
constexpr uint32_t kTimeToLive = 300000;  // seconds, as Windows answers
constexpr uint8_t kNameSuffixes[] = {kWorkstationSuffix, kMessengerSuffix, kServerSuffix};

void PutHeader(Bytes& out, uint16_t id, uint16_t flags, uint16_t questions, uint16_t answers)
{
    for (const uint16_t field : {id, flags, questions, answers, uint16_t{0}, uint16_t{0}})
        PutBigEndian16(out, field);
}

} // namespace

std::optional<NameQuery> DecodeNameQuery(const uint8_t* data, size_t size)
{
    if (size < kHeaderSize + kEncodedNameSize + 4)
        return std::nullopt;
    const uint16_t flags = GetBigEndian16(data + 2);
    if ((flags & (kResponseBit | kOpcodeMask)) != 0 || GetBigEndian16(data + 4) != 1)
        return std::nullopt;
    auto name = DecodeNetbiosName(data + kHeaderSize, kEncodedNameSize);
    const uint8_t* tail = data + kHeaderSize + kEncodedNameSize;
    if (!name || GetBigEndian16(tail) != kTypeNb || GetBigEndian16(tail + 2) != kClassIn)
        return std::nullopt;
    return NameQuery{GetBigEndian16(data), std::move(*name)};
}

Bytes EncodeNameQuery(const NameQuery& query)
{
    Bytes out;
    PutHeader(out, query.transactionId, kQueryFlags, 1, 0);
    const Bytes name = EncodeNetbiosName(query.name);
    out.insert(out.end(), name.begin(), name.end());
    PutBigEndian16(out, kTypeNb);
    PutBigEndian16(out, kClassIn);
    return out;
}

Bytes EncodePositiveNameQueryResponse(const NameQuery& query, uint32_t address)
{
    Bytes out;
    PutHeader(out, query.transactionId, kAnswerFlags, 0, 1);
    const Bytes name = EncodeNetbiosName(query.name);
    out.insert(out.end(), name.begin(), name.end());
    PutBigEndian16(out, kTypeNb);
    PutBigEndian16(out, kClassIn);
    PutBigEndian32(out, kTimeToLive);
    PutBigEndian16(out, 6);
    PutBigEndian16(out, 0); // a unique name of a B-node
    PutBigEndian32(out, address);
    return out;
}

NameQueryResponder::NameQueryResponder(UdpNetwork& network, std::string computer, uint16_t port,
                                       LocalAddress localAddress)
    : network_(network), computer_(UpperAscii(std::move(computer))), port_(port), localAddress_(std::move(localAddress))
{}

bool NameQueryResponder::Start()
{
    endpoint_ = network_.Listen(
        port_, [this](const uint8_t* data, size_t size, uint32_t ip, uint16_t port) { OnFrame(data, size, ip, port); });
    return endpoint_ != nullptr;
}

void NameQueryResponder::OnFrame(const uint8_t* data, size_t size, uint32_t sourceIp, uint16_t sourcePort)
{
    const auto query = DecodeNameQuery(data, size);
    if (!query || UpperAscii(query->name.name) != computer_)
        return;
    for (const uint8_t suffix : kNameSuffixes)
        if (query->name.suffix == suffix)
            network_.SendTo(sourceIp, sourcePort, EncodePositiveNameQueryResponse(*query, localAddress_(sourceIp)),
                            port_);
}

} // namespace parlino
