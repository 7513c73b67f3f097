// The subsystem's refresh: its lists of controllers, drives, LUNs, targets and portals are
// filled on first use, reconciled with the array on queries, on Reenumerate and on the
// array's indications, and every change is announced to VDS.
//
// The five kinds follow one pattern, written once as the templates below; each kind's
// table (the *Refresh structs) says which list, which array collection, which events and
// which trace texts. Lock order: provider, subsystem, then the list and the objects.
//
// A reconcile reads the array's collection once for both halves (what joined, what left),
// as identities, with facades made only for objects the list does not hold (a thousand
// facades per reconcile, each subscribing to the array's classes, made the service's memory
// and time grow with every change), and remembers the membership generation of the client
// library's cached list it matched in full; while the generation stays the same (no fetch,
// no indication that added or dropped an entry) the lists agree and the reconcile is
// skipped, so that a warm query does not even read the identities. A failed or partial reconcile, a log-in,
// a reconnect, Reenumerate and the provider's own additions and removals forget the
// generations.
//
// The first complete listing of a kind after a log-in announces nothing: those objects come
// with the subsystem's arrival. Afterwards every object that joins a list is announced,
// even when the list is empty: a list is filled silently only until it was first listed in
// full (m_Listed), not whenever it happens to be empty, so that a query on an array without
// LUNs that finds a new volume before the volume's indication does still announce it.
#include "platform/vds/VdsErrors.h"
#include "trace/Trace.h"
#include "user_agent/services/Service_Controller.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_Portal.h"
#include "user_agent/services/Service_Volume.h"
#include "user_agent/services/Service_iSCSITarget.h"
#include "vds/framework/VDSScopedLock.h"
#include "vds/framework/VdsMethodGuard.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/COrvVdsProvider.h"
#include "vds/objects/VdsProviderAccess.h"
#include "vds/objects/VdsServiceIdentity.h"

#include <algorithm>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_SUBSYSTEM;
using Merrow::Trace::TV_INFO;
using Merrow::Trace::TV_SEVERE;
using Merrow::Trace::TV_WARNING;

namespace {

// Texts of one kind's traces.
struct RefreshTexts {
    const char* emptyList;
    const char* noProvider;
    const char* found;
    const char* queryFailed;
    const char* createFailed;
    const char* getFailed;
    const char* serviceSet;
    const char* name;
};

using Identities = COrvSubSystem::Identities;
using Known = COrvSubSystem::Known;
// The list's members by the instance identity of the array object each stands for, so
// that reconciling a thousand volumes is not a thousand scans of the list.
using MemberIndex = COrvSubSystem::MemberIndex;

template <class List>
MemberIndex indexByIdentity(List& list, const std::vector<VDS_OBJECT_ID>& ids)
{
    MemberIndex index;
    for (const VDS_OBJECT_ID& id : ids) {
        if (auto object = list.Lookup(id)) {
            const std::string identity = object->GetService().GetInstanceIdentity();
            if (!identity.empty())
                index.emplace(identity, id);
        }
    }
    return index;
}

// The identities of the members whose facades still serve: the read makes facades only for
// the others (new objects, and members whose facade was lost with a link).
template <class List>
Known liveIdentities(List& list, const MemberIndex& index)
{
    Known live;
    for (const auto& [identity, id] : index) {
        auto object = list.Lookup(id);
        if (object && !object->GetService().IsServiceRemoved())
            live.insert(identity);
    }
    return live;
}

// The array's answer for a service whose objects are gone: the kind is empty now.
bool isRemoved(const MerrowReturnValue& result)
{
    return result.getCode() == MerrowReturnValue::UA_E_SERVICE_REMOVED;
}

} // namespace

// ---- the kinds ------------------------------------------------------------------------------

