#include "user_agent/profiles/MerrowProfile.h"

#include "trace/Trace.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/indications/MerrowServiceImpl.h"
#include "user_agent/indications/PathInterest.h"
#include "user_agent/indications/UAIndication.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"

#include <algorithm>
#include <exception>

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

MerrowProfile::MerrowProfile(const cim::CIMObjectPath& rootPath) : m_rootPath(rootPath) {
    if (m_rootPath.isNull()) {
        const char* message = "MerrowProfile::MerrowProfile(const CIMObjectPath& id) constructed "
                              "with an empty CIMObjectPath";
        MWTRACE(TV_ERROR, TC_ERROR_ASSERTION_FAILURE) << message << MWENDREC;
        throw MWEAssertionFailure(message, __FILE__, __LINE__, __PRETTY_FUNCTION__);
    }
}

MerrowProfile::~MerrowProfile() = default;

void MerrowProfile::Register(CIM_ObjectContainerInterface& container, const char* name,
                             const std::string& className, const CIM_AssociationSpecList& steps) {
    m_containers.push_back(&container);
    m_containerNames.emplace_back(name);
    if (!className.empty())
        AddClassName(className);
    for (const CIM_AssociationSpec& step : steps) {
        AddClassName(step.associationClass.getString());
        AddClassName(step.resultClass.getString());
    }
}

void MerrowProfile::CollectInterest(PathInterest& interest) const {
    for (const CIM_ObjectContainerInterface* container : m_containers)
        container->CollectInterest(interest);
}

void MerrowProfile::AddClassName(const std::string& className) {
    if (std::find(m_classNames.begin(), m_classNames.end(), className) == m_classNames.end())
        m_classNames.push_back(className);
}

MerrowReturnValue MerrowProfile::SetConnection(const CorvaneConnectionWeakRef& connection) {
    m_connection = connection;
    return MerrowReturnValue();
}

MerrowReturnValue MerrowProfile::Init(const CorvaneConnectionWeakRef& connection,
                                      MerrowServiceImpl& service) {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    m_service = &service;
    const MerrowReturnValue connected = SetConnection(connection);
    if (connected.isFailure())
        return connected;
    for (CIM_ObjectContainerInterface* container : m_containers) {
        container->SetConnection(connection);
        container->SetInterestWatch(&service.GetInterestWatch());
    }
    const MerrowReturnValue subscribed = Subscribe();
    if (subscribed.isFailure()) {
        MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
            << " Subscribe() fails with return " << subscribed << MWENDREC;
        return subscribed;
    }
    return PostInit();
}

MerrowReturnValue MerrowProfile::Subscribe() {
    MWSCOPE_OBJ(this, "");
    if (m_service == nullptr)
        return MerrowReturnValue(MerrowReturnValue::UA_E_UNEXPECTED,
                                 "Subscribe() before Init(): the profile has no service");
    return m_service->SubscribeToClasses(m_classNames);
}

MerrowReturnValue MerrowProfile::FetchAllProfileData(bool force) {
    MWSCOPE_OBJ(this, force ? "force" : "");
    ScopedLock lock(*this);
    if (force || !m_fetched) {
        if (m_fetched)
            SetFetched(false);
        SetFetched(true);
    }
    // Containers load on their next read; dropping their data is all a refresh needs.
    if (force) {
        for (CIM_ObjectContainerInterface* container : m_containers)
            container->InvalidateCache();
    }
    return MerrowReturnValue::UA_S_FALSE;
}

MerrowReturnValue MerrowProfile::OnIndicationReceived(const UAIndication& indication,
                                                      std::int32_t& reaction) {
    MWSCOPE_OBJ(this, "");
    MWTRACE(TV_DETAIL, TC_INFO_DEBUG)
        << "OnIndicationReceived type=" << indication.GetType()
        << " class=" << indication.GetSourceClassName()
        << " path=" << indication.GetSourceObjectPath().toString() << MWENDREC;
    ScopedLock lock(*this);
    std::uint32_t changes = 0;
    bool rootDeleted = false;
    try {
        for (std::size_t i = 0; i < m_containers.size(); ++i) {
            const std::uint32_t count = m_containers[i]->UpdateObjectContainerWithIndication(indication);
            changes += count;
            // Only the root object's own deletion ends the service; members come and go.
            if (i == 0 && count > 0 && m_containers[i]->IsObjectContainer() &&
                indication.GetType() == UAIndication::CIMIndicationType_Deletion)
                rootDeleted = true;
        }
    } catch (const std::exception& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << "OnIndicationReceived for " << m_rootPath.toString() << " - message=" << e.what()
            << MWENDREC;
        return MerrowReturnValue(MerrowReturnValue::UA_E_UNEXPECTED, e.what());
    }
    if (changes == 0)
        return MerrowReturnValue::UA_S_FALSE;
    reaction = rootDeleted ? kReactionRootRemoved : kReactionChanged;
    return MerrowReturnValue();
}

