#pragma once

#include "codec/ByteOrder.h"
#include "codec/NameQuery.h"
#include "codec/NameServicePacket.h"
#include "codec/NetbiosDatagram.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace parlino {

// A registration, refresh or release of one name with a name server (RFC 1002, 4.2.2-4.2.5 and 4.2.9), without
// scope. The record says the name is this node's (an H-node: it asks the server first, then the segment).
struct NameRegistration
{
    uint16_t transactionId = 0;
    NameOpcode opcode = NameOpcode::Registration;
    NetbiosName name;
    bool group = false;
    uint32_t timeToLive = 0; // seconds
    uint32_t address = 0;    // host byte order

    bool operator==(const NameRegistration&) const = default;
};

// Unicast to the server; a registration or refresh asks it to decide (recursion desired), a release does not.
Bytes EncodeNameRegistrationRequest(const NameRegistration& request);
// Nullopt for anything but a registration, refresh or release request of one NB record.
std::optional<NameRegistration> DecodeNameRegistrationRequest(const uint8_t* data, size_t size);

// A query unicast to a name server: which addresses it holds for the name (recursion desired, no broadcast).
Bytes EncodeNameServerQuery(const NameQuery& query);

// A name server's answer to a query, registration, refresh or release (RFC 1002, 4.2.6-4.2.10, 4.2.13-4.2.16).
struct NameServiceResponse
{
    // The outcomes a client tells apart; the rest of RFC 1002's codes are failures alike.
    static constexpr uint8_t kPositive = 0;
    static constexpr uint8_t kNameNotFound = 3; // NAM_ERR
    static constexpr uint8_t kRefused = 5;      // RFS_ERR: the server will not let this node have the name
    static constexpr uint8_t kActive = 6;       // ACT_ERR: the name is held by another node

    struct Record
    {
        bool group = false;
        uint32_t address = 0; // host byte order

        bool operator==(const Record&) const = default;
    };

    uint16_t transactionId = 0;
    // The operation answered; a WACK's is the one whose answer it defers.
    NameOpcode opcode = NameOpcode::Registration;
    // A WACK: the server asks the name's holder first, and its real answer follows within timeToLive.
    bool waitForAcknowledgement = false;
    uint8_t returnCode = kPositive;
    NetbiosName name;
    uint32_t timeToLive = 0; // seconds
    std::vector<Record> records;

    bool operator==(const NameServiceResponse&) const = default;
};

Bytes EncodeNameServiceResponse(const NameServiceResponse& response);
// Nullopt for anything but a whole answer of one of the operations above; a negative answer may lack the record.
std::optional<NameServiceResponse> DecodeNameServiceResponse(const uint8_t* data, size_t size);

} // namespace parlino
