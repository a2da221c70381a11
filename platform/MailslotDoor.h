#pragma once

#include "platform/MailslotSink.h"
#include "platform/PollThread.h"
#include "platform/UniqueFd.h"

#include <cstdint>
#include <string>
#include <vector>

namespace parlino {

// A door through which other programs on this host hand messages to this computer's mailslots (smbd's
// message command runs as another user and cannot reach them otherwise). It is an abstract Unix socket
// named after the computer, so that, like a mailslot's name, it belongs to one program per network
// namespace, and leaves nothing behind. Each caller is served in turn on a thread of the door's own.
class MailslotDoor
{
public:
    // The door stays shut when another program holds the name.
    MailslotDoor(const std::string& computer, MailslotSink& inboxes);
    ~MailslotDoor();
    MailslotDoor(const MailslotDoor&) = delete;
    MailslotDoor& operator=(const MailslotDoor&) = delete;

    bool IsOpen() const { return static_cast<bool>(socket_); }

    enum class Knock {
        Delivered,
        Refused,    // the door is there, but that mailslot is not open or has no room
        NobodyHome, // no program holds the door
        TooLong     // longer than any mailslot's reader takes
    };
    // Hands one message to the mailslot of the computer's door and waits for its answer. A message takes the
    // door only when it is no longer than a datagram could bring (kMaxMailslotData), as the reader expects.
    static Knock Deliver(const std::string& computer, const std::string& slot, const std::vector<uint8_t>& message);

private:
    void AnswerNext();
    void Answer(int caller);

    MailslotSink& inboxes_;
    UniqueFd socket_;
    PollThread poll_;
};

} // namespace parlino
