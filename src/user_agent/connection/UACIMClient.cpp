#include "user_agent/connection/UACIMClient.h"

#include <algorithm>

#include "cim/value/CIMException.h"
#include "cim/http/CIMTransportExceptions.h"
#include "trace/Trace.h"
#include "user_agent/base/CIMObjectPathIdentity.h"
#include "user_agent/base/CIMValueConversions.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/connection/UAConnectionOwner.h"
#include "user_agent/base/UAException.h"
#include "user_agent/indications/UAIndication.h"
#include "user_agent/connection/UAObjectPathFixer.h"

#include <cctype>
#include <new>
#include <optional>
#include <random>

namespace Merrow::UserAgent {

const cim::CIMNamespaceName UACIMClient::kArrayNamespace("root/snia");

namespace {

using namespace Merrow::Trace;
using R = MerrowReturnValue;

constexpr const char* kUnauthorizedText = "HTTP Error (401 Unauthorized).";

// The limit for opening the link: an array that answers does so within milliseconds; one
// that does not must not hold the connect for the minutes a request may take, nor for
// longer than a request may (kNoTimeout is the largest value, so it gives the default).
std::uint32_t connectTimeoutFor(std::uint32_t requestTimeoutMs) {
    return std::min(requestTimeoutMs, cim::CIMClient::kDefaultTimeoutMilliseconds);
}
constexpr const char* kHandlerClass = "CIM_IndicationHandlerCIMXML";
constexpr const char* kFilterClass = "CIM_IndicationFilter";
constexpr const char* kSubscriptionClass = "CIM_IndicationSubscription";
// Filter names are "MerrowFilter" plus a number drawn from this range; the generator starts
// from the same seed for every filter, so a name taken by another client is met again and
// skipped by drawing on.
constexpr int kFilterNumberLow = 1;
constexpr int kFilterNumberHigh = 20000;
constexpr std::mt19937::result_type kFilterSeed = 5489;

// A record at the place a request was made rather than where its failure is handled.
void traceAt(const Merrow::Trace::SourceLocation& where, std::uint32_t verbosity, const char* category,
             const std::string& text) {
    TraceStreamClass& stream = getThreadTraceStream();
    if (!stream.wants(verbosity))
        return;
    stream.beginRecord(where.file_name(), static_cast<std::int32_t>(where.line()),
                       where.function_name(), verbosity, category)
        << text << MWENDREC;
}

bool isUnauthorized(const cim::CIMHttpErrorException& e) {
    return e.statusCode() == 401 || std::string(e.what()) == kUnauthorizedText;
}

// Every character other than a letter, a digit or "_" becomes "_", so that a host address
// fits into an instance name.
std::string instanceNameSafe(std::string text) {
    for (char& c : text) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            c = '_';
    }
    return text;
}

std::optional<cim::CIMObjectPath> referenceProperty(const cim::CIMInstance& instance,
                                                    const char* name) {
    const auto index = instance.findProperty(name);
    if (index == cim::CIMInstance::npos)
        return std::nullopt;
    const cim::CIMValue& value = instance.getProperty(index).getValue();
    if (value.isNull() || value.isArray() || value.getType() != cim::CIMType::Reference)
        return std::nullopt;
    return value.get<cim::CIMObjectPath>();
}

std::optional<std::string> stringProperty(const cim::CIMInstance& instance, const char* name) {
    const auto index = instance.findProperty(name);
    if (index == cim::CIMInstance::npos)
        return std::nullopt;
    const cim::CIMValue& value = instance.getProperty(index).getValue();
    if (value.isNull() || value.isArray() || value.getType() != cim::CIMType::String)
        return std::nullopt;
    return value.get<std::string>();
}

// An unsigned integer property of any integer type, or sent untyped as text.
std::optional<std::uint64_t> unsignedProperty(const cim::CIMInstance& instance, const char* name) {
    const auto index = instance.findProperty(name);
    if (index == cim::CIMInstance::npos)
        return std::nullopt;
    return CIMValueOrTextToUint64(instance.getProperty(index).getValue());
}

} // namespace

UACIMClient::UACIMClient(UAConnectionOwner* owner, std::string host)
    : m_host(std::move(host)), m_owner(owner) {}

UACIMClient::~UACIMClient() {
    if (!m_lock.TryLock(kDestructionLockLimitMs))
        return;
    try {
        if (m_state.load() == STATE_CONNECTED)
            Logoff();
    } catch (...) {
        // A failed log-off must not take the process down while a connection is dropped.
    }
    m_lock.Unlock();
}

