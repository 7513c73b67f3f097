// The subsystem's LUN creation: VDS's LUN type and hints become a volume layout on the
// array (LunComposition), the array makes the volume, and the new LUN joins the LUN list
// with an arrival notification. Also the largest LUN the array can make and the look-up of
// the LUN behind a disk that a host found.
//
// Two deliberate differences from a plain E_FAIL on every refusal and one name per time
// stamp: an array refusal for lack of space (30) or of drives (31) answers VDS's own
// VDS_E_NOT_ENOUGH_SPACE / VDS_E_NOT_ENOUGH_DRIVE, so that an administrator learns why;
// and when the array already holds the volume name (two LUNs of one kind made within one
// second), the creation retries with " #n" appended instead of failing.
//
// Lock order: provider, subsystem, then the lists and the objects (VDSScopedLock). The
// array's volume creation runs under the provider and subsystem locks.
#include "platform/com/TextConversion.h"
#include "platform/strings/StringTable.h"
#include "platform/vds/VdsErrors.h"
#include "platform/winapi/WideTime.h"
#include "trace/Trace.h"
#include "user_agent/base/VolumeCompositionRules.h"
#include "user_agent/services/Service_Disk.h"
#include "vds/framework/CVdsAsyncObject.h"
#include "vds/framework/VDSScopedLock.h"
#include "vds/framework/VdsMethodGuard.h"
#include "vds/framework/VdsResources.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/COrvVdsProvider.h"
#include "vds/objects/LunComposition.h"
#include "vds/objects/VdsProviderAccess.h"
#include "vds/objects/VolumeJobProgress.h"

#include <unistd.h>

#include <array>
#include <cstring>
#include <ctime>
#include <optional>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_SUBSYSTEM;
using Merrow::Trace::TV_INFO;
using Merrow::Trace::TV_WARNING;

namespace {

// What the array is told as stripe depth when VDS leaves it open.
constexpr std::uint32_t kOpenStripeDepth = 1000000;
// The parity width asked about when the hints name none.
constexpr ULONG kSmallestParityWidth = 2;
// Text buffers of the volume name, in characters.
constexpr std::size_t kNameBufferLength = 260;
// How long an IVdsAsync::Wait follows the array's job: the connection's request time-out.
constexpr std::chrono::milliseconds kJobWaitLimit{300000};

// Exactly one of a drive count and a drive array given.
bool drivesHalfGiven(const VDS_OBJECT_ID* pDriveIdArray, LONG lNumberOfDrives)
{
    return (lNumberOfDrives == 0) != (pDriveIdArray == nullptr);
}

// "%S created %s by %S" with the composition, the local time and the host, in that order;
// each of %S and %s takes the next text.
std::u16string formatVolumeName(const std::u16string& format,
                                const std::array<std::u16string, 3>& texts)
{
    std::u16string out;
    std::size_t used = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const bool placeholder = format[i] == u'%' && i + 1 < format.size() &&
                                 (format[i + 1] == u's' || format[i + 1] == u'S');
        if (placeholder && used < texts.size()) {
            out += texts[used++];
            ++i;
            continue;
        }
        out += format[i];
    }
    return out;
}

std::u16string localTimeText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::array<WCHAR, kNameBufferLength> buffer{};
    const std::size_t length = wcsftime(buffer.data(), buffer.size(), u"%c", &local);
    return std::u16string(buffer.data(), length);
}

// The array's failure numbers that VDS has words of its own for.
constexpr std::int32_t kArrayNotEnoughSpace = 30;
constexpr std::int32_t kArrayNotEnoughDrives = 31;
constexpr std::int32_t kArrayDuplicateName = 274;
// How many numbered names a creation tries after the array refused the plain one.
constexpr int kNameAttempts = 16;

// What a failed creation reports: VDS's own code where the array's refusal has one, so
// that an administrator learns why, E_FAIL for everything else.
HRESULT hresultForRefusal(const MerrowReturnValue& result)
{
    switch (result.getFailureCode()) {
    case kArrayNotEnoughSpace:
        return VDS_E_NOT_ENOUGH_SPACE;
    case kArrayNotEnoughDrives:
        return VDS_E_NOT_ENOUGH_DRIVE;
    default:
        return E_FAIL;
    }
}

std::string hostNameText()
{
    std::array<char, kNameBufferLength> buffer{};
    if (gethostname(buffer.data(), buffer.size() - 1) != 0)
        return {};
    return buffer.data();
}

} // namespace

UAEnums::VolumeCompositionName COrvSubSystem::GetVolumeCompositionFromHints(VDS_LUN_TYPE type,
                                                                          const VDS_HINTS* pHints)
{
    VDSScopedLock lock(this);
    static const VDS_HINTS kNoHints{};
    return LunComposition::FromHints(type, pHints != nullptr ? *pHints : kNoHints);
}

