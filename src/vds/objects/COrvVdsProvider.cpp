#include "vds/objects/COrvVdsProvider.h"

#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "platform/strings/StringTable.h"
#include "platform/vds/VdsErrors.h"
#include "platform/winapi/Winsock.h"
#include "trace/Trace.h"
#include "vds/framework/COrvEnum.h"
#include "vds/framework/COrvVdsModule.h"
#include "vds/framework/OrvVdsIds.h"
#include "vds/framework/VDSScopedLock.h"
#include "vds/framework/VdsMethodGuard.h"
#include "vds/framework/VdsResources.h"
#include "vds/objects/ServiceNoticeBatch.h"
#include "vds/objects/VdsNotificationRecord.h"

#include <algorithm>
#include <mutex>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_PROVIDER;
using Merrow::Trace::TV_ERROR;
using Merrow::Trace::TV_INFO;

namespace {

// VDS_PF_INTERNAL_HARDWARE_PROVIDER with VDS_PF_SUPPORT_FAULT_TOLERANT.
constexpr ULONG kProviderFlags = 0x40000002;
// Stripe sizes of 32 KiB to 2 MiB, one bit per power of two.
constexpr ULONG kStripeSizeFlags = 0x3F8000;
// Only the VDS 1.1 support bit.
constexpr ULONG kVersionSupport = 2;
// The provider's product texts in the resource library.
constexpr UINT kProductInProviderName = 107;
constexpr UINT kArrayInProviderName = 106;
constexpr std::size_t kMaxNameLength = 259;
// Service notices taken from the queue at a time: enough for a burst of changes on a large
// array, few enough that the notices held while a batch is handled stay a few megabytes.
constexpr std::size_t kNoticeBatchLimit = 1024;

std::mutex gPeriodsMutex; // guards gPeriods
COrvVdsProvider::Periods gPeriods;

// "%s" of a resource format replaced, in order, by `first` and `second`.
std::u16string formatTwo(const std::u16string& format, const std::u16string& first,
                         const std::u16string& second)
{
    std::u16string out;
    int used = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u's' && used < 2) {
            out += used++ == 0 ? first : second;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

} // namespace

void COrvVdsProvider::SetPeriods(const Periods& periods)
{
    std::lock_guard lock(gPeriodsMutex);
    gPeriods = periods;
}

COrvVdsProvider::Periods COrvVdsProvider::GetPeriods()
{
    std::lock_guard lock(gPeriodsMutex);
    return gPeriods;
}

ComClassFactory COrvVdsProvider::ClassFactory()
{
    return CreateComInstance<COrvVdsProvider>;
}

HRESULT COrvVdsProvider::RegisterClassObject()
{
    return orv::platform::ComClassRegistry::instance().registerClass(CLSID_OrvVdsProvider,
                                                                     ClassFactory());
}

COrvVdsProvider::COrvVdsProvider()
    : m_hIndicationsThread("indicationsThreadProc", TC_VDS_PROVIDER),
      m_hLogInThread("logInThreadProc", TC_VDS_PROVIDER),
      m_UserAgent(false, GetPeriods().userAgent), m_ReconcilePeriod(GetPeriods().reconcile),
      m_ArrayRequestTimeout(GetPeriods().arrayRequestTimeout),
      m_LogInRequestTimeout(std::min(GetPeriods().logInRequestTimeout, m_ArrayRequestTimeout))
{
    MWSCOPE_OBJ(this, "");
    CoCreateGuid(&m_Id);
}

COrvVdsProvider::~COrvVdsProvider()
{
    MWSCOPE_OBJ(this, "");
}

HRESULT COrvVdsProvider::FinalConstruct()
{
    MWSCOPE_OBJ(this, "");
    VdsResources::ensureLoaded();
    COrvVdsModule::instance().AddProvider(this);
    m_UserAgent.Start();
    startIndicationsThread();
    startLogInThread();
    return S_OK;
}

void COrvVdsProvider::FinalRelease()
{
    MWSCOPE_OBJ(this, "");
    m_pNotifier.Reset();
    stopIndicationsThread();
    stopLogInThread();
    {
        // The subsystems log their arrays off while the client library root still runs.
        VDSScopedLock lock(this);
        m_SubsystemList.DeleteAllListObjects();
    }
    VdsResources::library().unload();
    COrvVdsModule::instance().RemoveProvider(GetGuid());
}

// ---- the background thread ------------------------------------------------------------------

HRESULT COrvVdsProvider::startIndicationsThread()
{
    VDSScopedLock lock(this);
    m_bStopIndications = false;
    // A stop must not wait out the queue: an empty indication wakes the waiting thread.
    auto waker = [this] { m_UserAgent.GetImpl().QueueServiceIndication(ServiceIndication()); };
    // The thread counts as a provider object of its own: when it ends the provider itself,
    // it still runs (traces, drops the last facades) after the provider is gone, and a host
    // that waits for the provider objects must not go on (or exit) before the thread is done.
    auto body = [this](WakeableWait& stop) {
        const Lifetime threadRuns;
        indicationsThreadProc(stop);
    };
    if (!m_hIndicationsThread.Start(body, waker)) {
        m_bStopIndications = true;
        return E_FAIL;
    }
    return S_OK;
}

void COrvVdsProvider::stopIndicationsThread()
{
    {
        VDSScopedLock lock(this);
        if (!m_hIndicationsThread.IsRunning())
            return;
        m_bStopIndications = true;
    }
    m_hIndicationsThread.Stop();
}

void COrvVdsProvider::indicationsThreadProc(WakeableWait& stop)
{
    ServiceIndication indication;
    // Copied: after a reconciliation or a notice the provider may be gone (see below).
    const std::chrono::milliseconds period = m_ReconcilePeriod;
    const auto waitMs = static_cast<std::uint32_t>(period.count());
    auto reconcileDue = std::chrono::steady_clock::now() + period;
    // The scoped lock holds a reference on the provider; when VDS lets go meanwhile, the
    // lock's release is the last one and the provider ends on this thread. Its FinalRelease
    // then requests the stop, so `stop` (which outlives the provider) is asked before any
    // member is touched again.
    while (!stop.StopRequested() && !m_bStopIndications) {
        // A period of silence makes a reconciliation due at once. A busy array keeps the
        // queue from ever falling silent, and the other arrays' log-ins must not wait for
        // it, so one is also due a period after the last.
        if (m_UserAgent.GetNextServiceIndication(indication, waitMs))
            handleNotices(indication, stop);
        else
            reconcileDue = std::chrono::steady_clock::now();
        if (std::chrono::steady_clock::now() < reconcileDue || stop.StopRequested())
            continue;
        reconcile();
        reconcileDue = std::chrono::steady_clock::now() + period;
    }
}

// What queued up behind `first` is taken too, and each service's notices are handled once.
void COrvVdsProvider::handleNotices(const ServiceIndication& first, WakeableWait& stop)
{
    ServiceIndication indication;
    ServiceNoticeBatch batch;
    batch.Add(first);
    while (batch.Taken() < kNoticeBatchLimit && m_UserAgent.GetNextServiceIndication(indication, 0))
        batch.Add(indication);
    for (const ServiceIndication& notice : batch.Notices()) {
        // Asked before the provider is touched again, as in the thread's loop.
        if (stop.StopRequested())
            break;
        VDSScopedLock lock(this);
        if (m_bStopIndications)
            break;
        ReceiveIndication(notice);
    }
}

// The registry list and the subsystems are reconciled under the provider lock; the log-ins
// and reconnects this asks for go to the log-in thread, which makes them without the lock.
void COrvVdsProvider::reconcile()
{
    VDSScopedLock lock(this);
    if (m_bStopIndications)
        return;
    GuardVdsMethod("COrvVdsProvider::reconcile", E_FAIL, [&] {
        m_CorvaneInfoList.Load();
        addOrRemoveConnections();
        // Posted even when empty: it replaces a batch that is not wanted any more.
        m_LogIns.Post({CComPtr<IVdsProvider>(this), pendingLogIns()});
        return S_OK;
    });
}

// ---- the log-in thread ----------------------------------------------------------------------

HRESULT COrvVdsProvider::startLogInThread()
{
    // Counted as a provider object of its own, as the background thread is.
    auto body = [this](WakeableWait& stop) {
        const Lifetime threadRuns;
        logInThreadProc(stop);
    };
    return m_hLogInThread.Start(body) ? S_OK : E_FAIL;
}

// Closing wakes the thread, and drops a batch not taken yet here and now: its subsystems
// must log off while the client library root still runs.
void COrvVdsProvider::stopLogInThread()
{
    m_LogIns.Close();
    m_hLogInThread.Stop();
}

// A batch's reference keeps the provider alive while its log-ins run. Its release may be
// the last one, and the provider then ends on this thread: as on the background thread,
// `stop` (which outlives the provider) is asked before any member is touched again.
void COrvVdsProvider::logInThreadProc(WakeableWait& stop)
{
    while (!stop.StopRequested()) {
        std::optional<LogInBatch> batch = m_LogIns.Take();
        if (!batch)
            return;
        for (const PendingLogIn& logIn : batch->logIns) {
            if (stop.StopRequested() || m_bStopIndications)
                break;
            GuardVdsMethod("COrvVdsProvider::logInThreadProc", E_FAIL,
                           [&] { return stillWanted(logIn) ? runLogIn(logIn) : S_FALSE; });
        }
    }
}

// Log-ins of one batch wait behind each other; by its turn, an array may be connected again
// (through a command), and a log-in would then drop its connection's consumers.
bool COrvVdsProvider::stillWanted(const PendingLogIn& logIn)
{
    COrvSubSystem* subsystem = nullptr;
    if (FAILED(logIn.subsystem->QueryInterface(GUID_NULL, reinterpret_cast<void**>(&subsystem))))
        return false;
    return !subsystem->IsLoggedIn();
}

HRESULT COrvVdsProvider::ReceiveIndication(const ServiceIndication& indication)
{
    return GuardVdsMethod("COrvVdsProvider::ReceiveIndication", E_FAIL, [&] {
        VDSScopedLock lock(this);
        if (!indication.GetService().IsValid())
            return E_FAIL;
        HRESULT result = E_FAIL;
        for (const VDS_OBJECT_ID& id : subsystemIds()) {
            CComPtr<CComObject<COrvSubSystem>> subsystem = m_SubsystemList.Lookup(id);
            if (subsystem && SUCCEEDED(subsystem->ReceiveIndication(indication)))
                result = S_OK;
        }
        return result;
    });
}

// ---- notifications and enumerators ----------------------------------------------------------

void COrvVdsProvider::Deliver(LONG count, VDS_NOTIFICATION* pNotifications)
{
    if (m_bStopIndications)
        return;
    m_pNotifier.Deliver(count, pNotifications);
}

void COrvVdsProvider::DeliverOne(VDS_NOTIFICATION_TARGET_TYPE type, ULONG event,
                                 const VDS_OBJECT_ID& id)
{
    VdsNotificationRecord record(type, event, id);
    if (record.get() != nullptr)
        Deliver(1, record.get());
}

HRESULT COrvVdsProvider::MakeEnum(VDS_OBJECT_TYPE type, const std::vector<VDS_OBJECT_ID>& ids,
                                  IEnumVdsObject** ppEnum)
{
    if (ppEnum == nullptr)
        return E_POINTER;
    *ppEnum = nullptr;
    CComObject<COrvEnum>* raw = nullptr;
    if (FAILED(CComObject<COrvEnum>::CreateInstance(&raw)))
        return E_OUTOFMEMORY;
    CComPtr<CComObject<COrvEnum>> enumerator(raw);
    HRESULT hr = enumerator->Init(this, type);
    if (SUCCEEDED(hr))
        hr = enumerator->SetIds(ids);
    if (FAILED(hr))
        return hr;
    *ppEnum = enumerator.Detach();
    return S_OK;
}

std::vector<VDS_OBJECT_ID> COrvVdsProvider::subsystemIds()
{
    VDSScopedLock lock(this);
    std::vector<VDS_OBJECT_ID> ids;
    m_SubsystemList.GetGuidVector(ids);
    return ids;
}

// ---- VDS interfaces -------------------------------------------------------------------------

HRESULT COrvVdsProvider::GetProperties(VDS_PROVIDER_PROP* pProp)
{
    return GuardVdsMethod("COrvVdsProvider::GetProperties", E_UNEXPECTED, [&] {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (pProp == nullptr)
            return E_POINTER;
        *pProp = VDS_PROVIDER_PROP{};
        return fillProperties(*pProp);
    });
}

HRESULT COrvVdsProvider::fillProperties(VDS_PROVIDER_PROP& prop)
{
    const std::u16string format =
        VdsResources::programString(orv::platform::StringTable::IDS_PROVIDER_NAME_FORMAT)
            .value_or(u"");
    std::u16string name =
        formatTwo(format, VdsResources::libraryString(kProductInProviderName).value_or(u""),
                  VdsResources::libraryString(kArrayInProviderName).value_or(u""));
    if (name.size() > kMaxNameLength)
        name.resize(kMaxNameLength);
    const std::u16string version =
        VdsResources::programString(orv::platform::StringTable::IDS_PROVIDER_VERSION).value_or(u"");
    prop.id = ORV_PROVIDER_ID;
    prop.guidVersionId = ORV_PROVIDER_VERSION_ID;
    prop.pwszName = CoTaskMemDupString(name);
    prop.pwszVersion = CoTaskMemDupString(version);
    if (prop.pwszName == nullptr || prop.pwszVersion == nullptr) {
        CoTaskMemFree(prop.pwszName);
        CoTaskMemFree(prop.pwszVersion);
        prop.pwszName = prop.pwszVersion = nullptr;
        return E_OUTOFMEMORY;
    }
    prop.type = VDS_PT_HARDWARE;
    prop.ulFlags = kProviderFlags;
    prop.ulStripeSizeFlags = kStripeSizeFlags;
    prop.sRebuildPriority = 0;
    return S_OK;
}

HRESULT COrvVdsProvider::GetProviderType(VDS_HWPROVIDER_TYPE* pType)
{
    if (pType == nullptr)
        return E_POINTER;
    *pType = VDS_HWT_ISCSI;
    return S_OK;
}

HRESULT COrvVdsProvider::GetVersionSupport(ULONG* pulVersionSupport)
{
    if (pulVersionSupport == nullptr)
        return E_INVALIDARG;
    *pulVersionSupport = kVersionSupport;
    return S_OK;
}

HRESULT COrvVdsProvider::OnLoad(LPWSTR, IUnknown* pCallbackObject)
{
    return GuardVdsMethod("COrvVdsProvider::OnLoad", E_UNEXPECTED, [&] {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        const std::u16string noSink =
            VdsResources::programString(orv::platform::StringTable::IDS_NO_ADVISE_SINK).value_or(u"");
        HRESULT hr = COrvVdsModule::instance().TestVDSVersion();
        if (FAILED(hr)) {
            MWTRACE(TV_ERROR, TC_VDS_PROVIDER) << orv::platform::Utf16ToUtf8(noSink) << MWENDREC;
            return hr;
        }
        WSADATA data{};
        WSAStartup(MAKEWORD(2, 0), &data);
        if (!m_pNotifier.IsSet()) {
            CComPtr<IVdsAdviseSink> sink;
            if (pCallbackObject != nullptr)
                pCallbackObject->QueryInterface(IID_IVdsAdviseSink, sink.put_void());
            if (!sink)
                MWTRACE(TV_ERROR, TC_VDS_PROVIDER) << orv::platform::Utf16ToUtf8(noSink) << MWENDREC;
            CComPtr<COrvNotifier> notifier;
            hr = COrvNotifier::CreateInstance(sink, notifier);
            if (FAILED(hr))
                return hr;
            m_pNotifier.Set(std::move(notifier));
        }
        return ConnectToKnownSubsystems();
    });
}

HRESULT COrvVdsProvider::OnUnload(BOOL)
{
    WSACleanup();
    return S_OK;
}

HRESULT COrvVdsProvider::GetObject(VDS_OBJECT_ID ObjectId, VDS_OBJECT_TYPE type,
                                   IUnknown** ppObjectUnk)
{
    return GuardVdsMethod("COrvVdsProvider::GetObject", E_UNEXPECTED, [&] {
        VDSScopedLock lock(this);
        return m_SubsystemList.GetListObject(ObjectId, type, ppObjectUnk);
    });
}

HRESULT COrvVdsProvider::QuerySubSystems(IEnumVdsObject** ppEnum)
{
    return GuardVdsMethod("COrvVdsProvider::QuerySubSystems", E_UNEXPECTED, [&] {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (ppEnum == nullptr)
            return E_POINTER;
        return MakeEnum(VDS_OT_SUB_SYSTEM, subsystemIds(), ppEnum);
    });
}

HRESULT COrvVdsProvider::Reenumerate()
{
    return GuardVdsMethod("COrvVdsProvider::Reenumerate", E_FAIL, [&] {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        for (const VDS_OBJECT_ID& id : subsystemIds()) {
            CComPtr<IUnknown> found;
            if (FAILED(m_SubsystemList.GetListObject(id, VDS_OT_SUB_SYSTEM, found.put())))
                continue;
            CComPtr<IVdsSubSystem> subsystem;
            if (SUCCEEDED(found->QueryInterface(IID_IVdsSubSystem, subsystem.put_void())))
                subsystem->Reenumerate();
        }
        return ConnectToKnownSubsystems();
    });
}

HRESULT COrvVdsProvider::Refresh()
{
    return static_cast<IVdsHwProvider*>(this)->Reenumerate();
}

HRESULT COrvVdsProvider::QueryIfCreatedLun(LPWSTR pwszDevicePath,
                                           VDS_LUN_INFORMATION* pVdsLunInformation,
                                           VDS_OBJECT_ID* pLunId)
{
    return GuardVdsMethod("COrvVdsProvider::QueryIfCreatedLun", E_FAIL, [&] {
        if (pwszDevicePath == nullptr || pVdsLunInformation == nullptr || pLunId == nullptr)
            return E_INVALIDARG;
        VDSScopedLock lock(this);
        HRESULT result = S_FALSE;
        for (const VDS_OBJECT_ID& id : subsystemIds()) {
            CComPtr<CComObject<COrvSubSystem>> subsystem = m_SubsystemList.Lookup(id);
            if (!subsystem)
                continue;
            result = subsystem->QueryIfCreatedLun(pwszDevicePath, pVdsLunInformation, pLunId);
            if (SUCCEEDED(result))
                break;
        }
        return result;
    });
}

HRESULT COrvVdsProvider::TestVDSVersion()
{
    VDSScopedLock lock(this);
    return COrvVdsModule::instance().TestVDSVersion();
}
