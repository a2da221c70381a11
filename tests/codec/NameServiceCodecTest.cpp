#include "codec/NameRegistration.h"
#include "codec/NodeStatus.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

namespace parlino {
namespace {

using test::BytesFromHex;
using test::Damaged;
using Response = NameServiceResponse;

// A frame about ALICE<03>, as Samba's nmbd writes them: the header, the encoded name, the fields after it.
Bytes AboutAlice(std::string_view header, std::string_view fields)
{
    Bytes frame = BytesFromHex(header);
    const Bytes name = BytesFromHex("204542454d454a4544454643414341434143414341434143414341434143414144 00");
    const Bytes after = BytesFromHex(fields);
    frame.insert(frame.end(), name.begin(), name.end());
    frame.insert(frame.end(), after.begin(), after.end());
    return frame;
}

TEST(NameServiceCodecTest, RequestsLayoutAndRoundTrip)
{
    const NameRegistration alice{0x1234, NameOpcode::Registration, {"ALICE", 3}, false, 300000, 0x0AD60002};
    EXPECT_EQ(EncodeNameRegistrationRequest(alice),
              AboutAlice("1234 2900 0001 0000 0000 0001", "0020 0001 c00c 0020 0001 000493e0 0006 6000 0ad60002"));
    for (const NameRegistration& request :
         {alice, NameRegistration{9, NameOpcode::Release, {"OFFICE", 0}, true, 0, 1}}) {
        const Bytes bytes = EncodeNameRegistrationRequest(request);
        EXPECT_EQ(DecodeNameRegistrationRequest(bytes.data(), bytes.size()), request) << request.transactionId;
    }
    EXPECT_EQ(EncodeNameServerQuery({7, {"ALICE", 3}}), AboutAlice("0007 0100 0001 0000 0000 0000", "0020 0001"));
    const NetbiosName anyName{std::string(1, '*').append(14, '\0'), 0}; // as Samba's nmblookup -A asks
    const Bytes status = EncodeNodeStatusRequest({0x76DB, anyName});
    EXPECT_EQ(status, BytesFromHex("76db 0000 0001 0000 0000 0000 20434b4141414141414141414141414141"
                                   "4141414141414141414141414141414100 0021 0001"));
    EXPECT_EQ(DecodeNodeStatusRequest(status.data(), status.size()), (NodeStatusRequest{0x76DB, anyName}));
}

TEST(NameServiceCodecTest, AnswersOfSambasNameServer)
{
    const std::pair<Bytes, Response> answers[] = {
        {AboutAlice("1234 ad80 0000 0001 0000 0000", "0020 0001 00005460 0006 0000 0ad60002"),
         {0x1234, NameOpcode::Registration, false, Response::kPositive, {"ALICE", 3}, 21600, {{false, 0x0AD60002}}}},
        {AboutAlice("1234 bc00 0000 0001 0000 0000", "000a 0001 0000003c 0002 2900"),
         {0x1234, NameOpcode::Registration, true, Response::kPositive, {"ALICE", 3}, 60, {}}},
        {AboutAlice("1234 b403 0000 0001 0000 0000", "0020 0001 00000000 0006 0000 0ad60002"),
         {0x1234, NameOpcode::Release, false, Response::kNameNotFound, {"ALICE", 3}, 0, {{false, 0x0AD60002}}}},
        {AboutAlice("0007 8580 0000 0001 0000 0000", "0020 0001 00005412 000c 0000 0ad60009 e000 0ad60003"),
         {7, NameOpcode::Query, false, 0, {"ALICE", 3}, 21522, {{false, 0x0AD60009}, {true, 0x0AD60003}}}},
        {BytesFromHex("0007 8583 0000 0000 0000 0000"),
         {7, NameOpcode::Query, false, Response::kNameNotFound, {}, 0, {}}},
        {AboutAlice("0007 8583 0000 0001 0000 0000", "000a 0001 00000000 0000"),
         {7, NameOpcode::Query, false, Response::kNameNotFound, {"ALICE", 3}, 0, {}}},
    };
    for (const auto& [bytes, expected] : answers) {
        EXPECT_EQ(DecodeNameServiceResponse(bytes.data(), bytes.size()), expected) << expected.transactionId;
        const Bytes again = EncodeNameServiceResponse(expected);
        EXPECT_EQ(DecodeNameServiceResponse(again.data(), again.size()), expected) << expected.transactionId;
    }
}

TEST(NameServiceCodecTest, NodeStatusAnswerLayout)
{
    const NodeStatusRequest asked{0x76DB, {"BOB", 0}};
    const Bytes answer = EncodeNodeStatusResponse(asked, {{{"bob", 0x20}, false}, {{"OFFICE", 0}, true}});
    Bytes expected = BytesFromHex("76db 8400 0000 0001 0000 0000 2045434550454343414341434143414341"
                                  "4341434143414341434143414341414100 0021 0001 00000000 0053 02"
                                  "424f42202020202020202020202020 20 0400"
                                  "4f4646494345202020202020202020 00 8400");
    expected.resize(expected.size() + 46); // statistics, unit id first
    EXPECT_EQ(answer, expected);
}

TEST(NameServiceCodecTest, DamagedFramesAreRefused)
{
    const Bytes request = EncodeNameRegistrationRequest({1, NameOpcode::Registration, {"ALICE", 3}, false, 60, 1});
    const Bytes answer = EncodeNameServiceResponse({1, NameOpcode::Registration, false, 0, {"ALICE", 3}, 60, {{}}});
    const Bytes wack = EncodeNameServiceResponse({1, NameOpcode::Registration, true, 0, {"ALICE", 3}, 60, {}});
    const Bytes status = EncodeNodeStatusRequest({1, {"*", 0}});
    const std::tuple<const char*, Bytes, int, int> rows[] = {
        {"request cut in its record", request, 67, -1},
        {"request that is an answer", request, 2, 0xA9},
        {"request of a query", request, 2, 0x01},
        {"request without its record", request, 11, 0},
        {"request's record of another type", request, 53, 0x21},
        {"request's record pointing elsewhere", request, 51, 0x0D},
        {"request's record of two entries", request, 61, 12},
        {"answer of a request", answer, 2, 0x29},
        {"answer of an unknown operation", answer, 2, 0xA1},
        {"answer without its record", answer, 7, 0},
        {"answer cut in its entry", answer, 61, -1},
        {"answer's entries past its end", answer, 55, 12},
        {"answer's entries not whole", answer, 55, 5},
        {"answer's bad name", answer, 13, 'z'},
        {"WACK of another record type", wack, 46, 0x20},
        {"WACK of a query", wack, 56, 0x01},
        {"WACK cut", wack, 57, -1},
        {"status request cut", status, 49, -1},
        {"status answer", status, 2, 0x84},
        {"status of an NB record", status, 47, 0x20},
    };
    for (const auto& [what, good, at, value] : rows) {
        const Bytes bad = Damaged(good, at, value);
        EXPECT_FALSE(DecodeNameRegistrationRequest(bad.data(), bad.size())) << what;
        EXPECT_FALSE(DecodeNodeStatusRequest(bad.data(), bad.size())) << what;
        EXPECT_TRUE(good == request || !DecodeNameServiceResponse(bad.data(), bad.size())) << what;
    }
}

} // namespace
} // namespace parlino
