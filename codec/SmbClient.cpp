#include "codec/SmbClient.h"

namespace parlino {
namespace {

constexpr uint8_t kDialect = 0x02;
constexpr char kNtLanManager[] = "NT LM 0.12";
constexpr uint8_t kNoAndX = 0xFF;
constexpr uint8_t kNegotiateWords = 17;
constexpr uint8_t kTransactionWords = 14;
constexpr uint8_t kTransactionReplyWords = 10;
// A client's share of one server's session; 1 is all this client needs.
constexpr uint16_t kMaxMpxCount = 1;

void PutText(Bytes& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

// The header, the words and the bytes after ByteCount.
Bytes Request(SmbClientCommand command, const SmbIds& ids, const Bytes& words, const Bytes& bytes)
{
    Bytes out = EncodeSmbHeader(static_cast<uint8_t>(command), ids);
    out.push_back(static_cast<uint8_t>(words.size() / 2));
    out.insert(out.end(), words.begin(), words.end());
    PutLittleEndian16(out, static_cast<uint16_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

// The AndX block of a request that is the only command of its SMB.
Bytes AndXWords()
{
    return {kNoAndX, 0, 0, 0};
}

} // namespace

Bytes EncodeNegotiateRequest(const SmbIds& ids)
{
    Bytes dialects = {kDialect};
    PutText(dialects, kNtLanManager);
    return Request(SmbClientCommand::Negotiate, ids, {}, dialects);
}

Bytes EncodeAnonymousSessionSetup(const SmbIds& ids)
{
    Bytes words = AndXWords();
    PutLittleEndian16(words, kSmbClientBuffer);
    PutLittleEndian16(words, kMaxMpxCount);
    PutLittleEndian16(words, 0); // VcNumber
    PutLittleEndian32(words, 0); // SessionKey
    PutLittleEndian16(words, 0); // OEMPasswordLen: no password
    PutLittleEndian16(words, 0); // UnicodePasswordLen
    PutLittleEndian32(words, 0); // Reserved
    PutLittleEndian32(words, 0); // Capabilities: none, so strings stay OEM
    Bytes bytes;
    for (const char* text : {"", "", "Unix", "Parlino"}) // account, domain, native OS, native LAN manager
        PutText(bytes, text);
    return Request(SmbClientCommand::SessionSetup, ids, words, bytes);
}

Bytes EncodeTreeConnect(const SmbIds& ids, const std::string& path)
{
    Bytes words = AndXWords();
    PutLittleEndian16(words, 0); // Flags
    PutLittleEndian16(words, 1); // PasswordLength: the one zero byte of no password
    Bytes bytes = {0};
    PutText(bytes, path);
    PutText(bytes, "?????"); // any kind of share
    return Request(SmbClientCommand::TreeConnect, ids, words, bytes);
}

Bytes EncodePipeTransaction(const SmbIds& ids, const std::string& pipe, const Bytes& parameters, uint16_t maxParameters,
                            uint16_t maxData)
{
    const size_t parameterOffset = kSmbHeaderLength + 1 + 2 * kTransactionWords + 2 + pipe.size() + 1;
    const auto count = static_cast<uint16_t>(parameters.size());
    Bytes words;
    PutLittleEndian16(words, count); // TotalParameterCount
    PutLittleEndian16(words, 0);     // TotalDataCount
    PutLittleEndian16(words, maxParameters);
    PutLittleEndian16(words, maxData);
    words.resize(words.size() + 10, 0); // MaxSetupCount, a reserved byte, Flags, Timeout, a reserved word
    PutLittleEndian16(words, count);
    PutLittleEndian16(words, static_cast<uint16_t>(parameterOffset));
    PutLittleEndian16(words, 0); // DataCount
    PutLittleEndian16(words, static_cast<uint16_t>(parameterOffset + parameters.size()));
    PutLittleEndian16(words, 0); // SetupCount and a reserved byte
    Bytes bytes;
    PutText(bytes, pipe);
    bytes.insert(bytes.end(), parameters.begin(), parameters.end());
    return Request(SmbClientCommand::Transaction, ids, words, bytes);
}

std::optional<SmbReply> DecodeSmbReply(const uint8_t* data, size_t size)
{
    const auto frame = DecodeSmbReplyFrame(data, size);
    if (!frame)
        return std::nullopt;
    return SmbReply{frame->header.command, frame->header.ids, frame->header.status, frame->body};
}

bool ChoseNtLanManager(const SmbReply& negotiate)
{
    return negotiate.status == 0 && negotiate.body.wordCount == kNegotiateWords &&
           GetLittleEndian16(negotiate.body.words) == 0;
}

std::optional<TransactionPart> DecodeTransactionPart(const SmbReply& reply, const uint8_t* frame)
{
    const SmbBody& body = reply.body;
    if (reply.status != 0 || reply.command != static_cast<uint8_t>(SmbClientCommand::Transaction) ||
        body.wordCount < kTransactionReplyWords)
        return std::nullopt;
    LittleEndianReader words(body.words, 2 * size_t{body.wordCount});
    TransactionPart part;
    part.totalParameters = words.Word();
    part.totalData = words.Word();
    words.Skip(2);
    const size_t parameterCount = words.Word();
    const size_t parameterOffset = words.Word();
    part.parameterDisplacement = words.Word();
    const size_t dataCount = words.Word();
    const size_t dataOffset = words.Word();
    part.dataDisplacement = words.Word();
    const uint8_t setupCount = words.Byte();
    const auto bytesAt = static_cast<size_t>(body.bytes - frame);
    const auto bytesEnd = static_cast<size_t>(body.end - frame);
    const auto inBytes = [&](size_t offset, size_t count) {
        return count == 0 || (offset >= bytesAt && offset + count <= bytesEnd);
    };
    if (body.wordCount != kTransactionReplyWords + setupCount || !inBytes(parameterOffset, parameterCount) ||
        !inBytes(dataOffset, dataCount) || part.parameterDisplacement + parameterCount > part.totalParameters ||
        part.dataDisplacement + dataCount > part.totalData)
        return std::nullopt;
    part.parameters.assign(frame + parameterOffset, frame + parameterOffset + parameterCount);
    part.data.assign(frame + dataOffset, frame + dataOffset + dataCount);
    return part;
}

bool TransactionResult::Add(const TransactionPart& part)
{
    if (!started_) {
        started_ = true;
        totalParameters_ = part.totalParameters;
        totalData_ = part.totalData;
    }
    if (part.totalParameters != totalParameters_ || part.totalData != totalData_ ||
        part.parameterDisplacement != parameters_.size() || part.dataDisplacement != data_.size())
        return false;
    parameters_.insert(parameters_.end(), part.parameters.begin(), part.parameters.end());
    data_.insert(data_.end(), part.data.begin(), part.data.end());
    return true;
}

bool TransactionResult::Complete() const
{
    return started_ && parameters_.size() == totalParameters_ && data_.size() == totalData_;
}

} // namespace parlino
