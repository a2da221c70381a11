#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace parlino {

// A messenger datagram: sender, 0x00, receiver, 0x00, text, all in the OEM code page.
struct WinPopupFields
{
    std::string sender;
    std::string receiver;
    std::string text;

    bool operator==(const WinPopupFields&) const = default;
};

// No 0x00 follows the text.
std::vector<uint8_t> BuildWinPopupDatagram(const std::string& sender, const std::string& receiver,
                                           const std::string& text);

// Each field ends at its 0x00 or at the end of the datagram; a missing field is empty. Never reads past size.
WinPopupFields SplitWinPopupDatagram(const uint8_t* data, size_t size);

} // namespace parlino
