#pragma once

#include "cim/value/CIMInstance.h"
#include "cim/http/HttpClientConnection.h"

#include <cstdint>
#include <string>

namespace Merrow::UserAgent::Testing {

// Posts indications to a listener the way an array does, on one keep-alive connection, for
// tests that need indications the simulated array would never send and for benchmarks that
// leave the array out. One thread at a time.
class IndicationPoster {
public:
    // Posts from the loopback address `from` (an array's own address), or from the one the
    // system picks when it is empty.
    explicit IndicationPoster(std::uint16_t port, const std::string& from = {});

    // Posts to "/CIMListener/<target>"; answers true when the listener accepted it (no ERROR
    // in the export response).
    bool post(const std::string& target, const cim::CIMInstance& indication);

private:
    cim::HttpClientConnection m_connection;
    std::uint64_t m_messageId = 0;
};

} // namespace Merrow::UserAgent::Testing
