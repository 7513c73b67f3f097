// COrvPortal: the VDS iSCSI portal object of one portal (IP address and TCP port) of an
// array. The refresh makes it and gives it the portal's facade; the portal list orders
// portals by the IP address read here. Portals are configured on the array itself: their
// status and IPsec settings cannot be changed through VDS.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/vds/VdsErrors.h"
#include "user_agent/services/Service_Portal.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/framework/VdsOrderKeySource.h"
#include "vds/objects/CVdsArrayObject.h"

class COrvPortal
    : public CComObjectRootEx,
      public IVdsIscsiPortal,
      public IOrvPortal,
      public CVdsArrayObject<COrvPortal, Merrow::UserAgent::Service_Portal, VDS_OT_PORTAL>,
      public VdsOrderKeySource<std::string> {
public:
    using ComMap = ComInterfaceMap<IVdsIscsiPortal, IOrvPortal>;

    std::string className() const override { return "COrvPortal"; }

    // The portal's facade and subsystem (the refresh). The facade learns of changes only to
    // the array objects it has read, so the VLAN, which VDS does not show but which decides
    // which hosts reach the portal, is read once here: a VLAN moved on the array then
    // reaches VDS as a change of the portal.
    void SetService(const Merrow::UserAgent::Service_Portal& service, const VDS_OBJECT_ID& subSystemId);

    VdsOrderKeyOutcome ReadOrderKey(std::string& key, std::string& failureText) override;

    // IVdsIscsiPortal
    HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) override
    {
        return LookUpSubSystem(ppSubSystem);
    }
    HRESULT GetProperties(VDS_ISCSI_PORTAL_PROP* pPortalProp) override;
    HRESULT QueryAssociatedPortalGroups(IEnumVdsObject** ppEnum) override;
    HRESULT SetStatus(VDS_ISCSI_PORTAL_STATUS status) override;
    HRESULT SetIpsecTunnelAddress(VDS_IPADDRESS* pTunnelAddress,
                                  VDS_IPADDRESS* pDestinationAddress) override
    {
        return pTunnelAddress == nullptr || pDestinationAddress == nullptr ? E_INVALIDARG
                                                                           : VDS_E_NOT_SUPPORTED;
    }
    HRESULT GetIpsecSecurity(VDS_IPADDRESS*, ULONGLONG*) override { return VDS_E_NOT_SUPPORTED; }
    HRESULT SetIpsecSecurity(VDS_IPADDRESS* pInitiatorPortalAddress, ULONGLONG,
                             VDS_ISCSI_IPSEC_KEY* pIpsecKey) override
    {
        return pInitiatorPortalAddress == nullptr || pIpsecKey == nullptr ? E_INVALIDARG
                                                                           : VDS_E_NOT_SUPPORTED;
    }

private:
    VDS_ISCSI_PORTAL_STATUS statusLocked();
};
