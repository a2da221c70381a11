#include "platform/fake/FakeMailslotService.h"

#include "codec/MailslotPath.h"
#include "platform/LastError.h"

#include <algorithm>

namespace parlino::fake {

MailslotHandle FakeMailslotService::CreateMailslot(const std::string& path, uint32_t maxMessageSize,
                                                   uint32_t readTimeout)
{
    if (const uint32_t error = failCreate_.exchange(0))
        return Fail(error, kInvalidHandle);
    const auto parsed = ParseMailslotPath(path);
    if (!parsed || parsed->host != ".")
        return Fail(kErrorBadPathname, kInvalidHandle);
    if (ownInboxes_.IsOpen(parsed->slot))
        return Fail(kErrorAlreadyExists, kInvalidHandle);
    return ownInboxes_.Create(parsed->slot, maxMessageSize, readTimeout);
}

bool FakeMailslotService::GetMailslotInfo(MailslotHandle handle, uint32_t* nextSize, uint32_t* messageCount)
{
    if (failInfo_)
        return Fail(kErrorInvalidHandle, false);
    return InboxMailslotService::GetMailslotInfo(handle, nextSize, messageCount);
}

bool FakeMailslotService::ReadFile(MailslotHandle handle, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead)
{
    if (failReads_ && bytesToRead > 0) {
        ++failedReads_;
        if (bytesRead)
            *bytesRead = 0;
        return Fail(kErrorInvalidHandle, false);
    }
    return InboxMailslotService::ReadFile(handle, buffer, bytesToRead, bytesRead);
}

MailslotHandle FakeMailslotService::CreateFile(const std::string& path)
{
    const auto parsed = ParseMailslotPath(path);
    if (!parsed)
        return Fail(kErrorBadPathname, kInvalidHandle);
    std::lock_guard lock(mutex_);
    if (std::find(refusedHosts_.begin(), refusedHosts_.end(), parsed->host) != refusedHosts_.end())
        return Fail(kErrorBadNetPath, kInvalidHandle);
    const MailslotHandle handle = ownInboxes_.NextHandle();
    files_[handle] = path;
    return handle;
}

bool FakeMailslotService::WriteFile(MailslotHandle handle, const void* data, uint32_t bytesToWrite,
                                    uint32_t* bytesWritten)
{
    std::string path;
    {
        std::lock_guard lock(mutex_);
        const auto found = files_.find(handle);
        if (found == files_.end())
            return Fail(kErrorInvalidHandle, false);
        path = found->second;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::vector<uint8_t> message(bytes, bytes + bytesToWrite);
    {
        std::lock_guard lock(mutex_);
        writes_.push_back({path, message});
    }
    ownInboxes_.Deliver(ParseMailslotPath(path)->slot, std::move(message));
    if (bytesWritten)
        *bytesWritten = bytesToWrite - std::min(bytesToWrite, shortenWrites_.load());
    return true;
}

bool FakeMailslotService::CloseHandle(MailslotHandle handle)
{
    {
        std::lock_guard lock(mutex_);
        if (files_.erase(handle) > 0)
            return true;
    }
    return ownInboxes_.Close(handle);
}

bool FakeMailslotService::Deliver(const std::string& slot, const std::vector<uint8_t>& message)
{
    return ownInboxes_.Deliver(slot, message);
}

std::vector<FakeMailslotService::Write> FakeMailslotService::Writes() const
{
    std::lock_guard lock(mutex_);
    return writes_;
}

void FakeMailslotService::RefuseHost(const std::string& host)
{
    std::lock_guard lock(mutex_);
    refusedHosts_.push_back(host);
}

} // namespace parlino::fake