struct ControllerRefresh {
    using Object = COrvController;
    using Service = Service_Controller;
    static constexpr VDS_OBJECT_TYPE kType = VDS_OT_CONTROLLER;
    static constexpr ULONG kArrive = VDS_NF_CONTROLLER_ARRIVE;
    static constexpr ULONG kDepart = VDS_NF_CONTROLLER_DEPART;
    // Controllers are read once; afterwards only the system's indications reconcile them.
    static constexpr bool kReconcileOnValidate = false;
    static constexpr bool kFailedReadFailsFindAdded = true;
    static constexpr RefreshTexts kTexts{
        "m_VdsControllerList size is 0", "ProviderGuid is NULL", "Found a controller",
        "Controller query failed with return: ", "Create Object Controller Failed",
        "Get Object Controller after create Failed", "Successfully set the controller service.",
        "Controllers"};

    static VdsControllerList& List(COrvSubSystem& s) { return s.m_VdsControllerList; }
    static MerrowReturnValue Read(COrvSubSystem& s, const Known& known, Identities& identities,
                                  std::vector<Service>& items)
    {
        return s.m_SystemService.GetControllersOtherThan(known, identities, items);
    }
    // The array's two controllers are too few to be worth remembering a generation: every
    // reconcile reads them.
    static MerrowReturnValue Generation(COrvSubSystem&, std::uint64_t&)
    {
        return MerrowReturnValue(MerrowReturnValue::UA_E_NOTIMPL);
    }
    static std::uint64_t& Reconciled(COrvSubSystem& s) { return s.m_Reconciled.controllers; }
    static bool& Listed(COrvSubSystem& s) { return s.m_Listed.controllers; }
    static void SetUp(Object& object, const Service& service, const VDS_OBJECT_ID& subSystem)
    {
        object.SetService(service, subSystem);
    }
};

struct DriveRefresh {
    using Object = COrvDrive;
    using Service = Service_Disk;
    static constexpr VDS_OBJECT_TYPE kType = VDS_OT_DRIVE;
    static constexpr ULONG kArrive = VDS_NF_DRIVE_ARRIVE;
    static constexpr ULONG kDepart = VDS_NF_DRIVE_DEPART;
    static constexpr bool kReconcileOnValidate = true;
    static constexpr bool kFailedReadFailsFindAdded = false;
    static constexpr RefreshTexts kTexts{
        "m_VdsDriveList size is 0", "m_ProviderGuid is NULL", "Found a disk",
        "Disk query failed with return: ", "Create Object Disk Failed",
        "Get Object disk after create Failed", "Successfully set the disk service.", "Drives"};

    static VdsDriveList& List(COrvSubSystem& s) { return s.m_VdsDriveList; }
    static MerrowReturnValue Read(COrvSubSystem& s, const Known& known, Identities& identities,
                                  std::vector<Service>& items)
    {
        const MerrowReturnValue ready = ensureDiskList(s);
        return ready.isFailure() ? ready
                                 : s.m_DiskListService.GetDisksOtherThan(known, identities, items);
    }
    static MerrowReturnValue Generation(COrvSubSystem& s, std::uint64_t& generation)
    {
        const MerrowReturnValue ready = ensureDiskList(s);
        return ready.isFailure() ? ready : s.m_DiskListService.GetDisksGeneration(generation);
    }
    static std::uint64_t& Reconciled(COrvSubSystem& s) { return s.m_Reconciled.drives; }
    static bool& Listed(COrvSubSystem& s) { return s.m_Listed.drives; }
    static MerrowReturnValue ensureDiskList(COrvSubSystem& s)
    {
        s.ValidateDiskList();
        if (s.m_DiskListService.IsValid())
            return MerrowReturnValue();
        MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM) << "GetDiskList Failed." << MWENDREC;
        return MerrowReturnValue(MerrowReturnValue::UA_E_SERVICE_INVALID);
    }
    static void SetUp(Object& object, const Service& service, const VDS_OBJECT_ID& subSystem)
    {
        object.SetService(service, subSystem);
        object.queryExtents();
        object.InitializeFlags();
    }
};

