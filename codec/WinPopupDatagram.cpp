#include "codec/WinPopupDatagram.h"

#include <algorithm>

namespace parlino {

std::vector<uint8_t> BuildWinPopupDatagram(const std::string& sender, const std::string& receiver,
                                           const std::string& text)
{
    std::vector<uint8_t> datagram;
    datagram.reserve(sender.size() + receiver.size() + text.size() + 2);
    datagram.insert(datagram.end(), sender.begin(), sender.end());
    datagram.push_back(0);
    datagram.insert(datagram.end(), receiver.begin(), receiver.end());
    datagram.push_back(0);
    datagram.insert(datagram.end(), text.begin(), text.end());
    return datagram;
}

WinPopupFields SplitWinPopupDatagram(const uint8_t* data, size_t size)
{
    const uint8_t* const end = data + size;
    const uint8_t* cursor = data;
    const auto next = [&] {
        const uint8_t* stop = std::find(cursor, end, uint8_t{0});
        std::string field(reinterpret_cast<const char*>(cursor), static_cast<size_t>(stop - cursor));
        cursor = stop == end ? end : stop + 1;
        return field;
    };
    WinPopupFields fields;
    fields.sender = next();
    fields.receiver = next();
    fields.text = next();
    return fields;
}

} // namespace parlino
