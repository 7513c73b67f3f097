#pragma once

#include "cim/client/CIMClient.h"
#include "cim/value/CIMInstance.h"
#include "cim/value/CIMNamespaceName.h"
#include "cim/value/CIMObject.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMParamValue.h"
#include "cim/value/CIMPropertyList.h"
#include "cim/value/CIMValue.h"
#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/UALockableObject.h"
#include "user_agent/base/UAVersion.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>
#include <mutex>
#include <shared_mutex>
#include "trace/SourceLocation.h"
#include <string>
#include <vector>

namespace Merrow::UserAgent {

class UAConnectionOwner;

// The link to one array's CIM server: log-in, the connection state, the firmware check, the
// keep-alive probe, the indication subscription objects on the array, and a wrapper for every
// CIM request that turns transport failures into a connection state and, when a working link
// breaks, into one lost-connection indication for the owner.
//
// Requests are never retried here; recovery is driven from outside (the keep-alive probe, a
// reconnect by the layer above). The one exception lies below, in the HTTP channel: a read
// is sent once more when the array's server closed our idle kept-alive connection before
// answering, because the server closes idle connections whenever it likes and that race
// says nothing about the array's health. Such a read never shows up here as a failure.
//
// Threads: any. m_lock (the client lock) serialises every request, log-in, log-off and probe
// and guards the members marked below; it is recursive, so a request made from inside another
// on the same thread does not block. The state is an atomic so that it can be read without
// waiting for a request. m_hostMutex guards the host text only. m_ownerMutex guards the owner
// pointer; it is taken inside the client lock and nothing is locked inside it except what the
// owner's queue operations take.
class UACIMClient {
public:
    enum ConnectionState : std::int32_t {
        STATE_NOT_CONNECTED = 0,
        STATE_CONNECTED = 1,
        STATE_AUTHORIZATION_FAILED = 2,
        STATE_CONNECTION_LOST = 3,
        STATE_PROTOCOL_FAILURE = 4,
        STATE_NOT_REACHABLE = 5,
        STATE_FIRMWARE_INCOMPATIBLE = 6,
    };

    // Arrays answer CIM-XML over plain HTTP here.
    static constexpr std::uint16_t kArrayPort = 5988;
    // The port that names a connection in its service identity ("host:5989").
    static constexpr std::int32_t kIdentityPort = 5989;
    static constexpr std::uint16_t kNoSlot = 65535;
    static constexpr std::uint32_t kNoTimeout = std::numeric_limits<std::uint32_t>::max();
    static constexpr std::uint32_t kDestructionLockLimitMs = 5000;
    static const cim::CIMNamespaceName kArrayNamespace;

    // `owner` receives the lost-connection indications and supplies the root's options; it
    // may be null (nothing is reported then) and is detached by the owner before it goes.
    UACIMClient(UAConnectionOwner* owner, std::string host);
    // Logs off when still connected, waiting at most 5 s for requests under way.
    virtual ~UACIMClient();
    UACIMClient(const UACIMClient&) = delete;
    UACIMClient& operator=(const UACIMClient&) = delete;

    // Stores the credentials and connects; UA_E_FAIL when already connected (the link is
    // left as it is).
    MerrowReturnValue Logon(const std::string& userName, const std::string& password);
    // Connects again with the stored credentials; a non-empty host replaces the stored one.
    virtual MerrowReturnValue Reconnect(const std::string& host);
    // Removes what this client created on the array, then disconnects.
    MerrowReturnValue Logoff();
    // Disconnects and forgets the subscription records, without talking to the array.
    virtual MerrowReturnValue Disconnect();
    // Stored, and applied at once when connected; kNoTimeout means none.
    MerrowReturnValue setTimeout(std::uint32_t milliseconds);
    // Reads the array's firmware version and applies the compatibility rule; a refusal or an
    // unreadable version sets state 6. A failed request gives the result a failed log-in
    // would (a CIM error other than "access denied" is UA_E_FAIL, the state unchanged).
    MerrowReturnValue VerifyFirmwareVersionCompatibility();
    // The keep-alive probe. Transport failures are re-raised after the request wrapper has
    // changed the state; so is a time-out, which here means the array hangs and is reported
    // as a lost link. A changed controller slot disconnects (UA_E_NOTCONNECTED).
    MerrowReturnValue Ping();
    // The array's top-level computer system: the only one, or the first that has component
    // systems (the controllers). Request failures are raised.
    MerrowReturnValue GetTopComputerSystem(cim::CIMObjectPath& path);

    // Creates, or finds and reuses, the handler, the filter for `query` and the subscription
    // that joins them.
    MerrowReturnValue SubscribeToIndication(const std::string& query);

    std::int32_t GetConnectionState() const { return m_state.load(); }
    std::string GetHostName() const;
    UAVersion GetArrayVersion() const;
    std::uint16_t GetActiveSlot() const;
    // The time of the last answer from the array; throws UALockTimeout when the client lock
    // is not free within the limit.
    std::chrono::steady_clock::time_point GetLastExchangeTime(std::uint32_t lockLimitMs) const;

    // Forgets the owner; called by the owner before it is destroyed.
    void DetachOwner();

