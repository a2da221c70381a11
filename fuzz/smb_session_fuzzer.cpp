// Drives the SMB message route's sessions as a peer on the LAN may: arbitrary packets, cut anywhere, through
// a fake stream. Nothing may crash, the peer is told only whole session packets, and whatever reaches the
// inbox is a message of bounded size to this computer.
#include "codec/SessionService.h"
#include "codec/SmbMessage.h"
#include "codec/WinPopupDatagram.h"
#include "fuzz/SessionStations.h"
#include "transport/SmbMessageRoute.h"

#include <algorithm>
#include <cstdlib>

namespace {

using namespace parlino;

class CheckingInbox final : public MailslotSink
{
public:
    bool Deliver(const std::string& slot, std::vector<uint8_t> message) override
    {
        const WinPopupFields fields = SplitWinPopupDatagram(message.data(), message.size());
        if (slot != kMessengerMailslot || fields.receiver != "BOB" || fields.text.size() > SmbMessageSession::kMaxText)
            std::abort();
        return true;
    }
};

// Reads what the session told the peer: whole packets, nothing cut.
void CheckTold(TcpStream& peer)
{
    uint8_t header[kSessionHeaderSize];
    while (peer.ReadExactly(header, sizeof header)) {
        const auto decoded = DecodeSessionHeader(header, sizeof header);
        if (!decoded)
            std::abort();
        Bytes payload(decoded->length);
        if (!peer.ReadExactly(payload.data(), payload.size()))
            std::abort();
    }
    uint8_t left = 0;
    if (peer.ReadExactly(&left, 1))
        std::abort();
}

// What the first byte asks to come before the fuzzed bytes, so that the fuzzer starts past the session request
// or inside a multi-block message.
Bytes Opening(uint8_t control)
{
    Bytes opening;
    if (control & 1)
        opening = EncodeSessionRequest({{"bob", kMessengerSuffix}, {"ALICE", kWorkstationSuffix}});
    if (control & 2) {
        const Bytes start = EncodeSessionPacket(
            SessionPacketType::Message, EncodeSmbMessageRequest({SmbMessageCommand::Start, {}, "ALICE", "BOB", 0, {}}));
        opening.insert(opening.end(), start.begin(), start.end());
    }
    return opening;
}

} // namespace

// The first byte chooses the opening (bits 0-1) and how many bytes each write carries (the rest; 0: all at once).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // BOB's route serves the session port; the fuzzer calls it.
    fuzz::SessionStations stations;
    CheckingInbox inbox;
    const ThisComputer names("BOB", "OFFICE");
    SmbMessageRoute route(*stations.server, inbox, names);
    if (!route.Start(fuzz::SessionStations::kPort))
        std::abort();
    const auto peer = stations.caller->Connect(fuzz::SessionStations::kServer, fuzz::SessionStations::kPort,
                                               std::chrono::milliseconds(0));
    Bytes input = Opening(data[0]);
    input.insert(input.end(), data + 1, data + size);
    const size_t chunk = data[0] >> 2 ? data[0] >> 2 : input.size();
    for (size_t at = 0; at < input.size(); at += chunk)
        peer->Write(Bytes(input.begin() + static_cast<std::ptrdiff_t>(at),
                          input.begin() + static_cast<std::ptrdiff_t>(std::min(at + chunk, input.size()))));
    CheckTold(*peer);
    return 0;
}
