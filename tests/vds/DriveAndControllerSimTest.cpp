// Drives, LUN plexes and controllers of the provider against a simulated array: extents
// and plexes as the array lays volumes out, the hot-spare mark, drives taken out of
// service and brought back, a failed drive replaced by a spare while its mirror rebuilds,
// and the controllers' properties, ports, shut-down and restart.
#include "ProviderSimFixture.h"
#include "TraceCapture.h"

#include "cim/value/CIMValue.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskList.h"
#include "user_agent/services/Service_PhysicalPort.h"
#include "user_agent/services/Service_Volume.h"
#include "vds/objects/COrvController.h"
#include "vds/objects/COrvDrive.h"
#include "vds/objects/COrvLun.h"
#include "vds/objects/COrvSubSystem.h"

#include <algorithm>
#include <map>
#include <memory>

namespace provider_test {
namespace {

using namespace Merrow::UserAgent;
using Merrow::Sim::ControlResult;

// UAEnums::VolumeCompositionName and UAEnums::VolumeState numbers.
constexpr std::int32_t kStripe = 2;
constexpr std::int32_t kMirror = 3;
constexpr std::int32_t kVolumeNormal = 2;
constexpr std::int32_t kVolumeReduced = 3;

template <class T> T* implementation(IUnknown* object)
{
    T* out = nullptr;
    EXPECT_EQ(object->QueryInterface(GUID_NULL, reinterpret_cast<void**>(&out)), S_OK);
    return out;
}

struct ExtentView {
    VDS_OBJECT_ID drive{};
    VDS_OBJECT_ID lun{};
    ULONGLONG size = 0;
    bool used = false;
};

template <class Object> std::vector<ExtentView> extentsOf(Object* object)
{
    VDS_DRIVE_EXTENT* array = nullptr;
    LONG count = 0;
    EXPECT_EQ(object->QueryExtents(&array, &count), S_OK);
    std::unique_ptr<VDS_DRIVE_EXTENT, decltype(&CoTaskMemFree)> owned(array, &CoTaskMemFree);
    std::vector<ExtentView> out;
    for (LONG i = 0; i < count; ++i)
        out.push_back({array[i].id, array[i].LunId, array[i].ullSize, array[i].bUsed != FALSE});
    return out;
}

struct DriveView {
    VDS_OBJECT_ID id{};
    ULONGLONG size = 0;
    ULONG flags = 0;
    VDS_DRIVE_STATUS status = VDS_DRS_UNKNOWN;
    VDS_HEALTH health = VDS_H_UNKNOWN;
    SHORT slot = -1;
    std::string identification;
};

DriveView viewOf(IVdsDrive* drive)
{
    VDS_DRIVE_PROP prop{};
    EXPECT_EQ(drive->GetProperties(&prop), S_OK);
    DriveView out{prop.id, prop.ullSize, prop.ulFlags, prop.status, prop.health, prop.sSlotNumber,
                  prop.pwszIdentification ? orv::platform::Utf16ToUtf8(prop.pwszIdentification) : ""};
    CoTaskMemFree(prop.pwszFriendlyName);
    CoTaskMemFree(prop.pwszIdentification);
    return out;
}

class DriveAndControllerTest : public ProviderSimTest {
protected:
    void manage(const std::string& address)
    {
        m_array = &startArray(address);
        ASSERT_EQ(addArray(address), S_OK);
        m_subsystem = subsystemFor(address);
        ASSERT_TRUE(m_subsystem);
        m_system = implementation<COrvSubSystem>(m_subsystem.get())->GetService();
        ASSERT_TRUE(m_system.IsValid());
    }

    template <class Interface>
    std::vector<CComPtr<Interface>> query(HRESULT (IVdsSubSystem::*method)(IEnumVdsObject**))
    {
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ((m_subsystem.get()->*method)(enumerator.put()), S_OK);
        std::vector<CComPtr<Interface>> out;
        if (!enumerator)
            return out;
        for (auto& object : drain(enumerator)) {
            CComPtr<Interface> typed;
            EXPECT_EQ(object->QueryInterface(Interface::iid, typed.put_void()), S_OK);
            out.push_back(typed);
        }
        return out;
    }

