#include "transport/SmbMessageSender.h"

#include "codec/MailslotPath.h"
#include "codec/NetbiosDatagram.h"
#include "codec/SessionService.h"
#include "codec/SmbMessage.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <mutex>
#include <random>

namespace parlino {
namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;
using Deadline = SteadyClock::time_point;

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

// How the wait for a session packet ended.
enum class ReadEnd { Whole, Garbled, Closed, TimedOut };

// The stream tells only whether the bytes came: one that failed before its own time ran out met a session the
// peer had ended.
ReadEnd ReadExactly(TcpStream& stream, uint8_t* buffer, size_t size, milliseconds callTime)
{
    const Deadline ranOut = SteadyClock::now() + callTime;
    if (stream.ReadExactly(buffer, size))
        return ReadEnd::Whole;
    return SteadyClock::now() >= ranOut ? ReadEnd::TimedOut : ReadEnd::Closed;
}

// One session packet other than a keep-alive, when end is Whole.
struct Packet
{
    ReadEnd end = ReadEnd::TimedOut;
    SessionPacketType type = SessionPacketType::KeepAlive;
    Bytes payload{};
};

struct Attempt
{
    std::string error;
    // The peer turned the message down (an error answer, or the session ended) rather than leaving it
    // unanswered: it did not show the text, and may take it in blocks.
    bool refused = false;
};

} // namespace

// What the copies of a sender share. The networks and a caller's code page are touched only inside Use, so a
// line still under way once Stop returned touches nothing but its own stream until it ends.
class SmbMessageSender::Core
{
public:
    Core(NameResolver resolver, TcpNetwork& tcp, uint16_t sessionPort, milliseconds line)
        : names(std::move(resolver)), answerTime(names.AnswerTime()), lineTime(line), tcp_(tcp),
          sessionPort_(sessionPort)
    {}

    // Runs use, which may touch what the sender was given and a caller's code page, unless the sender stopped.
    bool Use(const std::function<void()>& use)
    {
        std::lock_guard lock(useMutex_);
        if (stopping_)
            return false;
        use();
        return true;
    }

    void Stop()
    {
        stopping_ = true;
        names.Stop();
        std::lock_guard waitForUse(useMutex_);
    }

    std::optional<uint32_t> Resolve(const std::string& name, Deadline deadline) const
    {
        const auto where = names.Resolve(name, deadline);
        return where ? std::optional(where->address) : std::nullopt;
    }
    std::string Send(uint32_t address, const std::string& target, const std::string& callingName,
                     const std::string& originator, const std::string& text, Deadline deadline);

    const NameResolver names;
    const milliseconds answerTime;
    const milliseconds lineTime;

private:
    Attempt Try(uint32_t address, const std::string& target, const std::string& callingName,
                const std::string& originator, const std::string& text, bool multiBlock, Deadline deadline);
    Packet ReadPacket(TcpStream& stream, milliseconds callTime, Deadline deadline) const;

    // What one call may take: an answer's time, cut to what is left of the line.
    milliseconds CallTime(Deadline deadline) const
    {
        return std::clamp(std::chrono::ceil<milliseconds>(deadline - SteadyClock::now()), milliseconds::zero(),
                          answerTime);
    }

    TcpNetwork& tcp_;
    const uint16_t sessionPort_;
    std::mutex useMutex_;
    std::atomic<bool> stopping_ = false;
};

std::string SmbMessageSender::Core::Send(uint32_t address, const std::string& target, const std::string& callingName,
                                         const std::string& originator, const std::string& text, Deadline deadline)
{
    // Samba's smbd takes only the multi-block commands on a session that never negotiated a dialect, and ends
    // the session at a single-block one; other peers answer it with an error. A short text turned down goes
    // again, in one block of a start; one left unanswered does not, as the peer may have shown it after all.
    if (text.size() <= kSmbMessageBlock) {
        const Attempt single = Try(address, target, callingName, originator, text, false, deadline);
        if (!single.refused)
            return single.error;
    }
    return Try(address, target, callingName, originator, text, true, deadline).error;
}

Packet SmbMessageSender::Core::ReadPacket(TcpStream& stream, milliseconds callTime, Deadline deadline) const
{
    for (;;) {
        // A keep-alive shows the peer is there, not that it answers: the line's deadline stays where it was.
        if (stopping_ || SteadyClock::now() >= deadline)
            return {};
        uint8_t bytes[kSessionHeaderSize];
        if (const ReadEnd end = ReadExactly(stream, bytes, sizeof bytes, callTime); end != ReadEnd::Whole)
            return {end};
        const auto header = DecodeSessionHeader(bytes, sizeof bytes);
        if (!header || header->length > kLargestAnswer)
            return {ReadEnd::Garbled};
        Packet packet{ReadEnd::Whole, header->type, Bytes(header->length)};
        if (const ReadEnd end = ReadExactly(stream, packet.payload.data(), packet.payload.size(), callTime);
            end != ReadEnd::Whole)
            return {end};
        if (packet.type != SessionPacketType::KeepAlive)
            return packet;
    }
}

