#pragma once

#include "user_agent/profiles/ProfileTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

// One iSCSI target (bound to exactly one volume): its endpoint, session and connection
// settings, its volume, the initiators with access, its CHAP secret and its live sessions.
// Containers and accessors are listed in FunctionalGrouping_iSCSITarget.def.
class FunctionalGrouping_iSCSITarget : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_iSCSITarget_Custom.cpp).

    // Lets the initiator at `initiatorPath` see this target's volume ("ExposePaths").
    // A refusal of the array is no failure: UA_S_FALSE carries the array's number as failure
    // code, so callers must look at it to learn that nothing was done.
    MerrowReturnValue GrantInitiatorAccess(const cim::CIMObjectPath& initiatorPath);
    // Takes that access away again ("HidePaths"); refusals as for the grant.
    MerrowReturnValue RevokeInitiatorAccess(const cim::CIMObjectPath& initiatorPath);
    // False when either the primary or the secondary method is NO_AUTHENTICATION.
    MerrowReturnValue IsChapRequired(bool& chapRequired);

#define MERROW_PROFILE_CLASS FunctionalGrouping_iSCSITarget
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_iSCSITarget.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"

private:
    // The initiator's iSCSI name ("StorageID"), fetched afresh; empty when the path names
    // nothing, in which case the array's answer decides.
    std::string InitiatorNameOf(const cim::CIMObjectPath& initiatorPath);
    // The grant and revoke step after the array answered: `method` names the Exec call in
    // the refusal trace.
    MerrowReturnValue AccessResult(const char* method, const cim::CIMObjectPath& initiatorPath,
                                   std::uint32_t execRtn,
                                   const std::vector<cim::CIMObjectPath>& controllers);
};

} // namespace Merrow::UserAgent
