#include "vds/objects/COrvLunPlex.h"

#include "trace/Trace.h"
#include "user_agent/base/StorageSize.h"
#include "user_agent/services/Service_Extent.h"
#include "user_agent/services/Service_VolumeComposition.h"
#include "vds/framework/VDSScopedLock.h"
#include "vds/framework/VdsMethodGuard.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/COrvVdsProvider.h"
#include "vds/objects/VdsProviderAccess.h"

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_LUN;
using Merrow::Trace::TV_WARNING;

namespace {

// UAEnums::VolumeCompositionName numbers.
constexpr std::int32_t kJbod = 1;
constexpr std::int32_t kStripe = 2;
// UAEnums::OperationalStatus numbers.
constexpr std::int32_t kOperationalFailed = 1;
constexpr std::int32_t kOperationalNeedsAttention = 3;
constexpr SHORT kRebuildPriority = 16;

} // namespace

void COrvLunPlex::SetService(const Service_Volume& volume, const VDS_OBJECT_ID& subSystemId,
                             const VDS_OBJECT_ID& lunId)
{
    VDSScopedLock lock(this);
    m_ServiceVolume = volume;
    m_SubSystemId = subSystemId;
    m_LunId = lunId;
    m_bSecondary = false;
}

// ---- properties ------------------------------------------------------------------------

HRESULT COrvLunPlex::GetProperties(VDS_LUN_PLEX_PROP* pPlexProp)
{
    return GuardVdsMethod("COrvLunPlex::GetProperties", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (pPlexProp == nullptr)
            return E_INVALIDARG;
        *pPlexProp = VDS_LUN_PLEX_PROP{};
        pPlexProp->id = GetGuid();
        if (!m_ServiceVolume.IsValid())
            return S_OK;
        return getPlexProperties(*pPlexProp);
    });
}

HRESULT COrvLunPlex::getPlexProperties(VDS_LUN_PLEX_PROP& prop)
{
    StorageSize size;
    std::uint16_t stripeWidth = 0;
    UAEnums::OperationalStatus status;
    if (m_ServiceVolume.GetSize(size).isFailure() ||
        m_ServiceVolume.GetStripeWidth(stripeWidth).isFailure() ||
        m_ServiceVolume.GetStatus(status).isFailure()) {
        MWTRACE(TV_WARNING, TC_VDS_LUN) << "A read of the plex's volume failed" << MWENDREC;
        return E_FAIL;
    }
    prop.ullSize = size.bytes();
    prop.type = plexType();
    prop.status = VDS_LPS_ONLINE;
    prop.health = VDS_H_HEALTHY;
    if (status.getValue() == kOperationalFailed) {
        prop.status = VDS_LPS_FAILED;
        prop.health = VDS_H_FAILED;
    } else if (status.getValue() == kOperationalNeedsAttention) {
        prop.health = VDS_H_REBUILDING;
    }
    // The library does not report a volume's running tasks, so a plex is always stable.
    prop.TransitionState = VDS_TS_STABLE;
    prop.ulFlags = 1;
    prop.ulStripeSize = stripeWidth;
    prop.sRebuildPriority = kRebuildPriority;
    return S_OK;
}

// The LUN's type table, in the plex's terms: a layout the table has no plex type for (and
// a composition that cannot be read) counts as parity.
VDS_LUN_PLEX_TYPE COrvLunPlex::plexType()
{
    UAEnums::VolumeCompositionName composition;
    if (m_ServiceVolume.GetCompositionName(composition).isFailure())
        return VDS_LPT_PARITY;
    switch (composition.getValue()) {
    case kStripe:
        return VDS_LPT_STRIPE;
    case kJbod: {
        Service_VolumeComposition layout;
        std::vector<Service_Extent> extents;
        const bool read = !m_ServiceVolume.GetVolumeComposition(layout).isFailure() &&
                          !layout.GetExtents(extents).isFailure();
        return read && extents.size() > 1 ? VDS_LPT_SPAN : VDS_LPT_SIMPLE;
    }
    default:
        return VDS_LPT_PARITY;
    }
}

// ---- the LUN and its hints ---------------------------------------------------------------

HRESULT COrvLunPlex::lookUpLun(IVdsLun** ppLun)
{
    VDS_OBJECT_ID subSystemId{};
    VDS_OBJECT_ID lunId{};
    {
        VDSScopedLock lock(this);
        subSystemId = m_SubSystemId;
        lunId = m_LunId;
    }
    auto subsystem = COrvSubSystem::Find(GetProviderGuid(), subSystemId);
    if (!subsystem)
        return E_FAIL;
    CComPtr<IUnknown> found;
    const HRESULT hr = subsystem->GetSubObject(lunId, VDS_OT_LUN, found.put());
    if (FAILED(hr))
        return hr;
    return found->QueryInterface(IID_IVdsLun, reinterpret_cast<void**>(ppLun));
}

