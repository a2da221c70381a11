#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace parlino {

using MailslotHandle = int64_t;
constexpr MailslotHandle kInvalidHandle = -1;

// Error codes as the callers test them.
enum MailslotError : uint32_t {
    kErrorSuccess = 0,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorWriteFault = 29,
    kErrorBadNetPath = 53,
    kErrorInvalidParameter = 87,
    kErrorInsufficientBuffer = 122,
    kErrorBadPathname = 161,
    kErrorAlreadyExists = 183,
    kErrorNoData = 232
};

constexpr uint32_t kMailslotWaitForever = 0xFFFFFFFFu;
constexpr uint32_t kMailslotNoMessage = 0xFFFFFFFFu;

// Named, connectionless inboxes: "\\.\mailslot\NAME" is created and read locally,
// "\\TARGET\mailslot\NAME" is opened and written to reach TARGET's inbox of that name.
// Paths and data are bytes in the OEM code page. Every failing call sets the calling thread's last error.
class MailslotService
{
public:
    // Checks, in debug builds, that the derived service waited for its readers before its own parts went.
    virtual ~MailslotService();
    MailslotService() = default;
    MailslotService(const MailslotService&) = delete;
    MailslotService& operator=(const MailslotService&) = delete;

    virtual MailslotHandle CreateMailslot(const std::string& path, uint32_t maxMessageSize, uint32_t readTimeout) = 0;
    // Next message size (kMailslotNoMessage when none) and the number of waiting messages.
    virtual bool GetMailslotInfo(MailslotHandle handle, uint32_t* nextSize, uint32_t* messageCount) = 0;
    // Takes exactly one message. A read without a buffer takes nothing: it returns (failing) as soon as a
    // message waits or the handle is closed; with a message waiting it fails at once.
    virtual bool ReadFile(MailslotHandle handle, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) = 0;
    // Removes the next waiting message unread (one that no buffer could be made for).
    virtual bool DiscardMessage(MailslotHandle handle) = 0;

    virtual MailslotHandle CreateFile(const std::string& path) = 0;
    virtual bool WriteFile(MailslotHandle handle, const void* data, uint32_t bytesToWrite, uint32_t* bytesWritten) = 0;

    virtual bool CloseHandle(MailslotHandle handle) = 0;
    virtual uint32_t GetLastError() = 0;

    // A thread that reads a mailslot ends on its own after the handle closes, so nobody waits for it
    // there; it registers here instead, and the service is not destroyed while it still may call it.
    void ReaderStarted();
    void ReaderEnded();

protected:
    // The first thing every service's destructor does (see MainThreadHandOver.h): blocks until the registered
    // readers have ended, serving their hand-overs to the main thread meanwhile.
    void WaitForReaders();

private:
    bool NoReaders();

    std::mutex readersMutex_;
    std::condition_variable readersEnded_;
    int readers_ = 0;
    bool waitedForReaders_ = false;
};

} // namespace parlino
