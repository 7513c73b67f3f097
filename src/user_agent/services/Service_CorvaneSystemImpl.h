#pragma once

#include "user_agent/profiles/Profile_ServerAndVirtualizer.h"
#include "user_agent/profiles/Profile_MultipleComputerSystems.h"
#include "user_agent/groupings/FunctionalGrouping_CorvaneSystem.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_CorvaneSystem
#define MERROW_SERVICE_TABLE "user_agent/services/Service_CorvaneSystem.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_CorvaneSystem handles; profiles and operations are listed in
// Service_CorvaneSystem.def.
class Service_CorvaneSystemImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
