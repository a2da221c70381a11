#pragma once

#include "codec/ByteOrder.h"
#include "codec/NetbiosDatagram.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace parlino {

// NetBIOS name service queries (RFC 1002, 4.2.12 and 4.2.13), without scope.
struct NameQuery
{
    uint16_t transactionId = 0;
    NetbiosName name;
};

// Nullopt for anything but a name query request for one NB record.
std::optional<NameQuery> DecodeNameQuery(const uint8_t* data, size_t size);
Bytes EncodeNameQuery(const NameQuery& query);
// The positive answer of a unique B-node name at address (host byte order).
Bytes EncodePositiveNameQueryResponse(const NameQuery& query, uint32_t address);
// The first address (host byte order) of a positive answer to this query; nullopt for anything else.
std::optional<uint32_t> DecodePositiveNameQueryResponse(const uint8_t* data, size_t size, const NameQuery& query);

} // namespace parlino
