#include "codec/NameQuery.h"
#include "codec/SessionService.h"
#include "codec/SmbMessage.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace parlino {
namespace {

using test::BytesFromHex;
using test::Damaged;

// ALICE sends "Hi!" to BOB as one SMB_COM_SEND_MESSAGE, PID 0x1234, MID 1.
const Bytes kSingle = BytesFromHex("ff 53 4d 42 d0 00 00 00 00 00 00 00 00 00 00 00"
                                   "00 00 00 00 00 00 00 00 00 00 34 12 00 00 01 00"
                                   "00 12 00 04 41 4c 49 43 45 00 04 42 4f 42 00 01"
                                   "03 00 48 69 21");

// A session request called BOB<03>, calling ALICE<00>.
const Bytes kSessionRequest = BytesFromHex("81 00 00 44"
                                           "20 45 43 45 50 45 43 43 41 43 41 43 41 43 41 43"
                                           "41 43 41 43 41 43 41 43 41 43 41 43 41 43 41 41 44 00"
                                           "20 45 42 45 4d 45 4a 45 44 45 46 43 41 43 41 43"
                                           "41 43 41 43 41 43 41 43 41 43 41 43 41 43 41 41 41 00");

SmbMessageRequest Single()
{
    SmbMessageRequest request;
    request.command = SmbMessageCommand::Single;
    request.ids.pidLow = 0x1234;
    request.ids.mid = 1;
    request.originator = "ALICE";
    request.destination = "BOB";
    request.text = "Hi!";
    return request;
}

TEST(SmbMessageCodecTest, SingleBlockMessageComesOutByteForByteAndBack)
{
    EXPECT_EQ(EncodeSmbMessageRequest(Single()), kSingle);
    EXPECT_EQ(DecodeSmbMessageRequest(kSingle.data(), kSingle.size()), Single());
}

TEST(SmbMessageCodecTest, MultiBlockRequestsAndResponsesRoundTrip)
{
    const SmbIds ids{.pidLow = 7, .mid = 9};
    const SmbMessageRequest requests[] = {
        {SmbMessageCommand::Start, ids, "root", "BOB", 0, ""},
        {SmbMessageCommand::Text, ids, "", "", 0x0102, std::string(128, 'x')},
        {SmbMessageCommand::End, ids, "", "", 0x0102, ""},
    };
    for (const SmbMessageRequest& request : requests) {
        const Bytes frame = EncodeSmbMessageRequest(request);
        EXPECT_EQ(DecodeSmbMessageRequest(frame.data(), frame.size()), request);
    }
    // The start's response carries the group; an error response carries nothing but its status.
    const Bytes started = EncodeSmbMessageResponse(0xD5, ids, 0, 0x0102);
    EXPECT_EQ(DecodeSmbMessageResponse(started.data(), started.size()),
              (SmbMessageResponse{0xD5, ids, 0, false, 0x0102}));
    const Bytes refused = EncodeSmbMessageResponse(0xD5, ids, kErrSrvMessagesOff, 0x0102);
    EXPECT_EQ(Bytes(refused.begin() + 4, refused.begin() + 10), BytesFromHex("d5 02 00 52 00 80"));
    EXPECT_EQ(Bytes(refused.end() - 3, refused.end()), BytesFromHex("00 00 00"));
    EXPECT_EQ(DecodeSmbMessageResponse(refused.data(), refused.size()),
              (SmbMessageResponse{0xD5, ids, kErrSrvMessagesOff, false, 0}));
    Bytes ntRefused = refused;
    ntRefused[11] = 0x40; // Flags2: Status is an NT status code
    EXPECT_EQ(DecodeSmbMessageResponse(ntRefused.data(), ntRefused.size()),
              (SmbMessageResponse{0xD5, ids, kErrSrvMessagesOff, true, 0}));
    // A request is no response, and a response no request.
    EXPECT_FALSE(DecodeSmbMessageResponse(kSingle.data(), kSingle.size()));
    EXPECT_FALSE(DecodeSmbRequestHeader(refused.data(), refused.size()));
}

// Requests that must be refused, each made by damaging the good one.
struct Damage
{
    const char* what;
    size_t at;
    int value; // -1: cut the frame at `at`
    bool headerKept = true;
};

class DamagedRequestTest : public testing::TestWithParam<Damage>
{
};

TEST_P(DamagedRequestTest, IsRefusedWholly)
{
    const Damage& damage = GetParam();
    const Bytes frame = Damaged(kSingle, damage.at, damage.value);
    EXPECT_FALSE(DecodeSmbMessageRequest(frame.data(), frame.size())) << damage.what;
    EXPECT_EQ(DecodeSmbRequestHeader(frame.data(), frame.size()).has_value(), damage.headerKept) << damage.what;
}

INSTANTIATE_TEST_SUITE_P(Codec, DamagedRequestTest,
                         testing::Values(Damage{"empty", 0, -1, false}, Damage{"header cut", 20, -1, false},
                                         Damage{"not SMB1", 0, 0xFE, false}, Damage{"a response", 9, 0x80, false},
                                         Damage{"another command", 4, 0x2F}, Damage{"a word where none belongs", 32, 1},
                                         Damage{"byte count past the frame", 33, 0x13},
                                         Damage{"byte count cut", 34, -1},
                                         Damage{"originator without its format", 35, 0x02},
                                         Damage{"destination without its terminator", 33, 0x09},
                                         Damage{"text without its format", 47, 0x05},
                                         Damage{"text length past the bytes", 48, 0x04}, Damage{"text cut", 52, -1}));

TEST(SessionServiceTest, HeadersRequestsAndRefusals)
{
    struct Case
    {
        Bytes bytes;
        std::optional<SessionPacketType> type;
        size_t length = 0;
    };
    const Case cases[] = {{BytesFromHex("00 00 00 35"), SessionPacketType::Message, 53},
                          {BytesFromHex("00 01 ff ff"), SessionPacketType::Message, 0x1FFFF},
                          {BytesFromHex("85 00 00 00"), SessionPacketType::KeepAlive, 0},
                          {BytesFromHex("83 00 00 01 82"), SessionPacketType::NegativeResponse, 1},
                          {BytesFromHex("00 02 00 00"), std::nullopt}, // a reserved flag
                          {BytesFromHex("86 00 00 00"), std::nullopt}, // no such packet
                          {BytesFromHex("47 45 54 20"), std::nullopt}, // "GET "
                          {BytesFromHex("00 00 00"), std::nullopt}};   // a header cut short
    for (const Case& c : cases) {
        const auto header = DecodeSessionHeader(c.bytes.data(), c.bytes.size());
        ASSERT_EQ(header.has_value(), c.type.has_value());
        if (header) {
            EXPECT_EQ(header->type, *c.type);
            EXPECT_EQ(header->length, c.length);
        }
    }

    const SessionRequest bobFromAlice{{"BOB", 0x03}, {"ALICE", 0x00}};
    EXPECT_EQ(EncodeSessionRequest(bobFromAlice), kSessionRequest);
    EXPECT_EQ(DecodeSessionRequest(kSessionRequest.data() + 4, kSessionRequest.size() - 4), bobFromAlice);
    EXPECT_FALSE(DecodeSessionRequest(kSessionRequest.data() + 4, kSessionRequest.size() - 5));
    Bytes scoped = kSessionRequest;
    scoped[4 + 33] = 0x03; // a scope label after the called name
    EXPECT_FALSE(DecodeSessionRequest(scoped.data() + 4, scoped.size() - 4));

    EXPECT_EQ(EncodeNegativeSessionResponse(SessionRefusal::CalledNameNotPresent), BytesFromHex("83 00 00 01 82"));
    EXPECT_EQ(EncodeSessionPacket(SessionPacketType::PositiveResponse), BytesFromHex("82 00 00 00"));
    // A length past 16 bits sets the extension flag.
    const Bytes large = EncodeSessionPacket(SessionPacketType::Message, Bytes(0x10005, 0));
    EXPECT_EQ(large.size(), 0x10009u);
    EXPECT_EQ(Bytes(large.begin(), large.begin() + 4), BytesFromHex("00 01 00 05"));
}

TEST(NameQueryCodecTest, PositiveAnswerGivesTheAddressOfTheNameAskedFor)
{
    const NameQuery query{0x4242, {"BOB", 0x03}};
    const Bytes answer = EncodePositiveNameQueryResponse(query, 0x0AD50002);
    EXPECT_EQ(DecodePositiveNameQueryResponse(answer.data(), answer.size(), query), 0x0AD50002u);
    EXPECT_FALSE(DecodePositiveNameQueryResponse(answer.data(), answer.size(), {0x4243, {"BOB", 0x03}}));
    EXPECT_FALSE(DecodePositiveNameQueryResponse(answer.data(), answer.size(), {0x4242, {"BOB", 0x20}}));
    EXPECT_FALSE(DecodePositiveNameQueryResponse(answer.data(), answer.size() - 1, query));
    Bytes negative = answer;
    negative[3] |= 0x03; // name error
    EXPECT_FALSE(DecodePositiveNameQueryResponse(negative.data(), negative.size(), query));
    const Bytes asked = EncodeNameQuery(query);
    EXPECT_FALSE(DecodePositiveNameQueryResponse(asked.data(), asked.size(), query));
}

TEST(NameQueryCodecTest, AnswersOfANameServerTellFoundUnknownOrFailed)
{
    const NameQuery query{0x4242, {"BOB", 0x03}, false};
    const Bytes asked = EncodeNameQuery(query);
    EXPECT_EQ(Bytes(asked.begin(), asked.begin() + 4), BytesFromHex("42 42 01 00"))
        << "a query to one server asks it to recurse and is no broadcast";
    const Bytes positive = EncodePositiveNameQueryResponse(query, 0x0A580201);
    const Bytes negative = EncodeNegativeNameQueryResponse(query);
    const auto changed = [](Bytes bytes, size_t at, uint8_t value) {
        bytes.at(at) = value;
        return bytes;
    };
    // The answer, and its address, whether the name is unknown, its time to live.
    const std::tuple<const char*, Bytes, std::optional<uint32_t>, bool, uint32_t> answers[] = {
        {"positive", positive, 0x0A580201, false, 300000},
        {"negative", negative, std::nullopt, true, 0},
        {"server failure", changed(negative, 3, 0x82), std::nullopt, false, 0},
    };
    for (const auto& [what, frame, address, nameUnknown, timeToLive] : answers) {
        const auto answer = DecodeNameQueryResponse(frame.data(), frame.size(), query);
        ASSERT_TRUE(answer) << what;
        EXPECT_EQ(std::tie(answer->address, answer->nameUnknown, answer->timeToLive),
                  std::tie(address, nameUnknown, timeToLive))
            << what;
    }
    const std::pair<const char*, Bytes> garbage[] = {
        {"another transaction", changed(positive, 1, 0x43)},
        {"another name", changed(positive, 13, 'F')},
        {"a registration's answer", changed(negative, 2, 0xAD)},
        {"no record", changed(negative, 7, 0)},
        {"record cut short", Bytes(negative.begin(), negative.end() - 1)},
        {"address past the end", changed(positive, 55, 12)},
        {"address entry too short", changed(positive, 55, 5)},
    };
    for (const auto& [what, frame] : garbage)
        EXPECT_FALSE(DecodeNameQueryResponse(frame.data(), frame.size(), query)) << what;
}

} // namespace
} // namespace parlino