    std::vector<CComPtr<IVdsDrive>> drives() { return query<IVdsDrive>(&IVdsSubSystem::QueryDrives); }
    std::vector<CComPtr<IVdsController>> controllers()
    {
        return query<IVdsController>(&IVdsSubSystem::QueryControllers);
    }

    // The array's disks, as the client library lists them.
    std::vector<Service_Disk> disks()
    {
        Service_DiskList list;
        EXPECT_FALSE(m_system.GetServiceDiskList(list).isFailure());
        std::vector<Service_Disk> out;
        EXPECT_FALSE(list.GetDisks(out).isFailure());
        return out;
    }

    Service_Volume createVolume(const std::string& name, std::int32_t composition,
                                const std::vector<Service_Disk>& on, std::uint8_t width)
    {
        Service_Volume volume;
        const MerrowReturnValue made = m_system.CreateVolume(
            name, 2ull << 30, UAEnums::VolumeCompositionName(composition), on, width, 65536, volume);
        EXPECT_FALSE(made.isFailure()) << made.getMessage();
        return volume;
    }

    // The drive standing for `disk`.
    CComPtr<IVdsDrive> driveFor(const Service_Disk& disk)
    {
        std::uint16_t slot = 0;
        EXPECT_FALSE(disk.GetSlotNumber(slot).isFailure());
        for (auto& drive : drives()) {
            if (viewOf(drive).slot == slot)
                return drive;
        }
        ADD_FAILURE() << "no drive in slot " << slot;
        return {};
    }

