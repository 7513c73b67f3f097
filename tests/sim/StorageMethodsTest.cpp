#include "SimTestSupport.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/JobControl.h"

namespace Merrow::Sim {
namespace {

using namespace Testing;
using cim::CIMValue;

const cim::CIMObjectPath kService = servicePath("Merrow_StorageConfigurationService");

std::vector<cim::CIMObjectPath> disks(std::initializer_list<const char*> ids)
{
    std::vector<cim::CIMObjectPath> paths;
    for (const char* id : ids)
        paths.push_back(deviceIdPath("CIM_DiskDrive", id));
    return paths;
}

std::vector<cim::CIMParamValue> createParams(const std::string& name, std::uint64_t size, std::uint16_t organization,
                                             std::uint8_t width = 0)
{
    return {param("ElementName", CIMValue(name)), param("Size", CIMValue(size)),
            param("VolumeOrganization", CIMValue(organization)), param("StripeWidth", CIMValue(width)),
            param("MirrorCount", CIMValue(std::uint8_t{2})),
            param("Pool", CIMValue(instancePath("CIM_StoragePool", PoolId::BaseA)))};
}

std::vector<cim::CIMParamValue> with(std::vector<cim::CIMParamValue> params, cim::CIMParamValue extra)
{
    for (auto& existing : params) {
        if (existing.getParameterName() == extra.getParameterName()) {
            existing = std::move(extra);
            return params;
        }
    }
    params.push_back(std::move(extra));
    return params;
}

struct CreateCase {
    const char* description;
    std::vector<cim::CIMParamValue> params;
    std::uint32_t result;
};

void PrintTo(const CreateCase& c, std::ostream* os) { *os << c.description; }

class CreateVolumeRefusals : public testing::TestWithParam<CreateCase> {};

TEST_P(CreateVolumeRefusals, AnswerTheArrayFailureAndChangeNothing)
{
    SimulatedArray array;
    array.settings.maxVolumes = 3;
    const std::string before = array.model.stateText();
    EXPECT_EQ(returnValue(array.send(invoke(kService, "CreateVolume", GetParam().params))), GetParam().result)
        << GetParam().description;
    EXPECT_EQ(array.model.stateText(), before);
    EXPECT_TRUE(array.sink.take().empty());
}

constexpr std::uint64_t GiB = 1ull << 30;

INSTANTIATE_TEST_SUITE_P(
    Requests, CreateVolumeRefusals,
    testing::Values(
        CreateCase{"empty name", createParams("", GiB, 1), ArrayFailure::NoVolumeName},
        CreateCase{"name taken", createParams("vol001", GiB, 1), ArrayFailure::DuplicateVolumeName},
        CreateCase{"unknown organization", createParams("v", GiB, 0), ArrayFailure::UnknownOrganization},
        CreateCase{"chunk too small", with(createParams("v", GiB, 2), param("ChunkSize", CIMValue(std::uint32_t{4096}))),
                   ArrayFailure::ChunkSizeNotAllowed},
        CreateCase{"parity too wide", createParams("v", GiB, 5, 18), ArrayFailure::InvalidStripeCount},
        CreateCase{"stripe of one", createParams("v", GiB, 2, 1), ArrayFailure::InvalidStripeCount},
        CreateCase{"mirror with one copy", with(createParams("v", GiB, 3), param("MirrorCount", CIMValue(std::uint8_t{1}))),
                   ArrayFailure::InvalidMirrorCount},
        CreateCase{"unknown disk", with(createParams("v", GiB, 1), param("StorageDevice", CIMValue(disks({"380000ff"})))),
                   ArrayFailure::InvalidDevice},
        CreateCase{"disk outside the pool", with(createParams("v", GiB, 1), param("StorageDevice", CIMValue(disks({"38000008"})))),
                   ArrayFailure::InvalidDevice},
        CreateCase{"pool that holds no volumes",
                   with(createParams("v", GiB, 1), param("Pool", CIMValue(instancePath("CIM_StoragePool", PoolId::Available)))),
                   ArrayFailure::InvalidPoolNumber},
        CreateCase{"size zero", createParams("v", 0, 1), ArrayFailure::VolumeSizeTooSmall},
        CreateCase{"more than the disks hold", createParams("v", 700 * 1000 * GiB, 1), ArrayFailure::NotEnoughSpace},
        CreateCase{"stripe wider than the pool", createParams("v", GiB, 2, 16), ArrayFailure::NotEnoughDrives},
        CreateCase{"mirror on one named disk",
                   with(createParams("v", GiB, 3), param("StorageDevice", CIMValue(disks({"38000001"})))),
                   ArrayFailure::NotEnoughDrives}));

TEST(CreateVolume, TooManyVolumes)
{
    SimulatedArray array;
    array.settings.maxVolumes = 2;
    EXPECT_EQ(returnValue(array.send(invoke(kService, "CreateVolume", createParams("v", GiB, 1)))),
              ArrayFailure::TooManyVolumes);
}

TEST(CreateVolume, WithoutJobsTheVolumeIsReadyAtOnce)
{
    SimulatedArray array;
    const auto response = array.send(invoke(kService, "CreateVolume", createParams("striped", 1, 2, 3)));
    ASSERT_EQ(returnValue(response), ArrayFailure::Ok);
    EXPECT_EQ(outParam(response, "Size")->get<std::uint64_t>(), 512u);
    EXPECT_EQ(outParam(response, "Job"), nullptr);
    const auto volumePath = outParam(response, "StorageVolume")->get<cim::CIMObjectPath>();
    const auto volume = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(volumePath))})).instances.at(0);
    EXPECT_EQ(stringOf(volume, "ElementName"), "striped");
    EXPECT_EQ(volume.getPropertyValue("OperationalStatus"), CIMValue(std::vector<std::uint16_t>{2}));
    EXPECT_EQ(volume.getPropertyValue("NumberOfBlocks"), CIMValue(std::uint64_t{1}));
    EXPECT_EQ(walk(array, volumePath, {{"CIM_BasedOn", "Merrow_LeafExtent"}}).size(), 3u);
}

