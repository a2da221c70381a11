#include "platform/NetworkBrowser.h"

#include "platform/fake/FakeNetworkBrowser.h"

#include <gtest/gtest.h>

namespace parlino {
namespace {

TEST(ListingBrowserTest, ReadsInBatchesThatFitTheBuffer)
{
    fake::FakeNetworkBrowser browser;
    browser.AddProvider("P");
    for (int i = 0; i < 400; ++i)
        browser.AddComputer("OFFICE", QStringLiteral("C%1").arg(i));
    NetResource start;
    start.remoteName = "OFFICE";
    NetworkBrowser::Handle handle = 0;
    ASSERT_EQ(browser.WNetOpenEnum(NetEnum::RESOURCE_GLOBALNET, 1, 2, &start, &handle), NetEnum::NO_ERROR);
    std::vector<NetResource> all;
    int reads = 0;
    uint32_t result = NetEnum::NO_ERROR;
    while (result == NetEnum::NO_ERROR) {
        uint32_t count = 0xFFFFFFFFu;
        std::vector<NetResource> batch;
        result = browser.WNetEnumResource(handle, &count, &batch, 8192);
        uint32_t bytes = 0;
        for (const auto& record : batch)
            bytes += NetEnum::RecordSize(record);
        EXPECT_LE(bytes, 8192u);
        EXPECT_EQ(count, batch.size());
        all.insert(all.end(), batch.begin(), batch.end());
        ++reads;
    }
    EXPECT_EQ(result, NetEnum::ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(all.size(), 400u);
    EXPECT_GT(reads, 2);
    EXPECT_EQ(browser.WNetCloseEnum(handle), NetEnum::NO_ERROR);
    EXPECT_EQ(browser.WNetCloseEnum(handle), NetEnum::ERROR_INVALID_HANDLE);

    uint32_t count = 1;
    std::vector<NetResource> none;
    EXPECT_EQ(browser.WNetEnumResource(handle, &count, &none, 8192), NetEnum::ERROR_INVALID_HANDLE);
}

TEST(ListingBrowserTest, ARecordLargerThanTheBufferIsAReadError)
{
    fake::FakeNetworkBrowser browser;
    browser.AddComputer("OFFICE", QString(300, 'X'));
    NetResource start;
    start.remoteName = "OFFICE";
    NetworkBrowser::Handle handle = 0;
    ASSERT_EQ(browser.WNetOpenEnum(NetEnum::RESOURCE_GLOBALNET, 1, 2, &start, &handle), NetEnum::NO_ERROR);
    uint32_t count = 0xFFFFFFFFu;
    std::vector<NetResource> batch;
    EXPECT_EQ(browser.WNetEnumResource(handle, &count, &batch, 64), NetEnum::ERROR_MORE_DATA);
    EXPECT_EQ(count, 0u);
    browser.WNetCloseEnum(handle);
}

} // namespace
} // namespace parlino
