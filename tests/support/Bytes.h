#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parlino::test {

inline std::vector<uint8_t> BytesOf(std::string_view text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

// Golden frames are written as hex dumps: pairs of hex digits, blanks and line breaks between them.
inline std::vector<uint8_t> BytesFromHex(std::string_view hex)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size();) {
        if (hex[i] == ' ' || hex[i] == '\n') {
            ++i;
            continue;
        }
        out.push_back(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
        i += 2;
    }
    return out;
}

// A good frame spoiled in one place, for the tables of frames a decoder must refuse: a negative value cuts the frame
// at `at`, any other replaces the byte there.
inline std::vector<uint8_t> Damaged(std::vector<uint8_t> frame, size_t at, int value)
{
    if (value < 0)
        frame.resize(at);
    else
        frame[at] = static_cast<uint8_t>(value);
    return frame;
}

} // namespace parlino::test
