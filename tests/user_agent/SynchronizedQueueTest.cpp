#include "user_agent/base/SynchronizedQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace Merrow::UserAgent {
namespace {

using Queue = SynchronizedQueue<std::string>;

TEST(SynchronizedQueueTest, EmptyQueueAnswersFalseAndLeavesTheItemAlone) {
    Queue queue;
    for (std::uint32_t limit : {0u, 1u, 20u}) {
        std::string item = "untouched";
        EXPECT_FALSE(queue.pop(item, limit)) << "limit " << limit;
        EXPECT_EQ(item, "untouched");
    }
}

TEST(SynchronizedQueueTest, ItemsComeOutInTheOrderTheyWentIn) {
    Queue queue;
    for (const char* text : {"a", "b", "c"})
        queue.push(text);
    std::string item;
    for (const char* expected : {"a", "b", "c"}) {
        ASSERT_TRUE(queue.pop(item, 0));
        EXPECT_EQ(item, expected);
    }
    EXPECT_FALSE(queue.pop(item, 0));
    EXPECT_EQ(queue.size(), 0u);
}

TEST(SynchronizedQueueTest, PushWakesAWaiterWithoutLimit) {
    Queue queue;
    std::string item;
    std::thread consumer([&] { EXPECT_TRUE(queue.pop(item, Queue::kWaitForever)); });
    queue.push("late");
    consumer.join();
    EXPECT_EQ(item, "late");
}

TEST(SynchronizedQueueTest, WakeWaitersEndsAWaitWithoutLimit) {
    Queue queue;
    std::atomic<bool> returned{false};
    bool result = true;
    std::thread consumer([&] {
        std::string item;
        result = queue.pop(item, Queue::kWaitForever);
        returned = true;
    });
    // The waiter may not be waiting yet when the first wake-up goes out; keep waking until it
    // has returned.
    while (!returned) {
        queue.wakeWaiters();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    consumer.join();
    EXPECT_FALSE(result);
}

TEST(SynchronizedQueueTest, AWakeUpDoesNotHideAnItemAlreadyThere) {
    Queue queue;
    queue.wakeWaiters();
    queue.push("kept");
    std::string item;
    EXPECT_TRUE(queue.pop(item, Queue::kWaitForever));
    EXPECT_EQ(item, "kept");
}

TEST(SynchronizedQueueTest, EveryItemReachesExactlyOneOfSeveralConsumers) {
    constexpr int kProducers = 3;
    constexpr int kItemsEach = 2000;
    SynchronizedQueue<int> queue;
    std::atomic<int> taken{0};
    std::mutex seenMutex;
    std::multiset<int> seen;

    std::vector<std::thread> consumers;
    for (int c = 0; c < 2; ++c)
        consumers.emplace_back([&] {
            int item = 0;
            while (taken.load() < kProducers * kItemsEach) {
                if (!queue.pop(item, 5))
                    continue;
                ++taken;
                std::lock_guard lock(seenMutex);
                seen.insert(item);
            }
        });
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p)
        producers.emplace_back([&queue, p] {
            for (int i = 0; i < kItemsEach; ++i)
                queue.push(p * kItemsEach + i);
        });
    for (auto& producer : producers)
        producer.join();
    for (auto& consumer : consumers)
        consumer.join();

    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kProducers * kItemsEach));
    int expected = 0;
    for (int value : seen)
        EXPECT_EQ(value, expected++);
}

} // namespace
} // namespace Merrow::UserAgent
