#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parlino {

using Bytes = std::vector<uint8_t>;

// NetBIOS headers are big-endian, SMB fields little-endian.
inline void PutBigEndian16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

inline void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value)
{
    PutBigEndian16(out, static_cast<uint16_t>(value >> 16));
    PutBigEndian16(out, static_cast<uint16_t>(value));
}

inline void PutLittleEndian16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void PutLittleEndian32(std::vector<uint8_t>& out, uint32_t value)
{
    PutLittleEndian16(out, static_cast<uint16_t>(value));
    PutLittleEndian16(out, static_cast<uint16_t>(value >> 16));
}

inline uint16_t GetBigEndian16(const uint8_t* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline uint32_t GetBigEndian32(const uint8_t* p)
{
    return (static_cast<uint32_t>(GetBigEndian16(p)) << 16) | GetBigEndian16(p + 2);
}

inline uint16_t GetLittleEndian16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t GetLittleEndian32(const uint8_t* p)
{
    return GetLittleEndian16(p) | (static_cast<uint32_t>(GetLittleEndian16(p + 2)) << 16);
}

// Names and texts in frames end with a zero byte: the text before it within size bytes, nullopt when none comes.
inline std::optional<std::string> TerminatedText(const uint8_t* data, size_t size)
{
    const uint8_t* end = std::find(data, data + size, uint8_t{0});
    if (end == data + size)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(end - data));
}

} // namespace parlino
