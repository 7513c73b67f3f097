#include "user_agent/objects/CIM_Object.h"

#include "cim/value/CIMException.h"
#include "trace/Trace.h"
#include "user_agent/base/CIMObjectPathIdentity.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/indications/PathInterest.h"
#include "user_agent/indications/UAIndication.h"

#include <algorithm>
#include <utility>

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

namespace {

constexpr const char* kConstructorTrace = "CIM_Object::CIM_Object ";
constexpr std::uint32_t kUnexpectedReturnValue = 0xFFFFFFFF;

const char* callName(int call) {
    static constexpr const char* names[] = {"GETINSTANCE()", "ASSOCIATORS()",
                                            "ENUMERATEINSTANCES()"};
    return names[call];
}

// An empty reference or an empty reference array means "not given": the array would take
// an empty value as a reference to nothing and refuse the call.
bool isOmittedParameter(const cim::CIMParamValue& parameter) {
    const cim::CIMValue& value = parameter.getValue();
    if (value.getType() != cim::CIMType::Reference)
        return false;
    if (value.isNull())
        return true;
    if (value.isArray())
        return value.getArraySize() == 0;
    return value.get<cim::CIMObjectPath>().isNull();
}

} // namespace

CIM_Object::CIM_Object(const MerrowProfileInterface* containingProfile,
                       const cim::CIMName& resultClassName, std::uint8_t flag)
    : m_enumerationFlag(flag), m_anchor(resultClassName), m_containingProfile(containingProfile) {
    registerSelf();
}

CIM_Object::CIM_Object(const MerrowProfileInterface* containingProfile,
                       const cim::CIMObjectPath* anchorPath,
                       CIM_AssociationSpecList associationSpec)
    : m_anchor(anchorPath, std::move(associationSpec)), m_containingProfile(containingProfile) {
    registerSelf();
}

CIM_Object::CIM_Object(const MerrowProfileInterface* containingProfile,
                       cim::CIMObjectPath anchorPath, CIM_AssociationSpecList associationSpec)
    : m_anchor(std::move(anchorPath), std::move(associationSpec)),
      m_containingProfile(containingProfile) {
    registerSelf();
}

CIM_Object::CIM_Object(const MerrowProfileInterface* containingProfile,
                       CIM_ObjectContainerInterface& source,
                       CIM_AssociationSpecList associationSpec)
    : m_anchor(source, std::move(associationSpec)), m_containingProfile(containingProfile) {
    registerSelf();
}

CIM_Object::~CIM_Object() {
    UnregisterContainer();
}

void CIM_Object::registerSelf() {
    m_anchor.TraceConstruction(kConstructorTrace, GetObjectContainerInstanceId(),
                               m_containingProfile);
    RegisterContainer(m_anchor.GetResultClassName(), [this](const cim::CIMObjectPath* path) {
        ScopedLock lock(*this);
        return path ? invalidateIfPathLocked(*path) : invalidateLocked();
    });
}

void CIM_Object::SetConnection(const CorvaneConnectionWeakRef& connection) {
    ScopedLock lock(*this);
    m_CorvaneConnection = connection;
}

cim::CIMName CIM_Object::GetCIMClassName() const {
    ScopedLock lock(*this);
    return m_anchor.GetResultClassName();
}

std::string CIM_Object::GetCIMNamespace() const {
    return UACIMClient::kArrayNamespace.getString();
}

cim::CIMObjectPath CIM_Object::GetAnchorPath() const {
    ScopedLock lock(*this);
    return m_anchor.GetStartPath();
}

// ---- fetching -----------------------------------------------------------------------------

void CIM_Object::FetchData(bool force) {
    ScopedLock lock(*this);
    const std::shared_ptr<CorvaneConnectionImpl> connection = m_CorvaneConnection.Lock();
    if (!connection) {
        MWTRACE(TV_WARNING, TC_ERROR_WARNING)
            << "CIM_Object::FetchData() attempted without a valid m_CorvaneConnection (maybe "
               "be benign if at startup)"
            << MWENDREC;
        return;
    }
    if (!needsFetch(force, *connection))
        return;
    NoteInterestChange();
    const cim::CIMObjectPath start = m_anchor.GetStartPath();
    FetchCall call = FetchCall::EnumerateInstances;
    try {
        fetchFrom(*connection, start, call);
    } catch (const cim::CIMException& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << "EXCEPTION For className=" << m_anchor.GetResultClassName() << " - "
            << callName(static_cast<int>(call)) << " path=" << start << " - message=" << e.what()
            << MWENDREC;
        throw;
    }
    m_lastFetch = Clock::now();
}