TEST(CreateVolume, UsesTheNamedDisksAndTakesTheirSpace)
{
    SimulatedArray array;
    const auto before = array.model.read([](const ModelView& view) {
        return view.state.freeBlocks(view.state.disks.at("38000003"));
    });
    const auto response = array.send(invoke(
        kService, "CreateVolume",
        with(createParams("mirror", 10 * GiB, 3), param("StorageDevice", CIMValue(disks({"38000003", "38000004"}))))));
    ASSERT_EQ(returnValue(response), ArrayFailure::Ok);
    array.model.read([&](const ModelView& view) {
        EXPECT_EQ(view.state.freeBlocks(view.state.disks.at("38000003")), before - 10 * GiB / 512);
        EXPECT_EQ(view.state.freeBlocks(view.state.disks.at("38000004")), before - 10 * GiB / 512);
    });
}

TEST(CreateVolume, WithJobsTheVolumeStartsAndTheJobFinishesIt)
{
    SimulatedArray array(smallArray(), true);
    const auto response = array.send(invoke(kService, "CreateVolume", createParams("later", GiB, 1)));
    ASSERT_EQ(returnValue(response), ArrayFailure::JobStarted);
    const auto jobPath = outParam(response, "Job")->get<cim::CIMObjectPath>();
    const auto volumePath = outParam(response, "StorageVolume")->get<cim::CIMObjectPath>();
    auto status = [&] {
        return array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(volumePath))}))
            .instances.at(0)
            .getPropertyValue("OperationalStatus");
    };
    EXPECT_EQ(status(), CIMValue(std::vector<std::uint16_t>{8}));
    array.model.update([](ModelTransaction& transaction) { JobControl::advance(transaction, 1000, 1, 2000, 60000); });
    const auto job = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(jobPath))})).instances.at(0);
    EXPECT_EQ(job.getPropertyValue("PercentComplete"), CIMValue(std::uint16_t{50}));
    EXPECT_EQ(job.getPropertyValue("OperationalStatus"), CIMValue(std::vector<std::uint16_t>{2}));
    array.model.update([](ModelTransaction& transaction) { JobControl::advance(transaction, 1000, 2, 2000, 60000); });
    EXPECT_EQ(status(), CIMValue(std::vector<std::uint16_t>{2}));
    const auto done = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(jobPath))})).instances.at(0);
    EXPECT_EQ(done.getPropertyValue("OperationalStatus"), CIMValue(std::vector<std::uint16_t>{17}));
}

