#include "platform/MailslotDoor.h"

#include "codec/SmbMailslot.h"
#include "platform/LocalMailslots.h"

#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace parlino {
namespace {

TEST(MailslotDoorTest, HandsMessagesToAnOpenMailslotAndSaysWhenNobodyTakesThem)
{
    const std::string computer = "DOORTEST" + std::to_string(::getpid());
    const std::vector<uint8_t> message = {'A', 0, 'B', 0, 'h', 'i'};
    EXPECT_EQ(MailslotDoor::Deliver(computer, "MESSNGR", message), MailslotDoor::Knock::NobodyHome);

    LocalMailslots inboxes;
    std::optional<MailslotDoor> door(std::in_place, computer, inboxes);
    ASSERT_TRUE(door->IsOpen());
    EXPECT_FALSE(MailslotDoor(computer, inboxes).IsOpen()) << "one holder per name";
    EXPECT_EQ(MailslotDoor::Deliver(computer, "MESSNGR", message), MailslotDoor::Knock::Refused);

    const MailslotHandle handle = inboxes.Create("messngr", 0, 0);
    EXPECT_EQ(MailslotDoor::Deliver(computer, "MESSNGR", message), MailslotDoor::Knock::Delivered);
    std::vector<uint8_t> read(64);
    uint32_t size = 0;
    ASSERT_TRUE(inboxes.Read(handle, read.data(), static_cast<uint32_t>(read.size()), &size));
    read.resize(size);
    EXPECT_EQ(read, message);
    // What no reader of a mailslot takes stays with the caller.
    EXPECT_EQ(MailslotDoor::Deliver(computer, "MESSNGR", std::vector<uint8_t>(kMaxMailslotData + 1)),
              MailslotDoor::Knock::TooLong);

    door.reset();
    EXPECT_EQ(MailslotDoor::Deliver(computer, "MESSNGR", message), MailslotDoor::Knock::NobodyHome);
}

} // namespace
} // namespace parlino