std::string UACIMClient::GetHostName() const {
    std::lock_guard lock(m_hostMutex);
    return m_host;
}

void UACIMClient::setHost(const std::string& host) {
    std::lock_guard lock(m_hostMutex);
    m_host = host;
}

UAVersion UACIMClient::GetArrayVersion() const {
    UALockableObject::ScopedLock lock(m_lock);
    return m_arrayVersion;
}

std::uint16_t UACIMClient::GetActiveSlot() const {
    UALockableObject::ScopedLock lock(m_lock);
    return m_activeSlot;
}

std::chrono::steady_clock::time_point
UACIMClient::GetLastExchangeTime(std::uint32_t lockLimitMs) const {
    UALockableObject::ScopedLock lock(m_lock, lockLimitMs);
    return m_lastExchange;
}

void UACIMClient::DetachOwner() {
    std::unique_lock lock(m_ownerMutex);
    m_owner = nullptr;
}

void UACIMClient::recordExchange() {
    m_lastExchange = std::chrono::steady_clock::now();
}

void UACIMClient::applyTimeout() {
    // The CIM client reads 0 as "no limit".
    m_client.setTimeout(m_timeoutMs == kNoTimeout ? 0 : m_timeoutMs);
}

// ---- log-in, log-off ---------------------------------------------------------------------

MerrowReturnValue UACIMClient::Logon(const std::string& userName, const std::string& password) {
    MWSCOPE("");
    UALockableObject::ScopedLock lock(m_lock);
    if (m_state.load() == STATE_CONNECTED)
        return R::UA_E_FAIL;
    m_userName = userName;
    m_password = password;
    return UACIMClient::Reconnect(std::string());
}

MerrowReturnValue UACIMClient::Reconnect(const std::string& host) {
    MWSCOPE(host.c_str());
    UALockableObject::ScopedLock lock(m_lock);
    m_activeSlot = kNoSlot;
    if (!host.empty())
        setHost(host);
    // The CIM client keeps its target after a failed exchange and would only answer "already
    // connected"; opening the link afresh shows at once whether the array is back.
    if (m_state.load() != STATE_CONNECTED)
        m_client.disconnect();
    try {
        m_client.setTimeout(connectTimeoutFor(m_timeoutMs));
        m_client.connect(GetHostName(), kArrayPort, m_userName, m_password);
        recordExchange();
        m_localAddress = m_client.getPublicIP();
        m_state = STATE_CONNECTED;
        applyTimeout();
        return R();
    } catch (...) {
        return connectFailure();
    }
}

MerrowReturnValue UACIMClient::connectFailure() {
    try {
        throw;
    } catch (const cim::CIMAlreadyConnectedException&) {
        m_state = STATE_CONNECTED;
        return R();
    } catch (const cim::CIMCannotConnectException&) {
        m_state = STATE_NOT_REACHABLE;
        return R::UA_E_FAIL;
    } catch (const cim::CIMMalformedHttpException&) {
        m_state = STATE_PROTOCOL_FAILURE;
        return R::UA_E_FAIL;
    } catch (const cim::CIMException& e) {
        if (e.getCode() == cim::CIMStatusCode::AccessDenied) {
            m_state = STATE_AUTHORIZATION_FAILED;
            return R::UA_E_ACCESSDENIED;
        }
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << "Pegasus exception: " << e.what() << MWENDREC;
        return R::UA_E_FAIL;
    } catch (const cim::CIMHttpErrorException& e) {
        if (isUnauthorized(e)) {
            m_state = STATE_AUTHORIZATION_FAILED;
            return R::UA_E_ACCESSDENIED;
        }
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << "Pegasus exception: " << e.what() << MWENDREC;
        return R::UA_E_FAIL;
    } catch (const std::bad_alloc&) {
        return R::UA_E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << "Pegasus exception: " << e.what() << MWENDREC;
        return R::UA_E_FAIL;
    } catch (...) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT) << " Run-time exception caught!" << MWENDREC;
        return R::UA_E_FAIL;
    }
}

MerrowReturnValue UACIMClient::Logoff() {
    MWSCOPE("");
    UALockableObject::ScopedLock lock(m_lock);
    m_activeSlot = kNoSlot;
    deleteCreatedObjects();
    m_client.disconnect();
    dropSubscriptionRecords();
    m_state = STATE_NOT_CONNECTED;
    return R();
}

