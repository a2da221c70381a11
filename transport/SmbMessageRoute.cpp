#include "transport/SmbMessageRoute.h"

#include "codec/SessionService.h"
#include "codec/WinPopupDatagram.h"

namespace parlino {

SmbMessageSession::SmbMessageSession(TcpConnection& connection, MailslotSink& inboxes, const ThisComputer& names)
    : connection_(connection), inboxes_(inboxes), names_(names)
{}

void SmbMessageSession::Received(const uint8_t* data, size_t size)
{
    if (ended_)
        return;
    pending_.insert(pending_.end(), data, data + size);
    size_t used = 0;
    while (!ended_) {
        const auto header = DecodeSessionHeader(pending_.data() + used, pending_.size() - used);
        if (!header) {
            // Whatever else four bytes hold, no session packet starts there.
            if (pending_.size() - used >= kSessionHeaderSize)
                End();
            break;
        }
        if (header->length > kMaxPacket) {
            End();
            break;
        }
        if (pending_.size() - used < kSessionHeaderSize + header->length)
            break;
        const uint8_t* packet = pending_.data() + used;
        used += kSessionHeaderSize + header->length;
        OnPacket(packet[0], packet + kSessionHeaderSize, header->length);
    }
    if (ended_)
        pending_.clear();
    else
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
}

void SmbMessageSession::OnPacket(uint8_t type, const uint8_t* payload, size_t size)
{
    switch (static_cast<SessionPacketType>(type)) {
    case SessionPacketType::KeepAlive:
        return;
    case SessionPacketType::Request:
        connection_.Heard();
        if (established_)
            End();
        else
            OnSessionRequest(payload, size);
        return;
    case SessionPacketType::Message:
        connection_.Heard();
        if (established_)
            OnSmb(payload, size);
        else
            End();
        return;
    default:
        End();
    }
}

void SmbMessageSession::OnSessionRequest(const uint8_t* payload, size_t size)
{
    const auto request = DecodeSessionRequest(payload, size);
    if (!request) {
        connection_.Send(EncodeNegativeSessionResponse(SessionRefusal::Unspecified));
        End();
    } else if (ComparableNetbiosName(request->called.name) != names_.name ||
               request->called.suffix != kMessengerSuffix) {
        connection_.Send(EncodeNegativeSessionResponse(SessionRefusal::CalledNameNotPresent));
        End();
    } else {
        established_ = true;
        connection_.Send(EncodeSessionPacket(SessionPacketType::PositiveResponse));
    }
}

void SmbMessageSession::OnSmb(const uint8_t* smb, size_t size)
{
    const auto header = DecodeSmbRequestHeader(smb, size);
    if (!header) {
        End();
        return;
    }
    uint32_t status = kErrSrvBadCommand;
    if (header->command == static_cast<uint8_t>(SmbMessageCommand::Single) ||
        header->command == static_cast<uint8_t>(SmbMessageCommand::Start) ||
        header->command == static_cast<uint8_t>(SmbMessageCommand::Text) ||
        header->command == static_cast<uint8_t>(SmbMessageCommand::End)) {
        const auto request = DecodeSmbMessageRequest(smb, size);
        status = request ? Serve(*request) : kErrSrvError;
    }
    const uint16_t groupId = group_ ? group_->id : 0;
    connection_.Send(EncodeSessionPacket(SessionPacketType::Message,
                                         EncodeSmbMessageResponse(header->command, header->ids, status, groupId)));
}

uint32_t SmbMessageSession::Serve(const SmbMessageRequest& request)
{
    switch (request.command) {
    case SmbMessageCommand::Single:
        if (request.text.size() > kMaxText)
            return kErrSrvNoRoom;
        return Deliver(request.originator, request.destination, request.text);
    case SmbMessageCommand::Start:
        // A start before the last message ended drops that message.
        group_.reset();
        if (ComparableNetbiosName(request.destination) != names_.name)
            return kErrSrvMessagesOff;
        group_ = Group{nextGroupId_++, request.originator, request.destination, {}};
        return 0;
    case SmbMessageCommand::Text:
        if (!group_ || group_->id != request.groupId)
            return kErrSrvError;
        if (group_->blocks == kMaxBlocks || group_->text.size() + request.text.size() > kMaxText) {
            group_.reset();
            return kErrSrvNoRoom;
        }
        ++group_->blocks;
        group_->text += request.text;
        return 0;
    case SmbMessageCommand::End: {
        if (!group_ || group_->id != request.groupId)
            return kErrSrvError;
        const Group group = std::move(*group_);
        group_.reset();
        return Deliver(group.originator, group.destination, group.text);
    }
    }
    return kErrSrvBadCommand;
}

uint32_t SmbMessageSession::Deliver(const std::string& originator, const std::string& destination,
                                    const std::string& text)
{
    if (ComparableNetbiosName(destination) != names_.name)
        return kErrSrvMessagesOff;
    // The receiver is this computer as the inbox knows it, whatever spelling the sender gave its name.
    const bool delivered = inboxes_.Deliver(kMessengerMailslot, BuildWinPopupDatagram(originator, names_.name, text));
    return delivered ? 0 : kErrSrvMessagesOff;
}

void SmbMessageSession::End()
{
    ended_ = true;
    connection_.Close();
}

SmbMessageRoute::SmbMessageRoute(TcpNetwork& network, MailslotSink& inboxes, const ThisComputer& names)
    : network_(network), inboxes_(inboxes), names_(names)
{}

TcpNetwork::Limits SmbMessageRoute::DefaultLimits()
{
    return {16, std::chrono::seconds(30), EncodeNegativeSessionResponse(SessionRefusal::InsufficientResources), 4,
            std::chrono::seconds(60)};
}

bool SmbMessageRoute::Start(uint16_t port, TcpNetwork::Limits limits)
{
    failure_ = ListenFailure::None;
    listener_ = network_.Listen(
        port,
        [this](TcpConnection& connection) { return std::make_unique<SmbMessageSession>(connection, inboxes_, names_); },
        std::move(limits), &failure_);
    return listener_ != nullptr;
}

} // namespace parlino
