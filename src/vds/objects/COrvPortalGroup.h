// COrvPortalGroup: the one portal group of a target. An array target is reachable through
// every portal of the array, so the group holds them all; it cannot be changed or deleted
// through VDS. It stands for its target's facade and knows its target by id (a group that
// VDS still holds may outlive its target; it then answers that the target is gone).
#pragma once

#include "platform/com/CComObject.h"
#include "platform/vds/VdsErrors.h"
#include "user_agent/services/Service_iSCSITarget.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/objects/CVdsArrayObject.h"

class COrvPortalGroup
    : public CComObjectRootEx,
      public IVdsIscsiPortalGroup,
      public IOrvPortalGroup,
      public CVdsArrayObject<COrvPortalGroup, Merrow::UserAgent::Service_iSCSITarget,
                             VDS_OT_PORTAL_GROUP> {
public:
    using ComMap = ComInterfaceMap<IVdsIscsiPortalGroup, IOrvPortalGroup>;

    std::string className() const override { return "COrvPortalGroup"; }

    // The target's facade, its subsystem and the target the group belongs to.
    void SetService(const Merrow::UserAgent::Service_iSCSITarget& service,
                    const VDS_OBJECT_ID& subSystemId, const VDS_OBJECT_ID& targetId);
    using CVdsArrayObject::SetService;
    VDS_OBJECT_ID GetTargetId();

    // IVdsIscsiPortalGroup
    HRESULT GetProperties(VDS_ISCSI_PORTALGROUP_PROP* pPortalGroupProp) override;
    HRESULT GetTarget(IVdsIscsiTarget** ppTarget) override;
    HRESULT QueryAssociatedPortals(IEnumVdsObject** ppEnum) override;
    HRESULT AddPortal(VDS_OBJECT_ID, IVdsAsync**) override { return VDS_E_NOT_SUPPORTED; }
    HRESULT RemovePortal(VDS_OBJECT_ID, IVdsAsync**) override { return VDS_E_NOT_SUPPORTED; }
    HRESULT Delete(IVdsAsync** ppAsync) override
    {
        return ppAsync == nullptr ? E_INVALIDARG : VDS_E_NOT_SUPPORTED;
    }

private:
    VDS_OBJECT_ID m_TargetId{};
};
