#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parlino {

// The SMB_COM_TRANSACTION mailslot write (class 2) that carries a mailslot message in a datagram.
struct MailslotWrite
{
    std::string mailslot; // "\MAILSLOT\NAME" as written on the wire
    std::vector<uint8_t> data;

    bool operator==(const MailslotWrite&) const = default;
};

// Largest mailslot message that fits one unfragmented datagram.
constexpr size_t kMaxMailslotData = 65532;

std::vector<uint8_t> EncodeMailslotWrite(const std::string& mailslot, const uint8_t* data, size_t size);
// Nullopt for anything but a well-formed mailslot write whose counts and offsets stay inside the frame.
std::optional<MailslotWrite> DecodeMailslotWrite(const uint8_t* frame, size_t size);

} // namespace parlino
