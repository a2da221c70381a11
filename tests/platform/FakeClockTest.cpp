#include "platform/fake/FakeClock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace parlino {
namespace {

using std::chrono::milliseconds;

TEST(FakeClockTest, TimersRunInTheOrderTheyComeDueEachAtItsTime)
{
    fake::FakeClock clock;
    std::vector<std::string> runs;
    const auto run = [&](const char* name) { runs.push_back(name + std::to_string(clock.TickCount())); };
    const auto every300 = clock.NewTimer(milliseconds(300), TimerRepeat::Repeating, [&] { run("every300@"); });
    std::unique_ptr<MainThreadTimer> once;
    once = clock.NewTimer(milliseconds(500), TimerRepeat::SingleShot, [&] {
        run(once->IsActive() ? "active once@" : "once@");
        once.reset();
    });
    every300->Start();
    once->Start();
    clock.Advance(299);
    EXPECT_TRUE(runs.empty());
    clock.Advance(901);
    EXPECT_EQ(runs,
              (std::vector<std::string>{"every300@300", "once@500", "every300@600", "every300@900", "every300@1200"}));

    every300->Stop();
    clock.Advance(1000);
    every300->Start();
    every300->Start();
    clock.Advance(300);
    EXPECT_EQ(runs.back(), "every300@2500") << "started again: a whole interval from then";
    EXPECT_EQ(runs.size(), 6u);
}

} // namespace
} // namespace parlino