bool CIM_Object::needsFetch(bool force, const CorvaneConnectionImpl& connection) const {
    return !m_instance || force || (IsExpiryInForce(&connection) && IsExpired(m_lastFetch));
}

void CIM_Object::fetchFrom(UACIMClient& client, const cim::CIMObjectPath& start, FetchCall& call) {
    if (start.isNull()) {
        call = FetchCall::EnumerateInstances;
        fetchByEnumeration(client);
    } else if (m_anchor.GetSteps().empty()) {
        call = FetchCall::GetInstance;
        fetchByPath(client, start);
    } else {
        call = FetchCall::Associators;
        fetchByAssociation(client, start);
    }
}

void CIM_Object::fetchByPath(UACIMClient& client, const cim::CIMObjectPath& start) {
    MWTRACE(TV_DETAIL, TC_INFO_DEBUG) << "className=" << m_anchor.GetResultClassName()
                                      << " - performing GETINSTANCE() path=" << start << MWENDREC;
    storeFetched(client.getInstance(UACIMClient::kArrayNamespace, start));
    MWTRACE(TV_DETAIL, TC_INFO_DEBUG)
        << "Fetched (by path) object=" << m_instance->getPath() << MWENDREC;
}

void CIM_Object::fetchByAssociation(UACIMClient& client, const cim::CIMObjectPath& start) {
    const CIM_AssociationSpec& last = m_anchor.GetSteps().back();
    std::vector<cim::CIMObject> found;
    for (const cim::CIMObjectPath& path : m_anchor.WalkToLastStep(client, start)) {
        TraceAssociationCall("ASSOCIATORS()", m_anchor.GetResultClassName(), last, path);
        auto objects = client.associators(UACIMClient::kArrayNamespace, path, last.associationClass,
                                          last.resultClass);
        found.insert(found.end(), std::make_move_iterator(objects.begin()),
                     std::make_move_iterator(objects.end()));
    }
    if (found.size() > 1)
        throw MWEPegasusClientRequest(
            "Too many objects returned in CIM_Object - count=" + std::to_string(found.size()) +
                " final resultClassName=" + last.resultClass.getString() +
                " CIMObjectPath=" + start.toString(),
            __FILE__, __LINE__, __PRETTY_FUNCTION__);
    if (found.empty()) {
        markNotFound();
        MWTRACE(TV_INFO, TC_INFO_DEBUG)
            << "ZERO objects Fetched For className=" << m_anchor.GetResultClassName()
            << " - performing ASSOCIATORS()"
            << " associationSpec.count=" << m_anchor.GetSteps().size()
            << " finalAssociationName=" << last.associationClass
            << " finalResultClassName=" << last.resultClass << " for original path=" << start
            << MWENDREC;
        return;
    }
    storeFetched(found.front().getInstance());
}

void CIM_Object::fetchByEnumeration(UACIMClient& client) {
    const cim::CIMName className = m_anchor.GetResultClassName();
    std::vector<cim::CIMInstance> found =
        client.enumerateInstances(UACIMClient::kArrayNamespace, className);
    if (found.size() > 1)
        throw MWEPegasusClientRequest(
            "Too many objects returned in CIM_Object ENUMERATEINSTANCES - count=" +
                std::to_string(found.size()) + " resultClassName=" + className.getString(),
            __FILE__, __LINE__, __PRETTY_FUNCTION__);
    if (found.empty()) {
        markNotFound();
        MWTRACE(TV_INFO, TC_INFO_DEBUG)
            << "ZERO objects Fetched For className=" << className << MWENDREC;
        return;
    }
    storeFetched(std::move(found.front()));
}

void CIM_Object::storeFetched(cim::CIMInstance instance) {
    m_instance = std::move(instance);
    m_notFound = false;
    m_writtenSinceFetch = false;
}

// The instance of an earlier fetch is dropped too: it no longer describes an object the
// anchor leads to.
void CIM_Object::markNotFound() {
    m_instance.reset();
    m_notFound = true;
}

// ---- reading and writing --------------------------------------------------------------------

cim::CIMObjectPath CIM_Object::GetCIMObjectPath() {
    ScopedLock lock(*this);
    if (!m_instance)
        FetchData(true);
    return m_instance ? m_instance->getPath() : cim::CIMObjectPath();
}

