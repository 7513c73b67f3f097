#pragma once

#include "user_agent/profiles/Profile_ServerAndVirtualizer.h"
#include "user_agent/profiles/Profile_MultipleComputerSystems.h"
#include "user_agent/groupings/FunctionalGrouping_CorvaneSystem.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

// Facades that only the hand-written operations take or hand out.
class Service_Disk;
class Service_Initiator;
class Service_Volume;

#define MERROW_SERVICE_CLASS Service_CorvaneSystem
#define MERROW_SERVICE_TABLE "user_agent/services/Service_CorvaneSystem.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_CorvaneSystem handles; profiles and operations are listed in
// Service_CorvaneSystem.def.
class Service_CorvaneSystemImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"

private:
    // CreateVolume's steps; the service lock is held.
    MerrowReturnValue CreateVolumeLocked(const std::string& name, std::uint64_t sizeInBytes,
                                         const UAEnums::VolumeCompositionName& compositionName,
                                         const std::vector<Service_Disk>& disks,
                                         std::uint8_t stripeWidth, std::uint32_t stripeDepth,
                                         Service_Volume& newVolume);
    MerrowReturnValue NewVolumeService(const cim::CIMObjectPath& volumePath,
                                       Service_Volume& newVolume);
    MerrowReturnValue NewInitiatorService(const std::string& name,
                                          const cim::CIMObjectPath& initiatorPath,
                                          Service_Initiator& initiator);
};

} // namespace Merrow::UserAgent
