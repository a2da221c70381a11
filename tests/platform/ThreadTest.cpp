#include "platform/Thread.h"

#include "platform/MainThreadHandOver.h"
#include "platform/PollThread.h"
#include "platform/UniqueFd.h"
#include "tests/support/Wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <gtest/gtest.h>
#include <sched.h>
#include <stdexcept>
#include <sys/socket.h>
#include <vector>

namespace parlino {
namespace {

using test::WaitUntil;

// A thread whose body the test gives.
class Worker final : public TThread
{
public:
    explicit Worker(std::function<void(Worker&)> body, std::atomic<int>* destroyed = nullptr)
        : body_(std::move(body)), destroyed_(destroyed)
    {}
    ~Worker() override
    {
        if (destroyed_)
            ++*destroyed_;
    }
    using TThread::Synchronize;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(Worker&)> body_;
    std::atomic<int>* destroyed_;
};

TEST(ThreadTest, RunsOnlyOnceResumedAndWaitForReturnsAfterTheBody)
{
    std::atomic<bool> ran{false};
    Worker worker([&](Worker&) { ran = true; });
    // A sentinel made later and resumed has run its course.
    Worker sentinel([](Worker&) {});
    sentinel.Resume();
    sentinel.WaitFor();
    EXPECT_FALSE(ran);
    worker.Resume();
    worker.WaitFor();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(worker.Finished());
}

TEST(ThreadTest, SynchronizeRunsOnTheMainThreadAndBlocksTheCaller)
{
    auto* const mainThread = QThread::currentThread();
    std::vector<std::string> order;
    Worker worker([&](Worker& self) {
        self.Synchronize([&] {
            EXPECT_EQ(QThread::currentThread(), mainThread);
            order.emplace_back("main");
        });
        order.emplace_back("worker after");
    });
    worker.Resume();
    ASSERT_TRUE(WaitUntil([&] { return worker.Finished(); }));
    EXPECT_EQ(order, (std::vector<std::string>{"main", "worker after"}));
}

TEST(ThreadTest, AnExceptionOnTheMainThreadComesBackToTheCaller)
{
    std::atomic<bool> caught{false};
    Worker worker([&](Worker& self) {
        try {
            self.Synchronize([] { throw std::runtime_error("refused"); });
        } catch (const std::runtime_error&) {
            caught = true;
        }
    });
    worker.Resume();
    ASSERT_TRUE(WaitUntil([&] { return worker.Finished(); }));
    EXPECT_TRUE(caught);
}

TEST(ThreadTest, WaitingFromTheMainThreadServesHandOvers)
{
    int rebuilt = 0;
    Worker worker([&](Worker& self) {
        while (!self.Terminated())
            QThread::msleep(1);
        // A stopped worker still finishes its work on the main thread.
        self.Synchronize([&] { ++rebuilt; });
    });
    worker.Resume();
    worker.Terminate();
    worker.WaitFor();
    EXPECT_EQ(rebuilt, 1);
}

TEST(ThreadTest, DestroyingARunningThreadStopsAndWaitsForIt)
{
    std::atomic<int> passes{0};
    std::atomic<bool> ended{false};
    {
        Worker worker([&](Worker& self) {
            while (!self.Terminated()) {
                ++passes;
                QThread::msleep(1);
            }
            ended = true;
        });
        worker.Resume();
        ASSERT_TRUE(WaitUntil([&] { return passes > 0; }));
    }
    // The body's last step is done: the loop has stopped and takes no further pass.
    EXPECT_TRUE(ended);
}

// Short bodies end, and delete their thread, while Resume may still be returning; some threads only
// become free-on-terminate while they run.
TEST(ThreadTest, FreeOnTerminateThreadsDeleteThemselves)
{
    std::atomic<int> destroyed{0};
    for (int i = 0; i < 50; ++i) {
        auto* worker = new Worker([](Worker&) {}, &destroyed);
        worker->SetFreeOnTerminate(true);
        worker->Resume();
    }
    for (int i = 0; i < 10; ++i)
        (new Worker([](Worker& self) { self.SetFreeOnTerminate(true); }, &destroyed))->Resume();
    EXPECT_TRUE(WaitUntil([&] { return destroyed == 60; }));
}

TEST(ThreadTest, IdlePriorityUsesTheIdleScheduler)
{
    std::atomic<int> policy{-1};
    Worker worker([&](Worker&) { policy = sched_getscheduler(0); });
    worker.SetPriority(ThreadPriority::Idle);
    worker.Resume();
    worker.WaitFor();
    EXPECT_EQ(policy, SCHED_IDLE);
}

TEST(HandOverTest, WaitsWhileANestedLoopRunsAndIsServedAfterIt)
{
    std::atomic<bool> served{false};
    bool servedInsideNestedLoop = false;
    bool servedAfterIt = false;
    Worker worker([&](Worker& self) { self.Synchronize([&] { served = true; }); });
    QEventLoop outer;
    QTimer::singleShot(0, [&] {
        // A nested loop, as a modal box runs one, that has come to the hand-over.
        QEventLoop nested;
        {
            const test::QuitOnceHandOverPosted quit(nested);
            QTimer::singleShot(0, [&] { worker.Resume(); });
            nested.exec();
        }
        servedInsideNestedLoop = served;
        servedAfterIt = WaitUntil([&] { return served.load(); });
        outer.quit();
    });
    outer.exec();
    EXPECT_FALSE(servedInsideNestedLoop);
    EXPECT_TRUE(servedAfterIt);
    worker.WaitFor();
}

TEST(HandOverTest, ServeUntilGivesUpAfterItsTimeOut)
{
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(MainThreadHandOver::ServeUntil([] { return false; }, 50));
    EXPECT_GE(timer.elapsed(), 45);
    EXPECT_TRUE(MainThreadHandOver::ServeUntil([] { return true; }, 50));
}

TEST(PollThread, HandsAReadableSocketToItsHandlerAndStopWakesItsWait)
{
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, ends), 0);
    const UniqueFd reading(ends[0]);
    const UniqueFd writing(ends[1]);
    std::atomic<char> heard{0};
    PollThread waiting;
    ASSERT_TRUE(waiting.Start(reading.Get(), [&] {
        char byte = 0;
        if (::recv(reading.Get(), &byte, 1, MSG_DONTWAIT) == 1)
            heard = byte;
    }));
    ASSERT_EQ(::send(writing.Get(), "x", 1, 0), 1);
    EXPECT_TRUE(WaitUntil([&] { return heard == 'x'; }));
    // Nothing more comes: the thread waits without a time-out, and only the wake-up can end the wait.
    waiting.Stop();
}

} // namespace
} // namespace parlino