HRESULT COrvLunPlex::GetLun(IVdsLun** ppLun)
{
    return GuardVdsMethod("COrvLunPlex::GetLun", E_UNEXPECTED, [&]() -> HRESULT {
        if (ppLun == nullptr)
            return E_INVALIDARG;
        *ppLun = nullptr;
        return lookUpLun(ppLun);
    });
}

// The one plex is the whole volume: its hints are the LUN's.
HRESULT COrvLunPlex::forwardHints(const char* method, HRESULT (IVdsLun::*hints)(VDS_HINTS*),
                                  VDS_HINTS* pHints)
{
    return GuardVdsMethod(method, E_UNEXPECTED, [&]() -> HRESULT {
        if (pHints == nullptr)
            return E_INVALIDARG;
        CComPtr<IVdsLun> lun;
        const HRESULT hr = lookUpLun(lun.put());
        return FAILED(hr) ? hr : (lun.get()->*hints)(pHints);
    });
}

HRESULT COrvLunPlex::QueryHints(VDS_HINTS* pHints)
{
    return forwardHints("COrvLunPlex::QueryHints", &IVdsLun::QueryHints, pHints);
}

HRESULT COrvLunPlex::ApplyHints(VDS_HINTS* pHints)
{
    return forwardHints("COrvLunPlex::ApplyHints", &IVdsLun::ApplyHints, pHints);
}

// ---- extents ---------------------------------------------------------------------------

HRESULT COrvLunPlex::QueryExtents(VDS_DRIVE_EXTENT** ppExtentArray, LONG* plNumberOfExtents)
{
    return GuardVdsMethod("COrvLunPlex::QueryExtents", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        if (ppExtentArray == nullptr || plNumberOfExtents == nullptr)
            return E_INVALIDARG;
        *ppExtentArray = nullptr;
        *plNumberOfExtents = 0;
        COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
        VDS_OBJECT_ID subSystemId{};
        {
            VDSScopedLock lock(this);
            subSystemId = m_SubSystemId;
        }
        auto subsystem = COrvSubSystem::Find(GetProviderGuid(), subSystemId);
        if (provider == nullptr || !subsystem)
            return E_FAIL;
        VDSScopedLock providerLock(provider);
        VDSScopedLock subsystemLock(subsystem.get());
        std::vector<Extent> extents;
        const HRESULT hr = queryExtents(*subsystem, extents);
        if (FAILED(hr))
            return hr;
        return ConvertExtentVector(extents, ppExtentArray, plNumberOfExtents);
    });
}

HRESULT COrvLunPlex::queryExtents(COrvSubSystem& subsystem, std::vector<Extent>& extents)
{
    Service_Volume volume;
    VDS_OBJECT_ID lunId{};
    {
        VDSScopedLock lock(this);
        volume = m_ServiceVolume;
        lunId = m_LunId;
    }
    Service_VolumeComposition layout;
    std::vector<Service_Extent> volumeExtents;
    if (volume.GetVolumeComposition(layout).isFailure() ||
        layout.GetExtents(volumeExtents).isFailure()) {
        MWTRACE(TV_WARNING, TC_VDS_LUN) << "The volume's extents cannot be read" << MWENDREC;
        return E_FAIL;
    }
    // A disk added since the last look gets its drive before it is named.
    subsystem.ValidateDrives();
    for (const Service_Extent& volumeExtent : volumeExtents) {
        Extent extent;
        extent.m_ids[Extent::EXTENT_GUID_LUN] = lunId;
        extent.m_ids[Extent::EXTENT_GUID_PLEX] = GetGuid();
        extent.m_bUsed = true;
        std::uint64_t size = 0;
        volumeExtent.GetSize(size);
        // The array counts an extent in blocks of 512 bytes; VDS wants bytes.
        extent.m_ullSize = size * StorageSize::kBlockSize;
        Service_Disk disk;
        if (!volumeExtent.GetDisk(disk).isFailure() && disk.IsValid()) {
            if (auto drive = subsystem.FindDriveFor(disk))
                extent.m_ids[Extent::EXTENT_GUID_DRIVE] = drive->GetGuid();
        }
        extents.push_back(extent);
    }
    return S_OK;
}
