#pragma once

#include "cim/value/CIMObject.h"
#include "cim/value/CIMObjectPath.h"
#include "trace/TraceAwareClass.h"
#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/UALockableObject.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"
#include "user_agent/indications/MerrowProfileInterface.h"
#include "user_agent/objects/CIM_AssociationSpec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

class CIM_Object;
class CIM_ObjectContainerInterface;
class CIM_ObjectList;
class MerrowServiceImpl;
class UAIndication;

// The CIM data one service needs about one array object: the root instance and what the
// fixed association chains reach from it, each in a cached container (CIM_Object,
// CIM_ObjectList, CIM_ObjectPathList) owned by the derived profile or grouping. The first
// registered container is the root object.
//
// Threads: any. The profile's lock (UALockableObject) is held by every accessor, Init,
// FetchAllProfileData and OnIndicationReceived; lock order: service, profile, container.
class MerrowProfile : public MerrowProfileInterface,
                      public UALockableObject,
                      public Merrow::Trace::TraceAwareClass {
public:
    // Throws MWEAssertionFailure when `rootPath` is empty.
    explicit MerrowProfile(const cim::CIMObjectPath& rootPath);
    ~MerrowProfile() override;

    // Stores the connection, hands it to every container, subscribes the class names,
    // then PostInit.
    virtual MerrowReturnValue Init(const CorvaneConnectionWeakRef& connection,
                                   MerrowServiceImpl& service);
    // MerrowProfileInterface
    MerrowReturnValue OnIndicationReceived(const UAIndication& indication,
                                           std::int32_t& reaction) override;
    // Marks the profile fetched; sends no request (containers load on first read).
    MerrowReturnValue FetchAllProfileData(bool force) override;
    const cim::CIMObjectPath& GetRootObjectPath() const override { return m_rootPath; }

    // Registers the profile's service for every class name of the subscription list.
    virtual MerrowReturnValue Subscribe();

    // The generic accessors behind every generated Get_/Set_ accessor.
    template <typename T>
    MerrowReturnValue GetProperty(CIM_Object& container, const std::string& propertyName,
                                  T& value);
    template <typename T>
    MerrowReturnValue SetProperty(CIM_Object& container, const std::string& propertyName,
                                  const T& value);
    // Copies a list container's objects (fetched on first use).
    MerrowReturnValue GetList(CIM_ObjectList& container, std::vector<cim::CIMObject>& objects);

    bool IsFetched() const { return m_fetched; }
    void SetFetched(bool fetched) { m_fetched = fetched; }
    const std::vector<std::string>& GetSubscriptionClassNames() const { return m_classNames; }
    const std::vector<CIM_ObjectContainerInterface*>& GetContainers() const { return m_containers; }

    // TraceAwareClass
    std::string className() const override;
    void description(std::string& text) const override;

protected:
    // Constructors of derived profiles register each container (root first) and each class
    // and association class name they use.
    void AddContainer(CIM_ObjectContainerInterface& container);
    void AddClassName(const std::string& className);
    void AddClassNames(const CIM_AssociationSpecList& associationSpec);
    virtual MerrowReturnValue SetConnection(const CorvaneConnectionWeakRef& connection);
    virtual MerrowReturnValue PostInit() { return MerrowReturnValue(); }

private:
    cim::CIMObjectPath m_rootPath;
    CorvaneConnectionWeakRef m_connection;
    MerrowServiceImpl* m_service = nullptr;
    bool m_fetched = false;
    std::vector<std::string> m_classNames;
    std::vector<CIM_ObjectContainerInterface*> m_containers;
};

} // namespace Merrow::UserAgent
