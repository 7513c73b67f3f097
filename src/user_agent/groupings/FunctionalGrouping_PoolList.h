#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array's pools, and the array-wide pools its storage service names.
// Containers and accessors are listed in FunctionalGrouping_PoolList.def.
class FunctionalGrouping_PoolList : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_PoolList_Custom.cpp).

    // The paths of the array's global pools.
    MerrowReturnValue GetGlobalSparePool(cim::CIMObjectPath& pool);
    MerrowReturnValue GetGlobalAvailablePool(cim::CIMObjectPath& pool);
    MerrowReturnValue GetGlobalUnavailablePool(cim::CIMObjectPath& pool);

#define MERROW_PROFILE_CLASS FunctionalGrouping_PoolList
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_PoolList.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
