#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One live iSCSI session: its target, its connections and its initiator.
// Containers and accessors are listed in FunctionalGrouping_iSCSISession.def.
class FunctionalGrouping_iSCSISession : public MerrowProfile {
public:
    // The initiator's iSCSI name: "EndPointName" up to its first comma (the array appends
    // the session's identifier after one), or all of it when there is none.
    MerrowReturnValue GetInitiatorGlobalID(std::string& globalId);

#define MERROW_PROFILE_CLASS FunctionalGrouping_iSCSISession
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_iSCSISession.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
