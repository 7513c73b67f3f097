// COrvVdsProvider: the VDS hardware provider (iSCSI) of the Corvane arrays; every VDS
// request enters the program here.
//
// It owns the subsystem list (one COrvSubSystem per managed array), the in-memory managed-
// array list with its registry reader and writer, the array client library root, the
// notifier bound to VDS's advise sink, and a background thread that hands the library's
// service indications to the subsystems and, after a period without any, reconciles the
// subsystems with the registry list and logs arrays in again (COrvVdsProvider_Connections.cpp).
// While indications keep coming it still reconciles once a period after the last time, on
// purpose: waiting for silence alone would leave a restarted array logged out, and an array
// added to the registry by another process unseen, for as long as any other array is busy.
//
// Hosting: the class is created through COM (CLSID_OrvVdsProvider; register it with
// RegisterClassObject, or let COrvVdsModule::WinMain do so) and loaded with
// IVdsProviderPrivate::OnLoad, as the VDS stand-in (VdsProviderHost) does. The registry it
// reads is the process registry (Registry::setProcessRegistry, or $ORVDS_REGISTRY).
//
// Threads: VDS's and a configuration client's COM threads; the background thread; the
// log-in thread. Every public operation holds the provider's scoped lock (level 100,
// re-entrant), which orders before the subsystems' (200) and the notifier's (1000). The
// background thread's reconciliation finds the log-ins and reconnects needed under the lock
// and hands them to the log-in thread (LogInMailbox), which makes them without the lock, so
// that an array that does not answer holds up neither the lock nor the other arrays'
// notices. Deliver may be called holding any VDS object lock: the notifier holder's mutex
// is a leaf and the notifier's lock is the highest level. m_bStopIndications is atomic
// because the background thread reads it before it takes the lock.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/com/ComClassRegistry.h"
#include "platform/vds/VdsInterfaces.h"
#include "user_agent/root/MerrowUserAgent.h"
#include "vds/framework/COrvVdsModule.h"
#include "vds/framework/BackgroundThread.h"
#include "vds/framework/CVdsObjectBase.h"
#include "vds/framework/CorvaneInfoListWriter.h"
#include "vds/framework/NotifierHolder.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/framework/VdsSubsystemList.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/LogInMailbox.h"

#include <atomic>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

