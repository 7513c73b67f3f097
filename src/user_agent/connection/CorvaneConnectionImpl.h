#pragma once

#include "user_agent/indications/MerrowServiceImpl.h"
#include "user_agent/indications/MerrowServiceWeakRef.h"
#include "user_agent/connection/ClassLineage.h"
#include "user_agent/connection/IndicationRoutes.h"
#include "user_agent/connection/UACIMClient.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Merrow::UserAgent {

class Service_CorvaneSystem;
class ServiceIndication;
class UAConnectionOwner;

// One array: its CIM link (UACIMClient), its service identity (the connection is a service
// too, so the layer above hears about it through service indications), and the services that
// registered for the array's indications, by (indication type, source class).
//
// Threads: log-in and log-off on the caller's threads; OnIndicationReceived on the library
// root's dispatcher thread. m_consumersMutex guards the registrations only and is never held
// while a service is called, so a service may register or go away from inside its own
// indication handling. The routes (m_routes) have a lock of their own, never held together
// with m_consumersMutex: an indication is first matched to the services it may concern, then
// to their registrations. Lock order: service lock, then client lock (requests), never the
// reverse: nothing here calls a service while holding the client lock.
class CorvaneConnectionImpl : public UACIMClient, public MerrowServiceImpl {
public:
    static constexpr const char* kTypeName = "CorvaneConnection";
    // The queries subscribed at every log-in, in this order.
    static constexpr const char* kIndicationQueries[] = {
        "SELECT * FROM CIM_InstDeletion",
        "SELECT * FROM CIM_InstCreation",
        "SELECT * FROM CIM_InstModification",
    };

    // The connection with its service part referring to itself; nothing is connected yet.
    static std::shared_ptr<CorvaneConnectionImpl> Create(UAConnectionOwner* owner,
                                                         const std::string& host);
    ~CorvaneConnectionImpl() override;

    // Log-in, firmware check and (unless the owner says no, or its listener is not running)
    // the indication subscriptions.
    MerrowReturnValue Connect(const std::string& userName, const std::string& password);
    MerrowReturnValue Reconnect(const std::string& host) override;
    MerrowReturnValue Logoff();
    // Also tells the layer above (when it listens for service indications) that the
    // connection is gone.
    MerrowReturnValue Disconnect() override;

    // A system service on the array's top computer system; UA_E_NOTCONNECTED unless
    // connected. Throws MWEApplicationException when the top system cannot be found or the
    // service cannot be initialised (the facade boundary answers UA_E_UNEXPECTED then).
    // Defined in CorvaneConnectionImpl_Custom.cpp, the one place where the connection
    // reaches up into services/.
    MerrowReturnValue GetCorvaneSystemService(Service_CorvaneSystem& service);

    // Registers `service` for the indications of one type about one class (compared without
    // case). Registrations are dropped at every log-in and log-off and when the service goes.
    void AddIndicationConsumer(std::int32_t indicationType, const std::string& className,
                               const MerrowServiceWeakRef& service);
    // The same for creations, deletions and modifications of every class in `classNames`,
    // under one lock: what a service does for each of its profiles.
    void AddIndicationConsumers(const std::vector<std::string>& classNames,
                                const MerrowServiceWeakRef& service);
    void RemoveIndicationConsumers(const MerrowServiceImpl* service);
    std::size_t GetIndicationConsumerCount() const;

    // Routes an indication of this array: a lost connection to every registered service
    // (after a service indication for the connection itself), an array indication to the
    // services registered for its type and source class.
    void OnIndicationReceived(const UAIndication& indication) override;
    // Some of the array's indications were dropped: every service of the connection (and
    // the connection itself) forgets its cached data and reports a change, so that its
    // holders read the array again. Dispatcher thread.
    void Resynchronise();

    // True once the array has announced the creation of an association: from then on a new
    // object joins a list walked from another object only together with an association whose
    // own creation is announced too.
    bool AnnouncesAssociations() const { return m_announcesAssociations.load(); }

    // True when the array's class `className` is `ancestor` or derives from it; nothing
    // when the array does not say. Asks the array once per ancestor.
    std::optional<bool> ClassDerives(const cim::CIMName& className, const cim::CIMName& ancestor) {
        return m_classLineage.Derives(*this, className, ancestor);
    }

    // True when the library root was created without indications: nothing tells cached data
    // about changes on the array, so it has to expire by age instead.
    bool IsNoIndications() const;

    // Onto the owner's service-indication queue.
    void QueueServiceIndication(const ServiceIndication& indication);

    // "host:5989"
    std::string GetInstanceIdentity() const override;
    std::string className() const override;
    void description(std::string& text) const override;

private:
    using IndicationKey = std::pair<std::int32_t, std::string>;
    struct IndicationKeyHash {
        std::size_t operator()(const IndicationKey& key) const {
            return std::hash<std::string>()(key.second) * 31 + static_cast<std::size_t>(key.first);
        }
    };

    CorvaneConnectionImpl(UAConnectionOwner* owner, const std::string& host);

    MerrowReturnValue checkAndSubscribe();
    static IndicationKey keyOf(std::int32_t indicationType, const std::string& className);
    static bool announcesStorageAssociation(const UAIndication& indication);
    // Every live service registered for `key`, or for any key when `key` is null; with
    // `among` (sorted by address), only those of them.
    std::vector<std::shared_ptr<MerrowServiceImpl>>
    collectConsumers(const IndicationKey* key,
                     const IndicationRoutes::Services* among = nullptr);
    void deliver(const std::vector<std::shared_ptr<MerrowServiceImpl>>& services,
                 const UAIndication& indication);
    void clearConsumers();
    void addIndicationConsumerLocked(const IndicationKey& key, const MerrowServiceWeakRef& service);
    // Drops `key` (a key held in m_consumers) from the keys recorded for `service`;
    // m_consumersMutex must be held.
    void forgetKeyLocked(const MerrowServiceImpl* service, const IndicationKey& key);
    // 0 while the owner's indication listener is not running.
    std::uint16_t listenerPort() const;

    // A large array has thousands of live services, each registered for dozens of keys, and
    // facades are made and dropped at every query: registering and removing one service must
    // not cost a walk over all registrations. One key's services, sorted by address: every
    // indication walks a thousand of them, which in a tree cost a cache miss per step.
    using Registration = std::pair<const MerrowServiceImpl*, MerrowServiceWeakRef>;
    using Registrations = std::vector<Registration>;
    // True when `service` was not registered yet.
    static bool registerIn(Registrations& registrations, const MerrowServiceWeakRef& service);
    static void unregisterFrom(Registrations& registrations, const MerrowServiceImpl* service);
    static void collectAmong(const Registrations& registrations,
                             const IndicationRoutes::Services& among,
                             std::vector<std::shared_ptr<MerrowServiceImpl>>& services);
    mutable std::mutex m_consumersMutex; // guards m_consumers and m_keysByService
    std::unordered_map<IndicationKey, Registrations, IndicationKeyHash> m_consumers;
    // Each service's keys, as the addresses of the keys held in m_consumers (whose nodes
    // stay put): thousands of services times dozens of keys made copies of the class names
    // tens of megabytes.
    std::unordered_map<const MerrowServiceImpl*, std::vector<const IndicationKey*>>
        m_keysByService;
    // Which registered services an indication may concern; its own lock, never taken
    // together with m_consumersMutex.
    IndicationRoutes m_routes;
    // Set on the dispatcher thread, read by containers on any thread.
    std::atomic<bool> m_announcesAssociations{false};
    ClassLineage m_classLineage;
};

} // namespace Merrow::UserAgent
