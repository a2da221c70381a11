#pragma once

#include <cstdint>

namespace parlino {

// Milliseconds since the system started, wrapping at 32 bits, and sleeping.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

class SystemClock final : public Clock
{
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;
};

} // namespace parlino
