#include "tests/app/AppFixture.h"
#include "tests/support/LanStation.h"
#include "tests/support/Wait.h"

#include <QPointer>
#include <QTest>

namespace parlino::test {
namespace {

// The main window of ALPHA in workgroup OFFICE, on a fake LAN with the computers PC7 and PC12.
class ChatTableTest : public AppFixture
{
protected:
    void SetUp() override
    {
        MainForm = new TMainForm(onLan);
        MainForm->FormCreate();
        OptiuniForm = new TOptiuniForm(onLan);
        MainForm->SetOptions(*OptiuniForm);
        TwpMessage route = MainForm->WinPopup->OnMessage;
        MainForm->WinPopup->OnMessage = [this, route](QObject* sender, const QString& to, const QString& from,
                                                      const QString& text) {
            route(sender, to, from, text);
            ++handled;
        };
    }

    void TearDown() override
    {
        pc7.popup.Close();
        pc12.popup.Close();
        AppFixture::TearDown();
    }

    // Sends from a station and waits until ALPHA has handled it.
    void Arrive(LanStation& from, const QString& to, const QString& text, const QString& author = QString())
    {
        // Long after the transport's repeat window.
        clock.Advance(60000);
        const int before = handled;
        ASSERT_TRUE(from.popup.Send(to, author.isEmpty() ? from.name : author, to, text));
        ASSERT_TRUE(WaitUntil([&] { return handled > before; }));
    }

    QStringList Stations() const
    {
        QStringList stations;
        for (int slot = 1; slot <= TMainForm::kChatSlots; ++slot)
            stations.append(MainForm->Chats.IsOpen(slot) ? MainForm->Chats.At(slot)->GetStation() : QString());
        while (!stations.isEmpty() && stations.last().isEmpty())
            stations.removeLast();
        return stations;
    }

    QString LastLine(int slot) const
    {
        const TREdit* transcript = MainForm->Chats.At(slot)->RichEdit;
        return transcript->Line(transcript->LineCount() - 1);
    }

