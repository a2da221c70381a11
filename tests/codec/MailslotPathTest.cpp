#include "codec/MailslotPath.h"

#include <gtest/gtest.h>
#include <string>

namespace parlino {
namespace {

TEST(MailslotPathTest, ParsesHostAndSlot)
{
    struct Case
    {
        std::string path;
        bool valid;
        std::string host, slot;
    };
    const Case cases[] = {
        {"\\\\.\\mailslot\\messngr", true, ".", "messngr"},
        {"\\\\BOB\\MAILSLOT\\MESSNGR", true, "BOB", "MESSNGR"},
        {"\\\\*\\mailslot\\browse\\sub", true, "*", "browse\\sub"},
        {"\\\\.\\mailslot\\", false, "", ""},
        {"\\\\\\mailslot\\x", false, "", ""},
        {"\\\\.\\pipe\\x", false, "", ""},
        {"\\.\\mailslot\\x", false, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseMailslotPath(c.path);
        ASSERT_EQ(parsed.has_value(), c.valid) << c.path;
        if (parsed) {
            EXPECT_EQ(parsed->host, c.host);
            EXPECT_EQ(parsed->slot, c.slot);
        }
    }
}

} // namespace
} // namespace parlino
