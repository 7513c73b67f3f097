// Volume configuration and tasks through the facades against the simulated array: the
// checks made before any request, what the array receives, sizes that agree with the
// array's layout, growth onto added disks, and array jobs seen as tasks from start to end.

#include "sim/ArrayFailureCodes.h"
#include "user_agent/base/CIMValueConversions.h"
#include "user_agent/base/DateTime.h"
#include "user_agent/base/VolumeCompositionRules.h"
#include "user_agent/root/MerrowUserAgent.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskImpl.h"
#include "user_agent/services/Service_DiskList.h"
#include "user_agent/services/Service_Extent.h"
#include "user_agent/services/Service_Task.h"
#include "user_agent/services/Service_TaskList.h"
#include "user_agent/services/Service_Volume.h"
#include "user_agent/services/Service_VolumeImpl.h"
#include "user_agent/services/Service_VolumeComposition.h"
#include "user_agent/services/Service_VolumeList.h"

#include "SimArray.h"
#include "StartedRootSimTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <thread>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;
using Composition = UAEnums::VolumeCompositionName;

constexpr std::uint64_t GB = 1'000'000'000ull;
constexpr std::uint32_t kStripeDepth = 65536;
enum : std::int32_t { kJbod = 1, kStripe = 2, kMirror = 3, kParity = 5 };