TEST(MaximumVolumeSize, MatchesTheLayoutOfTheChosenDisks)
{
    SimulatedArray array;
    const std::uint64_t diskBlocks = 100'000'000'000ull / 512;
    auto maximum = [&](std::vector<cim::CIMParamValue> params) {
        const auto response = array.send(invoke(kService, "GetMaxiumumVolumeSize", std::move(params)));
        EXPECT_EQ(returnValue(response), ArrayFailure::Ok);
        return outParam(response, "MaxVolumeSize")->get<std::uint64_t>();
    };
    // Disks 3 to 5 are empty; parity over three keeps two for data.
    EXPECT_EQ(maximum({param("VolumeOrganization", CIMValue(std::uint16_t{5})), param("StripeWidth", CIMValue(std::uint8_t{3})),
                       param("ChunkSize", CIMValue(std::uint32_t{1000000})),
                       param("StorageDevice", CIMValue(disks({"38000003", "38000004", "38000005"})))}),
              2 * diskBlocks * 512);
    // JBOD over the whole pool: six disks less the two 1 GiB volumes.
    EXPECT_EQ(maximum({param("VolumeOrganization", CIMValue(std::uint16_t{1}))}), 6 * diskBlocks * 512 - 2 * GiB);
    EXPECT_EQ(returnValue(array.send(invoke(kService, "GetMaxiumumVolumeSize",
                                            {param("VolumeOrganization", CIMValue(std::uint16_t{9}))}))),
              ArrayFailure::UnknownOrganization);
}

// Five disks with 10, 20, 30, 40 and 50 GiB free: four moved into the base pool and partly
// filled by volumes of their own, the last still waiting in the available pool.
class MaximumOnUnevenDisks : public testing::Test {
protected:
    void SetUp() override
    {
        fresh = array.control.addDisks(5, 50 * GiB);
        for (std::size_t i = 0; i < 4; ++i) {
            ASSERT_EQ(transfer(fresh[i], PoolId::BaseA), ArrayFailure::Ok);
            const auto fill = with(createParams("fill" + std::to_string(i), (4 - i) * 10 * GiB, 1),
                                   param("StorageDevice", CIMValue(paths({fresh[i]}))));
            ASSERT_EQ(returnValue(array.send(invoke(kService, "CreateVolume", fill))), ArrayFailure::Ok);
        }
    }
    static std::vector<cim::CIMObjectPath> paths(const std::vector<std::string>& ids)
    {
        std::vector<cim::CIMObjectPath> result;
        for (const std::string& id : ids)
            result.push_back(deviceIdPath("CIM_DiskDrive", id));
        return result;
    }
    std::uint32_t transfer(const std::string& disk, const char* pool)
    {
        return returnValue(array.send(invoke(kService, "TransferDriveByRef",
                                             {param("Pool", CIMValue(instancePath("CIM_StoragePool", pool))),
                                              param("Drive", CIMValue(deviceIdPath("CIM_DiskDrive", disk)))})));
    }
    cim::CIMResponse ask(std::uint16_t organization, std::uint8_t width, const std::vector<std::string>& disks)
    {
        return array.send(invoke(kService, "GetMaxiumumVolumeSize",
                                 {param("ChunkSize", CIMValue(std::uint32_t{1000000})), param("StripeWidth", CIMValue(width)),
                                  param("MirrorCount", CIMValue(std::uint8_t{2})),
                                  param("VolumeOrganization", CIMValue(organization)),
                                  param("Pool", CIMValue(instancePath("CIM_StoragePool", PoolId::BaseA))),
                                  param("StorageDevice", CIMValue(paths(disks)))}));
    }
    std::uint64_t maximum(std::uint16_t organization, std::uint8_t width, const std::vector<std::string>& disks)
    {
        const auto response = ask(organization, width, disks);
        EXPECT_EQ(returnValue(response), ArrayFailure::Ok);
        const CIMValue* size = outParam(response, "MaxVolumeSize");
        return size != nullptr ? size->get<std::uint64_t>() : 0;
    }

