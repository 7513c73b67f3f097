// COrvPortalGroup: the VDS iSCSI portal group object of one target's portal group. It
// stands for the target's facade (an array target carries one group of portals) and lives
// in its subsystem's portal group list. Its VDS operations answer E_NOTIMPL until they are
// written.
#pragma once

#include "platform/com/CComObject.h"
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

    // IVdsIscsiPortalGroup
    HRESULT GetProperties(VDS_ISCSI_PORTALGROUP_PROP*) override { return E_NOTIMPL; }
    HRESULT GetTarget(IVdsIscsiTarget**) override { return E_NOTIMPL; }
    HRESULT QueryAssociatedPortals(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT AddPortal(VDS_OBJECT_ID, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT RemovePortal(VDS_OBJECT_ID, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT Delete(IVdsAsync**) override { return E_NOTIMPL; }
};