// Reads until `done` holds, a bounded number of times: jobs move on the simulator's clock,
// and a test must neither hang on a job that never ends nor depend on how fast one runs.
template <typename Done>
bool eventually(Done&& done) {
    for (int poll = 0; poll < 1500; ++poll) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

std::string deviceIdOf(const Service_Disk& disk) {
    return disk.GetServiceImpl()->GetRootPath().findKeyBinding("DeviceID")->getValue();
}

class VolumeServiceSimTest : public StartedRootSimTest {
protected:
    VolumeServiceSimTest() : StartedRootSimTest(std::chrono::milliseconds(20)) {}

    void start(const std::string& address) {
        ASSERT_NO_FATAL_FAILURE(connectToNewArray(address));
        ASSERT_EQ(m_connection.GetCorvaneSystemService(m_system).getCode(), R::UA_S_OK);
    }

    Sim::SimulatorControl& control() { return m_array->control(); }

    std::vector<Service_Disk> allDisks() {
        Service_DiskList list;
        EXPECT_EQ(m_system.GetServiceDiskList(list).getCode(), R::UA_S_OK);
        std::vector<Service_Disk> disks;
        EXPECT_EQ(list.GetDisks(disks).getCode(), R::UA_S_OK);
        return disks;
    }
    // The disks whose DeviceID is in `ids`, in the order of `ids`.
    std::vector<Service_Disk> disksWithIds(const std::vector<std::string>& ids) {
        const std::vector<Service_Disk> all = allDisks();
        std::vector<Service_Disk> found;
        for (const std::string& id : ids) {
            for (const Service_Disk& disk : all) {
                if (deviceIdOf(disk) == id)
                    found.push_back(disk);
            }
        }
        EXPECT_EQ(found.size(), ids.size());
        return found;
    }
    std::vector<Service_Disk> disksOfBasePool() {
        return disksWithIds(control().model().read([](const Sim::ModelView& view) {
            std::vector<std::string> ids;
            for (const auto& [id, disk] : view.state.disks) {
                if (disk.poolId == Sim::PoolId::BaseA)
                    ids.push_back(id);
            }
            return ids;
        }));
    }
    // New disks in the available pool, one of each size.
    std::vector<Service_Disk> addDisks(const std::vector<std::uint64_t>& sizes) {
        std::vector<std::string> ids;
        for (std::uint64_t bytes : sizes)
            ids.push_back(control().addDisks(1, bytes).front());
        return disksWithIds(ids);
    }

    R create(const std::string& name, std::uint64_t bytes, std::int32_t composition,
             const std::vector<Service_Disk>& disks, std::uint8_t width, Service_Volume& volume) {
        return m_system.CreateVolume(name, bytes, Composition(composition), disks, width,
                                     kStripeDepth, volume);
    }

    std::set<std::string> diskIdsUnder(const Service_Volume& volume) {
        Service_VolumeComposition composition;
        EXPECT_EQ(volume.GetVolumeComposition(composition).getCode(), R::UA_S_OK);
        std::vector<Service_Extent> extents;
        EXPECT_EQ(composition.GetExtents(extents).getCode(), R::UA_S_OK);
        std::set<std::string> ids;
        for (const Service_Extent& extent : extents) {
            Service_Disk disk;
            EXPECT_EQ(extent.GetDisk(disk).getCode(), R::UA_S_OK);
            if (disk.IsValid())
                ids.insert(deviceIdOf(disk));
        }
        return ids;
    }

    static std::uint64_t freeSpaceOf(const Service_Disk& disk) {
        std::uint64_t free = 0;
        EXPECT_EQ(disk.GetFreeSpaceSize(free).getCode(), R::UA_S_OK);
        return free;
    }

    std::uint64_t sent(const char* method, const char* parameter) {
        const auto call = control().lastCall(method);
        if (!call || !call->parameters.count(parameter))
            return ~0ull;
        return CIMValueToUint64(call->parameters.at(parameter)).value_or(~0ull);
    }
    // The text of the object path parameter the last call of `method` received.
    std::string sentPath(const char* method, const char* parameter) {
        const auto call = control().lastCall(method);
        if (!call || !call->parameters.count(parameter))
            return {};
        return call->parameters.at(parameter).get<cim::CIMObjectPath>().toString();
    }
    template <typename Handle>
    static std::string pathOf(const Handle& service) {
        return service.GetServiceImpl()->GetRootPath().toString();
    }
    std::uint64_t requests() {
        std::uint64_t total = 0;
        for (const auto& [operation, count] : control().requestCounts())
            total += count;
        return total;
    }

    // The task of the job working on the volume or disk named `objectName`, found through
    // the array's task list.
    Service_Task taskOn(const std::string& objectName) {
        Service_TaskList list;
        EXPECT_EQ(m_system.GetServiceTaskList(list).getCode(), R::UA_S_OK);
        std::vector<Service_Task> tasks;
        EXPECT_EQ(list.GetTasks(tasks).getCode(), R::UA_S_OK);
        for (const Service_Task& task : tasks) {
            std::string name;
            if (!task.GetObjectName(name).isFailure() && name == objectName)
                return task;
        }
        ADD_FAILURE() << "no task on " << objectName << " among " << tasks.size();
        return {};
    }
    // The state's name, or the code's when it cannot be read.
    static std::string stateOf(const Service_Task& task) {
        UAEnums::TaskState state;
        const R result = task.GetState(state);
        return result.isFailure() ? result.getCodeName() : state.toString();
    }
    static std::uint16_t percentOf(const Service_Task& task) {
        std::uint16_t percent = 0;
        EXPECT_EQ(task.GetPercentComplete(percent).getCode(), R::UA_S_OK);
        return percent;
    }

    Service_CorvaneSystem m_system;
};

// ---- creation ------------------------------------------------------------------------------

TEST_F(VolumeServiceSimTest, LayoutsTheArrayCannotTakeAreRefusedBeforeAnyRequest) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.1"));
    const auto disks = disksOfBasePool();
    ASSERT_GE(disks.size(), 3u);
    const std::vector<Service_Disk> three(disks.begin(), disks.begin() + 3);

    std::uint8_t widest = 0;
    ASSERT_EQ(m_system.GetMaxVolumeStripeWidth(Composition(kParity), widest).getCode(), R::UA_S_OK);
    ASSERT_EQ(widest, 17);

    const std::uint64_t before = requests();
    Service_Volume volume;
    const R tooWide = create("wide", GB, kParity, three, widest + 1, volume);
    EXPECT_EQ(tooWide.getCode(), R::UA_E_INVALIDARG);
    EXPECT_EQ(tooWide.getMessage(), VolumeCompositionRules::kStripeWidthTooLarge);
    for (std::int32_t composition : {0, 6}) {
        EXPECT_EQ(create("odd", GB, composition, three, 1, volume).getCode(), R::UA_E_INVALIDARG)
            << composition;
        std::uint8_t width = 0;
        EXPECT_EQ(m_system.GetMaxVolumeStripeWidth(Composition(composition), width).getCode(),
                  R::UA_E_INVALIDARG);
    }
    EXPECT_EQ(create("noDisk", GB, kJbod, {Service_Disk()}, 1, volume).getCode(),
              R::UA_E_INVALIDARG);
    EXPECT_EQ(requests(), before);
    EXPECT_FALSE(volume.IsValid());

    // At the limit the request goes out as asked; three disks are the array's reason to
    // refuse it, not ours.
    const R atLimit = create("wide", GB, kParity, three, widest, volume);
    EXPECT_EQ(sent("CreateVolume", "StripeWidth"), widest);
    EXPECT_EQ(atLimit.getCode(), R::UA_E_REQUEST_FAILED);
}

