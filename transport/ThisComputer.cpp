#include "transport/ThisComputer.h"

#include "codec/MailslotPath.h"
#include "platform/CodePage.h"
#include "platform/NetworkIdentity.h"

namespace parlino {
ThisComputer::ThisComputer(const std::string& computerName, const std::string& workgroupName)
    : name(UpperAscii(computerName)), workgroup(UpperAscii(workgroupName))
{}

ThisComputer ThisComputer::Of(const NetworkIdentity& identity, const CodePage& codePage)
{
    return {codePage.ToOemBytes(identity.netbiosName), codePage.ToOemBytes(identity.workgroup)};
}

bool ThisComputer::IsAddressedBy(const NetbiosName& destination) const
{
    const std::string target = ComparableNetbiosName(destination.name);
    if (target == "*")
        return true;
    if (target == name)
        return destination.suffix == kWorkstationSuffix || destination.suffix == kMessengerSuffix ||
               destination.suffix == kServerSuffix;
    if (target == workgroup)
        return destination.suffix == kWorkstationSuffix || destination.suffix == kMessengerSuffix;
    return false;
}

} // namespace parlino