Attempt SmbMessageSender::Core::Try(uint32_t address, const std::string& target, const std::string& callingName,
                                    const std::string& originator, const std::string& text, bool multiBlock,
                                    Deadline deadline)
{
    // Every call on the stream has this time; the line's deadline is checked between them.
    const milliseconds callTime = CallTime(deadline);
    if (callTime <= milliseconds::zero())
        return {"the time for the line to " + target + " ran out"};
    std::unique_ptr<TcpStream> stream;
    Use([&] { stream = tcp_.Connect(address, sessionPort_, callTime); });
    if (!stream)
        return {"cannot connect to " + target + " on TCP port " + std::to_string(sessionPort_)};
    const bool asked =
        stream->Write(EncodeSessionRequest({{target, kMessengerSuffix}, {callingName, kWorkstationSuffix}}));
    const Packet answer = asked ? ReadPacket(*stream, callTime, deadline) : Packet{ReadEnd::Closed};
    if (answer.end == ReadEnd::Closed || answer.end == ReadEnd::TimedOut)
        return {target + " did not answer the session request"};
    if (answer.end == ReadEnd::Whole && answer.type == SessionPacketType::NegativeResponse)
        return {target + " refused the session" +
                (answer.payload.size() == 1 ? " (error " + std::to_string(answer.payload[0]) + ")" : "")};
    if (answer.end != ReadEnd::Whole || answer.type != SessionPacketType::PositiveResponse)
        return {target + " answered the session request with something else"};

    const auto pid = static_cast<uint16_t>(std::random_device{}());
    uint16_t mid = 0;
    uint16_t group = 0;
    // Sends one request and checks its answer; no error when it was a success.
    const auto exchange = [&](SmbMessageRequest request) -> Attempt {
        request.ids.pidLow = pid;
        request.ids.mid = ++mid;
        request.groupId = group;
        // A request that did not go out whole cannot have been taken.
        if (!stream->Write(EncodeSessionPacket(SessionPacketType::Message, EncodeSmbMessageRequest(request))))
            return {target + " did not take the message", true};
        const Packet packet = ReadPacket(*stream, callTime, deadline);
        if (packet.end == ReadEnd::TimedOut)
            return {target + " did not answer the message in time"};
        if (packet.end == ReadEnd::Closed)
            return {target + " ended the session at the message", true};
        const auto response = packet.type == SessionPacketType::Message
                                  ? DecodeSmbMessageResponse(packet.payload.data(), packet.payload.size())
                                  : std::nullopt;
        if (!response || response->command != static_cast<uint8_t>(request.command) || response->ids.mid != mid)
            return {target + " answered the message with something else"};
        if (response->status != 0)
            return {target + " refused the message (" + StatusText(*response) + ")", true};
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

SmbMessageSender::SmbMessageSender(UdpNetwork& udp, TcpNetwork& tcp, Ports ports, milliseconds answerTime,
                                   milliseconds lineTime)
    : SmbMessageSender(NameResolver(udp, {.namesPort = ports.names, .answerTime = answerTime}), tcp, ports.sessions,
                       lineTime)
{}

SmbMessageSender::SmbMessageSender(NameResolver names, TcpNetwork& tcp, uint16_t sessionPort, milliseconds lineTime)
    : core_(std::make_shared<Core>(std::move(names), tcp, sessionPort, lineTime))
{}

QString SmbMessageSender::SendLine(const CodePage& codePage, const std::string& callingName, const QString& computer,
                                   const QString& from, const QString& text) const
{
    QString stopped = QStringLiteral("the SMB route has stopped");
    Core& core = *core_;
    const Deadline deadline = SteadyClock::now() + core.lineTime;
    std::string target;
    std::string originator;
    std::string oemText;
    if (!core.Use([&] {
            target = UpperAscii(codePage.ToOemBytes(computer));
            originator = codePage.ToOemBytes(from);
            oemText = WithCrLf(codePage.ToOemBytes(text));
        }))
        return stopped;
    std::string error;
    // A longer name would be cut in the name query and could reach another computer.
    if (target.size() > kNetbiosNameLength)
        error = target + " is longer than a computer name can be";
    else if (const auto address = core.Resolve(target, deadline))
        error = core.Send(*address, target, callingName, originator, oemText, deadline);
    else
        error = "no computer " + target + " answers on the network";
    QString told;
    if (!error.empty() && !core.Use([&] { told = codePage.FromOemBytes(error); }))
        return stopped;
    return told;
}

std::optional<uint32_t> SmbMessageSender::Resolve(const std::string& name) const
{
    return core_->Resolve(name, SteadyClock::now() + core_->lineTime);
}

const NameResolver& SmbMessageSender::Names() const
{
    return core_->names;
}

std::string SmbMessageSender::Send(uint32_t address, const std::string& target, const std::string& callingName,
                                   const std::string& originator, const std::string& text) const
{
    return core_->Send(address, target, callingName, originator, text, SteadyClock::now() + core_->lineTime);
}

milliseconds SmbMessageSender::AnswerTime() const
{
    return core_->answerTime;
}

milliseconds SmbMessageSender::LineTime() const
{
    return core_->lineTime;
}

void SmbMessageSender::Stop()
{
    core_->Stop();
}

} // namespace parlino
