#include "vds/framework/COrvNotificationSet.h"

#include "trace/Trace.h"
#include "vds/framework/COrvNotifier.h"

#include <cstring>
#include <new>
#include <optional>

using Merrow::Trace::TC_VDS_NOTIFIER;
using Merrow::Trace::TV_ERROR;

static_assert(sizeof(VDS_NOTIFICATION) * COrvNotificationSet::kMaxRecords <= 0xFFFFFFFFu &&
              sizeof(VDS_NOTIFICATION) * (COrvNotificationSet::kMaxRecords + 1) > 0xFFFFFFFFu);

namespace {

struct KindRow {
    int kind;
    VDS_NOTIFICATION_TARGET_TYPE objectType;
    ULONG event;
};

constexpr KindRow kKinds[] = {
    {NotificationSet::DriveModified, VDS_NTT_DRIVE, VDS_NF_DRIVE_MODIFY},
    {NotificationSet::LunArrived, VDS_NTT_LUN, VDS_NF_LUN_ARRIVE},
    {NotificationSet::LunDeparted, VDS_NTT_LUN, VDS_NF_LUN_DEPART},
    {NotificationSet::LunModified, VDS_NTT_LUN, VDS_NF_LUN_MODIFY},
};

// The zero-filled record for `kind`; nothing for a kind outside the table. The drive and
// LUN arms share their layout (event at 8, id at 12), written here through the one that
// names the object.
std::optional<VDS_NOTIFICATION> recordFor(int kind, const GUID& id)
{
    for (const KindRow& row : kKinds) {
        if (row.kind != kind)
            continue;
        VDS_NOTIFICATION record;
        std::memset(&record, 0, sizeof record);
        record.objectType = row.objectType;
        if (row.objectType == VDS_NTT_DRIVE) {
            record.Drive.ulEvent = row.event;
            record.Drive.driveId = id;
        } else {
            record.Lun.ulEvent = row.event;
            record.Lun.LunId = id;
        }
        return record;
    }
    return std::nullopt;
}

} // namespace

COrvNotificationSet::COrvNotificationSet(COrvNotifier* pNotifier) : m_pNotifier(pNotifier)
{
    m_pNotifier->AddRef();
}

COrvNotificationSet::~COrvNotificationSet() { m_pNotifier->Release(); }

void COrvNotificationSet::AddNotification(int kind, const GUID& id)
{
    std::optional<VDS_NOTIFICATION> record = recordFor(kind, id);
    if (!record)
        return;
    if (m_Records.size() >= kMaxRecords) {
        MWTRACE(TV_ERROR, TC_VDS_NOTIFIER)
            << "notification set full, notification for " << id << " dropped" << MWENDREC;
        return;
    }
    try {
        m_Records.push_back(*record);
    } catch (const std::bad_alloc&) {
        MWTRACE(TV_ERROR, TC_VDS_NOTIFIER)
            << "out of memory, notification for " << id << " dropped" << MWENDREC;
    }
}

void COrvNotificationSet::Send()
{
    if (m_Records.empty())
        return;
    m_pNotifier->Notify(static_cast<LONG>(m_Records.size()), m_Records.data());
    m_Records.clear();
}
