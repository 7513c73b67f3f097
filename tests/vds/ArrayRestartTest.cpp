// An array that stops and comes back on the same address is, to the provider, the same
// subsystem with whatever volumes the array holds now: the LUNs it lists after the
// reconnect are the restarted array's. An array that was reset no longer holds the
// indication handler and filters made before, so the reconnect makes them again. Another
// array that keeps the provider busy with its changes does not hold the reconnect up. The
// arrays sit on 127.99.x.y.
#include "LunSimFixture.h"
#include "TraceCapture.h"
#include "vds/framework/CorvaneInfoListWriter.h"

#include <atomic>
#include <future>
#include <set>
#include <thread>

namespace provider_test {
namespace {

constexpr ULONGLONG kGiB = 1ull << 30;

class ArrayRestartTest : public LunSimTest {
protected:
    static std::string describe(const std::set<std::string>& names)
    {
        std::string text = std::to_string(names.size()) + " [";
        for (const auto& name : names)
            text += name + " ";
        return text + "]";
    }

    // Stops the array behind `m_array` and waits until the provider has seen it go.
    void stopArray(IVdsSubSystem* subsystem)
    {
        std::erase_if(m_arrays, [&](const auto& array) { return array.get() == m_array; });
        m_array = nullptr;
        // Lost at first; "not reachable" once a reconnect found nobody listening.
        ASSERT_TRUE(eventually([&] { return connectionStatus(subsystem) != 3u; }));
    }

    // An array at `address`, managed, whose volume "renamed" the provider lists: the array
    // whose changes keep the provider busy.
    struct BusyArray {
        SimArray* array = nullptr;
        CComPtr<IVdsSubSystem> subsystem;
        std::string deviceId;
    };
    void startBusyArray(const std::string& address, BusyArray& busy)
    {
        busy.array = &startArray(address);
        ASSERT_EQ(addArray(address), S_OK);
        busy.subsystem = subsystemFor(address);
        ASSERT_TRUE(busy.subsystem);
        ASSERT_EQ(busy.array->control().addVolume("renamed", kGiB, busy.deviceId),
                  Merrow::Sim::ControlResult::Ok);
        ASSERT_TRUE(eventually([&] { return lunNames(busy.subsystem).count("renamed") == 1; }));
    }
};

TEST_F(ArrayRestartTest, AnArrayBackWithOtherVolumesShowsThemAfterTheReconnect)
{
    auto subsystem = managedArray("127.99.1.1");
    std::string deviceId;
    ASSERT_EQ(control().addVolume("before-the-restart", kGiB, deviceId),
              Merrow::Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] { return lunNames(subsystem) == m_array->volumeNames(); }));

    stopArray(subsystem);
    SimArray& back = startArray("127.99.1.1");
    ASSERT_EQ(back.control().addVolume("after-the-restart", 2 * kGiB, deviceId),
              Merrow::Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] { return connectionStatus(subsystem) == 3u; }));

    const auto expected = back.volumeNames();
    EXPECT_EQ(expected.count("before-the-restart"), 0u);
    EXPECT_TRUE(eventually([&] { return lunNames(subsystem) == expected; }))
        << "the provider lists " << describe(lunNames(subsystem)) << ", the array holds "
        << describe(expected);

    // The array's indications reach the provider again: a volume made now arrives.
    const std::size_t arrivals = notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE).size();
    ASSERT_EQ(back.control().addVolume("after-the-reconnect", kGiB, deviceId),
              Merrow::Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] {
        return notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE).size() == arrivals + 1;
    }));
    EXPECT_EQ(lunNames(subsystem).count("after-the-reconnect"), 1u);
}

TEST_F(ArrayRestartTest, AnArrayBackWithTheSameVolumesKeepsItsLuns)
{
    TraceCaptureScope traces;
    auto subsystem = managedArray("127.99.1.2");
    const auto names = lunNames(subsystem);
    ASSERT_FALSE(names.empty());
    stopArray(subsystem);
    startArray("127.99.1.2");
    ASSERT_TRUE(eventually([&] { return connectionStatus(subsystem) == 3u; }));
    EXPECT_TRUE(eventually([&] { return lunNames(subsystem) == names; }))
        << "the provider lists " << describe(lunNames(subsystem)) << ", before the restart "
        << describe(names);
    // The test's own status reads take the subsystem's lock alone; the provider's threads
    // take the locks in their order, through the reconnect as everywhere else.
    for (const TraceCapture::Record& record : TraceCapture::instance().take()) {
        if (record.category == "TC.VDS.Lock" && record.verbosity == 1 &&
            record.thread != std::this_thread::get_id())
            ADD_FAILURE() << "the provider's thread: " << record.message;
    }
}

