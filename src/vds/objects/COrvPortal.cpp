#include "vds/objects/COrvPortal.h"

#include "platform/com/TextConversion.h"
#include "trace/Trace.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/COrvTarget.h"
#include "vds/objects/COrvVdsProvider.h"
#include "vds/objects/VdsObjectLookup.h"

#include <algorithm>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_PORTAL;
using Merrow::Trace::TV_WARNING;

namespace {

// The array's operational status of a portal: 1 failed, 3 offline, anything else online.
constexpr std::int32_t kPortalFailed = 1;
constexpr std::int32_t kPortalOffline = 3;

void copyTextAddress(const std::string& address, VDS_IPADDRESS& out)
{
    const std::u16string wide = orv::platform::Utf8ToUtf16(address);
    const std::size_t length = std::min(wide.size(), std::size(out.wszTextAddress) - 1);
    std::copy_n(wide.begin(), length, out.wszTextAddress);
    out.wszTextAddress[length] = u'\0';
}

} // namespace

void COrvPortal::SetService(const Service_Portal& service, const VDS_OBJECT_ID& subSystemId)
{
    VDSScopedLock lock(this);
    CVdsArrayObject::SetService(service, subSystemId);
    std::uint16_t vlan = 0;
    if (m_Service.IsValid() && m_Service.GetVLANNumber(vlan).isFailure())
        MWTRACE(TV_WARNING, TC_VDS_PORTAL) << "GetVLANNumber failed" << MWENDREC;
}

VdsOrderKeyOutcome COrvPortal::ReadOrderKey(std::string& key, std::string& failureText)
{
    VDSScopedLock lock(this);
    if (!m_Service.IsValid())
        return VdsOrderKeyOutcome::NoServiceObject;
    const MerrowReturnValue result = m_Service.GetIPAddress(key);
    if (result.isFailure()) {
        failureText = result.getMessage();
        return VdsOrderKeyOutcome::Failed;
    }
    return VdsOrderKeyOutcome::Read;
}

VDS_ISCSI_PORTAL_STATUS COrvPortal::statusLocked()
{
    UAEnums::OperationalStatus status;
    if (m_Service.GetStatus(status).isFailure())
        return VDS_IPS_ONLINE;
    switch (status.getValue()) {
    case kPortalFailed:
        return VDS_IPS_FAILED;
    case kPortalOffline:
        return VDS_IPS_OFFLINE;
    default:
        return VDS_IPS_ONLINE;
    }
}

HRESULT COrvPortal::GetProperties(VDS_ISCSI_PORTAL_PROP* pPortalProp)
{
    return GuardVdsMethod("COrvPortal::GetProperties", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (pPortalProp == nullptr)
            return E_INVALIDARG;
        if (!m_Service.IsValid())
            return E_FAIL;
        VDS_ISCSI_PORTAL_PROP prop{};
        prop.id = GetGuid();
        prop.status = statusLocked();
        prop.address.type = VDS_IPT_TEXT;
        std::string address;
        if (m_Service.GetIPAddress(address).isFailure())
            MWTRACE(TV_WARNING, TC_VDS_PORTAL) << "GetIPAddress failed" << MWENDREC;
        copyTextAddress(address, prop.address);
        std::uint32_t port = 0;
        if (m_Service.GetPortNumber(port).isFailure())
            MWTRACE(TV_WARNING, TC_VDS_PORTAL) << "GetPortNumber failed" << MWENDREC;
        prop.address.ulPort = port;
        *pPortalProp = prop;
        return S_OK;
    });
}

HRESULT COrvPortal::SetStatus(VDS_ISCSI_PORTAL_STATUS status)
{
    return GuardVdsMethod("COrvPortal::SetStatus", E_UNEXPECTED, [&]() -> HRESULT {
        if (!GetService().IsValid())
            return E_FAIL;
        if (status == VDS_IPS_ONLINE || status == VDS_IPS_OFFLINE)
            return VDS_E_NOT_SUPPORTED;
        return E_INVALIDARG;
    });
}

HRESULT COrvPortal::QueryAssociatedPortalGroups(IEnumVdsObject** ppEnum)
{
    return GuardVdsMethod("COrvPortal::QueryAssociatedPortalGroups", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        if (ppEnum == nullptr)
            return E_INVALIDARG;
        *ppEnum = nullptr;
        if (!GetService().IsValid())
            return E_FAIL;
        COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
        auto subsystem = LookUpVdsObject<COrvSubSystem>(GetProviderGuid(), GetSubSystemId(),
                                                        VDS_OT_SUB_SYSTEM);
        if (provider == nullptr || !subsystem)
            return E_FAIL;
        VDSScopedLock providerLock(provider);
        VDSScopedLock subsystemLock(subsystem.object);
        subsystem->ValidateTargets();
        // Every group holds every portal of the array (COrvPortalGroup), so every target's
        // group is this portal's.
        std::vector<VDS_OBJECT_ID> groups;
        for (const VDS_OBJECT_ID& id : subsystem->TargetIds()) {
            auto target = LookUpVdsObject<COrvTarget>(GetProviderGuid(), id, VDS_OT_TARGET);
            if (!target)
                continue;
            target->ValidatePortalGroups();
            for (const VDS_OBJECT_ID& group : target->PortalGroupIds())
                groups.push_back(group);
        }
        return provider->MakeEnum(VDS_OT_PORTAL_GROUP, groups, ppEnum);
    });
}
