#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array's protocol and system settings, and the storage service's maintenance actions.
// Containers and accessors are listed in FunctionalGrouping_AdvancedSettings.def.
class FunctionalGrouping_AdvancedSettings : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_AdvancedSettings_Custom.cpp).

    // The other controller takes over.
    MerrowReturnValue ForceControllerFailover();
    // The array restarts now ("InitiateShutdown" with Restart set): it answers, drops every
    // connection and refuses new ones until it is back.
    MerrowReturnValue ForceSystemRestart();
    // The array sends its test e-mail and SNMP notifications.
    MerrowReturnValue TestSendNotification();

#define MERROW_PROFILE_CLASS FunctionalGrouping_AdvancedSettings
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_AdvancedSettings.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
