#include "vds/objects/COrvTarget.h"

#include "platform/com/ErrorDescription.h"
#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "trace/Trace.h"
#include "user_agent/services/Service_Volume.h"
#include "vds/framework/CVdsAsyncObject.h"
#include "vds/objects/COrvLun.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/COrvVdsProvider.h"
#include "vds/objects/VdsObjectLookup.h"

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_TARGET;
using Merrow::Trace::TV_ERROR;
using Merrow::Trace::TV_INFO;
using Merrow::Trace::TV_SEVERE;
using Merrow::Trace::TV_WARNING;

namespace {

// A text read from the array for VDS: empty when the read failed (traced as `what`).
std::string readText(MerrowReturnValue (Service_iSCSITarget::*read)(std::string&) const,
                     const Service_iSCSITarget& target, const char* what)
{
    std::string text;
    const MerrowReturnValue result = (target.*read)(text);
    if (result.isFailure()) {
        MWTRACE(TV_WARNING, TC_VDS_TARGET)
            << what << " failed with return: " << result.getCode() << MWENDREC;
        text.clear();
    }
    return text;
}

} // namespace

VdsOrderKeyOutcome COrvTarget::ReadOrderKey(std::string& key, std::string& failureText)
{
    VDSScopedLock lock(this);
    if (!m_Service.IsValid())
        return VdsOrderKeyOutcome::NoServiceObject;
    const MerrowReturnValue result = m_Service.GetDurableName(key);
    if (result.isFailure()) {
        failureText = result.getMessage();
        return VdsOrderKeyOutcome::Failed;
    }
    return VdsOrderKeyOutcome::Read;
}

HRESULT COrvTarget::GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk)
{
    VDSScopedLock lock(this);
    return m_PortalGroupList.GetListObject(id, type, ppUnk);
}

void COrvTarget::ValidatePortalGroups()
{
    VDSScopedLock lock(this);
    if (!m_PortalGroupList.IsEmpty())
        return;
    MWTRACE(TV_INFO, TC_VDS_TARGET) << "m_VdsControllerList size is 0" << MWENDREC;
    fetchPortalGroupsLocked();
}

std::vector<VDS_OBJECT_ID> COrvTarget::PortalGroupIds()
{
    VDSScopedLock lock(this);
    std::vector<VDS_OBJECT_ID> ids;
    m_PortalGroupList.GetGuidVector(ids);
    return ids;
}

void COrvTarget::fetchPortalGroupsLocked()
{
    if (GetProviderGuid() == GUID_NULL) {
        MWTRACE(TV_SEVERE, TC_VDS_TARGET) << "m_pProvider is NULL" << MWENDREC;
        return;
    }
    m_PortalGroupList.SetProviderGuid(GetProviderGuid());
    VDS_OBJECT_ID id{};
    if (FAILED(m_PortalGroupList.CreateListObject(&id))) {
        MWTRACE(TV_SEVERE, TC_VDS_TARGET) << "Create Object Portal Group Failed" << MWENDREC;
        return;
    }
    CComPtr<CComObject<COrvPortalGroup>> group = m_PortalGroupList.Lookup(id);
    if (!group) {
        MWTRACE(TV_SEVERE, TC_VDS_TARGET) << "Get Object Controller after create Failed" << MWENDREC;
        return;
    }
    group->SetService(m_Service, m_SubSystemId, GetGuid());
    MWTRACE(TV_INFO, TC_VDS_TARGET) << "Successfully set the portal group service." << MWENDREC;
}

HRESULT COrvTarget::GetProperties(VDS_ISCSI_TARGET_PROP* pTargetProp)
{
    return GuardVdsMethod("COrvTarget::GetProperties", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (pTargetProp == nullptr)
            return E_INVALIDARG;
        if (!m_Service.IsValid())
            return E_FAIL;
        VDS_ISCSI_TARGET_PROP prop{};
        prop.id = GetGuid();
        bool chapRequired = false;
        if (m_Service.IsChapRequired(chapRequired).isFailure())
            chapRequired = false;
        prop.bChapEnabled = chapRequired ? TRUE : FALSE;
        const std::string name =
            readText(&Service_iSCSITarget::GetName, m_Service, "m_ServiceTarget.GetName");
        const std::string iscsiName = readText(&Service_iSCSITarget::GetDurableName, m_Service,
                                               "m_ServiceTarget.GetDurableName");
        prop.pwszFriendlyName = CoTaskMemDupString(orv::platform::Utf8ToUtf16(name));
        if (prop.pwszFriendlyName == nullptr) {
            MWTRACE(TV_ERROR, TC_VDS_TARGET) << "TargetProp.pwszFriendlyName is NULL" << MWENDREC;
            return E_OUTOFMEMORY;
        }
        prop.pwszIscsiName = CoTaskMemDupString(orv::platform::Utf8ToUtf16(iscsiName));
        if (prop.pwszIscsiName == nullptr) {
            MWTRACE(TV_ERROR, TC_VDS_TARGET) << "TargetProp.pwszIscsiName is NULL" << MWENDREC;
            CoTaskMemFree(prop.pwszFriendlyName);
            return E_OUTOFMEMORY;
        }
        *pTargetProp = prop;
        return S_OK;
    });
}

