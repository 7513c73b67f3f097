#include "vds/framework/VDSScopedLock.h"

#include "TestVdsObjects.h"
#include "TraceCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <functional>
#include <latch>
#include <memory>
#include <thread>
#include <utility>

namespace {

constexpr const char* kLockCategory = "TC.VDS.Lock";

bool contains(const std::vector<std::string>& messages, const std::string& text)
{
    return std::find(messages.begin(), messages.end(), text) != messages.end();
}

// Positions of `texts` in `messages`, in the order given; -1 for a missing text.
std::vector<long> positionsOf(const std::vector<std::string>& messages,
                              std::initializer_list<std::string> texts)
{
    std::vector<long> positions;
    for (const std::string& text : texts) {
        auto it = std::find(messages.begin(), messages.end(), text);
        positions.push_back(it == messages.end() ? -1 : it - messages.begin());
    }
    return positions;
}

// Runs `body` on a thread of its own and waits for it.
void onNewThread(const std::function<void()>& body)
{
    std::thread thread(body);
    thread.join();
}

// A test object of any kind, chosen at run time, for the table of order cases.
struct AnyObject {
    std::function<std::unique_ptr<VDSScopedLock>()> lock;
    std::function<bool()> sectionIsFree;
    std::function<LONG()> refCount;
};

template <VdsLockKind Kind> AnyObject makeObject()
{
    auto object = TestVdsObject<Kind>::Make();
    return {[object] { return std::make_unique<VDSScopedLock>(object.get()); },
            [object] { return object->SectionIsFree(); },
            [object] { return object->RefCount(); }};
}

template <std::size_t... I> AnyObject makeObject(VdsLockKind kind, std::index_sequence<I...>)
{
    AnyObject result;
    ((static_cast<std::size_t>(kind) == I &&
      (result = makeObject<static_cast<VdsLockKind>(I)>(), true)) ||
     ...);
    return result;
}

AnyObject makeObject(VdsLockKind kind)
{
    return makeObject(kind, std::make_index_sequence<kVdsLockKinds.size()>{});
}

// True when no other thread holds the section, asked from a thread that holds nothing.
bool sectionIsFreeForOthers(const std::function<bool()>& sectionIsFree)
{
    bool free = false;
    onNewThread([&] { free = sectionIsFree(); });
    return free;
}

class VDSScopedLockTest : public ::testing::Test {
protected:
    TraceCaptureScope m_capture;
};

struct OrderCase {
    const char* description;
    VdsLockKind first;
    VdsLockKind second;
    bool secondTaken;
};

const OrderCase kOrderCases[] = {
    {"LUN then subsystem goes down the order", VdsLockKind::Lun, VdsLockKind::SubSystem, false},
    {"subsystem then provider goes down the order", VdsLockKind::SubSystem,
     VdsLockKind::Provider, false},
    {"two controllers share a level", VdsLockKind::Controller, VdsLockKind::Controller, true},
    {"a list before its members", VdsLockKind::LunList, VdsLockKind::Lun, true},
    {"a member before its list", VdsLockKind::Lun, VdsLockKind::LunList, false},
    {"a drive before the drive list", VdsLockKind::Drive, VdsLockKind::DriveList, false},
    {"a target before the target list", VdsLockKind::Target, VdsLockKind::TargetList, false},
    {"portal before LUN plex", VdsLockKind::Portal, VdsLockKind::LunPlex, false},
    {"the notifier under the provider", VdsLockKind::Provider, VdsLockKind::Notifier, true},
    {"the notifier under a portal", VdsLockKind::Portal, VdsLockKind::Notifier, true},
    {"nothing after the notifier", VdsLockKind::Notifier, VdsLockKind::Portal, false},
    {"portal group before portal list", VdsLockKind::PortalGroup, VdsLockKind::PortalList, true},
};

} // namespace

