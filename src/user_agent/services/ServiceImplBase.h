#pragma once

#include "cim/value/CIMObject.h"
#include "cim/value/CIMObjectPath.h"
#include "trace/Trace.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"
#include "user_agent/indications/MerrowServiceImpl.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace Merrow::UserAgent {

class MerrowProfile;

// What every Service_...Impl shares: the array object's root path, the profiles and
// groupings it owns (all anchored on that path), and the three ways a facade makes other
// facades: from one object path, from a profile list, and from a list that must hold
// exactly one object.
//
// Threads: any. Operations of derived classes take the service lock (UALockableObject) for
// their whole run; profiles and containers below lock themselves (service, then profile,
// then container).
class ServiceImplBase : public MerrowServiceImpl {
public:
    ServiceImplBase(std::string typeName, const CorvaneConnectionWeakRef& connection,
                    cim::CIMObjectPath rootPath);
    ~ServiceImplBase() override;

    // Initialises every owned profile with the connection, which subscribes this service to
    // their classes; nothing is read from the array. The first failure is returned.
    // Must run on a service owned by a shared pointer: the subscription refers to it weakly.
    MerrowReturnValue Init();

    // Hands `object` (an instance of the root path, already fetched by whoever listed it) to
    // the root container of every owned profile, so that the first property read needs no
    // request. Anything else is ignored.
    void SeedRootObject(const cim::CIMObject& object);

    const cim::CIMObjectPath& GetRootPath() const { return m_rootPath; }
    std::string GetInstanceIdentity() const override;
    // The instance identity a facade on `path` has.
    static std::string IdentityOfPath(const cim::CIMObjectPath& path);

protected:
    // Registers a profile member; called by the constructor, in member order.
    void Own(MerrowProfile& profile);

    // The service-from-object-path step: a new implementation of Handle's kind on `path`,
    // initialised (and seeded with `seed` when given). UA_E_SERVICE_REMOVED, with `handle`
    // untouched, when the new service is already removed.
    template <typename Handle>
    MerrowReturnValue MakeService(const cim::CIMObjectPath& path, Handle& handle,
                                  const cim::CIMObject* seed = nullptr);

    // A list getter: one handle per object that `visit` shows (visit(each) shows every
    // object of a profile list to `each`, under the list's lock), in order, skipping (with a
    // trace) those whose Init fails or whose service is already removed. `listCall` names the
    // profile call in traces ("m_ProfileDisk.Get_Extents_List()"), `handleName` the facade.
    template <typename Handle, typename Visit>
    MerrowReturnValue MakeServiceList(const char* listCall, const char* handleName, Visit&& visit,
                                      std::vector<Handle>& services);
    // The same list read for a caller that holds facades already: the identity of every
    // object `visit` shows, in order, and handles only for those not in `known`, so that
    // following a list of thousands neither copies the thousands of objects nor makes (and
    // subscribes) thousands of facades.
    template <typename Handle, typename Visit>
    MerrowReturnValue MakeServiceListOtherThan(const char* listCall, const char* handleName,
                                               Visit&& visit,
                                               const std::unordered_set<std::string>& known,
                                               std::vector<std::string>& identities,
                                               std::vector<Handle>& services);

    // A single getter: exactly one object expected; none gives UA_E_UNEXPECTED.
    template <typename Handle, typename Fetch>
    MerrowReturnValue MakeSingleService(const char* listCall, Fetch&& fetch, Handle& service);

    // An operational status as the array reports it (CIM "OperationalStatus", first element
    // counts) in the service's terms: 0 OK, 1 failed, 3 needs attention.
    static std::int32_t StatusFromOperationalStatus(const std::vector<std::uint16_t>& cimStatus);

private:
    static void TraceListFailure(const char* listCall, const MerrowReturnValue& result);
    static void TraceSkipped(const char* handleName, const cim::CIMObjectPath& path,
                             const MerrowReturnValue& result);
    static void TraceUnexpectedCount(const char* listCall, std::size_t count);

    const cim::CIMObjectPath m_rootPath;
    // IdentityOfPath(m_rootPath): asked for every member of a thousand at each reconcile.
    const std::string m_identity;
    std::vector<MerrowProfile*> m_ownedProfiles;
};

template <typename Handle>
MerrowReturnValue MakeServiceFromObjectPath(const CorvaneConnectionWeakRef& connection,
                                            const cim::CIMObjectPath& path, Handle& handle,
                                            const cim::CIMObject* seed = nullptr) {
    auto impl = std::make_shared<typename Handle::Impl>(connection, path);
    // The handle exists before Init so that a failing Init still releases the service
    // through the same path as every other one.
    Handle made(impl);
    const MerrowReturnValue result = impl->Init();
    if (result.isFailure())
        return result;
    if (seed)
        impl->SeedRootObject(*seed);
    if (impl->IsServiceRemoved())
        return MerrowReturnValue(MerrowReturnValue::UA_E_SERVICE_REMOVED);
    handle = std::move(made);
    return result;
}

template <typename Handle>
MerrowReturnValue ServiceImplBase::MakeService(const cim::CIMObjectPath& path, Handle& handle,
                                               const cim::CIMObject* seed) {
    return MakeServiceFromObjectPath(GetConnection(), path, handle, seed);
}

template <typename Handle, typename Visit>
MerrowReturnValue ServiceImplBase::MakeServiceList(const char* listCall, const char* handleName,
                                                   Visit&& visit, std::vector<Handle>& services) {
    std::vector<std::string> identities;
    return MakeServiceListOtherThan(listCall, handleName, std::forward<Visit>(visit), {},
                                    identities, services);
}

template <typename Handle, typename Visit>
MerrowReturnValue ServiceImplBase::MakeServiceListOtherThan(
    const char* listCall, const char* handleName, Visit&& visit,
    const std::unordered_set<std::string>& known, std::vector<std::string>& identities,
    std::vector<Handle>& services) {
    // Copied under the list's lock; the facades are made after it is released.
    std::vector<cim::CIMObject> unknown;
    const MerrowReturnValue result = visit([&](const cim::CIMObject& object) {
        identities.push_back(IdentityOfPath(object.getPath()));
        if (known.count(identities.back()) == 0)
            unknown.push_back(object);
    });
    if (result.isFailure()) {
        TraceListFailure(listCall, result);
        return result;
    }
    for (const cim::CIMObject& object : unknown) {
        Handle handle;
        const MerrowReturnValue made = MakeService(object.getPath(), handle, &object);
        if (made.isFailure()) {
            TraceSkipped(handleName, object.getPath(), made);
            continue;
        }
        services.push_back(std::move(handle));
    }
    return result;
}

template <typename Handle, typename Fetch>
MerrowReturnValue ServiceImplBase::MakeSingleService(const char* listCall, Fetch&& fetch,
                                                     Handle& service) {
    std::vector<cim::CIMObject> objects;
    const MerrowReturnValue result = fetch(objects);
    if (result.isFailure()) {
        TraceListFailure(listCall, result);
        return result;
    }
    if (objects.empty()) {
        TraceUnexpectedCount(listCall, objects.size());
        return MerrowReturnValue(MerrowReturnValue::UA_E_UNEXPECTED);
    }
    return MakeService(objects.front().getPath(), service, &objects.front());
}

} // namespace Merrow::UserAgent