TEST_F(VolumeServiceSimTest, MirrorsAndConcatenationsAreSentOneDiskWide) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.2"));
    const auto disks = disksOfBasePool();
    ASSERT_GE(disks.size(), 2u);
    Service_Volume volume;
    ASSERT_EQ(create("mirror", GB, kMirror, {disks[0], disks[1]}, 4, volume).getCode(),
              R::UA_S_OK);
    EXPECT_EQ(sent("CreateVolume", "StripeWidth"), 1u);
    EXPECT_EQ(sent("CreateVolume", "VolumeOrganization"), std::uint64_t(kMirror));
    Composition composition;
    ASSERT_EQ(volume.GetCompositionName(composition).getCode(), R::UA_S_OK);
    EXPECT_EQ(composition.getValue(), kMirror);

    ASSERT_EQ(create("jbod", GB, kJbod, {disks[0]}, 8, volume).getCode(), R::UA_S_OK);
    EXPECT_EQ(sent("CreateVolume", "StripeWidth"), 1u);
}

TEST_F(VolumeServiceSimTest, TheNewVolumeComesBackAsAServiceOfWholeBlocks) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.3"));
    const auto disks = disksOfBasePool();
    Service_Volume tiny;
    ASSERT_EQ(create("tiny", 1, kJbod, {disks[0]}, 1, tiny).getCode(), R::UA_S_OK);
    ASSERT_TRUE(tiny.IsValid());
    std::string name;
    ASSERT_EQ(tiny.GetName(name).getCode(), R::UA_S_OK);
    EXPECT_EQ(name, "tiny");
    StorageSize size;
    ASSERT_EQ(tiny.GetSize(size).getCode(), R::UA_S_OK);
    EXPECT_EQ(size.bytes(), 512u);

    Service_Volume block;
    ASSERT_EQ(create("block", 512, kJbod, {disks[0]}, 1, block).getCode(), R::UA_S_OK);
    ASSERT_EQ(block.GetSize(size).getCode(), R::UA_S_OK);
    EXPECT_EQ(size.bytes(), 512u);
}

TEST_F(VolumeServiceSimTest, TheArraysRefusalsComeBackWithItsCodeAndText) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.4"));
    const auto disks = disksOfBasePool();
    Service_Volume volume;
    ASSERT_EQ(create("twin", GB, kJbod, {disks[0]}, 1, volume).getCode(), R::UA_S_OK);
    Service_Volume second;
    const R twin = create("twin", GB, kJbod, {disks[0]}, 1, second);
    EXPECT_EQ(twin.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(twin.getFailureCode(), std::int32_t(Sim::ArrayFailure::DuplicateVolumeName));
    EXPECT_EQ(twin.getMessage(), Sim::ArrayFailureCodes::text(Sim::ArrayFailure::DuplicateVolumeName));
    EXPECT_FALSE(second.IsValid());

    // A stripe three wide over a single disk: too few drives for the array.
    const R narrow = volume.Reconfigure(2 * GB, Composition(kStripe), {disks[1]}, 3, kStripeDepth);
    EXPECT_EQ(narrow.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_GT(narrow.getFailureCode(), 0);
    EXPECT_FALSE(narrow.getMessage().empty());
}

// ---- sizes ---------------------------------------------------------------------------------

TEST_F(VolumeServiceSimTest, LargestVolumeAndGrowthAgreeWithTheFreeSpaceOfTheDisks) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.5"));
    const auto disks = disksOfBasePool();
    ASSERT_GE(disks.size(), 2u);
    const std::uint64_t free0 = freeSpaceOf(disks[0]);
    const std::uint64_t free1 = freeSpaceOf(disks[1]);

    StorageSize jbod;
    ASSERT_EQ(m_system.GetMaxVolumeSize(Composition(kJbod), {disks[0], disks[1]}, 1, kStripeDepth, jbod)
                  .getCode(),
              R::UA_S_OK);
    EXPECT_GT(jbod.bytes(), 0u);
    EXPECT_EQ(jbod.bytes(), free0 + free1);
    StorageSize stripe;
    ASSERT_EQ(m_system.GetMaxVolumeSize(Composition(kStripe), {disks[0], disks[1]}, 2, kStripeDepth, stripe)
                  .getCode(),
              R::UA_S_OK);
    EXPECT_EQ(stripe.bytes(), 2 * std::min(free0, free1));
    EXPECT_EQ(stripe.bytes() % 512, 0u);

    // Every volume of the default array is one extent on one disk: it grows by what that
    // disk has left.
    Service_VolumeList list;
    ASSERT_EQ(m_system.GetServiceVolumeList(list).getCode(), R::UA_S_OK);
    std::vector<Service_Volume> volumes;
    ASSERT_EQ(list.GetVolumes(volumes).getCode(), R::UA_S_OK);
    ASSERT_FALSE(volumes.empty());
    const std::set<std::string> under = diskIdsUnder(volumes.front());
    ASSERT_EQ(under.size(), 1u);
    StorageSize growth;
    ASSERT_EQ(volumes.front().GetMaxGrowSize({}, growth).getCode(), R::UA_S_OK);
    EXPECT_GT(growth.bytes(), 0u);
    EXPECT_EQ(growth.bytes(), freeSpaceOf(disksWithIds({*under.begin()}).front()));
}

