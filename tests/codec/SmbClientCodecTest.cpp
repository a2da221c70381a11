#include "codec/RapServerEnum.h"
#include "codec/SmbClient.h"
#include "tests/support/SambaBrowserReplies.h"

#include <gtest/gtest.h>

namespace parlino {
namespace {

// The servers a browser's one transaction reply lists; nullopt when any layer refuses it or the browser says no.
std::optional<std::vector<ServerInfo>> Listed(const Bytes& frame)
{
    const auto reply = DecodeSmbReply(frame.data(), frame.size());
    const auto part = reply ? DecodeTransactionPart(*reply, frame.data()) : std::nullopt;
    TransactionResult result;
    if (!part || !result.Add(*part) || !result.Complete())
        return std::nullopt;
    const auto listed = DecodeServerEnumReply(result.Parameters(), result.Data());
    return listed && listed->status == kRapSuccess ? std::optional(listed->servers) : std::nullopt;
}

TEST(SmbClientCodecTest, SambasRepliesGiveItsLists)
{
    const std::string samba = "Samba 4.17.12-Debian";
    EXPECT_EQ(Listed(test::kSambaServersReply),
              (std::vector<ServerInfo>{{"FARHOST", 0x00819a03, samba}, {"SAMBA1", 0x00849a03, samba}}));
    EXPECT_EQ(Listed(test::kSambaWorkgroupsReply), (std::vector<ServerInfo>{{"OFFICE", 0x80001000, "SAMBA1"}}));
}

TEST(SmbClientCodecTest, ConvertedPointersAndAnswersInPartsAreFollowed)
{
    // As Windows answers: comment pointers plus a converter (0x1000), ERROR_MORE_DATA, and the data in two parts.
    const Bytes parameters = test::BytesFromHex("ea 00 00 10 01 00 03 00");
    const Bytes data = test::BytesFromHex("48 4f 53 54 00 00 00 00 00 00 00 00 00 00 00 00 06 01"
                                          "03 10 00 00 1a 10 00 00 68 69 00");
    const auto total = static_cast<uint16_t>(data.size());
    TransactionResult result;
    EXPECT_TRUE(result.Add({{8, 0, parameters}, {total, 0, Bytes(data.begin(), data.begin() + 10)}}));
    EXPECT_FALSE(result.Complete());
    EXPECT_FALSE(TransactionResult(result).Add({{8, 8, {}}, {total, 11, Bytes(data.begin() + 11, data.end())}}));
    EXPECT_TRUE(result.Add({{8, 8, {}}, {total, 10, Bytes(data.begin() + 10, data.end())}}));
    ASSERT_TRUE(result.Complete());
    EXPECT_EQ(DecodeServerEnumReply(result.Parameters(), result.Data()),
              (ServerEnumReply{kRapMoreData, 3, {{"HOST", 0x1003, "hi"}}}));
}

TEST(SmbClientCodecTest, DamagedListsGiveNothing)
{
    struct Damage
    {
        const char* what;
        size_t at;
        int value; // -1: cut the frame at `at`
    };
    const Damage damages[] = {{"empty", 0, -1},
                              {"cut in the data", 150, -1},
                              {"a request", 9, 0x00},
                              {"an error status", 5, 0x22},
                              {"another command", 4, 0x26},
                              {"parameters before the bytes", 41, 0x20},
                              {"data past the bytes", 47, 0x41},
                              {"a part past its totals", 35, 0x5d},
                              {"setup words left out", 51, 0x01},
                              {"the browser refused", 56, 0x05},
                              {"more entries than the data holds", 60, 0x04},
                              {"a comment pointer past the data", 86, 0x5e},
                              {"a comment without its end", 157, 'x'}};
    for (const Damage& damage : damages)
        EXPECT_FALSE(Listed(test::Damaged(test::kSambaServersReply, damage.at, damage.value))) << damage.what;
}

} // namespace
} // namespace parlino