    fake::FakeLan lan;
    std::unique_ptr<fake::FakeStationNetwork> network = lan.AddStation(1);
    const ThisComputer alpha{"ALPHA", "OFFICE"};
    LocalMailslots inboxes;
    NbtMailslotService service{*network, *network, inboxes, alpha, 138};
    Platform onLan = ServicesOn(service);
    LanStation pc7{lan, 7, "PC7"};
    LanStation pc12{lan, 12, "PC12"};
    int handled = 0;
};

// With the main window away, each message is a desktop notification, unless its window's Flash is off or it is the
// active window once the message is in; a window a message opens is not, as it leaves the keyboard where it is. A
// click on the notification brings the window back.
TEST_F(ChatTableTest, AMessageWhileTheMainWindowIsAwayIsANotificationThatLeadsToItsWindow)
{
    ASSERT_EQ(MainForm->NewChat("PC7"), 1);
    ASSERT_TRUE(WaitUntil([&] { return MainForm->Chats.At(1)->isActiveWindow(); }));
    Arrive(pc7, "ALPHA", "seen");
    Arrive(pc12, "ALPHA", "hi\nthere");
    EXPECT_EQ(notifications.Recorded(), QStringList{"PC12|PC12: hi"});
    TChatForm* chat = MainForm->Chats.At(2);
    chat->hide();
    notifications.Click("PC12");
    EXPECT_TRUE(chat->isVisible());

    chat->CheckFlash->setChecked(false);
    Arrive(pc12, "ALPHA", "quiet");
    EXPECT_EQ(notifications.Recorded().size(), 1);
}

// A personal message goes to the window of its sender exactly, a workgroup message to the group's window; each line
// shows its author.
TEST_F(ChatTableTest, AMessageGoesToTheWindowOfItsSenderOrGroupAndTheReplyGoesBack)
{
    const struct
    {
        LanStation& from;
        const char* to;
        const char* text;
        QStringList stations;
        int slot;
        const char* line;
    } arrivals[] = {
        {pc12, "ALPHA", "hi", {"PC12"}, 1, "PC12 > hi "},
        {pc12, "ALPHA", "again", {"PC12"}, 1, "PC12 > again "},
        {pc7, "OFFICE", "to all", {"PC12", "OFFICE"}, 2, "PC7 > to all "},
        {pc12, "OFFICE", "me too", {"PC12", "OFFICE"}, 2, "PC12 > me too "},
    };
    for (const auto& arrival : arrivals) {
        Arrive(arrival.from, arrival.to, arrival.text);
        ASSERT_EQ(Stations(), arrival.stations) << arrival.text;
        EXPECT_EQ(LastLine(arrival.slot), arrival.line) << arrival.text;
    }

    MainForm->Chats.At(1)->EditText->setText(QStringLiteral("hello back"));
    QTest::keyClick(MainForm->Chats.At(1)->EditText, Qt::Key_Return);
    // PC12 is in OFFICE too, so the group's messages reach it as well.
    const QString reply = QStringLiteral("ALPHA -> PC12: hello back");
    ASSERT_TRUE(WaitUntil([&] { return pc12.inbox.contains(reply); }));
    EXPECT_EQ(pc12.inbox.count(reply), 1);
    EXPECT_EQ(LastLine(1), "ALPHA > hello back ");
}

TEST_F(ChatTableTest, ThisComputersOwnMessagesAreDroppedAndLeaveNoTrace)
{
    OptiuniForm->CheckWav->SetChecked(true);
    Arrive(pc7, "ALPHA", "first");
    Arrive(pc7, "OFFICE", "echo", "ALPHA");
    EXPECT_EQ(Stations(), QStringList{"PC7"});
    EXPECT_EQ(MainForm->LastMessage, "first");
    EXPECT_EQ(sound.Recorded().size(), 1);
}

TEST_F(ChatTableTest, TheSameTextFromAnotherSenderOrAMinuteLaterIsShownAgain)
{
    Arrive(pc7, "ALPHA", "ok");
    Arrive(pc12, "ALPHA", "ok");
    EXPECT_EQ(Stations(), (QStringList{"PC7", "PC12"}));
    EXPECT_EQ(LastLine(2), "PC12 > ok ");

    const int linesBefore = MainForm->Chats.At(2)->RichEdit->LineCount();
    Arrive(pc12, "ALPHA", "ok");
    EXPECT_EQ(MainForm->Chats.At(2)->RichEdit->LineCount(), linesBefore + 1) << "a minute later it is a new message";
    Arrive(pc12, "ALPHA", "other");
    Arrive(pc12, "ALPHA", "ok");
    EXPECT_EQ(MainForm->Chats.At(2)->RichEdit->LineCount(), linesBefore + 3);
}

TEST_F(ChatTableTest, AnEmptyTextReachesAnOpenWindowButOpensNone)
{
    OptiuniForm->CheckWav->SetChecked(true);
    OptiuniForm->EditWav->SetText(QStringLiteral("/sounds/ring.wav"));
    Arrive(pc7, "ALPHA", "");
    EXPECT_TRUE(Stations().isEmpty());
    EXPECT_EQ(sound.Recorded(), QStringList{"/sounds/ring.wav"});

    Arrive(pc7, "ALPHA", "open");
    Arrive(pc7, "ALPHA", "");
    EXPECT_EQ(LastLine(1), "PC7 >  ");
    EXPECT_EQ(sound.Recorded().size(), 3);
}

TEST_F(ChatTableTest, NetworkIsNeverAStation)
{
    OptiuniForm->CheckWav->SetChecked(true);
    MainForm->WinPopupMessage(MainForm->WinPopup, "ALPHA", "Network", "from the root");
    EXPECT_TRUE(MainForm->LastMessage.isEmpty());
    MainForm->WinPopupMessage(MainForm->WinPopup, "Network", "PC7", "to the root");
    EXPECT_EQ(MainForm->LastMessage, "to the root");
    EXPECT_EQ(sound.Recorded().size(), 1);
    EXPECT_TRUE(Stations().isEmpty());
    EXPECT_EQ(MainForm->NewChat("Network"), TMainForm::kNoChatSlot);
    EXPECT_TRUE(messageBoxes.Shown().empty());
}

TEST_F(ChatTableTest, AMessageWithoutAStationOpensNoWindowNotEvenTheSelectedOne)
{
    auto* root = MainForm->TreeStatii->topLevelItem(0);
    MainForm->TreeStatii->setCurrentItem(new QTreeWidgetItem(root, {QStringLiteral("PC12")}));
    MainForm->WinPopupMessage(MainForm->WinPopup, "ALPHA", "", "no sender");
    MainForm->WinPopupMessage(MainForm->WinPopup, "", "PC7", "no receiver");
    EXPECT_TRUE(Stations().isEmpty());
    EXPECT_TRUE(MainForm->LastMessage.isEmpty());
}

TEST_F(ChatTableTest, StationNamesDifferInCase)
{
    MainForm->WinPopupMessage(MainForm->WinPopup, "ALPHA", "PC1", "a");
    MainForm->WinPopupMessage(MainForm->WinPopup, "ALPHA", "pc1", "b");
    EXPECT_EQ(Stations(), (QStringList{"PC1", "pc1"}));
}

TEST_F(ChatTableTest, TheTableFillsToAHundredThenSaysSoAndReusesTheLowestFreeSlot)
{
    OptiuniForm->CheckFlash->SetChecked(false);
    for (int i = 1; i <= TMainForm::kChatSlots; ++i)
        ASSERT_EQ(MainForm->NewChat(QStringLiteral("S%1").arg(i)), i);
    EXPECT_FALSE(MainForm->Chats.At(100)->CheckFlash->isChecked());
    EXPECT_EQ(MainForm->Chats.At(100)->Tag, 100);

    OptiuniForm->CheckWav->SetChecked(true);
    Arrive(pc7, "ALPHA", "no room");
    ASSERT_EQ(messageBoxes.Shown().size(), 1u);
    EXPECT_EQ(messageBoxes.Shown()[0].text, "Couldn't create window");
    EXPECT_EQ(messageBoxes.Shown()[0].caption, "Error");
    EXPECT_EQ(messageBoxes.Shown()[0].owner, nullptr);
    EXPECT_EQ(MainForm->LastMessage, "no room");
    EXPECT_EQ(sound.Recorded().size(), 1);

    const QPointer<TChatForm> closing = MainForm->Chats.At(60);
    MainForm->Chats.At(60)->ButClose->click();
    MainForm->Chats.At(37)->close();
    EXPECT_EQ(MainForm->FreeChatSlot(), 37);
    EXPECT_TRUE(WaitUntil([&] { return closing.isNull(); })) << "a closed window is destroyed soon after";
    Arrive(pc7, "ALPHA", "room now");
    EXPECT_EQ(MainForm->Chats.At(37)->GetStation(), "PC7");
    EXPECT_EQ(MainForm->NewChat("S60"), 60);
    EXPECT_EQ(MainForm->FreeChatSlot(), TMainForm::kNoChatSlot);
}

// The main window ends its chat windows, the open ones and a closed one still waiting for the event loop, before
// anything they were handed; the destruction that was waiting is dropped with the table.
TEST_F(ChatTableTest, TheMainWindowTakesItsChatWindowsWithItOpenOrClosing)
{
    ASSERT_EQ(MainForm->NewChat("PC7"), 1);
    ASSERT_EQ(MainForm->NewChat("PC12"), 2);
    const QPointer<TChatForm> closing = MainForm->Chats.At(1);
    const QPointer<TChatForm> open = MainForm->Chats.At(2);
    closing->close();
    ASSERT_FALSE(closing.isNull());

    delete MainForm;
    MainForm = nullptr;
    EXPECT_TRUE(closing.isNull());
    EXPECT_TRUE(open.isNull());
    QCoreApplication::processEvents();
}

TEST_F(ChatTableTest, ChatOnTheTreeActivatesTheLowestWindowOfTheStationOrOpensOne)
{
    auto* root = MainForm->TreeStatii->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    MainForm->ButChatClick();
    MainForm->TreeStatii->setCurrentItem(root);
    MainForm->ButChatClick();
    EXPECT_TRUE(Stations().isEmpty());

    auto* pc12Node = new QTreeWidgetItem(root, {QStringLiteral("PC12")});
    MainForm->TreeStatii->setCurrentItem(pc12Node);
    MainForm->ButChatClick();
    MainForm->ButChatClick();
    EXPECT_EQ(Stations(), QStringList{"PC12"});

    // Ctrl+click takes the selection away and leaves the node current: there is nothing to chat with.
    MainForm->show();
    MainForm->TreeStatii->expandAll();
    EXPECT_TRUE(MainForm->ButChat->isEnabled());
    QTest::mouseClick(MainForm->TreeStatii->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      MainForm->TreeStatii->visualItemRect(pc12Node).center());
    EXPECT_FALSE(MainForm->ButChat->isEnabled());
    MainForm->Chats.At(1)->close();
    MainForm->ButChatClick();
    EXPECT_TRUE(Stations().isEmpty());

    EXPECT_EQ(MainForm->NewChat("PC12"), 1);
    // A second window of the same station, opened by hand: the lower slot keeps the conversation.
    EXPECT_EQ(MainForm->NewChat("PC12"), 2);
    Arrive(pc12, "ALPHA", "which one");
    EXPECT_EQ(LastLine(1), "PC12 > which one ");
    EXPECT_EQ(MainForm->Chats.At(2)->RichEdit->LineCount(), 1);
}

} // namespace
} // namespace parlino::test
