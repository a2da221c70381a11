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

// Whether a part's section goes on where the joined bytes end, of a transaction of the same total.
bool Follows(const TransactionSection& joined, const TransactionSection& part)
{
    return part.total == joined.total && part.displacement == joined.bytes.size();
}

void Append(TransactionSection& joined, const TransactionSection& part)
{
    joined.bytes.insert(joined.bytes.end(), part.bytes.begin(), part.bytes.end());
}

bool Whole(const TransactionSection& joined)
{
    return joined.bytes.size() == joined.total;
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
    part.parameters.total = words.Word();
    part.data.total = words.Word();
    words.Skip(2);
    const auto bytesAt = static_cast<size_t>(body.bytes - frame);
    const auto bytesEnd = static_cast<size_t>(body.end - frame);
    // A section's count, offset and displacement; false unless its bytes lie in the reply's and inside the total.
    const auto readSection = [&](TransactionSection& section) {
        const size_t count = words.Word();
        const size_t offset = words.Word();
        section.displacement = words.Word();
        if ((count != 0 && (offset < bytesAt || offset + count > bytesEnd)) ||
            section.displacement + count > section.total)
            return false;
        section.bytes.assign(frame + offset, frame + offset + count);
        return true;
    };
    if (!readSection(part.parameters) || !readSection(part.data) ||
        body.wordCount != kTransactionReplyWords + words.Byte())
        return std::nullopt;
    return part;
}

bool TransactionResult::Add(const TransactionPart& part)
{
    if (!started_) {
        started_ = true;
        parameters_.total = part.parameters.total;
        data_.total = part.data.total;
    }
    if (!Follows(parameters_, part.parameters) || !Follows(data_, part.data))
        return false;
    Append(parameters_, part.parameters);
    Append(data_, part.data);
    return true;
}

bool TransactionResult::Complete() const
{
    return started_ && Whole(parameters_) && Whole(data_);
}

} // namespace parlino
