#pragma once

#include "user_agent/objects/wrappers/CIM_Service.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

// The CIM class "CIM_ControllerConfigurationService". LUN masking: which initiators see which
// volumes through which targets. Exec methods answer the method's return value (0 done, 4096 job
// started, anything else the array's failure code); empty references and empty reference arrays are
// not sent.
class CIM_ControllerConfigurationService : public CIM_Service {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(CIM_ControllerConfigurationService, CIM_Service)

    std::uint32_t ExecExposePaths(const std::vector<std::string>& luNames,
                                  const std::vector<std::string>& initiatorPortIDs,
                                  const std::vector<std::string>& targetPortIDs,
                                  const std::vector<std::string>& deviceNumbers,
                                  const std::vector<std::uint16_t>& deviceAccesses,
                                  std::vector<cim::CIMObjectPath>& protocolControllers,
                                  cim::CIMObjectPath& job);
    std::uint32_t ExecHidePaths(const std::vector<std::string>& luNames,
                                const std::vector<std::string>& initiatorPortIDs,
                                const std::vector<std::string>& targetPortIDs,
                                std::vector<cim::CIMObjectPath>& protocolControllers,
                                cim::CIMObjectPath& job);
};

} // namespace Merrow::UserAgent
