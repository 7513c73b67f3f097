// COrvSubSystem: the VDS subsystem object of one managed Corvane array.
//
// The provider makes one per entry of the managed-array list, hands it the array's host
// (AddCorvane) and logs it in (LogIn, Reconnect). The subsystem owns the array connection
// handle and the facades through which every other object of the array reaches it, the
// lists of the array's controllers, drives, LUNs, portals, targets and portal groups, and
// derives the subsystem's VDS properties, status and health from the connection and the
// array (updateVdsStatus). The refresh of the lists (Validate/Fetch/Reconcile/Add per kind,
// ReceiveIndication) lives in COrvSubSystem_Refresh.cpp.
//
// LogIn and Reconnect talk to the array (connect, firmware check, subscriptions, system
// facades) without taking the provider's or the subsystem's lock, and take them only to
// adopt the result; a caller that holds the provider lock (the configuration interface)
// still holds it throughout, but the provider's background thread calls them after it has
// let go, so an array that does not answer no longer stops every other array's commands
// for the length of its time-outs. Only one log-in or reconnect of an array runs at a time;
// another one meanwhile returns S_OK at once and its outcome shows in the status. LogIn
// sets the connection's request time-out (the provider's ArrayRequestTimeout, five minutes
// in the product) before it connects rather than after, so that an array that takes the TCP
// connection but never answers cannot hold the log-in for ever. GetConnectionStatus reports
// a connection that is up without the system facade (a log-in that stopped half-way) as
// lost rather than connected, so that the provider's reconciliation finishes it with a
// reconnect.
//
// Threads: VDS's COM threads and the provider's background thread (indications and the
// reconciliation). Lock order: the provider's lock (100) before the subsystem's (200);
// the list locks and the objects' own locks after those; the notifier last. Every method
// holds the subsystem lock for its whole body; methods that need the provider take its
// lock first.
#pragma once

#include <atomic>
#include <optional>

#include "platform/com/CComObject.h"
#include "platform/vds/VdsInterfaces.h"
#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/indications/ServiceIndication.h"
#include "user_agent/services/Service_Controller.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskList.h"
#include "user_agent/services/Service_VolumeList.h"
#include "user_agent/services/Service_iSCSI.h"
#include "vds/framework/CVdsObjectBase.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/framework/VdsControllerList.h"
#include "vds/framework/VdsDriveList.h"
#include "vds/framework/VdsLunList.h"
#include "vds/framework/VdsPortalGroupList.h"
#include "vds/framework/VdsPortalList.h"
#include "vds/framework/VdsTargetList.h"
#include "vds/objects/COrvController.h"
#include "vds/objects/COrvDrive.h"
#include "vds/objects/COrvLun.h"
#include "vds/objects/COrvPortal.h"
#include "vds/objects/COrvPortalGroup.h"
#include "vds/objects/COrvTarget.h"
#include "vds/objects/HeldFacade.h"
#include "vds/objects/VdsHeldObject.h"
#include "vds/objects/VdsMemberByService.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class COrvVdsProvider;
class CVdsAsyncObject;
struct ControllerRefresh;
struct DriveRefresh;
struct LunRefresh;
struct TargetRefresh;
struct PortalRefresh;

