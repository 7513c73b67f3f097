#include "user_agent/objects/wrappers/Merrow_NetworkConfigurationService.h"

namespace Merrow::UserAgent {

std::uint32_t Merrow_NetworkConfigurationService::ExecCreateLinkAggregator(
    const std::vector<cim::CIMObjectPath>& physicalPorts, std::uint64_t requestedSpeed,
    bool autoSense, std::uint16_t requestedState, bool vlanState, std::uint16_t frameType,
    std::uint64_t activeMaximumTransmissionUnit, cim::CIMObjectPath& linkAggregator) {
    return InvokeExtrinsic("CreateLinkAggregator",
                           {In("PhysicalPorts", physicalPorts),
                            In("RequestedSpeed", requestedSpeed), In("AutoSense", autoSense),
                            In("RequestedState", requestedState), In("VLANState", vlanState),
                            In("FrameType", frameType),
                            In("ActiveMaximumTransmissionUnit", activeMaximumTransmissionUnit)},
                           {Out("LinkAggregator", linkAggregator)});
}

std::uint32_t Merrow_NetworkConfigurationService::ExecAddPortsToAggregator(
    const std::vector<cim::CIMObjectPath>& physicalPorts,
    const cim::CIMObjectPath& linkAggregator) {
    return InvokeExtrinsic(
        "AddPortsToAggregator",
        {In("PhysicalPorts", physicalPorts), In("LinkAggregator", linkAggregator)}, {});
}

std::uint32_t Merrow_NetworkConfigurationService::ExecRemovePortsFromAggregator(
    const std::vector<cim::CIMObjectPath>& physicalPorts,
    const cim::CIMObjectPath& linkAggregator) {
    return InvokeExtrinsic(
        "RemovePortsFromAggregator",
        {In("PhysicalPorts", physicalPorts), In("LinkAggregator", linkAggregator)}, {});
}

std::uint32_t Merrow_NetworkConfigurationService::ExecDeleteLinkAggregator(
    const cim::CIMObjectPath& linkAggregator) {
    return InvokeExtrinsic("DeleteLinkAggregator", {In("LinkAggregator", linkAggregator)}, {});
}

std::uint32_t Merrow_NetworkConfigurationService::ExecReplaceLAGandChangeVLAN(
    const cim::CIMObjectPath& linkAggregator, bool vlanEnabled) {
    return InvokeExtrinsic("ReplaceLAGandChangeVLAN",
                           {In("LinkAggregator", linkAggregator), In("VLANEnabled", vlanEnabled)},
                           {});
}

std::uint32_t Merrow_NetworkConfigurationService::ExecCreateTCPIPProtocolEndpoint(
    const cim::CIMObjectPath& linkAggregator, const std::string& ipv4Address,
    const std::string& subnetMask, const std::string& defaultGateway, std::uint16_t vlanId,
    cim::CIMObjectPath& networkPortal) {
    return InvokeExtrinsic("CreateTCPIPProtocolEndpoint",
                           {In("LinkAggregator", linkAggregator), In("IPv4Address", ipv4Address),
                            In("SubnetMask", subnetMask), In("DefaultGateway", defaultGateway),
                            In("VLANId", vlanId)},
                           {Out("NetworkPortal", networkPortal)});
}

std::uint32_t Merrow_NetworkConfigurationService::ExecDeleteTCPIPProtocolEndpoint(
    const cim::CIMObjectPath& networkPortal) {
    return InvokeExtrinsic("DeleteTCPIPProtocolEndpoint", {In("NetworkPortal", networkPortal)}, {});
}

std::uint32_t Merrow_NetworkConfigurationService::ExecPingRemoteIPProtocolEndpoint(
    const cim::CIMObjectPath& networkPortal, const std::string& ipv4Address, std::uint64_t& delay) {
    return InvokeExtrinsic(
        "PingRemoteIPProtocolEndpoint",
        {In("NetworkPortal", networkPortal), In("IPv4Address", ipv4Address), In("Delay", delay)},
        {Out("Delay", delay)});
}

} // namespace Merrow::UserAgent
