#include "user_agent/groupings/FunctionalGrouping_Portal.h"

#include "user_agent/groupings/GroupingAction.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_Portal::Delete() {
    MWSCOPE_OBJ(this, "");
    const MerrowReturnValue deleted =
        GroupingAction(*this, "m_Merrow_NetworkConfigurationService.ExecDeleteTCPIPProtocolEndpoint()")
            .Run([&] {
                return m_Merrow_NetworkConfigurationService.ExecDeleteTCPIPProtocolEndpoint(
                    GetRootObjectPath());
            });
    // Outside the grouping's lock: the registry reaches containers of other profiles.
    if (!deleted.isFailure())
        CIM_ObjectContainerInterface::InvalidateCacheForObjectPath(GetRootObjectPath());
    return deleted;
}

MerrowReturnValue FunctionalGrouping_Portal::PingRemoteIPAddress(const std::string& ipv4Address,
                                                                 std::uint64_t& delay) {
    MWSCOPE_OBJ(this, ipv4Address.c_str());
    return GroupingAction(*this,
                          "m_Merrow_NetworkConfigurationService.ExecPingRemoteIPProtocolEndpoint()")
        .Run([&] {
            return m_Merrow_NetworkConfigurationService.ExecPingRemoteIPProtocolEndpoint(
                GetRootObjectPath(), ipv4Address, delay);
        });
}

} // namespace Merrow::UserAgent
