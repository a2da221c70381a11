#include "codec/RapServerEnum.h"

namespace parlino {
namespace {

constexpr uint16_t kNetServerEnum2 = 104;
// The layouts of the parameters and of a level 1 entry, as the request names them.
constexpr char kParameterLayout[] = "WrLehDz";
constexpr char kEntryLayout[] = "B16BBDz";
constexpr uint16_t kLevel = 1;
constexpr size_t kNameField = 16;
// The name, two version bytes, the server type and the comment's pointer.
constexpr size_t kEntrySize = kNameField + 2 + 4 + 4;

void PutText(Bytes& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

} // namespace

Bytes EncodeServerEnumRequest(uint32_t serverType, const std::string& workgroup, uint16_t receiveBuffer)
{
    Bytes out;
    PutLittleEndian16(out, kNetServerEnum2);
    PutText(out, kParameterLayout);
    PutText(out, kEntryLayout);
    PutLittleEndian16(out, kLevel);
    PutLittleEndian16(out, receiveBuffer);
    PutLittleEndian32(out, serverType);
    PutText(out, workgroup);
    return out;
}

std::optional<ServerEnumReply> DecodeServerEnumReply(const Bytes& parameters, const Bytes& data)
{
    if (parameters.size() != kServerEnumReplyParameters)
        return std::nullopt;
    LittleEndianReader fields(parameters.data(), parameters.size());
    ServerEnumReply reply;
    reply.status = fields.Word();
    // Pointers in the data are offsets into it plus the converter, in their low 16 bits.
    const uint16_t converter = fields.Word();
    const size_t returned = fields.Word();
    reply.available = fields.Word();
    if (reply.status != kRapSuccess && reply.status != kRapMoreData)
        return reply;
    if (returned > data.size() / kEntrySize)
        return std::nullopt;
    for (size_t i = 0; i < returned; ++i) {
        const uint8_t* entry = data.data() + i * kEntrySize;
        auto name = TerminatedText(entry, kNameField);
        const size_t comment = static_cast<uint16_t>(GetLittleEndian32(entry + kEntrySize - 4) - converter);
        auto text = comment < data.size() ? TerminatedText(data.data() + comment, data.size() - comment) : std::nullopt;
        if (!name || !text)
            return std::nullopt;
        reply.servers.push_back({std::move(*name), GetLittleEndian32(entry + kNameField + 2), std::move(*text)});
    }
    return reply;
}

} // namespace parlino
