#include "vds/objects/COrvSubSystem.h"

#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "platform/vds/VdsErrors.h"
#include "trace/Trace.h"
#include "user_agent/services/Service_Controller.h"
#include "user_agent/services/Service_Disk.h"
#include "vds/framework/VDSScopedLock.h"
#include "vds/framework/VdsMethodGuard.h"
#include "vds/objects/COrvVdsProvider.h"
#include "vds/objects/VdsProviderAccess.h"

#include <new>
#include <optional>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_SUBSYSTEM;
using Merrow::Trace::TV_DETAIL;
using Merrow::Trace::TV_ERROR;
using Merrow::Trace::TV_INFO;
using Merrow::Trace::TV_SEVERE;
using Merrow::Trace::TV_WARNING;

namespace {

// Connection states of CorvaneConnection::GetConnectionState.
enum ConnectionState : std::int32_t {
    kNotConnected = 0,
    kStateConnected = 1,
    kStateAuthorizationFailed = 2,
    kStateLost = 3,
    kProtocolFailure = 4,
    kStateNotReachable = 5,
    kFirmwareIncompatible = 6,
};

// The provider answers the subsystem's properties with these capabilities: LUN masking and
// remapping, drive extents, fault-tolerant, non-fault-tolerant, simple, span, stripe,
// mirror and parity LUNs, CHAP and mutual CHAP, simple target configuration.
constexpr ULONG kSubSystemFlags = 0x0007FE0D;
// Stripe sizes of 32 KiB to 2 MiB, one bit per power of two.
constexpr ULONG kStripeSizeFlags = 0x003F8000;
constexpr SHORT kRebuildPriority = 16;

// UAEnums::OperationalStatus numbers the health is read from.
constexpr std::int32_t kOperationalOk = 0;
constexpr std::int32_t kOperationalFailed = 1;
constexpr std::int32_t kOperationalNeedsAttention = 3;

} // namespace

COrvSubSystem::COrvSubSystem()
{
    MWSCOPE_OBJ(this, "");
}

COrvSubSystem::~COrvSubSystem() = default;

HRESULT COrvSubSystem::FinalConstruct()
{
    MWSCOPE_OBJ(this, "");
    return S_OK;
}

void COrvSubSystem::FinalRelease()
{
    MWSCOPE_OBJ(this, "");
    COrvVdsProvider* owner = provider();
    if (m_Connection.IsValid())
        m_Connection.Logoff();
    if (owner != nullptr) {
        VDSScopedLock providerLock(owner);
        DeliverVdsNotification(GetProviderGuid(), VDS_NTT_SUB_SYSTEM, VDS_NF_SUB_SYSTEM_DEPART,
                               GetGuid());
    }
}

COrvVdsProvider* COrvSubSystem::provider() const
{
    return FindVdsProvider(GetProviderGuid());
}

void COrvSubSystem::deliver(ULONG event)
{
    DeliverVdsNotification(GetProviderGuid(), VDS_NTT_SUB_SYSTEM, event, GetGuid());
}

// ---- IOrvSubsystemPrivate -------------------------------------------------------------------

HRESULT COrvSubSystem::AddCorvane(BSTR HostAddress)
{
    return GuardVdsMethod("COrvSubSystem::AddCorvane", E_UNEXPECTED, [&] {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        m_HostAddress = orv::platform::Utf16ToUtf8(BstrView(HostAddress));
        COrvVdsProvider* owner = provider();
        if (owner == nullptr)
            return E_FAIL;
        m_Connection = owner->UserAgent().GetConnection(m_HostAddress);
        return updateVdsStatus();
    });
}

