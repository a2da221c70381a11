#include "platform/MailslotService.h"

#include "platform/MainThreadHandOver.h"

#include <QtGlobal>

namespace parlino {

MailslotService::~MailslotService()
{
    // Checked whether or not a reader ran, so a service that forgets the wait fails its first test, not a rare race.
    Q_ASSERT_X(waitedForReaders_ && NoReaders(), "~MailslotService",
               "a mailslot service's destructor must call WaitForReaders() first");
}

void MailslotService::ReaderStarted()
{
    std::lock_guard lock(readersMutex_);
    ++readers_;
}

void MailslotService::ReaderEnded()
{
    {
        std::lock_guard lock(readersMutex_);
        --readers_;
    }
    readersEnded_.notify_all();
    MainThreadHandOver::Wake();
}

bool MailslotService::NoReaders()
{
    std::lock_guard lock(readersMutex_);
    return readers_ == 0;
}

void MailslotService::WaitForReaders()
{
    waitedForReaders_ = true;
    if (MainThreadHandOver::IsMainThread()) {
        MainThreadHandOver::ServeUntil([this] { return NoReaders(); });
        return;
    }
    std::unique_lock lock(readersMutex_);
    readersEnded_.wait(lock, [this] { return readers_ == 0; });
}

} // namespace parlino
