// What a LUN changes on the array: its size (extend; the array cannot shrink a volume),
// its layout through hints, and its existence (delete). Extend returns an IVdsAsync that
// follows the array's job.
//
// Lock order: provider, subsystem, then this LUN. The subsystem is reached through the
// provider by the id the refresh gave the LUN.
#include "vds/objects/COrvLun.h"

#include "platform/vds/VdsErrors.h"
#include "trace/Trace.h"
#include "user_agent/base/VolumeCompositionRules.h"
#include "vds/framework/CVdsAsyncObject.h"
#include "vds/objects/COrvDrive.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/COrvVdsProvider.h"
#include "vds/objects/LunComposition.h"
#include "vds/objects/VolumeJobProgress.h"

#include <limits>
#include <optional>
#include <set>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_LUN;
using Merrow::Trace::TV_WARNING;

namespace {

// What the array is told as stripe depth when the layout changes.
constexpr std::uint32_t kOpenStripeDepth = 1000000;
// Widths below this make no sense for striped layouts; they are raised to the smallest
// parity width that keeps a data disk beside the parity.
constexpr std::uint16_t kSmallestUsefulWidth = 4;
constexpr std::uint16_t kRaisedWidth = 3;
// A mask in which only the upper word of the lower half is set names no hint at all.
constexpr ULONGLONG kMeaninglessHintMask = 0xFFFF0000;
constexpr SHORT kRebuildPriorityMax = 16;
// How long an IVdsAsync::Wait follows the array's job: the connection's request time-out.
constexpr std::chrono::milliseconds kJobWaitLimit{300000};

const GUID kAllOnesGuid{0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};

bool invalidHints(const VDS_HINTS* pHints)
{
    return pHints == nullptr || pHints->sRebuildPriority < 0 ||
           pHints->sRebuildPriority > kRebuildPriorityMax ||
           pHints->ullHintMask == kMeaninglessHintMask;
}

bool isStriped(const UAEnums::VolumeCompositionName& composition)
{
    const std::int32_t value = composition.getValue();
    return value == LunComposition::kParity || value == LunComposition::kStripe ||
           value == LunComposition::kStripeMirror;
}

// The subsystem object with a reference, through the provider; null when either is gone.
CComPtr<IVdsSubSystem> subsystemOf(const GUID& providerGuid, const VDS_OBJECT_ID& subSystemId,
                                   COrvSubSystem*& object)
{
    object = nullptr;
    CComPtr<IVdsSubSystem> held;
    if (FAILED(GetVdsSubSystem(providerGuid, subSystemId, held.put())) || !held)
        return {};
    void* self = nullptr;
    if (FAILED(held->QueryInterface(GUID_NULL, &self)))
        return {};
    object = static_cast<CComObject<COrvSubSystem>*>(self);
    return held;
}

HRESULT completedAsync(HRESULT outcome, const GUID& providerGuid, ULONG outputType,
                       std::unique_ptr<AsyncProgress> progress, IVdsAsync** ppAsync)
{
    CComObject<CVdsAsyncObject>* created = nullptr;
    const HRESULT made = CComObject<CVdsAsyncObject>::CreateInstance(&created);
    if (FAILED(made))
        return made;
    CComPtr<CComObject<CVdsAsyncObject>> async(created);
    async->SetInfo(providerGuid, outputType, 0, nullptr);
    async->SetResult(outcome);
    if (SUCCEEDED(outcome) && progress)
        async->SetProgress(std::move(progress), kJobWaitLimit);
    IVdsAsync* handedOut = async;
    handedOut->AddRef();
    *ppAsync = handedOut;
    return S_OK;
}

} // namespace

HRESULT COrvLun::drivesToDisks(COrvSubSystem* subsystem, const VDS_OBJECT_ID* pDriveIdArray,
                               LONG lNumberOfDrives, std::vector<Service_Disk>& disks)
{
    if (GetProviderGuid() == GUID_NULL || lNumberOfDrives == 0)
        return S_OK;
    if (subsystem == nullptr)
        return E_FAIL;
    for (LONG i = 0; i < lNumberOfDrives; ++i) {
        const VDS_OBJECT_ID& id = pDriveIdArray[i];
        if (id == GUID_NULL || id == kAllOnesGuid)
            return E_INVALIDARG;
        if (id == GetGuid())
            return VDS_E_OBJECT_NOT_FOUND;
        CComPtr<IUnknown> found;
        const HRESULT hr = subsystem->GetSubObject(id, VDS_OT_DRIVE, found.put());
        if (FAILED(hr))
            return hr;
        void* self = nullptr;
        if (FAILED(found->QueryInterface(GUID_NULL, &self)))
            return VDS_E_OBJECT_NOT_FOUND;
        disks.push_back(static_cast<CComObject<COrvDrive>*>(self)->GetService());
    }
    return S_OK;
}

