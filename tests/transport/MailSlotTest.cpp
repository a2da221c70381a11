#include "transport/MailSlot.h"

#include "platform/CodePage.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeMailslotService.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace parlino {
namespace {

using test::WaitUntil;

std::vector<uint8_t> B(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

struct Received
{
    QString receiver, sender, text;
    bool operator==(const Received&) const = default;
};

class MailSlotTest : public testing::Test
{
protected:
    MailSlotTest() : popup(nullptr, service, clock, codePage)
    {
        popup.OnOpen = [this](QObject*) { events.emplace_back("open"); };
        popup.OnClose = [this](QObject*) { events.emplace_back("close"); };
        popup.OnMessage = [this](QObject* sender, const QString& to, const QString& from, const QString& text) {
            EXPECT_EQ(sender, &popup);
            received.push_back({to, from, text});
        };
        popup.OnMessageText = [this](QObject*, const QByteArray&) { ++handled; };
    }
    std::string OpenError()
    {
        try {
            popup.SetActive(true);
        } catch (const EMailSlot& error) {
            return error.what();
        }
        return "";
    }

    bool Deliver(const std::string& datagram) { return service.Deliver("messngr", B(datagram)); }

    // Delivers and waits until the main thread has taken the message in, whatever became of it then.
    bool DeliverAndWait(const std::string& datagram)
    {
        const int before = handled;
        return Deliver(datagram) && WaitUntil([&] { return handled > before; });
    }

    // Anything still on its way arrives before a message delivered now: delivers one, waits for it and takes it
    // out again.
    void Settle()
    {
        ASSERT_TRUE(Deliver(std::string("A\0B\0sentinel", 12)));
        ASSERT_TRUE(WaitUntil([&] { return !received.empty() && received.back().text == QStringLiteral("sentinel"); }));
        received.pop_back();
    }

    fake::FakeMailslotService service;
    fake::FakeClock clock{100000};
    IconvCodePage codePage{QStringLiteral("CP850")};
    TWinPopup popup;
    std::vector<std::string> events;
    std::vector<Received> received;
    int handled = 0;
};

TEST_F(MailSlotTest, OpensItsMessengerSlotAndRaisesEventsInOrder)
{
    EXPECT_EQ(popup.Path(), QStringLiteral("\\\\.\\mailslot\\messngr"));
    popup.SetActive(true);
    EXPECT_TRUE(popup.Active());
    popup.SetActive(true);
    popup.SetActive(false);
    popup.SetActive(false);
    EXPECT_EQ(events, (std::vector<std::string>{"open", "close", "open", "close"}));
    EXPECT_FALSE(popup.Active());
}

TEST_F(MailSlotTest, OpenErrorsBecomeTheirMessages)
{
    struct Case
    {
        uint32_t error;
        std::string message;
    };
    for (const Case& c :
         {Case{kErrorBadPathname, "Bad mailslot name"}, Case{kErrorAlreadyExists, "Mailslot already exists"},
          Case{kErrorAccessDenied, "Cannot open mailslot"}}) {
        service.FailNextCreate(c.error);
        EXPECT_EQ(OpenError(), c.message);
        EXPECT_FALSE(popup.Active());
    }
    EXPECT_TRUE(events.empty());
}

TEST_F(MailSlotTest, ASlotHeldElsewhereCannotBeOpened)
{
    const MailslotHandle other = service.CreateMailslot("\\\\.\\mailslot\\MESSNGR", 0, kMailslotWaitForever);
    EXPECT_EQ(OpenError(), "Mailslot already exists");
    EXPECT_FALSE(popup.Active());
    service.CloseHandle(other);
    EXPECT_EQ(OpenError(), "");
}

TEST_F(MailSlotTest, SlotNameAndMaxSizeReopenOnlyOnRealChange)
{
    popup.SetActive(true);
    popup.SetSlotName(QStringLiteral("MESSNGR"));
    popup.SetMaxSize(0);
    EXPECT_EQ(events, (std::vector<std::string>{"open"}));
    popup.SetMaxSize(424);
    EXPECT_EQ(events, (std::vector<std::string>{"open", "close", "open"}));
    EXPECT_FALSE(Deliver(std::string(425, 'x')));
    EXPECT_TRUE(Deliver(std::string(424, 'x')));
    popup.SetActive(false);
    events.clear();
    popup.SetSlotName(QStringLiteral("other"));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(popup.SlotName(), QStringLiteral("other"));
}

TEST_F(MailSlotTest, ComponentNameGivesTheSlotNameUntilOneIsSet)
{
    TCustomMailSlot plain(nullptr, service, clock);
    EXPECT_EQ(plain.SlotName(), QStringLiteral("MailSlot1"));
    plain.SetName(QStringLiteral("Inbox"));
    EXPECT_EQ(plain.SlotName(), QStringLiteral("Inbox"));
    plain.SetSlotName(QStringLiteral("fixed"));
    plain.SetName(QStringLiteral("Renamed"));
    EXPECT_EQ(plain.SlotName(), QStringLiteral("fixed"));
    popup.SetName(QStringLiteral("WinPopup"));
    EXPECT_EQ(popup.SlotName(), QStringLiteral("messngr"));
}

TEST_F(MailSlotTest, ActiveFromAStoredFormTakesEffectWhenLoadingEnds)
{
    popup.BeginLoading();
    popup.SetActive(true);
    EXPECT_FALSE(popup.Active());
    popup.EndLoading();
    EXPECT_TRUE(popup.Active());
}

TEST_F(MailSlotTest, QueuedMessagesArriveInOrderOnTheMainThread)
{
    popup.SetActive(true);
    const Qt::HANDLE mainThread = QThread::currentThreadId();
    Qt::HANDLE handlerThread = nullptr;
    popup.OnMessageText = [&](QObject*, const QByteArray&) { handlerThread = QThread::currentThreadId(); };
    ASSERT_TRUE(Deliver(std::string("A\0B\0one", 7)));
    ASSERT_TRUE(Deliver(std::string("A\0B\0two", 7)));
    ASSERT_TRUE(Deliver(std::string("A\0B\0three", 9)));
    ASSERT_TRUE(WaitUntil([&] { return received.size() == 3; }));
    EXPECT_EQ(received, (std::vector<Received>{{"B", "A", "one"}, {"B", "A", "two"}, {"B", "A", "three"}}));
    EXPECT_EQ(handlerThread, mainThread);
}

TEST_F(MailSlotTest, ReopeningLeavesOneReaderPerMessage)
{
    popup.SetActive(true);
    popup.SetActive(true);
    popup.Open();
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(Deliver("A" + std::string(1, '\0') + "B" + std::string(1, '\0') + std::to_string(i)));
    ASSERT_TRUE(WaitUntil([&] { return received.size() == 20; }));
    Settle();
    EXPECT_EQ(received.size(), 20u);
    EXPECT_EQ(received.back().text, QStringLiteral("19"));
}

TEST_F(MailSlotTest, AMessageQueuedAtCloseIsNeverNotified)
{
    popup.SetActive(true);
    // The main thread serves no hand-over between the delivery and the close.
    ASSERT_TRUE(Deliver(std::string("A\0B\0late", 8)));
    popup.SetActive(false);
    popup.SetActive(true);
    Settle();
    EXPECT_TRUE(received.empty());
}

TEST_F(MailSlotTest, HandlingWhileClosedOrBrokenEndsSilently)
{
    popup.HandleMessage();
    popup.SetActive(true);
    service.FailInfo(true);
    popup.HandleMessage();
    service.FailInfo(false);
    EXPECT_TRUE(received.empty());
}

TEST_F(MailSlotTest, UnreadableAndOversizedMessagesAreThrownAwayNotStuck)
{
    popup.SetActive(true);
    service.FailReads(true);
    ASSERT_TRUE(Deliver(std::string("A\0B\0lost", 8)));
    ASSERT_TRUE(WaitUntil([&] { return service.FailedReads() > 0; }));
    service.FailReads(false);
    ASSERT_TRUE(Deliver(std::string(70000, 'x')));
    ASSERT_TRUE(Deliver(std::string("A\0B\0next", 8)));
    ASSERT_TRUE(WaitUntil([&] { return !received.empty(); }));
    Settle();
    EXPECT_EQ(received, (std::vector<Received>{{"B", "A", "next"}}));
}

TEST_F(MailSlotTest, AnExceptionInTheHandlerDoesNotStopTheNextMessage)
{
    popup.SetActive(true);
    popup.OnMessage = [this](QObject*, const QString&, const QString&, const QString& text) {
        received.push_back({"", "", text});
        if (text == QStringLiteral("boom"))
            throw std::runtime_error("handler failed");
    };
    ASSERT_TRUE(Deliver(std::string("A\0B\0boom", 8)));
    ASSERT_TRUE(Deliver(std::string("A\0B\0fine", 8)));
    ASSERT_TRUE(WaitUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received[1].text, QStringLiteral("fine"));
}

TEST_F(MailSlotTest, RepeatsWithinTenSecondsAreDropped)
{
    popup.SetActive(true);
    struct Step
    {
        uint32_t advance;
        std::string datagram;
        bool delivered;
    };
    constexpr uint32_t window = RepeatFilter::kWindowMs;
    const std::string same("A\0B\0ok", 6);
    const std::string closed("A\0B\0ok\0", 7);
    const std::vector<Step> steps = {
        {0, same, true},
        {window - 100, same, false},
        {window + 100, same, true},             // measured from the dropped one
        {60000, same, true},                    // a peer that doesn't pad repeats says "ok" again a minute later
        {10, std::string("C\0B\0ok", 6), true}, // another sender
        {10, std::string("C\0A\0ok", 6), true}, // another receiver
        {10, std::string("C\0A\0no", 6), true}, // another text
        {10, closed, true},                     // a closing 0x00 makes another datagram
        {window - 100, closed, false},
        {window - 100, closed, false}, // dropped again: each repeat restarts the window
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        clock.Advance(steps[i].advance);
        const size_t before = received.size();
        ASSERT_TRUE(DeliverAndWait(steps[i].datagram));
        EXPECT_EQ(received.size() - before, steps[i].delivered ? 1u : 0u) << "step " << i;
    }
}

TEST_F(MailSlotTest, WithoutAHandlerDatagramsAreReadButLeaveTheFilterAlone)
{
    popup.SetActive(true);
    ASSERT_TRUE(Deliver(std::string("A\0B\0ok", 6)));
    ASSERT_TRUE(WaitUntil([&] { return received.size() == 1; }));
    const auto handler = popup.OnMessage;
    popup.OnMessage = nullptr;
    clock.Advance(500);
    ASSERT_TRUE(DeliverAndWait(std::string("A\0B\0other", 9)));
    popup.OnMessage = handler;
    clock.Advance(500);
    ASSERT_TRUE(DeliverAndWait(std::string("A\0B\0ok", 6)));
    EXPECT_EQ(received.size(), 1u); // still a repeat of the first: the unhandled one left no trace
}

TEST_F(MailSlotTest, SendWritesOneDatagramToTheTargetsMessengerSlot)
{
    EXPECT_TRUE(popup.Send(QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("hi")));
    EXPECT_TRUE(popup.Send(QStringLiteral("PC"), QStringLiteral("ME"), QStringLiteral("PC"), QString()));
    EXPECT_TRUE(popup.Send(QStringLiteral("PC"), QStringLiteral("ME"), QStringLiteral("PC"),
                           QStringLiteral("\u00e9t\u00e9 \u2603")));
    const auto writes = service.Writes();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].path, "\\\\b\\mailslot\\messngr");
    EXPECT_EQ(writes[0].data, B(std::string("a\0b\0hi", 6)));
    EXPECT_EQ(writes[1].data, B(std::string("ME\0PC\0", 6)));
    // CP850: e-acute is 0x82; a snowman has no place there.
    EXPECT_EQ(writes[2].data, B(std::string("ME\0PC\0\x82t\x82 ?", 11)));
}

TEST_F(MailSlotTest, SendReportsRefusalsAndShortWritesAsFalse)
{
    service.RefuseHost("NOWHERE");
    EXPECT_FALSE(popup.Send(QStringLiteral("NOWHERE"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("x")));
    EXPECT_TRUE(service.Writes().empty());
    service.ShortenWrites(1);
    EXPECT_FALSE(popup.Send(QStringLiteral("PC"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("x")));
}

TEST_F(MailSlotTest, ReceivedOemTextArrivesAsUnicode)
{
    popup.SetActive(true);
    ASSERT_TRUE(Deliver(std::string("J\x81rgen\0B\0\x82t\x82\0", 13)));
    ASSERT_TRUE(WaitUntil([&] { return !received.empty(); }));
    EXPECT_EQ(received[0], (Received{"B", QStringLiteral("J\u00fcrgen"), QStringLiteral("\u00e9t\u00e9")}));
}

} // namespace
} // namespace parlino