HRESULT COrvSubSystem::GetConnectionStatus(ULONG* pStatus)
{
    return GuardVdsMethod("COrvSubSystem::GetConnectionStatus", E_UNEXPECTED, [&] {
        MWSCOPE_OBJ(this, "");
        if (pStatus == nullptr)
            return E_POINTER;
        VDSScopedLock lock(this);
        *pStatus = kConnecting;
        std::int32_t state = kNotConnected;
        if (m_Connection.GetConnectionState(state).isFailure())
            return S_OK;
        switch (state) {
        case kStateConnected:
            // Connected without the system facade: the log-in stopped after the link came up
            // (the array stopped answering in the firmware check or the subscriptions), or
            // the facades went with a lost link. Reported lost, so that the provider
            // reconnects it; as connected, nothing would ever finish the log-in.
            *pStatus = m_SystemService.IsValid() && !m_SystemService.IsServiceRemoved() ? kConnected
                                                                                          : kLostConnection;
            break;
        case kStateAuthorizationFailed:
            MWTRACE(TV_ERROR, TC_VDS_SUBSYSTEM) << "Authorization Failed" << MWENDREC;
            *pStatus = kAuthorizationFailed;
            break;
        case kStateLost:
            *pStatus = kLostConnection;
            break;
        case kStateNotReachable:
            *pStatus = kNotReachable;
            break;
        default:
            *pStatus = kConnecting;
            break;
        }
        return updateVdsStatus();
    });
}

std::optional<COrvSubSystem::SystemServices> COrvSubSystem::fetchSystemServices(CorvaneConnection& connection)
{
    SystemServices services;
    if (connection.GetCorvaneSystemService(services.system).getCode() != MerrowReturnValue::UA_S_OK ||
        !services.system.IsValid())
        return std::nullopt;
    services.system.GetServiceiSCSI(services.iSCSI);
    return services;
}

void COrvSubSystem::adoptSystemServices(const SystemServices& services)
{
    VDSScopedLock lock(this);
    m_SystemService = services.system;
    m_iSCSIService = services.iSCSI;
    m_SlotController.Forget();
    // What the lists were reconciled with belongs to the link before this one.
    forgetReconciled();
    // Facades made before a lost link were marked removed with it; the lists fetch their
    // facades again from the new system facade.
    if (m_DiskListService.IsServiceRemoved())
        m_DiskListService = Service_DiskList();
    if (m_VolumeListService.IsServiceRemoved())
        m_VolumeListService = Service_VolumeList();
}

namespace {

// The turn of one log-in or reconnect of an array (COrvSubSystem::m_LogInRunning).
class LogInTurn {
public:
    explicit LogInTurn(std::atomic<bool>& running) : m_running(running), m_taken(!running.exchange(true)) {}
    ~LogInTurn()
    {
        if (m_taken)
            m_running = false;
    }
    LogInTurn(const LogInTurn&) = delete;
    LogInTurn& operator=(const LogInTurn&) = delete;
    bool taken() const { return m_taken; }

private:
    std::atomic<bool>& m_running;
    const bool m_taken;
};

} // namespace

HRESULT COrvSubSystem::LogIn(BSTR UserName, BSTR Password)
{
    return GuardVdsMethod("COrvSubSystem::LogIn", E_UNEXPECTED, [&] {
        MWSCOPE_OBJ(this, "");
        COrvVdsProvider* owner = provider();
        if (owner == nullptr)
            return E_FAIL;
        const LogInTurn turn(m_LogInRunning);
        if (!turn.taken())
            return S_OK;
        CorvaneConnection connection;
        {
            VDSScopedLock lock(this);
            connection = m_Connection;
        }
        connection.SetTimeout(static_cast<std::uint32_t>(owner->LogInRequestTimeout().count()));
        const MerrowReturnValue connected = connection.Connect(orv::platform::Utf16ToUtf8(BstrView(UserName)),
                                                               orv::platform::Utf16ToUtf8(BstrView(Password)));
        if (connected.isFailure())
            return S_OK;
        connection.SetTimeout(static_cast<std::uint32_t>(owner->ArrayRequestTimeout().count()));
        const std::optional<SystemServices> services = fetchSystemServices(connection);
        if (!services)
            return S_OK;
        VDSScopedLock providerLock(owner);
        VDSScopedLock lock(this);
        adoptSystemServices(*services);
        // The subsystem arrives again: its next listings come with that arrival.
        m_Listed = ListedKinds{};
        const HRESULT hr = updateVdsStatus();
        deliver(VDS_NF_SUB_SYSTEM_ARRIVE);
        return hr;
    });
}

