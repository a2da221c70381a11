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

// Takes little-endian fields one after another, in the order a layout lists them. A field that would pass the end
// reads as 0 and leaves Ok() false, so a decoder can take a whole layout and check once.
class LittleEndianReader
{
public:
    LittleEndianReader(const uint8_t* data, size_t size) : at_(data), left_(size) {}

    uint8_t Byte() { return static_cast<uint8_t>(Take(1)); }
    uint16_t Word() { return static_cast<uint16_t>(Take(2)); }
    uint32_t DoubleWord() { return Take(4); }
    void Skip(size_t count) { Take(count); }
    bool Ok() const { return ok_; }

private:
    uint32_t Take(size_t count)
    {
        if (count > left_) {
            ok_ = false;
            left_ = 0;
            return 0;
        }
        uint32_t value = 0;
        for (size_t i = 0; i < std::min(count, sizeof value); ++i)
            value |= static_cast<uint32_t>(at_[i]) << (8 * i);
        at_ += count;
        left_ -= count;
        return value;
    }

    const uint8_t* at_;
    size_t left_;
    bool ok_ = true;
};

// Names and texts in frames end with a zero byte: the text before it within size bytes, nullopt when none comes.
inline std::optional<std::string> TerminatedText(const uint8_t* data, size_t size)
{
    const uint8_t* end = std::find(data, data + size, uint8_t{0});
    if (end == data + size)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(end - data));
}

} // namespace parlino