    SimulatedArray array;
    std::vector<std::string> fresh;
};

TEST_F(MaximumOnUnevenDisks, ParityKeepsOneDiskOfTheSmallestFreeSpaceForParity)
{
    EXPECT_EQ(maximum(5, 5, fresh), 40 * GiB);
    // The widest five of six win.
    fresh.push_back(array.control.addDisks(1, 50 * GiB).at(0));
    EXPECT_EQ(maximum(5, 5, fresh), 80 * GiB);
}

TEST_F(MaximumOnUnevenDisks, TooFewDisksForTheWidthLeaveNoRoom)
{
    EXPECT_EQ(maximum(5, 5, {fresh[0], fresh[1], fresh[2], fresh[3]}), 0u);
    EXPECT_EQ(maximum(2, 4, {fresh[2], fresh[3], fresh[4]}), 0u);
    EXPECT_EQ(maximum(4, 2, {fresh[2], fresh[3], fresh[4]}), 0u);
}

TEST_F(MaximumOnUnevenDisks, CountsDisksStillInTheAvailablePoolButNoOthers)
{
    EXPECT_EQ(maximum(1, 1, {fresh[4]}), 50 * GiB);
    EXPECT_EQ(maximum(1, 1, fresh), 150 * GiB);
    EXPECT_EQ(maximum(3, 1, {fresh[3], fresh[4]}), 40 * GiB);
    ASSERT_EQ(transfer(fresh[4], PoolId::Spare), ArrayFailure::Ok);
    EXPECT_EQ(returnValue(ask(1, 1, {fresh[4]})), ArrayFailure::InvalidDevice);
}

class Reconfiguration : public testing::Test {
protected:
    cim::CIMResponse reconfigure(std::uint64_t size, std::uint16_t organization, std::uint8_t width,
                                 const cim::CIMObjectPath& volume)
    {
        return array.send(invoke(kService, "ReconfigureVolume",
                                 {param("Volume", CIMValue(volume)), param("Size", CIMValue(size)),
                                  param("VolumeOrganization", CIMValue(organization)),
                                  param("StripeWidth", CIMValue(width)), param("ChunkSize", CIMValue(std::uint32_t{1000000}))}));
    }
    void finishJobs()
    {
        array.model.update([](ModelTransaction& transaction) { JobControl::advance(transaction, 5000, 5, 2000, 60000); });
    }

    SimulatedArray array{smallArray(), true};
    cim::CIMObjectPath vol001 = deviceIdPath("CIM_StorageVolume", "3a000001");
};

TEST_F(Reconfiguration, ShowsAShadowUntilTheJobMovesTheVolume)
{
    const auto response = reconfigure(3 * GiB, 5, 3, vol001);
    ASSERT_EQ(returnValue(response), ArrayFailure::JobStarted);
    const auto shadow = outParam(response, "ShadowVolume")->get<cim::CIMObjectPath>();
    EXPECT_NE(shadow.findKeyBinding("DeviceID")->getValue(), "3a000001");
    EXPECT_EQ(walk(array, vol001, {{"Merrow_VolumeReconfiguring", "CIM_StorageVolume"}}).size(), 1u);
    const auto top = array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", CIMValue("CIM_ComputerSystem"))})).paths[0];
    EXPECT_EQ(walk(array, top, {{"CIM_SystemDevice", "CIM_StorageVolume"}}).size(), 2u);

    EXPECT_EQ(returnValue(reconfigure(4 * GiB, 1, 1, vol001)), ArrayFailure::VolumeOperationInProgress);
    EXPECT_EQ(returnValue(reconfigure(4 * GiB, 1, 1, shadow)), ArrayFailure::ShadowVolume);
    EXPECT_EQ(returnValue(array.send(invoke(kService, "ReturnToStoragePool", {param("TheElement", CIMValue(vol001))}))),
              ArrayFailure::DeleteWhileReconfiguring);

    finishJobs();
    const auto volume = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(vol001))})).instances.at(0);
    EXPECT_EQ(volume.getPropertyValue("NumberOfBlocks"), CIMValue(std::uint64_t{3 * GiB / 512}));
    EXPECT_EQ(volume.getPropertyValue("ExtentStripeLength"), CIMValue(std::uint16_t{3}));
    EXPECT_EQ(volume.getPropertyValue("PackageRedundancy"), CIMValue(std::uint16_t{1}));
    EXPECT_EQ(walk(array, vol001, {{"Merrow_VolumeReconfiguring", "CIM_StorageVolume"}}).size(), 0u);
    EXPECT_EQ(statusOf(array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(shadow))}))), 6);
}

