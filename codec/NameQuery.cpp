#include "codec/NameQuery.h"

#include "codec/MailslotPath.h"
#include "codec/NameServicePacket.h"

namespace parlino {
namespace {

using namespace name_service;

// The return code of a name server that holds no such name.
constexpr uint16_t kNameError = 3;

bool IsQuery(uint16_t flags)
{
    return Opcode(flags) == static_cast<uint8_t>(NameOpcode::Query);
}

} // namespace

std::optional<NameQuery> DecodeNameQuery(const uint8_t* data, size_t size)
{
    if (size < kHeaderSize + kEncodedNameSize + 4)
        return std::nullopt;
    const uint16_t flags = GetBigEndian16(data + 2);
    if ((flags & kResponse) != 0 || !IsQuery(flags) || GetBigEndian16(data + 4) != 1)
        return std::nullopt;
    auto name = DecodeNetbiosName(data + kHeaderSize, kEncodedNameSize);
    const uint8_t* tail = data + kHeaderSize + kEncodedNameSize;
    if (!name || GetBigEndian16(tail) != kTypeNb || GetBigEndian16(tail + 2) != kClassIn)
        return std::nullopt;
    return NameQuery{GetBigEndian16(data), std::move(*name), (flags & kBroadcast) != 0};
}

Bytes EncodeNameQuery(const NameQuery& query)
{
    Bytes out;
    PutHeader(out, query.transactionId, kRecursionDesired | (query.broadcast ? kBroadcast : 0), 1, 0, 0);
    PutName(out, query.name, kTypeNb);
    return out;
}

Bytes EncodePositiveNameQueryResponse(const NameQuery& query, uint32_t address)
{
    constexpr uint16_t kAnswerFlags = kResponse | kAuthoritative | kRecursionDesired;
    constexpr uint32_t kTimeToLive = 300000; // seconds, as Windows answers
    Bytes out;
    PutHeader(out, query.transactionId, kAnswerFlags, 0, 1, 0);
    PutName(out, query.name, kTypeNb);
    PutBigEndian32(out, kTimeToLive);
    PutBigEndian16(out, 6);
    PutBigEndian16(out, 0); // a unique name of a B-node
    PutBigEndian32(out, address);
    return out;
}

Bytes EncodeNegativeNameQueryResponse(const NameQuery& query)
{
    constexpr uint16_t kAnswerFlags = kResponse | kAuthoritative | kRecursionDesired | kRecursionAvailable | kNameError;
    Bytes out;
    PutHeader(out, query.transactionId, kAnswerFlags, 0, 1, 0);
    PutName(out, query.name, kTypeNb);
    PutBigEndian32(out, 0);
    PutBigEndian16(out, 0);
    return out;
}

std::optional<NameQueryAnswer> DecodeNameQueryResponse(const uint8_t* data, size_t size, const NameQuery& query)
{
    // The record's name, type, class, time to live and data length.
    constexpr size_t kRecordDataAt = kHeaderSize + kEncodedNameSize + 10;
    if (size < kRecordDataAt || GetBigEndian16(data) != query.transactionId)
        return std::nullopt;
    const uint16_t flags = GetBigEndian16(data + 2);
    if ((flags & kResponse) == 0 || !IsQuery(flags) || GetBigEndian16(data + 6) == 0)
        return std::nullopt;
    const auto name = DecodeNetbiosName(data + kHeaderSize, kEncodedNameSize);
    if (!name || name->suffix != query.name.suffix ||
        ComparableNetbiosName(name->name) != ComparableNetbiosName(query.name.name))
        return std::nullopt;
    NameQueryAnswer answer;
    answer.timeToLive = GetBigEndian32(data + kRecordDataAt - 6);
    if (const uint16_t code = flags & kReturnCodeMask; code != 0) {
        answer.nameUnknown = code == kNameError;
        return answer;
    }
    const size_t dataLength = GetBigEndian16(data + kRecordDataAt - 2);
    if (dataLength < 6 || kRecordDataAt + dataLength > size)
        return std::nullopt;
    answer.address = GetBigEndian32(data + kRecordDataAt + 2); // after the first entry's NB_FLAGS
    return answer;
}

std::optional<uint32_t> DecodePositiveNameQueryResponse(const uint8_t* data, size_t size, const NameQuery& query)
{
    const auto answer = DecodeNameQueryResponse(data, size, query);
    return answer ? answer->address : std::nullopt;
}

} // namespace parlino
