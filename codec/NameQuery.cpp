#include "codec/NameQuery.h"

#include "codec/ByteOrder.h"
#include "codec/MailslotPath.h"

namespace parlino {
namespace {

// The header's flag word: a response bit, then the operation (0 for a name query), and the outcome of an answer.
constexpr uint16_t kResponseBit = 0x8000;
constexpr uint16_t kOpcodeMask = 0x7800;
constexpr uint16_t kReturnCodeMask = 0x000F;
constexpr uint16_t kRecursionDesired = 0x0100;
constexpr uint16_t kBroadcastBit = 0x0010;
// The return code of a name server that holds no such name.
constexpr uint16_t kNameError = 3;

void PutHeader(Bytes& out, uint16_t id, uint16_t flags, uint16_t questions, uint16_t answers)
{
    for (const uint16_t field : {id, flags, questions, answers, uint16_t{0}, uint16_t{0}})
        PutBigEndian16(out, field);
}

// The question, after the 12-byte header: a NetBIOS name (type NB), on the Internet (class IN).
constexpr size_t kHeaderSize = 12;
constexpr uint16_t kTypeNb = 0x0020;
constexpr uint16_t kClassIn = 0x0001;

// The name asked about, as a query's question and an answer's record start.
void PutQuestion(Bytes& out, const NetbiosName& name)
{
    const Bytes encoded = EncodeNetbiosName(name);
    out.insert(out.end(), encoded.begin(), encoded.end());
    PutBigEndian16(out, kTypeNb);
    PutBigEndian16(out, kClassIn);
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
    return NameQuery{GetBigEndian16(data), std::move(*name), (flags & kBroadcastBit) != 0};
}

Bytes EncodeNameQuery(const NameQuery& query)
{
    Bytes out;
    PutHeader(out, query.transactionId, kRecursionDesired | (query.broadcast ? kBroadcastBit : 0), 1, 0);
    PutQuestion(out, query.name);
    return out;
}

Bytes EncodePositiveNameQueryResponse(const NameQuery& query, uint32_t address)
{
    constexpr uint16_t kAnswerFlags = 0x8500; // response, authoritative, recursion desired
    constexpr uint32_t kTimeToLive = 300000;  // seconds, as Windows answers
    Bytes out;
    PutHeader(out, query.transactionId, kAnswerFlags, 0, 1);
    PutQuestion(out, query.name);
    PutBigEndian32(out, kTimeToLive);
    PutBigEndian16(out, 6);
    PutBigEndian16(out, 0); // a unique name of a B-node
    PutBigEndian32(out, address);
    return out;
}

Bytes EncodeNegativeNameQueryResponse(const NameQuery& query)
{
    constexpr uint16_t kAnswerFlags = 0x8580 | kNameError; // response, authoritative, recursion desired, available
    Bytes out;
    PutHeader(out, query.transactionId, kAnswerFlags, 0, 1);
    PutQuestion(out, query.name);
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
    if ((flags & (kResponseBit | kOpcodeMask)) != kResponseBit || GetBigEndian16(data + 6) == 0)
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
