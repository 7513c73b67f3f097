#pragma once

namespace Merrow::UserAgent {

class UAIndication;

// Receives indications: the library root (from the listener and from the connections'
// failure paths), the connections (from the dispatcher thread) and the services (from their
// connection). Each implementer says on which threads it is called.
class UAIndicationConsumer {
public:
    virtual ~UAIndicationConsumer() = default;
    virtual void OnIndicationReceived(const UAIndication& indication) = 0;
};

} // namespace Merrow::UserAgent
