#pragma once

#include "user_agent/groupings/FunctionalGrouping_LAG.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_LAG
#define MERROW_SERVICE_TABLE "user_agent/services/Service_LAG.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_LAG handles; profiles and operations are listed in
// Service_LAG.def.
class Service_LAGImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"

public:
    // From the first element of the port's "OperationalStatus" (read from the array).
    MerrowReturnValue GetStatus(std::int32_t& status) override;
};

} // namespace Merrow::UserAgent
