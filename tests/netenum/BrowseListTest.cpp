#include "netenum/BrowseList.h"

#include "platform/fake/FakeClock.h"

#include <gtest/gtest.h>

namespace parlino {
namespace {

class BrowseListTest : public testing::Test
{
protected:
    fake::FakeClock clock{1000};
    BrowseList list{clock};
};

TEST_F(BrowseListTest, AHostIsForgottenAfterThreeTimesItsPeriodicity)
{
    ASSERT_TRUE(list.RecordHost("office", "alice", 0x1003, 60000, ""));
    const std::pair<uint32_t, size_t> times[] = {{0, 1}, {179999, 1}, {1, 0}};
    for (const auto& [advance, expected] : times) {
        clock.Advance(advance);
        EXPECT_EQ(list.Computers("OFFICE").size(), expected) << clock.TickCount();
    }
}

TEST_F(BrowseListTest, AnnouncementRenewsTheLeaseAcrossTheTickWrap)
{
    clock.Set(0xFFFFF000u);
    list.RecordHost("OFFICE", "ALICE", 0x1003, 60000, "");
    clock.Advance(170000);
    list.RecordHost("OFFICE", "ALICE", 0x1003, 60000, "");
    clock.Advance(170000);
    EXPECT_EQ(list.Computers("OFFICE").size(), 1u);
}

TEST_F(BrowseListTest, ServerTypeZeroLeavesAtOnce)
{
    list.RecordHost("OFFICE", "ALICE", 0x1003, 60000, "");
    list.RecordHost("OFFICE", "BOB", 0x1003, 60000, "");
    EXPECT_TRUE(list.RecordHost("office", "Alice", 0, 0, ""));
    ASSERT_EQ(list.Computers("OFFICE").size(), 1u);
    EXPECT_EQ(list.Computers("OFFICE")[0].name, "BOB");
}

TEST_F(BrowseListTest, AbsurdPeriodicityIsDropped)
{
    for (uint32_t periodicity : {0u, 999u, 3600001u, 0xFFFFFFFFu})
        EXPECT_FALSE(list.RecordHost("OFFICE", "ALICE", 0x1003, periodicity, "")) << periodicity;
    EXPECT_FALSE(list.RecordWorkgroup("OFFICE", 0));
    EXPECT_EQ(list.HostCount(), 0u);
    EXPECT_TRUE(list.RecordHost("OFFICE", "ALICE", 0x1003, 1000, ""));
}

TEST_F(BrowseListTest, WorkgroupsComeFromHostsAndDomainAnnouncements)
{
    list.RecordHost("OFFICE", "ALICE", 0x1003, 60000, "");
    list.RecordHost("LAB", "CAROL", 0x1003, 60000, "");
    list.RecordWorkgroup("attic", 720000);
    list.RecordWorkgroup("OFFICE", 720000);
    EXPECT_EQ(list.Workgroups(), (std::vector<std::string>{"ATTIC", "LAB", "OFFICE"}));
    EXPECT_TRUE(list.Computers("ATTIC").empty());
}

TEST_F(BrowseListTest, FloodOfInventedHostsStaysBoundedAndMakesRoomWhenTheyExpire)
{
    for (int i = 0; i < 10000; ++i)
        list.RecordHost("FLOOD", "HOST" + std::to_string(i), 0x1003, 1000, "");
    for (int i = 0; i < 10000; ++i)
        list.RecordWorkgroup("GROUP" + std::to_string(i), 1000);
    EXPECT_EQ(list.HostCount(), BrowseList::kMaxHosts);
    EXPECT_EQ(list.WorkgroupCount(), BrowseList::kMaxWorkgroups);
    EXPECT_FALSE(list.RecordHost("OFFICE", "ALICE", 0x1003, 60000, ""));
    clock.Advance(3000);
    EXPECT_TRUE(list.RecordHost("OFFICE", "ALICE", 0x1003, 60000, ""));
    EXPECT_EQ(list.HostCount(), 1u);
}

} // namespace
} // namespace parlino
