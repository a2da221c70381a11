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

    // The claim, or none: because another holder has the name, or because the system refused it (no
    // descriptors or memory left, no permission, a name too long to hold).
    struct Result
    {
        std::unique_ptr<Claim> claim;
        bool heldElsewhere = false;
    };

    virtual ~HostNameClaims() = default;
    virtual Result TryClaim(const std::string& name) = 0;
};

class AbstractSocketClaims final : public HostNameClaims
{
public:
    Result TryClaim(const std::string& name) override;
};

} // namespace parlino
