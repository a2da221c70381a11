#include "chat/ChatUnit.h"
#include "platform/fake/FakeComputerName.h"
#include "platform/fake/FakeFileChooser.h"
#include "platform/fake/FakeFileSaver.h"
#include "platform/fake/FakeMailslotService.h"
#include "platform/fake/FakeMessageBoxes.h"
#include "platform/fake/FakeStreams.h"
#include "platform/fake/qt/FakeNotifyArea.h"
#include "platform/fake/qt/FakeServices.h"
#include "platform/qt/FlashWindow.h"
#include "settings/FontFormat.h"
#include "settings/OptiuniUnit.h"
#include "tests/support/Accessibility.h"
#include "tests/support/LanStation.h"
#include "tests/support/Trigger.h"
#include "tests/support/Wait.h"

#include <QApplication>
#include <QClipboard>
#include <QMainWindow>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QWindow>

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <vector>

namespace parlino {
namespace {

using test::WaitUntil;

// One chat window of the computer ME, in slot 1, talking to PC2 over a fake LAN.
class ChatFormTest : public testing::Test
{
protected:
    ChatFormTest() { form = Open(QStringLiteral("PC2")); }

    ~ChatFormTest() override
    {
        form.reset();
        me.popup.Close();
        peer.popup.Close();
    }

    std::unique_ptr<TChatForm> Open(const QString& station)
    {
        auto chat = std::make_unique<TChatForm>(ChatServices{.stations = stations,
                                                             .options = options,
                                                             .shownName = shownName,
                                                             .closed = [this] { ++closed; },
                                                             .computerName = computerName,
                                                             .files = files,
                                                             .fileChooser = chooser,
                                                             .messageBoxes = boxes,
                                                             .notifyArea = tray,
                                                             .clock = me.clock,
                                                             .timers = me.clock,
                                                             .profiles = services.profiles,
                                                             .screens = services.screen});
        chat->Tag = 1;
        chat->SetStation(station);
        return chat;
    }

    void Type(const QString& text)
    {
        form->EditText->setText(text);
        QTest::keyClick(form->EditText, Qt::Key_Return);
    }

    QStringList Lines() const
    {
        QStringList lines;
        for (int i = 0; i < form->RichEdit->LineCount(); ++i)
            lines.append(form->RichEdit->Line(i));
        return lines;
    }

    QTextCharFormat FormatOfLine(int line) const
    {
        const QTextBlock block = form->RichEdit->document()->findBlockByNumber(line);
        return block.begin().fragment().charFormat();
    }

    void Receive(const QString& text) { form->Mesaj(QStringLiteral("PC2"), text, *options.EditPrimire->Font(), true); }

    bool TrayAnimated() const { return form->RxTrayIcon->Animated(); }

    const NotifyReceiver* TrayIconOf() const { return tray.Shown().empty() ? nullptr : tray.Shown().front().window; }

