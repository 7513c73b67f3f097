#include "NotificationText.h"

#include "platform/com/Guid.h"

#include <array>
#include <cstdio>
#include <ctime>

namespace orvraid {
namespace {

struct EventName {
    ULONG event;
    const char* text;
};

constexpr std::array kEvents{
    EventName{VDS_NF_SUB_SYSTEM_ARRIVE, "subsystem arrived"},
    EventName{VDS_NF_SUB_SYSTEM_DEPART, "subsystem departed"},
    EventName{VDS_NF_SUB_SYSTEM_MODIFY, "subsystem changed"},
    EventName{VDS_NF_CONTROLLER_ARRIVE, "controller arrived"},
    EventName{VDS_NF_CONTROLLER_DEPART, "controller departed"},
    EventName{VDS_NF_CONTROLLER_MODIFY, "controller changed"},
    EventName{VDS_NF_CONTROLLER_REMOVED, "controller removed"},
    EventName{VDS_NF_DRIVE_ARRIVE, "drive arrived"},
    EventName{VDS_NF_DRIVE_DEPART, "drive departed"},
    EventName{VDS_NF_DRIVE_MODIFY, "drive changed"},
    EventName{VDS_NF_DRIVE_REMOVED, "drive removed"},
    EventName{VDS_NF_LUN_ARRIVE, "LUN arrived"},
    EventName{VDS_NF_LUN_DEPART, "LUN departed"},
    EventName{VDS_NF_LUN_MODIFY, "LUN changed"},
    EventName{VDS_NF_PORT_ARRIVE, "port arrived"},
    EventName{VDS_NF_PORT_DEPART, "port departed"},
    EventName{VDS_NF_PORT_MODIFY, "port changed"},
    EventName{VDS_NF_PORT_REMOVED, "port removed"},
    EventName{VDS_NF_PORTAL_ARRIVE, "portal arrived"},
    EventName{VDS_NF_PORTAL_DEPART, "portal departed"},
    EventName{VDS_NF_PORTAL_MODIFY, "portal changed"},
    EventName{VDS_NF_TARGET_ARRIVE, "target arrived"},
    EventName{VDS_NF_TARGET_DEPART, "target departed"},
    EventName{VDS_NF_TARGET_MODIFY, "target changed"},
    EventName{VDS_NF_PORTAL_GROUP_ARRIVE, "portal group arrived"},
    EventName{VDS_NF_PORTAL_GROUP_DEPART, "portal group departed"},
    EventName{VDS_NF_PORTAL_GROUP_MODIFY, "portal group changed"},
    EventName{VDS_NF_SERVICE_OUT_OF_SYNC, "service out of sync"},
};

}  // namespace

std::string notificationText(const VDS_NOTIFICATION& notification)
{
    // Every object kind orvraid shows keeps its event and id at the places of the
    // subsystem's record.
    const ULONG event = notification.SubSystem.ulEvent;
    std::string text = "event " + std::to_string(event) + " of object type " +
                       std::to_string(static_cast<int>(notification.objectType));
    for (const EventName& name : kEvents) {
        if (name.event == event)
            text = name.text;
    }
    return text + " " + GuidToString(notification.SubSystem.subSystemId);
}

std::string watchTimeText(std::uint64_t unixMilliseconds)
{
    const std::time_t seconds = static_cast<std::time_t>(unixMilliseconds / 1000);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    char millis[8];
    std::snprintf(millis, sizeof millis, ".%03u", static_cast<unsigned>(unixMilliseconds % 1000));
    return std::string(text, length) + millis;
}

std::uint64_t unixMillisecondsNow()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

}  // namespace orvraid
