#include "transport/SmbMessageSender.h"

#include "codec/NameQuery.h"
#include "codec/SessionService.h"
#include "codec/SmbMessage.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <random>

namespace parlino {
namespace {

// Answers to message commands are a few dozen bytes; anything much longer is not one.
constexpr size_t kLargestAnswer = 1024;

std::string StatusText(const SmbMessageResponse& response)
{
    char text[64];
    if (response.ntStatus)
        std::snprintf(text, sizeof text, "NT status 0x%08X", static_cast<unsigned>(response.status));
    else
        std::snprintf(text, sizeof text, "error class %u, code %u", static_cast<unsigned>(response.status & 0xFF),
                      static_cast<unsigned>(response.status >> 16));
    return text;
}

// One session packet other than a keep-alive; nullopt when none came whole in time.
struct Packet
{
    SessionPacketType type;
    Bytes payload;
};

std::optional<Packet> ReadPacket(TcpStream& stream)
{
    for (;;) {
        uint8_t bytes[kSessionHeaderSize];
        if (!stream.ReadExactly(bytes, sizeof bytes))
            return std::nullopt;
        const auto header = DecodeSessionHeader(bytes, sizeof bytes);
        if (!header || header->length > kLargestAnswer)
            return std::nullopt;
        Packet packet{header->type, Bytes(header->length)};
        if (!stream.ReadExactly(packet.payload.data(), packet.payload.size()))
            return std::nullopt;
        if (packet.type != SessionPacketType::KeepAlive)
            return packet;
    }
}

} // namespace

SmbMessageSender::SmbMessageSender(UdpNetwork& udp, TcpNetwork& tcp, Ports ports, std::chrono::milliseconds timeout)
    : udp_(udp), tcp_(tcp), ports_(ports), timeout_(timeout)
{}

std::optional<uint32_t> SmbMessageSender::Resolve(const std::string& name)
{
    std::mutex mutex;
    std::condition_variable answered;
    std::optional<uint32_t> address;
    NameQuery query{static_cast<uint16_t>(std::random_device{}()), {name, kMessengerSuffix}};
    const auto endpoint = udp_.Listen(ports_.names, [&](const uint8_t* data, size_t size, uint32_t, uint16_t) {
        std::lock_guard lock(mutex);
        if (!address && (address = DecodePositiveNameQueryResponse(data, size, query)))
            answered.notify_all();
    });
    if (!endpoint)
        return std::nullopt;
    for (const uint8_t suffix : {kMessengerSuffix, kServerSuffix}) {
        Bytes asked;
        {
            std::lock_guard lock(mutex);
            query.name.suffix = suffix;
            ++query.transactionId;
            asked = EncodeNameQuery(query);
        }
        udp_.Broadcast(ports_.names, [&asked](uint32_t) { return asked; });
        std::unique_lock lock(mutex);
        if (answered.wait_for(lock, timeout_, [&] { return address.has_value(); }))
            return address;
    }
    return std::nullopt;
}

std::string SmbMessageSender::Send(uint32_t address, const std::string& target, const std::string& callingName,
                                   const std::string& originator, const std::string& text)
{
    // Samba's smbd takes only the multi-block commands on a session that never negotiated a dialect, and ends
    // the session at a single-block one: a short text that got no answer goes again, in one block of a start.
    if (text.size() <= kSmbMessageBlock) {
        const Attempt single = Try(address, target, callingName, originator, text, false);
        if (!single.unanswered)
            return single.error;
    }
    return Try(address, target, callingName, originator, text, true).error;
}

SmbMessageSender::Attempt SmbMessageSender::Try(uint32_t address, const std::string& target,
                                                const std::string& callingName, const std::string& originator,
                                                const std::string& text, bool multiBlock)
{
    const auto stream = tcp_.Connect(address, ports_.sessions, timeout_);
    if (!stream)
        return {"cannot connect to " + target + " on TCP port " + std::to_string(ports_.sessions)};
    const bool asked =
        stream->Write(EncodeSessionRequest({{target, kMessengerSuffix}, {callingName, kWorkstationSuffix}}));
    const auto answer = asked ? ReadPacket(*stream) : std::nullopt;
    if (!answer)
        return {target + " did not answer the session request"};
    if (answer->type == SessionPacketType::NegativeResponse)
        return {target + " refused the session" +
                (answer->payload.size() == 1 ? " (error " + std::to_string(answer->payload[0]) + ")" : "")};
    if (answer->type != SessionPacketType::PositiveResponse)
        return {target + " answered the session request with something else"};

    const auto pid = static_cast<uint16_t>(std::random_device{}());
    uint16_t mid = 0;
    uint16_t group = 0;
    // Sends one request and checks its answer; no error when it was a success.
    const auto exchange = [&](SmbMessageRequest request) -> Attempt {
        request.ids.pidLow = pid;
        request.ids.mid = ++mid;
        request.groupId = group;
        const bool sent =
            stream->Write(EncodeSessionPacket(SessionPacketType::Message, EncodeSmbMessageRequest(request)));
        const auto packet = sent ? ReadPacket(*stream) : std::nullopt;
        if (!packet || packet->type != SessionPacketType::Message)
            return {target + " did not answer the message", true};
        const auto response = DecodeSmbMessageResponse(packet->payload.data(), packet->payload.size());
        if (!response || response->command != static_cast<uint8_t>(request.command) || response->ids.mid != mid)
            return {target + " answered the message with something else"};
        if (response->status != 0)
            return {target + " refused the message (" + StatusText(*response) + ")"};
        if (request.command == SmbMessageCommand::Start)
            group = response->groupId;
        return {};
    };

    if (!multiBlock)
        return exchange({SmbMessageCommand::Single, {}, originator, target, 0, text});
    Attempt attempt = exchange({SmbMessageCommand::Start, {}, originator, target, 0, {}});
    for (size_t at = 0; attempt.error.empty() && at < text.size(); at += kSmbMessageBlock)
        attempt = exchange({SmbMessageCommand::Text, {}, {}, {}, 0, text.substr(at, kSmbMessageBlock)});
    return attempt.error.empty() ? exchange({SmbMessageCommand::End, {}, {}, {}, 0, {}}) : attempt;
}

} // namespace parlino