    fake::FakeMailslotService mailslots;
    fake::FakeServices services{mailslots};
    TOptiuniForm options{services.platform};
    fake::FakeLan lan;
    test::LanStation me{lan, 1, "ME"};
    test::LanStation peer{lan, 2, "PC2"};
    QString shownName = QStringLiteral("ME");
    int closed = 0;
    fake::FakeComputerName computerName{QStringLiteral("ME")};
    fake::FakeFileSaver files;
    fake::FakeFileChooser chooser;
    fake::FakeMessageBoxes boxes;
    fake::FakeNotifyArea tray;
    fake::FakeStreams streams;
    const std::unique_ptr<TcpNetwork> meStreams = streams.Station(me.network->Address());
    SmbMessageSender smb{*me.network, *meStreams, {}, std::chrono::milliseconds(100)};
    // Stations whose names start with SAMBA are Samba servers.
    StationSender stations{me.popup, StationSender::SmbRoute{smb, me.codePage, "ME", [](const QString& station) {
                                                                 return station.startsWith(QLatin1String("SAMBA"));
                                                             }}};
    std::unique_ptr<TChatForm> form;
};

TEST_F(ChatFormTest, StartsWithOneEmptyLineTheStillTrayIconAndNoFlashing)
{
    EXPECT_EQ(Lines(), QStringList{QString()});
    EXPECT_TRUE(form->CheckFlash->isChecked());
    EXPECT_FALSE(form->TimerFlash->IsActive());
    EXPECT_FALSE(form->PadNext());
    EXPECT_EQ(tray.Shown().size(), 1u);
    // Added once, for the finished window: no add, remove and add again while it was being built.
    EXPECT_EQ(tray.CountOf(NotifyIconMessage::Add), 1);
    EXPECT_EQ(
        std::count_if(tray.Calls().begin(), tray.Calls().end(),
                      [](const auto& call) { return call.message == NotifyIconMessage::Delete && call.succeeded; }),
        0);
    EXPECT_EQ(form->focusWidget(), form->EditText);
    for (const QToolButton* button : {form->ButClose, form->ButClear, form->ButMin, form->ButSave})
        EXPECT_FALSE(button->icon().pixmap(16, 16).isNull()) << button->objectName().toStdString();
}

TEST_F(ChatFormTest, CaptionAndIconFromTheFirstShowAndTheCaptionAgainAtEveryActivation)
{
    // Before the window is activated, which a window manager may refuse it.
    form->show();
    EXPECT_EQ(form->windowTitle(), "Chat with PC2");
    EXPECT_FALSE(form->windowIcon().isNull());
    form->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return form->windowTitle() == "Chat with PC2"; }));
    form->SetStation(QStringLiteral("PC3"));
    EXPECT_EQ(form->windowTitle(), "Chat with PC2");
    form->FormActivate();
    EXPECT_EQ(form->windowTitle(), "Chat with PC3");
}

TEST_F(ChatFormTest, TabFollowsTheLayoutAndTheTranscriptAndEntryAreNamedAfterTheStation)
{
    EXPECT_EQ(test::TabOrder(form.get()),
              (QStringList{"EditText", "ButClose", "ButClear", "ButMin", "ButSave", "CheckFlash", "RichEdit"}));
    form->SetStation(QStringLiteral("PC3"));
    EXPECT_EQ(test::Spoken(form->RichEdit), "Conversation with PC3");
    EXPECT_EQ(test::Spoken(form->EditText), "Message to PC3");
}

// Sending

TEST_F(ChatFormTest, EnterSendsTheLineShowsItInTheSendFontAndEmptiesTheEntry)
{
    Type(QStringLiteral("hello"));
    ASSERT_TRUE(WaitUntil([&] { return !peer.inbox.isEmpty(); }));
    EXPECT_EQ(peer.inbox, QStringList{"ME -> PC2: hello"});
    EXPECT_EQ(Lines(), (QStringList{QString(), "ME > hello "}));
    EXPECT_EQ(FormatOfLine(1).foreground().color(), ColorOfTColor(options.EditTrimitere->Font()->Color()));
    EXPECT_TRUE(form->EditText->text().isEmpty());
}

TEST_F(ChatFormTest, AnEmptyEntrySendsOneBlank)
{
    Type(QString());
    ASSERT_TRUE(WaitUntil([&] { return !peer.inbox.isEmpty(); }));
    EXPECT_EQ(peer.inbox, QStringList{"ME -> PC2:  "});
    EXPECT_EQ(Lines().last(), "ME >   ");
}

TEST_F(ChatFormTest, RepeatedSendsAlternateWithAndWithoutAnExtraBlank)
{
    for (int i = 0; i < 3; ++i)
        Type(QStringLiteral("ok"));
    ASSERT_TRUE(WaitUntil([&] { return peer.inbox.size() == 3; }));
    EXPECT_EQ(peer.inbox, (QStringList{"ME -> PC2: ok", "ME -> PC2: ok ", "ME -> PC2: ok"}));
    EXPECT_EQ(Lines().mid(1), (QStringList{"ME > ok ", "ME > ok  ", "ME > ok "}));
}

