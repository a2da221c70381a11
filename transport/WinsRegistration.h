#pragma once

#include "codec/NameRegistration.h"
#include "platform/Clock.h"
#include "platform/UdpNetwork.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace parlino {

// How long the registration waits for what.
struct WinsTiming
{
    std::chrono::seconds timeToLive{300000}; // asked for, as Windows does; the server's answer decides
    std::chrono::milliseconds answerTime{2000};
    std::chrono::milliseconds firstRetry{5000};
    std::chrono::milliseconds longestRetry{600000};
    // What a server that is still asking a name's holder (WACK) may take at most.
    std::chrono::milliseconds longestHold{120000};
    // The one try of the releases at the end, all at once.
    std::chrono::milliseconds releaseTime{500};
};

// A WINS server's refusal of one of this computer's names.
struct NameRefusal
{
    uint32_t server = 0; // host byte order
    NetbiosName name;
    uint8_t returnCode = 0;
};

// The refusal in words, each text as words gives it in the reader's language; as written by default.
QString RefusalText(
    const NameRefusal& refusal,
    const std::function<QString(const char* text)>& words = [](const char* text) { return QString::fromUtf8(text); });

// Holds this computer's names with WINS servers, on a thread of its own: registers each name with each server,
// refreshes it before its time to live runs out and releases it at the end. A name a server already holds for this
// computer's address belongs to whoever registered it (nmbd on this host): it is neither registered nor released. A
// server that refuses a name is told once and the name left alone; one that does not answer is asked again after a
// wait that doubles each time.
class WinsRegistration
{
public:
    struct Name
    {
        NetbiosName name;
        bool group = false;
    };
    // This computer's address as a server sees it, host byte order.
    using LocalAddress = std::function<uint32_t(uint32_t server)>;
    // Each name a server refused; on the registration's thread.
    using Refused = std::function<void(const NameRefusal& refusal)>;

    // serverPort: the name service's port on the servers. The answers come to a port the system chooses.
    WinsRegistration(UdpNetwork& network, Clock& clock, uint16_t serverPort, LocalAddress localAddress, Refused refused,
                     WinsTiming timing = {});
    ~WinsRegistration() { Stop(); }
    WinsRegistration(const WinsRegistration&) = delete;
    WinsRegistration& operator=(const WinsRegistration&) = delete;

    // Nothing to do without servers or without a port for the answers.
    void Start(const std::vector<uint32_t>& servers, const std::vector<Name>& names);
    // Releases what it registered (one short try) and ends the thread.
    void Stop();

private:
    enum class Phase {
        Asking, // whether the server holds the name for this computer already
        Registering,
        Registered,
        Done
    };
    struct Entry
    {
        uint32_t server;
        Name name;
        Phase phase = Phase::Asking;
        Clock::Time due{};
        std::chrono::milliseconds retry{};
    };
    using Answer = std::optional<NameServiceResponse>;

    void Run();
    void Step(Entry& entry);
    // Sends the request and waits for its answer (past any WACK); nullopt when none came or the end came first.
    Answer Exchange(uint32_t server, const Bytes& request, uint16_t id);
    Bytes Request(const Entry& entry, NameOpcode opcode, uint16_t id) const;
    void ReleaseAll();
    void Receive(const uint8_t* data, size_t size, uint32_t sourceIp);
    void Tell(const Entry& entry, const NameServiceResponse& refusal);
    void Retry(Entry& entry);

    UdpNetwork& network_;
    Clock& clock_;
    const uint16_t serverPort_;
    const LocalAddress localAddress_;
    const Refused refused_;
    const WinsTiming timing_;
    std::vector<Entry> entries_; // the thread's own while it runs
    uint16_t nextId_;
    std::unique_ptr<UdpEndpoint> endpoint_;

    // Guards what follows: the answers awaited (by transaction id, with the server that must send them) and the end.
    std::mutex mutex_;
    std::condition_variable answered_;
    std::unique_ptr<Alarm> alarm_;
    struct Awaited
    {
        uint32_t server;
        Answer answer;
    };
    std::map<uint16_t, Awaited> awaited_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace parlino