HRESULT COrvTarget::SetFriendlyName(LPWSTR pwszFriendlyName)
{
    return GuardVdsMethod("COrvTarget::SetFriendlyName", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        orv::platform::ClearErrorDescription();
        if (pwszFriendlyName == nullptr)
            return E_INVALIDARG;
        VDSScopedLock lock(this);
        const MerrowReturnValue result =
            m_Service.SetName(orv::platform::Utf16ToUtf8(pwszFriendlyName));
        if (result.isFailure()) {
            orv::platform::SetErrorDescription(result.getMessage());
            return E_FAIL;
        }
        return S_OK;
    });
}

HRESULT COrvTarget::QueryPortalGroups(IEnumVdsObject** ppEnum)
{
    return GuardVdsMethod("COrvTarget::QueryPortalGroups", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        ValidatePortalGroups();
        if (!m_Service.IsValid())
            MWTRACE(TV_WARNING, TC_VDS_TARGET) << "m_ServiceTarget is not yet valid" << MWENDREC;
        if (ppEnum == nullptr) {
            MWTRACE(TV_WARNING, TC_VDS_TARGET) << "ppEnum is NULL" << MWENDREC;
            return E_INVALIDARG;
        }
        *ppEnum = nullptr;
        COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
        if (provider == nullptr)
            return E_FAIL;
        return provider->MakeEnum(VDS_OT_PORTAL_GROUP, PortalGroupIds(), ppEnum);
    });
}

HRESULT COrvTarget::CreatePortalGroup(IVdsAsync** ppAsync)
{
    return GuardVdsMethod("COrvTarget::CreatePortalGroup", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        auto subsystem = LookUpVdsObject<COrvSubSystem>(GetProviderGuid(), GetSubSystemId(),
                                                        VDS_OT_SUB_SYSTEM);
        if (!subsystem)
            return E_FAIL;
        VDSScopedLock subsystemLock(subsystem.object);
        VDSScopedLock lock(this);
        if (ppAsync == nullptr)
            return E_INVALIDARG;
        *ppAsync = nullptr;
        CComObject<CVdsAsyncObject>* raw = nullptr;
        if (FAILED(CComObject<CVdsAsyncObject>::CreateInstance(&raw)))
            return E_OUTOFMEMORY;
        CComPtr<CComObject<CVdsAsyncObject>> async(raw);
        ValidatePortalGroups();
        const std::vector<VDS_OBJECT_ID> ids = PortalGroupIds();
        if (ids.empty()) {
            async->SetInfo(GetProviderGuid(), VDS_ASYNCOUT_CREATEPORTALGROUP, VDS_OT_PORTAL_GROUP,
                           nullptr);
            async->SetResult(E_FAIL);
        } else {
            CComPtr<CComObject<COrvPortalGroup>> group = m_PortalGroupList.Lookup(ids.front());
            async->SetInfo(GetProviderGuid(), VDS_ASYNCOUT_CREATEPORTALGROUP, VDS_OT_PORTAL_GROUP,
                           nullptr);
            async->SetResult(S_OK);
            CComPtr<IUnknown> created;
            group->QueryInterface(IID_IUnknown, created.put_void());
            async->SetCreated(created.get());
        }
        m_PortalGroupAnswered = true;
        return async->QueryInterface(IID_IVdsAsync, reinterpret_cast<void**>(ppAsync));
    });
}

HRESULT COrvTarget::QueryAssociatedLuns(IEnumVdsObject** ppEnum)
{
    return GuardVdsMethod("COrvTarget::QueryAssociatedLuns", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        if (ppEnum == nullptr)
            return E_INVALIDARG;
        *ppEnum = nullptr;
        COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
        auto subsystem = LookUpVdsObject<COrvSubSystem>(GetProviderGuid(), GetSubSystemId(),
                                                        VDS_OT_SUB_SYSTEM);
        if (provider == nullptr || !subsystem)
            return E_FAIL;
        VDSScopedLock providerLock(provider);
        VDSScopedLock subsystemLock(subsystem.object);
        Service_Volume volume;
        std::string volumeName;
        {
            VDSScopedLock lock(this);
            if (m_Service.GetVolume(volume).isFailure() ||
                volume.GetDurableName(volumeName).isFailure()) {
                MWTRACE(TV_WARNING, TC_VDS_TARGET) << "GetVolume failed" << MWENDREC;
                return E_FAIL;
            }
        }
        subsystem->ValidateLUNs();
        std::vector<VDS_OBJECT_ID> matching;
        for (const VDS_OBJECT_ID& id : subsystem->LunIds()) {
            auto lun = LookUpVdsObject<COrvLun>(GetProviderGuid(), id, VDS_OT_LUN);
            std::string lunName;
            if (lun && !lun->GetService().GetDurableName(lunName).isFailure() &&
                lunName == volumeName)
                matching.push_back(id);
        }
        return provider->MakeEnum(VDS_OT_LUN, matching, ppEnum);
    });
}
