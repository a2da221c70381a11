#include "platform/InboxMailslotService.h"

#include "platform/LastError.h"

namespace parlino {

bool InboxMailslotService::GetMailslotInfo(MailslotHandle handle, uint32_t* nextSize, uint32_t* messageCount)
{
    return inboxes_.Info(handle, nextSize, messageCount);
}

bool InboxMailslotService::ReadFile(MailslotHandle handle, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead)
{
    return inboxes_.Read(handle, buffer, bytesToRead, bytesRead);
}

bool InboxMailslotService::DiscardMessage(MailslotHandle handle)
{
    return inboxes_.Discard(handle);
}

uint32_t InboxMailslotService::GetLastError()
{
    return LastError();
}

} // namespace parlino