HRESULT COrvSubSystem::Reconnect()
{
    return GuardVdsMethod("COrvSubSystem::Reconnect", E_UNEXPECTED, [&] {
        MWSCOPE_OBJ(this, "");
        const LogInTurn turn(m_LogInRunning);
        if (!turn.taken())
            return S_OK;
        COrvVdsProvider* owner = provider();
        if (owner == nullptr)
            return E_FAIL;
        CorvaneConnection connection;
        std::string host;
        {
            VDSScopedLock lock(this);
            connection = m_Connection;
            host = m_HostAddress;
        }
        // As for a log-in: the reconnect's own requests wait the shorter time-out, since the
        // connection's lock is held through them.
        connection.SetTimeout(static_cast<std::uint32_t>(owner->LogInRequestTimeout().count()));
        if (connection.Reconnect(host).isFailure())
            return S_OK;
        connection.SetTimeout(static_cast<std::uint32_t>(owner->ArrayRequestTimeout().count()));
        const std::optional<SystemServices> services = fetchSystemServices(connection);
        if (!services)
            return S_OK;
        // The status update reads the disk list under the provider lock, which orders first.
        VDSScopedLock providerLock(owner);
        VDSScopedLock lock(this);
        adoptSystemServices(*services);
        return updateVdsStatus();
    });
}

bool COrvSubSystem::IsLoggedIn()
{
    VDSScopedLock lock(this);
    std::int32_t state = kNotConnected;
    return !m_Connection.GetConnectionState(state).isFailure() && state == kStateConnected &&
           m_SystemService.IsValid() && !m_SystemService.IsServiceRemoved();
}

HRESULT COrvSubSystem::GetHostAddress(BSTR* pHostAddress)
{
    return GuardVdsMethod("COrvSubSystem::GetHostAddress", E_UNEXPECTED, [&] {
        if (pHostAddress == nullptr)
            return E_POINTER;
        VDSScopedLock lock(this);
        const std::u16string host = orv::platform::Utf8ToUtf16(m_HostAddress);
        SysReAllocString(pHostAddress, host.c_str());
        return S_OK;
    });
}

// ---- properties and status ------------------------------------------------------------------

HRESULT COrvSubSystem::GetProperties(VDS_SUB_SYSTEM_PROP* pProp)
{
    return GuardVdsMethod("COrvSubSystem::GetProperties", E_UNEXPECTED, [&] {
        MWSCOPE_OBJ(this, "");
        COrvVdsProvider* owner = provider();
        if (owner == nullptr)
            return E_FAIL;
        VDSScopedLock providerLock(owner);
        VDSScopedLock lock(this);
        if (pProp == nullptr) {
            MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM) << "Null VDS_SUB_SYSTEM_PROP* passed" << MWENDREC;
            return E_INVALIDARG;
        }
        *pProp = VDS_SUB_SYSTEM_PROP{};
        updateVdsStatus();
        if (m_pSubSystemProp.pwszFriendlyName == nullptr ||
            m_pSubSystemProp.pwszIdentification == nullptr)
            return E_FAIL;
        VDS_SUB_SYSTEM_PROP copy = m_pSubSystemProp;
        copy.pwszFriendlyName = CoTaskMemDupString(std::u16string_view(
            m_pSubSystemProp.pwszFriendlyName, orv::platform::WideLength(m_pSubSystemProp.pwszFriendlyName)));
        copy.pwszIdentification = CoTaskMemDupString(std::u16string_view(
            m_pSubSystemProp.pwszIdentification,
            orv::platform::WideLength(m_pSubSystemProp.pwszIdentification)));
        if (copy.pwszFriendlyName == nullptr || copy.pwszIdentification == nullptr) {
            CoTaskMemFree(copy.pwszFriendlyName);
            CoTaskMemFree(copy.pwszIdentification);
            return E_OUTOFMEMORY;
        }
        *pProp = copy;
        return S_OK;
    });
}

