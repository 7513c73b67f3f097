// The VDS interfaces a hardware provider implements, with the published method names,
// parameter lists and slot order. IIDs: fixed values of our own (nothing outside this
// program compares them with the platform's).
#pragma once

#include "platform/com/Unknown.h"
#include "platform/vds/VdsTypes.h"

struct IVdsDrive;
struct IVdsIscsiTarget;
struct IVdsLun;
struct IVdsProvider;
struct IVdsSubSystem;

// ---- enumeration, asynchronous operations, notifications, provider ---------------------

// Enumerator of VDS objects handed out by every Query... method.
inline constexpr IID IID_IEnumVdsObject =
    {0xFB77085A, 0x3F50, 0x43B7, {0x85, 0xA1, 0x44, 0x70, 0x8F, 0xE1, 0x4A, 0xD6}};
struct IEnumVdsObject : IUnknown {
    static constexpr const IID& iid = IID_IEnumVdsObject;

    virtual HRESULT Next(ULONG celt, IUnknown** ppObjectArray, ULONG* pcFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumVdsObject** ppEnum) = 0;

protected:
    ~IEnumVdsObject() = default;
};

// An operation that completes later; the caller waits for it and collects its output.
inline constexpr IID IID_IVdsAsync =
    {0x155DE480, 0x3BA5, 0x49B9, {0xA1, 0x1C, 0x85, 0x47, 0x50, 0xE0, 0xB0, 0x37}};
struct IVdsAsync : IUnknown {
    static constexpr const IID& iid = IID_IVdsAsync;

    virtual HRESULT Cancel() = 0;
    virtual HRESULT Wait(HRESULT* pHrResult, VDS_ASYNC_OUTPUT* pAsyncOut) = 0;
    virtual HRESULT QueryStatus(HRESULT* pHrResult, ULONG* pulPercentCompleted) = 0;

protected:
    ~IVdsAsync() = default;
};

// VDS's sink for provider notifications. The records stay owned by the caller.
inline constexpr IID IID_IVdsAdviseSink =
    {0xB6D9781A, 0xEE74, 0x43AC, {0x95, 0x9E, 0x9F, 0x7F, 0xC8, 0x1D, 0x1D, 0xD0}};
struct IVdsAdviseSink : IUnknown {
    static constexpr const IID& iid = IID_IVdsAdviseSink;

    virtual HRESULT OnNotify(LONG lNumberOfNotifications, VDS_NOTIFICATION* pNotificationArray) = 0;

protected:
    ~IVdsAdviseSink() = default;
};

inline constexpr IID IID_IVdsProvider =
    {0xE99FC714, 0x9544, 0x49EA, {0x8D, 0x88, 0xCE, 0x19, 0x36, 0x51, 0xCC, 0x58}};
struct IVdsProvider : IUnknown {
    static constexpr const IID& iid = IID_IVdsProvider;

    virtual HRESULT GetProperties(VDS_PROVIDER_PROP* pProviderProp) = 0;

protected:
    ~IVdsProvider() = default;
};

// What VDS calls on a provider it loaded.
inline constexpr IID IID_IVdsProviderPrivate =
    {0xCC1A2685, 0x9D65, 0x4690, {0xA8, 0x50, 0x4A, 0xED, 0x05, 0x50, 0x30, 0xE9}};
struct IVdsProviderPrivate : IUnknown {
    static constexpr const IID& iid = IID_IVdsProviderPrivate;

    virtual HRESULT GetObject(VDS_OBJECT_ID ObjectId, VDS_OBJECT_TYPE type,
                              IUnknown** ppObjectUnk) = 0;
    virtual HRESULT OnLoad(LPWSTR pwszMachineName, IUnknown* pCallbackObject) = 0;
    virtual HRESULT OnUnload(BOOL bForceUnload) = 0;

protected:
    ~IVdsProviderPrivate() = default;
};

inline constexpr IID IID_IVdsHwProvider =
    {0x3DA1A1F4, 0xD39E, 0x44F3, {0xA6, 0xCA, 0xA5, 0x83, 0xBD, 0xCB, 0xFF, 0xC9}};
struct IVdsHwProvider : IUnknown {
    static constexpr const IID& iid = IID_IVdsHwProvider;

