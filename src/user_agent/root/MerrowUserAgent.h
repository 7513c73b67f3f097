#pragma once

#include "user_agent/root/MerrowUserAgentImpl.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Merrow::UserAgent {

// The one object through which the layer above uses the array client library (see
// MerrowUserAgentImpl). Copies share the root; the last one to go stops it.
class MerrowUserAgent {
public:
    // With `noIndications` set, connections do not subscribe to the arrays' indications.
    explicit MerrowUserAgent(bool noIndications = false,
                             MerrowUserAgentImpl::Periods periods = MerrowUserAgentImpl::Periods());

    MerrowReturnValue Start();
    void Stop();
    CorvaneConnection GetConnection(const std::string& host);
    bool GetNextServiceIndication(ServiceIndication& indication, std::uint32_t waitLimitMs);

    MerrowUserAgentImpl& GetImpl() const { return *m_pImpl; }

private:
    std::shared_ptr<MerrowUserAgentImpl> m_pImpl;
};

} // namespace Merrow::UserAgent
