#pragma once

#include "trace/TraceAwareClass.h"
#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/UALockableObject.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"
#include "user_agent/indications/MerrowService.h"
#include "user_agent/indications/InterestWatch.h"
#include "user_agent/indications/PathInterest.h"
#include "user_agent/indications/ServiceInstanceID.h"
#include "user_agent/indications/UAIndicationConsumer.h"
#include "user_agent/indications/UAPoolPathCache.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include "trace/SourceLocation.h"
#include <string>
#include <utility>
#include <vector>

namespace Merrow::UserAgent {

class MerrowProfileInterface;
class ServiceIndication;
class UAIndication;

// Base of every service implementation (the connection's service part, and the
// Service_...Impl classes): identity, the removed flag, the status, the profiles holding the
// service's CIM data, and the service indications that tell the layer above that the service
// changed, needs attention or lost its array objects.
//
// Threads: OnIndicationReceived runs on the library's dispatcher thread; everything else on
// any thread. The service lock (UALockableObject) is held while an indication is handled and
// by the facade operations of derived classes, so the two never interleave; the removed flag
// and the status are atomics that handles read without it. m_registryMutex guards the
// profile and callback lists and is never held while anything else is called.
// GatherInterest takes the container locks without waiting, and no lock of its own.
// Callbacks run on the thread that posts, with the service lock held when the post comes
// from indication handling: they must not wait for other threads that take service locks.
class MerrowServiceImpl : public UAIndicationConsumer,
                          public UALockableObject,
                          public Merrow::Trace::TraceAwareClass,
                          public std::enable_shared_from_this<MerrowServiceImpl> {
public:
    static constexpr std::int32_t STATUS_OK = 0;
    static constexpr std::int32_t STATUS_NEEDSATTENTION = 3;

    // `typeName` is what handles report ("Service_Disk"); it is also the class name in the
    // instance id.
    MerrowServiceImpl(std::string typeName, CorvaneConnectionWeakRef connection);
    ~MerrowServiceImpl() override;

    // A lost connection marks the service removed; anything else is offered to each profile
    // in turn and ends in a service indication (changed, or removed when a profile saw its
    // root object deleted), or in the needs-attention alert when no profile could use it.
    void OnIndicationReceived(const UAIndication& indication) override;
    // The paths whose indications can change what the service's profiles hold
    // (PathInterest), for the connection's routing; empty when a container is busy on
    // another thread and cannot say. Sends no request.
    std::optional<PathInterest> GatherInterest() const;
    // What the containers of the service's profiles mark when the paths they hold may
    // have changed (see CIM_ObjectContainerInterface::SetInterestWatch).
    InterestWatch& GetInterestWatch() { return m_interestWatch; }
    // How many of the array's indications were offered to the profiles so far.
    std::uint64_t GetIndicationsOffered() const { return m_indicationsOffered.load(); }

    // Status "needs attention" plus a service indication: how facade operations report a
    // failure they caught.
    void AlertNeedsAttention(const std::string& functionName);

    // The boundary every facade operation runs its body in (handles reach it through
    // ServiceCall below). A removed service answers UA_E_SERVICE_REMOVED without running the
    // body, so it sends nothing to the array. Otherwise the body runs under a scope tracer
    // for `function` (a literal: the tracer keeps the pointer). A ReturnCodeException answers
    // the value it carries; any other exception is traced under
    // "TC.Error.FATAL.ExceptionCaught", raises the needs-attention alert and answers
    // UA_E_UNEXPECTED. No lock is taken here: the body takes the service lock it needs.
    MerrowReturnValue RunFacadeOperation(const char* function,
                                         const std::function<MerrowReturnValue()>& body,
                                         const Merrow::Trace::SourceLocation& where);

    bool IsServiceRemoved() const { return m_removed.load(); }
    void SetServiceRemoved(bool removed) { m_removed.store(removed); }
    std::int32_t GetStatusValue() const { return m_status.load(); }
    void SetStatusValue(std::int32_t status) { m_status.store(status); }

    const ServiceInstanceID& GetInstanceID() const { return m_instanceID; }
    const std::string& GetTypeName() const { return m_typeName; }
    // Text that names the service's array object for people and traces.
    virtual std::string GetInstanceIdentity() const;
    CorvaneConnectionWeakRef GetConnection() const;

    // The service status as an operational status; services that read theirs from the array
    // override it.
    virtual MerrowReturnValue GetStatus(std::int32_t& status);
    // Asks every profile to fetch its data again on the next read.
    virtual MerrowReturnValue Refresh();

    // Registers this service with its connection for the creations, deletions and
    // modifications of every class in `classNames`; UA_E_NOTCONNECTED when the connection
    // is gone.
    MerrowReturnValue SubscribeToClasses(const std::vector<std::string>& classNames);

    // The array's base and available pools, asked once per service. Throw
    // MWEPegasusClientRequest when the array refuses (see UAPoolPathCache).
    cim::CIMObjectPath GetBasePoolObjectPath();
    cim::CIMObjectPath GetAvailPoolObjectPath();

    // Registers a profile owned by the derived class (see MerrowProfileInterface).
    void AddProfile(MerrowProfileInterface& profile);

    std::uint32_t AddServiceIndicationCallback(ServiceIndicationCallback callback);
    bool RemoveServiceIndicationCallback(std::uint32_t cookie);

    // Puts a service indication for this service on the library root's queue (when the root
    // delivers them) and hands it to the connection's callbacks and this service's.
    void PostServiceIndication(std::int32_t code, const MerrowReturnValue& result,
                               const UAIndication& cause);
    // Calls this service's callbacks only.
    void CallServiceIndicationCallbacks(const ServiceIndication& indication) const;

    // TraceAwareClass
    std::string className() const override;
    void description(std::string& text) const override;

protected:
    // For the connection, whose service part refers to the connection itself and can only
    // do so once the shared pointer exists.
    void SetConnection(CorvaneConnectionWeakRef connection);

private:
    struct ProfileOutcome {
        bool handled = false;
        bool removed = false;
        MerrowReturnValue result;
    };

    ProfileOutcome offerToProfiles(const UAIndication& indication);
    // For the exception being handled.
    MerrowReturnValue facadeFailure(const char* function, const Merrow::Trace::SourceLocation& where);
    std::vector<MerrowProfileInterface*> profiles() const;

    const std::string m_typeName;
    const ServiceInstanceID m_instanceID;
    std::atomic<bool> m_removed{false};
    std::atomic<std::int32_t> m_status{STATUS_OK};
    std::atomic<std::uint64_t> m_indicationsOffered{0};
    // One per service, not per profile: a service is gathered again as a whole.
    InterestWatch m_interestWatch{*this};
    UAPoolPathCache m_poolPaths;

    mutable std::mutex m_registryMutex; // guards the members below
    CorvaneConnectionWeakRef m_connection;
    std::vector<MerrowProfileInterface*> m_profiles;
    std::vector<std::pair<std::uint32_t, ServiceIndicationCallback>> m_callbacks;
    std::uint32_t m_lastCookie = 0;
};

// How a handle forwards one operation to its implementation, in one line:
//
//   return ServiceCall(m_impl, "Service_Disk::GetName",
//                      [&](Service_DiskImpl& s) { return s.GetName(name); });
//
// An empty handle answers UA_E_SERVICE_INVALID; everything else is RunFacadeOperation's.
template <typename Impl, typename Body>
MerrowReturnValue ServiceCall(const std::shared_ptr<Impl>& impl, const char* function, Body&& body,
                              Merrow::Trace::SourceLocation where = Merrow::Trace::SourceLocation::current()) {
    if (!impl)
        return MerrowReturnValue(MerrowReturnValue::UA_E_SERVICE_INVALID);
    Impl& service = *impl;
    return service.RunFacadeOperation(
        function, [&]() -> MerrowReturnValue { return body(service); }, where);
}

} // namespace Merrow::UserAgent
