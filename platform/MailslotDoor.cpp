#include "platform/MailslotDoor.h"

#include "codec/SmbMailslot.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace parlino {
namespace {

// One call is one packet: the mailslot's name, 0x00, the message; the answer is one byte.
constexpr size_t kLongestSlotName = 255;
constexpr size_t kLargestCall = kLongestSlotName + 1 + kMaxMailslotData;
constexpr uint8_t kDelivered = 1;
// A caller that does not say its piece in this time is let go, so the next one is not held up.
constexpr int kCallerPatienceMs = 2000;

socklen_t DoorAddress(const std::string& computer, sockaddr_un& address)
{
    const std::string name = "parlino/door/" + computer;
    address = {};
    address.sun_family = AF_UNIX;
    const size_t length = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), length);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

bool Ready(int fd, short events, int timeoutMs)
{
    pollfd entry{fd, events, 0};
    int ready;
    do
        ready = ::poll(&entry, 1, timeoutMs);
    while (ready < 0 && errno == EINTR);
    return ready > 0;
}

} // namespace

MailslotDoor::MailslotDoor(const std::string& computer, MailslotSink& inboxes) : inboxes_(inboxes)
{
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    sockaddr_un address;
    const socklen_t length = DoorAddress(computer, address);
    if (!fd || ::bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd.Get(), 8) != 0)
        return;
    socket_ = std::move(fd);
    if (!poll_.Start(socket_.Get(), [this] { AnswerNext(); }))
        socket_.Reset();
}

MailslotDoor::~MailslotDoor()
{
    poll_.Stop();
}

void MailslotDoor::AnswerNext()
{
    UniqueFd caller(::accept4(socket_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (caller)
        Answer(caller.Get());
}

void MailslotDoor::Answer(int caller)
{
    std::vector<uint8_t> call(kLargestCall);
    if (!Ready(caller, POLLIN, kCallerPatienceMs))
        return;
    const ssize_t got = ::recv(caller, call.data(), call.size(), MSG_DONTWAIT | MSG_TRUNC);
    if (got <= 0 || static_cast<size_t>(got) > call.size())
        return;
    const auto end = call.begin() + got;
    const auto nameEnd = std::find(call.begin(), end, uint8_t{0});
    if (nameEnd == end)
        return;
    const std::string slot(call.begin(), nameEnd);
    const bool fits = static_cast<size_t>(end - (nameEnd + 1)) <= kMaxMailslotData;
    const uint8_t answer = fits && inboxes_.Deliver(slot, std::vector<uint8_t>(nameEnd + 1, end)) ? kDelivered : 0;
    ::send(caller, &answer, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
}

MailslotDoor::Knock MailslotDoor::Deliver(const std::string& computer, const std::string& slot,
                                          const std::vector<uint8_t>& message)
{
    if (message.size() > kMaxMailslotData || slot.size() > kLongestSlotName)
        return Knock::TooLong;
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    sockaddr_un address;
    const socklen_t length = DoorAddress(computer, address);
    if (!fd || ::connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), length) != 0)
        return Knock::NobodyHome;
    std::vector<uint8_t> call(slot.begin(), slot.end());
    call.push_back(0);
    call.insert(call.end(), message.begin(), message.end());
    uint8_t answer = 0;
    if (::send(fd.Get(), call.data(), call.size(), MSG_NOSIGNAL) < 0 ||
        !Ready(fd.Get(), POLLIN, 2 * kCallerPatienceMs) || ::recv(fd.Get(), &answer, 1, 0) != 1)
        return Knock::Refused;
    return answer == kDelivered ? Knock::Delivered : Knock::Refused;
}

} // namespace parlino
