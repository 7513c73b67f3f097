#include "vds/objects/COrvDrive.h"

#include "platform/com/ErrorDescription.h"
#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "platform/vds/VdsErrors.h"
#include "platform/winapi/RpcUuid.h"
#include "trace/Trace.h"
#include "user_agent/base/StorageSize.h"
#include "user_agent/services/Service_Extent.h"
#include "user_agent/services/Service_Pool.h"
#include "user_agent/services/Service_Volume.h"
#include "vds/objects/COrvLun.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/COrvVdsProvider.h"

#include <optional>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_DISK;
using Merrow::Trace::TV_ERROR;
using Merrow::Trace::TV_INFO;
using Merrow::Trace::TV_SEVERE;
using Merrow::Trace::TV_WARNING;

namespace {

// UAEnums::PoolType of the pool that holds the disks the array took out of service.
constexpr std::int32_t kUnavailablePool = 1;
// UAEnums::OperationalStatus numbers the drive's health is read from.
constexpr std::int32_t kOperationalOk = 0;
constexpr std::int32_t kOperationalFailed = 1;

void traceFailure(unsigned level, const char* text, const MerrowReturnValue& result)
{
    MWTRACE(level, TC_VDS_DISK) << text << result.getCode() << MWENDREC;
}

// The free space of a drive: no LUN, no plex.
HRESULT makeFreeExtent(const VDS_OBJECT_ID& driveId, ULONGLONG size, Extent& extent)
{
    extent.m_ids[Extent::EXTENT_GUID_DRIVE] = driveId;
    extent.m_ullSize = size;
    extent.m_bUsed = false;
    if (UuidCreateNil(&extent.m_ids[Extent::EXTENT_GUID_LUN]) != RPC_S_OK) {
        MWTRACE(TV_WARNING, TC_VDS_DISK)
            << "UuidCreateNil( &extent.m_ids[Extent::EXTENT_GUID_LUN] ); failed" << MWENDREC;
        return E_FAIL;
    }
    if (UuidCreateNil(&extent.m_ids[Extent::EXTENT_GUID_PLEX]) != RPC_S_OK) {
        MWTRACE(TV_WARNING, TC_VDS_DISK)
            << "UuidCreateNil( &extent.m_ids[Extent::EXTENT_GUID_PLEX] ) failed" << MWENDREC;
        return E_FAIL;
    }
    return S_OK;
}

} // namespace

HRESULT COrvDrive::queryExtents()
{
    MWSCOPE_OBJ(this, "");
    VDSScopedLock lock(this);
    std::vector<Service_Extent> extents;
    const MerrowReturnValue result = m_Service.GetExtents(extents);
    if (result.isFailure()) {
        traceFailure(TV_WARNING, "GetExtents failed with return: ", result);
        return E_FAIL;
    }
    m_Extents = std::move(extents);
    return S_OK;
}

std::size_t COrvDrive::ExtentCount()
{
    VDSScopedLock lock(this);
    return m_Extents.size();
}

void COrvDrive::InitializeFlags()
{
    VDSScopedLock lock(this);
    m_ulFlags = 0;
}

ULONG COrvDrive::Flags()
{
    VDSScopedLock lock(this);
    return m_ulFlags;
}

void COrvDrive::SetHotSpare(bool hotSpare)
{
    VDSScopedLock lock(this);
    m_ulFlags = hotSpare ? (m_ulFlags | VDS_DRF_HOTSPARE) : (m_ulFlags & ~ULONG{VDS_DRF_HOTSPARE});
}

VdsOrderKeyOutcome COrvDrive::ReadOrderKey(int& key, std::string& failureText)
{
    VDSScopedLock lock(this);
    if (!m_Service.IsValid())
        return VdsOrderKeyOutcome::NoServiceObject;
    std::uint16_t slot = 0;
    const MerrowReturnValue result = m_Service.GetSlotNumber(slot);
    if (result.isFailure()) {
        failureText = result.getMessage();
        return VdsOrderKeyOutcome::Failed;
    }
    key = slot;
    return VdsOrderKeyOutcome::Read;
}

// ---- properties ------------------------------------------------------------------------

HRESULT COrvDrive::GetProperties(VDS_DRIVE_PROP* pDriveProp)
{
    return GuardVdsMethod("COrvDrive::GetProperties", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (pDriveProp == nullptr)
            return E_INVALIDARG;
        *pDriveProp = VDS_DRIVE_PROP{};
        VDS_DRIVE_PROP prop{};
        const HRESULT hr = getDriveProperties(prop);
        if (FAILED(hr)) {
            CoTaskMemFree(prop.pwszFriendlyName);
            CoTaskMemFree(prop.pwszIdentification);
            return hr;
        }
        *pDriveProp = prop;
        return S_OK;
    });
}