HRESULT COrvSubSystem::updateVdsStatus()
{
    MWSCOPE_OBJ(this, "");
    VDSScopedLock lock(this);
    std::string host;
    if (m_Connection.GetHostName(host).isFailure())
        host = m_Connection.GetHost();
    if (host.empty())
        host = m_HostAddress;
    std::int32_t state = kNotConnected;
    VDS_SUB_SYSTEM_STATUS status = VDS_SSS_UNKNOWN;
    if (!m_Connection.GetConnectionState(state).isFailure())
        status = statusFromConnection(state, host);

    VDS_HEALTH health = VDS_H_UNKNOWN;
    std::string prefix;
    if (status == VDS_SSS_ONLINE && m_SystemService.IsValid()) {
        health = healthFromArray();
        std::string name;
        if (!m_SystemService.GetName(name).isFailure() && !name.empty())
            prefix = name + "@";
    }
    m_pSubSystemProp.id = GetGuid();
    HRESULT hr = storeNames(prefix + host, host);
    if (FAILED(hr))
        return hr;
    m_pSubSystemProp.ulFlags = kSubSystemFlags;
    m_pSubSystemProp.ulStripeSizeFlags = kStripeSizeFlags;
    m_pSubSystemProp.status = status;
    m_pSubSystemProp.health = health;
    m_pSubSystemProp.sNumberOfInternalBuses = 1;

    ValidateDiskList();
    if (m_DiskListService.IsValid()) {
        // The count is only traced; it comes from the drive list so that a property read
        // does not make a facade for every disk of the array.
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "Drive Count is:" << m_VdsDriveList.Size() << MWENDREC;
    } else {
        MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM) << "Disk List is not yet valid." << MWENDREC;
    }
    m_pSubSystemProp.sMaxNumberOfSlotsEachBus = 0;
    m_pSubSystemProp.sMaxNumberOfControllers = 0;
    if (m_SystemService.IsValid()) {
        const Service_Controller& controller = m_SlotController.Get(
            [this](Service_Controller& first) { return readFirstController(first); });
        if (controller.IsValid()) {
            std::uint16_t slots = 0;
            const MerrowReturnValue read = controller.GetDriveSlots(slots);
            if (read.isFailure()) {
                MWTRACE(TV_ERROR, TC_VDS_SUBSYSTEM)
                    << "GetControllerSlots Failed with return" << read.getCode() << "."
                    << MWENDREC;
                return E_FAIL;
            }
            MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "Controller Slots count is:" << slots << MWENDREC;
            m_pSubSystemProp.sMaxNumberOfSlotsEachBus = static_cast<SHORT>(slots);
        }
        m_pSubSystemProp.sMaxNumberOfControllers = 1;
    } else {
        MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM) << "Service CorvaneSystem is not valid." << MWENDREC;
    }
    m_pSubSystemProp.sRebuildPriority = kRebuildPriority;
    return S_OK;
}

MerrowReturnValue COrvSubSystem::readFirstController(Service_Controller& first)
{
    std::vector<Service_Controller> controllers;
    const MerrowReturnValue read = m_SystemService.GetControllers(controllers);
    if (read.isFailure())
        return read;
    if (controllers.empty())
        return MerrowReturnValue(MerrowReturnValue::UA_E_UNEXPECTED);
    first = controllers.front();
    return read;
}

VDS_SUB_SYSTEM_STATUS COrvSubSystem::statusFromConnection(std::int32_t state,
                                                          const std::string& host)
{
    switch (state) {
    case kStateConnected:
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << host << " is connected" << MWENDREC;
        return VDS_SSS_ONLINE;
    case kNotConnected:
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << host << " is not connected" << MWENDREC;
        return VDS_SSS_UNKNOWN;
    case kStateLost:
        MWTRACE(TV_SEVERE, TC_VDS_SUBSYSTEM) << host << " has lost its connection" << MWENDREC;
        return VDS_SSS_OFFLINE;
    case kProtocolFailure:
        MWTRACE(TV_SEVERE, TC_VDS_SUBSYSTEM) << host << " is unreachable on the network" << MWENDREC;
        return VDS_SSS_FAILED;
    case kStateNotReachable:
        MWTRACE(TV_ERROR, TC_VDS_SUBSYSTEM)
            << host << "is reachable on the network, but not responding" << MWENDREC;
        return VDS_SSS_FAILED;
    case kStateAuthorizationFailed:
        MWTRACE(TV_ERROR, TC_VDS_SUBSYSTEM) << "Authorization failed on " << host << "." << MWENDREC;
        return VDS_SSS_FAILED;
    case kFirmwareIncompatible:
        MWTRACE(TV_ERROR, TC_VDS_SUBSYSTEM) << "Incompatible firmware versions." << MWENDREC;
        return VDS_SSS_FAILED;
    default:
        MWTRACE(TV_SEVERE, TC_VDS_SUBSYSTEM) << host << " is in an unknown state" << MWENDREC;
        return VDS_SSS_UNKNOWN;
    }
}

