#include "codec/SmbHeader.h"

#include <cstring>
#include <iterator>

namespace parlino {
namespace {

constexpr uint8_t kProtocol[] = {0xFF, 'S', 'M', 'B'};
// The security features and a reserved word, between PidHigh and Tid; always zero here.
constexpr size_t kUnusedLength = 10;

} // namespace

Bytes EncodeSmbHeader(uint8_t command, const SmbIds& ids, uint32_t status, uint8_t flags)
{
    Bytes out(std::begin(kProtocol), std::end(kProtocol));
    out.push_back(command);
    PutLittleEndian32(out, status);
    out.push_back(flags);
    PutLittleEndian16(out, 0); // Flags2
    PutLittleEndian16(out, ids.pidHigh);
    out.resize(out.size() + kUnusedLength, 0);
    for (const uint16_t id : {ids.tid, ids.pidLow, ids.uid, ids.mid})
        PutLittleEndian16(out, id);
    return out;
}

std::optional<SmbHeader> DecodeSmbHeader(const uint8_t* data, size_t size)
{
    if (size < kSmbHeaderLength + 1 || std::memcmp(data, kProtocol, sizeof kProtocol) != 0)
        return std::nullopt;
    LittleEndianReader in(data + sizeof kProtocol, kSmbHeaderLength - sizeof kProtocol);
    SmbHeader header;
    header.command = in.Byte();
    header.status = in.DoubleWord();
    header.reply = (in.Byte() & kSmbReplyFlag) != 0;
    header.ntStatus = (in.Word() & kSmbNtStatusFlag) != 0;
    header.ids.pidHigh = in.Word();
    in.Skip(kUnusedLength);
    for (uint16_t* id : {&header.ids.tid, &header.ids.pidLow, &header.ids.uid, &header.ids.mid})
        *id = in.Word();
    return header;
}

std::optional<SmbBody> DecodeSmbBody(const uint8_t* data, size_t size)
{
    if (size <= kSmbHeaderLength)
        return std::nullopt;
    const uint8_t wordCount = data[kSmbHeaderLength];
    const size_t byteCountAt = kSmbHeaderLength + 1 + 2 * size_t{wordCount};
    if (byteCountAt + 2 > size)
        return std::nullopt;
    const size_t byteCount = GetLittleEndian16(data + byteCountAt);
    if (byteCountAt + 2 + byteCount > size)
        return std::nullopt;
    const uint8_t* bytes = data + byteCountAt + 2;
    return SmbBody{wordCount, data + kSmbHeaderLength + 1, bytes, bytes + byteCount};
}

std::optional<SmbReplyFrame> DecodeSmbReplyFrame(const uint8_t* data, size_t size)
{
    const auto header = DecodeSmbHeader(data, size);
    if (!header || !header->reply)
        return std::nullopt;
    const auto body = DecodeSmbBody(data, size);
    if (!body)
        return std::nullopt;
    return SmbReplyFrame{*header, *body};
}

} // namespace parlino