struct LunRefresh {
    using Object = COrvLun;
    using Service = Service_Volume;
    static constexpr VDS_OBJECT_TYPE kType = VDS_OT_LUN;
    static constexpr ULONG kArrive = VDS_NF_LUN_ARRIVE;
    static constexpr ULONG kDepart = VDS_NF_LUN_DEPART;
    static constexpr bool kReconcileOnValidate = true;
    static constexpr bool kFailedReadFailsFindAdded = true;
    static constexpr RefreshTexts kTexts{
        "m_VdsLunList size is 0", "m_ProviderGuid is NULL", "Found a volume",
        "Volume query failed with return: ", "Create Object Volume Failed",
        "Get Object volume after create Failed", "Successfully set the volume service.", "LUNs"};

    static VdsLunList& List(COrvSubSystem& s) { return s.m_VdsLunList; }
    static MerrowReturnValue Read(COrvSubSystem& s, const Known& known, Identities& identities,
                                  std::vector<Service>& items)
    {
        const MerrowReturnValue ready = ensureVolumeList(s);
        return ready.isFailure()
                   ? ready
                   : s.m_VolumeListService.GetVolumesOtherThan(known, identities, items);
    }
    static MerrowReturnValue Generation(COrvSubSystem& s, std::uint64_t& generation)
    {
        const MerrowReturnValue ready = ensureVolumeList(s);
        return ready.isFailure() ? ready : s.m_VolumeListService.GetVolumesGeneration(generation);
    }
    static std::uint64_t& Reconciled(COrvSubSystem& s) { return s.m_Reconciled.luns; }
    static bool& Listed(COrvSubSystem& s) { return s.m_Listed.luns; }
    static MerrowReturnValue ensureVolumeList(COrvSubSystem& s)
    {
        if (s.m_VolumeListService.IsValid())
            return MerrowReturnValue();
        const MerrowReturnValue got = s.m_SystemService.GetServiceVolumeList(s.m_VolumeListService);
        if (got.isFailure())
            MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM) << "GetVolumeList Failed." << MWENDREC;
        return got;
    }
    static void SetUp(Object& object, const Service& service, const VDS_OBJECT_ID& subSystem)
    {
        object.SetService(service, subSystem, nullptr);
    }
};

// Targets and portals come from the iSCSI facade.
MerrowReturnValue ensureIscsi(Service_iSCSI& iSCSI, const Service_CorvaneSystem& system)
{
    if (iSCSI.IsValid() && !iSCSI.IsServiceRemoved())
        return MerrowReturnValue();
    const MerrowReturnValue got = system.GetServiceiSCSI(iSCSI);
    if (got.isFailure()) {
        MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM)
            << "iSCSI query failed with return: " << got.getCode() << MWENDREC;
    }
    return got;
}

struct TargetRefresh {
    using Object = COrvTarget;
    using Service = Service_iSCSITarget;
    static constexpr VDS_OBJECT_TYPE kType = VDS_OT_TARGET;
    static constexpr ULONG kArrive = VDS_NF_TARGET_ARRIVE;
    static constexpr ULONG kDepart = VDS_NF_TARGET_DEPART;
    static constexpr bool kReconcileOnValidate = true;
    static constexpr bool kFailedReadFailsFindAdded = false;
    static constexpr RefreshTexts kTexts{
        "m_VdsTargetList size is 0", "m_ProviderGuid is NULL", "Found a target",
        "Targets query failed with return: ", "Create Object Target Failed",
        "Get Object Target after create Failed", "Successfully set the target service.",
        "Targets"};

