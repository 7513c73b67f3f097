// NotifierHolder: where the provider keeps its notifier. Deliveries take a reference of
// their own under the holder's lock before they use the notifier, and Reset takes the
// provider's reference out under the same lock, so the provider letting go (FinalRelease)
// while its background thread delivers can never free a notifier in use: the delivery
// finishes with its own reference, and deliveries that come later find none and drop
// their records.
//
// Threads: any. m_mutex guards m_pNotifier only and is never held while the notifier
// runs or is released, so it is a leaf lock below every scoped lock.
#pragma once

#include "platform/com/CComPtr.h"
#include "vds/framework/COrvNotifier.h"

#include <mutex>

class NotifierHolder {
public:
    NotifierHolder() = default;
    ~NotifierHolder() { Reset(); }
    NotifierHolder(const NotifierHolder&) = delete;
    NotifierHolder& operator=(const NotifierHolder&) = delete;

    // Keeps `notifier` (replacing, and releasing, any earlier one).
    void Set(CComPtr<COrvNotifier> notifier);
    // The notifier with a reference for the caller; empty when none is kept.
    CComPtr<COrvNotifier> Get() const;
    bool IsSet() const;
    // Lets go of the kept notifier; it goes when the last delivery using it ends.
    void Reset();

    // Hands the records to the kept notifier; false (records dropped) when there is none.
    bool Deliver(LONG count, VDS_NOTIFICATION* pRecords) const;

private:
    mutable std::mutex m_mutex; // guards m_pNotifier
    CComPtr<COrvNotifier> m_pNotifier;
};
