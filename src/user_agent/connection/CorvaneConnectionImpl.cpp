#include "user_agent/connection/CorvaneConnectionImpl.h"

#include "trace/Trace.h"
#include "user_agent/base/CIMObjectPathIdentity.h"
#include "user_agent/base/TextUtil.h"
#include "user_agent/indications/ServiceIndication.h"
#include "user_agent/connection/UAConnectionOwner.h"
#include "user_agent/indications/UAIndication.h"

#include <algorithm>
#include <set>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;
using R = MerrowReturnValue;

// Where `service` is, or would go, in registrations sorted by service.
template <typename Registrations, typename Service>
auto placeOf(Registrations& registrations, const Service* service) {
    return std::lower_bound(registrations.begin(), registrations.end(), service,
                            [](const auto& registration, const Service* key) {
                                return registration.first < key;
                            });
}

} // namespace

std::shared_ptr<CorvaneConnectionImpl> CorvaneConnectionImpl::Create(UAConnectionOwner* owner,
                                                                     const std::string& host) {
    std::shared_ptr<CorvaneConnectionImpl> connection(new CorvaneConnectionImpl(owner, host));
    connection->SetConnection(CorvaneConnectionWeakRef(connection));
    return connection;
}

CorvaneConnectionImpl::CorvaneConnectionImpl(UAConnectionOwner* owner, const std::string& host)
    : UACIMClient(owner, host), MerrowServiceImpl(kTypeName, CorvaneConnectionWeakRef()) {}

CorvaneConnectionImpl::~CorvaneConnectionImpl() = default;

MerrowReturnValue CorvaneConnectionImpl::Connect(const std::string& userName,
                                                 const std::string& password) {
    MWSCOPE_OBJ(this, "");
    clearConsumers();
    const MerrowReturnValue result = Logon(userName, password);
    if (result.getCode() != R::UA_S_OK)
        return result;
    return checkAndSubscribe();
}

MerrowReturnValue CorvaneConnectionImpl::Reconnect(const std::string& host) {
    MWSCOPE_OBJ(this, host.c_str());
    clearConsumers();
    const MerrowReturnValue result = UACIMClient::Reconnect(host);
    if (result.getCode() != R::UA_S_OK)
        return result;
    return checkAndSubscribe();
}

MerrowReturnValue CorvaneConnectionImpl::checkAndSubscribe() {
    MerrowReturnValue result = VerifyFirmwareVersionCompatibility();
    if (result.isFailure() || IsNoIndications())
        return result;
    // The listener has reported its own failure to start; the array is still usable without
    // indications, and a handler pointing nowhere would only make the array post in vain.
    if (listenerPort() == 0) {
        MWTRACE(TV_WARNING, TC_ERROR_WARNING)
            << "The indication listener is not running, so no indications will be received from "
            << GetHostName() << MWENDREC;
        return result;
    }
    for (const char* query : kIndicationQueries) {
        result = SubscribeToIndication(query);
        if (result.isFailure())
            return result;
    }
    return result;
}

MerrowReturnValue CorvaneConnectionImpl::Logoff() {
    MWSCOPE_OBJ(this, "");
    clearConsumers();
    return UACIMClient::Logoff();
}

MerrowReturnValue CorvaneConnectionImpl::Disconnect() {
    MWSCOPE_OBJ(this, "");
    const MerrowReturnValue result = UACIMClient::Disconnect();
    QueueServiceIndication(ServiceIndication(MerrowService(weak_from_this().lock()),
                                             ServiceIndication::ServiceChanged,
                                             R(R::UA_E_NOTCONNECTED), UAIndication()));
    return result;
}

bool CorvaneConnectionImpl::IsNoIndications() const {
    bool noIndications = false;
    withOwner([&](UAConnectionOwner& owner) { noIndications = owner.IsNoIndications(); });
    return noIndications;
}

std::uint16_t CorvaneConnectionImpl::listenerPort() const {
    std::uint16_t port = 0;
    withOwner([&](UAConnectionOwner& owner) { port = owner.GetListenerPort(); });
    return port;
}

void CorvaneConnectionImpl::QueueServiceIndication(const ServiceIndication& indication) {
    withOwner([&](UAConnectionOwner& owner) { owner.QueueServiceIndication(indication); });
}

// ---- registrations and routing -----------------------------------------------------------

