#include "user_agent/groupings/FunctionalGrouping_Controller.h"

#include "user_agent/groupings/GroupingAction.h"

namespace Merrow::UserAgent {

namespace {

using Form = GroupingAction::FailureForm;

// What a new link aggregate asks of the array besides its ports and VLAN flag: speed and MTU
// chosen by the array, auto-sensed, enabled, Ethernet II frames.
constexpr std::uint64_t kArrayChosenSpeed = 0;
constexpr std::uint16_t kEnabled = 2;
constexpr std::uint16_t kEthernetFrames = 1;
constexpr std::uint64_t kArrayChosenMtu = 0;

} // namespace

MerrowReturnValue
FunctionalGrouping_Controller::CreateLAG(const std::vector<cim::CIMObjectPath>& physicalPorts,
                                         bool vlanEnabled, cim::CIMObjectPath& lag) {
    MWSCOPE_OBJ(this, "");
    // The method belongs to the network service; the trace keeps the text operators know.
    return GroupingAction(*this, "m_Merrow_StorageConfigurationService.ExecCreateLinkAggregator()",
                          Form::PegasusCallFailed)
        .Run([&] {
            return m_Merrow_NetworkConfigurationService.ExecCreateLinkAggregator(
                physicalPorts, kArrayChosenSpeed, true, kEnabled, vlanEnabled, kEthernetFrames,
                kArrayChosenMtu, lag);
        });
}

MerrowReturnValue FunctionalGrouping_Controller::Shutdown(bool restart) {
    MWSCOPE_OBJ(this, restart ? "restart" : "");
    const std::string call = std::string("m_Merrow_StorageConfigurationService.ExecInitiateShutdown(") +
                             (restart ? "True" : "False") + ")";
    return GroupingAction(*this, call, Form::PegasusCallFailed).Run([&] {
        return m_Merrow_StorageConfigurationService.ExecInitiateShutdown(restart);
    });
}

MerrowReturnValue FunctionalGrouping_Controller::GetBasePool(cim::CIMObjectPath& pool) {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this, "m_Merrow_StorageConfigurationService.ExecGetBasePool()",
                          Form::PegasusCallFailed)
        .Run([&] {
            return m_Merrow_StorageConfigurationService.ExecGetBasePool(GetRootObjectPath(), pool);
        });
}

} // namespace Merrow::UserAgent