    static VdsTargetList& List(COrvSubSystem& s) { return s.m_VdsTargetList; }
    static MerrowReturnValue Read(COrvSubSystem& s, const Known& known, Identities& identities,
                                  std::vector<Service>& items)
    {
        const MerrowReturnValue got = ensureIscsi(s.m_iSCSIService, s.m_SystemService);
        return got.isFailure() ? got
                               : s.m_iSCSIService.GetiSCSITargetsOtherThan(known, identities, items);
    }
    static MerrowReturnValue Generation(COrvSubSystem& s, std::uint64_t& generation)
    {
        const MerrowReturnValue got = ensureIscsi(s.m_iSCSIService, s.m_SystemService);
        return got.isFailure() ? got : s.m_iSCSIService.GetiSCSITargetsGeneration(generation);
    }
    static std::uint64_t& Reconciled(COrvSubSystem& s) { return s.m_Reconciled.targets; }
    static bool& Listed(COrvSubSystem& s) { return s.m_Listed.targets; }
    static void SetUp(Object& object, const Service& service, const VDS_OBJECT_ID& subSystem)
    {
        object.SetService(service, subSystem);
    }
};

struct PortalRefresh {
    using Object = COrvPortal;
    using Service = Service_Portal;
    static constexpr VDS_OBJECT_TYPE kType = VDS_OT_PORTAL;
    static constexpr ULONG kArrive = VDS_NF_PORTAL_ARRIVE;
    static constexpr ULONG kDepart = VDS_NF_PORTAL_DEPART;
    static constexpr bool kReconcileOnValidate = true;
    static constexpr bool kFailedReadFailsFindAdded = false;
    static constexpr RefreshTexts kTexts{
        "m_VdsPortalList size is 0", "m_ProviderGuid is NULL", "Found a portal",
        "Portals query failed with return: ", "Create Object Portal Failed",
        "Get Object Portal after create Failed", "Successfully set the portal service.",
        "Portals"};

    static VdsPortalList& List(COrvSubSystem& s) { return s.m_VdsPortalList; }
    static MerrowReturnValue Read(COrvSubSystem& s, const Known& known, Identities& identities,
                                  std::vector<Service>& items)
    {
        const MerrowReturnValue got = ensureIscsi(s.m_iSCSIService, s.m_SystemService);
        return got.isFailure() ? got
                               : s.m_iSCSIService.GetPortalsOtherThan(known, identities, items);
    }
    static MerrowReturnValue Generation(COrvSubSystem& s, std::uint64_t& generation)
    {
        const MerrowReturnValue got = ensureIscsi(s.m_iSCSIService, s.m_SystemService);
        return got.isFailure() ? got : s.m_iSCSIService.GetPortalsGeneration(generation);
    }
    static std::uint64_t& Reconciled(COrvSubSystem& s) { return s.m_Reconciled.portals; }
    static bool& Listed(COrvSubSystem& s) { return s.m_Listed.portals; }
    static void SetUp(Object& object, const Service& service, const VDS_OBJECT_ID& subSystem)
    {
        object.SetService(service, subSystem);
    }
};

// ---- the pattern ----------------------------------------------------------------------------

template <class Kind> void COrvSubSystem::Validate()
{
    COrvVdsProvider* owner = provider();
    if (owner == nullptr)
        return;
    VDSScopedLock providerLock(owner);
    VDSScopedLock lock(this);
    if (Kind::List(*this).IsEmpty() && !Kind::Listed(*this)) {
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << Kind::kTexts.emptyList << MWENDREC;
        Fetch<Kind>();
    }
    if constexpr (Kind::kReconcileOnValidate)
        Reconcile<Kind>();
}

