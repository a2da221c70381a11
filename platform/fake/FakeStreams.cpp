#include "platform/fake/FakeStreams.h"

#include <algorithm>
#include <condition_variable>
#include <vector>

namespace parlino::fake {

// Both ends of one connection: the session the listener made, and the bytes it sent that wait for the stream.
class FakeStreams::Pipe final : public TcpConnection
{
public:
    Pipe(Clock* time, uint32_t from) : clock(time), peer(from), opened(Now()), lastHeard(opened) {}

    void Send(const Bytes& bytes) override
    {
        std::lock_guard lock(mutex);
        if (!closed)
            toStream.insert(toStream.end(), bytes.begin(), bytes.end());
        changed.notify_all();
    }

    void Close() override
    {
        std::lock_guard lock(mutex);
        closed = true;
        changed.notify_all();
    }

    void Heard() override
    {
        std::lock_guard lock(mutex);
        lastHeard = Now();
    }

    // Closes the connection when its limits say its time is up; true when it is closed.
    bool ClosedBy(const TcpNetwork::Limits& limits)
    {
        bool due = false;
        {
            std::lock_guard lock(mutex);
            due = clock && !closed && Now() >= limits.ClosesAt(opened, lastHeard);
        }
        if (due)
            Shut();
        std::lock_guard lock(mutex);
        return closed;
    }

    // Ends the connection from outside the session: the session is gone when this returns.
    void Shut()
    {
        Close();
        std::lock_guard serving(sessionMutex);
        session.reset();
    }

    Clock::Time Now() const { return clock ? clock->Now() : Clock::Time(); }

    Clock* const clock;
    const uint32_t peer;
    const Clock::Time opened;
    Clock::Time lastHeard;
    std::mutex mutex;
    std::condition_variable changed;
    Bytes toStream;
    bool closed = false;
    std::mutex sessionMutex; // one call into the session at a time
    std::unique_ptr<TcpSession> session;
};

struct FakeStreams::Listener
{
    TcpNetwork::Accept accept;
    TcpNetwork::Limits limits;
    std::vector<std::shared_ptr<Pipe>> pipes;
};

class FakeStreams::Stream final : public TcpStream
{
public:
    Stream(std::shared_ptr<Pipe> pipe, std::shared_ptr<const Listener> listener, std::chrono::milliseconds timeout)
        : pipe_(std::move(pipe)), listener_(std::move(listener)), timeout_(timeout)
    {}
    ~Stream() override { pipe_->Shut(); }

    // As on a real connection, what is written after the listener closed is lost without a word.
    bool Write(const Bytes& bytes) override
    {
        if (pipe_->ClosedBy(listener_->limits))
            return true;
        std::lock_guard serving(pipe_->sessionMutex);
        if (pipe_->session)
            pipe_->session->Received(bytes.data(), bytes.size());
        return true;
    }

    bool ReadExactly(uint8_t* buffer, size_t size) override
    {
        std::unique_lock lock(pipe_->mutex);
        Bytes& waiting = pipe_->toStream;
        pipe_->changed.wait_for(lock, timeout_, [&] { return waiting.size() >= size || pipe_->closed; });
        if (waiting.size() < size)
            return false;
        // An empty payload may come with no buffer at all.
        std::copy_n(waiting.begin(), size, buffer);
        waiting.erase(waiting.begin(), waiting.begin() + static_cast<std::ptrdiff_t>(size));
        return true;
    }

    void Abort() override { pipe_->Shut(); }

private:
    std::shared_ptr<Pipe> pipe_;
    const std::shared_ptr<const Listener> listener_;
    const std::chrono::milliseconds timeout_;
};

class FakeStreams::Endpoint final : public TcpListener
{
public:
    Endpoint(FakeStreams& streams, std::pair<uint32_t, uint16_t> key) : streams_(streams), key_(key) {}
    ~Endpoint() override
    {
        std::shared_ptr<Listener> listener;
        {
            std::lock_guard lock(streams_.mutex_);
            listener = streams_.listeners_.at(key_);
            streams_.listeners_.erase(key_);
        }
        for (const auto& pipe : listener->pipes)
            pipe->Shut();
    }
    uint16_t Port() const override { return key_.second; }

private:
    FakeStreams& streams_;
    const std::pair<uint32_t, uint16_t> key_;
};

class FakeStreams::StationNetwork final : public TcpNetwork
{
public:
    StationNetwork(FakeStreams& streams, uint32_t address) : streams_(streams), address_(address) {}

    std::unique_ptr<TcpListener> Listen(uint16_t port, Accept accept, Limits limits,
                                        ListenFailure* failure = nullptr) override
    {
        std::lock_guard lock(streams_.mutex_);
        const std::pair key{address_, port == 0 ? streams_.nextPort_++ : port};
        if (streams_.listeners_.contains(key)) {
            if (failure)
                *failure = ListenFailure::InUse;
            return nullptr;
        }
        streams_.listeners_[key] = std::make_shared<Listener>(Listener{std::move(accept), std::move(limits), {}});
        return std::make_unique<Endpoint>(streams_, key);
    }

    std::unique_ptr<TcpStream> Connect(uint32_t address, uint16_t port, std::chrono::milliseconds timeout) override
    {
        std::lock_guard lock(streams_.mutex_);
        const auto found = streams_.listeners_.find({address, port});
        if (found == streams_.listeners_.end())
            return nullptr;
        Listener& listener = *found->second;
        std::erase_if(listener.pipes,
                      [&listener](const std::shared_ptr<Pipe>& pipe) { return pipe->ClosedBy(listener.limits); });
        const auto fromPeer = std::count_if(listener.pipes.begin(), listener.pipes.end(),
                                            [this](const auto& pipe) { return pipe->peer == address_; });
        auto pipe = std::make_shared<Pipe>(streams_.clock_, address_);
        if (!listener.limits.Admits(listener.pipes.size(), static_cast<size_t>(fromPeer))) {
            pipe->Send(listener.limits.refusal);
            pipe->Close();
        } else {
            pipe->session = listener.accept(*pipe);
            listener.pipes.push_back(pipe);
        }
        return std::make_unique<Stream>(std::move(pipe), found->second, timeout);
    }

private:
    FakeStreams& streams_;
    const uint32_t address_;
};

std::unique_ptr<TcpNetwork> FakeStreams::Station(uint32_t address)
{
    return std::make_unique<StationNetwork>(*this, address);
}

} // namespace parlino::fake