bool CIM_Object::findPropertyValue(const std::string& propertyName, cim::CIMValue& value) {
    ScopedLock lock(*this);
    FetchData(false);
    if (!m_instance)
        return false;
    const std::size_t index = m_instance->findProperty(propertyName);
    if (index == cim::CIMInstance::npos)
        return false;
    value = m_instance->getProperty(index).getValue();
    return !value.isNull();
}

bool CIM_Object::setCachedPropertyValue(const std::string& propertyName,
                                        const cim::CIMValue& value) {
    ScopedLock lock(*this);
    if (!m_instance || !m_instance->hasProperty(propertyName))
        return false;
    m_instance->setPropertyValue(propertyName, value);
    return true;
}

void CIM_Object::SetCIMInstance(const cim::CIMInstance& instance) {
    ScopedLock lock(*this);
    const cim::CIMName& className = instance.getClassName();
    const bool matches = className == m_anchor.GetResultClassName() ||
                         (m_instance && className == m_instance->getClassName());
    if (!matches)
        throw MWEPegasusClientRequest("Classname specified does not match CIM_Object", __FILE__,
                                      __LINE__, __PRETTY_FUNCTION__);
    MWTRACE(TV_DETAIL, TC_INFO_DEBUG) << "SetCIMInstance className=" << className
                                      << " - instance=" << instance.getPath() << MWENDREC;
    m_instance = instance;
    m_notFound = false;
    m_lastFetch = Clock::now();
    NoteInterestChange();
}

cim::CIMInstance CIM_Object::GetCachedInstance() const {
    ScopedLock lock(*this);
    return m_instance.value_or(cim::CIMInstance());
}

void CIM_Object::UpdateCimServerWithData() {
    ScopedLock lock(*this);
    const std::shared_ptr<CorvaneConnectionImpl> connection = m_CorvaneConnection.Lock();
    if (!m_instance || !connection)
        return;
    MWTRACE(TV_DETAIL, TC_INFO_DEBUG)
        << "UpdateCimServerWithData For object=" << m_instance->getPath() << MWENDREC;
    connection->modifyInstance(UACIMClient::kArrayNamespace, *m_instance, false,
                               cim::CIMPropertyList());
    m_writtenSinceFetch = true;
}

void CIM_Object::UpdateCimServerWithProperty(const std::string& propertyName) {
    ScopedLock lock(*this);
    const std::shared_ptr<CorvaneConnectionImpl> connection = m_CorvaneConnection.Lock();
    if (!m_instance || !connection)
        return;
    MWTRACE(TV_DETAIL, TC_INFO_DEBUG) << "UpdateCimServerWithProperty " << propertyName
                                      << " For object=" << m_instance->getPath() << MWENDREC;
    connection->modifyInstance(UACIMClient::kArrayNamespace, *m_instance, false,
                               cim::CIMPropertyList({cim::CIMName(propertyName)}));
    m_writtenSinceFetch = true;
}

// ---- validity, invalidation, indications ------------------------------------------------------

bool CIM_Object::IsDataValid() const {
    ScopedLock lock(*this);
    return isDataValidLocked();
}

bool CIM_Object::isDataValidLocked() const {
    if (!m_instance || m_notFound)
        return false;
    const std::shared_ptr<CorvaneConnectionImpl> connection = m_CorvaneConnection.Lock();
    return !(IsExpiryInForce(connection.get()) && IsExpired(m_lastFetch));
}

bool CIM_Object::IsNotFound() const {
    ScopedLock lock(*this);
    return m_notFound;
}

bool CIM_Object::InvalidateCache() {
    ScopedLock lock(*this);
    return invalidateLocked();
}

bool CIM_Object::invalidateLocked() {
    if (!isDataValidLocked())
        return false;
    m_instance.reset();
    return true;
}

bool CIM_Object::InvalidateCacheIfPath(const cim::CIMObjectPath& path) {
    ScopedLock lock(*this);
    return invalidateIfPathLocked(path);
}

bool CIM_Object::invalidateIfPathLocked(const cim::CIMObjectPath& path) {
    return holdsPath(path) && invalidateLocked();
}

bool CIM_Object::holdsPath(const cim::CIMObjectPath& path) const {
    return m_instance && IsSameObjectPath(m_instance->getPath(), path);
}

// What holdsPath and standsFor answer true for.
void CIM_Object::CollectInterest(PathInterest& interest) const {
    // Without waiting: an object being read by another thread throws UALockTimeout, and the
    // service is then offered the indication, as if it could not say.
    ScopedLock lock(*this, 0);
    if (m_instance)
        interest.AddHeld(m_instance->getPath());
    const cim::CIMObjectPath* own = m_anchor.HeldStartPath();
    if (own && m_anchor.GetSteps().empty() && !own->getClassName().isNull())
        interest.AddHeld(*own);
}

