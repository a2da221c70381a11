#include "platform/PollThread.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace parlino {

bool PollThread::Start(Prepare prepare, Handle handle)
{
    wake_.Reset(::eventfd(0, EFD_CLOEXEC));
    if (!wake_)
        return false;
    thread_ = std::thread([this, prepare = std::move(prepare), handle = std::move(handle)] { Run(prepare, handle); });
    return true;
}

bool PollThread::Start(int socket, std::function<void()> readable)
{
    return Start(
        [socket](Wait& next) {
            next.sockets.push_back({socket, POLLIN, 0});
        },
        [readable = std::move(readable)](const std::vector<pollfd>& sockets) {
            if (sockets.front().revents)
                readable();
        });
}

void PollThread::Stop()
{
    if (!thread_.joinable())
        return;
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_.Get(), &one, sizeof one);
    thread_.join();
}

void PollThread::Run(const Prepare& prepare, const Handle& handle)
{
    Wait next;
    for (;;) {
        next.sockets.clear();
        next.timeout = std::chrono::milliseconds(-1);
        prepare(next);
        const size_t watched = next.sockets.size();
        next.sockets.push_back({wake_.Get(), POLLIN, 0});
        if (::poll(next.sockets.data(), next.sockets.size(), static_cast<int>(next.timeout.count())) < 0) {
            // A signal cut the wait short: the next round asks again what to wait for, and for how long.
            if (errno == EINTR)
                continue;
            return;
        }
        if (next.sockets.back().revents)
            return;
        next.sockets.resize(watched);
        handle(next.sockets);
    }
}

} // namespace parlino
