#pragma once

#include "platform/MachineStore.h"

#include <QHash>

namespace parlino::fake {

// An in-memory store; counts reads so tests can tell when it was consulted.
class FakeMachineStore final : public MachineStore
{
public:
    QString ReadString(const QString& section, const QString& name) const override
    {
        ++reads_;
        return values_.value(section + QLatin1Char('\n') + name);
    }

    void Set(const QString& section, const QString& name, const QString& value)
    {
        values_.insert(section + QLatin1Char('\n') + name, value);
    }
    int Reads() const { return reads_; }

private:
    QHash<QString, QString> values_;
    mutable int reads_ = 0;
};

} // namespace parlino::fake
