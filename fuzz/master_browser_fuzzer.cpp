// Plays a master browser that answers whatever the fuzzer says, all at once, then ends the session: the client
// must take it apart without a crash and without waiting, and a list it gives holds only what lay in the bytes.
// The decoders also see the input as one reply of their own.
#include "codec/RapServerEnum.h"
#include "codec/SmbClient.h"
#include "fuzz/SessionStations.h"
#include "netenum/MasterBrowserClient.h"

#include <cstdlib>

namespace {

using namespace parlino;

class Answered final : public TcpSession
{
public:
    void Received(const uint8_t*, size_t) override {}
};

void DecodeAlone(const Bytes& input)
{
    if (const auto reply = DecodeSmbReply(input.data(), input.size())) {
        ChoseNtLanManager(*reply);
        if (const auto part = DecodeTransactionPart(*reply, input.data())) {
            TransactionResult result;
            if (result.Add(*part) && result.Complete())
                DecodeServerEnumReply(result.Parameters(), result.Data());
        }
    }
    const size_t split = std::min(input.size(), size_t{kServerEnumReplyParameters});
    DecodeServerEnumReply(Bytes(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(split)),
                          Bytes(input.begin() + static_cast<std::ptrdiff_t>(split), input.end()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Bytes input(data, data + size);
    DecodeAlone(input);
    // The master browser serves the session port; the client calls it.
    fuzz::SessionStations stations;
    const auto listener = stations.server->Listen(fuzz::SessionStations::kPort,
                                                  [&input](TcpConnection& connection) {
                                                      connection.Send(input);
                                                      connection.Close();
                                                      return std::make_unique<Answered>();
                                                  },
                                                  {});
    const MasterBrowserClient browsers(*stations.caller, fuzz::SessionStations::kPort, "FUZZ",
                                       {std::chrono::seconds(5), std::chrono::seconds(5)});
    if (const auto lists = browsers.Fetch(fuzz::SessionStations::kServer, "OFFICE"))
        for (const ServerInfo& server : lists->servers)
            if (server.name.size() >= 16 || server.comment.size() >= size)
                std::abort();
    return 0;
}
