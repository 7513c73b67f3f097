#include "user_agent/objects/wrappers/CIM_ControllerConfigurationService.h"

namespace Merrow::UserAgent {

std::uint32_t CIM_ControllerConfigurationService::ExecExposePaths(
    const std::vector<std::string>& luNames, const std::vector<std::string>& initiatorPortIDs,
    const std::vector<std::string>& targetPortIDs, const std::vector<std::string>& deviceNumbers,
    const std::vector<std::uint16_t>& deviceAccesses,
    std::vector<cim::CIMObjectPath>& protocolControllers, cim::CIMObjectPath& job) {
    return InvokeExtrinsic("ExposePaths",
                           {In("LUNames", luNames), In("InitiatorPortIDs", initiatorPortIDs),
                            In("TargetPortIDs", targetPortIDs), In("DeviceNumbers", deviceNumbers),
                            In("DeviceAccesses", deviceAccesses),
                            In("ProtocolControllers", protocolControllers)},
                           {Out("ProtocolControllers", protocolControllers), Out("Job", job)});
}

std::uint32_t CIM_ControllerConfigurationService::ExecHidePaths(
    const std::vector<std::string>& luNames, const std::vector<std::string>& initiatorPortIDs,
    const std::vector<std::string>& targetPortIDs,
    std::vector<cim::CIMObjectPath>& protocolControllers, cim::CIMObjectPath& job) {
    return InvokeExtrinsic("HidePaths",
                           {In("LUNames", luNames), In("InitiatorPortIDs", initiatorPortIDs),
                            In("TargetPortIDs", targetPortIDs),
                            In("ProtocolControllers", protocolControllers)},
                           {Out("ProtocolControllers", protocolControllers), Out("Job", job)});
}

} // namespace Merrow::UserAgent