MerrowReturnValue UACIMClient::Disconnect() {
    MWSCOPE("");
    UALockableObject::ScopedLock lock(m_lock);
    m_client.disconnect();
    dropSubscriptionRecords();
    m_state = STATE_NOT_CONNECTED;
    return R();
}

MerrowReturnValue UACIMClient::setTimeout(std::uint32_t milliseconds) {
    UALockableObject::ScopedLock lock(m_lock);
    m_timeoutMs = milliseconds;
    if (m_state.load() == STATE_CONNECTED)
        applyTimeout();
    return R();
}

// ---- request wrappers --------------------------------------------------------------------

template <typename Request>
auto UACIMClient::runRequest(const std::string& arguments, Request&& request,
                             Merrow::Trace::SourceLocation where) {
    ScopeTracer scope(arguments.c_str(), where.file_name(), static_cast<std::int32_t>(where.line()),
                      where.function_name());
    UALockableObject::ScopedLock lock(m_lock);
    try {
        return request();
    } catch (...) {
        handleRequestFailure(where);
    }
}

void UACIMClient::handleRequestFailure(const Merrow::Trace::SourceLocation& where) {
    try {
        throw;
    } catch (const cim::CIMCannotConnectException& e) {
        if (m_state.load() == STATE_CONNECTED)
            connectionLost();
        else
            m_state = STATE_PROTOCOL_FAILURE;
        traceAt(where, TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT,
                std::string("CannotConnectException caught! - ") + e.what());
        throw;
    } catch (const cim::CIMHttpErrorException& e) {
        if (isUnauthorized(e))
            m_state = STATE_AUTHORIZATION_FAILED;
        traceAt(where, TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT,
                std::string("Exception Run-time exception caught! - ") + e.what());
        throw;
    } catch (const cim::CIMNotConnectedException& e) {
        transportFailure(std::string("NotConnectedException caught! - ") + e.what(), where);
        throw;
    } catch (const cim::CIMTimeoutException& e) {
        // A request that outlasts its time-out fails on its own and leaves the state alone:
        // the array may only be slow. A link that really broke shows up as a transport
        // failure, here or in the next keep-alive probe.
        traceAt(where, TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT,
                std::string("Exception Run-time exception caught! - ") + e.what());
        throw;
    } catch (const cim::CIMMalformedHttpException& e) {
        transportFailure(std::string("MalformedHTTPException caught! - ") + e.what(), where);
        throw;
    } catch (const cim::CIMException& e) {
        // The array answered, so the link works whatever the answer was.
        recordExchange();
        if (e.getCode() == cim::CIMStatusCode::AccessDenied)
            m_state = STATE_AUTHORIZATION_FAILED;
        else if (e.getCode() != cim::CIMStatusCode::NotFound)
            traceAt(where, TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT,
                    std::string("CIMException Run-time exception caught! - ") + e.what());
        throw;
    } catch (const MWExceptionAbstractClass& e) {
        traceAt(where, TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT,
                "MWException Run-time exception caught! - " + e.getMessage());
        throw;
    } catch (const std::exception& e) {
        traceAt(where, TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT,
                std::string("Exception Run-time exception caught! - ") + e.what());
        throw;
    } catch (...) {
        traceAt(where, TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT, "UNKNOWN Run-time exception caught!");
        throw;
    }
}

void UACIMClient::transportFailure(const std::string& what, const Merrow::Trace::SourceLocation& where) {
    traceAt(where, TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT, what);
    if (m_state.load() == STATE_CONNECTED)
        connectionLost();
}

// Only the transition out of "connected" reports, so one outage gives one indication however
// many requests fail during it.
void UACIMClient::connectionLost() {
    m_state = STATE_CONNECTION_LOST;
    const std::string host = GetHostName();
    const UAIndication lost =
        UAIndication::makeLostConnection(host, "Connection to " + host + " lost");
    withOwner([&](UAConnectionOwner& owner) { owner.OnIndicationReceived(lost); });
}

