#include "platform/fake/FakeNetworkBrowser.h"
#include "tests/app/AppFixture.h"
#include "tests/support/Trigger.h"
#include "tests/support/Wait.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace parlino {
namespace {

using test::WaitUntil;

// Holds an enumeration inside the platform until the test lets it go.
class Gate
{
public:
    void Wait()
    {
        std::unique_lock lock(mutex_);
        waiting_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    bool Waiting()
    {
        std::lock_guard lock(mutex_);
        return waiting_;
    }
    void Open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool waiting_ = false;
    bool open_ = false;
};

// Opens the gate once the refresh has been told to stop (the step under test), or after ten seconds when it
// never is, so a failing test cannot hang.
std::thread OpenWhenTerminated(Gate& gate, const TThread& refresh)
{
    return std::thread([&gate, &refresh] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!refresh.Terminated() && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        gate.Open();
    });
}

class StationTreeTest : public test::AppFixture
{
protected:
    void Network(const std::vector<std::pair<QString, QStringList>>& workgroups)
    {
        browser.AddNetwork("Microsoft Windows Network", workgroups);
    }
    void Start()
    {
        services.networkBrowser = &browser;
        CreateForms();
        ASSERT_TRUE(WaitRefreshed());
    }
    bool WaitRefreshed()
    {
        // A thousand entries take seconds on a loaded machine running a sanitized build.
        return WaitUntil([] { return MainForm->RefreshThread && MainForm->RefreshThread->Finished(); }, 30000);
    }
    void Refresh()
    {
        MainForm->ButRefreshClick();
        ASSERT_TRUE(WaitRefreshed());
    }
    // Each node as its depth in blanks, its text and its image: " OFFICE/1".
    static QStringList Tree()
    {
        QStringList lines;
        for (QTreeWidgetItemIterator node(MainForm->TreeStatii); *node; ++node) {
            int depth = 0;
            for (const QTreeWidgetItem* up = (*node)->parent(); up; up = up->parent())
                ++depth;
            lines.append(QString(depth, ' ') + (*node)->text(0) + "/" + (*node)->data(0, kImageIndexRole).toString() +
                         ((*node)->isExpanded() ? "" : " closed"));
        }
        return lines;
    }
    // The path of the selected node, "Network/OFFICE/BOB".
    static QString Selected()
    {
        QStringList path;
        for (const QTreeWidgetItem* node = MainForm->TreeStatii->currentItem(); node; node = node->parent())
            path.prepend(node->text(0));
        return path.join('/');
    }
    static void Select(const QString& path)
    {
        QTreeWidgetItem* node = MainForm->TreeStatii->topLevelItem(0);
        for (const QString& step : path.split('/').mid(1)) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < node->childCount() && !next; ++i)
                if (node->child(i)->text(0) == step)
                    next = node->child(i);
            ASSERT_NE(next, nullptr) << step.toStdString();
            node = next;
        }
        MainForm->TreeStatii->setCurrentItem(node);
    }

    fake::FakeNetworkBrowser browser;
};

TEST_F(StationTreeTest, NoNetworkLeavesTheRootAloneSelectedAndChatDisabled)
{
    browser.FailOpen("", NetEnum::ERROR_NO_NETWORK);
    Start();
    EXPECT_EQ(Tree(), QStringList{"Network/0"});
    EXPECT_EQ(Selected(), "Network");
    EXPECT_FALSE(MainForm->ButChat->isEnabled());
}

TEST_F(StationTreeTest, FirstRefreshBuildsTheWholeTreeExpanded)
{
    Network({{"OFFICE", {"bob", "ALICE", "BOB"}}, {"EMPTY", {}}, {"LAB", {"CAROL"}}});
    Start();
    EXPECT_EQ(Tree(),
              (QStringList{"Network/0", " EMPTY/1", " LAB/1", "  CAROL/2", " OFFICE/1", "  ALICE/2", "  bob/2"}));
    EXPECT_EQ(MainForm->TreeStatii->topLevelItemCount(), 1);
    EXPECT_EQ(MainForm->RefreshThread->Priority(), ThreadPriority::Idle);
    EXPECT_EQ(StationCount, 6);
}

