#include "user_agent/indications/MerrowServiceImpl.h"

#include "trace/Trace.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/UAException.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/indications/MerrowProfileInterface.h"
#include "user_agent/indications/ServiceIndication.h"
#include "user_agent/indications/UAIndication.h"

#include <algorithm>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

// The array's failure code for an object handle that is no longer valid: the profile's
// objects are being deleted under it.
constexpr std::int32_t kInvalidObjectHandle = 16;

// The message of the exception being handled; empty for one that carries none.
std::string caughtMessage() {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (const UAException& e) {
        return e.getMessage();
    } catch (...) {
        return {};
    }
}

} // namespace

MerrowServiceImpl::MerrowServiceImpl(std::string typeName, CorvaneConnectionWeakRef connection)
    : m_typeName(std::move(typeName)), m_instanceID(ServiceInstanceID::nextSerial(), m_typeName),
      m_connection(std::move(connection)) {}

MerrowServiceImpl::~MerrowServiceImpl() {
    // Registrations hold weak references and are dropped by the connection anyway; removing
    // them here keeps the connection's lists short.
    if (const auto connection = GetConnection().Lock())
        connection->RemoveIndicationConsumers(this);
}

void MerrowServiceImpl::OnIndicationReceived(const UAIndication& indication) {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    if (indication.GetKind() == UAIndication::IndicationKind_LostConnection) {
        MWTRACE(TV_INFO, TC_INFO_OTHER) << "Connection lost for " << m_typeName
                                        << " ServiceInstanceID=" << GetInstanceIdentity()
                                        << " so calling SetServiceRemoved(true)" << MWENDREC;
        SetServiceRemoved(true);
        return;
    }
    ++m_indicationsOffered;
    const ProfileOutcome outcome = offerToProfiles(indication);
    if (!outcome.handled && !outcome.removed) {
        if (outcome.result.getCode() != MerrowReturnValue::UA_S_FALSE)
            AlertNeedsAttention(__PRETTY_FUNCTION__);
        return;
    }
    if (outcome.removed) {
        SetServiceRemoved(true);
        PostServiceIndication(ServiceIndication::ServiceRemoved,
                              MerrowReturnValue(MerrowReturnValue::UA_E_SERVICE_REMOVED),
                              indication);
        return;
    }
    PostServiceIndication(ServiceIndication::ServiceChanged, MerrowReturnValue(), indication);
}

std::optional<PathInterest> MerrowServiceImpl::GatherInterest() const {
    try {
        PathInterest interest;
        for (const MerrowProfileInterface* profile : profiles())
            profile->CollectInterest(interest);
        interest.Seal();
        return interest;
    } catch (...) {
        return std::nullopt;
    }
}

MerrowServiceImpl::ProfileOutcome
MerrowServiceImpl::offerToProfiles(const UAIndication& indication) {
    ProfileOutcome outcome;
    for (MerrowProfileInterface* profile : profiles()) {
        std::int32_t reaction = MerrowProfileInterface::kReactionChanged;
        outcome.result = profile->OnIndicationReceived(indication, reaction);
        if (outcome.result.getCode() == MerrowReturnValue::UA_S_OK) {
            outcome.handled = true;
            outcome.removed |= reaction == MerrowProfileInterface::kReactionRootRemoved;
        } else if (outcome.result.isFailure() &&
                   outcome.result.getFailureCode() == kInvalidObjectHandle) {
            MWTRACE(TV_WARNING, TC_ERROR_WARNING)
                << " It appear our profile objects are in process of deletion(rtn="
                << outcome.result << "), so we flag service as  REMOVED "
                << " for profile with objectPath:" << profile->GetRootObjectPath().toString()
                << MWENDREC;
            outcome.removed = true;
        } else if (outcome.result.isFailure()) {
            MWTRACE(TV_INFO, TC_INFO_OTHER)
                << " profile's OnIndicationReceived() has returned a failure code : "
                << outcome.result
                << " for profile with objectPath:" << profile->GetRootObjectPath().toString()
                << MWENDREC;
        }
    }
    return outcome;
}

void MerrowServiceImpl::AlertNeedsAttention(const std::string& functionName) {
    SetStatusValue(STATUS_NEEDSATTENTION);
    PostServiceIndication(ServiceIndication::ServiceChanged,
                          MerrowReturnValue(MerrowReturnValue::UA_E_UNEXPECTED), UAIndication());
    MWTRACE(TV_WARNING, TC_ERROR_WARNING)
        << " We have an internal indication OF A MALFUNTION in " << functionName << MWENDLINE
        << "... have set out Status to STATUS_NEEDSATTENTION, " << MWENDLINE
        << "... and have put our 'this' pointer in the ServiceIndicationQueue" << MWENDREC;
}

