#pragma once

#include "user_agent/groupings/FunctionalGrouping_EthernetPort.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_PhysicalPort
#define MERROW_SERVICE_TABLE "user_agent/services/Service_PhysicalPort.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

class Service_LAG;

// The implementation behind Service_PhysicalPort handles; profiles and operations are listed in
// Service_PhysicalPort.def.
class Service_PhysicalPortImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"

public:
    // From the first element of the port's "OperationalStatus" (read from the array).
    MerrowReturnValue GetStatus(std::int32_t& status) override;
};

} // namespace Merrow::UserAgent
