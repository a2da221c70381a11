#include "codec/NameRegistration.h"

#include "codec/NameServicePacket.h"

namespace parlino {
namespace {

using namespace name_service;

constexpr uint16_t kHNode = 0x6000;
constexpr uint16_t kGroup = 0x8000;
// The additional record of a request names the question's name by a pointer to where it starts.
constexpr uint16_t kPointerToQuestion = 0xC000 | kHeaderSize;
constexpr size_t kNbEntrySize = 6;
constexpr size_t kRecordFieldsSize = 10; // type, class, time to live, data length

bool RequestOpcode(uint8_t opcode)
{
    switch (opcode) {
    case 5:
    case 6:
    case 8:
    case 9:
        return true;
    default:
        return false;
    }
}

// The operation of a request as this codec names it: both refresh codes are a refresh.
NameOpcode FromWire(uint8_t opcode)
{
    return opcode == 9 ? NameOpcode::Refresh : static_cast<NameOpcode>(opcode);
}

uint16_t RequestFlags(NameOpcode opcode)
{
    const uint16_t asked = static_cast<uint16_t>(static_cast<uint16_t>(opcode) << kOpcodeShift);
    return opcode == NameOpcode::Release ? asked : asked | kRecursionDesired;
}

void PutNbEntry(Bytes& out, bool group, uint32_t address)
{
    PutBigEndian16(out, group ? kGroup | kHNode : kHNode);
    PutBigEndian32(out, address);
}

} // namespace

Bytes EncodeNameRegistrationRequest(const NameRegistration& request)
{
    Bytes out;
    PutHeader(out, request.transactionId, RequestFlags(request.opcode), 1, 0, 1);
    PutName(out, request.name, kTypeNb);
    PutBigEndian16(out, kPointerToQuestion);
    PutBigEndian16(out, kTypeNb);
    PutBigEndian16(out, kClassIn);
    PutBigEndian32(out, request.timeToLive);
    PutBigEndian16(out, kNbEntrySize);
    PutNbEntry(out, request.group, request.address);
    return out;
}

std::optional<NameRegistration> DecodeNameRegistrationRequest(const uint8_t* data, size_t size)
{
    constexpr size_t kQuestionEnd = kHeaderSize + kEncodedNameSize + 4;
    if (size < kQuestionEnd + 2)
        return std::nullopt;
    const uint16_t flags = GetBigEndian16(data + 2);
    if ((flags & kResponse) || !RequestOpcode(Opcode(flags)) || GetBigEndian16(data + 4) != 1 ||
        GetBigEndian16(data + 10) != 1)
        return std::nullopt;
    auto name = DecodeNetbiosName(data + kHeaderSize, kEncodedNameSize);
    const uint8_t* question = data + kHeaderSize + kEncodedNameSize;
    if (!name || GetBigEndian16(question) != kTypeNb || GetBigEndian16(question + 2) != kClassIn)
        return std::nullopt;
    // The record's name: a pointer to the question's, or the name written again.
    const uint8_t* at = data + kQuestionEnd;
    size_t left = size - kQuestionEnd;
    const size_t nameSize = GetBigEndian16(at) == kPointerToQuestion ? 2 : kEncodedNameSize;
    if (left < nameSize + kRecordFieldsSize + kNbEntrySize ||
        (nameSize == kEncodedNameSize && DecodeNetbiosName(at, left) != name))
        return std::nullopt;
    at += nameSize;
    if (GetBigEndian16(at) != kTypeNb || GetBigEndian16(at + 2) != kClassIn || GetBigEndian16(at + 8) != kNbEntrySize)
        return std::nullopt;
    return NameRegistration{GetBigEndian16(data),   FromWire(Opcode(flags)),
                            std::move(*name),       (GetBigEndian16(at + 10) & kGroup) != 0,
                            GetBigEndian32(at + 4), GetBigEndian32(at + 12)};
}

Bytes EncodeNameServerQuery(const NameQuery& query)
{
    Bytes out;
    PutHeader(out, query.transactionId, kRecursionDesired, 1, 0, 0);
    PutName(out, query.name, kTypeNb);
    return out;
}

Bytes EncodeNameServiceResponse(const NameServiceResponse& response)
{
    const auto asked = static_cast<uint16_t>(static_cast<uint16_t>(response.opcode) << kOpcodeShift);
    Bytes out;
    if (response.waitForAcknowledgement) {
        constexpr uint16_t kWackFlags =
            kResponse | static_cast<uint16_t>(NameOpcode::WaitForAcknowledgement) << kOpcodeShift | kAuthoritative;
        PutHeader(out, response.transactionId, kWackFlags, 0, 1, 0);
        PutName(out, response.name, kTypeNull);
        PutBigEndian32(out, response.timeToLive);
        PutBigEndian16(out, 2);
        PutBigEndian16(out, RequestFlags(response.opcode)); // the flags of the request it answers
        return out;
    }
    const uint16_t recursion = response.opcode == NameOpcode::Release ? 0 : kRecursionDesired | kRecursionAvailable;
    PutHeader(out, response.transactionId,
              kResponse | asked | kAuthoritative | recursion | (response.returnCode & kReturnCodeMask), 0, 1, 0);
    PutName(out, response.name, kTypeNb);
    PutBigEndian32(out, response.timeToLive);
    PutBigEndian16(out, static_cast<uint16_t>(response.records.size() * kNbEntrySize));
    for (const NameServiceResponse::Record& record : response.records)
        PutNbEntry(out, record.group, record.address);
    return out;
}

std::optional<NameServiceResponse> DecodeNameServiceResponse(const uint8_t* data, size_t size)
{
    if (size < kHeaderSize)
        return std::nullopt;
    const uint16_t flags = GetBigEndian16(data + 2);
    const uint8_t opcode = Opcode(flags);
    const bool wack = opcode == static_cast<uint8_t>(NameOpcode::WaitForAcknowledgement);
    if (!(flags & kResponse) || (opcode != 0 && !wack && !RequestOpcode(opcode)))
        return std::nullopt;
    NameServiceResponse response;
    response.transactionId = GetBigEndian16(data);
    response.opcode = FromWire(opcode);
    // A WACK is no outcome yet, whatever its code field holds.
    response.returnCode = wack ? NameServiceResponse::kPositive : static_cast<uint8_t>(flags & kReturnCodeMask);
    response.waitForAcknowledgement = wack;
    const uint16_t answers = GetBigEndian16(data + 6);
    if (answers == 0 && response.returnCode != NameServiceResponse::kPositive && !wack)
        return response;
    constexpr size_t kDataAt = kHeaderSize + kEncodedNameSize + kRecordFieldsSize;
    if (answers != 1 || size < kDataAt)
        return std::nullopt;
    auto name = DecodeNetbiosName(data + kHeaderSize, kEncodedNameSize);
    const uint8_t* fields = data + kHeaderSize + kEncodedNameSize;
    const size_t dataLength = GetBigEndian16(fields + 8);
    if (!name || GetBigEndian16(fields + 2) != kClassIn || dataLength > size - kDataAt)
        return std::nullopt;
    response.name = std::move(*name);
    response.timeToLive = GetBigEndian32(fields + 4);
    const uint8_t* rdata = data + kDataAt;
    if (wack) {
        if (GetBigEndian16(fields) != kTypeNull || dataLength != 2 || !RequestOpcode(Opcode(GetBigEndian16(rdata))))
            return std::nullopt;
        response.opcode = FromWire(Opcode(GetBigEndian16(rdata)));
        return response;
    }
    // Samba's nmbd gives a negative answer a NULL record with no data.
    if (response.returnCode != NameServiceResponse::kPositive && GetBigEndian16(fields) == kTypeNull)
        return response;
    if (GetBigEndian16(fields) != kTypeNb || dataLength % kNbEntrySize != 0)
        return std::nullopt;
    for (size_t at = 0; at < dataLength; at += kNbEntrySize)
        response.records.push_back({(GetBigEndian16(rdata + at) & kGroup) != 0, GetBigEndian32(rdata + at + 2)});
    return response;
}

} // namespace parlino
