#pragma once

#include "codec/NetbiosDatagram.h"
#include "platform/UdpNetwork.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parlino {

// Finds a computer's address by its NetBIOS name as Windows does: from what it learnt before, for as long as the
// answer allowed; else from each WINS server in turn (a query to it alone, asking it to find the name), until
// one answers; else by a query broadcast on the segment. Each asks for the messenger name, then the server
// name. A name nobody knows stays unknown for a little while, so that a line after a line costs no time-outs.
// Resolve blocks its caller for some answers' times at most, so it runs off the main thread; any thread may use
// a resolver, and copies share what they learnt.
class NameResolver
{
public:
    using Time = std::chrono::steady_clock::time_point;
    struct Settings
    {
        uint16_t namesPort = 137;
        std::vector<uint32_t> winsServers{}; // host byte order, asked in this order
        std::chrono::milliseconds answerTime = std::chrono::seconds(2);
        // How long a name nobody knows is not asked for again.
        std::chrono::seconds unknownFor = std::chrono::seconds(30);
        // The clock of what was learnt; waits for answers take real time.
        std::function<Time()> now = &std::chrono::steady_clock::now;
    };
    enum class Source { Cache, Wins, Broadcast };
    struct Whereabouts
    {
        uint32_t address = 0; // host byte order
        Source source = Source::Cache;
        // No broadcast of this computer reaches it: it lies beyond a router.
        bool beyondRouter = false;
    };
    // What was learnt of a name and is still good: where it is, or that nobody knew it.
    struct Recalled
    {
        std::optional<Whereabouts> where;
    };

    NameResolver(UdpNetwork& udp, Settings settings);

    // The name in upper case in the OEM code page, at most a NetBIOS name long. Nullopt when nobody knows it, or
    // once the deadline has come or the resolver stopped.
    std::optional<Whereabouts> Resolve(const std::string& name, Time deadline) const;
    // The one name with its suffix (a workgroup's master browser), asked for the same way.
    std::optional<Whereabouts> Resolve(const NetbiosName& name, Time deadline) const;
    // What was learnt, without asking anyone; nullopt when the name must be asked for.
    std::optional<Recalled> Recall(const std::string& name) const;
    // The address of a computer learnt to lie beyond a router, without asking anyone; else nullopt.
    std::optional<uint32_t> BeyondRouter(const std::string& name) const;
    bool UsesWins() const;
    std::chrono::milliseconds AnswerTime() const;
    // Ends the waits under way at once and answers every later Resolve from what was learnt. Returns once no
    // call uses the network any more; for every copy.
    void Stop() const;

private:
    class Core;
    std::shared_ptr<Core> core_;
};

const char* SourceName(NameResolver::Source source);

} // namespace parlino