TEST_F(StationTreeTest, WorkgroupsWithoutComputersGiveDomainNodesOnly)
{
    Network({{"ONE", {}}, {"TWO", {}}});
    Start();
    EXPECT_EQ(Tree(), (QStringList{"Network/0", " ONE/1", " TWO/1"}));
}

struct Reselection
{
    const char* before;
    const char* after;
    bool chat;
    // Ctrl+click takes the selection off the node again, which stays the current one.
    bool deselected = false;
};

class StationTreeReselectionTest : public StationTreeTest, public testing::WithParamInterface<Reselection>
{
};

TEST_P(StationTreeReselectionTest, TheOldSelectionIsFoundAgainAndTheLastMatchWins)
{
    Network({{"LAB", {"CAROL"}}, {"OFFICE", {"BOB", "LAB"}}});
    Start();
    Select(GetParam().before);
    EXPECT_EQ(MainForm->ButChat->isEnabled(), QString(GetParam().before) != "Network");
    if (GetParam().deselected) {
        QTreeWidget* tree = MainForm->TreeStatii;
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          tree->visualItemRect(tree->currentItem()).center());
        ASSERT_TRUE(tree->selectedItems().isEmpty());
    }
    browser.FailOpen("OFFICE", NetEnum::ERROR_NO_NETWORK);
    Refresh();
    EXPECT_EQ(Selected(), GetParam().after);
    EXPECT_EQ(MainForm->ButChat->isEnabled(), GetParam().chat);
}

INSTANTIATE_TEST_SUITE_P(Selections, StationTreeReselectionTest,
                         testing::Values(Reselection{"Network", "Network", false},
                                         Reselection{"Network/LAB/CAROL", "Network/LAB/CAROL", true},
                                         // A workgroup and a computer share the text: the later node wins.
                                         Reselection{"Network/OFFICE/LAB", "Network/LAB", true},
                                         Reselection{"Network/OFFICE/BOB", "Network", false},
                                         Reselection{"Network/LAB/CAROL", "Network", false, true}));

TEST_F(StationTreeTest, LaterNodeWinsWhenAWorkgroupAndAComputerShareTheOldText)
{
    Network({{"LAB", {"CAROL"}}, {"OFFICE", {"LAB"}}});
    Start();
    Select("Network/LAB");
    Refresh();
    EXPECT_EQ(Selected(), "Network/OFFICE/LAB");
    EXPECT_TRUE(MainForm->ButChat->isEnabled());
}

TEST_F(StationTreeTest, RefreshDuringARefreshBuildsThePartialTreeThenTheFullOne)
{
    Network({{"A", {"A1"}}, {"B", {"B1"}}, {"C", {"C1"}}});
    Start();
    Gate gate;
    bool held = false;
    browser.SetOnOpen([&](const QString& listing) {
        if (listing == "A" && !held) {
            held = true;
            gate.Wait();
        }
    });
    MainForm->ButRefreshClick();
    ASSERT_TRUE(WaitUntil([&] { return gate.Waiting(); }));
    std::thread opener = OpenWhenTerminated(gate, *MainForm->RefreshThread);
    // Stops the running refresh: it finishes domain A and builds the tree from it before the new one starts.
    MainForm->ButRefreshClick();
    opener.join();
    EXPECT_EQ(Tree(), (QStringList{"Network/0", " A/1", "  A1/2"}));
    ASSERT_TRUE(WaitRefreshed());
    EXPECT_EQ(Tree(), (QStringList{"Network/0", " A/1", "  A1/2", " B/1", "  B1/2", " C/1", "  C1/2"}));
}

TEST_F(StationTreeTest, EntriesBeyondTheThousandthAreIgnored)
{
    std::vector<std::pair<QString, QStringList>> network;
    for (int group = 0; group < 30; ++group) {
        QStringList computers;
        for (int computer = 0; computer < 40; ++computer)
            computers.append(
                QStringLiteral("PC%1-%2").arg(group, 2, 10, QLatin1Char('0')).arg(computer, 2, 10, QLatin1Char('0')));
        network.emplace_back(QStringLiteral("G%1").arg(group, 2, 10, QLatin1Char('0')), computers);
    }
    Network(network);
    Start();
    EXPECT_EQ(StationCount, kStationListSize);
    EXPECT_EQ(Tree().size(), kStationListSize + 1);
    EXPECT_EQ(Tree().last(), "  PC24-14/2");
}