class COrvSubSystem : public CComObjectRootEx,
                      public IOrvSubSystem,
                      public IVdsSubSystem,
                      public IVdsSubSystemNaming,
                      public IVdsSubSystemIscsi,
                      public IVdsMaintenance,
                      public IOrvSubsystemPrivate,
                      public CVdsObjectBase<VDS_OT_SUB_SYSTEM> {
public:
    using ComMap = ComInterfaceMap<IOrvSubSystem, IVdsSubSystem, IVdsSubSystemNaming,
                                   IVdsSubSystemIscsi, IVdsMaintenance, IOrvSubsystemPrivate>;

    // The connection status that GetConnectionStatus answers (the texts of strings 2110 to
    // 2150 of the program's table follow this order).
    enum CorvaneStatus : ULONG {
        kConnecting = 0,
        kNotReachable = 1,
        kAuthorizationFailed = 2,
        kConnected = 3,
        kLostConnection = 4,
    };

    // What a refresh compares: array objects by instance identity (their facades' path
    // without host), and the list members that stand for them.
    using Identities = std::vector<std::string>;
    using Known = std::unordered_set<std::string>;
    using MemberIndex = std::unordered_map<std::string, VDS_OBJECT_ID>;

    COrvSubSystem();
    ~COrvSubSystem() override;

    HRESULT FinalConstruct();
    void FinalRelease();

    std::string className() const override { return "COrvSubSystem"; }

    // ---- IOrvSubsystemPrivate -------------------------------------------------------------
    HRESULT AddCorvane(BSTR HostAddress) override;
    HRESULT GetConnectionStatus(ULONG* pStatus) override;
    HRESULT LogIn(BSTR UserName, BSTR Password) override;
    HRESULT Reconnect() override;
    // Connected with the system facade in hand; under the subsystem lock alone, so a
    // thread that holds no lock may ask (GetConnectionStatus wants the provider lock first).
    bool IsLoggedIn();
    HRESULT GetHostAddress(BSTR* pHostAddress) override;

    // ---- IVdsSubSystem --------------------------------------------------------------------
    HRESULT GetProperties(VDS_SUB_SYSTEM_PROP* pSubSystemProp) override;
    HRESULT GetProvider(IVdsProvider** ppProvider) override;
    HRESULT QueryControllers(IEnumVdsObject** ppEnum) override;
    HRESULT QueryLuns(IEnumVdsObject** ppEnum) override;
    HRESULT QueryDrives(IEnumVdsObject** ppEnum) override;
    HRESULT GetDrive(SHORT sBusNumber, SHORT sSlotNumber, IVdsDrive** ppDrive) override;
    HRESULT Reenumerate() override;
    HRESULT SetStatus(VDS_SUB_SYSTEM_STATUS status) override;
    // Drive replacement and controller status (COrvSubSystem_Hardware.cpp).
    HRESULT SetControllerStatus(VDS_OBJECT_ID* pOnlineControllerIdArray,
                                LONG lNumberOfOnlineControllers,
                                VDS_OBJECT_ID* pOfflineControllerIdArray,
                                LONG lNumberOfOfflineControllers) override;
    // LUN creation (COrvSubSystem_Luns.cpp): the array's refusal shows in the returned
    // IVdsAsync, not in the method's result.
    HRESULT CreateLun(VDS_LUN_TYPE type, ULONGLONG ullSizeInBytes, VDS_OBJECT_ID* pDriveIdArray,
                      LONG lNumberOfDrives, LPWSTR pwszUnmaskingList, VDS_HINTS* pHints,
                      IVdsAsync** ppAsync) override;
    HRESULT ReplaceDrive(VDS_OBJECT_ID DriveToBeReplaced, VDS_OBJECT_ID ReplacementDrive) override;
    // S_OK with 0 when the array cannot tell.
    HRESULT QueryMaxLunCreateSize(VDS_LUN_TYPE type, VDS_OBJECT_ID* pDriveIdArray,
                                  LONG lNumberOfDrives, VDS_HINTS* pHints,
                                  ULONGLONG* pullMaxLunSize) override;

    // ---- IVdsSubSystemNaming, IVdsSubSystemIscsi, IVdsMaintenance -------------------------
    HRESULT SetFriendlyName(LPWSTR pwszFriendlyName) override;
    HRESULT QueryTargets(IEnumVdsObject** ppEnum) override;
    HRESULT QueryPortals(IEnumVdsObject** ppEnum) override;
    HRESULT CreateTarget(LPWSTR, LPWSTR, IVdsAsync**) override { return VDS_E_NOT_SUPPORTED; }
    HRESULT SetIpsecGroupPresharedKey(VDS_ISCSI_IPSEC_KEY*) override
    {
        return VDS_E_NOT_SUPPORTED;
    }
    HRESULT StartMaintenance(VDS_MAINTENANCE_OPERATION) override;
    HRESULT StopMaintenance(VDS_MAINTENANCE_OPERATION) override;
    HRESULT PulseMaintenance(VDS_MAINTENANCE_OPERATION, ULONG) override;

    // ---- for the provider and the sibling objects ------------------------------------------

    // Stores the provider GUID and announces the subsystem (arrival).
    HRESULT SetService(GUID providerId);
    // A copy of the system facade (empty before a log-in).
    Merrow::UserAgent::Service_CorvaneSystem GetService();
    HRESULT InitializeSublists(GUID ownerId);
    HRESULT GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk);
    HRESULT DeleteSubObject(VDS_OBJECT_ID id);
    HRESULT Dispose();

    // The LUN of this array whose identification carries the serial number of pInfo;
    // *pLunId stays null when none does. S_FALSE when pInfo identifies nothing.
    HRESULT QueryIfCreatedLun(LPWSTR pwszDevicePath, VDS_LUN_INFORMATION* pInfo,
                              VDS_OBJECT_ID* pLunId);
    // The volume composition of a LUN of `type` with `pHints` (null: no hints).
    Merrow::UserAgent::UAEnums::VolumeCompositionName
    GetVolumeCompositionFromHints(VDS_LUN_TYPE type, const VDS_HINTS* pHints);

    // A service indication of the array client library (the provider's background thread):
    // the lists it concerns are reconciled and VDS is told. S_OK when a step succeeded.
    HRESULT ReceiveIndication(const Merrow::UserAgent::ServiceIndication& indication);
    using CVdsObjectBase::ReceiveIndication;

    // The refresh steps the sibling objects run before they walk a list.
    void ValidateControllers();
    void ValidateDrives();
    void ValidateLUNs();
    void ValidateTargets();
    void ValidatePortals();
    void ValidateDiskList();

    // The array objects of one kind, as the lists hold them now (no refresh).
    std::vector<VDS_OBJECT_ID> ControllerIds();
    std::vector<VDS_OBJECT_ID> DriveIds();
    std::vector<VDS_OBJECT_ID> LunIds();
    std::vector<VDS_OBJECT_ID> TargetIds();
    std::vector<VDS_OBJECT_ID> PortalIds();

    // ---- drives and controllers (COrvSubSystem_Hardware.cpp) -------------------------------

    // The subsystem `subSystemId` of the provider, held for the caller; empty when either
    // is gone.
    static VdsHeldObject<COrvSubSystem> Find(const GUID& providerGuid,
                                             const VDS_OBJECT_ID& subSystemId);
    // The LUN that stands for `volume`; empty when the LUN list has none.
    VdsHeldObject<COrvLun> FindLunFor(const Merrow::UserAgent::MerrowService& volume);
    // The drive that stands for `disk`; empty when the drive list has none.
    VdsHeldObject<COrvDrive> FindDriveFor(const Merrow::UserAgent::MerrowService& disk);
    // How many drives the array keeps as spares for the provider's marking: 0 while the
    // array is reachable (it reports none), -1 without a system facade.
    LONG SpareCount();
    // Walks the drives in list order and gives the hot-spare flag to drives without
    // extents while fewer than `limit` are marked; every other drive loses it. The caller
    // holds the provider and subsystem locks.
    void MarkSpares(LONG limit);

