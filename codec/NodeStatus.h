#pragma once

#include "codec/ByteOrder.h"
#include "codec/NetbiosDatagram.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace parlino {

// Node status (RFC 1002, 4.2.17 and 4.2.18): a peer asks which names a computer holds, as `nmblookup -A` and
// `nbtstat -A` do, usually for the name "*".
struct NodeStatusRequest
{
    uint16_t transactionId = 0;
    NetbiosName name;

    bool operator==(const NodeStatusRequest&) const = default;
};

struct NodeStatusName
{
    NetbiosName name;
    bool group = false;
};

Bytes EncodeNodeStatusRequest(const NodeStatusRequest& request);
// Nullopt for anything but a node status request of one name.
std::optional<NodeStatusRequest> DecodeNodeStatusRequest(const uint8_t* data, size_t size);
// The names, all active names of a B-node, with statistics of zeros (no unit id); only the first 255 fit.
Bytes EncodeNodeStatusResponse(const NodeStatusRequest& request, const std::vector<NodeStatusName>& names);

} // namespace parlino
