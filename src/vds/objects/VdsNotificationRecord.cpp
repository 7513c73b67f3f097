#include "vds/objects/VdsNotificationRecord.h"

VdsNotificationRecord::VdsNotificationRecord(VDS_NOTIFICATION_TARGET_TYPE type, ULONG event,
                                             const VDS_OBJECT_ID& id)
    : m_pRecord(CoTaskMemAllocZeroed<VDS_NOTIFICATION>(1))
{
    if (!m_pRecord)
        return;
    m_pRecord->objectType = type;
    // Every object kind's notification has its event at offset 8 and its id at offset 12
    // (VdsTypes.h asserts the layout), so the subsystem member writes any of them.
    m_pRecord->SubSystem.ulEvent = event;
    m_pRecord->SubSystem.subSystemId = id;
}
