#include "codec/SmbMailslot.h"

#include "codec/SmbHeader.h"

#include <algorithm>

namespace parlino {
namespace {

constexpr uint8_t kSmbTransaction = 0x25;
constexpr uint8_t kSetupCount = 3;
constexpr uint8_t kWordCount = 14 + kSetupCount;
constexpr uint16_t kMailslotWriteOpcode = 1;
constexpr uint16_t kPriority = 1;
constexpr uint16_t kSecondClass = 2;
// Header, WordCount byte, the parameter words and ByteCount: where the mailslot name starts.
constexpr size_t kNameOffset = kSmbHeaderLength + 1 + 2 * kWordCount + 2;
static_assert(kNameOffset == kMailslotWriteHeaderSize);
// The parameter words this program leaves at 0: MaxParameterCount to ParameterOffset.
constexpr size_t kUnusedWords = 9;

} // namespace

std::vector<uint8_t> EncodeMailslotWrite(const std::string& mailslot, const uint8_t* data, size_t size)
{
    // Beyond that the 16-bit counts and offsets would wrap.
    if (size > MaxMailslotData(mailslot))
        return {};
    const auto dataCount = static_cast<uint16_t>(size);
    const auto dataOffset = static_cast<uint16_t>(kNameOffset + mailslot.size() + 1);
    std::vector<uint8_t> frame = EncodeSmbHeader(kSmbTransaction);
    frame.push_back(kWordCount);
    PutLittleEndian16(frame, 0);         // TotalParameterCount
    PutLittleEndian16(frame, dataCount); // TotalDataCount
    // MaxParameterCount, MaxDataCount, MaxSetupCount and a reserved byte, Flags, Timeout (two words), a reserved
    // word, ParameterCount, ParameterOffset.
    frame.resize(frame.size() + 2 * kUnusedWords, 0);
    PutLittleEndian16(frame, dataCount);
    PutLittleEndian16(frame, dataOffset);
    frame.push_back(kSetupCount);
    frame.push_back(0);
    PutLittleEndian16(frame, kMailslotWriteOpcode);
    PutLittleEndian16(frame, kPriority);
    PutLittleEndian16(frame, kSecondClass);
    PutLittleEndian16(frame, static_cast<uint16_t>(mailslot.size() + 1 + size));
    frame.insert(frame.end(), mailslot.begin(), mailslot.end());
    frame.push_back(0);
    frame.insert(frame.end(), data, data + size);
    return frame;
}

std::optional<MailslotWrite> DecodeMailslotWrite(const uint8_t* frame, size_t size)
{
    const auto header = DecodeSmbHeader(frame, size);
    if (!header || header->command != kSmbTransaction)
        return std::nullopt;
    const uint8_t wordCount = frame[kSmbHeaderLength];
    const size_t bytesAt = kSmbHeaderLength + 1 + 2 * size_t{wordCount};
    if (bytesAt + 2 > size)
        return std::nullopt;
    LittleEndianReader words(frame + kSmbHeaderLength + 1, 2 * size_t{wordCount});
    words.Skip(2); // TotalParameterCount
    const size_t totalDataCount = words.Word();
    words.Skip(2 * kUnusedWords);
    const size_t dataCount = words.Word();
    const size_t dataOffset = words.Word();
    const uint8_t setupCount = words.Byte();
    words.Skip(1);
    const uint16_t opcode = words.Word();
    if (!words.Ok() || setupCount < 1 || wordCount != 14 + setupCount || opcode != kMailslotWriteOpcode)
        return std::nullopt;

    const size_t byteCount = GetLittleEndian16(frame + bytesAt);
    const size_t bytesStart = bytesAt + 2;
    const size_t bytesEnd = std::min(size, bytesStart + byteCount);
    if (dataCount != totalDataCount || dataOffset + dataCount > size || dataOffset < bytesStart)
        return std::nullopt;

    auto mailslot = TerminatedText(frame + bytesStart, bytesEnd - bytesStart);
    if (!mailslot || mailslot->empty() || dataCount > MaxMailslotData(*mailslot))
        return std::nullopt;
    return MailslotWrite{std::move(*mailslot),
                         std::vector<uint8_t>(frame + dataOffset, frame + dataOffset + dataCount)};
}

} // namespace parlino
