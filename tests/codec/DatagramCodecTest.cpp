#include "codec/Crc16.h"
#include "codec/NetbiosDatagram.h"
#include "codec/RepeatFilter.h"
#include "codec/SmbMailslot.h"
#include "codec/WinPopupDatagram.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace parlino {
namespace {

using Bytes = std::vector<uint8_t>;

using test::BytesFromHex;
using test::BytesOf;
using test::Damaged;

// ALICE (192.168.1.10) to BOB<03>, "Hi!", datagram id 0x1234.
const Bytes kAliceToBob = BytesFromHex("10 0a 12 34 c0 a8 01 0a 00 8a 00 a8 00 00 20 45"
                                       "42 45 4d 45 4a 45 44 45 46 43 41 43 41 43 41 43"
                                       "41 43 41 43 41 43 41 43 41 43 41 43 41 41 41 00"
                                       "20 45 43 45 50 45 43 43 41 43 41 43 41 43 41 43"
                                       "41 43 41 43 41 43 41 43 41 43 41 43 41 43 41 41"
                                       "44 00 ff 53 4d 42 25 00 00 00 00 00 00 00 00 00"
                                       "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                                       "00 00 11 00 00 0d 00 00 00 00 00 00 00 00 00 00"
                                       "00 00 00 00 00 00 00 00 00 0d 00 57 00 03 00 01"
                                       "00 01 00 02 00 1f 00 5c 4d 41 49 4c 53 4c 4f 54"
                                       "5c 4d 45 53 53 4e 47 52 00 41 4c 49 43 45 00 42"
                                       "4f 42 00 48 69 21");

NetbiosDatagram AliceToBob()
{
    NetbiosDatagram datagram;
    datagram.type = DatagramType::DirectUnique;
    datagram.id = 0x1234;
    datagram.sourceAddress = 0xC0A8010A;
    datagram.source = {"ALICE", 0x00};
    datagram.destination = {"BOB", 0x03};
    const Bytes message = BuildWinPopupDatagram("ALICE", "BOB", "Hi!");
    datagram.userData = EncodeMailslotWrite("\\MAILSLOT\\MESSNGR", message.data(), message.size());
    return datagram;
}

TEST(WireFrameTest, AliceToBobComesOutByteForByte)
{
    const Bytes frame = EncodeDatagram(AliceToBob());
    ASSERT_EQ(frame.size(), 182u);
    EXPECT_EQ(frame, kAliceToBob);
}

TEST(WireFrameTest, AliceToBobDecodesToItsParts)
{
    const auto datagram = DecodeDatagram(kAliceToBob.data(), kAliceToBob.size());
    ASSERT_TRUE(datagram);
    EXPECT_EQ(*datagram, AliceToBob());
    const auto write = DecodeMailslotWrite(datagram->userData.data(), datagram->userData.size());
    ASSERT_TRUE(write);
    EXPECT_EQ(write->mailslot, "\\MAILSLOT\\MESSNGR");
    EXPECT_EQ(write->data, BytesOf(std::string("ALICE\0BOB\0Hi!", 13)));
}

TEST(WireFrameTest, NamesAreUpperCasedPaddedAndSuffixed)
{
    const Bytes encoded = EncodeNetbiosName({"bob", 0x03});
    ASSERT_EQ(encoded.size(), kEncodedNameSize);
    const auto decoded = DecodeNetbiosName(encoded.data(), encoded.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, (NetbiosName{"BOB", 0x03}));
    // A sixteen-letter name keeps fifteen: the sixteenth byte is the suffix.
    EXPECT_EQ(DecodeNetbiosName(EncodeNetbiosName({"ABCDEFGHIJKLMNOPQ", 0x20}).data(), kEncodedNameSize)->name,
              "ABCDEFGHIJKLMNO");
}

// Frames that must be refused, each made by damaging the good one.
struct Damage
{
    const char* what;
    size_t at;
    int value; // -1: cut the frame at `at`
};

class DamagedFrameTest : public testing::TestWithParam<Damage>
{
};

TEST_P(DamagedFrameTest, IsRefusedWholly)
{
    const Damage& damage = GetParam();
    const Bytes frame = Damaged(kAliceToBob, damage.at, damage.value);
    const auto datagram = DecodeDatagram(frame.data(), frame.size());
    const bool refused = !datagram || !DecodeMailslotWrite(datagram->userData.data(), datagram->userData.size());
    EXPECT_TRUE(refused) << damage.what;
}

INSTANTIATE_TEST_SUITE_P(
    Codec, DamagedFrameTest,
    testing::Values(Damage{"empty", 0, -1}, Damage{"header only", 14, -1}, Damage{"names cut", 60, -1},
                    Damage{"SMB header cut", 100, -1}, Damage{"data cut", 180, -1},
                    Damage{"unknown message type", 0, 0x14}, Damage{"more fragments follow", 1, 0x0B},
                    Damage{"not a first fragment", 1, 0x08}, Damage{"packet offset", 13, 0x01},
                    Damage{"datagram length past the frame", 11, 0xB0}, Damage{"bad name length", 14, 0x21},
                    Damage{"letter outside A..P", 15, 'Z'}, Damage{"a scope label", 47, 0x03},
                    Damage{"not SMB", 83, 'X'}, Damage{"another SMB command", 86, 0x2F},
                    Damage{"word count", 114, 0x10}, Damage{"words end before the setup", 114, 0x0E},
                    Damage{"not a mailslot write", 143, 0x02}, Damage{"data count past the frame", 137, 0xFF},
                    Damage{"data offset past the frame", 139, 0xFF},
                    Damage{"data inside the parameter words", 139, 0x10}, Damage{"fragmented transaction", 117, 0x20}));

TEST(WireFrameTest, NameWithoutTerminatorIsRefused)
{
    const Bytes message = BuildWinPopupDatagram("A", "B", "x");
    Bytes smb = EncodeMailslotWrite("\\MAILSLOT\\MESSNGR", message.data(), message.size());
    // Let ByteCount end before the name's 0x00.
    smb[32 + 1 + 34] = 5;
    smb[32 + 1 + 35] = 0;
    EXPECT_FALSE(DecodeMailslotWrite(smb.data(), smb.size()));
}

// The largest frame fits one UDP packet (65,507 bytes after the IP and UDP headers) and reads back whole;
// one byte more is refused rather than sent with a wrapped length.
TEST(WireFrameTest, LargestFrameFitsOnePacketAndOneByteMoreIsRefused)
{
    constexpr size_t kUdpPayload = 65507;
    struct Row
    {
        std::string mailslot;
        size_t size;
        bool fits;
    };
    const std::vector<Row> rows = {
        {"\\MAILSLOT\\MESSNGR", kMaxMailslotData, true},
        {"\\MAILSLOT\\MESSNGR", kMaxMailslotData + 1, false},
        {"\\MAILSLOT\\BROWSE", MaxMailslotData("\\MAILSLOT\\BROWSE"), true},
        {"\\MAILSLOT\\BROWSE", MaxMailslotData("\\MAILSLOT\\BROWSE") + 1, false},
        {"\\MAILSLOT\\MESSNGR", 65535, false},
    };
    for (const Row& row : rows) {
        NetbiosDatagram datagram = AliceToBob();
        const Bytes message(row.size, 'x');
        datagram.userData = EncodeMailslotWrite(row.mailslot, message.data(), message.size());
        EXPECT_EQ(datagram.userData.empty(), !row.fits) << row.mailslot << " " << row.size;
        if (!row.fits)
            continue;
        const Bytes frame = EncodeDatagram(datagram);
        EXPECT_EQ(frame.size(), kUdpPayload) << row.mailslot;
        const auto decoded = DecodeDatagram(frame.data(), frame.size());
        ASSERT_TRUE(decoded) << row.mailslot;
        const auto write = DecodeMailslotWrite(decoded->userData.data(), decoded->userData.size());
        ASSERT_TRUE(write) << row.mailslot;
        EXPECT_EQ(write->data, message) << row.mailslot;

        // The same datagram one byte longer: not encoded, and not decoded from a frame that claims it.
        datagram.userData.push_back(0);
        EXPECT_TRUE(EncodeDatagram(datagram).empty()) << row.mailslot;
        Bytes longer = frame;
        longer.push_back(0);
        const size_t length = (size_t{longer[10]} << 8 | longer[11]) + 1;
        longer[10] = static_cast<uint8_t>(length >> 8);
        longer[11] = static_cast<uint8_t>(length);
        EXPECT_FALSE(DecodeDatagram(longer.data(), longer.size())) << row.mailslot;
    }
}

TEST(WinPopupDatagramTest, LayoutAndSplit)
{
    EXPECT_EQ(BuildWinPopupDatagram("a", "b", "hi"), BytesFromHex("61 00 62 00 68 69"));
    EXPECT_EQ(BuildWinPopupDatagram("a", "b", ""), BytesFromHex("61 00 62 00"));

    struct Case
    {
        Bytes datagram;
        WinPopupFields fields;
    };
    const Case cases[] = {
        {BytesFromHex("61 00 62 00 68 69"), {"a", "b", "hi"}},
        {BytesFromHex("61 00 62 00 68 69 00"), {"a", "b", "hi"}},
        {BytesFromHex("61 00 62 00"), {"a", "b", ""}},
        {BytesFromHex("00 00"), {"", "", ""}},
        {BytesFromHex("61 00 62"), {"a", "b", ""}},
        {BytesFromHex("61"), {"a", "", ""}},
        {Bytes{}, {"", "", ""}},
        {BytesFromHex("61 00 62 00 68 00 69"), {"a", "b", "h"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitWinPopupDatagram(c.datagram.data(), c.datagram.size()), c.fields);
}

TEST(Crc16ArcTest, KnownValues)
{
    EXPECT_EQ(Crc16Arc(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xBB3D);
    EXPECT_EQ(Crc16Arc(nullptr, 0), 0);
    const Bytes plain = BytesFromHex("61 00 62 00 68 69");
    const Bytes closed = BytesFromHex("61 00 62 00 68 69 00");
    EXPECT_NE(Crc16Arc(plain.data(), plain.size()), Crc16Arc(closed.data(), closed.size()));
}

TEST(RepeatFilterTest, TenSecondWindow)
{
    struct Step
    {
        uint16_t checksum;
        uint32_t at;
        bool repeat;
    };
    constexpr uint32_t window = RepeatFilter::kWindowMs;
    const std::vector<std::vector<Step>> trains = {
        {{7, 1000, false}, {7, 1000 + window - 100, true}},     // 9.9 s apart
        {{7, 1000, false}, {7, 1000 + window - 1, true}},       // a millisecond short of it
        {{7, 1000, false}, {7, 1000 + window, false}},          // ten seconds apart
        {{7, 1000, false}, {7, 1000 + window + 100, false}},    // 10.1 s apart
        {{7, 1000, false}, {7, 61000, false}},                  // sent again a minute later
        {{7, 1000, false}, {7, 9000, true}, {7, 17000, true}},  // a train is let through once
        {{7, 1000, false}, {8, 1010, false}, {7, 1020, false}}, // different datagrams
        {{7, 0xFFFFFF00u, false}, {7, 0x00000100u, true}},      // the tick count wraps 512 ms later
        {{7, 0x10u, false}, {7, 0x80000011u, false}},           // over 24.8 days: long past
        {{7, 0x10u, false}, {7, 0x7FFFFFFFu, false}},           // just under it: long past
    };
    for (const auto& train : trains) {
        RepeatFilter filter;
        for (const Step& step : train)
            EXPECT_EQ(filter.IsRepeat(step.checksum, step.at), step.repeat) << "at " << step.at;
    }
    // Nothing was seen yet: even checksum 0 at tick 0 is no repeat.
    RepeatFilter fresh;
    EXPECT_FALSE(fresh.IsRepeat(0, 0));
}

} // namespace
} // namespace parlino
