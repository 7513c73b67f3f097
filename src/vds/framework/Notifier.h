// What the VDS objects see of the notifier: a source of notification sets.
#pragma once

#include <memory>

class NotificationSet;

class Notifier {
public:
    virtual ~Notifier() = default;
    // A new, empty set bound to this notifier; null when it could not be made.
    virtual std::unique_ptr<NotificationSet> NewSet() = 0;
};
