#include "codec/Crc16.h"

#include <array>

namespace parlino {
namespace {

constexpr std::array<uint16_t, 256> MakeTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t value = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1u) ? static_cast<uint16_t>((value >> 1) ^ 0xA001u) : static_cast<uint16_t>(value >> 1);
        table[i] = value;
    }
    return table;
}

constexpr auto kTable = MakeTable();

} // namespace

uint16_t Crc16Arc(const uint8_t* data, size_t size)
{
    uint16_t crc = 0;
    for (size_t i = 0; i < size; ++i)
        crc = static_cast<uint16_t>(kTable[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8));
    return crc;
}

} // namespace parlino
