#pragma once

#include "tests/support/Bytes.h"

namespace parlino::test {

// What Samba 4.17's smbd answered a client that asked as MasterBrowserClient does (MIDs 1 to 5), as master browser
// SAMBA1 of workgroup OFFICE that knew the server FARHOST.
inline const std::vector<uint8_t> kSambaNegotiateReply =
    BytesFromHex("ff 53 4d 42 72 00 00 00 00 80 03 40 00 00 00 00 00 00 00 00 00 00 00 00 00 00 42 42 00 00 01 00"
                 "11 00 00 03 32 00 01 00 04 41 00 00 00 00 01 00 08 10 00 00 fd f3 80 00 fc 96 9f 8a e6 86 dd 01"
                 "00 00 08 24 00 5e 54 dc f2 dd 44 a1 d3 4f 00 46 00 46 00 49 00 43 00 45 00 00 00 53 00 41 00 4d"
                 "00 42 00 41 00 31 00 00 00");
inline const std::vector<uint8_t> kSambaSessionSetupReply =
    BytesFromHex("ff 53 4d 42 73 00 00 00 00 80 03 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 42 42 39 1e 02 00"
                 "03 ff 00 00 00 00 00 28 00 57 69 6e 64 6f 77 73 20 36 2e 31 00 53 61 6d 62 61 20 34 2e 31 37 2e"
                 "31 32 2d 44 65 62 69 61 6e 00 4f 46 46 49 43 45 00");
inline const std::vector<uint8_t> kSambaTreeConnectReply =
    BytesFromHex("ff 53 4d 42 75 00 00 00 00 80 03 00 00 00 00 00 00 00 00 00 00 00 00 00 2e 7a 42 42 39 1e 03 00"
                 "03 ff 00 00 00 01 00 05 00 49 50 43 00 00");
// NetServerEnum2 for OFFICE's servers: FARHOST and SAMBA1, each with the comment "Samba 4.17.12-Debian".
inline const std::vector<uint8_t> kSambaServersReply =
    BytesFromHex("ff 53 4d 42 25 00 00 00 00 80 03 00 00 00 00 00 00 00 00 00 00 00 00 00 2e 7a 42 42 39 1e 04 00"
                 "0a 08 00 5e 00 00 00 08 00 38 00 00 00 5e 00 40 00 00 00 00 00 67 00 00 00 00 00 00 02 00 02 00"
                 "46 41 52 48 4f 53 54 00 00 00 00 00 00 00 00 00 00 00 03 9a 81 00 34 00 00 00 53 41 4d 42 41 31"
                 "00 00 00 00 00 00 00 00 00 00 00 00 03 9a 84 00 49 00 00 00 53 61 6d 62 61 20 34 2e 31 37 2e 31"
                 "32 2d 44 65 62 69 61 6e 00 53 61 6d 62 61 20 34 2e 31 37 2e 31 32 2d 44 65 62 69 61 6e 00");
// NetServerEnum2 for the workgroups: OFFICE, whose master browser is SAMBA1.
inline const std::vector<uint8_t> kSambaWorkgroupsReply =
    BytesFromHex("ff 53 4d 42 25 00 00 00 00 80 03 00 00 00 00 00 00 00 00 00 00 00 00 00 2e 7a 42 42 39 1e 05 00"
                 "0a 08 00 21 00 00 00 08 00 38 00 00 00 21 00 40 00 00 00 00 00 2a 00 00 00 00 00 00 01 00 01 00"
                 "4f 46 46 49 43 45 00 00 00 00 00 00 00 00 00 00 00 00 00 10 00 80 1a 00 00 00 53 41 4d 42 41 31"
                 "00");

} // namespace parlino::test
