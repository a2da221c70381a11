#pragma once

#include "codec/RapServerEnum.h"
#include "platform/TcpNetwork.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace parlino {

// What a master browser keeps: the servers of one workgroup and the workgroups it knows, in OEM bytes.
struct MasterBrowserLists
{
    std::vector<ServerInfo> servers;
    std::vector<ServerInfo> workgroups;
};

// Asks a workgroup's master browser for its lists as Windows clients do: a NetBIOS session to its server service,
// an anonymous SMB1 session on IPC$, and NetServerEnum2 on \PIPE\LANMAN, once for the servers of the workgroup
// and once for the workgroups. Each call waits an answer's time at most and the whole conversation has one
// deadline, so a browser that answers garbage, late or never costs its caller about that and gives nothing.
class MasterBrowserClient
{
public:
    struct Timing
    {
        std::chrono::milliseconds answer{1000};
        std::chrono::milliseconds whole{3000};
    };
    // The address (host byte order) of a master browser of the workgroup; nullopt when none is found.
    using FindMaster = std::function<std::optional<uint32_t>(const std::string& workgroup)>;

    // callingName: this computer's NetBIOS name, in OEM bytes.
    MasterBrowserClient(TcpNetwork& tcp, uint16_t sessionPort, std::string callingName, Timing timing);

    // Nullopt unless the browser at address gave the workgroup's servers (the workgroups may be missing).
    std::optional<MasterBrowserLists> Fetch(uint32_t address, const std::string& workgroup) const;
    // The lists of the first browser that gives them, found by each finder in turn; an empty finder is skipped.
    std::optional<MasterBrowserLists> FetchFromFirst(const std::vector<FindMaster>& finders,
                                                     const std::string& workgroup) const;

    // From any thread: the conversation under way ends at once and none starts any more, so a program that ends
    // does not wait out a slow browser.
    void Stop();

private:
    // Lets Stop reach the stream of the conversation under way.
    class Watch;

    TcpNetwork& tcp_;
    const uint16_t sessionPort_;
    const std::string callingName_;
    const Timing timing_;
    mutable std::mutex mutex_;
    mutable TcpStream* current_ = nullptr;
    bool stopped_ = false;
};

} // namespace parlino
