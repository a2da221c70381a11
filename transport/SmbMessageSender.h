#pragma once

#include "platform/TcpNetwork.h"
#include "platform/UdpNetwork.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace parlino {

// Sends a messenger text to one computer by the SMB route: finds its address by a broadcast name query,
// opens a NetBIOS session to its messenger name and sends the text as message commands (a text of up to
// 128 bytes as one, a longer one in blocks), waiting for each answer. Blocks its caller (at most a few timeouts long),
// so it runs off the main thread.
class SmbMessageSender
{
public:
    struct Ports
    {
        uint16_t names = 137;    // the name service, UDP
        uint16_t sessions = 139; // the session service, TCP
    };

    SmbMessageSender(UdpNetwork& udp, TcpNetwork& tcp, Ports ports,
                     std::chrono::milliseconds timeout = std::chrono::seconds(2));

    // The address (host byte order) that answers for NAME<03>, else for NAME<20>.
    std::optional<uint32_t> Resolve(const std::string& name);

    // Empty when every request was answered with success, else one line saying what went wrong.
    // Names and text are in the OEM code page, the text with CR LF line ends.
    std::string Send(uint32_t address, const std::string& target, const std::string& callingName,
                     const std::string& originator, const std::string& text);

private:
    struct Attempt
    {
        std::string error;
        bool unanswered = false; // the session ended without an answer to a message command
    };
    Attempt Try(uint32_t address, const std::string& target, const std::string& callingName,
                const std::string& originator, const std::string& text, bool multiBlock);

    UdpNetwork& udp_;
    TcpNetwork& tcp_;
    const Ports ports_;
    const std::chrono::milliseconds timeout_;
};

} // namespace parlino