    virtual HRESULT QuerySubSystems(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT Reenumerate() = 0;
    virtual HRESULT Refresh() = 0;

protected:
    ~IVdsHwProvider() = default;
};

inline constexpr IID IID_IVdsHwProviderPrivate =
    {0x75A05302, 0x1F4D, 0x4C82, {0x8F, 0x2D, 0xC1, 0xE4, 0x70, 0x23, 0xC1, 0x55}};
struct IVdsHwProviderPrivate : IUnknown {
    static constexpr const IID& iid = IID_IVdsHwProviderPrivate;

    virtual HRESULT QueryIfCreatedLun(LPWSTR pwszDevicePath,
                                      VDS_LUN_INFORMATION* pVdsLunInformation,
                                      VDS_OBJECT_ID* pLunId) = 0;

protected:
    ~IVdsHwProviderPrivate() = default;
};

inline constexpr IID IID_IVdsHwProviderType =
    {0x5EF76C09, 0x3C01, 0x4C0C, {0x90, 0x03, 0x98, 0x7D, 0xAF, 0xC7, 0x93, 0x38}};
struct IVdsHwProviderType : IUnknown {
    static constexpr const IID& iid = IID_IVdsHwProviderType;

    virtual HRESULT GetProviderType(VDS_HWPROVIDER_TYPE* pType) = 0;

protected:
    ~IVdsHwProviderType() = default;
};

inline constexpr IID IID_IVdsProviderSupport =
    {0x80331516, 0xA4C5, 0x464D, {0x88, 0x68, 0x00, 0x00, 0x25, 0x42, 0x0E, 0xC1}};
struct IVdsProviderSupport : IUnknown {
    static constexpr const IID& iid = IID_IVdsProviderSupport;

    virtual HRESULT GetVersionSupport(ULONG* ulVersionSupport) = 0;

protected:
    ~IVdsProviderSupport() = default;
};

// ---- objects of a hardware provider ----------------------------------------------------

inline constexpr IID IID_IVdsSubSystem =
    {0x4FF0D3BD, 0x95E0, 0x4F55, {0x80, 0xF8, 0xDA, 0x5B, 0xE0, 0xF7, 0xC3, 0xCF}};
struct IVdsSubSystem : IUnknown {
    static constexpr const IID& iid = IID_IVdsSubSystem;

