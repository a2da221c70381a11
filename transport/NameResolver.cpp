#include "transport/NameResolver.h"

#include "codec/MailslotPath.h"
#include "codec/NameQuery.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <random>

namespace parlino {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// Windows keeps a name it learnt for ten minutes whatever the answer allowed, so a computer that moved is found
// again; the answers of WINS servers allow days, and a time to live of 0 means for ever.
constexpr seconds kLongestKept{600};
// Listening on it binds a port the system picks.
constexpr uint16_t kAnyPort = 0;

seconds KeptFor(uint32_t timeToLive)
{
    return timeToLive == 0 ? kLongestKept : std::min(seconds(timeToLive), kLongestKept);
}

// One query under way and the answer it got; guarded by the core's mutex.
struct Asking
{
    NameQuery query;
    // A query to one server takes its answer from that server alone.
    std::optional<uint32_t> server;
    std::optional<NameQueryAnswer> answer;
};

} // namespace

class NameResolver::Core
{
public:
    Core(UdpNetwork& udp, Settings settings)
        : settings_(std::move(settings)), udp_(udp), nextId_(static_cast<uint16_t>(std::random_device{}()))
    {}

    // Asks for the name with each suffix in turn; what is learnt is kept under key.
    std::optional<Whereabouts> Resolve(const std::string& name, const std::vector<uint8_t>& suffixes,
                                       const std::string& key, Time deadline);
    std::optional<Recalled> Recall(const std::string& name);
    void Stop();

    const Settings settings_;

private:
    struct Memory
    {
        std::optional<Whereabouts> where;
        Time until;
    };

    bool Enter();
    void Leave();
    std::optional<NameQueryAnswer> Ask(Asking& asking, const NetbiosName& name, std::optional<uint32_t> server,
                                       Time deadline);
    void Remember(const std::string& name, std::optional<Whereabouts> where, seconds keptFor);

    UdpNetwork& udp_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    int users_ = 0;
    uint16_t nextId_;
    std::mutex memoryMutex_;
    std::map<std::string, Memory> memory_;
};

bool NameResolver::Core::Enter()
{
    std::lock_guard lock(mutex_);
    if (stopping_)
        return false;
    ++users_;
    return true;
}

void NameResolver::Core::Leave()
{
    std::lock_guard lock(mutex_);
    --users_;
    changed_.notify_all();
}

void NameResolver::Core::Stop()
{
    std::unique_lock lock(mutex_);
    stopping_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return users_ == 0; });
}

std::optional<NameResolver::Recalled> NameResolver::Core::Recall(const std::string& name)
{
    std::lock_guard lock(memoryMutex_);
    const auto found = memory_.find(name);
    if (found == memory_.end())
        return std::nullopt;
    if (settings_.now() >= found->second.until) {
        memory_.erase(found);
        return std::nullopt;
    }
    Recalled recalled{found->second.where};
    if (recalled.where)
        recalled.where->source = Source::Cache;
    return recalled;
}

void NameResolver::Core::Remember(const std::string& name, std::optional<Whereabouts> where, seconds keptFor)
{
    std::lock_guard lock(memoryMutex_);
    memory_[name] = {where, settings_.now() + keptFor};
}

std::optional<NameQueryAnswer> NameResolver::Core::Ask(Asking& asking, const NetbiosName& name,
                                                       std::optional<uint32_t> server, Time deadline)
{
    Bytes frame;
    {
        std::lock_guard lock(mutex_);
        asking = {{nextId_++, name, !server}, server, std::nullopt};
        frame = EncodeNameQuery(asking.query);
    }
    const uint16_t port = settings_.namesPort;
    const bool sent = server ? udp_.SendTo(*server, port, frame, kAnyPort)
                             : udp_.Broadcast(port, [&frame](uint32_t) { return frame; });
    if (!sent)
        return std::nullopt;
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, std::min(deadline, std::chrono::steady_clock::now() + settings_.answerTime),
                        [&] { return asking.answer.has_value() || stopping_; });
    return asking.answer;
}

