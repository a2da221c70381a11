#include "codec/BrowseFrames.h"

#include <gtest/gtest.h>

namespace parlino {
namespace {

using Bytes = std::vector<uint8_t>;

std::optional<BrowseFrame> Decode(const Bytes& bytes)
{
    return DecodeBrowseFrame(bytes.data(), bytes.size());
}

BrowseFrame Host(const std::string& name, uint32_t periodicity = 60000, uint32_t type = 0x1003)
{
    return {BrowseOpcode::HostAnnouncement, periodicity, name, 6, 1, type, "Parlino"};
}

TEST(BrowseFramesTest, EveryKindSurvivesItsRoundTrip)
{
    const BrowseFrame frames[] = {
        Host("ALICE"),
        {BrowseOpcode::LocalMasterAnnouncement, 720000, "BOB", 4, 9, 0x40000003, ""},
        {BrowseOpcode::DomainAnnouncement, 720000, "OFFICE", 15, 1, 0x80001000, "BOB"},
        {BrowseOpcode::AnnouncementRequest, 0, "", 6, 1, 0, "ALICE"},
        Host("FIFTEEN_LETTERS"),
    };
    for (const BrowseFrame& frame : frames)
        EXPECT_EQ(Decode(EncodeBrowseFrame(frame)), frame) << frame.name;
}

TEST(BrowseFramesTest, HostAnnouncementLayout)
{
    const Bytes bytes = EncodeBrowseFrame(Host("ALICE", 0x000EA600, 0x1003));
    const Bytes expected = {0x01, 0x00, 0x00, 0xA6, 0x0E, 0x00, // opcode, count, periodicity
                            'A',  'L',  'I',  'C',  'E',  0,    0,   0, 0, 0, 0, 0, 0, 0, 0, 0, // name field of 16
                            6,    1,    0x03, 0x10, 0x00, 0x00, // OS version, server type
                            15,   1,    0x55, 0xAA,             // browser version, signature
                            'P',  'a',  'r',  'l',  'i',  'n',  'o', 0};
    EXPECT_EQ(bytes, expected);
}

TEST(BrowseFramesTest, MalformedFramesAreDropped)
{
    Bytes good = EncodeBrowseFrame(Host("ALICE"));
    Bytes noNameEnd = good;
    std::fill(noNameEnd.begin() + 6, noNameEnd.begin() + 22, 'X');
    Bytes emptyName = good;
    emptyName[6] = 0;
    const Bytes noCommentEnd(good.begin(), good.end() - 1);
    Bytes wrongOpcode = good;
    wrongOpcode[0] = 0x08;
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"opcode alone", {0x01}},
        {"short announcement", Bytes(good.begin(), good.begin() + 31)},
        {"fixed part without comment", Bytes(good.begin(), good.begin() + 32)},
        {"name without terminator", noNameEnd},
        {"empty name", emptyName},
        {"comment without terminator", noCommentEnd},
        {"unknown opcode", wrongOpcode},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_EQ(Decode(bytes), std::nullopt) << what;
}

TEST(BrowseFramesTest, OverlongCommentIsCut)
{
    BrowseFrame frame = Host("ALICE");
    const Bytes encoded = EncodeBrowseFrame(frame);
    Bytes bytes(encoded.begin(), encoded.end() - 1);
    bytes.insert(bytes.end(), 100, 'c');
    bytes.push_back(0);
    ASSERT_TRUE(Decode(bytes));
    EXPECT_EQ(Decode(bytes)->comment.size(), kMaxBrowseComment);
}

} // namespace
} // namespace parlino
