#include "platform/MachineStore.h"

#include "codec/ProfileFile.h"

#include <QFile>

namespace parlino {

IniMachineStore::IniMachineStore(QString path) : path_(std::move(path)) {}

QString IniMachineStore::DefaultPath()
{
    const QString chosen = qEnvironmentVariable("PARLINO_MACHINE_INI");
    return chosen.isEmpty() ? QStringLiteral(PARLINO_DEFAULT_MACHINE_INI) : chosen;
}

QString IniMachineStore::ReadString(const QString& section, const QString& name) const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const ProfileFile profile(file.readAll().toStdString());
    const auto value = profile.Value(section.toStdString(), name.toStdString());
    return value ? QString::fromStdString(*value) : QString();
}

} // namespace parlino