HRESULT COrvDrive::getDriveProperties(VDS_DRIVE_PROP& prop)
{
    if (!m_Service.IsValid()) {
        MWTRACE(TV_WARNING, TC_VDS_DISK) << "m_ServiceDisk is NOT valid" << MWENDREC;
        return E_FAIL;
    }
    prop.id = GetGuid();
    std::uint64_t capacity = 0;
    const MerrowReturnValue sized = m_Service.GetPhysicalCapacity(capacity);
    if (sized.isFailure())
        traceFailure(TV_WARNING, "m_ServiceDisk.GetPhysicalCapacity failed with return: ", sized);
    prop.ullSize = capacity;

    std::string model;
    if (!m_Service.GetVendorModel(model).isFailure()) {
        prop.pwszFriendlyName = CoTaskMemDupString(orv::platform::Utf8ToUtf16(model));
        if (prop.pwszFriendlyName == nullptr)
            MWTRACE(TV_SEVERE, TC_VDS_DISK)
                << "Out of memory, DriveProp.pwszFriendlyName not allocated " << MWENDREC;
    }
    std::string serial;
    const MerrowReturnValue serialRead = m_Service.GetSerialNumber(serial);
    if (serialRead.isFailure()) {
        traceFailure(TV_WARNING, "m_ServiceDisk.GetSerialNumber failed with return: ", serialRead);
    } else {
        prop.pwszIdentification = CoTaskMemDupString(orv::platform::Utf8ToUtf16(serial));
        if (prop.pwszIdentification == nullptr) {
            MWTRACE(TV_ERROR, TC_VDS_DISK)
                << "Out of memory, DriveProp.pwszIdentification not allocated" << MWENDREC;
            return E_OUTOFMEMORY;
        }
    }
    prop.ulFlags = (m_ulFlags & VDS_DRF_HOTSPARE) != 0 ? ULONG{VDS_DRF_HOTSPARE} : 0;
    prop.status = statusFromPool();
    prop.health = healthFromDisk();
    prop.sInternalBusNumber = 0;
    std::uint16_t slot = 0;
    const MerrowReturnValue slotRead = m_Service.GetSlotNumber(slot);
    if (slotRead.isFailure())
        traceFailure(TV_WARNING, "m_ServiceDisk.GetSlotNumber failed with return: ", slotRead);
    prop.sSlotNumber = static_cast<SHORT>(slot);
    return S_OK;
}

// The array parks the disks it took out of service in its unavailable pool.
VDS_DRIVE_STATUS COrvDrive::statusFromPool()
{
    Service_Pool pool;
    UAEnums::PoolType type;
    if (m_Service.GetPool(pool).isFailure() || !pool.IsValid() ||
        pool.GetPoolType(type).isFailure())
        return VDS_DRS_ONLINE;
    return type.getValue() == kUnavailablePool ? VDS_DRS_OFFLINE : VDS_DRS_ONLINE;
}

VDS_HEALTH COrvDrive::healthFromDisk()
{
    UAEnums::OperationalStatus status;
    const MerrowReturnValue read = m_Service.GetStatus(status);
    if (read.isFailure()) {
        traceFailure(TV_WARNING, "m_ServiceDisk.GetStatus failed with return: ", read);
        return VDS_H_UNKNOWN;
    }
    switch (status.getValue()) {
    case kOperationalOk:
        return VDS_H_HEALTHY;
    case kOperationalFailed:
        return VDS_H_FAILED;
    default:
        return VDS_H_UNKNOWN;
    }
}

HRESULT COrvDrive::getDriveSpace(ULONGLONG& size)
{
    std::uint64_t free = 0;
    const MerrowReturnValue result = m_Service.GetFreeSpaceSize(free);
    if (result.isFailure()) {
        traceFailure(TV_SEVERE, "Service_Disk.GetFreeSpaceSize failed with return:", result);
        return E_FAIL;
    }
    size = free;
    return S_OK;
}

// ---- extents ---------------------------------------------------------------------------

HRESULT COrvDrive::QueryExtents(VDS_DRIVE_EXTENT** ppExtentArray, LONG* plNumberOfExtents)
{
    return GuardVdsMethod("COrvDrive::QueryExtents", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        if (ppExtentArray == nullptr || plNumberOfExtents == nullptr)
            return E_INVALIDARG;
        *ppExtentArray = nullptr;
        *plNumberOfExtents = 0;
        COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
        if (provider == nullptr)
            return E_FAIL;
        VDSScopedLock providerLock(provider);
        auto subsystem = COrvSubSystem::Find(GetProviderGuid(), GetSubSystemId());
        if (!subsystem)
            return E_FAIL;
        VDSScopedLock subsystemLock(subsystem.get());
        std::vector<Extent> extents;
        HRESULT hr = queryExtents(*subsystem, extents);
        if (FAILED(hr))
            return hr;
        VDSScopedLock lock(this);
        ULONGLONG free = 0;
        if (SUCCEEDED(getDriveSpace(free))) {
            Extent freeExtent;
            if (SUCCEEDED(makeFreeExtent(GetGuid(), free, freeExtent)))
                extents.push_back(freeExtent);
        }
        return ConvertExtentVector(extents, ppExtentArray, plNumberOfExtents);
    });
}