TEST_F(StationTreeTest, SelectingTheRootDisablesChatAndAnyOtherNodeEnablesIt)
{
    Network({{"OFFICE", {"BOB"}}});
    Start();
    const std::pair<const char*, bool> cases[] = {
        {"Network/OFFICE", true}, {"Network", false}, {"Network/OFFICE/BOB", true}, {"Network", false}};
    for (const auto& [path, enabled] : cases) {
        Select(path);
        EXPECT_EQ(MainForm->ButChat->isEnabled(), enabled) << path;
        const QTreeWidgetItem* node = MainForm->TreeStatii->currentItem();
        EXPECT_EQ(node->data(0, kSelectedIndexRole), node->data(0, kImageIndexRole)) << path;
    }
}

TEST_F(StationTreeTest, TimerRefreshRefreshesEveryMinuteWhileEnabled)
{
    Network({{"OFFICE", {"BOB"}}});
    Start();
    browser.AddComputer("OFFICE", "CAROL");
    MainForm->TimerRefresh->Start();
    clock.Advance(60000);
    EXPECT_TRUE(WaitUntil([] { return Tree().contains("  CAROL/2"); }));
}

TEST_F(StationTreeTest, ClosingTheWindowDuringARefreshLeavesTheTreeAndNetUsersAlone)
{
    Network({{"A", {"A1"}}, {"B", {"B1"}}});
    Gate gate;
    browser.SetOnOpen([&](const QString& listing) {
        if (listing == "A")
            gate.Wait();
    });
    services.networkBrowser = &browser;
    CreateForms();
    ASSERT_TRUE(WaitUntil([&] { return gate.Waiting(); }));
    std::thread opener = OpenWhenTerminated(gate, *MainForm->RefreshThread);
    MainForm->close();
    delete MainForm;
    MainForm = nullptr;
    opener.join();
    // The refresh ended inside the window's destruction: nothing lists anything any more.
    const QStringList opened = browser.Opened();
    ASSERT_TRUE(test::DrainQueue());
    EXPECT_EQ(browser.Opened(), opened);
    EXPECT_FALSE(opened.contains("B"));
}

TEST_F(StationTreeTest, BehindAnErrorBoxATickNeitherWaitsForTheRefreshNorRoutesAMessage)
{
    Network({{"A", {"A1"}}});
    Start();
    Gate gate;
    browser.SetOnOpen([&](const QString& listing) {
        if (listing == "A")
            gate.Wait();
    });
    MainForm->ButRefreshClick();
    ASSERT_TRUE(WaitUntil([&] { return gate.Waiting(); }));
    const CRefreshThread* underWay = MainForm->RefreshThread.get();

    // The error box's own loop: a tick of the refresh and a message arrive while it is open; it ends once the
    // message's hand-over has come to it.
    messageBoxes.whileShown = [&] {
        QEventLoop modal;
        QMetaObject::invokeMethod(
            &modal,
            [this] {
                MainForm->TimerRefresh->Start();
                clock.Advance(60000);
            },
            Qt::QueuedConnection);
        const test::QuitOnceHandOverPosted quit(modal);
        ASSERT_TRUE(mailslots.Deliver("messngr", {'B', 'O', 'B', 0, 'A', 'L', 'P', 'H', 'A', 0, 'h', 'i'}));
        modal.exec();
        EXPECT_EQ(MainForm->RefreshThread.get(), underWay) << "no second refresh";
        EXPECT_FALSE(MainForm->RefreshThread->Finished());
        EXPECT_TRUE(MainForm->LastMessage.isEmpty()) << "the routing waits for the box";
    };
    profiles.SetReadOnly("parlino.ini", true);
    MainForm->show();
    // Clicked from the program's own event loop, so that the box's loop is a nested one.
    QEventLoop main;
    QTimer::singleShot(0, &main, [&main] {
        test::Trigger(MainForm->ButMin);
        main.quit();
    });
    main.exec();
    messageBoxes.whileShown = nullptr;
    ASSERT_EQ(messageBoxes.Shown().size(), 1U);

    EXPECT_TRUE(WaitUntil([] { return MainForm->LastMessage == "hi"; }));
    std::thread opener = OpenWhenTerminated(gate, *MainForm->RefreshThread);
    Refresh();
    opener.join();
}

} // namespace
} // namespace parlino
