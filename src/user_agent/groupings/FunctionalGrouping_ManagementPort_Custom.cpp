#include "user_agent/groupings/FunctionalGrouping_ManagementPort.h"

#include "user_agent/groupings/GroupingAction.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_ManagementPort::PingRemoteIPAddress(const std::string& ipv4Address,
                                                                         std::uint64_t& delay) {
    MWSCOPE_OBJ(this, ipv4Address.c_str());
    // Without a network portal the array pings from its management port.
    return GroupingAction(*this,
                          "m_Merrow_NetworkConfigurationService.ExecPingRemoteIPProtocolEndpoint()")
        .Run([&] {
            return m_Merrow_NetworkConfigurationService.ExecPingRemoteIPProtocolEndpoint(
                cim::CIMObjectPath(), ipv4Address, delay);
        });
}

} // namespace Merrow::UserAgent
