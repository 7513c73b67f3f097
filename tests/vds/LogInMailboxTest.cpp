// The provider's background thread hands log-ins to the log-in thread without waiting: a
// batch not taken yet gives way to a newer one, and closing the mailbox ends the log-in
// thread's wait.

#include "vds/objects/LogInMailbox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace {

LogInBatch batchFor(std::initializer_list<const char16_t*> hosts)
{
    LogInBatch batch;
    for (const char16_t* host : hosts) {
        PendingLogIn logIn;
        logIn.info.host = host;
        batch.logIns.push_back(logIn);
    }
    return batch;
}

TEST(LogInMailbox, ANewerBatchReplacesOneNotTakenYet)
{
    LogInMailbox mailbox;
    mailbox.Post(batchFor({u"a", u"b"}));
    mailbox.Post(batchFor({u"b"}));
    const std::optional<LogInBatch> taken = mailbox.Take();
    ASSERT_TRUE(taken);
    ASSERT_EQ(taken->logIns.size(), 1u);
    EXPECT_EQ(taken->logIns[0].info.host, u"b");

    // Nothing is left behind: the next Take waits until a batch comes.
    auto next = std::async(std::launch::async, [&] { return mailbox.Take(); });
    EXPECT_EQ(next.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    mailbox.Post(batchFor({u"c"}));
    const std::optional<LogInBatch> later = next.get();
    ASSERT_TRUE(later);
    EXPECT_EQ(later->logIns[0].info.host, u"c");
}

TEST(LogInMailbox, ClosingEndsAWaitingTakeAndRefusesLaterBatches)
{
    LogInMailbox mailbox;
    auto waiting = std::async(std::launch::async, [&] { return mailbox.Take(); });
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    mailbox.Close();
    EXPECT_FALSE(waiting.get());

    mailbox.Post(batchFor({u"a"}));
    EXPECT_FALSE(mailbox.Take()) << "a closed mailbox hands out nothing";
}

} // namespace
