#include "codec/SmbMessage.h"

namespace parlino {
namespace {

constexpr uint8_t kDataBlock = 0x01;
constexpr uint8_t kAsciiString = 0x04;

// Reads the buffer-format fields of the bytes, never past their end.
class Fields
{
public:
    Fields(const uint8_t* at, const uint8_t* end) : at_(at), end_(end) {}

    std::optional<std::string> String()
    {
        if (at_ == end_ || *at_ != kAsciiString)
            return std::nullopt;
        auto text = TerminatedText(at_ + 1, static_cast<size_t>(end_ - at_ - 1));
        if (text)
            at_ += 1 + text->size() + 1;
        return text;
    }

    std::optional<std::string> Data()
    {
        if (end_ - at_ < 3 || *at_ != kDataBlock)
            return std::nullopt;
        const size_t length = GetLittleEndian16(at_ + 1);
        const uint8_t* start = at_ + 3;
        if (static_cast<size_t>(end_ - start) < length)
            return std::nullopt;
        at_ = start + length;
        return std::string(reinterpret_cast<const char*>(start), length);
    }

private:
    const uint8_t* at_;
    const uint8_t* end_;
};

void PutString(Bytes& out, const std::string& text)
{
    out.push_back(kAsciiString);
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void PutData(Bytes& out, const std::string& text)
{
    out.push_back(kDataBlock);
    PutLittleEndian16(out, static_cast<uint16_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

} // namespace

std::string WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

std::optional<SmbRequestHeader> DecodeSmbRequestHeader(const uint8_t* data, size_t size)
{
    const auto header = DecodeSmbHeader(data, size);
    if (!header || header->reply)
        return std::nullopt;
    return SmbRequestHeader{header->command, header->ids};
}

std::optional<SmbMessageRequest> DecodeSmbMessageRequest(const uint8_t* data, size_t size)
{
    const auto header = DecodeSmbRequestHeader(data, size);
    if (!header)
        return std::nullopt;
    const auto body = DecodeSmbBody(data, size);
    if (!body)
        return std::nullopt;
    SmbMessageRequest request;
    request.command = static_cast<SmbMessageCommand>(header->command);
    request.ids = header->ids;
    Fields fields(body->bytes, body->end);
    std::optional<std::string> originator, destination, text;
    switch (request.command) {
    case SmbMessageCommand::Single:
    case SmbMessageCommand::Start:
        originator = fields.String();
        destination = fields.String();
        if (body->wordCount != 0 || !originator || !destination)
            return std::nullopt;
        request.originator = std::move(*originator);
        request.destination = std::move(*destination);
        if (request.command == SmbMessageCommand::Start)
            return request;
        text = fields.Data();
        break;
    case SmbMessageCommand::Text:
    case SmbMessageCommand::End:
        if (body->wordCount != 1)
            return std::nullopt;
        request.groupId = GetLittleEndian16(body->words);
        if (request.command == SmbMessageCommand::End)
            return request;
        text = fields.Data();
        break;
    default:
        return std::nullopt;
    }
    if (!text)
        return std::nullopt;
    request.text = std::move(*text);
    return request;
}

Bytes EncodeSmbMessageRequest(const SmbMessageRequest& request)
{
    Bytes out = EncodeSmbHeader(static_cast<uint8_t>(request.command), request.ids);
    Bytes bytes;
    const bool named = request.command == SmbMessageCommand::Single || request.command == SmbMessageCommand::Start;
    if (named) {
        PutString(bytes, request.originator);
        PutString(bytes, request.destination);
    }
    if (request.command == SmbMessageCommand::Single || request.command == SmbMessageCommand::Text)
        PutData(bytes, request.text);
    out.push_back(named ? 0 : 1);
    if (!named)
        PutLittleEndian16(out, request.groupId);
    PutLittleEndian16(out, static_cast<uint16_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

Bytes EncodeSmbMessageResponse(uint8_t command, const SmbIds& ids, uint32_t status, uint16_t groupId)
{
    Bytes out = EncodeSmbHeader(command, ids, status, kSmbReplyFlag);
    const bool carriesGroup = status == 0 && command == static_cast<uint8_t>(SmbMessageCommand::Start);
    out.push_back(carriesGroup ? 1 : 0);
    if (carriesGroup)
        PutLittleEndian16(out, groupId);
    PutLittleEndian16(out, 0);
    return out;
}

std::optional<SmbMessageResponse> DecodeSmbMessageResponse(const uint8_t* data, size_t size)
{
    const auto frame = DecodeSmbReplyFrame(data, size);
    if (!frame)
        return std::nullopt;
    SmbMessageResponse response;
    response.command = frame->header.command;
    response.ids = frame->header.ids;
    response.status = frame->header.status;
    response.ntStatus = frame->header.ntStatus;
    if (frame->body.wordCount >= 1)
        response.groupId = GetLittleEndian16(frame->body.words);
    return response;
}

} // namespace parlino
