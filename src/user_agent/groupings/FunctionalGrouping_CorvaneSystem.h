#pragma once

#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/profiles/ProfileTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

// The array as a whole: its settings and the services of its array-wide actions.
// Containers and accessors are listed in FunctionalGrouping_CorvaneSystem.def.
class FunctionalGrouping_CorvaneSystem : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_CorvaneSystem_Custom.cpp).

    // Shuts the array down, or restarts it when `restart` is set.
    MerrowReturnValue Shutdown(bool restart);

    // Registers the initiator `name` (its iSCSI name, also its element name). Asks the
    // array every time, so a name it knows already is the array's to refuse; a refusal is
    // UA_S_FALSE carrying the array's number as failure code. `initiator` receives the
    // path the array answers.
    MerrowReturnValue AddInitiator(const std::string& name, cim::CIMObjectPath& initiator);

    // Volume actions. The stripe width is sent as given: the caller has checked it against
    // the composition.

    // Moves the disks of the available pool among `disks` into the base pool, then asks for
    // the volume ("CreateVolume", MirrorCount 2). UA_S_OK also when the array runs the
    // creation as a job; `newVolume` receives the volume's path either way.
    MerrowReturnValue CreateVolume(const std::string& name, std::uint64_t sizeInBytes,
                                   const UAEnums::VolumeCompositionName& composition,
                                   const std::vector<cim::CIMObjectPath>& disks,
                                   std::uint8_t stripeWidth, std::uint32_t stripeDepth,
                                   const cim::CIMObjectPath& basePool,
                                   const cim::CIMObjectPath& availablePool,
                                   cim::CIMObjectPath& newVolume);
    // The largest volume of that layout over `disks`, as the array computes it; unrounded.
    MerrowReturnValue GetMaxVolumeSize(const UAEnums::VolumeCompositionName& composition,
                                       const std::vector<cim::CIMObjectPath>& disks,
                                       std::uint8_t stripeWidth, std::uint32_t stripeDepth,
                                       const cim::CIMObjectPath& basePool,
                                       std::uint64_t& sizeInBytes);

#define MERROW_PROFILE_CLASS FunctionalGrouping_CorvaneSystem
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_CorvaneSystem.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
