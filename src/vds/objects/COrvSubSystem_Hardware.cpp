// The subsystem's part in the work of its drives and controllers: finding the drive or LUN
// that stands for an array object, the hot-spare marking, drive replacement and the
// status of several controllers at once.
#include "platform/vds/VdsErrors.h"
#include "trace/Trace.h"
#include "vds/framework/VDSScopedLock.h"
#include "vds/framework/VdsMethodGuard.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/COrvVdsProvider.h"
#include "vds/objects/VdsProviderAccess.h"

#include <algorithm>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_SUBSYSTEM;
using Merrow::Trace::TV_INFO;
using Merrow::Trace::TV_WARNING;

namespace {

// A caller's id array as a vector; E_INVALIDARG for a negative count or a missing array.
HRESULT copyIds(const VDS_OBJECT_ID* ids, LONG count, std::vector<VDS_OBJECT_ID>& out)
{
    if (count < 0 || (count > 0 && ids == nullptr))
        return E_INVALIDARG;
    out.assign(ids, ids + count);
    return S_OK;
}

bool contains(const std::vector<VDS_OBJECT_ID>& ids, const VDS_OBJECT_ID& id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

} // namespace

VdsHeldObject<COrvSubSystem> COrvSubSystem::Find(const GUID& providerGuid,
                                                 const VDS_OBJECT_ID& subSystemId)
{
    COrvVdsProvider* provider = FindVdsProvider(providerGuid);
    if (provider == nullptr)
        return {};
    CComPtr<IUnknown> found;
    if (FAILED(provider->GetObject(subSystemId, VDS_OT_SUB_SYSTEM, found.put())))
        return {};
    return VdsHeldObject<COrvSubSystem>(found);
}

template <class T>
VdsHeldObject<T> COrvSubSystem::holdSubObject(const VDS_OBJECT_ID& id, VDS_OBJECT_TYPE type)
{
    CComPtr<IUnknown> found;
    if (FAILED(GetSubObject(id, type, found.put())))
        return {};
    return VdsHeldObject<T>(found);
}

template <class T, class List>
VdsHeldObject<T> COrvSubSystem::findStandingFor(List& list, VDS_OBJECT_TYPE type, const MerrowService& item)
{
    VDSScopedLock lock(this);
    for (const VDS_OBJECT_ID& id : list.GetAllIds()) {
        auto object = holdSubObject<T>(id, type);
        if (object && object->StandsFor(item))
            return object;
    }
    return {};
}

VdsHeldObject<COrvLun> COrvSubSystem::FindLunFor(const MerrowService& volume)
{
    return findStandingFor<COrvLun>(m_VdsLunList, VDS_OT_LUN, volume);
}

VdsHeldObject<COrvDrive> COrvSubSystem::FindDriveFor(const MerrowService& disk)
{
    return findStandingFor<COrvDrive>(m_VdsDriveList, VDS_OT_DRIVE, disk);
}

LONG COrvSubSystem::SpareCount()
{
    VDSScopedLock lock(this);
    return m_SystemService.IsValid() ? 0 : -1;
}

void COrvSubSystem::MarkSpares(LONG limit)
{
    VDSScopedLock lock(this);
    std::vector<VDS_OBJECT_ID> ids;
    m_VdsDriveList.GetGuidVector(ids);
    LONG marked = 0;
    for (const VDS_OBJECT_ID& id : ids) {
        auto drive = holdSubObject<COrvDrive>(id, VDS_OT_DRIVE);
        if (!drive)
            continue;
        std::vector<Extent> extents;
        const bool unused = SUCCEEDED(drive->queryExtents(*this, extents)) && extents.empty();
        const bool mark = unused && marked < limit;
        drive->SetHotSpare(mark);
        if (mark)
            ++marked;
    }
    MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "Hot spares marked: " << marked << MWENDREC;
}

HRESULT COrvSubSystem::ReplaceDrive(VDS_OBJECT_ID DriveToBeReplaced, VDS_OBJECT_ID ReplacementDrive)
{
    return GuardVdsMethod("COrvSubSystem::ReplaceDrive", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        const std::vector<VDS_OBJECT_ID> drives = m_VdsDriveList.GetAllIds();
        if (!contains(drives, DriveToBeReplaced) || !contains(drives, ReplacementDrive)) {
            MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM) << "ReplaceDrive: unknown drive" << MWENDREC;
            return E_INVALIDARG;
        }
        // The array picks the replacement itself: taking the old drive out of service makes
        // it rebuild the drive's volumes onto one of its spares.
        auto replaced = holdSubObject<COrvDrive>(DriveToBeReplaced, VDS_OT_DRIVE);
        if (!replaced)
            return E_FAIL;
        return replaced->SetStatus(VDS_DRS_OFFLINE);
    });
}

HRESULT COrvSubSystem::SetControllerStatus(VDS_OBJECT_ID* pOnlineControllerIdArray,
                                           LONG lNumberOfOnlineControllers,
                                           VDS_OBJECT_ID* pOfflineControllerIdArray,
                                           LONG lNumberOfOfflineControllers)
{
    return GuardVdsMethod("COrvSubSystem::SetControllerStatus", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        std::vector<VDS_OBJECT_ID> online;
        std::vector<VDS_OBJECT_ID> offline;
        HRESULT hr = copyIds(pOnlineControllerIdArray, lNumberOfOnlineControllers, online);
        if (SUCCEEDED(hr))
            hr = copyIds(pOfflineControllerIdArray, lNumberOfOfflineControllers, offline);
        if (FAILED(hr))
            return hr;
        return setControllerStatus(online, offline);
    });
}

HRESULT COrvSubSystem::setControllerStatus(const std::vector<VDS_OBJECT_ID>& online,
                                           const std::vector<VDS_OBJECT_ID>& offline)
{
    HRESULT result = S_OK;
    auto apply = [&](const VDS_OBJECT_ID& id, VDS_CONTROLLER_STATUS status) {
        auto controller = holdSubObject<COrvController>(id, VDS_OT_CONTROLLER);
        if (!controller) {
            MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM) << "Controller not found: " << id << MWENDREC;
            result = E_FAIL;
            return;
        }
        const HRESULT hr = controller->setControllerStatus(status);
        if (hr != S_OK && SUCCEEDED(result))
            result = hr;
    };
    for (const VDS_OBJECT_ID& id : online)
        apply(id, VDS_CS_ONLINE);
    for (const VDS_OBJECT_ID& id : offline)
        apply(id, VDS_CS_OFFLINE);
    return result;
}