// ---- growth --------------------------------------------------------------------------------

TEST_F(VolumeServiceSimTest, ReconfiguringOntoMoreDisksKeepsTheDataDisksAndAddsTheNewOnes) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.6"));
    const auto disks = addDisks({30 * GB, 30 * GB, 30 * GB});
    Service_Volume volume;
    ASSERT_EQ(create("wider", 4 * GB, kStripe, {disks[0], disks[1]}, 2, volume).getCode(),
              R::UA_S_OK);
    const std::set<std::string> before = diskIdsUnder(volume);
    EXPECT_EQ(before, (std::set<std::string>{deviceIdOf(disks[0]), deviceIdOf(disks[1])}));

    ASSERT_EQ(volume.Reconfigure(6 * GB, Composition(kStripe), disks, 3, kStripeDepth).getCode(),
              R::UA_S_OK);
    EXPECT_EQ(sent("ReconfigureVolume", "MirrorCount"), 2u);
    std::set<std::string> after;
    EXPECT_TRUE(eventually([&] {
        after = diskIdsUnder(volume);
        return after.size() == 3;
    }));
    for (const std::string& id : before)
        EXPECT_TRUE(after.count(id)) << id;
    EXPECT_TRUE(after.count(deviceIdOf(disks[2])));
    StorageSize size;
    ASSERT_EQ(volume.GetSize(size).getCode(), R::UA_S_OK);
    EXPECT_GE(size.bytes(), 6 * GB);
}

TEST_F(VolumeServiceSimTest, GrowingInPlaceTakesOnlyALargerSize) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.12"));
    const auto disks = disksOfBasePool();
    Service_Volume volume;
    ASSERT_EQ(create("grow", GB, kJbod, {disks[0]}, 1, volume).getCode(), R::UA_S_OK);
    StorageSize before;
    ASSERT_EQ(volume.GetSize(before).getCode(), R::UA_S_OK);

    const R smaller = volume.GrowTo(before.bytes() / 2);
    EXPECT_EQ(smaller.getCode(), R::UA_E_INVALIDARG);
    EXPECT_EQ(smaller.getMessage(), "New volume size must be greater than current size");

    ASSERT_EQ(volume.GrowTo(2 * GB).getCode(), R::UA_S_OK);
    EXPECT_EQ(sent("CreateOrModifyElementFromStoragePool", "Size"), 2 * GB);
    StorageSize after;
    EXPECT_TRUE(eventually([&] {
        return !volume.GetSize(after).isFailure() && after.bytes() > before.bytes();
    })) << after.bytes();
}