CorvaneConnectionImpl::IndicationKey CorvaneConnectionImpl::keyOf(std::int32_t indicationType,
                                                                  const std::string& className) {
    return {indicationType, TextUtil::toUpper(className)};
}

void CorvaneConnectionImpl::AddIndicationConsumer(std::int32_t indicationType,
                                                  const std::string& className,
                                                  const MerrowServiceWeakRef& service) {
    const IndicationKey key = keyOf(indicationType, className);
    {
        std::lock_guard lock(m_consumersMutex);
        addIndicationConsumerLocked(key, service);
    }
    m_routes.Add(service);
}

void CorvaneConnectionImpl::AddIndicationConsumers(const std::vector<std::string>& classNames,
                                                   const MerrowServiceWeakRef& service) {
    std::vector<std::string> upperNames;
    upperNames.reserve(classNames.size());
    for (const std::string& className : classNames)
        upperNames.push_back(TextUtil::toUpper(className));
    {
        std::lock_guard lock(m_consumersMutex);
        for (std::string& name : upperNames) {
            for (const auto type : {UAIndication::CIMIndicationType_Creation,
                                    UAIndication::CIMIndicationType_Deletion,
                                    UAIndication::CIMIndicationType_Modification})
                addIndicationConsumerLocked({type, name}, service);
        }
    }
    m_routes.Add(service);
}

void CorvaneConnectionImpl::addIndicationConsumerLocked(const IndicationKey& key,
                                                        const MerrowServiceWeakRef& service) {
    const MerrowServiceImpl* raw = service.GetRaw();
    const auto registered = m_consumers.try_emplace(key).first;
    if (registerIn(registered->second, service))
        m_keysByService[raw].push_back(&registered->first);
}

bool CorvaneConnectionImpl::registerIn(Registrations& registrations,
                                       const MerrowServiceWeakRef& service) {
    const MerrowServiceImpl* raw = service.GetRaw();
    const auto at = placeOf(registrations, raw);
    if (at != registrations.end() && at->first == raw) {
        at->second = service;
        return false;
    }
    registrations.emplace(at, raw, service);
    return true;
}

void CorvaneConnectionImpl::unregisterFrom(Registrations& registrations,
                                           const MerrowServiceImpl* service) {
    const auto at = placeOf(registrations, service);
    if (at != registrations.end() && at->first == service)
        registrations.erase(at);
}

void CorvaneConnectionImpl::RemoveIndicationConsumers(const MerrowServiceImpl* service) {
    m_routes.Remove(service);
    std::lock_guard lock(m_consumersMutex);
    const auto keys = m_keysByService.find(service);
    if (keys == m_keysByService.end())
        return;
    for (const IndicationKey* key : keys->second) {
        const auto registrations = m_consumers.find(*key);
        if (registrations == m_consumers.end())
            continue;
        unregisterFrom(registrations->second, service);
        if (registrations->second.empty())
            m_consumers.erase(registrations);
    }
    m_keysByService.erase(keys);
}

std::size_t CorvaneConnectionImpl::GetIndicationConsumerCount() const {
    std::lock_guard lock(m_consumersMutex);
    std::size_t count = 0;
    for (const auto& [key, services] : m_consumers)
        count += services.size();
    return count;
}

void CorvaneConnectionImpl::clearConsumers() {
    m_routes.Clear();
    std::lock_guard lock(m_consumersMutex);
    m_consumers.clear();
    m_keysByService.clear();
}

// Each service once. Registrations of services that are gone are dropped on the way.
std::vector<std::shared_ptr<MerrowServiceImpl>>
CorvaneConnectionImpl::collectConsumers(const IndicationKey* key,
                                        const IndicationRoutes::Services* among) {
    std::vector<std::shared_ptr<MerrowServiceImpl>> services;
    // A service appears once under one key; only a walk over every key needs to skip the
    // services it has already met.
    std::set<const MerrowServiceImpl*> seen;
    const auto collect = [&](const IndicationKey& registeredKey, Registrations& registrations,
                             bool once) {
        std::erase_if(registrations, [&](const auto& registration) {
            auto service = registration.second.Lock();
            if (!service) {
                forgetKeyLocked(registration.first, registeredKey);
                return true;
            }
            if (!once || seen.insert(service.get()).second)
                services.push_back(std::move(service));
            return false;
        });
    };
    std::lock_guard lock(m_consumersMutex);
    if (key) {
        const auto found = m_consumers.find(*key);
        if (found == m_consumers.end())
            return services;
        if (among) {
            collectAmong(found->second, *among, services);
            return services;
        }
        services.reserve(found->second.size());
        collect(found->first, found->second, false);
        return services;
    }
    for (auto& [registeredKey, registrations] : m_consumers)
        collect(registeredKey, registrations, true);
    return services;
}

