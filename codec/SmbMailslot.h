#pragma once

#include "codec/NetbiosDatagram.h"
#include "codec/SmbHeader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlino {

// The SMB_COM_TRANSACTION mailslot write (class 2) that carries a mailslot message in a datagram.
struct MailslotWrite
{
    std::string mailslot; // "\MAILSLOT\NAME" as written on the wire
    std::vector<uint8_t> data;

    bool operator==(const MailslotWrite&) const = default;
};

// A mailslot write up to its mailslot name: SMB header, WordCount, 17 parameter words, ByteCount.
constexpr size_t kMailslotWriteHeaderSize = kSmbHeaderLength + 1 + 2 * 17 + 2;

// The longest message to the mailslot named ("\MAILSLOT\NAME") that one datagram carries, after the name's 0x00.
constexpr size_t MaxMailslotData(std::string_view mailslot)
{
    return kMaxDatagramUserData - kMailslotWriteHeaderSize - mailslot.size() - 1;
}

// The longest message to the messenger's mailslot, where every text this program sends goes.
constexpr size_t kMaxMailslotData = MaxMailslotData("\\MAILSLOT\\MESSNGR");

// Empty when the message is longer than MaxMailslotData(mailslot).
std::vector<uint8_t> EncodeMailslotWrite(const std::string& mailslot, const uint8_t* data, size_t size);
// Nullopt for anything but a well-formed mailslot write whose counts and offsets stay inside the frame.
std::optional<MailslotWrite> DecodeMailslotWrite(const uint8_t* frame, size_t size);

} // namespace parlino
