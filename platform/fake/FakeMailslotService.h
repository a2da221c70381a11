#pragma once

#include "platform/InboxMailslotService.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace parlino::fake {

// An in-memory mailslot service of one computer: every write, whatever its host, lands in the local
// inbox of that name, and is recorded. Failures can be forced one call at a time.
class FakeMailslotService final : public InboxMailslotService
{
public:
    struct Write
    {
        std::string path;
        std::vector<uint8_t> data;
    };

    FakeMailslotService() : InboxMailslotService(ownInboxes_) {}
    ~FakeMailslotService() override { WaitForReaders(); }

    MailslotHandle CreateMailslot(const std::string& path, uint32_t maxMessageSize, uint32_t readTimeout) override;
    MailslotHandle CreateFile(const std::string& path) override;
    bool WriteFile(MailslotHandle handle, const void* data, uint32_t bytesToWrite, uint32_t* bytesWritten) override;
    bool CloseHandle(MailslotHandle handle) override;
    // The inboxes' own, unless a failure is forced.
    bool GetMailslotInfo(MailslotHandle handle, uint32_t* nextSize, uint32_t* messageCount) override;
    bool ReadFile(MailslotHandle handle, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) override;

    // Queues a message as if it had come from the network; false when no inbox of that name is open.
    bool Deliver(const std::string& slot, const std::vector<uint8_t>& message);
    std::vector<Write> Writes() const;

    // The next CreateMailslot fails with this error code.
    void FailNextCreate(uint32_t error) { failCreate_ = error; }
    void FailInfo(bool fail) { failInfo_ = fail; }
    void FailReads(bool fail) { failReads_ = fail; }
    // How many reads FailReads has failed so far.
    int FailedReads() const { return failedReads_; }
    // CreateFile refuses paths to this host.
    void RefuseHost(const std::string& host);
    // Writes report this many bytes fewer than asked.
    void ShortenWrites(uint32_t by) { shortenWrites_ = by; }

private:
    LocalMailslots ownInboxes_;
    mutable std::mutex mutex_;
    std::vector<Write> writes_;
    std::vector<std::string> refusedHosts_;
    std::map<MailslotHandle, std::string> files_;
    std::atomic<uint32_t> failCreate_{0};
    std::atomic<bool> failInfo_{false};
    std::atomic<bool> failReads_{false};
    std::atomic<int> failedReads_{0};
    std::atomic<uint32_t> shortenWrites_{0};
};

} // namespace parlino::fake