TEST_F(ChatFormTest, NothingGoesToThisComputerItselfButEverythingToLongerNames)
{
    test::LanStation mex{lan, 3, "MEX"};
    // The last one sent is the sentinel: once it is there, nothing else is on its way.
    for (const QString station : {"ME", "me", "MEX"}) {
        form->SetStation(station);
        Type(QStringLiteral("to ") + station);
    }
    ASSERT_TRUE(WaitUntil([&] { return !mex.inbox.isEmpty(); }));
    EXPECT_EQ(mex.inbox, QStringList{"ME -> MEX: to MEX"});
    EXPECT_EQ(me.inbox.filter("to "), QStringList());
    EXPECT_EQ(Lines().mid(1), (QStringList{"ME > to ME ", "ME > to me  ", "ME > to MEX "}));
}

struct SendCase
{
    const char* name;
    QString typed;
    // What the peer receives; nothing when the text is refused.
    std::optional<QString> sent;
};

TEST_F(ChatFormTest, WhatLeavesIsTheTypedTextWithoutControlCharactersAndNeverCut)
{
    const qsizetype longest = TChatForm::LongestText(QStringLiteral("ME"), QStringLiteral("PC2"));
    const std::vector<SendCase> cases = {
        {"control characters",
         QString::fromUtf8("a\x01"
                           "b\x7F\x1B[2J\u0085\t\r\nc"),
         QStringLiteral("ab[2J\t\r\nc")},
        {"longer than a line edit takes by default", QString(40000, u'x'), QString(40000, u'x')},
        {"the longest one message holds", QString(longest, u'z'), QString(longest, u'z')},
        {"too long for one message", QString(longest + 1, u'y'), std::nullopt},
        {"sentinel", QStringLiteral("done"), QStringLiteral("done")},
    };
    for (const SendCase& c : cases) {
        // A new window each time, so that no blank is added to a repeat.
        form = Open(QStringLiteral("PC2"));
        const qsizetype received = peer.inbox.size();
        // As a paste puts it there.
        form->EditText->insert(c.typed);
        QTest::keyClick(form->EditText, Qt::Key_Return);
        if (c.sent) {
            ASSERT_TRUE(WaitUntil([&] { return peer.inbox.size() > received; })) << c.name;
            EXPECT_EQ(peer.inbox.last(), QStringLiteral("ME -> PC2: ") + *c.sent) << c.name;
            EXPECT_EQ(peer.inbox.size(), received + 1) << c.name;
            EXPECT_TRUE(form->EditText->text().isEmpty()) << c.name;
        } else {
            EXPECT_EQ(form->EditText->text(), c.typed) << c.name << ": kept to be shortened";
            EXPECT_TRUE(Lines().last().startsWith(QStringLiteral("(not sent"))) << c.name;
        }
    }
}

TEST_F(ChatFormTest, ALineThatCouldNotBeSentSaysSo)
{
    // Longer than any network name, so neither a datagram nor a session can be addressed to it.
    form->SetStation(QStringLiteral("AVERYLONGSTATIONNAME"));
    Type(QStringLiteral("lost"));
    EXPECT_EQ(Lines().mid(1), (QStringList{"ME > lost ", "(not delivered to AVERYLONGSTATIONNAME)"}));
    // A Samba server's line shows at once; that no route took it is known once the SMB route has been tried.
    form->SetStation(QStringLiteral("SAMBAWITHALONGNAME"));
    Type(QStringLiteral("late"));
    EXPECT_EQ(Lines().mid(3), QStringList{"ME > late  "});
    EXPECT_TRUE(form->EditText->text().isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return Lines().size() == 5; }));
    EXPECT_EQ(Lines().mid(3), (QStringList{"ME > late  ", "(not delivered to SAMBAWITHALONGNAME)"}));
    form->SetStation(QStringLiteral("PC2"));
    Type(QStringLiteral("kept"));
    EXPECT_EQ(Lines().last(), "ME > kept ");
}

// Transcript lines

TEST_F(ChatFormTest, AReceivedLineIsWhollyInTheReceiveFont)
{
    options.EditPrimire->Font()->SetStyle(TFont::TFontStyles(TFont::fsBold));
    Receive(QStringLiteral("hi {there}"));
    EXPECT_EQ(Lines().last(), "PC2 > hi {there} ");
    const QTextBlock block = form->RichEdit->document()->findBlockByNumber(1);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        EXPECT_EQ(it.fragment().charFormat().foreground().color(), QColor(Qt::red));
        EXPECT_EQ(it.fragment().charFormat().fontWeight(), QFont::Bold);
    }
}

