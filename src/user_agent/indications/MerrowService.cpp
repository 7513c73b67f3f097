#include "user_agent/indications/MerrowService.h"

#include "user_agent/base/MWExceptions.h"
#include "user_agent/indications/MerrowServiceImpl.h"
#include "user_agent/indications/MerrowServiceWeakRef.h"

#include <utility>

namespace Merrow::UserAgent {

namespace {

std::shared_ptr<MerrowServiceImpl> lockOrThrow(const MerrowServiceWeakRef& weakRef) {
    if (weakRef.IsNull())
        throw MWEBadPointer("Null pointer for weakref", __FILE__, __LINE__, __PRETTY_FUNCTION__);
    auto impl = weakRef.Lock();
    if (!impl)
        throw MWEBadPointer("Invalid MerrowService for weakref (m_pImpl == NULL)", __FILE__,
                            __LINE__, __PRETTY_FUNCTION__);
    return impl;
}

} // namespace

MerrowService::MerrowService() : m_typeName("MerrowService") {}

MerrowService::MerrowService(std::shared_ptr<MerrowServiceImpl> impl)
    : m_pImpl(std::move(impl)), m_typeName("MerrowService") {
    if (!m_pImpl)
        return;
    m_typeName = m_pImpl->GetTypeName();
    m_instanceIdentity = m_pImpl->GetInstanceIdentity();
    m_pImpl->description(m_description);
}

MerrowService::MerrowService(const MerrowServiceWeakRef& weakRef)
    : MerrowService(lockOrThrow(weakRef)) {}

MerrowService::~MerrowService() = default;

ServiceInstanceID MerrowService::GetInstanceID() const {
    return m_pImpl ? m_pImpl->GetInstanceID() : ServiceInstanceID();
}

bool MerrowService::IsServiceRemoved() const {
    return !m_pImpl || m_pImpl->IsServiceRemoved();
}

MerrowReturnValue MerrowService::CheckUsable() const {
    if (!m_pImpl)
        return MerrowReturnValue::UA_E_SERVICE_INVALID;
    if (m_pImpl->IsServiceRemoved())
        return MerrowReturnValue::UA_E_SERVICE_REMOVED;
    return MerrowReturnValue();
}

MerrowReturnValue MerrowService::GetStatus(UAEnums::OperationalStatus& status) const {
    MerrowReturnValue result = CheckUsable();
    if (result.isFailure())
        return result;
    std::int32_t value = 0;
    result = m_pImpl->GetStatus(value);
    if (!result.isFailure())
        status.setValue(value);
    return result;
}

MerrowReturnValue MerrowService::Refresh() {
    const MerrowReturnValue usable = CheckUsable();
    return usable.isFailure() ? usable : m_pImpl->Refresh();
}

MerrowReturnValue MerrowService::AddServiceIndicationCallback(ServiceIndicationCallback callback,
                                                              std::uint32_t& cookie) {
    if (!m_pImpl)
        return MerrowReturnValue::UA_E_SERVICE_INVALID;
    cookie = m_pImpl->AddServiceIndicationCallback(std::move(callback));
    return MerrowReturnValue();
}

MerrowReturnValue MerrowService::RemoveServiceIndicationCallback(std::uint32_t cookie) {
    if (!m_pImpl)
        return MerrowReturnValue::UA_E_SERVICE_INVALID;
    return m_pImpl->RemoveServiceIndicationCallback(cookie) ? MerrowReturnValue()
                                                            : MerrowReturnValue::UA_S_FALSE;
}

} // namespace Merrow::UserAgent
