// Volume configuration at the profile and grouping level against the simulated array: what
// the array receives, which disks move between pools, how refusals come back, and the size
// estimates on layouts built on the array itself.

#include "user_agent/base/CIMValueConversions.h"
#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/groupings/FunctionalGrouping_CorvaneSystem.h"
#include "user_agent/groupings/FunctionalGrouping_Task.h"
#include "user_agent/profiles/Profile_BlockServices_Volume.h"
#include "user_agent/root/MerrowUserAgent.h"

#include "ProfileTestService.h"
#include "SimArray.h"
#include "StartedRootSimTest.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;
using Composition = UAEnums::VolumeCompositionName;

constexpr std::uint64_t GB = 1'000'000'000ull;
enum : std::int32_t { kJbod = 1, kStripe = 2, kMirror = 3, kStripeMirror = 4, kParity = 5 };

class VolumeConfigurationSimTest : public StartedRootSimTest {
protected:
    void start(const std::string& address) {
        ASSERT_NO_FATAL_FAILURE(connectToNewArray(address));
        cim::CIMObjectPath top;
        ASSERT_EQ(m_connection.GetTopComputerSystem(top).getCode(), R::UA_S_OK);
        m_system = serviceOn<FunctionalGrouping_CorvaneSystem>(top);
    }

    template <typename Profile>
    std::shared_ptr<ProfileTestService<Profile>> serviceOn(const cim::CIMObjectPath& root) {
        auto service = std::make_shared<ProfileTestService<Profile>>(m_connection, root);
        EXPECT_EQ(service->Init().getCode(), R::UA_S_OK);
        return service;
    }

    UACIMClient& client() { return *m_connection.GetConnectionImpl(); }
    Sim::SimulatorControl& control() { return m_array->control(); }

    std::vector<cim::CIMObjectPath> pathsWithIds(const char* className,
                                                 const std::vector<std::string>& ids) {
        std::vector<cim::CIMObjectPath> found;
        const auto all = client().enumerateInstanceNames(kNamespace, className);
        for (const std::string& id : ids) {
            for (const auto& path : all) {
                const cim::CIMKeyBinding* key = path.findKeyBinding("DeviceID");
                if (key && key->getValue() == id)
                    found.push_back(path);
            }
        }
        EXPECT_EQ(found.size(), ids.size()) << className;
        return found;
    }
    // Disks of the given pool, in the array's order.
    std::vector<cim::CIMObjectPath> disksIn(const char* poolId) {
        const auto ids = control().model().read([&](const Sim::ModelView& view) {
            std::vector<std::string> inPool;
            for (const auto& [id, disk] : view.state.disks) {
                if (disk.poolId == poolId)
                    inPool.push_back(id);
            }
            return inPool;
        });
        return pathsWithIds("CIM_DiskDrive", ids);
    }
    std::string poolOfDisk(const cim::CIMObjectPath& disk) {
        const std::string id = disk.findKeyBinding("DeviceID")->getValue();
        return control().model().read(
            [&](const Sim::ModelView& view) { return view.state.disks.at(id).poolId; });
    }
    // Disks added to the available pool, one of each size.
    std::vector<cim::CIMObjectPath> addDisks(const std::vector<std::uint64_t>& sizes) {
        std::vector<std::string> ids;
        for (std::uint64_t bytes : sizes)
            ids.push_back(control().addDisks(1, bytes).front());
        return pathsWithIds("CIM_DiskDrive", ids);
    }

    R createVolume(const std::string& name, std::uint64_t bytes, std::int32_t composition,
                   const std::vector<cim::CIMObjectPath>& disks, std::uint8_t stripeWidth,
                   cim::CIMObjectPath& volume) {
        return m_system->profile().CreateVolume(name, bytes, Composition(composition), disks,
                                                stripeWidth, 65536, basePool(), availablePool(),
                                                volume);
    }
    std::shared_ptr<ProfileTestService<Profile_BlockServices_Volume>>
    volumeService(const cim::CIMObjectPath& volume) {
        return serviceOn<Profile_BlockServices_Volume>(volume);
    }
    cim::CIMObjectPath basePool() { return m_system->GetBasePoolObjectPath(); }
    cim::CIMObjectPath availablePool() { return m_system->GetAvailPoolObjectPath(); }

