#pragma once

#include "cim/CIMInstance.h"

#include <cstdint>
#include <string>

namespace Merrow::UserAgent::Testing {

// Posts indications to a listener the way an array does, for tests that need indications the
// simulated array would never send.
class IndicationPoster {
public:
    explicit IndicationPoster(std::uint16_t port);

    // Posts to "/CIMListener/<target>"; answers true when the listener accepted it (no ERROR
    // in the export response).
    bool post(const std::string& target, const cim::CIMInstance& indication);

private:
    std::uint16_t m_port;
    std::uint64_t m_messageId = 0;
};

} // namespace Merrow::UserAgent::Testing