TEST_F(Reconfiguration, AddsTheNamedDisksToThoseTheVolumeUses)
{
    const auto extentsOf = [&] {
        return array.model.read([](const ModelView& view) { return view.state.volumes.at("3a000001").layout.extents; });
    };
    const std::string keptExtent = extentsOf().at(0).id;
    auto response = array.send(invoke(kService, "ReconfigureVolume",
                                      {param("Volume", CIMValue(vol001)), param("Size", CIMValue(3 * GiB)),
                                       param("VolumeOrganization", CIMValue(std::uint16_t{2})),
                                       param("StripeWidth", CIMValue(std::uint8_t{3})),
                                       param("StorageDevice", CIMValue(disks({"38000003", "38000004"})))}));
    ASSERT_EQ(returnValue(response), ArrayFailure::JobStarted);
    finishJobs();
    const auto extents = extentsOf();
    ASSERT_EQ(extents.size(), 3u);
    EXPECT_EQ(extents[0].diskId, "38000001");
    EXPECT_EQ(extents[0].id, keptExtent);
    EXPECT_EQ(extents[1].diskId, "38000003");
    EXPECT_EQ(extents[2].diskId, "38000004");
    EXPECT_EQ(extents[0].blocks, GiB / 512);
}

TEST_F(Reconfiguration, ExtendingAConcatenationFillsItsOwnDiskBeforeTheNewOne)
{
    const std::uint64_t diskBlocks = 100'000'000'000ull / 512;
    const std::uint64_t size = 150'000'000'000ull;
    auto response = array.send(invoke(kService, "ReconfigureVolume",
                                      {param("Volume", CIMValue(vol001)), param("Size", CIMValue(size)),
                                       param("VolumeOrganization", CIMValue(std::uint16_t{1})),
                                       param("StripeWidth", CIMValue(std::uint8_t{1})),
                                       param("StorageDevice", CIMValue(disks({"38000003"})))}));
    ASSERT_EQ(returnValue(response), ArrayFailure::JobStarted);
    finishJobs();
    const auto extents =
        array.model.read([](const ModelView& view) { return view.state.volumes.at("3a000001").layout.extents; });
    ASSERT_EQ(extents.size(), 2u);
    EXPECT_EQ(extents[0].diskId, "38000001");
    EXPECT_EQ(extents[0].blocks, diskBlocks);
    EXPECT_EQ(extents[1].diskId, "38000003");
    EXPECT_EQ(extents[1].blocks, size / 512 - diskBlocks);
}

TEST_F(Reconfiguration, RefusesUnknownVolumes)
{
    EXPECT_EQ(returnValue(reconfigure(GiB, 1, 1, deviceIdPath("CIM_StorageVolume", "3a0000ff"))), ArrayFailure::VolumeNotFound);
}

TEST(GrowVolume, NeedsALargerSizeAndRoomOnItsDisks)
{
    SimulatedArray array;
    const auto vol001 = deviceIdPath("CIM_StorageVolume", "3a000001");
    auto grow = [&](std::uint64_t size) {
        return returnValue(array.send(invoke(kService, "CreateOrModifyElementFromStoragePool",
                                             {param("ElementType", CIMValue(std::uint16_t{2})), param("Size", CIMValue(size)),
                                              param("TheElement", CIMValue(vol001))})));
    };
    EXPECT_EQ(grow(GiB), 5u);
    EXPECT_EQ(grow(GiB / 2), 5u);
    EXPECT_EQ(grow(200'000'000'000ull), ArrayFailure::NotEnoughSpace);
    EXPECT_EQ(grow(2 * GiB), ArrayFailure::Ok);
    const auto volume = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(vol001))})).instances.at(0);
    EXPECT_EQ(volume.getPropertyValue("NumberOfBlocks"), CIMValue(std::uint64_t{2 * GiB / 512}));
}

