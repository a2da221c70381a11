#pragma once

#include "codec/SmbHeader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace parlino {

// The SMB1 message commands that carry a messenger text over a NetBIOS session (MS-MSRP 2.2.3): one
// command for a text of up to 128 bytes, or a start, text blocks and an end for a longer one.
enum class SmbMessageCommand : uint8_t { Single = 0xD0, Start = 0xD5, End = 0xD6, Text = 0xD7 };

// The most text one single-block message or one text block carries.
constexpr size_t kSmbMessageBlock = 128;

// An SMB1 Status as it lies in the header (little-endian); a DOS error is its class in the low byte and its
// code in the high half. Zero is success.
constexpr uint32_t DosError(uint8_t errorClass, uint16_t code)
{
    return errorClass | (uint32_t{code} << 16);
}
constexpr uint8_t kErrSrv = 0x02;
constexpr uint32_t kErrSrvError = DosError(kErrSrv, 1);        // ERRerror: a malformed or unexpected request
constexpr uint32_t kErrSrvBadCommand = DosError(kErrSrv, 64);  // ERRsmbcmd: not a command served here
constexpr uint32_t kErrSrvMessagesOff = DosError(kErrSrv, 82); // ERRmsgoff: nobody receives for that name
constexpr uint32_t kErrSrvNoRoom = DosError(kErrSrv, 83);      // ERRnoroom: the message is too long

struct SmbRequestHeader
{
    uint8_t command = 0;
    SmbIds ids;
};

struct SmbMessageRequest
{
    SmbMessageCommand command = SmbMessageCommand::Single;
    SmbIds ids;
    std::string originator;  // Single, Start
    std::string destination; // Single, Start
    uint16_t groupId = 0;    // Text, End
    std::string text;        // Single, Text: the bytes as sent, in the sender's OEM code page

    bool operator==(const SmbMessageRequest&) const = default;
};

struct SmbMessageResponse
{
    uint8_t command = 0;
    SmbIds ids;
    uint32_t status = 0;
    bool ntStatus = false; // Status is an NT status code rather than a DOS error
    uint16_t groupId = 0;  // a Start's response

    bool operator==(const SmbMessageResponse&) const = default;
};

// Messenger texts end their lines with CR LF: every LF not already after a CR gets one.
std::string WithCrLf(const std::string& text);

// The header of an SMB1 request; nullopt for anything else (another protocol, a response, too short).
std::optional<SmbRequestHeader> DecodeSmbRequestHeader(const uint8_t* data, size_t size);
// Nullopt for anything but a well-formed request of the four commands whose counts stay inside the frame.
std::optional<SmbMessageRequest> DecodeSmbMessageRequest(const uint8_t* data, size_t size);
Bytes EncodeSmbMessageRequest(const SmbMessageRequest& request);

// The response to a request: with status 0 the command's own (a Start's carries groupId), else an error
// response (WordCount 0, ByteCount 0).
Bytes EncodeSmbMessageResponse(uint8_t command, const SmbIds& ids, uint32_t status, uint16_t groupId = 0);
// Nullopt for anything but an SMB1 response whose counts stay inside the frame.
std::optional<SmbMessageResponse> DecodeSmbMessageResponse(const uint8_t* data, size_t size);

} // namespace parlino
