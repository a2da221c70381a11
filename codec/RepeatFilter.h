#pragma once

#include <cstdint>
#include <optional>

namespace parlino {

// Drops a datagram that repeats the one seen just before it within ten seconds: a sender may hand one
// message to several transports at once, while a peer may well send the same short text again a minute
// later. Every datagram that is looked at becomes the new reference, so a train of equal datagrams
// passes only once.
class RepeatFilter
{
public:
    static constexpr uint32_t kWindowMs = 10000;

    // True when the datagram with this checksum, seen at tick `now`, is a repeat.
    bool IsRepeat(uint16_t checksum, uint32_t now);

private:
    std::optional<uint16_t> lastChecksum_;
    uint32_t lastArrival_ = 0;
};

} // namespace parlino
