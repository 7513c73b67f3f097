#pragma once

#include "user_agent/groupings/FunctionalGrouping_Controller.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Enclosure
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Enclosure.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_Enclosure handles; profiles and operations are listed in
// Service_Enclosure.def.
class Service_EnclosureImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