TEST_F(ChatFormTest, TimeStampsFollowTheOptionAtEachLine)
{
    options.CheckTimp->SetChecked(true);
    const QString before = TChatForm::LocalTimeText();
    Receive(QStringLiteral("timed"));
    const QString after = TChatForm::LocalTimeText();
    options.CheckTimp->SetChecked(false);
    Receive(QStringLiteral("plain"));

    const QString timed = Lines()[1];
    EXPECT_TRUE(timed == before + " PC2 > timed " || timed == after + " PC2 > timed ") << timed.toStdString();
    EXPECT_TRUE(QRegularExpression("\\d:\\d\\d:\\d\\d").match(before).hasMatch()) << before.toStdString();
    EXPECT_EQ(Lines()[2], "PC2 > plain ");
}

TEST_F(ChatFormTest, ClearThenALineLeavesExactlyThatLine)
{
    Receive(QStringLiteral("old"));
    test::Trigger(form->ButClear);
    Receive(QStringLiteral("new"));
    EXPECT_EQ(Lines(), QStringList{"PC2 > new "});
}

TEST_F(ChatFormTest, ALineJumpsToTheEndDropsTheTranscriptSelectionAndKeepsTheEntryCaret)
{
    for (int i = 0; i < 50; ++i)
        Receive(QStringLiteral("line %1").arg(i));
    form->show();
    form->RichEdit->ScrollToLine(0);
    form->RichEdit->setTextCursor(QTextCursor(form->RichEdit->document()));
    form->RichEdit->SelectAll();
    form->EditText->setText(QStringLiteral("typing"));
    form->EditText->setSelection(1, 3);
    form->EditText->setCursorPosition(2);

    Receive(QStringLiteral("last"));
    EXPECT_EQ(form->RichEdit->SelLength(), 0);
    EXPECT_EQ(form->RichEdit->SelStart(), form->RichEdit->TextLength());
    EXPECT_GT(form->RichEdit->FirstVisibleLine(), 0);
    EXPECT_EQ(form->EditText->cursorPosition(), 2);
    EXPECT_FALSE(form->EditText->hasSelectedText());
    EXPECT_EQ(form->EditText->text(), "typing");
}

TEST_F(ChatFormTest, CharactersTypedIntoTheTranscriptMoveToTheEntry)
{
    form->show();
    form->EditText->setText(QStringLiteral("ab"));
    form->RichEdit->setFocus();
    QTest::keyClicks(form->RichEdit, QStringLiteral("c d"));
    EXPECT_EQ(form->EditText->text(), "abc d");
    EXPECT_EQ(form->EditText->cursorPosition(), 5);
    EXPECT_EQ(Lines(), QStringList{QString()});
}

struct TranscriptKey
{
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    // The text the key carries, as X11 gives it.
    const char* text;
};

TEST_F(ChatFormTest, TheTranscriptsOwnKeysNeitherReachTheEntryNorSend)
{
    Receive(QStringLiteral("copy me"));
    form->show();
    const QStringList transcript = Lines();
    const std::vector<TranscriptKey> keys = {
        {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, "\x03"}, {"Ctrl+A", Qt::Key_A, Qt::ControlModifier, "\x01"},
        {"Escape", Qt::Key_Escape, Qt::NoModifier, "\x1B"}, {"Backspace", Qt::Key_Backspace, Qt::NoModifier, "\b"},
        {"Enter", Qt::Key_Return, Qt::NoModifier, "\r"},
    };
    for (const TranscriptKey& k : keys) {
        form->EditText->setText(QStringLiteral("ab"));
        form->RichEdit->setFocus();
        form->RichEdit->SelectAll();
        QTest::sendKeyEvent(QTest::Click, form->RichEdit, k.key, QString::fromLatin1(k.text), k.modifiers);
        EXPECT_EQ(form->EditText->text(), "ab") << k.name;
        EXPECT_EQ(Lines(), transcript) << k.name;
    }
    EXPECT_EQ(form->focusWidget(), form->EditText) << "Enter leads to the entry";
    EXPECT_TRUE(QApplication::clipboard()->text().contains("PC2 > copy me")) << "Ctrl+C copied";

    // Only this send reaches the peer, exactly as typed.
    QTest::keyClicks(form->RichEdit, QStringLiteral(" c"));
    QTest::keyClick(form->EditText, Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([&] { return !peer.inbox.isEmpty(); }));
    EXPECT_EQ(peer.inbox, QStringList{"ME -> PC2: ab c"});
}