// The array counts space in blocks; every property that a client reads as bytes or as
// kilobytes of 1000 must agree with the block counts.
TEST(DiskSpace, EveryViewOfADiskAgrees)
{
    SimulatedArray array;
    const auto created = array.send(invoke(
        kService, "CreateVolume",
        with(createParams("mirror", 10 * GiB + 1, 3), param("StorageDevice", CIMValue(disks({"38000003", "38000004"}))))));
    ASSERT_EQ(returnValue(created), ArrayFailure::Ok);
    const auto disk = deviceIdPath("CIM_DiskDrive", "38000003");
    const auto extents = walk(array, disk, {{"CIM_MediaPresent", "CIM_StorageExtent"}});
    ASSERT_EQ(extents.size(), 1u);
    const cim::CIMInstance& extent = extents[0].getInstance();
    const auto blockSize = extent.getPropertyValue("BlockSize").get<std::uint64_t>();
    std::uint64_t leafBlocks = 0;
    const auto extentPath = array.send(intrinsic("AssociatorNames", {param("ObjectName", CIMValue(disk)),
                                                                     param("AssocClass", CIMValue("CIM_MediaPresent"))}))
                                .paths.at(0);
    for (const auto& leaf : walk(array, extentPath, {{"CIM_BasedOn", "Merrow_LeafExtent"}}))
        leafBlocks += leaf.getInstance().getPropertyValue("Size").get<std::uint64_t>();
    EXPECT_EQ(leafBlocks * blockSize, 10 * GiB + 512);

    const std::uint64_t freeBytes = (extent.getPropertyValue("NumberOfBlocks").get<std::uint64_t>() - leafBlocks) * blockSize;
    EXPECT_EQ(extent.getPropertyValue("NumberOfAvailableBlocks").get<std::uint64_t>() * blockSize, freeBytes);
    const auto media = walk(array, disk, {{"CIM_Realizes", "CIM_PhysicalMedia"}});
    ASSERT_EQ(media.size(), 1u);
    EXPECT_EQ(media[0].getInstance().getPropertyValue("FreeCapacity").get<std::uint64_t>(), freeBytes);
    const auto capacity = media[0].getInstance().getPropertyValue("Capacity").get<std::uint64_t>();
    EXPECT_EQ(capacity, 100'000'000'000ull);
    const auto drive = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(disk))})).instances.at(0);
    EXPECT_EQ(drive.getPropertyValue("MaxMediaSize").get<std::uint64_t>() * 1000, capacity);
}

TEST(ReturnToStoragePool, DeletesTheVolumeWithItsTargetAndGrantsUnlessInUse)
{
    SimulatedArray array;
    const auto vol001 = deviceIdPath("CIM_StorageVolume", "3a000001");
    std::string session;
    ASSERT_EQ(array.control.addSession("iqn.2024-01.org.example:host1", "vol001", session), ControlResult::Ok);
    auto remove = [&](const cim::CIMObjectPath& path) {
        return returnValue(array.send(invoke(kService, "ReturnToStoragePool", {param("TheElement", CIMValue(path))})));
    };
    EXPECT_EQ(remove(vol001), ArrayFailure::LunInUse);
    ASSERT_EQ(array.control.removeSession(session), ControlResult::Ok);
    EXPECT_EQ(remove(vol001), ArrayFailure::Ok);
    EXPECT_EQ(remove(vol001), ArrayFailure::VolumeNotFound);
    EXPECT_EQ(enumerate(array, "CIM_StorageVolume").size(), 1u);
    EXPECT_EQ(enumerate(array, "CIM_SCSIProtocolController").size(), 1u);
    EXPECT_EQ(enumerate(array, "Merrow_LeafExtent").size(), 1u);
}