template <class Kind> void COrvSubSystem::Fetch()
{
    if (GetProviderGuid() == GUID_NULL) {
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << Kind::kTexts.noProvider << MWENDREC;
        return;
    }
    Kind::List(*this).SetProviderGuid(GetProviderGuid());
    const std::uint64_t generation = currentGeneration<Kind>();
    std::vector<typename Kind::Service> items;
    Identities identities;
    const MerrowReturnValue read = Kind::Read(*this, Known(), identities, items);
    if (read.isFailure()) {
        MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM)
            << Kind::kTexts.queryFailed << read.getCode() << MWENDREC;
        return;
    }
    bool complete = true;
    for (const auto& item : items) {
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << Kind::kTexts.found << MWENDREC;
        complete = Add<Kind>(item) && complete;
    }
    // The first fill is a whole reconcile: the next one has nothing to do until the
    // array's list changes.
    Kind::Reconciled(*this) = complete ? generation : kNoGeneration;
    if (complete)
        Kind::Listed(*this) = true;
}

template <class Kind> std::uint64_t COrvSubSystem::currentGeneration()
{
    std::uint64_t generation = kNoGeneration;
    if (Kind::Generation(*this, generation).isFailure())
        return kNoGeneration;
    return generation;
}

template <class Kind>
CComPtr<CComObject<typename Kind::Object>> COrvSubSystem::Add(const typename Kind::Service& service)
{
    VDSScopedLock lock(this);
    auto& list = Kind::List(*this);
    VDSScopedLock listLock(&list);
    if (list.GetProviderGuid() == GUID_NULL)
        list.SetProviderGuid(GetProviderGuid());
    VDS_OBJECT_ID id{};
    if (FAILED(list.CreateListObject(&id))) {
        MWTRACE(TV_SEVERE, TC_VDS_SUBSYSTEM) << Kind::kTexts.createFailed << MWENDREC;
        return {};
    }
    CComPtr<CComObject<typename Kind::Object>> created = list.Lookup(id);
    if (!created) {
        MWTRACE(TV_SEVERE, TC_VDS_SUBSYSTEM) << Kind::kTexts.getFailed << MWENDREC;
        return {};
    }
    setUp<Kind>(*created, service);
    MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << Kind::kTexts.serviceSet << MWENDREC;
    return created;
}

// Every facade a member gets goes through here: the notice indexes count on it.
template <class Kind>
void COrvSubSystem::setUp(typename Kind::Object& object, const typename Kind::Service& service)
{
    VDSScopedLock lock(this);
    ++m_HandlesGiven;
    Kind::SetUp(object, service, GetGuid());
}

template <class Kind> HRESULT COrvSubSystem::Reconcile()
{
    return GuardVdsMethod("COrvSubSystem::Reconcile", E_FAIL, [&]() -> HRESULT {
        VDSScopedLock lock(this);
        // The generation is taken before the read: a change that lands in between makes the
        // next reconcile run again instead of being missed.
        const std::uint64_t generation = currentGeneration<Kind>();
        std::uint64_t& reconciled = Kind::Reconciled(*this);
        if (generation != kNoGeneration && generation == reconciled)
            return S_OK;
        reconciled = kNoGeneration;
        auto& list = Kind::List(*this);
        // All members, not the output order: that one leaves out members whose keys collide,
        // as keys of facades lost with a link all read as the failure key.
        const MemberIndex index = indexByIdentity(list, list.GetAllIds());
        const Known known = liveIdentities(list, index);
        Identities identities;
        std::vector<typename Kind::Service> fresh;
        const MerrowReturnValue read = Kind::Read(*this, known, identities, fresh);
        const Known present(identities.begin(), identities.end());
        // Every object the read found is either held or has a fresh facade, unless making
        // one failed.
        bool complete = std::count_if(present.begin(), present.end(), [&](const std::string& id) {
                            return known.count(id) == 0;
                        }) == static_cast<std::ptrdiff_t>(fresh.size());
        const HRESULT added = addMissing<Kind>(read, index, fresh, Kind::Listed(*this), complete);
        const HRESULT removed = removeGone<Kind>(read, present);
        if (added == S_OK && removed == S_OK && !read.isFailure() && complete) {
            reconciled = generation;
            Kind::Listed(*this) = true;
        }
        return SUCCEEDED(added) || SUCCEEDED(removed) ? S_OK : E_FAIL;
    });
}

