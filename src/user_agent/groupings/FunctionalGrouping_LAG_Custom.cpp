#include "user_agent/groupings/FunctionalGrouping_LAG.h"

#include "user_agent/groupings/GroupingAction.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_LAG::CreatePortal(const std::string& ipv4Address,
                                                       const std::string& subnetMask,
                                                       const std::string& defaultGateway,
                                                       std::uint16_t vlanId,
                                                       cim::CIMObjectPath& portal) {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this,
                          "m_Merrow_NetworkConfigurationService.ExecCreateTCPIPProtocolEndpoint()")
        .Run([&] {
            return m_Merrow_NetworkConfigurationService.ExecCreateTCPIPProtocolEndpoint(
                GetRootObjectPath(), ipv4Address, subnetMask, defaultGateway, vlanId, portal);
        });
}

MerrowReturnValue FunctionalGrouping_LAG::Delete() {
    MWSCOPE_OBJ(this, "");
    const MerrowReturnValue deleted =
        GroupingAction(*this, "m_Merrow_NetworkConfigurationService.ExecDeleteLinkAggregator()")
            .Run([&] {
                return m_Merrow_NetworkConfigurationService.ExecDeleteLinkAggregator(
                    GetRootObjectPath());
            });
    // Every container that holds the aggregate drops it now rather than when the array's
    // deletion indication arrives, so no reader sees it after a successful delete. Outside
    // the grouping's lock: the registry reaches containers of other profiles.
    if (!deleted.isFailure())
        CIM_ObjectContainerInterface::InvalidateCacheForObjectPath(GetRootObjectPath());
    return deleted;
}

MerrowReturnValue FunctionalGrouping_LAG::ReplaceLAGandChangeVLAN(bool vlanEnabled) {
    MWSCOPE_OBJ(this, vlanEnabled ? "VLAN" : "");
    return GroupingAction(*this,
                          "m_Merrow_NetworkConfigurationService.ExecReplaceLAGandChangeVLAN()")
        .Run([&] {
            return m_Merrow_NetworkConfigurationService.ExecReplaceLAGandChangeVLAN(
                GetRootObjectPath(), vlanEnabled);
        });
}

} // namespace Merrow::UserAgent