MerrowReturnValue
MerrowServiceImpl::RunFacadeOperation(const char* function,
                                      const std::function<MerrowReturnValue()>& body,
                                      const Merrow::Trace::SourceLocation& where) {
    ScopeTracer scope("", where.file_name(), static_cast<std::int32_t>(where.line()), function);
    if (IsServiceRemoved())
        return MerrowReturnValue(MerrowReturnValue::UA_E_SERVICE_REMOVED);
    try {
        return body();
    } catch (const ReturnCodeException& e) {
        return e.getReturnValue();
    } catch (...) {
        return facadeFailure(function, where);
    }
}

MerrowReturnValue MerrowServiceImpl::facadeFailure(const char* function,
                                                   const Merrow::Trace::SourceLocation& where) {
    TraceStreamClass& stream = getThreadTraceStream();
    if (stream.wants(TV_WARNING)) {
        stream.beginRecord(where.file_name(), static_cast<std::int32_t>(where.line()), function,
                           TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << "Exception caught! - " << caughtMessage() << MWENDREC;
    }
    AlertNeedsAttention(function);
    return MerrowReturnValue(MerrowReturnValue::UA_E_UNEXPECTED);
}

std::string MerrowServiceImpl::GetInstanceIdentity() const {
    return std::to_string(m_instanceID.getSerial());
}

CorvaneConnectionWeakRef MerrowServiceImpl::GetConnection() const {
    std::lock_guard lock(m_registryMutex);
    return m_connection;
}

void MerrowServiceImpl::SetConnection(CorvaneConnectionWeakRef connection) {
    std::lock_guard lock(m_registryMutex);
    m_connection = std::move(connection);
}

MerrowReturnValue MerrowServiceImpl::GetStatus(std::int32_t& status) {
    status = GetStatusValue();
    return MerrowReturnValue();
}

MerrowReturnValue MerrowServiceImpl::Refresh() {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    for (MerrowProfileInterface* profile : profiles())
        profile->FetchAllProfileData(true);
    return MerrowReturnValue();
}

MerrowReturnValue
MerrowServiceImpl::SubscribeToClasses(const std::vector<std::string>& classNames) {
    const auto connection = GetConnection().Lock();
    if (!connection)
        return MerrowReturnValue(MerrowReturnValue::UA_E_NOTCONNECTED,
                                 "The service's connection is gone");
    connection->AddIndicationConsumers(classNames, MerrowServiceWeakRef(shared_from_this()));
    return MerrowReturnValue();
}

void MerrowServiceImpl::AddProfile(MerrowProfileInterface& profile) {
    {
        std::lock_guard lock(m_registryMutex);
        m_profiles.push_back(&profile);
    }
    m_interestWatch.MarkChanged();
}

std::vector<MerrowProfileInterface*> MerrowServiceImpl::profiles() const {
    std::lock_guard lock(m_registryMutex);
    return m_profiles;
}

std::uint32_t MerrowServiceImpl::AddServiceIndicationCallback(ServiceIndicationCallback callback) {
    std::lock_guard lock(m_registryMutex);
    const std::uint32_t cookie = ++m_lastCookie;
    m_callbacks.emplace_back(cookie, std::move(callback));
    return cookie;
}

bool MerrowServiceImpl::RemoveServiceIndicationCallback(std::uint32_t cookie) {
    std::lock_guard lock(m_registryMutex);
    return std::erase_if(m_callbacks,
                         [cookie](const auto& entry) { return entry.first == cookie; }) > 0;
}

void MerrowServiceImpl::CallServiceIndicationCallbacks(const ServiceIndication& indication) const {
    std::vector<std::pair<std::uint32_t, ServiceIndicationCallback>> callbacks;
    {
        std::lock_guard lock(m_registryMutex);
        callbacks = m_callbacks;
    }
    for (const auto& [cookie, callback] : callbacks)
        callback(cookie, indication);
}

void MerrowServiceImpl::PostServiceIndication(std::int32_t code, const MerrowReturnValue& result,
                                              const UAIndication& cause) {
    const ServiceIndication serviceIndication(MerrowService(weak_from_this().lock()), code, result,
                                              cause);
    const auto connection = GetConnection().Lock();
    if (connection) {
        connection->QueueServiceIndication(serviceIndication);
        if (static_cast<const MerrowServiceImpl*>(connection.get()) != this)
            connection->CallServiceIndicationCallbacks(serviceIndication);
    }
    CallServiceIndicationCallbacks(serviceIndication);
}

std::string MerrowServiceImpl::className() const {
    return m_typeName + "Impl";
}

void MerrowServiceImpl::description(std::string& text) const {
    text = "Service ObjectID=" + GetInstanceIdentity();
}

cim::CIMObjectPath MerrowServiceImpl::GetBasePoolObjectPath() {
    MWSCOPE_OBJ(this, "");
    return m_poolPaths.GetBasePool(GetConnection());
}

cim::CIMObjectPath MerrowServiceImpl::GetAvailPoolObjectPath() {
    MWSCOPE_OBJ(this, "");
    return m_poolPaths.GetAvailablePool(GetConnection());
}

} // namespace Merrow::UserAgent
