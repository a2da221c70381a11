#pragma once

#include "codec/SmbHeader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace parlino {

// The client side of an anonymous SMB1 connection to a server's IPC$ share (MS-CIFS), as far as asking a
// browser for its lists needs it: NEGOTIATE offering NT LM 0.12 alone, an anonymous SESSION_SETUP_ANDX without
// extended security, TREE_CONNECT_ANDX and a TRANSACTION on a named pipe. Strings go out in the OEM code page
// (Flags2 0); the UID and TID a later request needs come in the replies' headers.
enum class SmbClientCommand : uint8_t { Transaction = 0x25, Negotiate = 0x72, SessionSetup = 0x73, TreeConnect = 0x75 };

// The largest SMB this client takes, as its session setup tells the server.
constexpr uint16_t kSmbClientBuffer = 0xFFFF;

Bytes EncodeNegotiateRequest(const SmbIds& ids);
Bytes EncodeAnonymousSessionSetup(const SmbIds& ids);
// path: the share as "\\SERVER\IPC$".
Bytes EncodeTreeConnect(const SmbIds& ids, const std::string& path);
// A transaction on a named pipe ("\PIPE\LANMAN") that carries parameters and no data; the server may answer with
// up to maxParameters and maxData bytes.
Bytes EncodePipeTransaction(const SmbIds& ids, const std::string& pipe, const Bytes& parameters, uint16_t maxParameters,
                            uint16_t maxData);

struct SmbReply
{
    uint8_t command = 0;
    SmbIds ids;
    uint32_t status = 0; // 0 is success, whether a DOS error or an NT status
    SmbBody body;
};

// Nullopt for anything but an SMB1 reply whose counts stay inside the frame.
std::optional<SmbReply> DecodeSmbReply(const uint8_t* data, size_t size);
// Whether a negotiate reply chose the one dialect offered (NT LM 0.12).
bool ChoseNtLanManager(const SmbReply& negotiate);

// One reply's share of a transaction's parameters or of its data, and where that share goes in the whole.
struct TransactionSection
{
    uint16_t total = 0;
    uint16_t displacement = 0;
    Bytes bytes;

    bool operator==(const TransactionSection&) const = default;
};

// One reply of a transaction: its part of the parameters and data.
struct TransactionPart
{
    TransactionSection parameters;
    TransactionSection data;

    bool operator==(const TransactionPart&) const = default;
};

// The part a reply decoded from frame carries; nullopt unless a successful transaction reply whose parameters and
// data lie in its bytes and inside the totals.
std::optional<TransactionPart> DecodeTransactionPart(const SmbReply& reply, const uint8_t* frame);

// A transaction's whole parameters and data, joined from its replies in order.
class TransactionResult
{
public:
    // False when the part does not follow the parts before: other totals, or a gap or overlap.
    bool Add(const TransactionPart& part);
    bool Complete() const;
    const Bytes& Parameters() const { return parameters_.bytes; }
    const Bytes& Data() const { return data_.bytes; }

private:
    bool started_ = false;
    // The totals, and the bytes joined so far from displacement 0.
    TransactionSection parameters_;
    TransactionSection data_;
};

} // namespace parlino
