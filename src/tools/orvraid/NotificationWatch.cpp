#include "NotificationWatch.h"

#include "NotificationText.h"
#include "ServiceClient.h"

#include "platform/service/ServiceLoop.h"
#include "platform/vds/RecordingAdviseSink.h"

#include <atomic>
#include <mutex>
#include <ostream>
#include <thread>

namespace orvraid {
namespace {

constexpr const char* kWatching = "Watching the provider's notifications; press Ctrl+C to stop.";

void printLine(std::ostream& out, std::uint64_t unixMilliseconds, const std::string& text)
{
    out << watchTimeText(unixMilliseconds) << "  " << text << std::endl;
}

}  // namespace

// The connection is read on a thread of its own, so that the main thread can wait for
// the signal; whichever ends first ends the other.
ExitCode watchService(ServiceClient& client, std::ostream& out, std::ostream& err)
{
    std::string error;
    if (!client.startWatch(error)) {
        err << "orvraid: " << error << "." << std::endl;
        return ExitCode::Fatal;
    }
    orv::platform::ServiceLoop loop;
    std::atomic<bool> failed{false};
    out << kWatching << std::endl;
    std::thread reader([&] {
        const bool watched = client.readNotifications(
            [&](const protocol::Notification& notification) {
                printLine(out, notification.unixMilliseconds, notification.text);
            },
            error);
        failed = !watched;
        loop.quit();
    });
    const orv::platform::ServiceLoop::Result ended = loop.run();
    client.shutdown();
    reader.join();
    if (failed) {
        err << "orvraid: " << error << "." << std::endl;
        return ExitCode::Fatal;
    }
    if (ended.reason == orv::platform::ServiceLoop::Reason::Quit)
        out << "The service ended the connection." << std::endl;
    return ExitCode::Success;
}

ExitCode watchInProcess(orv::platform::RecordingAdviseSink& notifications, std::ostream& out)
{
    orv::platform::ServiceLoop loop;
    std::mutex outMutex;  // notifications may come on more than one thread
    notifications.setForwarder([&](const VDS_NOTIFICATION* records, std::size_t count) {
        const std::uint64_t now = unixMillisecondsNow();
        std::lock_guard lock(outMutex);
        for (std::size_t i = 0; i < count; ++i)
            printLine(out, now, notificationText(records[i]));
    });
    out << kWatching << std::endl;
    loop.run();
    notifications.setForwarder({});
    return ExitCode::Success;
}

}  // namespace orvraid