VDS_HEALTH COrvSubSystem::healthFromArray()
{
    UAEnums::OperationalStatus status;
    if (m_SystemService.GetStatus(status).isFailure())
        return VDS_H_UNKNOWN;
    const std::int32_t value = status.getValue();
    if (value == kOperationalFailed) {
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "The Corvane is failed" << MWENDREC;
        return VDS_H_FAILED;
    }
    if (value == kOperationalOk || value == kOperationalNeedsAttention) {
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "The Corvane is healthy" << MWENDREC;
        return VDS_H_HEALTHY;
    }
    MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM)
        << "The Corvane status returned an unexpected value" << MWENDREC;
    return VDS_H_HEALTHY;
}

HRESULT COrvSubSystem::storeNames(const std::string& friendlyName,
                                  const std::string& identification)
{
    try {
        m_FriendlyName = orv::platform::Utf8ToUtf16(friendlyName);
        m_pSubSystemProp.pwszFriendlyName = m_FriendlyName.data();
    } catch (const std::bad_alloc&) {
        MWTRACE(TV_ERROR, TC_VDS_SUBSYSTEM)
            << "m_pSubSystemProp.pwszFriendlyName is NULL" << MWENDREC;
        return E_OUTOFMEMORY;
    }
    try {
        m_Identification = orv::platform::Utf8ToUtf16(identification);
        m_pSubSystemProp.pwszIdentification = m_Identification.data();
    } catch (const std::bad_alloc&) {
        MWTRACE(TV_ERROR, TC_VDS_SUBSYSTEM)
            << "m_pSubSystemProp.pwszIdentification is NULL" << MWENDREC;
        return E_OUTOFMEMORY;
    }
    MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM)
        << "m_pSubSystemProp.pwszFriendlyName is: " << friendlyName << MWENDREC;
    return S_OK;
}

HRESULT COrvSubSystem::GetProvider(IVdsProvider** ppProvider)
{
    return GuardVdsMethod("COrvSubSystem::GetProvider", E_UNEXPECTED, [&] {
        VDSScopedLock lock(this);
        COrvVdsProvider* owner = provider();
        if (owner == nullptr) {
            MWTRACE(TV_SEVERE, TC_VDS_SUBSYSTEM) << "myProvider is NULL" << MWENDREC;
            return E_FAIL;
        }
        if (ppProvider == nullptr)
            return E_INVALIDARG;
        IVdsProvider* itf = owner;
        itf->AddRef();
        *ppProvider = itf;
        return S_OK;
    });
}

HRESULT COrvSubSystem::SetFriendlyName(LPWSTR pwszFriendlyName)
{
    return GuardVdsMethod("COrvSubSystem::SetFriendlyName", E_UNEXPECTED, [&] {
        VDSScopedLock lock(this);
        return setName(pwszFriendlyName);
    });
}

