// What a LUN tells VDS about itself: its properties (size, names, layout, status), the
// identification a host matches its disk against, and its name.
//
// Deliberately, the identification carries identifiers (the volume's NAA name and a T10
// vendor id) instead of none: a host, and QueryIfCreatedLun, can only find a LUN by them.
#include "vds/objects/COrvLun.h"

#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "platform/strings/StringTable.h"
#include "platform/vds/VdsErrors.h"
#include "trace/Trace.h"
#include "user_agent/services/Service_VolumeComposition.h"
#include "vds/framework/VdsResources.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/LunComposition.h"

#include <cctype>
#include <optional>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_LUN;
using Merrow::Trace::TV_WARNING;

namespace {

constexpr SHORT kRebuildPriority = 16;
// Strings of the resource library: the vendor and product a host sees.
constexpr UINT kVendorIdString = 108;
constexpr UINT kProductIdString = 106;
// Bytes of the T10 vendor id at the head of a vendor-id descriptor.
constexpr std::size_t kT10VendorLength = 8;

// UAEnums::OperationalStatus numbers of a volume.
constexpr std::int32_t kVolumeFailed = 1;
constexpr std::int32_t kVolumeRebuilding = 3;

char* narrowCopy(const std::optional<std::u16string>& text)
{
    return CoTaskMemDupString(std::string_view(orv::platform::Utf16ToUtf8(text.value_or(u""))));
}

// The bytes of an even-length hexadecimal text (the array's NAA durable names); nullopt
// for any other text.
std::optional<std::string> hexBytes(const std::string& text)
{
    if (text.empty() || text.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
            return std::nullopt;
        bytes.push_back(static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

bool setIdentifier(VDS_STORAGE_IDENTIFIER& out, VDS_STORAGE_IDENTIFIER_CODE_SET codeSet,
                   VDS_STORAGE_IDENTIFIER_TYPE type, const std::string& bytes)
{
    out.m_CodeSet = codeSet;
    out.m_Type = type;
    out.m_rgbIdentifier = static_cast<BYTE*>(CoTaskMemAlloc(bytes.size()));
    if (out.m_rgbIdentifier == nullptr)
        return false;
    std::memcpy(out.m_rgbIdentifier, bytes.data(), bytes.size());
    out.m_cbIdentifier = static_cast<ULONG>(bytes.size());
    return true;
}

// The device identification a host reads from its disk's inquiry page 0x83: the volume's
// NAA name (binary) when the durable name is one, and the T10 vendor id with the durable
// name. Both come from the array, so they are the same after any restart of the provider.
HRESULT fillDeviceIds(VDS_STORAGE_DEVICE_ID_DESCRIPTOR& descriptor, const std::string& vendor,
                      const std::string& durableName)
{
    descriptor.m_version = VER_VDS_LUN_INFORMATION;
    const std::optional<std::string> naa = hexBytes(durableName);
    const ULONG count = naa ? 2 : 1;
    descriptor.m_rgIdentifiers = CoTaskMemAllocZeroed<VDS_STORAGE_IDENTIFIER>(count);
    if (descriptor.m_rgIdentifiers == nullptr)
        return E_OUTOFMEMORY;
    descriptor.m_cIdentifiers = count;
    std::string t10 = vendor.substr(0, kT10VendorLength);
    t10.resize(kT10VendorLength, ' ');
    VDS_STORAGE_IDENTIFIER* next = descriptor.m_rgIdentifiers;
    if (naa && !setIdentifier(*next++, VDSStorageIdCodeSetBinary, VDSStorageIdTypeFCPHName, *naa))
        return E_OUTOFMEMORY;
    if (!setIdentifier(*next, VDSStorageIdCodeSetAscii, VDSStorageIdTypeVendorId, t10 + durableName))
        return E_OUTOFMEMORY;
    return S_OK;
}

LPWSTR wideCopy(const std::string& text)
{
    return CoTaskMemDupString(std::u16string_view(orv::platform::Utf8ToUtf16(text)));
}

void freeLunProperties(VDS_LUN_PROP& prop)
{
    CoTaskMemFree(prop.pwszFriendlyName);
    CoTaskMemFree(prop.pwszIdentification);
    CoTaskMemFree(prop.pwszUnmaskingList);
    prop = VDS_LUN_PROP{};
}

} // namespace

HRESULT COrvLun::GetProperties(VDS_LUN_PROP* pLunProp)
{
    return GuardVdsMethod("COrvLun::GetProperties", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (pLunProp == nullptr)
            return E_POINTER;
        *pLunProp = VDS_LUN_PROP{};
        const HRESULT hr = GetLunProperties(pLunProp);
        if (FAILED(hr))
            freeLunProperties(*pLunProp);
        return hr;
    });
}

HRESULT COrvLun::GetLunProperties(VDS_LUN_PROP* pProp)
{
    VDSScopedLock lock(this);
    if (pProp == nullptr)
        return E_INVALIDARG;
    pProp->id = GetGuid();
    if (!m_Service.IsValid())
        return S_OK;
    StorageSize size;
    if (!m_Service.GetSize(size).isFailure())
        pProp->ullSize = size.bytes();
    std::string text;
    if (!m_Service.GetName(text).isFailure())
        pProp->pwszFriendlyName = wideCopy(text);
    if (!m_Service.GetDurableName(text).isFailure())
        pProp->pwszIdentification = wideCopy(text);
    const std::string unmasking = unmaskingListLocked();
    if (!unmasking.empty())
        pProp->pwszUnmaskingList = wideCopy(unmasking);
    pProp->ulFlags = VDS_LF_LBN_REMAP_ENABLED;
    pProp->type = lunTypeLocked();
    pProp->TransitionState = VDS_TS_STABLE;
    pProp->sRebuildPriority = kRebuildPriority;
    HRESULT result = S_OK;
    fillStatusLocked(*pProp, result);
    return result;
}

void COrvLun::fillStatusLocked(VDS_LUN_PROP& prop, HRESULT& result)
{
    UAEnums::OperationalStatus status;
    const MerrowReturnValue read = m_Service.GetStatus(status);
    if (read.isFailure()) {
        MWTRACE(TV_WARNING, TC_VDS_LUN)
            << "Volume status read failed: " << read.getMessage() << MWENDREC;
        result = E_FAIL;
        return;
    }
    prop.status = VDS_LS_ONLINE;
    prop.health = VDS_H_HEALTHY;
    if (status.getValue() == kVolumeFailed) {
        prop.status = VDS_LS_FAILED;
        prop.health = VDS_H_FAILED;
    } else if (status.getValue() == kVolumeRebuilding) {
        prop.health = VDS_H_REBUILDING;
    }
}

VDS_LUN_TYPE COrvLun::lunTypeLocked()
{
    UAEnums::VolumeCompositionName composition;
    if (m_Service.GetCompositionName(composition).isFailure())
        return VDS_LT_PARITY;
    std::uint64_t extents = 0;
    const bool jbod = composition.getValue() == LunComposition::kJbod;
    if (jbod && layoutLocked().GetExtentCount(extents).isFailure())
        extents = 0;
    return LunComposition::LunTypeOf(composition, static_cast<std::size_t>(extents));
}

HRESULT COrvLun::GetIdentificationData(VDS_LUN_INFORMATION* pLunInfo)
{
    return GuardVdsMethod("COrvLun::GetIdentificationData", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        if (pLunInfo == nullptr)
            return E_INVALIDARG;
        VDSScopedLock lock(this);
        *pLunInfo = VDS_LUN_INFORMATION{};
        pLunInfo->m_version = VER_VDS_LUN_INFORMATION;
        pLunInfo->m_bCommandQueueing = TRUE;
        pLunInfo->m_BusType = VDSBusTypeiScsi;
        const std::optional<std::u16string> vendor = VdsResources::libraryString(kVendorIdString);
        pLunInfo->m_szVendorId = narrowCopy(vendor);
        pLunInfo->m_szProductId = narrowCopy(VdsResources::libraryString(kProductIdString));
        pLunInfo->m_szProductRevision = narrowCopy(
            VdsResources::programString(orv::platform::StringTable::IDS_PROVIDER_VERSION));
        std::string durableName;
        if (m_Service.IsValid() && !m_Service.GetDurableName(durableName).isFailure()) {
            pLunInfo->m_szSerialNumber = CoTaskMemDupString(std::string_view(durableName));
            const HRESULT hr = fillDeviceIds(pLunInfo->m_deviceIdDescriptor,
                                             orv::platform::Utf16ToUtf8(vendor.value_or(u"")),
                                             durableName);
            if (FAILED(hr)) {
                FreeIdentificationData(*pLunInfo);
                return hr;
            }
        } else {
            pLunInfo->m_deviceIdDescriptor.m_version = VER_VDS_LUN_INFORMATION;
        }
        return S_OK;
    });
}

void COrvLun::FreeIdentificationData(VDS_LUN_INFORMATION& info)
{
    CoTaskMemFree(info.m_szVendorId);
    CoTaskMemFree(info.m_szProductId);
    CoTaskMemFree(info.m_szProductRevision);
    CoTaskMemFree(info.m_szSerialNumber);
    VDS_STORAGE_DEVICE_ID_DESCRIPTOR& descriptor = info.m_deviceIdDescriptor;
    for (ULONG i = 0; descriptor.m_rgIdentifiers != nullptr && i < descriptor.m_cIdentifiers; ++i)
        CoTaskMemFree(descriptor.m_rgIdentifiers[i].m_rgbIdentifier);
    CoTaskMemFree(descriptor.m_rgIdentifiers);
    info = VDS_LUN_INFORMATION{};
}

HRESULT COrvLun::SetFriendlyName(LPWSTR pwszFriendlyName)
{
    return GuardVdsMethod("COrvLun::SetFriendlyName", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (pwszFriendlyName == nullptr)
            return E_INVALIDARG;
        if (!m_Service.IsValid())
            return E_FAIL;
        const MerrowReturnValue result =
            m_Service.SetName(orv::platform::Utf16ToUtf8(pwszFriendlyName));
        return result.isFailure() ? E_FAIL : S_OK;
    });
}
