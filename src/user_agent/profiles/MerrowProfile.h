#pragma once

#include "cim/value/CIMObject.h"
#include "cim/value/CIMObjectPath.h"
#include "trace/Trace.h"
#include "trace/TraceAwareClass.h"
#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/UALockableObject.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"
#include "user_agent/indications/MerrowProfileInterface.h"
#include "user_agent/objects/CIM_AssociationSpec.h"
#include "user_agent/objects/CIM_Object.h"
#include "user_agent/objects/CIM_ObjectList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

class CIM_ObjectContainerInterface;
class MerrowServiceImpl;
class UAIndication;

// The CIM data one service needs about one array object: the root instance and what the
// fixed association chains reach from it, each in a cached container (CIM_Object,
// CIM_ObjectList) owned by the derived profile or grouping, which lists them in a table
// (ProfileTable.h). The first registered container is the root object.
//
// Nothing is fetched ahead: a container loads on its first read, after an invalidation or
// after a forced FetchAllProfileData. Accessors answer UA_E_FAIL for data the array does not
// have; CIM errors and "too many objects" from a container are exceptions that the service
// layer turns into UA_E_UNEXPECTED.
//
// Threads: any. The profile's lock (UALockableObject) is held by every accessor, Init,
// FetchAllProfileData and OnIndicationReceived for their whole run; lock order: service
// implementation, profile, container, the connection's client lock.
class MerrowProfile : public MerrowProfileInterface,
                      public UALockableObject,
                      public Merrow::Trace::TraceAwareClass {
public:
    // Throws MWEAssertionFailure when `rootPath` is empty.
    explicit MerrowProfile(const cim::CIMObjectPath& rootPath);
    ~MerrowProfile() override;

    // Stores the connection, hands it and the service's interest watch to every container,
    // subscribes `service` to every class name of the profile, then PostInit. `service` owns
    // the profile.
    virtual MerrowReturnValue Init(const CorvaneConnectionWeakRef& connection,
                                   MerrowServiceImpl& service);
    // MerrowProfileInterface: UA_S_OK when a container changed, with the reaction
    // kReactionRootRemoved when the root object was deleted; UA_S_FALSE otherwise.
    MerrowReturnValue OnIndicationReceived(const UAIndication& indication,
                                           std::int32_t& reaction) override;
    // Sends no request and answers UA_S_FALSE. With `force` every container drops its data,
    // so the next read of each fetches again.
    MerrowReturnValue FetchAllProfileData(bool force) override;
    const cim::CIMObjectPath& GetRootObjectPath() const override { return m_rootPath; }
    void CollectInterest(PathInterest& interest) const override;

    // Registers the owning service for every class name of the subscription list.
    virtual MerrowReturnValue Subscribe();

    // The generic accessors behind every generated Get_/Set_ accessor.
    template <typename T>
    MerrowReturnValue GetProperty(CIM_Object& container, const std::string& propertyName,
                                  T& value);
    // Writes the property back with a modify-instance request; on any failure the cached
    // instance is left as it was before.
    template <typename T>
    MerrowReturnValue SetProperty(CIM_Object& container, const std::string& propertyName,
                                  const T& value);
    // Copies a list container's objects (fetched on first use).
    MerrowReturnValue GetList(CIM_ObjectList& container, std::vector<cim::CIMObject>& objects);
    // Shows each of a list container's objects (fetched on first use) to `visit`, under the
    // profile's and the list's locks: `visit` must not take other locks.
    MerrowReturnValue VisitList(CIM_ObjectList& container,
                                const std::function<void(const cim::CIMObject&)>& visit);
    // A list container's membership generation and item count (fetched on first use), for
    // callers that only need to know whether or how much the list changed.
    MerrowReturnValue GetListGeneration(CIM_ObjectList& container, std::uint64_t& generation);
    MerrowReturnValue GetListCount(CIM_ObjectList& container, std::uint64_t& count);

    bool IsFetched() const { return m_fetched; }
    void SetFetched(bool fetched) { m_fetched = fetched; }
    const std::vector<std::string>& GetSubscriptionClassNames() const { return m_classNames; }
    const std::vector<CIM_ObjectContainerInterface*>& GetContainers() const { return m_containers; }
    // The table's member or list name of each container, in the order of GetContainers.
    const std::vector<std::string>& GetContainerNames() const { return m_containerNames; }

    // TraceAwareClass
    std::string className() const override;
    void description(std::string& text) const override;

protected:
    // The anchor of containers that start from the root path (anchor kind 2).
    const cim::CIMObjectPath* RootPathAnchor() const { return &m_rootPath; }
    // Constructors of derived profiles register each container, root first, with its class
    // (empty for lists reached by steps) and its steps, whose class names are subscribed.
    void Register(CIM_ObjectContainerInterface& container, const char* name,
                  const std::string& className, const CIM_AssociationSpecList& steps);
    void AddClassName(const std::string& className);
    virtual MerrowReturnValue SetConnection(const CorvaneConnectionWeakRef& connection);
    virtual MerrowReturnValue PostInit() { return MerrowReturnValue(); }
    CorvaneConnectionWeakRef GetConnection() const { return m_connection; }

private:
    // False, traced, when the container still has no data after a forced fetch; `verb` is
    // "get" or "set" for the trace.
    bool EnsureData(CIM_Object& container, const std::string& propertyName, const char* verb);
    void TraceUnreadable(CIM_Object& container, const std::string& propertyName) const;
    MerrowReturnValue RefuseWriteOfMissingObject(const std::string& propertyName) const;
    MerrowReturnValue RestoreAfterFailedSet(CIM_Object& container, const std::string& propertyName,
                                            const cim::CIMInstance& previous) const;
    // Sends the changed instance; on failure the cached instance becomes `previous` again.
    MerrowReturnValue WriteBack(CIM_Object& container, const std::string& propertyName,
                                const cim::CIMInstance& previous);

    cim::CIMObjectPath m_rootPath;
    CorvaneConnectionWeakRef m_connection;
    MerrowServiceImpl* m_service = nullptr;
    bool m_fetched = false;
    std::vector<std::string> m_classNames;
    std::vector<CIM_ObjectContainerInterface*> m_containers;
    std::vector<std::string> m_containerNames;
};

template <typename T>
MerrowReturnValue MerrowProfile::GetProperty(CIM_Object& container,
                                             const std::string& propertyName, T& value) {
    MWSCOPE_OBJ(this, propertyName.c_str());
    ScopedLock lock(*this);
    if (!EnsureData(container, propertyName, "get"))
        return MerrowReturnValue::UA_E_FAIL;
    if (!container.GetPropertyValue(propertyName, value)) {
        TraceUnreadable(container, propertyName);
        return MerrowReturnValue::UA_E_FAIL;
    }
    return MerrowReturnValue();
}

template <typename T>
MerrowReturnValue MerrowProfile::SetProperty(CIM_Object& container,
                                             const std::string& propertyName, const T& value) {
    MWSCOPE_OBJ(this, propertyName.c_str());
    ScopedLock lock(*this);
    if (container.IsNotFound())
        return RefuseWriteOfMissingObject(propertyName);
    if (!EnsureData(container, propertyName, "set"))
        return MerrowReturnValue::UA_E_FAIL;
    const cim::CIMInstance previous = container.GetCachedInstance();
    if (!container.SetPropertyValue(propertyName, value))
        return RestoreAfterFailedSet(container, propertyName, previous);
    return WriteBack(container, propertyName, previous);
}

} // namespace Merrow::UserAgent