private:
    friend struct ControllerRefresh;
    friend struct DriveRefresh;
    friend struct LunRefresh;
    friend struct TargetRefresh;
    friend struct PortalRefresh;

    // Rebuilds m_pSubSystemProp from the connection and the array.
    HRESULT updateVdsStatus();
    HRESULT setName(LPWSTR name);
    HRESULT getDrive(SHORT sBusNumber, SHORT sSlotNumber, VDS_OBJECT_ID& id);
    HRESULT setControllerStatus(const std::vector<VDS_OBJECT_ID>& online,
                                const std::vector<VDS_OBJECT_ID>& offline);
    template <class T> VdsHeldObject<T> holdSubObject(const VDS_OBJECT_ID& id, VDS_OBJECT_TYPE type);
    template <class T, class List>
    VdsHeldObject<T> findStandingFor(List& list, VDS_OBJECT_TYPE type,
                                     const Merrow::UserAgent::MerrowService& item);
    // The status texts and values of the connection status.
    VDS_SUB_SYSTEM_STATUS statusFromConnection(std::int32_t state, const std::string& host);
    VDS_HEALTH healthFromArray();
    HRESULT storeNames(const std::string& friendlyName, const std::string& identification);
    void fillCapacities();
    // The first controller the array lists; UA_E_UNEXPECTED when it lists none.
    Merrow::UserAgent::MerrowReturnValue
    readFirstController(Merrow::UserAgent::Service_Controller& first);
    // After a log-in or reconnect: the system and iSCSI facades from the connection, read
    // without any VDS lock held; adopted under the subsystem lock.
    struct SystemServices {
        Merrow::UserAgent::Service_CorvaneSystem system;
        Merrow::UserAgent::Service_iSCSI iSCSI;
    };
    static std::optional<SystemServices> fetchSystemServices(Merrow::UserAgent::CorvaneConnection& connection);
    void adoptSystemServices(const SystemServices& services);
    void deliver(ULONG event);
    // Runs `body` (answering an HRESULT) as a COM method under the provider's and this
    // subsystem's locks; E_FAIL without a provider. Defined where it is used.
    template <class Body> HRESULT underProviderLock(const char* method, Body&& body);
    // LUN creation helpers; the provider and subsystem locks are held.
    HRESULT collectDisks(const VDS_OBJECT_ID* pDriveIdArray, LONG lNumberOfDrives,
                         std::vector<Merrow::UserAgent::Service_Disk>& disks);
    std::string newVolumeName(const Merrow::UserAgent::UAEnums::VolumeCompositionName& composition);
    void createVolumeFor(VDS_LUN_TYPE type, ULONGLONG sizeInBytes,
                         const std::vector<Merrow::UserAgent::Service_Disk>& disks,
                         LPWSTR pwszUnmaskingList, const VDS_HINTS& hints,
                         CVdsAsyncObject& async);
    // A new LUN for `volume` in the LUN list (COrvSubSystem_Refresh.cpp); null on failure.
    CComPtr<CComObject<COrvLun>> AddLun(const Merrow::UserAgent::Service_Volume& volume);
    HRESULT matchLun(const VDS_OBJECT_ID& id, const char* serialNumber, VDS_OBJECT_ID& found);
    COrvVdsProvider* provider() const;

    template <class Kind> HRESULT Query(IEnumVdsObject** ppEnum);
    template <class Kind> void Validate();
    template <class Kind> void Fetch();
    // Both halves of a reconcile on one read of the array; skipped while the array's list
    // keeps the generation it was last reconciled with in full.
    template <class Kind> HRESULT Reconcile();
    // Adds the items the list lacks; with `announce`, each with its arrival notification.
    // `fresh` holds facades only for what the list did not hold alive (`index` finds the
    // members whose facade was lost, which take the fresh one).
    template <class Kind>
    HRESULT addMissing(const Merrow::UserAgent::MerrowReturnValue& read, const MemberIndex& index,
                       const std::vector<typename Kind::Service>& fresh, bool announce,
                       bool& complete);
    // Drops the members whose identity the array no longer lists.
    template <class Kind>
    HRESULT removeGone(const Merrow::UserAgent::MerrowReturnValue& read, const Known& present);
    // The membership generation of the kind's list in the client library; kNoGeneration
    // when it cannot be read.
    template <class Kind> std::uint64_t currentGeneration();
    // Every kind is reconciled in full next time.
    void forgetReconciled();
    template <class Kind>
    CComPtr<CComObject<typename Kind::Object>> Add(const typename Kind::Service& service);
    template <class Kind> std::vector<VDS_OBJECT_ID> Ids();
    template <class List>
    HRESULT offerToMembers(List& list, VdsMemberByService<List>& byService,
                           const Merrow::UserAgent::ServiceIndication& indication,
                           VDS_NOTIFICATION_TARGET_TYPE type, ULONG modifyEvent);
    template <class Kind>
    void setUp(typename Kind::Object& object, const typename Kind::Service& service);
    bool sameService(const Merrow::UserAgent::MerrowService& handle,
                     const Merrow::UserAgent::MerrowService& source) const;

    // The cached record; its two strings point into m_FriendlyName and m_Identification.
    VDS_SUB_SYSTEM_PROP m_pSubSystemProp{};
    std::u16string m_FriendlyName;
    std::u16string m_Identification;
    Merrow::UserAgent::CorvaneConnection m_Connection;
    Merrow::UserAgent::Service_CorvaneSystem m_SystemService;
    Merrow::UserAgent::Service_DiskList m_DiskListService;
    std::vector<Merrow::UserAgent::MerrowService> m_Services;
    Merrow::UserAgent::Service_VolumeList m_VolumeListService;
    Merrow::UserAgent::Service_iSCSI m_iSCSIService;
    // The controller whose drive slots the properties report, held so that a property read
    // does not make a facade for each controller (HeldFacade.h).
    HeldFacade<Merrow::UserAgent::Service_Controller> m_SlotController;
    std::string m_HostAddress;
    // Set while a log-in or reconnect talks to the array; a second one meanwhile returns at
    // once instead of waiting out the first one's time-outs behind the connection's lock.
    std::atomic<bool> m_LogInRunning{false};
    VdsControllerList m_VdsControllerList;
    VdsDriveList m_VdsDriveList;
    VdsLunList m_VdsLunList;
    VdsPortalList m_VdsPortalList;
    VdsTargetList m_VdsTargetList;
    VdsPortalGroupList m_VdsPortalGroupList;
    // Counts the facades given to members (setUp); with the lists' own membership counts it
    // tells the notice indexes below when to rebuild. Guarded by the subsystem lock, as they are.
    std::uint64_t m_HandlesGiven = 0;
    VdsMemberByService<VdsDriveList> m_DrivesByService;
    VdsMemberByService<VdsLunList> m_LunsByService;
    VdsMemberByService<VdsTargetList> m_TargetsByService;
    VdsMemberByService<VdsPortalList> m_PortalsByService;
    VdsMemberByService<VdsPortalGroupList> m_PortalGroupsByService;
    // The last number given to a new volume whose plain name the array had already.
    unsigned long m_VolumeNameSerial = 1;
    // Per kind, the membership generation of the client library's list that the VDS list was
    // last reconciled with in full; kNoGeneration for none. Guarded by the subsystem lock.
    static constexpr std::uint64_t kNoGeneration = 0;
    struct ReconciledGenerations {
        std::uint64_t controllers = kNoGeneration;
        std::uint64_t drives = kNoGeneration;
        std::uint64_t luns = kNoGeneration;
        std::uint64_t targets = kNoGeneration;
        std::uint64_t portals = kNoGeneration;
    };
    ReconciledGenerations m_Reconciled;
    // Per kind, whether the VDS list was filled or reconciled in full since the last log-in.
    // Until then what a listing finds came with the subsystem's own arrival and is added
    // without a notification of its own; afterwards every member that appears arrives with
    // one, whether a query or an indication finds it first. Guarded by the subsystem lock.
    struct ListedKinds {
        bool controllers = false;
        bool drives = false;
        bool luns = false;
        bool targets = false;
        bool portals = false;
    };
    ListedKinds m_Listed;
};