TEST_F(ArrayRestartTest, AnArrayBackIsLoggedInAgainWhileAnotherKeepsChanging)
{
    BusyArray busy;
    ASSERT_NO_FATAL_FAILURE(startBusyArray("127.99.1.3", busy));
    auto subsystem = managedArray("127.99.1.4");

    // Renames far more often than the provider's reconciliation period (300 ms here), so
    // its notice queue never falls silent while the other array is away.
    std::atomic<bool> done{false};
    std::thread renamer([&] {
        for (int i = 0; !done; ++i) {
            busy.array->control().renameVolume(busy.deviceId, "renamed-" + std::to_string(i));
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
    });
    const auto modifies = [&] { return notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_MODIFY).size(); };
    EXPECT_TRUE(eventually([&] { return modifies() >= 5; })) << "the renames reach the provider";

    stopArray(subsystem);
    // Down for a few periods, long enough for reconciliations to find it away.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const std::size_t modifiesWhileAway = modifies();
    startArray("127.99.1.4");
    const bool back = eventually([&] { return connectionStatus(subsystem) == 3u; });
    done = true;
    renamer.join();
    EXPECT_TRUE(back);
    EXPECT_GT(modifies(), modifiesWhileAway) << "the other array was busy all along";
}

// A logged-in array's requests wait a minute, and a log-in's or reconnect's own as long as
// the test sets.
class HungArrayTest : public ArrayRestartTest {
protected:
    HungArrayTest() { m_arrayRequestTimeout = std::chrono::minutes(1); }
};

// Only the provider's reconciliation logs in to the hung array here: another process puts
// it in the registry, so no command of this test waits for it under the provider lock.
class HungArrayInTheBackgroundTest : public HungArrayTest {
protected:
    HungArrayInTheBackgroundTest() { m_logInRequestTimeout = std::chrono::minutes(1); }
};

TEST_F(HungArrayInTheBackgroundTest, AnotherArraysNotificationsDoNotWaitForItsLogIn)
{
    BusyArray busy;
    ASSERT_NO_FATAL_FAILURE(startBusyArray("127.99.1.5", busy));
    SimArray& hung = startArray("127.99.1.6");
    hung.control().setHang(true);
    CorvaneInfoListWriter other;
    ASSERT_EQ(other.Load(), CorvaneInfoList::kSuccess);
    other.AddOrUpdate({u"127.99.1.6", orv::platform::Utf8ToUtf16(kSimUser),
                       orv::platform::Utf8ToUtf16(kSimPassword), 0});
    ASSERT_EQ(other.Save(), CorvaneInfoList::kSuccess);
    ASSERT_TRUE(eventually([&] { return bool(subsystemFor("127.99.1.6")); }));
    // A few reconciliation periods: a log-in to it has begun and waits for its answer.
    std::this_thread::sleep_for(std::chrono::seconds(1));

    const auto modifies = [&] { return notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_MODIFY).size(); };
    const std::size_t before = modifies();
    ASSERT_EQ(busy.array->control().renameVolume(busy.deviceId, "renamed-while-the-other-hangs"),
              Merrow::Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return modifies() > before; }))
        << "the busy array's change waits for the hung array's log-in";
    // Lets the hung log-in end, so that the provider can be unloaded.
    hung.control().setHang(false);
}

class HungArrayLogInTest : public HungArrayTest {
protected:
    HungArrayLogInTest() { m_logInRequestTimeout = std::chrono::seconds(1); }
};

TEST_F(HungArrayLogInTest, AddingAnArrayThatNeverAnswersEndsAfterTheLogInTimeOut)
{
    SimArray& hung = startArray("127.99.1.7");
    hung.control().setHang(true);
    // Adding logs in under the provider lock, so every other command waits as long.
    auto adding = std::async(std::launch::async, [&] { return addArray("127.99.1.7"); });
    ASSERT_EQ(adding.wait_for(std::chrono::seconds(30)), std::future_status::ready)
        << "the log-in waits out the request time-out";
    EXPECT_EQ(adding.get(), S_OK);
    auto subsystem = subsystemFor("127.99.1.7");
    ASSERT_TRUE(subsystem);
    EXPECT_NE(connectionStatus(subsystem), 3u);

    hung.control().setHang(false);
    EXPECT_TRUE(eventually([&] { return connectionStatus(subsystem) == 3u; }))
        << "logged in once the array answers";
}

} // namespace
} // namespace provider_test
