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
    // A query to every station of the segment; a query sent to one name server is not.
    bool broadcast = true;
};

// The answer to a query: the name's address and for how long it may be kept, or why there is none.
struct NameQueryAnswer
{
    std::optional<uint32_t> address; // host byte order
    // The server knows the name to be free; without an address and this, it failed to answer.
    bool nameUnknown = false;
    uint32_t timeToLive = 0; // seconds
};

// Nullopt for anything but a name query request for one NB record.
std::optional<NameQuery> DecodeNameQuery(const uint8_t* data, size_t size);
Bytes EncodeNameQuery(const NameQuery& query);
// The positive answer of a unique B-node name at address (host byte order).
Bytes EncodePositiveNameQueryResponse(const NameQuery& query, uint32_t address);
// A name server's answer that the name is not registered.
Bytes EncodeNegativeNameQueryResponse(const NameQuery& query);
// The answer to this query, with the first address of a positive one; nullopt for anything else.
std::optional<NameQueryAnswer> DecodeNameQueryResponse(const uint8_t* data, size_t size, const NameQuery& query);
// The first address (host byte order) of a positive answer to this query; nullopt for anything else.
std::optional<uint32_t> DecodePositiveNameQueryResponse(const uint8_t* data, size_t size, const NameQuery& query);

} // namespace parlino
