#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace parlino {

// Who this computer is on the NetBIOS network.
struct NetworkIdentity
{
    QString netbiosName; // upper case, at most 15 characters
    QString workgroup;   // upper case, at most 15 characters
    QString dosCharset;  // the OEM code page of the wire
    QStringList interfaces;
    uint16_t datagramPort = 138;
    uint16_t sessionPort = 139;        // where SMB messages arrive over NetBIOS sessions
    std::vector<uint32_t> winsServers; // host byte order, in the order given
};

// Reads [global] of an smb.conf text: "netbios name", "workgroup", "dos charset", "interfaces".
// Names are matched without regard to case or blanks, as Samba does.
NetworkIdentity ParseSambaIdentity(const QString& smbConf, const QString& hostName);

// The identity from the Samba configuration (when readable) and the host name, overridden by
// PARLINO_NETBIOS_NAME, PARLINO_WORKGROUP, PARLINO_DOS_CHARSET, PARLINO_INTERFACES, PARLINO_NBT_PORT and
// PARLINO_NBSS_PORT.
using Environment = std::function<QString(const char* name)>;
NetworkIdentity LoadNetworkIdentity(const QString& smbConfPath, const QString& hostName, const Environment& env);

// The system's own: /etc/samba/smb.conf, the kernel's host name, the process environment.
NetworkIdentity SystemNetworkIdentity();

// Upper case, cut to the 15 characters a NetBIOS name holds.
QString NetbiosForm(const QString& name);

} // namespace parlino
