// COrvTarget: the VDS iSCSI target object of one target of an array. The refresh makes it
// and gives it the target's facade; the target list orders targets by the durable name
// read here. Its other VDS operations answer E_NOTIMPL until they are written.
#pragma once

#include "platform/com/CComObject.h"
#include "user_agent/services/Service_iSCSITarget.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/framework/VdsOrderKeySource.h"
#include "vds/objects/CVdsArrayObject.h"

class COrvTarget
    : public CComObjectRootEx,
      public IVdsIscsiTarget,
      public IOrvTarget,
      public CVdsArrayObject<COrvTarget, Merrow::UserAgent::Service_iSCSITarget, VDS_OT_TARGET>,
      public VdsOrderKeySource<std::string> {
public:
    using ComMap = ComInterfaceMap<IVdsIscsiTarget, IOrvTarget>;

    std::string className() const override { return "COrvTarget"; }

    VdsOrderKeyOutcome ReadOrderKey(std::string& key, std::string& failureText) override;

    // IVdsIscsiTarget
    HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) override
    {
        return LookUpSubSystem(ppSubSystem);
    }
    HRESULT GetProperties(VDS_ISCSI_TARGET_PROP*) override { return E_NOTIMPL; }
    HRESULT QueryPortalGroups(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT QueryAssociatedLuns(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT CreatePortalGroup(IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT Delete(IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT SetFriendlyName(LPWSTR) override { return E_NOTIMPL; }
    HRESULT SetSharedSecret(VDS_ISCSI_SHARED_SECRET*, LPWSTR) override { return E_NOTIMPL; }
    HRESULT RememberInitiatorSharedSecret(LPWSTR, VDS_ISCSI_SHARED_SECRET*) override
    {
        return E_NOTIMPL;
    }
    HRESULT GetConnectedInitiators(LPWSTR**, LONG*) override { return E_NOTIMPL; }
};
