#include "netenum/NetUsers.h"

#include "netenum/NetworkWalk.h"
#include "platform/fake/FakeComputerName.h"
#include "platform/fake/FakeNetworkBrowser.h"

#include <QVariant>

#include <algorithm>
#include <gtest/gtest.h>

namespace parlino {
namespace {

using NetEnum::ERROR_INVALID_PARAMETER;
using NetEnum::ERROR_NO_MORE_ITEMS;
using NetEnum::ERROR_NO_NETWORK;

class NetUsersTest : public testing::Test
{
protected:
    void Network(const std::vector<std::pair<QString, QStringList>>& workgroups)
    {
        browser.AddNetwork("Microsoft Windows Network", workgroups);
    }
    QStringList Items() const { return users.Items().Names(); }

    fake::FakeNetworkBrowser browser;
    fake::FakeComputerName thisComputer{"BOB"};
    TNetUsers users{nullptr, browser, thisComputer};
};

TEST_F(NetUsersTest, WorkgroupsOfAllProvidersOnceEachSortedWithoutRegardToCase)
{
    browser.AddProvider("First");
    browser.AddProvider("Second");
    browser.AddWorkgroup("First", "office");
    browser.AddWorkgroup("First", "Lab");
    browser.AddWorkgroup("Second", "OFFICE");
    browser.AddWorkgroup("Second", "attic");
    EXPECT_TRUE(users.EnumDomains());
    EXPECT_EQ(Items(), (QStringList{"attic", "Lab", "office"}));
    EXPECT_EQ(browser.OpenHandles(), 0);
}

TEST_F(NetUsersTest, ComputersOnceEachSortedWithoutRegardToCase)
{
    Network({{"OFFICE", {"bob", "Alice", "BOB", "carol", "ALICE"}}});
    users.SetServer("OFFICE");
    EXPECT_TRUE(users.EnumServers());
    EXPECT_EQ(Items(), (QStringList{"Alice", "bob", "carol"}));
}

TEST_F(NetUsersTest, WorkgroupWithoutComputersIsAnEmptySuccess)
{
    Network({{"EMPTY", {}}});
    users.SetServer("EMPTY");
    EXPECT_TRUE(users.EnumServers());
    EXPECT_EQ(Items(), QStringList());
}

TEST_F(NetUsersTest, ServerSetterComparesWithLetterCase)
{
    users.SetServer("office");
    users.SetServer("OFFICE");
    EXPECT_EQ(users.Server(), "OFFICE");
    EXPECT_EQ(users.property("Server").toString(), "OFFICE");
}

TEST_F(NetUsersTest, RefreshWithServerSetListsOnlyThatWorkgroup)
{
    Network({{"OFFICE", {"ALICE"}}, {"LAB", {"CAROL"}}});
    users.SetServer("LAB");
    EXPECT_TRUE(users.Refresh());
    EXPECT_EQ(users.Server(), "LAB");
    EXPECT_EQ(Items(), QStringList{"CAROL"});
    EXPECT_EQ(browser.Opened(), QStringList{"LAB"});
}

TEST_F(NetUsersTest, RefreshFindsTheWorkgroupOfThisComputerAndStopsThere)
{
    Network({{"ALPHA", {"ALICE"}}, {"BETA", {"bob", "DAVE"}}, {"GAMMA", {"BOB"}}});
    EXPECT_TRUE(users.Refresh());
    EXPECT_EQ(users.Server(), "BETA");
    EXPECT_EQ(Items(), (QStringList{"bob", "DAVE"}));
    EXPECT_FALSE(browser.Opened().contains("GAMMA"));
}

TEST_F(NetUsersTest, RefreshWhenThisComputerIsNowhereEndsOnTheLastWorkgroup)
{
    Network({{"BETA", {"DAVE"}}, {"ALPHA", {"ALICE"}}});
    EXPECT_FALSE(users.Refresh());
    EXPECT_EQ(users.Server(), "BETA");
    EXPECT_EQ(Items(), QStringList{"DAVE"});
}

TEST_F(NetUsersTest, RemoteNamesLoseTwoCharactersWithoutReadingPastTheirEnd)
{
    browser.AddProvider("P");
    for (const char* remote : {"\\\\ALICE", "\\\\B", "\\\\", "\\", "", "XYCAROL"})
        browser.AddComputerRecord("OFFICE", remote);
    users.SetServer("OFFICE");
    EXPECT_TRUE(users.EnumServers());
    EXPECT_EQ(Items(), (QStringList{"ALICE", "B", "CAROL"}));
}

// Each failure ends the call with False, keeps the names found so far and leaves no listing open.
struct Failure
{
    const char* what;
    std::function<void(fake::FakeNetworkBrowser&)> arrange;
    bool listComputers; // EnumServers of OFFICE, else EnumDomains
    QStringList kept;   // the first names left in Items
    int count;          // how many names are left
};

class NetUsersFailureTest : public NetUsersTest, public testing::WithParamInterface<Failure>
{
};

TEST_P(NetUsersFailureTest, FalseWithNamesSoFarAndNothingLeftOpen)
{
    browser.AddProvider("P1");
    browser.AddProvider("P2");
    browser.AddWorkgroup("P1", "OFFICE");
    browser.AddWorkgroup("P2", "LAB");
    for (int i = 0; i < 400; ++i)
        browser.AddComputer("OFFICE", QStringLiteral("COMPUTER%1").arg(i, 3, 10, QLatin1Char('0')));
    GetParam().arrange(browser);

    users.SetServer("OFFICE");
    EXPECT_FALSE(GetParam().listComputers ? users.EnumServers() : users.EnumDomains());
    EXPECT_EQ(Items().mid(0, GetParam().kept.size()), GetParam().kept);
    EXPECT_EQ(users.Items().Count(), GetParam().count);
    EXPECT_EQ(browser.OpenHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, NetUsersFailureTest,
    testing::Values(
        Failure{"RootCannotBeOpened", [](auto& b) { b.FailOpen("", ERROR_NO_NETWORK); }, false, {}, 0},
        Failure{"EmptyNetwork", [](auto& b) { b.FailRead("", 0, ERROR_NO_MORE_ITEMS); }, false, {}, 0},
        Failure{"RootReadFails", [](auto& b) { b.FailRead("", 0, ERROR_INVALID_PARAMETER); }, false, {}, 0},
        Failure{"RootCloseFails", [](auto& b) { b.FailClose("", ERROR_INVALID_PARAMETER); }, false, {}, 0},
        Failure{
            "SecondProviderCannotBeOpened", [](auto& b) { b.FailOpen("P2", ERROR_NO_NETWORK); }, false, {"OFFICE"}, 1},
        Failure{"ProviderReadFails", [](auto& b) { b.FailRead("P2", 0, ERROR_NO_NETWORK); }, false, {"OFFICE"}, 1},
        Failure{"ProviderCloseFails", [](auto& b) { b.FailClose("P1", ERROR_NO_NETWORK); }, false, {"OFFICE"}, 1},
        Failure{"ComputersCannotBeOpened", [](auto& b) { b.FailOpen("OFFICE", ERROR_NO_NETWORK); }, true, {}, 0},
        Failure{"SecondBatchOfComputersFails",
                [](auto& b) { b.FailRead("OFFICE", 1, ERROR_NO_NETWORK); },
                true,
                {"COMPUTER000", "COMPUTER001"},
                167},
        Failure{"ComputerListingCannotBeClosed",
                [](auto& b) { b.FailClose("OFFICE", ERROR_NO_NETWORK); },
                true,
                {"COMPUTER000"},
                400}),
    [](const testing::TestParamInfo<Failure>& param) { return std::string(param.param.what); });

// The walk hands over each workgroup followed by its computers; a listing that fails leaves out only its own names.
struct Walk
{
    const char* what;
    std::function<void(fake::FakeNetworkBrowser&)> arrange;
    QStringList walked; // workgroups, and computers indented by two blanks
    int stopAfter = -1; // the workgroups walked before the walk is asked to stop; -1 never
};

class NetworkWalkTest : public NetUsersTest, public testing::WithParamInterface<Walk>
{
};

TEST_P(NetworkWalkTest, WorkgroupsInOrderEachFollowedByItsComputers)
{
    Network({{"OFFICE", {"BOB", "alice"}}, {"EMPTY", {}}, {"LAB", {"CAROL"}}});
    GetParam().arrange(browser);
    QStringList walked;
    int workgroups = 0;
    WalkNetwork(
        users,
        [&](NetworkNode node, const QString& name) {
            walked.append(node == NetworkNode::Computer ? "  " + name : name);
            workgroups += node == NetworkNode::Domain;
        },
        [&] { return workgroups == GetParam().stopAfter; });
    EXPECT_EQ(walked, GetParam().walked);
    EXPECT_EQ(browser.OpenHandles(), 0);
}

const QStringList kWholeWalk{"EMPTY", "LAB", "  CAROL", "OFFICE", "  alice", "  BOB"};

INSTANTIATE_TEST_SUITE_P(
    Walks, NetworkWalkTest,
    testing::Values(Walk{"WholeNetwork", [](auto&) {}, kWholeWalk},
                    Walk{"WorkgroupThatCannotBeListedKeepsItsPlace",
                         [](auto& b) { b.FailOpen("LAB", ERROR_NO_NETWORK); },
                         {"EMPTY", "LAB", "OFFICE", "  alice", "  BOB"}},
                    Walk{"ProviderThatFailsHidesOnlyItsOwnWorkgroups",
                         [](auto& b) {
                             b.AddNetwork("Other", {{"ATTIC", {"DAVE"}}});
                             b.FailOpen("Other", ERROR_NO_NETWORK);
                         },
                         kWholeWalk},
                    Walk{"StopIsAskedBeforeEachWorkgroup", [](auto&) {}, {"EMPTY", "LAB", "  CAROL"}, 2}),
    [](const testing::TestParamInfo<Walk>& param) { return std::string(param.param.what); });

} // namespace
} // namespace parlino
