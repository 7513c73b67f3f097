#include "vds/framework/COrvNotificationSet.h"
#include "vds/framework/COrvNotifier.h"
#include "vds/framework/NotifierHolder.h"
#include "vds/framework/VDSScopedLock.h"

#include "TestVdsObjects.h"

#include "platform/com/CComObject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Keeps what it is given, and how many scoped locks its caller held.
class TestSink : public CComObjectRootEx, public IVdsAdviseSink {
public:
    using ComMap = ComInterfaceMap<IVdsAdviseSink>;

    HRESULT OnNotify(LONG count, VDS_NOTIFICATION* records) override
    {
        if (m_busy.exchange(true))
            ++m_overlaps;
        std::lock_guard lock(m_mutex);
        ++m_calls;
        m_locksHeld.push_back(VDSScopedLock::HeldByThisThread());
        m_records.insert(m_records.end(), records, records + count);
        m_busy = false;
        return E_FAIL; // the notifier does not look at it
    }

    std::mutex m_mutex;
    int m_calls = 0;
    std::vector<std::size_t> m_locksHeld;
    std::vector<VDS_NOTIFICATION> m_records;
    std::atomic<bool> m_busy{false};
    std::atomic<int> m_overlaps{0};
};

CComPtr<CComObject<TestSink>> makeSink()
{
    CComObject<TestSink>* sink = nullptr;
    EXPECT_EQ(CComObject<TestSink>::CreateInstance(&sink), S_OK);
    return CComPtr<CComObject<TestSink>>(sink);
}

// The notifier with the provider's reference, released at the end of the test.
struct NotifierRef {
    explicit NotifierRef(IVdsAdviseSink* sink)
    {
        EXPECT_EQ(COrvNotifier::CreateInstance(sink, notifier), S_OK);
    }
    COrvNotifier* operator->() const { return notifier.get(); }
    CComPtr<COrvNotifier> notifier;
};

GUID idNumber(unsigned char n)
{
    GUID id{};
    for (auto& byte : id.Data4)
        byte = n;
    id.Data1 = 0xA0B0C0D0u + n;
    return id;
}

struct KindCase {
    int kind;
    bool adds;
    INT objectType;
    ULONG event;
};

const KindCase kKindCases[] = {
    {-1, false, 0, 0},       {0, false, 0, 0},          {1, true, VDS_NTT_DRIVE, 107},
    {2, true, VDS_NTT_LUN, 108}, {3, true, VDS_NTT_LUN, 109}, {4, true, VDS_NTT_LUN, 110},
    {5, false, 0, 0},        {301, false, 0, 0},
};

} // namespace

TEST(NotificationSetTest, EachKindBuildsItsRecordAndOthersAddNothing)
{
    auto sink = makeSink();
    NotifierRef notifier(sink.get());
    auto set = notifier->NewSet();
    ASSERT_TRUE(set);
    std::vector<const KindCase*> added;
    for (const KindCase& row : kKindCases) {
        set->AddNotification(row.kind, idNumber(static_cast<unsigned char>(row.kind)));
        if (row.adds)
            added.push_back(&row);
    }
    EXPECT_EQ(static_cast<COrvNotificationSet&>(*set).Size(), added.size());
    set->Send();
    ASSERT_EQ(sink->m_calls, 1);
    ASSERT_EQ(sink->m_records.size(), added.size());
    for (std::size_t i = 0; i < added.size(); ++i) {
        SCOPED_TRACE(added[i]->kind);
        unsigned char bytes[sizeof(VDS_NOTIFICATION)];
        std::memcpy(bytes, &sink->m_records[i], sizeof bytes);
        INT objectType;
        ULONG event;
        GUID id;
        std::memcpy(&objectType, bytes, 4);
        std::memcpy(&event, bytes + 8, 4);
        std::memcpy(&id, bytes + 12, 16);
        EXPECT_EQ(objectType, added[i]->objectType);
        EXPECT_EQ(event, added[i]->event);
        EXPECT_EQ(id, idNumber(static_cast<unsigned char>(added[i]->kind)));
        // Padding and the rest of the union are zero.
        for (std::size_t b : {4u, 5u, 6u, 7u})
            EXPECT_EQ(bytes[b], 0);
        for (std::size_t b = 28; b < sizeof bytes; ++b)
            EXPECT_EQ(bytes[b], 0);
    }
}

TEST(NotificationSetTest, SendEmptiesTheSetAndAnEmptySetCallsNothing)
{
    auto sink = makeSink();
    NotifierRef notifier(sink.get());
    auto set = notifier->NewSet();
    set->Send();
    EXPECT_EQ(sink->m_calls, 0);
    set->AddNotification(NotificationSet::LunArrived, idNumber(1));
    set->AddNotification(NotificationSet::LunModified, idNumber(1));
    set->Send();
    set->Send();
    EXPECT_EQ(sink->m_calls, 1);
    // Reused after Send: only the new notification goes.
    set->AddNotification(NotificationSet::DriveModified, idNumber(2));
    set->Send();
    ASSERT_EQ(sink->m_calls, 2);
    ASSERT_EQ(sink->m_records.size(), 3u);
    EXPECT_EQ(sink->m_records[2].Drive.ulEvent, VDS_NF_DRIVE_MODIFY);
}

