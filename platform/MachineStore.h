#pragma once

#include <QString>

namespace parlino {

// Machine-wide configuration that an installation writes and every user reads.
class MachineStore
{
public:
    virtual ~MachineStore() = default;
    // The value, or an empty text when the store, the section or the value is missing or unreadable.
    virtual QString ReadString(const QString& section, const QString& name) const = 0;
};

// A profile-format file: the one PARLINO_MACHINE_INI names at run time, else the one chosen when building
// (/etc/parlino/machine.ini unless the build says otherwise).
class IniMachineStore final : public MachineStore
{
public:
    explicit IniMachineStore(QString path = DefaultPath());
    QString ReadString(const QString& section, const QString& name) const override;

    static QString DefaultPath();

private:
    QString path_;
};

} // namespace parlino
