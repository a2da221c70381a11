#include "platform/LocalMailslots.h"

#include "codec/MailslotPath.h"
#include "platform/LastError.h"

#include <chrono>
#include <cstring>

namespace parlino {

LocalMailslots::~LocalMailslots()
{
    std::unique_lock lock(mutex_);
    shuttingDown_ = true;
    for (auto& [handle, inbox] : inboxes_)
        inbox->closed = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return callsInside_ == 0; });
}

MailslotHandle LocalMailslots::NextHandle()
{
    std::lock_guard lock(mutex_);
    return nextHandle_++;
}

MailslotHandle LocalMailslots::Create(const std::string& slot, uint32_t maxMessageSize, uint32_t readTimeout)
{
    auto inbox = std::make_shared<Inbox>();
    inbox->slot = UpperAscii(slot);
    inbox->maxMessageSize = maxMessageSize;
    inbox->readTimeout = readTimeout;
    std::lock_guard lock(mutex_);
    const MailslotHandle handle = nextHandle_++;
    inboxes_[handle] = std::move(inbox);
    return handle;
}

void LocalMailslots::Inbox::PopFront()
{
    queuedBytes -= messages.front().size() + kMessageOverhead;
    messages.pop_front();
}

std::shared_ptr<LocalMailslots::Inbox> LocalMailslots::Find(MailslotHandle handle) const
{
    const auto found = inboxes_.find(handle);
    return found == inboxes_.end() ? nullptr : found->second;
}

bool LocalMailslots::Owns(MailslotHandle handle) const
{
    std::lock_guard lock(mutex_);
    return Find(handle) != nullptr;
}

int LocalMailslots::ReadersInside() const
{
    std::lock_guard lock(mutex_);
    return callsInside_;
}

bool LocalMailslots::IsOpen(const std::string& slot) const
{
    const std::string wanted = UpperAscii(slot);
    std::lock_guard lock(mutex_);
    for (const auto& [handle, inbox] : inboxes_) {
        if (inbox->slot == wanted)
            return true;
    }
    return false;
}

bool LocalMailslots::Info(MailslotHandle handle, uint32_t* nextSize, uint32_t* messageCount)
{
    std::lock_guard lock(mutex_);
    const auto inbox = Find(handle);
    if (!inbox)
        return Fail(kErrorInvalidHandle, false);
    if (nextSize)
        *nextSize =
            inbox->messages.empty() ? kMailslotNoMessage : static_cast<uint32_t>(inbox->messages.front().size());
    if (messageCount)
        *messageCount = static_cast<uint32_t>(inbox->messages.size());
    return true;
}

bool LocalMailslots::Read(MailslotHandle handle, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead)
{
    if (bytesRead)
        *bytesRead = 0;
    std::unique_lock lock(mutex_);
    const auto inbox = Find(handle);
    if (!inbox || shuttingDown_)
        return Fail(kErrorInvalidHandle, false);
    ++callsInside_;
    const auto ready = [&] { return !inbox->messages.empty() || inbox->closed; };
    if (inbox->readTimeout == kMailslotWaitForever)
        changed_.wait(lock, ready);
    else
        changed_.wait_for(lock, std::chrono::milliseconds(inbox->readTimeout), ready);
    --callsInside_;
    changed_.notify_all();

    if (inbox->closed)
        return Fail(kErrorInvalidHandle, false);
    if (inbox->messages.empty())
        return Fail(kErrorNoData, false);
    // Without a buffer this is only a wait: even an empty message stays for its reader.
    if (!buffer)
        return Fail(kErrorInsufficientBuffer, false);
    auto& message = inbox->messages.front();
    if (message.size() > bytesToRead)
        return Fail(kErrorInsufficientBuffer, false);
    if (!message.empty())
        std::memcpy(buffer, message.data(), message.size());
    if (bytesRead)
        *bytesRead = static_cast<uint32_t>(message.size());
    inbox->PopFront();
    return true;
}

bool LocalMailslots::Discard(MailslotHandle handle)
{
    std::lock_guard lock(mutex_);
    const auto inbox = Find(handle);
    if (!inbox)
        return Fail(kErrorInvalidHandle, false);
    if (inbox->messages.empty())
        return Fail(kErrorNoData, false);
    inbox->PopFront();
    return true;
}

bool LocalMailslots::Close(MailslotHandle handle)
{
    std::lock_guard lock(mutex_);
    const auto found = inboxes_.find(handle);
    if (found == inboxes_.end())
        return Fail(kErrorInvalidHandle, false);
    found->second->closed = true;
    inboxes_.erase(found);
    changed_.notify_all();
    return true;
}

bool LocalMailslots::Deliver(const std::string& slot, std::vector<uint8_t> message)
{
    const std::string wanted = UpperAscii(slot);
    std::lock_guard lock(mutex_);
    for (auto& [handle, inbox] : inboxes_) {
        if (inbox->slot != wanted)
            continue;
        if (inbox->maxMessageSize != 0 && message.size() > inbox->maxMessageSize)
            return false;
        const size_t cost = message.size() + kMessageOverhead;
        if (inbox->queuedBytes + cost > kInboxQuota)
            return false;
        inbox->queuedBytes += cost;
        inbox->messages.push_back(std::move(message));
        changed_.notify_all();
        return true;
    }
    return false;
}

} // namespace parlino
