#pragma once

#include <cstddef>
#include <cstdint>

namespace parlino {

// CRC-16/ARC: reflected polynomial 0xA001, initial value 0, no final XOR.
uint16_t Crc16Arc(const uint8_t* data, size_t size);

} // namespace parlino