std::optional<NameResolver::Whereabouts> NameResolver::Core::Resolve(const std::string& name,
                                                                     const std::vector<uint8_t>& suffixes,
                                                                     const std::string& key, Time deadline)
{
    if (const auto recalled = Recall(key))
        return recalled->where;
    if (!Enter())
        return std::nullopt;
    Asking asking;
    const UdpNetwork::Receiver hear = [&](const uint8_t* data, size_t size, uint32_t from, uint16_t) {
        std::lock_guard lock(mutex_);
        if (asking.answer || (asking.server && from != *asking.server))
            return;
        auto answer = DecodeNameQueryResponse(data, size, asking.query);
        // On the segment only the owner of a name answers, and only when it has it.
        if (answer && (asking.server || answer->address)) {
            asking.answer = answer;
            changed_.notify_all();
        }
    };
    auto endpoint = udp_.Listen(settings_.namesPort, hear);
    // A server answers the port it was asked from: a port of our own, as nmbd on this host holds the names
    // port's address and would take the answer.
    auto serversEndpoint = settings_.winsServers.empty() ? nullptr : udp_.Listen(kAnyPort, hear);
    std::optional<Whereabouts> where;
    seconds keptFor = settings_.unknownFor;
    const auto found = [&](const NameQueryAnswer& answer, Source source) {
        where = Whereabouts{*answer.address, source, !udp_.OnLocalSubnet(*answer.address)};
        keptFor = KeptFor(answer.timeToLive);
    };
    // Asks one source for the name with each suffix; false when it did not answer at all.
    const auto askFor = [&](std::optional<uint32_t> server, Source source) {
        for (const uint8_t suffix : suffixes) {
            const auto answer = Ask(asking, {name, suffix}, server, deadline);
            if (answer && answer->address) {
                found(*answer, source);
                return true;
            }
            // A server that failed to answer is as good as a silent one.
            if (server && (!answer || !answer->nameUnknown))
                return false;
        }
        return true;
    };
    // The first server that answers knows; the next is asked only when one is silent.
    if (serversEndpoint)
        for (const uint32_t server : settings_.winsServers)
            if (askFor(server, Source::Wins))
                break;
    if (!where && endpoint)
        askFor(std::nullopt, Source::Broadcast);
    bool cutShort;
    {
        std::lock_guard lock(mutex_);
        cutShort = stopping_;
    }
    // Nobody answering in a line's last moments is no news about the name.
    cutShort = cutShort || !endpoint || (!serversEndpoint && !settings_.winsServers.empty()) ||
               (!where && std::chrono::steady_clock::now() >= deadline);
    if (where || !cutShort)
        Remember(key, where, keptFor);
    // The ports go before Stop may let the network go.
    serversEndpoint.reset();
    endpoint.reset();
    Leave();
    return where;
}

NameResolver::NameResolver(UdpNetwork& udp, Settings settings) : core_(std::make_shared<Core>(udp, std::move(settings)))
{}

std::optional<NameResolver::Whereabouts> NameResolver::Resolve(const std::string& name, Time deadline) const
{
    return core_->Resolve(name, {kMessengerSuffix, kServerSuffix}, name, deadline);
}

std::optional<NameResolver::Whereabouts> NameResolver::Resolve(const NetbiosName& name, Time deadline) const
{
    // Kept apart from the computers' names: a workgroup's master browser is not a computer of that name.
    return core_->Resolve(name.name, {name.suffix}, name.name + '<' + std::to_string(name.suffix) + '>', deadline);
}

std::optional<NameResolver::Recalled> NameResolver::Recall(const std::string& name) const
{
    return core_->Recall(name);
}

std::optional<uint32_t> NameResolver::BeyondRouter(const std::string& name) const
{
    const auto recalled = Recall(name);
    if (recalled && recalled->where && recalled->where->beyondRouter)
        return recalled->where->address;
    return std::nullopt;
}

bool NameResolver::UsesWins() const
{
    return !core_->settings_.winsServers.empty();
}

milliseconds NameResolver::AnswerTime() const
{
    return core_->settings_.answerTime;
}

void NameResolver::Stop() const
{
    core_->Stop();
}

const char* SourceName(NameResolver::Source source)
{
    switch (source) {
    case NameResolver::Source::Wins:
        return "WINS";
    case NameResolver::Source::Broadcast:
        return "broadcast";
    default:
        return "cache";
    }
}

} // namespace parlino
