// COrvNotificationSet: collects drive and LUN notifications and sends them to VDS through
// its notifier in one call. It keeps its notifier alive (one reference) while it exists.
//
// Threads: a set belongs to the thread that fills it; Send takes the notifier's lock.
#pragma once

#include "platform/vds/VdsTypes.h"
#include "vds/framework/NotificationSet.h"

#include <cstddef>
#include <vector>

class COrvNotifier;

class COrvNotificationSet : public NotificationSet {
public:
    // The largest count whose byte size fits in 32 bits; more is not collected.
    static constexpr std::size_t kMaxRecords = 89478485;

    explicit COrvNotificationSet(COrvNotifier* pNotifier);
    ~COrvNotificationSet() override;
    COrvNotificationSet(const COrvNotificationSet&) = delete;
    COrvNotificationSet& operator=(const COrvNotificationSet&) = delete;

    void AddNotification(int kind, const GUID& id) override;
    void Send() override;

    std::size_t Size() const { return m_Records.size(); }

private:
    COrvNotifier* m_pNotifier;
    std::vector<VDS_NOTIFICATION> m_Records;
};