TEST_F(VDSScopedLockTest, SecondLockFollowsTheOrderRule)
{
    for (const OrderCase& row : kOrderCases) {
        SCOPED_TRACE(row.description);
        AnyObject first = makeObject(row.first);
        AnyObject second = makeObject(row.second);
        const LONG countBefore = second.refCount();
        {
            auto firstLock = first.lock();
            ASSERT_TRUE(firstLock->IsLocked());
            {
                auto secondLock = second.lock();
                EXPECT_EQ(secondLock->IsLocked(), row.secondTaken);
                EXPECT_EQ(VDSScopedLock::HeldByThisThread(), row.secondTaken ? 2u : 1u);
                EXPECT_EQ(sectionIsFreeForOthers(second.sectionIsFree), !row.secondTaken);
                // A held lock keeps one reference; a refused one has given it back.
                EXPECT_EQ(second.refCount(), countBefore + (row.secondTaken ? 1 : 0));
            }
            EXPECT_EQ(VDSScopedLock::HeldByThisThread(), 1u);
            EXPECT_FALSE(sectionIsFreeForOthers(first.sectionIsFree));
        }
        EXPECT_EQ(VDSScopedLock::HeldByThisThread(), 0u);
        EXPECT_TRUE(sectionIsFreeForOthers(first.sectionIsFree));
        EXPECT_EQ(second.refCount(), countBefore);
    }
}

TEST_F(VDSScopedLockTest, ProviderSubsystemLunAreTakenAndReleasedInReverse)
{
    auto provider = TestProvider::Make();
    auto subsystem = TestSubSystem::Make();
    auto lun = TestLun::Make();
    {
        VDSScopedLock providerLock(provider.get());
        VDSScopedLock subsystemLock(subsystem.get());
        VDSScopedLock lunLock(lun.get());
        EXPECT_TRUE(providerLock.IsLocked());
        EXPECT_TRUE(subsystemLock.IsLocked());
        EXPECT_TRUE(lunLock.IsLocked());
        EXPECT_EQ(lunLock.Level(), 500);
        EXPECT_EQ(VDSScopedLock::HeldByThisThread(), 3u);
    }
    const auto messages = TraceCapture::instance().takeMessages(kLockCategory);
    const auto taken = positionsOf(messages, {"Locking a COrvVdsProvider",
                                              "Acquired lock on COrvVdsProvider.",
                                              "Locking a COrvSubSystem", "Locking a COrvLun",
                                              "COrvLun added to lock list."});
    EXPECT_TRUE(std::is_sorted(taken.begin(), taken.end()) && taken.front() >= 0)
        << testing::PrintToString(messages);
    const auto released = positionsOf(
        messages, {"Unlocked COrvLun.", "Unlocked COrvSubSystem.", "Unlocked COrvVdsProvider."});
    EXPECT_TRUE(std::is_sorted(released.begin(), released.end()) && released.front() >= 0)
        << testing::PrintToString(messages);
    EXPECT_EQ(VDSScopedLock::HeldByThisThread(), 0u);
}

TEST_F(VDSScopedLockTest, RefusedLockDumpsTheStackAndLeavesTheHeldLockIntact)
{
    auto lun = TestLun::Make();
    auto subsystem = TestSubSystem::Make();
    VDSScopedLock lunLock(lun.get());
    TraceCapture::instance().clear();
    {
        VDSScopedLock subsystemLock(subsystem.get());
        EXPECT_FALSE(subsystemLock.IsLocked());
        const auto messages = TraceCapture::instance().takeMessages(kLockCategory);
        EXPECT_TRUE(contains(messages, "COrvSubSystemlock failed."))
            << testing::PrintToString(messages);
        EXPECT_TRUE(contains(messages, "Lock stack:\r\nCOrvLun\r\n"));
        EXPECT_FALSE(contains(messages, "Attempting to acquire lock on COrvSubSystem."));
    }
    const auto messages = TraceCapture::instance().takeMessages(kLockCategory);
    EXPECT_EQ(messages, std::vector<std::string>{"Attempted to remove wrong lock from queue."});
    EXPECT_TRUE(lunLock.IsLocked());
    EXPECT_EQ(VDSScopedLock::HeldByThisThread(), 1u);
    EXPECT_FALSE(sectionIsFreeForOthers([&] { return lun->SectionIsFree(); }));
}

TEST_F(VDSScopedLockTest, HeldObjectMayBeLockedAgainOutOfOrder)
{
    auto provider = TestProvider::Make();
    auto subsystem = TestSubSystem::Make();
    {
        VDSScopedLock providerLock(provider.get());
        VDSScopedLock subsystemLock(subsystem.get());
        VDSScopedLock providerAgain(provider.get());
        EXPECT_TRUE(providerAgain.IsLocked());
        EXPECT_EQ(VDSScopedLock::HeldByThisThread(), 3u);
    }
    EXPECT_EQ(VDSScopedLock::HeldByThisThread(), 0u);
    // Entered three times and left three times: free again.
    EXPECT_TRUE(sectionIsFreeForOthers([&] { return provider->SectionIsFree(); }));
    EXPECT_EQ(provider->RefCount(), 1);
}