    std::uint64_t sent(const char* method, const char* parameter) {
        const auto call = control().lastCall(method);
        EXPECT_TRUE(call.has_value()) << method;
        if (!call || !call->parameters.count(parameter))
            return ~0ull;
        return CIMValueToUint64(call->parameters.at(parameter)).value_or(~0ull);
    }

    static inline const cim::CIMNamespaceName kNamespace{"root/snia"};
    std::shared_ptr<ProfileTestService<FunctionalGrouping_CorvaneSystem>> m_system;
};

// ---- creation ----------------------------------------------------------------------------

TEST_F(VolumeConfigurationSimTest, CreationSendsTheLayoutWithTwoMirrorCopiesForEveryComposition) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.40.1"));
    const auto disks = disksIn(Sim::PoolId::BaseA);
    ASSERT_GE(disks.size(), 4u);
    const struct {
        std::int32_t composition;
        std::vector<cim::CIMObjectPath> disks;
        std::uint8_t width;
    } cases[] = {
        {kJbod, {disks[0]}, 1},
        {kStripe, {disks[0], disks[1]}, 2},
        {kMirror, {disks[0], disks[1]}, 1},
        {kStripeMirror, {disks[0], disks[1], disks[2], disks[3]}, 2},
        {kParity, {disks[0], disks[1], disks[2]}, 3},
    };
    for (const auto& c : cases) {
        const std::string name = "vol-" + std::to_string(c.composition);
        cim::CIMObjectPath volume;
        EXPECT_EQ(createVolume(name, GB, c.composition, c.disks, c.width, volume).getCode(),
                  R::UA_S_OK)
            << name;
        EXPECT_FALSE(volume.getClassName().isNull()) << name;
        EXPECT_EQ(sent("CreateVolume", "MirrorCount"), 2u) << name;
        EXPECT_EQ(sent("CreateVolume", "VolumeOrganization"), std::uint64_t(c.composition)) << name;
        EXPECT_EQ(sent("CreateVolume", "StripeWidth"), c.width) << name;
        EXPECT_EQ(sent("CreateVolume", "ChunkSize"), 65536u) << name;
        EXPECT_EQ(sent("CreateVolume", "Size"), GB) << name;
    }
}

TEST_F(VolumeConfigurationSimTest, OnlyDisksOfTheAvailablePoolAreTransferredFirst) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.40.2"));
    const auto base = disksIn(Sim::PoolId::BaseA);
    const auto available = disksIn(Sim::PoolId::Available);
    ASSERT_FALSE(base.empty());
    ASSERT_FALSE(available.empty());

    cim::CIMObjectPath volume;
    control().clearCalls();
    ASSERT_EQ(createVolume("onBase", GB, kJbod, {base[0]}, 1, volume).getCode(), R::UA_S_OK);
    EXPECT_FALSE(control().lastCall("TransferDriveByRef").has_value());

    ASSERT_EQ(createVolume("onNew", GB, kStripe, {base[0], available[0]}, 2, volume).getCode(),
              R::UA_S_OK);
    const auto transfer = control().lastCall("TransferDriveByRef");
    ASSERT_TRUE(transfer.has_value());
    EXPECT_EQ(transfer->parameters.at("Drive").get<cim::CIMObjectPath>().findKeyBinding("DeviceID")->getValue(),
              available[0].findKeyBinding("DeviceID")->getValue());
    EXPECT_EQ(poolOfDisk(available[0]), poolOfDisk(base[0]));
}

