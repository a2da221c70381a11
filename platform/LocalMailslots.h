#pragma once

#include "platform/MailslotService.h"
#include "platform/MailslotSink.h"

#include <condition_variable>
#include <cstddef>
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
class LocalMailslots final : public MailslotSink
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
    // Readers inside Read now. A reader lets go of the table's lock only to wait, so each one counted waits
    // (or is about to return what woke it).
    int ReadersInside() const;
    bool Info(MailslotHandle handle, uint32_t* nextSize, uint32_t* messageCount);
    bool Read(MailslotHandle handle, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead);
    bool Discard(MailslotHandle handle);
    bool Close(MailslotHandle handle);
    bool Deliver(const std::string& slot, std::vector<uint8_t> message) override;

    // What an inbox may hold while its reader is held up (a modal dialog holds up the main thread), so a
    // flood from the network cannot take the process's memory. Each message also counts a fixed overhead.
    static constexpr size_t kInboxQuota = 4 * 1024 * 1024;
    static constexpr size_t kMessageOverhead = 64;

    // Handles of the service that owns this table come from one counter, so they never collide or repeat.
    MailslotHandle NextHandle();

private:
    struct Inbox
    {
        std::string slot;
        uint32_t maxMessageSize = 0;
        uint32_t readTimeout = 0;
        std::deque<std::vector<uint8_t>> messages;
        size_t queuedBytes = 0;
        bool closed = false;

        void PopFront();
    };
    std::shared_ptr<Inbox> Find(MailslotHandle handle) const;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<MailslotHandle, std::shared_ptr<Inbox>> inboxes_;
    MailslotHandle nextHandle_ = 1;
    int callsInside_ = 0;
    bool shuttingDown_ = false;
};

} // namespace parlino