TEST_F(VDSScopedLockTest, FirstLockOnANewThreadCreatesItsStack)
{
    auto controller = TestController::Make();
    std::thread::id lockingThread;
    onNewThread([&] {
        lockingThread = std::this_thread::get_id();
        { VDSScopedLock first(controller.get()); }
        { VDSScopedLock second(controller.get()); }
    });
    std::vector<std::string> messages;
    for (auto& record : TraceCapture::instance().take()) {
        if (record.thread == lockingThread && record.category == kLockCategory)
            messages.push_back(record.message);
    }
    const std::vector<std::string> expectedStart = {
        "Locking a COrvController", "Creating thread local gLockVector.",
        "gLockVector has been created.", "Lock queue reset.",
        "Attempting to acquire lock on COrvController."};
    ASSERT_GE(messages.size(), expectedStart.size());
    EXPECT_TRUE(std::equal(expectedStart.begin(), expectedStart.end(), messages.begin()))
        << testing::PrintToString(messages);
    // The stack outlives the first lock: the second lock does not make it again.
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Creating thread local gLockVector."),
              1);
}

TEST_F(VDSScopedLockTest, NullObjectIsReportedAndNothingIsLocked)
{
    std::vector<std::string> messages;
    onNewThread([&] {
        { VDSScopedLock lock(static_cast<CComObject<TestPortal>*>(nullptr)); }
        messages = TraceCapture::instance().takeMessages(kLockCategory);
    });
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "Locking a COrvPortal", "pObj is NULL!",
                            "Attempted to delete a lock with nothing in the queue."}));
}

TEST_F(VDSScopedLockTest, HeldLockKeepsAnObjectItsOwnerReleasedAlive)
{
    std::atomic<int> destroyed{0};
    auto lun = TestLun::Make(&destroyed);
    CComObject<TestLun>* raw = lun.get();
    {
        VDSScopedLock lock(raw);
        lun.Release();
        EXPECT_EQ(destroyed.load(), 0);
        EXPECT_EQ(raw->RefCount(), 1);
    }
    EXPECT_EQ(destroyed.load(), 1);
}

TEST_F(VDSScopedLockTest, TwoThreadsAreSerialisedOnOneObject)
{
    auto subsystem = TestSubSystem::Make();

    // Phase 1: the second thread asks for the lock while the first holds it, and gets it
    // only after the first let go, whatever the scheduling.
    std::atomic<int> clock{0};
    int firstReleasedAt = -1;
    int secondAcquiredAt = -1;
    std::atomic<bool> secondInside{false};
    bool secondInsideWhileFirstHeld = true;
    std::latch firstHolds(1);
    std::latch secondAsking(1);
    std::thread first([&] {
        VDSScopedLock lock(subsystem.get());
        firstHolds.count_down();
        secondAsking.wait();
        secondInsideWhileFirstHeld = secondInside.load();
        firstReleasedAt = ++clock;
    });
    std::thread second([&] {
        firstHolds.wait();
        secondAsking.count_down();
        VDSScopedLock lock(subsystem.get());
        secondInside = true;
        secondAcquiredAt = ++clock;
    });
    first.join();
    second.join();
    EXPECT_FALSE(secondInsideWhileFirstHeld);
    EXPECT_EQ(firstReleasedAt, 1);
    EXPECT_EQ(secondAcquiredAt, 2);

    // Phase 2: many rounds from both threads; a plain counter only adds up (and the thread
    // sanitizer stays quiet) when every round runs alone.
    TraceCapture::instance().enable(false);
    constexpr int kRounds = 20000;
    long counter = 0;
    std::atomic<int> overlaps{0};
    std::atomic<bool> busy{false};
    std::barrier start(2);
    auto worker = [&] {
        start.arrive_and_wait();
        for (int i = 0; i < kRounds; ++i) {
            VDSScopedLock lock(subsystem.get());
            if (busy.exchange(true))
                ++overlaps;
            ++counter;
            busy = false;
        }
    };
    std::thread a(worker);
    std::thread b(worker);
    a.join();
    b.join();
    EXPECT_EQ(counter, 2L * kRounds);
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_EQ(subsystem->RefCount(), 1);
}