TEST_F(VolumeConfigurationSimTest, TheArraysRefusalComesBackWithItsCode) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.40.3"));
    const auto disks = disksIn(Sim::PoolId::BaseA);
    cim::CIMObjectPath volume;
    ASSERT_EQ(createVolume("twin", GB, kJbod, {disks[0]}, 1, volume).getCode(), R::UA_S_OK);
    const R again = createVolume("twin", GB, kJbod, {disks[0]}, 1, volume);
    EXPECT_EQ(again.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_GT(again.getFailureCode(), 0);
    EXPECT_FALSE(again.getMessage().empty());

    // Too wide a parity stripe for three disks: the array's refusal, not ours.
    const R tooWide = createVolume("wide", GB, kParity, {disks[0], disks[1], disks[2]}, 17, volume);
    EXPECT_EQ(tooWide.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(sent("CreateVolume", "StripeWidth"), 17u);
}

TEST_F(VolumeConfigurationSimTest, AJobStartedByTheArrayIsSuccessAndShowsAsATask) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.40.4"));
    control().setJobs(true, 60000);
    const auto disks = disksIn(Sim::PoolId::BaseA);
    cim::CIMObjectPath volume;
    ASSERT_EQ(createVolume("slow", GB, kStripe, {disks[0], disks[1]}, 2, volume).getCode(),
              R::UA_S_OK);

    auto volumeProfile = volumeService(volume);
    std::vector<cim::CIMObject> tasks;
    ASSERT_EQ(volumeProfile->profile().Get_Tasks_List(tasks).getCode(), R::UA_S_OK);
    ASSERT_EQ(tasks.size(), 1u);
    auto task = serviceOn<FunctionalGrouping_Task>(tasks.front().getPath());
    UAEnums::TaskState state;
    ASSERT_EQ(task->profile().Get_Task_State(state).getCode(), R::UA_S_OK);
    EXPECT_EQ(state.toString(), "Running");
    std::string objectName;
    ASSERT_EQ(task->profile().Get_Task_ObjectName(objectName).getCode(), R::UA_S_OK);
    EXPECT_EQ(objectName, "slow");

    ASSERT_EQ(task->profile().Cancel().getCode(), R::UA_S_OK);
    task->Refresh();
    ASSERT_EQ(task->profile().Get_Task_State(state).getCode(), R::UA_S_OK);
    EXPECT_EQ(state.toString(), "Cancelled");
}

// ---- sizes ---------------------------------------------------------------------------------

TEST_F(VolumeConfigurationSimTest, TheLargestVolumeIsTheArraysAnswer) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.40.5"));
    const auto disks = disksIn(Sim::PoolId::BaseA);
    std::uint64_t stripe = 0;
    ASSERT_EQ(m_system->profile()
                  .GetMaxVolumeSize(Composition(kStripe), {disks[0], disks[1]}, 2, 65536,
                                    basePool(), stripe)
                  .getCode(),
              R::UA_S_OK);
    std::uint64_t mirror = 0;
    ASSERT_EQ(m_system->profile()
                  .GetMaxVolumeSize(Composition(kMirror), {disks[0], disks[1]}, 1, 65536,
                                    basePool(), mirror)
                  .getCode(),
              R::UA_S_OK);
    EXPECT_GT(mirror, 100 * GB);
    EXPECT_EQ(stripe, 2 * mirror);
    EXPECT_EQ(sent("GetMaxiumumVolumeSize", "MirrorCount"), 2u);
}

TEST_F(VolumeConfigurationSimTest, SizeAndCompositionOfTheArraysVolumes) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.40.6"));
    const auto disks = addDisks({30 * GB, 30 * GB, 30 * GB});
    const struct {
        std::int32_t composition;
        std::vector<cim::CIMObjectPath> disks;
        std::uint8_t width;
    } cases[] = {
        {kJbod, {disks[0]}, 1},
        {kStripe, {disks[0], disks[1]}, 2},
        {kMirror, {disks[0], disks[1]}, 1},
        {kParity, {disks[0], disks[1], disks[2]}, 3},
    };
    for (const auto& c : cases) {
        cim::CIMObjectPath path;
        const std::string name = "v" + std::to_string(c.composition);
        ASSERT_EQ(createVolume(name, 3 * GB, c.composition, c.disks, c.width, path).getCode(),
                  R::UA_S_OK);
        auto volume = volumeService(path);
        std::uint64_t size = 0;
        ASSERT_EQ(volume->profile().GetSize(size).getCode(), R::UA_S_OK);
        EXPECT_GE(size, 3 * GB) << name;
        Composition composition;
        ASSERT_EQ(volume->profile().GetCompositionName(composition).getCode(), R::UA_S_OK);
        EXPECT_EQ(composition.getValue(), c.composition) << name;
    }
}

