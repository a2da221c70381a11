#pragma once

#include "platform/LocalMailslots.h"
#include "platform/MailslotService.h"

namespace parlino {

// A mailslot service whose own mailslots are this process's inboxes. Reading them is the same whichever route
// fills them, so a service built on this says only how mailslots are created and where writes go.
class InboxMailslotService : public MailslotService
{
public:
    bool GetMailslotInfo(MailslotHandle handle, uint32_t* nextSize, uint32_t* messageCount) override;
    bool ReadFile(MailslotHandle handle, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) override;
    bool DiscardMessage(MailslotHandle handle) override;
    uint32_t GetLastError() override;

protected:
    // Only the reference is kept: the inboxes may be a member of the service, built after this base.
    explicit InboxMailslotService(LocalMailslots& inboxes) : inboxes_(inboxes) {}

    LocalMailslots& Inboxes() const { return inboxes_; }

private:
    LocalMailslots& inboxes_;
};

} // namespace parlino
