#pragma once

#include "platform/UniqueFd.h"

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

// Declared by <poll.h>, which only the files that fill the sockets in include.
struct pollfd;

namespace parlino {

// A thread that waits on a set of sockets and on a wake-up descriptor of its own. Each round it asks which
// sockets to wait on, waits without busy looping, and hands what came to its handler; Stop() wakes the wait and
// joins the thread, so no handler runs once it returns. The owner stops it before what its handlers use goes.
class PollThread
{
public:
    // The sockets the next wait watches (with the events wanted) and how long it may last; negative: no limit.
    struct Wait
    {
        std::vector<pollfd> sockets;
        std::chrono::milliseconds timeout{-1};
    };
    // Fills the next wait; it starts with no sockets and no limit.
    using Prepare = std::function<void(Wait& next)>;
    // Runs after each wait that ended for a socket or the time-out, with each socket's readiness in revents.
    using Handle = std::function<void(const std::vector<pollfd>& sockets)>;

    PollThread() = default;
    ~PollThread() { Stop(); }
    PollThread(const PollThread&) = delete;
    PollThread& operator=(const PollThread&) = delete;

    // False (and nothing runs) when the wake-up descriptor cannot be made: a thread nobody can stop never starts.
    bool Start(Prepare prepare, Handle handle);
    // Waits on one socket for input and runs readable whenever it has some (or has failed).
    bool Start(int socket, std::function<void()> readable);
    // Wakes the thread and waits for it to end. Never from one of its handlers.
    void Stop();

private:
    void Run(const Prepare& prepare, const Handle& handle);

    UniqueFd wake_;
    std::thread thread_;
};

} // namespace parlino