MerrowReturnValue MerrowProfile::GetList(CIM_ObjectList& container,
                                         std::vector<cim::CIMObject>& objects) {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    objects = container.GetObjects();
    return MerrowReturnValue();
}

MerrowReturnValue MerrowProfile::VisitList(CIM_ObjectList& container,
                                           const std::function<void(const cim::CIMObject&)>& visit) {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    container.ForEachObject(visit);
    return MerrowReturnValue();
}

MerrowReturnValue MerrowProfile::GetListGeneration(CIM_ObjectList& container,
                                                   std::uint64_t& generation) {
    ScopedLock lock(*this);
    generation = container.GetMembershipGeneration();
    return MerrowReturnValue();
}

MerrowReturnValue MerrowProfile::GetListCount(CIM_ObjectList& container, std::uint64_t& count) {
    ScopedLock lock(*this);
    count = container.GetItemCount();
    return MerrowReturnValue();
}

bool MerrowProfile::EnsureData(CIM_Object& container, const std::string& propertyName,
                               const char* verb) {
    if (container.IsDataValid())
        return true;
    container.FetchData(true);
    if (container.IsDataValid())
        return true;
    MWTRACE(TV_SEVERE, TC_ERROR_PEGASUS_CALL_FAILED)
        << " Error - cimObj.FetchData(true) failed when trying to " << verb
        << " propertyName=" << propertyName << " failed on obj='"
        << container.GetAnchorPath().toString() << "'" << MWENDREC;
    return false;
}

void MerrowProfile::TraceUnreadable(CIM_Object& container, const std::string& propertyName) const {
    MWTRACE(TV_SEVERE, TC_ERROR_EXTERNAL_API_FAILURE)
        << " Error - cimObj.GetPropertyValue(propertyName=" << propertyName << ") failed on obj='"
        << container.GetCachedInstance().getPath().toString() << "'" << MWENDREC;
}

MerrowReturnValue MerrowProfile::RefuseWriteOfMissingObject(const std::string& propertyName) const {
    MWTRACE(TV_SEVERE, TC_ERROR_EXTERNAL_API_FAILURE)
        << " Error - cimObj.SetPropertyValue(" << propertyName << ") failed" << MWENDREC;
    return MerrowReturnValue::UA_E_FAIL;
}

MerrowReturnValue MerrowProfile::RestoreAfterFailedSet(CIM_Object& container,
                                                       const std::string& propertyName,
                                                       const cim::CIMInstance& previous) const {
    MWTRACE(TV_SEVERE, TC_ERROR_EXTERNAL_API_FAILURE)
        << " Error - cimObj.SetPropertyValue(propertyName=" << propertyName << ") failed on obj='"
        << previous.getPath().toString() << "'" << MWENDREC;
    container.SetCIMInstance(previous);
    return MerrowReturnValue::UA_E_FAIL;
}

MerrowReturnValue MerrowProfile::WriteBack(CIM_Object& container, const std::string& propertyName,
                                           const cim::CIMInstance& previous) {
    try {
        container.UpdateCimServerWithProperty(propertyName);
    } catch (const std::exception& e) {
        MWTRACE(TV_SEVERE, TC_ERROR_PEGASUS_CALL_FAILED)
            << " Error - UpdateCimServerWithData(true) failed for propertyName=" << propertyName
            << " on obj='" << previous.getPath().toString() << "' - message=" << e.what()
            << MWENDREC;
        container.SetCIMInstance(previous);
        return MerrowReturnValue(MerrowReturnValue::UA_E_FAIL, e.what());
    }
    return MerrowReturnValue();
}

std::string MerrowProfile::className() const { return "MerrowProfile"; }

void MerrowProfile::description(std::string& text) const { text = m_rootPath.toString(); }

} // namespace Merrow::UserAgent