TEST_F(ChatFormTest, SelectAllAndCopyTakeTheTranscript)
{
    Receive(QStringLiteral("copy me"));
    test::Trigger(form->Selectall1);
    EXPECT_EQ(form->RichEdit->SelLength(), form->RichEdit->TextLength());
    test::Trigger(form->copy1);
    EXPECT_TRUE(QApplication::clipboard()->text().contains("PC2 > copy me"));
}

TEST_F(ChatFormTest, SavingWritesRichTextWhateverTheExtension)
{
    Receive(QStringLiteral("kept"));
    files.files["notes.txt"] = "old content";
    chooser.answer = QStringLiteral("notes.txt");
    test::Trigger(form->ButSave);
    ASSERT_EQ(chooser.requests.size(), 1u);
    EXPECT_EQ(chooser.requests[0].defaultExt, ".rtf");
    EXPECT_EQ(chooser.requests[0].filter, "Ritch Text Format (*.RTF)|*.rtf|All Files (*.*)|*.*");
    EXPECT_TRUE(files.files["notes.txt"].startsWith("{\\rtf1"));
    EXPECT_TRUE(files.files["notes.txt"].contains("PC2 > kept"));
}

TEST_F(ChatFormTest, SaveErrorsAreShownAndCancelDoesNothing)
{
    test::Trigger(form->ButSave);
    EXPECT_TRUE(files.files.isEmpty());
    chooser.answer = QStringLiteral("/nowhere/x.rtf");
    files.result = SaveResult::CannotCreate;
    test::Trigger(form->ButSave);
    files.result = SaveResult::WriteFailed;
    test::Trigger(form->ButSave);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, "Cannot create file /nowhere/x.rtf");
    EXPECT_EQ(boxes.Shown()[1].text, "Failed to Save Stream");
    EXPECT_EQ(Lines(), QStringList{QString()});
}

// Flashing

TEST_F(ChatFormTest, FlashingShowsInTheWindowItselfUntilItStops)
{
    form->show();
    Receive(QStringLiteral("ping"));
    const QImage flashed = form->grab().toImage();
    me.clock.Advance(500);
    const QImage normal = form->grab().toImage();
    EXPECT_NE(flashed, normal);
    me.clock.Advance(500);
    EXPECT_EQ(form->grab().toImage(), flashed) << "the look toggles";
    form->StopFlash();
    EXPECT_EQ(form->grab().toImage(), normal);
}

TEST_F(ChatFormTest, AReceivedLineFlashesUntilAKeyInTheEntry)
{
    form->show();
    Receive(QStringLiteral("ping"));
    EXPECT_TRUE(form->TimerFlash->IsActive());
    EXPECT_TRUE(TrayAnimated());
    EXPECT_TRUE(FlashInverted(form.get()));
    me.clock.Advance(499);
    EXPECT_TRUE(FlashInverted(form.get())) << "half a second lit";
    me.clock.Advance(1);
    EXPECT_FALSE(FlashInverted(form.get())) << "the timer toggles the look";
    Receive(QStringLiteral("again"));
    EXPECT_TRUE(FlashInverted(form.get())) << "a further line inverts once more";

    QTest::keyClick(form->EditText, Qt::Key_Shift);
    EXPECT_FALSE(form->TimerFlash->IsActive());
    EXPECT_FALSE(TrayAnimated());
    EXPECT_FALSE(FlashInverted(form.get()));
}

