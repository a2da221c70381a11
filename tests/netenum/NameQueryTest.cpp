#include "netenum/NameQueryResponder.h"
#include "platform/fake/FakeLan.h"

#include <gtest/gtest.h>
#include <mutex>

namespace parlino {
namespace {

TEST(NameQueryTest, QueryAndAnswerLayout)
{
    const NameQuery query{0x1234, {"BOB", 0x03}};
    const Bytes request = EncodeNameQuery(query);
    ASSERT_EQ(request.size(), 50u);
    EXPECT_EQ(Bytes(request.begin(), request.begin() + 12), (Bytes{0x12, 0x34, 0x01, 0x10, 0, 1, 0, 0, 0, 0, 0, 0}));
    const auto decoded = DecodeNameQuery(request.data(), request.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->transactionId, 0x1234);
    EXPECT_EQ(decoded->name, query.name);

    const Bytes answer = EncodePositiveNameQueryResponse(query, 0x0A000002);
    ASSERT_EQ(answer.size(), 62u);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 12), (Bytes{0x12, 0x34, 0x85, 0x00, 0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(answer.begin() + 46, answer.end()),
              (Bytes{0, 0x20, 0, 1, 0x00, 0x04, 0x93, 0xE0, 0, 6, 0, 0, 10, 0, 0, 2}));
    EXPECT_EQ(DecodeNameQuery(answer.data(), answer.size()), std::nullopt);
}

TEST(NameQueryTest, MalformedQueriesAreDropped)
{
    const Bytes good = EncodeNameQuery({1, {"BOB", 0}});
    const auto changed = [&](size_t at, uint8_t value) {
        Bytes bytes = good;
        bytes[at] = value;
        return bytes;
    };
    const std::pair<const char*, Bytes> cases[] = {
        {"short", Bytes(good.begin(), good.end() - 1)},
        {"response", changed(2, 0x81)},
        {"registration opcode", changed(2, 0x29)},
        {"two questions", changed(5, 2)},
        {"bad name length", changed(12, 0x21)},
        {"node status type", changed(47, 0x21)},
        {"other class", changed(49, 2)},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_FALSE(DecodeNameQuery(bytes.data(), bytes.size()).has_value()) << what;
}

TEST(NameQueryTest, AnswersOnlyThisComputersNames)
{
    fake::FakeLan lan;
    auto bob = lan.AddStation(2);
    const std::vector<NodeStatusName> held = {{{"BOB", 0x00}}, {{"OFFICE", 0x00}, true}};
    NameQueryResponder responder(
        *bob, "bob", 137, [&](uint32_t) { return bob->Address(); }, held);
    ASSERT_TRUE(responder.Start());
    auto querier = lan.AddStation(9);
    std::mutex mutex;
    std::vector<Bytes> answers;
    auto endpoint = querier->Listen(137, [&](const uint8_t* data, size_t size, uint32_t, uint16_t) {
        std::lock_guard lock(mutex);
        if (size > 2 && (data[2] & 0x80))
            answers.emplace_back(data, data + size);
    });

    const std::pair<NetbiosName, bool> names[] = {
        {{"BOB", 0x00}, true},  {{"BOB", 0x03}, true},    {{"BOB", 0x20}, true},
        {{"BOB", 0x1D}, false}, {{"ALICE", 0x00}, false}, {{"BOBBY", 0x00}, false},
    };
    uint16_t id = 1;
    for (const auto& [name, answered] : names) {
        const NameQuery query{id++, name};
        querier->Broadcast(137, [&](uint32_t) { return EncodeNameQuery(query); });
        std::lock_guard lock(mutex);
        EXPECT_EQ(answers.size(), answered ? 1u : 0u) << name.name << int(name.suffix);
        if (answered && !answers.empty()) {
            EXPECT_EQ(answers.front(), EncodePositiveNameQueryResponse(query, 0x0A000002));
        }
        answers.clear();
    }
    for (const auto& [asked, answered] : {std::pair{"*", true}, {"bob", true}, {"ALICE", false}}) {
        const NodeStatusRequest request{id++, {asked, 0}};
        querier->Broadcast(137, [&](uint32_t) { return EncodeNodeStatusRequest(request); });
        std::lock_guard lock(mutex);
        EXPECT_EQ(answers,
                  answered ? std::vector<Bytes>{EncodeNodeStatusResponse(request, held)} : std::vector<Bytes>{})
            << asked;
        answers.clear();
    }
}

} // namespace
} // namespace parlino