TEST(Pools, EachQuestionNamesItsPool)
{
    SimulatedArray array;
    auto pool = [&](const char* method, std::vector<cim::CIMParamValue> params = {}) {
        const auto response = array.send(invoke(kService, method, std::move(params)));
        EXPECT_EQ(returnValue(response), ArrayFailure::Ok) << method;
        return outParam(response, "Pool")->get<cim::CIMObjectPath>().findKeyBinding("InstanceID")->getValue();
    };
    const auto controllers = array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", CIMValue("CIM_ComputerSystem"))})).paths;
    EXPECT_EQ(pool("GetBasePool"), PoolId::BaseA);
    EXPECT_EQ(pool("GetBasePool", {param("Controller", CIMValue(controllers[1]))}), PoolId::BaseA);
    EXPECT_EQ(pool("GetBasePool", {param("Controller", CIMValue(controllers[2]))}), PoolId::BaseB);
    EXPECT_EQ(pool("GetAvailablePool"), PoolId::Available);
    EXPECT_EQ(pool("GetSparePool"), PoolId::Spare);
    EXPECT_EQ(pool("GetUnavailablePool"), PoolId::Unavailable);
}

TEST(Disks, TransferMovesOnlyUnusedDisks)
{
    SimulatedArray array;
    auto transfer = [&](const char* disk, const char* pool) {
        return returnValue(array.send(invoke(kService, "TransferDriveByRef",
                                             {param("Pool", CIMValue(instancePath("CIM_StoragePool", pool))),
                                              param("Drive", CIMValue(deviceIdPath("CIM_DiskDrive", disk)))})));
    };
    EXPECT_EQ(transfer("38000008", PoolId::BaseA), ArrayFailure::Ok);
    EXPECT_EQ(transfer("38000008", PoolId::BaseA), ArrayFailure::Ok);
    EXPECT_EQ(transfer("38000001", PoolId::Available), ArrayFailure::DeviceInUse);
    EXPECT_EQ(transfer("380000ff", PoolId::BaseA), ArrayFailure::InvalidDevice);
    EXPECT_EQ(transfer("38000002", "37000099"), ArrayFailure::InvalidPoolNumber);
    const auto disk = walk(array, deviceIdPath("CIM_DiskDrive", "38000008"), {{"CIM_ConcreteComponent", "CIM_StoragePool"}});
    ASSERT_EQ(disk.size(), 1u);
    EXPECT_EQ(stringOf(disk[0].getInstance(), "InstanceID"), PoolId::BaseA);
}

TEST(Disks, OnlyOneDiskGoesDownAtATime)
{
    SimulatedArray array(smallArray(), true);
    auto down = [&](const char* disk) {
        return returnValue(array.send(invoke(kService, "RemoveStorageDevice",
                                             {param("StorageDevice", CIMValue(deviceIdPath("CIM_DiskDrive", disk)))})));
    };
    EXPECT_EQ(down("38000001"), ArrayFailure::DeviceInUse);
    EXPECT_EQ(down("38000005"), ArrayFailure::JobStarted);
    EXPECT_EQ(down("38000006"), ArrayFailure::OnlyOneDownDrive);
    array.model.update([](ModelTransaction& transaction) { JobControl::advance(transaction, 5000, 5, 2000, 60000); });
    EXPECT_EQ(down("38000005"), ArrayFailure::DeviceOffline);
    const auto disk = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(deviceIdPath("CIM_DiskDrive", "38000005")))}));
    EXPECT_EQ(disk.instances.at(0).getPropertyValue("OperationalStatus"), CIMValue(std::vector<std::uint16_t>{10}));
}

class Tasks : public testing::Test {
protected:
    void SetUp() override
    {
        const auto response = array.send(invoke(kService, "ScanStorageElement",
                                                {param("ScanType", CIMValue(std::uint16_t{2})),
                                                 param("StorageElement", CIMValue(deviceIdPath("CIM_StorageVolume", "3a000001")))}));
        ASSERT_EQ(returnValue(response), ArrayFailure::JobStarted);
        job = outParam(response, "Job")->get<cim::CIMObjectPath>();
    }
    std::uint32_t task(const char* method, const cim::CIMObjectPath& path)
    {
        return returnValue(array.send(invoke(kService, method, {param("Job", CIMValue(path))})));
    }
    std::vector<std::uint16_t> status()
    {
        return array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(job))}))
            .instances.at(0)
            .getPropertyValue("OperationalStatus")
            .get<std::vector<std::uint16_t>>();
    }

    SimulatedArray array;
    cim::CIMObjectPath job;
};