template <class Kind>
HRESULT COrvSubSystem::addMissing(const MerrowReturnValue& read, const MemberIndex& index,
                                  const std::vector<typename Kind::Service>& fresh, bool announce,
                                  bool& complete)
{
    if (read.isFailure())
        return Kind::kFailedReadFailsFindAdded ? E_FAIL : S_OK;
    auto& list = Kind::List(*this);
    for (const auto& item : fresh) {
        const auto member = index.find(item.GetInstanceIdentity());
        CComPtr<CComObject<typename Kind::Object>> object;
        if (member != index.end())
            object = list.Lookup(member->second);
        if (object) {
            // A facade made before the link was lost stays removed; the object takes the
            // fresh one of this read.
            if (object->GetService().IsServiceRemoved())
                setUp<Kind>(*object, item);
            continue;
        }
        auto added = Add<Kind>(item);
        complete = complete && added;
        if (added && announce)
            DeliverVdsNotification(GetProviderGuid(),
                                   static_cast<VDS_NOTIFICATION_TARGET_TYPE>(Kind::kType),
                                   Kind::kArrive, added->GetGuid());
    }
    return S_OK;
}

template <class Kind>
HRESULT COrvSubSystem::removeGone(const MerrowReturnValue& read, const Known& present)
{
    if (read.isFailure() && !isRemoved(read))
        return E_FAIL;
    auto& list = Kind::List(*this);
    const std::vector<VDS_OBJECT_ID> ids = list.GetAllIds();
    for (const VDS_OBJECT_ID& id : ids) {
        CComPtr<CComObject<typename Kind::Object>> object = list.Lookup(id);
        // A member without an identity has lost its facade and stands for nothing the
        // array listed.
        if (!object || present.count(object->GetService().GetInstanceIdentity()) != 0)
            continue;
        VDSScopedLock listLock(&list);
        if (SUCCEEDED(list.DeleteListObject(id)))
            DeliverVdsNotification(GetProviderGuid(),
                                   static_cast<VDS_NOTIFICATION_TARGET_TYPE>(Kind::kType),
                                   Kind::kDepart, id);
    }
    return S_OK;
}

template <class Kind> HRESULT COrvSubSystem::Query(IEnumVdsObject** ppEnum)
{
    return GuardVdsMethod("COrvSubSystem::Query", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        COrvVdsProvider* owner = provider();
        if (owner == nullptr)
            return E_FAIL;
        VDSScopedLock providerLock(owner);
        VDSScopedLock lock(this);
        Validate<Kind>();
        if (ppEnum == nullptr) {
            MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM) << "ppEnum is NULL" << MWENDREC;
            return E_INVALIDARG;
        }
        *ppEnum = nullptr;
        std::vector<VDS_OBJECT_ID> ids;
        const HRESULT hr = Kind::List(*this).GetGuidVector(ids);
        if (FAILED(hr))
            return hr;
        return owner->MakeEnum(Kind::kType, ids, ppEnum);
    });
}

template <class Kind> std::vector<VDS_OBJECT_ID> COrvSubSystem::Ids()
{
    VDSScopedLock lock(this);
    std::vector<VDS_OBJECT_ID> ids;
    Kind::List(*this).GetGuidVector(ids);
    return ids;
}

template <class List>
HRESULT COrvSubSystem::offerToMembers(List& list, VdsMemberByService<List>& byService,
                                      const ServiceIndication& indication,
                                      VDS_NOTIFICATION_TARGET_TYPE type, ULONG modifyEvent)
{
    const std::vector<VDS_OBJECT_ID> ids =
        byService.MembersOf(list, indication.GetService().GetImpl().get(), m_HandlesGiven);
    HRESULT result = E_FAIL;
    for (const VDS_OBJECT_ID& id : ids) {
        if (auto member = list.Lookup(id)) {
            if (member->ReceiveServiceIndication(indication, type, modifyEvent) == S_OK)
                result = S_OK;
        }
    }
    return result;
}

