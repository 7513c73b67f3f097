#include "vds/framework/BackgroundThread.h"

#include "TraceCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr const char* kCategory = "TC.VDS.Provider";

bool anyContains(const std::vector<std::string>& messages, const std::string& part)
{
    for (const std::string& message : messages) {
        if (message.find(part) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

TEST(WakeableWaitTest, AStopEndsTheWaitAndEveryLaterOneUntilReset)
{
    WakeableWait wait;
    EXPECT_FALSE(wait.WaitFor(0ms));
    std::thread stopper([&] { wait.RequestStop(); });
    // Without the stop this would wait an hour.
    EXPECT_TRUE(wait.WaitFor(1h));
    stopper.join();
    EXPECT_TRUE(wait.StopRequested());
    EXPECT_TRUE(wait.WaitFor(1h));
    wait.Reset();
    EXPECT_FALSE(wait.StopRequested());
    EXPECT_FALSE(wait.WaitFor(0ms));
}

// The provider's thread waits 10 s at a time; stopping it must not wait for that to pass.
TEST(BackgroundThreadTest, StopWakesABodyInTheMiddleOfALongWait)
{
    BackgroundThread thread("indication thread", kCategory);
    std::atomic<int> rounds{0};
    std::promise<void> waiting;
    ASSERT_TRUE(thread.Start([&](WakeableWait& stop) {
        waiting.set_value();
        while (!stop.WaitFor(1h))
            ++rounds;
    }));
    EXPECT_FALSE(thread.Start([](WakeableWait&) {}));
    waiting.get_future().wait();
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_TRUE(thread.Stop(1h));
    EXPECT_EQ(rounds.load(), 0);
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_FALSE(thread.Stop());
    // Stopped, it can run again.
    EXPECT_TRUE(thread.Start([](WakeableWait&) {}));
}

// A body that waits on something else (the client library's queue) is woken by the waker.
TEST(BackgroundThreadTest, TheWakerReachesAWaitOfAnotherKind)
{
    WakeableWait queue; // stands in for a queue wait with its own wake-up
    BackgroundThread thread("indication thread", kCategory);
    std::promise<void> waiting;
    ASSERT_TRUE(thread.Start(
        [&](WakeableWait& stop) {
            waiting.set_value();
            while (!stop.StopRequested())
                queue.WaitFor(1h);
        },
        [&] { queue.RequestStop(); }));
    waiting.get_future().wait();
    EXPECT_TRUE(thread.Stop(1h));
}

// Nothing is killed: an overrun is traced, and Stop waits for the body to finish.
TEST(BackgroundThreadTest, AnOverrunIsTracedAndWaitedFor)
{
    TraceCaptureScope traces;
    BackgroundThread thread("indication thread", kCategory);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> finished{false};
    ASSERT_TRUE(thread.Start([&](WakeableWait&) {
        released.wait(); // deaf to the stop request
        finished = true;
    }));
    auto stopped = std::async(std::launch::async, [&] { return thread.Stop(1ms); });
    // Phase 2 begins once the overrun has been reported.
    while (!anyContains(TraceCapture::instance().takeMessages(kCategory), "did not stop within 1 ms"))
        std::this_thread::yield();
    EXPECT_FALSE(finished.load());
    release.set_value();
    EXPECT_FALSE(stopped.get());
    EXPECT_TRUE(finished.load());
    EXPECT_FALSE(thread.IsRunning());
}

// The body may drop the last reference to its owner, whose release stops the thread.
TEST(BackgroundThreadTest, TheBodyMayStopItsOwnThread)
{
    auto thread = std::make_unique<BackgroundThread>("indication thread", kCategory);
    std::promise<bool> answer;
    BackgroundThread* self = thread.get();
    ASSERT_TRUE(thread->Start([&](WakeableWait& stop) {
        answer.set_value(self->Stop() && stop.StopRequested());
    }));
    EXPECT_TRUE(answer.get_future().get());
    thread.reset(); // nothing is left to stop or join
}