TEST_F(Tasks, FollowTheStatesAJobCanBeIn)
{
    EXPECT_EQ(task("ResumeTask", job), ArrayFailure::InvalidRequest);
    EXPECT_EQ(task("SuspendTask", job), ArrayFailure::Ok);
    EXPECT_EQ(status(), std::vector<std::uint16_t>{JobStatus::Paused});
    EXPECT_EQ(task("DeleteTask", job), ArrayFailure::InvalidRequest);
    EXPECT_EQ(task("ResumeTask", job), ArrayFailure::Ok);
    EXPECT_EQ(task("AbortTask", job), ArrayFailure::Ok);
    EXPECT_EQ(status(), std::vector<std::uint16_t>{JobStatus::Cancelled});
    EXPECT_EQ(task("AbortTask", job), ArrayFailure::InvalidRequest);
    EXPECT_EQ(task("DeleteTask", job), ArrayFailure::Ok);
    EXPECT_EQ(task("DeleteTask", job), ArrayFailure::ObjectNotFound);
}

TEST_F(Tasks, AbortingACreationRemovesTheVolume)
{
    array.settings.jobsEnabled = true;
    const auto created = array.send(invoke(kService, "CreateVolume", createParams("doomed", GiB, 1)));
    ASSERT_EQ(returnValue(created), ArrayFailure::JobStarted);
    EXPECT_EQ(task("AbortTask", outParam(created, "Job")->get<cim::CIMObjectPath>()), ArrayFailure::Ok);
    EXPECT_EQ(enumerate(array, "CIM_StorageVolume").size(), 2u);
}

TEST_F(Tasks, RescheduleMovesTheStartAndSetsThePriority)
{
    const auto response = array.send(invoke(kService, "RescheduleTask",
                                            {param("Job", CIMValue(job)), param("ScheduledTaskPriority", CIMValue(std::uint32_t{7})),
                                             param("ScheduledTaskStartTime", CIMValue(cim::CIMDateTime("20990101000000.000000+000")))}));
    EXPECT_EQ(returnValue(response), ArrayFailure::Ok);
    const auto instance = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(job))})).instances.at(0);
    EXPECT_EQ(instance.getPropertyValue("Priority"), CIMValue(std::uint32_t{7}));
    EXPECT_EQ(status(), std::vector<std::uint16_t>{JobStatus::Scheduled});
}

TEST(JobControl, FinishedJobsGoAwayAfterTheKeepTime)
{
    SimulatedArray array(smallArray(), true);
    array.send(invoke(kService, "CreateVolume", createParams("kept", GiB, 1)));
    auto advance = [&](std::int64_t elapsed, std::int64_t now) {
        array.model.update([&](ModelTransaction& transaction) { JobControl::advance(transaction, elapsed, now, 1000, 500); });
    };
    advance(1000, 10'000);
    EXPECT_EQ(enumerate(array, "CIM_ConcreteJob").size(), 1u);
    advance(10, 10'499);
    EXPECT_EQ(enumerate(array, "CIM_ConcreteJob").size(), 1u);
    advance(10, 10'500);
    EXPECT_EQ(enumerate(array, "CIM_ConcreteJob").size(), 0u);
}

TEST(JobControl, ProgressMovesInStepsOfTen)
{
    SimulatedArray array(smallArray(), true);
    array.send(invoke(kService, "CreateVolume", createParams("steps", GiB, 1)));
    array.sink.take();
    std::vector<std::uint16_t> seen;
    for (int tick = 0; tick < 9; ++tick) {
        array.model.update([&](ModelTransaction& transaction) { JobControl::advance(transaction, 130, 1, 1000, 60000); });
        seen.push_back(enumerate(array, "CIM_ConcreteJob").at(0).getPropertyValue("PercentComplete").get<std::uint16_t>());
    }
    EXPECT_EQ(seen, (std::vector<std::uint16_t>{10, 20, 30, 50, 60, 70, 90, 100, 100}));
}

} // namespace
} // namespace Merrow::Sim