// ---- the named steps ------------------------------------------------------------------------

void COrvSubSystem::ValidateControllers() { Validate<ControllerRefresh>(); }
void COrvSubSystem::ValidateDrives() { Validate<DriveRefresh>(); }
void COrvSubSystem::ValidateLUNs() { Validate<LunRefresh>(); }
void COrvSubSystem::ValidateTargets() { Validate<TargetRefresh>(); }
void COrvSubSystem::ValidatePortals() { Validate<PortalRefresh>(); }

void COrvSubSystem::ValidateDiskList()
{
    COrvVdsProvider* owner = provider();
    std::optional<VDSScopedLock> providerLock;
    if (owner != nullptr)
        providerLock.emplace(owner);
    VDSScopedLock lock(this);
    if (m_DiskListService.IsValid() && !m_DiskListService.IsServiceRemoved())
        return;
    if (m_SystemService.IsValid())
        m_SystemService.GetServiceDiskList(m_DiskListService);
}

std::vector<VDS_OBJECT_ID> COrvSubSystem::ControllerIds() { return Ids<ControllerRefresh>(); }
std::vector<VDS_OBJECT_ID> COrvSubSystem::DriveIds() { return Ids<DriveRefresh>(); }
std::vector<VDS_OBJECT_ID> COrvSubSystem::LunIds() { return Ids<LunRefresh>(); }
std::vector<VDS_OBJECT_ID> COrvSubSystem::TargetIds() { return Ids<TargetRefresh>(); }
std::vector<VDS_OBJECT_ID> COrvSubSystem::PortalIds() { return Ids<PortalRefresh>(); }

HRESULT COrvSubSystem::QueryControllers(IEnumVdsObject** ppEnum)
{
    return Query<ControllerRefresh>(ppEnum);
}
HRESULT COrvSubSystem::QueryDrives(IEnumVdsObject** ppEnum) { return Query<DriveRefresh>(ppEnum); }
HRESULT COrvSubSystem::QueryLuns(IEnumVdsObject** ppEnum) { return Query<LunRefresh>(ppEnum); }
HRESULT COrvSubSystem::QueryTargets(IEnumVdsObject** ppEnum)
{
    return Query<TargetRefresh>(ppEnum);
}
HRESULT COrvSubSystem::QueryPortals(IEnumVdsObject** ppEnum)
{
    return Query<PortalRefresh>(ppEnum);
}

HRESULT COrvSubSystem::Reenumerate()
{
    return GuardVdsMethod("COrvSubSystem::Reenumerate", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        COrvVdsProvider* owner = provider();
        if (owner == nullptr)
            return E_FAIL;
        VDSScopedLock providerLock(owner);
        VDSScopedLock lock(this);
        m_Connection.Refresh();
        m_SystemService.Refresh();
        m_DiskListService.Refresh();
        m_VolumeListService.Refresh();
        m_iSCSIService.Refresh();
        m_Services.clear();
        forgetReconciled();
        ValidateControllers();
        ValidateDrives();
        ValidateLUNs();
        ValidateTargets();
        ValidatePortals();
        ValidateDiskList();
        return S_OK;
    });
}

HRESULT COrvSubSystem::GetDrive(SHORT sBusNumber, SHORT sSlotNumber, IVdsDrive** ppDrive)
{
    return GuardVdsMethod("COrvSubSystem::GetDrive", E_UNEXPECTED, [&]() -> HRESULT {
        VDSScopedLock lock(this);
        if (ppDrive == nullptr)
            return E_INVALIDARG;
        *ppDrive = nullptr;
        VDS_OBJECT_ID id{};
        getDrive(sBusNumber, sSlotNumber, id);
        COrvVdsProvider* owner = provider();
        if (owner == nullptr)
            return E_FAIL;
        CComPtr<IUnknown> found;
        const HRESULT hr = owner->GetObject(id, VDS_OT_DRIVE, found.put());
        if (FAILED(hr))
            return hr;
        return found->QueryInterface(IID_IVdsDrive, reinterpret_cast<void**>(ppDrive));
    });
}

