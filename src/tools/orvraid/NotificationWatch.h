// orvraid watch: prints the provider's notifications as they come, one a line with its
// local time, until SIGINT or SIGTERM (or until the service ends the connection).
#pragma once

#include "ExitCode.h"

#include <iosfwd>

namespace orv::platform {
class RecordingAdviseSink;
}

namespace orvraid {

class ServiceClient;

ExitCode watchService(ServiceClient& client, std::ostream& out, std::ostream& err);
ExitCode watchInProcess(orv::platform::RecordingAdviseSink& notifications, std::ostream& out);

}  // namespace orvraid