HRESULT COrvLun::Extend(ULONGLONG ullNumberOfBytesToAdd, VDS_OBJECT_ID* pDriveIdArray,
                        LONG lNumberOfDrives, IVdsAsync** ppAsync)
{
    return GuardVdsMethod("COrvLun::Extend", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        if (ppAsync == nullptr || lNumberOfDrives < 0 ||
            (lNumberOfDrives > 0 && pDriveIdArray == nullptr))
            return E_INVALIDARG;
        *ppAsync = nullptr;
        COrvSubSystem* subsystem = nullptr;
        CComPtr<IVdsSubSystem> held = subsystemOf(GetProviderGuid(), GetSubSystemId(), subsystem);
        std::optional<VDSScopedLock> subsystemLock;
        if (subsystem != nullptr)
            subsystemLock.emplace(subsystem);
        if (!GetService().IsValid())
            return E_FAIL;
        // The drives are looked up before the LUN is locked: drives come before LUNs in the
        // lock order.
        std::vector<Service_Disk> disks;
        const HRESULT looked = drivesToDisks(subsystem, pDriveIdArray, lNumberOfDrives, disks);
        if (FAILED(looked))
            return looked;
        VDSScopedLock lock(this);
        StorageSize size;
        const bool sizeRead = !m_Service.GetSize(size).isFailure();
        if (sizeRead && size.bytes() > std::numeric_limits<std::uint64_t>::max() - ullNumberOfBytesToAdd)
            return E_INVALIDARG;
        const std::uint64_t newSize =
            VolumeCompositionRules::RoundUpToBlock(size.bytes() + ullNumberOfBytesToAdd);
        std::set<std::string> endedBefore = VolumeJobProgress::EndedJobs(m_Service);
        const HRESULT outcome = sizeRead ? reconfigureTo(newSize, disks) : E_FAIL;
        return completedAsync(outcome, GetProviderGuid(), VDS_ASYNCOUT_EXTENDLUN,
                              std::make_unique<VolumeJobProgress>(m_Service, std::move(endedBefore)),
                              ppAsync);
    });
}

HRESULT COrvLun::reconfigureTo(std::uint64_t newSize, const std::vector<Service_Disk>& disks)
{
    std::uint16_t width = 0;
    UAEnums::VolumeCompositionName composition;
    if (m_Service.GetStripeWidth(width).isFailure() ||
        m_Service.GetCompositionName(composition).isFailure())
        return E_FAIL;
    const MerrowReturnValue result = m_Service.Reconfigure(
        newSize, composition, disks, static_cast<std::uint8_t>(width), kOpenStripeDepth);
    if (result.isFailure()) {
        MWTRACE(TV_WARNING, TC_VDS_LUN)
            << "Reconfigure failed with return: " << result.getCode() << " "
            << result.getMessage() << MWENDREC;
        return E_FAIL;
    }
    return S_OK;
}

HRESULT COrvLun::QueryMaxLunExtendSize(VDS_OBJECT_ID* pDriveIdArray, LONG lNumberOfDrives,
                                       ULONGLONG* pullMaxBytesToBeAdded)
{
    return GuardVdsMethod("COrvLun::QueryMaxLunExtendSize", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (pullMaxBytesToBeAdded == nullptr || lNumberOfDrives < 0 ||
            (lNumberOfDrives > 0 && pDriveIdArray == nullptr))
            return E_INVALIDARG;
        // With drives named the answer is left to the caller's own count.
        if (lNumberOfDrives > 0)
            return S_OK;
        if (!m_Service.IsValid())
            return E_FAIL;
        StorageSize growth;
        if (m_Service.GetMaxGrowSize({}, growth).isFailure())
            return E_FAIL;
        *pullMaxBytesToBeAdded = growth.bytes();
        return S_OK;
    });
}

HRESULT COrvLun::Shrink(ULONGLONG, IVdsAsync** ppAsync)
{
    // The array grows volumes but never shrinks them.
    return ppAsync == nullptr ? E_INVALIDARG : VDS_E_NOT_SUPPORTED;
}

HRESULT COrvLun::Recover(IVdsAsync** ppAsync)
{
    // The array rebuilds on its own; there is nothing to start.
    return ppAsync == nullptr ? E_INVALIDARG : VDS_E_NOT_SUPPORTED;
}

