#pragma once

#include "platform/MailslotService.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace parlino {

// The inboxes of this process: whole messages in arrival order, read one at a time.
// Thread-safe; a handle stays valid until closed, and closing wakes every waiting reader.
class LocalMailslots
{
public:
    LocalMailslots() = default;
    // Wakes every blocked reader and waits until no call is inside the table any more.
    ~LocalMailslots();
    LocalMailslots(const LocalMailslots&) = delete;
    LocalMailslots& operator=(const LocalMailslots&) = delete;

    MailslotHandle Create(const std::string& slot, uint32_t maxMessageSize, uint32_t readTimeout);
    bool IsOpen(const std::string& slot) const;
    bool Owns(MailslotHandle handle) const;
    bool Info(MailslotHandle handle, uint32_t* nextSize, uint32_t* messageCount);
    bool Read(MailslotHandle handle, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead);
    bool Discard(MailslotHandle handle);
    bool Close(MailslotHandle handle);
    // Queues a message for the open inbox of that name; false when none is open or the message is too large.
    bool Deliver(const std::string& slot, std::vector<uint8_t> message);

    // Handles of the service that owns this table come from one counter, so they never collide or repeat.
    MailslotHandle NextHandle();

private:
    struct Inbox
    {
        std::string slot;
        uint32_t maxMessageSize = 0;
        uint32_t readTimeout = 0;
        std::deque<std::vector<uint8_t>> messages;
        bool closed = false;
    };
    std::shared_ptr<Inbox> Find(MailslotHandle handle) const;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<MailslotHandle, std::shared_ptr<Inbox>> inboxes_;
    MailslotHandle nextHandle_ = 1;
    int callsInside_ = 0;
    bool shuttingDown_ = false;
};

}  // namespace parlino
