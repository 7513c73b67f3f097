#include "user_agent/services/ServiceImplBase.h"

#include "user_agent/objects/CIM_Object.h"
#include "user_agent/profiles/MerrowProfile.h"

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

ServiceImplBase::ServiceImplBase(std::string typeName, const CorvaneConnectionWeakRef& connection,
                                 cim::CIMObjectPath rootPath)
    : MerrowServiceImpl(std::move(typeName), connection), m_rootPath(std::move(rootPath)),
      m_identity(IdentityOfPath(m_rootPath)) {}

ServiceImplBase::~ServiceImplBase() = default;

void ServiceImplBase::Own(MerrowProfile& profile) {
    AddProfile(profile);
    m_ownedProfiles.push_back(&profile);
}

MerrowReturnValue ServiceImplBase::Init() {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    for (MerrowProfile* profile : m_ownedProfiles) {
        const MerrowReturnValue result = profile->Init(GetConnection(), *this);
        if (result.isFailure())
            return result;
        profile->FetchAllProfileData(false);
    }
    return MerrowReturnValue();
}

void ServiceImplBase::SeedRootObject(const cim::CIMObject& object) {
    if (object.getPath() != m_rootPath || object.getClassName() != m_rootPath.getClassName())
        return;
    const cim::CIMInstance instance = object.getInstance();
    for (MerrowProfile* profile : m_ownedProfiles) {
        // The root container comes first and is always an object container.
        auto* root = static_cast<CIM_Object*>(profile->GetContainers().front());
        root->SetCIMInstance(instance);
    }
}

// Without the host: the array answers references to objects it just made (a created
// volume) without one, while enumerations carry it, and both name the same object of the
// same connection.
std::string ServiceImplBase::GetInstanceIdentity() const { return m_identity; }

std::string ServiceImplBase::IdentityOfPath(const cim::CIMObjectPath& path) {
    if (path.getHost().empty())
        return path.toString();
    cim::CIMObjectPath withoutHost = path;
    withoutHost.setHost("");
    return withoutHost.toString();
}

std::int32_t ServiceImplBase::StatusFromOperationalStatus(
    const std::vector<std::uint16_t>& cimStatus) {
    constexpr std::int32_t kOk = 0;
    constexpr std::int32_t kFailed = 1;
    constexpr std::int32_t kNeedsAttention = 3;
    if (cimStatus.empty())
        return kNeedsAttention;
    switch (cimStatus.front()) {
    case 2: // OK
        return kOk;
    case 6:  // Error
    case 7:  // Non-Recoverable Error
    case 12: // No Contact
    case 13: // Lost Communication
        return kFailed;
    default: // degraded, stressed, predictive failure, stopped, dormant, ...
        return kNeedsAttention;
    }
}

void ServiceImplBase::TraceListFailure(const char* listCall, const MerrowReturnValue& result) {
    MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
        << " Error - " << listCall << " failed." << " rtn=" << result << MWENDREC;
}

void ServiceImplBase::TraceSkipped(const char* handleName, const cim::CIMObjectPath& path,
                                   const MerrowReturnValue& result) {
    if (result.getCode() == MerrowReturnValue::UA_E_SERVICE_REMOVED) {
        MWTRACE(TV_INFO, TC_INFO) << " Info - " << handleName
                                  << ".IsServiceRemoved() for ObjectPath=" << path.toString()
                                  << MWENDREC;
        return;
    }
    MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
        << " Error - " << handleName << ".Init() failed for ObjectPath=" << path.toString()
        << " - " << result.getMessage() << MWENDREC;
}

void ServiceImplBase::TraceUnexpectedCount(const char* listCall, std::size_t count) {
    MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
        << " Error - " << listCall << " failed." << " Expected " << 1
        << " objects fetched but got " << count << MWENDREC;
}

} // namespace Merrow::UserAgent