cim::CIMInstance UACIMClient::getInstance(const cim::CIMNamespaceName& nameSpace,
                                          const cim::CIMObjectPath& instanceName, bool localOnly,
                                          bool includeQualifiers, bool includeClassOrigin,
                                          const cim::CIMPropertyList& propertyList) {
    const cim::CIMObjectPath path = UAObjectPathFixer::FixObjectPathForBadProviders(instanceName);
    return runRequest("(InstanceName=" + path.toString() + ")", [&] {
        cim::CIMInstance instance = m_client.getInstance(
            nameSpace, path, localOnly, includeQualifiers, includeClassOrigin, propertyList);
        instance.setPath(instanceName);
        return instance;
    });
}

void UACIMClient::deleteInstance(const cim::CIMNamespaceName& nameSpace,
                                 const cim::CIMObjectPath& instanceName) {
    const cim::CIMObjectPath path = UAObjectPathFixer::FixObjectPathForBadProviders(instanceName);
    runRequest("(Path=" + path.toString() + ")", [&] { m_client.deleteInstance(nameSpace, path); });
}

cim::CIMObjectPath UACIMClient::createInstance(const cim::CIMNamespaceName& nameSpace,
                                               const cim::CIMInstance& newInstance) {
    return runRequest("(NewInstance=" + newInstance.getClassName().getString() + ")",
                      [&] { return m_client.createInstance(nameSpace, newInstance); });
}

void UACIMClient::modifyInstance(const cim::CIMNamespaceName& nameSpace,
                                 const cim::CIMInstance& modifiedInstance, bool includeQualifiers,
                                 const cim::CIMPropertyList& propertyList) {
    runRequest("(ModifiedInstance=" + modifiedInstance.getPath().toString() + ")", [&] {
        m_client.modifyInstance(nameSpace, modifiedInstance, includeQualifiers, propertyList);
    });
}

std::vector<cim::CIMInstance>
UACIMClient::enumerateInstances(const cim::CIMNamespaceName& nameSpace,
                                const cim::CIMName& className, bool deepInheritance, bool localOnly,
                                bool includeQualifiers, bool includeClassOrigin,
                                const cim::CIMPropertyList& propertyList) {
    return runRequest("(ClassName=" + className.getString() + ")", [&] {
        return m_client.enumerateInstances(nameSpace, className, deepInheritance, localOnly,
                                           includeQualifiers, includeClassOrigin, propertyList);
    });
}

std::vector<cim::CIMObjectPath>
UACIMClient::enumerateInstanceNames(const cim::CIMNamespaceName& nameSpace,
                                    const cim::CIMName& className) {
    return runRequest("(ClassName=" + className.getString() + ")",
                      [&] { return m_client.enumerateInstanceNames(nameSpace, className); });
}

std::vector<cim::CIMName> UACIMClient::enumerateClassNames(const cim::CIMNamespaceName& nameSpace,
                                                          const cim::CIMName& className,
                                                          bool deepInheritance) {
    return runRequest("(ClassName=" + className.getString() + ")", [&] {
        return m_client.enumerateClassNames(nameSpace, className, deepInheritance);
    });
}

std::vector<cim::CIMObject>
UACIMClient::associators(const cim::CIMNamespaceName& nameSpace,
                         const cim::CIMObjectPath& objectName, const cim::CIMName& assocClass,
                         const cim::CIMName& resultClass, const std::string& role,
                         const std::string& resultRole, bool includeQualifiers,
                         bool includeClassOrigin, const cim::CIMPropertyList& propertyList) {
    const cim::CIMObjectPath path = UAObjectPathFixer::FixObjectPathForBadProviders(objectName);
    return runRequest("(ObjectName=" + path.toString() + ", AssocClass=" + assocClass.getString() +
                          ", ResultClass=" + resultClass.getString() + ")",
                      [&] {
                          return m_client.associators(nameSpace, path, assocClass, resultClass,
                                                      role, resultRole, includeQualifiers,
                                                      includeClassOrigin, propertyList);
                      });
}

std::vector<cim::CIMObjectPath> UACIMClient::associatorNames(const cim::CIMNamespaceName& nameSpace,
                                                             const cim::CIMObjectPath& objectName,
                                                             const cim::CIMName& assocClass,
                                                             const cim::CIMName& resultClass,
                                                             const std::string& role,
                                                             const std::string& resultRole) {
    const cim::CIMObjectPath path = UAObjectPathFixer::FixObjectPathForBadProviders(objectName);
    return runRequest("(ObjectName=" + path.toString() + ", AssocClass=" + assocClass.getString() +
                          ", ResultClass=" + resultClass.getString() + ")",
                      [&] {
                          return m_client.associatorNames(nameSpace, path, assocClass, resultClass,
                                                          role, resultRole);
                      });
}

