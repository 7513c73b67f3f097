#pragma once

// Where indications go once the router has matched them with a subscription: the sender
// in the program, a recording sink in tests.

#include "cim/value/CIMInstance.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Merrow::Sim {

struct IndicationDelivery {
    // The handler's "Destination" as given; the key of its connection.
    std::string destination;
    std::string host;
    std::uint16_t port = 0;
    std::string target;
    std::shared_ptr<const cim::CIMInstance> indication;
};

class IndicationSink {
public:
    virtual ~IndicationSink() = default;
    // Called under the model lock: must only queue.
    virtual void post(IndicationDelivery delivery) = 0;
};

} // namespace Merrow::Sim
