#include "user_agent/root/MerrowUserAgent.h"

namespace Merrow::UserAgent {

MerrowUserAgent::MerrowUserAgent(bool noIndications, MerrowUserAgentImpl::Periods periods)
    : m_pImpl(std::make_shared<MerrowUserAgentImpl>(noIndications, periods)) {}

MerrowReturnValue MerrowUserAgent::Start() {
    return m_pImpl->Start();
}

void MerrowUserAgent::Stop() {
    m_pImpl->Stop();
}

CorvaneConnection MerrowUserAgent::GetConnection(const std::string& host) {
    return m_pImpl->GetConnection(host);
}

bool MerrowUserAgent::GetNextServiceIndication(ServiceIndication& indication,
                                               std::uint32_t waitLimitMs) {
    return m_pImpl->GetNextServiceIndication(indication, waitLimitMs);
}

} // namespace Merrow::UserAgent