cim::CIMValue UACIMClient::invokeMethod(const cim::CIMNamespaceName& nameSpace,
                                        const cim::CIMObjectPath& instanceName,
                                        const cim::CIMName& methodName,
                                        const std::vector<cim::CIMParamValue>& inParameters,
                                        std::vector<cim::CIMParamValue>& outParameters) {
    const cim::CIMObjectPath path = UAObjectPathFixer::FixObjectPathForBadProviders(instanceName);
    return runRequest(
        " For object=" + path.toString() + " MethodName=" + methodName.getString(), [&] {
            return m_client.invokeMethod(nameSpace, path, methodName, inParameters, outParameters);
        });
}

// ---- firmware, probe, top system ---------------------------------------------------------

MerrowReturnValue UACIMClient::VerifyFirmwareVersionCompatibility() {
    MWSCOPE("");
    UALockableObject::ScopedLock lock(m_lock);
    MWTRACE(TV_INFO, TC_INFO) << "User Agent version=" << UAVersion::kClient << MWENDREC;
    if (UAVersion::kClient.getKey() < UAVersion::kInvalidFloor.getKey()) {
        MWTRACE(TV_INFO, TC_INFO) << "Client has invalid version ID string, so assumed compatible"
                                  << MWENDREC;
        return R();
    }
    try {
        return checkFirmware();
    } catch (const UAException& e) {
        return refuseFirmware(e.getMessage());
    } catch (...) {
        // A request that failed says nothing about the firmware: it ends like a failed
        // log-in, and only a refused log-in changes the state.
        return connectFailure();
    }
}

MerrowReturnValue UACIMClient::checkFirmware() {
    const auto images = enumerateInstances(kArrayNamespace, "Merrow_FirmwareImagesInfo");
    if (images.empty()) {
        MWTRACE(TV_WARNING, TC_ERROR_WARNING)
            << "Unable to get at least one Merrow_FirmwareImagesInfo object - received "
            << images.size() << " objects" << MWENDREC;
        m_state = STATE_FIRMWARE_INCOMPATIBLE;
        return R::UA_E_FAIL;
    }
    const auto text = stringProperty(images.front(), "ActiveImageVersion");
    if (!text) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << "Property ActiveImageVersion not found in " << images.front().getPath().toString()
            << MWENDREC;
        m_state = STATE_FIRMWARE_INCOMPATIBLE;
        return R::UA_E_FAIL;
    }
    MWTRACE(TV_INFO, TC_INFO) << "Firmware version=" << *text << MWENDREC;
    m_arrayVersion = UAVersion::parse(*text);
    switch (UAVersion::checkArray(m_arrayVersion)) {
    case UAVersion::Compatibility::Compatible:
    case UAVersion::Compatibility::ClientVersionInvalid:
        return R();
    case UAVersion::Compatibility::ArrayVersionInvalid:
        MWTRACE(TV_WARNING, TC_ERROR_WARNING) << "Corvane has invalid version ID string (" << *text
                                              << "), so assumed incompatible" << MWENDREC;
        m_state = STATE_FIRMWARE_INCOMPATIBLE;
        return R::UA_E_FAIL;
    case UAVersion::Compatibility::Incompatible:
        return refuseFirmware("Storage Array has version (" + m_arrayVersion.toString() +
                              "), which is not compatible with the client version (" +
                              UAVersion::kClient.toString() + ")");
    }
    return R::UA_E_FAIL;
}

MerrowReturnValue UACIMClient::refuseFirmware(const std::string& message) {
    MWTRACE(TV_WARNING, TC_ERROR_WARNING) << message << MWENDREC;
    m_state = STATE_FIRMWARE_INCOMPATIBLE;
    return R(R::UA_E_FAIL, message);
}

