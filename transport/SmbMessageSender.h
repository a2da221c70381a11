#pragma once

#include "codec/NetbiosDatagram.h"
#include "platform/CodePage.h"
#include "platform/TcpNetwork.h"
#include "platform/UdpNetwork.h"
#include "transport/NameResolver.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace parlino {

// Sends a messenger text to one computer by the SMB route: finds its address through its name resolver,
// opens a NetBIOS session to its messenger name and sends the text as message commands (a text of up to
// 128 bytes as one, a longer one in blocks), waiting for each answer. A line has one deadline that nothing the
// peer sends extends; it blocks its caller until then at most, so it runs off the main thread. Copies share
// one sender, used by one caller at a time; a line left under way holds what it needs and nothing of its caller.
class SmbMessageSender
{
public:
    struct Ports
    {
        uint16_t names = 137;    // the name service, UDP
        uint16_t sessions = 139; // the session service, TCP
    };

    // answerTime: the longest wait for one answer (a name, a connection, a response); lineTime: the whole line.
    // Names are found by broadcast alone.
    SmbMessageSender(UdpNetwork& udp, TcpNetwork& tcp, Ports ports,
                     std::chrono::milliseconds answerTime = std::chrono::seconds(2),
                     std::chrono::milliseconds lineTime = std::chrono::seconds(6));
    // Names are found by this resolver (a copy shares what it learns), which the sender stops with itself.
    SmbMessageSender(NameResolver names, TcpNetwork& tcp, uint16_t sessionPort,
                     std::chrono::milliseconds lineTime = std::chrono::seconds(6));

    // The way every line goes: the computer's name in upper case in the OEM code page, at most a NetBIOS name
    // long; the originator and text in that code page, the text with CR LF line ends; then the address and the
    // message. Empty when the computer took the line, else one line saying what went wrong.
    QString SendLine(const CodePage& codePage, const std::string& callingName, const QString& computer,
                     const QString& from, const QString& text) const;

    // The address (host byte order) that answers for NAME<03>, else for NAME<20>.
    std::optional<uint32_t> Resolve(const std::string& name) const;
    const NameResolver& Names() const;

    // Empty when every request was answered with success, else one line saying what went wrong.
    // Names and text are in the OEM code page, the text with CR LF line ends.
    std::string Send(uint32_t address, const std::string& target, const std::string& callingName,
                     const std::string& originator, const std::string& text) const;

    std::chrono::milliseconds AnswerTime() const;
    std::chrono::milliseconds LineTime() const;

    // Ends the line under way at its next wait and every later one at once. Returns once no line uses the
    // networks or a code page any more, so that they may go while a line is still under way.
    void Stop();

private:
    class Core;
    std::shared_ptr<Core> core_;
};

} // namespace parlino
