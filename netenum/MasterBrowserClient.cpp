#include "netenum/MasterBrowserClient.h"

#include "codec/SessionService.h"
#include "codec/SmbClient.h"

namespace parlino {
namespace {

using SteadyClock = std::chrono::steady_clock;

// The name every SMB server answers to when its own is not known, Windows and smbd alike.
const std::string kAnyServer = "*SMBSERVER";
const std::string kIpcShare = "\\\\" + kAnyServer + "\\IPC$";
// Replies hold at most what the session setup said this client takes.
constexpr size_t kLargestReply = kSmbClientBuffer;
// A RAP reply carries 8 bytes of parameters.
constexpr uint16_t kMaxRapParameters = 64;
constexpr uint16_t kProcessId = 0x7050;

// One conversation with a browser, request by request, each answer checked before the next is asked.
class Conversation
{
public:
    Conversation(TcpStream& stream, SteadyClock::time_point deadline) : stream_(stream), deadline_(deadline)
    {
        ids_.pidLow = kProcessId;
    }

    bool OpenSession(const std::string& callingName)
    {
        if (!stream_.Write(EncodeSessionRequest({{kAnyServer, kServerSuffix}, {callingName, kWorkstationSuffix}})))
            return false;
        const auto answer = ReadPacket();
        return answer && answer->first == SessionPacketType::PositiveResponse;
    }

    // The successful reply to the request made by encode with the next ids; nullopt for anything else.
    std::optional<Bytes> Ask(SmbClientCommand command, const std::function<Bytes(const SmbIds&)>& encode)
    {
        ++ids_.mid;
        if (!stream_.Write(EncodeSessionPacket(SessionPacketType::Message, encode(ids_))))
            return std::nullopt;
        return ReadReply(command);
    }

    bool Negotiate()
    {
        const auto frame = Ask(SmbClientCommand::Negotiate, EncodeNegotiateRequest);
        const auto reply = frame ? DecodeSmbReply(frame->data(), frame->size()) : std::nullopt;
        return reply && ChoseNtLanManager(*reply);
    }

    // Takes the id the server gave the session or tree in its reply's header.
    bool Open(SmbClientCommand command, const std::function<Bytes(const SmbIds&)>& encode, uint16_t SmbIds::*id)
    {
        const auto frame = Ask(command, encode);
        if (!frame)
            return false;
        ids_.*id = DecodeSmbReply(frame->data(), frame->size())->ids.*id;
        return true;
    }

    std::optional<ServerEnumReply> Enumerate(uint32_t serverType, const std::string& workgroup)
    {
        const Bytes parameters = EncodeServerEnumRequest(serverType, workgroup, kSmbClientBuffer);
        auto frame = Ask(SmbClientCommand::Transaction, [&](const SmbIds& ids) {
            return EncodePipeTransaction(ids, kLanmanPipe, parameters, kMaxRapParameters, kSmbClientBuffer);
        });
        TransactionResult result;
        // A long answer comes in several replies; the deadline bounds how many.
        while (frame) {
            const auto reply = DecodeSmbReply(frame->data(), frame->size());
            const auto part = DecodeTransactionPart(*reply, frame->data());
            if (!part || !result.Add(*part))
                return std::nullopt;
            if (result.Complete())
                return DecodeServerEnumReply(result.Parameters(), result.Data());
            frame = ReadReply(SmbClientCommand::Transaction);
        }
        return std::nullopt;
    }

private:
    // The next session packet other than a keep-alive, unless the deadline passes first.
    std::optional<std::pair<SessionPacketType, Bytes>> ReadPacket()
    {
        for (;;) {
            if (SteadyClock::now() >= deadline_)
                return std::nullopt;
            uint8_t bytes[kSessionHeaderSize];
            if (!stream_.ReadExactly(bytes, sizeof bytes))
                return std::nullopt;
            const auto header = DecodeSessionHeader(bytes, sizeof bytes);
            if (!header || header->length > kLargestReply)
                return std::nullopt;
            Bytes payload(header->length);
            if (!stream_.ReadExactly(payload.data(), payload.size()))
                return std::nullopt;
            if (header->type != SessionPacketType::KeepAlive)
                return std::pair{header->type, std::move(payload)};
        }
    }