bool CIM_Object::standsFor(const cim::CIMObjectPath& path) const {
    if (holdsPath(path))
        return true;
    // A container anchored on another container would have to ask it, which may fetch.
    const cim::CIMObjectPath* own = m_anchor.HeldStartPath();
    if (!own || !m_anchor.GetSteps().empty())
        return false;
    return !own->getClassName().isNull() && IsSameObjectPath(*own, path);
}

std::uint32_t CIM_Object::UpdateObjectContainerWithIndication(const UAIndication& indication) {
    // Creations change no object that is held or looked for: they go without the lock, and
    // they are most of what a busy array announces.
    if (indication.GetKind() != UAIndication::IndicationKind_CIMObject ||
        indication.GetType() == UAIndication::CIMIndicationType_Creation)
        return 0;
    ScopedLock lock(*this);
    return applyIndication(indication);
}

std::uint32_t CIM_Object::applyIndication(const UAIndication& indication) {
    switch (indication.GetType()) {
    case UAIndication::CIMIndicationType_Deletion:
        if (!standsFor(indication.GetSourceObjectPath()))
            return 0;
        m_notFound = true;
        return 1;
    case UAIndication::CIMIndicationType_Modification: {
        if (!holdsPath(indication.GetSourceObjectPath()))
            return 0;
        const cim::CIMObject& source = indication.GetSourceInstance();
        // Without the new instance the old one is wrong, and a held instance newer than the
        // change (read while the indication was on its way) is not to be set back: the next
        // read fetches it.
        if (m_writtenSinceFetch || !source.isInstance() || source.getInstance().isUninitialized() ||
            !indication.FollowsOn(*m_instance)) {
            m_instance.reset();
            return 1;
        }
        SetCIMInstance(source.getInstance());
        return 1;
    }
    case UAIndication::CIMIndicationType_Refresh:
        MWTRACE(TV_DETAIL, TC_INFO_DEBUG)
            << "UpdateObjectContainerWithIndication for CIMIndicationType_Refresh "
            << " for " << indication.GetSourceObjectPath() << " on CIM_Object containing a "
            << m_anchor.GetResultClassName() << MWENDREC;
        invalidateLocked();
        return 1;
    case UAIndication::CIMIndicationType_Creation:
    case UAIndication::CIMIndicationType_Unknown:
        return 0;
    }
    return 0;
}

// ---- extrinsic methods --------------------------------------------------------------------------

std::uint32_t CIM_Object::CIMValueToUint32(const cim::CIMValue& value) {
    if (const auto number = Merrow::UserAgent::CIMValueToUint32(value))
        return *number;
    MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
        << "invokeMethod() return value is unexpected data type - CIMType="
        << cim::cimTypeName(value.getType()) << MWENDREC;
    return kUnexpectedReturnValue;
}

std::uint32_t CIM_Object::InvokeExtrinsic(const char* methodName,
                                          std::vector<cim::CIMParamValue> in,
                                          const std::vector<OutParameter>& out) {
    ScopedLock lock(*this);
    FetchData(false);
    const std::shared_ptr<CorvaneConnectionImpl> connection = m_CorvaneConnection.Lock();
    if (!connection)
        throw MWEBadPointer("Null pointer for weakref", __FILE__, __LINE__, __PRETTY_FUNCTION__);
    std::erase_if(in, isOmittedParameter);
    std::vector<cim::CIMParamValue> outParameters;
    const cim::CIMValue result = connection->invokeMethod(
        UACIMClient::kArrayNamespace, GetCIMObjectPath(), methodName, in, outParameters);
    if (result.isNull()) {
        MWTRACE(TV_SEVERE, TC_ERROR_PEGASUS_CALL_FAILED)
            << "Null return by invokeMethod()" << MWENDREC;
        throw MWEPegasusRuntimeError("Null return by invokeMethod()", __FILE__, __LINE__,
                                     __PRETTY_FUNCTION__);
    }
    for (const cim::CIMParamValue& parameter : outParameters) {
        for (const OutParameter& wanted : out) {
            if (parameter.getParameterName() == cim::CIMName(wanted.name))
                wanted.assign(parameter.getValue());
        }
    }
    return CIMValueToUint32(result);
}

} // namespace Merrow::UserAgent