HRESULT COrvSubSystem::getDrive(SHORT sBusNumber, SHORT sSlotNumber, VDS_OBJECT_ID& id)
{
    // Drives sit on the array's one internal bus (0), numbered by their slots.
    constexpr SHORT kInternalBus = 0;
    if (sBusNumber != kInternalBus)
        return S_FALSE;
    for (const VDS_OBJECT_ID& candidate : m_VdsDriveList.GetAllIds()) {
        auto drive = m_VdsDriveList.Lookup(candidate);
        int slot = -1;
        std::string failure;
        if (drive && drive->ReadOrderKey(slot, failure) == VdsOrderKeyOutcome::Read &&
            slot == sSlotNumber) {
            id = candidate;
            return S_OK;
        }
    }
    return S_FALSE;
}

bool COrvSubSystem::sameService(const MerrowService& handle, const MerrowService& source) const
{
    return handle.IsValid() && handle.IsSameService(source);
}

HRESULT COrvSubSystem::ReceiveIndication(const ServiceIndication& indication)
{
    return GuardVdsMethod("COrvSubSystem::ReceiveIndication", E_UNEXPECTED, [&]() -> HRESULT {
        VDSScopedLock lock(this);
        HRESULT result = E_FAIL;
        const MerrowService& source = indication.GetService();
        const bool changed = indication.GetCode() == ServiceIndication::ServiceChanged;
        if (m_Connection.IsValid() && m_SystemService.IsValid() &&
            (sameService(m_Connection, source) || sameService(m_SystemService, source))) {
            updateVdsStatus();
            deliver(VDS_NF_SUB_SYSTEM_MODIFY);
            result = Reconcile<ControllerRefresh>();
        }
        auto accept = [&result](HRESULT hr) {
            if (SUCCEEDED(hr))
                result = S_OK;
        };
        if (changed && sameService(m_DiskListService, source))
            accept(Reconcile<DriveRefresh>());
        if (changed && sameService(m_VolumeListService, source))
            accept(Reconcile<LunRefresh>());
        if (changed && sameService(m_iSCSIService, source)) {
            accept(Reconcile<TargetRefresh>());
            accept(Reconcile<PortalRefresh>());
        }
        accept(offerToMembers(m_VdsDriveList, m_DrivesByService, indication, VDS_NTT_DRIVE,
                              VDS_NF_DRIVE_MODIFY));
        accept(offerToMembers(m_VdsLunList, m_LunsByService, indication, VDS_NTT_LUN,
                              VDS_NF_LUN_MODIFY));
        accept(offerToMembers(m_VdsTargetList, m_TargetsByService, indication, VDS_NTT_TARGET,
                              VDS_NF_TARGET_MODIFY));
        accept(offerToMembers(m_VdsPortalList, m_PortalsByService, indication, VDS_NTT_PORTAL,
                              VDS_NF_PORTAL_MODIFY));
        accept(offerToMembers(m_VdsPortalGroupList, m_PortalGroupsByService, indication,
                              VDS_NTT_PORTAL_GROUP, VDS_NF_PORTAL_GROUP_MODIFY));
        return result;
    });
}

CComPtr<CComObject<COrvLun>> COrvSubSystem::AddLun(const Service_Volume& volume)
{
    VDSScopedLock lock(this);
    // A LUN joining outside a reconcile: the next one checks the list in full.
    forgetReconciled();
    return Add<LunRefresh>(volume);
}

void COrvSubSystem::forgetReconciled()
{
    VDSScopedLock lock(this);
    m_Reconciled = ReconciledGenerations{};
}