    std::optional<Bytes> ReadReply(SmbClientCommand command)
    {
        auto packet = ReadPacket();
        if (!packet || packet->first != SessionPacketType::Message)
            return std::nullopt;
        const auto reply = DecodeSmbReply(packet->second.data(), packet->second.size());
        if (!reply || reply->command != static_cast<uint8_t>(command) || reply->ids.mid != ids_.mid ||
            reply->status != 0)
            return std::nullopt;
        return std::move(packet->second);
    }

    TcpStream& stream_;
    const SteadyClock::time_point deadline_;
    SmbIds ids_;
};

// Whether the browser gave its list, whole or as much as fitted.
bool Listed(const std::optional<ServerEnumReply>& reply)
{
    return reply && (reply->status == kRapSuccess || reply->status == kRapMoreData);
}

} // namespace

class MasterBrowserClient::Watch
{
public:
    Watch(const MasterBrowserClient& client, TcpStream& stream) : client_(client)
    {
        std::lock_guard lock(client_.mutex_);
        if (!client_.stopped_)
            client_.current_ = &stream;
    }
    ~Watch()
    {
        std::lock_guard lock(client_.mutex_);
        client_.current_ = nullptr;
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    // False when the client was stopped before the conversation began.
    bool Watching() const
    {
        std::lock_guard lock(client_.mutex_);
        return client_.current_ != nullptr;
    }

private:
    const MasterBrowserClient& client_;
};

MasterBrowserClient::MasterBrowserClient(TcpNetwork& tcp, uint16_t sessionPort, std::string callingName, Timing timing)
    : tcp_(tcp), sessionPort_(sessionPort), callingName_(std::move(callingName)), timing_(timing)
{}

std::optional<MasterBrowserLists> MasterBrowserClient::Fetch(uint32_t address, const std::string& workgroup) const
{
    const auto deadline = SteadyClock::now() + timing_.whole;
    const auto stream = tcp_.Connect(address, sessionPort_, timing_.answer);
    if (!stream)
        return std::nullopt;
    const Watch watch(*this, *stream);
    if (!watch.Watching())
        return std::nullopt;
    Conversation talk(*stream, deadline);
    if (!talk.OpenSession(callingName_) || !talk.Negotiate() ||
        !talk.Open(SmbClientCommand::SessionSetup, EncodeAnonymousSessionSetup, &SmbIds::uid) ||
        !talk.Open(
            SmbClientCommand::TreeConnect, [](const SmbIds& ids) { return EncodeTreeConnect(ids, kIpcShare); },
            &SmbIds::tid))
        return std::nullopt;
    auto servers = talk.Enumerate(kServerTypeAll, workgroup);
    if (!Listed(servers))
        return std::nullopt;
    auto workgroups = talk.Enumerate(kServerTypeDomainEnum, workgroup);
    return MasterBrowserLists{std::move(servers->servers),
                              Listed(workgroups) ? std::move(workgroups->servers) : std::vector<ServerInfo>()};
}

std::optional<MasterBrowserLists> MasterBrowserClient::FetchFromFirst(const std::vector<FindMaster>& finders,
                                                                      const std::string& workgroup) const
{
    for (const FindMaster& find : finders) {
        const auto address = find ? find(workgroup) : std::nullopt;
        if (auto lists = address ? Fetch(*address, workgroup) : std::nullopt)
            return lists;
    }
    return std::nullopt;
}

void MasterBrowserClient::Stop()
{
    std::lock_guard lock(mutex_);
    stopped_ = true;
    if (current_)
        current_->Abort();
}

} // namespace parlino