TEST(NotifierTest, WithoutASinkNotificationsAreDropped)
{
    NotifierRef notifier(nullptr);
    VDS_NOTIFICATION record{};
    EXPECT_EQ(notifier->Notify(1, &record), S_OK);
    auto set = notifier->NewSet();
    set->AddNotification(NotificationSet::LunDeparted, idNumber(3));
    set->Send();
    EXPECT_EQ(static_cast<COrvNotificationSet&>(*set).Size(), 0u);
}

TEST(NotifierTest, SetsKeepTheNotifierAndItsSinkAlive)
{
    auto sink = makeSink();
    const LONG sinkReferences = sink->InternalRefCount();
    NotifierRef provider(sink.get());
    EXPECT_EQ(sink->InternalRefCount(), sinkReferences + 1);
    auto set = provider->NewSet();
    provider.notifier.Release(); // the provider lets go first
    set->AddNotification(NotificationSet::LunArrived, idNumber(4));
    set->Send();
    EXPECT_EQ(sink->m_calls, 1);
    EXPECT_EQ(sink->InternalRefCount(), sinkReferences + 1);
    set.reset(); // the last reference: the notifier goes and lets go of the sink
    EXPECT_EQ(sink->InternalRefCount(), sinkReferences);
}

TEST(NotifierTest, SinkIsCalledUnderTheNotifierLockAboveAnyOtherLock)
{
    auto sink = makeSink();
    NotifierRef notifier(sink.get());
    auto portal = TestPortal::Make();
    {
        VDSScopedLock portalLock(portal.get());
        VDS_NOTIFICATION record{};
        notifier->Notify(1, &record);
    }
    VDS_NOTIFICATION record{};
    notifier->Notify(1, &record);
    EXPECT_EQ(sink->m_locksHeld, (std::vector<std::size_t>{2, 1}));
    EXPECT_EQ(VDSScopedLock::HeldByThisThread(), 0u);
}

TEST(NotifierTest, NotificationsFromTwoThreadsAreSerialised)
{
    auto sink = makeSink();
    NotifierRef notifier(sink.get());
    constexpr int kRounds = 2000;
    std::barrier start(2);
    auto worker = [&](unsigned char n) {
        auto set = notifier->NewSet();
        start.arrive_and_wait();
        for (int i = 0; i < kRounds; ++i) {
            set->AddNotification(NotificationSet::LunModified, idNumber(n));
            set->Send();
        }
    };
    std::thread a(worker, 1);
    std::thread b(worker, 2);
    a.join();
    b.join();
    EXPECT_EQ(sink->m_calls, 2 * kRounds);
    EXPECT_EQ(sink->m_overlaps.load(), 0);
}

// A new notifier comes with the reference of whoever made it, so a set made and dropped
// before the provider used it does not take the notifier with it.
TEST(NotifierTest, ANewNotifierOutlivesItsFirstSet)
{
    auto sink = makeSink();
    NotifierRef provider(sink.get());
    provider->NewSet().reset();
    VDS_NOTIFICATION record{};
    EXPECT_EQ(provider->Notify(1, &record), S_OK);
    EXPECT_EQ(sink->m_calls, 1);
}

// The provider lets go of its notifier (FinalRelease) while its background thread and VDS
// calls deliver: deliveries in progress finish on their own reference, later ones drop
// their records, and the notifier with its sink reference goes with the last delivery.
// Run under AddressSanitizer and ThreadSanitizer (scripts/test --sanitize, --tsan).
TEST(NotifierTest, ReleaseRacingDeliveryNeverTouchesAFreedNotifier)
{
    auto sink = makeSink();
    const LONG sinkReferences = sink->InternalRefCount();
    for (int round = 0; round < 50; ++round) {
        NotifierHolder holder;
        CComPtr<COrvNotifier> made;
        ASSERT_EQ(COrvNotifier::CreateInstance(sink.get(), made), S_OK);
        holder.Set(std::move(made));
        EXPECT_FALSE(made);

        constexpr int kThreads = 3;
        std::barrier start(kThreads + 1);
        std::atomic<int> delivered{0};
        std::atomic<int> dropped{0};
        auto deliverer = [&] {
            start.arrive_and_wait();
            VDS_NOTIFICATION record{};
            // Until the release is seen, then a few more that must all be dropped.
            for (int afterRelease = 0; afterRelease < 20;) {
                if (holder.Deliver(1, &record)) {
                    ++delivered;
                } else {
                    ++dropped;
                    ++afterRelease;
                }
            }
        };
        std::vector<std::thread> threads;
        for (int i = 0; i < kThreads; ++i)
            threads.emplace_back(deliverer);
        start.arrive_and_wait();
        holder.Reset();
        for (std::thread& thread : threads)
            thread.join();
        EXPECT_FALSE(holder.IsSet());
        EXPECT_EQ(dropped.load(), kThreads * 20);
        EXPECT_EQ(sink->InternalRefCount(), sinkReferences) << "round " << round;
    }
    EXPECT_GT(sink->m_calls, 0);
}
