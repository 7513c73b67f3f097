// A batch of drive and LUN notifications, collected and then sent to VDS in one call.
#pragma once

#include "platform/com/Guid.h"

class NotificationSet {
public:
    // The kinds of notification a set collects.
    enum Kind : int {
        DriveModified = 1,
        LunArrived = 2,
        LunDeparted = 3,
        LunModified = 4,
    };

    virtual ~NotificationSet() = default;
    // Appends one notification; a kind outside the four above adds nothing.
    virtual void AddNotification(int kind, const GUID& id) = 0;
    // Sends what was collected (nothing when empty) and empties the set for reuse.
    virtual void Send() = 0;
};
