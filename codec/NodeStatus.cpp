#include "codec/NodeStatus.h"

#include "codec/MailslotPath.h"
#include "codec/NameServicePacket.h"

#include <algorithm>

namespace parlino {
namespace {

using namespace name_service;

constexpr uint16_t kGroup = 0x8000;
constexpr uint16_t kActive = 0x0400;
// Unit id (the adapter's address), then counters; peers read only the unit id.
constexpr size_t kStatisticsSize = 46;
constexpr size_t kMaxNames = 255;
constexpr size_t kNameEntrySize = kNetbiosNameLength + 1 + 2;

} // namespace

Bytes EncodeNodeStatusRequest(const NodeStatusRequest& request)
{
    Bytes out;
    PutHeader(out, request.transactionId, 0, 1, 0, 0);
    PutName(out, request.name, kTypeNodeStatus);
    return out;
}

std::optional<NodeStatusRequest> DecodeNodeStatusRequest(const uint8_t* data, size_t size)
{
    if (size < kHeaderSize + kEncodedNameSize + 4)
        return std::nullopt;
    const uint16_t flags = GetBigEndian16(data + 2);
    if ((flags & kResponse) || Opcode(flags) != 0 || GetBigEndian16(data + 4) != 1)
        return std::nullopt;
    auto name = DecodeNetbiosName(data + kHeaderSize, kEncodedNameSize);
    const uint8_t* tail = data + kHeaderSize + kEncodedNameSize;
    if (!name || GetBigEndian16(tail) != kTypeNodeStatus || GetBigEndian16(tail + 2) != kClassIn)
        return std::nullopt;
    return NodeStatusRequest{GetBigEndian16(data), std::move(*name)};
}

Bytes EncodeNodeStatusResponse(const NodeStatusRequest& request, const std::vector<NodeStatusName>& names)
{
    const size_t count = std::min(names.size(), kMaxNames);
    Bytes out;
    PutHeader(out, request.transactionId, kResponse | kAuthoritative, 0, 1, 0);
    PutName(out, request.name, kTypeNodeStatus);
    PutBigEndian32(out, 0);
    PutBigEndian16(out, static_cast<uint16_t>(1 + count * kNameEntrySize + kStatisticsSize));
    out.push_back(static_cast<uint8_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const NetbiosName& name = names[i].name;
        std::string padded = UpperAscii(name.name.substr(0, kNetbiosNameLength));
        padded.resize(kNetbiosNameLength, ' ');
        out.insert(out.end(), padded.begin(), padded.end());
        out.push_back(name.suffix);
        PutBigEndian16(out, names[i].group ? kGroup | kActive : kActive);
    }
    out.resize(out.size() + kStatisticsSize, 0);
    return out;
}

} // namespace parlino
