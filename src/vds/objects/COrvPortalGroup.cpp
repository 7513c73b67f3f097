#include "vds/objects/COrvPortalGroup.h"

#include "trace/Trace.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/COrvTarget.h"
#include "vds/objects/COrvVdsProvider.h"
#include "vds/objects/VdsObjectLookup.h"

using namespace Merrow::UserAgent;

void COrvPortalGroup::SetService(const Service_iSCSITarget& service, const VDS_OBJECT_ID& subSystemId,
                                 const VDS_OBJECT_ID& targetId)
{
    VDSScopedLock lock(this);
    CVdsArrayObject::SetService(service, subSystemId);
    m_TargetId = targetId;
}

VDS_OBJECT_ID COrvPortalGroup::GetTargetId()
{
    VDSScopedLock lock(this);
    return m_TargetId;
}

HRESULT COrvPortalGroup::GetProperties(VDS_ISCSI_PORTALGROUP_PROP* pPortalGroupProp)
{
    return GuardVdsMethod("COrvPortalGroup::GetProperties", E_UNEXPECTED, [&]() -> HRESULT {
        if (pPortalGroupProp == nullptr)
            return E_INVALIDARG;
        pPortalGroupProp->id = GetGuid();
        // The array knows no groups of its own, so the one group of a target has tag 0.
        pPortalGroupProp->tag = 0;
        return S_OK;
    });
}

HRESULT COrvPortalGroup::GetTarget(IVdsIscsiTarget** ppTarget)
{
    return GuardVdsMethod("COrvPortalGroup::GetTarget", E_UNEXPECTED, [&]() -> HRESULT {
        if (ppTarget == nullptr)
            return E_INVALIDARG;
        *ppTarget = nullptr;
        auto target = LookUpVdsObject<COrvTarget>(GetProviderGuid(), GetTargetId(), VDS_OT_TARGET);
        if (!target)
            return VDS_E_OBJECT_NOT_FOUND;
        return target.holder->QueryInterface(IID_IVdsIscsiTarget, reinterpret_cast<void**>(ppTarget));
    });
}

HRESULT COrvPortalGroup::QueryAssociatedPortals(IEnumVdsObject** ppEnum)
{
    return GuardVdsMethod("COrvPortalGroup::QueryAssociatedPortals", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
        auto subsystem = LookUpVdsObject<COrvSubSystem>(GetProviderGuid(), GetSubSystemId(),
                                                        VDS_OT_SUB_SYSTEM);
        if (provider == nullptr || !subsystem || !GetService().IsValid())
            return E_FAIL;
        if (ppEnum == nullptr)
            return E_INVALIDARG;
        *ppEnum = nullptr;
        VDSScopedLock providerLock(provider);
        VDSScopedLock subsystemLock(subsystem.object);
        VDSScopedLock lock(this);
        subsystem->ValidatePortals();
        // Every portal of the array reaches every target.
        return provider->MakeEnum(VDS_OT_PORTAL, subsystem->PortalIds(), ppEnum);
    });
}
