#pragma once

#include "codec/NetbiosDatagram.h"

#include <string>

namespace parlino {

class CodePage;
struct NetworkIdentity;

// This computer's names on the NetBIOS network, upper case in the OEM code page: what every route
// sends from and answers to.
struct ThisComputer
{
    ThisComputer(const std::string& computerName, const std::string& workgroupName);

    std::string name;
    std::string workgroup;

    static ThisComputer Of(const NetworkIdentity& identity, const CodePage& codePage);
    // Whether a message to this destination is for this computer: its name as workstation, messenger or
    // server, its workgroup as workstation or messenger, or "*".
    bool IsAddressedBy(const NetbiosName& destination) const;
};

} // namespace parlino
