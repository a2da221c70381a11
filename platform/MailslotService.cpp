#include "platform/MailslotService.h"

#include "platform/MainThreadHandOver.h"

namespace parlino {

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

void MailslotService::WaitForReaders()
{
    const auto allEnded = [this] {
        std::lock_guard lock(readersMutex_);
        return readers_ == 0;
    };
    if (MainThreadHandOver::IsMainThread()) {
        MainThreadHandOver::ServeUntil(allEnded);
        return;
    }
    std::unique_lock lock(readersMutex_);
    readersEnded_.wait(lock, [this] { return readers_ == 0; });
}

} // namespace parlino