HRESULT COrvSubSystem::setName(LPWSTR name)
{
    if (name == nullptr)
        return E_INVALIDARG;
    if (!m_SystemService.IsValid())
        return E_FAIL;
    const std::u16string wide(name, orv::platform::WideLength(name));
    try {
        m_FriendlyName = wide;
        m_pSubSystemProp.pwszFriendlyName = m_FriendlyName.data();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return m_SystemService.SetName(orv::platform::Utf16ToUtf8(wide)).isFailure() ? E_FAIL : S_OK;
}

HRESULT COrvSubSystem::SetStatus(VDS_SUB_SYSTEM_STATUS status)
{
    return status == VDS_SSS_ONLINE || status == VDS_SSS_OFFLINE ? S_OK : E_INVALIDARG;
}

HRESULT COrvSubSystem::StartMaintenance(VDS_MAINTENANCE_OPERATION)
{
    VDSScopedLock lock(this);
    return VDS_E_NOT_SUPPORTED;
}

HRESULT COrvSubSystem::StopMaintenance(VDS_MAINTENANCE_OPERATION)
{
    VDSScopedLock lock(this);
    return VDS_E_NOT_SUPPORTED;
}

HRESULT COrvSubSystem::PulseMaintenance(VDS_MAINTENANCE_OPERATION, ULONG)
{
    VDSScopedLock lock(this);
    return VDS_E_NOT_SUPPORTED;
}

// ---- for the provider and the siblings ------------------------------------------------------

HRESULT COrvSubSystem::SetService(GUID providerId)
{
    m_ProviderGuid = providerId;
    COrvVdsProvider* owner = provider();
    if (owner == nullptr)
        return S_OK;
    VDSScopedLock providerLock(owner);
    VDSScopedLock lock(this);
    deliver(VDS_NF_SUB_SYSTEM_ARRIVE);
    return S_OK;
}

Service_CorvaneSystem COrvSubSystem::GetService()
{
    VDSScopedLock lock(this);
    return m_SystemService;
}

HRESULT COrvSubSystem::InitializeSublists(GUID ownerId)
{
    VDSScopedLock lock(this);
    m_VdsControllerList.SetProviderGuid(ownerId);
    m_VdsDriveList.SetProviderGuid(ownerId);
    m_VdsLunList.SetProviderGuid(ownerId);
    m_VdsPortalList.SetProviderGuid(ownerId);
    m_VdsTargetList.SetProviderGuid(ownerId);
    m_VdsPortalGroupList.SetProviderGuid(ownerId);
    return S_OK;
}

HRESULT COrvSubSystem::GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk)
{
    VDSScopedLock lock(this);
    switch (type) {
    case VDS_OT_CONTROLLER:
    case VDS_OT_PORT:
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "If the object is a controller, get it" << MWENDREC;
        return m_VdsControllerList.GetListObject(id, type, ppUnk);
    case VDS_OT_DRIVE:
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "If the object is a drive, get it" << MWENDREC;
        return m_VdsDriveList.GetListObject(id, type, ppUnk);
    case VDS_OT_LUN:
    case VDS_OT_LUN_PLEX:
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "If the object is a LUN, get it" << MWENDREC;
        return m_VdsLunList.GetListObject(id, type, ppUnk);
    case VDS_OT_PORTAL:
    case VDS_OT_TARGET:
    case VDS_OT_PORTAL_GROUP: {
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM)
            << "If the object is a target, get it. type is:" << type
            << " ppUnk is:" << static_cast<const void*>(ppUnk) << MWENDREC;
        const HRESULT hr = m_VdsTargetList.GetListObject(id, type, ppUnk);
        if (SUCCEEDED(hr))
            return hr;
        MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "If the object is a portal, get it" << MWENDREC;
        return m_VdsPortalList.GetListObject(id, type, ppUnk);
    }
    default:
        MWTRACE(TV_WARNING, TC_VDS_SUBSYSTEM)
            << "The object requested could not be found" << MWENDREC;
        return VDS_E_OBJECT_NOT_FOUND;
    }
}

HRESULT COrvSubSystem::DeleteSubObject(VDS_OBJECT_ID id)
{
    VDSScopedLock lock(this);
    // An object leaving outside a reconcile: the next one checks the lists in full.
    forgetReconciled();
    MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "If the object is a controller, delete it" << MWENDREC;
    HRESULT hr = m_VdsControllerList.DeleteListObject(id);
    if (SUCCEEDED(hr))
        return hr;
    MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "If the object is a drive, delete it" << MWENDREC;
    hr = m_VdsDriveList.DeleteListObject(id);
    if (SUCCEEDED(hr))
        return hr;
    MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "If the object is a LUN, delete it" << MWENDREC;
    hr = m_VdsLunList.DeleteListObject(id);
    if (SUCCEEDED(hr))
        return hr;
    MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "If the object is a target, delete it" << MWENDREC;
    hr = m_VdsTargetList.DeleteListObject(id);
    if (SUCCEEDED(hr))
        return hr;
    MWTRACE(TV_INFO, TC_VDS_SUBSYSTEM) << "If the object is a portal group, delete it" << MWENDREC;
    return m_VdsPortalGroupList.DeleteListObject(id);
}

HRESULT COrvSubSystem::Dispose()
{
    VDSScopedLock lock(this);
    return S_OK;
}