TEST_F(VolumeConfigurationSimTest, GrowthOfAParityVolumeIsTheFifthLargestFreeSpace) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.40.7"));
    // Each disk gives 1 GB to the volume and keeps 10, 20, 30, 40 and 50 GB free.
    const auto disks = addDisks({11 * GB, 21 * GB, 31 * GB, 41 * GB, 51 * GB});
    cim::CIMObjectPath path;
    ASSERT_EQ(createVolume("parity5", 4 * GB, kParity, disks, 5, path).getCode(), R::UA_S_OK);
    auto volume = volumeService(path);

    std::uint64_t growth = 0;
    ASSERT_EQ(volume->profile().GetMaxGrowSize({}, growth).getCode(), R::UA_S_OK);
    EXPECT_EQ(growth, 40 * GB);
    ASSERT_EQ(volume->profile().GetMaxGrowSize(disks, growth).getCode(), R::UA_S_OK);
    EXPECT_EQ(growth, 40 * GB);
}

TEST_F(VolumeConfigurationSimTest, AStripeCannotGrowOverFewerDisksThanItsWidth) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.40.8"));
    const auto disks = addDisks({20 * GB, 20 * GB, 20 * GB, 20 * GB});
    cim::CIMObjectPath path;
    ASSERT_EQ(createVolume("stripe4", 4 * GB, kStripe, disks, 4, path).getCode(), R::UA_S_OK);
    auto volume = volumeService(path);

    std::uint64_t growth = 1;
    ASSERT_EQ(volume->profile().GetMaxGrowSize({disks[0], disks[1], disks[2]}, growth).getCode(),
              R::UA_S_OK);
    EXPECT_EQ(growth, 0u);
    ASSERT_EQ(volume->profile().GetMaxGrowSize({}, growth).getCode(), R::UA_S_OK);
    EXPECT_EQ(growth, 4 * 19 * GB);
}

TEST_F(VolumeConfigurationSimTest, TheDefaultVolumesCanGrowByTheFreeSpaceOfTheirDisk) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.40.9"));
    const std::string first = control().model().read(
        [](const Sim::ModelView& view) { return view.state.volumes.begin()->first; });
    auto volume = volumeService(pathsWithIds("CIM_StorageVolume", {first}).front());
    std::uint64_t growth = 0;
    ASSERT_EQ(volume->profile().GetMaxGrowSize({}, growth).getCode(), R::UA_S_OK);
    EXPECT_GT(growth, 100 * GB);
    EXPECT_LT(growth, 200 * GB);
}

// ---- changes -----------------------------------------------------------------------------

TEST_F(VolumeConfigurationSimTest, GrowInPlaceAndDelete) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.40.10"));
    const auto disks = disksIn(Sim::PoolId::BaseA);
    cim::CIMObjectPath path;
    ASSERT_EQ(createVolume("grow", GB, kJbod, {disks[0]}, 1, path).getCode(), R::UA_S_OK);
    auto volume = volumeService(path);

    const R smaller = volume->profile().GrowTo(GB / 2);
    EXPECT_EQ(smaller.getCode(), R::UA_E_INVALIDARG);
    EXPECT_EQ(smaller.getMessage(), "New volume size must be greater than current size");
    ASSERT_EQ(volume->profile().GrowTo(2 * GB).getCode(), R::UA_S_OK);
    std::uint64_t size = 0;
    ASSERT_EQ(volume->profile().GetSize(size).getCode(), R::UA_S_OK);
    EXPECT_EQ(size, 2 * GB);

    ASSERT_EQ(volume->profile().Delete().getCode(), R::UA_S_OK);
    EXPECT_FALSE(control().model().read([](const Sim::ModelView& view) {
        return view.state.findVolumeByName("grow") != nullptr;
    }));
    const R twice = volume->profile().Delete();
    EXPECT_EQ(twice.getCode(), R::UA_E_REQUEST_FAILED);
}

} // namespace
} // namespace Merrow::UserAgent
