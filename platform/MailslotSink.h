#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace parlino {

// Where every route from the network puts the messages for this computer's mailslots.
class MailslotSink
{
public:
    // Queues a message for the open mailslot of that name (upper case); false when none is open, the
    // message is too large, or the mailslot already holds what it may.
    virtual bool Deliver(const std::string& slot, std::vector<uint8_t> message) = 0;

protected:
    ~MailslotSink() = default;
};

} // namespace parlino