TEST_F(ChatFormTest, ASentLineStopsTheFlashing)
{
    Receive(QStringLiteral("ping"));
    form->EditText->setText(QStringLiteral("pong"));
    test::Trigger(form->ButOk);
    EXPECT_FALSE(form->TimerFlash->IsActive());
    EXPECT_FALSE(TrayAnimated());
    EXPECT_FALSE(FlashInverted(form.get()));
}

TEST_F(ChatFormTest, ClearingTheFlashBoxStopsAtTheNextTickKeepingTheLook)
{
    Receive(QStringLiteral("ping"));
    form->CheckFlash->setChecked(false);
    EXPECT_TRUE(form->TimerFlash->IsActive());
    const bool look = FlashInverted(form.get());
    me.clock.Advance(500);
    EXPECT_FALSE(form->TimerFlash->IsActive());
    EXPECT_FALSE(TrayAnimated());
    EXPECT_EQ(FlashInverted(form.get()), look);

    Receive(QStringLiteral("quiet"));
    EXPECT_FALSE(form->TimerFlash->IsActive());
    EXPECT_FALSE(TrayAnimated());
}

// Hiding, showing and closing

TEST_F(ChatFormTest, MinimizeHidesIntoTheTrayIconWhichBringsTheWindowBack)
{
    form->show();
    test::Trigger(form->ButMin);
    EXPECT_FALSE(form->isVisible());
    ASSERT_NE(TrayIconOf(), nullptr);

    Receive(QStringLiteral("while hidden"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(TrayAnimated());

    ASSERT_TRUE(tray.Deliver(TrayIconOf(), kWmLButtonDown));
    ASSERT_TRUE(tray.Deliver(TrayIconOf(), kWmLButtonUp));
    EXPECT_TRUE(form->isVisible());

    form->setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->isMinimized());
    test::Trigger(form->Show1);
    EXPECT_TRUE(form->isVisible());
}

// Left minimized in an earlier run, it opens hidden into its icon, never with its native window up while Qt holds the
// window hidden, unpainted and deaf; brought back, it is whole.
TEST_F(ChatFormTest, StoredMinimizedOpensIntoItsIconAndComesBackWhole)
{
    const QMainWindow main; // beside which a chat window is no main window
    services.profiles.SetText(QStringLiteral("parlino.ini"), QStringLiteral("[ChatWindow]\nShowCmd=2\n"));
    form->show();
    ASSERT_TRUE(WaitUntil([&] { return !form->isVisible() && !form->isMinimized(); }));
    EXPECT_FALSE(form->windowHandle()->isVisible());
    form->RxTrayIconClick();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isVisible() && form->windowHandle()->isVisible() && !form->isMinimized());
}

TEST_F(ChatFormTest, WithoutItsTrayIconShownMinimizeOnlyMinimizes)
{
    // Opened with no notification area; a panel that appears later holds no icon of this window either.
    for (const bool panelLater : {false, true}) {
        tray.SetAvailable(false);
        form = Open(QStringLiteral("PC2"));
        tray.SetAvailable(panelLater);
        form->show();
        test::Trigger(form->ButMin);
        EXPECT_TRUE(form->isVisible()) << panelLater;
        EXPECT_TRUE(form->isMinimized()) << panelLater;
        form->showNormal();
        form->setWindowState(Qt::WindowMinimized);
        EXPECT_TRUE(form->isVisible()) << panelLater;
        EXPECT_TRUE(form->isMinimized()) << panelLater;
    }
}

TEST_F(ChatFormTest, EveryWayOfClosingTellsTheOwnerOnceAndHidesTheWindowWhoseIconGoesWithIt)
{
    const std::array<void (*)(TChatForm*), 3> ways{
        [](TChatForm* chat) { test::Trigger(chat->ButClose); },
        [](TChatForm* chat) { test::Trigger(chat->Close1); },
        [](TChatForm* chat) { chat->close(); },
    };
    for (const auto& close : ways) {
        if (!form)
            form = Open(QStringLiteral("PC2"));
        form->show();
        closed = 0;
        close(form.get());
        EXPECT_EQ(closed, 1);
        EXPECT_FALSE(form->isVisible());
        form.reset();
        EXPECT_TRUE(tray.Shown().empty());
    }
}

} // namespace
} // namespace parlino
