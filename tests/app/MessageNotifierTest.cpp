#include "app/MessageNotifier.h"

#include "platform/fake/FakeNotifications.h"

namespace parlino {
namespace {

using Where = MessageNotifier::Where;

constexpr Where kUnseen{.flash = true};

struct Arrival
{
    QString station;
    QString text;
    Where where;
    QString sender = {}; // the station's own when empty
};

struct Rule
{
    const char* what;
    std::vector<Arrival> arrivals;
    QStringList shown; // "key|text", as the fake records them
};

class MessageNotifierTest : public testing::TestWithParam<Rule>
{
};

TEST_P(MessageNotifierTest, ShowsWhatTheUserIsNotLookingAt)
{
    fake::FakeNotifications notifications;
    MessageNotifier notifier(notifications, {});
    for (const Arrival& arrival : GetParam().arrivals)
        notifier.MessageArrived(arrival.station, arrival.sender.isEmpty() ? arrival.station : arrival.sender,
                                arrival.text, arrival.where);
    EXPECT_EQ(notifications.Recorded(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MessageNotifierTest,
    testing::Values(Rule{"ActiveChatWindow", {{"BETA", "hi", {.chatActive = true, .flash = true}}}, {}},
                    Rule{"InactiveChatWindow", {{"BETA", "hi", kUnseen}}, {"BETA|BETA: hi"}},
                    Rule{"FlashOff", {{"BETA", "hi", {}}}, {}},
                    Rule{"GroupMessageNamesItsSender", {{"WG", "hi", kUnseen, "AL"}}, {"WG|WG: AL > hi"}},
                    Rule{"OneKeyPerStationSoItsNextMessageReplacesIt",
                         {{"BETA", "one", kUnseen}, {"GAMMA", "two", kUnseen}, {"BETA", "three", kUnseen}},
                         {"BETA|BETA: one", "GAMMA|GAMMA: two", "BETA|BETA: three"}},
                    Rule{"FirstLineThatSaysSomething",
                         {{"BETA", "\r\n \r\nfirst <b>\r\nsecond", kUnseen}},
                         {"BETA|BETA: first <b>"}},
                    Rule{"CutToTheLongestText",
                         {{"BETA", QString(300, u'x'), kUnseen}},
                         {"BETA|BETA: " + QString(MessageNotifier::kMaxLength - 6, u'x')}}),
    [](const testing::TestParamInfo<Rule>& param) { return std::string(param.param.what); });

TEST(MessageNotifierClickTest, LeadsToTheStationClicked)
{
    fake::FakeNotifications notifications;
    QString clicked;
    MessageNotifier notifier(notifications, [&](const QString& station) { clicked = station; });
    notifier.MessageArrived("BETA", "BETA", "hi", kUnseen);
    notifications.Click("BETA");
    EXPECT_EQ(clicked, "BETA");
}

} // namespace
} // namespace parlino
