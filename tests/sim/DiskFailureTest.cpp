// Disks that go out of service and come back, disks that break, and the spare that takes a
// broken disk's place: what the array answers and how its volumes and disks report it.
#include "SimTestSupport.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/JobControl.h"

namespace Merrow::Sim {
namespace {

using namespace Testing;
using cim::CIMValue;

const cim::CIMObjectPath kService = servicePath("Merrow_StorageConfigurationService");

// CIM OperationalStatus values.
constexpr std::uint16_t kOk = 2;
constexpr std::uint16_t kDegraded = 3;
constexpr std::uint16_t kError = 6;
constexpr std::uint16_t kStopped = 10;

// A mirror over disks 38000003 and 38000004 of the base pool; its id. `expected` is the
// array's answer: done at once, or a job started.
std::string createMirror(SimulatedArray& array, std::uint32_t expected)
{
    const auto response = array.send(invoke(
        kService, "CreateVolume",
        {param("ElementName", CIMValue(std::string("mirror"))), param("Size", CIMValue(std::uint64_t{1} << 30)),
         param("VolumeOrganization", CIMValue(std::uint16_t{3})), param("MirrorCount", CIMValue(std::uint8_t{2})),
         param("Pool", CIMValue(instancePath("CIM_StoragePool", PoolId::BaseA))),
         param("StorageDevice", CIMValue(std::vector<cim::CIMObjectPath>{deviceIdPath("CIM_DiskDrive", "38000003"),
                                                                        deviceIdPath("CIM_DiskDrive", "38000004")}))}));
    EXPECT_EQ(returnValue(response), expected);
    return outParam(response, "StorageVolume")->get<cim::CIMObjectPath>().findKeyBinding("DeviceID")->getValue();
}

class DiskService : public testing::Test {
protected:
    std::uint32_t onDisk(const char* method, const std::string& disk)
    {
        std::vector<cim::CIMParamValue> params{param("StorageDevice", CIMValue(deviceIdPath("CIM_DiskDrive", disk)))};
        if (std::string(method) == "InitializeStorageDevice")
            params.push_back(param("ElementType", CIMValue(std::uint16_t{2})));
        return returnValue(array.send(invoke(kService, method, params)));
    }

    std::uint16_t status(const char* className, const std::string& id)
    {
        return array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(deviceIdPath(className, id)))}))
            .instances.at(0)
            .getPropertyValue("OperationalStatus")
            .get<std::vector<std::uint16_t>>()
            .front();
    }

    std::string poolOf(const std::string& disk)
    {
        std::string pool;
        array.model.read([&](const ModelView& view) {
            pool = view.state.disks.at(disk).poolId;
            return 0;
        });
        return pool;
    }

    SimulatedArray array;
};

TEST_F(DiskService, ADiskTakenDownComesBackAsAnUnusedDisk)
{
    ASSERT_EQ(onDisk("RemoveStorageDevice", "38000008"), ArrayFailure::Ok);
    EXPECT_EQ(status("CIM_DiskDrive", "38000008"), kStopped);
    EXPECT_EQ(poolOf("38000008"), PoolId::Unavailable);
    ASSERT_EQ(onDisk("InitializeStorageDevice", "38000008"), ArrayFailure::Ok);
    EXPECT_EQ(status("CIM_DiskDrive", "38000008"), kOk);
    EXPECT_EQ(poolOf("38000008"), PoolId::Available);
}

TEST_F(DiskService, ABrokenDiskFailsItsVolumeWithoutRedundancyAndStays)
{
    // The first initial volume lies on disk 38000001 alone.
    ASSERT_EQ(array.control.failDisk("38000001"), ControlResult::Ok);
    EXPECT_EQ(array.control.failDisk("38000001"), ControlResult::Refused);
    EXPECT_EQ(status("CIM_DiskDrive", "38000001"), kError);
    EXPECT_EQ(status("CIM_StorageVolume", "3a000001"), kError);
    EXPECT_EQ(onDisk("InitializeStorageDevice", "38000001"), ArrayFailure::DeviceFailure);
    ASSERT_EQ(array.control.makeSpare("38000008"), ControlResult::Ok);
    EXPECT_EQ(onDisk("RemoveStorageDevice", "38000001"), ArrayFailure::DeviceInUse);
    EXPECT_EQ(poolOf("38000008"), PoolId::Spare) << "the spare was not touched";
}

TEST_F(DiskService, ABrokenMirrorDiskNeedsASpareToGo)
{
    const std::string volume = createMirror(array, ArrayFailure::Ok);
    ASSERT_EQ(array.control.failDisk("38000003"), ControlResult::Ok);
    EXPECT_EQ(status("CIM_StorageVolume", volume), kDegraded);
    EXPECT_EQ(onDisk("RemoveStorageDevice", "38000003"), ArrayFailure::NotEnoughDrives);
    EXPECT_EQ(array.control.makeSpare("38000001"), ControlResult::Refused) << "a disk in use is no spare";
}

TEST(DiskServiceWithJobs, TheSpareTakesTheBrokenDisksPlaceAndTheMirrorRebuilds)
{
    SimulatedArray array(smallArray(), true);
    const std::string volume = createMirror(array, ArrayFailure::JobStarted);
    auto runJobs = [&](std::int64_t ms) {
        array.model.update([&](ModelTransaction& transaction) { JobControl::advance(transaction, ms, 5, 2000, 60000); });
    };
    runJobs(5000);
    ASSERT_EQ(array.control.makeSpare("38000008"), ControlResult::Ok);
    ASSERT_EQ(array.control.failDisk("38000003"), ControlResult::Ok);

    const auto removed = array.send(invoke(kService, "RemoveStorageDevice",
                                           {param("StorageDevice", CIMValue(deviceIdPath("CIM_DiskDrive", "38000003")))}));
    ASSERT_EQ(returnValue(removed), ArrayFailure::JobStarted);
    std::uint16_t percent = 0;
    bool onSpare = false;
    auto look = [&] {
        array.model.read([&](const ModelView& view) {
            for (const auto& [id, job] : view.state.jobs) {
                if (job.kind == JobKind::RebuildVolume && job.ownerId == volume)
                    percent = job.percentComplete;
            }
            onSpare = false;
            for (const SimExtent& extent : view.state.volumes.at(volume).layout.extents)
                onSpare = onSpare || extent.diskId == "38000008";
            return 0;
        });
    };
    runJobs(1000);
    look();
    EXPECT_TRUE(onSpare);
    EXPECT_GT(percent, 0);
    EXPECT_LT(percent, 100);
    {
        const auto response =
            array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(deviceIdPath("CIM_StorageVolume", volume)))}));
        EXPECT_EQ(response.instances.at(0).getPropertyValue("OperationalStatus"), CIMValue(std::vector<std::uint16_t>{kDegraded}));
    }
    runJobs(5000);
    look();
    EXPECT_EQ(percent, 100);
    const auto healed =
        array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(deviceIdPath("CIM_StorageVolume", volume)))}));
    EXPECT_EQ(healed.instances.at(0).getPropertyValue("OperationalStatus"), CIMValue(std::vector<std::uint16_t>{kOk}));
    const auto gone =
        array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(deviceIdPath("CIM_DiskDrive", "38000003")))}));
    EXPECT_EQ(gone.instances.at(0).getPropertyValue("EnabledState"), CIMValue(std::uint16_t{3}));
}

} // namespace
} // namespace Merrow::Sim
