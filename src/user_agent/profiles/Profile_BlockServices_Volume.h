#pragma once

#include "cim/value/CIMDateTime.h"
#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/profiles/ProfileTable.h"

#include <cstdint>
#include <set>
#include <vector>

namespace Merrow::UserAgent {

// A volume (LUN): its setting, its pool, its jobs, its target and the initiators that may
// see it, the volume it is being reconfigured into, and the array's configuration services.
// Containers and accessors are listed in Profile_BlockServices_Volume.def.
class Profile_BlockServices_Volume : public MerrowProfile {
public:
    // Actions and derived values (Profile_BlockServices_Volume_Custom.cpp). Array methods
    // answer UA_S_OK for 0 and 4096 (a job started; nobody waits for it) and
    // UA_E_REQUEST_FAILED with the array's number otherwise.

    // A new size, layout or set of disks: disks of the available pool move into the base pool
    // first, then "ReconfigureVolume" runs with MirrorCount 2.
    MerrowReturnValue Reconfigure(std::uint64_t sizeInBytes,
                                  const UAEnums::VolumeCompositionName& composition,
                                  const std::vector<cim::CIMObjectPath>& disks,
                                  std::uint8_t stripeWidth, std::uint32_t stripeDepth,
                                  const cim::CIMObjectPath& basePool,
                                  const cim::CIMObjectPath& availablePool);
    // Grows in place; UA_E_INVALIDARG when the array finds the size not larger.
    MerrowReturnValue GrowTo(std::uint64_t newSizeInBytes);
    // Returns the volume to its pool.
    MerrowReturnValue Delete();
    // "BlockSize" x "NumberOfBlocks", unrounded.
    MerrowReturnValue GetSize(std::uint64_t& sizeInBytes);
    MerrowReturnValue GetCompositionName(UAEnums::VolumeCompositionName& composition);
    // The most the volume can grow by over `disksToUse`, or over the disks it already uses
    // when none are given; unrounded.
    MerrowReturnValue GetMaxGrowSize(const std::vector<cim::CIMObjectPath>& disksToUse,
                                     std::uint64_t& growSize);
    // True while the array is moving the volume to a new layout.
    MerrowReturnValue GetIsReconfiguring(bool& isReconfiguring);
    // Media and parity scans, now or scheduled and recurring; the arguments are the array's.
    MerrowReturnValue MediaScan(std::uint32_t priority, const cim::CIMDateTime& startTime,
                                std::uint16_t periodicityType, std::uint16_t periodicity);
    MerrowReturnValue ParityScan(std::uint32_t priority, const cim::CIMDateTime& startTime,
                                 std::uint16_t periodicityType, std::uint16_t periodicity);

private:
    using FreeSpaces = std::multiset<std::uint64_t>;

    std::vector<cim::CIMObjectPath> CandidateExtents(const std::vector<cim::CIMObjectPath>& disks);
    std::vector<cim::CIMObjectPath> ExtentsBelowLeaves();
    std::uint64_t FreeBytesOf(const cim::CIMObjectPath& diskExtent);
    MerrowReturnValue Scan(std::uint16_t scanType, const char* scanName, std::uint32_t priority,
                           const cim::CIMDateTime& startTime, std::uint16_t periodicityType,
                           std::uint16_t periodicity);

#define MERROW_PROFILE_CLASS Profile_BlockServices_Volume
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_BlockServices_Volume.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