HRESULT COrvDrive::queryExtents(COrvSubSystem& subsystem, std::vector<Extent>& extents)
{
    // The LUNs first: a volume made since the last look gets its LUN before it is named.
    subsystem.ValidateLUNs();
    VDSScopedLock lock(this);
    std::vector<Service_Extent> diskExtents;
    const MerrowReturnValue read = m_Service.GetExtents(diskExtents);
    if (read.isFailure()) {
        traceFailure(TV_WARNING, "GetExtents failed with return: ", read);
        return E_FAIL;
    }
    m_Extents = diskExtents;
    for (const Service_Extent& diskExtent : diskExtents) {
        Extent extent;
        extent.m_ids[Extent::EXTENT_GUID_DRIVE] = GetGuid();
        extent.m_bUsed = true;
        std::uint64_t size = 0;
        if (diskExtent.GetSize(size).isFailure())
            MWTRACE(TV_WARNING, TC_VDS_DISK) << "Service_Extent.GetSize failed" << MWENDREC;
        // The array counts an extent in blocks of 512 bytes; VDS wants bytes.
        extent.m_ullSize = size * StorageSize::kBlockSize;
        Service_Volume volume;
        if (!diskExtent.GetVolume(volume).isFailure() && volume.IsValid()) {
            if (auto lun = subsystem.FindLunFor(volume)) {
                extent.m_ids[Extent::EXTENT_GUID_LUN] = lun->GetGuid();
                extent.m_ids[Extent::EXTENT_GUID_PLEX] = lun->PlexId();
            }
        }
        extents.push_back(extent);
    }
    return S_OK;
}

// ---- flags and status ------------------------------------------------------------------

HRESULT COrvDrive::SetFlags(ULONG ulFlags)
{
    return GuardVdsMethod("COrvDrive::SetFlags", E_UNEXPECTED,
                          [&] { return changeHotSpare(ulFlags, true); });
}

HRESULT COrvDrive::ClearFlags(ULONG ulFlags)
{
    return GuardVdsMethod("COrvDrive::ClearFlags", E_UNEXPECTED,
                          [&] { return changeHotSpare(ulFlags, false); });
}

HRESULT COrvDrive::changeHotSpare(ULONG ulFlags, bool raise)
{
    MWSCOPE_OBJ(this, "");
    COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
    auto subsystem = COrvSubSystem::Find(GetProviderGuid(), GetSubSystemId());
    if (provider == nullptr || !subsystem)
        return E_FAIL;
    // The marking walks every drive of the subsystem: provider and subsystem first.
    VDSScopedLock providerLock(provider);
    VDSScopedLock subsystemLock(subsystem.get());
    if (ulFlags != VDS_DRF_HOTSPARE)
        return E_FAIL;
    const bool isSpare = (Flags() & VDS_DRF_HOTSPARE) != 0;
    std::vector<Extent> extents;
    if (raise && !isSpare && SUCCEEDED(queryExtents(*subsystem, extents)) && extents.empty())
        subsystem->MarkSpares(subsystem->SpareCount() + 1);
    if (!raise && isSpare)
        subsystem->MarkSpares(subsystem->SpareCount() - 1);
    return S_OK;
}

HRESULT COrvDrive::SetStatus(VDS_DRIVE_STATUS status)
{
    return GuardVdsMethod("COrvDrive::SetStatus", E_UNEXPECTED, [&] {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        return setDriveStatus(status);
    });
}

HRESULT COrvDrive::setDriveStatus(VDS_DRIVE_STATUS status)
{
    orv::platform::ClearErrorDescription();
    std::optional<MerrowReturnValue> result;
    switch (status) {
    case VDS_DRS_UNKNOWN:
        return E_INVALIDARG;
    case VDS_DRS_ONLINE:
        result = m_Service.InitDrive();
        break;
    case VDS_DRS_OFFLINE:
        result = m_Service.DownDrive();
        break;
    default:
        return VDS_E_NOT_SUPPORTED;
    }
    // The disk's pool changed on the array; the next property read must see it.
    m_Service.Refresh();
    if (result->isFailure()) {
        MWTRACE(TV_WARNING, TC_VDS_DISK)
            << "The array refused the drive status change: " << result->getCode() << " "
            << result->getMessage() << MWENDREC;
        // The caller sees the array's own words (for example that the drive is in use).
        orv::platform::SetErrorDescription(result->getMessage());
        return E_FAIL;
    }
    MWTRACE(TV_INFO, TC_VDS_DISK) << "Drive status change accepted" << MWENDREC;
    return S_OK;
}
