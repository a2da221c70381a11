#include "codec/NameQuery.h"

#include "codec/ByteOrder.h"
#include "codec/MailslotPath.h"

namespace parlino {
namespace {

// The header's flag word: a response bit, then the operation (0 for a name query), and the outcome of an answer.
constexpr uint16_t kResponseBit = 0x8000;
constexpr uint16_t kOpcodeMask = 0x7800;
constexpr uint16_t kReturnCodeMask = 0x000F;

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
    return NameQuery{GetBigEndian16(data), std::move(*name)};
}

Bytes EncodeNameQuery(const NameQuery& query)
{
    constexpr uint16_t kQueryFlags = 0x0110; // recursion desired, broadcast
    Bytes out;
    PutHeader(out, query.transactionId, kQueryFlags, 1, 0);
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

std::optional<uint32_t> DecodePositiveNameQueryResponse(const uint8_t* data, size_t size, const NameQuery& query)
{
    constexpr size_t kAddressesAt = kHeaderSize + kEncodedNameSize + 10;
    if (size < kAddressesAt + 6 || GetBigEndian16(data) != query.transactionId)
        return std::nullopt;
    const uint16_t flags = GetBigEndian16(data + 2);
    if ((flags & (kResponseBit | kOpcodeMask | kReturnCodeMask)) != kResponseBit || GetBigEndian16(data + 6) == 0)
        return std::nullopt;
    const auto name = DecodeNetbiosName(data + kHeaderSize, kEncodedNameSize);
    if (!name || name->suffix != query.name.suffix ||
        ComparableNetbiosName(name->name) != ComparableNetbiosName(query.name.name))
        return std::nullopt;
    const size_t dataLength = GetBigEndian16(data + kAddressesAt - 2);
    if (dataLength < 6 || kAddressesAt + dataLength > size)
        return std::nullopt;
    return GetBigEndian32(data + kAddressesAt + 2); // after the first entry's NB_FLAGS
}

} // namespace parlino