MerrowReturnValue UACIMClient::Ping() {
    MWSCOPE("");
    UALockableObject::ScopedLock lock(m_lock);
    try {
        if (m_arrayVersion.getMajor() > 2) {
            const MerrowReturnValue slot = checkPingObject();
            if (slot.isFailure())
                return slot;
        } else {
            const cim::CIMObjectPath probe(GetHostName(), "root/PG_Internal", "PG_ConfigSetting",
                                           {cim::CIMKeyBinding("PropertyName", "traceLevel",
                                                               cim::CIMKeyBinding::Type::String)});
            getInstance("root/PG_Internal", probe);
        }
    } catch (const cim::CIMTimeoutException&) {
        // An ordinary request that times out may only have met a slow array, but the probe is
        // the smallest request there is: an array that cannot answer it in time hangs, and the
        // layer above must hear that the link is gone so that it reconnects.
        if (m_state.load() == STATE_CONNECTED)
            connectionLost();
        throw;
    }
    recordExchange();
    return R();
}

// The ping object tells which controller slot runs the management service. When another
// controller took over, everything this client knows about the array may be stale.
MerrowReturnValue UACIMClient::checkPingObject() {
    const auto pingObjects = enumerateInstances(kArrayNamespace, "Merrow_PingObject");
    const std::optional<std::uint64_t> slot =
        pingObjects.empty() ? std::nullopt : unsignedProperty(pingObjects.front(), "SlotId");
    if (!slot) {
        Disconnect();
        return R::UA_E_NOTCONNECTED;
    }
    if (m_activeSlot == kNoSlot) {
        m_activeSlot = static_cast<std::uint16_t>(*slot);
    } else if (m_activeSlot != *slot) {
        MWTRACE(TV_WARNING, TC_ERROR_WARNING) << "Active controller slot changed from "
                                              << m_activeSlot << " to " << *slot << MWENDREC;
        m_activeSlot = kNoSlot;
        Disconnect();
        return R::UA_E_NOTCONNECTED;
    }
    return R();
}

MerrowReturnValue UACIMClient::GetTopComputerSystem(cim::CIMObjectPath& path) {
    MWSCOPE("");
    UALockableObject::ScopedLock lock(m_lock);
    const auto systems = enumerateInstanceNames(kArrayNamespace, "CIM_ComputerSystem");
    if (systems.empty()) {
        MWTRACE(TV_WARNING, TC_ERROR_EXTERNAL_API_FAILURE)
            << " Error - No CIM_ComputerSystem's found" << MWENDREC;
        return R::UA_E_UNEXPECTED;
    }
    path = systems.front();
    if (systems.size() > 1) {
        for (const cim::CIMObjectPath& system : systems) {
            if (!associatorNames(kArrayNamespace, system, "CIM_ComponentCS", "CIM_ComputerSystem")
                     .empty()) {
                path = system;
                break;
            }
        }
    }
    MWTRACE(TV_INFO, TC_INFO) << "TopComputerSystem path=" << path.toString() << MWENDREC;
    return R();
}

// ---- indication subscription -------------------------------------------------------------

MerrowReturnValue UACIMClient::SubscribeToIndication(const std::string& query) {
    MWSCOPE(query.c_str());
    UALockableObject::ScopedLock lock(m_lock);
    try {
        try {
            subscribe(query);
        } catch (const cim::CIMException&) {
            // An array reset or replaced while the link was down no longer holds the handler
            // and filters remembered from before, and refuses a subscription naming them.
            if (!forgetVanishedIndicationObjects())
                throw;
            subscribe(query);
        }
        return R();
    } catch (const cim::CIMException& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << "Subscription for \"" << query << "\" refused: " << e.what() << MWENDREC;
        return R::UA_E_FAIL;
    } catch (const MWExceptionAbstractClass& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << "MWException Run-time exception caught! - " << e.getMessage() << MWENDREC;
        return R::UA_E_UNEXPECTED;
    } catch (...) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT) << "RUN-TIME EXCEPTION CAUGHT!" << MWENDREC;
        return R::UA_E_FAIL;
    }
}

void UACIMClient::subscribe(const std::string& query) {
    if (m_handlerPath.isNull())
        createHandler();
    SubscriptionEntry& entry = entryFor(query);
    if (entry.filterPath.isNull() && !enumerateFindFilter(entry))
        addFilter(entry);
    if (!enumerateSubscriptions(entry))
        createSubscription(entry);
}

