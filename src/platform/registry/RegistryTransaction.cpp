#include "platform/registry/RegistryTransaction.h"

namespace orv::platform {

RegistryTransaction::RegistryTransaction(std::shared_ptr<Registry> registry)
    : m_registry(std::move(registry)), m_status(ERROR_CANTOPEN)
{
    if (!m_registry)
        return;
    m_lock = std::unique_lock(m_registry->mutex());
    m_status = m_registry->beginLocked();
    m_active = m_status == ERROR_SUCCESS;
    if (!m_active)
        m_lock.unlock();
}

RegistryTransaction::~RegistryTransaction()
{
    rollback();
}

LSTATUS RegistryTransaction::commit()
{
    if (!m_active)
        return ERROR_INVALID_HANDLE;
    m_active = false;
    LSTATUS status = m_registry->commitLocked();
    m_lock.unlock();
    return status;
}

void RegistryTransaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    m_registry->rollbackLocked();
    m_lock.unlock();
}

}  // namespace orv::platform
