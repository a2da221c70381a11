// Feeds arbitrary bytes to the datagram decoders: nothing may crash or read out of bounds, and
// whatever decodes must encode back to a frame that decodes the same.
#include "codec/NetbiosDatagram.h"
#include "codec/SmbMailslot.h"
#include "codec/WinPopupDatagram.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace parlino;
    SplitWinPopupDatagram(data, size);
    if (const auto write = DecodeMailslotWrite(data, size)) {
        const auto again = EncodeMailslotWrite(write->mailslot, write->data.data(), write->data.size());
        if (DecodeMailslotWrite(again.data(), again.size()) != write)
            std::abort();
    }
    const auto datagram = DecodeDatagram(data, size);
    if (!datagram)
        return 0;
    if (const auto write = DecodeMailslotWrite(datagram->userData.data(), datagram->userData.size()))
        SplitWinPopupDatagram(write->data.data(), write->data.size());
    const auto frame = EncodeDatagram(*datagram);
    const auto again = DecodeDatagram(frame.data(), frame.size());
    if (!again || again->userData != datagram->userData || again->destination.suffix != datagram->destination.suffix)
        std::abort();
    return 0;
}
