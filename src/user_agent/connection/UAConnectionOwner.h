#pragma once

#include "user_agent/indications/UAIndicationConsumer.h"

#include <cstdint>
#include <string>

namespace Merrow::UserAgent {

class ServiceIndication;

// What a connection needs from the library root that owns it: the root's options, the port
// of its indication listener, and its two queues (lost-connection indications go in through
// OnIndicationReceived).
//
// Threads: any; implementations only read flags and push onto queues, so a connection may
// call them while holding its own locks.
class UAConnectionOwner : public UAIndicationConsumer {
public:
    // Connections of a root made with this option do not subscribe to indications.
    virtual bool IsNoIndications() const = 0;
    // 0 while the listener is not running.
    virtual std::uint16_t GetListenerPort() const = 0;
    // The listener hears indications only from arrays a connection subscribed with: each
    // allow is undone by one forbid when that subscription ends.
    virtual void AllowIndicationSender(const std::string& address) = 0;
    virtual void ForbidIndicationSender(const std::string& address) = 0;
    // Queues the service indication when the root delivers them (once somebody waited for
    // one); drops it otherwise.
    virtual void QueueServiceIndication(const ServiceIndication& indication) = 0;
};

} // namespace Merrow::UserAgent
