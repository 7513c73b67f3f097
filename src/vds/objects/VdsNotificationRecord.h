// VdsNotificationRecord: one VDS notification record in task memory, as every object of the
// provider hands them to VDS (one record per delivery). The record is zero-filled and freed
// when the holder goes; the notifier does not take ownership of what it is given.
#pragma once

#include "platform/com/TaskMemory.h"
#include "platform/vds/VdsTypes.h"

#include <memory>

class VdsNotificationRecord {
public:
    // `type` is the notification's object type (VDS_NTT_...), `event` a VDS_NF_ code.
    VdsNotificationRecord(VDS_NOTIFICATION_TARGET_TYPE type, ULONG event, const VDS_OBJECT_ID& id);

    // Null when task memory was exhausted.
    VDS_NOTIFICATION* get() const { return m_pRecord.get(); }

private:
    struct Free {
        void operator()(VDS_NOTIFICATION* record) const { CoTaskMemFree(record); }
    };
    std::unique_ptr<VDS_NOTIFICATION, Free> m_pRecord;
};
