#include "user_agent/objects/CIM_ObjectContainerInterface.h"

#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/objects/CIM_ContainerRegistry.h"

#include <atomic>

namespace Merrow::UserAgent {

namespace {

std::atomic<std::int64_t> expiryLimitMs{5000};

} // namespace

CIM_ObjectContainerInterface::CIM_ObjectContainerInterface()
    : m_ObjectContainerInstanceId(CIM_ContainerRegistry::Instance().NextInstanceId()) {}

CIM_ObjectContainerInterface::~CIM_ObjectContainerInterface() {
    UnregisterContainer();
}

void CIM_ObjectContainerInterface::RegisterContainer(const cim::CIMName& resultClassName,
                                                     Invalidator invalidate) {
    CIM_ContainerRegistry::Instance().Add(*this, resultClassName, IsObjectContainer(),
                                          std::move(invalidate));
}

void CIM_ObjectContainerInterface::UnregisterContainer() {
    CIM_ContainerRegistry::Instance().Remove(*this);
}

std::uint32_t
CIM_ObjectContainerInterface::InvalidateCacheForClassname(const cim::CIMName& className) {
    return CIM_ContainerRegistry::Instance().InvalidateClass(className);
}

std::uint32_t
CIM_ObjectContainerInterface::InvalidateCacheForObjectPath(const cim::CIMObjectPath& path) {
    return CIM_ContainerRegistry::Instance().InvalidatePath(path);
}

void CIM_ObjectContainerInterface::SetExpiryLimit(std::chrono::milliseconds limit) {
    expiryLimitMs.store(limit.count());
}

std::chrono::milliseconds CIM_ObjectContainerInterface::GetExpiryLimit() {
    return std::chrono::milliseconds(expiryLimitMs.load());
}

bool CIM_ObjectContainerInterface::IsExpiryInForce(const CorvaneConnectionImpl* connection) {
    return !connection || connection->IsNoIndications();
}

bool CIM_ObjectContainerInterface::IsExpired(const FetchTime& lastFetch) {
    return !lastFetch || Clock::now() - *lastFetch >= GetExpiryLimit();
}

} // namespace Merrow::UserAgent
