#include "vds/framework/NotifierHolder.h"

#include <utility>

void NotifierHolder::Set(CComPtr<COrvNotifier> notifier)
{
    {
        std::lock_guard lock(m_mutex);
        m_pNotifier.swap(notifier);
    }
    // `notifier` now holds the earlier one, released here outside the lock.
}

CComPtr<COrvNotifier> NotifierHolder::Get() const
{
    std::lock_guard lock(m_mutex);
    return m_pNotifier;
}

bool NotifierHolder::IsSet() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<bool>(m_pNotifier);
}

void NotifierHolder::Reset()
{
    CComPtr<COrvNotifier> released;
    {
        std::lock_guard lock(m_mutex);
        released.swap(m_pNotifier);
    }
}

bool NotifierHolder::Deliver(LONG count, VDS_NOTIFICATION* pRecords) const
{
    const CComPtr<COrvNotifier> notifier = Get();
    if (!notifier)
        return false;
    notifier->Notify(count, pRecords);
    return true;
}
