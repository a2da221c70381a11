#pragma once

#include "platform/NetworkIdentity.h"

#include <QString>

namespace parlino {

// This computer's network name, as other stations address it.
class ComputerName
{
public:
    virtual ~ComputerName() = default;
    virtual QString Get() const = 0;
};

// The NetBIOS name of the identity the transport uses, so the name shown and the name answered agree.
class IdentityComputerName final : public ComputerName
{
public:
    explicit IdentityComputerName(const NetworkIdentity& identity) : identity_(identity) {}
    QString Get() const override { return identity_.netbiosName; }

private:
    const NetworkIdentity& identity_;
};

} // namespace parlino
