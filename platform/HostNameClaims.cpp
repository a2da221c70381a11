#include "platform/HostNameClaims.h"

#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>

namespace parlino {
namespace {

// An abstract Unix socket name lives as long as its socket, per network namespace, and never leaves
// a file behind after a crash.
class SocketClaim final : public HostNameClaims::Claim
{
public:
    explicit SocketClaim(UniqueFd fd) : fd_(std::move(fd)) {}

private:
    UniqueFd fd_;
};

} // namespace

HostNameClaims::Result AbstractSocketClaims::TryClaim(const std::string& name)
{
    const std::string full = "parlino/" + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (full.size() + 1 > sizeof(address.sun_path))
        return {};
    std::memcpy(address.sun_path + 1, full.data(), full.size());
    UniqueFd fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + full.size());
    if (!fd || ::bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), length) != 0)
        return {nullptr, errno == EADDRINUSE};
    return {std::make_unique<SocketClaim>(std::move(fd)), false};
}

} // namespace parlino