HRESULT COrvSubSystem::collectDisks(const VDS_OBJECT_ID* pDriveIdArray, LONG lNumberOfDrives,
                                    std::vector<Service_Disk>& disks)
{
    for (LONG i = 0; i < lNumberOfDrives; ++i) {
        if (pDriveIdArray[i] == GUID_NULL)
            return E_INVALIDARG;
        CComPtr<CComObject<COrvDrive>> drive = m_VdsDriveList.Lookup(pDriveIdArray[i]);
        if (!drive)
            return E_INVALIDARG;
        Service_Disk disk = drive->GetService();
        if (disk.IsValid())
            disks.push_back(disk);
    }
    return S_OK;
}

std::string COrvSubSystem::newVolumeName(const UAEnums::VolumeCompositionName& composition)
{
    const std::u16string format =
        VdsResources::programString(orv::platform::StringTable::IDS_VOLUME_NAME_FORMAT)
            .value_or(u"%S created %s by %S");
    const std::u16string name = formatVolumeName(
        format, {orv::platform::Utf8ToUtf16(composition.toString()), localTimeText(),
                 orv::platform::Utf8ToUtf16(hostNameText())});
    return orv::platform::Utf16ToUtf8(name);
}

template <class Body> HRESULT COrvSubSystem::underProviderLock(const char* method, Body&& body)
{
    return GuardVdsMethod(method, E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, method);
        COrvVdsProvider* owner = provider();
        if (owner == nullptr)
            return E_FAIL;
        VDSScopedLock providerLock(owner);
        VDSScopedLock lock(this);
        return body();
    });
}

HRESULT COrvSubSystem::CreateLun(VDS_LUN_TYPE type, ULONGLONG ullSizeInBytes,
                                 VDS_OBJECT_ID* pDriveIdArray, LONG lNumberOfDrives,
                                 LPWSTR pwszUnmaskingList, VDS_HINTS* pHints, IVdsAsync** ppAsync)
{
    return underProviderLock("COrvSubSystem::CreateLun", [&]() -> HRESULT {
        if (pwszUnmaskingList == nullptr || pHints == nullptr || ppAsync == nullptr ||
            ullSizeInBytes == 0 || lNumberOfDrives < 0 ||
            drivesHalfGiven(pDriveIdArray, lNumberOfDrives))
            return E_INVALIDARG;
        std::vector<Service_Disk> disks;
        const HRESULT looked = collectDisks(pDriveIdArray, lNumberOfDrives, disks);
        if (FAILED(looked))
            return looked;
        if (!LunComposition::IsCreatableType(type))
            return E_INVALIDARG;
        *ppAsync = nullptr;
        CComObject<CVdsAsyncObject>* created = nullptr;
        const HRESULT made = CComObject<CVdsAsyncObject>::CreateInstance(&created);
        if (FAILED(made))
            return made;
        CComPtr<CComObject<CVdsAsyncObject>> async(created);
        createVolumeFor(type, ullSizeInBytes, disks, pwszUnmaskingList, *pHints, *async);
        async->SetInfo(GetProviderGuid(), VDS_ASYNCOUT_CREATELUN, VDS_OT_LUN, nullptr);
        IVdsAsync* handedOut = async;
        handedOut->AddRef();
        *ppAsync = handedOut;
        return S_OK;
    });
}

void COrvSubSystem::createVolumeFor(VDS_LUN_TYPE type, ULONGLONG sizeInBytes,
                                    const std::vector<Service_Disk>& disks,
                                    LPWSTR pwszUnmaskingList, const VDS_HINTS& hints,
                                    CVdsAsyncObject& async)
{
    const UAEnums::VolumeCompositionName composition = GetVolumeCompositionFromHints(type, &hints);
    const ULONG width = hints.ulMaximumDriveCount != 0 ? hints.ulMaximumDriveCount
                                                       : static_cast<ULONG>(disks.size());
    const std::uint64_t size = VolumeCompositionRules::RoundUpToBlock(sizeInBytes);
    Service_Volume volume;
    const std::string name = newVolumeName(composition);
    MerrowReturnValue result;
    // Names carry the time to the second, so two LUNs of one kind made within a second
    // would share one; the array refuses a name it has, and the LUN takes the next number
    // of this subsystem instead.
    for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
        const std::string numbered =
            attempt == 1 ? name : name + " #" + std::to_string(++m_VolumeNameSerial);
        result = m_SystemService.CreateVolume(numbered, size, composition, disks,
                                              static_cast<std::uint8_t>(width), hints.ulStripeSize,
                                              volume);
        if (result.getFailureCode() != kArrayDuplicateName)
            break;
    }
    if (result.isFailure()) {
        MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM)
            << "CreateVolume failed with return: " << result.getCode() << " "
            << result.getMessage() << MWENDREC;
        async.SetResult(hresultForRefusal(result));
        return;
    }
    CComPtr<CComObject<COrvLun>> lun = AddLun(volume);
    if (!lun) {
        async.SetResult(E_FAIL);
        return;
    }
    lun->SetService(volume, GetGuid(), pwszUnmaskingList);
    async.SetResult(S_OK);
    async.SetCreated(static_cast<IVdsLun*>(lun.get()));
    async.SetProgress(std::make_unique<VolumeJobProgress>(volume, std::set<std::string>{}),
                      kJobWaitLimit);
    if (m_VolumeListService.IsValid())
        m_VolumeListService.Refresh();
    DeliverVdsNotification(GetProviderGuid(), VDS_NTT_LUN, VDS_NF_LUN_ARRIVE, lun->GetGuid());
}

