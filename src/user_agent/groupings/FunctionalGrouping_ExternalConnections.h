#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// Where the array sends notifications and fetches time: e-mail, SNMP traps, NTP and
// syslog servers.
// Containers and accessors are listed in FunctionalGrouping_ExternalConnections.def.
class FunctionalGrouping_ExternalConnections : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_ExternalConnections_Custom.cpp).

    // The array sends its test e-mail and SNMP notifications to the destinations above.
    MerrowReturnValue TestSendNotification();

#define MERROW_PROFILE_CLASS FunctionalGrouping_ExternalConnections
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_ExternalConnections.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