// Forgets the remembered handler and filters the array no longer lists (with the
// subscriptions that named them), so that the next try finds or makes them again; what is
// still there keeps its "created by us" mark for the log-off. False when nothing was gone.
bool UACIMClient::forgetVanishedIndicationObjects() {
    const auto holds = [](const std::vector<cim::CIMObjectPath>& names, const cim::CIMObjectPath& path) {
        return std::any_of(names.begin(), names.end(),
                           [&](const cim::CIMObjectPath& name) { return IsSameObjectPath(name, path); });
    };
    bool forgotten = false;
    if (!m_handlerPath.isNull() &&
        !holds(enumerateInstanceNames(kArrayNamespace, kHandlerClass), m_handlerPath)) {
        m_handlerPath = cim::CIMObjectPath();
        forgotten = true;
    }
    const auto filters = enumerateInstanceNames(kArrayNamespace, kFilterClass);
    for (SubscriptionEntry& entry : m_subscriptions) {
        if (entry.filterPath.isNull() || holds(filters, entry.filterPath))
            continue;
        entry = SubscriptionEntry{entry.query, {}, {}, false, false};
        forgotten = true;
    }
    MWTRACE(TV_WARNING, TC_ERROR_WARNING)
        << (forgotten ? "The array no longer holds our indication handler or filters; making them again"
                      : "The array refused a subscription to indication objects it still holds")
        << MWENDREC;
    return forgotten;
}

UACIMClient::SubscriptionEntry& UACIMClient::entryFor(const std::string& query) {
    for (SubscriptionEntry& entry : m_subscriptions) {
        if (entry.query == query)
            return entry;
    }
    m_subscriptions.push_back(SubscriptionEntry{query, {}, {}, false, false});
    return m_subscriptions.back();
}

void UACIMClient::createHandler() {
    std::uint16_t port = 0;
    withOwner([&](UAConnectionOwner& owner) { port = owner.GetListenerPort(); });
    if (port == 0)
        throw MWEApplicationException("The indication listener is not running", __FILE__, __LINE__,
                                      __PRETTY_FUNCTION__);
    const std::string portText = std::to_string(port);
    cim::CIMInstance handler(kHandlerClass);
    handler.addProperty({"SystemCreationClassName", cim::CIMValue("CIM_ComputerSystem")});
    handler.addProperty({"CreationClassName", cim::CIMValue(kHandlerClass)});
    const std::string name =
        instanceNameSafe("h_" + m_localAddress + "_" + portText + "_merrowhandler");
    handler.addProperty({"Name", cim::CIMValue(name)});
    handler.addProperty({"PersistenceType", cim::CIMValue(std::uint16_t{2})});
    handler.addProperty({"OtherPersistenceType", cim::CIMValue("")});
    handler.addProperty({"Destination", cim::CIMValue("http://" + m_localAddress + ":" + portText +
                                                      "/CIMListener/" + GetHostName())});
    allowIndicationsFromArray();
    try {
        m_handlerPath = createInstance(kArrayNamespace, handler);
    } catch (const cim::CIMException& e) {
        // A link that ended without a log-off (a controller fail-over, a lost connection)
        // leaves our handler on the array; its name is ours alone, so it is ours to use.
        if (e.getCode() != cim::CIMStatusCode::AlreadyExists)
            throw;
        m_handlerPath = findHandler(name);
    }
}

cim::CIMObjectPath UACIMClient::findHandler(const std::string& name) {
    for (const cim::CIMInstance& handler : enumerateInstances(kArrayNamespace, kHandlerClass)) {
        if (stringProperty(handler, "Name") == name)
            return handler.getPath();
    }
    throw MWEPegasusClientRequest("Indication handler " + name +
                                      " exists on the array but is not listed",
                                  __FILE__, __LINE__, __PRETTY_FUNCTION__);
}

bool UACIMClient::enumerateFindFilter(SubscriptionEntry& entry) {
    for (const cim::CIMInstance& filter : enumerateInstances(kArrayNamespace, kFilterClass)) {
        if (stringProperty(filter, "Query") == entry.query) {
            entry.filterPath = filter.getPath();
            entry.filterCreated = false;
            return true;
        }
    }
    return false;
}

