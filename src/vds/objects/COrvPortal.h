// COrvPortal: the VDS iSCSI portal object of one portal of an array. The refresh makes it
// and gives it the portal's facade; the portal list orders portals by the IP address read
// here. Its other VDS operations answer E_NOTIMPL until they are written.
#pragma once

#include "platform/com/CComObject.h"
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

    VdsOrderKeyOutcome ReadOrderKey(std::string& key, std::string& failureText) override;

    // IVdsIscsiPortal
    HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) override
    {
        return LookUpSubSystem(ppSubSystem);
    }
    HRESULT GetProperties(VDS_ISCSI_PORTAL_PROP*) override { return E_NOTIMPL; }
    HRESULT QueryAssociatedPortalGroups(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT SetStatus(VDS_ISCSI_PORTAL_STATUS) override { return E_NOTIMPL; }
    HRESULT SetIpsecTunnelAddress(VDS_IPADDRESS*, VDS_IPADDRESS*) override { return E_NOTIMPL; }
    HRESULT GetIpsecSecurity(VDS_IPADDRESS*, ULONGLONG*) override { return E_NOTIMPL; }
    HRESULT SetIpsecSecurity(VDS_IPADDRESS*, ULONGLONG, VDS_ISCSI_IPSEC_KEY*) override
    {
        return E_NOTIMPL;
    }
};
