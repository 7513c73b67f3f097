// COrvTarget: the VDS iSCSI target object of one target of an array (the array makes one
// target per volume). The refresh makes it and gives it the target's facade; the target
// list orders targets by the durable name read here.
//
// A target presents exactly one portal group, which holds every portal of the array; it
// is made on first use and lives as long as the target. Targets cannot be made, deleted
// or given other groups through VDS: the array binds them to its volumes.
//
// Locks: methods that walk the subsystem's lists take the provider's and the subsystem's
// locks first, then this target's; the others take this target's alone. The portal group
// list is guarded by this target's lock.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/vds/VdsErrors.h"
#include "user_agent/services/Service_iSCSITarget.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/framework/VdsOrderKeySource.h"
#include "vds/framework/VdsPortalGroupList.h"
#include "vds/objects/COrvPortalGroup.h"
#include "vds/objects/CVdsArrayObject.h"

#include <string>

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

    // The portal group with this id, when it is this target's (look-up by id through the
    // target list).
    HRESULT GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk);
    // Makes the target's portal group when there is none yet.
    void ValidatePortalGroups();
    // The ids of the target's portal groups (at most one), after ValidatePortalGroups.
    std::vector<VDS_OBJECT_ID> PortalGroupIds();

    // IVdsIscsiTarget
    HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) override
    {
        return LookUpSubSystem(ppSubSystem);
    }
    HRESULT GetProperties(VDS_ISCSI_TARGET_PROP* pTargetProp) override;
    HRESULT QueryPortalGroups(IEnumVdsObject** ppEnum) override;
    HRESULT QueryAssociatedLuns(IEnumVdsObject** ppEnum) override;
    HRESULT CreatePortalGroup(IVdsAsync** ppAsync) override;
    HRESULT Delete(IVdsAsync**) override { return VDS_E_NOT_SUPPORTED; }
    HRESULT SetFriendlyName(LPWSTR pwszFriendlyName) override;
    // COrvTarget_Chap.cpp
    HRESULT SetSharedSecret(VDS_ISCSI_SHARED_SECRET* pTargetSharedSecret,
                            LPWSTR pwszInitiatorName) override;
    HRESULT RememberInitiatorSharedSecret(LPWSTR pwszInitiatorName,
                                          VDS_ISCSI_SHARED_SECRET* pInitiatorSharedSecret) override;
    HRESULT GetConnectedInitiators(LPWSTR** pppwszInitiatorList,
                                   LONG* plNumberOfInitiators) override;

private:
    void fetchPortalGroupsLocked();
    HRESULT setAuthenticationMethods(std::size_t secretLength);

    VdsPortalGroupList m_PortalGroupList;
    // Set once CreatePortalGroup has handed the group out.
    bool m_PortalGroupAnswered = false;
};