TEST_F(VolumeServiceSimTest, AnIntegrityScanChecksParityWhereTheLayoutHasIt) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.13"));
    const auto disks = disksOfBasePool();
    ASSERT_GE(disks.size(), 3u);
    Service_Volume plain;
    ASSERT_EQ(create("plain", GB, kJbod, {disks[0]}, 1, plain).getCode(), R::UA_S_OK);
    Service_Volume parity;
    ASSERT_EQ(create("parity", GB, kParity, {disks[0], disks[1], disks[2]}, 3, parity).getCode(),
              R::UA_S_OK);

    ASSERT_EQ(plain.IntegrityScanNow().getCode(), R::UA_S_OK);
    EXPECT_EQ(sentPath("ScanStorageElement", "StorageElement"), pathOf(plain));
    EXPECT_EQ(sent("ScanStorageElement", "ScanType"), 2u);

    const DateTime tomorrow = DateTime::fromMilliseconds(
        DateTime::now().getMilliseconds() + 24ull * 3600 * 1000);
    UAEnums::RecurrencePeriodicity weekly;
    ASSERT_TRUE(weekly.set("Weeks"));
    ASSERT_EQ(parity.IntegrityScanAt(tomorrow, weekly, 2).getCode(), R::UA_S_OK);
    EXPECT_EQ(sent("ScanStorageElement", "ScanType"), 3u);
    EXPECT_EQ(sent("ScanStorageElement", "PeriodicityType"), 6u);
    EXPECT_EQ(sent("ScanStorageElement", "Periodicity"), 2u);
}

TEST_F(VolumeServiceSimTest, AVolumeReportsReconfiguringOnlyWhileTheArrayMovesIt) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.14"));
    const auto disks = addDisks({30 * GB, 30 * GB, 30 * GB});
    Service_Volume volume;
    ASSERT_EQ(create("moving", 4 * GB, kStripe, {disks[0], disks[1]}, 2, volume).getCode(),
              R::UA_S_OK);
    bool reconfiguring = true;
    ASSERT_EQ(volume.GetIsReconfiguring(reconfiguring).getCode(), R::UA_S_OK);
    EXPECT_FALSE(reconfiguring);

    control().setJobs(true, 300);
    control().holdNextJob();
    ASSERT_EQ(volume.Reconfigure(6 * GB, Composition(kStripe), disks, 3, kStripeDepth).getCode(),
              R::UA_S_OK);
    EXPECT_TRUE(eventually([&] {
        return !volume.GetIsReconfiguring(reconfiguring).isFailure() && reconfiguring;
    }));
    control().releaseJobs();
    EXPECT_TRUE(eventually([&] {
        return !volume.GetIsReconfiguring(reconfiguring).isFailure() && !reconfiguring;
    }));
}

// ---- disks ---------------------------------------------------------------------------------

TEST_F(VolumeServiceSimTest, DisksAreInitialisedAndTakenDownByTheArrayUnlessInUse) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.15"));
    const auto fresh = addDisks({30 * GB, 30 * GB});
    ASSERT_EQ(fresh[0].InitDrive().getCode(), R::UA_S_OK);
    EXPECT_EQ(sent("InitializeStorageDevice", "ElementType"), 2u);
    EXPECT_EQ(sentPath("InitializeStorageDevice", "StorageDevice"), pathOf(fresh[0]));

    const std::string downId = deviceIdOf(fresh[1]);
    ASSERT_EQ(fresh[1].DownDrive().getCode(), R::UA_S_OK);
    EXPECT_TRUE(eventually([&] {
        return control().model().read(
            [&](const Sim::ModelView& view) { return !view.state.disks.at(downId).online; });
    }));

    const auto base = disksOfBasePool();
    Service_Volume volume;
    ASSERT_EQ(create("holds", GB, kJbod, {base[0]}, 1, volume).getCode(), R::UA_S_OK);
    const R refused = base[0].DownDrive();
    EXPECT_EQ(refused.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(refused.getFailureCode(), std::int32_t(Sim::ArrayFailure::DeviceInUse));
    EXPECT_EQ(base[0].InitDrive().getFailureCode(), std::int32_t(Sim::ArrayFailure::DeviceInUse));
}

// ---- tasks ---------------------------------------------------------------------------------

