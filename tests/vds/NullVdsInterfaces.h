// VDS object interfaces with every method answering E_NOTIMPL, so that framework tests can
// build list members of each kind without the real objects' behaviour.
#pragma once

#include "platform/vds/VdsInterfaces.h"

struct NullVdsSubSystem : IVdsSubSystem {
    using Interface = IVdsSubSystem;
    HRESULT GetProperties(VDS_SUB_SYSTEM_PROP*) override { return E_NOTIMPL; }
    HRESULT GetProvider(IVdsProvider**) override { return E_NOTIMPL; }
    HRESULT QueryControllers(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT QueryLuns(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT QueryDrives(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT GetDrive(SHORT, SHORT, IVdsDrive**) override { return E_NOTIMPL; }
    HRESULT Reenumerate() override { return E_NOTIMPL; }
    HRESULT SetControllerStatus(VDS_OBJECT_ID*, LONG, VDS_OBJECT_ID*, LONG) override
    {
        return E_NOTIMPL;
    }
    HRESULT CreateLun(VDS_LUN_TYPE, ULONGLONG, VDS_OBJECT_ID*, LONG, LPWSTR, VDS_HINTS*,
                      IVdsAsync**) override
    {
        return E_NOTIMPL;
    }
    HRESULT ReplaceDrive(VDS_OBJECT_ID, VDS_OBJECT_ID) override { return E_NOTIMPL; }
    HRESULT SetStatus(VDS_SUB_SYSTEM_STATUS) override { return E_NOTIMPL; }
    HRESULT QueryMaxLunCreateSize(VDS_LUN_TYPE, VDS_OBJECT_ID*, LONG, VDS_HINTS*,
                                  ULONGLONG*) override
    {
        return E_NOTIMPL;
    }
};

struct NullVdsDrive : IVdsDrive {
    using Interface = IVdsDrive;
    HRESULT GetProperties(VDS_DRIVE_PROP*) override { return E_NOTIMPL; }
    HRESULT GetSubSystem(IVdsSubSystem**) override { return E_NOTIMPL; }
    HRESULT QueryExtents(VDS_DRIVE_EXTENT**, LONG*) override { return E_NOTIMPL; }
    HRESULT SetFlags(ULONG) override { return E_NOTIMPL; }
    HRESULT ClearFlags(ULONG) override { return E_NOTIMPL; }
    HRESULT SetStatus(VDS_DRIVE_STATUS) override { return E_NOTIMPL; }
};

struct NullVdsLun : IVdsLun {
    using Interface = IVdsLun;
    HRESULT GetProperties(VDS_LUN_PROP*) override { return E_NOTIMPL; }
    HRESULT GetSubSystem(IVdsSubSystem**) override { return E_NOTIMPL; }
    HRESULT GetIdentificationData(VDS_LUN_INFORMATION*) override { return E_NOTIMPL; }
    HRESULT QueryActiveControllers(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT Extend(ULONGLONG, VDS_OBJECT_ID*, LONG, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT Shrink(ULONGLONG, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT QueryPlexes(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT AddPlex(VDS_OBJECT_ID, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT RemovePlex(VDS_OBJECT_ID, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT Recover(IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT SetMask(LPWSTR) override { return E_NOTIMPL; }
    HRESULT Delete() override { return E_NOTIMPL; }
    HRESULT AssociateControllers(VDS_OBJECT_ID*, LONG, VDS_OBJECT_ID*, LONG) override
    {
        return E_NOTIMPL;
    }
    HRESULT QueryHints(VDS_HINTS*) override { return E_NOTIMPL; }
    HRESULT ApplyHints(VDS_HINTS*) override { return E_NOTIMPL; }
    HRESULT SetStatus(VDS_LUN_STATUS) override { return E_NOTIMPL; }
    HRESULT QueryMaxLunExtendSize(VDS_OBJECT_ID*, LONG, ULONGLONG*) override { return E_NOTIMPL; }
};

struct NullVdsLunPlex : IVdsLunPlex {
    using Interface = IVdsLunPlex;
    HRESULT GetProperties(VDS_LUN_PLEX_PROP*) override { return E_NOTIMPL; }
    HRESULT GetLun(IVdsLun**) override { return E_NOTIMPL; }
    HRESULT QueryExtents(VDS_DRIVE_EXTENT**, LONG*) override { return E_NOTIMPL; }
    HRESULT QueryHints(VDS_HINTS*) override { return E_NOTIMPL; }
    HRESULT ApplyHints(VDS_HINTS*) override { return E_NOTIMPL; }
};

struct NullVdsTarget : IVdsIscsiTarget {
    using Interface = IVdsIscsiTarget;
    HRESULT GetProperties(VDS_ISCSI_TARGET_PROP*) override { return E_NOTIMPL; }
    HRESULT GetSubSystem(IVdsSubSystem**) override { return E_NOTIMPL; }
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

struct NullVdsPortalGroup : IVdsIscsiPortalGroup {
    using Interface = IVdsIscsiPortalGroup;
    HRESULT GetProperties(VDS_ISCSI_PORTALGROUP_PROP*) override { return E_NOTIMPL; }
    HRESULT GetTarget(IVdsIscsiTarget**) override { return E_NOTIMPL; }
    HRESULT QueryAssociatedPortals(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT AddPortal(VDS_OBJECT_ID, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT RemovePortal(VDS_OBJECT_ID, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT Delete(IVdsAsync**) override { return E_NOTIMPL; }
};

struct NullVdsPortal : IVdsIscsiPortal {
    using Interface = IVdsIscsiPortal;
    HRESULT GetProperties(VDS_ISCSI_PORTAL_PROP*) override { return E_NOTIMPL; }
    HRESULT GetSubSystem(IVdsSubSystem**) override { return E_NOTIMPL; }
    HRESULT QueryAssociatedPortalGroups(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT SetStatus(VDS_ISCSI_PORTAL_STATUS) override { return E_NOTIMPL; }
    HRESULT SetIpsecTunnelAddress(VDS_IPADDRESS*, VDS_IPADDRESS*) override { return E_NOTIMPL; }
    HRESULT GetIpsecSecurity(VDS_IPADDRESS*, ULONGLONG*) override { return E_NOTIMPL; }
    HRESULT SetIpsecSecurity(VDS_IPADDRESS*, ULONGLONG, VDS_ISCSI_IPSEC_KEY*) override
    {
        return E_NOTIMPL;
    }
};
