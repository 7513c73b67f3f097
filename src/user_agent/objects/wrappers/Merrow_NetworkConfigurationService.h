#pragma once

#include "user_agent/objects/wrappers/CIM_Service.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

// The CIM class "Merrow_NetworkConfigurationService". Link aggregates, network portals and pings of
// the array's iSCSI ports. Exec methods answer the method's return value (0 done, 4096 job started,
// anything else the array's failure code); empty references and empty reference arrays are not
// sent.
class Merrow_NetworkConfigurationService : public CIM_Service {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(Merrow_NetworkConfigurationService, CIM_Service)

    std::uint32_t ExecCreateLinkAggregator(const std::vector<cim::CIMObjectPath>& physicalPorts,
                                           std::uint64_t requestedSpeed, bool autoSense,
                                           std::uint16_t requestedState, bool vlanState,
                                           std::uint16_t frameType,
                                           std::uint64_t activeMaximumTransmissionUnit,
                                           cim::CIMObjectPath& linkAggregator);
    std::uint32_t ExecAddPortsToAggregator(const std::vector<cim::CIMObjectPath>& physicalPorts,
                                           const cim::CIMObjectPath& linkAggregator);
    std::uint32_t
    ExecRemovePortsFromAggregator(const std::vector<cim::CIMObjectPath>& physicalPorts,
                                  const cim::CIMObjectPath& linkAggregator);
    std::uint32_t ExecDeleteLinkAggregator(const cim::CIMObjectPath& linkAggregator);
    std::uint32_t ExecReplaceLAGandChangeVLAN(const cim::CIMObjectPath& linkAggregator,
                                              bool vlanEnabled);
    std::uint32_t ExecCreateTCPIPProtocolEndpoint(const cim::CIMObjectPath& linkAggregator,
                                                  const std::string& ipv4Address,
                                                  const std::string& subnetMask,
                                                  const std::string& defaultGateway,
                                                  std::uint16_t vlanId,
                                                  cim::CIMObjectPath& networkPortal);
    std::uint32_t ExecDeleteTCPIPProtocolEndpoint(const cim::CIMObjectPath& networkPortal);
    std::uint32_t ExecPingRemoteIPProtocolEndpoint(const cim::CIMObjectPath& networkPortal,
                                                   const std::string& ipv4Address,
                                                   std::uint64_t& delay);
};

} // namespace Merrow::UserAgent
