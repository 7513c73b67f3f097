#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// What the array holds, counted: disks, media, volumes, initiators, sessions and targets.
// Containers and accessors are listed in FunctionalGrouping_SystemPerformanceSummary.def.
class FunctionalGrouping_SystemPerformanceSummary : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_SystemPerformanceSummary_Custom.cpp).

    // The summary counts, each the size of one of the grouping's lists.
    MerrowReturnValue GetNumberOfDisks(std::uint32_t& count);
    MerrowReturnValue GetNumberOfPhysicalMedia(std::uint32_t& count);
    MerrowReturnValue GetNumberOfVolumes(std::uint32_t& count);
    MerrowReturnValue GetNumberOfInitiators(std::uint32_t& count);
    MerrowReturnValue GetNumberOfSessions(std::uint32_t& count);
    MerrowReturnValue GetNumberOfTargets(std::uint32_t& count);

#define MERROW_PROFILE_CLASS FunctionalGrouping_SystemPerformanceSummary
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_SystemPerformanceSummary.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"

private:
    MerrowReturnValue CountOf(CIM_ObjectList& list, std::uint32_t& count);
};

} // namespace Merrow::UserAgent