    virtual HRESULT GetProperties(VDS_SUB_SYSTEM_PROP* pSubSystemProp) = 0;
    virtual HRESULT GetProvider(IVdsProvider** ppProvider) = 0;
    virtual HRESULT QueryControllers(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT QueryLuns(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT QueryDrives(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT GetDrive(SHORT sBusNumber, SHORT sSlotNumber, IVdsDrive** ppDrive) = 0;
    virtual HRESULT Reenumerate() = 0;
    virtual HRESULT SetControllerStatus(VDS_OBJECT_ID* pOnlineControllerIdArray,
                                        LONG lNumberOfOnlineControllers,
                                        VDS_OBJECT_ID* pOfflineControllerIdArray,
                                        LONG lNumberOfOfflineControllers) = 0;
    virtual HRESULT CreateLun(VDS_LUN_TYPE type, ULONGLONG ullSizeInBytes,
                              VDS_OBJECT_ID* pDriveIdArray, LONG lNumberOfDrives,
                              LPWSTR pwszUnmaskingList, VDS_HINTS* pHints, IVdsAsync** ppAsync) = 0;
    virtual HRESULT ReplaceDrive(VDS_OBJECT_ID DriveToBeReplaced,
                                 VDS_OBJECT_ID ReplacementDrive) = 0;
    virtual HRESULT SetStatus(VDS_SUB_SYSTEM_STATUS status) = 0;
    virtual HRESULT QueryMaxLunCreateSize(VDS_LUN_TYPE type, VDS_OBJECT_ID* pDriveIdArray,
                                          LONG lNumberOfDrives, VDS_HINTS* pHints,
                                          ULONGLONG* pullMaxLunSize) = 0;

protected:
    ~IVdsSubSystem() = default;
};

inline constexpr IID IID_IVdsSubSystemNaming =
    {0xB63D8D04, 0x5150, 0x4A11, {0xB2, 0x7D, 0x0B, 0xE4, 0x23, 0xED, 0x58, 0xAD}};
struct IVdsSubSystemNaming : IUnknown {
    static constexpr const IID& iid = IID_IVdsSubSystemNaming;

    virtual HRESULT SetFriendlyName(LPWSTR pwszFriendlyName) = 0;

protected:
    ~IVdsSubSystemNaming() = default;
};

inline constexpr IID IID_IVdsSubSystemIscsi =
    {0xE3F24AB3, 0x515F, 0x47F0, {0xA5, 0x55, 0xF8, 0x17, 0x24, 0xFC, 0x2D, 0xDE}};
struct IVdsSubSystemIscsi : IUnknown {
    static constexpr const IID& iid = IID_IVdsSubSystemIscsi;

    virtual HRESULT QueryTargets(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT QueryPortals(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT CreateTarget(LPWSTR pwszIscsiName, LPWSTR pwszFriendlyName,
                                 IVdsAsync** ppAsync) = 0;
    virtual HRESULT SetIpsecGroupPresharedKey(VDS_ISCSI_IPSEC_KEY* pIpsecKey) = 0;

protected:
    ~IVdsSubSystemIscsi() = default;
};

inline constexpr IID IID_IVdsMaintenance =
    {0xEE6B704C, 0x951E, 0x4364, {0x87, 0x66, 0x3A, 0xD0, 0xB3, 0x9D, 0x46, 0x00}};
struct IVdsMaintenance : IUnknown {
    static constexpr const IID& iid = IID_IVdsMaintenance;

    virtual HRESULT StartMaintenance(VDS_MAINTENANCE_OPERATION operation) = 0;
    virtual HRESULT StopMaintenance(VDS_MAINTENANCE_OPERATION operation) = 0;
    virtual HRESULT PulseMaintenance(VDS_MAINTENANCE_OPERATION operation, ULONG ulCount) = 0;

protected:
    ~IVdsMaintenance() = default;
};

inline constexpr IID IID_IVdsController =
    {0xA1788FAC, 0x323C, 0x402B, {0xBF, 0xBB, 0x83, 0x4F, 0x5C, 0xFF, 0x8F, 0xF8}};
struct IVdsController : IUnknown {
    static constexpr const IID& iid = IID_IVdsController;

    virtual HRESULT GetProperties(VDS_CONTROLLER_PROP* pControllerProp) = 0;
    virtual HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) = 0;
    virtual HRESULT GetPortProperties(SHORT sPortNumber, VDS_PORT_PROP* pPortProp) = 0;
    virtual HRESULT FlushCache() = 0;
    virtual HRESULT InvalidateCache() = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT QueryAssociatedLuns(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT SetStatus(VDS_CONTROLLER_STATUS status) = 0;

protected:
    ~IVdsController() = default;
};

inline constexpr IID IID_IVdsControllerControllerPort =
    {0xE5B520F2, 0x5302, 0x46C2, {0x86, 0x1F, 0x32, 0xCB, 0xC3, 0x17, 0x6A, 0xFA}};
struct IVdsControllerControllerPort : IUnknown {
    static constexpr const IID& iid = IID_IVdsControllerControllerPort;

    virtual HRESULT QueryControllerPorts(IEnumVdsObject** ppEnum) = 0;

protected:
    ~IVdsControllerControllerPort() = default;
};

// One port of a controller, as IVdsControllerControllerPort enumerates them.
inline constexpr IID IID_IVdsControllerPort =
    {0x3B7C5D21, 0x9E4A, 0x4F60, {0xA1, 0x8D, 0x52, 0x0C, 0xE7, 0x36, 0x94, 0xB5}};
struct IVdsControllerPort : IUnknown {
    static constexpr const IID& iid = IID_IVdsControllerPort;

    virtual HRESULT GetProperties(VDS_PORT_PROP* pPortProp) = 0;
    virtual HRESULT GetController(IVdsController** ppController) = 0;
    virtual HRESULT QueryAssociatedLuns(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT SetStatus(VDS_PORT_STATUS status) = 0;

protected:
    ~IVdsControllerPort() = default;
};

inline constexpr IID IID_IVdsDrive =
    {0xE57D512C, 0xD5EC, 0x41CE, {0x89, 0x5C, 0x7D, 0x83, 0x8E, 0x44, 0x1C, 0x2F}};
struct IVdsDrive : IUnknown {
    static constexpr const IID& iid = IID_IVdsDrive;

    virtual HRESULT GetProperties(VDS_DRIVE_PROP* pDriveProp) = 0;
    virtual HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) = 0;
    virtual HRESULT QueryExtents(VDS_DRIVE_EXTENT** ppExtentArray, LONG* plNumberOfExtents) = 0;
    virtual HRESULT SetFlags(ULONG ulFlags) = 0;
    virtual HRESULT ClearFlags(ULONG ulFlags) = 0;
    virtual HRESULT SetStatus(VDS_DRIVE_STATUS status) = 0;

protected:
    ~IVdsDrive() = default;
};

inline constexpr IID IID_IVdsLun =
    {0x15040254, 0xF27D, 0x4A6A, {0x90, 0xF1, 0xDC, 0x18, 0x29, 0x58, 0xC8, 0xA6}};
struct IVdsLun : IUnknown {
    static constexpr const IID& iid = IID_IVdsLun;

    virtual HRESULT GetProperties(VDS_LUN_PROP* pLunProp) = 0;
    virtual HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) = 0;
    virtual HRESULT GetIdentificationData(VDS_LUN_INFORMATION* pLunInfo) = 0;
    virtual HRESULT QueryActiveControllers(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT Extend(ULONGLONG ullNumberOfBytesToAdd, VDS_OBJECT_ID* pDriveIdArray,
                           LONG lNumberOfDrives, IVdsAsync** ppAsync) = 0;
    virtual HRESULT Shrink(ULONGLONG ullNumberOfBytesToRemove, IVdsAsync** ppAsync) = 0;
    virtual HRESULT QueryPlexes(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT AddPlex(VDS_OBJECT_ID lunId, IVdsAsync** ppAsync) = 0;
    virtual HRESULT RemovePlex(VDS_OBJECT_ID plexId, IVdsAsync** ppAsync) = 0;
    virtual HRESULT Recover(IVdsAsync** ppAsync) = 0;
    virtual HRESULT SetMask(LPWSTR pwszUnmaskingList) = 0;
    virtual HRESULT Delete() = 0;
    virtual HRESULT AssociateControllers(VDS_OBJECT_ID* pActiveControllerIdArray,
                                         LONG lNumberOfActiveControllers,
                                         VDS_OBJECT_ID* pInactiveControllerIdArray,
                                         LONG lNumberOfInactiveControllers) = 0;
    virtual HRESULT QueryHints(VDS_HINTS* pHints) = 0;
    virtual HRESULT ApplyHints(VDS_HINTS* pHints) = 0;
    virtual HRESULT SetStatus(VDS_LUN_STATUS status) = 0;
    virtual HRESULT QueryMaxLunExtendSize(VDS_OBJECT_ID* pDriveIdArray, LONG lNumberOfDrives,
                                          ULONGLONG* pullMaxBytesToBeAdded) = 0;

protected:
    ~IVdsLun() = default;
};

inline constexpr IID IID_IVdsLunNaming =
    {0xE2612026, 0x491A, 0x4F42, {0xA1, 0x01, 0xF8, 0xD8, 0x0B, 0x6E, 0x14, 0x7D}};
struct IVdsLunNaming : IUnknown {
    static constexpr const IID& iid = IID_IVdsLunNaming;

    virtual HRESULT SetFriendlyName(LPWSTR pwszFriendlyName) = 0;

protected:
    ~IVdsLunNaming() = default;
};

inline constexpr IID IID_IVdsLunIscsi =
    {0xD7D25929, 0x2052, 0x419E, {0x8D, 0xF9, 0x88, 0xE2, 0x0B, 0xC8, 0xA9, 0x43}};
struct IVdsLunIscsi : IUnknown {
    static constexpr const IID& iid = IID_IVdsLunIscsi;

    virtual HRESULT AssociateTargets(VDS_OBJECT_ID* pTargetIdArray, LONG lNumberOfTargets) = 0;
    virtual HRESULT QueryAssociatedTargets(IEnumVdsObject** ppEnum) = 0;

protected:
    ~IVdsLunIscsi() = default;
};

inline constexpr IID IID_IVdsLunPlex =
    {0xC7F70DC8, 0x3A46, 0x4260, {0x8B, 0x37, 0x24, 0xC6, 0xA2, 0x42, 0x70, 0x04}};
struct IVdsLunPlex : IUnknown {
    static constexpr const IID& iid = IID_IVdsLunPlex;

    virtual HRESULT GetProperties(VDS_LUN_PLEX_PROP* pPlexProp) = 0;
    virtual HRESULT GetLun(IVdsLun** ppLun) = 0;
    virtual HRESULT QueryExtents(VDS_DRIVE_EXTENT** ppExtentArray, LONG* plNumberOfExtents) = 0;
    virtual HRESULT QueryHints(VDS_HINTS* pHints) = 0;
    virtual HRESULT ApplyHints(VDS_HINTS* pHints) = 0;

protected:
    ~IVdsLunPlex() = default;
};

inline constexpr IID IID_IVdsIscsiTarget =
    {0xADA01FA0, 0x52B0, 0x47F0, {0x87, 0x30, 0x89, 0xBB, 0xC0, 0xA5, 0x62, 0x3F}};
struct IVdsIscsiTarget : IUnknown {
    static constexpr const IID& iid = IID_IVdsIscsiTarget;

    virtual HRESULT GetProperties(VDS_ISCSI_TARGET_PROP* pTargetProp) = 0;
    virtual HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) = 0;
    virtual HRESULT QueryPortalGroups(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT QueryAssociatedLuns(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT CreatePortalGroup(IVdsAsync** ppAsync) = 0;
    virtual HRESULT Delete(IVdsAsync** ppAsync) = 0;
    virtual HRESULT SetFriendlyName(LPWSTR pwszFriendlyName) = 0;
    virtual HRESULT SetSharedSecret(VDS_ISCSI_SHARED_SECRET* pTargetSharedSecret,
                                    LPWSTR pwszInitiatorName) = 0;
    virtual HRESULT RememberInitiatorSharedSecret(
        LPWSTR pwszInitiatorName, VDS_ISCSI_SHARED_SECRET* pInitiatorSharedSecret) = 0;
    virtual HRESULT GetConnectedInitiators(LPWSTR** pppwszInitiatorList,
                                           LONG* plNumberOfInitiators) = 0;

protected:
    ~IVdsIscsiTarget() = default;
};

inline constexpr IID IID_IVdsIscsiPortalGroup =
    {0x655D865C, 0x1078, 0x4BE8, {0xA6, 0xBD, 0x68, 0x6E, 0xC3, 0x16, 0xC3, 0xC3}};
struct IVdsIscsiPortalGroup : IUnknown {
    static constexpr const IID& iid = IID_IVdsIscsiPortalGroup;

    virtual HRESULT GetProperties(VDS_ISCSI_PORTALGROUP_PROP* pPortalGroupProp) = 0;
    virtual HRESULT GetTarget(IVdsIscsiTarget** ppTarget) = 0;
    virtual HRESULT QueryAssociatedPortals(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT AddPortal(VDS_OBJECT_ID portalId, IVdsAsync** ppAsync) = 0;
    virtual HRESULT RemovePortal(VDS_OBJECT_ID portalId, IVdsAsync** ppAsync) = 0;
    virtual HRESULT Delete(IVdsAsync** ppAsync) = 0;

protected:
    ~IVdsIscsiPortalGroup() = default;
};

inline constexpr IID IID_IVdsIscsiPortal =
    {0x3449437C, 0x62D4, 0x4684, {0x80, 0xDD, 0x27, 0x87, 0x8B, 0xE1, 0x73, 0x4B}};
struct IVdsIscsiPortal : IUnknown {
    static constexpr const IID& iid = IID_IVdsIscsiPortal;

    virtual HRESULT GetProperties(VDS_ISCSI_PORTAL_PROP* pPortalProp) = 0;
    virtual HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) = 0;
    virtual HRESULT QueryAssociatedPortalGroups(IEnumVdsObject** ppEnum) = 0;
    virtual HRESULT SetStatus(VDS_ISCSI_PORTAL_STATUS status) = 0;
    virtual HRESULT SetIpsecTunnelAddress(VDS_IPADDRESS* pTunnelAddress,
                                          VDS_IPADDRESS* pDestinationAddress) = 0;
    virtual HRESULT GetIpsecSecurity(VDS_IPADDRESS* pInitiatorPortalAddress,
                                     ULONGLONG* pullSecurityFlags) = 0;
    virtual HRESULT SetIpsecSecurity(VDS_IPADDRESS* pInitiatorPortalAddress,
                                     ULONGLONG ullSecurityFlags,
                                     VDS_ISCSI_IPSEC_KEY* pIpsecKey) = 0;

protected:
    ~IVdsIscsiPortal() = default;
};