HRESULT COrvSubSystem::QueryMaxLunCreateSize(VDS_LUN_TYPE type, VDS_OBJECT_ID* pDriveIdArray,
                                             LONG lNumberOfDrives, VDS_HINTS* pHints,
                                             ULONGLONG* pullMaxLunSize)
{
    return underProviderLock("COrvSubSystem::QueryMaxLunCreateSize", [&]() -> HRESULT {
        if (pHints == nullptr || pullMaxLunSize == nullptr || lNumberOfDrives < 0 ||
            drivesHalfGiven(pDriveIdArray, lNumberOfDrives))
            return E_INVALIDARG;
        std::vector<VDS_OBJECT_ID> ids(pDriveIdArray, pDriveIdArray + lNumberOfDrives);
        if (ids.empty()) {
            ValidateDrives();
            ids = DriveIds();
        }
        std::vector<Service_Disk> disks;
        const HRESULT looked = collectDisks(ids.data(), static_cast<LONG>(ids.size()), disks);
        if (FAILED(looked))
            return looked;
        if (!LunComposition::IsCreatableType(type))
            return E_INVALIDARG;
        const UAEnums::VolumeCompositionName composition =
            GetVolumeCompositionFromHints(type, pHints);
        ULONG width = pHints->ulStripeSize;
        if (type == VDS_LT_PARITY && width == 0)
            width = kSmallestParityWidth;
        StorageSize size;
        const MerrowReturnValue result = m_SystemService.GetMaxVolumeSize(
            composition, disks, static_cast<std::uint8_t>(width), kOpenStripeDepth, size);
        *pullMaxLunSize = result.isFailure() ? 0 : size.bytes();
        return S_OK;
    });
}

HRESULT COrvSubSystem::QueryIfCreatedLun(LPWSTR pwszDevicePath, VDS_LUN_INFORMATION* pInfo,
                                         VDS_OBJECT_ID* pLunId)
{
    return GuardVdsMethod("COrvSubSystem::QueryIfCreatedLun", E_FAIL, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        COrvVdsProvider* owner = provider();
        std::optional<VDSScopedLock> providerLock;
        if (owner != nullptr)
            providerLock.emplace(owner);
        VDSScopedLock lock(this);
        if (pwszDevicePath == nullptr || pInfo == nullptr || pLunId == nullptr)
            return E_INVALIDARG;
        const VDS_STORAGE_DEVICE_ID_DESCRIPTOR& descriptor = pInfo->m_deviceIdDescriptor;
        if (descriptor.m_rgIdentifiers == nullptr || descriptor.m_cIdentifiers == 0 ||
            descriptor.m_rgIdentifiers[0].m_cbIdentifier == 0)
            return S_FALSE;
        *pLunId = GUID_NULL;
        ValidateLUNs();
        HRESULT result = S_OK;
        for (const VDS_OBJECT_ID& id : LunIds()) {
            result = matchLun(id, pInfo->m_szSerialNumber, *pLunId);
            if (result == S_OK && *pLunId != GUID_NULL)
                break;
        }
        return result;
    });
}

HRESULT COrvSubSystem::matchLun(const VDS_OBJECT_ID& id, const char* serialNumber,
                                VDS_OBJECT_ID& found)
{
    CComPtr<CComObject<COrvLun>> lun = m_VdsLunList.Lookup(id);
    if (!lun)
        return VDS_E_OBJECT_NOT_FOUND;
    VDS_LUN_INFORMATION info{};
    const HRESULT hr = lun->GetIdentificationData(&info);
    if (SUCCEEDED(hr) && info.m_szSerialNumber != nullptr && serialNumber != nullptr &&
        std::strcmp(info.m_szSerialNumber, serialNumber) == 0)
        found = id;
    COrvLun::FreeIdentificationData(info);
    return hr;
}
