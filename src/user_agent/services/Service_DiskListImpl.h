#pragma once

#include "user_agent/profiles/Profile_ServerAndVirtualizer.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_DiskList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_DiskList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_DiskList handles; profiles and operations are listed in
// Service_DiskList.def.
class Service_DiskListImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
