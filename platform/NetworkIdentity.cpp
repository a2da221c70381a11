#include "platform/NetworkIdentity.h"

#include <QFile>
#include <QHostAddress>
#include <QSysInfo>

namespace parlino {
namespace {

constexpr int kNetbiosNameLength = 15;

QString Squeezed(QString key)
{
    key.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
    return key.toLower();
}

// Names separated by white space or commas, as Samba's list parameters are written.
QStringList NameList(const QString& text)
{
    return QString(text)
        .replace(QLatin1Char(','), QLatin1Char(' '))
        .simplified()
        .split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

QString NetbiosForm(const QString& name)
{
    return name.trimmed().toUpper().left(kNetbiosNameLength);
}

NetworkIdentity ParseSambaIdentity(const QString& smbConf, const QString& hostName)
{
    NetworkIdentity identity;
    identity.netbiosName = NetbiosForm(hostName.section(QLatin1Char('.'), 0, 0));
    identity.workgroup = QStringLiteral("WORKGROUP");
    identity.dosCharset = QStringLiteral("CP850");

    // Backslash-newline continues a line, as in Samba's parser.
    QString text = smbConf;
    text.replace(QLatin1String("\\\r\n"), QLatin1String(" ")).replace(QLatin1String("\\\n"), QLatin1String(" "));
    bool inGlobal = false;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inGlobal = Squeezed(line) == QStringLiteral("[global]");
            continue;
        }
        const auto equals = line.indexOf(QLatin1Char('='));
        if (!inGlobal || equals < 0)
            continue;
        const QString key = Squeezed(line.left(equals));
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QStringLiteral("netbiosname") && !value.isEmpty())
            identity.netbiosName = NetbiosForm(value);
        else if (key == QStringLiteral("workgroup") && !value.isEmpty())
            identity.workgroup = NetbiosForm(value);
        else if (key == QStringLiteral("doscharset") && !value.isEmpty())
            identity.dosCharset = value;
        else if (key == QStringLiteral("interfaces"))
            identity.interfaces = NameList(value);
    }
    return identity;
}

NetworkIdentity LoadNetworkIdentity(const QString& smbConfPath, const QString& hostName, const Environment& env)
{
    QString conf;
    QFile file(smbConfPath);
    if (file.open(QIODevice::ReadOnly))
        conf = QString::fromUtf8(file.readAll());
    NetworkIdentity identity = ParseSambaIdentity(conf, hostName);

    if (const QString name = env("PARLINO_NETBIOS_NAME"); !name.trimmed().isEmpty())
        identity.netbiosName = NetbiosForm(name);
    if (const QString group = env("PARLINO_WORKGROUP"); !group.trimmed().isEmpty())
        identity.workgroup = NetbiosForm(group);
    if (const QString charset = env("PARLINO_DOS_CHARSET"); !charset.trimmed().isEmpty())
        identity.dosCharset = charset.trimmed();
    if (const QString interfaces = env("PARLINO_INTERFACES"); !interfaces.trimmed().isEmpty())
        identity.interfaces = NameList(interfaces);
    const auto readPort = [&env](const char* name, uint16_t& port) {
        bool ok = false;
        const uint value = env(name).toUInt(&ok);
        if (ok && value > 0 && value <= 0xFFFF)
            port = static_cast<uint16_t>(value);
    };
    readPort("PARLINO_NBT_PORT", identity.datagramPort);
    readPort("PARLINO_NBSS_PORT", identity.sessionPort);
    // Stand-in until the WINS server list is read in full (smb.conf and this variable).
    for (const QString& server : env("PARLINO_WINS_SERVER").split(u',', Qt::SkipEmptyParts))
        if (const QHostAddress address(server.trimmed()); address.protocol() == QAbstractSocket::IPv4Protocol)
            identity.winsServers.push_back(address.toIPv4Address());
    return identity;
}

NetworkIdentity SystemNetworkIdentity()
{
    return LoadNetworkIdentity(QStringLiteral("/etc/samba/smb.conf"), QSysInfo::machineHostName(),
                               [](const char* name) { return qEnvironmentVariable(name); });
}

} // namespace parlino