// The registrations are sorted by address, as `among` is: a thousand registrations of a class
// and a handful of services concerned cost a handful of searches.
void CorvaneConnectionImpl::collectAmong(const Registrations& registrations,
                                         const IndicationRoutes::Services& among,
                                         std::vector<std::shared_ptr<MerrowServiceImpl>>& services) {
    for (const MerrowServiceImpl* service : among) {
        const auto at = placeOf(registrations, service);
        if (at == registrations.end() || at->first != service)
            continue;
        if (auto live = at->second.Lock())
            services.push_back(std::move(live));
    }
}

void CorvaneConnectionImpl::forgetKeyLocked(const MerrowServiceImpl* service,
                                            const IndicationKey& key) {
    const auto keys = m_keysByService.find(service);
    if (keys == m_keysByService.end())
        return;
    std::erase(keys->second, &key);
    if (keys->second.empty())
        m_keysByService.erase(keys);
}

void CorvaneConnectionImpl::OnIndicationReceived(const UAIndication& indication) {
    MWSCOPE_OBJ(this, "");
    if (indication.GetKind() == UAIndication::IndicationKind_LostConnection) {
        PostServiceIndication(ServiceIndication::ServiceChanged, R(R::UA_E_NOTCONNECTED),
                              indication);
        deliver(collectConsumers(nullptr), indication);
        return;
    }
    if (indication.GetKind() != UAIndication::IndicationKind_CIMObject)
        return;
    if (announcesStorageAssociation(indication))
        m_announcesAssociations = true;
    const IndicationKey key = keyOf(indication.GetType(), indication.GetSourceClassName());
    const PathInterest::Footprint footprint(indication);
    const auto concerned = m_routes.Concerned(footprint, AnnouncesAssociations());
    deliver(collectConsumers(&key, concerned ? &*concerned : nullptr), indication);
}

// Arrays announce our own subscriptions whatever they do with the associations between their
// storage objects: those say nothing of the others.
bool CorvaneConnectionImpl::announcesStorageAssociation(const UAIndication& indication) {
    return indication.GetType() == UAIndication::CIMIndicationType_Creation &&
           !TextUtil::equalsIgnoringCase(indication.GetSourceClassName(), "CIM_IndicationSubscription") &&
           IsAssociationPath(indication.GetSourceObjectPath());
}

void CorvaneConnectionImpl::Resynchronise() {
    MWSCOPE_OBJ(this, "");
    PostServiceIndication(ServiceIndication::ServiceChanged, R(), UAIndication());
    for (const auto& service : collectConsumers(nullptr)) {
        service->Refresh();
        service->PostServiceIndication(ServiceIndication::ServiceChanged, R(), UAIndication());
    }
}

// One service failing must not keep the others from hearing about the change.
void CorvaneConnectionImpl::deliver(const std::vector<std::shared_ptr<MerrowServiceImpl>>& services,
                                    const UAIndication& indication) {
    for (const auto& service : services) {
        try {
            service->OnIndicationReceived(indication);
        } catch (const std::exception& e) {
            MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
                << "Indication for " << service->GetTypeName() << " "
                << service->GetInstanceIdentity() << " failed: " << e.what() << MWENDREC;
        } catch (...) {
            MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
                << "Indication for " << service->GetTypeName() << " "
                << service->GetInstanceIdentity() << " failed" << MWENDREC;
        }
    }
}

std::string CorvaneConnectionImpl::GetInstanceIdentity() const {
    return GetHostName() + ":" + std::to_string(kIdentityPort);
}

std::string CorvaneConnectionImpl::className() const {
    return "CorvaneConnectionImpl";
}

void CorvaneConnectionImpl::description(std::string& text) const {
    text = "Service ObjectID=" + GetInstanceIdentity();
}

} // namespace Merrow::UserAgent
