#pragma once

#include "codec/ByteOrder.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parlino {

// NetServerEnum2 of the Remote Administration Protocol (MS-RAP) at information level 1, which a browser serves
// through a transaction on \PIPE\LANMAN: the servers it knows in one workgroup, or the workgroups it knows.
// Names and comments are OEM bytes.
constexpr char kLanmanPipe[] = "\\PIPE\\LANMAN";
constexpr uint32_t kServerTypeAll = 0xFFFFFFFF;
constexpr uint32_t kServerTypeDomainEnum = 0x80000000;
constexpr uint16_t kRapSuccess = 0;
constexpr uint16_t kRapMoreData = 234; // the entries that fitted in the answer
// The parameters a reply carries: status, converter, entries returned, entries available.
constexpr uint16_t kServerEnumReplyParameters = 8;

struct ServerInfo
{
    std::string name;
    uint32_t serverType = 0;
    std::string comment; // a workgroup's: its master browser's name

    bool operator==(const ServerInfo&) const = default;
};

struct ServerEnumReply
{
    uint16_t status = 0;
    uint16_t available = 0;
    std::vector<ServerInfo> servers; // only with kRapSuccess or kRapMoreData

    bool operator==(const ServerEnumReply&) const = default;
};

// The request's parameters: the servers of any of the types in the workgroup (kServerTypeDomainEnum: the
// workgroups), in an answer of at most receiveBuffer bytes of data.
Bytes EncodeServerEnumRequest(uint32_t serverType, const std::string& workgroup, uint16_t receiveBuffer);
// Nullopt for parameters of another size, or an entry, a name or a comment that does not lie whole in the data.
std::optional<ServerEnumReply> DecodeServerEnumReply(const Bytes& parameters, const Bytes& data);

} // namespace parlino
