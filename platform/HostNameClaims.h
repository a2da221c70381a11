#pragma once

#include <memory>
#include <string>

namespace parlino {

// Names that only one program on this host may hold at a time (a local mailslot's name).
// A claim is released when its object is destroyed or its process dies.
class HostNameClaims
{
public:
    class Claim
    {
    public:
        virtual ~Claim() = default;
    };

    virtual ~HostNameClaims() = default;
    // Nullptr when another holder has the name.
    virtual std::unique_ptr<Claim> TryClaim(const std::string& name) = 0;
};

class AbstractSocketClaims final : public HostNameClaims
{
public:
    std::unique_ptr<Claim> TryClaim(const std::string& name) override;
};

} // namespace parlino