    // The LUN standing for `volume`, once the provider knows it.
    CComPtr<IVdsLun> lunFor(const Service_Volume& volume)
    {
        CComPtr<IVdsLun> found;
        std::string wanted;
        EXPECT_FALSE(volume.GetDurableName(wanted).isFailure());
        eventually([&] {
            for (auto& lun : query<IVdsLun>(&IVdsSubSystem::QueryLuns)) {
                std::string name;
                implementation<COrvLun>(lun.get())->GetService().GetDurableName(name);
                if (name == wanted) {
                    found = lun;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

    std::vector<CComPtr<IVdsLunPlex>> plexesOf(IVdsLun* lun)
    {
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ(lun->QueryPlexes(enumerator.put()), S_OK);
        std::vector<CComPtr<IVdsLunPlex>> out;
        for (auto& object : drain(enumerator)) {
            CComPtr<IVdsLunPlex> plex;
            EXPECT_EQ(object->QueryInterface(IID_IVdsLunPlex, plex.put_void()), S_OK);
            out.push_back(plex);
        }
        return out;
    }

    std::string diskId(const Service_Disk& disk)
    {
        std::string serial;
        disk.GetSerialNumber(serial);
        std::string id;
        m_array->control().model().read([&](const Merrow::Sim::ModelView& view) {
            for (const auto& [key, simDisk] : view.state.disks) {
                if (simDisk.serialNumber == serial)
                    id = key;
            }
            return 0;
        });
        return id;
    }

    std::int32_t volumeState(Service_Volume volume)
    {
        volume.Refresh();
        UAEnums::VolumeState state;
        return volume.GetState(state).isFailure() ? -1 : state.getValue();
    }

    CComPtr<IVdsSubSystem> m_subsystem;
    Service_CorvaneSystem m_system;
};

VDS_OBJECT_ID lunIdOf(IVdsLun* lun) { return implementation<COrvLun>(lun)->GetGuid(); }

TEST_F(DriveAndControllerTest, DriveExtentsAddUpToTheDriveAndNameTheLunsOnIt)
{
    manage("127.89.1.1");
    const std::vector<Service_Disk> all = disks();
    ASSERT_GE(all.size(), 4u);
    const Service_Volume striped = createVolume("striped", kStripe, {all[0], all[1]}, 2);
    const CComPtr<IVdsLun> lun = lunFor(striped);
    ASSERT_TRUE(lun);

    std::map<std::string, int> usedDrives;
    for (auto& drive : drives()) {
        const DriveView view = viewOf(drive);
        EXPECT_GT(view.size, 0u);
        const std::vector<ExtentView> extents = extentsOf(drive.get());
        ULONGLONG total = 0;
        for (const ExtentView& extent : extents) {
            total += extent.size;
            EXPECT_EQ(extent.drive, view.id);
            if (extent.used) {
                EXPECT_NE(extent.lun, GUID_NULL) << "a used extent names its LUN";
                if (extent.lun == lunIdOf(lun))
                    ++usedDrives[view.identification];
            } else {
                EXPECT_EQ(extent.lun, GUID_NULL) << "free space belongs to no LUN";
            }
        }
        std::string sizes;
        for (const ExtentView& extent : extents)
            sizes += std::to_string(extent.size) + (extent.used ? "u " : "f ");
        EXPECT_EQ(total, view.size) << "drive in slot " << view.slot << ": " << sizes;
    }
    // The stripe lies on both disks it was made on.
    EXPECT_EQ(usedDrives.size(), 2u);
}

TEST_F(DriveAndControllerTest, AMirrorLunHasOnePlexOverItsDrivesAndAStripeLunNone)
{
    manage("127.89.1.2");
    const std::vector<Service_Disk> all = disks();
    const Service_Volume mirror = createVolume("mirror", kMirror, {all[0], all[1]}, 1);
    const Service_Volume stripe = createVolume("stripe", kStripe, {all[2], all[3]}, 2);
    const CComPtr<IVdsLun> mirrorLun = lunFor(mirror);
    const CComPtr<IVdsLun> stripeLun = lunFor(stripe);
    ASSERT_TRUE(mirrorLun && stripeLun);

    EXPECT_TRUE(plexesOf(stripeLun).empty());
    const auto plexes = plexesOf(mirrorLun);
    ASSERT_EQ(plexes.size(), 1u);
    // Asked again, the LUN shows the same plex.
    const auto again = plexesOf(mirrorLun);
    ASSERT_EQ(again.size(), 1u);

    VDS_LUN_PLEX_PROP prop{};
    ASSERT_EQ(plexes[0]->GetProperties(&prop), S_OK);
    VDS_LUN_PLEX_PROP prop2{};
    ASSERT_EQ(again[0]->GetProperties(&prop2), S_OK);
    EXPECT_EQ(prop.id, prop2.id);
    StorageSize size;
    ASSERT_FALSE(mirror.GetSize(size).isFailure());
    EXPECT_EQ(prop.ullSize, size.bytes());
    std::uint16_t width = 0;
    ASSERT_FALSE(mirror.GetStripeWidth(width).isFailure());
    EXPECT_EQ(prop.ulStripeSize, width);
    EXPECT_EQ(prop.status, VDS_LPS_ONLINE);

    CComPtr<IVdsLun> owner;
    ASSERT_EQ(plexes[0]->GetLun(owner.put()), S_OK);
    EXPECT_EQ(lunIdOf(owner), lunIdOf(mirrorLun));

    // The plex lies on the mirror's two drives, and the drives name the plex's LUN.
    const std::vector<ExtentView> extents = extentsOf(plexes[0].get());
    ASSERT_EQ(extents.size(), 2u);
    const VDS_OBJECT_ID first = viewOf(driveFor(all[0])).id;
    const VDS_OBJECT_ID second = viewOf(driveFor(all[1])).id;
    for (const ExtentView& extent : extents) {
        EXPECT_TRUE(extent.drive == first || extent.drive == second);
        EXPECT_EQ(extent.lun, lunIdOf(mirrorLun));
        EXPECT_TRUE(extent.used);
    }
    // The provider offers the plex by its id, through the subsystem's LUNs.
    CComPtr<IUnknown> found;
    EXPECT_EQ(m_host->provider()->QueryInterface(IID_IVdsProvider, found.put_void()), S_OK);
    CComPtr<IVdsProvider> provider;
    found->QueryInterface(IID_IVdsProvider, provider.put_void());
    CComPtr<IVdsProviderPrivate> privateItf;
    ASSERT_EQ(provider->QueryInterface(IID_IVdsProviderPrivate, privateItf.put_void()), S_OK);
    CComPtr<IUnknown> plexObject;
    EXPECT_EQ(privateItf->GetObject(prop.id, VDS_OT_LUN_PLEX, plexObject.put()), S_OK);

    // Plexes cannot be added or removed on this array.
    CComPtr<IVdsAsync> async;
    EXPECT_EQ(mirrorLun->AddPlex(lunIdOf(stripeLun), async.put()), VDS_E_NOT_SUPPORTED);
    EXPECT_EQ(mirrorLun->RemovePlex(prop.id, async.put()), VDS_E_NOT_SUPPORTED);
    EXPECT_EQ(mirrorLun->AddPlex(lunIdOf(stripeLun), nullptr), E_POINTER);
}

TEST_F(DriveAndControllerTest, TheHotSpareMarkGoesToTheFirstUnusedDriveAndClears)
{
    manage("127.89.1.3");
    auto all = drives();
    ASSERT_GE(all.size(), 4u);
    // The array's two initial volumes sit on the first drives; the others are unused.
    std::vector<CComPtr<IVdsDrive>> unused;
    CComPtr<IVdsDrive> used;
    for (auto& drive : all) {
        bool hasUsed = false;
        for (const ExtentView& extent : extentsOf(drive.get()))
            hasUsed = hasUsed || extent.used;
        if (hasUsed)
            used = drive;
        else
            unused.push_back(drive);
    }
    ASSERT_TRUE(used);
    ASSERT_GE(unused.size(), 2u);

    EXPECT_EQ(unused.back()->SetFlags(VDS_DRF_HOTSPARE | VDS_DRF_ASSIGNED), E_FAIL);
    EXPECT_EQ(unused.back()->SetFlags(VDS_DRF_HOTSPARE), S_OK);
    // Only one drive is marked, the first unused one in the list.
    EXPECT_EQ(viewOf(unused.front()).flags, ULONG{VDS_DRF_HOTSPARE});
    for (std::size_t i = 1; i < unused.size(); ++i)
        EXPECT_EQ(viewOf(unused[i]).flags, 0u);
    EXPECT_EQ(viewOf(used).flags, 0u);

    // A drive that holds a LUN is never marked.
    EXPECT_EQ(used->SetFlags(VDS_DRF_HOTSPARE), S_OK);
    EXPECT_EQ(viewOf(used).flags, 0u);

    EXPECT_EQ(unused.front()->ClearFlags(VDS_DRF_HOTSPARE), S_OK);
    EXPECT_EQ(viewOf(unused.front()).flags, 0u);
    EXPECT_EQ(unused.front()->ClearFlags(0), E_FAIL);
}

TEST_F(DriveAndControllerTest, ADriveTakenOfflineComesBackOnline)
{
    manage("127.89.1.4");
    auto all = drives();
    CComPtr<IVdsDrive> unused;
    for (auto& drive : all) {
        const auto extents = extentsOf(drive.get());
        if (std::none_of(extents.begin(), extents.end(), [](const ExtentView& e) { return e.used; }))
            unused = drive;
    }
    ASSERT_TRUE(unused);
    ASSERT_EQ(viewOf(unused).status, VDS_DRS_ONLINE);

    ASSERT_EQ(unused->SetStatus(VDS_DRS_OFFLINE), S_OK);
    EXPECT_TRUE(m_array->control().lastCall("RemoveStorageDevice"));
    EXPECT_TRUE(eventually([&] { return viewOf(unused).status == VDS_DRS_OFFLINE; }));

    ASSERT_EQ(unused->SetStatus(VDS_DRS_ONLINE), S_OK);
    EXPECT_TRUE(m_array->control().lastCall("InitializeStorageDevice"));
    EXPECT_TRUE(eventually([&] { return viewOf(unused).status == VDS_DRS_ONLINE; }));

    EXPECT_EQ(unused->SetStatus(VDS_DRS_UNKNOWN), E_INVALIDARG);
    EXPECT_EQ(unused->SetStatus(VDS_DRS_FAILED), VDS_E_NOT_SUPPORTED);
    CComPtr<IVdsMaintenance> maintenance;
    ASSERT_EQ(unused->QueryInterface(IID_IVdsMaintenance, maintenance.put_void()), S_OK);
    EXPECT_EQ(maintenance->StartMaintenance(BlinkLight), VDS_E_NOT_SUPPORTED);
}

TEST_F(DriveAndControllerTest, ADriveInUseIsNotTakenOffline)
{
    manage("127.89.1.5");
    const std::vector<Service_Disk> all = disks();
    const Service_Volume volume = createVolume("busy", kStripe, {all[2], all[3]}, 2);
    ASSERT_TRUE(lunFor(volume));
    CComPtr<IVdsDrive> busy = driveFor(all[2]);

    EXPECT_EQ(busy->SetStatus(VDS_DRS_OFFLINE), E_FAIL);
    EXPECT_EQ(viewOf(busy).status, VDS_DRS_ONLINE);
    // What the array answered: the disk is in use.
    const MerrowReturnValue refused = all[2].DownDrive();
    EXPECT_EQ(refused.getCode(), MerrowReturnValue::UA_E_REQUEST_FAILED);
    EXPECT_EQ(refused.getFailureCode(), 285) << refused.getMessage();
}

TEST_F(DriveAndControllerTest, AFailedDriveIsReplacedByASpareAndTheMirrorRebuilds)
{
    manage("127.89.1.6");
    const std::vector<Service_Disk> all = disks();
    const Service_Volume mirror = createVolume("mirrored", kMirror, {all[2], all[3]}, 1);
    const CComPtr<IVdsLun> lun = lunFor(mirror);
    ASSERT_TRUE(lun);
    const Service_Disk& spareDisk = all.back();
    CComPtr<IVdsDrive> failed = driveFor(all[2]);
    CComPtr<IVdsDrive> spare = driveFor(spareDisk);
    ASSERT_EQ(m_array->control().makeSpare(diskId(spareDisk)), ControlResult::Ok);
    ASSERT_EQ(m_array->control().failDisk(diskId(all[2])), ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return volumeState(mirror) == kVolumeReduced; }));
    // VDS hears that the drive changed.
    const VDS_OBJECT_ID failedId = viewOf(failed).id;
    EXPECT_TRUE(eventually([&] { return notificationCount(VDS_NTT_DRIVE, VDS_NF_DRIVE_MODIFY, failedId) > 0; }));

    // The rebuild waits until the test lets it run, so its progress can be seen.
    m_array->control().setJobs(true, 400);
    m_array->control().setJobKeepTime(600000);
    m_array->control().holdNextJob();
    ASSERT_EQ(m_subsystem->ReplaceDrive(viewOf(failed).id, viewOf(spare).id), S_OK);

    std::string rebuildJob;
    m_array->control().model().read([&](const Merrow::Sim::ModelView& view) {
        for (const auto& [id, job] : view.state.jobs) {
            if (job.kind == Merrow::Sim::JobKind::RebuildVolume)
                rebuildJob = id;
        }
        return 0;
    });
    ASSERT_FALSE(rebuildJob.empty()) << "the array started a rebuild";
    EXPECT_EQ(volumeState(mirror), kVolumeReduced);
    // The spare took the failed drive's place under the LUN.
    EXPECT_TRUE(eventually([&] {
        const auto extents = extentsOf(spare.get());
        return std::any_of(extents.begin(), extents.end(),
                           [&](const ExtentView& e) { return e.used && e.lun == lunIdOf(lun); });
    }));

    ASSERT_EQ(m_array->control().releaseJobs(), ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return volumeState(mirror) == kVolumeNormal; }));
    EXPECT_TRUE(eventually([&] { return viewOf(failed).status == VDS_DRS_OFFLINE; }));
    std::uint16_t percent = 0;
    m_array->control().model().read([&](const Merrow::Sim::ModelView& view) {
        if (auto job = view.state.jobs.find(rebuildJob); job != view.state.jobs.end())
            percent = job->second.percentComplete;
        return 0;
    });
    EXPECT_EQ(percent, 100);

    // Ids that are no drives of the subsystem.
    EXPECT_EQ(m_subsystem->ReplaceDrive(lunIdOf(lun), viewOf(spare).id), E_INVALIDARG);
}

TEST_F(DriveAndControllerTest, AFailedDriveUnderAStripeStaysWithoutASpare)
{
    manage("127.89.1.7");
    const std::vector<Service_Disk> all = disks();
    const Service_Volume stripe = createVolume("fragile", kStripe, {all[2], all[3]}, 2);
    ASSERT_TRUE(lunFor(stripe));
    ASSERT_EQ(m_array->control().makeSpare(diskId(all.back())), ControlResult::Ok);
    ASSERT_EQ(m_array->control().failDisk(diskId(all[2])), ControlResult::Ok);
    // Without redundancy the data is gone with the disk: the array keeps it in place.
    CComPtr<IVdsDrive> failed = driveFor(all[2]);
    CComPtr<IVdsDrive> spare = driveFor(all.back());
    EXPECT_EQ(m_subsystem->ReplaceDrive(viewOf(failed).id, viewOf(spare).id), E_FAIL);
    EXPECT_EQ(all[2].DownDrive().getFailureCode(), 285);
}

TEST_F(DriveAndControllerTest, ControllerPropertiesAndPortsAreTheArrays)
{
    manage("127.89.1.8");
    auto all = controllers();
    ASSERT_FALSE(all.empty());
    for (auto& controller : all) {
        const Service_Controller service = implementation<COrvController>(controller.get())->GetService();
        VDS_CONTROLLER_PROP prop{};
        ASSERT_EQ(controller->GetProperties(&prop), S_OK);
        const std::string name = orv::platform::Utf16ToUtf8(prop.pwszFriendlyName);
        const std::string identification =
            prop.pwszIdentification ? orv::platform::Utf16ToUtf8(prop.pwszIdentification) : "";
        CoTaskMemFree(prop.pwszFriendlyName);
        CoTaskMemFree(prop.pwszIdentification);
        EXPECT_NE(name.find("controller"), std::string::npos) << name;
        std::string serial;
        ASSERT_FALSE(service.GetSerialNumber(serial).isFailure());
        EXPECT_EQ(identification, serial);
        EXPECT_EQ(prop.status, VDS_CS_ONLINE);
        EXPECT_EQ(prop.health, VDS_H_HEALTHY);

        std::vector<Service_PhysicalPort> ports;
        ASSERT_FALSE(service.GetPhysicalPorts(ports).isFailure());
        ASSERT_EQ(prop.sNumberOfPorts, static_cast<SHORT>(ports.size()));
        for (SHORT i = 0; i < prop.sNumberOfPorts; ++i) {
            VDS_PORT_PROP port{};
            ASSERT_EQ(controller->GetPortProperties(i, &port), S_OK);
            std::string portName;
            std::uint16_t number = 0;
            ports[static_cast<std::size_t>(i)].GetName(portName);
            ports[static_cast<std::size_t>(i)].GetPortNumber(number);
            EXPECT_EQ(orv::platform::Utf16ToUtf8(port.pwszFriendlyName), portName);
            EXPECT_EQ(orv::platform::Utf16ToUtf8(port.pwszIdentification), std::to_string(number));
            EXPECT_EQ(port.status, VDS_PRS_ONLINE);
            VDS_PORT_PROP again{};
            ASSERT_EQ(controller->GetPortProperties(i, &again), S_OK);
            EXPECT_EQ(port.id, again.id) << "a port keeps its id";
            for (LPWSTR text : {port.pwszFriendlyName, port.pwszIdentification,
                                again.pwszFriendlyName, again.pwszIdentification})
                CoTaskMemFree(text);
        }
        VDS_PORT_PROP outside{};
        EXPECT_EQ(controller->GetPortProperties(-1, &outside), E_FAIL);
        EXPECT_EQ(controller->GetPortProperties(prop.sNumberOfPorts, &outside), E_FAIL);

        CComPtr<IEnumVdsObject> luns;
        ASSERT_EQ(controller->QueryAssociatedLuns(luns.put()), S_OK);
        EXPECT_EQ(drain(luns).size(), lunIds(m_subsystem).size()) << "every LUN is on every controller";
        EXPECT_EQ(controller->FlushCache(), VDS_E_NOT_SUPPORTED);
        EXPECT_EQ(controller->InvalidateCache(), VDS_E_NOT_SUPPORTED);
        EXPECT_EQ(controller->SetStatus(VDS_CS_UNKNOWN), E_INVALIDARG);
        EXPECT_EQ(controller->SetStatus(VDS_CS_ONLINE), S_OK);
    }
    // A subsystem asked about controllers it does not have.
    VDS_OBJECT_ID stranger{};
    CoCreateGuid(&stranger);
    EXPECT_EQ(m_subsystem->SetControllerStatus(&stranger, 1, nullptr, 0), E_FAIL);
    EXPECT_EQ(m_subsystem->SetControllerStatus(nullptr, 1, nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(m_subsystem->SetControllerStatus(nullptr, -1, nullptr, 0), E_INVALIDARG);
}

TEST_F(DriveAndControllerTest, EachControllerPortIsAnObjectThatVdsCanEnumerateAndFind)
{
    manage("127.89.1.11");
    CComPtr<IVdsProviderPrivate> lookup;
    ASSERT_EQ(m_host->provider()->QueryInterface(IID_IVdsProviderPrivate, lookup.put_void()), S_OK);
    const std::size_t luns = lunIds(m_subsystem).size();
    const auto key = [](const VDS_OBJECT_ID& id) {
        return std::string(reinterpret_cast<const char*>(&id), sizeof id);
    };
    for (auto& controller : controllers()) {
        VDS_CONTROLLER_PROP controllerProp{};
        ASSERT_EQ(controller->GetProperties(&controllerProp), S_OK);
        CoTaskMemFree(controllerProp.pwszFriendlyName);
        CoTaskMemFree(controllerProp.pwszIdentification);
        ASSERT_GT(controllerProp.sNumberOfPorts, 0);
        // The port objects stand for the ports that GetPortProperties numbers.
        std::map<std::string, std::pair<std::string, std::string>> byNumber;
        for (SHORT i = 0; i < controllerProp.sNumberOfPorts; ++i) {
            VDS_PORT_PROP port{};
            ASSERT_EQ(controller->GetPortProperties(i, &port), S_OK);
            byNumber[key(port.id)] = {orv::platform::Utf16ToUtf8(port.pwszFriendlyName),
                                 orv::platform::Utf16ToUtf8(port.pwszIdentification)};
            CoTaskMemFree(port.pwszFriendlyName);
            CoTaskMemFree(port.pwszIdentification);
        }
        CComPtr<IVdsControllerControllerPort> owner;
        ASSERT_EQ(controller->QueryInterface(IID_IVdsControllerControllerPort, owner.put_void()), S_OK);
        std::vector<VDS_OBJECT_ID> firstIds;
        for (int pass = 0; pass < 2; ++pass) {
            CComPtr<IEnumVdsObject> enumerator;
            ASSERT_EQ(owner->QueryControllerPorts(enumerator.put()), S_OK);
            std::vector<VDS_OBJECT_ID> ids;
            for (auto& object : drain(enumerator)) {
                CComPtr<IVdsControllerPort> port;
                ASSERT_EQ(object->QueryInterface(IID_IVdsControllerPort, port.put_void()), S_OK);
                VDS_PORT_PROP prop{};
                ASSERT_EQ(port->GetProperties(&prop), S_OK);
                ids.push_back(prop.id);
                ASSERT_EQ(byNumber.count(key(prop.id)), 1u) << "a port object has its port's id";
                EXPECT_EQ(orv::platform::Utf16ToUtf8(prop.pwszFriendlyName), byNumber[key(prop.id)].first);
                EXPECT_EQ(orv::platform::Utf16ToUtf8(prop.pwszIdentification), byNumber[key(prop.id)].second);
                EXPECT_EQ(prop.status, VDS_PRS_ONLINE);
                CoTaskMemFree(prop.pwszFriendlyName);
                CoTaskMemFree(prop.pwszIdentification);

                CComPtr<IVdsController> back;
                ASSERT_EQ(port->GetController(back.put()), S_OK);
                VDS_CONTROLLER_PROP backProp{};
                ASSERT_EQ(back->GetProperties(&backProp), S_OK);
                EXPECT_EQ(backProp.id, controllerProp.id);
                CoTaskMemFree(backProp.pwszFriendlyName);
                CoTaskMemFree(backProp.pwszIdentification);
                CComPtr<IEnumVdsObject> portLuns;
                ASSERT_EQ(port->QueryAssociatedLuns(portLuns.put()), S_OK);
                EXPECT_EQ(drain(portLuns).size(), luns) << "every LUN is served through every port";
                EXPECT_EQ(port->Reset(), VDS_E_NOT_SUPPORTED);
                EXPECT_EQ(port->SetStatus(VDS_PRS_OFFLINE), VDS_E_NOT_SUPPORTED);

                CComPtr<IUnknown> found;
                EXPECT_EQ(lookup->GetObject(prop.id, VDS_OT_PORT, found.put()), S_OK)
                    << "the provider finds a port through its controller";
            }
            EXPECT_EQ(ids.size(), byNumber.size());
            if (pass == 0)
                firstIds = ids;
            else
                EXPECT_EQ(ids, firstIds) << "the ports keep their ids between enumerations";
        }
    }
}

TEST_F(DriveAndControllerTest, AControllerResetDropsTheArrayAndTheSubsystemComesBack)
{
    manage("127.89.1.9");
    // Long enough that the provider sees the array gone even on a busy machine.
    m_array->control().setRestartTime(5000);
    auto all = controllers();
    ASSERT_FALSE(all.empty());
    const std::size_t lunsBefore = lunIds(m_subsystem).size();

    ASSERT_EQ(all.front()->Reset(), S_OK);
    const auto call = m_array->control().lastCall("InitiateShutdown");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->parameters.at("Restart"), cim::CIMValue(true));
    // Lost, or not reachable once the provider tried to log in again meanwhile.
    EXPECT_TRUE(eventually([&] { return connectionStatus(m_subsystem) != COrvSubSystem::kConnected; }));
    const bool back = eventually([&] { return connectionStatus(m_subsystem) == COrvSubSystem::kConnected; });
    // A failure here is rare and timing-bound: show what the provider and the array did.
    ASSERT_TRUE(back) << "not connected again; the last traces of the other threads:\n"
                      << TraceCapture::instance().recentOfOthers(std::this_thread::get_id(), 5, 300);
    EXPECT_EQ(lunIds(m_subsystem).size(), lunsBefore);
    EXPECT_EQ(view(m_subsystem).status, VDS_SSS_ONLINE);
}

TEST_F(DriveAndControllerTest, TakingAControllerOfflineShutsItDownForGood)
{
    manage("127.89.1.10");
    auto all = controllers();
    ASSERT_FALSE(all.empty());
    VDS_CONTROLLER_PROP prop{};
    ASSERT_EQ(all.front()->GetProperties(&prop), S_OK);
    CoTaskMemFree(prop.pwszFriendlyName);
    CoTaskMemFree(prop.pwszIdentification);
    // VDS cannot bring a shut-down controller back, so it hears that it is not supported.
    EXPECT_EQ(m_subsystem->SetControllerStatus(nullptr, 0, &prop.id, 1), VDS_E_NOT_SUPPORTED);
    const auto call = m_array->control().lastCall("InitiateShutdown");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->parameters.at("Restart"), cim::CIMValue(false));
    EXPECT_TRUE(eventually([&] { return connectionStatus(m_subsystem) != COrvSubSystem::kConnected; }));
    m_array->control().powerOn();
    EXPECT_TRUE(eventually([&] { return connectionStatus(m_subsystem) == COrvSubSystem::kConnected; }));
}

} // namespace
} // namespace provider_test