TEST_F(VolumeServiceSimTest, AJobIsATaskThatRunsToCompletionAndIsRemovedWhenDeleted) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.7"));
    control().setJobs(true, 300);
    const auto disks = disksOfBasePool();
    Service_Volume volume;
    ASSERT_EQ(create("job", GB, kStripe, {disks[0], disks[1]}, 2, volume).getCode(), R::UA_S_OK);
    ASSERT_TRUE(volume.IsValid());

    Service_Task task = taskOn("job");
    ASSERT_TRUE(task.IsValid());
    std::string id;
    ASSERT_EQ(task.GetTaskID(id).getCode(), R::UA_S_OK);
    EXPECT_FALSE(id.empty());
    std::uint16_t lastPercent = 0;
    bool percentWentBack = false;
    EXPECT_TRUE(eventually([&] {
        const std::uint16_t percent = percentOf(task);
        percentWentBack = percentWentBack || percent < lastPercent;
        lastPercent = percent;
        return stateOf(task) == "Completed";
    }));
    EXPECT_FALSE(percentWentBack);
    EXPECT_EQ(percentOf(task), 100);
    DateTime started;
    EXPECT_EQ(task.GetStartTime(started).getCode(), R::UA_S_OK);
    EXPECT_GT(started, DateTime());

    EXPECT_EQ(task.Delete().getCode(), R::UA_S_OK);
    EXPECT_TRUE(eventually([&] { return stateOf(task) == "UA_E_SERVICE_REMOVED"; }))
        << stateOf(task);
}

TEST_F(VolumeServiceSimTest, AFailingJobEndsFailedWithTheArraysText) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.8"));
    control().setJobs(true, 300);
    ASSERT_EQ(control().failNextJob(Sim::ArrayFailure::DeviceOffline, "drive 3 stopped answering", 30),
              Sim::ControlResult::Ok);
    // Held until its task is found: once failed, the job names no volume any more.
    control().holdNextJob();
    const auto disks = disksOfBasePool();
    Service_Volume volume;
    ASSERT_EQ(create("doomed", GB, kJbod, {disks[0]}, 1, volume).getCode(), R::UA_S_OK);

    Service_Task task = taskOn("doomed");
    ASSERT_TRUE(task.IsValid());
    ASSERT_EQ(control().releaseJobs(), Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return stateOf(task) == "Failed"; })) << stateOf(task);
    std::string text;
    ASSERT_EQ(task.GetErrorDescription(text).getCode(), R::UA_S_OK);
    EXPECT_EQ(text, "drive 3 stopped answering");
    EXPECT_EQ(percentOf(task), 30);
}

TEST_F(VolumeServiceSimTest, AHeldJobWaitsUntilReleasedAndCannotBeDeletedWhileActive) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.9"));
    control().setJobs(true, 300);
    control().holdNextJob();
    const auto disks = disksOfBasePool();
    Service_Volume volume;
    ASSERT_EQ(create("held", GB, kJbod, {disks[0]}, 1, volume).getCode(), R::UA_S_OK);

    Service_Task task = taskOn("held");
    ASSERT_TRUE(task.IsValid());
    EXPECT_EQ(stateOf(task), "Waiting");
    EXPECT_EQ(percentOf(task), 0);
    const R early = task.Delete();
    EXPECT_EQ(early.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(early.getFailureCode(), std::int32_t(Sim::ArrayFailure::InvalidRequest));
    EXPECT_EQ(stateOf(task), "Waiting");

    ASSERT_EQ(control().releaseJobs(), Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return stateOf(task) == "Completed"; })) << stateOf(task);
}

TEST_F(VolumeServiceSimTest, CurrentTasksOfAVolumeAreNotOffered) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.42.10"));
    control().setJobs(true, 60000);
    const auto disks = disksOfBasePool();
    Service_Volume volume;
    ASSERT_EQ(create("busy", GB, kJbod, {disks[0]}, 1, volume).getCode(), R::UA_S_OK);
    const std::uint64_t before = requests();
    std::vector<Service_Task> tasks;
    EXPECT_EQ(volume.GetCurrentTasks(tasks).getCode(), R::UA_E_NOTIMPL);
    EXPECT_TRUE(tasks.empty());
    EXPECT_EQ(requests(), before);
    EXPECT_EQ(Service_Task().Cancel().getCode(), R::UA_E_SERVICE_INVALID);
}

} // namespace
} // namespace Merrow::UserAgent
