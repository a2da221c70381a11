#pragma once

#include "platform/UniqueFd.h"

#include <QString>

namespace parlino {

// A name that only one process of this user session may hold; the operating system lets go of it
// when the holder dies, so a crashed run never blocks the next one.
class InstanceLock
{
public:
    virtual ~InstanceLock() = default;
    // True when this process now holds the name; false when another process already did.
    virtual bool Acquire(const QString& name) = 0;
};

// flock on "<name>.lock" in a per-user folder. The descriptor stays open until the process ends.
class FlockInstanceLock final : public InstanceLock
{
public:
    // $XDG_RUNTIME_DIR, or /tmp/parlino-<uid>/ when it is not set.
    FlockInstanceLock();
    explicit FlockInstanceLock(QString folder);

    bool Acquire(const QString& name) override;

    static QString DefaultFolder();

private:
    QString folder_;
    UniqueFd descriptor_;
};

} // namespace parlino
