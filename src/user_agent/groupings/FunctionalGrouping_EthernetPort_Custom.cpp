#include "user_agent/groupings/FunctionalGrouping_EthernetPort.h"

#include "cim/value/CIMDateTime.h"
#include "user_agent/groupings/GroupingAction.h"

namespace Merrow::UserAgent {

namespace {

constexpr std::uint16_t kEnabled = 2;
constexpr std::uint16_t kDisabled = 3;

} // namespace

MerrowReturnValue FunctionalGrouping_EthernetPort::SetLAG(const cim::CIMObjectPath& lag) {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this, "m_Merrow_NetworkConfigurationService.ExecAddPortsToAggregator()")
        .Run([&] {
            return m_Merrow_NetworkConfigurationService.ExecAddPortsToAggregator(
                {GetRootObjectPath()}, lag);
        });
}

MerrowReturnValue FunctionalGrouping_EthernetPort::RemoveFromLAG() {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this,
                          "m_Merrow_NetworkConfigurationService.ExecRemovePortsFromAggregator()")
        .Run([&] {
            return m_Merrow_NetworkConfigurationService.ExecRemovePortsFromAggregator(
                {GetRootObjectPath()}, m_DataLinkEndpoint.GetCIMObjectPath());
        });
}

MerrowReturnValue FunctionalGrouping_EthernetPort::Enable() {
    MWSCOPE_OBJ(this, "");
    return RequestState(kEnabled);
}

MerrowReturnValue FunctionalGrouping_EthernetPort::Disable() {
    MWSCOPE_OBJ(this, "");
    return RequestState(kDisabled);
}

MerrowReturnValue FunctionalGrouping_EthernetPort::RequestState(std::uint16_t state) {
    return GroupingAction(*this, "m_EthernetPort.ExecRequestStateChange()").Run([&] {
        // The port changes at once; the array starts no job for it.
        cim::CIMObjectPath job;
        return m_EthernetPort.ExecRequestStateChange(state, cim::CIMDateTime::interval(0, 0, 0, 0),
                                                     job);
    });
}

} // namespace Merrow::UserAgent