class COrvVdsProvider : public CComObjectRootEx,
                        public IOrvVdsProvider,
                        public IVdsProvider,
                        public IVdsProviderPrivate,
                        public IVdsHwProvider,
                        public IVdsHwProviderPrivate,
                        public IVdsHwProviderType,
                        public IVdsProviderSupport,
                        public CVdsObjectBase<VDS_OT_PROVIDER>,
                        public IOrvVdsProviderPrivate {
public:
    using ComMap = ComInterfaceMap<IOrvVdsProvider, IVdsProvider, IVdsProviderPrivate,
                                   IVdsHwProvider, IVdsHwProviderPrivate, IVdsHwProviderType,
                                   IVdsProviderSupport, IOrvVdsProviderPrivate>;

    // The periods of the provider's background work. The product's are the defaults; a
    // test shortens them before it creates the provider.
    struct Periods {
        // Silence on the indication queue after which the registry list is reconciled; while
        // indications keep coming, the next reconciliation is due this long after the last.
        std::chrono::milliseconds reconcile{10000};
        // The client library root's threads (keep-alive probes, indication dispatch).
        Merrow::UserAgent::MerrowUserAgentPeriods userAgent{};
        // Longest wait for one answer of a logged-in array.
        std::chrono::milliseconds arrayRequestTimeout{300000};
        // Longest wait for one answer to a log-in's own requests (the firmware check, the
        // subscriptions): small requests, so an array that takes connections and never
        // answers holds a log-in, and a command making it under the provider lock, this
        // long rather than the request time-out.
        std::chrono::milliseconds logInRequestTimeout{20000};
    };
    // Applies to providers created afterwards.
    static void SetPeriods(const Periods& periods);
    static Periods GetPeriods();

    // Makes the class creatable in this process (CoCreateInstance of CLSID_OrvVdsProvider).
    // CO_E_OBJISREG when it is registered already.
    static HRESULT RegisterClassObject();
    static ComClassFactory ClassFactory();

    COrvVdsProvider();
    ~COrvVdsProvider() override;

    HRESULT FinalConstruct();
    void FinalRelease();

    std::string className() const override { return "COrvVdsProvider"; }

    // ---- IVdsProvider, IVdsProviderPrivate --------------------------------------------------
    HRESULT GetProperties(VDS_PROVIDER_PROP* pProviderProp) override;
    HRESULT GetObject(VDS_OBJECT_ID ObjectId, VDS_OBJECT_TYPE type,
                      IUnknown** ppObjectUnk) override;
    HRESULT OnLoad(LPWSTR pwszMachineName, IUnknown* pCallbackObject) override;
    HRESULT OnUnload(BOOL bForceUnload) override;

    // ---- IVdsHwProvider, IVdsHwProviderPrivate, IVdsHwProviderType, IVdsProviderSupport --
    HRESULT QuerySubSystems(IEnumVdsObject** ppEnum) override;
    HRESULT Reenumerate() override;
    HRESULT Refresh() override;
    HRESULT QueryIfCreatedLun(LPWSTR pwszDevicePath, VDS_LUN_INFORMATION* pVdsLunInformation,
                              VDS_OBJECT_ID* pLunId) override;
    HRESULT GetProviderType(VDS_HWPROVIDER_TYPE* pType) override;
    HRESULT GetVersionSupport(ULONG* ulVersionSupport) override;

    // ---- IOrvVdsProviderPrivate (COrvVdsProvider_Connections.cpp) ---------------------------
    HRESULT GetCorvaneInfo(LONG Index, BSTR* pbstrHostAddress, BSTR* pbstrUserName,
                           BSTR* pbstrPassword, LONG* pCvnStatus, BOOL* pIsValid) override;
    HRESULT SetCorvaneInfo(BSTR bstrHostAddress, BSTR bstrUserName, BSTR bstrPassword) override;
    HRESULT RemoveCorvaneInfo(BSTR bstrHostAddress) override;
    HRESULT ConnectToKnownSubsystems() override;
    HRESULT TestVDSVersion() override;

    // ---- for the VDS objects of the arrays --------------------------------------------------

    // Hands the records to VDS when the provider is loaded and not stopping; otherwise
    // they are dropped. The records stay the caller's.
    void Deliver(LONG count, VDS_NOTIFICATION* pNotifications);
    // One record (object type, event, id), made and freed here.
    void DeliverOne(VDS_NOTIFICATION_TARGET_TYPE type, ULONG event, const VDS_OBJECT_ID& id);
    // Offers a service indication to every subsystem; S_OK when one of them succeeded.
    HRESULT ReceiveIndication(const Merrow::UserAgent::ServiceIndication& indication);
    using CVdsObjectBase::ReceiveIndication;
    HRESULT MakeEnum(VDS_OBJECT_TYPE type, const std::vector<VDS_OBJECT_ID>& ids,
                     IEnumVdsObject** ppEnum);
    Merrow::UserAgent::MerrowUserAgent& UserAgent() { return m_UserAgent; }
    std::chrono::milliseconds ArrayRequestTimeout() const { return m_ArrayRequestTimeout; }
    std::chrono::milliseconds LogInRequestTimeout() const { return m_LogInRequestTimeout; }

private:
    // The subsystem behind one listed GUID, with its private interface: S_OK, S_FALSE when
    // it lacks an interface or its host cannot be read (skipped), E_FAIL when the list does
    // not give it back.
    struct SubsystemEntry {
        VDS_OBJECT_ID id{};
        CComPtr<IOrvSubsystemPrivate> privateItf;
        std::u16string host;
    };
    HRESULT readSubsystem(const VDS_OBJECT_ID& id, SubsystemEntry& entry);

    HRESULT startIndicationsThread();
    void stopIndicationsThread();
    void indicationsThreadProc(WakeableWait& stop);
    void handleNotices(const Merrow::UserAgent::ServiceIndication& first, WakeableWait& stop);
    void reconcile();
    HRESULT startLogInThread();
    void stopLogInThread();
    void logInThreadProc(WakeableWait& stop);
    bool stillWanted(const PendingLogIn& logIn);

    HRESULT addOrRemoveConnections();
    HRESULT addSubsystemForInfo(const CorvaneInfo& info);
    HRESULT getCorvaneConnectionStatus();
    HRESULT logInAllConnectionsIfNeeded();
    HRESULT logInSingleConnection(const CorvaneInfo& info, bool reconnect);
    // The managed arrays whose status asks for a log-in (false) or a reconnect (true), in
    // list order, from the statuses last read.
    std::vector<std::pair<CorvaneInfo, bool>> arraysToLogIn();
    // The log-ins and reconnects the managed-array list asks for, found under the provider
    // lock; the log-in thread makes them.
    std::vector<PendingLogIn> pendingLogIns();
    static HRESULT runLogIn(const PendingLogIn& logIn);
    HRESULT removeSubsystem(const VDS_OBJECT_ID& id);
    // Saves `updated` to the registry and, once saved, makes it the provider's list; the
    // list stays as it was when the save fails (the reason left as the error description).
    HRESULT saveCorvaneInfoList(CorvaneInfoListWriter& updated);
    VDS_OBJECT_ID findSubsystemIdByHost(const std::u16string& host);
    std::vector<VDS_OBJECT_ID> subsystemIds();
    HRESULT fillProperties(VDS_PROVIDER_PROP& prop);

    // Declared first, so destroyed after every other member: the module counts this
    // provider as alive until the client library root below has stopped its threads.
    struct Lifetime {
        Lifetime() { COrvVdsModule::instance().ProviderObjectBorn(); }
        ~Lifetime() { COrvVdsModule::instance().ProviderObjectGone(); }
        Lifetime(const Lifetime&) = delete;
        Lifetime& operator=(const Lifetime&) = delete;
    } m_Lifetime;
    VdsSubsystemList m_SubsystemList;
    NotifierHolder m_pNotifier;
    std::atomic<bool> m_bStopIndications{true};
    BackgroundThread m_hIndicationsThread;
    // Before the thread that takes from it, so that it outlives the thread.
    LogInMailbox m_LogIns;
    BackgroundThread m_hLogInThread;
    Merrow::UserAgent::MerrowUserAgent m_UserAgent;
    CorvaneInfoListWriter m_CorvaneInfoList;
    const std::chrono::milliseconds m_ReconcilePeriod;
    const std::chrono::milliseconds m_ArrayRequestTimeout;
    const std::chrono::milliseconds m_LogInRequestTimeout;
};