HRESULT COrvLun::QueryActiveControllers(IEnumVdsObject**) { return VDS_E_NOT_SUPPORTED; }

HRESULT COrvLun::AssociateControllers(VDS_OBJECT_ID*, LONG, VDS_OBJECT_ID*, LONG)
{
    return VDS_E_NOT_SUPPORTED;
}

HRESULT COrvLun::SetStatus(VDS_LUN_STATUS status)
{
    // The array keeps every volume online; VDS may only ask for online or offline.
    if (status == VDS_LS_ONLINE || status == VDS_LS_OFFLINE)
        return VDS_E_NOT_SUPPORTED;
    return E_INVALIDARG;
}

HRESULT COrvLun::Delete()
{
    return GuardVdsMethod("COrvLun::Delete", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        COrvSubSystem* subsystem = nullptr;
        CComPtr<IVdsSubSystem> held = subsystemOf(GetProviderGuid(), GetSubSystemId(), subsystem);
        COrvVdsProvider* owner = FindVdsProvider(GetProviderGuid());
        if (subsystem == nullptr || owner == nullptr)
            return E_FAIL;
        VDSScopedLock providerLock(owner);
        VDSScopedLock subsystemLock(subsystem);
        // The LUN's own lock is held only while its handle is read: the subsystem's lists,
        // which the removal goes through, come before LUNs in the lock order.
        Service_Volume volume = GetService();
        if (!volume.IsValid())
            return E_FAIL;
        const MerrowReturnValue result = volume.Delete();
        if (result.isFailure()) {
            MWTRACE(TV_WARNING, TC_VDS_LUN)
                << "Delete failed with return: " << result.getCode() << " " << result.getMessage()
                << MWENDREC;
            return E_FAIL;
        }
        const VDS_OBJECT_ID id = GetGuid();
        subsystem->DeleteSubObject(id);
        DeliverVdsNotification(GetProviderGuid(), VDS_NTT_LUN, VDS_NF_LUN_DEPART, id);
        return S_OK;
    });
}

HRESULT COrvLun::QueryHints(VDS_HINTS* pHints)
{
    return GuardVdsMethod("COrvLun::QueryHints", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (pHints == nullptr)
            return E_INVALIDARG;
        if (!m_Service.IsValid())
            return E_FAIL;
        UAEnums::VolumeCompositionName composition;
        if (m_Service.GetCompositionName(composition).isFailure())
            return E_FAIL;
        std::uint16_t width = 0;
        m_Service.GetStripeWidth(width);
        return LunComposition::HintsOf(composition, width, *pHints) ? S_OK : E_FAIL;
    });
}

HRESULT COrvLun::ApplyHints(VDS_HINTS* pHints)
{
    return GuardVdsMethod("COrvLun::ApplyHints", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        COrvSubSystem* subsystem = nullptr;
        CComPtr<IVdsSubSystem> held = subsystemOf(GetProviderGuid(), GetSubSystemId(), subsystem);
        if (subsystem == nullptr)
            return E_FAIL;
        VDSScopedLock subsystemLock(subsystem);
        VDSScopedLock lock(this);
        if (invalidHints(pHints))
            return E_INVALIDARG;
        if (!m_Service.IsValid())
            return E_FAIL;
        StorageSize size;
        std::uint16_t currentWidth = 0;
        UAEnums::VolumeCompositionName current;
        if (m_Service.GetSize(size).isFailure() || m_Service.GetStripeWidth(currentWidth).isFailure() ||
            m_Service.GetCompositionName(current).isFailure())
            return E_FAIL;
        const UAEnums::VolumeCompositionName wanted =
            subsystem->GetVolumeCompositionFromHints(VDS_LT_DEFAULT, pHints);
        std::uint32_t widthA = pHints->ulStripeSize > 0 ? pHints->ulStripeSize : currentWidth;
        if (isStriped(wanted) && widthA < kSmallestUsefulWidth)
            widthA = kRaisedWidth;
        const std::uint32_t widthB =
            pHints->ulMaximumDriveCount != 0 ? pHints->ulMaximumDriveCount : widthA;
        if (widthB == currentWidth && wanted == current)
            return S_OK;
        const MerrowReturnValue result = m_Service.Reconfigure(
            size.bytes(), wanted, {}, static_cast<std::uint8_t>(widthB), kOpenStripeDepth);
        return result.isFailure() ? E_FAIL : S_OK;
    });
}