    // The request wrappers: the CIM operations of cim::CIMClient under the client lock, with
    // the failure handling described at the top. Paths of the classes listed in
    // UAObjectPathFixer are corrected first (getInstance, deleteInstance, associators,
    // associatorNames, invokeMethod).
    cim::CIMInstance getInstance(const cim::CIMNamespaceName& nameSpace,
                                 const cim::CIMObjectPath& instanceName, bool localOnly = false,
                                 bool includeQualifiers = false, bool includeClassOrigin = false,
                                 const cim::CIMPropertyList& propertyList = {});
    void deleteInstance(const cim::CIMNamespaceName& nameSpace,
                        const cim::CIMObjectPath& instanceName);
    cim::CIMObjectPath createInstance(const cim::CIMNamespaceName& nameSpace,
                                      const cim::CIMInstance& newInstance);
    void modifyInstance(const cim::CIMNamespaceName& nameSpace,
                        const cim::CIMInstance& modifiedInstance, bool includeQualifiers = false,
                        const cim::CIMPropertyList& propertyList = {});
    std::vector<cim::CIMInstance>
    enumerateInstances(const cim::CIMNamespaceName& nameSpace, const cim::CIMName& className,
                       bool deepInheritance = true, bool localOnly = false,
                       bool includeQualifiers = false, bool includeClassOrigin = false,
                       const cim::CIMPropertyList& propertyList = {});
    std::vector<cim::CIMObjectPath> enumerateInstanceNames(const cim::CIMNamespaceName& nameSpace,
                                                           const cim::CIMName& className);
    std::vector<cim::CIMName> enumerateClassNames(const cim::CIMNamespaceName& nameSpace,
                                                  const cim::CIMName& className,
                                                  bool deepInheritance);
    std::vector<cim::CIMObject>
    associators(const cim::CIMNamespaceName& nameSpace, const cim::CIMObjectPath& objectName,
                const cim::CIMName& assocClass = {}, const cim::CIMName& resultClass = {},
                const std::string& role = {}, const std::string& resultRole = {},
                bool includeQualifiers = false, bool includeClassOrigin = false,
                const cim::CIMPropertyList& propertyList = {});
    std::vector<cim::CIMObjectPath>
    associatorNames(const cim::CIMNamespaceName& nameSpace, const cim::CIMObjectPath& objectName,
                    const cim::CIMName& assocClass = {}, const cim::CIMName& resultClass = {},
                    const std::string& role = {}, const std::string& resultRole = {});
    cim::CIMValue invokeMethod(const cim::CIMNamespaceName& nameSpace,
                               const cim::CIMObjectPath& instanceName,
                               const cim::CIMName& methodName,
                               const std::vector<cim::CIMParamValue>& inParameters,
                               std::vector<cim::CIMParamValue>& outParameters);

protected:
    // Runs `action` with the owner when there still is one; false otherwise.
    template <typename Action> bool withOwner(Action&& action) const {
        std::shared_lock lock(m_ownerMutex);
        if (!m_owner)
            return false;
        action(*m_owner);
        return true;
    }

    const UALockableObject& clientLock() const { return m_lock; }

private:
    // One query's objects on the array and whether this client made them (only those are
    // deleted at log-off).
    struct SubscriptionEntry {
        std::string query;
        cim::CIMObjectPath filterPath;
        cim::CIMObjectPath subscriptionPath;
        bool filterCreated = false;
        bool subscriptionCreated = false;
    };

    template <typename Request>
    auto runRequest(const std::string& arguments, Request&& request,
                    Merrow::Trace::SourceLocation where = Merrow::Trace::SourceLocation::current());
    [[noreturn]] void handleRequestFailure(const Merrow::Trace::SourceLocation& where);
    void transportFailure(const std::string& what, const Merrow::Trace::SourceLocation& where);
    void connectionLost();
    MerrowReturnValue connectFailure();
    void recordExchange();
    void applyTimeout();
    void setHost(const std::string& host);

    MerrowReturnValue checkFirmware();
    MerrowReturnValue refuseFirmware(const std::string& message);
    MerrowReturnValue checkPingObject();

    void subscribe(const std::string& query);
    bool forgetVanishedIndicationObjects();
    SubscriptionEntry& entryFor(const std::string& query);
    void createHandler();
    void allowIndicationsFromArray();
    cim::CIMObjectPath findHandler(const std::string& name);
    bool enumerateFindFilter(SubscriptionEntry& entry);
    void addFilter(SubscriptionEntry& entry);
    bool enumerateSubscriptions(SubscriptionEntry& entry);
    void createSubscription(SubscriptionEntry& entry);
    void deleteCreatedObjects();
    bool deleteCreatedObject(const cim::CIMObjectPath& path);
    void dropSubscriptionRecords();

    UALockableObject m_lock;
    std::atomic<std::int32_t> m_state{STATE_NOT_CONNECTED};

    mutable std::mutex m_hostMutex; // guards m_host
    std::string m_host;

    mutable std::shared_mutex m_ownerMutex; // guards m_owner
    UAConnectionOwner* m_owner;

    // Guarded by m_lock.
    std::uint32_t m_timeoutMs = kNoTimeout;
    std::string m_userName;
    std::string m_password;
    cim::CIMClient m_client;
    std::string m_localAddress;
    // The array's address the listener was told to hear indications from; empty when none.
    std::string m_indicationSender;
    cim::CIMObjectPath m_handlerPath;
    std::vector<SubscriptionEntry> m_subscriptions;
    std::chrono::steady_clock::time_point m_lastExchange;
    UAVersion m_arrayVersion;
    std::uint16_t m_activeSlot = kNoSlot;
};

} // namespace Merrow::UserAgent