void UACIMClient::addFilter(SubscriptionEntry& entry) {
    cim::CIMInstance filter(kFilterClass);
    filter.addProperty({"Name", cim::CIMValue("")});
    filter.addProperty({"SystemCreationClassName", cim::CIMValue("CIM_ComputerSystem")});
    filter.addProperty({"CreationClassName", cim::CIMValue(kFilterClass)});
    filter.addProperty({"SourceNameSpace", cim::CIMValue(kArrayNamespace.getString())});
    filter.addProperty({"Query", cim::CIMValue(entry.query)});
    filter.addProperty({"QueryLanguage", cim::CIMValue("WQL")});

    std::mt19937 generator(kFilterSeed);
    std::uniform_int_distribution<int> numbers(kFilterNumberLow, kFilterNumberHigh);
    for (int attempt = kFilterNumberLow; attempt <= kFilterNumberHigh; ++attempt) {
        filter.setPropertyValue("Name", "MerrowFilter" + std::to_string(numbers(generator)));
        try {
            entry.filterPath = createInstance(kArrayNamespace, filter);
            entry.filterCreated = true;
            return;
        } catch (const cim::CIMException& e) {
            if (e.getCode() != cim::CIMStatusCode::AlreadyExists)
                throw MWEPegasusClientRequest(e.what(), __FILE__, __LINE__, __PRETTY_FUNCTION__);
        }
    }
    throw MWEPegasusClientRequest("No free indication filter name", __FILE__, __LINE__,
                                  __PRETTY_FUNCTION__);
}

bool UACIMClient::enumerateSubscriptions(SubscriptionEntry& entry) {
    const auto subscriptions = enumerateInstances(kArrayNamespace, kSubscriptionClass);
    MWTRACE(TV_DETAIL, TC_INFO_DEBUG) << "Subscription count =" << subscriptions.size() << MWENDREC;
    for (const cim::CIMInstance& subscription : subscriptions) {
        const auto filter = referenceProperty(subscription, "Filter");
        const auto handler = referenceProperty(subscription, "Handler");
        if (!filter || !handler) {
            MWTRACE(TV_WARNING, TC_ERROR_WARNING)
                << (filter ? "Handler" : "Filter") << " not found in subscription "
                << subscription.getPath().toString() << MWENDREC;
            continue;
        }
        if (IsSameObjectPath(*filter, entry.filterPath) && IsSameObjectPath(*handler, m_handlerPath)) {
            entry.subscriptionPath = subscription.getPath();
            return true;
        }
    }
    return false;
}

void UACIMClient::createSubscription(SubscriptionEntry& entry) {
    cim::CIMInstance subscription(kSubscriptionClass);
    subscription.addProperty({"Filter", cim::CIMValue(entry.filterPath)});
    subscription.addProperty({"Handler", cim::CIMValue(m_handlerPath)});
    subscription.addProperty({"SubscriptionState", cim::CIMValue(std::uint16_t{2})});
    try {
        entry.subscriptionPath = createInstance(kArrayNamespace, subscription);
        entry.subscriptionCreated = true;
    } catch (const cim::CIMException& e) {
        if (e.getCode() != cim::CIMStatusCode::AlreadyExists)
            throw;
        entry.subscriptionCreated = false;
    }
}

// Subscriptions go before their filters and all of them before the handler: the array
// refuses to delete a filter or handler that a subscription still uses.
void UACIMClient::deleteCreatedObjects() {
    for (const SubscriptionEntry& entry : m_subscriptions) {
        if (entry.subscriptionCreated && !deleteCreatedObject(entry.subscriptionPath))
            return;
        if (entry.filterCreated && !deleteCreatedObject(entry.filterPath))
            return;
    }
    if (!m_handlerPath.isNull())
        deleteCreatedObject(m_handlerPath);
}

// False when the link failed: there is no point in trying the others.
bool UACIMClient::deleteCreatedObject(const cim::CIMObjectPath& path) {
    try {
        deleteInstance(kArrayNamespace, path);
        return true;
    } catch (const cim::CIMTransportException&) {
        return false;
    } catch (const std::exception& e) {
        MWTRACE(TV_WARNING, TC_ERROR_WARNING)
            << "Could not delete " << path.toString() << ": " << e.what() << MWENDREC;
        return true;
    }
}

void UACIMClient::dropSubscriptionRecords() {
    m_handlerPath = cim::CIMObjectPath();
    m_subscriptions.clear();
    if (m_indicationSender.empty())
        return;
    withOwner([&](UAConnectionOwner& owner) { owner.ForbidIndicationSender(m_indicationSender); });
    m_indicationSender.clear();
}

// The array sends from the address we reach it at.
void UACIMClient::allowIndicationsFromArray() {
    if (!m_indicationSender.empty())
        return;
    m_indicationSender = m_client.getServerIP();
    withOwner([&](UAConnectionOwner& owner) { owner.AllowIndicationSender(m_indicationSender); });
}

} // namespace Merrow::UserAgent
