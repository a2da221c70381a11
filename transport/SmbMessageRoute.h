#pragma once

#include "codec/SmbMessage.h"
#include "platform/MailslotSink.h"
#include "platform/TcpNetwork.h"
#include "transport/ThisComputer.h"

#include <memory>
#include <optional>
#include <string>

namespace parlino {

// The mailslot that messenger texts reach, whichever route brought them.
inline const std::string kMessengerMailslot = "MESSNGR";

// One NetBIOS session of the SMB message route: a session request for this computer's messenger name, then
// message commands, each answered as the sender expects; every whole message goes to the mailslot
// "MESSNGR" as a WinPopup datagram, so it is read exactly like one that came as a mailslot datagram.
class SmbMessageSession final : public TcpSession
{
public:
    SmbMessageSession(TcpConnection& connection, MailslotSink& inboxes, const ThisComputer& names);
    void Received(const uint8_t* data, size_t size) override;

    // What one message may hold, so that a peer cannot make the process grow.
    static constexpr size_t kMaxBlocks = 64;
    static constexpr size_t kMaxText = 4096;
    // A longer session packet is not read at all: the connection is closed.
    static constexpr size_t kMaxPacket = 8192;

private:
    void OnPacket(uint8_t type, const uint8_t* payload, size_t size);
    void OnSessionRequest(const uint8_t* payload, size_t size);
    void OnSmb(const uint8_t* smb, size_t size);
    // The status that answers a well-formed request.
    uint32_t Serve(const SmbMessageRequest& request);
    uint32_t Deliver(const std::string& originator, const std::string& destination, const std::string& text);
    void End();

    struct Group
    {
        uint16_t id;
        std::string originator;
        std::string destination;
        std::string text;
        size_t blocks = 0;
    };

    TcpConnection& connection_;
    MailslotSink& inboxes_;
    const ThisComputer& names_;
    Bytes pending_;
    bool established_ = false;
    bool ended_ = false;
    std::optional<Group> group_;
    uint16_t nextGroupId_ = 1;
};

// Receives messages on the NetBIOS session port (TCP 139) for this computer's inboxes.
class SmbMessageRoute
{
public:
    SmbMessageRoute(TcpNetwork& network, MailslotSink& inboxes, const ThisComputer& names);

    // False when the port can't be had (smbd holds it), and Failure() tells why. Limits past the default are
    // for tests.
    bool Start(uint16_t port, TcpNetwork::Limits limits = DefaultLimits());
    ListenFailure Failure() const { return failure_; }
    // Closes the port and every session; nothing reaches the inboxes afterwards.
    void Stop() { listener_.reset(); }
    uint16_t Port() const { return listener_ ? listener_->Port() : 0; }

    // At most 16 sessions, 4 from one address, each closed after 30 s without a whole request and after 60 s
    // in any case: a message takes a second. The rest are refused at once.
    static TcpNetwork::Limits DefaultLimits();

private:
    TcpNetwork& network_;
    MailslotSink& inboxes_;
    const ThisComputer& names_;
    std::unique_ptr<TcpListener> listener_;
    ListenFailure failure_ = ListenFailure::None;
};

} // namespace parlino
